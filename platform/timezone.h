// The local time zone: biases in minutes, with UTC = local time + bias.
#pragma once

// The zone as GetTimeZoneInformation describes it.
struct ZoneBias {
    long Bias = 0;         // standard offset of the zone
    long StandardBias = 0; // added to Bias while standard time is in effect
    long DaylightBias = 0; // added to Bias while daylight time is in effect
};

// Zone state reported by GetZoneBias (the values of GetTimeZoneInformation).
enum { ZONE_UNKNOWN = 0, ZONE_STANDARD = 1, ZONE_DAYLIGHT = 2, ZONE_INVALID = -1 };

// Fills out with the local zone's biases and returns the state in effect now.
// Elsewhere than Windows the values are derived from the zone of the TZ
// database: Bias is the standard offset, DaylightBias the shift the zone's
// daylight time adds (0 for a zone without one), StandardBias 0.
int GetZoneBias(ZoneBias& out);

// The zone's standard bias and the bias in effect now, daylight saving
// included (the registry values "Bias" and "ActiveTimeBias" under
// SYSTEM\CurrentControlSet\Control\TimeZoneInformation on Windows).  False
// when either cannot be read.
bool GetZoneActiveBias(long& bias, long& activeBias);

// True where the zone services follow the TZ environment variable (names of
// the TZ database); false where the system's own zone setting rules (Windows).
bool ZoneFollowsTz();

// Rereads the zone after the TZ variable changed (tzset).
void ZoneReload();

// How many times ZoneReload ran: a value that changes whenever the zone may
// have, for callers that keep results of the local-time conversion.
unsigned ZoneReloadCount();

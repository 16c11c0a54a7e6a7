#include "platform/timezone.h"

#include <atomic>
#include <time.h>

namespace {

// Offset east of UTC in seconds and whether daylight time applies, at t.
bool OffsetAt(time_t t, long& gmtoff, bool& dst) {
    struct tm tm {};
    if (!localtime_r(&t, &tm)) return false;
    gmtoff = tm.tm_gmtoff;
    dst = tm.tm_isdst > 0;
    return true;
}

// January and July: one of them lies in each half of the year.
const int kProbeMonths[2] = {0, 6};

} // namespace

bool GetZoneActiveBias(long& bias, long& activeBias) {
    ZoneBias zb;
    int state = GetZoneBias(zb);
    if (state == ZONE_INVALID) return false;
    bias = zb.Bias;
    activeBias = zb.Bias + (state == ZONE_DAYLIGHT ? zb.DaylightBias : zb.StandardBias);
    return true;
}

int GetZoneBias(ZoneBias& out) {
    out = ZoneBias{};
    tzset();
    time_t now = time(nullptr);
    long nowOff = 0;
    bool nowDst = false;
    if (!OffsetAt(now, nowOff, nowDst)) return ZONE_INVALID;
    // The zone's standard and daylight offsets of this year: look at both
    // halves of the year, so that southern zones are seen as well.
    struct tm tm {};
    if (!localtime_r(&now, &tm)) return ZONE_INVALID;
    long stdOff = nowDst ? 0 : nowOff, dstOff = nowDst ? nowOff : 0;
    bool haveStd = !nowDst, haveDst = nowDst;
    for (const int month : kProbeMonths) {
        struct tm probe {};
        probe.tm_year = tm.tm_year;
        probe.tm_mon = month;
        probe.tm_mday = 15;
        probe.tm_hour = 12;
        probe.tm_isdst = -1;
        time_t t = mktime(&probe);
        long off = 0;
        bool dst = false;
        if (t == time_t(-1) || !OffsetAt(t, off, dst)) continue;
        if (dst && !haveDst) dstOff = off, haveDst = true;
        if (!dst && !haveStd) stdOff = off, haveStd = true;
    }
    if (!haveStd) stdOff = -timezone; // a zone in daylight time all year
    out.Bias = -stdOff / 60;
    out.StandardBias = 0;
    out.DaylightBias = haveDst ? (-dstOff / 60) - out.Bias : 0;
    if (!haveDst) return ZONE_UNKNOWN; // no daylight time: Windows says "unknown"
    return nowDst ? ZONE_DAYLIGHT : ZONE_STANDARD;
}

bool ZoneFollowsTz() {
    return true;
}

namespace {
std::atomic<unsigned> reloads{0};
} // namespace

void ZoneReload() {
    tzset();
    reloads.fetch_add(1, std::memory_order_relaxed);
}

unsigned ZoneReloadCount() {
    return reloads.load(std::memory_order_relaxed);
}

#include "platform/timezone.h"

#include <atomic>
#include <time.h>
#include <windows.h>

int GetZoneBias(ZoneBias& out) {
    out = ZoneBias{};
    TIME_ZONE_INFORMATION tzi;
    DWORD state = GetTimeZoneInformation(&tzi);
    if (state == TIME_ZONE_ID_INVALID) return ZONE_INVALID;
    out.Bias = tzi.Bias;
    out.StandardBias = tzi.StandardBias;
    out.DaylightBias = tzi.DaylightBias;
    return int(state);
}

namespace {

// Closes a registry key on every path.
struct RegKey {
    HKEY key = nullptr;
    ~RegKey() {
        if (key) RegCloseKey(key);
    }
};

bool ReadDword(HKEY key, const char* name, long& value) {
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof data)
        return false;
    value = LONG(data); // stored as a 32-bit two's complement number
    return true;
}

} // namespace

bool GetZoneActiveBias(long& bias, long& activeBias) {
    RegKey k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation",
                      0, KEY_READ, &k.key) != ERROR_SUCCESS) {
        k.key = nullptr;
        return false;
    }
    return ReadDword(k.key, "Bias", bias) && ReadDword(k.key, "ActiveTimeBias", activeBias);
}

bool ZoneFollowsTz() {
    return false;
}

namespace {
std::atomic<unsigned> reloads{0};
} // namespace

void ZoneReload() {
    _tzset();
    reloads.fetch_add(1, std::memory_order_relaxed);
}

unsigned ZoneReloadCount() {
    return reloads.load(std::memory_order_relaxed);
}

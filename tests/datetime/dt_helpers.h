// Helpers for the date/time tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "datetime/vktdatetime.h"
#include "platform/environ.h"
#include "platform/timezone.h"

// A value from its calendar fields (full year).
inline CVKTDateTime DT(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    CVKTDateTime v;
    v.year = uint8_t(y - 1900);
    v.month = uint8_t(mo);
    v.day = uint8_t(d);
    v.hour = uint8_t(h);
    v.minute = uint8_t(mi);
    v.second = uint8_t(s);
    return v;
}

// "YYYY-MM-DD hh:mm:ss" of the fields as stored.
inline std::string Show(const CVKTDateTime& v) {
    char b[64];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d %02d:%02d:%02d", v.GetYear(), v.month, v.day, v.hour,
                  v.minute, v.second);
    return b;
}

// Runs the test body under the zone name (TZ database), restoring the old one.
class ZoneScope {
public:
    explicit ZoneScope(const char* zone) {
        const char* old = std::getenv("TZ");
        hadOld_ = old != nullptr;
        if (old) old_ = old;
        SetEnvVar("TZ", zone);
        ZoneReload();
    }
    ~ZoneScope() {
        SetEnvVar("TZ", hadOld_ ? old_.c_str() : nullptr);
        ZoneReload();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

    // Whether the zone can be chosen here: the zone services follow TZ and the
    // TZ database knows the name.
    static bool Available(const char* zone) {
        if (!ZoneFollowsTz()) return false;
        if (std::string(zone) == "UTC") return true;
        std::error_code ec;
        return std::filesystem::exists(std::string("/usr/share/zoneinfo/") + zone, ec);
    }

private:
    bool hadOld_ = false;
    std::string old_;
};

#define NEED_ZONE(zone)                                                                            \
    if (!ZoneScope::Available(zone)) GTEST_SKIP() << "zone " << zone << " cannot be chosen here"

// Offset of local time from UTC now, in seconds (east positive).
inline int LocalOffsetNow() {
    for (int attempt = 0; attempt < 3; ++attempt) {
        CVKTDateTime gmt, local, again;
        gmt.SetNowGMT();
        local.SetNow();
        again.SetNowGMT();
        if (gmt.Compare(&again, 6) != 0) continue; // a tick in between
        return gmt.GetDiffSec(&local);
    }
    return 0;
}

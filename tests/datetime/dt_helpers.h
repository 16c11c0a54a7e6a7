// Helpers for the date/time tests.
#pragma once

#include <cstdlib>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "datetime/vktdatetime.h"

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
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneScope() {
        if (hadOld_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ZoneScope(const ZoneScope&) = delete;
    ZoneScope& operator=(const ZoneScope&) = delete;

private:
    bool hadOld_ = false;
    std::string old_;
};

// Whether the TZ database knows the zone (tests that need it skip otherwise).
inline bool ZoneKnown(const char* zone) {
    std::string path = std::string("/usr/share/zoneinfo/") + zone;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fclose(f);
    return true;
}

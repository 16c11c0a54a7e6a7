// Clock readings and zones, run under explicit zones of the TZ database.
#include "dt_helpers.h"
#include "platform/systime_def.h"

namespace {

// Runs f twice if the second changed in between, so a tick between two clock
// readings does not fail the comparison.
template <typename F> void Settled(F f) {
    if (!f()) {
        EXPECT_TRUE(f());
    }
}

} // namespace

TEST(DateTimeClock, GmtEqualsLocalUnderUtc) {
    NEED_ZONE("UTC");
    ZoneScope z("UTC");
    Settled([] {
        CVKTDateTime local, gmt;
        local.SetNow();
        gmt.SetNowGMT();
        return local.Compare(&gmt, 6) == 0;
    });
    EXPECT_EQ(CVKTDateTime::GetEasternOffset(), -18000);
}

TEST(DateTimeClock, EasternOffsetByZone) {
    // The offset depends on whether the local zone is in daylight time now.
    struct Case {
        const char* zone;
        int standardOffset; // seconds east of UTC
    } cases[] = {{"America/New_York", -18000},
                 {"Europe/Berlin", 3600},
                 {"UTC", 0},
                 {"EST5", -18000},
                 {"CET-1CEST,M3.5.0,M10.5.0/3", 3600}};
    for (const auto& c : cases) {
        if (!ZoneScope::Available(c.zone)) continue;
        ZoneScope z(c.zone);
        const int shift = LocalOffsetNow() - c.standardOffset; // 3600 in summer
        EXPECT_EQ(CVKTDateTime::GetEasternOffset(), -18000 + shift) << c.zone;
    }
}

TEST(DateTimeClock, EasternOffsetInSummerAndWinter) {
    NEED_ZONE("UTC");
    // Zones that are always in daylight time (a rule covering the whole year)
    // show the shift whatever today is: Bias -60, ActiveTimeBias -120.
    {
        ZoneScope z("CET-1CEST,J1/0,J365/25");
        EXPECT_EQ(CVKTDateTime::GetEasternOffset(), -14400);
    }
    {
        ZoneScope z("EST5EDT,J1/0,J365/25");
        EXPECT_EQ(CVKTDateTime::GetEasternOffset(), -14400);
    }
    {
        ZoneScope z("EST5");
        EXPECT_EQ(CVKTDateTime::GetEasternOffset(), -18000);
    }
}

TEST(DateTimeClock, EasternNowIsLocalInEasternZones) {
    // New York in either season, and a UTC-5 zone without daylight saving.
    for (const char* zone : {"America/New_York", "EST5"}) {
        if (!ZoneScope::Available(zone)) continue;
        ZoneScope z(zone);
        Settled([] {
            CVKTDateTime local, est;
            local.SetNow();
            est.SetNowEST();
            return local.Compare(&est, 6) == 0;
        });
    }
}

TEST(DateTimeClock, EasternNowUnderBerlin) {
    NEED_ZONE("Europe/Berlin");
    ZoneScope z("Europe/Berlin");
    const int offset = CVKTDateTime::GetEasternOffset();
    Settled([offset] {
        CVKTDateTime gmt, est;
        gmt.SetNowGMT();
        est.SetNowEST();
        gmt.ShiftTime(offset);
        return gmt.Compare(&est, 6) == 0;
    });
}

TEST(DateTimeClock, AdjToLocalUsesTheRuleInEffectNow) {
    for (const char* zone : {"UTC", "Europe/Berlin", "America/New_York"}) {
        if (!ZoneScope::Available(zone)) continue;
        ZoneScope z(zone);
        const int offset = LocalOffsetNow();
        CVKTDateTime v = DT(2007, 7, 1, 23, 30);
        EXPECT_EQ(v.AdjToLocal(), 0);
        CVKTDateTime expect = DT(2007, 7, 1, 23, 30);
        expect.ShiftTime(offset);
        EXPECT_EQ(Show(v), Show(expect)) << zone;
    }
}

TEST(DateTimeClock, AdjToLocalInStandardTime) {
    NEED_ZONE("UTC");
    // UTC+1 in standard time: 23:30 UTC on New Year's Eve is 00:30 of the new
    // year.  A zone without daylight rules is always in standard time.
    ZoneScope fixed("CET-1");
    CVKTDateTime v = DT(2007, 12, 31, 23, 30);
    EXPECT_EQ(v.AdjToLocal(), 0);
    EXPECT_EQ(Show(v), "2008-01-01 00:30:00");
    // The clamp at the top of the range is reported.
    v = DT(2155, 12, 31, 23, 30);
    EXPECT_EQ(v.AdjToLocal(), -1);
    EXPECT_EQ(Show(v), "2155-12-31 23:59:59");
}

TEST(DateTimeClock, SystemTimeRecord) {
    SYSTEMTIME st{};
    DT(2007, 12, 7, 14, 5, 9).GetSYSTEMTIME(&st);
    EXPECT_EQ(st.wYear, 2007);
    EXPECT_EQ(st.wMonth, 12);
    EXPECT_EQ(st.wDay, 7);
    EXPECT_EQ(st.wDayOfWeek, 5);
    EXPECT_EQ(st.wHour, 14);
    EXPECT_EQ(st.wMinute, 5);
    EXPECT_EQ(st.wSecond, 9);
    EXPECT_EQ(st.wMilliseconds, 0);

    struct Case {
        SYSTEMTIME in;
        int result;
        const char* stored;
    } cases[] = {
        {{2007, 12, 5, 7, 14, 5, 9, 999}, 0, "2007-12-07 14:05:09"},
        {{2007, 13, 0, 7, 0, 0, 0, 0}, -1, "2007-13-07 00:00:00"},
        {{2007, 2, 0, 29, 0, 0, 0, 0}, -1, "2007-02-29 00:00:00"},
        {{2156, 1, 0, 1, 0, 0, 0, 0}, -1, "2001-01-01 01:01:01"},
        {{1899, 12, 0, 31, 0, 0, 0, 0}, -1, "2001-01-01 01:01:01"},
    };
    for (const auto& c : cases) {
        CVKTDateTime v = DT(2001, 1, 1, 1, 1, 1);
        EXPECT_EQ(v.SetDT(&c.in), c.result);
        EXPECT_EQ(Show(v), c.stored);
    }
    CVKTDateTime v;
    EXPECT_EQ(v.SetDT(static_cast<const SYSTEMTIME*>(nullptr)), -1);
}

TEST(DateTimeClock, SpanSeesDaylightSaving) {
    NEED_ZONE("Europe/Berlin");
    ZoneScope z("Europe/Berlin");
    // 2007-03-25 02:00 the clocks went forward one hour.
    const CVKTDateTime before = DT(2007, 3, 25, 0, 0), after = DT(2007, 3, 25, 12, 0);
    EXPECT_EQ(before.GetDiffSec(&after), 12 * 3600);
    EXPECT_EQ(before.GetDiffSecSpan(&after), 11 * 3600);
    // Before 1970 the library still converts here; the span is the calendar one.
    const CVKTDateTime old1 = DT(1901, 1, 1), old2 = DT(1901, 1, 2);
    EXPECT_EQ(old1.GetDiffSecSpan(&old2), 86400);

    CVKTDateTime invalid = DT(2007, 13, 40), other;
    CVKTDateTime target = DT(1900, 1, 2);
    EXPECT_FLOAT_EQ(invalid.GetDiffDaysSpan(&target), 1.0f);
    EXPECT_EQ(Show(invalid), "1900-01-01 00:00:00");
    CVKTDateTime start = DT(1900, 1, 3);
    EXPECT_FLOAT_EQ(start.GetDiffDaysSpan(&other), -2.0f);
    EXPECT_EQ(Show(other), "1900-01-01 00:00:00");
}

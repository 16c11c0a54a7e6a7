// Turning values into text.
#include <climits>
#include <string>

#include "dt_helpers.h"
#include "txt/ctxt.h"

TEST(DateTimeFormat, Styles) {
    const CVKTDateTime v = DT(2007, 12, 7, 14, 5, 9);
    const char* expect[18] = {"20071207 14:05:09",
                              "20071207",
                              "14:05:09",
                              "12/7/07 14:05:09",
                              "12/7/07",
                              "14:05",
                              "12/7/2007",
                              "02:05:09PM",
                              "02:05PM",
                              "12/7/2007 14:05:09",
                              "20071207_140509",
                              "140509",
                              "12/07/2007",
                              "12/07/2007 14:05",
                              "12/07",
                              "12/07/2007 02:05PM",
                              "12/07/2007 02:05:09PM",
                              "12/07/2007 14:05:09"};
    for (int style = 0; style < 18; ++style) {
        CString s;
        v.GetStr(s, style);
        EXPECT_EQ(s, expect[style]) << style;
        CTxt t;
        v.GetTxt(t, style);
        EXPECT_STREQ((const char*)t, expect[style]) << style;
    }
    for (int style : {18, -1, 1000, INT_MIN}) {
        CString s = "keep";
        v.GetStr(s, style);
        EXPECT_EQ(s, "keep");
        CTxt t("keep");
        v.GetTxt(t, style);
        EXPECT_STREQ((const char*)t, "keep") << style;
        CTxt none;
        v.GetTxt(none, style);
        EXPECT_EQ(none.GetData(), nullptr) << style;
    }
}

TEST(DateTimeFormat, EdgeValuesAndAmPm) {
    struct Case {
        CVKTDateTime v;
        int style;
        const char* out;
    } cases[] = {
        {CVKTDateTime(), 0, "19000000 00:00:00"},
        {DT(2000, 1, 5), 4, "1/5/00"},
        {DT(2007, 1, 1, 12, 30), 7, "12:30:00AM"},
        {DT(2007, 1, 1, 0, 10), 7, "00:10:00AM"},
        {DT(2007, 1, 1, 13), 7, "01:00:00PM"},
        {DT(2007, 1, 1, 23, 59), 8, "11:59PM"},
        {DT(2007, 1, 1, 12), 15, "01/01/2007 12:00AM"},
        {DT(2155, 12, 31, 23, 59, 59), 16, "12/31/2155 11:59:59PM"},
        // Fields are printed as stored, valid or not.
        {DT(2007, 13, 40, 25), 0, "20071340 25:00:00"},
    };
    for (const auto& c : cases) {
        CString s;
        c.v.GetStr(s, c.style);
        EXPECT_EQ(s, c.out);
    }
}

TEST(DateTimeFormat, Names) {
    struct Month {
        int month, abbreviated;
        const char* out;
    } months[] = {{0, 1, "?0"},        {13, 0, "?13"}, {9, 1, "Sep"},
                  {9, 0, "September"}, {5, 0, "May"},  {-2, 1, "?-2"}};
    for (const auto& m : months) {
        CTxt t;
        CVKTDateTime::GetMonthTxt(m.month, t, m.abbreviated);
        EXPECT_STREQ((const char*)t, m.out);
    }
    struct Day {
        int n, abbreviated, mode;
        const char* out;
    } days[] = {{3, 0, 0, "Wednsday"},  {5, 0, 1, "Saturday"}, {6, 0, 1, "Sunday"},
                {10, 0, 0, "Wednsday"}, {0, 1, 0, "Sun"},      {0, 1, 1, "Mon"} /* 0 is Monday */,
                {-3, 0, 0, "?-3"},      {7, 1, 0, "Sun"}};
    for (const auto& d : days) {
        CTxt t;
        CVKTDateTime::GetWeekDayTxt(d.n, t, d.abbreviated, d.mode);
        EXPECT_STREQ((const char*)t, d.out) << d.n << " " << d.mode;
    }
    struct Val {
        const char* name;
        int mode, result;
    } vals[] = {{"Sat", 1, 5}, {"Sunday", 1, 6},   {"Xyz", 0, -1}, {"Su", 0, -1}, {"SUNDAY", 0, 0},
                {"sun", 0, 0}, {"Sunnyday", 0, 0}, {"wed", 0, 3},  {"wed", 1, 2}, {"", 0, -1}};
    for (const auto& v : vals)
        EXPECT_EQ(CVKTDateTime::GetWeekDayVal(v.name, v.mode), v.result) << v.name;
    EXPECT_EQ(CVKTDateTime::GetWeekDayVal(nullptr, 0), -1);
}

TEST(DateTimeFormat, CurrentDate) {
    CVKTDateTime now;
    now.SetNow();
    CString expectDate, expectDateTime, s;
    now.GetStr(expectDate, 12);
    CVKTDateTime::GetCurrDate(s);
    EXPECT_EQ(s, expectDate);
    CTxt t;
    CVKTDateTime::GetCurrDateCTxt(t);
    EXPECT_EQ(std::string((const char*)t), expectDate);
    CVKTDateTime::GetCurrDateTime(s);
    EXPECT_EQ(s.substr(0, s.find(' ')), std::to_string(now.month) + "/" + std::to_string(now.day) +
                                            "/" + std::to_string(now.GetYear()));
    CVKTDateTime::GetCurrDateTimeCTxt(t);
    EXPECT_EQ(std::string((const char*)t).size(), s.size());
}

TEST(DateTimeFormat, Durations) {
    const CVKTDateTime from = DT(2007, 12, 7, 12);
    struct Case {
        int secs;
        const char* text;
        int code;
        const char* hms;
        int hmsCode;
    } cases[] = {
        {59, "59 Secs", 0, "00:00:59", 1},         {5, "05 Secs", 0, "00:00:05", 1},
        {60, "1 Min", 1, "00:01:00", 1},           {90, "1.50 Mins", 1, "00:01:30", 1},
        {120, "2 Mins", 1, "00:02:00", 1},         {5400, "1.50 Hrs", 2, "01:30:00", 1},
        {3661, "1.02 Hrs", 2, "01:01:01", 1},      {86399, "24.00 Hrs", 2, "23:59:59", 1},
        {86400, "1.000 Days", 3, "1.000 Days", 2}, {90000, "1.042 Days", 3, "1.042 Days", 2},
        {-30, "-30 Secs", 0, "00:00:-30", 1},      {-5, "-5 Secs", 0, "00:00:-5", 1},
        {-3661, "-3661 Secs", 0, "-1:-1:-1", 1},   {0, "00 Secs", 0, "00:00:00", 1},
    };
    for (const auto& c : cases) {
        CVKTDateTime to = from;
        to.ShiftTime(c.secs);
        CTxt t;
        EXPECT_EQ(from.GetDurTxt(t, &to), c.code) << c.secs;
        EXPECT_STREQ((const char*)t, c.text) << c.secs;
        EXPECT_EQ(from.GetDurTxtHMS(t, &to), c.hmsCode) << c.secs;
        EXPECT_STREQ((const char*)t, c.hms) << c.secs;
    }
    // Across the whole range the 32-bit form does not wrap into a positive time.
    const CVKTDateTime lo = DT(1900, 1, 1), hi = DT(2155, 12, 31);
    CTxt t;
    EXPECT_EQ(hi.GetDurTxtHMS(t, &lo), 1);
    EXPECT_EQ(((const char*)t)[0], '-');
}

// The date and time parsers and setters on any text and number: a value a
// setter reports as set is valid, and a valid value written in a style that
// holds all its fields reads back as the same value.
#include "datetime/datetime.h"
#include "fuzz_support.h"
#include "txt/ctxt.h"

#include <climits>
#include <string>

namespace {

bool TimeValid(const CVKTDateTime& v) {
    return v.hour <= 23 && v.minute <= 59 && v.second <= 59;
}

bool SameDate(const CVKTDateTime& a, const CVKTDateTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

bool SameTime(const CVKTDateTime& a, const CVKTDateTime& b) {
    return a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

// A valid value from the input.
CVKTDateTime ValidValue(CFuzzInput& in) {
    CVKTDateTime v;
    v.year = in.Byte();
    v.month = uint8_t(in.Range(1, 12));
    v.day = uint8_t(in.Range(1, CVKTDateTime::DayMonth(v.GetYear(), v.month)));
    v.hour = uint8_t(in.Range(0, 23));
    v.minute = uint8_t(in.Range(0, 59));
    v.second = uint8_t(in.Range(0, 59));
    return v;
}

// A packed date that is a calendar date of 1900..2999.
bool CalendarDate(int packed) {
    const int y = packed / 10000, m = packed % 10000 / 100, d = packed % 100;
    return y >= 1900 && y <= 2999 && m >= 1 && m <= 12 && d >= 1 &&
           d <= CVKTDateTime::DayMonth(y, m);
}

void CheckTextSetters(const CVKTDateTime& start, const char* text, int yearField) {
    CVKTDateTime v = start;
    int r = v.SetDT(text);
    OSTRELLE_FUZZ_CHECK(r == 0 || r == -1 || r == -2);
    if (r == 0) OSTRELLE_FUZZ_CHECK(v.IsValid() || v.IsEmpty());
    if (r == -2) OSTRELLE_FUZZ_CHECK(std::memcmp(&v, &start, sizeof v) == 0);

    v = start;
    r = v.SetDTCheck(text);
    OSTRELLE_FUZZ_CHECK(r == -1 || (r == 0 && v.IsValid()));

    v = start;
    r = v.SetDate(text);
    if (r == 0) OSTRELLE_FUZZ_CHECK(v.IsValid() && v.GetTime() == 0);

    v = start;
    r = v.SetTime(text);
    OSTRELLE_FUZZ_CHECK(r == 0 || r == -2);
    OSTRELLE_FUZZ_CHECK(SameDate(v, start));
    if (r == 0)
        OSTRELLE_FUZZ_CHECK(TimeValid(v));
    else
        OSTRELLE_FUZZ_CHECK(SameTime(v, start));

    v = start;
    r = v.SetDTDash(text, yearField);
    OSTRELLE_FUZZ_CHECK(r == 0 || (r == 1 && v.IsValid()));
    if (r == 0) OSTRELLE_FUZZ_CHECK(!v.IsValid() || std::memcmp(&v, &start, sizeof v) == 0);

    v = start;
    v.SetDTJul(text);
    OSTRELLE_FUZZ_CHECK(v.IsValid() && v.GetTime() == 0);

    const int date = CVKTDateTime::ParseDateText(text);
    OSTRELLE_FUZZ_CHECK((date >= -3 && date <= -1) || CalendarDate(date));
    CVKTDateTime::ParseTimeText(text);
    CVKTDateTime::GetTimeAlpha(text);
}

// Written in a style that holds every field, the value reads back.
void CheckRoundTrip(const CVKTDateTime& v) {
    CString s;
    for (int style : {0, 9, 17}) {
        v.GetStr(s, style);
        CVKTDateTime back;
        OSTRELLE_FUZZ_CHECK(back.SetDT(s.c_str()) == 0);
        OSTRELLE_FUZZ_CHECK(std::memcmp(&back, &v, sizeof v) == 0);
    }
    for (int style : {1, 6, 12}) {
        v.GetStr(s, style);
        CVKTDateTime back;
        OSTRELLE_FUZZ_CHECK(back.SetDate(s.c_str()) == 0);
        OSTRELLE_FUZZ_CHECK(SameDate(back, v) && back.GetTime() == 0);
    }
    for (int style : {2, 7}) {
        v.GetStr(s, style);
        CVKTDateTime back = v;
        back.SetTime(0, 0, 0);
        OSTRELLE_FUZZ_CHECK(back.SetTime(s.c_str()) == 0);
        OSTRELLE_FUZZ_CHECK(std::memcmp(&back, &v, sizeof v) == 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    const CVKTDateTime start = ValidValue(in);
    const int yearField = in.Range(-1, 4), monthField = in.Range(-1, 4), dayField = in.Range(-1, 4);
    const char sep = in.Flag() ? in.Char() : "/ -"[in.Range(0, 2)];
    const int style = in.Int(-1, 18);
    const int amount = in.I32();
    const int step = in.Int(-2, 100000);
    uint64_t bits = in.U64();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    const long unixTime = long(int64_t(in.U64()));
    CVKTDateTime raw;
    std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
    const std::string text = in.Rest();
    const char* t = text.c_str();

    CheckTextSetters(start, t, yearField);
    const int alpha = CVKTDateTime::GetDateAlpha(t, yearField, monthField, dayField, sep);
    OSTRELLE_FUZZ_CHECK((alpha >= 1 && alpha <= 3) || CalendarDate(alpha));
    CheckRoundTrip(start);

    // Numeric setters: a value reported as set is valid.
    CVKTDateTime v;
    if (v.SetDTFloat(x) == 0) OSTRELLE_FUZZ_CHECK(v.IsValid());
    v = start;
    if (v.SetDTUnix(unixTime) == 0) OSTRELLE_FUZZ_CHECK(v.IsValid());
    v = start;
    v.SetDTJul(amount);
    OSTRELLE_FUZZ_CHECK(v.IsValid());

    // Shifts from a valid value stay valid (clamped at the ends).
    for (int which = 0; which < 3; ++which) {
        v = start;
        const int r = which == 0   ? v.ShiftDate(amount)
                      : which == 1 ? v.ShiftMonth(amount)
                                   : v.ShiftTime(amount);
        OSTRELLE_FUZZ_CHECK((r == 0 || r == -1) && v.IsValid());
    }
    v = start;
    v.RoundToNearestSec(step, amount & 1);
    OSTRELLE_FUZZ_CHECK(SameDate(v, start) && (TimeValid(v) || v.GetTime() == 240000));
    v = raw;
    v.FixDate();
    OSTRELLE_FUZZ_CHECK(v.IsValid() ||
                        (v.GetTime() == 240000 && v.month >= 1 && v.month <= 12 && v.day >= 1 &&
                         v.day <= CVKTDateTime::DayMonth(v.GetYear(), v.month)));

    // Formatting: any style, any fields; an unknown style keeps the output.
    CString s = "keep";
    raw.GetStr(s, style);
    CTxt out("keep");
    raw.GetTxt(out, style);
    OSTRELLE_FUZZ_CHECK(s == out.GetData());
    OSTRELLE_FUZZ_CHECK((style >= 0 && style <= 17) || s == "keep");
    CTxt dur;
    raw.GetDurTxt(dur, &start);
    raw.GetDurTxtHMS(dur, &start);
    CVKTDateTime::GetMonthTxt(amount, dur, amount & 1);
    CVKTDateTime::GetWeekDayTxt(amount, dur, amount & 1, step & 1);
    const int wd = CVKTDateTime::GetWeekDayVal(t, step & 1);
    OSTRELLE_FUZZ_CHECK(wd >= -1 && wd <= 6);
    return 0;
}

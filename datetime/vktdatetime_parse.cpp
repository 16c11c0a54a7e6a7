// CVKTDateTime: turning text into a date and time.
#include "datetime/vktdatetime.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "datetime/vktdatetime_internal.h"
#include "platform/clock.h"
#include "platform/fileinfo.h"
#include "platform/systime_def.h"
#include "textutil/bgetl.h"
#include "textutil/strfld.h"

using namespace vktdt;

namespace {

constexpr int kCopyMax = 1000; // characters of a text that are looked at
constexpr int kFieldMax = 100; // a field's buffer: 99 characters and the end

const char* const kMonthAbbr[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The private copy every parser works on: at most kCopyMax characters.
struct TextCopy {
    char text[kCopyMax + 1];
    explicit TextCopy(const char* from, bool trim = false) {
        text[0] = '\0';
        if (from) {
            size_t n = strnlen(from, kCopyMax);
            memcpy(text, from, n);
            text[n] = '\0';
        }
        if (trim) strtrim(text);
    }
};

// Field n of text split at sep (at most 99 characters).
struct Field {
    char text[kFieldMax];
    Field(const char* from, char sep, int n) { strfld(from, sep, n, 0, text, sizeof text); }
};

// The leading decimal integer (atol rule), held to the int range.
int LeadInt(const char* text) {
    long v = std::strtol(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

// 0..69 mean 2000..2069, 70..99 mean 1970..1999.
int TwoDigitYear(int y) {
    if (y < 70) y += 2000;
    if (y < 100) y += 1900;
    return y;
}

bool YearOk(int y) {
    return y >= 1900 && y <= 2999;
}

int CurrentYear() {
    CVKTDateTime now;
    now.SetNow();
    return now.GetYear();
}

// The number of the last month abbreviation that text matches over the
// shorter length (of the first count names), or 0.  An empty text names no
// month.
int MonthByName(const char* text, int count = 12) {
    int m = 0;
    if (!*text) return 0;
    for (int i = 0; i < count; ++i)
        if (strcmpci(text, kMonthAbbr[i], 0) == 0) m = i + 1;
    return m;
}

bool IsKeyword(const char* text, const char* keyword) {
    return strcmpci(text, keyword, 1) == 0;
}

// Any number reaches the time parsers; one that does not fit an int is out of
// range as a packed time anyway.
int ClampInt(int64_t v) {
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

// Shared first step of the time parsers for a text without two ':' fields:
// hours become HHMM, HHMM becomes HHMMSS.
int PackedFromNumber(int64_t v) {
    if (v < 24) v *= 100;
    if (v < 2400) v *= 100;
    return ClampInt(v);
}

// A time of day a value can hold as valid: 00:00:00 to 23:59:59.  The text
// parsers store nothing else, so what they report as set is valid.
bool IsTimeOfDay(int t) {
    return t >= 0 && t / 10000 <= 23 && t % 10000 / 100 <= 59 && t % 100 <= 59;
}

// 0 for a packed date whose month and day make a calendar date, else the
// parsers' code for the bad field (-2 month, -3 day).
int CheckMonthDay(int packed) {
    const int y = packed / 10000, m = packed % 10000 / 100, d = packed % 100;
    if (m < 1 || m > 12) return -2;
    return IsCalendarDate(y, m, d) ? 0 : -3;
}

int TimeFromFields(const char* text) {
    const int h = strfldint(text, ':', 1);
    const int m = strfldint(text, ':', 2);
    const int s = strfldint(text, ':', 3);
    if (h < 0 || h > 23) return -1;
    if (m < 0 || m > 59) return -2;
    if (s < 0 || s > 59) return -3;
    return h * 10000 + m * 100 + s;
}

} // namespace

int strtrim(char* text) {
    if (!text) return 0;
    size_t n = strlen(text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) --n;
    text[n] = '\0';
    size_t start = 0;
    while (start < n && (text[start] == ' ' || text[start] == '\t')) ++start;
    if (start > 0) memmove(text, text + start, n - start + 1);
    return int(n - start);
}

int CVKTDateTime::ParseTimeText(const char* from) {
    TextCopy c(from);
    if (strfldcnt(c.text, ':') < 2) return PackedFromNumber(LeadInt(c.text));
    return TimeFromFields(c.text);
}

int CVKTDateTime::GetTimeAlpha(const char* from) {
    TextCopy c(from);
    if (strfldcnt(c.text, ':') < 2) {
        const double v = std::strtod(c.text, nullptr);
        // Decimal hours (9.75 is 09:45:00); a number too large for hours is
        // read as an integer.
        if (std::isfinite(v) && std::fabs(v) < 1e9 && v != std::trunc(v)) {
            const int64_t h = int64_t(std::trunc(v));
            const int64_t s = int64_t(std::trunc((v - double(h)) * 3600));
            return ClampInt(h * 10000 + (s / 60) * 100 + s % 60);
        }
        return PackedFromNumber(LeadInt(c.text));
    }
    return TimeFromFields(c.text);
}

int CVKTDateTime::ParseDateText(const char* from) {
    TextCopy c(from);
    const int v = LeadInt(c.text);
    if (v > 18999999 && v <= 29991231) {
        // YYYYMMDD: a number that is no calendar date must not pass as one.
        const int bad = CheckMonthDay(v);
        return bad ? bad : v;
    }
    if (strfldcnt(c.text, '/') <= 1) {
        // YYMMDD.  The month and day are checked too: a number that is no
        // date must not pass as one.
        const int y = TwoDigitYear(v / 10000);
        if (!YearOk(y)) return -1;
        const int m = v % 10000 / 100, d = v % 100;
        if (m < 1 || m > 12) return -2;
        if (d < 1 || d > DayMonth(y, m)) return -3;
        return y * 10000 + m * 100 + d;
    }
    const Field yf(c.text, '/', 3);
    const int y = TwoDigitYear(yf.text[0] ? LeadInt(yf.text) : CurrentYear());
    if (!YearOk(y)) return -1;
    const int m = strfldint(c.text, '/', 1);
    if (m < 1 || m > 12) return -2;
    const int d = strfldint(c.text, '/', 2);
    if (d < 1 || d > DayMonth(y, m)) return -3;
    return y * 10000 + m * 100 + d;
}

int CVKTDateTime::SetDT(const char* from) {
    TextCopy c(from, true);
    if (!c.text[0]) {
        Reset();
        return 0;
    }
    if (IsKeyword(c.text, "TodayEST") || IsKeyword(c.text, "LIVE")) {
        SetNowEST();
        SetTime(0, 0, 0);
        return 0;
    }
    if (IsKeyword(c.text, "NowEST")) {
        SetNowEST();
        return 0;
    }
    if (IsKeyword(c.text, "Today")) {
        SetNow();
        SetTime(0, 0, 0);
        return 0;
    }
    if (IsKeyword(c.text, "Now")) {
        SetNow();
        return 0;
    }
    const Field w1(c.text, ' ', 1);
    if (LeadInt(w1.text) == 0) return 0;
    int date = 0, time = 0;
    if (strfldcnt(w1.text, ':') >= 2) {
        time = ParseTimeText(w1.text);
    } else {
        date = ParseDateText(w1.text);
        if (date < 0) return -1;
        time = ParseTimeText(Field(c.text, ' ', 2).text);
    }
    if (time < 0) return -2;
    // A packed number such as 99999 (09:99:99) or 240000 is no time of day.
    if (!IsTimeOfDay(time)) {
        Report("Invalid Time: %d", time);
        return -2;
    }
    return SetDT((unsigned long)date, (unsigned long)time);
}

int CVKTDateTime::SetDTCheck(const char* text) {
    if (SetDT(text) < 0 || !IsValid()) return -1;
    return 0;
}

int CVKTDateTime::SetDate(const char* text) {
    const int date = ParseDateText(text);
    if (date < 0) return -1;
    return SetDT((unsigned long)date, 0UL);
}

int CVKTDateTime::SetTime(const char* from) {
    TextCopy c(from, true);
    if (!c.text[0]) {
        SetTime(0, 0, 0);
        return 0;
    }
    int t = ParseTimeText(c.text);
    if (IsKeyword(c.text, "TodayEST") || IsKeyword(c.text, "LIVE") || IsKeyword(c.text, "NowEST")) {
        CVKTDateTime v;
        v.SetNowEST();
        t = v.GetTime();
    } else if (IsKeyword(c.text, "Today") || IsKeyword(c.text, "Now")) {
        CVKTDateTime v;
        v.SetNow();
        t = v.GetTime();
    }
    if (!IsTimeOfDay(t)) {
        Report("Invalid Time: %d", t);
        return -2;
    }
    int h = t / 10000;
    minute = uint8_t(t % 10000 / 100);
    second = uint8_t(t % 100);
    const size_t n = strlen(c.text);
    if (n >= 2) {
        if (strcmpci(c.text + n - 2, "PM", 1) == 0) h += 12;
        if (h >= 24) h -= 12;
    }
    hour = uint8_t(h);
    return 0;
}

int CVKTDateTime::SetDTDash(const char* from, int yearField) {
    TextCopy c(from);
    int y = strfldint(c.text, '-', yearField);
    const int m = strfldint(c.text, '-', 2);
    const int d = strfldint(c.text, '-', yearField == 1 ? 3 : 1);
    if (y > 1900) y -= 1900;
    // Fields that do not fit their 8 bits are not stored: kept modulo 256
    // they could read as a valid date that was never written.
    if (y < 0 || y > 255 || m < 0 || m > 255 || d < 0 || d > 255) return 0;
    year = uint8_t(y), month = uint8_t(m), day = uint8_t(d);
    return IsValid();
}

int CVKTDateTime::GetDateAlpha(const char* from, int yearField, int monthField, int dayField,
                               char sep) {
    TextCopy c(from);
    const int v = LeadInt(c.text);
    if (v > 0 && IsDate((unsigned long)v)) {
        const int bad = CheckMonthDay(v);
        return bad ? -bad : v; // 2 bad month, 3 bad day
    }

    if (strfldcnt(c.text, '-') >= 3 && monthField == 2) {
        // D-M-Y, the month by number or name, becomes Y/M/D.
        const int d = v;
        Field mf(c.text, '-', 2);
        strtrim(mf.text);
        int m = LeadInt(mf.text);
        if (const int byName = MonthByName(mf.text)) m = byName;
        const int y = strfldint(c.text, '-', 3);
        std::snprintf(c.text, sizeof c.text, "%d/%d/%d", y, m, d);
    }

    if (yearField == -1) {
        // "Month Day": the year is left to the current one.
        const Field w(c.text, ' ', 1);
        if (!w.text[0]) return 1;
        const int m = MonthByName(w.text);
        if (m == 0) return 2;
        const int d = strfldint(c.text, ' ', 2);
        std::snprintf(c.text, sizeof c.text, "/%d/%d", m, d);
        yearField = 1;
    }

    const Field yf(c.text, sep, yearField);
    const int y = TwoDigitYear(yf.text[0] ? LeadInt(yf.text) : CurrentYear());
    if (!YearOk(y)) return 1;

    Field mf(c.text, sep, monthField);
    strtrim(mf.text);
    int m = std::isdigit((unsigned char)mf.text[0]) ? LeadInt(mf.text) : 0;
    if (const int byName = MonthByName(mf.text, 11)) m = byName;
    if (mf.text[0] && strcmpci(mf.text, "Dec", 0) == 0) m = 12;
    if (m < 1 || m > 12) return 2;

    const int d = strfldint(c.text, sep, dayField);
    if (d < 1 || d > DayMonth(y, m)) return 3;
    return y * 10000 + m * 100 + d;
}

int CVKTDateTime::SetDTFile(const char* path, char which) {
    Reset();
    const int w = std::toupper((unsigned char)which);
    if (w == 'A' || w == 'C' || w == 'M') {
        FileInfo fi;
        if (!path || !GetFileInfo(path, fi)) return -1;
        int64_t secs = fi.modified;
        int ms = fi.modifiedMs;
        if (w == 'A') secs = fi.accessed, ms = fi.accessedMs;
        if (w == 'C') secs = fi.created, ms = fi.createdMs;
        const FileStamp ls = LocalStamp(secs, ms);
        SYSTEMTIME st{};
        st.wYear = uint16_t(ls.year);
        st.wMonth = uint16_t(ls.month);
        st.wDay = uint16_t(ls.day);
        st.wHour = uint16_t(ls.hour);
        st.wMinute = uint16_t(ls.minute);
        st.wSecond = uint16_t(ls.second);
        // A stamp outside 1900..2155 cannot be held: nothing is stored.
        if (SetDT(&st) != 0) {
            Reset();
            return -2;
        }
        return 0;
    }
    if (w == 'S') {
        const int64_t t = path ? filetime(path) : -1;
        if (t < 0) return -1;
        if (t > LONG_MAX || SetDTUnix(long(t)) != 0) return -2;
        return 0;
    }
    return 0;
}

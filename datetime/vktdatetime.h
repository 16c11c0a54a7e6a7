// CVKTDateTime: a local calendar date and time of day to the second, with no
// zone and no fraction of a second; parsing, formatting, the clock and zones.
#pragma once

#include "ostrelle_api.h"

#include <cstdint>
#include <string>

#include "platform/systime.h"
#include "txt/cstring.h"

class CTxt;

// Removes blanks and tabs from both ends of text in place; returns the new
// length (0 for a null text).
OSTRELLE_API int strtrim(char* text);

// Six 8-bit fields and nothing else: copied byte for byte.
//
// Two integer encodings are used throughout:
//  - packed date: year*10000 + month*100 + day (20071207);
//  - packed time: hour*10000 + minute*100 + second (93005 is 09:30:05).
//
// Range: `year` holds years after 1900, 0..255, so only 1900..2155 can be
// represented.  No operation keeps the low 8 bits of a year outside that range:
// each either rejects the store with its own failure result (value unchanged)
// or, where it has no failure result, clamps to the nearest representable
// moment (1900-01-01 00:00:00 or 2155-12-31 23:59:59), as stated per method.
class OSTRELLE_API CVKTDateTime {
public:
    uint8_t year = 0; // years after 1900 (2007 is 107)
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;

    // ---- Value and state ----------------------------------------------------

    CVKTDateTime() = default; // the empty value: all fields 0
    void Reset();
    void Copy(const CVKTDateTime* from); // null copies nothing
    int IsEmpty() const;                 // 1 when all six fields are 0
    int IsFilled() const;                // 1 when any field is not 0
    // 1 when month, day (for the month's length), hour, minute and second are in
    // range; the year is not checked.
    int IsValid() const;
    static int IsDate(unsigned long date); // 19000101 <= date <= 29991231
    static int IsTime(unsigned long time); // time <= 240000 (negatives fail)
    int GetYear() const { return year + 1900; }

    // ---- Setting --------------------------------------------------------------

    // Current local time to the second.  Returns 0; -1 (value unchanged) when
    // the clock reads a year outside 1900..2155.
    int SetNow();
    // Bad time: reports "Invalid Time: %d", returns -2, changes nothing.
    // Otherwise stores the time of day; then a good date is stored (0), or
    // "Invalid Date: %d" is reported and -1 returned with the new time and the
    // old date.  A date whose year is beyond 2155 counts as a bad date.  The
    // day is not checked against the month.
    int SetDT(unsigned long date, unsigned long time);
    int SetTimeSec(int s); // no range check (86400 gives hour 24); returns 0
    int SetTime(unsigned char h, unsigned char m, unsigned char s);
    // Stores the fields, then 0, or -1 hour > 24, -2 minute > 59, -3 second > 59,
    // -4 hour 24 with minutes or seconds.  24:00:00 is accepted.
    int SetTimeHMS(int v);
    // The date of Julian day number jd at 00:00:00; returns jd minus the Julian
    // day of today.  A day outside the range clamps to 1900-01-01 or 2155-12-31.
    // Today is the local date of the system time in whole seconds (a reading
    // that may lag SetNow's by a few milliseconds); it is converted once a
    // second and again whenever ZoneReload runs.
    int SetDTJul(int jd);
    int SetDTJul(const char* text); // the decimal integer at the start of text
    // x counts days (and fractions) from 1899-12-30.  Returns 0 for a valid
    // result, else -1; a day outside the range (or a NaN or infinite x) leaves
    // the empty value and returns -1.
    int SetDTFloat(double x);
    // Seconds since 1970-01-01 UTC as local time.  Returns 0; -1 with the value
    // unchanged when the C library cannot convert t or its year is outside the
    // range.
    int SetDTUnix(long t);
    // Forces a usable value (empty becomes 1900-01-01; month, day, minute and
    // second are clamped; an hour above 24, or an hour of 24 with minutes or
    // seconds, gives 23:59:59, so 24:00:00 is the only hour 24 left).
    // Returns 0.
    int FixDate();

    // ---- Reading --------------------------------------------------------------

    // Mode 0 (and >= 2): packed date, 0 when not valid.  1: short form
    // year*10000 + month*100 + day, 0 when not valid.  -1: short form unchecked.
    // Below -1: packed date unchecked.
    int GetDate(int mode = 0) const;
    int GetTime() const;
    int GetTimeSec() const;
    int GetTimeShift(int secs) const; // packed time of the time moved, wrapped
    // Key of a two-digit-year date and the index of a len-second interval
    // within the day (unsigned arithmetic); len must be positive.
    unsigned int GetIntervalIdx(int len, int offset) const;
    float GetDateFloat() const; // increasing with the value; not a day count
    // Two-digit-year rule, then 1 bad year (outside 1900..2999), 2 bad month,
    // 3 bad day (1..31), else the packed date.
    static int GetDateMDY(int year, int month, int day);
    // 4 bad hour, 5 bad minute, 6 bad second, else the packed time.
    static int GetTimeHMS(int h, int m, int s);

    // ---- Comparing ------------------------------------------------------------

    // -1 earlier, 1 later, 0 equal over the fields up to level (1 year .. 5
    // minute, other all six).  Null other compares with now.
    int Compare(const CVKTDateTime* other, int level = 6) const;
    // 3 days differ, else 2 months differ, else 1 years differ, else 0.
    int SameDate(const CVKTDateTime* other) const;

    // ---- Calendar (British: Julian up to 1752, Gregorian after) ----------------

    static int DayYear(int year);             // 366 or 365
    static int DayMonth(int year, int month); // 0 for a month outside 1..12
    static int Jan1(int year);                // weekday of 1 January, 0 = Sunday
    int GetWeekDay(int mode = 0) const;       // 0: 0 = Sunday; else 0 = Monday
    int GetWeekStart(int mode = 0) const;     // packed date of the week's first day
    int GetJulian() const;                    // 2000-01-01 is 2451545
    int GetJulianWeek(int mode = 0) const;    // (GetJulian - GetWeekDay(mode)) / 7

    // ---- Shifting ---------------------------------------------------------------
    // Each costs O(1) whatever the amount.  A result beyond the range clamps to
    // 1900-01-01 00:00:00 or 2155-12-31 23:59:59 and returns -1; else 0.

    int ShiftYear(int n); // nothing else adjusted: 29 February can become invalid
    // Forward: a day beyond the new month's end rolls into the next month
    // (31 January + 1 is 1 March).  Backward: clamped to the month's end.  The
    // time of day is carried along as it is (24:00:00 included).
    int ShiftMonth(int n);
    int ShiftDate(int n);
    int ShiftTime(int secs);
    // Time of day to step * (seconds / step), one step more when up is 1; the
    // date is unchanged, so the result can be 24:00:00, and a result beyond
    // that (a step longer than what is left of the day) is held at 24:00:00.
    // A step <= 0 counts as 1.
    int RoundToNearestSec(int step, int up);

    // ---- Differences (a null other means now) ------------------------------------

    // Seconds from this value to other (positive when other is later); an
    // empty other also means now.  The 32-bit form saturates at INT_MIN/INT_MAX.
    int GetDiffSec(const CVKTDateTime* other) const;
    int64_t GetDiffSecBig(const CVKTDateTime* other) const;
    float GetDiffDays(const CVKTDateTime* other) const;
    // As GetDiffSecBig, but both values are converted as local times by the C
    // library, so daylight-saving changes count.  When either conversion fails
    // the result is GetDiffSecBig's (calendar seconds, no daylight saving).
    int64_t GetDiffSecSpan(const CVKTDateTime* other) const;
    // GetDiffSecSpan in days.  Changes both values in place first: this value's
    // date becomes 1900-01-01 when GetDate(0) is below 19000101 (every invalid
    // value), other's when its year, month and day are all 0.
    float GetDiffDaysSpan(CVKTDateTime* other);
    // Months from other to this value (positive when this value is later), the
    // remainder as a fraction of a month.
    float GetDiffMonth(const CVKTDateTime* other) const;

    // ---- Parsing ------------------------------------------------------------------
    // Texts are read from a private copy of at most 1000 characters.  What a
    // text setter reports as set is valid: a packed date in the text
    // (YYYYMMDD, YYMMDD) must be a calendar date, and a time must be a time of
    // day from 00:00:00 to 23:59:59 (a packed 99999 or 240000 is a bad time).

    // Free-form date and time, or "Now", "Today", "NowEST", "TodayEST", "LIVE";
    // blanks give the empty value.  0, -1 bad date, -2 bad time.
    int SetDT(const char* text);
    int SetDTCheck(const char* text); // -1 when SetDT fails or the value is invalid
    int SetDate(const char* text);    // the date at 00:00:00
    int SetTime(const char* text);    // time of day only, "PM" adds 12 hours; 0 or -2
    // Y-M-D (yearField 1) or D-M-Y (3).  Returns IsValid(): 1 valid, 0 not.  A
    // year that does not fit 1900..2155 stores nothing and returns 0.
    int SetDTDash(const char* text, int yearField);
    // A file's time stamp as local time: 'A' last access, 'C' creation, 'M'
    // last write, 'S' modification time as stat reports it.  Resets first.
    // -1 when the file cannot be examined, -2 (empty value) when its time lies
    // outside 1900..2155; other letters return 0 and leave the empty value.  Where the file system
    // keeps no creation time, 'C' reports the last status change, the nearest time the system
    // records.
    int SetDTFile(const char* path, char which);
    // Packed date, or 1 bad year, 2 bad month, 3 bad day.
    static int GetDateAlpha(const char* text, int yearField, int monthField, int dayField,
                            char sep);
    // Packed time (decimal hours accepted: 9.75 is 94500), or -1 bad hour, -2 bad
    // minute, -3 bad second.
    static int GetTimeAlpha(const char* text);
    static int ParseDateText(const char* text); // packed date, or -1, -2, -3
    static int ParseTimeText(const char* text); // packed time, or -1, -2, -3

    // ---- Formatting ---------------------------------------------------------------

    // Styles 0..17 (see README); any other style leaves out unchanged.
    void GetStr(CString& out, int style) const;
    // The same into a CTxt; any other style leaves out unchanged too.
    void GetTxt(CTxt& out, int style) const;
    static void GetMonthTxt(int month, CTxt& out, int abbreviated);
    // mode 1: n is Monday-based; otherwise Sunday-based.
    static void GetWeekDayTxt(int n, CTxt& out, int abbreviated, int mode);
    // Weekday number of a name (leading abbreviation, any case), -1 for none;
    // mode 1 Monday-based, else Sunday-based.
    static int GetWeekDayVal(const char* name, int mode);
    static void GetCurrDate(CString& out); // now in style 12
    static void GetCurrDateCTxt(CTxt& out);
    static void GetCurrDateTime(CString& out); // now in style 9
    static void GetCurrDateTimeCTxt(CTxt& out);
    // Time from this value to other as "59 Secs", "1 Min", "1.50 Mins",
    // "1.50 Hrs", "1.042 Days"; returns 0 secs, 1 mins, 2 hours, 3 days.
    int GetDurTxt(CTxt& out, const CVKTDateTime* other) const;
    // "%02d:%02d:%02d" below a day (returns 1), else "%.3f Days" (returns 2).
    int GetDurTxtHMS(CTxt& out, const CVKTDateTime* other) const;

    // ---- Clock and zones ----------------------------------------------------------

    int SetNowGMT(); // current UTC; 0, or -1 (unchanged) outside the range
    int SetNowEST(); // current US Eastern time; 0, or -1 (unchanged)
    // Seconds to add to UTC for US Eastern time: five hours behind plus the
    // daylight shift the local zone has in effect now; -18000 when the zone's
    // biases cannot be read.
    static int GetEasternOffset();
    // Treats the value as UTC and shifts it to local time by the zone's rule in
    // effect now (whatever the value's own date).  Returns 0 (-1 when clamped).
    int AdjToLocal();
    void GetSYSTEMTIME(SYSTEMTIME* st) const; // milliseconds 0
    // Stores the fields of st; 0 when valid, else -1.  A year outside
    // 1900..2155 (or a null st) stores nothing and returns -1.
    int SetDT(const SYSTEMTIME* st);

    // ---- Internet time synchronisation (datetime/timesync.cpp) --------------------

    // Today's date from the time service's date page at 00:00:00: 0; -1 the
    // page could not be fetched (the value is then now); -2 no date found.
    int SetNowURL();
    // Current UTC from the time service clock pages; text receives the value
    // (style 0) or the failure.  mode 1 waits for the service's next second.
    // 0, -1 session, -2 URL open, -3 read, -5 not found, -6 bad date/time.
    int SetNowNavy(CString& text, int mode);
    int SetNowTimeGov(CString& text, int mode);
    // Sets the local clock to this value taken as UTC; 0, or -1 when the clock
    // could not be set.  adjusted (when given) receives the change in seconds.
    int SyncGMT(CString& text, float* adjusted);
    // Calendar self-check over 2002..2004 writing "Lunar.csv"; returns the
    // number of errors reported.
    int TestJulian();
};

// Same fields and assignment; only Compare differs (null other gives 99).
class OSTRELLE_API CVKTDateTimePlain : public CVKTDateTime {
public:
    // As CVKTDateTime::Compare, but a null other gives 99 (not the clock).
    int Compare(const CVKTDateTimePlain* other, int level = 6) const;
};

// Two values and a number.
class OSTRELLE_API CVKTDateTimeInterval {
public:
    CVKTDateTime start;
    CVKTDateTime end;
    int32_t extra = 0;
};

static_assert(sizeof(CVKTDateTime) == 6, "six 8-bit fields");
static_assert(sizeof(CVKTDateTimePlain) == 6, "six 8-bit fields");

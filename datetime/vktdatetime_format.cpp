// CVKTDateTime: turning a value into text.
#include "datetime/vktdatetime.h"

#include <cinttypes>
#include <cstdio>

#include "textutil/strfld.h"
#include "txt/ctxt.h"

namespace {

const char* const kMonthAbbr[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kMonthFull[12] = {"January",   "February", "March",    "April",
                                    "May",       "June",     "July",     "August",
                                    "September", "October",  "November", "December"};
const char* const kDayAbbr[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kDayFull[7] = {"Sunday",   "Monday", "Tuesday", "Wednsday",
                                 "Thursday", "Friday", "Saturday"};

// Every style fits easily: six numbers of at most three digits and a few marks.
constexpr int kStyleBuf = 96;
constexpr int kLastStyle = 17;

} // namespace

void CVKTDateTime::GetStr(CString& out, int style) const {
    const int Y = GetYear(), y = year % 100, M = month, D = day;
    const int h = hour, m = minute, s = second;
    // AM up to hour 12 (noon prints as 12 with AM), PM from 13 on.
    const bool pm = h >= 13;
    const int h12 = pm ? h - 12 : h;
    const char* ap = pm ? "PM" : "AM";
    char b[kStyleBuf];
    switch (style) {
    case 0:
        std::snprintf(b, sizeof b, "%04d%02d%02d %02d:%02d:%02d", Y, M, D, h, m, s);
        break;
    case 1:
        std::snprintf(b, sizeof b, "%04d%02d%02d", Y, M, D);
        break;
    case 2:
        std::snprintf(b, sizeof b, "%02d:%02d:%02d", h, m, s);
        break;
    case 3:
        std::snprintf(b, sizeof b, "%d/%d/%02d %02d:%02d:%02d", M, D, y, h, m, s);
        break;
    case 4:
        std::snprintf(b, sizeof b, "%d/%d/%02d", M, D, y);
        break;
    case 5:
        std::snprintf(b, sizeof b, "%02d:%02d", h, m);
        break;
    case 6:
        std::snprintf(b, sizeof b, "%d/%d/%04d", M, D, Y);
        break;
    case 7:
        std::snprintf(b, sizeof b, "%02d:%02d:%02d%s", h12, m, s, ap);
        break;
    case 8:
        std::snprintf(b, sizeof b, "%02d:%02d%s", h12, m, ap);
        break;
    case 9:
        std::snprintf(b, sizeof b, "%d/%d/%04d %02d:%02d:%02d", M, D, Y, h, m, s);
        break;
    case 10:
        std::snprintf(b, sizeof b, "%04d%02d%02d_%02d%02d%02d", Y, M, D, h, m, s);
        break;
    case 11:
        std::snprintf(b, sizeof b, "%02d%02d%02d", h, m, s);
        break;
    case 12:
        std::snprintf(b, sizeof b, "%02d/%02d/%04d", M, D, Y);
        break;
    case 13:
        std::snprintf(b, sizeof b, "%02d/%02d/%04d %02d:%02d", M, D, Y, h, m);
        break;
    case 14:
        std::snprintf(b, sizeof b, "%02d/%02d", M, D);
        break;
    case 15:
        std::snprintf(b, sizeof b, "%02d/%02d/%04d %02d:%02d%s", M, D, Y, h12, m, ap);
        break;
    case 16:
        std::snprintf(b, sizeof b, "%02d/%02d/%04d %02d:%02d:%02d%s", M, D, Y, h12, m, s, ap);
        break;
    case 17:
        std::snprintf(b, sizeof b, "%02d/%02d/%04d %02d:%02d:%02d", M, D, Y, h, m, s);
        break;
    default:
        return;
    }
    out = b;
}

void CVKTDateTime::GetTxt(CTxt& out, int style) const {
    // An unknown style leaves out as it was, as GetStr does.
    if (style < 0 || style > kLastStyle) return;
    CString s;
    GetStr(s, style);
    out = s.c_str();
}

void CVKTDateTime::GetMonthTxt(int month, CTxt& out, int abbreviated) {
    if (month < 1 || month > 12) {
        out.Format("?%d", month);
        return;
    }
    out = abbreviated ? kMonthAbbr[month - 1] : kMonthFull[month - 1];
}

void CVKTDateTime::GetWeekDayTxt(int n, CTxt& out, int abbreviated, int mode) {
    n %= 7;
    if (mode == 1) n = (n + 1) % 7;
    if (n < 0 || n > 6) {
        out.Format("?%d", n);
        return;
    }
    out = abbreviated ? kDayAbbr[n] : kDayFull[n];
}

int CVKTDateTime::GetWeekDayVal(const char* name, int mode) {
    if (!name) return -1;
    int found = -1;
    for (int i = 0; i < 7; ++i)
        if (strcmpci(kDayAbbr[i], name, 2) == 0) found = i;
    if (found < 0 || mode != 1) return found;
    return found == 0 ? 6 : found - 1;
}

void CVKTDateTime::GetCurrDate(CString& out) {
    CVKTDateTime now;
    now.SetNow();
    now.GetStr(out, 12);
}

void CVKTDateTime::GetCurrDateCTxt(CTxt& out) {
    CVKTDateTime now;
    now.SetNow();
    now.GetTxt(out, 12);
}

void CVKTDateTime::GetCurrDateTime(CString& out) {
    CVKTDateTime now;
    now.SetNow();
    now.GetStr(out, 9);
}

void CVKTDateTime::GetCurrDateTimeCTxt(CTxt& out) {
    CVKTDateTime now;
    now.SetNow();
    now.GetTxt(out, 9);
}

int CVKTDateTime::GetDurTxt(CTxt& out, const CVKTDateTime* other) const {
    const int64_t d = GetDiffSecBig(other);
    if (d >= 86400) {
        out.Format("%.3f Days", double(float(d) * (1.0f / 86400.0f)));
        return 3;
    }
    if (d >= 3600) {
        out.Format("%.2f Hrs", double(float(d) * (1.0f / 3600.0f)));
        return 2;
    }
    if (d == 60) {
        out = "1 Min";
        return 1;
    }
    if (d > 60) {
        const double mins = double(float(d) * (1.0f / 60.0f));
        out.Format(d % 60 == 0 ? "%.0f Mins" : "%.2f Mins", mins);
        return 1;
    }
    out.Format("%02" PRId64 " Secs", d);
    return 0;
}

int CVKTDateTime::GetDurTxtHMS(CTxt& out, const CVKTDateTime* other) const {
    const int64_t d = GetDiffSecBig(other);
    if (d < 86400) {
        // Below a day in 32 bits; a span far in the past saturates rather
        // than wrapping into a positive number.
        const int v = d < INT32_MIN ? INT32_MIN : int(d);
        out.Format("%02d:%02d:%02d", v / 3600, (v % 3600) / 60, (v % 3600) % 60);
        return 1;
    }
    out.Format("%.3f Days", double(float(d) * (1.0f / 86400.0f)));
    return 2;
}

// Internet time synchronisation: the date and clock pages of the time
// services, setting the local clock, and the calendar self-check.
#include "platform/errtext.h"
#include "datetime/timesync.h"

#include "datetime/httpget.h"
#include "datetime/vktdatetime.h"
#include "diag/logtrace.h"
#include "diag/settings.h"
#include "platform/clock.h"
#include "platform/clockset.h"
#include "platform/http.h"
#include "platform/systime_def.h"
#include "textutil/bgetl.h"
#include "textutil/strfld.h"
#include "txt/ctxt.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr const char* kNotFound = "SetGMT:  Clould not find Universal time";
constexpr int kLineSize = 1001;    // lines of at most 1000 characters
constexpr int kDateLineSize = 100; // date-page lines of at most 99 characters

// The process-wide line reader over a block, released on every path.
class MemoryLines {
public:
    MemoryLines(const char* block, int length) { bgetlmem(block, length); }
    ~MemoryLines() { bgetlrelease(); }
    MemoryLines(const MemoryLines&) = delete;
    MemoryLines& operator=(const MemoryLines&) = delete;
    // The next line, upper-cased; false at the end.
    bool Next(char* line, int size) {
        if (bgetl(line, size) < 0) return false;
        for (char* p = line; *p; ++p) *p = char(std::toupper((unsigned char)*p));
        return true;
    }
};

std::string FormatLine(const char* fmt, const char* text, int a, int b) {
    char buf[kLineSize + 100];
    std::snprintf(buf, sizeof buf, fmt, text, a, b);
    return buf;
}

const char* HostSetting(const char* key, const char* def, char* buf, int size) {
    ReadIniString(kTimeSyncSection, key, def, buf, size, nullptr);
    if (!buf[0]) std::snprintf(buf, size_t(size), "%s", def);
    return buf;
}

// How one clock page yields a reading: scans the lines of one fetch and
// returns -5 (nothing usable: fetch again), -6 (bad date/time, Navy only)
// or 0 (a reading, stored in value and shown in text).
enum class Service { Navy, TimeGov };

// The first-reading rule: with mode 1 the first reading is only kept, and
// a later one counts once it differs from it.
int TakeReading(CVKTDateTime& value, CVKTDateTime& first, CString& text, int mode) {
    value.GetStr(text, 0);
    if (mode == 1 && first.IsEmpty()) {
        first = value;
        return -5;
    }
    return value.Compare(&first, 6) != 0 ? 0 : -5;
}

int scannavy(MemoryLines& lines, CVKTDateTime& value, CVKTDateTime& first, CString& text,
             int mode) {
    char line[kLineSize];
    while (lines.Next(line, sizeof line)) {
        if (strfindci(line, "UNIVERSAL") < 0) continue;
        int date = CVKTDateTime::GetDateAlpha(line, 4, 2, 3, ' ');
        char word[kDateLineSize];
        strfld(line, ' ', 5, 0, word, sizeof word);
        strtrim(word);
        int time = CVKTDateTime::GetTimeAlpha(word);
        if (value.SetDT((unsigned long)date, (unsigned long)time) != 0) {
            text = FormatLine("Invalid date/time in %s (%d, %d)", line, date, time);
            return -6;
        }
        return TakeReading(value, first, text, mode);
    }
    return -5;
}

// Start of a time followed by markup ("HH:MM:SS<") at or after from, or -1.
int FindTime(const char* line, int from) {
    int len = int(std::strlen(line));
    for (int i = from; i + 8 < len; ++i)
        if (line[i + 2] == ':' && line[i + 5] == ':' && line[i + 8] == '<') return i;
    return -1;
}

int scantimegov(MemoryLines& lines, CVKTDateTime& value, CVKTDateTime& first, CString& text,
                int mode) {
    char line[kLineSize];
    char dateLine[kLineSize];
    bool more = lines.Next(line, sizeof line);
    while (more) {
        bool haveDateLine = false;
        bool nextRead = false; // the line after this one was taken as its date line
        for (int at = FindTime(line, 0); at >= 0; at = FindTime(line, at + 1)) {
            char timeText[9];
            std::memcpy(timeText, line + at, 8);
            timeText[8] = '\0';
            int time = CVKTDateTime::GetTimeAlpha(timeText);
            if (!haveDateLine) {
                haveDateLine = true;
                nextRead = true;
                if (!lines.Next(dateLine, sizeof dateLine)) dateLine[0] = '\0';
            }
            char fields[kLineSize];
            strfld(dateLine, ',', 2, 3, fields, sizeof fields);
            strtrim(fields);
            int date = CVKTDateTime::GetDateAlpha(fields, 3, 1, 2, ' ');
            if (value.SetDT((unsigned long)date, (unsigned long)time) != 0) {
                text = FormatLine("Invalid date/time in %s (%d, %d)", dateLine, date, time);
                continue;
            }
            // A reading of 00:00:00 (or of no date) is passed over.
            if (value.GetDate(-2) > 0 && value.GetTime() > 0)
                return TakeReading(value, first, text, mode);
            break;
        }
        if (nextRead) {
            // The date line may itself hold a time: scan it next.
            std::memcpy(line, dateLine, sizeof line);
            more = dateLine[0] != '\0' || lines.Next(line, sizeof line);
        } else {
            more = lines.Next(line, sizeof line);
        }
    }
    return -5;
}

// Reads the clock page of a service until a reading counts (see the
// methods' contracts), at most kTimeSyncMaxFetches times.
int ReadClockPage(CVKTDateTime& value, CString& text, int mode, Service service) {
    const bool navy = service == Service::Navy;
    CHttpSession session(navy ? "SetNowNavy" : "SetNowTimeGov");
    if (!session.Ok()) {
        text = "SyncTime: Internet open error!";
        return -1;
    }
    session.SetTimeouts(HttpConnectTimeout(), HttpTotalTimeout());
    session.SetMaxBody(HttpMaxBody());
    char host[256];
    HttpTarget target;
    std::string hostport =
        navy ? TimeSyncFirstHost(host, sizeof host) : TimeSyncSecondHost(host, sizeof host);
    target.path = navy ? "/cgi-bin/timer.pl" : "/timezone.cgi?UTC/s/0";
    HttpGetService kind;
    if (!HttpParseUrl(("http://" + hostport + target.path).c_str(), kind, target) ||
        kind != HTTPGET_SERVICE_HTTP) {
        text = "SyncTime: URL open error!";
        return -2;
    }
    HttpRequestOptions options;
    options.followRedirects = true;
    options.reload = true;

    CVKTDateTime first;
    auto page = std::make_unique<char[]>(kTimeSyncPageBytes);
    for (int fetch = 0; fetch < kTimeSyncMaxFetches; ++fetch) {
        if (fetch > 0) SleepMs(kTimeSyncFetchPauseMs);
        CHttpRequest request(session);
        if (!request.Send(target, options)) {
            text = "SyncTime: URL open error!";
            return -2;
        }
        long n = request.Read(page.get(), kTimeSyncPageBytes);
        if (n < 0) {
            text = "SyncTime: URL reading error!";
            return -3;
        }
        text = kNotFound;
        int result = -5;
        if (n > 0) {
            MemoryLines lines(page.get(), int(n));
            result = navy ? scannavy(lines, value, first, text, mode)
                          : scantimegov(lines, value, first, text, mode);
        }
        if (result != -5) return result;
    }
    text = kNotFound;
    return -5;
}

} // namespace

const char* TimeSyncFirstHost(char* buf, int size) {
    return HostSetting(kTimeSyncFirstHostKey, kTimeSyncFirstHostDefault, buf, size);
}

const char* TimeSyncSecondHost(char* buf, int size) {
    return HostSetting(kTimeSyncSecondHostKey, kTimeSyncSecondHostDefault, buf, size);
}

int CVKTDateTime::SetNowURL() {
    char host[256];
    std::string url = "http://";
    url += TimeSyncFirstHost(host, sizeof host);
    url += "/cgi-bin/dater.sh";
    CString body;
    if (HttpGetUrl(url.c_str(), &body) != 0) {
        SetNow();
        return -1;
    }
    // Each line feed-separated field, at most 99 characters of it.
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('\n', start);
        if (end == std::string::npos) end = body.size();
        if (start == body.size() && end == start) break; // nothing after the last line feed
        char line[kDateLineSize];
        size_t n = std::min(end - start, size_t(kDateLineSize - 1));
        std::memcpy(line, body.data() + start, n);
        line[n] = '\0';
        if (SetDT((unsigned long)GetDateAlpha(line, 1, 2, 3, '/'), 0) == 0) return 0;
        start = end + 1;
    }
    return -2;
}

int CVKTDateTime::SetNowNavy(CString& text, int mode) {
    return ReadClockPage(*this, text, mode, Service::Navy);
}

int CVKTDateTime::SetNowTimeGov(CString& text, int mode) {
    return ReadClockPage(*this, text, mode, Service::TimeGov);
}

int CVKTDateTime::SyncGMT(CString& text, float* adjusted) {
    CVKTDateTime t = *this;
    t.AdjToLocal();
    CVKTDateTime now;
    now.SetNow();
    int diffNow = now.GetDiffSec(&t);
    if (adjusted) *adjusted = 0;

    // Set the clock close to the start of a second.
    SYSTEMTIME before{};
    ClockLocal(before);
    if (before.wMilliseconds > 100) {
        SleepMs(1000 - before.wMilliseconds);
        ClockLocal(before);
    }
    SYSTEMTIME target{};
    t.GetSYSTEMTIME(&target);
    int error = SetLocalClock(target);
    SYSTEMTIME after{};
    ClockLocal(after);

    CVKTDateTime b, a;
    b.SetDT(&before);
    a.SetDT(&after);
    long changeMs =
        long(b.GetDiffSec(&a)) * 1000 + long(after.wMilliseconds) - long(before.wMilliseconds);
    if (adjusted) *adjusted = float(changeMs) * 0.001f;

    char buf[1200];
    if (error != 0) {
        std::snprintf(buf, sizeof buf, "SetLocalTime failed (Error %d=%s)", error,
                      SysErrorText(error).c_str());
        text = buf;
        return -1;
    }
    std::snprintf(buf, sizeof buf,
                  "Adjusted %6.3f Sec to %d/%d/%d %02d:%02d:%02d.%03d "
                  "(From %d/%d/%d %02d:%02d:%02d.%03d) DiffNow=%d",
                  double(changeMs) * 0.001, after.wMonth, after.wDay, after.wYear, after.wHour,
                  after.wMinute, after.wSecond, after.wMilliseconds, before.wMonth, before.wDay,
                  before.wYear, before.wHour, before.wMinute, before.wSecond, before.wMilliseconds,
                  diffNow);
    text = buf;
    return 0;
}

int CVKTDateTime::TestJulian() {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen("Lunar.csv", "wb"), &std::fclose);
    if (!file) {
        LOGTRACE("TEST", 0, "Julian: Cannot open Lunar.csv (%s)", ErrText(errno));
        return -1;
    }
    int errors = 0;
    SetDT(20020101UL, 0UL);
    int previous = 0;
    for (int days = 0; days < 20000; ++days) {
        int julian = GetJulian();
        int weekday = GetWeekDay(0);
        CTxt name;
        GetWeekDayTxt(weekday, name, 0, 0);
        if (weekday >= 1 && weekday <= 5)
            std::fprintf(file.get(), "%d/%d/%d,%s,Series%d,?\r\n", month, day, GetYear(),
                         (const char*)name, (julian + 2) % 4 + 1);
        else
            std::fprintf(file.get(), "%d/%d/%d,%s\r\n", month, day, GetYear(), (const char*)name);
        if (days > 0 && julian != previous + 1) {
            LOGTRACE("TEST", 0, "Julian: Diff=%d/%d", julian - previous, GetDate(0));
            ++errors;
        }
        if ((julian + 1) % 7 != weekday) {
            LOGTRACE("TEST", 0, "Julian: WeekDay=%d/%d", (julian + 1) % 7, weekday);
            ++errors;
        }
        previous = julian;
        CVKTDateTime next = *this;
        next.ShiftDate(1);
        if (next.GetYear() > 2004) break;
        *this = next;
    }
    LOGTRACE("TEST", 0, "Julian: Error=%d", errors);
    return errors;
}

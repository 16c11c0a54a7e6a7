#include "diag/tracelog.h"

#include "diag/logtrace.h"
#include "diag/settings.h"
#include "platform/commit.h"
#include "platform/fileinfo.h"
#include "platform/rawio.h"
#include "platform/rawout.h"
#include "platform/wallclock.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <system_error>

namespace {

constexpr size_t kMaxPath = 999;
constexpr size_t kLineSize = 20000;
constexpr int kTagWidth = 16;
constexpr int kFlushLines = 20;
constexpr int64_t kFlushSeconds = 10;

struct LogState {
    FilePtr file;
    std::string path;
    int lines = 0;         // since the last flush
    int64_t lastFlush = 0; // seconds; 0 until the first line after an open
    bool flushOnEach = false;
    int showDate = -1; // -1 not read yet, else 0 or 1
    int showTime = -1;
    long flushes = 0;
    LogTraceClock clock = &WallClock;
};

LogState& Log() {
    static LogState state;
    return state;
}

bool IsCommand(const char* tag, const char* command) {
    return tag && strcmpci(tag, command, 1) == 0;
}

int64_t NowSeconds() {
    int64_t s = 0;
    int ms = 0;
    Log().clock(&s, &ms);
    return s;
}

void Flush() {
    LogState& log = Log();
    if (!log.file) return;
    std::fflush(log.file.get());
    CommitFd(RawFileNo(log.file.get()));
    ++log.flushes;
    log.lastFlush = NowSeconds();
    log.lines = 0;
}

char Marker(int level) {
    if (level <= 0) return ' ';
    return level >= 26 ? 'z' : char('a' + level - 1);
}

// Adds the formatted text to the line, never beyond its buffer.
class LineBuffer {
public:
    void Add(const char* format, ...) OSTRELLE_PRINTF(2, 3);
    // The text, with room kept for the line end.
    void AddText(const char* text) {
        while (*text && len_ < kLineSize - 2) buf_[len_++] = *text++;
    }
    // Turns every line break so far into '+', then ends the line.
    void End() {
        for (size_t i = 0; i < len_; ++i)
            if (buf_[i] == '\r' || buf_[i] == '\n') buf_[i] = '+';
        buf_[len_++] = '\r';
        buf_[len_++] = '\n';
    }
    const char* data() const { return buf_.get(); }
    size_t size() const { return len_; }

private:
    std::unique_ptr<char[]> buf_{new char[kLineSize]};
    size_t len_ = 0;
};

void LineBuffer::Add(const char* format, ...) {
    size_t room = kLineSize - 2 - len_; // the line end always fits
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buf_.get() + len_, room + 1, format, args);
    va_end(args);
    if (n > 0) len_ += size_t(n) < room ? size_t(n) : room;
}

bool Switch(int& cached, const char* key) {
    if (cached < 0) cached = ReadIniBool("SYS", key, 1, nullptr);
    return cached != 0;
}

void WriteLine(const char* tag, const char* text, int level) {
    LogState& log = Log();
    int64_t seconds = 0;
    int ms = 0;
    log.clock(&seconds, &ms);
    FileStamp t = LocalStamp(seconds, ms);
    char marker = Marker(level);

    LineBuffer line;
    if (tag) {
        line.Add("%-*.*s|", kTagWidth, kTagWidth, tag);
        if (Switch(log.showDate, "LogShowDate"))
            line.Add("%02d%02d%02d|", t.year % 100, t.month, t.day);
    }
    if (Switch(log.showTime, "LogShowTime"))
        line.Add("%02d:%02d:%02d.%03d%c|", t.hour, t.minute, t.second, t.millisecond, marker);
    else
        line.Add("%c|", marker);
    line.AddText(text ? text : "");
    line.End();
    RawWrite(RawFileNo(log.file.get()), line.data(), line.size());

    ++log.lines;
    int64_t now = NowSeconds();
    if (log.lastFlush <= 0) {
        log.flushOnEach = ReadIniBool("SYS", "LogFileFlushOnEach", 0, nullptr) != 0;
        log.lastFlush = now;
    }
    if (log.flushOnEach || log.lines > kFlushLines || now - log.lastFlush > kFlushSeconds) Flush();
}

int Open(const char* path, int level) {
    LogState& log = Log();
    if (log.file) return -1;
    int result = -2;
    if (path && *path && std::strlen(path) <= kMaxPath) {
        log.file.reset(std::fopen(path, level == 1 ? "wb" : "ab"));
        if (log.file) {
            log.path = path;
            log.lines = 0;
            log.lastFlush = 0;
            std::string first = "====== Opening " + log.path + " ======";
            LogTraceWrite("ACTION-INIT", first.c_str(), 0);
            Flush();
            result = 1;
        }
    }
    log.lines = 0;
    log.lastFlush = 0;
    return result;
}

void Close() {
    Flush();
    Log().file.reset();
}

// Removes the target of a copy that failed after it was opened.
struct PartialTarget {
    const char* path;
    bool keep = false;
    ~PartialTarget() {
        if (!keep) std::remove(path);
    }
};

bool SameFile(const char* a, const char* b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

int FileCopy(const char* source, const char* target) {
    if (!source || !target) return -1;
    if (std::strlen(source) == std::strlen(target) && strcmpci(source, target, 1) == 0) return 0;
    if (!FileExists(source)) return -1;
    if (FileExists(target)) {
        if (SameFile(source, target)) return 0; // copying would delete the source
        if (std::remove(target) != 0) return -2;
    }

    std::unique_ptr<char[]> buf;
    size_t size = 60010;
    for (; size >= 1010; size -= 1000) {
        buf.reset(new (std::nothrow) char[size]);
        if (buf) break;
    }
    if (!buf) return -3;

    FilePtr in(std::fopen(source, "rb"));
    if (!in) return -4;
    PartialTarget partial{target}; // declared first: removed after out is closed
    FilePtr out(std::fopen(target, "wb"));
    if (!out) return -5;
    for (;;) {
        size_t n = std::fread(buf.get(), 1, size, in.get());
        if (n > 0 && std::fwrite(buf.get(), 1, n, out.get()) != n) return -6;
        if (n < size) break;
    }
    if (std::ferror(in.get())) return -4;
    if (std::fclose(out.release()) != 0) return -6;
    partial.keep = true;
    in.reset();
    return FileExists(target) ? 0 : -7;
}

int LogTraceWrite(const char* tag, const char* text, int level) {
    LogState& log = Log();
    if (IsCommand(tag, "*OPENLOG")) return Open(text, level);
    if (IsCommand(tag, "*FLUSH")) {
        Flush();
        return 0;
    }
    if (IsCommand(tag, "*CLOSE")) {
        Close();
        return 0;
    }
    if (IsCommand(tag, "*COPY")) {
        Flush();
        if (!log.path.empty()) FileCopy(log.path.c_str(), "LogCpy.tmp");
        return 0;
    }
    if (log.file) WriteLine(tag, text, level);
    return 0;
}

bool LogTraceIsOpen() {
    return Log().file != nullptr;
}

void LogTraceReset() {
    LogState& log = Log();
    Close();
    log.path.clear();
    log.lines = 0;
    log.lastFlush = 0;
    log.flushOnEach = false;
    log.showDate = -1;
    log.showTime = -1;
}

long LogTraceFlushes() {
    return Log().flushes;
}

void LogTraceSetClock(LogTraceClock clock) {
    Log().clock = clock ? clock : &WallClock;
}

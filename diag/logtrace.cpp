#include "diag/logtrace.h"

#include "diag/tracelog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Where messages go while a trace log is open.
const LogTraceSink kLogSink = &LogTraceWrite;

LogTraceAlert overrunAlert = &LogTraceCutNote;

LogTraceConsoleTarget consoleTarget;

} // namespace

void LogTraceSetAlert(LogTraceAlert alert) {
    overrunAlert = alert ? alert : &LogTraceCutNote;
}

void LogTraceCutNote(const char* caption, const char* /*text*/) {
    static std::atomic<bool> said{false};
    if (said.exchange(true)) return;
    std::fprintf(stderr, "%s (a message was cut to %d characters)\n", caption ? caption : "",
                 kLogTraceMaxText);
    std::fflush(stderr);
}

LogTraceConsoleTarget LogTraceSetConsole(LogTraceConsoleTarget target) {
    const LogTraceConsoleTarget previous = consoleTarget;
    consoleTarget = target.write ? target : LogTraceConsoleTarget{};
    return previous;
}

int LogTraceConsole(const char* /*tag*/, const char* text, int /*level*/) {
    if (consoleTarget.write) {
        consoleTarget.write(consoleTarget.context, text, std::strlen(text));
        consoleTarget.write(consoleTarget.context, "\r\n", 2);
        return -1;
    }
    std::fputs(text, stdout);
    std::fputs("\r\n", stdout);
    return -1;
}

void LOGTRACE(const char* tag, int level, const char* format, ...) {
    if (!format) return;
    char text[kLogTraceMaxText + 1];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n <= 0) return;
    if (n > kLogTraceMaxText) overrunAlert("LOGTRACE Buffer overrun!", text);

    if (LogTraceConsole(tag, text, level) < 0 && LogTraceIsOpen()) kLogSink(tag, text, level);
}

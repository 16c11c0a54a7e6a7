#include "diag/logtrace.h"

#include "diag/tracelog.h"
#include "platform/alert.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Where messages go while a trace log is open.
const LogTraceSink logSink = &LogTraceWrite;

LogTraceAlert overrunAlert = &ErrorAlert;

} // namespace

void LogTraceSetAlert(LogTraceAlert alert) {
    overrunAlert = alert ? alert : &ErrorAlert;
}

int LogTraceConsole(const char* /*tag*/, const char* text, int /*level*/) {
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

    if (LogTraceConsole(tag, text, level) < 0 && LogTraceIsOpen()) logSink(tag, text, level);
}

// The one reporting entry for diagnostics and report lines.
#pragma once

#include "ostrelle_api.h"

#include <cstddef>

// Shape of a message sink: (tag, text, level) to a result.
using LogTraceSink = int (*)(const char* tag, const char* text, int level);

// Largest message, in characters; a longer one is cut to this length.
constexpr int kLogTraceMaxText = 9999;

// Formats a message as printf does and writes it, then CR LF, to standard
// output; while a trace log is open (see LogTraceWrite) the same text also
// goes to the log with tag and level.  An empty message, or one the
// formatter cannot produce, is dropped.  A message longer than
// kLogTraceMaxText characters is reported cut to that length and raises the
// "LOGTRACE Buffer overrun!" alert, which never waits for anyone by default
// (see LogTraceCutNote).  The tag and level only matter to the trace log.
OSTRELLE_API void LOGTRACE(const char* tag, int level, const char* format, ...)
    OSTRELLE_PRINTF(3, 4);

// Tells of an overrun: caption, then the cut text.
using LogTraceAlert = void (*)(const char* caption, const char* text);

// The default overrun alert: one line on standard error, the caption and
// "(a message was cut to 9999 characters)", the first time only in the
// process; later cuts are silent.  It returns at once, so a program that
// runs with no one at the screen never stops on a long line.
OSTRELLE_API void LogTraceCutNote(const char* caption, const char* text);

// Replaces the overrun alert (a program with a user at the screen may pass
// ErrorAlert from platform/alert.h for a message box; tests record it); null
// restores LogTraceCutNote.
OSTRELLE_API void LogTraceSetAlert(LogTraceAlert alert);

// The console sink: writes text, then CR LF, to standard output (or where
// LogTraceSetConsole says) and returns -1 (not consumed: the message is
// passed on to the log).
OSTRELLE_API int LogTraceConsole(const char* tag, const char* text, int level);

// Where the console sink writes instead of standard output: write(context,
// data, size) for each piece.  A null write restores standard output.
// Returns the target it replaces.
struct LogTraceConsoleTarget {
    void (*write)(void* context, const char* data, size_t size) = nullptr;
    void* context = nullptr;
};
OSTRELLE_API LogTraceConsoleTarget LogTraceSetConsole(LogTraceConsoleTarget target);

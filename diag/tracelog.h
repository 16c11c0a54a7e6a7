// The trace log: a text file that receives a copy of every LOGTRACE message
// while it is open, one line per message with tag, date, time to the
// millisecond and level marker.  One log per process.
//
// Line layout (local time; marker ' ' for level 0 or less, 'a' for 1, 'b'
// for 2 ... 'z' for 26 and above):
//   with a tag:  tag cut or padded to 16 | YYMMDD | HH:MM:SS.mmm marker | text CR LF
//   null tag:    HH:MM:SS.mmm marker | text CR LF
// Carriage returns and line feeds of the text become '+'.  The settings file
// (section "SYS") switches parts off: "LogShowDate" (default YES) and
// "LogShowTime" (default YES; when off only "marker|" remains), both read once
// per process; "LogFileFlushOnEach" (default NO), read at the first line
// after each open.
//
// Every line goes straight to the file's descriptor, so it is in the file
// when the call returns; commits to the storage device are batched: after
// more than 20 lines or more than 10 seconds since the last one, or after
// every line when "LogFileFlushOnEach" is on.
#pragma once

#include "ostrelle_api.h"

#include <cstdint>

// Writes one log line, or carries out a control command given as the tag
// (whole, any case):
//   "*OPENLOG" text = path (at most 999 characters); level 1 starts a new
//              file, any other appends.  1 opened, -1 a log is already open,
//              -2 the file does not open.  The first line reads
//              "====== Opening <path> ======" with the tag "ACTION-INIT".
//   "*FLUSH"   flushes and commits the open log, if any; 0.
//   "*CLOSE"   flushes and closes the open log, if any (the path is kept); 0.
//   "*COPY"    flushes, then copies the file at the last log path to
//              "LogCpy.tmp" in the working directory; 0 whatever the copy did.
// Any other tag, or null: writes text as one line when a log is open; 0.
OSTRELLE_API int LogTraceWrite(const char* tag, const char* text, int level);

// True while a trace log is open.
OSTRELLE_API bool LogTraceIsOpen();

// Copies the file source to target.  0 done (or the two name the same file),
// -1 the source does not exist, -2 the existing target cannot be deleted,
// -3 no copy buffer, -4 the source does not open or cannot be read, -5 the
// target does not open, -6 a write fell short, -7 the target is missing
// after the copy.  A copy that fails after the target was opened removes it.
OSTRELLE_API int FileCopy(const char* source, const char* target);

// Closes the log and forgets its path and the switches read from the
// settings file, as at the start of the process.
OSTRELLE_API void LogTraceReset();

// Number of flushes (commits to the storage device) since the process began.
OSTRELLE_API long LogTraceFlushes();

// Replaces the clock the log reads its time stamps and flush times from
// (seconds since 1970 UTC and milliseconds); null restores the wall clock.
using LogTraceClock = void (*)(int64_t* seconds, int* milliseconds);
OSTRELLE_API void LogTraceSetClock(LogTraceClock clock);

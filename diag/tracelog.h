// The trace log: a text file that receives a copy of every LOGTRACE message
// while it is open, one line per message with tag, date, time and level.
#pragma once

// Writes one log line, or carries out a control command given as the tag
// (whole, any case):
//   "*OPENLOG" text = path; level 1 starts a new file, any other appends.
//              1 opened, -1 a log is already open, -2 the file does not open.
//   "*FLUSH"   flushes the open log, if any; 0.
//   "*CLOSE"   flushes and closes the open log, if any (the path is kept); 0.
//   "*COPY"    flushes, then copies the file at the last log path to
//              "LogCpy.tmp" in the working directory; 0 whatever the copy did.
// Any other tag, or null: writes text as one line when a log is open; 0.
int LogTraceWrite(const char* tag, const char* text, int level);

// True while a trace log is open.
bool LogTraceIsOpen();

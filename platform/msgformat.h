// The system's own service for message inserts (FormatMessageA), where the
// platform has one.  CTxt::FormatMessageA expands every message with its
// own rules first (txt/msgexpand.h) and hands only those it accepts to the
// system.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Formats source with the system's service (FormatMessageA with an
// allocated buffer, released with LocalFree) into out, cut after limit
// characters.  1 when it did, 0 when the system could not produce the
// message or it is empty, -1 (out untouched) on platforms without such a
// service.  args is not consumed (a copy is used).
int SystemMsgFormat(const char* source, va_list args, size_t limit, std::string& out);

// Field extraction, case-insensitive comparison and search, hexadecimal
// parsing and the unbuffered line reader.  Stateless; nothing allocates.
#pragma once

#include "ostrelle_api.h"

#include <cstdint>
#include <cstdio>

// Copies fields first..last (1-based; negative counts from the end; last 0
// means first; 99 / -99 mean "through the last" / "the first") of text,
// separated by delim, into out (size bytes, at least 1).  A run of spaces
// is one separator when delim is ' '.  Returns the length placed in out,
// 0 when there is nothing to extract, -1 for a reversed range; out is
// always a terminated text.  Texts with any number of delimiters are
// handled: field positions are found by scanning, not kept in a table.
OSTRELLE_API int strfld(const char* text, char delim, int first, int last, char* out, int size);

// Number of fields of text with delimiter delim (see strfld).
OSTRELLE_API int strfldcnt(const char* text, char delim);

// Field n of text read as a decimal integer (atoi rule on at most 99
// characters); 0 when empty or absent.
OSTRELLE_API int strfldint(const char* text, char delim, int n);

// Reads one line from the stream's descriptor, one byte per read, so the
// stream stands exactly after the line.  LF ends a line; CR ends it and
// drops the next byte.  At most size-1 characters are stored, the rest of
// the line is dropped.  Returns the count stored, or -1 at end of input or
// on a read error.  A last line without a line end is delivered; the call
// after it returns -1.
OSTRELLE_API int freadline(char* out, int size, FILE* stream);

// Case-insensitive comparison (ASCII letters folded).  Mode 0: either may be
// a prefix of the other; mode 1: exact; mode 2: a may be a prefix of b.
// Returns 0 match, 1 a character differs, 2 lengths do not fit the mode,
// 3 a null argument.
OSTRELLE_API int strcmpci(const char* a, const char* b, int mode);

// Index of the first case-insensitive occurrence of pattern in text, or -1.
OSTRELLE_API int strfindci(const char* text, const char* pattern);

// Index of c in list, or -1 (NUL is never found).
OSTRELLE_API int chrindex(char c, const char* list);

// Value of the leading run of "0123456789ABCDEFabcdef " (space = 0 digit),
// 32-bit arithmetic: only the last eight characters of the run count.
OSTRELLE_API uint32_t hextoint(const char* text);

// As hextoint, but trailing spaces of the run (at most 99 characters) are
// dropped first: "1A " gives 0x1A.
OSTRELLE_API uint32_t hexvalue(const char* text);

// Comparisons the commands make on captions, class names, patterns and
// command words, ignoring the case of letters, with the argument order in
// their names.  Texts are UTF-8.  Two ASCII texts compare as the library's
// strcmpci and strfindci compare them; any other letters are folded by the
// platform's Unicode case table (FoldCase), so that "ОТЧЁТ" equals
// "отчёт" and "ÜBER" equals "über".
#pragma once

#include "textutil/strfld.h"

#include <string>

// text with every letter in upper case by the platform's Unicode case
// table; bytes that are no UTF-8 character stay as they are.  The one fold
// every case-blind comparison of the tool makes.
std::string FoldCase(const char* text);

// True when text holds only ASCII characters.
bool IsAsciiText(const char* text);

// text equals other.
bool EqualsCi(const char* text, const char* other);
// text begins with prefix (an empty prefix fits every text).
bool StartsWithCi(const char* text, const char* prefix);
// One of a and b begins with the other: how an abbreviated command word
// matches its command.
bool EitherStartsWithCi(const char* a, const char* b);
// text holds pattern (an empty pattern is held by every text).
bool HoldsCi(const char* text, const char* pattern);

// Removes every '&' (the mnemonic mark of a caption) from s in place.
inline void StripAmpersands(char* s) {
    char* out = s;
    for (const char* in = s; *in; ++in)
        if (*in != '&') *out++ = *in;
    *out = '\0';
}

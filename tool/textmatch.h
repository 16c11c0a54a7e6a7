// Comparisons the commands make on captions, class names, patterns and
// command words, ignoring the case of ASCII letters, with the argument
// order in their names.
#pragma once

#include "textutil/strfld.h"

// text equals other.
inline bool EqualsCi(const char* text, const char* other) {
    return strcmpci(text, other, 1) == 0;
}
// text begins with prefix (an empty prefix fits every text).
inline bool StartsWithCi(const char* text, const char* prefix) {
    return strcmpci(prefix, text, 2) == 0;
}
// One of a and b begins with the other: how an abbreviated command word
// matches its command.
inline bool EitherStartsWithCi(const char* a, const char* b) {
    return strcmpci(a, b, 0) == 0;
}
// text holds pattern (an empty pattern is held by every text).
inline bool HoldsCi(const char* text, const char* pattern) {
    return strfindci(text, pattern) >= 0;
}

// Removes every '&' (the mnemonic mark of a caption) from s in place.
inline void StripAmpersands(char* s) {
    char* out = s;
    for (const char* in = s; *in; ++in)
        if (*in != '&') *out++ = *in;
    *out = '\0';
}

// Text helpers the commands share for captions, patterns and replies.
#pragma once

#include <cctype>

// Removes every '&' (the mnemonic mark of a caption) from s in place.
inline void StripAmpersands(char* s) {
    char* out = s;
    for (const char* in = s; *in; ++in)
        if (*in != '&') *out++ = *in;
    *out = '\0';
}

// Folds the ASCII letters of s to upper case in place.
inline void UpperInPlace(char* s) {
    for (; *s; ++s) *s = char(std::toupper((unsigned char)*s));
}

// Folding the ASCII letters, and only those: the one helper the library's
// case-blind comparisons, searches and sorts use.
#pragma once

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// a and b are the same letter or the same character.
inline bool AsciiEqualFolded(char a, char b) {
    return AsciiLower(a) == AsciiLower(b);
}

// Folds the ASCII letters of s to upper case in place.
inline void AsciiUpperInPlace(char* s) {
    for (; *s; ++s) *s = AsciiUpper(*s);
}

// Folding the ASCII letters, and only those: the one helper the library's
// case-blind comparisons, searches and sorts use, in every folder (it
// depends on nothing, so the platform services may use it too).
#pragma once

#include <string_view>

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

// text begins with prefix, letters compared without case.
inline bool AsciiStartsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (!AsciiEqualFolded(text[i], prefix[i])) return false;
    return true;
}

// text holds part, letters compared without case (an empty part is held by
// every text).
inline bool AsciiHoldsFolded(std::string_view text, std::string_view part) {
    for (size_t at = 0; at + part.size() <= text.size(); ++at)
        if (AsciiStartsWithFolded(text.substr(at), part)) return true;
    return part.empty();
}

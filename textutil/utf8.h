// UTF-8, the tool's text: reading code points, making any bytes valid,
// converting to and from UTF-16, and cutting a text at a byte bound
// without splitting a character.  Plain computations, the same
// on every platform.
#pragma once

#include "ostrelle_api.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The replacement character U+FFFD, which stands for every byte sequence
// that is no character.
constexpr uint32_t kReplacementChar = 0xFFFD;

// Reads one character at text[0..size): its code point through cp and its
// length in bytes as the result (1 to 4).  A sequence that is not valid
// UTF-8 (a stray continuation byte, a sequence cut short, an overlong form,
// a surrogate, a value past U+10FFFF) gives kReplacementChar and the length
// of its longest valid-looking start, at least 1.  0 when size is 0.
OSTRELLE_API size_t Utf8Decode(const char* text, size_t size, uint32_t* cp);

// Appends cp as UTF-8 to out; surrogates and values past U+10FFFF are
// appended as kReplacementChar.
OSTRELLE_API void Utf8Append(std::string& out, uint32_t cp);

// True when text is valid UTF-8 throughout (an empty text is).
OSTRELLE_API bool Utf8Valid(std::string_view text);

// text with every invalid sequence replaced by U+FFFD; a valid text comes
// back as it was.
OSTRELLE_API std::string Utf8Repaired(std::string_view text);

// The UTF-8 form of size UTF-16 code units; lone surrogates become U+FFFD.
OSTRELLE_API std::string Utf8FromUtf16(const char16_t* units, size_t size);

// The UTF-16 form of a UTF-8 text (invalid sequences as U+FFFD).
OSTRELLE_API std::u16string Utf16FromUtf8(std::string_view text);

// The longest length up to limit bytes at which text can be cut without
// splitting a character: limit itself when text is no longer, else the
// start of the character that would not fit whole.
OSTRELLE_API size_t Utf8CutLength(std::string_view text, size_t limit);

// Cuts text in place to at most limit bytes, before the first character
// that would not fit whole.
inline void Utf8Cut(std::string& text, size_t limit) {
    if (text.size() > limit) text.resize(Utf8CutLength(text, limit));
}

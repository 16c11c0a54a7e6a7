#include "tool/textmatch.h"

#include "platform/unitext.h"
#include "asciicase.h"
#include "textutil/utf8.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace {

// The platform's upper case of the BMP's code points, each asked once: a
// scan folds the captions of thousands of windows.  0 is not asked yet
// (U+0000 never reaches here).
std::atomic<uint32_t> upperCache[0x10000];

uint32_t Upper(uint32_t cp) {
    if (cp >= 0x10000) return UnicodeUpper(cp);
    uint32_t upper = upperCache[cp].load(std::memory_order_relaxed);
    if (upper == 0) {
        upper = UnicodeUpper(cp);
        upperCache[cp].store(upper, std::memory_order_relaxed);
    }
    return upper;
}

// FoldCase into out, which is emptied first.
void FoldInto(const char* text, std::string& out) {
    out.clear();
    if (!text) return;
    const size_t size = std::strlen(text);
    out.reserve(size);
    for (size_t i = 0; i < size;) {
        if ((unsigned char)text[i] < 0x80) {
            out += AsciiUpper(text[i++]);
            continue;
        }
        uint32_t cp = 0;
        const size_t n = Utf8Decode(text + i, size - i, &cp);
        if (cp == kReplacementChar && std::strncmp(text + i, "\xEF\xBF\xBD", 3) != 0)
            out.append(text + i, n);
        else
            Utf8Append(out, Upper(cp));
        i += n;
    }
}

} // namespace

std::string FoldCase(const char* text) {
    std::string out;
    FoldInto(text, out);
    return out;
}

bool IsAsciiText(const char* text) {
    for (; *text; ++text)
        if ((unsigned char)*text >= 0x80) return false;
    return true;
}

namespace {

bool BothAscii(const char* a, const char* b) {
    return a && b && IsAsciiText(a) && IsAsciiText(b);
}

// The fold of the pattern a comparison was last asked for: a scan compares
// one pattern with the texts of thousands of windows.
struct FoldedPattern {
    std::string text;
    bool ascii = false; // the fold holds only ASCII
    uint32_t first = 0; // its first character (0 for an empty pattern)
};
const FoldedPattern& FoldPattern(const char* pattern) {
    thread_local std::string last;
    thread_local FoldedPattern folded;
    if (last != pattern) {
        last = pattern;
        folded.text = FoldCase(pattern);
        folded.ascii = IsAsciiText(folded.text.c_str());
        Utf8Decode(folded.text.data(), folded.text.size(), &folded.first);
    }
    return folded;
}

// True when a character of text (at its start only, when atStart) folds to
// cp: a text without one cannot hold a pattern that begins with cp, and
// most texts of a scan are ruled out so without being folded.
bool HasFolded(const char* text, uint32_t cp, bool atStart) {
    const size_t size = std::strlen(text);
    for (size_t i = 0; i < size;) {
        uint32_t c = 0;
        size_t n = 1;
        if ((unsigned char)text[i] < 0x80) {
            c = uint32_t(AsciiUpper(text[i]));
        } else {
            n = Utf8Decode(text + i, size - i, &c);
            c = Upper(c);
        }
        if (c == cp) return true;
        if (atStart) return false;
        i += n;
    }
    return false;
}

// The folds of text and pattern through the pointers; false when text
// cannot match (an ASCII text folds to ASCII and holds no character beyond
// it).  The folded text stays valid until the next call on the thread.
bool Folds(const char* text, const char* pattern, bool atStart, const std::string** foldedText,
           const std::string** foldedPattern) {
    const FoldedPattern& p = FoldPattern(pattern);
    *foldedPattern = &p.text;
    if (!p.ascii && IsAsciiText(text)) return false;
    if (p.first != 0 && !HasFolded(text, p.first, atStart)) return false;
    thread_local std::string folded;
    FoldInto(text, folded);
    *foldedText = &folded;
    return true;
}

} // namespace

bool EqualsCi(const char* text, const char* other) {
    if (!text || !other || !*text || BothAscii(text, other)) return strcmpci(text, other, 1) == 0;
    const std::string *t = nullptr, *p = nullptr;
    return Folds(text, other, true, &t, &p) && *t == *p;
}

bool StartsWithCi(const char* text, const char* prefix) {
    if (!text || !prefix || !*text || BothAscii(text, prefix))
        return strcmpci(prefix, text, 2) == 0;
    const std::string *t = nullptr, *p = nullptr;
    return Folds(text, prefix, true, &t, &p) && t->rfind(*p, 0) == 0;
}

bool EitherStartsWithCi(const char* a, const char* b) {
    if (!a || !b || BothAscii(a, b)) return strcmpci(a, b, 0) == 0;
    const std::string fa = FoldCase(a), fb = FoldCase(b);
    const size_t n = std::min(fa.size(), fb.size());
    return fa.compare(0, n, fb, 0, n) == 0;
}

bool HoldsCi(const char* text, const char* pattern) {
    // An empty text (most handles of a scan name no window) holds only the
    // empty pattern, whatever its letters.
    if (!text || !pattern || !*text || BothAscii(text, pattern))
        return strfindci(text, pattern) >= 0;
    const std::string *t = nullptr, *p = nullptr;
    return Folds(text, pattern, false, &t, &p) && t->find(*p) != std::string::npos;
}

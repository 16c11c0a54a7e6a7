// The field readers and scanners (strfld and friends) on any text, with any
// delimiter, field range and output size, against the rules they follow.
#include "fuzz_support.h"
#include "textutil/strfld.h"
#include "txt/ctxt.h"

#include <memory>
#include <string>
#include <vector>

namespace {

char Fold(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// The number of fields, straight from the rules: leading spaces never count,
// trailing spaces only with the space delimiter, a run of spaces is one
// separator, and a final delimiter opens no counted field.
int CountFields(const std::string& text, char delim) {
    size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos) return 0;
    size_t e = text.size();
    if (delim != ' ') e = text.find_last_not_of(' ') + 1;
    int n = 0;
    for (size_t i = b; i < e; ++i)
        if (text[i] == delim && !(delim == ' ' && i + 1 < e && text[i + 1] == ' ')) ++n;
    return text[e - 1] == delim ? n : n + 1;
}

// strfld by its rules, on a table of every field start.
int ExpectedField(const std::string& text, char delim, int first, int last, int size,
                  std::string& out) {
    out.clear();
    if (last == 0) last = first;
    if (first != 0 && first > last) return -1;
    const int n = CountFields(text, delim);
    if (first == 99 && n < 99) first = n;
    if (first == -99 && n < 99) first = -n;
    if ((first < 0 ? -int64_t(first) : first) > n) return 0;
    if (last > n) last = n;
    if (last < -n) last = -n;
    if (first < 0) first = n + first + 1;
    if (last < 0) last = n + last + 1;
    if (last < first || last == 0) return 0;
    std::string s = text;
    if (delim == ' ')
        s.erase(0, s.find_first_not_of(' ') == std::string::npos ? s.size()
                                                                 : s.find_first_not_of(' '));
    std::vector<size_t> starts = {0, 0}; // starts[k]: field k (1-based)
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == delim && (delim != ' ' || i + 1 >= s.size() || s[i + 1] != ' '))
            starts.push_back(i + 1);
    auto start = [&](int k) { return size_t(k) < starts.size() ? starts[size_t(k)] : s.size(); };
    const size_t from = start(first), to = start(last + 1);
    out = to > from ? s.substr(from, to - from) : "";
    if (out.size() > size_t(size - 1)) out.resize(size_t(size - 1));
    if (!out.empty() && out.back() == delim) out.pop_back();
    return int(out.size());
}

int ExpectedCompare(const char* a, const char* b, int mode) {
    for (; *a && *b; ++a, ++b)
        if (Fold(*a) != Fold(*b)) return 1;
    if (mode == 1) return (*a || *b) ? 2 : 0;
    if (mode == 2) return *a ? 2 : 0;
    return 0;
}

uint32_t HexOf(const std::string& run) {
    uint32_t v = 0;
    for (char c : run) {
        c = Fold(c);
        uint32_t d = c >= '0' && c <= '9'   ? uint32_t(c - '0')
                     : c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10)
                                            : 0;
        v = v * 16 + d;
    }
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    static const char kDelims[] = {',', ' ', ';', '|', '\t', '/', ':', '-'};
    const uint8_t d = in.Byte();
    const char delim = d < 192 ? kDelims[d % sizeof kDelims] : char(d);
    const int first = in.Int(-101, 101), last = in.Int(-101, 101);
    const int outSize = in.Range(1, 320);
    const int mode = in.Range(0, 3);
    const std::string pattern = in.Text();
    const std::string raw = in.Rest();
    const std::string text(raw.c_str()); // what a C text holds: up to its first zero
    const char* t = text.c_str();

    // strfld into a buffer of exactly the given size.
    std::unique_ptr<char[]> out(new char[size_t(outSize)]);
    std::memset(out.get(), 'x', size_t(outSize));
    std::string expect;
    const int r = strfld(t, delim, first, last, out.get(), outSize);
    OSTRELLE_FUZZ_CHECK(r == ExpectedField(text, delim, first, last, outSize, expect));
    OSTRELLE_FUZZ_CHECK(r >= -1 && r < outSize);
    OSTRELLE_FUZZ_CHECK(std::string(out.get()) == expect);
    OSTRELLE_FUZZ_CHECK(strfldcnt(t, delim) == CountFields(text, delim));

    // The same range into a CTxt, and one field as a number.
    CTxt field;
    const int rt = strfldtxt(t, delim, first, last, &field);
    OSTRELLE_FUZZ_CHECK(rt == ExpectedField(text, delim, first, last, 10000, expect));
    OSTRELLE_FUZZ_CHECK(field.GetLength() == int(expect.size()) && expect == field.GetData());
    ExpectedField(text, delim, first, 0, 100, expect);
    OSTRELLE_FUZZ_CHECK(strfldint(t, delim, first) ==
                        (expect.empty() ? 0 : std::atoi(expect.c_str())));

    // Comparison, search and the character list.
    const std::string p(pattern.c_str());
    OSTRELLE_FUZZ_CHECK(strcmpci(p.c_str(), t, mode) == ExpectedCompare(p.c_str(), t, mode));
    OSTRELLE_FUZZ_CHECK(strcmpci(t, p.c_str(), mode) == ExpectedCompare(t, p.c_str(), mode));
    int found = -1;
    for (size_t i = 0; p.size() <= text.size() && i + p.size() <= text.size(); ++i)
        if (ExpectedCompare(p.c_str(), t + i, 2) == 0) {
            found = int(i);
            break;
        }
    OSTRELLE_FUZZ_CHECK(strfindci(t, p.c_str()) == found);
    const size_t at = p.empty() ? std::string::npos : text.find(p[0]);
    OSTRELLE_FUZZ_CHECK(chrindex(p.empty() ? '\0' : p[0], t) ==
                        (at == std::string::npos ? -1 : int(at)));

    // Hexadecimal runs: the last eight characters count, a blank is a 0.
    const std::string run = text.substr(0, text.find_first_not_of("0123456789ABCDEFabcdef "));
    OSTRELLE_FUZZ_CHECK(hextoint(t) == HexOf(run));
    std::string trimmed = run.substr(0, 99);
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    if (trimmed.find_first_not_of(' ') == std::string::npos) trimmed.clear();
    OSTRELLE_FUZZ_CHECK(hexvalue(t) == HexOf(trimmed));
    return 0;
}

// Message texts from anywhere through CTxt::FormatMessageA (our own insert
// expansion), and CTxt::Format with any widths and precisions: a text within
// the formatting limit, or the documented exception, never anything else.
#include "fuzz_support.h"
#include "txt/ctxt.h"

#include <string>

namespace {

constexpr int kLimit = 100000; // characters a formatted text keeps

void CheckText(const CTxt& t) {
    OSTRELLE_FUZZ_CHECK(t.GetData() != nullptr);
    OSTRELLE_FUZZ_CHECK(std::strlen(t.GetData()) == size_t(t.GetLength()));
    OSTRELLE_FUZZ_CHECK(t.GetLength() <= kLimit);
}

// The inserts a message may name, %1 to %99 (and two more for "*.*").
// Every argument is a pointer to a text: whatever conversion a message asks
// for, the value comes from a slot of the same size and class (x86-64), so a
// text read as a number is just a number.
const std::string kLong(300, 'w');
const char* const kTexts[4] = {"alpha", "", "a somewhat longer insert text", kLong.c_str()};

#define OSTRELLE_A(i) kTexts[(i) % 4]
#define OSTRELLE_A10(b)                                                                            \
    OSTRELLE_A(b), OSTRELLE_A(b + 1), OSTRELLE_A(b + 2), OSTRELLE_A(b + 3), OSTRELLE_A(b + 4),     \
        OSTRELLE_A(b + 5), OSTRELLE_A(b + 6), OSTRELLE_A(b + 7), OSTRELLE_A(b + 8),                \
        OSTRELLE_A(b + 9)

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzInput in(data, size);
    // Mostly short fields, now and then ones beyond the limit.  Widths and
    // precisions stay bounded: the C library spends time on every padding
    // character, so a width near INT_MAX costs seconds whatever we keep.
    const bool wide = in.Byte() >= 240;
    const int width = wide ? in.Range(-200000, 200000) : in.Range(-300, 300);
    const int precision = wide ? in.Range(-5, 200000) : in.Range(-5, 300);
    const int decimals = in.Range(-5, wide ? 1000 : 60);
    const int number = in.I32();
    uint64_t bits = in.U64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    const std::string insert = in.Text();
    const std::string source = in.Rest();

    CTxt message("before");
    try {
        message.FormatMessageA(source.c_str(), OSTRELLE_A10(0), OSTRELLE_A10(10), OSTRELLE_A10(20),
                               OSTRELLE_A10(30), OSTRELLE_A10(40), OSTRELLE_A10(50),
                               OSTRELLE_A10(60), OSTRELLE_A10(70), OSTRELLE_A10(80),
                               OSTRELLE_A10(90), OSTRELLE_A(100));
        CheckText(message);
    } catch (const CMemoryException&) {
        // A message that cannot be produced (or is empty) keeps the old text.
        OSTRELLE_FUZZ_CHECK(std::strcmp(message.GetData(), "before") == 0);
    }

    CTxt formatted;
    formatted.Format("%*.*s|%.*f|%*d", width, precision, insert.c_str(), decimals, value, width,
                     number);
    CheckText(formatted);
    // Within the limit nothing is cut.
    char head[64];
    const int n = std::snprintf(head, sizeof head, "%*.*s|", width, precision, insert.c_str());
    if (n < kLimit) OSTRELLE_FUZZ_CHECK(formatted.GetLength() > n - 1);
    return 0;
}

#include "textutil/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct RepairCase {
    const char* name;
    std::string in;
    std::string want;
};

const RepairCase kRepairCases[] = {
    {"ascii", "plain", "plain"},
    {"every length", "\xC3\xA9\xE5\xA0\xB1\xF0\x9F\x98\x80",
     "\xC3\xA9\xE5\xA0\xB1\xF0\x9F\x98\x80"},
    {"replacement as such", "\xEF\xBF\xBD", "\xEF\xBF\xBD"},
    {"stray continuation", "a\x80z", "a\xEF\xBF\xBDz"},
    {"cut short", "a\xE2\x82", "a\xEF\xBF\xBD"},
    {"cut short then ascii", "\xE2\x82z", "\xEF\xBF\xBDz"},
    {"overlong", "\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"encoded surrogate", "\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
    {"past U+10FFFF", "\xF5", "\xEF\xBF\xBD"},
    {"Latin-1 byte", "\xFF", "\xEF\xBF\xBD"},
};

class Repair : public testing::TestWithParam<RepairCase> {};

TEST_P(Repair, ReplacesWhatIsNoCharacter) {
    const RepairCase& c = GetParam();
    EXPECT_EQ(Utf8Repaired(c.in), c.want);
    EXPECT_EQ(Utf8Valid(c.in), c.in == c.want);
    EXPECT_TRUE(Utf8Valid(Utf8Repaired(c.in)));
}

INSTANTIATE_TEST_SUITE_P(Utf8, Repair, testing::ValuesIn(kRepairCases), [](const auto& info) {
    std::string n = info.param.name;
    for (char& ch : n)
        if (!isalnum((unsigned char)ch)) ch = '_';
    return n;
});

struct CutCase {
    std::string text;
    size_t limit;
    size_t want;
};

// A 2-, 3- and 4-byte character straddling the bound, and each fitting
// exactly.
const CutCase kCutCases[] = {
    {"ab", 5, 2},
    {"abcd", 3, 3},
    {"ab\xC3\xA9", 3, 2},
    {"ab\xC3\xA9", 4, 4},
    {"a\xE5\xA0\xB1", 2, 1},
    {"a\xE5\xA0\xB1", 3, 1},
    {"a\xE5\xA0\xB1z", 4, 4},
    {"\xF0\x9F\x98\x80", 3, 0},
    {"\xF0\x9F\x98\x80z", 4, 4},
    {"\x80\x80\x80\x80\x80", 3, 3}, // no character: bytes as they are
};

TEST(Utf8Cut, CutsBeforeACharacterThatWouldNotFit) {
    for (const CutCase& c : kCutCases) {
        EXPECT_EQ(Utf8CutLength(c.text, c.limit), c.want) << c.text << " at " << c.limit;
        std::string s = c.text;
        Utf8Cut(s, c.limit);
        EXPECT_EQ(s.size(), std::min(c.text.size(), c.want));
    }
}

TEST(Utf8Utf16, PairsJoinAndLoneSurrogatesBecomeReplacements) {
    const char16_t units[] = {u'\u041E', 0xD83D, 0xDE00, 0xD800, u'x', 0xDC00};
    EXPECT_EQ(Utf8FromUtf16(units, 6), "\xD0\x9E\xF0\x9F\x98\x80\xEF\xBF\xBDx\xEF\xBF\xBD");
    EXPECT_EQ(Utf16FromUtf8("\xD0\x9E\xF0\x9F\x98\x80z"),
              (std::u16string{u'\u041E', 0xD83D, 0xDE00, u'z'}));
    EXPECT_EQ(Utf8FromUtf16(nullptr, 3), "");
}

} // namespace

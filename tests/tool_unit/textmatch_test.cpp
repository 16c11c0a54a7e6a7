#include "tool/textmatch.h"

#include <gtest/gtest.h>

namespace {

enum class Op { kEquals, kStartsWith, kEither, kHolds };

struct MatchCase {
    Op op;
    const char* a;
    const char* b;
    bool want;
};

const MatchCase kMatchCases[] = {
    // ASCII: as strcmpci and strfindci compare.
    {Op::kEquals, "Save", "SAVE", true},
    {Op::kEquals, "Save", "Save all", false},
    {Op::kStartsWith, "Save all", "save", true},
    {Op::kStartsWith, "Sav", "save", false},
    {Op::kEither, "LIST", "ListBox", true},
    {Op::kEither, "", "Desc", true},
    {Op::kHolds, "TradeStation - Fixture", "station - f", true},
    {Op::kHolds, "abc", "", true},
    // Every script's letters.
    {Op::kEquals, "\xD0\x9E\xD0\xA2\xD0\xA7\xD0\x81\xD0\xA2",
     "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82", true}, // ОТЧЁТ, отчёт
    {Op::kEquals, "\xCE\xA3\xCE\x9F\xCE\xA6\xCE\x8A\xCE\x91",
     "\xCF\x83\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1", true}, // ΣΟΦΊΑ, σοφία
    {Op::kStartsWith,
     "\xC3\xBC"
     "ber alles",
     "\xC3\x9C"
     "BER",
     true}, // über alles, ÜBER
    {Op::kHolds, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82 \xE2\x80\x94 \xE5\xA0\xB1\xE5\x91\x8A",
     "\xD1\x91\xD1\x82 \xE2\x80\x94 \xE5\xA0\xB1", true}, // "Отчёт — 報告" holds "ёт — 報"
    {Op::kHolds, "\xD0\x9E\xD1\x82\xD1\x87\xD1\x91\xD1\x82", "\xD0\xB5", false}, // е is not ё
    {Op::kEither, "\xC3\x9C",
     "\xC3\xBC"
     "ber",
     true},
    {Op::kEquals, "\xFF", "\xFF", true}, // bytes that are no character stay as they are
};

bool Apply(const MatchCase& c) {
    switch (c.op) {
    case Op::kEquals:
        return EqualsCi(c.a, c.b);
    case Op::kStartsWith:
        return StartsWithCi(c.a, c.b);
    case Op::kEither:
        return EitherStartsWithCi(c.a, c.b);
    case Op::kHolds:
        return HoldsCi(c.a, c.b);
    }
    return false;
}

TEST(TextMatch, FoldsTheLettersOfEveryScript) {
    for (const MatchCase& c : kMatchCases) EXPECT_EQ(Apply(c), c.want) << c.a << " / " << c.b;
}

TEST(TextMatch, NullTextsMatchNothing) {
    EXPECT_FALSE(EqualsCi(nullptr, "a"));
    EXPECT_FALSE(HoldsCi("a", nullptr));
}

} // namespace

#include "tool/getopt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Owns writable copies of the argument texts.
struct Argv {
    explicit Argv(std::vector<std::string> args) : texts(std::move(args)) {
        for (auto& t : texts) ptrs.push_back(t.data());
        ptrs.push_back(nullptr);
    }
    int Argc() const { return int(texts.size()); }
    char** Vector() { return ptrs.data(); }
    std::vector<std::string> texts;
    std::vector<char*> ptrs;
};

struct Result {
    int c;
    std::string arg; // "(null)" when optarg is null
};

std::vector<Result> ParseAll(Argv& a, const char* opts) {
    getoptreset();
    std::vector<Result> out;
    for (int i = 0; i < 50; ++i) {
        int c = getopt(a.Argc(), a.Vector(), opts);
        if (c == -1) break;
        out.push_back({c, optarg ? optarg : "(null)"});
    }
    return out;
}

TEST(Getopt, GroupedFlagsAndAttachedArgument) {
    Argv a({"tool", "-iwABC", "file"});
    testing::internal::CaptureStderr();
    auto r = ParseAll(a, "w:c:i");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].c, 'i');
    EXPECT_EQ(r[0].arg, "(null)");
    EXPECT_EQ(r[1].c, 'w');
    EXPECT_EQ(r[1].arg, "ABC");
    EXPECT_EQ(optindex, 2);
}

TEST(Getopt, SeparateArgumentAndBangTakesOneToo) {
    Argv a({"tool", "-w", "1A", "-x!", "-c", "cmd.txt", "in.txt"});
    auto r = ParseAll(a, "w:c!x");
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].c, 'w');
    EXPECT_EQ(r[0].arg, "1A");
    EXPECT_EQ(r[1].c, 'x');
    EXPECT_EQ(r[2].c, '!'); // a character of the option string is an option of its own
    EXPECT_EQ(r[3].c, 'c');
    EXPECT_EQ(r[3].arg, "cmd.txt");
    EXPECT_EQ(optindex, 6);
}

TEST(Getopt, IncorrectOptionMessage) {
    Argv a({"tool", "-d"});
    testing::internal::CaptureStderr();
    auto r = ParseAll(a, "w:c:i");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "getopt: incorrect option: d");
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].c, '?');
    EXPECT_EQ(optchar, 'd');
}

TEST(Getopt, MissingArgumentMessage) {
    Argv a({"tool", "-i", "-w"});
    testing::internal::CaptureStderr();
    auto r = ParseAll(a, "w:c:i");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "getopt: the following option requires an argument:");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1].c, '?');
}

TEST(Getopt, EndOfOptions) {
    struct {
        std::vector<std::string> args;
        int wantIndex;
    } cases[] = {
        {{"tool"}, 1},
        {{"tool", "file", "-i"}, 1},
        {{"tool", "-", "-i"}, 1},
        {{"tool", "--", "-i"}, 2},
        {{"tool", "-i", "--", "-i"}, 3},
    };
    for (auto& c : cases) {
        Argv a(c.args);
        ParseAll(a, "w:c:i");
        EXPECT_EQ(optindex, c.wantIndex) << c.args.size();
    }
}

TEST(Getopt, NumericOptions) {
    Argv a({"tool", "-12", "-x", "-3a4"});
    auto r = ParseAll(a, "*x");
    EXPECT_EQ(a.texts[1], "-**");
    EXPECT_EQ(a.texts[3], "-*a*");
    EXPECT_EQ(optnum, 34); // the last numeric element wins
    std::string seen;
    for (auto& x : r) seen += char(x.c);
    EXPECT_EQ(seen, "**x*?*"); // 'a' is not an option
}

TEST(Getopt, NumericOptionTooLongForAnIntWraps) {
    Argv a({"tool", "-4294967306"}); // 2^32 + 10
    auto r = ParseAll(a, "*");
    EXPECT_EQ(a.texts[1], "-**********");
    EXPECT_EQ(optnum, 10);
    EXPECT_EQ(r.size(), 10u);
}

TEST(Getopt, NumericPassNeedsTheStar) {
    Argv a({"tool", "-12"});
    testing::internal::CaptureStderr();
    auto r = ParseAll(a, "x");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(a.texts[1], "-12");
    EXPECT_EQ(optnum, -1);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].c, '?');
}

} // namespace

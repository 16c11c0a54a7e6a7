#include "txt/namematch.h"

#include <gtest/gtest.h>

namespace {

struct MatchCase {
    const char* pattern;
    const char* name;
    bool match;
};

const MatchCase kMatchCases[] = {
    {"*", "anything", true},
    {"*", "", true},
    {"*.txt", "a.txt", true},
    {"*.txt", "A.TXT", true},
    {"*.TXT", "notes.txt", true},
    {"*.txt", "a.txt.bak", false},
    {"*.txt", "txt", false},
    {"a?c", "abc", true},
    {"a?c", "ac", false},
    {"a?c", "abbc", false},
    {"*.*", "noext", true},
    {"*.*", "x.y", true},
    {"*b*b*", "abcbd", true},
    {"*b*b*", "abcd", false},
    {"log??.txt", "LOG01.TXT", true},
    {"", "", true},
    {"", "a", false},
    {"a*", "", false},
    {"***", "x", true},
    {"a*b*c*d*e*f*g", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", false},
};

TEST(NameMatch, Patterns) {
    for (const MatchCase& c : kMatchCases)
        EXPECT_EQ(NameMatch(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
}

TEST(NameMatch, NullArgumentsCountAsEmpty) {
    EXPECT_TRUE(NameMatch(nullptr, nullptr));
    EXPECT_TRUE(NameMatch("*", nullptr));
    EXPECT_FALSE(NameMatch(nullptr, "a"));
}

} // namespace

// CTxt::FormatMessageA: message inserts, line breaks, failures.
#include "txt/ctxt.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string str(const CTxt& t) {
    return t.GetData() ? std::string(t.GetData()) : "<none>";
}

TEST(CTxtMessage, TextInserts) {
    struct Case {
        const char* source;
        const char* expect;
    } cases[] = {
        {"%1", "alpha"},
        {"%2-%1", "beta-alpha"},
        {"%1 %1 %3", "alpha alpha gamma"},
        {"[%1!s!]", "[alpha]"},
        {"[%2!-7s!]", "[beta   ]"},
        {"[%3!7s!]", "[  gamma]"},
        {"[%1!.3s!]", "[alp]"},
        {"100%% done%.", "100% done."},
        {"a%!b% c", "a!b c"},
        {"tab%tcr%rnl%nend", "tab\tcr\rnl\r\nend"},
        {"stop%0here %1", "stop"},
        {"x%q", "xq"},
        {"line1\nline2\r\nline3\rline4", "line1\r\nline2\r\nline3\r\nline4"},
        {"plain text", "plain text"},
    };
    for (const Case& c : cases) {
        CTxt t;
        t.FormatMessageA(c.source, "alpha", "beta", "gamma");
        EXPECT_EQ(str(t), c.expect) << c.source;
        EXPECT_EQ(t.GetCapacity(), t.GetLength() + 2);
    }
}

TEST(CTxtMessage, InsertNumbersHaveAtMostTwoDigits) {
    CTxt t;
    t.FormatMessageA("%10|%100|%1", "1", "2", "3", "4", "5", "6", "7", "8", "9", "ten");
    EXPECT_EQ(str(t), "ten|ten0|1");
}

TEST(CTxtMessage, NumberInserts) {
    struct Case {
        const char* source;
        const char* expect;
    } cases[] = {
        {"%1!d!", "42"},          {"%1!d!/%2!d!/%3!d!", "42/7/-3"},
        {"%3!u!", "4294967293"},  {"%1!04X!", "002A"},
        {"%1!x! %1!o!", "2a 52"}, {"%2!+d!", "+7"},
        {"%1!c!", "*"},           {"%3!5d!|", "   -3|"},
        {"%3!-5d!|", "-3   |"},
    };
    for (const Case& c : cases) {
        CTxt t;
        t.FormatMessageA(c.source, 42, 7, -3);
        EXPECT_EQ(str(t), c.expect) << c.source;
    }
}

TEST(CTxtMessage, LengthModifiersAndPointers) {
    CTxt t;
    t.FormatMessageA("%1!I64d! %2!ld! %3!hs!", 1234567890123LL, 99L, "ansi");
    EXPECT_EQ(str(t), "1234567890123 99 ansi");
    t.FormatMessageA("%1!zu!", size_t(17));
    EXPECT_EQ(str(t), "17");
}

TEST(CTxtMessage, StarWidthTakesFollowingNumbers) {
    CTxt t;
    t.FormatMessageA("[%1!*s!]", 6, "ab");
    EXPECT_EQ(str(t), "[    ab]");
    t.FormatMessageA("[%1!*.*s!]", 5, 2, "abcdef");
    EXPECT_EQ(str(t), "[   ab]");
    t.FormatMessageA("[%1!-*d!] %3", 4, 9, "next");
    EXPECT_EQ(str(t), "[9   ] next");
}

TEST(CTxtMessage, UnusedNumbersAreSkipped) {
    CTxt t;
    t.FormatMessageA("%3 %1", "one", "two", "three");
    EXPECT_EQ(str(t), "three one");
}

TEST(CTxtMessage, NullTextInsert) {
    CTxt t;
    t.FormatMessageA("<%1>", static_cast<const char*>(nullptr));
    EXPECT_EQ(str(t), "<(null)>");
}

TEST(CTxtMessage, FailuresThrowMemoryException) {
    const char* sources[] = {
        "",                                       // empty result
        "%0text",                                 // empty result
        "abc%",                                   // '%' at the end
        "%1!d",                                   // unclosed format
        "%1!!",                                   // empty format
        "%1!f!",                                  // no floating point inserts
        "%1!n!",                                  // no stores through inserts
        "%1!ls!",                                 // no wide texts
        "%1!S!",                                  // no wide texts
        "%1!d! %1!s!",                            // one argument, two types
        "%1!123456789012345678901234567890123d!", // format too long
    };
    for (const char* s : sources) {
        CTxt t("unchanged");
        EXPECT_THROW(t.FormatMessageA(s, 1, 2), CMemoryException) << s;
        EXPECT_EQ(str(t), "unchanged") << s;
    }
    CTxt t;
    EXPECT_THROW(t.FormatMessageA(static_cast<const char*>(nullptr)), CMemoryException);
}

TEST(CTxtMessage, ResourceIdWithoutStringThrows) {
    CTxt t("unchanged");
    EXPECT_THROW(t.FormatMessageA(4711u, "x"), CMemoryException);
    EXPECT_EQ(str(t), "unchanged");
}

TEST(CTxtMessage, OutputIsCutAtTheLimit) {
    std::string big(150000, 'z');
    CTxt t;
    t.FormatMessageA("%1%2", big.c_str(), "tail");
    EXPECT_EQ(t.GetLength(), 100000);
    t.FormatMessageA("ab%1!200000d!", 5);
    EXPECT_EQ(t.GetLength(), 100000);
    EXPECT_EQ(str(t).substr(0, 3), "ab ");
}

} // namespace

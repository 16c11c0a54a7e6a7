// CTxt::FormatMessageA: message inserts, line breaks, failures.  The CTxt
// cases hold for the system's own FormatMessageA as well; the MsgExpand cases
// pin down the rules of our own expansion where that service is missing.
#include "txt/ctxt.h"

#include "txt/msgexpand.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstddef>
#include <cstdint>
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

TEST(CTxtMessage, LengthModifiers) {
    CTxt t;
    t.FormatMessageA("%1!I64d! %2!ld! %3!hs!", 1234567890123LL, 99L, "ansi");
    EXPECT_EQ(str(t), "1234567890123 99 ansi");
}

TEST(CTxtMessage, StarWidthTakesFollowingNumbers) {
    CTxt t;
    t.FormatMessageA("[%1!*s!]", 6, "ab");
    EXPECT_EQ(str(t), "[    ab]");
    t.FormatMessageA("[%1!*.*s!]", 5, 2, "abcdef");
    EXPECT_EQ(str(t), "[   ab]");
}

TEST(CTxtMessage, UnusedNumbersAreSkipped) {
    CTxt t;
    t.FormatMessageA("%3 %1", "one", "two", "three");
    EXPECT_EQ(str(t), "three one");
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

// ---- Our own expansion ------------------------------------------------------------

bool expand(std::string& out, size_t limit, const char* source, ...) {
    va_list args;
    va_start(args, source);
    bool ok = MsgExpand(source, args, limit, out);
    va_end(args);
    return ok;
}

TEST(MessageExpansion, StarThenLaterNumbers) {
    std::string out;
    ASSERT_TRUE(expand(out, 1000, "[%1!-*d!] %3", 4, 9, "next"));
    EXPECT_EQ(out, "[9   ] next");
    ASSERT_TRUE(expand(out, 1000, "[%2!*.*s!]%1", "x", 4, 1, "abc"));
    EXPECT_EQ(out, "[   a]x");
}

TEST(MessageExpansion, NativeLengthModifiers) {
    std::string out;
    ASSERT_TRUE(expand(out, 1000, "%1!zu! %2!jd! %3!td! %4!p!", size_t(17), intmax_t(-5),
                       ptrdiff_t(6), static_cast<const void*>(nullptr)));
    EXPECT_EQ(out.substr(0, 8), "17 -5 6 ");
}

TEST(MessageExpansion, NullTextInsert) {
    std::string out;
    ASSERT_TRUE(expand(out, 1000, "<%1>", static_cast<const char*>(nullptr)));
    EXPECT_EQ(out, "<(null)>");
}

TEST(MessageExpansion, EmptyMessageIsNoFailureHere) {
    std::string out = "x";
    EXPECT_TRUE(expand(out, 1000, ""));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(expand(out, 1000, "%0abc"));
    EXPECT_EQ(out, "");
}

TEST(MessageExpansion, Rejected) {
    const char* sources[] = {
        "abc%",        // '%' at the end
        "%1!d",        // unclosed format
        "%1!!",        // empty format
        "%1!f!",       // no floating-point inserts
        "%1!e!",       // no floating-point inserts
        "%1!n!",       // no stores through inserts
        "%1!ls!",      // no wide texts
        "%1!wc!",      // no wide characters
        "%1!S!",       // no wide texts
        "%1!lp!",      // no length on pointers
        "%1!d! %1!s!", // one argument, two types
        "%1!*d! %1!s!",
        "%1!dd!",                                 // one conversion only
        "%1!123456789012345678901234567890123d!", // format too long
    };
    for (const char* s : sources) {
        std::string out;
        EXPECT_FALSE(expand(out, 1000, s, 1, 2)) << s;
    }
    std::string out;
    EXPECT_FALSE(expand(out, 10, nullptr));
}

TEST(MessageExpansion, InsertsAfterTheEndTakeNothing) {
    std::string out;
    // %2!f! after %0 is neither parsed nor rejected.
    ASSERT_TRUE(expand(out, 1000, "%1%0%2!f!", "only"));
    EXPECT_EQ(out, "only");
}

TEST(MessageExpansion, OutputIsCutAtTheLimit) {
    std::string big(150000, 'z');
    std::string out;
    ASSERT_TRUE(expand(out, 100000, "%1%2", big.c_str(), "tail"));
    EXPECT_EQ(out.size(), 100000u);
    ASSERT_TRUE(expand(out, 100000, "ab%1!200000d!", 5));
    EXPECT_EQ(out.size(), 100000u);
    EXPECT_EQ(out.substr(0, 3), "ab ");
    ASSERT_TRUE(expand(out, 5, "abc%ndef"));
    EXPECT_EQ(out, "abc\r\n");
}

TEST(MessageExpansion, WidthsAreBounded) {
    std::string out;
    EXPECT_TRUE(expand(out, 10, "%1!999999d!", 1));
    EXPECT_EQ(out, std::string(10, ' '));
    EXPECT_FALSE(expand(out, 10, "%1!1000000d!", 1));
    EXPECT_FALSE(expand(out, 10, "%1!.1000000d!", 1));
    EXPECT_FALSE(expand(out, 10, "%1!*d!", 1000000, 1));
    EXPECT_FALSE(expand(out, 10, "%1!*d!", -1000000, 1));
    EXPECT_FALSE(expand(out, 10, "%1!.*s!", 2147483647, "x"));
    EXPECT_TRUE(expand(out, 10, "%1!-*d!|", -3, 7));
    EXPECT_EQ(out, "7  |");
}

} // namespace

// CTxt core: memory rules, editing, searching, formatting, binary records.
#include "txt/ctxt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string str(const CTxt& t) {
    return t.GetData() ? std::string(t.GetData()) : "<none>";
}

// ---- Memory rules ---------------------------------------------------------------

TEST(CTxtMemory, FreshTextHasNoBuffer) {
    CTxt t;
    EXPECT_EQ(t.GetData(), nullptr);
    EXPECT_EQ(t.GetLength(), 0);
    EXPECT_EQ(t.GetCapacity(), 0);
    EXPECT_EQ(t.IsEmpty(), 1);
    EXPECT_EQ(t.IsFilled(), 0);
    const char* p = t;
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    EXPECT_EQ(t.GetCapacity(), 2);
    EXPECT_EQ(t.GetData(), p);
}

TEST(CTxtMemory, ConstConversionNeverNull) {
    const CTxt t;
    const char* p = t;
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "");
    EXPECT_EQ(t.GetData(), nullptr); // a const text is not changed
}

TEST(CTxtMemory, SetTxtNullReleasesEmptyKeepsBuffer) {
    CTxt t("abc");
    t.SetTxt(nullptr);
    EXPECT_EQ(t.GetData(), nullptr);
    EXPECT_EQ(t.GetCapacity(), 0);

    t.SetTxt("");
    ASSERT_NE(t.GetData(), nullptr);
    EXPECT_EQ(t.GetCapacity(), 2);

    CTxt u("abcd");
    u.SetTxt("");
    EXPECT_EQ(u.GetCapacity(), 6);
    EXPECT_EQ(u.GetLength(), 0);
    EXPECT_STREQ(u.GetData(), "");
}

TEST(CTxtMemory, ShorterTextReusesBuffer) {
    CTxt t("abcdef");
    EXPECT_EQ(t.GetCapacity(), 8);
    const char* before = t.GetData();
    t.SetTxt("x");
    EXPECT_EQ(t.GetCapacity(), 8);
    EXPECT_EQ(t.GetLength(), 1);
    EXPECT_EQ(t.GetData(), before);
    t.SetTxt("abcdef"); // still fits length + 2
    EXPECT_EQ(t.GetData(), before);
    t.SetTxt("abcdefg");
    EXPECT_EQ(t.GetCapacity(), 9);
}

TEST(CTxtMemory, GrowthIsExact) {
    struct Step {
        const char* add;
        int length, capacity;
    } steps[] = {
        {"", 0, 2}, {"a", 1, 3}, {"bc", 3, 5}, {"", 3, 5}, {"defgh", 8, 10},
    };
    CTxt t;
    for (const Step& s : steps) {
        EXPECT_EQ(t.AddTxt(s.add), s.length) << s.add;
        EXPECT_EQ(t.GetCapacity(), s.capacity) << s.add;
    }
    EXPECT_EQ(t.Add('i'), 9);
    EXPECT_EQ(t.GetCapacity(), 11);
    EXPECT_EQ(str(t), "abcdefghi");
}

TEST(CTxtMemory, AppendFitsIntoReusedBuffer) {
    CTxt t("abcdef");
    t.SetTxt("ab");
    EXPECT_EQ(t.AddTxt("cd"), 4);
    EXPECT_EQ(t.GetCapacity(), 8); // 4 + 2 fits the old buffer
    EXPECT_EQ(t.Add('e'), 5);
    EXPECT_EQ(t.GetCapacity(), 8);
    EXPECT_EQ(t.Add('f'), 6);
    EXPECT_EQ(t.GetCapacity(), 8);
    EXPECT_EQ(t.Add('g'), 7);
    EXPECT_EQ(t.GetCapacity(), 9);
    EXPECT_EQ(str(t), "abcdefg");
}

TEST(CTxtMemory, OwnTextAsArgument) {
    CTxt t("abcdef");
    t.SetTxt(t.GetData() + 2); // overlapping, reused buffer
    EXPECT_EQ(str(t), "cdef");
    t.AddTxt(t.GetData()); // appending itself forces growth
    EXPECT_EQ(str(t), "cdefcdef");
    t.InsertAt(2, t.GetData());
    EXPECT_EQ(str(t), "cdcdefcdefefcdef");
}

TEST(CTxtMemory, EmptyAndRelease) {
    CTxt t("abc");
    t.Empty();
    EXPECT_EQ(t.GetData(), nullptr);
    t.Empty(); // twice is harmless
    t = "xyz";
    t.ReleaseBuffer();
    EXPECT_EQ(t.GetData(), nullptr);
    EXPECT_EQ(t.GetLength(), 0);
}

TEST(CTxtMemory, MakeEmptyKeepsBufferAndSetsLength) {
    CTxt t("abc");
    t.MakeEmpty();
    EXPECT_EQ(t.GetLength(), 0);
    EXPECT_EQ(t.GetCapacity(), 5);
    t.AddTxt("x"); // appends at the start, not behind the old text
    EXPECT_EQ(str(t), "x");
    EXPECT_EQ(t.GetLength(), 1);

    CTxt fresh;
    fresh.MakeEmpty();
    EXPECT_EQ(fresh.GetCapacity(), 2);
    EXPECT_STREQ(fresh.GetData(), "");
}

TEST(CTxtMemory, MakeLengthCutsAndSetsLength) {
    struct Case {
        const char* text;
        int pos;
        const char* expect;
    } cases[] = {
        {"abcdef", 2, "ab"}, {"abcdef", 6, "abcdef"}, {"abcdef", 99, "abcdef"},
        {"abcdef", 0, ""},   {"abcdef", -3, ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        t.MakeLength(c.pos);
        EXPECT_EQ(str(t), c.expect) << c.pos;
        EXPECT_EQ(t.GetLength(), int(std::strlen(c.expect))) << c.pos;
        t.AddTxt("x");
        EXPECT_EQ(str(t), std::string(c.expect) + "x") << c.pos;
    }
    for (int pos : {0, -1, -100}) {
        CTxt none;
        none.MakeLength(pos);
        EXPECT_EQ(none.GetData(), nullptr) << pos;
        EXPECT_EQ(none.GetLength(), 0) << pos;
    }
}

TEST(CTxtMemory, ResetForgetsWithoutFreeing) {
    alignas(CTxt) unsigned char raw[sizeof(CTxt)];
    std::memset(raw, 0xAB, sizeof raw);
    CTxt* t = reinterpret_cast<CTxt*>(raw);
    t->Reset();
    EXPECT_EQ(t->GetData(), nullptr);
    EXPECT_EQ(t->GetLength(), 0);
    EXPECT_EQ(t->GetCapacity(), 0);
}

TEST(CTxtMemory, ShutdownHasNothingToFree) {
    CTxt::Shutdown();
    CTxt::Shutdown();
}

// ---- Construction and assignment ---------------------------------------------------

TEST(CTxtAssign, Assignments) {
    CTxt abc("abc");
    CTxt none;
    abc = none; // no buffer: unchanged
    EXPECT_EQ(str(abc), "abc");

    const CTxt& same = abc; // self-assignment, through a reference
    abc = same;
    EXPECT_EQ(str(abc), "abc");

    CTxt other("longer text");
    abc = other;
    EXPECT_EQ(str(abc), "longer text");
    EXPECT_NE(abc.GetData(), other.GetData());

    abc = "q";
    EXPECT_EQ(str(abc), "q");
    abc += "rs";
    EXPECT_EQ(str(abc), "qrs");
    abc = static_cast<const char*>(nullptr);
    EXPECT_EQ(abc.GetData(), nullptr);
}

TEST(CTxtAssign, CopyAndMove) {
    CTxt a("hello");
    CTxt b(a);
    EXPECT_EQ(str(b), "hello");
    EXPECT_NE(a.GetData(), b.GetData());
    EXPECT_EQ(b.GetCapacity(), 7);

    CTxt none;
    CTxt c(none);
    EXPECT_EQ(c.GetData(), nullptr);

    const char* buffer = a.GetData();
    CTxt d(std::move(a));
    EXPECT_EQ(d.GetData(), buffer);
    EXPECT_EQ(a.GetData(), nullptr); // NOLINT(bugprone-use-after-move)

    std::vector<CTxt> list;
    for (int i = 0; i < 50; ++i) list.emplace_back("x");
    for (const CTxt& t : list) EXPECT_EQ(str(t), "x");
}

TEST(CTxtAssign, NullConstructor) {
    CTxt t(static_cast<const char*>(nullptr));
    EXPECT_EQ(t.GetData(), nullptr);
}

// ---- Inserting ------------------------------------------------------------------------

TEST(CTxtEdit, InsertAt) {
    struct Case {
        const char* text;
        int pos;
        const char* insert;
        const char* expect;
    } cases[] = {
        {"ab", 99, "x", "abx"},  {"ab", -5, "x", "xab"},    {"ab", 0, "x", "xab"},
        {"ab", 1, "xy", "axyb"}, {"ab", 2, "x", "abx"},     {"ab", 1, "", "ab"},
        {"", 0, "abc", "abc"},   {"abc", 3, "de", "abcde"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.InsertAt(c.pos, c.insert), int(std::strlen(c.expect))) << c.pos;
        EXPECT_EQ(str(t), c.expect) << c.pos;
    }
    CTxt t("ab");
    EXPECT_EQ(t.InsertAt(1, static_cast<const char*>(nullptr)), 2);
    EXPECT_EQ(t.InsertAt(1, 'z'), 3);
    EXPECT_EQ(str(t), "azb");

    CTxt fresh;
    EXPECT_EQ(fresh.InsertAt(5, 'q'), 1);
    EXPECT_EQ(str(fresh), "q");
}

// ---- Removing and trimming ------------------------------------------------------------

TEST(CTxtEdit, RemoveRange) {
    struct Case {
        const char* text;
        int start, count, result;
        const char* expect;
    } cases[] = {
        {"abcdef", 1, 2, 4, "adef"},     {"abcdef", 4, 9, 4, "abcd"},
        {"abcdef", 6, 1, -2, "abcdef"},  {"abcdef", 0, 0, -3, "abcdef"},
        {"abcdef", -1, 1, -1, "abcdef"}, {"abcdef", 0, 6, 0, ""},
        {"abcdef", 5, 1, 5, "abcde"},    {"", 0, 1, -2, ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.RemoveRange(c.start, c.count), c.result) << c.start << "," << c.count;
        EXPECT_EQ(str(t), c.expect) << c.start << "," << c.count;
        EXPECT_EQ(t.GetLength(), int(std::strlen(c.expect)));
    }
    CTxt none;
    EXPECT_EQ(none.RemoveRange(0, 1), -2);
}

TEST(CTxtEdit, RemoveFromText) {
    struct Case {
        const char* text;
        const char* pattern;
        const char* expect;
    } cases[] = {
        {"abcdcdef", "CD", "abef"}, {"ab", "xyz", "ab"},    {"aaa", "aa", "a"},
        {"aaaa", "AA", ""},         {"abc", "", ""},        {"xAbx", "aB", "xx"},
        {"abcab", "ab", "c"},       {"a_b[c", "_B[", "ac"}, {"abc", "abc", ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.RemoveFromText(c.pattern), int(std::strlen(c.expect))) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text << " - " << c.pattern;
    }
    CTxt none;
    EXPECT_EQ(none.RemoveFromText("a"), 0);
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtEdit, Filters) {
    enum Op { Char, List, Extract, Num0, Num1 };
    struct Case {
        Op op;
        const char* text;
        const char* arg;
        const char* expect;
    } cases[] = {
        {Char, "a-b-c-", "-", "abc"},
        {Char, "abc", "x", "abc"},
        {List, "a1b2c3", "123", "abc"},
        {List, "abc", "", "abc"},
        {Extract, "a1b2c3", "123", "123"},
        {Extract, "abc", "xyz", ""},
        {Num0, "EUR (1,234.5E+3)-", nullptr, "E1234.5E+3-"},
        {Num1, "EUR (1,234.5E+3)-", nullptr, "E(1234.5E+3)-"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        int n = 0;
        switch (c.op) {
        case Char:
            n = t.RemoveChar(c.arg[0]);
            break;
        case List:
            n = t.RemoveCharList(c.arg);
            break;
        case Extract:
            n = t.ExtractChar(c.arg);
            break;
        case Num0:
            n = t.TrimNum(0);
            break;
        case Num1:
            n = t.TrimNum(1);
            break;
        }
        EXPECT_EQ(str(t), c.expect) << c.text;
        EXPECT_EQ(n, int(std::strlen(c.expect))) << c.text;
        EXPECT_EQ(t.GetLength(), n);
        EXPECT_EQ(t.GetCapacity(), int(std::strlen(c.text)) + 2); // buffer kept
    }
    CTxt none;
    EXPECT_EQ(none.RemoveChar('a'), 0);
    EXPECT_EQ(none.RemoveCharList("a"), 0);
    EXPECT_EQ(none.ExtractChar("a"), 0);
    EXPECT_EQ(none.TrimNum(1), 0);
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtEdit, Trim) {
    struct Case {
        const char* text;
        char c;
        int result;
        const char* expect;
    } cases[] = {
        {"   ", ' ', 0, ""},      {"  ab c  ", ' ', 4, "ab c"},
        {"xxabxx", 'x', 2, "ab"}, {"ab", ' ', 2, "ab"},
        {"", ' ', 0, ""},         {" a", ' ', 1, "a"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.Trim(c.c), c.result) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
        EXPECT_EQ(t.GetLength(), c.result);
    }
    CTxt none;
    EXPECT_EQ(none.Trim(' '), 0);
}

TEST(CTxtEdit, TrimRight) {
    struct Case {
        const char* text;
        char c;
        int removed;
        const char* expect;
    } cases[] = {
        {"abxx", 'x', 2, "ab"},
        {"xx", 'x', 2, ""},
        {"xab", 'x', 0, "xab"},
        {"", 'x', 0, ""},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.TrimRight(c.c), c.removed) << c.text;
        EXPECT_EQ(str(t), c.expect);
        EXPECT_EQ(t.GetLength(), int(std::strlen(c.expect)));
    }
    CTxt none;
    EXPECT_EQ(none.TrimRight('x'), 0);
}

// ---- Searching, access and case ---------------------------------------------------------

TEST(CTxtSearch, FindCharAndList) {
    CTxt abc("abc"), empty(""), none;
    EXPECT_EQ(abc.FindChar('z'), -2);
    EXPECT_EQ(abc.FindChar('c'), 2);
    EXPECT_EQ(empty.FindChar('a'), -1);
    EXPECT_EQ(none.FindChar('a'), -1);
    EXPECT_EQ(abc.FindCharList("xcb"), 1);
    EXPECT_EQ(abc.FindCharList("xyz"), -2);
    EXPECT_EQ(abc.FindCharList(""), -2);
    EXPECT_EQ(empty.FindCharList("a"), -1);
}

TEST(CTxtSearch, AccessReplaceCase) {
    CTxt t("a.b.c");
    EXPECT_EQ(t.GetAt(1), '.');
    EXPECT_EQ(t[2], 'b');
    EXPECT_EQ(t.GetAt(5), '\0');
    size_t index = 4;
    EXPECT_EQ(t[index], 'c');
    EXPECT_EQ(t[3L], '.');
    t.SetAt(0, 'A');
    EXPECT_EQ(t.Replace('.', '/'), 2);
    EXPECT_EQ(str(t), "A/b/c");
    t.MakeUpper();
    EXPECT_EQ(str(t), "A/B/C");
    t.MakeLower();
    EXPECT_EQ(str(t), "a/b/c");
    CTxt none;
    EXPECT_EQ(none.Replace('a', 'b'), 0);
    none.MakeUpper();
    none.MakeLower();
    EXPECT_EQ(none.GetData(), nullptr);
}

TEST(CTxtSearch, FillChar) {
    struct Case {
        char c;
        int count;
        const char* expect;
    } cases[] = {{'-', 0, "-"}, {'-', -4, "-"}, {'*', 3, "***"}};
    for (const Case& c : cases) {
        CTxt t;
        EXPECT_EQ(t.FillChar(c.c, c.count), int(std::strlen(c.expect)));
        EXPECT_EQ(str(t), c.expect);
    }
}

TEST(CTxtSearch, SetTxtFixLen) {
    struct Case {
        const char* text;
        int width;
        const char* expect;
    } cases[] = {
        {"ab  cd", 4, "ab"},
        {"abcdef", 3, "abc"},
        {"ab", 5, "ab"},
        {"ab", 0, ""},
        {"ab", -2, ""},
        {"  ", 2, ""},
        // A width far beyond the text costs no more than the text.
        {"ab c ", INT_MAX, "ab c"},
        {"", INT_MAX, ""},
        {"abc", INT_MIN, ""},
    };
    for (const Case& c : cases) {
        CTxt t;
        t.SetTxtFixLen(c.text, c.width);
        EXPECT_EQ(str(t), c.expect) << c.text << "/" << c.width;
        EXPECT_EQ(t.GetLength(), int(std::strlen(c.expect)));
    }
}

TEST(CTxtSearch, MaskNonVar) {
    struct Case {
        const char* text;
        int flag;
        const char* list;
        int result;
        const char* expect;
    } cases[] = {
        {"ab-c", 0, nullptr, 45, "ab-c"},  {"a b-c", 1, "-", 1, "a_b-c"},
        {"ab_9Z", 0, nullptr, 0, "ab_9Z"}, {"ab_9Z", 1, nullptr, -1, "ab_9Z"},
        {"", 0, nullptr, -1, ""},          {"a\xE9", 0, nullptr, -23, "a\xE9"},
        {"a.b.c", 1, "", 1, "a_b_c"},
    };
    for (const Case& c : cases) {
        CTxt t(c.text);
        EXPECT_EQ(t.MaskNonVar(c.flag, c.list), c.result) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
    }
}

TEST(CTxtSearch, MaskNonPrintable) {
    CTxt t("a\tb\xE9");
    EXPECT_EQ(t.MaskNonPrintable(), 2);
    EXPECT_EQ(str(t), "a+b+");
    CTxt u("~\x7F \x1F\x80");
    EXPECT_EQ(u.MaskNonPrintable(), 3);
    EXPECT_EQ(str(u), "~+ ++");
    CTxt none;
    EXPECT_EQ(none.MaskNonPrintable(), 0);
}

// ---- Field extraction -----------------------------------------------------------------------

TEST(CTxtField, Strfldtxt) {
    struct Case {
        const char* text;
        char delim;
        int first, last;
        int result;
        const char* expect;
    } cases[] = {
        {"a,b,c", ',', 2, 2, 1, "b"}, {"a,b,c", ',', 2, 99, 3, "b,c"},
        {"a,b,c", ',', 5, 5, 0, ""},  {"Host|example|80", '|', 2, 99, 10, "example|80"},
        {"a,b,c", ',', 3, 1, -1, ""},
    };
    for (const Case& c : cases) {
        CTxt t("old");
        EXPECT_EQ(strfldtxt(c.text, c.delim, c.first, c.last, &t), c.result) << c.text;
        EXPECT_EQ(str(t), c.expect) << c.text;
    }
}

TEST(CTxtField, StrfldtxtLimit) {
    std::string longField(20000, 'x');
    CTxt t;
    strfldtxt(longField.c_str(), ',', 1, 1, &t);
    EXPECT_EQ(t.GetLength(), 9999);
    EXPECT_EQ(strfldtxt("a,b", ',', 1, 1, nullptr), 1);
}

// ---- Formatting ---------------------------------------------------------------------------------

TEST(CTxtFormat, Format) {
    CTxt t;
    t.Format("%d Items written to %s", 3, "ListBox.txt");
    EXPECT_EQ(str(t), "3 Items written to ListBox.txt");
    EXPECT_EQ(t.GetCapacity(), t.GetLength() + 2);
    t.Format("%08X", 0x1A2Bu);
    EXPECT_EQ(str(t), "00001A2B");
    t.Format("%s", "");
    EXPECT_EQ(str(t), "");
    EXPECT_NE(t.GetData(), nullptr);
}

TEST(CTxtFormat, LimitCutsLongOutput) {
    struct Case {
        size_t input;
        int expect;
    } cases[] = {{511, 511},       {512, 512},       {99999, 99999},
                 {100000, 100000}, {100001, 100000}, {250000, 100000}};
    for (const Case& c : cases) {
        std::string big(c.input, 'y');
        CTxt t;
        t.Format("%s", big.c_str());
        EXPECT_EQ(t.GetLength(), c.expect) << c.input;
        EXPECT_EQ(int(std::strlen(t.GetData())), c.expect);
    }
    CTxt t;
    t.Format("%200000d|", 5);
    EXPECT_EQ(t.GetLength(), 100000);
}

TEST(CTxtFormat, ResourceIdWithoutStringGivesEmptyText) {
    CTxt t("before");
    t.Format(4711u, 1, 2);
    EXPECT_EQ(str(t), "");
    EXPECT_EQ(t.GetLength(), 0);
}

// ---- Binary records ---------------------------------------------------------------------------

struct TempFile {
    FILE* f = std::tmpfile();
    ~TempFile() {
        if (f) std::fclose(f);
    }
    std::vector<unsigned char> Bytes() const {
        std::fflush(f);
        std::rewind(f);
        std::vector<unsigned char> out;
        int c;
        while ((c = std::fgetc(f)) != EOF) out.push_back(static_cast<unsigned char>(c));
        return out;
    }
    void Write(const std::vector<unsigned char>& data) const {
        if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
        std::fflush(f);
        std::rewind(f);
    }
};

TEST(CTxtBinary, SaveWritesCountAndText) {
    TempFile file;
    ASSERT_NE(file.f, nullptr);
    CTxt t("abc");
    EXPECT_EQ(t.BinarySave(file.f), 8);
    std::vector<unsigned char> expect = {4, 0, 0, 0, 'a', 'b', 'c', 0};
    EXPECT_EQ(file.Bytes(), expect);
}

TEST(CTxtBinary, SaveWithoutBufferWritesOneZero) {
    TempFile file;
    CTxt none;
    EXPECT_EQ(none.BinarySave(file.f), 5);
    std::vector<unsigned char> expect = {1, 0, 0, 0, 0};
    EXPECT_EQ(file.Bytes(), expect);
}

TEST(CTxtBinary, ReadRestoresText) {
    TempFile file;
    file.Write({4, 0, 0, 0, 'a', 'b', 'c', 0});
    CTxt t("previous");
    EXPECT_EQ(t.BinaryRead(file.f), 0);
    EXPECT_EQ(str(t), "abc");
    EXPECT_EQ(t.GetLength(), 3);
    EXPECT_EQ(t.GetCapacity(), 5);
}

TEST(CTxtBinary, RoundTripOfSeveralRecords) {
    TempFile file;
    std::string big(200000, 'q'); // larger than one read chunk
    big[70000] = 'r';
    const char* texts[] = {"first", "", "third text", big.c_str()};
    for (const char* s : texts) {
        CTxt t(s);
        EXPECT_EQ(t.BinarySave(file.f), int(std::strlen(s)) + 5);
    }
    CTxt none;
    EXPECT_EQ(none.BinarySave(file.f), 5);
    std::rewind(file.f);
    for (const char* s : texts) {
        CTxt t;
        ASSERT_EQ(t.BinaryRead(file.f), 0);
        EXPECT_EQ(str(t), s);
        EXPECT_EQ(t.GetCapacity(), int(std::strlen(s)) + 2);
    }
    CTxt t;
    EXPECT_EQ(t.BinaryRead(file.f), 0);
    EXPECT_EQ(str(t), "");
    EXPECT_EQ(t.BinaryRead(file.f), -1); // end of file
    EXPECT_EQ(t.GetData(), nullptr);
}

TEST(CTxtBinary, CorruptRecordsAreRejected) {
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    } cases[] = {
        {"empty file", {}},
        {"short count", {4, 0, 0}},
        {"zero count", {0, 0, 0, 0, 'a'}},
        {"negative count", {0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}},
        {"largest negative", {0, 0, 0, 0x80, 'a', 0}},
        {"count beyond file", {9, 0, 0, 0, 'a', 'b', 0}},
        {"huge count", {0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b', 0}},
        {"largest count", {0xFF, 0xFF, 0xFF, 0x7F}},
        {"staged count beyond file", {0x00, 0x00, 0x02, 0x00, 'a', 'b', 0}},
        // The count and the terminator must agree: the record's last byte is
        // its only zero byte.
        {"count 1 without its zero", {1, 0, 0, 0, '0'}},
        {"zero inside", {6, 0, 0, 0, 'a', 'b', 0, 'd', 'e', 0}},
        {"no terminator", {3, 0, 0, 0, 'a', 'b', 'c'}},
        {"zero first", {2, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        TempFile file;
        file.Write(c.bytes);
        CTxt t("kept?");
        EXPECT_EQ(t.BinaryRead(file.f), -1) << c.name;
        EXPECT_EQ(t.GetData(), nullptr) << c.name;
        EXPECT_EQ(t.GetLength(), 0) << c.name;
        EXPECT_EQ(t.GetCapacity(), 0) << c.name;
    }
}

TEST(CTxtBinary, RecordWithoutTerminatorIsRejectedAndReadingGoesOn) {
    // A record whose count and terminator disagree would leave a length that
    // is not the text's: it is refused, and the next record still reads.
    TempFile file;
    file.Write({3, 0, 0, 0, 'a', 'b', 'c', 2, 0, 0, 0, 'x', 0});
    CTxt t;
    EXPECT_EQ(t.BinaryRead(file.f), -1);
    EXPECT_EQ(t.GetData(), nullptr);
    EXPECT_EQ(t.BinaryRead(file.f), 0);
    EXPECT_EQ(str(t), "x");
    EXPECT_EQ(t.GetLength(), 1);
}

TEST(CTxtBinary, NullStream) {
    CTxt t("x");
    EXPECT_EQ(t.BinarySave(nullptr), -1);
    EXPECT_EQ(t.BinaryRead(nullptr), -1);
    EXPECT_EQ(t.GetData(), nullptr);
}

// ---- Exception type ---------------------------------------------------------------------------

TEST(CTxtException, MemoryExceptionIsBadAlloc) {
    EXPECT_THROW(AfxThrowMemoryException(), CMemoryException);
    EXPECT_THROW(AfxThrowMemoryException(), std::bad_alloc);
}

} // namespace

#include "txt/ctxtarray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// "(none)" stands for an element without text, "(gap)" for an empty slot.
// The text with ASCII capitals lowered, the order Sort compares in.
std::string Lowered(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

std::vector<std::string> texts(const CTxtArray& a) {
    std::vector<std::string> v;
    for (int i = 0; i < a.GetSize(); ++i) {
        if (!a.GetAt(i))
            v.push_back("(gap)");
        else if (!a.GetAtTxt(i))
            v.push_back("(none)");
        else
            v.push_back(a.GetAtTxt(i));
    }
    return v;
}

void load(CTxtArray& a, std::initializer_list<const char*> lines) {
    for (const char* l : lines) a.Add(l);
}

std::string ReadBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("ctxtarray_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    fs::path dir_;
};

TEST(CTxtArray, ReportsThePointerArrayClass) {
    CTxtArray a;
    EXPECT_EQ(a.GetRuntimeClass(), RUNTIME_CLASS(SPtrArray));
    EXPECT_EQ(a.GetDirSortStyle(), 0);
}

TEST(CTxtArray, AddWithAndWithoutText) {
    CTxtArray a;
    EXPECT_EQ(a.Add("x"), 0);
    EXPECT_EQ(a.Add(nullptr), 1);
    EXPECT_EQ(a.Add(""), 2);
    EXPECT_NE(a.GetAt(1), nullptr);
    EXPECT_EQ(a.GetAtTxt(1), nullptr);
    EXPECT_STREQ(a.GetAtTxt(2), "");
    EXPECT_EQ(texts(a), (std::vector<std::string>{"x", "(none)", ""}));
}

TEST(CTxtArray, SetAtBehindEndLeavesGaps) {
    CTxtArray a;
    EXPECT_EQ(a.SetAt(3, "x"), 0);
    EXPECT_EQ(a.GetSize(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(a.GetAt(i), nullptr);
    EXPECT_STREQ(a.GetAtTxt(3), "x");
    EXPECT_EQ(a.SetAt(-1, "y"), -1);
    // Setting an existing element changes its text in place.
    CTxt* element = a.GetAt(3);
    EXPECT_EQ(a.SetAt(3, "z"), 0);
    EXPECT_EQ(a.GetAt(3), element);
    EXPECT_STREQ(element->GetData(), "z");
    EXPECT_EQ(a.SetAt(3, nullptr), 0);
    EXPECT_EQ(a.GetAtTxt(3), nullptr);
    // Filling a gap creates an element.
    EXPECT_EQ(a.SetAt(1, "g"), 0);
    EXPECT_EQ(texts(a), (std::vector<std::string>{"(gap)", "g", "(gap)", "(none)"}));
}

TEST(CTxtArray, GapsAfterRemovalHoldNoStaleElement) {
    // Slots freed by RemoveAt keep their storage; growing into them again
    // must not bring the destroyed elements back (the sanitizer would
    // report a use after free or a double free).
    for (int how = 0; how < 2; ++how) {
        SCOPED_TRACE(how);
        CTxtArray a;
        load(a, {"a", "b", "c", "d", "e"});
        a.RemoveAt(4);
        a.RemoveAt(3);
        if (how == 0)
            ASSERT_EQ(a.SetAt(5, "x"), 0);
        else
            ASSERT_EQ(a.Insert(5, "x"), 0);
        EXPECT_EQ(texts(a), (std::vector<std::string>{"a", "b", "c", "(gap)", "(gap)", "x"}));
    }
}

TEST(CTxtArray, Insert) {
    CTxtArray a;
    load(a, {"a", "c"});
    EXPECT_EQ(a.Insert(1, "b"), 0);
    EXPECT_EQ(a.Insert(0, nullptr), 0);
    EXPECT_EQ(a.Insert(4, "d"), 0);
    EXPECT_EQ(a.Insert(-1, "z"), -1);
    EXPECT_EQ(texts(a), (std::vector<std::string>{"(none)", "a", "b", "c", "d"}));
}

TEST(CTxtArray, RemoveAtBounds) {
    CTxtArray a;
    load(a, {"a", "b", "c"});
    EXPECT_EQ(a.RemoveAt(-1), -1);
    EXPECT_EQ(a.RemoveAt(3), -1);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(a.RemoveAt(1), 0);
    EXPECT_EQ(texts(a), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(a.GetAt(2), nullptr);
    EXPECT_EQ(a.GetAt(-1), nullptr);
    a.RemoveAll();
    EXPECT_EQ(a.GetSize(), 0);
}

TEST(CTxtArray, GetDelimTxt) {
    CTxtArray a;
    load(a, {"a", "b"});
    CTxt out("old");
    EXPECT_EQ(a.GetDelimTxt(out, ','), 2);
    EXPECT_STREQ(out.GetData(), "a,b,");
    a.Add(nullptr);
    a.Add("c");
    EXPECT_EQ(a.GetDelimTxt(out, ';'), 4);
    EXPECT_STREQ(out.GetData(), "a;b;;c;");
    CTxtArray empty;
    EXPECT_EQ(empty.GetDelimTxt(out, ','), 0);
    EXPECT_EQ(out.GetData(), nullptr); // released
    // The output may be one of the list's own elements.
    EXPECT_EQ(a.GetDelimTxt(*a.GetAt(0), '|'), 4);
    EXPECT_STREQ(a.GetAtTxt(0), "a|b||c|");
}

TEST(CTxtArray, LoadFromTxtArrayAndStrArray) {
    CTxtArray src, dst;
    load(src, {"x", nullptr, "y"});
    load(dst, {"keep"});
    EXPECT_EQ(dst.LoadFromTxtArray(&src, 1), 4);
    EXPECT_EQ(texts(dst), (std::vector<std::string>{"keep", "x", "(none)", "y"}));
    EXPECT_EQ(dst.LoadFromTxtArray(&src, 0), 3);
    EXPECT_EQ(texts(dst), (std::vector<std::string>{"x", "(none)", "y"}));
    // From itself: appending doubles, replacing keeps.
    EXPECT_EQ(dst.LoadFromTxtArray(&dst, 0), 3);
    EXPECT_EQ(dst.LoadFromTxtArray(&dst, 1), 6);
    EXPECT_EQ(texts(dst), (std::vector<std::string>{"x", "(none)", "y", "x", "(none)", "y"}));

    EXPECT_EQ(dst.LoadFromStrArray(CStringArray{"p", "", "q"}), 3);
    EXPECT_EQ(texts(dst), (std::vector<std::string>{"p", "", "q"}));
}

TEST(CTxtArray, Searches) {
    CTxtArray a;
    load(a, {nullptr, "abc", "ABC", "xyz"});
    struct Row {
        const char* what;
        int (CTxtArray::*find)(const char*) const;
        const char* text;
        int expect;
    } rows[] = {
        {"whole ABC", &CTxtArray::FindString, "ABC", 1},
        {"whole Xyz", &CTxtArray::FindString, "Xyz", 3},
        {"whole prefix only", &CTxtArray::FindString, "ab", -1},
        {"whole empty", &CTxtArray::FindString, "", -1},
        {"whole null", &CTxtArray::FindString, nullptr, -1},
        {"start ab", &CTxtArray::FindStringStart, "ab", 1},
        {"start AB", &CTxtArray::FindStringStart, "AB", 2},
        {"start xyz", &CTxtArray::FindStringStart, "xyz", 3},
        {"start xyzz", &CTxtArray::FindStringStart, "xyzz", -1},
        {"start empty", &CTxtArray::FindStringStart, "", 0},
        {"segment BC", &CTxtArray::FindStringSegment, "BC", 1},
        {"segment abc", &CTxtArray::FindStringSegment, "abc", 1},
        {"segment YZ", &CTxtArray::FindStringSegment, "YZ", 3},
        {"segment too long", &CTxtArray::FindStringSegment, "abcd", -1},
        {"segment q", &CTxtArray::FindStringSegment, "q", -1},
    };
    for (const Row& r : rows) EXPECT_EQ((a.*r.find)(r.text), r.expect) << r.what;
    CTxtArray empty;
    EXPECT_EQ(empty.FindStringStart(""), -1);
    EXPECT_EQ(empty.FindStringSegment(""), -1);
}

TEST(CTxtArray, FindStringArray) {
    CStringArray s{"One", "two", "TWO"};
    EXPECT_EQ(CTxt::FindStringArray(s, "TWO"), 1);
    EXPECT_EQ(CTxt::FindStringArray(s, "one"), 0);
    EXPECT_EQ(CTxt::FindStringArray(s, "tw"), -1);
    EXPECT_EQ(CTxt::FindStringArray(CStringArray{}, "x"), -1);
    EXPECT_EQ(CTxt::FindStringArray(s, nullptr), -1);
}

TEST(CTxtArray, AddIfNew) {
    CTxtArray a;
    EXPECT_EQ(a.AddIfNew("abc"), 1);
    EXPECT_EQ(a.AddIfNew("ABC"), 0);
    EXPECT_EQ(a.AddIfNewIdx("x"), 1);
    EXPECT_EQ(a.AddIfNewIdx("Abc"), 0);
    EXPECT_EQ(a.GetSize(), 2);
}

TEST(CTxtArray, Compare) {
    CTxtArray a, b, c, d;
    load(a, {"One", "two"});
    load(b, {"ONE", "TWO"});
    load(c, {"one", "two", "three"});
    load(d, {"one", nullptr});
    EXPECT_EQ(a.Compare(&b), 0);
    EXPECT_EQ(a.Compare(&c), -1);
    EXPECT_EQ(a.Compare(&d), -2);
    EXPECT_EQ(d.Compare(&d), -2); // a missing text never equals, not even itself
    EXPECT_EQ(a.Compare(nullptr), -1);
}

TEST(CTxtArray, KeyValueLines) {
    CTxtArray a;
    load(a, {"Host|example|80", "port|81", "bare"});
    CTxt value("before");
    EXPECT_EQ(a.FindValue("HOST", value, 0), 0);
    EXPECT_STREQ(value.GetData(), "example|80");
    EXPECT_EQ(a.FindValue("bare", value, 0), 2);
    EXPECT_STREQ(value.GetData(), "");
    value = "kept";
    EXPECT_EQ(a.FindValue("user", value, 0), -1);
    EXPECT_STREQ(value.GetData(), "kept");
    EXPECT_EQ(a.FindValue("user", value, 1), -1);
    EXPECT_STREQ(value.GetData(), "user to found");
    EXPECT_EQ(a.FindValueReset("user", value, 0), -1);
    EXPECT_EQ(value.GetData(), nullptr);
    EXPECT_EQ(a.FindValueReset("port", value, 0), 1);
    EXPECT_STREQ(value.GetData(), "81");

    EXPECT_EQ(a.SetValue("port", "82"), 1);
    EXPECT_STREQ(a.GetAtTxt(1), "port|82");
    EXPECT_EQ(a.SetValue("new", "v"), 3);
    EXPECT_STREQ(a.GetAtTxt(3), "new|v");
    EXPECT_EQ(a.SetValue("port", nullptr), 1);
    EXPECT_EQ(a.SetValue("x", nullptr), -1);
    EXPECT_EQ(texts(a), (std::vector<std::string>{"Host|example|80", "bare", "new|v"}));
}

// The key may be the text of the value it is looked up into: the reset
// must not release it before the search has read it.
TEST(CTxtArray, FindValueResetWithKeyInValue) {
    CTxtArray a;
    load(a, {"Host|example|80", "port|81"});
    CTxt v("PORT");
    EXPECT_EQ(a.FindValueReset(v, v, 0), 1);
    EXPECT_STREQ(v.GetData(), "81");
    v = "user";
    EXPECT_EQ(a.FindValueReset(v, v, 1), -1);
    EXPECT_STREQ(v.GetData(), "user to found");
    v = "user";
    EXPECT_EQ(a.FindValueReset(v, v, 0), -1);
    EXPECT_EQ(v.GetData(), nullptr);
}

TEST(CTxtArray, LongKeysAndValuesAreNotCut) {
    // A key longer than any fixed field buffer must not match its own
    // prefix, and a long value comes back whole.
    std::string key(150, 'k'), value(20000, 'v');
    CTxtArray a;
    a.Add((key + "|" + value).c_str());
    CTxt out;
    EXPECT_EQ(a.FindValue(key.substr(0, 99).c_str(), out, 0), -1);
    EXPECT_EQ(a.FindValue(key.c_str(), out, 0), 0);
    EXPECT_EQ(out.GetLength(), 20000);
}

TEST(CTxtArray, SortOrder) {
    struct Row {
        std::vector<const char*> in;
        std::vector<std::string> out;
    } rows[] = {
        {{"b", "A", "a_b", "ab"}, {"A", "a_b", "ab", "b"}},
        {{"[", "Z", "a", "_"}, {"[", "_", "a", "Z"}}, // '[' 0x5B < '_' 0x5F < letters
        {{"abc", "ab", "", "a"}, {"", "a", "ab", "abc"}},
        {{"\xE9", "z", "~"}, {"z", "~", "\xE9"}}, // bytes compare unsigned
        {{"x"}, {"x"}},
        // Texts that agree in their first eight bytes are told apart behind them.
        {{"abcdefghB", "ABCDEFGHa", "abcdefgh", "abcdefgh_"},
         {"abcdefgh", "abcdefgh_", "ABCDEFGHa", "abcdefghB"}},
        {{"123456789", "12345678", "1234567"}, {"1234567", "12345678", "123456789"}},
        // Texts that compare equal keep their order.
        {{"Same", "SAME", "b", "same", "a"}, {"a", "b", "Same", "SAME", "same"}},
        {{"Long common text", "LONG COMMON TEXT", "long common text"},
         {"Long common text", "LONG COMMON TEXT", "long common text"}},
        // A start all texts share, in any case, longer than eight bytes;
        // one text is that start alone.
        {{"/tmp/folder/b.txt", "/TMP/FOLDER/a.txt", "/tmp/folder/", "/tmp/Folder/A.log"},
         {"/tmp/folder/", "/tmp/Folder/A.log", "/TMP/FOLDER/a.txt", "/tmp/folder/b.txt"}},
        {{"/tmp/folder/file12", "/tmp/folder/file1", "/tmp/folder/file123456789"},
         {"/tmp/folder/file1", "/tmp/folder/file12", "/tmp/folder/file123456789"}},
    };
    for (const Row& r : rows) {
        CTxtArray a;
        for (const char* t : r.in) a.Add(t);
        a.Sort();
        EXPECT_EQ(texts(a), r.out);
    }
}

TEST(CTxtArray, SortTurnsMissingTextsIntoEmptyTexts) {
    CTxtArray a;
    a.Add("b");
    a.Add(nullptr);
    a.SetAt(3, "a"); // slot 2 is a gap
    a.Sort();
    EXPECT_EQ(texts(a), (std::vector<std::string>{"", "", "a", "b"}));
}

TEST(CTxtArray, SortMatchesFoldedComparisonOnRandomData) {
    std::mt19937 rng(7);
    const char alphabet[] = "aAbB_[`{zZ09 ";
    std::vector<std::string> in;
    for (int i = 0; i < 2000; ++i) {
        std::string s(rng() % 6, ' ');
        for (char& c : s) c = alphabet[rng() % (sizeof alphabet - 1)];
        in.push_back(s);
    }
    // One very long text: the sort must not need count x longest bytes.
    in.push_back(std::string(1 << 20, 'm'));
    CTxtArray a;
    for (const std::string& s : in) a.Add(s.c_str());
    a.Sort();
    std::vector<std::string> expect = in;
    std::sort(expect.begin(), expect.end(),
              [&](const std::string& x, const std::string& y) { return Lowered(x) < Lowered(y); });
    std::vector<std::string> got = texts(a);
    ASSERT_EQ(got.size(), expect.size());
    for (size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(Lowered(got[i]), Lowered(expect[i])) << i;
    }
    std::vector<std::string> a1 = got, b1 = in;
    std::sort(a1.begin(), a1.end());
    std::sort(b1.begin(), b1.end());
    EXPECT_EQ(a1, b1); // the same texts, only reordered
}

TEST(CTxtArray, SortIsTheStableFoldedOrderOnLongSharedPrefixes) {
    // Texts that share long prefixes and differ in case, so that most
    // comparisons go past the first eight bytes and many texts tie.
    std::mt19937 rng(17);
    const char* heads[] = {"", "prefix", "PREFIX_PREFIX", "prefix_prefix", "Prefix_Prefix_x"};
    const char alphabet[] = "aAbB_[";
    std::vector<std::string> in;
    for (int i = 0; i < 5000; ++i) {
        std::string s = heads[rng() % 5];
        for (size_t k = rng() % 4; k > 0; --k) s += alphabet[rng() % (sizeof alphabet - 1)];
        in.push_back(s);
    }
    CTxtArray a;
    for (const std::string& s : in) a.Add(s.c_str());
    a.Sort();
    std::vector<std::string> expect = in;
    std::stable_sort(expect.begin(), expect.end(), [&](const std::string& x, const std::string& y) {
        return Lowered(x) < Lowered(y);
    });
    EXPECT_EQ(texts(a), expect);
}

using SaveTest = TempDir;

TEST_F(SaveTest, WritesCrLfLines) {
    CTxtArray a;
    load(a, {"one", nullptr, "", "three"});
    CTxt error;
    fs::path p = dir_ / "out.txt";
    std::ofstream(p) << "previous content that is longer";
    EXPECT_EQ(a.SaveToFile(p.string().c_str(), error), 0);
    EXPECT_EQ(ReadBytes(p), "one\r\n\r\n\r\nthree\r\n");
    EXPECT_EQ(error.GetData(), nullptr);
}

TEST_F(SaveTest, LineLimit) {
    CTxtArray a;
    load(a, {"1", "2", "3", "4", "5"});
    CTxt error;
    struct {
        int limit;
        const char* bytes;
    } rows[] = {{2, "1\r\n2\r\n"},
                {0, "1\r\n2\r\n3\r\n4\r\n5\r\n"},
                {-3, "1\r\n2\r\n3\r\n4\r\n5\r\n"},
                {9, "1\r\n2\r\n3\r\n4\r\n5\r\n"}};
    for (const auto& r : rows) {
        fs::path p = dir_ / ("l" + std::to_string(r.limit));
        EXPECT_EQ(a.SaveToFile(p.string().c_str(), error, r.limit), 0);
        EXPECT_EQ(ReadBytes(p), r.bytes) << r.limit;
    }
    CTxtArray empty;
    fs::path p = dir_ / "empty";
    EXPECT_EQ(empty.SaveToFile(p.string().c_str(), error), 0);
    EXPECT_EQ(ReadBytes(p), "");
}

TEST_F(SaveTest, OpenFailure) {
    CTxtArray a;
    a.Add("x");
    CTxt error;
    std::string p = (dir_ / "no" / "such" / "dir.txt").string();
    EXPECT_EQ(a.SaveToFile(p.c_str(), error), -1);
    EXPECT_EQ(std::string(error.GetData()), "Cannot open " + p + " (No such file or directory)");
}

TEST_F(SaveTest, WriteFailureIsReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    CTxtArray a;
    for (int i = 0; i < 10000; ++i) a.Add("a line of text to fill the buffer");
    CTxt error;
    EXPECT_EQ(a.SaveToFile("/dev/full", error), -1);
    EXPECT_EQ(std::string(error.GetData()), "Cannot write /dev/full (No space left on device)");
}

} // namespace

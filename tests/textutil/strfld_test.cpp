#include "textutil/strfld.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct FieldCase {
    const char* text;
    char delim;
    int first, last;
    int size;
    const char* want;
    int result;
};

const FieldCase kFieldCases[] = {
    {"a,b,c", ',', 2, 99, 100, "b,c", 3},
    {"a,b,c", ',', 2, 0, 100, "b", 1},
    {"a,b,c", ',', 3, 2, 100, "", -1},
    {"a,b,c", ',', 4, 0, 100, "", 0},
    {"a,b,c", ',', 99, 0, 100, "c", 1},
    {"a,b,c", ',', -1, 0, 100, "c", 1},
    {"a,b,c", ',', -2, -1, 100, "b,c", 3},
    {"a,b,c", ',', -99, 0, 100, "a", 1},
    {"a,b,c", ',', -2, 3, 100, "b,c", 3},
    {"a,b,c", ',', 0, -1, 100, "a,b,c", 5},
    {"a,b,c", ',', 1, -1, 100, "", -1},
    {"a,b,c", ',', -1, 2, 100, "", 0},  // ends before it begins
    {"a,b,c", ',', 1, -5, 100, "", -1}, // positive first, negative last
    {"a,,c", ',', 2, 0, 100, "", 0},
    {"", ',', 1, 0, 100, "", 0},
    {"", ',', 0, 5, 100, "", 0},
    {"a,b", ',', 0, 0, 100, "", 0},
    {"a,b", ',', 0, 2, 100, "a,b", 3},
    {" a b", ' ', 1, 0, 100, "a", 1},
    {" a,b", ',', 1, 0, 100, " a", 2},
    {"a  b", ' ', 1, 0, 100, "a ", 2},
    {"a  b", ' ', 2, 0, 100, "b", 1},
    {"a b  ", ' ', 2, 0, 100, "b ", 2},
    {"a,b  ", ',', 2, 0, 100, "b  ", 3},
    {"a,b,  ", ',', 2, 0, 100, "b", 1},
    {"a,b,", ',', 1, 99, 100, "a,b", 3},
    {"a,b,", ',', 3, 0, 100, "", 0},
    {"abcdef", ',', 1, 0, 4, "abc", 3},
    {"a,b,c", ',', 1, 3, 3, "a", 1},
    {"Cmd,100,200,", ',', 2, 99, 1000, "100,200", 7},
    {"Btn, OK", ',', 2, 99, 1000, " OK", 3},
    {"   ", ',', 1, 0, 100, "", 0},
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << "'" << c.text << "' '" << c.delim << "' " << c.first << ".." << c.last << " size "
        << c.size;
}

class StrfldTable : public ::testing::TestWithParam<FieldCase> {};

TEST_P(StrfldTable, ExtractsFields) {
    const FieldCase& c = GetParam();
    char out[1000];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(strfld(c.text, c.delim, c.first, c.last, out, c.size), c.result);
    EXPECT_STREQ(out, c.want);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrfldTable, ::testing::ValuesIn(kFieldCases));

TEST(Strfld, OutputSizeOneGivesEmptyText) {
    char out[1] = {'Z'};
    EXPECT_EQ(strfld("abc", ',', 1, 0, out, 1), 0);
    EXPECT_EQ(out[0], '\0');
}

TEST(Strfld, NeverWritesPastTheOutput) {
    char out[8];
    out[4] = 'Z';
    strfld("abcdefghij", ',', 1, 0, out, 4);
    EXPECT_EQ(out[4], 'Z');
}

// Texts with far more fields than a fixed position table would hold are
// extracted by counting, to the last field.
TEST(Strfld, HandlesMoreThanTenThousandFields) {
    std::string text;
    for (int i = 1; i <= 20000; ++i) text += std::to_string(i) + ",";
    text.pop_back();
    char out[100];
    EXPECT_EQ(strfldcnt(text.c_str(), ','), 20000);
    EXPECT_EQ(strfld(text.c_str(), ',', 15000, 0, out, sizeof out), 5);
    EXPECT_STREQ(out, "15000");
    EXPECT_EQ(strfld(text.c_str(), ',', -1, 0, out, sizeof out), 5);
    EXPECT_STREQ(out, "20000");
    EXPECT_EQ(strfld(text.c_str(), ',', 9999, 10000, out, sizeof out), 10);
    EXPECT_STREQ(out, "9999,10000");
    EXPECT_EQ(strfldint(text.c_str(), ',', 12345), 12345);
}

TEST(Strfldcnt, Counts) {
    struct {
        const char* text;
        char delim;
        int want;
    } cases[] = {
        {"a,b", ',', 2},   {"a,,b", ',', 3}, {",", ',', 1},    {"a,b,", ',', 2},
        {"", ',', 0},      {"   ", ',', 0},  {"a  b", ' ', 2}, {"  a b  ", ' ', 2},
        {"a,b  ", ',', 2}, {"   ", ' ', 0},  {"abc", ',', 1},  {" , ", ',', 1},
    };
    for (const auto& c : cases) EXPECT_EQ(strfldcnt(c.text, c.delim), c.want) << c.text;
}

TEST(Strfldint, ReadsDecimalFields) {
    EXPECT_EQ(strfldint("x,12abc", ',', 2), 12);
    EXPECT_EQ(strfldint("x,12abc", ',', 3), 0);
    EXPECT_EQ(strfldint("x, -7", ',', 2), -7);
    EXPECT_EQ(strfldint("x,,5", ',', 2), 0);
    EXPECT_EQ(strfldint("x,abc", ',', 2), 0);
}

TEST(Strcmpci, Modes) {
    struct {
        const char* a;
        const char* b;
        int m0, m1, m2;
    } cases[] = {
        {"Exit", "exit", 0, 0, 0}, {"ex", "Exit", 0, 2, 0},  {"Exits", "Exit", 0, 2, 2},
        {"", "Exit", 0, 2, 0},     {"Ext", "Exit", 1, 1, 1}, {"", "", 0, 0, 0},
        {"Exit", "", 0, 2, 2},     {"[", "{", 1, 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(strcmpci(c.a, c.b, 0), c.m0) << c.a << " " << c.b;
        EXPECT_EQ(strcmpci(c.a, c.b, 1), c.m1) << c.a << " " << c.b;
        EXPECT_EQ(strcmpci(c.a, c.b, 2), c.m2) << c.a << " " << c.b;
        EXPECT_EQ(strcmpci(c.a, c.b, 7), c.m0) << "other modes act as mode 0";
    }
    EXPECT_EQ(strcmpci(nullptr, "a", 0), 3);
    EXPECT_EQ(strcmpci("a", nullptr, 1), 3);
}

TEST(Strfindci, FindsWithoutCase) {
    EXPECT_EQ(strfindci("Hello World", "WORLD"), 6);
    EXPECT_EQ(strfindci("Hello World", ""), 0);
    EXPECT_EQ(strfindci("ab", "abc"), -1);
    EXPECT_EQ(strfindci("abcabc", "CA"), 2);
    EXPECT_EQ(strfindci("abc", "x"), -1);
    EXPECT_EQ(strfindci("", ""), 0);
}

TEST(Chrindex, FindsInList) {
    EXPECT_EQ(chrindex('C', "0123456789ABCDEFabcdef "), 12);
    EXPECT_EQ(chrindex(' ', "0123456789ABCDEFabcdef "), 22);
    EXPECT_EQ(chrindex('\0', "abc"), -1);
    EXPECT_EQ(chrindex('a', ""), -1);
    EXPECT_EQ(chrindex('z', "abc"), -1);
}

TEST(Hex, Values) {
    struct {
        const char* text;
        uint32_t hextoint, hexvalue;
    } cases[] = {
        {"1A", 26, 26},
        {"1A ", 0x1A0, 0x1A},
        {" 1A", 0x1A, 0x1A},
        {"1 A", 0x10A, 0x10A},
        {"1 2", 0x102, 0x102},
        {"100000001", 1, 1},
        {"0x1A", 0, 0},
        {"ffffffff", 0xFFFFFFFFu, 0xFFFFFFFFu},
        {"", 0, 0},
        {"xyz", 0, 0},
        {"12,34", 0x12, 0x12},
        {"abcDEF", 0xABCDEF, 0xABCDEF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hextoint(c.text), c.hextoint) << c.text;
        EXPECT_EQ(hexvalue(c.text), c.hexvalue) << c.text;
    }
}

// freadline reads a real file through its descriptor.
class Freadline : public ::testing::Test {
protected:
    FILE* Open(const std::string& bytes) {
        FILE* f = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::rewind(f);
        files_.push_back(f);
        return f;
    }
    void TearDown() override {
        for (FILE* f : files_) std::fclose(f);
    }
    std::vector<FILE*> files_;
};

TEST_F(Freadline, CrLfAndUnterminatedLastLine) {
    FILE* f = Open("abc\r\nxyz");
    char buf[100];
    EXPECT_EQ(freadline(buf, sizeof buf, f), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(freadline(buf, sizeof buf, f), 3); // delivered, not lost
    EXPECT_STREQ(buf, "xyz");
    EXPECT_EQ(freadline(buf, sizeof buf, f), -1);
}

TEST_F(Freadline, LoneCrDropsTheNextByte) {
    FILE* f = Open("ab\rc\n");
    char buf[100];
    EXPECT_EQ(freadline(buf, sizeof buf, f), 2);
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(freadline(buf, sizeof buf, f), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(freadline(buf, sizeof buf, f), -1);
}

TEST_F(Freadline, LongLineIsCutAndTheRestDropped) {
    FILE* f = Open("abcdef\nnext\n");
    char buf[4];
    EXPECT_EQ(freadline(buf, sizeof buf, f), 3);
    EXPECT_STREQ(buf, "abc");
    char line[100];
    EXPECT_EQ(freadline(line, sizeof line, f), 4);
    EXPECT_STREQ(line, "next");
}

TEST_F(Freadline, EmptyInputAndEmptyLines) {
    char buf[10];
    EXPECT_EQ(freadline(buf, sizeof buf, Open("")), -1);
    FILE* f = Open("\n\n");
    EXPECT_EQ(freadline(buf, sizeof buf, f), 0);
    EXPECT_EQ(freadline(buf, sizeof buf, f), 0);
    EXPECT_EQ(freadline(buf, sizeof buf, f), -1);
}

} // namespace

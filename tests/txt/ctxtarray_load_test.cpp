#include "txt/ctxtarray.h"
#include "platform/fileinfo.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "tests/platform/dir_fixture.h"
#include "tests/txt/array_lines.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- Texts ------------------------------------------------------------------

struct TxtCase {
    const char* text;
    Lines lines;
};

const TxtCase kTxtCases[] = {
    {"a\r\n\nb", {"a", "", "b"}},
    {"a\n", {"a"}},
    {"", {}},
    {"\n", {""}},
    {"x\ry\n\n\n", {"xy", "", ""}},
    {"one\ntwo", {"one", "two"}},
};

TEST(CTxtArrayLoad, LoadFromTxt) {
    for (const TxtCase& c : kTxtCases) {
        CTxtArray a;
        a.Add("old");
        EXPECT_EQ(a.LoadFromTxt(c.text), int(c.lines.size())) << c.text;
        EXPECT_EQ(Items(a), c.lines) << c.text;
    }
    CTxtArray a;
    a.Add("old");
    EXPECT_EQ(a.LoadFromTxt(nullptr), 0);
}

struct FieldCase {
    const char* text;
    char delimiter;
    Lines fields;
};

const FieldCase kFieldCases[] = {
    {" x , ,y", ',', {"x", "y"}},
    {"a|b||c|", '|', {"a", "b", "c"}},
    {"", ',', {}},
    {"  lone  ", ';', {"lone"}},
};

TEST(CTxtArrayLoad, LoadFromFields) {
    for (const FieldCase& c : kFieldCases) {
        CTxtArray a;
        a.Add("old");
        EXPECT_EQ(a.LoadFromFields(c.text, c.delimiter), int(c.fields.size())) << c.text;
        EXPECT_EQ(Items(a), c.fields) << c.text;
    }
}

// Splitting one of the list's own elements: the list is cleared first, so
// the text must survive the clearing.
TEST(CTxtArrayLoad, TextFromTheListItself) {
    CTxtArray a;
    a.Add("keep");
    a.Add("x\ny\r\nz");
    EXPECT_EQ(a.LoadFromTxt(a.GetAtTxt(1)), 3);
    EXPECT_EQ(Items(a), (Lines{"x", "y", "z"}));

    CTxtArray b;
    b.Add(" p , q ,r");
    EXPECT_EQ(b.LoadFromFields(b.GetAtTxt(0), ','), 3);
    EXPECT_EQ(Items(b), (Lines{"p", "q", "r"}));
}

TEST(CTxtArrayLoad, LoadFromArrayJoinsWithCrLf) {
    CTxtArray a;
    a.Add("a");
    a.Add(nullptr);
    a.Add("b");
    CTxt t("old");
    EXPECT_EQ(t.LoadFromArray(&a), 3);
    EXPECT_STREQ(t.GetData(), "a\r\n\r\nb\r\n");
    CTxtArray none;
    EXPECT_EQ(t.LoadFromArray(&none), 0);
    EXPECT_STREQ(t.GetData(), "");
}

// ---- Files ------------------------------------------------------------------

using CTxtArrayFileTest = TempDirTest;

TEST_F(CTxtArrayFileTest, LoadFromFileReadsEveryLine) {
    std::string p = Write("in.txt", "first\r\nsecond\n\nlast");
    CTxtArray a;
    CTxt error;
    EXPECT_EQ(a.LoadFromFile(p.c_str(), error), 4);
    EXPECT_EQ(Items(a), (Lines{"first", "second", "", "last"}));
    EXPECT_EQ(error.GetData(), nullptr);
}

TEST_F(CTxtArrayFileTest, LoadFromFileCutsLongLines) {
    std::string p = Write("long.txt", std::string(150000, 'x') + "\nnext\n");
    CTxtArray a;
    CTxt error;
    EXPECT_EQ(a.LoadFromFile(p.c_str(), error), 2);
    EXPECT_EQ(a.GetAt(0)->GetLength(), 99999);
    EXPECT_STREQ(a.GetAtTxt(1), "next");
}

TEST_F(CTxtArrayFileTest, FileLoadersKeepListWhenFileIsMissing) {
    std::string p = dir_ + "/missing.txt";
    const std::string message = "Cannot open " + p + " (No such file or directory)";
    CTxtArray a;
    a.Add("kept");
    CTxt error;
    EXPECT_EQ(a.LoadFromFile(p.c_str(), error), -1);
    EXPECT_STREQ(error.GetData(), message.c_str());
    error.Empty();
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 0), -1);
    EXPECT_STREQ(error.GetData(), message.c_str());
    error.Empty();
    EXPECT_EQ(a.LoadFromCSV(p.c_str(), error), -1);
    EXPECT_STREQ(error.GetData(), message.c_str());
    EXPECT_EQ(Items(a), (Lines{"kept"}));
}

TEST_F(CTxtArrayFileTest, LoadFromFileBufWithLineLimit) {
    std::string p = Write("five.txt", "1\n2\n3\n4\n5\n");
    CTxtArray a;
    CTxt error;
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 2), 2);
    EXPECT_EQ(Items(a), (Lines{"1", "2"}));
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 0), 5);
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, -1), 5);
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 9), 5);
    // The reader is free again after a stop at the limit.
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 1), 1);
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 3), 3);
    EXPECT_EQ(Items(a), (Lines{"1", "2", "3"}));
}

TEST_F(CTxtArrayFileTest, LoadFromFileBufLastLineWithoutEnd) {
    std::string p = Write("open.txt", "a\r\nb\r\nlast");
    CTxtArray a;
    CTxt error;
    EXPECT_EQ(a.LoadFromFileBuf(p.c_str(), error, 0), 3);
    EXPECT_EQ(Items(a), (Lines{"a", "b", "last"}));
}

struct CsvCase {
    const char* line;
    const char* out;
};

const CsvCase kCsvCases[] = {
    {"1,\"2,5\",x", "1\t2,5\tx"},          {"a,\"b,c\",d", "a\tb,c\td"},
    {"\"say \"\"hi\"\"\",2", "say hi\t2"}, {",,", "\t\t"},
    {"\"open,quote", "open,quote"},        {"plain", "plain"},
};

TEST_F(CTxtArrayFileTest, LoadFromCSVRewritesQuotesAndCommas) {
    std::string text;
    for (const CsvCase& c : kCsvCases) text += std::string(c.line) + "\r\n";
    std::string p = Write("in.csv", text);
    CTxtArray a;
    CTxt error;
    ASSERT_EQ(a.LoadFromCSV(p.c_str(), error), int(std::size(kCsvCases)));
    for (size_t i = 0; i < std::size(kCsvCases); ++i)
        EXPECT_STREQ(a.GetAtTxt(int(i)), kCsvCases[i].out) << kCsvCases[i].line;
}

TEST_F(CTxtArrayFileTest, SaveToNextFile) {
    Write("out001.txt", "taken");
    CTxtArray a;
    a.Add("x");
    a.Add("y");
    CTxt error;
    EXPECT_EQ(a.SaveToNextFile((dir_ + "/out%%%.txt").c_str(), error), 0);
    EXPECT_EQ(ReadAll(dir_ + "/out002.txt"), "x\r\ny\r\n");
    EXPECT_EQ(ReadAll(dir_ + "/out001.txt"), "taken");
    EXPECT_EQ(a.SaveToNextFile((dir_ + "/out%%%.txt").c_str(), error), 0);
    EXPECT_EQ(ReadAll(dir_ + "/out003.txt"), "x\r\ny\r\n");
    EXPECT_EQ(a.SaveToNextFile("out.txt", error), -10);
    EXPECT_STREQ(error.GetData(), "Missing Sequence Placeholder (%) in: out.txt");
}

TEST_F(CTxtArrayFileTest, SaveToNextFileReportsOpenFailure) {
    CTxtArray a;
    a.Add("x");
    CTxt error;
    std::string pattern = dir_ + "/none/o%%.txt";
    EXPECT_EQ(a.SaveToNextFile(pattern.c_str(), error), -1);
    EXPECT_EQ(std::string(error),
              "Cannot open " + dir_ + "/none/o01.txt (No such file or directory)");
}

// ---- Directories ------------------------------------------------------------

TEST_F(CTxtArrayDirTest, NoSortVariants) {
    struct Case {
        int desc, file;
        const char* path;
        Lines expected; // sorted
    };
    const Case cases[] = {
        {1, 0, "", {"/f.txt", "/s", "/s/g.txt"}},
        {1, 1, "", {"/f.txt"}},
        {1, 0, "!TXT", {"/f.txt", "/s/g.txt"}},
        {0, 0, "", {"/f.txt", "/s"}},
        {0, 0, nullptr, {"/f.txt", "/s"}},
        {1, 0, "*.TXT", {"/f.txt"}}, // the pattern also applies to subdirectories
        {1, 0, "!log", {}},
    };
    for (const Case& c : cases) {
        CTxtArray a;
        EXPECT_EQ(a.LoadFromDirNoSort(d_.c_str(), c.desc, c.file, c.path, 0, 0),
                  int(c.expected.size()));
        Lines expected;
        for (const std::string& e : c.expected) expected.push_back(d_ + e);
        EXPECT_EQ(Sorted(Items(a)), expected)
            << c.desc << " " << c.file << " " << (c.path ? c.path : "null");
    }
}

TEST_F(CTxtArrayDirTest, DirectoryFollowsItsContents) {
    CTxtArray a;
    ASSERT_EQ(a.LoadFromDirNoSort(d_.c_str(), 1, 0, "", 0, 0), 3);
    Lines l = Items(a);
    auto sub = std::find(l.begin(), l.end(), d_ + "/s");
    auto inner = std::find(l.begin(), l.end(), d_ + "/s/g.txt");
    ASSERT_NE(sub, l.end());
    ASSERT_NE(inner, l.end());
    EXPECT_LT(inner - l.begin(), sub - l.begin());
}

TEST_F(CTxtArrayDirTest, LoadersAppend) {
    CTxtArray a;
    a.Add("zz-first");
    EXPECT_EQ(a.LoadFromDirNoSort(d_.c_str(), 0, 1, "", 0, 0), 2);
    EXPECT_STREQ(a.GetAtTxt(0), "zz-first");
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), "", 0, 0), 4);
}

TEST_F(CTxtArrayDirTest, LoadFromDirSortsWithoutCase) {
    Write("d/B.txt", "b");
    Write("d/a_c.txt", "a");
    Write("d/ab.txt", "a");
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDir(d_.c_str(), 1, 0, "", 0, 0), 6);
    EXPECT_EQ(Items(a), (Lines{d_ + "/a_c.txt", d_ + "/ab.txt", d_ + "/B.txt", d_ + "/f.txt",
                               d_ + "/s", d_ + "/s/g.txt"}));
}

TEST_F(CTxtArrayDirTest, LoadFromDirDoesNotSortBelowLevel0) {
    Write("d/a.txt", "a");
    Write("d/c.txt", "c");
    Write("d/b.txt", "b");
    CTxtArray a;
    a.Add("zzz");
    EXPECT_EQ(a.LoadFromDir(d_.c_str(), 0, 1, "", 1, 0), 5);
    EXPECT_STREQ(a.GetAtTxt(0), "zzz"); // nothing sorted
    EXPECT_EQ(a.LoadFromDir(d_.c_str(), 0, 1, "", 0, 0), 9);
    EXPECT_STREQ(a.GetAtTxt(8), "zzz");
}

// Sets a file's last-write time to sec seconds and ms milliseconds since 1970.
void SetWriteTime(const std::string& path, time_t sec, int ms) {
    ASSERT_TRUE(SetFileWriteTime(path.c_str(), sec, ms)) << path;
}

std::string LocalLine(time_t sec, int ms, const std::string& path) {
    const tm t = *std::localtime(&sec);
    char buf[64];
    snprintf(buf, sizeof buf, "%04d%02d%02d|%02d%02d%02d.%03d|", t.tm_year + 1900, t.tm_mon + 1,
             t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, ms);
    return buf + path;
}

TEST_F(CTxtArrayDirTest, SortTimeStyle2IsLastWriteOldestFirst) {
    SetWriteTime(d_ + "/f.txt", 1700000000, 250);
    SetWriteTime(d_ + "/s/g.txt", 1600000000, 7);
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDirSortTimeStyle(2, d_.c_str(), 1, 1, "", 0, 0), 1);
    EXPECT_EQ(a.GetDirSortStyle(), 2);
    EXPECT_EQ(Items(a), (Lines{LocalLine(1700000000, 250, d_ + "/f.txt")}));
    a.RemoveAll();
    EXPECT_EQ(a.LoadFromDirSortTimeStyle(2, d_.c_str(), 1, 0, "!txt", 0, 0), 2);
    EXPECT_EQ(Items(a), (Lines{LocalLine(1600000000, 7, d_ + "/s/g.txt"),
                               LocalLine(1700000000, 250, d_ + "/f.txt")}));
}

TEST_F(CTxtArrayDirTest, SortTimeStyle1ShowsCreationOrLastWrite) {
    SetWriteTime(d_ + "/f.txt", 1000000000, 0);
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDirSortTime(d_.c_str(), 0, 1, "", 0, 0), 1);
    EXPECT_EQ(a.GetDirSortStyle(), 1);
    const std::string line = a.GetAtTxt(0);
    EXPECT_TRUE(std::regex_match(line, std::regex(R"(\d{8}\|\d{6}\.\d{3}\|.*)"))) << line;
    EXPECT_EQ(line.substr(line.size() - 6), "/f.txt");
    // The real birth time, or the last write where the file system keeps none.
    EXPECT_TRUE(line.substr(0, 4) >= "2024" || line == LocalLine(1000000000, 0, d_ + "/f.txt"))
        << line;
}

TEST_F(CTxtArrayDirTest, SortStyle3IsSecondsAndStays) {
    SetWriteTime(d_ + "/f.txt", 1234567, 0);
    SetWriteTime(d_ + "/s/g.txt", 1700000000, 0);
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDirSortTimeStyle(3, d_.c_str(), 1, 0, "!txt", 0, 0), 2);
    EXPECT_EQ(Items(a), (Lines{"001234567|" + d_ + "/f.txt", "1700000000|" + d_ + "/s/g.txt"}));
    // The style stays on the list for later loads.
    a.RemoveAll();
    EXPECT_EQ(a.LoadFromDir(d_.c_str(), 0, 1, "", 0, 0), 1);
    EXPECT_STREQ(a.GetAtTxt(0), ("001234567|" + d_ + "/f.txt").c_str());
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), "txt", 0, 0), 3);
    a.SetDirSortStyle(7); // any other style: the path
    a.RemoveAll();
    EXPECT_EQ(a.LoadFromDir(d_.c_str(), 0, 1, "", 0, 0), 1);
    EXPECT_STREQ(a.GetAtTxt(0), (d_ + "/f.txt").c_str());
}

TEST_F(CTxtArrayDirTest, FilesFromTreeWithExtension) {
    Write("d/s/t/deep.TXT", "x");
    Write("d/s/t/other.log", "x");
    Write("d/noext", "x");
    Write("d/s/two.txt.bak", "x");
    CTxtArray a;
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), "txt", 0, 0), 4);
    EXPECT_EQ(Sorted(Items(a)),
              (Lines{d_ + "/f.txt", d_ + "/s/g.txt", d_ + "/s/t/deep.TXT", d_ + "/s/two.txt.bak"}));
    a.RemoveAll();
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), nullptr, 0, 0), 6);
    EXPECT_EQ(Sorted(Items(a)),
              (Lines{d_ + "/f.txt", d_ + "/noext", d_ + "/s/g.txt", d_ + "/s/t/deep.TXT",
                     d_ + "/s/t/other.log", d_ + "/s/two.txt.bak"}));
}

// Links back to a folder being walked: each folder is entered once, the
// links themselves are listed as folders, and the walk ends.
TEST_F(CTxtArrayDirTest, LinkLoopsEndTheWalk) {
    std::error_code ec;
    std::filesystem::create_directory_symlink(d_, d_ + "/s/back", ec);
    if (!ec) std::filesystem::create_directory_symlink(".", d_ + "/s/self", ec);
    if (ec) GTEST_SKIP() << "no folder links here: " << ec.message();

    CTxtArray a;
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), "txt", 0, 0), 2);
    EXPECT_EQ(Sorted(Items(a)), (Lines{d_ + "/f.txt", d_ + "/s/g.txt"}));

    CTxtArray b;
    EXPECT_EQ(b.LoadFromDir(d_.c_str(), 1, 0, "", 0, 0), 5);
    EXPECT_EQ(Items(b),
              (Lines{d_ + "/f.txt", d_ + "/s", d_ + "/s/back", d_ + "/s/g.txt", d_ + "/s/self"}));
}

TEST_F(CTxtArrayDirTest, MissingDirectoryGivesNothing) {
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDir((dir_ + "/none").c_str(), 1, 0, "", 0, 0), 0);
    EXPECT_EQ(a.LoadFromFilesFromTree((dir_ + "/none").c_str(), "", 0, 0), 0);
    EXPECT_EQ(a.LoadFromDir(nullptr, 1, 0, nullptr, 0, 0), 0);
    EXPECT_EQ(a.LoadFromFilesFromTree(nullptr, nullptr, 0, 0), 0);
}

// ---- Trace lines --------------------------------------------------------------

Lines CapturedLines(const std::string& out) {
    Lines lines;
    size_t start = 0;
    for (size_t end; (end = out.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(out.substr(start, end - start));
    return lines;
}

TEST_F(CTxtArrayDirTest, LoadFromDirTraceLines) {
    CTxtArray a;
    testing::internal::CaptureStdout();
    a.LoadFromDir(d_.c_str(), 1, 1, "", 0, 1);
    Lines lines = CapturedLines(testing::internal::GetCapturedStdout());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Dir=" + d_ + ", Desc=1, File=1, Path=, nLev=0");
    EXPECT_TRUE(std::regex_match(lines[1], std::regex("Dir=" + d_ +
                                                      "/\\*, Desc=1, File=1, Path=, nLev=0, "
                                                      "hFindFn=[0-9A-F]{8}, File=.+")))
        << lines[1];
    EXPECT_EQ(lines[2], "Dir=" + d_ + ", nLev=0, Found File=" + d_ + "/f.txt");
    EXPECT_EQ(lines[3], "Dir=" + d_ + ", Desc=1, File=1, Path=, nLev=0, Sort 1 Files");
    EXPECT_EQ(lines[4], "Dir=" + d_ + ", Desc=1, File=1, Path=, nLev=0, Sort 1 Files - Completed");
}

TEST_F(CTxtArrayDirTest, TraceLevel2ShowsEveryEntry) {
    CTxtArray a;
    testing::internal::CaptureStdout();
    a.LoadFromDirNoSort(d_.c_str(), 1, 0, "!txt", 0, 2);
    Lines lines = CapturedLines(testing::internal::GetCapturedStdout());
    auto has = [&](const std::string& l) {
        return std::find(lines.begin(), lines.end(), l) != lines.end();
    };
    EXPECT_TRUE(has("Dir=" + d_ + ", nLev=0, File=f.txt"));
    EXPECT_TRUE(has("Dir=" + d_ + ", nLev=0, File=s"));
    EXPECT_TRUE(has("Dir=" + d_ + "/s, Desc=1, File=0, Path=!txt, nLev=1"));
    EXPECT_TRUE(has("Dir=" + d_ + "/s, nLev=1, File=g.txt"));
    EXPECT_TRUE(has("Dir=" + d_ + "/s, nLev=1, Found File=" + d_ + "/s/g.txt"));
    EXPECT_FALSE(has("Dir=" + d_ + ", nLev=0, File=."));
}

TEST_F(CTxtArrayDirTest, SilentAndFailedListingTraces) {
    CTxtArray a;
    testing::internal::CaptureStdout();
    a.LoadFromDirSortTimeStyle(3, d_.c_str(), 1, 0, "", 0, 0);
    a.LoadFromDir(d_.c_str(), 1, 0, "", 0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    testing::internal::CaptureStdout();
    a.LoadFromFilesFromTree((dir_ + "/none").c_str(), "txt", 0, 1);
    Lines lines = CapturedLines(testing::internal::GetCapturedStdout());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Dir=" + dir_ + "/none, Ext=txt, nLev=0");
    EXPECT_EQ(lines[1],
              "Dir=" + dir_ + "/none, Path=" + dir_ + "/none/*, nLev=0, hFindFn=FFFFFFFF, File=");

    testing::internal::CaptureStdout();
    a.LoadFromDirSortTimeStyle(0, d_.c_str(), 0, 1, "", 0, 1);
    lines = CapturedLines(testing::internal::GetCapturedStdout());
    ASSERT_EQ(lines.size(), 2u); // only the sort lines
    EXPECT_NE(lines[0].find("Sort "), std::string::npos);
}

} // namespace

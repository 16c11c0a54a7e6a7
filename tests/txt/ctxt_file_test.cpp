#include "txt/ctxt.h"
#include "textutil/bgetl.h"

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/platform/dir_fixture.h"

namespace {

std::string Str(CTxt& t) {
    return std::string(static_cast<const char*>(t));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// ---- Path parts -------------------------------------------------------------

struct PartCase {
    const char* path;
    int part;
    const char* expected; // null: the output is released
};

const PartCase kPartCases[] = {
    {"C:/a/b.tar.gz", 0, "C:"},
    {"C:/a/b.tar.gz", 1, "/a/"},
    {"C:/a/b.tar.gz", 2, "b.tar"},
    {"C:/a/b.tar.gz", 3, "gz"},
    {"C:/a/b.tar.gz", 4, "C:/a/"},
    {"C:/a/b.tar.gz", 5, "b.tar.gz"},
    {"C:/a/b.tar.gz", 6, "C:/a/b.tar"},
    {"C:/a/b.tar.gz", 7, "C:/a/b.tar.gz"},
    {"C:/a/b.tar.gz", 8, nullptr},
    {"C:/a/b.tar.gz", -1, nullptr},
    {"C:\\data\\in.bin.old", 0, "C:"},
    {"C:\\data\\in.bin.old", 1, "\\data\\"},
    {"C:\\data\\in.bin.old", 2, "in.bin"},
    {"C:\\data\\in.bin.old", 3, "old"},
    {"C:\\data\\in.bin.old", 4, "C:\\data\\"},
    {"C:\\data\\in.bin.old", 5, "in.bin.old"},
    {"C:\\data\\in.bin.old", 6, "C:\\data\\in.bin"},
    {"C:\\data\\in.bin.old", 7, "C:\\data\\in.bin.old"},
    {"C:\\data\\in.bin.old", 99, nullptr},
    {"C:/a/b", 3, nullptr},
    {"C:/a/b", 5, "b"},
    {"rel.txt", 0, ""},
    {"rel.txt", 4, ""},
};

TEST(CTxtFileName, GetFileTxtSelectors) {
    for (const PartCase& c : kPartCases) {
        CTxt path(c.path), out("stale");
        int n = path.GetFileTxt(c.part, out);
        if (c.expected) {
            ASSERT_NE(out.GetData(), nullptr) << c.path << " part " << c.part;
            EXPECT_STREQ(out.GetData(), c.expected) << c.path << " part " << c.part;
            EXPECT_EQ(n, int(strlen(c.expected)));
        } else {
            EXPECT_EQ(out.GetData(), nullptr) << c.path << " part " << c.part;
            EXPECT_EQ(n, 0);
        }
        EXPECT_STREQ(path.GetData(), c.path); // the source is untouched
    }
}

TEST(CTxtFileName, GetFileTxtOfEmptyTextReleasesOutput) {
    CTxt empty, blank(""), out("x");
    EXPECT_EQ(empty.GetFileTxt(7, out), 0);
    EXPECT_EQ(out.GetData(), nullptr);
    out = "x";
    EXPECT_EQ(blank.GetFileTxt(0, out), 0);
    EXPECT_EQ(out.GetData(), nullptr);
}

TEST(CTxtFileName, GetFileTxtIntoItself) {
    CTxt t("C:/a/b.tar.gz");
    EXPECT_EQ(t.GetFileTxt(6, t), 10);
    EXPECT_STREQ(t.GetData(), "C:/a/b.tar");
}

struct EditCase {
    const char* in;
    const char* out;
};

const EditCase kMakeFnCases[] = {
    {"a\\b", "a/b"},
    {"a\\\\b", "a\\\\b"},                                   // a doubled backslash stays
    {"dir\\", "dir"},                                       // cut after being turned into '/'
    {"\\\\server\\share\\f.txt", "\\\\server/share/f.txt"}, // network path keeps its head
    {"a\\\\\\b", "a\\\\/b"},                                // pair, then a single one
    {"a/b///", "a/b"},
    {"/", "/"}, // the start of the text stays
    {"\\", "/"},
    {"plain", "plain"},
};

TEST(CTxtFileName, MakeFn) {
    for (const EditCase& c : kMakeFnCases) {
        CTxt t(c.in);
        t.MakeFn();
        EXPECT_STREQ(t.GetData(), c.out) << c.in;
        EXPECT_EQ(t.GetLength(), int(strlen(c.out))) << c.in;
    }
}

const EditCase kMakeFnDosCases[] = {
    {"a/b", "a\\b"},
    {"a/b/", "a\\b"},
    {"//server/share/", "\\\\server\\share"},
    {"\\\\server\\share\\f.txt", "\\\\server\\share\\f.txt"},
    {"C:/dir\\/", "C:\\dir"},
    {"/", "\\"},
};

TEST(CTxtFileName, MakeFnDOS) {
    for (const EditCase& c : kMakeFnDosCases) {
        CTxt t(c.in);
        t.MakeFnDOS();
        EXPECT_STREQ(t.GetData(), c.out) << c.in;
        EXPECT_EQ(t.GetLength(), int(strlen(c.out))) << c.in;
    }
}

TEST(CTxtFileName, MakeFnOnEmptyTextsDoesNothing) {
    CTxt none, blank("");
    none.MakeFn();
    none.MakeFnDOS();
    EXPECT_EQ(none.GetData(), nullptr);
    blank.MakeFn();
    EXPECT_STREQ(blank.GetData(), "");
}

TEST(CTxtFileName, MakeFileExt) {
    CTxt t("a/b.txt");
    EXPECT_EQ(t.MakeFileExt("TXT"), 1);
    EXPECT_STREQ(t.GetData(), "a/b.txt");
    EXPECT_EQ(t.MakeFileExt("log"), 0);
    EXPECT_STREQ(t.GetData(), "a/b.log");
    CTxt bare("dir.d/noext");
    EXPECT_EQ(bare.MakeFileExt("csv"), 0);
    EXPECT_STREQ(bare.GetData(), "dir.d/noext.csv");
}

struct NameCase {
    const char* in;
    const char* name;
    const char* ext;
    const char* out;
};

const NameCase kNameCases[] = {
    {"C:/dir/in.txt", "out", "csv", "C:/dir/out.csv"},
    {"C:/dir/in.txt", "out", nullptr, "C:/dir/out.txt"},
    {"in.txt", "out", nullptr, "/out.txt"},
    {"C:\\dir\\in.txt", "out", "csv", "C:/dir/out.csv"},
    {"C:/dir/in", "out", nullptr, "C:/dir/out"}, // no extension: no dot either
    {"C:in.txt", "out", "log", "C:/out.log"},
};

TEST(CTxtFileName, MakeFileName) {
    for (const NameCase& c : kNameCases) {
        CTxt t(c.in);
        EXPECT_EQ(t.MakeFileName(c.name, c.ext), 0);
        EXPECT_STREQ(t.GetData(), c.out) << c.in;
    }
}

TEST(CTxtFileName, AddToFn) {
    CTxt t("x/data.bin");
    EXPECT_EQ(t.AddToFn("2", 1), 12);
    EXPECT_STREQ(t.GetData(), "x/data-2.bin");
    CTxt u("C:\\a.b\\f");
    u.AddToFn("_old", 0);
    EXPECT_STREQ(u.GetData(), "C:\\a.b\\f_old");
}

TEST(CTxtFileName, AppendFileLocation) {
    CTxt t("Failed");
    EXPECT_EQ(t.AppendFileLocation("m.cpp", 42, nullptr), 29);
    EXPECT_STREQ(t.GetData(), "Failed\r\n(File=m.cpp, Line=42)");
    CTxt u("at ");
    u.AppendFileLocation("x.c", 7, "%s:%d");
    EXPECT_STREQ(u.GetData(), "at x.c:7");
}

TEST(CTxtFileName, IsSameFileTxt) {
    CTxt t("C:/Data/In.TXT");
    EXPECT_EQ(t.IsSameFileTxt("c:\\other\\in.txt", 5), 1);
    EXPECT_EQ(t.IsSameFileTxt("c:\\other\\in.txt", 4), 0);
    EXPECT_EQ(t.IsSameFileTxt("D:/x/y.txt", 3), 1);
    EXPECT_EQ(t.IsSameFileTxt("c:/data/in.txt", 7), 1);
    EXPECT_EQ(t.IsSameFileTxt("c:/data/in.txt.bak", 7), 0);
}

TEST(CTxtFileName, GetField) {
    CTxt t("old");
    EXPECT_EQ(t.GetField("name  ,rest", ',', 1), 4);
    EXPECT_STREQ(t.GetData(), "name");
    EXPECT_EQ(t.GetField("name  ,rest", ',', 0), 6);
    EXPECT_STREQ(t.GetData(), "name  ");
    EXPECT_EQ(t.GetField("whole,text", 0, 0), 10);
    EXPECT_STREQ(t.GetData(), "whole,text");
    EXPECT_EQ(t.GetField("no delimiter", ';', 0), 12);
    EXPECT_EQ(t.GetField(",rest", ',', 0), 0);
    EXPECT_EQ(t.GetData(), nullptr);
    t = "x";
    EXPECT_EQ(t.GetField("   ,rest", ',', 1), 0);
    EXPECT_EQ(t.GetData(), nullptr);
}

TEST(CTxtFileName, GetFieldFromItsOwnText) {
    CTxt t("key=value");
    EXPECT_EQ(t.GetField(t.GetData(), '=', 0), 3);
    EXPECT_STREQ(t.GetData(), "key");
}

TEST(CTxtFileName, GetExeName) {
    CTxt base, file, full, dir;
    CTxt::GetExeName(base, 2);
    EXPECT_STREQ(base.GetData(), "test_txt");
    CTxt::GetExeName(file, 5);
    CTxt::GetExeName(full, 7);
    CTxt::GetExeName(dir, 4);
    ASSERT_NE(full.GetData(), nullptr);
    EXPECT_EQ(Str(full), Str(dir) + Str(file));
    EXPECT_EQ(strchr(full.GetData(), '\\'), nullptr);
}

// ---- Files ------------------------------------------------------------------

using CTxtFileTest = TempDirTest;

TEST_F(CTxtFileTest, GetNextFileSkipsExistingNames) {
    Write("a01b", "");
    Mkdir("a02b"); // a directory takes the name too
    CTxt t;
    EXPECT_EQ(t.GetNextFile((dir_ + "/a%%b").c_str()), 3);
    EXPECT_EQ(Str(t), dir_ + "/a03b");
    EXPECT_EQ(t.GetNextFile((dir_ + "/log%%%.txt").c_str()), 1);
    EXPECT_EQ(Str(t), dir_ + "/log001.txt");
}

TEST_F(CTxtFileTest, GetNextFileWritesWiderNumbersInFull) {
    char name[8];
    for (int i = 1; i <= 99; ++i) {
        snprintf(name, sizeof name, "n%02d", i);
        Write(name, "");
    }
    CTxt t;
    EXPECT_EQ(t.GetNextFile((dir_ + "/n%").c_str()), -1); // a single '%' is no placeholder
    EXPECT_EQ(t.GetNextFile((dir_ + "/n%%").c_str()), 100);
    EXPECT_EQ(Str(t), dir_ + "/n100");
}

TEST_F(CTxtFileTest, GetNextFileWithoutPlaceholder) {
    CTxt t("keep");
    EXPECT_EQ(t.GetNextFile("abc"), -1);
    EXPECT_STREQ(t.GetData(), "Missing Sequence Placeholder (%) in: abc");
    EXPECT_EQ(t.GetNextFile(nullptr), -1);
}

TEST_F(CTxtFileTest, LoadFromFileTakesEveryByte) {
    std::string p = Write("five", "hello");
    CTxt t("previous text that is longer");
    EXPECT_EQ(t.LoadFromFile(p.c_str()), 0);
    EXPECT_STREQ(t.GetData(), "hello");
    EXPECT_EQ(t.GetLength(), 5);
    EXPECT_EQ(t.GetCapacity(), 7);

    std::string bytes("a\0b\r\nc", 6);
    p = Write("zero", bytes);
    EXPECT_EQ(t.LoadFromFile(p.c_str()), 0);
    EXPECT_EQ(t.GetLength(), 6);
    EXPECT_EQ(std::string(t.GetData(), 6), bytes);
    EXPECT_EQ(t.GetData()[6], '\0');

    p = Write("empty", "");
    EXPECT_EQ(t.LoadFromFile(p.c_str()), 0);
    EXPECT_STREQ(t.GetData(), "");
    EXPECT_EQ(t.GetLength(), 0);
    EXPECT_EQ(t.GetCapacity(), 2);
}

TEST_F(CTxtFileTest, LoadFromFileOfMissingFile) {
    std::string p = dir_ + "/missing.txt";
    CTxt t("x");
    EXPECT_EQ(t.LoadFromFile(p.c_str()), -1);
    EXPECT_EQ(Str(t), "Cannot open '" + p + "' (No such file or directory)");
}

TEST_F(CTxtFileTest, SaveToFileWritesAndAppends) {
    std::string p = dir_ + "/out.bin";
    CTxt t("abc");
    EXPECT_EQ(t.SaveToFile(p.c_str(), 0), 3);
    EXPECT_EQ(t.SaveToFile(p.c_str(), 1), 3);
    EXPECT_EQ(ReadAll(p), "abcabc");
    CTxt u("Z");
    EXPECT_EQ(u.SaveToFile(p.c_str(), 2), 1); // only 1 appends
    EXPECT_EQ(ReadAll(p), "Z");
    CTxt none;
    EXPECT_EQ(none.SaveToFile(p.c_str(), 0), 0);
    EXPECT_EQ(ReadAll(p), "");
}

TEST_F(CTxtFileTest, SaveToFileOpenFailure) {
    std::string p = dir_ + "/no/such/dir/f.txt";
    CTxt t("data");
    EXPECT_EQ(t.SaveToFile(p.c_str(), 0), -1);
    EXPECT_EQ(Str(t), "Cannot open '" + p + "' (No such file or directory)");
}

TEST_F(CTxtFileTest, OwnTextAsArgument) {
    std::string p = Write("self.txt", "contents of the file, longer than its name............");
    CTxt t(p.c_str());
    EXPECT_EQ(t.LoadFromFile(t), 0);
    EXPECT_EQ(Str(t), "contents of the file, longer than its name............");
    CTxt u((dir_ + "/n%%").c_str());
    EXPECT_EQ(u.GetNextFile(u), 1);
    EXPECT_EQ(Str(u), dir_ + "/n01");
    CTxt v((dir_ + "/missing").c_str());
    EXPECT_EQ(v.PrintFile(v, 2, 0), -1);
    EXPECT_EQ(Str(v), "Empty or missing file " + dir_ + "/missing (-1)");
    CTxt w((dir_ + "/none/x").c_str());
    EXPECT_EQ(w.SaveToFile(w, 0), -1);
    EXPECT_EQ(Str(w), "Cannot open '" + dir_ + "/none/x' (No such file or directory)");
}

// ---- Dump files -------------------------------------------------------------

struct DumpCase {
    std::string bytes;
    int width;
    int withPos;
    std::string lines; // everything after the LENGTH line
};

const DumpCase kDumpCases[] = {
    {std::string("AB\x01", 3), 2, 0,
     "POS0:\r\n"
     "4241 -  16961 - AB\r\n"
     "0001 -      1 - ??\r\n"},
    {std::string("AB\x01", 3), 2, 1,
     "POS0:\r\n"
     "[        0]: 4241 -  16961 - AB\r\n"
     "[        2]: 0001 -      1 - ??\r\n"},
    {"Hi\n", 1, 0,
     "POS0:\r\n"
     "48 -  72 - H\r\n"
     "69 - 105 - i\r\n"
     "0A -  10 - ?\r\n"},
    {"Hi", 1, 1,
     "POS0:\r\n"
     "[        0]: 48 -  72 - H\r\n"
     "[        1]: 69 - 105 - i\r\n"},
    {"abcd", 3, 0,
     "POS0:\r\n"
     "636261 - 6513249 - a\r\n"
     "000064 - 100 - d\r\n"},
    {std::string("ABCD\xFF\xFF\xFF\xFF~", 9), 4, 0,
     "POS0:\r\n"
     "44434241 -   1145258561 - ABCD\r\n"
     "FFFFFFFF -           -1 - ????\r\n"
     "0000007E -          126 - ~???\r\n"},
    {std::string("ABCD\xFF\xFF\xFF\xFF", 8), 4, 1,
     "POS0:\r\n"
     "[        0]: 44434241 -   1145258561 - ABCD\r\n"
     "[        4]: FFFFFFFF -           -1 - ????\r\n"},
};

TEST_F(CTxtFileTest, PrintFileDumpsByteForByte) {
    for (const DumpCase& c : kDumpCases) {
        std::string p = Write("data.bin", c.bytes);
        CTxt t("unchanged");
        ASSERT_EQ(t.PrintFile(p.c_str(), c.width, c.withPos), 0) << Str(t);
        EXPECT_STREQ(t.GetData(), "unchanged");
        std::string dump = dir_ + "/data-" + std::to_string(c.width) + ".txt";
        EXPECT_EQ(ReadAll(dump),
                  "FILE:\t" + p + "\r\n\r\nLENGTH=" + std::to_string(c.width) + ":\r\n" + c.lines)
            << "width " << c.width << " withPos " << c.withPos;
    }
}

TEST_F(CTxtFileTest, PrintFileMarksEveryThousandBytes) {
    std::string p = Write("big.dat", std::string(2002, 'x'));
    CTxt t;
    ASSERT_EQ(t.PrintFile(p.c_str(), 2, 0), 0);
    std::string dump = ReadAll(dir_ + "/big-2.txt");
    size_t first = dump.find("POS0:\r\n"), second = dump.find("POS1000:\r\n"),
           third = dump.find("POS2000:\r\n");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    ASSERT_NE(third, std::string::npos);
    // 500 value lines of 20 bytes between the marks.
    EXPECT_EQ(second - first, 7 + 500 * 20u);
    EXPECT_EQ(third - second, 10 + 500 * 20u);
    EXPECT_EQ(dump.find("POS", third + 1), std::string::npos);
}

TEST_F(CTxtFileTest, PrintFileOfTextFileGetsNewName) {
    std::string p = Write("notes.txt", "xy");
    CTxt t;
    ASSERT_EQ(t.PrintFile(p.c_str(), 1, 0), 0);
    EXPECT_EQ(ReadAll(p), "xy");
    EXPECT_NE(ReadAll(dir_ + "/notes-1.txt").find("78 - 120 - x"), std::string::npos);
}

TEST_F(CTxtFileTest, PrintFileFailures) {
    CTxt t;
    std::string empty = Write("empty.bin", "");
    EXPECT_EQ(t.PrintFile(empty.c_str(), 2, 0), -1);
    EXPECT_EQ(Str(t), "Empty or missing file " + empty + " (0)");

    std::string missing = dir_ + "/missing.bin";
    EXPECT_EQ(t.PrintFile(missing.c_str(), 2, 0), -1);
    EXPECT_EQ(Str(t), "Empty or missing file " + missing + " (-1)");

    EXPECT_EQ(t.PrintFile("", 2, 0), -1);
    EXPECT_EQ(Str(t), "Empty or missing file  (-2)");

    // Where a directory has a size, it opens but cannot be read as a file.
    std::string folder = Mkdir("folder.bin");
    if (filesize(folder.c_str()) > 0) {
        EXPECT_EQ(t.PrintFile(folder.c_str(), 2, 0), -3);
        EXPECT_EQ(Str(t), "Read error in workspace file " + folder);
    }
}

TEST_F(CTxtFileTest, PrintFileReportsDumpThatCannotBeCreated) {
    std::string p = Write("data.bin", "abc");
    std::string blocker = Mkdir("data-2.txt"); // a folder where the dump would go
    CTxt t;
    EXPECT_EQ(t.PrintFile(p.c_str(), 2, 0), -4);
    const std::string message = Str(t);
    const std::string head = "Cannot create dump file " + blocker + " (";
    EXPECT_EQ(message.substr(0, head.size()), head);
    EXPECT_EQ(message.back(), ')');
    EXPECT_GT(message.size(), head.size() + 1);
}

TEST_F(CTxtFileTest, PrintFileRejectsUnsupportedWidths) {
    std::string p = Write("data.bin", "abc");
    for (int width : {0, -2, 5, 8}) {
        CTxt t;
        EXPECT_EQ(t.PrintFile(p.c_str(), width, 0), -5) << width;
        EXPECT_EQ(Str(t),
                  "Unsupported width " + std::to_string(width) + " for file " + p + " (1 to 4)");
    }
}

} // namespace

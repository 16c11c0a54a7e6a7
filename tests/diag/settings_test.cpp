#include "diag/settings.h"

#include "platform/process.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using diagtest::ReadAll;
using diagtest::TempDir;
using diagtest::WriteAll;

namespace {

std::vector<std::string> Listing(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    return names;
}

std::string ReadString(const char* section, const char* key, const char* def,
                       const std::string& path, int size = 200) {
    std::vector<char> buf(size_t(size), '#');
    int n = ReadIniString(section, key, def, buf.data(), size, path.c_str());
    std::string s(buf.data());
    EXPECT_EQ(n, int(s.size()));
    return s;
}

// ---- where the settings file lives ------------------------------------------

TEST(SettingsPath, RulesForGivenExecutablePaths) {
    struct Case {
        const char* exe;
        const char* dir;
        const char* ini;
    } cases[] = {
        {"C:\\Tools\\Release\\ToolRelease.exe", "C:\\Tools", "C:/Tools/Tool.ini"},
        {"C:\\Tools\\Tool.exe", "C:\\Tools", "C:/Tools/Tool.ini"},
        {"C:\\Tools\\Debug\\ToolDebug.exe", "C:\\Tools", "C:/Tools/Tool.ini"},
        {"c:\\tools\\DEBUG\\tooldebug.EXE", "c:\\tools", "c:/tools/tool.ini"},
        {"C:\\Tools\\release\\ToolRELEASE.exe", "C:\\Tools", "C:/Tools/Tool.ini"},
        // "Debug" goes first, then "Release" only if it is then last.
        {"C:\\P\\Release\\Debug\\T.exe", "C:\\P\\Release", "C:/P/Release/T.ini"},
        {"C:\\P\\Debug\\Release\\T.exe", "C:\\P\\Debug", "C:/P/Debug/T.ini"},
        {"C:\\P\\MyRelease\\T.exe", "C:\\P\\MyRelease", "C:/P/MyRelease/T.ini"},
        {"C:\\P\\NotDebug\\T.exe", "C:\\P\\NotDebug", "C:/P/NotDebug/T.ini"},
        // Directories shorter than the suffixes, and the root.
        {"C:\\Debug\\T.exe", "C:", "C:/T.ini"},
        {"C:\\ug\\T.exe", "C:\\ug", "C:/ug/T.ini"},
        {"C:\\T.exe", "C:", "C:/T.ini"},
        {"\\T.exe", "", "/T.ini"},
        // Forward slashes and paths without a drive.
        {"C:/Tools/Release/Tool.exe", "C:/Tools", "C:/Tools/Tool.ini"},
        {"/opt/ost/build/Release/tolvaneRelease", "/opt/ost/build", "/opt/ost/build/tolvane.ini"},
        {"/opt/ost/Debug/tolvane", "/opt/ost", "/opt/ost/tolvane.ini"},
        {"/usr/bin/tolvane", "/usr/bin", "/usr/bin/tolvane.ini"},
        {"/tolvane", "", "/tolvane.ini"},
        {"/opt/v1.2/tolvane", "/opt/v1.2", "/opt/v1.2/tolvane.ini"},
        {"/opt/tool.x.bin", "/opt", "/opt/tool.x.ini"},
        {"\\\\server\\share\\Release\\T.exe", "\\\\server\\share", "//server/share/T.ini"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExeDirOf(c.exe), c.dir) << c.exe;
        EXPECT_EQ(IniPathOf(c.exe), c.ini) << c.exe;
    }
}

TEST(SettingsPath, RunningExecutable) {
    std::string exe = ExePath();
    ASSERT_FALSE(exe.empty());
    char buf[1000];
    int n = GetExeDir(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), ExeDirOf(exe));
    EXPECT_EQ(n, int(ExeDirOf(exe).size()));
    EXPECT_EQ(std::filesystem::path(buf), std::filesystem::path(exe).parent_path());

    SetIniPath(nullptr);
    n = GetIniPath(buf, sizeof buf);
    std::filesystem::path expected = std::filesystem::path(exe).replace_extension(".ini");
    EXPECT_EQ(std::string(buf), expected.generic_string()); // '/' throughout
    EXPECT_EQ(n, int(expected.generic_string().size()));
}

TEST(SettingsPath, SmallBufferIsCutAndTerminated) {
    char buf[5] = "????";
    EXPECT_EQ(GetExeDir(buf, sizeof buf), 4);
    EXPECT_EQ(std::string(buf), ExeDirOf(ExePath()).substr(0, 4));
    EXPECT_EQ(GetExeDir(buf, 0), 0);
}

TEST(SettingsPath, OverriddenSettingsFileServesNullPaths) {
    TempDir dir;
    std::string ini = dir.file("my.ini");
    SetIniPath(ini.c_str());
    char buf[300];
    GetIniPath(buf, sizeof buf);
    EXPECT_EQ(std::string(buf), ini);
    EXPECT_EQ(ReadIniBool("SYS", "LogShowTime", 0, nullptr), 0);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nLogShowTime=NO\r\n");
    SetIniPath(nullptr);
}

// ---- yes/no switches ------------------------------------------------------------

TEST(SettingsBool, AbsentKeyIsAnsweredAndAddedWithItsDefault) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    EXPECT_EQ(ReadIniBool("SYS", "LogShowDate", 1, ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nLogShowDate=YES\r\n");
    EXPECT_EQ(ReadIniBool("SYS", "LogFileFlushOnEach", 0, ini.c_str()), 0);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nLogShowDate=YES\r\nLogFileFlushOnEach=NO\r\n");
    // Asked again, the written values answer and nothing changes.
    EXPECT_EQ(ReadIniBool("SYS", "LogShowDate", 0, ini.c_str()), 1);
    EXPECT_EQ(ReadIniBool("SYS", "LogFileFlushOnEach", 1, ini.c_str()), 0);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nLogShowDate=YES\r\nLogFileFlushOnEach=NO\r\n");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"t.ini"});
}

TEST(SettingsBool, PresentValuesAnswerAndStayAsTheyAre) {
    struct Case {
        const char* value;
        int yes;
    } cases[] = {
        {"YES", 1},     {"yes", 1},      {"Yes", 1},  {"TRUE", 1},  {"true", 1}, {"tRuE", 1},
        {"\"yes\"", 1}, {"  true  ", 1}, {"1", 0},    {"on", 0},    {"ON", 0},   {"", 0},
        {"no", 0},      {"false", 0},    {"YESS", 0}, {"TRUE1", 0}, {"Y", 0},    {"T", 0},
    };
    TempDir dir;
    std::string ini = dir.file("t.ini");
    for (const Case& c : cases) {
        for (int def : {0, 1}) {
            std::string before =
                std::string("; switches\r\n[SYS]\r\nLogShowTime=") + c.value + "\r\nOther=1\r\n";
            WriteAll(ini, before);
            EXPECT_EQ(ReadIniBool("SYS", "LogShowTime", def, ini.c_str()), c.yes)
                << "'" << c.value << "' default " << def;
            EXPECT_EQ(ReadAll(ini), before) << c.value;
        }
    }
}

TEST(SettingsBool, EmptyValueReadsAsNoAndStaysEmpty) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "[SYS]\r\nLogShowDate=\r\n");
    EXPECT_EQ(ReadIniBool("SYS", "LogShowDate", 1, ini.c_str()), 0);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nLogShowDate=\r\n");
    EXPECT_EQ(ReadString("SYS", "LogShowDate", "YES", ini), "");
}

// ---- reading strings ------------------------------------------------------------

TEST(SettingsRead, Lookups) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "top=0\r\n"
                  "; comment=1\r\n"
                  "[Other]\r\n"
                  "Key=other\r\n"
                  "  [ sys ]  \r\n"
                  "  key  =  spaced value  \r\n"
                  "Key=second\r\n"
                  ";Hidden=1\r\n"
                  "novalue\r\n"
                  "Quoted='a b'\r\n"
                  "Half=\"a\r\n"
                  "Empty=\r\n"
                  "Eq=a=b\n"
                  "[SYS]\r\n"
                  "Later=1\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        const char* expect;
    } cases[] = {
        {"SYS", "KEY", "d", "spaced value"}, // first occurrence, case ignored, spaces trimmed
        {"sys", "key", "d", "spaced value"},
        {"Other", "key", "d", "other"},
        {"SYS", "Hidden", "d", "d"},  // comment
        {"SYS", "novalue", "d", "d"}, // no '='
        {"SYS", "Quoted", "d", "a b"},
        {"SYS", "Half", "d", "\"a"},
        {"SYS", "Empty", "d", ""},
        {"SYS", "Eq", "d", "a=b"},
        {"SYS", "Later", "d", "d"}, // only the first section counts
        {"SYS", "top", "d", "d"},   // before any section
        {"Missing", "Key", "d", "d"},
        {"SYS", "Missing", nullptr, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadString(c.section, c.key, c.def, ini), c.expect) << c.section << "/" << c.key;
}

TEST(SettingsRead, ValueIsCutToTheBuffer) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "[SYS]\nName=abcdefgh\n");
    EXPECT_EQ(ReadString("SYS", "Name", "", ini, 4), "abc");
    EXPECT_EQ(ReadString("SYS", "Missing", "defaults", ini, 4), "def");
    char one[1] = {'x'};
    EXPECT_EQ(ReadIniString("SYS", "Name", "", one, 1, ini.c_str()), 0);
    EXPECT_EQ(one[0], '\0');
}

TEST(SettingsRead, MissingOrUnreadableFilesReadAsAbsentKeys) {
    TempDir dir;
    EXPECT_EQ(ReadString("SYS", "K", "dflt", dir.file("none.ini")), "dflt");
    EXPECT_EQ(ReadString("SYS", "K", "dflt", dir.path().string()), "dflt"); // a folder
    EXPECT_EQ(Listing(dir), std::vector<std::string>{});
}

// ---- writing ----------------------------------------------------------------------

TEST(SettingsWrite, EditsKeepEveryOtherLine) {
    const std::string base = "; settings\r\n"
                             "[First]\r\n"
                             "A=1\r\n"
                             "\r\n"
                             "[SYS]\r\n"
                             "  LogShowDate = NO  \r\n"
                             "LogShowTime=YES\r\n"
                             "\r\n"
                             "; trailing comment\r\n"
                             "[Last]\n"
                             "Z=26";
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        std::string expect;
    } cases[] = {
        {"replace", "sys", "logshowdate", "YES",
         "; settings\r\n[First]\r\nA=1\r\n\r\n[SYS]\r\n  LogShowDate =YES\r\nLogShowTime=YES\r\n"
         "\r\n; trailing comment\r\n[Last]\nZ=26"},
        {"add to section after its last line", "SYS", "New", "v",
         "; settings\r\n[First]\r\nA=1\r\n\r\n[SYS]\r\n  LogShowDate = NO  \r\nLogShowTime=YES\r\n"
         "\r\n; trailing comment\r\nNew=v\r\n[Last]\nZ=26"},
        {"add to last section without line end", "Last", "Y", "25",
         "; settings\r\n[First]\r\nA=1\r\n\r\n[SYS]\r\n  LogShowDate = NO  \r\nLogShowTime=YES\r\n"
         "\r\n; trailing comment\r\n[Last]\nZ=26\r\nY=25\r\n"},
        {"new section", "Extra", "K", "", base + "\r\n\r\n[Extra]\r\nK=\r\n"},
        {"remove", "SYS", "LogShowTime", nullptr,
         "; settings\r\n[First]\r\nA=1\r\n\r\n[SYS]\r\n  LogShowDate = NO  \r\n"
         "\r\n; trailing comment\r\n[Last]\nZ=26"},
        {"replace on last line keeps its missing end", "Last", "z", "0",
         "; settings\r\n[First]\r\nA=1\r\n\r\n[SYS]\r\n  LogShowDate = NO  \r\nLogShowTime=YES\r\n"
         "\r\n; trailing comment\r\n[Last]\nZ=0"},
    };
    TempDir dir;
    std::string ini = dir.file("t.ini");
    for (const Case& c : cases) {
        WriteAll(ini, base);
        EXPECT_EQ(WriteIniString(c.section, c.key, c.value, ini.c_str()), 1) << c.name;
        EXPECT_EQ(ReadAll(ini), c.expect) << c.name;
        if (c.value) {
            EXPECT_EQ(ReadString(c.section, c.key, "absent", ini), c.value) << c.name;
        }
        EXPECT_EQ(Listing(dir), std::vector<std::string>{"t.ini"}) << c.name;
    }
}

TEST(SettingsWrite, CreatesTheFile) {
    TempDir dir;
    std::string ini = dir.file("new.ini");
    EXPECT_EQ(WriteIniString("SYS", "A", "1", ini.c_str()), 1);
    EXPECT_EQ(WriteIniString("SYS", "B", "2", ini.c_str()), 1);
    EXPECT_EQ(WriteIniString("Two", "C", "3", ini.c_str()), 1);
    EXPECT_EQ(WriteIniString("sys", "a", "one", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nA=one\r\nB=2\r\n\r\n[Two]\r\nC=3\r\n");
}

TEST(SettingsWrite, RefusedWritesLeaveTheFileAsItWas) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    const std::string before = "[SYS]\r\nA=1\r\n";
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"SYS", "A", "1\r\n[Evil]"},
        {"SYS", "A", "x\n"},
        {"SYS", "B\r", "x"},
        {"S\nYS", "A", "x"},
        {"SYS", "A=B", "x"},
        {"S]", "A", "x"},
        {"SYS", ";A", "x"},
        {"SYS", "[A", "x"},
        {"SYS", "", "x"},
        {"", "A", "x"},
        {nullptr, "A", "x"},
        {"SYS", nullptr, "x"},
    };
    for (const Case& c : cases) {
        WriteAll(ini, before);
        EXPECT_EQ(WriteIniString(c.section, c.key, c.value, ini.c_str()), 0)
            << (c.key ? c.key : "null");
        EXPECT_EQ(ReadAll(ini), before);
    }
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"t.ini"});
}

TEST(SettingsWrite, NamesAreTrimmedAsTheReaderTrimsThem) {
    // Written with blanks around its names, a key is found again under the
    // trimmed names; asked again and again, the file stays as it is.
    TempDir dir;
    std::string ini = dir.file("t.ini");
    EXPECT_EQ(WriteIniString(" s", " k", "v", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[s]\r\nk=v\r\n");
    struct Case {
        const char* section;
        const char* key;
    } names[] = {{"s", "k"}, {" s", " k"}, {"s\t", "k "}, {"\t S ", " K\t"}};
    for (const Case& c : names)
        EXPECT_EQ(ReadString(c.section, c.key, "absent", ini), "v") << c.section << c.key;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadIniBool(" s", "  flag ", 1, ini.c_str()), 1);
    EXPECT_EQ(WriteIniString("s  ", "k", "w", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[s]\r\nk=w\r\nflag=YES\r\n");
    // A name of blanks only is no name.
    EXPECT_EQ(WriteIniString("  ", "k", "v", ini.c_str()), 0);
    EXPECT_EQ(WriteIniString("s", " \t ", "v", ini.c_str()), 0);
    EXPECT_EQ(WriteIniString("s", " ;k", "v", ini.c_str()), 0);
    EXPECT_EQ(ReadAll(ini), "[s]\r\nk=w\r\nflag=YES\r\n");
}

TEST(SettingsWrite, EveryValueReadsBackAsWritten) {
    struct Case {
        const char* value;
        const char* line; // as it stands in the file
    } cases[] = {
        {"plain", "plain"},
        {"a b", "a b"},
        {"", ""},
        {" lead", "\" lead\""},
        {"trail\t", "\"trail\t\""},
        {"\"q\"", "\"\"q\"\""},
        {"'q'", "\"'q'\""},
        {"\"", "\""},
        {"'a\"", "'a\""},
        {"  ", "\"  \""},
    };
    TempDir dir;
    std::string ini = dir.file("t.ini");
    for (const Case& c : cases) {
        WriteAll(ini, "[S]\r\nK=old\r\n");
        EXPECT_EQ(WriteIniString("S", "K", c.value, ini.c_str()), 1) << c.value;
        EXPECT_EQ(ReadAll(ini), std::string("[S]\r\nK=") + c.line + "\r\n") << c.value;
        EXPECT_EQ(ReadString("S", "K", "absent", ini), c.value);
        // Written again, the file already holds it.
        std::string before = ReadAll(ini);
        EXPECT_EQ(WriteIniString("S", "K", c.value, ini.c_str()), 1) << c.value;
        EXPECT_EQ(ReadAll(ini), before);
    }
}

TEST(SettingsWrite, RemovingARepeatedKeyRemovesEveryLineOfIt) {
    // Found by the settings fuzzer: removing the first of two lines of a key
    // brought the second to light, so the key read on as if never removed.
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "[SYS]\r\nK=1\r\nA=a\r\n k = 2\r\n[Next]\r\nK=3\r\n");
    EXPECT_EQ(WriteIniString("SYS", "k", nullptr, ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nA=a\r\n[Next]\r\nK=3\r\n");
    EXPECT_EQ(ReadString("SYS", "K", "absent", ini), "absent");
    EXPECT_EQ(ReadString("Next", "K", "absent", ini), "3");
    // A write replaces the line that is read and leaves a repeat as it is.
    WriteAll(ini, "[SYS]\r\nK=1\r\nK=2\r\n");
    EXPECT_EQ(WriteIniString("SYS", "K", "9", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nK=9\r\nK=2\r\n");
    EXPECT_EQ(ReadString("SYS", "K", "absent", ini), "9");
}

TEST(SettingsWrite, ALastLineEndingInCrIsCompletedNotChanged) {
    // Found by the settings fuzzer: a last line "Half=a" CR without its LF
    // got another CR LF, and its value became "a" CR.
    TempDir dir;
    std::string ini = dir.file("t.ini");
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"[SYS]\r\nHalf=a\r", "[SYS]\r\nHalf=a\r\nK=v\r\n"},
        {"[SYS]\r\nHalf=a", "[SYS]\r\nHalf=a\r\nK=v\r\n"},
        {"[SYS]\nHalf=a\n", "[SYS]\nHalf=a\nK=v\r\n"},
    };
    for (const Case& c : cases) {
        WriteAll(ini, c.before);
        EXPECT_EQ(WriteIniString("SYS", "K", "v", ini.c_str()), 1);
        EXPECT_EQ(ReadAll(ini), c.after);
        EXPECT_EQ(ReadString("SYS", "Half", "absent", ini), "a");
    }
}

TEST(SettingsWrite, UnwritablePlacesChangeNothing) {
    TempDir dir;
    EXPECT_EQ(WriteIniString("SYS", "A", "1", dir.file("no/such/folder.ini").c_str()), 0);
    EXPECT_EQ(WriteIniString("SYS", "A", "1", dir.path().string().c_str()), 0); // a folder
    EXPECT_EQ(Listing(dir), std::vector<std::string>{});
}

TEST(SettingsWrite, OversizedFileIsNeitherReadNorWritten) {
    TempDir dir;
    std::string ini = dir.file("big.ini");
    std::string big = "[SYS]\r\nA=1\r\n" + std::string(size_t(kMaxIniFile), ';');
    WriteAll(ini, big);
    EXPECT_EQ(ReadString("SYS", "A", "absent", ini), "absent");
    EXPECT_EQ(WriteIniString("SYS", "B", "2", ini.c_str()), 0);
    EXPECT_EQ(ReadIniBool("SYS", "C", 1, ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), big);
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"big.ini"});
}

TEST(SettingsWrite, NewContentsReplaceTheFileInOneStep) {
    // A stale temporary file from an interrupted write is simply overwritten.
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "[SYS]\r\nA=1\r\n");
    WriteAll(ini + ".new", "half-writ");
    EXPECT_EQ(WriteIniString("SYS", "A", "2", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nA=2\r\n");
    EXPECT_EQ(Listing(dir), std::vector<std::string>{"t.ini"});
}

TEST(SettingsWrite, ReplacementKeepsTheFilesPermissions) {
    TempDir dir;
    std::string ini = dir.file("t.ini");
    WriteAll(ini, "[SYS]\r\nA=1\r\n");
    namespace fs = std::filesystem;
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::perms before = fs::status(ini).permissions();
    EXPECT_EQ(WriteIniString("SYS", "A", "2", ini.c_str()), 1);
    EXPECT_EQ(ReadAll(ini), "[SYS]\r\nA=2\r\n");
    EXPECT_EQ(fs::status(ini).permissions(), before);
}

} // namespace

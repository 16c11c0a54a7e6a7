// Platform services on real files; the same tests run natively and, cross
// built, under Wine against the Win32 implementations.
#include "platform/fileinfo.h"
#include "platform/process.h"
#include "platform/rawio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// A fresh folder for one test, removed afterwards.
class TempDir {
public:
    explicit TempDir(const std::string& name) {
        const char* base = std::getenv("OSTRELLE_TEST_TMP");
        path_ = (base && *base ? fs::path(base) : fs::temp_directory_path()) / ("platform_" + name);
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name, const std::string& content) const {
        std::string p = (path_ / name).string();
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    std::string Path() const { return path_.string(); }

private:
    fs::path path_;
};

TEST(Process, ExePathNamesThisProgram) {
    std::string p = ExePath();
    ASSERT_FALSE(p.empty());
    EXPECT_TRUE(FileExists(p.c_str()));
    EXPECT_NE(p.find("test_platform"), std::string::npos) << p;
}

TEST(FileInfo, FilesAndFolders) {
    TempDir dir("fileinfo");
    const std::string empty = dir.File("empty.txt", "");
    const std::string ten = dir.File("ten.bin", std::string("0123456789"));
    struct Case {
        std::string path;
        bool exists;
        bool isDir;
        int64_t size;
    } cases[] = {
        {empty, true, false, 0},      {ten, true, false, 10},
        {dir.Path(), true, true, -1}, {dir.Path() + "/missing.txt", false, false, -1},
        {"", false, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FileInfo info;
        EXPECT_EQ(GetFileInfo(c.path.c_str(), info), c.exists);
        EXPECT_EQ(FileExists(c.path.c_str()), c.exists);
        if (!c.exists) continue;
        EXPECT_EQ(info.isDir, c.isDir);
        EXPECT_FALSE(info.isLink);
        if (c.size >= 0) {
            EXPECT_EQ(info.size, c.size);
        }
    }
}

TEST(FileInfo, WriteTimeIsNow) {
    TempDir dir("times");
    const std::string p = dir.File("now.txt", "x");
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(p.c_str(), info));
    const int64_t now = int64_t(std::time(nullptr));
    EXPECT_LE(std::llabs(info.modified - now), 120);
    EXPECT_GE(info.modifiedMs, 0);
    EXPECT_LT(info.modifiedMs, 1000);
    if (info.hasCreation) {
        EXPECT_LE(std::llabs(info.created - now), 120);
    }
}

TEST(FileInfo, LocalStampFields) {
    // One day later is the next calendar day at the same local time of day
    // (no clock change falls on these dates).
    const int64_t times[] = {946728000 /* 2000-01-01 12:00 UTC */, 1136548800 /* 2006-01-06 */,
                             1704110400 /* 2024-01-01 */};
    for (int64_t t : times) {
        SCOPED_TRACE(t);
        FileStamp a = LocalStamp(t, 250);
        FileStamp b = LocalStamp(t + 86400, 0);
        EXPECT_EQ(a.millisecond, 250);
        EXPECT_GE(a.year, 1999);
        EXPECT_GE(a.month, 1);
        EXPECT_LE(a.month, 12);
        EXPECT_GE(a.day, 1);
        EXPECT_EQ(a.hour, b.hour);
        EXPECT_EQ(a.minute, b.minute);
        EXPECT_EQ(a.second, b.second);
        EXPECT_TRUE(b.day == a.day + 1 || b.day == 1);
    }
}

TEST(RawIo, ReadsEveryByteUnchanged) {
    TempDir dir("rawio");
    const std::string content("a\r\nb\n\x1A"
                              "c",
                              7);
    const std::string p = dir.File("bytes.bin", content);
    FILE* f = std::fopen(p.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    const int fd = RawFileNo(f);
    std::string got;
    char c;
    for (int i = 0; i < 100 && RawReadByte(fd, &c); ++i) got.push_back(c);
    std::fclose(f);
    EXPECT_EQ(got, content);
}

} // namespace

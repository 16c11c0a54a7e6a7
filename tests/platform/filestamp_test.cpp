#include "platform/fileinfo.h"

#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#include <sys/time.h>

#include "dir_fixture.h"

namespace {

using FileStampTest = TempDirTest;

// Sets a file's last-write time (seconds and microseconds since 1970).
void SetWriteTime(const std::string& path, time_t sec, long usec) {
    timeval tv[2] = {{sec, usec}, {sec, usec}};
    ASSERT_EQ(utimes(path.c_str(), tv), 0);
}

TEST_F(FileStampTest, WrittenIsLocalCalendarWithMilliseconds) {
    std::string f = Write("f.txt", "x");
    const time_t when = 1700000000; // 2023-11-14 22:13:20 UTC
    SetWriteTime(f, when, 345678);
    FileStamp s;
    ASSERT_TRUE(filestamp(f.c_str(), StampKind::Written, s));
    tm local{};
    time_t t = when;
    localtime_r(&t, &local);
    EXPECT_EQ(s.year, local.tm_year + 1900);
    EXPECT_EQ(s.month, local.tm_mon + 1);
    EXPECT_EQ(s.day, local.tm_mday);
    EXPECT_EQ(s.hour, local.tm_hour);
    EXPECT_EQ(s.minute, local.tm_min);
    EXPECT_EQ(s.second, local.tm_sec);
    EXPECT_EQ(s.millisecond, 345);
}

TEST_F(FileStampTest, CreatedIsCreationOrLastWrite) {
    std::string f = Write("f.txt", "x");
    FileInfo info;
    ASSERT_TRUE(fileinfo(f.c_str(), info));
    const time_t past = 1000000000; // 2001, surely before the file was made
    SetWriteTime(f, past, 0);
    FileStamp created, written;
    ASSERT_TRUE(filestamp(f.c_str(), StampKind::Created, created));
    ASSERT_TRUE(filestamp(f.c_str(), StampKind::Written, written));
    EXPECT_EQ(written.year, 2001);
    if (info.hasCreation)
        EXPECT_GE(created.year, 2024); // the real birth time, not the forged write time
    else
        EXPECT_EQ(created.year, 2001); // no birth time kept: the last write stands in
}

TEST_F(FileStampTest, MissingOrUnopenableFails) {
    FileStamp s;
    EXPECT_FALSE(filestamp((dir_ + "/missing").c_str(), StampKind::Written, s));
    EXPECT_FALSE(filestamp("", StampKind::Written, s));
    EXPECT_FALSE(filestamp(nullptr, StampKind::Written, s));
}

TEST_F(FileStampTest, FifoDoesNotBlock) {
    std::string p = dir_ + "/pipe";
    ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
    FileStamp s;
    EXPECT_TRUE(filestamp(p.c_str(), StampKind::Written, s));
}

TEST_F(FileStampTest, IdentityFollowsLinks) {
    std::string d = Mkdir("d");
    std::filesystem::create_directory_symlink(d, dir_ + "/link");
    FileId a, b, c;
    ASSERT_TRUE(fileidentity(d.c_str(), a));
    ASSERT_TRUE(fileidentity((dir_ + "/link").c_str(), b));
    ASSERT_TRUE(fileidentity(dir_.c_str(), c));
    EXPECT_EQ(a, b);
    EXPECT_FALSE(a == c);
    EXPECT_FALSE(fileidentity((dir_ + "/none").c_str(), a));
}

} // namespace

// File and folder behaviour that only POSIX systems can show: FIFOs,
// symbolic links and loops, and folders an ordinary user may not read.
#include "platform/fileinfo.h"
#include "txt/ctxtarray.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/platform/dir_fixture.h"
#include "tests/txt/array_lines.h"

namespace {

using PosixFileTest = TempDirTest;

TEST_F(PosixFileTest, StampOfFifoDoesNotBlock) {
    std::string p = dir_ + "/pipe";
    ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
    FileStamp s;
    EXPECT_TRUE(GetFileStamp(p.c_str(), StampKind::Written, s));
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDirSortTimeStyle(2, dir_.c_str(), 0, 1, "", 0, 0), 1);
}

TEST_F(PosixFileTest, IdentityFollowsLinks) {
    std::string d = Mkdir("d");
    std::filesystem::create_directory_symlink(d, dir_ + "/link");
    FileId a, b;
    ASSERT_TRUE(GetFileIdentity(d.c_str(), a));
    ASSERT_TRUE(GetFileIdentity((dir_ + "/link").c_str(), b));
    EXPECT_EQ(a, b);
}

TEST_F(PosixFileTest, CreatedIsBirthTimeWhereKept) {
    std::string f = Write("f.txt", "x");
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(f.c_str(), info));
    ASSERT_TRUE(SetFileWriteTime(f.c_str(), 1000000000, 0));
    FileStamp created;
    ASSERT_TRUE(GetFileStamp(f.c_str(), StampKind::Created, created));
    if (info.hasCreation)
        EXPECT_GE(created.year, 2024); // the birth time, not the forged write time
    else
        EXPECT_EQ(created.year, 2001); // no birth time kept: the last write stands in
}

TEST_F(CTxtArrayDirTest, LinkLoopsEndAndDanglingLinksAreSkipped) {
    std::filesystem::create_directory_symlink(d_, d_ + "/s/up");
    std::filesystem::create_directory_symlink(d_ + "/s", d_ + "/side");
    std::filesystem::create_symlink(d_ + "/gone", d_ + "/dangling");
    CTxtArray a;
    EXPECT_EQ(a.LoadFromDirNoSort(d_.c_str(), 1, 0, "", 0, 0), 7);
    // side is walked once (it is not an open directory then), up is an entry
    // that is not entered again.
    EXPECT_EQ(Sorted(Items(a)), (Lines{d_ + "/f.txt", d_ + "/s", d_ + "/s/g.txt", d_ + "/s/up",
                                       d_ + "/side", d_ + "/side/g.txt", d_ + "/side/up"}));
    a.RemoveAll();
    EXPECT_EQ(a.LoadFromFilesFromTree(d_.c_str(), "txt", 0, 0), 3);
    EXPECT_EQ(Sorted(Items(a)), (Lines{d_ + "/f.txt", d_ + "/s/g.txt", d_ + "/side/g.txt"}));
}

// Runs fn with the rights of an ordinary user: in a child process that gives
// up root when the test runs as root.  Returns fn's result, or -1 when the
// rights cannot be given up.
int AsOrdinaryUser(int (*fn)(const std::string&), const std::string& arg) {
    if (geteuid() != 0) return fn(arg);
    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(255);
        if (access(arg.c_str(), R_OK | X_OK) != 0) _exit(255); // a private parent folder
        _exit(fn(arg) & 0x7F);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

TEST_F(CTxtArrayDirTest, UnreadableDirectoryIsSkipped) {
    std::string locked = Mkdir("d/locked");
    Write("d/locked/x.txt", "x");
    Write("d/hidden.txt", "x");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    ASSERT_EQ(chmod((d_ + "/hidden.txt").c_str(), 0), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0); // the temp folder itself is private
    // d/f.txt, d/hidden.txt, d/s, d/s/g.txt, d/locked (listed, not readable).
    EXPECT_EQ(AsOrdinaryUser(
                  [](const std::string& d) {
                      CTxtArray a;
                      return a.LoadFromDirNoSort(d.c_str(), 1, 0, "", 0, 0);
                  },
                  d_),
              5);
    EXPECT_EQ(AsOrdinaryUser(
                  [](const std::string& d) {
                      CTxtArray a;
                      return a.LoadFromFilesFromTree(d.c_str(), "txt", 0, 0);
                  },
                  d_),
              3);
    // The time styles open each file: an unreadable one is left out.
    EXPECT_EQ(AsOrdinaryUser(
                  [](const std::string& d) {
                      CTxtArray a;
                      return a.LoadFromDirSortTimeStyle(2, d.c_str(), 1, 1, "", 0, 0);
                  },
                  d_),
              1);
}

} // namespace

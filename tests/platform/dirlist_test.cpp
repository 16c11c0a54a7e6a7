#include "platform/dirlist.h"
#include "platform/errtext.h"
#include "txt/namematch.h"

#include <cerrno>
#include <set>
#include <string>

#include "dir_fixture.h"

namespace {

using DirListTest = TempDirTest;

std::set<std::string> ListAll(const std::string& pattern, uint32_t* handle = nullptr) {
    std::set<std::string> names;
    CDirListing l;
    bool ok = l.Start(pattern.c_str(), NameMatch);
    if (handle) *handle = l.Handle();
    for (int guard = 0; ok && guard < 10000; ++guard) {
        names.insert(l.Name());
        ok = l.Next();
    }
    return names;
}

TEST_F(DirListTest, ListsEverythingWithStar) {
    Write("a.txt", "1");
    Write("B.TXT", "2");
    Write("c.log", "3");
    Mkdir("sub");
    EXPECT_EQ(ListAll(dir_ + "/*"),
              (std::set<std::string>{".", "..", "a.txt", "B.TXT", "c.log", "sub"}));
}

TEST_F(DirListTest, PatternIgnoresCase) {
    Write("a.txt", "1");
    Write("B.TXT", "2");
    Write("c.log", "3");
    EXPECT_EQ(ListAll(dir_ + "/*.txt"), (std::set<std::string>{"a.txt", "B.TXT"}));
    EXPECT_EQ(ListAll(dir_ + "\\?.LOG"), (std::set<std::string>{"c.log"}));
}

TEST_F(DirListTest, NoMatchOrMissingDirFailsToStart) {
    Write("a.txt", "1");
    uint32_t handle = 0;
    EXPECT_TRUE(ListAll(dir_ + "/*.zip", &handle).empty());
    EXPECT_EQ(handle, 0xFFFFFFFFu);
    EXPECT_TRUE(ListAll(dir_ + "/missing/*", &handle).empty());
    EXPECT_EQ(handle, 0xFFFFFFFFu);
    EXPECT_TRUE(ListAll("").empty());
}

TEST_F(DirListTest, OpenListingHasHandleAndCloses) {
    Write("a.txt", "1");
    CDirListing l;
    ASSERT_TRUE(l.Start((dir_ + "/a.*").c_str(), NameMatch));
    EXPECT_STREQ(l.Name(), "a.txt");
    EXPECT_NE(l.Handle(), 0xFFFFFFFFu);
    EXPECT_FALSE(l.Next());
    EXPECT_STREQ(l.Name(), "");
    l.Close();
    EXPECT_EQ(l.Handle(), 0xFFFFFFFFu);
    EXPECT_FALSE(l.Next());
}

TEST(ErrText, KnownAndUnknownNumbers) {
    EXPECT_STREQ(ErrText(ENOENT), "No such file or directory");
    EXPECT_STRNE(ErrText(99999), "");
}

TEST_F(DirListTest, KindOfEachEntryIsWhatItIsOrUnknown) {
    Write("a.txt", "1");
    Mkdir("sub");
    CDirListing l;
    int seen = 0;
    for (bool ok = l.Start((dir_ + "/*").c_str(), NameMatch); ok; ok = l.Next()) {
        const std::string name = l.Name();
        const DirEntryKind expected =
            name == "a.txt" ? DirEntryKind::NotDirectory : DirEntryKind::Directory;
        // Unknown is always allowed: not every file system tells.
        if (l.Kind() != DirEntryKind::Unknown) {
            EXPECT_EQ(l.Kind(), expected) << name;
        }
        ++seen;
    }
    EXPECT_GE(seen, 2);
    EXPECT_EQ(l.Kind(), DirEntryKind::Unknown); // after the end
}

} // namespace

#include "txt/pathsplit.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* path;
    const char* drive;
    const char* dir;
    const char* base;
    const char* ext;
};

const SplitCase kSplitCases[] = {
    {"C:\\data\\in.bin.old", "C:", "\\data\\", "in.bin", ".old"},
    {"C:/a/b.tar.gz", "C:", "/a/", "b.tar", ".gz"},
    {"C:/a/b", "C:", "/a/", "b", ""},
    {"a/b\\c/d.txt", "", "a/b\\c/", "d", ".txt"},
    {"\\\\server\\share\\f.txt", "", "\\\\server\\share\\", "f", ".txt"},
    {"name.", "", "", "name", "."},
    {".profile", "", "", "", ".profile"},
    {"dir.v2/file", "", "dir.v2/", "file", ""},
    {"c:rel.txt", "c:", "", "rel", ".txt"},
    {"1:x.y", "", "", "1:x", ".y"},
    {"/", "", "/", "", ""},
    {"", "", "", "", ""},
};

TEST(SplitPath, Parts) {
    for (const SplitCase& c : kSplitCases) {
        PathParts p;
        SplitPath(c.path, p);
        EXPECT_STREQ(p.drive, c.drive) << c.path;
        EXPECT_STREQ(p.dir, c.dir) << c.path;
        EXPECT_STREQ(p.base, c.base) << c.path;
        EXPECT_STREQ(p.ext, c.ext) << c.path;
    }
}

TEST(SplitPath, NullIsEmpty) {
    PathParts p;
    SplitPath(nullptr, p);
    EXPECT_STREQ(p.drive, "");
    EXPECT_STREQ(p.dir, "");
    EXPECT_STREQ(p.base, "");
    EXPECT_STREQ(p.ext, "");
}

TEST(SplitPath, LongPartsAreCutTo255) {
    std::string dir = "/" + std::string(400, 'd') + "/";
    std::string base(300, 'b');
    std::string ext = "." + std::string(300, 'e');
    std::string path = "X:" + dir + base + ext;
    PathParts p;
    SplitPath(path.c_str(), p);
    EXPECT_STREQ(p.drive, "X:");
    EXPECT_EQ(std::string(p.dir), dir.substr(0, 255));
    EXPECT_EQ(std::string(p.base), base.substr(0, 255));
    EXPECT_EQ(std::string(p.ext), ext.substr(0, 255));
}

} // namespace

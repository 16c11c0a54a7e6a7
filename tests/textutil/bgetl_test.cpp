#include "textutil/bgetl.h"

#include "platform/environ.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A line result: the return value and the text stored.
struct Line {
    int rc;
    std::string text;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
    return os << "{" << l.rc << ", \"" << l.text << "\"}";
}

// Reads every line with the given output size, and one call past the end.
std::vector<Line> drain(int size = 200) {
    std::vector<Line> lines;
    std::vector<char> buf(size_t(size) + 1, '#');
    for (int guard = 0; guard < 100000; ++guard) {
        int rc = bgetl(buf.data(), size);
        lines.push_back({rc, buf.data()});
        if (rc < 0) break;
    }
    return lines;
}

class BgetlTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("bgetl_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        SetEnvVar("BGETLRAM", nullptr);
    }
    void TearDown() override {
        bgetlclose();
        bgetlrelease();
        SetEnvVar("BGETLRAM", nullptr);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::string Write(const std::string& name, const std::string& bytes) {
        fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path dir_;
};

struct Case {
    const char* name;
    std::string bytes;
    int size;
    std::vector<Line> expect;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        {"crlf", "a\r\nb", 200, {{1, "a"}, {1, "b"}, {-1, ""}}},
        {"lone_cr_never_ends", "a\rb\n", 200, {{2, "ab"}, {-1, ""}}},
        {"empty_line", "x\n\n", 200, {{1, "x"}, {0, ""}, {-1, ""}}},
        {"nul_ends_line", std::string("ab\0cd\n", 6), 200, {{2, "ab"}, {2, "cd"}, {-1, ""}}},
        {"overlong_cut", "0123456789\nnext\n", 4, {{3, "012"}, {3, "nex"}, {-1, ""}}},
        {"size_one", "abc\n\n", 1, {{0, ""}, {0, ""}, {-1, ""}}},
        // A one-byte output holds only the terminator: a line with characters
        // comes back cut to the empty text, never as the end.
        {"size_one_last_line", "abc", 1, {{0, ""}, {-1, ""}}},
        {"size_one_ctrlz",
         "ab\x1A"
         "cd\x1A",
         1,
         {{0, ""}, {0, ""}, {-1, ""}}},
        {"size_one_cr_only_is_no_line", "x\n\r\r", 1, {{0, ""}, {-1, ""}}},
        {"cr_then_ctrlz_is_the_end", "\r\x1A", 200, {{-1, ""}}},
        {"ctrlz_inside",
         "ab\x1A"
         "cd",
         200,
         {{2, "ab"}, {2, "cd"}, {-1, ""}}},
        {"ctrlz_first",
         "\x1A"
         "cd",
         200,
         {{-1, ""}}},
        {"unterminated_last", "one\ntwo", 200, {{3, "one"}, {3, "two"}, {-1, ""}}},
        {"only_cr_at_end", "a\n\r", 200, {{1, "a"}, {-1, ""}}},
        {"crlf_run", "\r\r\r\n", 200, {{0, ""}, {-1, ""}}},
        {"long_plain_run",
         std::string(100, 'q') + "\r\n" + std::string(37, 'w'),
         200,
         {{100, std::string(100, 'q')}, {37, std::string(37, 'w')}, {-1, ""}}},
    };
    return all;
}

TEST_F(BgetlTest, FileCases) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(bgetlopen(Write(c.name, c.bytes).c_str()), 1);
        EXPECT_EQ(drain(c.size), c.expect);
        bgetlclose();
    }
}

TEST_F(BgetlTest, MemoryCases) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        // A block exactly as long as the data, so a read past it shows up
        // under the address sanitizer.
        std::vector<char> block(c.bytes.begin(), c.bytes.end());
        ASSERT_EQ(bgetlmem(block.data(), int(block.size())), 0);
        EXPECT_EQ(drain(c.size), c.expect);
        bgetlrelease();
    }
}

// The reader's rules applied one byte at a time, as a reference.
std::vector<Line> reference(const std::string& bytes, int size) {
    std::vector<Line> lines;
    size_t pos = 0;
    for (;;) {
        if (pos >= bytes.size()) {
            lines.push_back({-1, ""});
            return lines;
        }
        std::string stored;
        bool held = false; // a character other than CR was read
        bool byByte = false;
        while (pos < bytes.size()) {
            char c = bytes[pos++];
            if (c == '\n' || c == '\0') {
                byByte = true;
                break;
            }
            if (c == '\r') continue;
            if (c == 0x1A) break;
            held = true;
            if (int(stored.size()) < size - 1) stored += c;
        }
        if (!held && !byByte) {
            lines.push_back({-1, ""});
            return lines;
        }
        lines.push_back({int(stored.size()), stored});
    }
}

TEST_F(BgetlTest, EveryByteValueOutsideTheLineEndsIsKept) {
    std::string line;
    for (int c = 1; c < 256; ++c)
        if (c != '\n' && c != '\r' && c != 0x1A) line += char(c);
    ASSERT_EQ(bgetlopen(Write("bytes", line + "\n" + line).c_str()), 1);
    EXPECT_EQ(drain(300),
              (std::vector<Line>{{int(line.size()), line}, {int(line.size()), line}, {-1, ""}}));
}

TEST_F(BgetlTest, AgreesWithByteByByteRulesOnRandomData) {
    std::mt19937 rng(11);
    const char bytes[] = {'a', 'b', '\t', '\n', '\r', '\0', 0x1A, char(0x9B), ' ', 'z'};
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        // Chunk buffers from the smallest up, so that line ends, CR LF pairs
        // and the reader's block scans meet the chunk ends everywhere.
        const std::string ram = std::to_string(BGETL_MINRAM + long(rng() % 3000));
        SetEnvVar("BGETLRAM", ram.c_str());
        std::string data(rng() % 9000, ' ');
        // Mostly letters, so runs of several blocks occur between line ends;
        // CR LF pairs as often as lone line ends.
        for (size_t i = 0; i < data.size(); ++i) {
            if (rng() % 8) {
                data[i] = char('a' + rng() % 26);
            } else if (rng() % 3 == 0 && i + 1 < data.size()) {
                data[i] = '\r', data[++i] = '\n';
            } else {
                data[i] = bytes[rng() % sizeof bytes];
            }
        }
        // Tiny outputs (down to the terminator alone) as well as roomy ones.
        const int size = rng() % 4 == 0 ? 1 + int(rng() % 3) : 1 + int(rng() % 300);
        ASSERT_EQ(bgetlopen(Write("r", data).c_str()), 1);
        EXPECT_EQ(drain(size), reference(data, size)) << "BGETLRAM " << ram << ", size " << size;
        bgetlclose();
        std::vector<char> block(data.begin(), data.end());
        if (block.empty()) continue;
        ASSERT_EQ(bgetlmem(block.data(), int(block.size())), 0);
        EXPECT_EQ(drain(size), reference(data, size)) << "size " << size;
        bgetlrelease();
    }
}

TEST_F(BgetlTest, EmptyFileEndsAtOnce) {
    ASSERT_EQ(bgetlopen(Write("empty", "").c_str()), 1);
    EXPECT_EQ(drain(), (std::vector<Line>{{-1, ""}}));
}

TEST_F(BgetlTest, MissingFileKeepsBuffer) {
    EXPECT_EQ(bgetlopen((dir_ / "missing").string().c_str()), 0);
    EXPECT_EQ(bgetlbufsize(), BGETL_DEFRAM);
    char buf[8];
    EXPECT_EQ(bgetl(buf, sizeof buf), -1);
    bgetlclose();
    EXPECT_EQ(bgetlbufsize(), 0);
}

TEST_F(BgetlTest, BufferSizeFromEnvironment) {
    struct {
        const char* value;
        long size;
    } table[] = {
        {nullptr, 300000},
        {"500", 1010},
        {"abc", 1010},
        {"-7", 1010},
        {"1010", 1010},
        {"2000000", 2000000},
        {"99999999999999", BGETL_MAXRAM},
    };
    std::string path = Write("f", "x\n");
    for (const auto& row : table) {
        SCOPED_TRACE(row.value ? row.value : "(unset)");
        SetEnvVar("BGETLRAM", row.value);
        ASSERT_EQ(bgetlopen(path.c_str()), 1);
        EXPECT_EQ(bgetlbufsize(), row.size);
        bgetlclose();
    }
}

TEST_F(BgetlTest, LinesSpanningChunksComeWhole) {
    SetEnvVar("BGETLRAM", "1010");
    // Lines of many lengths, so line ends, CR LF pairs and the chunk
    // boundaries meet in every arrangement.
    std::string bytes;
    std::vector<Line> expect;
    for (int n = 0; n < 40; ++n) {
        std::string text(size_t(n * 97 % 1600), char('a' + n % 26));
        bytes += text + (n % 2 ? "\r\n" : "\n");
        expect.push_back({int(text.size()), text});
    }
    expect.push_back({-1, ""});
    ASSERT_EQ(bgetlopen(Write("span", bytes).c_str()), 1);
    EXPECT_EQ(drain(2000), expect);
}

TEST_F(BgetlTest, LineOf1500AcrossTwoChunks) {
    SetEnvVar("BGETLRAM", "1010");
    std::string line(1500, 'z');
    ASSERT_EQ(bgetlopen(Write("l", "ab\n" + line + "\nend").c_str()), 1);
    EXPECT_EQ(drain(2000), (std::vector<Line>{{2, "ab"}, {1500, line}, {3, "end"}, {-1, ""}}));
}

TEST_F(BgetlTest, OverlongLineAcrossChunksIsCutAndSkipped) {
    SetEnvVar("BGETLRAM", "1010");
    std::string line(5000, 'k');
    ASSERT_EQ(bgetlopen(Write("l", line + "\nnext\n").c_str()), 1);
    EXPECT_EQ(drain(100), (std::vector<Line>{{99, line.substr(0, 99)}, {4, "next"}, {-1, ""}}));
}

TEST_F(BgetlTest, CrLfSplitByChunkBoundary) {
    SetEnvVar("BGETLRAM", "1010");
    std::string first(1009, 'c'); // the CR is the last byte of the first chunk
    ASSERT_EQ(bgetlopen(Write("l", first + "\r\nx\n").c_str()), 1);
    EXPECT_EQ(drain(2000), (std::vector<Line>{{1009, first}, {1, "x"}, {-1, ""}}));
}

TEST_F(BgetlTest, MemoryArguments) {
    const char block[] = "a\nb";
    EXPECT_EQ(bgetlmem(nullptr, 3), -1);
    EXPECT_EQ(bgetlmem(block, 0), -2);
    EXPECT_EQ(bgetlmem(block, -4), -2);
    ASSERT_EQ(bgetlmem(block, 3), 0);
    EXPECT_EQ(drain(), (std::vector<Line>{{1, "a"}, {1, "b"}, {-1, ""}}));
    bgetlrelease();
    EXPECT_EQ(bgetlbufsize(), 0);
    char buf[4];
    EXPECT_EQ(bgetl(buf, 4), -1);
}

TEST_F(BgetlTest, BadOutputArguments) {
    const char block[] = "abc\n";
    ASSERT_EQ(bgetlmem(block, 4), 0);
    char buf[4];
    EXPECT_EQ(bgetl(nullptr, 4), -1);
    EXPECT_EQ(bgetl(buf, 0), -1);
    EXPECT_EQ(bgetl(buf, 4), 3); // nothing was consumed by the bad calls
}

TEST_F(BgetlTest, ModesSwitchWithoutLeakOrFreeingCallersBlock) {
    // Opening a file while a block is being read must not take the caller's
    // block as the chunk buffer; giving a block while a file is open closes
    // the file.  The sanitizer checks both.
    std::vector<char> block = {'m', '\n'};
    ASSERT_EQ(bgetlmem(block.data(), 2), 0);
    ASSERT_EQ(bgetlopen(Write("f", "f1\nf2\n").c_str()), 1);
    EXPECT_EQ(bgetlbufsize(), BGETL_DEFRAM);
    char buf[8];
    EXPECT_EQ(bgetl(buf, 8), 2);
    ASSERT_EQ(bgetlmem(block.data(), 2), 0);
    EXPECT_EQ(drain(), (std::vector<Line>{{1, "m"}, {-1, ""}}));
    bgetlrelease();
    ASSERT_EQ(bgetlopen(Write("g", "g\n").c_str()), 1);
    bgetlrelease(); // the wrong call for a file still releases everything
    EXPECT_EQ(bgetlbufsize(), 0);
}

TEST_F(BgetlTest, ReopenWithoutCloseStartsOver) {
    std::string a = Write("a", "a1\na2\n");
    std::string b = Write("b", "b1\n");
    ASSERT_EQ(bgetlopen(a.c_str()), 1);
    char buf[8];
    EXPECT_EQ(bgetl(buf, 8), 2);
    ASSERT_EQ(bgetlopen(b.c_str()), 1);
    EXPECT_EQ(drain(), (std::vector<Line>{{2, "b1"}, {-1, ""}}));
}

TEST_F(BgetlTest, FileSize) {
    EXPECT_EQ(filesize(""), -2);
    EXPECT_EQ(filesize(nullptr), -2);
    EXPECT_EQ(filesize((dir_ / "none").string().c_str()), -1);
    EXPECT_EQ(filesize(Write("s", "12345").c_str()), 5);
}

TEST_F(BgetlTest, FileTime) {
    EXPECT_EQ(filetime("C:/dir/nul"), 0);
    EXPECT_EQ(filetime("NUL"), 0);
    EXPECT_EQ(filetime("x\\Nul"), 0);
    EXPECT_EQ(filetime((dir_ / "none").string().c_str()), -1);
    std::string p = Write("t", "x");
    fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(48));
    int64_t t = filetime(p.c_str());
    int64_t now = int64_t(std::time(nullptr));
    EXPECT_GT(t, now - 49 * 3600);
    EXPECT_LT(t, now - 47 * 3600);
}

} // namespace

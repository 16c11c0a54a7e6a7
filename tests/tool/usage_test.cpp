// Runs the real tool binary and checks its usage text, messages and exit codes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int rc;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

ToolRun RunTool(const std::string& args) {
    std::string dir = testing::TempDir();
    // Tests run in parallel processes: each has files of its own.
    std::string stem = dir + "/usage_" + std::to_string(getpid());
    std::string out = stem + "_out.txt", err = stem + "_err.txt";
    std::string cmd =
        std::string(OSTRELLE_BINARY_DIR) + "/tolvane " + args + " </dev/null >" + out + " 2>" + err;
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

const char* kUsageRest = "usage: tolvane [-c {cmd}] [-w HWND] [in]\n"
                         "in     = Input filename(s) (if not specified stdin)\n"
                         "-w     = WINDOW : Initial Window Handle (as hexadecimal value)\n"
                         "-c     = COMMAND: Run command file (default Tolvane.txt)\n"
                         "(Logfile written to logs/YYYYMMDD/tolvane.log\n"
                         "Example: tolvane -w 03F$\n"
                         "\r\n";

// The usage text: build stamp first, then the fixed lines, then one free line.
void ExpectUsage(const std::string& text) {
    std::regex first(R"(tolvane \(Ostrelle\) \([A-Z][a-z]{2} [ 0-9]\d \d{4} \d\d:\d\d:\d\d\)\n)");
    size_t nl = text.find('\n');
    ASSERT_NE(nl, std::string::npos);
    EXPECT_TRUE(std::regex_match(text.substr(0, nl + 1), first)) << text.substr(0, nl);
    std::string rest = text.substr(nl + 1);
    ASSERT_GE(rest.size(), std::strlen(kUsageRest));
    EXPECT_EQ(rest.substr(0, std::strlen(kUsageRest)), kUsageRest);
    std::string free = rest.substr(std::strlen(kUsageRest));
    ASSERT_GE(free.size(), 3u);
    EXPECT_EQ(free.substr(free.size() - 2), "\r\n");
    EXPECT_EQ(free.find('\n'), free.size() - 1) << "one free line";
}

TEST(Usage, QuestionMarkAlone) {
    ToolRun r = RunTool("-?");
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "");
    ExpectUsage(r.out);
}

TEST(Usage, QuestionMarkPrefixAlone) {
    ToolRun r = RunTool("-?x");
    EXPECT_EQ(r.rc, 1);
    ExpectUsage(r.out);
}

TEST(Usage, IncorrectOptions) {
    struct {
        const char* args;
        const char* err;
    } cases[] = {
        {"-d", "getopt: incorrect option: d"},
        {"-i -?", "getopt: incorrect option: ?"},
        {"-w", "getopt: the following option requires an argument:"},
        {"-c x.txt -w", "getopt: the following option requires an argument:"},
    };
    for (const auto& c : cases) {
        ToolRun r = RunTool(c.args);
        EXPECT_EQ(r.rc, 1) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
        ASSERT_FALSE(r.out.empty()) << c.args;
        EXPECT_EQ(r.out[0], '\n') << c.args;
        ExpectUsage(r.out.substr(1));
    }
}

} // namespace

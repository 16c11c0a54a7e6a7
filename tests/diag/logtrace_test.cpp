#include "diag/logtrace.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <string>

using diagtest::Capture;

namespace {

// The alerts raised, each as caption, LF, text.
std::string alerts;

void RecordAlert(const char* caption, const char* text) {
    alerts += std::string(caption) + "\n" + text;
}

struct Reported {
    std::string out, alerts;
};

template <typename F> Reported Report(F f) {
    alerts.clear();
    LogTraceSetAlert(&RecordAlert);
    Capture out(stdout);
    f();
    Reported r;
    r.out = out.text();
    r.alerts = alerts;
    LogTraceSetAlert(nullptr);
    return r;
}

TEST(LogTrace, PrintsTextThenCrLf) {
    Reported r = Report([] { LOGTRACE("Tolvix", 1, "%d Items written to %s", 3, "ListBox.txt"); });
    EXPECT_EQ(r.out, "3 Items written to ListBox.txt\r\n");
    EXPECT_EQ(r.alerts, "");
}

TEST(LogTrace, EmptyMessagePrintsNothing) {
    Reported r = Report([] { LOGTRACE("Tolvix", 1, "%s", ""); });
    EXPECT_EQ(r.out, "");
}

TEST(LogTrace, FormatEndingInLineFeedGivesAnEmptyLine) {
    Reported r = Report([] { LOGTRACE("Tolvix", 1, "Window %04X\n", 0x1A2Bu); });
    EXPECT_EQ(r.out, "Window 1A2B\n\r\n");
}

TEST(LogTrace, PercentSignThroughStringArgumentIsUnchanged) {
    Reported r = Report([] { LOGTRACE("Tolvix", 1, "%s", "100% done %d %s"); });
    EXPECT_EQ(r.out, "100% done %d %s\r\n");
}

TEST(LogTrace, TagAndLevelDoNotShowOnTheConsole) {
    Reported r = Report([] {
        LOGTRACE(nullptr, 0, "%s", "one");
        LOGTRACE("*CLOSE", 5, "%s", "two");
        LOGTRACE("HTTP", -3, "%s", "three");
    });
    EXPECT_EQ(r.out, "one\r\ntwo\r\nthree\r\n");
}

TEST(LogTrace, LongestMessageIsPrintedWholeWithoutAlert) {
    std::string text(kLogTraceMaxText, 'x');
    text.front() = '<';
    text.back() = '>';
    Reported r = Report([&] { LOGTRACE("T", 1, "%s", text.c_str()); });
    EXPECT_EQ(r.out, text + "\r\n");
    EXPECT_EQ(r.alerts, "");
}

TEST(LogTrace, OverlongMessageIsAlertedAndCut) {
    struct Case {
        size_t length;
    } cases[] = {{10000}, {10001}, {25000}};
    for (const Case& c : cases) {
        std::string text(c.length, 'y');
        for (size_t i = 0; i < text.size(); i += 100) text[i] = char('0' + (i / 100) % 10);
        std::string cut = text.substr(0, kLogTraceMaxText);
        Reported r = Report([&] { LOGTRACE("T", 1, "%s", text.c_str()); });
        EXPECT_EQ(r.out, cut + "\r\n") << c.length;
        EXPECT_EQ(r.alerts, "LOGTRACE Buffer overrun!\n" + cut) << c.length;
    }
}

TEST(LogTrace, ConsoleSinkAsksForTheMessageToBePassedOn) {
    Capture out(stdout);
    EXPECT_EQ(LogTraceConsole("T", "x", 1), -1);
    EXPECT_EQ(out.text(), "x\r\n");
}

} // namespace

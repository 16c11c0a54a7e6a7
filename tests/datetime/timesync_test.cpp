#include "datetime/httpget.h"
#include "datetime/timesync.h"
#include "datetime/vktdatetime.h"
#include "diag/settings.h"
#include "platform/clock.h"
#include "platform/clockset.h"

#include "loopback_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// No test in this program may set the real clock: from before main, every
// clock setting is refused unless a test installs its own setter.
const bool kRealClockGuarded = [] {
    ReplaceClockSetter([](const SYSTEMTIME&) { return EPERM; });
    return true;
}();

// A setter installed for one scope; the refusing one comes back after it.
class FakeClockSetter {
public:
    explicit FakeClockSetter(int result) {
        previous_ = ReplaceClockSetter([this, result](const SYSTEMTIME& st) {
            calls_++;
            last_ = st;
            return result;
        });
    }
    ~FakeClockSetter() { ReplaceClockSetter(previous_); }
    int Calls() const { return calls_; }
    const SYSTEMTIME& Last() const { return last_; }

private:
    ClockSetter previous_;
    int calls_ = 0;
    SYSTEMTIME last_{};
};

std::string Fields(const CVKTDateTime& v) {
    CString s;
    v.GetStr(s, 0);
    return s;
}

std::string NavyPage(const std::string& universal) {
    return "<html><head><title>What time is it?</title></head>\n<body><pre>\n"
           "<BR>Dec. 07, 09:05:09 AM\tEST\t\tEastern Time\n" +
           universal + "\n</pre></body></html>\n";
}

std::string TimeGovPage(const std::string& time, const std::string& date = "Friday, "
                                                                           "December 07, 2007") {
    return "<html><body><table>\n<tr><td><b>" + time + "<br>\n" + date +
           "</b></td></tr>\n</table></body></html>\n";
}

// The time services, served from 127.0.0.1: each page is made by a function
// of the number of fetches of that page so far.
class TimeSyncTest : public ::testing::Test {
protected:
    using Page = std::function<std::string(int fetch)>;
    static constexpr const char* kStall = "(stall)";
    static constexpr const char* kRedirect = "(redirect)";

    static void SetUpTestSuite() {
        server_ = new LoopbackServer;
        auto serve = [](const char* name) {
            return [name](const httplib::Request& req, httplib::Response& res) {
                std::lock_guard<std::mutex> lock(mutex_);
                targets_ += req.target + "|";
                int fetch = fetches_++;
                std::string page = page_ ? page_(fetch) : std::string(name);
                if (page == kRedirect) {
                    res.set_redirect(server_->url("/moved-timer"));
                    return;
                }
                if (page != kStall) {
                    res.set_content(page, "text/html");
                    return;
                }
                // Headers, then no body within the client's timeout.
                res.set_content_provider(100, "text/html", [](size_t, size_t, httplib::DataSink&) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                    return false;
                });
            };
        };
        server_->server().Get("/cgi-bin/dater.sh", serve("date"));
        server_->server().Get("/cgi-bin/timer.pl", serve("navy"));
        server_->server().Get("/timezone.cgi", serve("timegov"));
        server_->server().Get("/moved-timer", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(NavyPage("<BR> DEC. 07, 2007 14:05:09 UNIVERSAL"), "text/html");
        });
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        const char* base = std::getenv("OSTRELLE_TEST_TMP");
        dir_ = fs::path(base ? base : fs::temp_directory_path().string()) /
               ("timesync-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        ini_ = (dir_ / "settings.ini").string();
        UseHost(server_->hostport());
        SetIniPath(ini_.c_str());
        HttpSetTimeouts(2000, 5000);
        Serve(nullptr);
    }
    void TearDown() override {
        SetIniPath(nullptr);
        HttpSetTimeouts(0, 0);
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void UseHost(const std::string& host) {
        std::ofstream(ini_, std::ios::binary)
            << "[TimeSync]\r\nNavyHost=" << host << "\r\nTimeGovHost=" << host << "\r\n";
    }
    static void Serve(Page page) {
        std::lock_guard<std::mutex> lock(mutex_);
        page_ = std::move(page);
        fetches_ = 0;
        targets_.clear();
    }
    static int Fetches() {
        std::lock_guard<std::mutex> lock(mutex_);
        return fetches_;
    }
    static std::string Targets() {
        std::lock_guard<std::mutex> lock(mutex_);
        return targets_;
    }

    static LoopbackServer* server_;
    static std::mutex mutex_;
    static Page page_;
    static int fetches_;
    static std::string targets_;
    fs::path dir_;
    std::string ini_;
};

LoopbackServer* TimeSyncTest::server_ = nullptr;
std::mutex TimeSyncTest::mutex_;
TimeSyncTest::Page TimeSyncTest::page_;
int TimeSyncTest::fetches_ = 0;
std::string TimeSyncTest::targets_;

TEST_F(TimeSyncTest, HostsComeFromTheSettingsFile) {
    char buf[256];
    EXPECT_STREQ(server_->hostport().c_str(), TimeSyncFirstHost(buf, sizeof buf));
    EXPECT_STREQ(server_->hostport().c_str(), TimeSyncSecondHost(buf, sizeof buf));
    std::ofstream(ini_, std::ios::binary) << "[Other]\r\nNavyHost=x\r\n";
    EXPECT_STREQ("tycho.usno.navy.mil", TimeSyncFirstHost(buf, sizeof buf));
    EXPECT_STREQ("www.time.gov", TimeSyncSecondHost(buf, sizeof buf));
}

TEST_F(TimeSyncTest, SetNowUrlTakesTheFirstLineWithADate) {
    Serve([](int) { return std::string("<html><body>\n2007/12/07\n2001/01/01\n</body>"); });
    CVKTDateTime v;
    v.SetDT(20200505UL, 123456UL);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, v.SetNowURL());
    std::string report = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("20071207 00:00:00", Fields(v));
    EXPECT_EQ("Invalid Date: 2\r\n", report); // the markup line
    EXPECT_EQ("/cgi-bin/dater.sh|", Targets());
}

TEST_F(TimeSyncTest, SetNowUrlWithoutADateIsMinusTwo) {
    Serve([](int) { return std::string("no\ndate\nhere"); });
    CVKTDateTime v;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(-2, v.SetNowURL());
    EXPECT_EQ("Invalid Date: 2\r\nInvalid Date: 2\r\nInvalid Date: 2\r\n",
              ::testing::internal::GetCapturedStdout());
}

TEST_F(TimeSyncTest, SetNowUrlFallsBackToTheLocalClock) {
    UseHost("127.0.0.1:" + std::to_string(ClosedPort()));
    CVKTDateTime v, now;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(-1, v.SetNowURL());
    ::testing::internal::GetCapturedStdout();
    now.SetNow();
    EXPECT_LE(std::abs(v.GetDiffSec(&now)), 5);
}

TEST_F(TimeSyncTest, NavyFirstReading) {
    Serve([](int) { return NavyPage("<BR> Dec. 07, 2007 14:05:09 UTC\t\tUniversal Time"); });
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(0, v.SetNowNavy(text, 0));
    EXPECT_EQ("20071207 14:05:09", text);
    EXPECT_EQ("20071207 14:05:09", Fields(v));
    EXPECT_EQ(1, Fetches());
    EXPECT_EQ("/cgi-bin/timer.pl|", Targets());
}

TEST_F(TimeSyncTest, ClockPagesFollowRedirects) {
    Serve([](int) { return std::string(kRedirect); });
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(0, v.SetNowNavy(text, 0));
    EXPECT_EQ("20071207 14:05:09", text);
}

TEST_F(TimeSyncTest, NavyModeOneWaitsForTheTick) {
    // The shown second changes after every second fetch.
    Serve([](int fetch) {
        char line[80];
        std::snprintf(line, sizeof line, "<BR> DEC. 07, 2007 14:05:%02d UNIVERSAL TIME",
                      9 + fetch / 2);
        return NavyPage(line);
    });
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(0, v.SetNowNavy(text, 1));
    EXPECT_EQ(3, Fetches());
    EXPECT_EQ("20071207 14:05:10", Fields(v));
    EXPECT_EQ("20071207 14:05:10", text);
}

TEST_F(TimeSyncTest, NavyBadMonthIsMinusSix) {
    Serve([](int) { return NavyPage("<BR> 13 07, 2007 14:05:09 Universal"); });
    CVKTDateTime v;
    CString text;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(-6, v.SetNowNavy(text, 0));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("Invalid date/time in <BR> 13 07, 2007 14:05:09 UNIVERSAL (2, 140509)", text);
    EXPECT_EQ(1, Fetches());
}

TEST_F(TimeSyncTest, FetchingStopsAtTheBound) {
    struct Case {
        const char* name;
        Page page;
        int mode;
        bool navy;
    } cases[] = {
        {"no usable line", [](int) { return std::string("<html>nothing</html>"); }, 0, true},
        {"clock that never ticks",
         [](int) { return NavyPage("<BR> DEC. 07, 2007 14:05:09 UNIVERSAL"); }, 1, true},
        {"line beyond the first 10000 bytes",
         [](int) {
             return std::string(kTimeSyncPageBytes, 'x') + "\n" +
                    NavyPage("<BR> DEC. 07, 2007 14:05:09 UNIVERSAL");
         },
         0, true},
        {"only midnight readings", [](int) { return TimeGovPage("00:00:00"); }, 0, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        Serve(c.page);
        CVKTDateTime v;
        CString text;
        int r = c.navy ? v.SetNowNavy(text, c.mode) : v.SetNowTimeGov(text, c.mode);
        EXPECT_EQ(-5, r);
        EXPECT_EQ("SetGMT:  Clould not find Universal time", text);
        EXPECT_EQ(kTimeSyncMaxFetches, Fetches());
    }
}

TEST_F(TimeSyncTest, TimeGovSkipsMidnightAndReadsTheNextLineForTheDate) {
    Serve([](int) {
        return "<html>\n<b>00:00:00<br>\nFriday, December 07, 2007</b>\n<b>14:05:09<br>\n"
               "Friday, December 07, 2007</b>\n</html>\n";
    });
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(0, v.SetNowTimeGov(text, 0));
    EXPECT_EQ("20071207 14:05:09", text);
    EXPECT_EQ("20071207 14:05:09", Fields(v));
    EXPECT_EQ("/timezone.cgi?UTC/s/0|", Targets());
}

TEST_F(TimeSyncTest, TimeGovModeOneWaitsForTheTick) {
    Serve([](int fetch) {
        char time[32];
        std::snprintf(time, sizeof time, "23:59:%02d", 57 + fetch / 3);
        return TimeGovPage(time, "Monday, December 31, 2007");
    });
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(0, v.SetNowTimeGov(text, 1));
    EXPECT_EQ(4, Fetches());
    EXPECT_EQ("20071231 23:59:58", Fields(v));
}

TEST_F(TimeSyncTest, TimeGovBadDateGoesOnScanning) {
    // The first reading's date line is unreadable; the second counts.
    Serve([](int) {
        return "<b>14:05:08<br>\nFriday, Decembre 77, 2007</b>\n<b>14:05:09<br>\n"
               "Friday, December 07, 2007</b>\n";
    });
    CVKTDateTime v;
    CString text;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, v.SetNowTimeGov(text, 0));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("20071207 14:05:09", text);
}

TEST_F(TimeSyncTest, TimeGovBadTimeGoesOnScanningTheLine) {
    Serve([](int) {
        return std::string("<b>99:99:99<br> <b>14:05:09<br>\nFriday, December 07, 2007</b>\n");
    });
    CVKTDateTime v;
    CString text;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, v.SetNowTimeGov(text, 0));
    std::string report = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("20071207 14:05:09", text);
    EXPECT_EQ(0u, report.find("Invalid Time: ")) << report;
    EXPECT_EQ(1, Fetches());
}

TEST_F(TimeSyncTest, UnreachableServiceIsAnOpenError) {
    UseHost("127.0.0.1:" + std::to_string(ClosedPort()));
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(-2, v.SetNowNavy(text, 0));
    EXPECT_EQ("SyncTime: URL open error!", text);
    EXPECT_EQ(-2, v.SetNowTimeGov(text, 1));
    EXPECT_EQ("SyncTime: URL open error!", text);
}

TEST_F(TimeSyncTest, StalledPageIsAReadingError) {
    Serve([](int) { return std::string(kStall); });
    HttpSetTimeouts(300, 600);
    CVKTDateTime v;
    CString text;
    EXPECT_EQ(-3, v.SetNowNavy(text, 0));
    EXPECT_EQ("SyncTime: URL reading error!", text);
    EXPECT_EQ(1, Fetches());
}

TEST(SyncGMT, AdjustsThroughTheInstalledSetter) {
    FakeClockSetter setter(0);
    // A value equal to the current UTC time; retried when a second ticks
    // between the reading here and the one inside SyncGMT.
    CString text;
    float adjusted = -1;
    CVKTDateTime utc;
    for (int attempt = 0; attempt < 5; ++attempt) {
        utc.SetNowGMT();
        ASSERT_EQ(0, utc.SyncGMT(text, &adjusted));
        if (text.find("DiffNow=0") != std::string::npos) break;
    }
    std::regex shape(R"(Adjusted +-?\d+\.\d{3} Sec to \d+/\d+/\d{4} \d\d:\d\d:\d\d\.\d{3} )"
                     R"(\(From \d+/\d+/\d{4} \d\d:\d\d:\d\d\.\d{3}\) DiffNow=0)");
    EXPECT_TRUE(std::regex_match(text, shape)) << text;
    // The fake setter leaves the clock alone: the change is what passed.
    EXPECT_GE(adjusted, 0.0f);
    EXPECT_LT(adjusted, 1.5f);
    ASSERT_GE(setter.Calls(), 1);
    CVKTDateTime local = utc;
    local.AdjToLocal();
    const SYSTEMTIME& st = setter.Last();
    EXPECT_EQ(local.GetYear(), st.wYear);
    EXPECT_EQ(local.month, st.wMonth);
    EXPECT_EQ(local.day, st.wDay);
    EXPECT_EQ(local.hour, st.wHour);
    EXPECT_EQ(local.minute, st.wMinute);
    EXPECT_EQ(local.second, st.wSecond);
    EXPECT_EQ(0, st.wMilliseconds);
    EXPECT_EQ(local.GetWeekDay(0), st.wDayOfWeek);
}

TEST(SyncGMT, FailingSetterGivesTheSystemText) {
    FakeClockSetter setter(EPERM);
    CVKTDateTime v;
    v.SetDT(20071207UL, 140509UL);
    CString text;
    float adjusted = -1;
    EXPECT_EQ(-1, v.SyncGMT(text, &adjusted));
    EXPECT_EQ("SetLocalTime failed (Error " + std::to_string(EPERM) + "=" + SysErrorText(EPERM) +
                  ")",
              text);
    EXPECT_FALSE(SysErrorText(EPERM).empty());
    EXPECT_GE(adjusted, 0.0f);
    EXPECT_LT(adjusted, 1.5f);
    EXPECT_EQ(1, setter.Calls());
    EXPECT_EQ(-1, v.SyncGMT(text, nullptr));
}

TEST(SyncGMT, TheGuardRefusesWithoutAnInstalledSetter) {
    CVKTDateTime v;
    v.SetNowGMT();
    CString text;
    EXPECT_EQ(-1, v.SyncGMT(text, nullptr));
    EXPECT_EQ(0u, text.find("SetLocalTime failed (Error "));
}

TEST(TestJulian, WritesTheCalendarOf2002To2004) {
    const char* base = std::getenv("OSTRELLE_TEST_TMP");
    fs::path dir = fs::path(base ? base : fs::temp_directory_path().string()) /
                   ("julian-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::path old = fs::current_path();
    fs::current_path(dir);
    CVKTDateTime v;
    ::testing::internal::CaptureStdout();
    int errors = v.TestJulian();
    std::string report = ::testing::internal::GetCapturedStdout();
    fs::current_path(old);

    EXPECT_EQ(0, errors);
    EXPECT_EQ("Julian: Error=0\r\n", report);
    EXPECT_EQ("20041231 00:00:00", Fields(v));
    std::ifstream in(dir / "Lunar.csv", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string csv = all.str();
    size_t lines = 0;
    for (char c : csv) lines += c == '\n';
    EXPECT_EQ(366u + 365u + 365u, lines); // 2002..2004, 2004 a leap year
    EXPECT_EQ(0u, csv.find("1/1/2002,Tuesday,Series3,?\r\n1/2/2002,Wednsday,Series4,?\r\n"));
    EXPECT_NE(std::string::npos, csv.find("\r\n1/5/2002,Saturday\r\n1/6/2002,Sunday\r\n"));
    EXPECT_NE(std::string::npos, csv.find("\r\n2/29/2004,Sunday\r\n"));
    const std::string last = "12/31/2004,Friday,Series2,?\r\n";
    EXPECT_EQ(csv.size() - last.size(), csv.rfind(last));
    std::error_code ec;
    fs::remove_all(dir, ec);
}

} // namespace

#include "datetime/httpget.h"

#include "loopback_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Pattern(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
    return s;
}

// One server for every test of the file, with a route per case.
class HttpGetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = new LoopbackServer;
        auto& s = server_->server();
        auto text = [](const std::string& body, int status = 200) {
            return [body, status](const httplib::Request&, httplib::Response& res) {
                res.status = status;
                res.set_content(body, "text/plain");
            };
        };
        auto redirect = [](const char* name, std::string to, int status = 302) {
            return [name, to, status](const httplib::Request&, httplib::Response& res) {
                res.status = status;
                res.set_header(name, to);
                res.set_content("moved", "text/plain");
            };
        };
        s.Get("/big", text(Pattern(70001)));
        s.Get("/hello", text("hello world"));
        s.Get("/missing", text("no such page", 404));
        s.Get("/broken", text("server trouble", 500));
        s.Get("/secret", text("who are you", 401));
        s.Get("/found", redirect("Location", server_->url("/hello")));
        s.Get("/moved", redirect("Location", server_->url("/hello"), 301));
        s.Get("/seeother", redirect("Location", server_->url("/hello"), 303));
        s.Get("/temporary", redirect("Location", server_->url("/hello"), 307));
        s.Get("/lower", redirect("location", server_->url("/hello")));
        s.Get("/to404", redirect("Location", server_->url("/missing")));
        s.Get("/to302", redirect("Location", server_->url("/found")));
        s.Get("/toftp", redirect("Location", "ftp://127.0.0.1/file"));
        s.Get("/relative", redirect("Location", "/hello"));
        s.Get("/nolocation", redirect("Content-Location", server_->url("/hello")));
        auto echo = [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Accept") + "|" +
                                req.get_header_value("User-Agent") + "|" + req.path,
                            "text/plain");
        };
        s.Get("/echo", echo);
        s.Get("/", echo);
        // Headers, then no body within the client's timeout.
        s.Get("/stall", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(100, "text/plain", [](size_t, size_t, httplib::DataSink&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1500));
                return false;
            });
        });
        s.Get("/zero", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string("abc\0def", 7), "text/plain");
        });
        s.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [](size_t offset, httplib::DataSink& sink) {
                    if (offset >= 45000) {
                        sink.done();
                        return true;
                    }
                    std::string piece = Pattern(45000).substr(offset, 4500);
                    sink.write(piece.data(), piece.size());
                    return true;
                });
        });
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override { HttpSetTimeouts(2000, 5000); }
    void TearDown() override {
        HttpSetTimeouts(0, 0);
        HttpSetMaxBody(0);
    }

    // HttpGetUrl with its console report captured.
    static int Get(const std::string& url, std::string& out, std::string& report) {
        ::testing::internal::CaptureStdout();
        int r = HttpGetUrl(url.c_str(), &out);
        std::fflush(stdout);
        report = ::testing::internal::GetCapturedStdout();
        return r;
    }

    static LoopbackServer* server_;
};

LoopbackServer* HttpGetTest::server_ = nullptr;

TEST_F(HttpGetTest, AnswersAreAppendedWhole) {
    struct Case {
        const char* path;
        std::string body;
    } cases[] = {
        {"/big", Pattern(70001)},      // several 20000-byte chunks
        {"/chunked", Pattern(45000)},  // chunked transfer coding
        {"/missing", "no such page"},  // 404 without redirect: the page
        {"/broken", "server trouble"}, // 500 likewise
        {"/found", "hello world"},     // 302 to a 200
        {"/moved", "hello world"},     // 301
        {"/seeother", "hello world"},  // 303
        {"/lower", "hello world"},     // header name in lower case
        {"/temporary", "moved"},       // 307 is not a redirect we follow
        {"/zero", "abc"},              // a zero byte ends the chunk's text
        {"/echo", "text/*|HTTP_GET|/echo"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out = "before:", report;
        EXPECT_EQ(0, Get(server_->url(c.path), out, report));
        EXPECT_EQ("before:" + c.body, out);
        EXPECT_EQ("", report);
    }
}

TEST_F(HttpGetTest, QueryAndDefaultPathReachTheServer) {
    std::string out, report;
    EXPECT_EQ(0, Get(server_->url("/echo?x=1#frag"), out, report));
    EXPECT_EQ("text/*|HTTP_GET|/echo", out);
    out.clear();
    EXPECT_EQ(0, Get("http://" + server_->hostport(), out, report));
    EXPECT_EQ("text/*|HTTP_GET|/", out);
}

TEST_F(HttpGetTest, FailuresGiveCodesLinesAndReports) {
    struct Case {
        const char* path;
        int result;
        const char* out; // null: unchanged
        const char* report;
    } cases[] = {
        {"/secret", 1, nullptr,
         "Access denied: Invalid password\r\nError: Exiting with CHttpGetException(1)\r\n"},
        {"/nolocation", 2, nullptr,
         "Error: Site redirects with no new location\r\n"
         "Error: Exiting with CHttpGetException(2)\r\n"},
        {"/to404", 2, "*ERR:HTTPSTATUS:404\r\n",
         "Error: Got status code 404\r\nError: Exiting with CHttpGetException(2)\r\n"},
        {"/to302", 2, "*ERR:HTTPSTATUS:302\r\n",
         "Error: Got status code 302\r\nError: Exiting with CHttpGetException(2)\r\n"},
        {"/toftp", 2, nullptr,
         "Error: the redirected URL does not reference a HTTP resource.\r\n"
         "Error: Exiting with CHttpGetException(2)\r\n"},
        {"/relative", 2, nullptr,
         "Error: the redirected URL could not be parsed.\r\n"
         "Error: Exiting with CHttpGetException(2)\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out = "kept", report;
        EXPECT_EQ(c.result, Get(server_->url(c.path), out, report));
        EXPECT_EQ(c.out ? c.out : "kept", out);
        EXPECT_EQ(c.report, report);
    }
}

TEST_F(HttpGetTest, OnlyHttpUrlsAreTried) {
    const std::string port = std::to_string(server_->port());
    const char* urls[] = {"ftp://127.0.0.1/file",
                          "https://127.0.0.1/",
                          "127.0.0.1/hello",
                          "not a url",
                          "",
                          "http://",
                          "http:///path",
                          "http://127.0.0.1:0/",
                          "http://127.0.0.1:65536/",
                          "http://127.0.0.1:8x/",
                          "http://127.0.0.1/a b",
                          "http://127.0.0.1/line\r"};
    for (const char* url : urls) {
        SCOPED_TRACE(url);
        std::string out = "kept", report;
        EXPECT_EQ(1, Get(url, out, report));
        EXPECT_EQ("kept", out);
        EXPECT_EQ("Error: can only use URLs beginning with http://\r\n"
                  "Error: Exiting with CHttpGetException(1)\r\n",
                  report);
    }
    std::string out = "kept";
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(1, HttpGetUrl(nullptr, &out));
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ("kept", out);
}

TEST_F(HttpGetTest, NullOutputFetchesAndDiscards) {
    EXPECT_EQ(0, HttpGetUrl(server_->url("/big").c_str(), nullptr));
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(2, HttpGetUrl(server_->url("/to404").c_str(), nullptr));
    ::testing::internal::GetCapturedStdout();
}

// "*ERR:<number>:<text>\r\n" with a non-zero number and some text.
void ExpectLibraryErrorLine(const std::string& out) {
    ASSERT_GT(out.size(), 8u) << out;
    EXPECT_EQ("*ERR:", out.substr(0, 5));
    EXPECT_EQ("\r\n", out.substr(out.size() - 2));
    char* end = nullptr;
    long code = std::strtol(out.c_str() + 5, &end, 10);
    EXPECT_NE(0, code);
    ASSERT_EQ(':', *end);
    EXPECT_GT(out.size() - 2, size_t(end + 1 - out.c_str()));
}

TEST_F(HttpGetTest, ClosedPortGivesTheLibraryError) {
    std::string out = "kept", report;
    EXPECT_EQ(2, Get("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", out, report));
    ExpectLibraryErrorLine(out);
    // The report carries the same number and text.
    std::string line = out.substr(5, out.size() - 7);
    std::string number = line.substr(0, line.find(':'));
    EXPECT_EQ("Error: (" + number + ") " + line.substr(number.size() + 1) + "\r\n", report);
}

TEST_F(HttpGetTest, SilentServerEndsWithTheTimeout) {
    SilentServer silent;
    ASSERT_GT(silent.port(), 0);
    HttpSetTimeouts(300, 600);
    auto start = std::chrono::steady_clock::now();
    std::string out = "kept", report;
    EXPECT_EQ(2, Get("http://127.0.0.1:" + std::to_string(silent.port()) + "/", out, report));
    auto elapsed = std::chrono::steady_clock::now() - start;
    ExpectLibraryErrorLine(out);
    // Bounded by the total timeout (generously: this is no timing test).
    EXPECT_LT(elapsed, std::chrono::seconds(20));
}

TEST_F(HttpGetTest, BodyBeyondTheBoundIsALibraryError) {
    HttpSetMaxBody(50000);
    struct Case {
        const char* path;
        int result;
    } cases[] = {
        {"/big", 2},     // 70001 bytes, length announced
        {"/chunked", 0}, // 45000 bytes fit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out, report;
        EXPECT_EQ(c.result, Get(server_->url(c.path), out, report));
        if (c.result == 2) ExpectLibraryErrorLine(out);
    }
    HttpSetMaxBody(40000); // now the chunked body, without a length, is too long
    std::string out, report;
    EXPECT_EQ(2, Get(server_->url("/chunked"), out, report));
    ExpectLibraryErrorLine(out);
    HttpSetMaxBody(0);
}

TEST_F(HttpGetTest, AnswerCutInsideItsHeadIsALibraryError) {
    // The connection closes before the empty line that ends the header
    // block: no status counts, whatever the status line said.
    const char* cut[] = {
        "HTTP/1.1 200 OK",
        "HTTP/1.1 200 OK\r\nContent-Ty",
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n",
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 4\r\n\r",
        "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/",
        "HTTP/1.1 404 Not Found\n",
        "HTTP/1.1 2",
        "garbage\r\n\r\nbody",
        "",
        // A head that does not bound its body, and nothing after it: once a
        // library has put the head together this cannot be told from a cut
        // one, so it counts as cut on both transports.
        "HTTP/1.0 200 OK\n\n",
        "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\n\r\n",
    };
    for (const char* answer : cut) {
        SCOPED_TRACE(answer);
        RawAnswerServer raw(answer);
        std::string out = "kept", report;
        EXPECT_EQ(2, Get(raw.url("/"), out, report));
        ExpectLibraryErrorLine(out);
        EXPECT_EQ(0u, report.find("Error: (")) << report;
    }
    // A whole head, and the body up to the close, is an answer.
    RawAnswerServer whole("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nbody");
    std::string out = "x", report;
    EXPECT_EQ(0, Get(whole.url("/"), out, report));
    EXPECT_EQ("xbody", out);
    // A head that bounds its body may end the answer.
    const char* bounded[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n",
        "HTTP/1.1 204 No Content\r\n\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
    };
    for (const char* answer : bounded) {
        SCOPED_TRACE(answer);
        RawAnswerServer server(answer);
        out = "x";
        EXPECT_EQ(0, Get(server.url("/"), out, report));
        EXPECT_EQ("x", out);
    }
}

TEST_F(HttpGetTest, StalledBodyEndsWithTheTimeout) {
    HttpSetTimeouts(300, 600);
    std::string out = "kept", report;
    EXPECT_EQ(2, Get(server_->url("/stall"), out, report));
    ExpectLibraryErrorLine(out);
    EXPECT_EQ(0u, report.find("Error: (")) << report;
}

TEST_F(HttpGetTest, TransportReadsFullPiecesAndFollowsOnlyWhenAsked) {
    CHttpSession session("transport-test");
    ASSERT_TRUE(session.Ok());
    HttpTarget target{"127.0.0.1", unsigned(server_->port()), "/big"};
    CHttpRequest request(session);
    ASSERT_TRUE(request.Send(target, {}));
    EXPECT_EQ(200, request.Status());
    EXPECT_EQ(0u, request.RawHeaders().find("HTTP/1.1 200"));
    std::vector<char> buf(20000);
    std::vector<long> pieces;
    for (long n; (n = request.Read(buf.data(), 20000)) > 0 && pieces.size() < 10;)
        pieces.push_back(n);
    EXPECT_EQ((std::vector<long>{20000, 20000, 20000, 10001}), pieces);
    EXPECT_EQ(0, request.Read(buf.data(), 20000));

    target.path = "/found";
    ASSERT_TRUE(request.Send(target, {}));
    EXPECT_EQ(302, request.Status());
    EXPECT_NE(std::string::npos, request.RawHeaders().find("\r\nLocation: http://"));
    HttpRequestOptions follow;
    follow.followRedirects = true;
    ASSERT_TRUE(request.Send(target, follow));
    EXPECT_EQ(200, request.Status());
    long n = request.Read(buf.data(), 20000);
    EXPECT_EQ("hello world", std::string(buf.data(), size_t(n > 0 ? n : 0)));
}

TEST(HttpParseUrl, SplitsTheParts) {
    struct Case {
        const char* url;
        HttpGetService service;
        const char* host;
        unsigned port;
        const char* path;
    } cases[] = {
        {"http://example.com", HTTPGET_SERVICE_HTTP, "example.com", 80, "/"},
        {"HTTP://Example.com:8080/a/b?c=d#e", HTTPGET_SERVICE_HTTP, "Example.com", 8080,
         "/a/b?c=d"},
        {"http://host?q", HTTPGET_SERVICE_HTTP, "host", 80, "/?q"},
        {"http://user:pw@host:81/x", HTTPGET_SERVICE_HTTP, "host", 81, "/x"},
        {"http://[::1]:8000/v6", HTTPGET_SERVICE_HTTP, "::1", 8000, "/v6"},
        {"https://host/", HTTPGET_SERVICE_HTTPS, "host", 80, "/"},
        {"ftp://host/f", HTTPGET_SERVICE_FTP, "host", 80, "/f"},
        {"gopher://host/", HTTPGET_SERVICE_GOPHER, "host", 80, "/"},
        {"file://host/f", HTTPGET_SERVICE_FILE, "host", 80, "/f"},
        {"news://host/", HTTPGET_SERVICE_UNKNOWN, "host", 80, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        HttpGetService service;
        HttpTarget target;
        ASSERT_TRUE(HttpParseUrl(c.url, service, target));
        EXPECT_EQ(c.service, service);
        EXPECT_EQ(c.host, target.host);
        EXPECT_EQ(c.port, target.port);
        EXPECT_EQ(c.path, target.path);
    }
}

TEST(HttpParseUrl, RefusesBrokenUrls) {
    std::string tooLong = "http://host/" + std::string(kHttpGetMaxUrl, 'x');
    const char* urls[] = {nullptr,        "",           "host/path",   "://host/",
                          "http://",      "http://:80", "http://h:/",  "http://h:123456/",
                          "http://[::1/", "ht tp://h/", "http://h/\t", tooLong.c_str()};
    for (const char* url : urls) {
        SCOPED_TRACE(url ? url : "(null)");
        HttpGetService service;
        HttpTarget target;
        EXPECT_FALSE(HttpParseUrl(url, service, target));
    }
}

} // namespace

// HttpGetUrl over WinINet, against a small HTTP server on 127.0.0.1 that
// this program runs on a thread of its own.
#include "datetime/httpget.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

std::string Pattern(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = char('a' + i % 26);
    return s;
}

std::string Answer(int status, const char* reason, const std::string& body,
                   const std::string& extra = "") {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason +
           "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

// Answers each request with the canned answer for its path (404 for others),
// one connection at a time.
class WinLoopbackServer {
public:
    WinLoopbackServer() {
        WSADATA data;
        started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int len = sizeof addr;
        if (listen_ == INVALID_SOCKET ||
            bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            listen(listen_, 8) != 0 ||
            getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~WinLoopbackServer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (listen_ != INVALID_SOCKET) closesocket(listen_);
        if (started_) WSACleanup();
    }
    int port() const { return port_; }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    void Set(const std::string& path, const std::string& answer) {
        std::lock_guard<std::mutex> lock(mutex_);
        answers_[path] = answer;
    }
    std::string LastRequest() {
        std::lock_guard<std::mutex> lock(mutex_);
        return last_;
    }

private:
    void Serve() {
        while (!stop_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(listen_, &set);
            timeval wait{0, 100000};
            if (select(0, &set, nullptr, nullptr, &wait) != 1) continue;
            SOCKET client = accept(listen_, nullptr, nullptr);
            if (client == INVALID_SOCKET) continue;
            Answer(client);
            closesocket(client);
        }
    }
    void Answer(SOCKET client) {
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            int n = recv(client, buf, sizeof buf, 0);
            if (n <= 0) return;
            request.append(buf, size_t(n));
        }
        size_t start = request.find(' ') + 1;
        std::string path = request.substr(start, request.find(' ', start) - start);
        std::string answer;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            last_ = request;
            auto it = answers_.find(path);
            answer = it != answers_.end() ? it->second : ::Answer(404, "Not Found", "");
        }
        for (size_t sent = 0; sent < answer.size();) {
            int n = send(client, answer.data() + sent, int(answer.size() - sent), 0);
            if (n <= 0) break;
            sent += size_t(n);
        }
        shutdown(client, SD_SEND);
    }

    bool started_ = false;
    SOCKET listen_ = INVALID_SOCKET;
    int port_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::string last_;
};

class WinHttpGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server_.port(), 0);
        HttpSetTimeouts(5000, 15000);
        server_.Set("/big", Answer(200, "OK", Pattern(70001)));
        server_.Set("/hello", Answer(200, "OK", "hello world"));
        server_.Set("/missing", Answer(404, "Not Found", "no such page"));
        server_.Set("/found",
                    Answer(302, "Found", "moved", "Location: " + server_.url("/hello") + "\r\n"));
        server_.Set("/to404",
                    Answer(302, "Found", "moved", "Location: " + server_.url("/missing") + "\r\n"));
    }
    void TearDown() override { HttpSetTimeouts(0, 0); }

    WinLoopbackServer server_;
};

TEST_F(WinHttpGetTest, Answers) {
    struct Case {
        const char* path;
        int result;
        std::string out;
    } cases[] = {
        {"/big", 0, "x" + Pattern(70001)},
        {"/found", 0, "xhello world"},
        {"/missing", 0, "xno such page"},
        {"/to404", 2, "*ERR:HTTPSTATUS:404\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out = "x";
        EXPECT_EQ(c.result, HttpGetUrl(server_.url(c.path).c_str(), &out));
        EXPECT_EQ(c.out, out);
    }
}

TEST_F(WinHttpGetTest, SendsTheTwoHeaderLines) {
    std::string out;
    EXPECT_EQ(0, HttpGetUrl(server_.url("/hello").c_str(), &out));
    std::string request = server_.LastRequest();
    EXPECT_NE(std::string::npos, request.find("Accept: text/*\r\n")) << request;
    EXPECT_NE(std::string::npos, request.find("User-Agent: HTTP_GET\r\n")) << request;
}

TEST_F(WinHttpGetTest, ClosedPortGivesTheLibraryError) {
    // A port taken free and released again: nothing listens on it.
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    ASSERT_EQ(0, bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    ASSERT_EQ(0, getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len));
    closesocket(s);
    std::string out = "kept";
    std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/";
    EXPECT_EQ(2, HttpGetUrl(url.c_str(), &out));
    ASSERT_GT(out.size(), 8u) << out;
    EXPECT_EQ("*ERR:", out.substr(0, 5)) << out;
    EXPECT_EQ("\r\n", out.substr(out.size() - 2));
    EXPECT_NE(0, std::atol(out.c_str() + 5)) << out;
}

TEST_F(WinHttpGetTest, BodyBeyondTheBoundIsALibraryError) {
    HttpSetMaxBody(50000);
    std::string out = "kept";
    EXPECT_EQ(2, HttpGetUrl(server_.url("/big").c_str(), &out));
    HttpSetMaxBody(0);
    EXPECT_EQ(0u, out.find("*ERR:" + std::to_string(ERROR_FILE_TOO_LARGE) + ":")) << out;
}

TEST_F(WinHttpGetTest, AnswerCutInsideItsHeadIsALibraryError) {
    // The connection closes before the empty line that ends the header
    // block: a failure, as on the other transport.
    const char* cut[] = {
        "HTTP/1.1 200 OK",
        "HTTP/1.1 200 OK\r\nContent-Ty",
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n",
        "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/",
        "",
        "HTTP/1.0 200 OK\n\n",
    };
    for (const char* answer : cut) {
        SCOPED_TRACE(answer);
        server_.Set("/cut", answer);
        std::string out = "kept";
        EXPECT_EQ(2, HttpGetUrl(server_.url("/cut").c_str(), &out));
        ASSERT_GT(out.size(), 8u) << out;
        EXPECT_EQ("*ERR:", out.substr(0, 5)) << out;
        EXPECT_NE(0, std::atol(out.c_str() + 5)) << out;
    }
    const char* whole[] = {
        "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nbody",
        "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n",
        "HTTP/1.1 204 No Content\r\n\r\n",
    };
    for (const char* answer : whole) {
        SCOPED_TRACE(answer);
        server_.Set("/whole", answer);
        std::string out = "x";
        EXPECT_EQ(0, HttpGetUrl(server_.url("/whole").c_str(), &out));
        EXPECT_EQ(std::string(answer).find("body") != std::string::npos ? "xbody" : "x", out);
    }
}

TEST_F(WinHttpGetTest, FtpUrlIsRefused) {
    std::string out = "kept";
    EXPECT_EQ(1, HttpGetUrl("ftp://127.0.0.1/file", &out));
    EXPECT_EQ("kept", out);
}

} // namespace

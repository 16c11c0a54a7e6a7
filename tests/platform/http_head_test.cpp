// Reading an answer's head: the one parser behind both HTTP transports.
#include "platform/http.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HttpParseHead, CompleteCutAndMalformedHeads) {
    struct Case {
        std::string raw;
        int result;
        long status;   // when complete
        size_t length; // when complete
    } cases[] = {
        {"HTTP/1.1 200 OK\r\n\r\n", 1, 200, 19},
        {"HTTP/1.1 200 OK\r\n\r\nbody", 1, 200, 19},
        {"HTTP/1.0 404 Not Found\nServer: x\n\n", 1, 404, 34},
        {"HTTP/2 302\r\nLocation: http://h/\r\n\r\n", 1, 302, 35},
        {"HTTP/1.1   204\r\n\r\n", 1, 204, 18},
        {"HTTP/1.1 999 Odd\r\nA: 1\r\nB: 2\r\n\r\n", 1, 999, 32},
        // Cut before the empty line that ends the block.
        {"", 0, 0, 0},
        {"HTTP/1.1 200 OK", 0, 0, 0},
        {"HTTP/1.1 200 OK\r\n", 0, 0, 0},
        {"HTTP/1.1 200 OK\r\nContent-Ty", 0, 0, 0},
        {"HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n", 0, 0, 0},
        {"HTTP/1.1 200 OK\r\nA: 1\r\n\r", 0, 0, 0},
        {"garbage without a line end", 0, 0, 0},
        // A first line that is no status line.
        {"garbage\r\n\r\n", -1, 0, 0},
        {"HTTP/1.1 20\r\n\r\n", -1, 0, 0},
        {"HTTP/1.1 2000\r\n\r\n", -1, 0, 0},
        {"HTTP/1.1200 OK\r\n\r\n", -1, 0, 0},
        {"HTTP/ 200 OK\r\n\r\n", -1, 0, 0},
        {"http/1.1 200 OK\r\n\r\n", -1, 0, 0},
        {"\r\nHTTP/1.1 200 OK\r\n\r\n", -1, 0, 0},
        {"HTTP/1.1 2x0 OK\r\n\r\n", -1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        HttpHead head{-5, 7};
        EXPECT_EQ(c.result, HttpParseHead(c.raw, &head));
        EXPECT_EQ(c.result == 1 ? c.status : -5, head.status);
        EXPECT_EQ(c.result == 1 ? c.length : 7u, head.length);
        EXPECT_EQ(c.result, HttpParseHead(c.raw, nullptr));
    }
}

TEST(HttpHeadBoundsBody, LengthChunkedOrNoBodyStatus) {
    struct Case {
        const char* raw;
        long status;
        bool bounded;
    } cases[] = {
        {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 200, true},
        {"HTTP/1.1 200 OK\r\ncontent-length: 12\r\n\r\n", 200, true},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n", 200, true},
        {"HTTP/1.1 204 No Content\r\n\r\n", 204, true},
        {"HTTP/1.1 304 Not Modified\r\n\r\n", 304, true},
        {"HTTP/1.1 100 Continue\r\n\r\n", 100, true},
        {"HTTP/1.1 200 OK\r\n\r\n", 200, false},
        {"HTTP/1.1 302 Found\r\nLocation: http://h/\r\n\r\n", 302, false},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n", 200, false},
        {"HTTP/1.1 200 OK\r\nX-Content-Length: 5\r\n\r\n", 200, false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.bounded, HttpHeadBoundsBody(c.raw, c.status)) << c.raw;
}

TEST(HttpHeaderValue, FirstMatchingLineWithoutBlanksAndLineEnd) {
    const std::string headers = "HTTP/1.1 302 Found\r\n"
                                "location:  http://a/  \r\n"
                                "Location: http://b/\r\n"
                                "X-Empty:\r\n"
                                "Tab:\tv\t\n"
                                "\r\n";
    struct Case {
        const char* name;
        bool found;
        const char* value;
    } cases[] = {
        {"Location", true, "http://a/"},
        {"LOCATION", true, "http://a/"},
        {"X-Empty", true, ""},
        {"Tab", true, "v"},
        {"Missing", false, "kept"},
        {"Locatio", false, "kept"},
        {"", false, "kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string value = "kept";
        EXPECT_EQ(c.found, HttpHeaderValue(headers, c.name, &value));
        EXPECT_EQ(c.value, value);
    }
}

} // namespace

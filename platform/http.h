// HTTP transport: one GET request at a time over a session, with connect and
// total timeouts.  The Windows internet library (WinINet) on Windows,
// libcurl elsewhere.  Error numbers and texts are the library's own.
#pragma once

#include "ostrelle_api.h"

#include <cstdint>
#include <memory>
#include <string>

// Default timeouts, in milliseconds.
constexpr long kHttpConnectTimeoutMs = 10000;
constexpr long kHttpTotalTimeoutMs = 30000;

// Default bound of a response body, in bytes: a longer body ends the
// request with the library's error (libcurl: CURLE_FILESIZE_EXCEEDED;
// WinINet: ERROR_FILE_TOO_LARGE).
constexpr int64_t kHttpMaxBodyBytes = int64_t(256) << 20;

// Longest error text kept, in characters.
constexpr size_t kHttpMaxErrorText = 1023;

// An internet-library error: its number and message text.
struct HttpError {
    long code = 0;
    std::string text;
};

// A session of the internet library for one agent name.  Requests are made
// through CHttpRequest; the session must outlive them.
class OSTRELLE_API CHttpSession {
public:
    // Opens the session with the platform's preconfigured proxy settings.
    // A failure is kept: see Ok and Error.
    explicit CHttpSession(const char* agent);
    ~CHttpSession();
    CHttpSession(const CHttpSession&) = delete;
    CHttpSession& operator=(const CHttpSession&) = delete;

    // True when the session opened; otherwise Error says why.
    bool Ok() const;
    const HttpError& Error() const { return error_; }

    // Timeouts for the requests opened afterwards: connecting, and the
    // whole request from connecting to the last body byte.  Values below 1
    // select the defaults above.
    void SetTimeouts(long connectMs, long totalMs) {
        connectMs_ = connectMs > 0 ? connectMs : kHttpConnectTimeoutMs;
        totalMs_ = totalMs > 0 ? totalMs : kHttpTotalTimeoutMs;
    }
    long ConnectTimeout() const { return connectMs_; }
    long TotalTimeout() const { return totalMs_; }

    // Bound of each response body for the requests opened afterwards;
    // values below 1 select kHttpMaxBodyBytes.
    void SetMaxBody(int64_t bytes) { maxBody_ = bytes > 0 ? bytes : kHttpMaxBodyBytes; }
    int64_t MaxBody() const { return maxBody_; }

    // The agent name the requests send.
    const std::string& Agent() const { return agent_; }

    struct Impl;
    Impl* impl() const { return impl_.get(); }

private:
    std::string agent_;
    long connectMs_ = kHttpConnectTimeoutMs;
    long totalMs_ = kHttpTotalTimeoutMs;
    int64_t maxBody_ = kHttpMaxBodyBytes;
    HttpError error_;
    std::unique_ptr<Impl> impl_;
};

// The value of header name in raw answer headers (a status line, then header
// lines ending in LF or CR LF): the first line that begins with "name:" in
// any letter case, without the blanks around the value and the line end.
// False when no line has it; value (when not null) is then left as it was.
OSTRELLE_API bool HttpHeaderValue(const std::string& headers, const char* name, std::string* value);

// The head of an answer: its status code and its length in bytes.
struct HttpHead {
    long status = 0;
    size_t length = 0; // the status line, the header lines and the empty line
};

// Reads the head of an answer at the start of raw: a status line ("HTTP/",
// a version, blanks, a three-digit code, then anything up to the line end),
// header lines, and the empty line that ends the block; lines end in LF or
// CR LF.  Both transports take an answer's status through it.  Returns 1
// with head (when not null) filled; 0 when raw ends before the empty line,
// as an answer cut inside its header block does; -1 when the first line is
// not a status line.  head is left as it was unless 1 is returned.
OSTRELLE_API int HttpParseHead(const std::string& raw, HttpHead* head);

// True when a complete head (see HttpParseHead) with status tells where its
// body ends other than at the connection's close: a Content-Length line, a
// chunked Transfer-Encoding, or a status that has no body (1xx, 204, 304).
OSTRELLE_API bool HttpHeadBoundsBody(const std::string& raw, long status);

// What to ask for.
struct HttpTarget {
    std::string host;       // server name or address
    unsigned port = 80;     // 1..65535
    std::string path = "/"; // object path with query
};

struct HttpRequestOptions {
    // Request header lines, each ending in CR LF ("Accept: text/*\r\n").
    std::string headers;
    // Follow redirects (the library's own handling); off: a 3xx answer is
    // returned as it is.
    bool followRedirects = false;
    // Bypass every cache on the way.
    bool reload = false;
};

// One GET request.  Closed by Close or the destructor, exactly once.
class OSTRELLE_API CHttpRequest {
public:
    explicit CHttpRequest(CHttpSession& session);
    ~CHttpRequest();
    CHttpRequest(const CHttpRequest&) = delete;
    CHttpRequest& operator=(const CHttpRequest&) = delete;

    // Connects, sends the GET and waits for the answer's status and
    // headers.  False on a library error (see Error): unreachable server,
    // timeout, malformed answer, an answer that ends inside its header block.
    // An answer whose head does not bound its body (HttpHeadBoundsBody) and
    // whose connection ends right after the head counts as cut too: once the
    // library has put the head together (WinINet takes the close for the
    // head's end and drops a partial last line) the two look alike, and both
    // transports judge the same bytes alike.
    bool Send(const HttpTarget& target, const HttpRequestOptions& options);

    // The answer's status code (valid after a successful Send).
    long Status() const { return status_; }

    // The answer's status line and header lines, each ending in CR LF, and
    // a final empty line.
    const std::string& RawHeaders() const { return headers_; }

    // Reads up to size bytes of the body into buf.  Fewer bytes only at the
    // end of the body; 0 at its end; -1 on a library error (see Error), a
    // body beyond the session's bound included.
    long Read(char* buf, long size);

    // Releases the request and its connection; idempotent.
    void Close();

    // The library's error of the last failed Send or Read.
    const HttpError& Error() const { return error_; }

    struct Impl;

private:
    // Closes any earlier request and clears its answer; false (with the
    // session's error) when the session could not be opened.
    bool Begin();
    // Takes the status from the raw headers the transport received; false
    // (with BadHead as the error) when they are no complete answer head.
    bool TakeHead();
    // True when the answer ended right after its head, before any body byte
    // (waits, within the timeouts, for the first byte or the end).
    bool EndsAtHead();
    // The transport's error for an answer head that is cut or malformed.
    static HttpError BadHead();

    CHttpSession& session_;
    long status_ = 0;
    std::string headers_;
    HttpError error_;
    std::unique_ptr<Impl> impl_;
};

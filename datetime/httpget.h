// HTTP GET client: fetches one resource and appends its body, as text, to a
// caller's string.  Follows at most one redirect; every failure becomes a
// result code, a report under the tag "HTTP" and, for some, an error line
// in the output string.
#pragma once

#include "ostrelle_api.h"

#include <string>

#include "platform/http.h"
#include "txt/cstring.h"

// Kinds of service a URL names (the scheme before "://").
enum HttpGetService {
    HTTPGET_SERVICE_UNKNOWN = 0,
    HTTPGET_SERVICE_HTTP,
    HTTPGET_SERVICE_HTTPS,
    HTTPGET_SERVICE_FTP,
    HTTPGET_SERVICE_GOPHER,
    HTTPGET_SERVICE_FILE,
};

// Longest URL accepted, in characters.
constexpr size_t kHttpGetMaxUrl = 2083;

// Splits "scheme://[user[:password]@]server[:port][/path][?query][#fragment]"
// into service, server, port (80 when absent) and object path ("/" when
// absent, the fragment dropped).  False when url is null, longer than
// kHttpGetMaxUrl, has no scheme, no server, a port outside 1..65535, or
// blanks or control characters anywhere.
OSTRELLE_API bool HttpParseUrl(const char* url, HttpGetService& service, HttpTarget& target);

// The failure of one HttpGetUrl call: code 1, the URL is not usable or
// access was denied; code 2, a redirect could not be followed or its target
// did not answer 200.  Thrown and caught inside HttpGetUrl only.
class OSTRELLE_API CHttpGetException {
public:
    explicit CHttpGetException(int code) : m_nCode(code) {}
    static const char* ClassName() { return "CHttpGetException"; }
    int m_nCode;
};

// The session of one HttpGetUrl call: agent "HTTP_GET", no automatic
// redirect, and the two request header lines.  Closed when it goes away.
class OSTRELLE_API CHttpGetSession : public CHttpSession {
public:
    static constexpr const char* kAgent = "HTTP_GET";
    static constexpr const char* kHeaders = "Accept: text/*\r\nUser-Agent: HTTP_GET\r\n";

    // Opens the session with the timeouts of HttpSetTimeouts and the body
    // bound of HttpSetMaxBody.
    CHttpGetSession();
    // Options for every request of the session.
    HttpRequestOptions RequestOptions() const;
};

// Timeouts of every request the library makes (HttpGetUrl and the time
// services): connecting, and the whole request up to the last body byte, in
// milliseconds.  Values below 1 restore the defaults kHttpConnectTimeoutMs
// (10 s) and kHttpTotalTimeoutMs (30 s).
OSTRELLE_API void HttpSetTimeouts(long connectMs, long totalMs);
OSTRELLE_API long HttpConnectTimeout();
OSTRELLE_API long HttpTotalTimeout();

// Bound of each response body, in bytes, for the same requests; a longer
// body takes the library-error path.  Values below 1 restore the default
// kHttpMaxBodyBytes (256 MiB).
OSTRELLE_API void HttpSetMaxBody(int64_t bytes);
OSTRELLE_API int64_t HttpMaxBody();

// Fetches url and appends its body to *out.  Returns 0 on success (also for
// a 4xx or 5xx answer without a redirect: the body is the error page); 1
// for a URL that is not http:// (out unchanged) or a 401 answer ("Access
// denied: Invalid password"); 2 when a redirect cannot be followed (out
// unchanged, or replaced by "*ERR:HTTPSTATUS:<status>\r\n" when the target
// answers other than 200) or after an internet-library error, timeouts
// included (out replaced by "*ERR:<number>:<text>\r\n").  A null out fetches
// and discards the body.
OSTRELLE_API int HttpGetUrl(const char* url, CString* out);

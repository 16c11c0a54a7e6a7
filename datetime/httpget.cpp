#include "datetime/httpget.h"

#include "diag/logtrace.h"
#include "textutil/strfld.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kTag = "HTTP";
constexpr long kChunk = 20000; // body bytes per read

long connectTimeoutMs = kHttpConnectTimeoutMs;
long totalTimeoutMs = kHttpTotalTimeoutMs;
int64_t maxBodyBytes = kHttpMaxBodyBytes;

// An internet-library failure inside HttpGetUrl.
struct InternetFailure {
    HttpError error;
};

HttpGetService ServiceFor(const char* scheme, size_t n) {
    static const struct {
        const char* name;
        HttpGetService service;
    } kSchemes[] = {{"http", HTTPGET_SERVICE_HTTP},
                    {"https", HTTPGET_SERVICE_HTTPS},
                    {"ftp", HTTPGET_SERVICE_FTP},
                    {"gopher", HTTPGET_SERVICE_GOPHER},
                    {"file", HTTPGET_SERVICE_FILE}};
    const std::string name(scheme, n);
    for (const auto& s : kSchemes)
        if (strcmpci(name.c_str(), s.name, 1) == 0) return s.service;
    return HTTPGET_SERVICE_UNKNOWN;
}

// Opens a GET request for target and sends it; a library failure throws.
std::unique_ptr<CHttpRequest> SendRequest(CHttpGetSession& session, const HttpTarget& target) {
    auto request = std::make_unique<CHttpRequest>(session);
    if (!request->Send(target, session.RequestOptions())) throw InternetFailure{request->Error()};
    return request;
}

// Appends the body of request to out in chunks of at most kChunk bytes; a
// zero byte ends a chunk's text.
void ReadBody(CHttpRequest& request, CString* out) {
    auto buf = std::make_unique<char[]>(kChunk + 1);
    for (;;) {
        long n = request.Read(buf.get(), kChunk);
        if (n < 0) throw InternetFailure{request.Error()};
        if (n < 1) break;
        buf[n] = '\0';
        if (out) out->append(buf.get(), std::strlen(buf.get()));
    }
}

// Follows the redirect of request (step by step: location, release, parse,
// fetch) and returns the new request, which answered 200.
std::unique_ptr<CHttpRequest> FollowRedirect(CHttpGetSession& session,
                                             std::unique_ptr<CHttpRequest> request, CString* out) {
    std::string location;
    if (!HttpHeaderValue(request->RawHeaders(), "Location", &location)) {
        LOGTRACE(kTag, 0, "Error: Site redirects with no new location");
        throw CHttpGetException(2);
    }
    request.reset();

    HttpGetService service = HTTPGET_SERVICE_UNKNOWN;
    HttpTarget target;
    if (!HttpParseUrl(location.c_str(), service, target)) {
        LOGTRACE(kTag, 0, "Error: the redirected URL could not be parsed.");
        throw CHttpGetException(2);
    }
    if (service != HTTPGET_SERVICE_HTTP) {
        LOGTRACE(kTag, 0, "Error: the redirected URL does not reference a HTTP resource.");
        throw CHttpGetException(2);
    }
    request = SendRequest(session, target);
    long status = request->Status();
    if (status != 200) {
        if (out) {
            char line[64];
            std::snprintf(line, sizeof line, "*ERR:HTTPSTATUS:%ld\r\n", status);
            *out = line;
        }
        LOGTRACE(kTag, 0, "Error: Got status code %d", int(status));
        throw CHttpGetException(2);
    }
    return request;
}

} // namespace

bool HttpParseUrl(const char* url, HttpGetService& service, HttpTarget& target) {
    service = HTTPGET_SERVICE_UNKNOWN;
    if (!url) return false;
    size_t len = strnlen(url, kHttpGetMaxUrl + 1);
    if (len == 0 || len > kHttpGetMaxUrl) return false;
    for (size_t i = 0; i < len; ++i)
        if ((unsigned char)url[i] <= ' ' || url[i] == 0x7f) return false;
    std::string text(url, len);

    size_t colon = text.find("://");
    if (colon == std::string::npos || colon == 0) return false;
    for (size_t i = 0; i < colon; ++i)
        if (!std::isalnum((unsigned char)text[i]) && text[i] != '+' && text[i] != '-' &&
            text[i] != '.')
            return false;
    HttpGetService kind = ServiceFor(text.data(), colon);

    size_t start = colon + 3;
    size_t end = text.find_first_of("/?#", start);
    if (end == std::string::npos) end = text.size();
    std::string authority = text.substr(start, end - start);
    size_t at = authority.rfind('@');
    if (at != std::string::npos) authority.erase(0, at + 1);

    std::string host = authority;
    unsigned port = 80;
    size_t portColon = authority.rfind(':');
    if (!authority.empty() && authority[0] == '[') {
        size_t close = authority.find(']');
        if (close == std::string::npos) return false;
        host = authority.substr(1, close - 1);
        std::string rest = authority.substr(close + 1);
        portColon = rest.empty() ? std::string::npos : close + 1;
        if (!rest.empty() && rest[0] != ':') return false;
    } else if (portColon != std::string::npos) {
        host = authority.substr(0, portColon);
    }
    if (portColon != std::string::npos) {
        std::string digits = authority.substr(portColon + 1);
        if (digits.empty() || digits.size() > 5) return false;
        unsigned value = 0;
        for (char c : digits) {
            if (!std::isdigit((unsigned char)c)) return false;
            value = value * 10 + unsigned(c - '0');
        }
        if (value < 1 || value > 65535) return false;
        port = value;
    }
    if (host.empty()) return false;

    std::string path = text.substr(end);
    size_t hash = path.find('#');
    if (hash != std::string::npos) path.erase(hash);
    if (path.empty() || path[0] != '/') path.insert(0, "/");

    service = kind;
    target.host = host;
    target.port = port;
    target.path = path;
    return true;
}

CHttpGetSession::CHttpGetSession() : CHttpSession(kAgent) {
    SetTimeouts(HttpConnectTimeout(), HttpTotalTimeout());
    SetMaxBody(HttpMaxBody());
}

HttpRequestOptions CHttpGetSession::RequestOptions() const {
    HttpRequestOptions options;
    options.headers = kHeaders;
    options.followRedirects = false;
    return options;
}

void HttpSetTimeouts(long connectMs, long totalMs) {
    connectTimeoutMs = connectMs > 0 ? connectMs : kHttpConnectTimeoutMs;
    totalTimeoutMs = totalMs > 0 ? totalMs : kHttpTotalTimeoutMs;
}

void HttpSetMaxBody(int64_t bytes) {
    maxBodyBytes = bytes > 0 ? bytes : kHttpMaxBodyBytes;
}

int64_t HttpMaxBody() {
    return maxBodyBytes;
}

long HttpConnectTimeout() {
    return connectTimeoutMs;
}
long HttpTotalTimeout() {
    return totalTimeoutMs;
}

int HttpGetUrl(const char* url, CString* out) {
    CHttpGetSession session;
    try {
        if (!session.Ok()) throw InternetFailure{session.Error()};
        HttpGetService service = HTTPGET_SERVICE_UNKNOWN;
        HttpTarget target;
        if (!HttpParseUrl(url, service, target) || service != HTTPGET_SERVICE_HTTP) {
            LOGTRACE(kTag, 0, "Error: can only use URLs beginning with http://");
            throw CHttpGetException(1);
        }
        std::unique_ptr<CHttpRequest> request = SendRequest(session, target);
        long status = request->Status();
        if (status == 401) {
            // A console program has no credential prompt to retry with.
            LOGTRACE(kTag, 0, "Access denied: Invalid password");
            throw CHttpGetException(1);
        }
        if (status == 301 || status == 302 || status == 303)
            request = FollowRedirect(session, std::move(request), out);
        ReadBody(*request, out);
        return 0;
    } catch (const CHttpGetException& e) {
        LOGTRACE(kTag, 0, "Error: Exiting with CHttpGetException(%d)", e.m_nCode);
        return e.m_nCode;
    } catch (const InternetFailure& f) {
        if (out) {
            char line[kHttpMaxErrorText + 64];
            std::snprintf(line, sizeof line, "*ERR:%ld:%s\r\n", f.error.code, f.error.text.c_str());
            *out = line;
        }
        LOGTRACE(kTag, 0, "Error: (%d) %s", int(f.error.code), f.error.text.c_str());
        return 2;
    }
}

// HTTP transport over the Windows internet library (WinINet).
#include "platform/http.h"

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

namespace {

// An internet handle, closed once.
class InetHandle {
public:
    InetHandle() = default;
    explicit InetHandle(HINTERNET h) : h_(h) {}
    ~InetHandle() { reset(); }
    InetHandle(const InetHandle&) = delete;
    InetHandle& operator=(const InetHandle&) = delete;
    void reset(HINTERNET h = nullptr) {
        if (h_) InternetCloseHandle(h_);
        h_ = h;
    }
    HINTERNET get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HINTERNET h_ = nullptr;
};

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.size() > kHttpMaxErrorText) text.resize(kHttpMaxErrorText);
    return text;
}

// The library's number and message text for err.
HttpError inetError(DWORD err) {
    char buf[kHttpMaxErrorText + 1] = {};
    if (err == ERROR_INTERNET_EXTENDED_ERROR) {
        DWORD code = 0;
        DWORD len = sizeof buf;
        if (InternetGetLastResponseInfoA(&code, buf, &len)) return {long(err), Trimmed(buf)};
    }
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS,
                             GetModuleHandleA("wininet.dll"), err, 0, buf, sizeof buf, nullptr);
    if (n == 0)
        n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err,
                           0, buf, sizeof buf, nullptr);
    if (n == 0) return {long(err), "Internet error " + std::to_string(err)};
    return {long(err), Trimmed(std::string(buf, n))};
}

HttpError lastError() {
    return inetError(GetLastError());
}

void setTimeouts(HINTERNET h, long connectMs, long totalMs) {
    DWORD c = DWORD(connectMs), t = DWORD(totalMs);
    InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &c, sizeof c);
    InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &t, sizeof t);
    InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &t, sizeof t);
}

} // namespace

struct CHttpSession::Impl {
    InetHandle session;
};

CHttpSession::CHttpSession(const char* agent) : agent_(agent ? agent : "") {
    impl_ = std::make_unique<Impl>();
    impl_->session.reset(
        InternetOpenA(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!impl_->session) error_ = lastError();
}

CHttpSession::~CHttpSession() = default;

bool CHttpSession::Ok() const {
    return impl_ && impl_->session;
}

struct CHttpRequest::Impl {
    InetHandle connection;
    InetHandle request;
    ULONGLONG deadline = 0;
    int64_t received = 0; // body bytes read
};

CHttpRequest::CHttpRequest(CHttpSession& session) : session_(session) {}

CHttpRequest::~CHttpRequest() {
    Close();
}

void CHttpRequest::Close() {
    if (!impl_) return;
    impl_->request.reset();
    impl_->connection.reset();
    impl_.reset();
}

bool CHttpRequest::Send(const HttpTarget& target, const HttpRequestOptions& options) {
    if (!Begin()) return false;
    impl_ = std::make_unique<Impl>();
    Impl& r = *impl_;
    r.deadline = GetTickCount64() + ULONGLONG(session_.TotalTimeout());
    HINTERNET s = session_.impl()->session.get();
    setTimeouts(s, session_.ConnectTimeout(), session_.TotalTimeout());

    r.connection.reset(InternetConnectA(s, target.host.c_str(), INTERNET_PORT(target.port), nullptr,
                                        nullptr, INTERNET_SERVICE_HTTP, 0, 1));
    if (!r.connection) {
        error_ = lastError();
        return false;
    }
    DWORD flags = INTERNET_FLAG_EXISTING_CONNECT;
    if (!options.followRedirects) flags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    if (options.reload)
        flags |= INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
    r.request.reset(HttpOpenRequestA(r.connection.get(), "GET", target.path.c_str(), nullptr,
                                     nullptr, nullptr, flags, 1));
    if (!r.request) {
        error_ = lastError();
        return false;
    }
    setTimeouts(r.request.get(), session_.ConnectTimeout(), session_.TotalTimeout());
    if (!options.headers.empty() &&
        !HttpAddRequestHeadersA(r.request.get(), options.headers.c_str(), DWORD(-1),
                                HTTP_ADDREQ_FLAG_ADD_IF_NEW)) {
        error_ = lastError();
        return false;
    }
    if (!HttpSendRequestA(r.request.get(), nullptr, 0, nullptr, 0)) {
        error_ = lastError();
        return false;
    }
    std::vector<char> buf(4096);
    for (int tries = 0; tries < 4; ++tries) {
        DWORD len = DWORD(buf.size());
        if (HttpQueryInfoA(r.request.get(), HTTP_QUERY_RAW_HEADERS_CRLF, buf.data(), &len,
                           nullptr)) {
            headers_.assign(buf.data(), len);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || len > 1024 * 1024) break;
        buf.resize(size_t(len) + 1);
    }
    return TakeHead();
}

bool CHttpRequest::EndsAtHead() {
    DWORD available = 0;
    return InternetQueryDataAvailable(impl_->request.get(), &available, 0, 0) && available == 0;
}

HttpError CHttpRequest::BadHead() {
    return inetError(ERROR_HTTP_INVALID_SERVER_RESPONSE);
}

long CHttpRequest::Read(char* buf, long size) {
    if (!impl_ || size <= 0) return 0;
    long got = 0;
    while (got < size) {
        if (GetTickCount64() > impl_->deadline) {
            error_ = inetError(ERROR_INTERNET_TIMEOUT);
            return got > 0 ? got : -1;
        }
        DWORD n = 0;
        if (!InternetReadFile(impl_->request.get(), buf + got, DWORD(size - got), &n)) {
            error_ = lastError();
            return got > 0 ? got : -1;
        }
        if (n == 0) break;
        impl_->received += int64_t(n);
        if (impl_->received > session_.MaxBody()) {
            error_ = inetError(ERROR_FILE_TOO_LARGE);
            return -1;
        }
        got += long(n);
    }
    return got;
}

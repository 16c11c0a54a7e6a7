// HTTP transport over libcurl's multi interface, so that the body can be
// handed out in pieces as it arrives instead of being collected whole.
#include "platform/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

namespace {

// Body bytes held between reads before the transfer is paused.
constexpr size_t kMaxPending = 64 * 1024;
// Response headers larger than this end the request (curl limits single
// lines itself; this bounds their number).
constexpr size_t kMaxHeaderBytes = 256 * 1024;
// Longest wait for socket activity in one step.
constexpr int kPollMs = 100;
// Grace beyond the total timeout before we give up on curl ourselves.
constexpr long kDeadlineGraceMs = 2000;

// curl_global_init once per process, before the first handle.
void GlobalInit() {
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

std::string Cut(std::string text) {
    if (text.size() > kHttpMaxErrorText) text.resize(kHttpMaxErrorText);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

} // namespace

struct CHttpSession::Impl {
    CURLM* multi = nullptr;
    ~Impl() {
        if (multi) curl_multi_cleanup(multi);
    }
};

CHttpSession::CHttpSession(const char* agent) : agent_(agent ? agent : "") {
    GlobalInit();
    impl_ = std::make_unique<Impl>();
    impl_->multi = curl_multi_init();
    if (!impl_->multi) error_ = {CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT)};
}

CHttpSession::~CHttpSession() = default;

bool CHttpSession::Ok() const {
    return impl_ && impl_->multi;
}

struct CHttpRequest::Impl {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    bool added = false;
    std::unique_ptr<curl_slist, SlistDeleter> headerList;
    char errbuf[CURL_ERROR_SIZE] = {};

    std::string* rawHeaders = nullptr;
    bool following = false; // curl follows redirects itself
    bool headersDone = false;
    bool headersTooLong = false;

    int64_t maxBody = kHttpMaxBodyBytes;
    int64_t received = 0; // body bytes taken from curl
    bool bodyTooLong = false;

    std::string pending; // body bytes not yet read
    size_t pendingPos = 0;
    size_t wanted = 0; // size of the read in progress
    bool paused = false;

    bool done = false;
    CURLcode result = CURLE_OK;
    std::chrono::steady_clock::time_point deadline;

    size_t Available() const { return pending.size() - pendingPos; }

    static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<Impl*>(user);
        size_t n = size * count;
        if (n >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
            // A new answer (after an interim 1xx one): start over.
            self->rawHeaders->clear();
            self->headersDone = false;
        }
        if (self->rawHeaders->size() + n > kMaxHeaderBytes) {
            self->headersTooLong = true;
            return 0;
        }
        self->rawHeaders->append(data, n);
        if ((n == 2 && data[0] == '\r' && data[1] == '\n') || (n == 1 && data[0] == '\n')) {
            long code = 0;
            curl_easy_getinfo(self->easy, CURLINFO_RESPONSE_CODE, &code);
            // Interim answers, and redirects that curl is going to follow,
            // are not the answer yet.
            bool followed = self->following && code >= 300 && code < 400 &&
                            HttpHeaderValue(*self->rawHeaders, "Location", nullptr);
            if ((code >= 200 || code == 0) && !followed) self->headersDone = true;
        }
        return n;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<Impl*>(user);
        size_t n = size * count;
        self->headersDone = true;
        if (self->Available() >= std::max(kMaxPending, self->wanted)) {
            self->paused = true;
            return CURL_WRITEFUNC_PAUSE; // delivered again once unpaused
        }
        if (self->received + int64_t(n) > self->maxBody) {
            self->bodyTooLong = true;
            return 0; // ends the transfer
        }
        self->received += int64_t(n);
        if (self->pendingPos > 0) {
            self->pending.erase(0, self->pendingPos);
            self->pendingPos = 0;
        }
        self->pending.append(data, n);
        return n;
    }

    // One step of the transfer: let curl work, then wait for activity.
    void Pump() {
        int running = 0;
        CURLMcode mc = curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE && msg->easy_handle == easy) {
                done = true;
                result = msg->data.result;
            }
        }
        if (mc != CURLM_OK && !done) {
            done = true;
            result = CURLE_FAILED_INIT;
            std::snprintf(errbuf, sizeof errbuf, "%s", curl_multi_strerror(mc));
            return;
        }
        if (done) return;
        if (std::chrono::steady_clock::now() > deadline) {
            done = true;
            result = CURLE_OPERATION_TIMEDOUT;
            std::snprintf(errbuf, sizeof errbuf, "Operation timed out");
            return;
        }
        curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr);
    }

    HttpError Error() const {
        if (headersTooLong) return {CURLE_WRITE_ERROR, "Response headers too long"};
        if (bodyTooLong)
            return {CURLE_FILESIZE_EXCEEDED, curl_easy_strerror(CURLE_FILESIZE_EXCEEDED)};
        return {long(result), Cut(errbuf[0] ? errbuf : curl_easy_strerror(result))};
    }
};

CHttpRequest::CHttpRequest(CHttpSession& session) : session_(session) {}

CHttpRequest::~CHttpRequest() {
    Close();
}

void CHttpRequest::Close() {
    if (!impl_) return;
    if (impl_->easy) {
        if (impl_->added) curl_multi_remove_handle(impl_->multi, impl_->easy);
        curl_easy_cleanup(impl_->easy);
    }
    impl_.reset();
}

namespace {

// Adds each CR LF-terminated line of text to the list.
bool AddLines(std::unique_ptr<curl_slist, SlistDeleter>& list, const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) {
            curl_slist* grown = curl_slist_append(list.get(), line.c_str());
            if (!grown) return false;
            (void)list.release();
            list.reset(grown);
        }
        start = end + 1;
    }
    return true;
}

} // namespace

bool CHttpRequest::Send(const HttpTarget& target, const HttpRequestOptions& options) {
    if (!Begin()) return false;
    impl_ = std::make_unique<Impl>();
    Impl& r = *impl_;
    r.multi = session_.impl()->multi;
    r.rawHeaders = &headers_;
    r.following = options.followRedirects;
    r.maxBody = session_.MaxBody();
    r.easy = curl_easy_init();
    if (!r.easy) {
        error_ = {CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT)};
        return false;
    }
    std::string headerText = options.headers;
    if (options.reload) headerText += "Cache-Control: no-cache\r\nPragma: no-cache\r\n";
    if (!AddLines(r.headerList, headerText)) {
        error_ = {CURLE_OUT_OF_MEMORY, curl_easy_strerror(CURLE_OUT_OF_MEMORY)};
        return false;
    }
    bool literal6 = target.host.find(':') != std::string::npos;
    std::string url = "http://" + (literal6 ? "[" + target.host + "]" : target.host) + ":" +
                      std::to_string(target.port) + target.path;

    CURL* e = r.easy;
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, session_.Agent().c_str());
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, r.headerList.get());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, options.followRedirects ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, session_.ConnectTimeout());
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, session_.TotalTimeout());
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(session_.MaxBody()));
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, r.errbuf);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &r);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &r);
    r.deadline = std::chrono::steady_clock::now() +
                 std::chrono::milliseconds(session_.TotalTimeout() + kDeadlineGraceMs);

    if (curl_multi_add_handle(r.multi, e) != CURLM_OK) {
        error_ = {CURLE_FAILED_INIT, curl_easy_strerror(CURLE_FAILED_INIT)};
        return false;
    }
    r.added = true;
    while (!r.headersDone && !r.done) r.Pump();
    if (r.done && r.result != CURLE_OK) {
        error_ = r.Error();
        return false;
    }
    // libcurl takes a connection closed inside the header block for the end
    // of a complete answer: the head decides.
    return TakeHead();
}

bool CHttpRequest::EndsAtHead() {
    Impl& r = *impl_;
    while (!r.done && r.Available() == 0) r.Pump();
    return r.done && r.result == CURLE_OK && r.received == 0;
}

HttpError CHttpRequest::BadHead() {
    return {CURLE_WEIRD_SERVER_REPLY, curl_easy_strerror(CURLE_WEIRD_SERVER_REPLY)};
}

long CHttpRequest::Read(char* buf, long size) {
    if (!impl_ || size <= 0) return 0;
    Impl& r = *impl_;
    r.wanted = size_t(size);
    while (r.Available() < size_t(size) && !r.done) {
        if (r.paused) {
            r.paused = false;
            curl_easy_pause(r.easy, CURLPAUSE_CONT);
            continue;
        }
        r.Pump();
    }
    size_t n = std::min(r.Available(), size_t(size));
    if (n == 0 && r.done && r.result != CURLE_OK) {
        error_ = r.Error();
        return -1;
    }
    std::memcpy(buf, r.pending.data() + r.pendingPos, n);
    r.pendingPos += n;
    return long(n);
}

#include "platform/http.h"

#include "asciicase.h"

#include <string_view>

bool HttpHeaderValue(const std::string& headers, const char* name, std::string* value) {
    const std::string prefix = std::string(name ? name : "") + ":";
    size_t start = 0;
    while (start < headers.size()) {
        size_t end = headers.find('\n', start);
        if (end == std::string::npos) end = headers.size();
        const std::string line = headers.substr(start, end - start);
        if (AsciiStartsWithFolded(line.c_str(), prefix)) {
            size_t b = prefix.size(), e = line.size();
            while (b < e && (line[b] == ' ' || line[b] == '\t')) ++b;
            while (e > b && (line[e - 1] == '\r' || line[e - 1] == ' ' || line[e - 1] == '\t')) --e;
            if (value) *value = line.substr(b, e - b);
            return true;
        }
        start = end + 1;
    }
    return false;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The status code of a status line (without its line end), or -1.
long StatusOf(std::string_view line) {
    if (line.substr(0, 5) != "HTTP/") return -1;
    size_t i = 5;
    while (i < line.size() && (IsDigit(line[i]) || line[i] == '.')) ++i;
    if (i == 5 || i >= line.size() || line[i] != ' ') return -1;
    while (i < line.size() && line[i] == ' ') ++i;
    if (line.size() - i < 3 || !IsDigit(line[i]) || !IsDigit(line[i + 1]) || !IsDigit(line[i + 2]))
        return -1;
    if (line.size() - i > 3 && line[i + 3] != ' ') return -1;
    return (line[i] - '0') * 100 + (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
}

} // namespace

int HttpParseHead(const std::string& raw, HttpHead* head) {
    std::string_view text(raw);
    size_t eol = text.find('\n');
    if (eol == std::string_view::npos) return 0;
    std::string_view first = text.substr(0, eol);
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    const long status = StatusOf(first);
    if (status < 0) return -1;
    for (size_t start = eol + 1; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return 0; // a header line without its end
        std::string_view line = text.substr(start, end - start);
        if (line.empty() || line == "\r") {
            if (head) *head = {status, end + 1};
            return 1;
        }
        start = end + 1;
    }
    return 0;
}

bool HttpHeadBoundsBody(const std::string& raw, long status) {
    if ((status >= 100 && status < 200) || status == 204 || status == 304) return true;
    if (HttpHeaderValue(raw, "Content-Length", nullptr)) return true;
    std::string coding;
    return HttpHeaderValue(raw, "Transfer-Encoding", &coding) &&
           AsciiHoldsFolded(coding.c_str(), "chunked");
}

bool CHttpRequest::TakeHead() {
    HttpHead head;
    bool whole = HttpParseHead(headers_, &head) == 1;
    if (whole && !HttpHeadBoundsBody(headers_, head.status) && EndsAtHead()) whole = false;
    if (!whole) {
        error_ = BadHead();
        return false;
    }
    status_ = head.status;
    return true;
}

bool CHttpRequest::Begin() {
    Close();
    status_ = 0;
    headers_.clear();
    error_ = {};
    if (!session_.Ok()) {
        error_ = session_.Error();
        return false;
    }
    return true;
}

#include "platform/http.h"

#include "textutil/strfld.h"

bool HttpHeaderValue(const std::string& headers, const char* name, std::string* value) {
    const std::string prefix = std::string(name ? name : "") + ":";
    size_t start = 0;
    while (start < headers.size()) {
        size_t end = headers.find('\n', start);
        if (end == std::string::npos) end = headers.size();
        const std::string line = headers.substr(start, end - start);
        if (strcmpci(prefix.c_str(), line.c_str(), 2) == 0) {
            size_t b = prefix.size(), e = line.size();
            while (b < e && (line[b] == ' ' || line[b] == '\t')) ++b;
            while (e > b && (line[e - 1] == '\r' || line[e - 1] == ' ' || line[e - 1] == '\t'))
                --e;
            if (value) *value = line.substr(b, e - b);
            return true;
        }
        start = end + 1;
    }
    return false;
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

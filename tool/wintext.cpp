#include "tool/wintext.h"

#include "winsys/wsdefs.h"

#include <algorithm>

namespace {

template <typename Read> std::string ReadInto(int size, Read read) {
    if (size <= 0) return std::string();
    char small[kTextSize];
    std::vector<char> large;
    char* buf = small;
    if (size > kTextSize) {
        large.resize(size_t(size));
        buf = large.data();
    }
    buf[0] = '\0';
    read(buf, size);
    buf[size - 1] = '\0';
    return buf;
}

} // namespace

std::string ClassOf(CWinSys& ws, WsHandle h, int size) {
    return ReadInto(size, [&](char* buf, int n) { ws.GetClassNameA(h, buf, n); });
}

std::string CaptionOf(CWinSys& ws, WsHandle h, int size) {
    return ReadInto(size, [&](char* buf, int n) { ws.GetWindowTextA(h, buf, n); });
}

intptr_t ReadText(CWinSys& ws, WsHandle h, std::vector<char>& buf) {
    std::fill(buf.begin(), buf.end(), '\0');
    const size_t size = buf.size() - 1;
    const intptr_t answer =
        ws.SendMessageA(h, wm::GETTEXT, uintptr_t(size), reinterpret_cast<intptr_t>(buf.data()));
    buf[size - 1] = '\0';
    return answer;
}

std::string TextOf(CWinSys& ws, WsHandle h, int size) {
    std::vector<char> buf(size_t(size) + 1);
    ReadText(ws, h, buf);
    return buf.data();
}

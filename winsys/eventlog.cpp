#include "winsys/eventlog.h"

#include "textutil/strfld.h"
#include "winsys/wsdefs.h"

#include <cstdio>
#include <cstring>

namespace evlog {

namespace {

struct MessageRow {
    uint32_t msg;
    const char* name;
    int pointer; // 0 none, 1 input text, 2 output buffer
};

const MessageRow kMessages[] = {
    {wm::NULL_, "WM_NULL", 0},
    {wm::SIZE, "WM_SIZE", 0},
    {wm::SETFOCUS, "WM_SETFOCUS", 0},
    {wm::KILLFOCUS, "WM_KILLFOCUS", 0},
    {wm::ENABLE, "WM_ENABLE", 0},
    {wm::SETTEXT, "WM_SETTEXT", 1},
    {wm::GETTEXT, "WM_GETTEXT", 2},
    {wm::GETTEXTLENGTH, "WM_GETTEXTLENGTH", 0},
    {wm::SETFONT, "WM_SETFONT", 0},
    {wm::GETFONT, "WM_GETFONT", 0},
    {wm::KEYDOWN, "WM_KEYDOWN", 0},
    {wm::KEYUP, "WM_KEYUP", 0},
    {wm::CHAR, "WM_CHAR", 0},
    {wm::SYSKEYDOWN, "WM_SYSKEYDOWN", 0},
    {wm::SYSKEYUP, "WM_SYSKEYUP", 0},
    {wm::SYSCHAR, "WM_SYSCHAR", 0},
    {wm::COMMAND, "WM_COMMAND", 0},
    {wm::LBUTTONDOWN, "WM_LBUTTONDOWN", 0},
    {wm::LBUTTONUP, "WM_LBUTTONUP", 0},
    {wm::LBUTTONDBLCLK, "WM_LBUTTONDBLCLK", 0},
    {wm::RBUTTONDOWN, "WM_RBUTTONDOWN", 0},
    {wm::RBUTTONUP, "WM_RBUTTONUP", 0},
    {wm::RBUTTONDBLCLK, "WM_RBUTTONDBLCLK", 0},
    {wm::MBUTTONDOWN, "WM_MBUTTONDOWN", 0},
    {wm::MBUTTONUP, "WM_MBUTTONUP", 0},
    {wm::MBUTTONDBLCLK, "WM_MBUTTONDBLCLK", 0},
    {wm::COPY, "WM_COPY", 0},
    {wm::RENDERFORMAT, "WM_RENDERFORMAT", 0},
    {wm::USER, "WM_USER", 0},
    {bm::GETCHECK, "BM_GETCHECK", 0},
    {bm::SETCHECK, "BM_SETCHECK", 0},
    {bm::CLICK, "BM_CLICK", 0},
    {lb::ADDSTRING, "LB_ADDSTRING", 1},
    {lb::SETSEL, "LB_SETSEL", 0},
    {lb::SETCURSEL, "LB_SETCURSEL", 0},
    {lb::GETSEL, "LB_GETSEL", 0},
    {lb::GETSELCOUNT, "LB_GETSELCOUNT", 0},
    {lb::GETCURSEL, "LB_GETCURSEL", 0},
    {lb::GETTEXT, "LB_GETTEXT", 2},
    {lb::GETTEXTLEN, "LB_GETTEXTLEN", 0},
    {lb::GETCOUNT, "LB_GETCOUNT", 0},
    {lb::GETHORIZONTALEXTENT, "LB_GETHORIZONTALEXTENT", 0},
    {lb::GETITEMDATA, "LB_GETITEMDATA", 0},
    {lb::GETITEMHEIGHT, "LB_GETITEMHEIGHT", 0},
    {cb::GETCOUNT, "CB_GETCOUNT", 0},
    {cb::GETCURSEL, "CB_GETCURSEL", 0},
    {cb::GETLBTEXT, "CB_GETLBTEXT", 2},
    {cb::GETLBTEXTLEN, "CB_GETLBTEXTLEN", 0},
    {cb::SETCURSEL, "CB_SETCURSEL", 0},
    {cb::GETITEMDATA, "CB_GETITEMDATA", 0},
    {lvm::GETITEMCOUNT, "LVM_GETITEMCOUNT", 0},
    {lvm::GETNEXTITEM, "LVM_GETNEXTITEM", 0},
    {lvm::SETITEMSTATE, "LVM_SETITEMSTATE", 0},
    {lvm::GETITEMSTATE, "LVM_GETITEMSTATE", 0},
    {lvm::GETITEMTEXTA, "LVM_GETITEMTEXTA", 0},
    {lvm::GETITEMTEXTW, "LVM_GETITEMTEXTW", 0},
    {lvm::GETSELECTEDCOUNT, "LVM_GETSELECTEDCOUNT", 0},
};

const MessageRow* Row(uint32_t msg) {
    for (const MessageRow& r : kMessages)
        if (r.msg == msg) return &r;
    return nullptr;
}

} // namespace

std::string Hex4(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "%04X", unsigned(v));
    return b;
}

std::string Hex8(uint32_t v) {
    char b[16];
    std::snprintf(b, sizeof b, "%08X", unsigned(v));
    return b;
}

std::string Hex16(uint64_t v) {
    char b[24];
    std::snprintf(b, sizeof b, "%016llX", (unsigned long long)v);
    return b;
}

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                char b[8];
                std::snprintf(b, sizeof b, "\\x%02X", c);
                out += b;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

std::string MessageName(uint32_t msg) {
    if (const MessageRow* r = Row(msg)) return r->name;
    char b[16];
    std::snprintf(b, sizeof b, "0x%04X", unsigned(msg));
    return b;
}

bool MessageByName(const std::string& name, uint32_t* msg) {
    for (const MessageRow& r : kMessages)
        if (strcmpci(name.c_str(), r.name, 1) == 0) {
            *msg = r.msg;
            return true;
        }
    return false;
}

bool CarriesPointer(uint32_t msg) {
    const MessageRow* r = Row(msg);
    return r && r->pointer != 0;
}

bool FillsBuffer(uint32_t msg) {
    const MessageRow* r = Row(msg);
    return r && r->pointer == 2;
}

std::string MessageText(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    const MessageRow* r = Row(msg);
    std::string out = MessageName(msg) + " " + Hex8(uint32_t(wParam)) + " ";
    if (r && r->pointer == 1)
        out += lParam ? Quote(reinterpret_cast<const char*>(lParam)) : "null";
    else if (r && r->pointer == 2)
        out += lParam ? "buf" : "null";
    else
        out += Hex8(uint32_t(lParam));
    return out;
}

} // namespace evlog

void CEventLog::Emit(const std::string& line) {
    if (stream_) {
        std::fputs(line.c_str(), stream_);
        std::fputc('\n', stream_);
        std::fflush(stream_);
    }
    if (capture_) lines_.push_back(line);
}

void CEventLog::FlushPending() {
    if (pending_.empty()) return;
    Emit(pending_);
    pending_.clear();
}

void CEventLog::Line(const std::string& text) {
    FlushPending();
    Emit(Indent() + text);
}

void CEventLog::BeginSend(const std::string& text) {
    FlushPending();
    pending_ = Indent() + text;
}

void CEventLog::EndSend(intptr_t result) {
    const std::string answer = "-> " + std::to_string(int64_t(result));
    if (!pending_.empty()) {
        Emit(pending_ + " " + answer);
        pending_.clear();
    } else {
        Emit(Indent() + answer);
    }
}

// Window targeting: Wnd, WndClass, FindDlg and the searches behind them.
#include "textutil/strfld.h"
#include "tool/commands.h"
#include "tool/state.h"
#include "tool/target.h"
#include "txt/ctxt.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kTextSize = 1000; // window texts and class names
constexpr uint32_t kLastHandle = 0xFFFF;

uint32_t gFound = 0; // the window the last title search found

void Upper(char* s) {
    for (; *s; ++s) *s = char(std::toupper((unsigned char)*s));
}

// Removes every '&' from s in place.
void StripAmpersands(char* s) {
    char* out = s;
    for (const char* in = s; *in; ++in)
        if (*in != '&') *out++ = *in;
    *out = '\0';
}

// Reads hwnd's caption into buf.
void Caption(uint32_t hwnd, char (&buf)[kTextSize]) {
    buf[0] = '\0';
    WinSys().GetWindowTextA(hwnd, buf, kTextSize);
}

} // namespace

void MakeCurrent(uint32_t hwnd) {
    State().hWnd = hwnd;
    CWinSys& ws = WinSys();
    ws.SetFocus(hwnd);
    ws.SetCapture(hwnd);
    ws.Sleep(1000);
}

int wndmatch(uint32_t hwnd, intptr_t) {
    const CommandState& st = State();
    CWinSys& ws = WinSys();
    char text[kTextSize];
    Caption(hwnd, text);
    Upper(text);
    if (strfindci(text, st.titlePattern.c_str()) < 0) return 1;
    if (!st.classText.empty()) {
        char cls[kTextSize] = "";
        ws.GetClassNameA(hwnd, cls, kTextSize);
        if (strcmpci(cls, st.classText.c_str(), 1) != 0) return 1;
    }
    if (!ws.IsWindowVisible(hwnd)) return 1;
    gFound = hwnd;
    return 0;
}

uint32_t findwnd(const char* cls, const char* title, int mode, int n) {
    CWinSys& ws = WinSys();
    int count = 0;
    for (uint32_t h = 0; h < kLastHandle; ++h) {
        char name[kTextSize] = "";
        if (ws.GetClassNameA(h, name, kTextSize) < 1) continue;
        if (strcmpci(name, cls, 1) != 0) continue;
        char caption[kTextSize];
        Caption(h, caption);
        StripAmpersands(caption);
        bool pass = true;
        switch (mode) {
        case 0:
            pass = strfindci(caption, title) >= 0 && ws.IsWindowVisible(h);
            break;
        case 1:
            pass = strcmpci(title, caption, 2) == 0;
            break;
        case 2:
            pass = strcmpci(caption, title, 1) == 0;
            break;
        case 3:
            pass = strfindci(caption, title) >= 0;
            break;
        default:
            break;
        }
        if (pass && ++count == n) return h;
    }
    return 0;
}

uint32_t finddlg(const char* title) {
    CWinSys& ws = WinSys();
    for (uint32_t h = 0; h <= kLastHandle; ++h) {
        char cls[kTextSize] = "";
        if (ws.GetClassNameA(h, cls, kTextSize) < 2) continue;
        if (strcmpci(cls, "#32770", 1) != 0) continue;
        char caption[kTextSize];
        Caption(h, caption);
        if (caption[0] == '\0') continue;
        if (strcmpci(title, caption, 2) == 0) return h;
    }
    return 0;
}

void CmdWnd(const CommandCall& call) {
    CommandState& st = State();
    CWinSys& ws = WinSys();
    if (strcmpci("0x", call.args, 2) == 0) {
        const uint32_t h = hexvalue(call.args + 2);
        if (h != 0) MakeCurrent(h);
    } else {
        char pattern[kTextSize], cls[kTextSize];
        strfld(call.line, ',', 2, 0, pattern, kTextSize);
        strfld(call.line, ',', 3, 0, cls, kTextSize);
        Upper(pattern);
        st.titlePattern = pattern;
        st.classText = cls;
        gFound = 0;
        uint32_t h = 0;
        if (ws.EnumWindows(wndmatch, 0) == 0) {
            h = gFound;
        } else {
            for (uint32_t v = 0; v <= kLastHandle && h == 0; ++v)
                if (wndmatch(v, 0) == 0) h = v;
        }
        if (h == 0) {
            std::printf("Title '%s' not found (Class=%s)\n", pattern, cls);
            return;
        }
        MakeCurrent(h);
    }
    char text[kTextSize];
    std::memset(text, 0, sizeof text);
    ws.SendMessageA(st.hWnd, wm::GETTEXT, kTextSize, reinterpret_cast<intptr_t>(text));
    text[kTextSize - 1] = '\0';
    std::printf("New Window: 0x%08X (%s)\n", unsigned(st.hWnd), text);
}

void CmdWndClass(const CommandCall& call) {
    CTxt title, cls;
    strfldtxt(call.args, ',', 1, 0, &title);
    strfldtxt(call.args, ',', 2, 0, &cls);
    const uint32_t h = findwnd(cls, title, 1, 1);
    if (h == 0) {
        std::printf("Title '%s' and CLass '%s' not found\n", (const char*)title, (const char*)cls);
        return;
    }
    MakeCurrent(h);
    char text[kTextSize];
    Caption(h, text);
    std::printf("New Window: 0x%08X (%s)\n", unsigned(h), text);
}

void CmdFindDlg(const CommandCall& call) {
    CommandState& st = State();
    st.dlgTitle = call.args;
    const uint32_t h = finddlg(st.dlgTitle.c_str());
    std::printf("window=%6d (%08X)\r\n", int(h), unsigned(h));
}

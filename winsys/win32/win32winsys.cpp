// The real window system: every operation is the Win32 call of the same name.
//
// Handles cross the interface as 32-bit numbers. Window, menu and GDI handles
// carry only 32 significant bits on 64-bit Windows and are sign-extended when
// widened (as HWND_TOPMOST, -1, must be); process handles, clipboard data and
// remote addresses travel as 64-bit numbers.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "textutil/utf8.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

template <typename H> H ToHandle(WsHandle h) {
    return reinterpret_cast<H>(static_cast<intptr_t>(static_cast<int32_t>(h)));
}
HWND Wnd(WsHandle h) {
    return ToHandle<HWND>(h);
}
template <typename H> WsHandle FromHandle(H h) {
    return static_cast<WsHandle>(reinterpret_cast<uintptr_t>(h));
}
HANDLE Mem(WsMem m) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(m));
}
template <typename P> WsMem FromMem(P p) {
    return static_cast<WsMem>(reinterpret_cast<uintptr_t>(p));
}

// Longest item text read from another process's list or combo box; a
// length beyond it reads as an error rather than a huge allocation.
constexpr LRESULT kMaxItemText = 1 << 20;
constexpr size_t kItemSlack = 256;
// Longest window text read by WM_GETTEXT, in UTF-16 units.
constexpr LRESULT kMaxText = 1 << 20;

// Sends to one window, each send waiting at most timeoutMs (0: as long as
// the receiver takes) and giving up at once on a hung receiver.  Once a
// send goes unanswered the later ones are not made.
class BoundedSender {
public:
    BoundedSender(HWND hwnd, uint32_t timeoutMs) : hwnd_(hwnd), timeoutMs_(timeoutMs) {}

    LRESULT A(UINT msg, WPARAM wParam, LPARAM lParam) { return Send(false, msg, wParam, lParam); }
    LRESULT W(UINT msg, WPARAM wParam, LPARAM lParam) { return Send(true, msg, wParam, lParam); }

    bool Answered() const { return answered_; }
    // The system's error of the unanswered send (ERROR_TIMEOUT when the
    // bound ran out).
    DWORD Error() const { return error_; }

private:
    LRESULT Send(bool wide, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (!answered_) return 0;
        if (timeoutMs_ == 0)
            return wide ? ::SendMessageW(hwnd_, msg, wParam, lParam)
                        : ::SendMessageA(hwnd_, msg, wParam, lParam);
        DWORD_PTR answer = 0;
        ::SetLastError(0);
        const LRESULT ok = wide ? ::SendMessageTimeoutW(hwnd_, msg, wParam, lParam,
                                                        SMTO_ABORTIFHUNG, timeoutMs_, &answer)
                                : ::SendMessageTimeoutA(hwnd_, msg, wParam, lParam,
                                                        SMTO_ABORTIFHUNG, timeoutMs_, &answer);
        if (ok) return LRESULT(answer);
        error_ = ::GetLastError();
        answered_ = false;
        return 0;
    }

    HWND hwnd_;
    uint32_t timeoutMs_;
    bool answered_ = true;
    DWORD error_ = 0;
};

// Texts cross this layer as UTF-8 and the platform as UTF-16: every text is
// read and written with the wide call or message and converted here.

std::string Utf8Of(const wchar_t* units, size_t count) {
    return Utf8FromUtf16(reinterpret_cast<const char16_t*>(units), count);
}

std::wstring WideOf(const char* text) {
    const std::u16string wide = Utf16FromUtf8(text ? text : "");
    return std::wstring(wide.begin(), wide.end());
}

// Copies text into buf (size bytes) cut before a character that would not
// fit whole; the length copied.
int CopyCut(const std::string& text, char* buf, size_t size) {
    if (!buf || size == 0) return 0;
    const size_t n = Utf8CutLength(text, size - 1);
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return int(n);
}

// A text read by a wide call into units UTF-16 units, as the UTF-8 text
// it stands for.  read fills the buffer it is given and returns the units
// it wrote.
template <typename Read> std::string ReadWide(size_t units, Read read) {
    std::vector<wchar_t> wide(units + 1, L'\0');
    long got = long(read(wide.data(), units + 1));
    if (got < 0) got = 0;
    if (size_t(got) > units) got = long(units);
    return Utf8Of(wide.data(), size_t(got));
}

// LB_GETTEXT / CB_GETLBTEXT through the wide messages: the item's length in
// UTF-16 units, then its text into a buffer of that size; empty and false
// when the control reports an error or an item beyond kMaxItemText.
bool ReadItem(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index, std::string* text) {
    const LRESULT len = send.W(lenMsg, index, 0);
    if (len < 0 || len > kMaxItemText) return false;
    // Some room beyond the length asked for: the owner may lengthen the item
    // between the two calls.
    std::vector<wchar_t> wide(size_t(len) + 1 + kItemSlack, L'\0');
    LRESULT got = send.W(textMsg, index, reinterpret_cast<LPARAM>(wide.data()));
    if (got < 0) return false;
    if (got > len) got = len; // never more than the length asked for
    *text = Utf8Of(wide.data(), size_t(got));
    return true;
}

// LB_GETTEXTLEN / CB_GETLBTEXTLEN: the item's length in UTF-8 bytes.
intptr_t GetItemLength(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index) {
    std::string text;
    if (!ReadItem(send, lenMsg, textMsg, index, &text)) return -1; // LB_ERR and CB_ERR
    return intptr_t(text.size());
}

// LB_GETTEXT / CB_GETLBTEXT into the caller's buffer, as UTF-8.  The caller
// sized its buffer by the length message (GetItemLength): at most that
// many bytes, measured again now, are written with the terminating zero.
intptr_t GetItemText(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index, char* out) {
    const LRESULT err = -1; // LB_ERR and CB_ERR
    if (!out) return err;
    std::string text;
    if (!ReadItem(send, lenMsg, textMsg, index, &text)) return err;
    return CopyCut(text, out, text.size() + 1);
}

// WM_GETTEXT into the caller's buffer of size bytes, as UTF-8 cut before a
// character that would not fit; every UTF-16 unit makes at least one byte,
// so size - 1 units are asked for.
intptr_t GetText(BoundedSender& send, WPARAM size, char* out) {
    if (!out || size == 0) return 0;
    const size_t units = std::min<size_t>(size_t(size) - 1, size_t(kMaxText));
    const std::string text = ReadWide(units, [&](wchar_t* wide, size_t n) {
        return send.W(WM_GETTEXT, n, reinterpret_cast<LPARAM>(wide));
    });
    return CopyCut(text, out, size_t(size));
}

// WM_GETTEXTLENGTH: the text's length in UTF-8 bytes, read whole.
intptr_t GetTextLength(BoundedSender& send) {
    const LRESULT units = send.W(WM_GETTEXTLENGTH, 0, 0);
    if (units <= 0) return 0;
    const size_t n = std::min<size_t>(size_t(units), size_t(kMaxText));
    const std::string text = ReadWide(n, [&](wchar_t* wide, size_t count) {
        return send.W(WM_GETTEXT, count, reinterpret_cast<LPARAM>(wide));
    });
    return intptr_t(text.size());
}

struct EnumContext {
    WsEnumProc proc;
    intptr_t lParam;
    bool stopped = false; // proc returned 0
};

BOOL CALLBACK EnumTrampoline(HWND hwnd, LPARAM lp) {
    EnumContext* ctx = reinterpret_cast<EnumContext*>(lp);
    if (ctx->proc(FromHandle(hwnd), ctx->lParam) != 0) return TRUE;
    ctx->stopped = true;
    return FALSE;
}

// Enumerates the descendants of parent; false when proc stopped it or the
// system failed (a parent without children is no failure, though the call
// answers FALSE for it).
bool EnumDescendants(HWND parent, EnumContext& ctx) {
    ::SetLastError(ERROR_SUCCESS);
    if (::EnumChildWindows(parent, EnumTrampoline, reinterpret_cast<LPARAM>(&ctx))) return true;
    return !ctx.stopped && ::GetLastError() == ERROR_SUCCESS;
}

// False for values that can name no window: 0, any value whose low 16 bits
// are 0 (the handle table has no entry 0; Wine answers some calls for such
// values as if they named a window), and any whose low 16 bits are 0xFFFF:
// that is HWND_BROADCAST, and a message to it would reach every top-level
// window of the desktop while a scan of the handle values only means to try
// one number.
bool Named(WsHandle h) {
    const WsHandle low = h & 0xFFFF;
    return low != 0 && low != 0xFFFF;
}

// The most message-only windows an enumeration follows: the handle table
// holds fewer windows than this.
constexpr int kMaxMessageWindows = 0x10000;

bool KnownLongIndex(int index) {
    return index == GWL_STYLE || index == GWL_EXSTYLE || index == GWL_ID;
}

class CWin32WinSys final : public CWinSys {
public:
    const char* Description() const override { return "Desktop: Win32 (this computer's windows)"; }
    bool NamesWindow(WsHandle hwnd) override { return Named(hwnd) && ::IsWindow(Wnd(hwnd)); }
    uint32_t ProcessIdOf(WsMem process) override {
        return process ? uint32_t(::GetProcessId(Mem(process))) : 0;
    }

    // --- Identity and text ---------------------------------------------
    bool IsWindow(WsHandle hwnd) override { return Named(hwnd) && ::IsWindow(Wnd(hwnd)); }
    int GetClassNameA(WsHandle hwnd, char* buf, int size) override {
        if (!buf || size <= 0) return 0;
        buf[0] = '\0';
        if (!Named(hwnd)) return 0;
        // Class names are at most 256 characters.
        const std::string name = ReadWide(256, [&](wchar_t* wide, size_t units) {
            return ::GetClassNameW(Wnd(hwnd), wide, int(units));
        });
        return CopyCut(name, buf, size_t(size));
    }
    int GetWindowTextA(WsHandle hwnd, char* buf, int size) override {
        if (!buf || size <= 0) return 0;
        buf[0] = '\0';
        if (!Named(hwnd)) return 0;
        // Every UTF-16 unit makes at least one UTF-8 byte: size - 1 units
        // fill the buffer.
        const std::string text = ReadWide(size_t(size) - 1, [&](wchar_t* wide, size_t units) {
            return ::GetWindowTextW(Wnd(hwnd), wide, int(units));
        });
        return CopyCut(text, buf, size_t(size));
    }
    bool IsWindowVisible(WsHandle hwnd) override {
        return Named(hwnd) && ::IsWindowVisible(Wnd(hwnd));
    }
    bool IsWindowEnabled(WsHandle hwnd) override {
        return Named(hwnd) && ::IsWindowEnabled(Wnd(hwnd));
    }
    bool GetWindowRect(WsHandle hwnd, WsRect* rect) override {
        if (!rect) return false;
        *rect = WsRect{};
        RECT r;
        if (!Named(hwnd) || !::GetWindowRect(Wnd(hwnd), &r)) return false;
        *rect = WsRect{r.left, r.top, r.right, r.bottom};
        return true;
    }
    int32_t GetWindowLongA(WsHandle hwnd, int index) override {
        if (!Named(hwnd) || !KnownLongIndex(index)) return 0;
        return ::GetWindowLongA(Wnd(hwnd), index);
    }
    int32_t SetWindowLongA(WsHandle hwnd, int index, int32_t value) override {
        if (!Named(hwnd) || !KnownLongIndex(index)) return 0;
        return ::SetWindowLongA(Wnd(hwnd), index, value);
    }

    // --- Tree and enumeration ------------------------------------------
    int EnumWindows(WsEnumProc proc, intptr_t lParam) override {
        if (!proc) return 1;
        EnumContext ctx{proc, lParam, false};
        return ::EnumWindows(EnumTrampoline, reinterpret_cast<LPARAM>(&ctx)) ? 1 : 0;
    }
    int EnumAllWindows(WsEnumProc proc, intptr_t lParam) override {
        if (!proc) return 0;
        EnumContext ctx{proc, lParam, false};
        const LPARAM lp = reinterpret_cast<LPARAM>(&ctx);
        // The desktop window, then below it every top-level window with
        // all its descendants.
        const HWND desktop = ::GetDesktopWindow();
        if (!desktop || !EnumTrampoline(desktop, lp)) return 0;
        if (!EnumDescendants(desktop, ctx)) return 0;
        // The message-only windows hang below a root of their own.
        HWND root = nullptr;
        int n = 0;
        for (HWND m = ::FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr);
             m != nullptr && n < kMaxMessageWindows;
             m = ::FindWindowExA(HWND_MESSAGE, m, nullptr, nullptr), ++n) {
            if (!root) {
                root = ::GetAncestor(m, GA_PARENT);
                if (root && root != desktop && !EnumTrampoline(root, lp)) return 0;
            }
            if (!EnumTrampoline(m, lp)) return 0;
            if (!EnumDescendants(m, ctx)) return 0;
        }
        // Windows of the other desktops that the handle values also reach
        // (under Wine at least the desktop and message windows of other
        // desktops) are not enumerated from here yet: the enumeration
        // reports itself incomplete, so that callers sweep.
        return 0;
    }
    WsHandle GetParent(WsHandle hwnd) override {
        return Named(hwnd) ? FromHandle(::GetParent(Wnd(hwnd))) : 0;
    }
    WsHandle GetTopWindow(WsHandle hwnd) override { return FromHandle(::GetTopWindow(Wnd(hwnd))); }
    WsHandle GetWindow(WsHandle hwnd, unsigned cmd) override {
        if (!Named(hwnd) || cmd > GW_CHILD) return 0;
        return FromHandle(::GetWindow(Wnd(hwnd), cmd));
    }
    WsHandle GetDlgItem(WsHandle dialog, int id) override {
        return Named(dialog) ? FromHandle(::GetDlgItem(Wnd(dialog), id)) : 0;
    }
    int GetDlgCtrlID(WsHandle hwnd) override { return Named(hwnd) ? ::GetDlgCtrlID(Wnd(hwnd)) : 0; }
    uint32_t GetWindowThreadProcessId(WsHandle hwnd, uint32_t* pid) override {
        DWORD p = 0;
        DWORD thread = Named(hwnd) ? ::GetWindowThreadProcessId(Wnd(hwnd), &p) : 0;
        if (pid) *pid = thread ? p : 0;
        return thread;
    }

    // --- Focus and input -----------------------------------------------
    WsHandle SetFocus(WsHandle hwnd) override { return FromHandle(::SetFocus(Wnd(hwnd))); }
    WsHandle SetCapture(WsHandle hwnd) override {
        return Named(hwnd) ? FromHandle(::SetCapture(Wnd(hwnd))) : 0;
    }
    WsHandle GetFocus() override { return FromHandle(::GetFocus()); }
    WsHandle GetCapture() override { return FromHandle(::GetCapture()); }
    bool ReleaseCapture() override { return ::ReleaseCapture() != 0; }
    intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        if (!Named(hwnd)) return 0;
        BoundedSender send(Wnd(hwnd), SendTimeout());
        intptr_t result = 0;
        switch (msg) {
        case WM_GETTEXT:
            result = GetText(send, wParam, reinterpret_cast<char*>(lParam));
            break;
        case WM_GETTEXTLENGTH:
            result = GetTextLength(send);
            break;
        case WM_SETTEXT: {
            const std::wstring wide = WideOf(reinterpret_cast<const char*>(lParam));
            result = send.W(msg, wParam, lParam ? reinterpret_cast<LPARAM>(wide.c_str()) : 0);
            break;
        }
        case LB_GETTEXTLEN:
            result = GetItemLength(send, LB_GETTEXTLEN, LB_GETTEXT, wParam);
            break;
        case CB_GETLBTEXTLEN:
            result = GetItemLength(send, CB_GETLBTEXTLEN, CB_GETLBTEXT, wParam);
            break;
        case LB_GETTEXT:
            result = GetItemText(send, LB_GETTEXTLEN, LB_GETTEXT, wParam,
                                 reinterpret_cast<char*>(lParam));
            break;
        case CB_GETLBTEXT:
            result = GetItemText(send, CB_GETLBTEXTLEN, CB_GETLBTEXT, wParam,
                                 reinterpret_cast<char*>(lParam));
            break;
        default:
            result = send.A(msg, wParam, lParam);
            break;
        }
        if (send.Answered()) return result;
        // A window that went away is no unanswered send.
        const DWORD error = send.Error();
        if (::IsWindow(Wnd(hwnd)))
            ReportUnanswered(hwnd, msg, error == ERROR_TIMEOUT ? SendTimeout() : 0);
        return 0;
    }
    bool PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        return Named(hwnd) && ::PostMessageA(Wnd(hwnd), msg, wParam, lParam);
    }
    bool PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        return Named(hwnd) && ::PostMessageW(Wnd(hwnd), msg, wParam, lParam);
    }

    // --- Placement -----------------------------------------------------
    bool SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override {
        return Named(hwnd) && ::SetWindowPos(Wnd(hwnd), Wnd(insertAfter), x, y, cx, cy, flags);
    }
    bool EnableWindow(WsHandle hwnd, bool enable) override {
        return Named(hwnd) && ::EnableWindow(Wnd(hwnd), enable);
    }

    // --- Menus ---------------------------------------------------------
    bool IsMenu(WsHandle menu) override { return menu && ::IsMenu(ToHandle<HMENU>(menu)); }
    WsHandle GetMenu(WsHandle hwnd) override {
        return Named(hwnd) ? FromHandle(::GetMenu(Wnd(hwnd))) : 0;
    }
    int GetMenuItemCount(WsHandle menu) override {
        return menu ? ::GetMenuItemCount(ToHandle<HMENU>(menu)) : -1;
    }
    uint32_t GetMenuItemID(WsHandle menu, int pos) override {
        return menu ? ::GetMenuItemID(ToHandle<HMENU>(menu), pos) : 0xFFFFFFFFu;
    }
    int GetMenuStringA(WsHandle menu, uint32_t item, char* buf, int size, unsigned flags) override {
        if (!buf || size <= 0) return 0;
        buf[0] = '\0';
        if (!menu) return 0;
        const std::string text = ReadWide(size_t(size) - 1, [&](wchar_t* wide, size_t units) {
            return ::GetMenuStringW(ToHandle<HMENU>(menu), item, wide, int(units), flags);
        });
        return CopyCut(text, buf, size_t(size));
    }
    WsHandle GetSubMenu(WsHandle menu, int pos) override {
        return menu ? FromHandle(::GetSubMenu(ToHandle<HMENU>(menu), pos)) : 0;
    }

    // --- Text metrics --------------------------------------------------
    WsHandle GetDC(WsHandle hwnd) override { return FromHandle(::GetDC(Wnd(hwnd))); }
    int ReleaseDC(WsHandle hwnd, WsHandle dc) override {
        return dc ? ::ReleaseDC(Wnd(hwnd), ToHandle<HDC>(dc)) : 0;
    }
    WsHandle SelectObject(WsHandle dc, WsHandle object) override {
        if (!dc || !object) return 0;
        return FromHandle(::SelectObject(ToHandle<HDC>(dc), ToHandle<HGDIOBJ>(object)));
    }
    bool GetTextExtentPointA(WsHandle dc, const char* text, int count, WsSize* size) override {
        if (!size) return false;
        *size = WsSize{};
        SIZE s;
        if (!dc || !text || count < 0) return false;
        // count bytes of UTF-8, measured as the characters they are.
        const std::u16string wide = Utf16FromUtf8(std::string_view(text, size_t(count)));
        if (!::GetTextExtentPoint32W(ToHandle<HDC>(dc),
                                     reinterpret_cast<const wchar_t*>(wide.data()),
                                     int(wide.size()), &s))
            return false;
        *size = WsSize{s.cx, s.cy};
        return true;
    }

    // --- Clipboard -----------------------------------------------------
    // 0 opens it for no window; any other owner must be able to name one.
    bool OpenClipboard(WsHandle owner) override {
        return (owner == 0 || Named(owner)) && ::OpenClipboard(Wnd(owner)) != 0;
    }
    bool EmptyClipboard() override { return ::EmptyClipboard() != 0; }
    bool CloseClipboard() override {
        ReleaseClipText();
        return ::CloseClipboard() != 0;
    }
    // CF_TEXT is the clipboard's Unicode text in UTF-8, in a block of this
    // layer's own that lives until the clipboard closes or the text is
    // asked again; a clipboard that holds no Unicode text gives its CF_TEXT.
    WsMem GetClipboardData(unsigned format) override {
        if (format != CF_TEXT) return FromMem(::GetClipboardData(format));
        const HANDLE wide = ::GetClipboardData(CF_UNICODETEXT);
        if (!wide) return FromMem(::GetClipboardData(format));
        const auto* units = static_cast<const wchar_t*>(::GlobalLock(wide));
        if (!units) return 0;
        // A text without a terminator ends where its block ends.
        const size_t size = ::GlobalSize(wide) / sizeof(wchar_t);
        size_t n = 0;
        while (n < size && units[n]) ++n;
        const std::string text = Utf8Of(units, n);
        ::GlobalUnlock(wide);
        ReleaseClipText();
        const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        if (!block) return 0;
        if (void* p = ::GlobalLock(block)) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            ::GlobalUnlock(block);
        }
        clipText_ = block;
        return FromMem(block);
    }
    void* GlobalLock(WsMem mem) override { return mem ? ::GlobalLock(Mem(mem)) : nullptr; }
    bool GlobalUnlock(WsMem mem) override { return mem && ::GlobalUnlock(Mem(mem)); }
    size_t GlobalSize(WsMem mem) override { return mem ? size_t(::GlobalSize(Mem(mem))) : 0; }

    // --- Other processes -----------------------------------------------
    WsMem OpenProcess(uint32_t access, bool inherit, uint32_t pid) override {
        return pid ? FromMem(::OpenProcess(access, inherit, pid)) : 0;
    }
    bool CloseHandle(WsMem process) override { return process && ::CloseHandle(Mem(process)); }
    int ProcessBits(WsMem process) override {
        BOOL wow64 = FALSE;
        if (!process || !::IsWow64Process(Mem(process), &wow64)) return 0;
        // A 32-bit process on 64-bit Windows runs under WOW64; this build
        // is 64-bit, so every other process is 64-bit.
        return wow64 ? 32 : int(sizeof(void*) * 8);
    }
    WsMem VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                         uint32_t protect) override {
        if (!process) return 0;
        return FromMem(::VirtualAllocEx(Mem(process), reinterpret_cast<void*>(uintptr_t(address)),
                                        size, type, protect));
    }
    bool VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) override {
        return process && address &&
               ::VirtualFreeEx(Mem(process), reinterpret_cast<void*>(uintptr_t(address)), size,
                               type);
    }
    bool WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                            size_t* written) override {
        SIZE_T n = 0;
        bool ok = process && address && data &&
                  ::WriteProcessMemory(Mem(process), reinterpret_cast<void*>(uintptr_t(address)),
                                       data, size, &n);
        if (written) *written = ok ? size_t(n) : 0;
        return ok;
    }
    bool ReadProcessMemory(WsMem process, WsMem address, void* data, size_t size,
                           size_t* read) override {
        SIZE_T n = 0;
        bool ok =
            process && address && data &&
            ::ReadProcessMemory(Mem(process), reinterpret_cast<const void*>(uintptr_t(address)),
                                data, size, &n);
        if (read) *read = ok ? size_t(n) : 0;
        return ok;
    }

    ~CWin32WinSys() override { ReleaseClipText(); }

    // --- Timing and the alert box --------------------------------------
    void Sleep(uint32_t ms) override { ::Sleep(ms); }
    uint32_t GetTickCount() override { return ::GetTickCount(); }
    int MessageBoxA(WsHandle owner, const char* text, const char* caption, unsigned type) override {
        const std::wstring wideText = WideOf(text), wideCaption = WideOf(caption);
        return ::MessageBoxW(Wnd(owner), wideText.c_str(), caption ? wideCaption.c_str() : nullptr,
                             type);
    }

private:
    void ReleaseClipText() {
        if (clipText_) ::GlobalFree(clipText_);
        clipText_ = nullptr;
    }

    HGLOBAL clipText_ = nullptr; // the UTF-8 text GetClipboardData(CF_TEXT) gave
};

} // namespace

CWinSys* PlatformWinSys() {
    static CWin32WinSys platform;
    return &platform;
}

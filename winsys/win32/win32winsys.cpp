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
#include <atomic>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
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

// Room beyond an item's length in the buffer its text is read into.
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
        // A send the platform refused to carry (Wine cannot pass some
        // messages, such as WM_GETFONT, to another process) was answered
        // with nothing, not left unanswered: its receiver neither ran out
        // of time nor hangs.
        if (error_ != ERROR_TIMEOUT && !::IsHungAppWindow(hwnd_)) return 0;
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

// The buffer item texts are read into: room for the longest text the layer
// gives, its zero and some slack, allocated once per thread.
std::vector<wchar_t>& ItemBuffer() {
    thread_local std::vector<wchar_t> buffer(size_t(lb::MAX_TEXT) + 1 + kItemSlack, L'\0');
    return buffer;
}

// What reading an item gave: its text, no such item (the length request
// answered LB_ERR / CB_ERR), or an item whose text is not read (longer than
// lb::MAX_TEXT, or of a length that did not settle).
enum class ItemRead { kText, kNoItem, kUnread };

// Length requests an item's length is asked with at most, until two in a
// row agree.
constexpr int kLengthTries = 4;

// LB_GETTEXT / CB_GETLBTEXT through the wide messages, as UTF-8.
//
// The message has no size.  Sent to another process, the platform copies
// the reply into the sender's buffer sized by a length request of its own,
// made just before the message is queued: Wine copies at most (that length
// + 1) UTF-16 units, and no more than the receiver sent back.  So the text
// is read into a buffer of lb::MAX_TEXT + 1 + kItemSlack units, and only
// when two length requests in a row agree (at most kLengthTries are made)
// and are no longer than lb::MAX_TEXT: an owner that lengthens the item
// between the requests is read once its length holds still, and one whose
// length stays within the bound cannot be copied past the buffer.  What
// comes back is cut to the length asked.
ItemRead ReadItem(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index, std::string* text) {
    text->clear();
    LRESULT len = send.W(lenMsg, index, 0);
    for (int tries = 1;; ++tries) {
        if (len == LB_ERR) return ItemRead::kNoItem; // CB_ERR too
        if (len < 0 || len > lb::MAX_TEXT) return ItemRead::kUnread;
        const LRESULT again = send.W(lenMsg, index, 0);
        if (again == len) break;
        if (tries >= kLengthTries) return ItemRead::kUnread;
        len = again;
    }
    std::vector<wchar_t>& wide = ItemBuffer();
    wide[0] = L'\0';
    LRESULT got = send.W(textMsg, index, reinterpret_cast<LPARAM>(wide.data()));
    if (got == LB_ERR) return ItemRead::kNoItem;
    if (got < 0) return ItemRead::kUnread;
    if (got > len) got = len; // never more than the length asked for
    *text = Utf8Of(wide.data(), size_t(got));
    return ItemRead::kText;
}

// LB_GETTEXTLEN / CB_GETLBTEXTLEN: the item's length in UTF-8 bytes, as
// much of it as GetItemText writes; LB_ERR / CB_ERR only for no such item
// (an item whose text is not read has length 0).
intptr_t GetItemLength(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index) {
    std::string text;
    if (ReadItem(send, lenMsg, textMsg, index, &text) == ItemRead::kNoItem) return LB_ERR;
    return intptr_t(Utf8CutLength(text, size_t(lb::MAX_TEXT)));
}

// LB_GETTEXT / CB_GETLBTEXT into the caller's buffer, as UTF-8: never more
// than lb::MAX_TEXT bytes (cut before a character that would not fit whole)
// and a zero, whatever the control answered before.
intptr_t GetItemText(BoundedSender& send, UINT lenMsg, UINT textMsg, WPARAM index, char* out) {
    const LRESULT err = -1; // LB_ERR and CB_ERR
    if (!out) return err;
    std::string text;
    if (ReadItem(send, lenMsg, textMsg, index, &text) == ItemRead::kNoItem) {
        out[0] = '\0';
        return err;
    }
    return CopyCut(text, out, size_t(lb::MAX_TEXT) + 1);
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

// The clipboard calls, run on a thread of their own so that a wait inside
// one can be bounded.  Windows ties an open clipboard to the thread that
// opened it, and GetClipboardData of a format the owner promised to render
// on demand sends WM_RENDERFORMAT to the owner and waits for it as long as
// the owner takes (Wine's too: a send without a bound).  So every clipboard
// call of the layer is made by this thread, and the caller waits for it at
// most the send bound.  A call that does not end in time is left to end
// when it may; until then the thread takes no other call, and every
// clipboard call fails at once.  The thread is never joined: a process that
// ends with it stuck ends it too.
class ClipboardThread {
public:
    // Runs call on the thread and waits for it at most timeoutMs (0: as
    // long as it takes).  False when it did not end in time, or when an
    // earlier call is still running.
    bool Run(std::function<void()> call, uint32_t timeoutMs) {
        if (!Start() || busy_.exchange(true)) return false;
        auto job = std::make_shared<Job>();
        job->call = std::move(call);
        job->done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!job->done) {
            busy_ = false;
            return false;
        }
        {
            const Locked lock(lock_);
            next_ = job;
        }
        ::SetEvent(wake_);
        return AwaitDone(job->done, timeoutMs);
    }

private:
    // Waits for done at most timeoutMs (0: as long as it takes), meanwhile
    // handling the messages other threads send to this thread's windows:
    // a clipboard call sends to the clipboard's owner (EmptyClipboard's
    // WM_DESTROYCLIPBOARD, a render request), which may be a window of the
    // caller's own thread, and that thread must answer while it waits.
    static bool AwaitDone(HANDLE done, uint32_t timeoutMs) {
        const DWORD start = ::GetTickCount();
        for (;;) {
            DWORD wait = INFINITE;
            if (timeoutMs) {
                const DWORD spent = ::GetTickCount() - start;
                if (spent >= timeoutMs) return false;
                wait = timeoutMs - spent;
            }
            const DWORD woke = ::MsgWaitForMultipleObjects(1, &done, FALSE, wait, QS_SENDMESSAGE);
            if (woke == WAIT_OBJECT_0) return true;
            if (woke != WAIT_OBJECT_0 + 1) return false;
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }

    struct Job {
        std::function<void()> call;
        HANDLE done = nullptr;
        ~Job() {
            if (done) ::CloseHandle(done);
        }
    };

    bool Start() {
        const Locked lock(lock_);
        if (thread_) return true;
        wake_ = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (!wake_) return false;
        thread_ = ::CreateThread(nullptr, 0, &ClipboardThread::Main, this, 0, nullptr);
        return thread_ != nullptr;
    }

    static DWORD WINAPI Main(LPVOID self) {
        auto* me = static_cast<ClipboardThread*>(self);
        for (;;) {
            ::WaitForSingleObject(me->wake_, INFINITE);
            std::shared_ptr<Job> job;
            {
                const Locked lock(me->lock_);
                job = std::move(me->next_);
            }
            if (!job) continue;
            job->call();
            me->busy_ = false;
            ::SetEvent(job->done);
        }
    }

    // An exclusive hold of a slim lock for as long as it lives.
    class Locked {
    public:
        explicit Locked(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
        ~Locked() { ::ReleaseSRWLockExclusive(&lock_); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;

    private:
        SRWLOCK& lock_;
    };

    SRWLOCK lock_ = SRWLOCK_INIT;
    std::shared_ptr<Job> next_;
    std::atomic<bool> busy_{false};
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;
};

// What one GetClipboardData gave on the clipboard thread: the handle, or
// for CF_TEXT the clipboard's Unicode text in UTF-8 when it holds one.
struct ClipAnswer {
    WsMem data = 0;
    bool unicode = false;
    std::string text;
};

void ReadClipboard(unsigned format, ClipAnswer& answer) {
    const HANDLE wide = format == CF_TEXT ? ::GetClipboardData(CF_UNICODETEXT) : nullptr;
    if (!wide) {
        answer.data = FromMem(::GetClipboardData(format));
        return;
    }
    const auto* units = static_cast<const wchar_t*>(::GlobalLock(wide));
    if (!units) return;
    // A text without a terminator ends where its block ends.
    const size_t size = ::GlobalSize(wide) / sizeof(wchar_t);
    size_t n = 0;
    while (n < size && units[n]) ++n;
    answer.text = Utf8Of(units, n);
    answer.unicode = true;
    ::GlobalUnlock(wide);
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

// True when the window station of this process holds no desktop but the
// one of this thread (false when either cannot be told).
bool OnlyDesktopOfStation() {
    char own[256] = "";
    DWORD needed = 0;
    if (!::GetUserObjectInformationA(::GetThreadDesktop(::GetCurrentThreadId()), UOI_NAME, own,
                                     sizeof own, &needed))
        return false;
    struct Count {
        const char* own;
        int others;
    } count{own, 0};
    const BOOL listed = ::EnumDesktopsA(
        ::GetProcessWindowStation(),
        [](LPSTR name, LPARAM lp) -> BOOL {
            auto& c = *reinterpret_cast<Count*>(lp);
            if (lstrcmpiA(name, c.own) != 0) ++c.others;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return listed && count.others == 0;
}

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
        // Another desktop of this window station holds windows that only a
        // thread of its own could list (its message-only windows): then
        // the enumeration is incomplete and the callers sweep.
        return OnlyDesktopOfStation() ? 1 : 0;
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
    uint32_t GetMenuState(WsHandle menu, uint32_t item, unsigned flags) override {
        return menu ? uint32_t(::GetMenuState(ToHandle<HMENU>(menu), item, flags)) : 0xFFFFFFFFu;
    }

    // --- Keyboard ------------------------------------------------------
    uint32_t MapVirtualKeyA(uint32_t code, uint32_t mapType) override {
        return uint32_t(::MapVirtualKeyA(code, mapType));
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
    // Each call runs on the clipboard thread, bounded by the send bound.
    bool OpenClipboard(WsHandle owner) override {
        if (owner != 0 && !Named(owner)) return false;
        return OnClipboardThread([owner] { return ::OpenClipboard(Wnd(owner)) != 0; });
    }
    bool EmptyClipboard() override {
        return OnClipboardThread([] { return ::EmptyClipboard() != 0; });
    }
    bool CloseClipboard() override {
        ReleaseClipText();
        return OnClipboardThread([] { return ::CloseClipboard() != 0; });
    }
    // CF_TEXT is the clipboard's Unicode text in UTF-8, in a block of this
    // layer's own that lives until the clipboard closes or the text is
    // asked again; a clipboard that holds no Unicode text gives its CF_TEXT.
    WsMem GetClipboardData(unsigned format) override {
        auto answer = std::make_shared<ClipAnswer>();
        if (!clipboard_.Run([answer, format] { ReadClipboard(format, *answer); }, SendTimeout())) {
            // An owner that promised the text and does not render it in time.
            if (const HWND owner = ::GetClipboardOwner())
                ReportUnanswered(FromHandle(owner), WM_RENDERFORMAT, SendTimeout());
            return 0;
        }
        if (!answer->unicode) return answer->data;
        ReleaseClipText();
        const HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, answer->text.size() + 1);
        if (!block) return 0;
        if (void* p = ::GlobalLock(block)) {
            std::memcpy(p, answer->text.c_str(), answer->text.size() + 1);
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
    int GetProcessImageNameA(WsMem process, char* buf, int size) override {
        if (!buf || size <= 0) return 0;
        buf[0] = '\0';
        wchar_t path[MAX_PATH * 4];
        DWORD units = DWORD(std::size(path));
        if (!process || !::QueryFullProcessImageNameW(Mem(process), 0, path, &units)) return 0;
        DWORD first = units;
        while (first > 0 && path[first - 1] != L'\\' && path[first - 1] != L'/') --first;
        return CopyCut(
            Utf8FromUtf16(reinterpret_cast<const char16_t*>(path + first), units - first), buf,
            size_t(size));
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
    // Runs call on the clipboard thread: its result when it ended within
    // the send bound, else false.
    template <typename Call> bool OnClipboardThread(Call call) {
        auto result = std::make_shared<bool>(false);
        const bool ended = clipboard_.Run([result, call] { *result = call(); }, SendTimeout());
        return ended && *result;
    }

    void ReleaseClipText() {
        if (clipText_) ::GlobalFree(clipText_);
        clipText_ = nullptr;
    }

    ClipboardThread clipboard_;
    HGLOBAL clipText_ = nullptr; // the UTF-8 text GetClipboardData(CF_TEXT) gave
};

} // namespace

CWinSys* PlatformWinSys() {
    static CWin32WinSys platform;
    return &platform;
}

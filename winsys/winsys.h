// The window-system layer: every window, GDI, clipboard, other-process and
// timing operation that the tool and the library call, behind one abstract
// interface with two backends (winsys/win32: the real calls; winsys/sim: a
// simulated desktop).
//
// Conventions shared by every operation:
// - Window, menu, device-context and GDI-object handles are 32-bit numbers;
//   0 is none.  Any number is a legal argument: a value that names nothing
//   answers as for a missing window (0, false, an empty text, a null result).
// - Process handles, clipboard-data handles and addresses in another process
//   are 64-bit numbers (WsMem); 0 is none.
// - Texts are UTF-8: the A-named operations take and give UTF-8 on every
//   backend (the Win32 backend converts to and from UTF-16 and makes the
//   wide call or sends the wide message).  A text-reading operation writes
//   at most size-1 bytes plus a terminating zero into the caller's buffer
//   (nothing when size is 0 or less), cut before a character that would
//   not fit whole, and returns the length copied in bytes.  Lengths the
//   text messages answer (WM_GETTEXTLENGTH, LB_GETTEXTLEN ...) count UTF-8
//   bytes.  Texts another process writes into its own memory for a
//   request (LVM_GETITEMTEXTA) are in that process's ANSI code page unless
//   AnsiTextIsUtf8(); LVM_GETITEMTEXTW gets them as UTF-16.
// - Names, arguments and results follow the Win32 call of the same name, so
//   code reads as it would against the platform; message numbers and flags
//   are in winsys/wsdefs.h.
#pragma once

#include "ostrelle_api.h"

#include "winsys/wstypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Window-enumeration callback: nonzero goes on, 0 stops the enumeration.
using WsEnumProc = int (*)(WsHandle hwnd, intptr_t lParam);

// How long a send waits for its receiver by default, in milliseconds.
constexpr uint32_t kDefaultSendTimeoutMs = 5000;

// Told of a send that got no answer: the window, the message, and the
// milliseconds waited (0 when the receiver's thread was deemed hung and the
// send gave up at once).
using WsUnansweredFn = std::function<void(WsHandle hwnd, uint32_t msg, uint32_t waitedMs)>;

class OSTRELLE_API CWinSys {
public:
    virtual ~CWinSys() = default;

    // One line saying which desktop this is (shown in the usage text).
    virtual const char* Description() const = 0;
    // True when what other processes write for ANSI requests into their
    // own memory (LVM_GETITEMTEXTA) is UTF-8 already, as on the simulated
    // desktop; false where it is an ANSI code page (Win32).
    virtual bool AnsiTextIsUtf8() const { return false; }

    // --- Queries for the event log -------------------------------------
    // They cost nothing on a simulated clock and are never logged.
    // True when hwnd names a window now.
    virtual bool NamesWindow(WsHandle hwnd) = 0;
    // The process id of a handle from OpenProcess; 0 for anything else.
    virtual uint32_t ProcessIdOf(WsMem process) = 0;

    // --- Identity and text ---------------------------------------------
    virtual bool IsWindow(WsHandle hwnd) = 0;
    virtual int GetClassNameA(WsHandle hwnd, char* buf, int size) = 0;
    virtual int GetWindowTextA(WsHandle hwnd, char* buf, int size) = 0;
    virtual bool IsWindowVisible(WsHandle hwnd) = 0;
    virtual bool IsWindowEnabled(WsHandle hwnd) = 0;
    // Screen rectangle; false (and a zero rectangle) for no window.
    virtual bool GetWindowRect(WsHandle hwnd, WsRect* rect) = 0;
    // index: GWL_STYLE (-16), GWL_EXSTYLE (-20) or GWL_ID (-12); 0 otherwise.
    virtual int32_t GetWindowLongA(WsHandle hwnd, int index) = 0;
    // Stores value and returns the previous one (0 for no window).
    virtual int32_t SetWindowLongA(WsHandle hwnd, int index, int32_t value) = 0;

    // --- Tree and enumeration ------------------------------------------
    // Calls proc for each top-level window in the system's order until it
    // returns 0; returns nonzero when it was never stopped.
    virtual int EnumWindows(WsEnumProc proc, intptr_t lParam) = 0;
    // Calls proc for every window of the desktop, in no particular order:
    // the desktop window, every top-level window and all its descendants,
    // the message-only windows with theirs, windows of every thread and
    // process.  Stops when proc returns 0.  Returns nonzero when every
    // window was reached; 0 when proc stopped it or the system could not
    // enumerate them all.  Windows of other window stations, which a
    // handle can name too, are not among them: this station knows neither
    // their classes nor their threads, and they take no messages.
    virtual int EnumAllWindows(WsEnumProc proc, intptr_t lParam) = 0;
    virtual WsHandle GetParent(WsHandle hwnd) = 0;
    // First child in z-order; hwnd 0 gives the first top-level window.
    virtual WsHandle GetTopWindow(WsHandle hwnd) = 0;
    // cmd: GW_HWNDFIRST 0, GW_HWNDLAST 1, GW_HWNDNEXT 2, GW_HWNDPREV 3,
    // GW_OWNER 4, GW_CHILD 5.
    virtual WsHandle GetWindow(WsHandle hwnd, unsigned cmd) = 0;
    virtual WsHandle GetDlgItem(WsHandle dialog, int id) = 0;
    virtual int GetDlgCtrlID(WsHandle hwnd) = 0;
    // Thread id as result (0 for no window); the process id through pid
    // when pid is not null.
    virtual uint32_t GetWindowThreadProcessId(WsHandle hwnd, uint32_t* pid) = 0;

    // --- Focus and input -----------------------------------------------
    // Both return the previous focus / capture window, 0 on failure.
    virtual WsHandle SetFocus(WsHandle hwnd) = 0;
    virtual WsHandle SetCapture(WsHandle hwnd) = 0;
    virtual WsHandle GetFocus() = 0;
    virtual WsHandle GetCapture() = 0;
    virtual bool ReleaseCapture() = 0;
    // Waits until the receiver has handled the message; returns its result.
    // For messages that carry a text or a buffer (WM_GETTEXT, WM_SETTEXT,
    // LB_GETTEXT, CB_GETLBTEXT ...) lParam is the caller's pointer.  The
    // wait is bounded (SetSendTimeout): a receiver that does not answer in
    // time, or whose thread hangs, makes the send return 0 and is reported
    // to the unanswered handler.
    virtual intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam,
                                  intptr_t lParam) = 0;
    // Queues the message and returns at once; false when hwnd is no window.
    virtual bool PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
    // As PostMessageA, but a character message (WM_CHAR, WM_SYSCHAR) carries
    // one UTF-16 code unit in wParam: a character beyond U+FFFF goes as two
    // posts, its high surrogate first.  Other messages go as PostMessageA.
    virtual bool PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;

    // --- Placement -----------------------------------------------------
    // insertAfter: a window, or HWND_TOP 0, HWND_BOTTOM 1, HWND_TOPMOST
    // 0xFFFFFFFF (-1), HWND_NOTOPMOST 0xFFFFFFFE (-2); flags SWP_*.
    virtual bool SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                              unsigned flags) = 0;
    // Returns true when the window was disabled before the call.
    virtual bool EnableWindow(WsHandle hwnd, bool enable) = 0;
    // Shifts rect by dx, dy; a plain computation, the same on every desktop.
    static bool OffsetRect(WsRect* rect, int dx, int dy) {
        if (!rect) return false;
        rect->left += dx;
        rect->right += dx;
        rect->top += dy;
        rect->bottom += dy;
        return true;
    }

    // --- Menus ---------------------------------------------------------
    virtual bool IsMenu(WsHandle menu) = 0;
    virtual WsHandle GetMenu(WsHandle hwnd) = 0;
    // -1 for no menu.
    virtual int GetMenuItemCount(WsHandle menu) = 0;
    // Item id at pos; 0xFFFFFFFF for a submenu or a missing item.
    virtual uint32_t GetMenuItemID(WsHandle menu, int pos) = 0;
    // flags: MF_BYCOMMAND 0 or MF_BYPOSITION 0x400.
    virtual int GetMenuStringA(WsHandle menu, uint32_t item, char* buf, int size,
                               unsigned flags) = 0;
    virtual WsHandle GetSubMenu(WsHandle menu, int pos) = 0;
    // The item's MF_* state (MF_GRAYED, MF_DISABLED, MF_POPUP with the
    // submenu's item count in bits 8-15, MF_SEPARATOR ...); 0xFFFFFFFF for
    // no menu or no such item.  flags as GetMenuStringA's.
    virtual uint32_t GetMenuState(WsHandle menu, uint32_t item, unsigned flags) = 0;

    // --- Keyboard ------------------------------------------------------
    // mapType MAPVK_VK_TO_VSC (0): the scan code of virtual key code on the
    // keyboard layout in use; 0 when it has none (or for other map types).
    virtual uint32_t MapVirtualKeyA(uint32_t code, uint32_t mapType) = 0;

    // --- Text metrics --------------------------------------------------
    virtual WsHandle GetDC(WsHandle hwnd) = 0;
    virtual int ReleaseDC(WsHandle hwnd, WsHandle dc) = 0;
    // Returns the object selected before (0 on failure).
    virtual WsHandle SelectObject(WsHandle dc, WsHandle object) = 0;
    virtual bool GetTextExtentPointA(WsHandle dc, const char* text, int count, WsSize* size) = 0;

    // --- Clipboard -----------------------------------------------------
    virtual bool OpenClipboard(WsHandle owner) = 0;
    virtual bool EmptyClipboard() = 0;
    virtual bool CloseClipboard() = 0;
    // Data handle of format (CF_TEXT 1), 0 when none or not open.
    virtual WsMem GetClipboardData(unsigned format) = 0;
    // Pointer to the data of a clipboard handle, null on failure; valid
    // until GlobalUnlock.
    virtual void* GlobalLock(WsMem mem) = 0;
    virtual bool GlobalUnlock(WsMem mem) = 0;
    // Size in bytes of the block behind a clipboard handle (at least what
    // its owner put there; a text need not end inside it); 0 for none.
    virtual size_t GlobalSize(WsMem mem) = 0;

    // --- Other processes -----------------------------------------------
    // access PROCESS_*; 0 on failure.  Close with CloseHandle.
    virtual WsMem OpenProcess(uint32_t access, bool inherit, uint32_t pid) = 0;
    virtual bool CloseHandle(WsMem process) = 0;
    // 32 or 64: the pointer width of the process (how it lays out records
    // such as LVITEMA); 0 when unknown.
    virtual int ProcessBits(WsMem process) = 0;
    // The file name of the process's executable ("notepad.exe", no folder),
    // UTF-8, cut to size - 1 bytes and ended with a zero; returns its
    // length, 0 when unknown.
    virtual int GetProcessImageNameA(WsMem process, char* buf, int size) = 0;
    // type MEM_COMMIT 0x1000 (| MEM_RESERVE 0x2000), protect PAGE_*; 0 on failure.
    virtual WsMem VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                                 uint32_t protect) = 0;
    // type MEM_RELEASE 0x8000 with size 0.
    virtual bool VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) = 0;
    virtual bool WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                                    size_t* written) = 0;
    virtual bool ReadProcessMemory(WsMem process, WsMem address, void* data, size_t size,
                                   size_t* read) = 0;

    // --- Bounded sends ---------------------------------------------------
    // The longest a SendMessageA waits for its receiver, in milliseconds;
    // 0 waits as long as the receiver takes.  kDefaultSendTimeoutMs at
    // first.
    virtual void SetSendTimeout(uint32_t ms) { sendTimeoutMs_ = ms; }
    uint32_t SendTimeout() const { return sendTimeoutMs_; }
    // Who is told of a send that got no answer (nobody when empty).
    virtual void SetUnansweredHandler(WsUnansweredFn fn) { unanswered_ = std::move(fn); }
    // The handler last set (for a caller that watches sends for a while and
    // then puts it back).
    const WsUnansweredFn& UnansweredHandler() const { return unanswered_; }

    // --- Timing and the alert box --------------------------------------
    virtual void Sleep(uint32_t ms) = 0;
    virtual uint32_t GetTickCount() = 0;
    // Accounts for calls a walk left out because they could only fail (on
    // values that name no window): a simulated clock moves on as if the
    // calls had been made, so that what depends on its time stays the same;
    // a real desktop takes no notice.  Never logged.
    virtual void ChargeCalls(uint64_t /*calls*/) {}
    // type MB_*; returns the button pressed (IDOK 1 ...).
    virtual int MessageBoxA(WsHandle owner, const char* text, const char* caption,
                            unsigned type) = 0;

protected:
    // For backends: tells the unanswered handler of a send that gave up.
    void ReportUnanswered(WsHandle hwnd, uint32_t msg, uint32_t waitedMs) const {
        if (unanswered_) unanswered_(hwnd, msg, waitedMs);
    }

private:
    uint32_t sendTimeoutMs_ = kDefaultSendTimeoutMs;
    WsUnansweredFn unanswered_;
};

// The process-wide current backend.  Until one is set it is the platform's
// own (PlatformWinSys) or, on builds without one, an empty simulated desktop.
OSTRELLE_API CWinSys& WinSys();
// Makes backend current (null restores the default); returns the previous
// one.  The caller keeps ownership and keeps it alive while it is current.
OSTRELLE_API CWinSys* SetWinSys(CWinSys* backend);

// The real window system of this build, or null on builds without one.
// Defined by the Win32 backend on Windows, by winsys/sim/simdefault.cpp
// elsewhere.
OSTRELLE_API CWinSys* PlatformWinSys();

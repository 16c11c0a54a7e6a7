// A window-system layer that writes the event log of what its caller asks
// of another layer, and forwards every call to it unchanged.  The same
// lines on every desktop: wrapped around the real window system it records
// what a script did to real windows; the simulated desktop is built on it
// and adds its windows' own lines beneath.
//
// Logged, when the call names a window (or process, block) that exists:
// sends with their results, posts, focus, capture, placement, style (and
// exstyle, id), enable, clipboard open/empty/close with their results,
// process open/close, remote allocation, release and writes, sleeps and
// alerts.  Queries (texts, classes, rectangles, enumeration, memory reads,
// clipboard reads) are not logged.
#pragma once

#include "winsys/eventlog.h"
#include "winsys/winsys.h"

class CLoggingWinSys : public CWinSys {
public:
    // inner and log stay the caller's and must outlive this layer.
    CLoggingWinSys(CWinSys& inner, CEventLog& log) { Attach(inner, log); }
    // Gives the layer below its own handler back.
    ~CLoggingWinSys() override;
    CLoggingWinSys(const CLoggingWinSys&) = delete;
    CLoggingWinSys& operator=(const CLoggingWinSys&) = delete;

    CWinSys& Inner() const { return *inner_; }
    CEventLog& Log() const { return *log_; }

    const char* Description() const override { return inner_->Description(); }
    bool AnsiTextIsUtf8() const override { return inner_->AnsiTextIsUtf8(); }
    bool NamesWindow(WsHandle hwnd) override { return inner_->NamesWindow(hwnd); }
    uint32_t ProcessIdOf(WsMem process) override { return inner_->ProcessIdOf(process); }

    bool IsWindow(WsHandle hwnd) override { return inner_->IsWindow(hwnd); }
    int GetClassNameA(WsHandle hwnd, char* buf, int size) override {
        return inner_->GetClassNameA(hwnd, buf, size);
    }
    int GetWindowTextA(WsHandle hwnd, char* buf, int size) override {
        return inner_->GetWindowTextA(hwnd, buf, size);
    }
    bool IsWindowVisible(WsHandle hwnd) override { return inner_->IsWindowVisible(hwnd); }
    bool IsWindowEnabled(WsHandle hwnd) override { return inner_->IsWindowEnabled(hwnd); }
    bool GetWindowRect(WsHandle hwnd, WsRect* rect) override {
        return inner_->GetWindowRect(hwnd, rect);
    }
    int32_t GetWindowLongA(WsHandle hwnd, int index) override {
        return inner_->GetWindowLongA(hwnd, index);
    }
    int32_t SetWindowLongA(WsHandle hwnd, int index, int32_t value) override;

    int EnumWindows(WsEnumProc proc, intptr_t lParam) override {
        return inner_->EnumWindows(proc, lParam);
    }
    int EnumAllWindows(WsEnumProc proc, intptr_t lParam) override {
        return inner_->EnumAllWindows(proc, lParam);
    }
    WsHandle GetParent(WsHandle hwnd) override { return inner_->GetParent(hwnd); }
    WsHandle GetTopWindow(WsHandle hwnd) override { return inner_->GetTopWindow(hwnd); }
    WsHandle GetWindow(WsHandle hwnd, unsigned cmd) override {
        return inner_->GetWindow(hwnd, cmd);
    }
    WsHandle GetDlgItem(WsHandle dialog, int id) override { return inner_->GetDlgItem(dialog, id); }
    int GetDlgCtrlID(WsHandle hwnd) override { return inner_->GetDlgCtrlID(hwnd); }
    uint32_t GetWindowThreadProcessId(WsHandle hwnd, uint32_t* pid) override {
        return inner_->GetWindowThreadProcessId(hwnd, pid);
    }

    WsHandle SetFocus(WsHandle hwnd) override;
    WsHandle SetCapture(WsHandle hwnd) override;
    WsHandle GetFocus() override { return inner_->GetFocus(); }
    WsHandle GetCapture() override { return inner_->GetCapture(); }
    bool ReleaseCapture() override;
    intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

    bool SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    bool EnableWindow(WsHandle hwnd, bool enable) override;

    bool IsMenu(WsHandle menu) override { return inner_->IsMenu(menu); }
    WsHandle GetMenu(WsHandle hwnd) override { return inner_->GetMenu(hwnd); }
    int GetMenuItemCount(WsHandle menu) override { return inner_->GetMenuItemCount(menu); }
    uint32_t GetMenuItemID(WsHandle menu, int pos) override {
        return inner_->GetMenuItemID(menu, pos);
    }
    int GetMenuStringA(WsHandle menu, uint32_t item, char* buf, int size, unsigned flags) override {
        return inner_->GetMenuStringA(menu, item, buf, size, flags);
    }
    WsHandle GetSubMenu(WsHandle menu, int pos) override { return inner_->GetSubMenu(menu, pos); }
    uint32_t GetMenuState(WsHandle menu, uint32_t item, unsigned flags) override {
        return inner_->GetMenuState(menu, item, flags);
    }
    uint32_t MapVirtualKeyA(uint32_t code, uint32_t mapType) override {
        return inner_->MapVirtualKeyA(code, mapType);
    }

    WsHandle GetDC(WsHandle hwnd) override { return inner_->GetDC(hwnd); }
    int ReleaseDC(WsHandle hwnd, WsHandle dc) override { return inner_->ReleaseDC(hwnd, dc); }
    WsHandle SelectObject(WsHandle dc, WsHandle object) override {
        return inner_->SelectObject(dc, object);
    }
    bool GetTextExtentPointA(WsHandle dc, const char* text, int count, WsSize* size) override {
        return inner_->GetTextExtentPointA(dc, text, count, size);
    }

    bool OpenClipboard(WsHandle owner) override;
    bool EmptyClipboard() override;
    bool CloseClipboard() override;
    WsMem GetClipboardData(unsigned format) override { return inner_->GetClipboardData(format); }
    void* GlobalLock(WsMem mem) override { return inner_->GlobalLock(mem); }
    bool GlobalUnlock(WsMem mem) override { return inner_->GlobalUnlock(mem); }
    size_t GlobalSize(WsMem mem) override { return inner_->GlobalSize(mem); }

    WsMem OpenProcess(uint32_t access, bool inherit, uint32_t pid) override;
    bool CloseHandle(WsMem process) override;
    int ProcessBits(WsMem process) override { return inner_->ProcessBits(process); }
    int GetProcessImageNameA(WsMem process, char* buf, int size) override {
        return inner_->GetProcessImageNameA(process, buf, size);
    }
    WsMem VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                         uint32_t protect) override;
    bool VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) override;
    bool WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                            size_t* written) override;
    bool ReadProcessMemory(WsMem process, WsMem address, void* data, size_t size,
                           size_t* read) override {
        return inner_->ReadProcessMemory(process, address, data, size, read);
    }

    // Both go to the layer below too; a send that got no answer is logged
    // ("no-answer HWND MS", beneath the send) before the handler hears of it.
    void SetSendTimeout(uint32_t ms) override;
    void SetUnansweredHandler(WsUnansweredFn fn) override;

    void Sleep(uint32_t ms) override;
    uint32_t GetTickCount() override { return inner_->GetTickCount(); }
    void ChargeCalls(uint64_t calls) override { inner_->ChargeCalls(calls); }
    int MessageBoxA(WsHandle owner, const char* text, const char* caption, unsigned type) override;

protected:
    // For a layer that owns what it wraps: set both before the first call.
    CLoggingWinSys() = default;
    void Attach(CWinSys& inner, CEventLog& log);

private:
    CWinSys* inner_ = nullptr;
    CEventLog* log_ = nullptr;
    WsUnansweredFn handler_; // the caller's, called after the log line
};

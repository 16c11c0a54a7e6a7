#include "winsys/logwinsys.h"

#include "winsys/wsdefs.h"

using namespace evlog;

namespace {

std::string Result(bool ok) {
    return ok ? " -> 1" : " -> 0";
}

} // namespace

void CLoggingWinSys::Attach(CWinSys& inner, CEventLog& log) {
    inner_ = &inner;
    log_ = &log;
    inner_->SetSendTimeout(SendTimeout());
    SetUnansweredHandler(nullptr);
}

void CLoggingWinSys::SetSendTimeout(uint32_t ms) {
    CWinSys::SetSendTimeout(ms);
    inner_->SetSendTimeout(ms);
}

CLoggingWinSys::~CLoggingWinSys() {
    if (inner_) inner_->SetUnansweredHandler(handler_);
}

void CLoggingWinSys::SetUnansweredHandler(WsUnansweredFn fn) {
    CWinSys::SetUnansweredHandler(fn);
    handler_ = fn;
    inner_->SetUnansweredHandler([this](WsHandle hwnd, uint32_t msg, uint32_t waitedMs) {
        log_->Enter();
        log_->Line("no-answer " + Hex8(hwnd) + " " + std::to_string(waitedMs));
        log_->Leave();
        if (handler_) handler_(hwnd, msg, waitedMs);
    });
}

int32_t CLoggingWinSys::SetWindowLongA(WsHandle hwnd, int index, int32_t value) {
    if (inner_->NamesWindow(hwnd)) {
        const std::string v = Hex8(uint32_t(value));
        switch (index) {
        case gwl::STYLE:
            log_->Line("style " + Hex8(hwnd) + " " + v);
            break;
        case gwl::EXSTYLE:
            log_->Line("exstyle " + Hex8(hwnd) + " " + v);
            break;
        case gwl::ID:
            log_->Line("id " + Hex8(hwnd) + " " + std::to_string(value));
            break;
        default:
            break;
        }
    }
    return inner_->SetWindowLongA(hwnd, index, value);
}

WsHandle CLoggingWinSys::SetFocus(WsHandle hwnd) {
    if (inner_->NamesWindow(hwnd)) log_->Line("focus " + Hex8(hwnd));
    return inner_->SetFocus(hwnd);
}

WsHandle CLoggingWinSys::SetCapture(WsHandle hwnd) {
    if (inner_->NamesWindow(hwnd)) log_->Line("capture " + Hex8(hwnd));
    return inner_->SetCapture(hwnd);
}

bool CLoggingWinSys::ReleaseCapture() {
    const bool ok = inner_->ReleaseCapture();
    if (ok) log_->Line("capture 00000000");
    return ok;
}

intptr_t CLoggingWinSys::SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam,
                                      intptr_t lParam) {
    if (!inner_->NamesWindow(hwnd)) return inner_->SendMessageA(hwnd, msg, wParam, lParam);
    log_->BeginSend("send " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam));
    const intptr_t result = inner_->SendMessageA(hwnd, msg, wParam, lParam);
    log_->EndSend(result);
    return result;
}

bool CLoggingWinSys::PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    // A character message is logged as any post; its wParam is a UTF-16
    // code unit.
    if (!IsCharMessage(msg)) return PostMessageA(hwnd, msg, wParam, lParam);
    if (inner_->NamesWindow(hwnd))
        log_->Line("post " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam));
    return inner_->PostMessageW(hwnd, msg, wParam, lParam);
}

bool CLoggingWinSys::PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (!inner_->NamesWindow(hwnd)) return inner_->PostMessageA(hwnd, msg, wParam, lParam);
    if (CarriesPointer(msg)) {
        // The platform refuses to post a pointer into the sender's memory.
        const bool ok = inner_->PostMessageA(hwnd, msg, wParam, lParam);
        if (!ok) log_->Line("post " + Hex8(hwnd) + " " + MessageName(msg) + " refused");
        return ok;
    }
    // Logged before it is delivered: a receiver that handles it at once
    // logs beneath it.
    log_->Line("post " + Hex8(hwnd) + " " + MessageText(msg, wParam, lParam));
    return inner_->PostMessageA(hwnd, msg, wParam, lParam);
}

bool CLoggingWinSys::SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                                  unsigned flags) {
    if (inner_->NamesWindow(hwnd))
        log_->Line("pos " + Hex8(hwnd) + " after=" + Hex8(insertAfter) + " x=" + std::to_string(x) +
                   " y=" + std::to_string(y) + " cx=" + std::to_string(cx) +
                   " cy=" + std::to_string(cy) + " flags=" + Hex4(flags));
    return inner_->SetWindowPos(hwnd, insertAfter, x, y, cx, cy, flags);
}

bool CLoggingWinSys::EnableWindow(WsHandle hwnd, bool enable) {
    if (inner_->NamesWindow(hwnd)) log_->Line("enable " + Hex8(hwnd) + (enable ? " 1" : " 0"));
    return inner_->EnableWindow(hwnd, enable);
}

bool CLoggingWinSys::OpenClipboard(WsHandle owner) {
    const bool named = owner == 0 || inner_->NamesWindow(owner);
    const bool ok = inner_->OpenClipboard(owner);
    if (named) log_->Line("clipboard-open " + Hex8(owner) + Result(ok));
    return ok;
}

bool CLoggingWinSys::EmptyClipboard() {
    const bool ok = inner_->EmptyClipboard();
    log_->Line("clipboard-empty" + Result(ok));
    return ok;
}

bool CLoggingWinSys::CloseClipboard() {
    const bool ok = inner_->CloseClipboard();
    log_->Line("clipboard-close" + Result(ok));
    return ok;
}

WsMem CLoggingWinSys::OpenProcess(uint32_t access, bool inherit, uint32_t pid) {
    const WsMem process = inner_->OpenProcess(access, inherit, pid);
    if (process)
        log_->Line("process-open " + std::to_string(pid) + " access=" + Hex8(access));
    else if (pid)
        log_->Line("process-open " + std::to_string(pid) + " denied");
    return process;
}

bool CLoggingWinSys::CloseHandle(WsMem process) {
    const uint32_t pid = inner_->ProcessIdOf(process);
    const bool ok = inner_->CloseHandle(process);
    if (ok && pid) log_->Line("process-close " + std::to_string(pid));
    return ok;
}

WsMem CLoggingWinSys::VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                                     uint32_t protect) {
    const WsMem block = inner_->VirtualAllocEx(process, address, size, type, protect);
    if (block)
        log_->Line("alloc " + std::to_string(inner_->ProcessIdOf(process)) + " " + Hex16(block) +
                   " " + std::to_string(size));
    return block;
}

bool CLoggingWinSys::VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) {
    const bool ok = inner_->VirtualFreeEx(process, address, size, type);
    if (ok)
        log_->Line("free " + std::to_string(inner_->ProcessIdOf(process)) + " " + Hex16(address));
    return ok;
}

bool CLoggingWinSys::WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                                        size_t* written) {
    const bool ok = inner_->WriteProcessMemory(process, address, data, size, written);
    if (ok)
        log_->Line("write " + std::to_string(inner_->ProcessIdOf(process)) + " " + Hex16(address) +
                   " " + std::to_string(size));
    return ok;
}

void CLoggingWinSys::Sleep(uint32_t ms) {
    log_->Line("sleep " + std::to_string(ms));
    inner_->Sleep(ms);
}

int CLoggingWinSys::MessageBoxA(WsHandle owner, const char* text, const char* caption,
                                unsigned type) {
    log_->Line("alert " + Hex8(owner) + " " + Quote(caption ? caption : "Error") + " " +
               Quote(text ? text : ""));
    return inner_->MessageBoxA(owner, text, caption, type);
}

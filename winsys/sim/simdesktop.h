// The simulated desktop: a window system of our own making that answers
// every operation of CWinSys for the windows, menus, processes and
// clipboard of a scene (a JSON file, see examples/README.md).
//
// - Controls answer their messages the way the platform's do (edit, button,
//   check box, list box, combo box, list view, date picker); scene
//   behaviours let any window react to a message (put a text on the
//   clipboard, set a text, show or hide a window, send a message on).
// - Processes have 32- or 64-bit address spaces; a list view reads its
//   LVITEMA requests from its own process's memory in that process's layout.
// - A virtual clock in microseconds: Sleep advances it, every operation
//   costs a fixed amount (the scene's "costMicros", 10 by default).
// - The event log: what a caller asks (sends, posts, focus, placement ...)
//   is written by the logging layer the desktop is built on (logwinsys.h);
//   what the windows do while handling a message (texts, check states,
//   shown windows, clipboard copies, the messages handlers send on) is
//   written by the desktop itself, indented beneath.  The format is
//   documented in examples/README.md.
//
// Calls that name no window (or menu, process, device context) fail the
// way the platform's do and are not logged.  Posted messages are delivered
// at once, in the order posted.
#pragma once

#include "winsys/logwinsys.h"
#include "winsys/winsys.h"

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

class SceneLoader;

// What a control class does with its messages.
enum class Kind { Generic, Edit, Button, ListBox, ComboBox, ListView, DatePicker };

// One list-box, combo-box or list-view item.
struct Item {
    std::string text;                  // first column
    std::vector<std::string> subitems; // further columns (list view)
    int64_t data = 0;                  // item data
    int height = 16;                   // list-box item height
    uint32_t state = 0;                // list-view LVIS_* state
};

// One reaction of a window to a message.
struct Action {
    enum Type {
        SetText,
        Show,
        Hide,
        Clipboard,
        ClipboardFrom,
        ClearClipboard,
        Send,
        Post,
        Mark,
        ToTop // the window moves to the top of its siblings
    };
    Type type = SetText;
    WsHandle window = 0; // target; 0 is the window itself
    std::string text;
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
};
struct Behaviour {
    uint32_t msg = 0;
    std::optional<uint64_t> wParam; // whole wParam must equal
    std::optional<uint32_t> id;     // low 16 bits of wParam must equal
    std::optional<int64_t> lParam;
    std::optional<std::string> marked; // only while the window holds this mark
    std::vector<Action> actions;
    std::optional<int64_t> result; // what SendMessageA returns
    uint32_t delayMs = 0;          // how long the handler takes (virtual clock)
};

struct Window {
    WsHandle hwnd = 0;
    std::string cls;
    std::string text;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    WsRect rect; // screen coordinates
    int id = 0;
    WsHandle parent = 0;            // parent window (children) or 0
    WsHandle owner = 0;             // owner window (top-level) or 0
    std::vector<WsHandle> children; // z-order, first is on top
    uint32_t thread = 0;
    uint32_t pid = 0;
    WsHandle font = 0; // 0: the system font
    WsHandle menu = 0;
    Kind kind = Kind::Generic;
    // Control state.
    std::vector<Item> items;
    int curSel = -1;
    int horizontalExtent = 0;
    int columns = 1;
    int check = 0;
    bool pressed = false;
    int date[3] = {1, 1, 2000}; // month, day, year
    int dateField = 0;
    std::string dateDigits;
    char16_t highSurrogate = 0; // of a wide WM_CHAR, waiting for its low half
    std::vector<Behaviour> behaviours;
    std::vector<std::string> marks; // set by behaviours ("mark"), never shown
    bool hung = false;              // its thread answers no sent message
};

struct MenuItem {
    std::string text;
    uint32_t id = 0;
    WsHandle submenu = 0;
    bool separator = false;
    bool grayed = false;
};
struct Menu {
    WsHandle handle = 0;
    std::vector<MenuItem> items;
};

struct Font {
    WsHandle handle = 0;
    std::string name;
    int width = 8; // every character
    int height = 16;
    // The width of "ABC" as measured where the font was captured (the
    // text GetFont measures); -1: three characters' width.
    int abcWidth = -1;
};

// One committed block of another process's memory.
struct Block {
    std::vector<uint8_t> bytes;
    uint32_t protect = 0;
};
struct Process {
    uint32_t pid = 0;
    int bits = 64;
    std::string name;
    std::vector<uint32_t> threads;
    bool openable = true;
    // Bytes the process may commit (rounded up to whole pages); none: the
    // desktop's limit for every process.
    std::optional<size_t> memoryLimit;
    std::map<WsMem, Block> memory; // by base address
    WsMem nextAddress = 0;
};

// A date picker's text for month, day, year: "MM/DD/YYYY".
std::string DateText(const int date[3]);

// The windows, menus, processes and clipboard of a scene and how they
// answer: every operation of CWinSys, unlogged but for what the windows do
// while handling a message (see CSimDesktop for the whole desktop).
class CSimCore : public CWinSys {
public:
    explicit CSimCore(CEventLog& log);
    ~CSimCore() override;
    CSimCore(const CSimCore&) = delete;
    CSimCore& operator=(const CSimCore&) = delete;

    // Inspection, for tests and the tool's own use.
    const Window* WindowAt(WsHandle hwnd) const;
    // The handle a window or menu is known by: h, or the whole handle whose
    // low 16 bits h gives.
    WsHandle Full(WsHandle h) const;
    const Process* FindProcess(uint32_t pid) const;
    const Menu* FindMenu(WsHandle menu) const;
    std::string ClipboardText() const; // "" when it holds no text; up to the first zero
    bool ClipboardIsOpen() const { return clipOpen_; }
    WsHandle ClipboardOwner() const { return clipOwner_; }
    uint64_t NowMicros() const { return micros_; }
    size_t OpenProcessHandles() const { return processHandles_.size(); }
    size_t OpenDCs() const { return dcs_.size(); }
    const std::string& Name() const { return name_; }

    // --- CWinSys ----------------------------------------------------------
    const char* Description() const override { return description_.c_str(); }
    bool NamesWindow(WsHandle hwnd) override { return Win(hwnd) != nullptr; }
    uint32_t ProcessIdOf(WsMem process) override;
    bool IsWindow(WsHandle hwnd) override;
    int GetClassNameA(WsHandle hwnd, char* buf, int size) override;
    int GetWindowTextA(WsHandle hwnd, char* buf, int size) override;
    bool IsWindowVisible(WsHandle hwnd) override;
    bool IsWindowEnabled(WsHandle hwnd) override;
    bool GetWindowRect(WsHandle hwnd, WsRect* rect) override;
    int32_t GetWindowLongA(WsHandle hwnd, int index) override;
    int32_t SetWindowLongA(WsHandle hwnd, int index, int32_t value) override;
    int EnumWindows(WsEnumProc proc, intptr_t lParam) override;
    int EnumAllWindows(WsEnumProc proc, intptr_t lParam) override;
    WsHandle GetParent(WsHandle hwnd) override;
    WsHandle GetTopWindow(WsHandle hwnd) override;
    WsHandle GetWindow(WsHandle hwnd, unsigned cmd) override;
    WsHandle GetDlgItem(WsHandle dialog, int id) override;
    int GetDlgCtrlID(WsHandle hwnd) override;
    uint32_t GetWindowThreadProcessId(WsHandle hwnd, uint32_t* pid) override;
    WsHandle SetFocus(WsHandle hwnd) override;
    WsHandle SetCapture(WsHandle hwnd) override;
    WsHandle GetFocus() override;
    WsHandle GetCapture() override;
    bool ReleaseCapture() override;
    intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool PostMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool PostMessageW(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
    bool AnsiTextIsUtf8() const override { return true; }
    bool SetWindowPos(WsHandle hwnd, WsHandle insertAfter, int x, int y, int cx, int cy,
                      unsigned flags) override;
    bool EnableWindow(WsHandle hwnd, bool enable) override;
    bool IsMenu(WsHandle menu) override;
    WsHandle GetMenu(WsHandle hwnd) override;
    int GetMenuItemCount(WsHandle menu) override;
    uint32_t GetMenuItemID(WsHandle menu, int pos) override;
    int GetMenuStringA(WsHandle menu, uint32_t item, char* buf, int size, unsigned flags) override;
    WsHandle GetSubMenu(WsHandle menu, int pos) override;
    uint32_t GetMenuState(WsHandle menu, uint32_t item, unsigned flags) override;
    uint32_t MapVirtualKeyA(uint32_t code, uint32_t mapType) override;
    WsHandle GetDC(WsHandle hwnd) override;
    int ReleaseDC(WsHandle hwnd, WsHandle dc) override;
    WsHandle SelectObject(WsHandle dc, WsHandle object) override;
    bool GetTextExtentPointA(WsHandle dc, const char* text, int count, WsSize* size) override;
    bool OpenClipboard(WsHandle owner) override;
    bool EmptyClipboard() override;
    bool CloseClipboard() override;
    WsMem GetClipboardData(unsigned format) override;
    void* GlobalLock(WsMem mem) override;
    bool GlobalUnlock(WsMem mem) override;
    size_t GlobalSize(WsMem mem) override;
    WsMem OpenProcess(uint32_t access, bool inherit, uint32_t pid) override;
    bool CloseHandle(WsMem process) override;
    int ProcessBits(WsMem process) override;
    int GetProcessImageNameA(WsMem process, char* buf, int size) override;
    WsMem VirtualAllocEx(WsMem process, WsMem address, size_t size, uint32_t type,
                         uint32_t protect) override;
    bool VirtualFreeEx(WsMem process, WsMem address, size_t size, uint32_t type) override;
    bool WriteProcessMemory(WsMem process, WsMem address, const void* data, size_t size,
                            size_t* written) override;
    bool ReadProcessMemory(WsMem process, WsMem address, void* data, size_t size,
                           size_t* read) override;
    void Sleep(uint32_t ms) override;
    uint32_t GetTickCount() override;
    void ChargeCalls(uint64_t calls) override;
    int MessageBoxA(WsHandle owner, const char* text, const char* caption, unsigned type) override;

    // Limits that keep every scene and every caller bounded.
    static constexpr size_t kMaxBlock = 16u << 20; // one remote allocation
    static constexpr size_t kMaxProcessMemory = 64u << 20;
    static constexpr size_t kMaxDCs = 10000;
    static constexpr size_t kMaxProcessHandles = 10000;
    static constexpr int kMaxNesting = 32; // messages sent from handlers
    // Messages that handlers may send or post while one outside call runs:
    // a handler that sends twice would otherwise fan out to 2^kMaxNesting.
    static constexpr size_t kMaxHandlerMessages = 10000;

private:
    friend class SceneLoader;

    // The clipboard's text block: exactly the bytes its owner put there,
    // the text and (unless the scene says otherwise) its terminating zero.
    using ClipBlock = std::vector<char>;
    struct Clip {
        WsMem handle = 0;
        std::shared_ptr<ClipBlock> block;
        // The owner announced text to render on demand and never renders
        // it: a read waits the send bound and gets nothing.
        bool delayed = false;
    };
    static std::shared_ptr<ClipBlock> TextBlock(const std::string& text, bool terminated);
    struct DC {
        WsHandle hwnd = 0;
        WsHandle font = 0;
    };
    struct ProcessHandle {
        uint32_t pid = 0;
        uint32_t access = 0;
    };

    void Tick();
    // Shows and hides the windows whose time on the clock has come.
    void RunTimers();
    // hwnd is shown (or hidden) once the clock reaches atMs.
    void AddTimer(WsHandle hwnd, uint64_t atMs, bool show);
    bool OverBudget();
    // The item of menu that item names (by position or by command, as flags
    // say), or null.
    const MenuItem* MenuItemOf(const Menu& menu, uint32_t item, unsigned flags) const;
    void Log(const std::string& line) { log_.Line(line); }
    Window* Win(WsHandle hwnd);
    Process* ProcOf(WsMem handle, uint32_t need);
    std::vector<WsHandle>& SiblingsOf(const Window& w);
    void SetText(Window& w, const std::string& text);
    void MoveTree(Window& w, int dx, int dy);
    bool VisibleChain(const Window& w) const;

    // Message handling (simcontrols.cpp).
    intptr_t Deliver(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam);
    // How long w's handlers take for this message, in ms.
    uint32_t HandlerDelay(const Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam) const;
    intptr_t DefaultAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                           bool* handled);
    intptr_t EditAnswer(Window& w, uint32_t msg, uintptr_t wParam, bool* handled);
    intptr_t ButtonAnswer(Window& w, uint32_t msg, uintptr_t wParam, bool* handled);
    intptr_t ListBoxAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                           bool* handled);
    intptr_t ComboBoxAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                            bool* handled);
    intptr_t ListViewAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam,
                            bool* handled);
    intptr_t DateAnswer(Window& w, uint32_t msg, uintptr_t wParam, intptr_t lParam, bool* handled);
    void Click(Window& w);
    void Notify(Window& w, uint32_t code);
    void RunAction(Window& w, const Action& a);
    void PutOnClipboard(Window& owner, const std::string& text);
    bool RemoteRead(uint32_t pid, WsMem address, void* data, size_t size);
    bool RemoteWrite(uint32_t pid, WsMem address, const void* data, size_t size);

    std::string name_;
    std::string description_;
    std::map<WsHandle, std::unique_ptr<Window>> windows_;
    std::vector<WsHandle> topLevel_; // z-order, first is on top
    std::map<WsHandle, Menu> menus_;
    std::unordered_map<WsHandle, WsHandle> aliases_; // low 16 bits -> whole handle
    void MakeAliases(bool pairs);
    std::map<WsHandle, Font> fonts_;
    Font systemFont_;
    std::map<uint32_t, Process> processes_;
    std::map<uint32_t, uint32_t> threadPid_;
    std::map<WsMem, ProcessHandle> processHandles_;
    WsMem nextProcessHandle_ = 0x100;
    std::map<WsHandle, DC> dcs_;
    WsHandle nextDC_ = 0x01010001;
    WsHandle focus_ = 0;
    WsHandle captureWnd_ = 0;
    // True while a character message posted by PostMessageW is delivered:
    // its wParam is a UTF-16 code unit rather than a byte.
    bool wideChar_ = false;
    // Clipboard.
    bool clipOpen_ = false;
    WsHandle clipOpener_ = 0;
    WsHandle clipOwner_ = 0;
    Clip clip_;
    std::map<WsMem, std::pair<std::shared_ptr<ClipBlock>, int>> locked_; // handle: data, locks
    WsMem nextClipHandle_ = 0x00C10000;
    // Clock, and the windows it shows or hides, soonest first.
    uint64_t micros_ = 0;
    struct Timer {
        uint64_t atMicros = 0;
        WsHandle hwnd = 0;
        bool show = false;
    };
    std::vector<Timer> timers_;
    uint64_t costMicros_ = 10;
    // Log.
    CEventLog& log_;
    size_t handlerMessages_ = 0; // sent or posted by handlers in this outside call
};

// Members a CSimDesktop builds before its logging layer.
struct SimParts {
    CEventLog log;
    CSimCore core{log};
};

} // namespace sim

// A simulated desktop: the scene's windows (CSimCore) behind the logging
// layer, so that its event log holds what its caller asked and, beneath,
// what the windows did.
class CSimDesktop : private sim::SimParts, public CLoggingWinSys {
public:
    CSimDesktop() { Attach(core, log); }
    CSimDesktop(const CSimDesktop&) = delete;
    CSimDesktop& operator=(const CSimDesktop&) = delete;

    // Builds a desktop from a scene text; name is used in messages.  On
    // failure returns null and sets error to "line L, column C: why" for
    // malformed JSON or "key.path: why" for a wrong value.
    static std::unique_ptr<CSimDesktop> FromJson(const std::string& text, const std::string& name,
                                                 std::string* error);
    // As FromJson, reading the file at path ("cannot open (reason)" when
    // it cannot be read).
    static std::unique_ptr<CSimDesktop> FromFile(const std::string& path, std::string* error);

    // The event log: appended to the stream when one is set (not owned),
    // and kept in memory when capturing.
    void SetLogStream(FILE* stream) { log.SetStream(stream); }
    void CaptureLog(bool on) { log.Capture(on); }
    const std::vector<std::string>& LogLines() const { return log.Lines(); }
    void ClearLog() { log.Clear(); }

    // Inspection, for tests and the tool's own use.
    const sim::Window* WindowAt(WsHandle hwnd) const { return core.WindowAt(hwnd); }
    const sim::Process* FindProcess(uint32_t pid) const { return core.FindProcess(pid); }
    const sim::Menu* FindMenu(WsHandle menu) const { return core.FindMenu(menu); }
    std::string ClipboardText() const { return core.ClipboardText(); }
    bool ClipboardIsOpen() const { return core.ClipboardIsOpen(); }
    WsHandle ClipboardOwner() const { return core.ClipboardOwner(); }
    uint64_t NowMicros() const { return core.NowMicros(); }
    size_t OpenProcessHandles() const { return core.OpenProcessHandles(); }
    size_t OpenDCs() const { return core.OpenDCs(); }
    const std::string& Name() const { return core.Name(); }

    static constexpr size_t kMaxBlock = sim::CSimCore::kMaxBlock;
    static constexpr size_t kMaxProcessMemory = sim::CSimCore::kMaxProcessMemory;
    static constexpr size_t kMaxDCs = sim::CSimCore::kMaxDCs;
    static constexpr size_t kMaxProcessHandles = sim::CSimCore::kMaxProcessHandles;
    static constexpr int kMaxNesting = sim::CSimCore::kMaxNesting;
    static constexpr size_t kMaxHandlerMessages = sim::CSimCore::kMaxHandlerMessages;
};

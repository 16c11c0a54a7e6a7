// The tool's window scans over real windows (Windows, or Wine), each against
// the bare sweep of window-system calls it is made of, timed in the same run:
//
//   Wnd (a title not found), WndClass, FindDlg,  against GetClassNameA of the
//   one look of WaitWnd                          handles 0..0xFFFF
//   the children-by-id walk of Btn and Dialog,   against GetDlgItem of the ids
//   and Btn itself                               0..0xFFFF
//   ScanUp, ScanDn, CmdScan over 0..0xFFFF       against GetWindowThreadProcessId
//                                                of the same handles
//   the Clk grid (40,000 sends)                  against 40,000 bare SendMessageA
//   Test1 over 0..65534 (no trading application) against the copy command and
//                                                an OpenClipboard to each value
//   Menu (its 2,000 ms wait left out)            against IsMenu of 0..0xFFFF
//   Wnd (a title not found) through the layer's  against the same through
//   UTF-16 reads, a Cyrillic and an ASCII title   the ANSI calls (GetWindowTextA,
//                                                GetClassNameA): the layer of old
//
// Google Benchmark is not there for this build, so the timing is our own:
// QueryPerformanceCounter around each pass, the passes of all operations taken
// in turn, several rounds, the median kept.  The result is written to the file
// named on the command line in the shape of Google Benchmark's JSON output
// (aggregate "median", times in nanoseconds), so that one table reads both.
//
// The windows are the program's own: a dialog (class "#32770") with a dozen
// controls and a few top-level windows of another class.
//
//   bench_winscan OUT.json    measure and write the results
//   bench_winscan --probe     exit with 0 when the windows can be made (a
//                             fresh Wine prefix takes a few seconds to)
#include "tool/commands.h"
#include "tool/context.h"
#include "tool/report.h"
#include "tool/walks.h"
#include "winsys/eventlog.h"
#include "winsys/logwinsys.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 7;
constexpr int kControls = 12;
constexpr int kFirstControlId = 1001;

// The windows the scans look at; destroyed at the end.
class BenchWindows {
public:
    BenchWindows() {
        HINSTANCE self = GetModuleHandleA(nullptr);
        dialog_ =
            CreateWindowExA(0, "#32770", "Scan bench dialog", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                            10, 400, 300, nullptr, nullptr, self, nullptr);
        const char* classes[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX"};
        for (int i = 0; i < kControls; ++i) {
            const std::string text = "Control " + std::to_string(i + 1);
            CreateWindowExA(0, classes[i % 4], text.c_str(), WS_CHILD | WS_VISIBLE, 10, 10 + 20 * i,
                            120, 18, dialog_, reinterpret_cast<HMENU>(INT_PTR(kFirstControlId + i)),
                            self, nullptr);
        }
        for (int i = 0; i < 3; ++i) {
            const std::string text = "Scan bench window " + std::to_string(i + 1);
            tops_.push_back(CreateWindowExA(0, "STATIC", text.c_str(), WS_POPUP | WS_VISIBLE, 50,
                                            50, 100, 50, nullptr, nullptr, self, nullptr));
        }
    }
    ~BenchWindows() {
        for (HWND w : tops_) DestroyWindow(w);
        if (dialog_) DestroyWindow(dialog_);
    }
    BenchWindows(const BenchWindows&) = delete;
    BenchWindows& operator=(const BenchWindows&) = delete;

    bool Ready() const { return dialog_ != nullptr; }
    HWND Dialog() const { return dialog_; }

private:
    HWND dialog_ = nullptr;
    std::vector<HWND> tops_;
};

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return double(t.QuadPart) * 1e9 / double(f.QuadPart);
}

struct Operation {
    std::string name;
    std::function<int()> pass; // one pass; returns a count, so nothing is left out
    std::vector<double> ns{};
    int count = 0;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs a command of the tool the way the interpreter calls it.
int RunCommand(CommandContext& ctx, CommandFn command, const char* line, const char* word,
               const char* args) {
    command(ctx, CommandCall{line, word, args});
    return int(ctx.state.hWnd);
}

// The platform's layer with waits that take no time: Menu's fixed wait of
// 2,000 ms left out of its timing.
class NoWaits : public CLoggingWinSys {
public:
    NoWaits(CWinSys& inner, CEventLog& log) : CLoggingWinSys(inner, log) {}
    void Sleep(uint32_t) override {}
};

// The window texts and class names read with the ANSI calls, as the layer
// read them before it spoke UTF-8: the baseline of the UTF-16 reads.
class AnsiTexts : public NoWaits {
public:
    using NoWaits::NoWaits;
    int GetClassNameA(WsHandle hwnd, char* buf, int size) override {
        return Read(hwnd, buf, size, ::GetClassNameA);
    }
    int GetWindowTextA(WsHandle hwnd, char* buf, int size) override {
        return Read(hwnd, buf, size, ::GetWindowTextA);
    }

private:
    template <typename Call> static int Read(WsHandle hwnd, char* buf, int size, Call call) {
        if (!buf || size <= 0) return 0;
        buf[0] = '\0';
        const WsHandle low = hwnd & 0xFFFF;
        if (low == 0 || low == 0xFFFF) return 0;
        const int n = call(
            reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(hwnd))), buf, size);
        return n > 0 ? n : 0;
    }
};

bool WriteJson(const char* path, const std::vector<Operation>& ops) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "{\n  \"context\": {\"timer\": \"QueryPerformanceCounter\", \"rounds\": %d},\n",
                 kRounds);
    std::fprintf(f, "  \"benchmarks\": [\n");
    for (size_t i = 0; i < ops.size(); ++i) {
        const double median = Median(ops[i].ns);
        std::fprintf(f,
                     "    {\"name\": \"%s_median\", \"run_name\": \"%s\", \"run_type\": "
                     "\"aggregate\", \"aggregate_name\": \"median\", \"real_time\": %.1f, "
                     "\"cpu_time\": %.1f, \"time_unit\": \"ns\", \"found\": %d}%s\n",
                     ops[i].name.c_str(), ops[i].name.c_str(), median, median, ops[i].count,
                     i + 1 < ops.size() ? "," : "");
    }
    std::fprintf(f, "  ]\n}\n");
    return std::fclose(f) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_winscan OUT.json | --probe\n");
        return 2;
    }
    BenchWindows windows;
    if (std::string(argv[1]) == "--probe") return windows.Ready() ? 0 : 1;
    if (!windows.Ready()) {
        std::fprintf(stderr, "bench_winscan: cannot create the dialog\n");
        return 1;
    }
    CWinSys& ws = *PlatformWinSys();
    CDiscardOutput discard;
    CommandContext ctx(ws, discard, discard);
    const HWND dialog = windows.Dialog();
    const WsHandle dialogHandle = WsHandle(reinterpret_cast<uintptr_t>(dialog));

    std::vector<Operation> ops;
    ops.push_back({"Win_GetClassNameA_sweep", [] {
                       int n = 0;
                       for (uintptr_t h = 0; h <= 0xFFFF; ++h) {
                           char cls[1000];
                           n += GetClassNameA(reinterpret_cast<HWND>(h), cls, sizeof cls) > 0;
                       }
                       return n;
                   }});
    ops.push_back({"Win_GetDlgItem_sweep", [dialog] {
                       int n = 0;
                       for (int id = 0; id <= 0xFFFF; ++id) n += GetDlgItem(dialog, id) != nullptr;
                       return n;
                   }});
    ops.push_back({"Tool_Wnd_not_found", [&ctx] {
                       return RunCommand(ctx, CmdWnd, "Wnd,No such title 7Q", "Wnd",
                                         "No such title 7Q");
                   }});
    // One look of WaitWnd: an enumeration of the top-level windows.
    ops.push_back({"Tool_WaitWnd_look", [&ctx] {
                       return RunCommand(ctx, CmdWaitWnd, "WaitWnd,No such title 7Q,0", "WaitWnd",
                                         "No such title 7Q,0");
                   }});
    ops.push_back({"Tool_WndClass_not_found", [&ctx] {
                       return RunCommand(ctx, CmdWndClass, "WndClass,No such title 7Q,STATIC",
                                         "WndClass", "No such title 7Q,STATIC");
                   }});
    ops.push_back({"Tool_FindDlg_not_found", [&ctx] {
                       return RunCommand(ctx, CmdFindDlg, "FindDlg,No such dialog 7Q", "FindDlg",
                                         "No such dialog 7Q");
                   }});
    ops.push_back(
        {"Tool_WaitFor_pass", [&ws] { return int(WaitPass(ws, "No such title 7Q") != 0); }});
    ops.push_back({"Tool_ChildrenById_walk", [&ws, dialogHandle] {
                       return int(ChildrenById(ws, dialogHandle, 0xFFFF).size());
                   }});
    // The sending commands act on windows of this thread, with the dialog
    // as the current window.  Their lines go to standard output, which
    // scripts/bench throws away.
    CommandContext sender(ws, discard, discard);
    sender.state.hWnd = dialogHandle;
    const HWND target = GetDlgItem(dialog, kFirstControlId + 2);
    ops.push_back({"Tool_Btn_no_match", [&sender] {
                       return RunCommand(sender, CmdBtn, "Btn,No such button", "Btn",
                                         "No such button");
                   }});
    ops.push_back({"Win_Thread_sweep", [] {
                       const DWORD self = GetCurrentThreadId();
                       int n = 0;
                       for (uintptr_t h = 0; h <= 0xFFFF; ++h)
                           n +=
                               GetWindowThreadProcessId(reinterpret_cast<HWND>(h), nullptr) == self;
                       return n;
                   }});
    ops.push_back({"Tool_ScanUp", [&sender] {
                       return RunCommand(sender, CmdScanUp, "ScanUp,0,100000", "ScanUp",
                                         "0,100000");
                   }});
    ops.push_back({"Tool_ScanDn", [&sender] {
                       return RunCommand(sender, CmdScanDn, "ScanDn,0,100000", "ScanDn",
                                         "0,100000");
                   }});
    ops.push_back({"Tool_CmdScan", [&sender] {
                       return RunCommand(sender, CmdCmdScan, "CmdScan,0,0,0,0xFFFF", "CmdScan",
                                         "0,0,0,0xFFFF");
                   }});
    ops.push_back({"Win_Send_40000", [target] {
                       int n = 0;
                       for (int i = 0; i < 40000; ++i)
                           n += int(SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, 0) == 0);
                       return n;
                   }});
    CommandContext clicker(ws, discard, discard);
    clicker.state.hWnd = WsHandle(reinterpret_cast<uintptr_t>(target));
    ops.push_back({"Tool_Clk_grid",
                   [&clicker] { return RunCommand(clicker, CmdClk, "Clk,L-", "Clk", "L-"); }});

    // The probes that try every value.  The clipboard is emptied first, so
    // that Test1 finds no strategy text to report.
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    ops.push_back({"Win_CopyAndClipboard_sweep", [&ws] {
                       int n = 0;
                       for (WsHandle h = 0; h < 0xFFFF; ++h) {
                           ws.SendMessageA(h, wm::COMMAND, 57634, 0);
                           if (ws.OpenClipboard(h)) {
                               ++n;
                               ws.GetClipboardData(cf::TEXT);
                               ws.CloseClipboard();
                           }
                       }
                       return n;
                   }});
    ops.push_back(
        {"Tool_Test1", [&ctx] { return RunCommand(ctx, CmdTest1, "Test1", "Test1", ""); }});
    ops.push_back({"Win_IsMenu_sweep", [] {
                       int n = 0;
                       for (uintptr_t h = 0; h <= 0xFFFF; ++h)
                           n += IsMenu(reinterpret_cast<HMENU>(h)) != 0;
                       return n;
                   }});
    CEventLog quiet; // writes nowhere
    NoWaits noWaits(ws, quiet);
    CommandContext menus(noWaits, discard, discard);
    ops.push_back(
        {"Tool_Menu_no_wait", [&menus] { return RunCommand(menus, CmdMenu, "Menu", "Menu", ""); }});

    // The title scan with the UTF-16 reads against the same scan with the
    // ANSI calls; both through a layer of the same make.
    NoWaits wide(ws, quiet);
    AnsiTexts ansi(ws, quiet);
    CommandContext wideCtx(wide, discard, discard), ansiCtx(ansi, discard, discard);
    const char* const cyrillic =
        "\xD0\x9D\xD0\xB5\xD1\x82 \xD1\x82\xD0\xB0\xD0\xBA\xD0\xBE\xD0\xB3\xD0\xBE 7Q";
    ops.push_back({"Tool_Wnd_ansi_calls", [&ansiCtx] {
                       return RunCommand(ansiCtx, CmdWnd, "Wnd,No such title 7Q", "Wnd",
                                         "No such title 7Q");
                   }});
    ops.push_back({"Tool_Wnd_wide_ascii", [&wideCtx] {
                       return RunCommand(wideCtx, CmdWnd, "Wnd,No such title 7Q", "Wnd",
                                         "No such title 7Q");
                   }});
    ops.push_back({"Tool_Wnd_wide_cyrillic", [&wideCtx, cyrillic] {
                       return RunCommand(wideCtx, CmdWnd, cyrillic, "Wnd", cyrillic);
                   }});

    for (int round = 0; round < kRounds; ++round)
        for (Operation& op : ops) {
            const double start = Now();
            op.count = op.pass();
            op.ns.push_back(Now() - start);
        }
    // The walk must find what the sweep finds: the dozen controls.
    auto count = [&ops](const char* name) {
        for (const Operation& op : ops)
            if (op.name == name) return op.count;
        return -1;
    };
    const int walked = count("Tool_ChildrenById_walk"), swept = count("Win_GetDlgItem_sweep");
    if (walked != kControls || swept != kControls) {
        std::fprintf(stderr, "bench_winscan: the walk found %d and the sweep %d controls, not %d\n",
                     walked, swept, kControls);
        return 1;
    }
    if (!WriteJson(argv[1], ops)) {
        std::fprintf(stderr, "bench_winscan: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

// Reads the JSON output of the benchmark programs of one run and prints one
// table: each measured operation, its baseline from the same run, the ratio
// of their times, and the goal where there is one.
//
//   bench_table RESULT.json...
//
// Each program's output is Google Benchmark's JSON (bench_winscan writes the
// same shape).  With repetitions the median is taken; the time is the CPU
// time of the benchmark (for bench_winscan the wall time, which it reports in
// both fields, since the window system does part of the work in another
// process under Wine).
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

struct Result {
    double ns = 0;
    std::map<std::string, double> counters;
};

// One line of the table.  goal is the largest acceptable ratio (0: none).
struct Row {
    const char* op;
    const char* opLabel;
    const char* base;
    const char* baseLabel;
    double goal;
    const char* goalText;
};

// clang-format off
const Row kRows[] = {
    {"BM_bgetl", "`bgetl`, 200 MB of lines", "BM_memchr_count", "`memchr` line count, 1 MB reads", 1 / 0.75, "speed >= 0.75x (ratio <= 1.33)"},
    {"BM_bgetl", "`bgetl`, 200 MB of lines", "BM_std_getline", "`std::getline`", 1 / 1.3, "speed >= 1.3x (ratio <= 0.77)"},
    {"BM_bgetl", "`bgetl`, 200 MB of lines", "BM_fgets", "`fgets`", 0, ""},
    {"BM_SetDTFloat", "`SetDTFloat`", "BM_Chrono_SerialToFields", "chrono: serial to fields", 1.3, "<= 1.3x"},
    {"BM_SetDTJul", "`SetDTJul`", "BM_Chrono_JulianToToday", "chrono: Julian day to fields, days from today", 1.5, "<= 1.5x"},
    {"BM_SetDTJul", "`SetDTJul`", "BM_Chrono_JulianToFields", "chrono: Julian day to fields only", 0, ""},
    {"BM_ShiftDate_RandomSpan", "`ShiftDate`, random spans", "BM_Chrono_ShiftRandomSpan", "chrono: fields + days", 1.5, "<= 1.5x"},
    {"BM_ShiftTime_RandomSpan", "`ShiftTime`, random spans", "BM_Chrono_ShiftSeconds", "chrono: fields + seconds", 1.5, "<= 1.5x"},
    {"BM_StepByStep/365", "one day per step, 365 days", "BM_Chrono_ShiftRandomSpan", "chrono: fields + days", 0, ""},
    {"BM_StepByStep/36500", "one day per step, 36,500 days", "BM_Chrono_ShiftRandomSpan", "chrono: fields + days", 0, ""},
    {"BM_CTxtArray_Sort/1000000/40", "`CTxtArray::Sort`, 1,000,000 texts of 1-40", "BM_std_sort_folded/1000000/40", "`std::sort` of `std::string`, folded", 0.5, "<= 0.5x"},
    {"BM_CTxtArray_Sort/1000000/400", "`CTxtArray::Sort`, 1,000,000 texts of 1-400", "BM_std_sort_folded/1000000/400", "`std::sort` of `std::string`, folded", 0, ""},
    {"BM_CTxtArray_Sort/200000/40", "`CTxtArray::Sort`, 200,000 texts", "BM_std_sort_folded/200000/40", "`std::sort` of `std::string`, folded", 0, ""},
    {"BM_CTxtArray_Sort/10000/40", "`CTxtArray::Sort`, 10,000 texts", "BM_std_sort_folded/10000/40", "`std::sort` of `std::string`, folded", 0, ""},
    {"BM_LoadFromDirByPath", "`LoadFromDir`, 2,020 entries", "BM_std_TreeListing", "`std::filesystem` walk, sorted", 1.5, "<= 1.5x"},
    {"BM_LoadFromDirByWriteTime", "`LoadFromDirSortTimeStyle` 2", "BM_std_TreeListingByWriteTime", "`std::filesystem` walk + times, sorted", 1.5, "<= 1.5x"},
    {"BM_FilesFromTreeTxt", "`LoadFromFilesFromTree` \"txt\"", "BM_std_TreeTxtFiles", "`std::filesystem` walk, .txt only", 1.5, "<= 1.5x"},
    {"BM_NameMatch", "`NameMatch`, 15 matches", "BM_fnmatch", "`fnmatch`, case folded", 0, ""},
    {"BM_Wnd_UnicodeTitle", "simulated desktop: `Wnd` of a Cyrillic title not found", "BM_Wnd_NotFound", "simulated desktop: `Wnd` of an ASCII title not found", 1.1, "<= 1.1x"},
    {"ClassAndTextScan", "simulated desktop: class and text of 0..0xFFFF", "BareClassSweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0, ""},
    {"GetTextPass", "simulated desktop: `WM_GETTEXT` to 0..0xFFFE", "BareClassSweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0, ""},
    {"MenuScan", "simulated desktop: `IsMenu` of 0..0xFFFF", "BareClassSweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0, ""},
    {"BM_LogLineBatched/40", "trace log line of 40, batched", "BM_StdioLine/40", "`fputs` of the line", 0, ""},
    {"BM_LogLineBatched/1000", "trace log line of 1,000, batched", "BM_StdioLine/1000", "`fputs` of the line", 0, ""},
    {"BM_LogLineFlushOnEach/40", "trace log line of 40, committed", "BM_StdioLineCommitted/40", "`fputs` + `fflush` + commit", 0, ""},
    {"Tool_Wnd_not_found", "Wine: `Wnd` of a title not found", "Win_GetClassNameA_sweep", "Wine: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_Wnd_wide_cyrillic", "Wine: `Wnd` of a Cyrillic title not found, UTF-16 reads", "Tool_Wnd_ansi_calls", "Wine: `Wnd` of an ASCII title not found, ANSI calls", 1.1, "<= 1.1x"},
    {"Tool_Wnd_wide_ascii", "Wine: `Wnd` of an ASCII title not found, UTF-16 reads", "Tool_Wnd_ansi_calls", "Wine: `Wnd` of an ASCII title not found, ANSI calls", 1.1, "<= 1.1x"},
    {"Tool_WaitWnd_look", "Wine: one look of `WaitWnd` (an enumeration)", "Win_GetClassNameA_sweep", "Wine: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_WndClass_not_found", "Wine: `WndClass` not found", "Win_GetClassNameA_sweep", "Wine: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_FindDlg_not_found", "Wine: `FindDlg` not found", "Win_GetClassNameA_sweep", "Wine: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_WaitFor_pass", "Wine: one `WaitFor` pass, not found", "Win_GetClassNameA_sweep", "Wine: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_ChildrenById_walk", "Wine: children by id (`Btn`, `Dialog`), 12 controls", "Win_GetDlgItem_sweep", "Wine: `GetDlgItem` of ids 0..0xFFFF", 0, ""},
    {"Tool_Btn_no_match", "Wine: `Btn` over 12 controls, none clicked", "Win_GetDlgItem_sweep", "Wine: `GetDlgItem` of ids 0..0xFFFF", 0, ""},
    {"Tool_ScanUp", "Wine: `ScanUp` over 0..0xFFFF", "Win_Thread_sweep", "Wine: `GetWindowThreadProcessId` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"Tool_ScanDn", "Wine: `ScanDn` over 0..0xFFFF", "Win_Thread_sweep", "Wine: `GetWindowThreadProcessId` of 0..0xFFFF", 0, ""},
    {"Tool_CmdScan", "Wine: `CmdScan` over 0..0xFFFF", "Win_Thread_sweep", "Wine: `GetWindowThreadProcessId` of 0..0xFFFF", 0, ""},
    {"Tool_Clk_grid", "Wine: `Clk` grid, 40,000 sends", "Win_Send_40000", "Wine: 40,000 bare `SendMessageA`", 0, ""},
    {"BM_Btn_ChildWalk", "simulated desktop: `Btn` over 12 controls, none clicked", "BM_GetDlgItem_Sweep", "simulated desktop: `GetDlgItem` of ids 0..65534", 0, ""},
    {"BM_ScanUp", "simulated desktop: `ScanUp` over 0..0xFFFF", "BM_Thread_Sweep", "simulated desktop: `GetWindowThreadProcessId` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"BM_ScanDn", "simulated desktop: `ScanDn` over 0..0xFFFF", "BM_Thread_Sweep", "simulated desktop: `GetWindowThreadProcessId` of 0..0xFFFF", 0, ""},
    {"BM_CmdScan", "simulated desktop: `CmdScan` over 0..0xFFFF", "BM_Thread_Sweep", "simulated desktop: `GetWindowThreadProcessId` of 0..0xFFFF", 0, ""},
    {"BM_Wnd_NotFound", "simulated desktop: `Wnd` of a title not found", "BM_Class_Sweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"BM_WndClass_NotFound", "simulated desktop: `WndClass` not found", "BM_Class_Sweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"BM_FindDlg_NotFound", "simulated desktop: `FindDlg` not found", "BM_Class_Sweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"BM_WaitFor_Pass", "simulated desktop: one `WaitFor` pass, not found", "BM_Class_Sweep", "simulated desktop: `GetClassNameA` of 0..0xFFFF", 0.05, "<= 0.05x"},
    {"BM_ClkGrid", "simulated desktop: `Clk` grid, 40,000 sends", "BM_Send_40000", "simulated desktop: 40,000 bare `SendMessageA`", 0, ""},
    {"BM_Test1", "simulated desktop: `Test1` over 0..65534, no target", "BM_CopyAndClipboard_Sweep", "simulated desktop: copy command and `OpenClipboard` to 0..65534", 0.05, "<= 0.05x"},
    {"BM_Menu", "simulated desktop: `Menu`, no menus", "BM_IsMenu_Sweep", "simulated desktop: `IsMenu` of 0..0xFFFF", 0, ""},
    {"Tool_Test1", "Wine: `Test1` over 0..65534, no target", "Win_CopyAndClipboard_sweep", "Wine: copy command and `OpenClipboard` to 0..65534", 0.05, "<= 0.05x"},
    {"Tool_Menu_no_wait", "Wine: `Menu`, its 2,000 ms wait left out", "Win_IsMenu_sweep", "Wine: `IsMenu` of 0..0xFFFF", 0, ""},
};
// clang-format on

double ToNs(double t, const std::string& unit) {
    if (unit == "us") return t * 1e3;
    if (unit == "ms") return t * 1e6;
    if (unit == "s") return t * 1e9;
    return t;
}

// Adds the results of one program's output; with repetitions only the
// medians count.
bool Load(const char* path, std::map<std::string, Result>& results) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const nlohmann::json doc = nlohmann::json::parse(in, nullptr, false);
    if (doc.is_discarded() || !doc.contains("benchmarks")) return false;
    for (const auto& b : doc["benchmarks"]) {
        const std::string runType = b.value("run_type", "iteration");
        if (runType == "aggregate" && b.value("aggregate_name", "") != "median") continue;
        const std::string name = b.value("run_name", b.value("name", ""));
        if (runType == "iteration" && results.count(name)) continue;
        Result r;
        r.ns = ToNs(b.value("cpu_time", 0.0), b.value("time_unit", "ns"));
        for (const auto& [key, value] : b.items())
            if (value.is_number() && key != "cpu_time" && key != "real_time")
                r.counters[key] = value;
        results[name] = r;
    }
    return true;
}

std::string Time(double ns) {
    char buf[32];
    if (ns < 1e3)
        std::snprintf(buf, sizeof buf, "%.2f ns", ns);
    else if (ns < 1e6)
        std::snprintf(buf, sizeof buf, "%.2f us", ns / 1e3);
    else if (ns < 1e9)
        std::snprintf(buf, sizeof buf, "%.1f ms", ns / 1e6);
    else
        std::snprintf(buf, sizeof buf, "%.2f s", ns / 1e9);
    return buf;
}

std::string Ratio(double r) {
    char buf[32];
    std::snprintf(buf, sizeof buf, r < 0.01 ? "%.2gx" : "%.2fx", r);
    return buf;
}

// What else a row's results tell: throughput, or the extra memory of a sort.
std::string Note(const Result& op, const Result& base) {
    char buf[160] = "";
    auto counter = [](const Result& r, const char* key) {
        auto it = r.counters.find(key);
        return it == r.counters.end() ? -1.0 : it->second;
    };
    if (const double bps = counter(op, "bytes_per_second"); bps > 0) {
        const double baseBps = counter(base, "bytes_per_second");
        std::snprintf(buf, sizeof buf, "%.2f GB/s against %.2f GB/s: %.2fx the speed", bps / 1e9,
                      baseBps / 1e9, bps / baseBps);
    } else if (const double extra = counter(op, "peak_extra_bytes"); extra >= 0) {
        std::snprintf(buf, sizeof buf, "extra memory at its peak %.1f MB, %.0f bytes per text",
                      extra / 1e6, counter(op, "extra_bytes_per_text"));
    }
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, Result> results;
    for (int i = 1; i < argc; ++i)
        if (!Load(argv[i], results)) std::fprintf(stderr, "bench_table: cannot read %s\n", argv[i]);
    std::printf("| operation | time | baseline (same run) | time | ratio | goal | notes |\n");
    std::printf("|---|---:|---|---:|---:|---|---|\n");
    int left = 0, missed = 0;
    for (const Row& row : kRows) {
        const auto op = results.find(row.op), base = results.find(row.base);
        if (op == results.end() || base == results.end() || base->second.ns <= 0) {
            ++left;
            continue;
        }
        const double ratio = op->second.ns / base->second.ns;
        std::string goal = "";
        if (row.goal > 0) {
            char buf[64];
            const bool met = ratio <= row.goal;
            missed += !met;
            std::snprintf(buf, sizeof buf, "%s: %s", row.goalText, met ? "met" : "NOT MET");
            goal = buf;
        }
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", row.opLabel,
                    Time(op->second.ns).c_str(), row.baseLabel, Time(base->second.ns).c_str(),
                    Ratio(ratio).c_str(), goal.c_str(), Note(op->second, base->second).c_str());
    }
    std::printf("\nratio = time of the operation / time of its baseline (below 1: faster); "
                "a speed goal of k x is a ratio of at most 1/k.\n");
    if (left > 0)
        std::printf("%d rows not measured in this run (their programs did not run).\n", left);
    if (missed > 0) std::printf("%d goals not met.\n", missed);
    return 0;
}

// The inspection reports in-process on the simulated desktop: the Dialog
// report's lines the same by the children walk as by GetDlgItem for every
// id, item texts read whole and cut, and report lines reaching the trace
// log under their tags.
#include "diag/tracelog.h"
#include "tool/commands.h"
#include "tool/report.h"
#include "tool/walks.h"
#include "txt/ctxt.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Dialogs with duplicate ids (the first in z-order is the one GetDlgItem
// finds), ids 0, 65535, 65536 and -1, a hidden control, a grandchild that
// GetDlgItem never sees, and a window without controls.
const char* const kScene = R"JSON({
  "processes": [{"pid": 300, "bits": 64, "threads": [304]}],
  "windows": [
    {"handle": 16, "class": "Frame", "text": "Frame", "thread": 304, "children": [
      {"handle": 17, "class": "#32770", "text": "Inner dialog", "id": 9, "children": [
        {"handle": 18, "class": "Button", "text": "&First", "id": 7},
        {"handle": 19, "class": "Button", "text": "Second", "id": 7},
        {"handle": 20, "class": "Static", "text": "zero", "id": 0},
        {"handle": 21, "class": "Edit", "text": "last", "id": 65535},
        {"handle": 22, "class": "Edit", "text": "beyond", "id": 65536},
        {"handle": 23, "class": "Edit", "text": "minus", "id": -1},
        {"handle": 24, "class": "Button", "text": "hidden", "id": 3, "visible": false},
        {"handle": 25, "class": "Static", "text": "group", "id": 5, "children": [
          {"handle": 26, "class": "Button", "text": "inner", "id": 4}]}]}]},
    {"handle": 32, "class": "#32770", "text": "Owned", "owner": 16, "thread": 304, "children": [
      {"handle": 33, "class": "ComboBox", "id": 1, "items": []},
      {"handle": 34, "class": "ListBox", "id": 2, "items": ["One"]},
      {"handle": 35, "class": "SysListView32", "id": 3, "items": [{"text": "Cell", "columns": ["2"]}]}]},
    {"handle": 48, "class": "Lonely", "text": "no controls"}
  ]})JSON";

// Lengths of the combo box's items.
const size_t kItemLengths[] = {0, 5, 99, 100, 115, 5000};

std::unique_ptr<CSimDesktop> Desktop() {
    std::string items, scene = kScene;
    for (size_t n : kItemLengths) {
        std::string text(n, 'x');
        if (n) text.back() = '!';
        items += (items.empty() ? "\"" : ", \"") + text + "\"";
    }
    scene.replace(scene.find("\"items\": []"), 11, "\"items\": [" + items + "]");
    std::string error;
    auto d = CSimDesktop::FromJson(scene, "reports", &error);
    EXPECT_NE(d, nullptr) << error;
    return d;
}

TEST(Reports, DialogLinesAreTheSameByTheWalkAndByEveryId) {
    auto d = Desktop();
    struct Case {
        WsHandle dlg;
        size_t lines; // parents + dialog line + controls
    } cases[] = {{17, 1 + 1 + 5}, {32, 1 + 1 + 3}, {16, 1 + 1}, {48, 0}, {26, 3}, {999, 0}, {0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dlg);
        const auto walked = DialogLines(*d, c.dlg, ChildrenById(*d, c.dlg, kLastControlId));
        const auto everyId = DialogLines(*d, c.dlg, DlgItemsEveryId(*d, c.dlg, kLastControlId));
        EXPECT_EQ(walked, everyId);
        EXPECT_EQ(walked.size(), c.lines);
    }
    const auto lines = DialogLines(*d, 17, ChildrenById(*d, 17, kLastControlId));
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], "Parent 0010 (Frame: Frame)");
    EXPECT_EQ(lines[1].substr(0, 28), "Dialog hDlg=0011 Par=0010 (0");
    EXPECT_EQ(lines[1].back(), '\n');
    const char* controls[] = {"ID=    0 hWCtl=0014", "ID=    3 hWCtl=0018", "ID=    5 hWCtl=0019",
                              "ID=    7 hWCtl=0012", "ID=65535 hWCtl=0015"};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_NE(lines[2 + i].find(controls[i]), std::string::npos) << i;
}

TEST(Reports, ItemTextsAreReadWholeAndCut) {
    auto d = Desktop();
    for (size_t i = 0; i < std::size(kItemLengths); ++i) {
        SCOPED_TRACE(kItemLengths[i]);
        const std::string whole = d->WindowAt(33)->items[i].text;
        ASSERT_EQ(whole.size(), kItemLengths[i]);
        const std::string text = ItemText(*d, 33, cb::GETLBTEXTLEN, cb::GETLBTEXT, int(i));
        EXPECT_EQ(text, whole.substr(0, size_t(kItemTextShown)));
    }
    EXPECT_EQ(ItemText(*d, 33, cb::GETLBTEXTLEN, cb::GETLBTEXT, -1), "");
    EXPECT_EQ(ItemText(*d, 33, cb::GETLBTEXTLEN, cb::GETLBTEXT, 6), "");
    EXPECT_EQ(ItemText(*d, 34, lb::GETTEXTLEN, lb::GETTEXT, 0), "One");
    EXPECT_EQ(ItemText(*d, 999, lb::GETTEXTLEN, lb::GETTEXT, 0), "");
}

// Whether the control says an item exists: only LB_ERR / CB_ERR says no.
TEST(Reports, ItemTextTellsAMissingItem) {
    auto d = Desktop();
    struct {
        WsHandle hwnd;
        int index;
        bool exists;
    } cases[] = {{34, 0, true}, {34, 3, false}, {34, -1, false}, {999, 0, true}};
    for (const auto& c : cases) {
        bool exists = !c.exists;
        ItemText(*d, c.hwnd, lb::GETTEXTLEN, lb::GETTEXT, c.index, &exists);
        EXPECT_EQ(exists, c.exists) << c.hwnd << " " << c.index;
    }
}

TEST(Reports, OneLineShowsBreaksAndSeparatorsAsPlus) {
    struct {
        const char* text;
        bool fields;
        const char* shown;
    } cases[] = {{"plain", false, "plain"},
                 {"a\r\nb", false, "a++b"},
                 {"lf\nonly", false, "lf+only"},
                 {"x|y", false, "x|y"},
                 {"x|y", true, "x+y"},
                 {"\r|\n", true, "+++"},
                 {"", true, ""}};
    for (const auto& c : cases) EXPECT_EQ(OneLine(c.text, c.fields), c.shown) << c.text;
}

// The folder of the running test: the tests run side by side, each in a
// process of its own.
std::filesystem::path TestFolder() {
    return std::filesystem::path(OSTRELLE_BINARY_DIR) / "tests" / "tmp" /
           (std::string("reports_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

// Runs the commands in a folder of their own (the list reports write
// there), with a trace log open; the log's lines.
std::vector<std::string> TracedLines(CWinSys& ws,
                                     const std::vector<std::pair<CommandFn, const char*>>& calls) {
    const std::filesystem::path dir = TestFolder();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::filesystem::path home = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    const std::string log = (dir / "trace.log").string();
    LogTraceReset();
    EXPECT_EQ(LogTraceWrite("*OPENLOG", log.c_str(), 1), 1);
    CCapturingContext ctx(ws);
    for (const auto& [fn, args] : calls) fn(ctx, CommandCall{"", "", args});
    LogTraceWrite("*CLOSE", "", 0);
    LogTraceReset();
    std::filesystem::current_path(home);
    std::ifstream in(log, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(Reports, LinesReachTheTraceLogUnderTheirTags) {
    auto d = Desktop();
    CWinSys* previous = SetWinSys(d.get());
    const auto lines = TracedLines(*d, {{CmdDialog, "20"},
                                        {CmdComboBox, "21"},
                                        {CmdListBox, "22"},
                                        {CmdListCtrl, "23"},
                                        {CmdDesc, ""}});
    SetWinSys(previous);
    struct Want {
        const char* tag;
        const char* text;
    } wants[] = {{"Tolvix", "Parent 0010 (Frame: Frame)"},
                 {"CB", "hWCB=0021 Cnt=6, ''"},
                 {"ListBox", "hWLB=0022 Cnt=1, iCurr=-1, '', ScrolY=0"},
                 {"ListBox", "1 Items written to ListBox.txt"},
                 {"ListBox", "hWLB=0023, Par=0020, Cnt=1, Selecetd=0, ''"},
                 {"ListBox", "   0. (Cell|2|)"},
                 {"ListBox", "1 Items written to ListCtrl.txt"},
                 {"Tolvix", "() hW=0000 (0x00000000, ID=0) , (0,0,0,0)"}};
    for (const Want& w : wants) {
        bool found = false;
        for (const std::string& line : lines)
            found = found || (line.rfind(w.tag, 0) == 0 &&
                              line.find(std::string("a|") + w.text) != std::string::npos);
        EXPECT_TRUE(found) << w.tag << " " << w.text;
    }
}

TEST(Reports, TheTargetBecomesTheCurrentDialog) {
    auto d = Desktop();
    struct Case {
        CommandFn fn;
        const char* args;
        WsHandle current;
        WsHandle dialog;
    } cases[] = {{CmdDialog, "20", 16, 0x20},   {CmdDialog, "", 0, 0},     {CmdDialog, "", 17, 17},
                 {CmdComboBox, "21", 0, 0x21},  {CmdListBox, "0", 34, 34}, {CmdListCtrl, "", 0, 0},
                 {CmdListCtrl, "23,1", 0, 0x23}};
    for (const Case& c : cases) {
        CCapturingContext ctx(*d);
        ctx.state.hWnd = c.current;
        ctx.state.hDlg = 999;
        c.fn(ctx, CommandCall{"", "", c.args});
        EXPECT_EQ(ctx.state.hDlg, c.dialog) << c.args;
    }
}

// The simulated desktop behind a layer that runs out of memory at the nth
// message sent.
class COutOfMemory : public CLoggingWinSys {
public:
    COutOfMemory(CWinSys& inner, int at) : CLoggingWinSys(inner, log_), left_(at) {}
    intptr_t SendMessageA(WsHandle hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
        if (left_-- == 0) throw CMemoryException();
        return CLoggingWinSys::SendMessageA(hwnd, msg, wParam, lParam);
    }

private:
    CEventLog log_;
    int left_;
};

TEST(Reports, ListCtrlSaysWhenMemoryRunsOut) {
    auto d = Desktop();
    // The report's own three messages, then the count the load asks for.
    COutOfMemory failing(*d, 3);
    const auto lines = TracedLines(failing, {{CmdListCtrl, "23"}});
    bool said = false;
    for (const std::string& line : lines)
        said = said || line.find("a|Error: Out of memory") != std::string::npos;
    EXPECT_TRUE(said);
    EXPECT_EQ(d->OpenProcessHandles(), 0u);
    EXPECT_TRUE(d->FindProcess(300)->memory.empty());
    EXPECT_FALSE(std::filesystem::exists(TestFolder() / "ListCtrl.txt"));
}

} // namespace

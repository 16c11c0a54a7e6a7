// Window inspection reports: what the reports of cmd_report.cpp compose,
// open to the tests and benchmarks that compare the ways of finding a
// dialog's controls and of reading item texts.
#pragma once

#include "tool/walks.h"
#include "winsys/winsys.h"

#include <string>
#include <vector>

// Report tags (all reported with level 1).
constexpr const char kTagTolvix[] = "Tolvix";   // Desc, WaitFor, Dialog
constexpr const char kTagCB[] = "CB";           // ComboBox
constexpr const char kTagListBox[] = "ListBox"; // ListBox, ListCtrl

// Files the list reports write into the working directory (CR LF lines).
constexpr const char kListBoxFile[] = "ListBox.txt";
constexpr const char kListCtrlFile[] = "ListCtrl.txt";

// The highest control id the Dialog report looks at.
constexpr int kLastControlId = 0xFFFF;
// Characters of an item text the list-box and combo-box reports show.
constexpr int kItemTextShown = 99;
// Longest item text read; an item that says it is longer reads as empty.
constexpr int kMaxItemText = 1 << 20;

// The Dialog report's lines for dlg: a "Parent ..." line for each window
// up its parent chain (parents compared by their low 16 bits, at most
// 0x10000 of them), then, when one of controls has a class name, the
// dialog line and one line per such control, numbered from 1.  controls
// is what ChildrenById (or, the slow way, DlgItemsEveryId) gives for dlg.
std::vector<std::string> DialogLines(CWinSys& ws, WsHandle dlg,
                                     const std::vector<DlgChild>& controls);

// Item index of a list box or combo box read whole, whatever its length
// (lenMsg asks the length, textMsg the text), and cut to kItemTextShown
// characters.  Empty when the control answers no length, or one above
// kMaxItemText.
std::string ItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index);
// The same text, not cut.
std::string WholeItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index);

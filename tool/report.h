// Window inspection reports: what the reports of cmd_report.cpp compose,
// open to the tests and benchmarks that compare the ways of finding a
// dialog's controls and of reading item texts.
#pragma once

#include "tool/walks.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

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
constexpr int kMaxItemText = lb::MAX_TEXT;
// Most items or rows a list report reads; a control that counts more is
// read that far, and one line says the count was cut.
constexpr int kMaxReportItems = 1000000;

// The Dialog report's lines for dlg: a "Parent ..." line for each window
// up its parent chain (parents compared by their low 16 bits, at most
// 0x10000 of them), then, when one of controls has a class name, the
// dialog line and one line per such control, numbered from 1.  controls
// is what ChildrenById (or, the slow way, DlgItemsEveryId) gives for dlg.
std::vector<std::string> DialogLines(CWinSys& ws, WsHandle dlg,
                                     const std::vector<DlgChild>& controls);

// One pass of WaitFor: the first window whose text (WM_GETTEXT, 1,000
// bytes) holds pattern, ignoring case, or 0.  The values that name no
// window are charged to ws as the sweep's calls (CWinSys::ChargeCalls).
WsHandle WaitPass(CWinSys& ws, const char* pattern);

// Item index of a list box or combo box read whole, whatever its length
// (lenMsg asks the length, textMsg the text), into a buffer of
// kMaxItemText + 1 bytes (the most the layer writes, whatever the control
// answered), and cut to kItemTextShown characters, line breaks shown as
// '+'.  Empty when the control answers no length, or one above
// kMaxItemText; *exists (when not null) is false when the length answer is
// LB_ERR / CB_ERR: the control says there is no such item.
std::string ItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index,
                     bool* exists = nullptr);

// True when a list box (or, with combo, a combo box) of this style keeps
// texts: an owner-drawn one without LBS_HASSTRINGS / CBS_HASSTRINGS keeps
// only item data.
bool KeepsTexts(uint32_t style, bool combo);

// text with every carriage return and line feed (and, with fields, every
// '|', the list-view files' field separator) turned into '+', so that what
// another program put in an item can never start a line or a field.
std::string OneLine(std::string text, bool fields = false);
// The same text neither cut nor with its line breaks changed (for
// comparing it whole); the same bound on what is read.
std::string WholeItemText(CWinSys& ws, WsHandle hwnd, uint32_t lenMsg, uint32_t textMsg, int index,
                          bool* exists = nullptr);

// The tool's commands.  Each receives the whole input line, the command word
// as typed and the argument text (fields 2.. of the line), and reports its
// own results and failures.
#pragma once

struct CommandCall {
    const char* line; // the input line as read
    const char* word; // the command word as typed
    const char* args; // the argument text
};

using CommandFn = void (*)(const CommandCall&);

// Window targeting (cmd_target.cpp).
void CmdWnd(const CommandCall&);
void CmdWndClass(const CommandCall&);
void CmdFindDlg(const CommandCall&);

// Message sending (cmd_send.cpp).
void CmdBtn(const CommandCall&);
void CmdCmdPost(const CommandCall&);
void CmdCmdScan(const CommandCall&);
void CmdScanUpDn(const CommandCall&);
void CmdClk(const CommandCall&);
void CmdLMouse(const CommandCall&);
void CmdRMouse(const CommandCall&);
void CmdKey(const CommandCall&);

// Placement and style (cmd_place.cpp).
void CmdEnable(const CommandCall&);
void CmdDisable(const CommandCall&);
void CmdSetStyle(const CommandCall&);
void CmdSize(const CommandCall&);
void CmdTitle(const CommandCall&);
void CmdPos(const CommandCall&);
void CmdMove(const CommandCall&);

// Inspection reports (cmd_report.cpp).
void CmdDesc(const CommandCall&);
void CmdDialog(const CommandCall&);
void CmdWaitFor(const CommandCall&);
void CmdComboBox(const CommandCall&);
void CmdListBox(const CommandCall&);
void CmdListCtrl(const CommandCall&);

// Menus, font, clipboard and probes (cmd_probe.cpp).
void CmdGetFont(const CommandCall&);
void CmdMenu(const CommandCall&);
void CmdChk(const CommandCall&);
void CmdDate(const CommandCall&);
void CmdTest1(const CommandCall&);
void CmdTest2(const CommandCall&);
void CmdTest3(const CommandCall&);

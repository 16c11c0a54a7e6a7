// The tool's commands.  Each receives the run's context and the line as the
// interpreter split it, reads its fields from the argument text, and
// reports its own results and failures.
#pragma once

#include "tool/context.h"

using CommandFn = void (*)(CommandContext&, const CommandCall&);

// Window targeting (cmd_target.cpp).
void CmdWnd(CommandContext&, const CommandCall&);
void CmdWndClass(CommandContext&, const CommandCall&);
void CmdFindDlg(CommandContext&, const CommandCall&);

// Message sending (cmd_send.cpp).
void CmdBtn(CommandContext&, const CommandCall&);
void CmdCmdPost(CommandContext&, const CommandCall&);
void CmdCmdScan(CommandContext&, const CommandCall&);
void CmdScanUpDn(CommandContext&, const CommandCall&);
void CmdClk(CommandContext&, const CommandCall&);
void CmdLMouse(CommandContext&, const CommandCall&);
void CmdRMouse(CommandContext&, const CommandCall&);
void CmdKey(CommandContext&, const CommandCall&);

// Placement and style (cmd_place.cpp).
void CmdEnable(CommandContext&, const CommandCall&);
void CmdDisable(CommandContext&, const CommandCall&);
void CmdSetStyle(CommandContext&, const CommandCall&);
void CmdSize(CommandContext&, const CommandCall&);
void CmdTitle(CommandContext&, const CommandCall&);
void CmdPos(CommandContext&, const CommandCall&);
void CmdMove(CommandContext&, const CommandCall&);

// Inspection reports (cmd_report.cpp).
void CmdDesc(CommandContext&, const CommandCall&);
void CmdDialog(CommandContext&, const CommandCall&);
void CmdWaitFor(CommandContext&, const CommandCall&);
void CmdComboBox(CommandContext&, const CommandCall&);
void CmdListBox(CommandContext&, const CommandCall&);
void CmdListCtrl(CommandContext&, const CommandCall&);

// Menus, font, clipboard and probes (cmd_probe.cpp).
void CmdGetFont(CommandContext&, const CommandCall&);
void CmdMenu(CommandContext&, const CommandCall&);
void CmdChk(CommandContext&, const CommandCall&);
void CmdDate(CommandContext&, const CommandCall&);
void CmdTest1(CommandContext&, const CommandCall&);
void CmdTest2(CommandContext&, const CommandCall&);
void CmdTest3(CommandContext&, const CommandCall&);

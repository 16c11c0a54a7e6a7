// The tool's commands.  Each receives the run's context and the line as the
// interpreter split it, reads its fields from the argument text, prints its
// results and failures to the context's output, and returns its outcome.
// Where a command has variants (Cmd and Post), the command table calls the
// variant's own entry.
#pragma once

#include "tool/context.h"

using CommandFn = Outcome (*)(CommandContext&, const CommandCall&);

// Window targeting (cmd_target.cpp).
Outcome CmdWnd(CommandContext&, const CommandCall&);
Outcome CmdWndClass(CommandContext&, const CommandCall&);
Outcome CmdFindDlg(CommandContext&, const CommandCall&);

// Message sending (cmd_send.cpp).
Outcome CmdBtn(CommandContext&, const CommandCall&);
Outcome CmdCmd(CommandContext&, const CommandCall&);
Outcome CmdPost(CommandContext&, const CommandCall&);
Outcome CmdCmdScan(CommandContext&, const CommandCall&);
Outcome CmdScanUp(CommandContext&, const CommandCall&);
Outcome CmdScanDn(CommandContext&, const CommandCall&);
Outcome CmdClk(CommandContext&, const CommandCall&);
Outcome CmdLMouse(CommandContext&, const CommandCall&);
Outcome CmdRMouse(CommandContext&, const CommandCall&);
Outcome CmdKey(CommandContext&, const CommandCall&);
Outcome CmdChar(CommandContext&, const CommandCall&);
Outcome CmdSysKey(CommandContext&, const CommandCall&);

// Placement and style (cmd_place.cpp).
Outcome CmdEnable(CommandContext&, const CommandCall&);
Outcome CmdDisable(CommandContext&, const CommandCall&);
Outcome CmdSetStyle(CommandContext&, const CommandCall&);
Outcome CmdSize(CommandContext&, const CommandCall&);
Outcome CmdTitle(CommandContext&, const CommandCall&);
Outcome CmdPos(CommandContext&, const CommandCall&);
Outcome CmdMove(CommandContext&, const CommandCall&);

// Inspection reports (cmd_report.cpp).
Outcome CmdDesc(CommandContext&, const CommandCall&);
Outcome CmdDialog(CommandContext&, const CommandCall&);
Outcome CmdWaitFor(CommandContext&, const CommandCall&);
Outcome CmdComboBox(CommandContext&, const CommandCall&);
Outcome CmdListBox(CommandContext&, const CommandCall&);
Outcome CmdListCtrl(CommandContext&, const CommandCall&);

// Menus, font, clipboard and probes (cmd_probe.cpp).
Outcome CmdGetFont(CommandContext&, const CommandCall&);
Outcome CmdMenu(CommandContext&, const CommandCall&);
Outcome CmdChk(CommandContext&, const CommandCall&);
Outcome CmdDate(CommandContext&, const CommandCall&);
Outcome CmdTest1(CommandContext&, const CommandCall&);
Outcome CmdTest2(CommandContext&, const CommandCall&);
Outcome CmdTest3(CommandContext&, const CommandCall&);

// Automation (cmd_auto.cpp).
Outcome CmdType(CommandContext&, const CommandCall&);
Outcome CmdChild(CommandContext&, const CommandCall&);
Outcome CmdWaitWnd(CommandContext&, const CommandCall&);
Outcome CmdWaitGone(CommandContext&, const CommandCall&);
Outcome CmdSleep(CommandContext&, const CommandCall&);
Outcome CmdSelect(CommandContext&, const CommandCall&);
Outcome CmdCheck(CommandContext&, const CommandCall&);
Outcome CmdMenuItem(CommandContext&, const CommandCall&);

// Capturing windows into a scene (cmd_capture.cpp).
Outcome CmdCapture(CommandContext&, const CommandCall&);

// The outcome of a command on the current window (or another it names):
// failed as window not found when h names no window, with what as the
// detail ("current window 0x00001234"); done otherwise.
Outcome WindowThere(CommandContext& ctx, WsHandle h);

// Message-sending commands.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdBtn(const CommandCall&) {}
void CmdCmdPost(const CommandCall&) {}
void CmdCmdScan(const CommandCall&) {}
void CmdScanUpDn(const CommandCall&) {}
void CmdClk(const CommandCall&) {}
void CmdLMouse(const CommandCall&) {}
void CmdRMouse(const CommandCall&) {}
void CmdKey(const CommandCall&) {}

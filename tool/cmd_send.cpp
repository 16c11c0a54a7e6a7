// Message-sending commands.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdBtn(CommandContext&, const CommandCall&) {}
void CmdCmdPost(CommandContext&, const CommandCall&) {}
void CmdCmdScan(CommandContext&, const CommandCall&) {}
void CmdScanUpDn(CommandContext&, const CommandCall&) {}
void CmdClk(CommandContext&, const CommandCall&) {}
void CmdLMouse(CommandContext&, const CommandCall&) {}
void CmdRMouse(CommandContext&, const CommandCall&) {}
void CmdKey(CommandContext&, const CommandCall&) {}

// Window placement and style commands.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdEnable(CommandContext&, const CommandCall&) {}
void CmdDisable(CommandContext&, const CommandCall&) {}
void CmdSetStyle(CommandContext&, const CommandCall&) {}
void CmdSize(CommandContext&, const CommandCall&) {}
void CmdTitle(CommandContext&, const CommandCall&) {}
void CmdPos(CommandContext&, const CommandCall&) {}
void CmdMove(CommandContext&, const CommandCall&) {}

// Window placement and style commands.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdEnable(const CommandCall&) {}
void CmdDisable(const CommandCall&) {}
void CmdSetStyle(const CommandCall&) {}
void CmdSize(const CommandCall&) {}
void CmdTitle(const CommandCall&) {}
void CmdPos(const CommandCall&) {}
void CmdMove(const CommandCall&) {}

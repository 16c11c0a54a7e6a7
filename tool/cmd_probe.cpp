// Menu search, font, clipboard and trading-application probes.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdGetFont(CommandContext&, const CommandCall&) {}
void CmdMenu(CommandContext&, const CommandCall&) {}
void CmdChk(CommandContext&, const CommandCall&) {}
void CmdDate(CommandContext&, const CommandCall&) {}
void CmdTest1(CommandContext&, const CommandCall&) {}
void CmdTest2(CommandContext&, const CommandCall&) {}
void CmdTest3(CommandContext&, const CommandCall&) {}

// Menu search, font, clipboard and trading-application probes.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdGetFont(const CommandCall&) {}
void CmdMenu(const CommandCall&) {}
void CmdChk(const CommandCall&) {}
void CmdDate(const CommandCall&) {}
void CmdTest1(const CommandCall&) {}
void CmdTest2(const CommandCall&) {}
void CmdTest3(const CommandCall&) {}

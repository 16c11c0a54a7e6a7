// Window targeting.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdWnd(const CommandCall&) {}
void CmdWndClass(const CommandCall&) {}
void CmdFindDlg(const CommandCall&) {}

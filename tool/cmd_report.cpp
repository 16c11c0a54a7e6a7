// Window inspection reports.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdDesc(const CommandCall&) {}
void CmdDialog(const CommandCall&) {}
void CmdWaitFor(const CommandCall&) {}
void CmdComboBox(const CommandCall&) {}
void CmdListBox(const CommandCall&) {}
void CmdListCtrl(const CommandCall&) {}

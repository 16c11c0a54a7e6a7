// Window inspection reports.
// Not built yet: each command accepts its line and does nothing.
#include "tool/commands.h"

void CmdDesc(CommandContext&, const CommandCall&) {}
void CmdDialog(CommandContext&, const CommandCall&) {}
void CmdWaitFor(CommandContext&, const CommandCall&) {}
void CmdComboBox(CommandContext&, const CommandCall&) {}
void CmdListBox(CommandContext&, const CommandCall&) {}
void CmdListCtrl(CommandContext&, const CommandCall&) {}

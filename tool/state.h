// The command state: what the commands share for the whole process.
#pragma once

#include <cstdint>
#include <string>

struct CommandState {
    uint32_t hWnd = 0;        // current window
    uint32_t hDlg = 0;        // current dialog
    std::string titlePattern; // title pattern of the last title search
    std::string classText;    // class text of the last title search
    std::string dlgTitle;     // dialog title of the last FindDlg
};

// The one command state of the process; it outlives every input.
CommandState& State();

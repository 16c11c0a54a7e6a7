// What the tool's commands act on and share: the window-system layer and
// the command state, owned by one run of the tool and handed to every
// command.
#pragma once

#include "winsys/winsys.h"

#include <cstdio>
#include <string>

// The state the commands share for the whole run; it outlives every input.
struct CommandState {
    WsHandle hWnd = 0;        // current window
    WsHandle hDlg = 0;        // current dialog
    std::string titlePattern; // title pattern of the last title search (upper case)
    std::string classText;    // class text of the last title search
    std::string dlgTitle;     // dialog title of the last FindDlg
    int descDepth = -1;       // depth of the descendants walk; -1 between walks
};

struct CommandContext {
    explicit CommandContext(CWinSys& layer) : ws(layer) {}
    CWinSys& ws; // every window-system call goes through here
    CommandState state;
    // Where the prompts of Cmd, Post, ScanUp and ScanDn read their replies:
    // standard input, even when the commands come from a file.
    FILE* replies = stdin;
};

// One command line as the interpreter split it.
struct CommandCall {
    const char* line; // the input line as read
    const char* word; // the command word as typed
    const char* args; // the argument text: fields 2.. of the line
};

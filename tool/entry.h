// Start-up of the tool: options, inputs and the exit code.
#pragma once

#include <string>

// Runs the tool with the command line; returns the exit code (0 all inputs
// processed, 1 usage or start-up failure, 2 an input could not be opened).
int ToolMain(int argc, char* argv[]);

// The tool name: the executable's file name without directory and
// extension, in lower case.
const std::string& ToolName();

// Prints the usage text.
void PrintUsage();

// One line on the desktop this tool drives, for the usage text.
const char* DesktopDescription();

// Start-up of the desktop the tool drives; false when it cannot start (its
// own message already printed on standard error).
bool InitDesktop();

// Makes hwnd the current window for -w.
void SelectStartWindow(unsigned hwnd);

// Start-up of the tool: options, inputs and the exit code.
#pragma once

// The exit code of a strict run (TOLVANE_STRICT=1) that stopped at a
// failed command.
constexpr int kStrictExitCode = 3;

// Runs the tool with the command line; returns the exit code (0 all inputs
// processed, 1 usage or start-up failure, 2 an input could not be opened,
// kStrictExitCode a strict run stopped at a failed command, after one
// standard-error line "NAME: FILE:LINE: WORD failed: REASON").
int ToolMain(int argc, char* argv[]);

// Start-up of the tool: options, inputs and the exit code.
#pragma once

// Runs the tool with the command line; returns the exit code (0 all inputs
// processed, 1 usage or start-up failure, 2 an input could not be opened).
int ToolMain(int argc, char* argv[]);

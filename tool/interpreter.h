// The command interpreter.
#pragma once

#include "tool/context.h"

#include <cstdio>

// Reads commands from in, one per line, until the stream ends or Exit/Quit,
// and runs each on ctx.  Standard input is interactive (prompt, no echo);
// any other stream echoes each line as ">line".  Returns 0.
int RunCommands(CommandContext& ctx, FILE* in);

// Prints the help text.
void PrintHelp();

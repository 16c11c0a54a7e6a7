// The command interpreter.
#pragma once

#include "tool/commands.h"
#include "tool/context.h"

#include <cstdio>

// Reads commands from in, one per line, until the stream ends or Exit/Quit,
// and runs each on ctx.  Standard input is interactive (prompt, no echo);
// any other stream echoes each line as ">line".  Every line's outcome is
// kept in ctx (see CommandContext); a strict context stops at the first
// failed line and sets ctx.stopped.  Returns 0.
int RunCommands(CommandContext& ctx, FILE* in);

// Runs one line (without its line end) as the interpreter would after
// reading and echoing it: split, looked up, run.  The report lines of the
// command go to ctx.out as well.  exitInput is set for Exit and Quit.
Outcome RunLine(CommandContext& ctx, const char* line, bool* exitInput = nullptr);

// Runs one command's handler as the interpreter does: the reporter's
// console lines go to ctx.out while it runs, and a command that left a send
// unanswered has failed (no answer) even where its handler found nothing
// else wrong.
Outcome RunHandler(CommandContext& ctx, CommandFn fn, const CommandCall& call);

// Prints the help text to out.
void PrintHelp(COutput& out);

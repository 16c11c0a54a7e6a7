// What the tool's commands act on and share: the window-system layer, the
// command state and the output sinks, owned by one run of the tool (or by
// a test) and handed to every command.
#pragma once

#include "tool/outcome.h"
#include "tool/output.h"
#include "winsys/winsys.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// The state the commands share for the whole run; it outlives every input.
struct CommandState {
    WsHandle hWnd = 0;    // current window
    WsHandle hDlg = 0;    // current dialog
    std::string dlgTitle; // dialog title of the last FindDlg
};

// The sends that went unanswered while the context watched its layer.
struct SendWatch {
    uint64_t count = 0;    // unanswered sends so far
    WsHandle hwnd = 0;     // the last of them: its window,
    uint32_t msg = 0;      // its message
    uint32_t waitedMs = 0; // and how long it waited (0: the thread hangs)
};

// The outcome of one line the interpreter ran.
struct LineOutcome {
    std::string input; // the input's name ("-" for standard input)
    int line = 0;      // its line number, from 1
    std::string word;  // the command word as typed
    Outcome outcome;
};

struct CommandContext {
    // out takes everything the commands print; err the tool's diagnostics.
    CommandContext(CWinSys& layer, COutput& outSink, COutput& errSink)
        : ws(layer), out(outSink), err(errSink) {}
    CommandContext(const CommandContext&) = delete;
    CommandContext& operator=(const CommandContext&) = delete;

    CWinSys& ws; // every window-system call goes through here
    COutput& out;
    COutput& err;
    CommandState state;
    // Where the prompts of Cmd, Post, ScanUp and ScanDn read their replies:
    // standard input, even when the commands come from a file.
    FILE* replies = stdin;
    // Filled by the layer's unanswered handler (WatchSends).
    SendWatch sends;

    // Strict runs stop at the first failed line.
    bool strict = false;
    // The name of the input being run, for the outcomes ("-": stdin).
    std::string inputName = "-";
    // Every line run so far that failed, in order; at most kMaxFailures are
    // kept (failedLines counts them all), and the count of lines run.
    std::vector<LineOutcome> failures;
    uint64_t failedLines = 0;
    uint64_t linesRun = 0;
    static constexpr size_t kMaxFailures = 10000;
    // Set once a report line was cut at the reporter's limit and said so.
    bool lineCutSaid = false;
    // Set when a strict run stopped at a failure.
    bool stopped = false;
    // Told of every line's outcome as it is run (nobody when empty).
    std::function<void(const LineOutcome&)> onLine;
};

// One command line as the interpreter split it.
struct CommandCall {
    const char* line; // the input line as read
    const char* word; // the command word as typed
    const char* args; // the argument text: fields 2.. of the line
};

// Makes ctx hear of every send its layer gives up on: ctx.sends counts them
// and, with report set, one line per send goes to ctx.err ("NAME: no answer
// from window ... within N ms" / "... is not responding ...").
void WatchSends(CommandContext& ctx, const char* toolName, bool report);

// Sinks that keep what is written, for a context that owns them.
struct CapturedOutput {
    CStringOutput capturedOut;
    CStringOutput capturedErr;
};

// A context whose output and diagnostics are kept for the caller to read
// (tests, benchmarks, fuzzers), not written to the process's streams.
class CCapturingContext : private CapturedOutput, public CommandContext {
public:
    explicit CCapturingContext(CWinSys& layer) : CommandContext(layer, capturedOut, capturedErr) {}
    // What the commands printed since the last call, and their diagnostics.
    std::string TakeOut() { return capturedOut.Take(); }
    std::string TakeErr() { return capturedErr.Take(); }
};

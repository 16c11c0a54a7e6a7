// The tool's entry: name, options, the desktop, inputs, exit code.
#include "tool/entry.h"

#include "asciicase.h"
#include "platform/errtext.h"
#include "platform/process.h"
#include "platform/unitext.h"
#include "textutil/strfld.h"
#include "tool/desktop.h"
#include "tool/getopt.h"
#include "tool/interpreter.h"
#include "tool/target.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string toolName;

// A day: the longest bound a send may be given.
constexpr unsigned long long kMaxSendTimeoutMs = 86400000;

std::string NameFromPath(const std::string& path) {
    size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    if (name.size() > 260) name.resize(260);
    for (char& c : name) c = AsciiLower(c);
    return name;
}

// What becomes of the run after one input.
enum class InputEnd {
    kRead,      // read to its end (or to Exit): go on with the next input
    kNotOpened, // the file could not be opened (after the message)
    kStopped,   // a strict run stopped at a failed line (after its line)
};

// Runs the interpreter on stream, named name in the outcomes; in a strict
// run, the first failed line is told on the error sink.
InputEnd RunInput(CommandContext& ctx, FILE* stream, const char* name) {
    ctx.inputName = name;
    RunCommands(ctx, stream);
    if (!ctx.stopped) return InputEnd::kRead;
    const LineOutcome& failed = ctx.failures.back();
    ctx.err.Printf("%s: %s:%d: %s failed: %s\n", toolName.c_str(), failed.input.c_str(),
                   failed.line, failed.word.c_str(), failed.outcome.Reason().c_str());
    ctx.err.Flush();
    return InputEnd::kStopped;
}

// Runs the interpreter on a named file.
InputEnd RunFile(CommandContext& ctx, const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        ctx.out.Printf("%s: Cannot open %s (%s)\n", toolName.c_str(), path, ErrText(errno));
        return InputEnd::kNotOpened;
    }
    const InputEnd end = RunInput(ctx, f, path);
    std::fclose(f);
    return end;
}

// The exit code for an input that did not end as it should, or 0.
int ExitCodeOf(InputEnd end) {
    switch (end) {
    case InputEnd::kNotOpened:
        return 2;
    case InputEnd::kStopped:
        return kStrictExitCode;
    default:
        return 0;
    }
}

// TOLVANE_STRICT=1 makes the run stop at the first failed command.
bool StrictSetting() {
    const char* text = std::getenv("TOLVANE_STRICT");
    return text && std::strcmp(text, "1") == 0;
}

// The longest a send may wait: TOLVANE_SEND_TIMEOUT in milliseconds (0 waits
// as long as the window takes), else the default.
uint32_t SendTimeoutSetting(COutput& err) {
    const char* text = std::getenv("TOLVANE_SEND_TIMEOUT");
    if (!text || !*text) return kDefaultSendTimeoutMs;
    char* end = nullptr;
    errno = 0;
    const unsigned long long ms = std::strtoull(text, &end, 10);
    if (*end == '\0' && text[0] >= '0' && text[0] <= '9' && errno == 0 && ms <= kMaxSendTimeoutMs)
        return uint32_t(ms);
    err.Printf("%s: TOLVANE_SEND_TIMEOUT=%s is not a number of milliseconds up to %u; a send "
               "waits at most %u ms\n",
               toolName.c_str(), text, unsigned(kMaxSendTimeoutMs),
               unsigned(kDefaultSendTimeoutMs));
    return kDefaultSendTimeoutMs;
}

// Bounds every send and says on standard error which window did not answer.
void BoundSends(CommandContext& ctx) {
    ctx.ws.SetSendTimeout(SendTimeoutSetting(ctx.err));
    WatchSends(ctx, toolName.c_str(), true);
}

// Prints the usage text; its last line names the desktop being driven.
void PrintUsage(COutput& out, const char* desktop) {
    const char* n = toolName.c_str();
    out.Printf("%s (Ostrelle) (%s %s)\n", n, __DATE__, __TIME__);
    out.Printf("usage: %s [-c {cmd}] [-w HWND] [in]\n", n);
    out.Puts("in     = Input filename(s) (if not specified stdin)\n");
    out.Puts("-w     = WINDOW : Initial Window Handle (as hexadecimal value)\n");
    out.Puts("-c     = COMMAND: Run command file (default Tolvane.txt)\n");
    out.Printf("(Logfile written to logs/YYYYMMDD/%s.log\n", n);
    out.Printf("Example: %s -w 03F$\n", n);
    out.Printf("\r\n%s\r\n", desktop);
}

} // namespace

int ToolMain(int argc, char* argv[]) {
    // Everything the tool prints is UTF-8; a console shows it so for the run.
    const CConsoleUtf8 console;
    CStreamOutput out(stdout), err(stderr);
    toolName = NameFromPath(ExePath());
    std::string error;
    const std::unique_ptr<CDesktop> desktop = CDesktop::Open(&error);
    if (!desktop) {
        err.Printf("%s: %s\n", toolName.c_str(), error.c_str());
        err.Flush();
        out.Printf("%s: Fatal Error: MFC initialization failed", toolName.c_str());
        return 1;
    }
    CommandContext ctx(desktop->WinSys(), out, err);
    ctx.strict = StrictSetting();
    BoundSends(ctx);
    const char* description = ctx.ws.Description();
    if (argc == 2 && std::strncmp(argv[1], "-?", 2) == 0) {
        PrintUsage(out, description);
        return 1;
    }
    std::string commandFile;
    bool interactivePass = false;
    int c;
    while ((c = getopt(argc, argv, "w:c:i")) != -1) {
        switch (c) {
        case 'w':
            MakeCurrent(ctx, hexvalue(optarg), 0);
            break;
        case 'c':
            commandFile.assign(optarg, strnlen(optarg, 1000));
            break;
        case 'i':
            interactivePass = true;
            break;
        default:
            err.Flush();
            out.Puts("\n");
            PrintUsage(out, description);
            return 1;
        }
    }
    InputEnd end = InputEnd::kRead;
    if (optindex >= argc) {
        end = commandFile.empty() ? RunInput(ctx, stdin, "-") : RunFile(ctx, commandFile.c_str());
    } else {
        for (int i = optindex; i < argc && end == InputEnd::kRead; ++i) end = RunFile(ctx, argv[i]);
    }
    if (end == InputEnd::kRead && interactivePass) end = RunInput(ctx, stdin, "-");
    out.Flush();
    return ExitCodeOf(end);
}

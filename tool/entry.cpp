// The tool's entry: name, options, the desktop, inputs, exit code.
#include "tool/entry.h"

#include "platform/errtext.h"
#include "platform/process.h"
#include "textutil/strfld.h"
#include "tool/desktop.h"
#include "tool/getopt.h"
#include "tool/interpreter.h"
#include "tool/target.h"
#include "winsys/eventlog.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string gToolName;

// A day: the longest bound a send may be given.
constexpr unsigned long long kMaxSendTimeoutMs = 86400000;

std::string NameFromPath(const std::string& path) {
    size_t slash = path.find_last_of("/\\:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    if (name.size() > 260) name.resize(260);
    for (char& c : name) c = char(std::tolower((unsigned char)c));
    return name;
}

// Runs the interpreter on a named file; false (after the message) when it
// cannot be opened.
bool RunFile(CommandContext& ctx, const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::printf("%s: Cannot open %s (%s)\n", gToolName.c_str(), path, ErrText(errno));
        return false;
    }
    RunCommands(ctx, f);
    std::fclose(f);
    return true;
}

// The longest a send may wait: TOLVANE_SEND_TIMEOUT in milliseconds (0 waits
// as long as the window takes), else the default.
uint32_t SendTimeoutSetting() {
    const char* text = std::getenv("TOLVANE_SEND_TIMEOUT");
    if (!text || !*text) return kDefaultSendTimeoutMs;
    char* end = nullptr;
    errno = 0;
    const unsigned long long ms = std::strtoull(text, &end, 10);
    if (*end == '\0' && text[0] >= '0' && text[0] <= '9' && errno == 0 && ms <= kMaxSendTimeoutMs)
        return uint32_t(ms);
    std::fprintf(stderr,
                 "%s: TOLVANE_SEND_TIMEOUT=%s is not a number of milliseconds up to %u; a send "
                 "waits at most %u ms\n",
                 gToolName.c_str(), text, unsigned(kMaxSendTimeoutMs),
                 unsigned(kDefaultSendTimeoutMs));
    return kDefaultSendTimeoutMs;
}

// Bounds every send and says on standard error which window did not answer.
void BoundSends(CWinSys& ws) {
    ws.SetSendTimeout(SendTimeoutSetting());
    ws.SetUnansweredHandler([](WsHandle hwnd, uint32_t msg, uint32_t waitedMs) {
        const std::string name = evlog::MessageName(msg);
        if (waitedMs > 0)
            std::fprintf(stderr, "%s: no answer from window %08X to %s within %u ms\n",
                         gToolName.c_str(), unsigned(hwnd), name.c_str(), unsigned(waitedMs));
        else
            std::fprintf(stderr, "%s: window %08X is not responding: %s not answered\n",
                         gToolName.c_str(), unsigned(hwnd), name.c_str());
        std::fflush(stderr);
    });
}

// Prints the usage text; its last line names the desktop being driven.
void PrintUsage(const char* desktop) {
    const char* n = gToolName.c_str();
    std::printf("%s (Ostrelle) (%s %s)\n", n, __DATE__, __TIME__);
    std::printf("usage: %s [-c {cmd}] [-w HWND] [in]\n", n);
    std::printf("in     = Input filename(s) (if not specified stdin)\n");
    std::printf("-w     = WINDOW : Initial Window Handle (as hexadecimal value)\n");
    std::printf("-c     = COMMAND: Run command file (default Tolvane.txt)\n");
    std::printf("(Logfile written to logs/YYYYMMDD/%s.log\n", n);
    std::printf("Example: %s -w 03F$\n", n);
    std::printf("\r\n%s\r\n", desktop);
}

} // namespace

int ToolMain(int argc, char* argv[]) {
    gToolName = NameFromPath(ExePath());
    std::string error;
    const std::unique_ptr<CDesktop> desktop = CDesktop::Open(&error);
    if (!desktop) {
        std::fprintf(stderr, "%s: %s\n", gToolName.c_str(), error.c_str());
        std::fflush(stderr);
        std::printf("%s: Fatal Error: MFC initialization failed", gToolName.c_str());
        return 1;
    }
    CommandContext ctx(desktop->WinSys());
    BoundSends(ctx.ws);
    const char* description = ctx.ws.Description();
    if (argc == 2 && std::strncmp(argv[1], "-?", 2) == 0) {
        PrintUsage(description);
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
            std::fflush(stderr);
            std::printf("\n");
            PrintUsage(description);
            return 1;
        }
    }
    if (optindex >= argc) {
        if (!commandFile.empty()) {
            if (!RunFile(ctx, commandFile.c_str())) return 2;
        } else {
            RunCommands(ctx, stdin);
        }
    } else {
        for (int i = optindex; i < argc; ++i)
            if (!RunFile(ctx, argv[i])) return 2;
    }
    if (interactivePass) RunCommands(ctx, stdin);
    return 0;
}

// The tool's entry: name, options, the desktop, inputs, exit code.
#include "tool/entry.h"

#include "platform/errtext.h"
#include "platform/process.h"
#include "textutil/strfld.h"
#include "tool/desktop.h"
#include "tool/getopt.h"
#include "tool/interpreter.h"
#include "tool/target.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

std::string gToolName;

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

#include "platform/errtext.h"
#include "tool/entry.h"

#include "platform/process.h"
#include "textutil/strfld.h"
#include "tool/getopt.h"
#include "tool/interpreter.h"
#include "tool/state.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

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
bool RunFile(const char* path) {
    FILE* f = std::fopen(path, "rb");
    if (!f) {
        std::printf("%s: Cannot open %s (%s)\n", gToolName.c_str(), path, ErrText(errno));
        return false;
    }
    RunCommands(f);
    std::fclose(f);
    return true;
}

} // namespace

const std::string& ToolName() {
    return gToolName;
}

void PrintUsage() {
    const char* n = gToolName.c_str();
    std::printf("%s (Ostrelle) (%s %s)\n", n, __DATE__, __TIME__);
    std::printf("usage: %s [-c {cmd}] [-w HWND] [in]\n", n);
    std::printf("in     = Input filename(s) (if not specified stdin)\n");
    std::printf("-w     = WINDOW : Initial Window Handle (as hexadecimal value)\n");
    std::printf("-c     = COMMAND: Run command file (default Tolvane.txt)\n");
    std::printf("(Logfile written to logs/YYYYMMDD/%s.log\n", n);
    std::printf("Example: %s -w 03F$\n", n);
    std::printf("\r\n%s\r\n", DesktopDescription());
}

int ToolMain(int argc, char* argv[]) {
    gToolName = NameFromPath(ExePath());
    if (!InitDesktop()) {
        std::printf("%s: Fatal Error: MFC initialization failed", gToolName.c_str());
        return 1;
    }
    if (argc == 2 && std::strncmp(argv[1], "-?", 2) == 0) {
        PrintUsage();
        return 1;
    }
    std::string commandFile;
    bool interactivePass = false;
    int c;
    while ((c = getopt(argc, argv, "w:c:i")) != -1) {
        switch (c) {
        case 'w':
            State().hWnd = hexvalue(optarg);
            SelectStartWindow(State().hWnd);
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
            PrintUsage();
            return 1;
        }
    }
    if (optindex >= argc) {
        if (!commandFile.empty()) {
            if (!RunFile(commandFile.c_str())) return 2;
        } else {
            RunCommands(stdin);
        }
    } else {
        for (int i = optindex; i < argc; ++i)
            if (!RunFile(argv[i])) return 2;
    }
    if (interactivePass) RunCommands(stdin);
    return 0;
}

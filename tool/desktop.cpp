// The desktop the tool drives: a scene named by TOLVANE_DESKTOP, else the
// platform's own window system, else the demo scene built into the tool.
#include "platform/errtext.h"
#include "tool/entry.h"
#include "winsys/sim/simdesktop.h"
#include "winsys/winsys.h"

#include "demo_scene.h" // kDemoScene, generated from examples/demo-scene.json

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};

std::unique_ptr<CSimDesktop> gSim;
std::unique_ptr<FILE, FileCloser> gLog;

bool Fail(const char* what, const std::string& why) {
    std::fprintf(stderr, "%s: %s: %s\n", ToolName().c_str(), what, why.c_str());
    std::fflush(stderr);
    return false;
}

} // namespace

const char* DesktopDescription() {
    return WinSys().Description();
}

bool InitDesktop() {
    const char* scene = std::getenv("TOLVANE_DESKTOP");
    std::string error;
    if (scene && *scene) {
        gSim = CSimDesktop::FromFile(scene, &error);
        if (!gSim) return Fail((std::string("desktop scene ") + scene).c_str(), error);
    } else if (CWinSys* platform = PlatformWinSys()) {
        SetWinSys(platform);
        return true;
    } else {
        gSim = CSimDesktop::FromJson(kDemoScene, "demo", &error);
        if (!gSim) return Fail("built-in demo scene", error);
    }
    if (const char* log = std::getenv("TOLVANE_SIM_LOG"); log && *log) {
        gLog.reset(std::fopen(log, "wb"));
        if (!gLog)
            return Fail((std::string("desktop log ") + log).c_str(),
                        std::string("cannot write (") + ErrText(errno) + ")");
        gSim->SetLogStream(gLog.get());
    }
    SetWinSys(gSim.get());
    return true;
}

void SelectStartWindow(unsigned hwnd) {
    CWinSys& ws = WinSys();
    ws.SetFocus(hwnd);
    ws.SetCapture(hwnd);
}

#include "winsys/winsys.h"

#include "winsys/sim/simdesktop.h"

namespace {

CWinSys* gCurrent = nullptr;

CWinSys& Default() {
    if (CWinSys* platform = PlatformWinSys()) return *platform;
    static CSimDesktop empty;
    return empty;
}

} // namespace

CWinSys& WinSys() {
    return gCurrent ? *gCurrent : Default();
}

CWinSys* SetWinSys(CWinSys* backend) {
    CWinSys* old = gCurrent;
    gCurrent = backend;
    return old;
}

#ifndef _WIN32
// Builds without a window system of their own.
CWinSys* PlatformWinSys() {
    return nullptr;
}
#endif

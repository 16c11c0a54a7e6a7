// Builds without a window system of their own: the default layer is an
// empty simulated desktop.
#include "winsys/defaultwinsys.h"
#include "winsys/sim/simdesktop.h"

CWinSys* PlatformWinSys() {
    return nullptr;
}

CWinSys& DefaultWinSys() {
    static CSimDesktop empty;
    return empty;
}

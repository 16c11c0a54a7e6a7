#include "winsys/defaultwinsys.h"

CWinSys& DefaultWinSys() {
    return *PlatformWinSys();
}

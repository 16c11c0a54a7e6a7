#include "winsys/winsys.h"

#include "winsys/defaultwinsys.h"

namespace {

CWinSys* current = nullptr;

} // namespace

CWinSys& WinSys() {
    return current ? *current : DefaultWinSys();
}

CWinSys* SetWinSys(CWinSys* backend) {
    CWinSys* old = current;
    current = backend;
    return old;
}

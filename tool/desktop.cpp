// The desktop the tool drives.
#include "tool/entry.h"

const char* DesktopDescription() {
    return "Desktop: none yet (window commands have no effect)";
}

bool InitDesktop() {
    return true;
}

void SelectStartWindow(unsigned) {}

// The layer WinSys() gives until one is set: the platform's own windows
// where the build has them, else an empty simulated desktop.  One
// definition per build, picked by CMake like the platform services
// (winsys/win32/win32default.cpp, winsys/sim/simdefault.cpp).
#pragma once

#include "winsys/winsys.h"

CWinSys& DefaultWinSys();

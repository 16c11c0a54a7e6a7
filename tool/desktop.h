// The desktop one run of the tool drives, and its event log.
#pragma once

#include "textutil/fileptr.h"
#include "winsys/eventlog.h"
#include "winsys/winsys.h"

#include <cstdio>
#include <memory>
#include <string>

class CSimDesktop;
class CLoggingWinSys;

class CDesktop {
public:
    // Opens the desktop: the scene that TOLVANE_DESKTOP names, else the
    // platform's own windows, else the demo scene built into the tool.
    // With TOLVANE_EVENT_LOG (or its older name TOLVANE_SIM_LOG) naming a
    // file, every event is written there, on the real desktop as on a
    // simulated one.  The desktop becomes the process-wide layer (WinSys)
    // until it is destroyed.  Null on failure, with error set to
    // "WHAT: WHY" (the scene or log file and the reason).
    static std::unique_ptr<CDesktop> Open(std::string* error);
    ~CDesktop();
    CDesktop(const CDesktop&) = delete;
    CDesktop& operator=(const CDesktop&) = delete;

    // The layer every command goes through.
    CWinSys& WinSys() const { return *layer_; }

private:
    CDesktop() = default;

    std::unique_ptr<CSimDesktop> sim_;
    std::unique_ptr<CLoggingWinSys> logged_; // the real desktop, logged
    CEventLog log_;
    FilePtr logFile_;
    CWinSys* layer_ = nullptr;
    CWinSys* previous_ = nullptr;
};

#include "tool/desktop.h"

#include "platform/errtext.h"
#include "winsys/logwinsys.h"
#include "winsys/sim/simdesktop.h"

#include "demo_scene.h" // kDemoScene, generated from examples/demo-scene.json

#include <cerrno>
#include <cstdlib>

namespace {

// The event log's file name, under its current or its older name.
const char* EventLogPath() {
    for (const char* name : {"TOLVANE_EVENT_LOG", "TOLVANE_SIM_LOG"})
        if (const char* path = std::getenv(name); path && *path) return path;
    return nullptr;
}

} // namespace

std::unique_ptr<CDesktop> CDesktop::Open(std::string* error) {
    std::unique_ptr<CDesktop> d(new CDesktop);
    std::string why;
    if (const char* scene = std::getenv("TOLVANE_DESKTOP"); scene && *scene) {
        d->sim_ = CSimDesktop::FromFile(scene, &why);
        if (!d->sim_) {
            if (error) *error = std::string("desktop scene ") + scene + ": " + why;
            return nullptr;
        }
    } else if (!PlatformWinSys()) {
        d->sim_ = CSimDesktop::FromJson(kDemoScene, "demo", &why);
        if (!d->sim_) {
            if (error) *error = "built-in demo scene: " + why;
            return nullptr;
        }
    }
    if (const char* path = EventLogPath()) {
        d->logFile_.reset(std::fopen(path, "wb"));
        if (!d->logFile_) {
            if (error)
                *error =
                    std::string("desktop log ") + path + ": cannot write (" + ErrText(errno) + ")";
            return nullptr;
        }
    }
    if (d->sim_) {
        d->sim_->SetLogStream(d->logFile_.get());
        d->layer_ = d->sim_.get();
    } else if (d->logFile_) {
        d->log_.SetStream(d->logFile_.get());
        d->logged_ = std::make_unique<CLoggingWinSys>(*PlatformWinSys(), d->log_);
        d->layer_ = d->logged_.get();
    } else {
        d->layer_ = PlatformWinSys();
    }
    d->previous_ = SetWinSys(d->layer_);
    return d;
}

CDesktop::~CDesktop() {
    SetWinSys(previous_);
}

#include "winsys/scene.h"

#include "winsys/sim/simdesktop.h"

namespace {

std::unique_ptr<CWinSys> WithLog(std::unique_ptr<CSimDesktop> desktop, FILE* log) {
    if (desktop) desktop->SetLogStream(log);
    return desktop;
}

} // namespace

std::unique_ptr<CWinSys> LoadSceneFile(const char* path, std::string* error, FILE* log) {
    return WithLog(CSimDesktop::FromFile(path ? path : "", error), log);
}

std::unique_ptr<CWinSys> LoadSceneText(const char* json, const char* name, std::string* error,
                                       FILE* log) {
    return WithLog(CSimDesktop::FromJson(json ? json : "", name ? name : "", error), log);
}

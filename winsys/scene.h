// Simulated desktops for dry runs: a program can drive the windows of a
// scene instead of the real ones (make the desktop current with SetWinSys,
// or call it directly) and read in the event log what it did.  Scenes are
// JSON files; their format is described with the project's examples.
#pragma once

#include "ostrelle_api.h"
#include "winsys/winsys.h"

#include <cstdio>
#include <memory>
#include <string>

// The desktop of the scene file at path; null when it cannot be loaded,
// with error (when not null) set to the reason ("cannot open (...)",
// "line L, column C: ..." for malformed JSON, "key.path: ..." for a wrong
// value).  With log not null every event is appended to it; the stream
// stays the caller's and must outlive the desktop.
OSTRELLE_API std::unique_ptr<CWinSys> LoadSceneFile(const char* path, std::string* error,
                                                    FILE* log = nullptr);

// The same for a scene given as text; name is used in the description.
OSTRELLE_API std::unique_ptr<CWinSys> LoadSceneText(const char* json, const char* name,
                                                    std::string* error, FILE* log = nullptr);

// Capturing windows into a scene: the windows of an application (or of the
// whole desktop) with what the reports read of them, written in the format
// TOLVANE_DESKTOP loads, so that a script can be run against the copy.
#pragma once

#include "tool/context.h"

#include <cstddef>
#include <string>

// The most windows, and items of one control, a capture holds.
constexpr size_t kMaxCaptureWindows = 100000;
constexpr size_t kMaxCaptureItems = 100000;

struct CaptureCounts {
    size_t windows = 0;
    size_t processes = 0;
};

// The scene (JSON text, ending with a line break) of the top-level window
// root with all its descendants and the windows that own it, or with root 0
// of every top-level window of the desktop.  Windows that do not answer, bounds that cut and menus
// that cannot be read are said on ctx.err; so are progress dots when the
// capture runs longer than a second.  The same desktop gives the same text.
std::string CaptureScene(CommandContext& ctx, WsHandle root, CaptureCounts* counts);

// The top-level window h belongs to (h itself when it is one); 0 when h
// names no window.
WsHandle TopLevelOf(CWinSys& ws, WsHandle h);

// Capture: the current window's application, or the whole desktop, saved as
// a scene that TOLVANE_DESKTOP runs scripts against.
#include "platform/errtext.h"
#include "platform/replacefile.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"
#include "tool/capture.h"
#include "tool/commands.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// Writes text to path through a file beside it that replaces path only
// once whole: a failed capture leaves the old file, or none, never half of
// one.  Empty on success, else the reason.
std::string WriteWhole(const std::string& path, const std::string& text) {
    const std::string part = path + ".part";
    FilePtr f(std::fopen(part.c_str(), "wb"));
    if (!f) return std::string("cannot open '") + part + "' (" + ErrText(errno) + ")";
    const bool written = std::fwrite(text.data(), 1, text.size(), f.get()) == text.size();
    const int e = errno;
    const bool closed = std::fclose(f.release()) == 0;
    if (!written || !closed) {
        std::remove(part.c_str());
        return std::string("cannot write '") + part + "' (" + ErrText(written ? errno : e) + ")";
    }
    if (!RenameOver(part.c_str(), path.c_str())) {
        const int re = errno;
        std::remove(part.c_str());
        return std::string("cannot rename '") + part + "' to '" + path + "' (" + ErrText(re) + ")";
    }
    return std::string();
}

} // namespace

Outcome CmdCapture(CommandContext& ctx, const CommandCall& call) {
    const std::string args = call.args;
    std::vector<char> field(args.size() + 1);
    strfld(args.c_str(), ',', 1, 1, field.data(), int(field.size()));
    const std::string file = field.data();
    strfld(args.c_str(), ',', 2, 99, field.data(), int(field.size()));
    const std::string scope = field.data();
    if (file.empty()) {
        ctx.out.Puts("Capture: no file named\n");
        return Failed(Fault::kInvalidArgument, "no file named");
    }
    if (!scope.empty() && scope != "*") {
        ctx.out.Printf("Capture: unknown scope '%s' (none or *)\n", scope.c_str());
        return Failed(Fault::kInvalidArgument, "unknown scope '" + scope + "'");
    }
    WsHandle root = 0;
    if (scope.empty() && ctx.state.hWnd != 0) {
        root = TopLevelOf(ctx.ws, ctx.state.hWnd);
        if (root == 0) return WindowThere(ctx, ctx.state.hWnd);
    }
    CaptureCounts counts;
    const std::string scene = CaptureScene(ctx, root, &counts);
    if (const std::string error = WriteWhole(file, scene); !error.empty()) {
        ctx.out.Printf("Capture: %s not written: %s\n", file.c_str(), error.c_str());
        return Failed(Fault::kFileNotWritten, error);
    }
    ctx.out.Printf("Captured %u windows of %u processes to %s\n", unsigned(counts.windows),
                   unsigned(counts.processes), file.c_str());
    return Done();
}

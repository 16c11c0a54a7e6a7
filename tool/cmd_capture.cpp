// Capture: the current window's application, or the whole desktop, saved as
// a scene that TOLVANE_DESKTOP runs scripts against.
#include "platform/replacefile.h"
#include "textutil/strfld.h"
#include "tool/capture.h"
#include "tool/commands.h"

#include <string>
#include <vector>

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
    if (const std::string error = ReplaceFileWith(file, scene, ".part"); !error.empty()) {
        ctx.out.Printf("Capture: %s not written: %s\n", file.c_str(), error.c_str());
        return Failed(Fault::kFileNotWritten, error);
    }
    ctx.out.Printf("Captured %u windows of %u processes to %s\n", unsigned(counts.windows),
                   unsigned(counts.processes), file.c_str());
    return Done();
}

#include "tool/context.h"

#include "winsys/eventlog.h"

void WatchSends(CommandContext& ctx, const char* toolName, bool report) {
    std::string name = toolName;
    ctx.ws.SetUnansweredHandler(
        [&ctx, name, report](WsHandle hwnd, uint32_t msg, uint32_t waitedMs) {
            ++ctx.sends.count;
            ctx.sends.hwnd = hwnd;
            ctx.sends.msg = msg;
            ctx.sends.waitedMs = waitedMs;
            if (!report) return;
            const std::string msgName = evlog::MessageName(msg);
            if (waitedMs > 0)
                ctx.err.Printf("%s: no answer from window %08X to %s within %u ms\n", name.c_str(),
                               unsigned(hwnd), msgName.c_str(), unsigned(waitedMs));
            else
                ctx.err.Printf("%s: window %08X is not responding: %s not answered\n", name.c_str(),
                               unsigned(hwnd), msgName.c_str());
            ctx.err.Flush();
        });
}

// What the command benchmarks on the simulated desktop share: a desktop
// from a scene text, and a command run over and over on it with its output
// and replies out of the way.
#pragma once

#include "tool/commands.h"
#include "tool/interpreter.h"
#include "winsys/sim/simdesktop.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

// The desktop of a scene the benchmark holds; a scene that does not load
// stops the program.
inline std::unique_ptr<CSimDesktop> SimScene(const char* json) {
    std::string error;
    auto d = CSimDesktop::FromJson(json, "bench", &error);
    if (!d) std::abort();
    return d;
}

// The bare sweep the window searches are measured against: GetClassNameA
// of every handle value 0..0xFFFF; the number of windows met.
inline int ClassSweep(CWinSys& ws) {
    int found = 0;
    for (WsHandle h = 0; h <= 0xFFFF; ++h) {
        char cls[1000];
        found += ws.GetClassNameA(h, cls, sizeof cls) > 0;
    }
    return found;
}

// Runs fn (the command word with args, current as the current window) on a
// desktop of the scene once per benchmark iteration; every reply is empty.
inline void RunSimCommand(benchmark::State& state, const char* scene, CommandFn fn,
                          const char* word, const char* args, WsHandle current = 0) {
    auto d = SimScene(scene);
    CDiscardOutput discard;
    CommandContext ctx(*d, discard, discard);
    ctx.state.hWnd = current;
    FILE* none = std::fopen("/dev/null", "rb");
    ctx.replies = none;
    for (auto _ : state) RunHandler(ctx, fn, CommandCall{word, word, args});
    std::fclose(none);
}

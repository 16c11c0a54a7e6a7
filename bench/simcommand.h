// What the command benchmarks on the simulated desktop share: a desktop
// from a scene text, and a command run over and over on it with its output
// and replies out of the way.
#pragma once

#include "tool/commands.h"
#include "winsys/sim/simdesktop.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

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

// Standard output to /dev/null while a command prints.
class QuietStdout {
public:
    QuietStdout() {
        std::fflush(stdout);
        saved_ = dup(1);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~QuietStdout() {
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
    }
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;
};

// Runs fn (the command word with args, current as the current window) on a
// desktop of the scene once per benchmark iteration; every reply is empty.
inline void RunSimCommand(benchmark::State& state, const char* scene, CommandFn fn,
                          const char* word, const char* args, WsHandle current = 0) {
    auto d = SimScene(scene);
    CommandContext ctx(*d);
    ctx.state.hWnd = current;
    FILE* none = std::fopen("/dev/null", "rb");
    ctx.replies = none;
    QuietStdout quiet;
    for (auto _ : state) fn(ctx, CommandCall{word, word, args});
    std::fclose(none);
}

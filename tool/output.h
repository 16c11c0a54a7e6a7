// Where the tool's output goes: every line a command prints, its prompts,
// and the console lines of its reports.  The run hands one sink for
// standard output and one for standard error to every command; a test, a
// benchmark or a fuzzer hands its own and reads what a command wrote.
#pragma once

#include "ostrelle_api.h"

#include <cstddef>
#include <cstdio>
#include <string>

class COutput {
public:
    virtual ~COutput() = default;
    // Writes size bytes as they stand.
    virtual void Write(const char* data, size_t size) = 0;
    // Hands what was written to its destination (before a prompt waits).
    virtual void Flush() {}

    // Formats as printf does and writes the result, however long.
    void Printf(const char* format, ...) OSTRELLE_PRINTF(2, 3);
    void Puts(const char* text);
};

// Writes to a C stream (standard output or error when the tool runs).
class CStreamOutput : public COutput {
public:
    explicit CStreamOutput(FILE* stream) : stream_(stream) {}
    void Write(const char* data, size_t size) override;
    void Flush() override;

private:
    FILE* stream_;
};

// Drops everything written (benchmarks that run a command many times).
class CDiscardOutput : public COutput {
public:
    void Write(const char*, size_t) override {}
};

// Keeps everything written, for callers that read it back.
class CStringOutput : public COutput {
public:
    void Write(const char* data, size_t size) override { text_.append(data, size); }
    const std::string& Text() const { return text_; }
    // Returns what was written so far and starts afresh.
    std::string Take();

private:
    std::string text_;
};

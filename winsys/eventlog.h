// The event log: one line of text for each thing a caller asked of the
// window-system layer (sends with their results, posts, focus, capture,
// placement, style, enable, clipboard, other-process memory, sleeps,
// alerts), in one format on every desktop.  CLoggingWinSys (logwinsys.h)
// writes those lines for any backend; the simulated desktop adds what its
// windows did while handling a message, indented beneath.  The format is
// documented in examples/README.md.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace evlog {

std::string Hex4(uint32_t v);  // "%04X"
std::string Hex8(uint32_t v);  // "%08X"
std::string Hex16(uint64_t v); // "%016llX"

// The text in double quotes; '"', '\\' and bytes below 0x20 or from 0x7F
// are escaped (\" \\ \r \n \t \xNN).
std::string Quote(const std::string& text);

// The platform's name of a message ("WM_GETTEXT"), or "0x%04X".
std::string MessageName(uint32_t msg);
// A message number by its name (as MessageName gives it); false when unknown.
bool MessageByName(const std::string& name, uint32_t* msg);

// True for the messages whose lParam points into the sender's memory.
bool CarriesPointer(uint32_t msg);
// True for the messages whose lParam is a buffer that the receiver fills.
bool FillsBuffer(uint32_t msg);

// "NAME wParam lParam" as the log shows a message: wParam and lParam as
// "%08X" (their low 32 bits); a text pointer as the quoted text; an output
// buffer as "buf".
std::string MessageText(uint32_t msg, uintptr_t wParam, intptr_t lParam);

} // namespace evlog

// Where the lines go, and how they nest.  Lines are indented two spaces per
// level of message handling (Enter/Leave around a delivery).  A send's line
// waits for its result: when nothing is logged meanwhile it ends in
// " -> RESULT"; otherwise it is written at once and the result follows
// beneath what the receiver logged, on a line of its own ("-> RESULT").
class CEventLog {
public:
    // Appends every line (LF ended, flushed) to stream; null stops it.
    // The stream stays the caller's.
    void SetStream(FILE* stream) { stream_ = stream; }
    // Keeps the lines in memory as well (Lines, Clear).
    void Capture(bool on) { capture_ = on; }
    const std::vector<std::string>& Lines() const { return lines_; }
    void Clear() { lines_.clear(); }
    // True when the lines go anywhere.
    bool Active() const { return stream_ || capture_; }

    // One line at the current level.
    void Line(const std::string& text);
    // A send that waits for its result (EndSend at the same level).
    void BeginSend(const std::string& text);
    void EndSend(intptr_t result);
    // Around the handling of a message.
    void Enter() { ++depth_; }
    void Leave() { --depth_; }
    int Depth() const { return depth_; }

private:
    void Emit(const std::string& line);
    void FlushPending();
    std::string Indent() const { return std::string(size_t(depth_) * 2, ' '); }

    FILE* stream_ = nullptr;
    bool capture_ = false;
    std::vector<std::string> lines_;
    int depth_ = 0;
    std::string pending_; // a send line waiting for its result
};

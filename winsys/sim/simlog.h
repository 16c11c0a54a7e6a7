// Text forms used by the simulated desktop's event log.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

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

} // namespace sim

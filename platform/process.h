// The running process.
#pragma once

#include <string>

// Full path of the running executable ("" when the system cannot tell).
std::string ExePath();

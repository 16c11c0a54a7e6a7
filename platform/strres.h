// String resources of the running program.
#pragma once

#include <string>

// The string resource id of the executable, or "" when there is none.
std::string LoadStringResource(unsigned int id);

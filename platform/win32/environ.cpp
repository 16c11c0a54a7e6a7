#include "platform/environ.h"

#include <cstdlib>

bool SetEnvVar(const char* name, const char* value) {
    if (!name || !*name) return false;
    // An empty value removes the variable from the C runtime's copy.
    return _putenv_s(name, value ? value : "") == 0;
}

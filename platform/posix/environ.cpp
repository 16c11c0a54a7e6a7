#include "platform/environ.h"

#include <cstdlib>

bool SetEnvVar(const char* name, const char* value) {
    if (!name || !*name) return false;
    if (!value) return unsetenv(name) == 0;
    return setenv(name, value, 1) == 0;
}

#include "platform/strres.h"

// Programs on this platform carry no string resources.
std::string LoadStringResource(unsigned int) {
    return std::string();
}

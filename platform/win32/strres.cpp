#include "platform/strres.h"

#include <windows.h>

std::string LoadStringResource(unsigned int id) {
    // String resources hold at most 65,535 characters.
    std::string text(65536, '\0');
    int n = LoadStringA(GetModuleHandleA(nullptr), id, text.data(), int(text.size()));
    text.resize(n > 0 ? size_t(n) : 0);
    return text;
}

#include "txt/namematch.h"

#include "asciicase.h"

#include <cstring>

bool NameMatch(const char* pattern, const char* name) {
    if (!pattern) pattern = "";
    if (!name) name = "";
    if (strcmp(pattern, "*.*") == 0) pattern = "*";
    // Greedy scan with one remembered star: on a mismatch the last star takes
    // one more character.  At most strlen(name) restarts, each bounded.
    const char* p = pattern;
    const char* n = name;
    const char* starP = nullptr;
    const char* starN = nullptr;
    while (*n) {
        if (*p == '*') {
            starP = ++p;
            starN = n;
        } else if (*p && (*p == '?' || AsciiEqualFolded(*p, *n))) {
            ++p;
            ++n;
        } else if (starP) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (*p == '*') ++p;
    return *p == '\0';
}

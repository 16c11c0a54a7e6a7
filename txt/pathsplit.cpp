#include "txt/pathsplit.h"

#include <cstring>

namespace {

// Copies n characters of src into a part buffer, cut to the part limit.
void CopyPart(char* part, const char* src, size_t n) {
    if (n > size_t(kPathPartMax)) n = kPathPartMax;
    memcpy(part, src, n);
    part[n] = '\0';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

void SplitPath(const char* path, PathParts& out) {
    out.drive[0] = out.dir[0] = out.base[0] = out.ext[0] = '\0';
    if (!path) return;
    const char* p = path;
    if (IsAsciiLetter(p[0]) && p[1] == ':') {
        CopyPart(out.drive, p, 2);
        p += 2;
    }
    // The directory ends after the last separator.
    const char* name = p;
    for (const char* q = p; *q; ++q)
        if (*q == '/' || *q == '\\') name = q + 1;
    CopyPart(out.dir, p, size_t(name - p));
    // The extension starts at the last '.' of the name.
    const char* dot = strrchr(name, '.');
    if (!dot) {
        CopyPart(out.base, name, strlen(name));
        return;
    }
    CopyPart(out.base, name, size_t(dot - name));
    CopyPart(out.ext, dot, strlen(dot));
}

// Splitting a path into drive, directory, base name and extension.
//
// Both '/' and '\' separate directories.  The rule is the same on every
// platform, so the parts of a Windows path come out identically on Linux:
//
//   drive      a letter and ':' when the path starts that way, else empty
//   directory  after the drive, up to and including the last '/' or '\'
//   base name  after the directory, up to the last '.'; all of it when no '.'
//   extension  from that last '.' (included) to the end; empty when no '.'
//
// Each part holds at most kPathPartMax characters; a longer part is cut.
#pragma once

constexpr int kPathPartMax = 255;

struct PathParts {
    char drive[kPathPartMax + 1];
    char dir[kPathPartMax + 1];
    char base[kPathPartMax + 1];
    char ext[kPathPartMax + 1];
};

// Splits path (none counts as empty) into out; every part is terminated.
void SplitPath(const char* path, PathParts& out);

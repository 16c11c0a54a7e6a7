// Replacing a file by another in one step.
#pragma once

#include <string>

// Renames the file from over the file to (which may or may not exist), so
// that a reader sees either the old or the new file, never a mixture.  Both
// paths should lie in the same folder.  False when the system refuses.
bool RenameOver(const char* from, const char* to);

// Writes data to the file path + suffix beside path, commits it to the
// storage device and renames it over path: a reader sees the old file (or
// none) or the whole new one, never half of it.  Empty on success; else why
// not ("cannot open|write|rename '...' (reason)"), with the file beside
// removed and path untouched.
std::string ReplaceFileWith(const std::string& path, const std::string& data, const char* suffix);

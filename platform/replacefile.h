// Replacing a file by another in one step.
#pragma once

// Renames the file from over the file to (which may or may not exist), so
// that a reader sees either the old or the new file, never a mixture.  Both
// paths should lie in the same folder.  False when the system refuses.
bool RenameOver(const char* from, const char* to);

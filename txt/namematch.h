// Matching file names against '*' and '?' patterns, as Windows does.
#pragma once

// True when name matches pattern: '*' stands for any run of characters
// (also none), '?' for exactly one; everything else compares without regard
// to the case of ASCII letters, as Windows does.  "*.*" matches every name,
// also one without a '.', as Windows users expect.  Null counts as empty.
bool NameMatch(const char* pattern, const char* name);

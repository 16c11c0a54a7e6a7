// The exported option parser.  Global state, one parse per process.
#pragma once

#include "ostrelle_api.h"

// The C library may declare a getopt of its own; ours has the same C
// signature and takes its place when linked.  Its declaration comes first so
// that ours matches it.
#include <getopt.h>

// The C library may declare its own getopt as one that never throws (glibc:
// "throw()" in C++); every declaration of ours must say the same.
#ifdef __THROW
#define OSTRELLE_GETOPT_NOTHROW __THROW
#else
#define OSTRELLE_GETOPT_NOTHROW
#endif

extern "C" {
// Argument of the last option that takes one; null after a flag option.
extern OSTRELLE_API char* optarg;

// Returns the next option character of argv, '?' for an incorrect option
// or a missing argument (message on standard error), or -1 when the options
// end.  A letter of opts followed by ':' or '!' takes an argument.  An opts
// that begins with '*' turns numeric options on: on the first call every
// element "-<digits…>" has its digits replaced by '*' and their number is
// stored in optnum, so '-12' yields '*' twice with optnum 12.  The argv
// texts must be writable.
OSTRELLE_API int getopt(int argc, char* const argv[], const char* opts) OSTRELLE_GETOPT_NOTHROW;
}

// Index of the next element of argv to examine (starts at 1).
extern OSTRELLE_API int optindex;
// Position of the next option character within the current element.
extern OSTRELLE_API int optpos;
// The last option character examined.
extern OSTRELLE_API int optchar;
// The numeric option value; -1 when none was seen.
extern OSTRELLE_API int optnum;

// Starts a new parse: resets the position and lets the numeric pass run
// again on the next call (for programs that parse more than one vector).
OSTRELLE_API void getoptreset();

// The buffered line reader: the lines of a file, read in large chunks, or of
// a block of bytes already in memory, one line per call.  There is one
// reader in the process; it serves one input at a time on one thread.
//
// Calling order: bgetlopen, bgetl until it returns -1, bgetlclose; or
// bgetlmem, bgetl until -1, bgetlrelease.
#pragma once

#include "ostrelle_api.h"

#include <cstdint>

// Smallest and default chunk buffer in file mode.  The environment variable
// BGETLRAM sets the size (decimal; smaller or non-numeric values give the
// minimum); values above BGETL_MAXRAM are lowered to it.
constexpr long BGETL_MINRAM = 1010;
constexpr long BGETL_DEFRAM = 300000;
constexpr long BGETL_MAXRAM = 1L << 30;

// Opens path for reading and reads the first chunk.  Returns 1 when open, 0
// when the file cannot be opened (errno tells why), -2 when no buffer could
// be obtained.  The buffer is allocated at the first open and kept (also
// across a failed open) until bgetlclose.  A file or memory block still
// being read is given up first.
OSTRELLE_API int bgetlopen(const char* path);

// Reads the next line into out (size bytes, at least 1).  LF, a zero byte
// and Ctrl-Z end a line and are not stored; CR is dropped wherever it
// stands.  At most size-1 characters are stored, the rest of an overlong
// line is skipped; out is always terminated, and the bytes of out behind
// the terminator may be overwritten.  Returns the count stored (0 for an
// empty line, and for a line cut to nothing by a size of 1) or -1 at the end
// of the input (also for a line that holds nothing but CRs and is ended by
// Ctrl-Z or by the end of the data).
OSTRELLE_API int bgetl(char* out, int size);

// Closes the file and frees the buffer.
OSTRELLE_API void bgetlclose();

// Reads lines from a block of length bytes that the caller owns and keeps
// alive until bgetlrelease.  Returns 0; -1 when block is null; -2 when
// length is 0 or less (the reader is then left as it was).  A file still
// being read is closed first.
OSTRELLE_API int bgetlmem(const char* block, int length);

// Forgets the memory block and all reader state without freeing the block.
OSTRELLE_API void bgetlrelease();

// Bytes the reader's buffer holds (0 when it has none).
OSTRELLE_API long bgetlbufsize();

// Size of a file in bytes; -2 for a null or empty path, -1 when the file
// cannot be examined.
OSTRELLE_API int64_t filesize(const char* path);

// Modification time of a file in seconds since 1970; 0 for the null device
// (a path whose last component is "NUL" in any case, with or without a
// directory before it); -1 when the file cannot be examined.
OSTRELLE_API int64_t filetime(const char* path);

// The C library's text for an error number, as used in messages such as
// "Cannot open %s (%s)".
#pragma once

// Text for error number e (errno values); never null.  The text stays valid
// until the next call on the same thread.
const char* ErrText(int e);

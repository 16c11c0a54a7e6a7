// Message-insert expansion of our own: the rules of the system's
// FormatMessageA for a message given as text, for CTxt::FormatMessageA.
//
//   %1 .. %99     insert number n: the n-th variable argument, an 8-bit text
//                 (a null pointer gives "(null)"); two digits at most, so
//                 "%100" is insert 10 followed by '0'
//   %n!fmt!       the argument formatted with the printf conversion fmt
//                 (flags "-+ #0", width, .precision of at most 6 digits or
//                 999,999, length h hh l ll I I32 I64 z j t, conversion
//                 d i u o x X c s p).  A '*' width or
//                 precision takes insert n (and n+1 for "*.*"), the value the
//                 next number after them
//   %0            ends the message here, without a line break
//   %n  %r  %t    CR LF, CR, tab
//   %x (other)    the character x itself: "%%", "%.", "%!", "% "
//   line break    a CR, LF or CR LF of the source becomes CR LF
//
// Arguments are taken from the list in number order, each with the type its
// conversion needs; a number that no insert uses but that lies below a used
// one is skipped as a pointer-sized value.  Inserts after %0 take nothing.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// Expands source by the rules above into out (an empty message is a success
// with an empty out).  args is not consumed.  The output is cut after limit
// characters.  False for a '%' at the end of the source, an unclosed or
// unsupported "!fmt!", an insert number used with two different argument
// types, or a conversion the C library cannot produce.
bool MsgExpand(const char* source, va_list args, size_t limit, std::string& out);

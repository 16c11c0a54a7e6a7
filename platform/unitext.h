// The platform's Unicode services: its case table, its ANSI code page and
// its console's output code page.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The upper-case form of code point cp by the platform's own Unicode case
// table (the C library's in a UTF-8 locale on POSIX systems, the system's
// on Windows); cp itself when it has none or is no letter.  ASCII letters
// fold to their upper case as everywhere.
uint32_t UnicodeUpper(uint32_t cp);

// The UTF-16 form of a text in the ANSI code page: the system's on Windows,
// Windows-1252 elsewhere.  Bytes the code page leaves undefined become
// U+FFFD.
std::u16string Utf16FromAnsi(std::string_view text);

// While it lives, a console on standard output shows UTF-8: its output
// code page is set to UTF-8 and put back when it ends.  Pipes, files and
// platforms without console code pages are left as they are.
class CConsoleUtf8 {
public:
    CConsoleUtf8();
    ~CConsoleUtf8();
    CConsoleUtf8(const CConsoleUtf8&) = delete;
    CConsoleUtf8& operator=(const CConsoleUtf8&) = delete;

private:
    [[maybe_unused]] unsigned previous_ = 0; // the code page to put back; 0 for none
};

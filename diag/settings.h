// The settings file: an INI file beside the executable holding the switches
// of the diagnostics layer (section "SYS").
//
// Format: "[section]" header lines followed by "key=value" lines; sections
// and keys match without regard to case, spaces around names and values are
// ignored, a value in matching quotes loses them, lines starting with ';' are
// comments.  The first matching section and key count.  Files larger than
// kMaxIniFile bytes are neither read nor written.
#pragma once

#include "ostrelle_api.h"

#include <string>

constexpr long kMaxIniFile = 1L << 20;

// Directory of the running executable, without a trailing separator; a last
// folder "Debug" or "Release" is left out, so a build folder shares the
// settings of its project folder.  Computed once per process.  Copies it into
// buf (size bytes, always terminated) and returns the length stored.
OSTRELLE_API int GetExeDir(char* buf, int size);

// Path of the settings file: "<exe dir>/<exe name>.ini" with every backslash
// turned into '/', where a name ending in "Debug" or "Release" loses that
// ending.  Computed once per process ("" when the executable's path is
// unknown).  Copies it into buf as GetExeDir does.
OSTRELLE_API int GetIniPath(char* buf, int size);

// Makes path the settings file for the rest of the process (or, with null,
// computes it afresh from the executable's path).
OSTRELLE_API void SetIniPath(const char* path);

// The rules of GetExeDir and GetIniPath applied to a given executable path.
OSTRELLE_API std::string ExeDirOf(const std::string& exePath);
OSTRELLE_API std::string IniPathOf(const std::string& exePath);

// Reads key of section (both names trimmed of blanks and tabs, as the
// file's are) from the file at path (null: the settings file) into
// out (size bytes, always terminated; longer values are cut).  An absent key
// or an unreadable file gives def (null: ""); a key present with an empty
// value gives "".  Returns the number of characters stored.
OSTRELLE_API int ReadIniString(const char* section, const char* key, const char* def, char* out,
                               int size, const char* path);

// Writes value under key of section in the file at path (null: the settings
// file), creating the file, the section and the key as needed; every other
// line is kept as it was.  A null value removes the key (each of its lines in
// the section, where a file repeats it).  The new contents go
// to a temporary file in the same folder that is then renamed over the file,
// so an interrupted write never leaves a half-written file.  Names are
// trimmed as the reader trims them, so a name written with blanks around it
// is found again; a value that the reader would change (blanks around it, or
// matching quotes of its own) is written in double quotes, so every value
// reads back exactly as written.  Names and values holding a line break,
// names that are empty after trimming, a key holding '=' or starting with ';'
// or '[', and a section holding ']' are refused.  Returns 1 when the file
// holds the value, 0 when it was left as it was.
OSTRELLE_API int WriteIniString(const char* section, const char* key, const char* value,
                                const char* path);

// Reads a yes/no switch: 1 when the value is "YES" or "TRUE" in any letter
// case, else 0.  An absent key answers def (nonzero: yes) and is added to the
// file as "YES" or "NO", so the file lists every switch that was asked for; a
// present value, even an empty one, is left as it is.
OSTRELLE_API int ReadIniBool(const char* section, const char* key, int def, const char* path);

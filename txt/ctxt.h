// CTxt: the library's own owned, growable, zero-terminated 8-bit text.
//
// Representation: a buffer pointer (none for a text that was never set or was
// released), the length before the terminator and the capacity in bytes.
// Memory rules, observable through GetData, GetLength and GetCapacity:
//  - a fresh CTxt has no buffer, length 0, capacity 0;
//  - every allocation is exactly the needed length + 2 bytes (terminator and
//    one spare byte); there is no growth factor;
//  - setting a shorter text reuses the buffer; only releasing (Empty,
//    ReleaseBuffer, destruction, SetTxt(nullptr)) gives it back;
//  - text buffers come from the task allocator (platform/alloc.h), work
//    buffers from operator new.
// Allocation failure throws CMemoryException (below); text lengths are
// limited to what a signed 32-bit length holds, and a longer request is
// treated as an allocation failure.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "ostrelle_api.h"
#include "txt/cstring.h"

class CTxtArray;

// The framework's out-of-memory exception.  Thrown by value by
// CTxt::FormatMessageA when no message can be produced, and by every CTxt
// operation when the task allocator fails.  Catch it as
// `const CMemoryException&` (or as std::bad_alloc, its base).
class OSTRELLE_API CMemoryException : public std::bad_alloc {
public:
    const char* what() const noexcept override { return "Out of memory"; }
};

// Throws CMemoryException.
[[noreturn]] void AfxThrowMemoryException();

class OSTRELLE_API CTxt {
public:
    // ---- Construction, release and assignment ------------------------------

    CTxt();                      // no buffer, length 0, capacity 0
    CTxt(const char* text);      // then SetTxt(text) when a text is given
    CTxt(const CTxt& other);     // copy of other's text (no buffer when other has none)
    CTxt(CTxt&& other) noexcept; // takes other's buffer; other is left fresh
    ~CTxt();                     // as Empty

    // Forgets the buffer without freeing it: buffer none, length and
    // capacity 0.  Only for raw storage that never owned a buffer.
    void Reset();
    // Frees the buffer if there is one: buffer none, length 0, capacity 0.
    void Empty();
    void ReleaseBuffer();
    // With a buffer: the text becomes empty, the buffer is kept (length 0).
    // Without one: the text is set to the empty text (a 2-byte buffer).
    void MakeEmpty();
    // No text: as Empty.  Otherwise copies text (reusing the buffer when it
    // holds length + 2 bytes, else allocating exactly that).
    void SetTxt(const char* text);

    // Sets this text to other's when other has a buffer and it is not this
    // one; an other without a buffer leaves this text unchanged.
    CTxt& operator=(const CTxt& other);
    CTxt& operator=(const char* text);  // SetTxt
    CTxt& operator+=(const char* text); // AddTxt

    // The text; never null: a text without a buffer gets the empty text first.
    operator const char*();
    // The text of a const object: "" (a static empty text) when it has no buffer.
    operator const char*() const;

    // The raw buffer, possibly null; does not allocate.  Callers may write
    // through it; a terminator written this way does not change the length.
    char* GetData() { return data_; }
    const char* GetData() const { return data_; }
    int GetLength() const { return length_; }
    // Bytes allocated for the buffer; 0 without one.
    int GetCapacity() const { return capacity_; }
    int IsEmpty() const { return length_ <= 0 ? 1 : 0; }
    int IsFilled() const { return length_ > 0 ? 1 : 0; }

    // End-of-run hook: frees the class-wide scratch buffer, if any.
    static void Shutdown();

    // ---- Appending and inserting: each returns the new length --------------

    int AddTxt(const char* text); // text must be present
    int Add(char c);              // appends one character (a zero byte too)
    // Inserts text before position pos (pos <= 0: at the front; pos beyond
    // the length: appended).  No text or an empty one changes nothing.
    int InsertAt(int pos, const char* text);
    int InsertAt(int pos, char c);

    // ---- Removing and trimming ---------------------------------------------

    // Removes count characters from start (fewer at the end of the text).
    // Returns the new length, or -1 for start < 0, -2 for start >= length,
    // -3 for count < 1.
    int RemoveRange(int start, int count);
    // Removes every non-overlapping occurrence of pattern, ASCII letters
    // compared without case, scanning left to right.  An empty pattern
    // empties the text.  Returns the new length.
    int RemoveFromText(const char* pattern);
    // The filters below return the new length; a text without a buffer
    // stays as it is and gives 0.
    int RemoveChar(char c);               // drops every c
    int RemoveCharList(const char* list); // drops every character of list
    int ExtractChar(const char* list);    // keeps only characters of list
    // Keeps only "0123456789.E+-", plus "()" when flag is not 0.
    int TrimNum(int flag);
    // Strips c from the end, then from the start; returns the new length.
    int Trim(char c);
    // Strips c from the end only; returns the number of characters removed.
    int TrimRight(char c);
    // Cuts the text at pos when pos < length; the length follows the cut.
    void MakeLength(int pos);

    // ---- Searching, access and case ----------------------------------------

    // Index of the first c; -1 for an empty text, -2 when not found.
    int FindChar(char c) const;
    // Index of the first character that occurs in list; -1 for an empty
    // text, -2 when none occurs.
    int FindCharList(const char* list) const;
    // No bounds checks: the caller keeps 0 <= pos <= length.
    char GetAt(int pos) const { return data_[pos]; }
    char operator[](int pos) const { return data_[pos]; }
    // Other integer types as index: exact matches, so that t[i] never competes
    // with indexing the converted pointer.
    template <typename I, typename = std::enable_if_t<std::is_integral_v<I>>>
    char operator[](I pos) const {
        return data_[pos];
    }
    void SetAt(int pos, char c) { data_[pos] = c; }
    // Replaces every from by to; returns the number replaced.
    int Replace(char from, char to);
    void MakeUpper();
    void MakeLower();
    // The text becomes count copies of c (count < 1 counts as 1); returns
    // the new length.
    int FillChar(char c, int count);
    // The text becomes the first width characters of text (at most 100,000),
    // trailing blanks removed; a width of 0 or less gives the empty text.
    void SetTxtFixLen(const char* text, int width);
    // Checks that every character is an ASCII letter or digit, '_' or in
    // list (list may be null).  Empty text: -1.  flag 0: the code of the
    // first offending character (as a signed char) or 0, nothing changes.
    // flag != 0: offending characters become '_'; the index of the first
    // one, or -1 when there is none.
    int MaskNonVar(int flag, const char* list);
    // Every byte outside 0x20..0x7E becomes '+'; returns the number replaced.
    int MaskNonPrintable();

    // ---- Formatting ----------------------------------------------------------

    // printf-style formatting.  Output is limited to 100,000 characters;
    // longer output is cut at that limit.
    void FormatV(const char* format, va_list args);
    void Format(const char* format, ...) OSTRELLE_PRINTF(2, 3);
    // Formats with the string resource id as the format; an id without a
    // string gives the empty text.
    void Format(unsigned int id, ...);
    // Expands source by the message-insert rules of FormatMessageA: %1..%99
    // take the variable arguments in number order (each an 8-bit text, or
    // as %n!fmt! a printf conversion such as %1!d! or %2!5.2s!; a '*' width
    // or precision takes the following numbered arguments), %n a line
    // break (CR LF), %r a CR, %t a tab, %0 ends the message without a line
    // break, and %% %. %! and "% " give the character itself.  Throws
    // CMemoryException when the message cannot be produced or is empty.
    void FormatMessageA(const char* source, ...);
    // The same with the source taken from the string resource id; an id
    // without a string gives an empty message and so throws.
    void FormatMessageA(unsigned int id, ...);

    // ---- Binary record on a stream's descriptor -------------------------------

    // Writes a 4-byte little-endian count n = length + 1 and n bytes (the
    // text and its terminator).  Returns n + 4, -1 when the count, -2 when the
    // text could not be written whole.  Bypasses the stream's buffer: flush
    // the stream first when mixing with buffered calls.
    int BinarySave(FILE* file);
    // Reads a record written by BinarySave into this text (capacity n + 1).
    // Returns 0, or -1 for a short or corrupt record (negative or zero count,
    // a count larger than what the file still holds, or n bytes whose last
    // one is not their only zero byte), leaving the text released; the
    // stream then stands after the bytes read.
    int BinaryRead(FILE* file);

    // ---- Conversions: each rewrites the text in place --------------------------

    // encode != 0: each byte becomes two upper-case hex digits.  encode 0:
    // each pair of characters (a last single one alone) is read as a hex
    // byte (hexvalue rule); a pair reading as 0 ends the text.  Returns the
    // new length, -1 for an empty text.
    int ConvHex(int encode);
    // Reversible shift of the printable characters 0x20..0x7E by key + i at
    // position i (key < 1 counts as 1); mode 0 and any other mode undo each
    // other.  Returns the length.
    int ConvProt(int mode, int key);
    // decode 0: CR, LF, tab become \r, \n, \t.  decode != 0: the reverse; a
    // backslash before any other character drops both.  Returns the length.
    int ConvCRLF(int decode);
    // Escapes < > & ' " as entities and every byte outside 0x20..0x7E as
    // "&#xHH;".  Returns the new length.
    int ConvTxt2XML();
    // No conversion: always 0, the text is unchanged.
    int ConvXML2Txt();
    // Decodes "&nbsp;" (any case), backslash escapes, '+' as blank, "%%" and
    // "%HH" (a '%' and the next two characters, read as hextoint reads them,
    // where the first is a hexadecimal digit; an escape worth 0 ends the
    // text).  A '%' before anything else stays a '%'.  Returns the new
    // length.
    int ConvHTM2TXT();
    // The low 32 bits of value as 8 upper-case hex digits; part 1 keeps the
    // last 2, part 2 the last 4, part 3 the last 6, any other part all 8.
    void GetHex(unsigned long value, int part);
    // "HH," for each of count bytes; count outside 1..1000 gives
    // "GetHexArray(<count>By)" and reads nothing.
    void GetHexArray(const unsigned char* bytes, int count);
    // value as 8 hex digits; digits 2, 4 or 6 keep the last 2, 4 or 6, any
    // other count all 8.  Returns the new length.
    int MakeHexValue(int value, int digits);
    // value with precision decimals ("%.*f"), trailing zeros and a bare
    // point removed.  A value whose fixed-point text would not fit 99
    // characters (|value| beyond about 1e98, or a large precision) is written
    // in exponent form with the precision as significant digits, 1 to 17
    // ("%.*g": 1e300 with precision 2 gives "1e+300").  Infinity and NaN
    // give "inf", "-inf", "nan".  Returns the new length.
    int MakeValueTxt(double value, int precision);

    // ---- File names and file input and output (ctxt_file.cpp) ---------------
    //
    // The text is taken as a path in which '/' and '\' both separate
    // directories.  It splits into drive ("C:"), directory (up to and with
    // the last separator), base name and extension (from the last '.', the
    // '.' included), each at most 255 characters.  A part selector names
    // what to produce: 0 drive, 1 directory, 2 base name, 3 extension
    // without its '.', 4 drive and directory, 5 base name and extension,
    // 6 the path without its extension, 7 the whole path; any other value
    // (and 3 for a path without extension) produces nothing.  Failures put
    // their message into this text and return a negative code.

    // Releases out, then sets it to the selected part of this text (nothing
    // for an empty text).  Returns out's length.
    int GetFileTxt(int part, CTxt& out);
    // Every single '\' becomes '/' (a pair of backslashes stays as it is,
    // so a network path keeps its leading "\\"); trailing '/' are cut.
    void MakeFn();
    // Every '/' becomes '\' (pairs of backslashes skipped as a unit);
    // trailing '/' and then trailing '\' are cut.
    void MakeFnDOS();
    // 1 when the extension already equals ext without regard to case
    // (nothing changes); else the extension becomes "." ext and 0.
    int MakeFileExt(const char* ext);
    // The text becomes its drive and directory, name, '.' and ext (null ext:
    // the current extension), joined with '/' where the directory does not
    // end in one; then MakeFn.  Returns 0.
    int MakeFileName(const char* name, const char* ext);
    // Appends text to the base name, after a '-' when dash is not 0
    // ("x/data.bin" with "2" and a dash: "x/data-2.bin").  Returns the new
    // length.
    int AddToFn(const char* text, int dash);
    // Appends file and line formatted with format (two arguments, %s and
    // %d), or with "\r\n(File=%s, Line=%d)" when format is null.  Returns
    // the new length.
    int AppendFileLocation(const char* file, int line, const char* format);
    // 1 when the selected parts of this text and of other are equal
    // without regard to case, else 0.
    int IsSameFileTxt(const char* other, int part);
    // The text becomes source up to its first delimiter (all of it for
    // delimiter 0); with trim 1 the blanks before the delimiter are dropped
    // too.  An empty field leaves no buffer.  Returns the new length.
    int GetField(const char* source, char delimiter, int trim);
    // The selected part of the running program's path (after MakeFn).
    static void GetExeName(CTxt& out, int part);
    // For a pattern with a run of '%' (at least two: the digit count), the
    // text becomes the first name with n = 1, 2, ... in that place (leading
    // zeros to the digit count, wider numbers in full) that no file or
    // folder has; returns n.  -1 with "Missing Sequence Placeholder (%%) in:
    // PATTERN" when the pattern has no "%%".
    int GetNextFile(const char* pattern);
    // The text becomes the whole file (binary; zero bytes inside are kept
    // and counted in the length; capacity size + 2).  0, or -1 with "Cannot
    // open 'PATH' (REASON)".
    int LoadFromFile(const char* path);
    // Writes the text's length in bytes, no terminator, to path: appended
    // when append is 1, else the file is replaced.  Returns the length, or
    // -1 with "Cannot open 'PATH' (REASON)".  Write errors are not reported.
    int SaveToFile(const char* path, int append);
    // The text becomes every element of array followed by CR LF.  Returns
    // the number of elements.
    int LoadFromArray(CTxtArray* array);
    // Writes a dump of the file at path, as little-endian numbers of width
    // bytes (1 to 4) with their characters, to PATH's name with "-WIDTH"
    // added and the extension "txt" (data.bin, 2: data-2.txt); withPos 1
    // puts each number's position in front.  0 on success (the text is not
    // changed), else a message and -1 (empty or missing file), -2 (cannot
    // open), -3 (short read), -4 (the dump file cannot be created), -5 (a
    // width outside 1 to 4).
    int PrintFile(const char* path, int width, int withPos);

    // ---- Search over a framework string array (ctxtarray.cpp) ----------------

    // Index of the first string equal to text without regard to case, or -1.
    static int FindStringArray(const CStringArray& array, const char* text);

private:
    // Releases the buffer and allocates a fresh one of exactly capacity
    // bytes (at least 1) holding the empty text; length 0.
    void Allocate(int capacity);
    // Sets the text from the first n bytes at text (which may lie inside the
    // own buffer), reusing the buffer when it holds n + 2 bytes.
    void SetFrom(const char* text, int n);
    // Appends n bytes at text (which may lie inside the own buffer).
    int Append(const char* text, size_t n);
    // Keeps the characters for which keep(c) holds, then sets the text anew.
    template <typename Keep> int Filter(Keep keep);

    char* data_;
    int length_;
    int capacity_;

    static char* scratch_;
};

// Fields first..last of text (strfld rules, delimiter delimiter) into target,
// at most 9,999 characters; the empty text when the fields are absent.
// Returns the result of strfld.
OSTRELLE_API int strfldtxt(const char* text, char delimiter, int first, int last, CTxt* target);

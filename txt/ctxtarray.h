// CTxtArray: an ordered list of texts that owns its CTxt elements -- lines
// of a file, fields of a record, file names, items read from a window, and
// small key/value tables held as lines "key|value".
#pragma once

#include "ostrelle_api.h"

#include "txt/ctxt.h"
#include "txt/sptrarray.h"
#include "winsys/wstypes.h"

#include <cstdint>
#include <string>
#include <vector>

// How CTxtArray::LoadFromLC asks a list view for its texts: in the ANSI
// code page, or as UTF-16 kept in UTF-8 (the texts of any script).
enum class LcText { kAnsi, kUtf8 };

// Elements live on the general heap, one per slot of a pointer array.  An
// element may have no text (added with none); a slot may hold no element
// at all (a gap left by SetAt or Insert behind the end).  A pointer from
// GetAt stays valid until that element is removed or the list is cleared.
//
// Indices start at 0; searches return -1 when nothing matches.  Text
// comparisons "without regard to case" fold the ASCII letters only.
class OSTRELLE_API CTxtArray {
public:
    CTxtArray() = default;
    ~CTxtArray(); // destroys every element
    CTxtArray(const CTxtArray&) = delete;
    CTxtArray& operator=(const CTxtArray&) = delete;

    // The class record of the pointer array that holds the elements.
    const CRuntimeClass* GetRuntimeClass() const { return ptrs_.GetRuntimeClass(); }

    // ---- Elements ------------------------------------------------------

    int GetSize() const { return ptrs_.GetSize(); }
    // Appends a new element holding text (none: an element without text).
    // Returns its index, or -1 when no slot could be had.
    int Add(const char* text = nullptr);
    // Inserts a new element at i; an i at or behind the end places it at i,
    // and the slots between the old end and i hold no element.  Returns 0,
    // or -1 (nothing inserted) for a negative i or when no slot could be had.
    int Insert(int i, const char* text);
    // Sets the text of element i (none releases its buffer), creating the
    // element when the slot holds none and growing the list to i + 1 when
    // needed.  Returns 0, or -1 when i < 0 or no slot could be had.
    int SetAt(int i, const char* text);
    // Destroys element i and closes the gap.  Returns 0, or -1 when i is
    // outside the list.
    int RemoveAt(int i);
    // Destroys every element and frees the slot storage.
    void RemoveAll();
    // Element i, or null when i is outside the list or the slot is empty.
    CTxt* GetAt(int i) const;
    // Text of element i, or null when GetAt gives none or the element has no
    // text.
    char* GetAtTxt(int i) const;
    // Replaces out by every element's text, each followed by delimiter (an
    // element without text gives only the delimiter).  Returns the count.
    int GetDelimTxt(CTxt& out, char delimiter) const;
    // Adds the other list's texts in order, after clearing this list when
    // append is 0.  Returns the new size.
    int LoadFromTxtArray(const CTxtArray* other, int append);
    // Replaces the list by the strings in order.  Returns the new size.
    int LoadFromStrArray(const CStringArray& strings);

    // ---- Searching -----------------------------------------------------

    // Whole text, without regard to case; an element without text never
    // matches.
    int FindString(const char* text) const;
    // The element starts with text, compared with case; an empty text
    // matches the first slot.
    int FindStringStart(const char* text) const;
    // text occurs anywhere in the element, without regard to case.
    int FindStringSegment(const char* text) const;
    // 0 when FindString finds text, else adds it and returns 1.
    int AddIfNew(const char* text);
    // The index FindString finds, else adds text and returns its index.
    int AddIfNewIdx(const char* text);
    // 0 when both lists have the same size and equal texts pair by pair
    // (without regard to case); -1 when the sizes differ; -2 at the first
    // unequal pair (a missing text never equals).
    int Compare(const CTxtArray* other) const;

    // ---- Key/value lines "key|value" -----------------------------------
    // The key is the line's first '|' field; the value is the rest of the
    // line after it (further '|' included).  Keys compare without regard to
    // case; a line without '|' is all key with an empty value.

    // Index of the first line with key, its value in value.  When none has
    // it: with flag 1 value becomes "<key> to found"; otherwise value is
    // left as it was.
    int FindValue(const char* key, CTxt& value, int flag) const;
    // As FindValue, after releasing value's text.
    int FindValueReset(const char* key, CTxt& value, int flag) const;
    // With a value: replaces the key's line by "key|value", or appends it;
    // returns its index.  With no value: removes the key's line and returns
    // its former index, or -1 when there is none.
    int SetValue(const char* key, const char* value);

    // ---- Ordering and output -------------------------------------------

    // Sorts ascending, comparing byte by byte after lowering ASCII capitals
    // (so '_' sorts before letters); texts that compare equal keep their
    // order.  Elements without text become empty texts.  Extra memory is 16
    // bytes per element, whatever the texts' lengths.
    void Sort();
    // Writes the elements as lines ending in CR LF (an element without text
    // as an empty line), at most maxLines of them when maxLines > 0,
    // replacing the file.  Returns 0; -1 with error set to
    // "Cannot open <path> (<reason>)" or "Cannot write <path> (<reason>)".
    int SaveToFile(const char* path, CTxt& error, int maxLines = 0) const;

    // Directory sort style used by the directory loaders: 0 path; 1 creation
    // time and path; 2 last-write time and path; 3 modification seconds and
    // path.
    int GetDirSortStyle() const { return dirSortStyle_; }
    void SetDirSortStyle(int style) { dirSortStyle_ = style; }

    // ---- Loaders (ctxtarray_load.cpp) ----------------------------------

    // Lines of text: CR dropped, LF ends a line (empty lines kept), a last
    // line only when not empty.  Replaces the list; returns the new size.
    int LoadFromTxt(const char* text);
    // The non-empty trimmed fields of text.  Replaces the list.
    int LoadFromFields(const char* text, char delimiter);
    // Every complete line of the file (lines cut at 100,000 bytes).
    // Returns the new size, or -1 with error "Cannot open <path> (<reason>)",
    // the list unchanged.
    int LoadFromFile(const char* path, CTxt& error);
    // Every line of the file through the buffered line reader, at most
    // maxLines when maxLines > 0.  Results as LoadFromFile.
    int LoadFromFileBuf(const char* path, CTxt& error, int maxLines = 0);
    // LoadFromFileBuf, then each line rewritten: quotes toggle a quoted
    // field and vanish, commas outside quotes become tabs.
    int LoadFromCSV(const char* path, CTxt& error);
    // The directory loaders take the same four flags:
    //  - Desc: 1 descends into subdirectories (their contents come before
    //    the subdirectory's own line); anything else lists Dir alone.
    //  - File: 1 lists files only; anything else also lists directories.
    //  - nLev: the depth of this call; callers pass 0 (the loaders pass
    //    nLev + 1 as they descend, and sort only at level 0).
    //  - trace: 0 silent; 1 the call, each added file and the sort are
    //    reported through LOGTRACE (tag "LoadFromDir", "LoadFromTree" for
    //    LoadFromFilesFromTree); 2 also every entry looked at.
    // Dir is a folder without trailing separator; Path selects names: empty
    // or null for all, a pattern with '*' and '?' ("*.txt"), or "!EXT" for
    // files whose text between the first and second '.' is EXT (any case;
    // no directory lines then).  Each added line is the path with '/' as
    // separator, shaped by the sort style (GetDirSortStyle): style 1 or 2
    // "YYYYMMDD|HHMMSS.mmm|path" with the creation or last-write time
    // (files whose time cannot be read are left out), style 3
    // "SSSSSSSSS|path" with the modification seconds, else the path.

    // Appends the entries of Dir (flags above), unsorted.  Returns the new
    // size.
    int LoadFromDirNoSort(const char* Dir, int Desc, int File, const char* Path, int nLev,
                          int trace);
    // LoadFromDirNoSort, then at level 0 Sort.  Returns the new size.
    int LoadFromDir(const char* Dir, int Desc, int File, const char* Path, int nLev, int trace);
    // Sort style 1 (creation time), then LoadFromDirSortTimeStyle.
    int LoadFromDirSortTime(const char* Dir, int Desc, int File, const char* Path, int nLev,
                            int trace);
    // Sets the sort style, loads as LoadFromDir (silently) and sorts again
    // at level 0, oldest first for the time styles.  Returns the new size.
    int LoadFromDirSortTimeStyle(int style, const char* Dir, int Desc, int File, const char* Path,
                                 int nLev, int trace);
    // Appends every file below Dir at any depth whose extension filter
    // passes (ext as "!EXT" above without the '!'; empty: all files);
    // directories are never added.  nLev and trace as above.  Returns the
    // new size.
    int LoadFromFilesFromTree(const char* Dir, const char* ext, int nLev, int trace);

    // ---- Numbered files (ctxt_file.cpp) --------------------------------

    // SaveToFile to the first free numbered file name for pattern; -10 when
    // the pattern has no number placeholder.
    int SaveToNextFile(const char* pattern, CTxt& error);

    // ---- List-view reading --------------------------------------------

    // Replaces the list by the rows of the list-view control hwnd
    // ("SysListView32", any case) of another process, through the
    // process-wide window-system layer: per row the texts of the first
    // columns columns, each followed by '|' when columns > 1 (the bare text
    // for 1, an empty line for 0 or less).  The requests travel through a
    // record and a text buffer placed in the owner's memory, the record
    // laid out as the owner lays out LVITEMA (40 bytes for a 32-bit owner,
    // 88 for a 64-bit one); when blocks for a batch of requests cannot be
    // had, one request at a time is tried before -4.  A list that reports no
    // items is read as 1000 rows, one that reports more than 1,000,000 as
    // 1,000,000 rows, and one that reports rows it does not hold (its
    // LVM_GETNEXTITEM gives no row there) only up to the first of them; a
    // request the owner leaves unwritten reads as the text of the request
    // before (an empty text at first).  Carriage returns, line feeds and
    // '|' inside a cell read as '+', so a row is one line with one field
    // per column.
    // error holds on entry the 1-based item to select while reading (atoi;
    // none when not a positive number); it is left as it was on success
    // and replaced by the message on failure.  Returns the new size, or:
    //   -1 "HWND XXXXXXXX not SysListView32"
    //   -2 "Cannot get PID for HWND XXXXXXXX" (no owner process)
    //   -3 "Cannot access PID N for HWND XXXXXXXX" (the process cannot be opened)
    //   -4 "Cannot allocate memory in PID N for HWND XXXXXXXX" (no block in
    //      the owner's memory; nothing was asked of the list view)
    //   -5 "HWND XXXXXXXX does not answer" (a request got no answer within
    //      the layer's send bound; nothing more was asked; the list is
    //      left empty)
    // On the other failures the list is left as it was.  The owner's process handle is
    // closed and its memory blocks released on every path, an exception
    // (such as CMemoryException from a row's text) included.
    // The texts are asked in the ANSI code page (LVM_GETITEMTEXTA) unless
    // text is LcText::kUtf8: then they are asked as UTF-16
    // (LVM_GETITEMTEXTW, cchTextMax counting UTF-16 units) and the rows hold
    // them in UTF-8, a lone surrogate as U+FFFD.
    int LoadFromLC(WsHandle hwnd, CTxt& error, int columns = 2, LcText text = LcText::kAnsi);

private:
    // Nulls slots [from, to) that growth brought into use without an element.
    void ClearSlots(int from, int to);

    SPtrArray ptrs_;
    int dirSortStyle_ = 0;
};

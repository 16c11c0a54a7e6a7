// CTxt as a file path and as the contents of a file.
#include "txt/ctxt.h"
#include "txt/ctxtarray.h"

#include "platform/errtext.h"
#include "platform/fileinfo.h"
#include "txt/pathsplit.h"
#include "platform/process.h"
#include "textutil/bgetl.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

FilePtr Open(const char* path, const char* mode) {
    return FilePtr(fopen(path, mode));
}

const char* Safe(const char* text) {
    return text ? text : "";
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// The part of a path chosen by a selector; false for "no text" (selector 3
// without an extension, or an unknown selector).
bool SelectPart(const char* path, int part, std::string& out) {
    PathParts p;
    SplitPath(path, p);
    switch (part) {
    case 0:
        out = p.drive;
        return true;
    case 1:
        out = p.dir;
        return true;
    case 2:
        out = p.base;
        return true;
    case 3:
        if (!p.ext[0]) return false;
        out = p.ext + 1;
        return true;
    case 4:
        out = std::string(p.drive) + p.dir;
        return true;
    case 5:
        out = std::string(p.base) + p.ext;
        return true;
    case 6:
        out = std::string(p.drive) + p.dir + p.base;
        return true;
    case 7:
        out = path;
        return true;
    default:
        return false;
    }
}

// Cuts trailing c characters by writing terminators; the first character of
// the text always stays.  Returns the new length.
int CutTrailing(char* text, int length, char c) {
    while (length > 1 && text[length - 1] == c) text[--length] = '\0';
    return length;
}

// A byte as it is shown in a dump: itself when printable, else '?'.
char Shown(unsigned char b) {
    return (b >= 0x20 && b <= 0x7E) ? char(b) : '?';
}

} // namespace

int CTxt::GetFileTxt(int part, CTxt& out) {
    // Split before releasing the output: the output may be this text.
    std::string text;
    bool found = IsFilled() && data_ && SelectPart(data_, part, text);
    out.Empty();
    if (found) out.SetTxt(text.c_str());
    return out.GetLength();
}

void CTxt::MakeFn() {
    if (!data_ || IsEmpty()) return;
    int i = 0;
    for (; data_[i]; ++i) {
        if (data_[i] != '\\') continue;
        if (data_[i + 1] == '\\')
            ++i; // a doubled backslash stays, as at the start of a network path
        else
            data_[i] = '/';
    }
    length_ = CutTrailing(data_, i, '/');
}

void CTxt::MakeFnDOS() {
    if (!data_ || IsEmpty()) return;
    int i = 0;
    for (; data_[i]; ++i)
        if (data_[i] == '/') data_[i] = '\\';
    i = CutTrailing(data_, i, '/');
    length_ = CutTrailing(data_, i, '\\');
}

int CTxt::MakeFileExt(const char* ext) {
    ext = Safe(ext);
    CTxt current;
    GetFileTxt(3, current);
    if (strcmpci(static_cast<const char*>(current), ext, 1) == 0) return 1;
    CTxt stem;
    GetFileTxt(6, stem);
    Format("%s.%s", static_cast<const char*>(stem), ext);
    return 0;
}

int CTxt::MakeFileName(const char* name, const char* ext) {
    CTxt dir, current;
    GetFileTxt(4, dir);
    if (!ext) {
        GetFileTxt(3, current);
        ext = current;
    }
    const char* d = dir;
    const int n = dir.GetLength();
    // A separator is added unless the directory part ends in one.  Without
    // an extension no dot is written: "out." would be a different name.
    std::string path = d;
    if (n == 0 || !IsSeparator(d[n - 1])) path += '/';
    path += Safe(name);
    if (*ext) {
        path += '.';
        path += ext;
    }
    SetTxt(path.c_str());
    MakeFn();
    return 0;
}

int CTxt::AddToFn(const char* text, int dash) {
    PathParts p;
    SplitPath(IsFilled() ? data_ : "", p);
    Format(dash ? "%s%s%s-%s%s" : "%s%s%s%s%s", p.drive, p.dir, p.base, Safe(text), p.ext);
    return length_;
}

int CTxt::AppendFileLocation(const char* file, int line, const char* format) {
    CTxt location;
    location.Format(format ? format : "\r\n(File=%s, Line=%d)", Safe(file), line);
    return AddTxt(location);
}

int CTxt::IsSameFileTxt(const char* other, int part) {
    CTxt mine, theirs(other);
    GetFileTxt(part, mine);
    theirs.GetFileTxt(part, theirs);
    return strcmpci(static_cast<const char*>(mine), static_cast<const char*>(theirs), 1) == 0 ? 1
                                                                                              : 0;
}

int CTxt::GetField(const char* source, char delimiter, int trim) {
    source = Safe(source);
    const char* end = delimiter ? strchr(source, delimiter) : nullptr;
    size_t n = end ? size_t(end - source) : strlen(source);
    if (trim == 1)
        while (n > 0 && source[n - 1] == ' ') --n;
    if (n == 0) {
        Empty();
        return 0;
    }
    if (n > size_t(INT_MAX - 2)) AfxThrowMemoryException();
    SetFrom(source, int(n));
    return length_;
}

void CTxt::GetExeName(CTxt& out, int part) {
    CTxt path(ExePath().c_str());
    path.MakeFn();
    path.GetFileTxt(part, out);
}

int CTxt::GetNextFile(const char* pattern) {
    pattern = Safe(pattern);
    const int at = strfindci(pattern, "%%");
    if (at < 0) {
        Format("Missing Sequence Placeholder (%%) in: %s", pattern);
        return -1;
    }
    int digits = 0;
    while (pattern[at + digits] == '%') ++digits;
    const std::string prefix(pattern, size_t(at));
    const char* suffix = pattern + at + digits;
    // The name is built without a length limit, so that every number gives
    // a different name however long the pattern.
    for (int n = 1;; ++n) {
        std::string number = std::to_string(n);
        if (int(number.size()) < digits) number.insert(0, size_t(digits) - number.size(), '0');
        std::string name = prefix + number + suffix;
        if (!FileExists(name.c_str())) {
            SetTxt(name.c_str());
            return n;
        }
        if (n == INT_MAX) break;
    }
    Format("No free file name for: %s", pattern);
    return -1;
}

int CTxt::LoadFromFile(const char* path) {
    path = Safe(path);
    FilePtr f = Open(path, "rb");
    if (!f) {
        const int e = errno;
        Format("Cannot open '%s' (%s)", path, ErrText(e));
        return -1;
    }
    int64_t size = filesize(path);
    if (size < 0) size = 0; // unknown size: nothing is read
    if (size > INT_MAX - 2) {
        Format("Cannot open '%s' (%s)", path, ErrText(EFBIG));
        return -1;
    }
    Allocate(int(size) + 2);
    // The file may have shrunk since its size was taken: only what arrived
    // counts.
    const size_t got = size > 0 ? fread(data_, 1, size_t(size), f.get()) : 0;
    data_[got] = '\0';
    length_ = int(got);
    return 0;
}

int CTxt::SaveToFile(const char* path, int append) {
    path = Safe(path);
    FilePtr f = Open(path, append == 1 ? "ab" : "wb");
    if (!f) {
        const int e = errno;
        Format("Cannot open '%s' (%s)", path, ErrText(e));
        return -1;
    }
    if (data_ && length_ > 0) fwrite(data_, 1, size_t(length_), f.get());
    return length_;
}

int CTxt::LoadFromArray(CTxtArray* array) {
    const int count = array ? array->GetSize() : 0;
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (const char* line = array->GetAtTxt(i)) text += line;
        text += "\r\n";
    }
    if (text.size() > size_t(INT_MAX - 2)) AfxThrowMemoryException();
    SetTxt(text.c_str());
    return count;
}

int CTxt::PrintFile(const char* path, int width, int withPos) {
    path = Safe(path);
    if (width < 1 || width > 4) {
        Format("Unsupported width %d for file %s (1 to 4)", width, path);
        return -5;
    }
    const int64_t size = filesize(path);
    if (size < 1) {
        Format("Empty or missing file %s (%d)", path, int(size));
        return -1;
    }
    FilePtr in = Open(path, "rb");
    if (!in) {
        const int e = errno;
        Format("Cannot open file %s (%s)", path, ErrText(e));
        return -2;
    }
    if (size > INT_MAX - 1) {
        Format("Cannot open file %s (%s)", path, ErrText(EFBIG));
        return -2;
    }
    std::vector<unsigned char> data(size_t(size) + 1);
    if (fread(data.data(), 1, size_t(size), in.get()) < size_t(size)) {
        Format("Read error in workspace file %s", path);
        return -3;
    }
    in.reset();

    CTxt dumpName(path);
    dumpName.MakeFileExt("txt");
    dumpName.AddToFn(std::to_string(width).c_str(), 1);
    FilePtr out = Open(dumpName, "wb");
    if (!out) {
        const int e = errno;
        Format("Cannot create dump file %s (%s)", static_cast<const char*>(dumpName), ErrText(e));
        return -4;
    }

    fprintf(out.get(), "FILE:\t%s\r\n", path);
    fprintf(out.get(), "\r\nLENGTH=%d:\r\n", width);
    const int n = int(size);
    for (int pos = 0; pos < n; pos += width) {
        if (pos % 1000 == 0) fprintf(out.get(), "POS%d:\r\n", pos);
        unsigned char b[4] = {0, 0, 0, 0}; // bytes beyond the end count as 0
        for (int i = 0; i < width && pos + i < n; ++i) b[i] = data[size_t(pos + i)];
        const uint32_t v =
            uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        char hex[9];
        snprintf(hex, sizeof hex, "%08X", unsigned(v));
        char prefix[32] = "";
        if (withPos == 1) snprintf(prefix, sizeof prefix, "[%9d]: ", pos);
        const char* h = hex + 8 - 2 * width; // the last 2, 4, 6 or all 8 digits
        if (width == 2)
            fprintf(out.get(), "%s%s - %6d - %c%c\r\n", prefix, h, int(v), Shown(b[0]),
                    Shown(b[1]));
        else if (width == 4)
            fprintf(out.get(), "%s%s - %12d - %c%c%c%c\r\n", prefix, h, int32_t(v), Shown(b[0]),
                    Shown(b[1]), Shown(b[2]), Shown(b[3]));
        else
            fprintf(out.get(), "%s%s - %3d - %c\r\n", prefix, h, int(v), Shown(b[0]));
    }
    return 0;
}

int CTxtArray::SaveToNextFile(const char* pattern, CTxt& error) {
    CTxt name;
    if (name.GetNextFile(pattern) < 0) {
        error = name; // the message of GetNextFile
        return -10;
    }
    return SaveToFile(name, error, 0);
}

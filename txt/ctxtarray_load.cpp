// CTxtArray loaders: lines and fields of a text, lines of a file, CSV files,
// directory listings and directory trees.
#include "txt/ctxtarray.h"

#include "diag/logtrace.h"
#include "platform/dirlist.h"
#include "platform/errtext.h"
#include "platform/fileinfo.h"
#include "textutil/bgetl.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"
#include "txt/namematch.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

// Line buffers of the file loaders: lines are cut at kLineLimit - 1 characters.
constexpr int kLineBuffer = 100001;
constexpr int kLineLimit = 100000;

// Directory levels below the start that a walk descends at most: a safety
// net behind the loop test, far deeper than any path the systems accept.
constexpr int kMaxDepth = 1000;

const char* Safe(const char* text) {
    return text ? text : "";
}

bool IsDotEntry(const char* name) {
    return strcmpci(name, ".", 1) == 0 || strcmpci(name, "..", 1) == 0;
}

// True when a file name passes an extension filter: the text between the
// first and the second '.' of the name equals the filter without regard to
// case.  So 'a.txt' and 'a.txt.bak' pass 'txt'; a name without '.' never
// passes a non-empty filter.
bool PassesFilter(const char* name, const char* filter) {
    CTxt field;
    strfldtxt(name, '.', 2, 2, &field);
    return strcmpci(static_cast<const char*>(field), filter, 1) == 0;
}

// Adds the line for a file by the sort style; false when the file's time
// cannot be read (the file is then left out).
bool AddFileLine(CTxtArray& list, const CTxt& path) {
    const char* p = path;
    const int style = list.GetDirSortStyle();
    CTxt line;
    if (style == 1 || style == 2) {
        FileStamp s;
        if (!GetFileStamp(p, style == 1 ? StampKind::Created : StampKind::Written, s)) return false;
        line.Format("%04d%02d%02d|%02d%02d%02d.%03d|%s", s.year, s.month, s.day, s.hour, s.minute,
                    s.second, s.millisecond, p);
    } else if (style == 3) {
        line.Format("%09u|%s", unsigned(filetime(p)), p);
    } else {
        list.Add(path);
        return true;
    }
    list.Add(line);
    return true;
}

// One directory walk: the parameters that stay the same at every level, and
// the identities of the directories being walked, so that a link back to one
// of them is not followed again.
struct Walk {
    CTxtArray& list;
    int desc;
    int file;
    const char* path;   // Path as given (shown in traces)
    const char* match;  // name pattern
    const char* filter; // extension filter, or null
    bool tree;          // LoadFromFilesFromTree: no directory entries, own traces
    int trace;
    std::vector<FileId> open;
};

// True when the directory may be entered: it is not one of the directories
// being walked already (a link loop), and the walk is not too deep.
bool MayDescend(const Walk& w, const std::string& dir, int nLev, FileId& id) {
    if (nLev + 1 > kMaxDepth) return false;
    if (!GetFileIdentity(dir.c_str(), id)) return false;
    for (const FileId& o : w.open)
        if (o == id) return false;
    return true;
}

void WalkDir(Walk& w, const char* dir, int nLev);

// Whether an entry is a directory (links followed): as the listing tells
// it, else by a look at the entry.  False when it vanished or cannot be
// examined.
bool EntryIsDir(const std::string& entry, DirEntryKind kind, bool& isDir) {
    if (kind != DirEntryKind::Unknown) {
        isDir = kind == DirEntryKind::Directory;
        return true;
    }
    FileInfo info;
    if (!GetFileInfo(entry.c_str(), info)) return false;
    isDir = info.isDir;
    return true;
}

// One entry of a directory.
void WalkEntry(Walk& w, const char* dir, const char* name, DirEntryKind kind, int nLev) {
    const char* tag = w.tree ? "LoadFromTree" : "LoadFromDir";
    std::string entry = std::string(dir) + "/" + name;
    if (w.trace > 1) LOGTRACE(tag, 1, "Dir=%s, nLev=%d, File=%s", dir, nLev, name);
    bool isDir;
    if (!EntryIsDir(entry, kind, isDir)) return; // vanished or cannot be examined
    if (isDir) {
        if (w.file == 1 && !w.tree) return;
        FileId id;
        if ((w.desc == 1 || w.tree) && MayDescend(w, entry, nLev, id)) {
            w.open.push_back(id);
            WalkDir(w, entry.c_str(), nLev + 1);
            w.open.pop_back();
        }
        // The directory follows its contents, unnormalised.
        if (!w.tree && !w.filter) w.list.Add(entry.c_str());
        return;
    }
    if (w.filter && !PassesFilter(name, w.filter)) return;
    CTxt path(entry.c_str());
    path.MakeFn();
    if (AddFileLine(w.list, path) && w.trace > 0)
        LOGTRACE(tag, 1, "Dir=%s, nLev=%d, Found File=%s", dir, nLev,
                 static_cast<const char*>(path));
}

void WalkDir(Walk& w, const char* dir, int nLev) {
    if (w.trace > 0) {
        if (w.tree)
            LOGTRACE("LoadFromTree", 1, "Dir=%s, Ext=%s, nLev=%d", dir, Safe(w.filter), nLev);
        else
            LOGTRACE("LoadFromDir", 1, "Dir=%s, Desc=%d, File=%d, Path=%s, nLev=%d", dir, w.desc,
                     w.file, w.path, nLev);
    }
    const std::string pattern = std::string(dir) + "/" + w.match;
    CDirListing listing;
    const bool any = listing.Start(pattern.c_str(), NameMatch);
    if (w.trace > 0) {
        // The search handle is shown as eight hex digits, as "%p" prints it there.
        if (w.tree)
            LOGTRACE("LoadFromTree", 1, "Dir=%s, Path=%s, nLev=%d, hFindFn=%08X, File=%s", dir,
                     pattern.c_str(), nLev, listing.Handle(), listing.Name());
        else
            LOGTRACE("LoadFromDir", 1,
                     "Dir=%s, Desc=%d, File=%d, Path=%s, nLev=%d, hFindFn=%08X, File=%s",
                     pattern.c_str(), w.desc, w.file, w.path, nLev, listing.Handle(),
                     listing.Name());
    }
    if (!any) return;
    // The listing ends when the system has no more entries; a name is kept
    // before descending, since the walk below reuses nothing of the listing.
    for (bool more = true; more; more = listing.Next()) {
        const std::string name = listing.Name();
        if (IsDotEntry(name.c_str())) continue;
        WalkEntry(w, dir, name.c_str(), listing.Kind(), nLev);
    }
}

// Starts a walk at dir with the identity of dir itself marked as open.
void StartWalk(Walk& w, const char* dir, int nLev) {
    FileId id;
    if (GetFileIdentity(dir, id)) w.open.push_back(id);
    WalkDir(w, dir, nLev);
}

// Sorts at level 0, with the trace lines before and after.
void SortLevel0(CTxtArray& list, const char* Dir, int Desc, int File, const char* Path, int nLev,
                int trace) {
    if (nLev != 0) return;
    if (trace > 0)
        LOGTRACE("LoadFromDir", 1, "Dir=%s, Desc=%d, File=%d, Path=%s, nLev=%d, Sort %d Files",
                 Safe(Dir), Desc, File, Safe(Path), 0, list.GetSize());
    list.Sort();
    if (trace > 0)
        LOGTRACE("LoadFromDir", 1,
                 "Dir=%s, Desc=%d, File=%d, Path=%s, nLev=%d, Sort %d Files - Completed", Safe(Dir),
                 Desc, File, Safe(Path), 0, list.GetSize());
}

} // namespace

int CTxtArray::LoadFromTxt(const char* text) {
    // The text may be one of this list's own elements: copied before the
    // list is cleared.
    const std::string source = Safe(text);
    RemoveAll();
    std::string line;
    for (const char* p = source.c_str(); *p; ++p) {
        if (*p == '\r') continue;
        if (*p == '\n') {
            Add(line.c_str());
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty()) Add(line.c_str());
    return GetSize();
}

int CTxtArray::LoadFromFields(const char* text, char delimiter) {
    // The text may be one of this list's own elements: copied before the
    // list is cleared.
    const std::string source = Safe(text);
    text = source.c_str();
    RemoveAll();
    const int count = strfldcnt(text, delimiter);
    CTxt field;
    for (int i = 1; i <= count; ++i) {
        strfldtxt(text, delimiter, i, i, &field);
        field.Trim(' ');
        if (field.IsFilled()) Add(field);
    }
    return GetSize();
}

int CTxtArray::LoadFromFile(const char* path, CTxt& error) {
    path = Safe(path);
    FilePtr f(fopen(path, "rb"));
    if (!f) {
        const int e = errno;
        error.Format("Cannot open %s (%s)", path, ErrText(e));
        return -1;
    }
    RemoveAll();
    std::vector<char> line(kLineBuffer);
    while (freadline(line.data(), kLineLimit, f.get()) != -1) Add(line.data());
    return GetSize();
}

int CTxtArray::LoadFromFileBuf(const char* path, CTxt& error, int maxLines) {
    path = Safe(path);
    const int opened = bgetlopen(path);
    if (opened == 0) {
        const int e = errno;
        bgetlclose();
        error.Format("Cannot open %s (%s)", path, ErrText(e));
        return -1;
    }
    RemoveAll();
    if (opened == 1) {
        std::vector<char> line(kLineBuffer);
        while ((maxLines <= 0 || GetSize() < maxLines) && bgetl(line.data(), kLineLimit) != -1)
            Add(line.data());
    }
    // Without a buffer (-2) there are no lines and no error text.
    bgetlclose();
    return GetSize();
}

int CTxtArray::LoadFromCSV(const char* path, CTxt& error) {
    const int n = LoadFromFileBuf(path, error, 0);
    if (n < 0) return n;
    std::string out;
    for (int i = 0; i < n; ++i) {
        const char* line = GetAtTxt(i);
        if (!line) continue;
        out.clear();
        bool quoted = false;
        for (const char* p = line; *p; ++p) {
            if (*p == '"')
                quoted = !quoted;
            else if (*p == ',' && !quoted)
                out += '\t';
            else
                out += *p;
        }
        SetAt(i, out.c_str());
    }
    return GetSize();
}

int CTxtArray::LoadFromDirNoSort(const char* Dir, int Desc, int File, const char* Path, int nLev,
                                 int trace) {
    if (!Dir) return GetSize(); // no directory named; "" is the root
    Path = Safe(Path);
    const bool filtered = Path[0] == '!';
    Walk w{*this,
           Desc,
           File,
           Path,
           (Path[0] && !filtered) ? Path : "*",
           filtered ? Path + 1 : nullptr,
           false,
           trace,
           {}};
    StartWalk(w, Dir, nLev);
    return GetSize();
}

int CTxtArray::LoadFromDir(const char* Dir, int Desc, int File, const char* Path, int nLev,
                           int trace) {
    LoadFromDirNoSort(Dir, Desc, File, Path, nLev, trace);
    SortLevel0(*this, Dir, Desc, File, Path, nLev, trace);
    return GetSize();
}

int CTxtArray::LoadFromDirSortTime(const char* Dir, int Desc, int File, const char* Path, int nLev,
                                   int trace) {
    return LoadFromDirSortTimeStyle(1, Dir, Desc, File, Path, nLev, trace);
}

int CTxtArray::LoadFromDirSortTimeStyle(int style, const char* Dir, int Desc, int File,
                                        const char* Path, int nLev, int trace) {
    SetDirSortStyle(style);
    // The load itself is silent; one sort at level 0 gives the same order as
    // sorting twice.
    LoadFromDirNoSort(Dir, Desc, File, Path, nLev, 0);
    SortLevel0(*this, Dir, Desc, File, Path, nLev, trace);
    return GetSize();
}

int CTxtArray::LoadFromFilesFromTree(const char* Dir, const char* ext, int nLev, int trace) {
    if (!Dir) return GetSize(); // no directory named; "" is the root
    ext = Safe(ext);
    Walk w{*this, 1, 0, "", "*", ext[0] ? ext : nullptr, true, trace, {}};
    StartWalk(w, Dir, nLev);
    return GetSize();
}

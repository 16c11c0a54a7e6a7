#include "diag/settings.h"

#include "asciicase.h"
#include "platform/fileinfo.h"
#include "platform/process.h"
#include "platform/replacefile.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace {

// ---- executable path rules --------------------------------------------------

bool IsSep(char c) {
    return c == '\\' || c == '/';
}

// True when text ends with suffix, letters compared without regard to case
// and either slash matching a separator of suffix.  A text shorter than the
// suffix never ends with it.
bool EndsWithFold(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    std::string_view tail = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        if (IsSep(suffix[i]) ? !IsSep(tail[i]) : !AsciiEqualFolded(tail[i], suffix[i]))
            return false;
    }
    return true;
}

struct SplitPath {
    std::string drive, dir, name, ext;
};

// Drive ("C:"), directory (with its trailing separator), file name and
// extension (with its dot) of a path.
SplitPath Split(const std::string& path) {
    SplitPath s;
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':') {
        s.drive = path.substr(0, 2);
        start = 2;
    }
    size_t fileStart = start;
    for (size_t i = start; i < path.size(); ++i)
        if (IsSep(path[i])) fileStart = i + 1;
    s.dir = path.substr(start, fileStart - start);
    std::string file = path.substr(fileStart);
    size_t dot = file.rfind('.');
    if (dot == std::string::npos) {
        s.name = file;
    } else {
        s.name = file.substr(0, dot);
        s.ext = file.substr(dot);
    }
    return s;
}

void DropSuffix(std::string& text, std::string_view suffix) {
    if (EndsWithFold(text, suffix)) text.resize(text.size() - suffix.size());
}

int CopyOut(const std::string& text, char* buf, int size) {
    if (!buf || size <= 0) return 0;
    size_t n = text.size() < size_t(size) ? text.size() : size_t(size) - 1;
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return int(n);
}

struct IniPathCache {
    bool known = false;
    std::string path;
};

IniPathCache& IniCache() {
    static IniPathCache cache;
    return cache;
}

const std::string& IniPath() {
    IniPathCache& c = IniCache();
    if (!c.known) {
        c.path = IniPathOf(ExePath());
        c.known = true;
    }
    return c.path;
}

// ---- the INI file -------------------------------------------------------------

// One line of the file: its text without the line end, and where the next
// line starts.
struct Line {
    size_t begin, end, next;
};

struct IniFile {
    std::string data;
    std::vector<Line> lines;
};

// Reads the whole file.  A file that does not exist reads as empty; false
// when it exists but cannot be read, or is too large.
bool Load(const char* path, IniFile& ini) {
    ini = IniFile{};
    if (!FileExists(path)) return true;
    FilePtr f(std::fopen(path, "rb"));
    if (!f) return false;
    char chunk[4096];
    for (;;) {
        size_t n = std::fread(chunk, 1, sizeof chunk, f.get());
        if (n == 0) break;
        if (ini.data.size() + n > size_t(kMaxIniFile)) return false;
        ini.data.append(chunk, n);
    }
    if (std::ferror(f.get())) return false;
    size_t pos = 0;
    while (pos < ini.data.size()) {
        size_t lf = ini.data.find('\n', pos);
        size_t next = lf == std::string::npos ? ini.data.size() : lf + 1;
        size_t end = lf == std::string::npos ? ini.data.size() : lf;
        if (end > pos && ini.data[end - 1] == '\r') --end;
        ini.lines.push_back({pos, end, next});
        pos = next;
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!AsciiEqualFolded(a[i], b[i])) return false;
    return true;
}

std::string_view Text(const IniFile& ini, const Line& line) {
    return Trim(std::string_view(ini.data).substr(line.begin, line.end - line.begin));
}

// The name of a section header line, or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view text) {
    if (text.empty() || text.front() != '[') return std::nullopt;
    text.remove_prefix(1);
    size_t close = text.find(']');
    if (close != std::string_view::npos) text = text.substr(0, close);
    return Trim(text);
}

struct KeyLine {
    std::string_view key, value;
};

// A value in matching quotes, which the reader takes off.
bool Quoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

// Key and value of a "key=value" line, or nothing for other lines.
std::optional<KeyLine> KeyOf(std::string_view text) {
    if (text.empty() || text.front() == ';' || text.front() == '[') return std::nullopt;
    size_t eq = text.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    KeyLine k{Trim(text.substr(0, eq)), Trim(text.substr(eq + 1))};
    if (k.key.empty()) return std::nullopt;
    if (Quoted(k.value)) k.value = k.value.substr(1, k.value.size() - 2);
    return k;
}

// The text written for value: itself, or itself in double quotes where the
// reader would otherwise change it (blanks around it, or its own quotes), so
// that every value reads back as it was written.
std::string Stored(std::string_view value) {
    if (Trim(value) == value && !Quoted(value)) return std::string(value);
    return "\"" + std::string(value) + "\"";
}

// Where a section and a key sit in the file.
struct Place {
    int header = -1;   // line of the section header, -1 when absent
    int lastLine = -1; // last non-blank line of the section (the header at least)
    int keyLine = -1;  // line of the key, -1 when absent
    std::string_view value;
    std::vector<int> repeats; // later lines of the same key in the section
};

// section and key are trimmed names, compared without regard to case.
Place Find(const IniFile& ini, std::string_view section, std::string_view key) {
    Place p;
    for (int i = 0; i < int(ini.lines.size()); ++i) {
        std::string_view text = Text(ini, ini.lines[size_t(i)]);
        if (auto name = SectionName(text)) {
            if (p.header >= 0) break; // the next section ends ours
            if (SameName(*name, section)) p.header = p.lastLine = i;
            continue;
        }
        if (p.header < 0) continue;
        if (!text.empty()) p.lastLine = i;
        if (auto k = KeyOf(text); k && SameName(k->key, key)) {
            if (p.keyLine >= 0) {
                p.repeats.push_back(i);
                continue;
            }
            p.keyLine = i;
            p.value = k->value;
        }
    }
    return p;
}

const char* Resolve(const char* path) {
    return path ? path : IniPath().c_str();
}

std::optional<std::string> Lookup(const char* section, const char* key, const char* path) {
    path = Resolve(path);
    if (!section || !key || !*path) return std::nullopt;
    IniFile ini;
    if (!Load(path, ini)) return std::nullopt;
    // Names are trimmed on both sides, the file's and the caller's.
    Place p = Find(ini, Trim(section), Trim(key));
    if (p.keyLine < 0) return std::nullopt;
    return std::string(p.value);
}

bool HasLineBreak(const char* s) {
    return s && std::strpbrk(s, "\r\n") != nullptr;
}

} // namespace

std::string ExeDirOf(const std::string& exePath) {
    if (exePath.empty()) return std::string();
    SplitPath s = Split(exePath);
    DropSuffix(s.dir, "\\Debug\\");
    DropSuffix(s.dir, "\\Release\\");
    if (!s.dir.empty() && IsSep(s.dir.back())) s.dir.pop_back();
    return s.drive + s.dir;
}

std::string IniPathOf(const std::string& exePath) {
    if (exePath.empty()) return std::string();
    std::string name = Split(exePath).name;
    DropSuffix(name, "Debug");
    DropSuffix(name, "Release");
    std::string path = ExeDirOf(exePath) + "/" + name + ".ini";
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

int GetExeDir(char* buf, int size) {
    static const std::string dir = ExeDirOf(ExePath());
    return CopyOut(dir, buf, size);
}

int GetIniPath(char* buf, int size) {
    return CopyOut(IniPath(), buf, size);
}

void SetIniPath(const char* path) {
    IniPathCache& c = IniCache();
    c.known = path != nullptr;
    c.path = path ? path : "";
}

int ReadIniString(const char* section, const char* key, const char* def, char* out, int size,
                  const char* path) {
    std::optional<std::string> value = Lookup(section, key, path);
    return CopyOut(value ? *value : std::string(def ? def : ""), out, size);
}

int WriteIniString(const char* section, const char* key, const char* value, const char* path) {
    path = Resolve(path);
    if (!section || !key || !*path) return 0;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return 0;
    // The names as the reader sees them: a name written with blanks around it
    // must be the one found again, not a new one on every write.
    const std::string_view sectionName = Trim(section), keyName = Trim(key);
    if (sectionName.empty() || keyName.empty()) return 0;
    if (sectionName.find(']') != std::string_view::npos ||
        keyName.find('=') != std::string_view::npos || keyName.front() == ';' ||
        keyName.front() == '[')
        return 0;

    IniFile ini;
    if (!Load(path, ini)) return 0;
    Place p = Find(ini, sectionName, keyName);
    const std::string& d = ini.data;
    std::string out;

    if (p.keyLine >= 0 && value) {
        const Line& line = ini.lines[size_t(p.keyLine)];
        if (p.value == value) return 1; // already there
        out = d.substr(0, line.begin);
        std::string_view text = std::string_view(d).substr(line.begin, line.end - line.begin);
        out += text.substr(0, text.find('='));
        out += '=';
        out += Stored(value);
        out += d.substr(line.end); // its own line end and the rest
    } else if (p.keyLine >= 0) {
        // Removed: every line of the key in the section, so that a later
        // line of the same key does not come to light in its place.
        p.repeats.insert(p.repeats.begin(), p.keyLine);
        size_t from = 0;
        for (int i : p.repeats) {
            out += d.substr(from, ini.lines[size_t(i)].begin - from);
            from = ini.lines[size_t(i)].next;
        }
        out += d.substr(from);
    } else if (!value) {
        return 1; // nothing to remove
    } else {
        std::string entry = std::string(keyName) + "=" + Stored(value) + "\r\n";
        size_t at = d.size();
        if (p.header >= 0) {
            at = ini.lines[size_t(p.lastLine)].next;
        } else {
            entry = "[" + std::string(sectionName) + "]\r\n" + entry;
            if (!ini.lines.empty() && !Text(ini, ini.lines.back()).empty()) entry = "\r\n" + entry;
        }
        out = d.substr(0, at);
        // A last line without its end gets one; a CR there is the start of
        // its CR LF, which a second CR would turn into part of its text.
        if (!out.empty() && out.back() != '\n') out += out.back() == '\r' ? "\n" : "\r\n";
        out += entry;
        out += d.substr(at);
    }
    if (out.size() > size_t(kMaxIniFile)) return 0;
    return ReplaceFileWith(path, out, ".new").empty() ? 1 : 0;
}

int ReadIniBool(const char* section, const char* key, int def, const char* path) {
    std::optional<std::string> present = Lookup(section, key, path);
    char value[100];
    CopyOut(present ? *present : std::string(def ? "YES" : "NO"), value, sizeof value);
    int yes = strcmpci(value, "YES", 1) == 0 || strcmpci(value, "TRUE", 1) == 0 ? 1 : 0;
    if (!present) WriteIniString(section, key, value, path);
    return yes;
}

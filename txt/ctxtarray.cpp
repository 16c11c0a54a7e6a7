#include "txt/ctxtarray.h"

#include "asciicase.h"
#include "platform/errtext.h"
#include "textutil/fileptr.h"
#include "textutil/strfld.h"

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

// ASCII capitals lowered, every other byte as it is (the _strcmpi rule).
unsigned char Lowered(unsigned char c) {
    return static_cast<unsigned char>(AsciiLower(char(c)));
}

// <0, 0, >0 as a and b compare after lowering ASCII capitals.
int CompareLowered(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        unsigned char cx = Lowered(*x), cy = Lowered(*y);
        if (cx != cy) return int(cx) - int(cy);
        if (cx == 0) return 0;
    }
}

bool EqualsFolded(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!AsciiEqualFolded(a[i], b[i])) return false;
    return true;
}

void SetError(CTxt& error, const char* what, const char* path, int err) {
    std::string msg = std::string(what) + " " + (path ? path : "") + " (" + ErrText(err) + ")";
    error.SetTxt(msg.c_str());
}

} // namespace

CTxtArray::~CTxtArray() {
    RemoveAll();
}

// ---- Elements -----------------------------------------------------------

void CTxtArray::ClearSlots(int from, int to) {
    for (int i = from; i < to; ++i) ptrs_.SetAt(i, nullptr);
}

int CTxtArray::Add(const char* text) {
    auto element = std::make_unique<CTxt>(text);
    int i = ptrs_.Add(element.get());
    if (i >= 0) element.release();
    return i;
}

int CTxtArray::Insert(int i, const char* text) {
    if (i < 0) return -1;
    int old = GetSize();
    auto element = std::make_unique<CTxt>(text);
    if (ptrs_.InsertAt(i, element.get(), 1) != 0) return -1;
    element.release();
    // Slot storage reused from earlier removals may still hold old pointers.
    if (i > old) ClearSlots(old, i);
    return 0;
}

int CTxtArray::SetAt(int i, const char* text) {
    if (i < 0) return -1;
    if (CTxt* existing = GetAt(i)) {
        existing->SetTxt(text);
        return 0;
    }
    int old = GetSize();
    auto element = std::make_unique<CTxt>(text);
    if (ptrs_.SetAtGrow(i, element.get()) != 0) return -1;
    element.release();
    if (i > old) ClearSlots(old, i);
    return 0;
}

int CTxtArray::RemoveAt(int i) {
    if (i < 0 || i >= GetSize()) return -1;
    delete static_cast<CTxt*>(ptrs_.GetAt(i));
    ptrs_.RemoveAt(i, 1);
    ptrs_.ElementAt(GetSize()) = nullptr; // the vacated slot no longer owns anything
    return 0;
}

void CTxtArray::RemoveAll() {
    for (int i = 0; i < GetSize(); ++i) delete static_cast<CTxt*>(ptrs_.GetAt(i));
    ptrs_.RemoveAll();
}

CTxt* CTxtArray::GetAt(int i) const {
    if (i < 0 || i >= GetSize()) return nullptr;
    return static_cast<CTxt*>(ptrs_.GetAt(i));
}

char* CTxtArray::GetAtTxt(int i) const {
    CTxt* element = GetAt(i);
    return element ? element->GetData() : nullptr;
}

int CTxtArray::GetDelimTxt(CTxt& out, char delimiter) const {
    // Built in one piece: appending element by element to a CTxt would
    // reallocate it once per element.
    std::string all;
    size_t total = 0;
    for (int i = 0; i < GetSize(); ++i) {
        const char* t = GetAtTxt(i);
        total += (t ? std::strlen(t) : 0) + 1;
    }
    all.reserve(total);
    for (int i = 0; i < GetSize(); ++i) {
        if (const char* t = GetAtTxt(i)) all += t;
        all += delimiter;
    }
    out.Empty();
    if (!all.empty()) out.SetTxt(all.c_str());
    return GetSize();
}

int CTxtArray::LoadFromTxtArray(const CTxtArray* other, int append) {
    if (other == this) {
        // Clearing first would lose the source; appending reads the
        // elements that were there before.
        if (append == 0) return GetSize();
        int n = GetSize();
        for (int i = 0; i < n; ++i) Add(GetAtTxt(i));
        return GetSize();
    }
    if (append == 0) RemoveAll();
    if (other)
        for (int i = 0; i < other->GetSize(); ++i) Add(other->GetAtTxt(i));
    return GetSize();
}

int CTxtArray::LoadFromStrArray(const CStringArray& strings) {
    RemoveAll();
    for (const std::string& s : strings) Add(s.c_str());
    return GetSize();
}

// ---- Searching ------------------------------------------------------------

int CTxtArray::FindString(const char* text) const {
    if (!text) return -1;
    for (int i = 0; i < GetSize(); ++i) {
        const char* t = GetAtTxt(i);
        if (t && strcmpci(t, text, 1) == 0) return i;
    }
    return -1;
}

int CTxtArray::FindStringStart(const char* text) const {
    if (!text) return -1;
    size_t n = std::strlen(text);
    for (int i = 0; i < GetSize(); ++i) {
        const char* t = GetAtTxt(i);
        if (std::strncmp(t ? t : "", text, n) == 0) return i;
    }
    return -1;
}

int CTxtArray::FindStringSegment(const char* text) const {
    if (!text) return -1;
    size_t n = std::strlen(text);
    for (int i = 0; i < GetSize(); ++i) {
        const char* t = GetAtTxt(i);
        if (!t) t = "";
        size_t len = std::strlen(t);
        if (n > len) continue;
        for (size_t at = 0; at + n <= len; ++at)
            if (EqualsFolded(t + at, text, n)) return i;
    }
    return -1;
}

int CTxt::FindStringArray(const CStringArray& array, const char* text) {
    if (!text) return -1;
    for (size_t i = 0; i < array.size(); ++i)
        if (strcmpci(array[i].c_str(), text, 1) == 0) return int(i);
    return -1;
}

int CTxtArray::AddIfNew(const char* text) {
    if (FindString(text) >= 0) return 0;
    Add(text);
    return 1;
}

int CTxtArray::AddIfNewIdx(const char* text) {
    int i = FindString(text);
    return i >= 0 ? i : Add(text);
}

int CTxtArray::Compare(const CTxtArray* other) const {
    if (!other || other->GetSize() != GetSize()) return -1;
    for (int i = 0; i < GetSize(); ++i) {
        const char* a = GetAtTxt(i);
        const char* b = other->GetAtTxt(i);
        if (!a || !b || strcmpci(a, b, 1) != 0) return -2;
    }
    return 0;
}

// ---- Key/value lines --------------------------------------------------------

int CTxtArray::FindValue(const char* key, CTxt& value, int flag) const {
    if (key) {
        // Field buffers as long as the line, so long keys and values are
        // compared and returned whole.
        std::string field;
        for (int i = 0; i < GetSize(); ++i) {
            const char* line = GetAtTxt(i);
            if (!line) continue;
            field.resize(std::strlen(line) + 1);
            strfld(line, '|', 1, 1, field.data(), int(field.size()));
            if (strcmpci(field.c_str(), key, 1) != 0) continue;
            strfld(line, '|', 2, 99, field.data(), int(field.size()));
            value.SetTxt(field.c_str());
            return i;
        }
    }
    if (flag == 1) value.SetTxt((std::string(key ? key : "") + " to found").c_str());
    return -1;
}

int CTxtArray::FindValueReset(const char* key, CTxt& value, int flag) const {
    // The key may be value's own text, which the reset releases: keep a copy.
    const std::string k = key ? key : "";
    value.Empty();
    return FindValue(key ? k.c_str() : nullptr, value, flag);
}

int CTxtArray::SetValue(const char* key, const char* value) {
    if (!key) return -1;
    CTxt found;
    int i = FindValue(key, found, 0);
    if (!value) {
        if (i >= 0) RemoveAt(i);
        return i;
    }
    std::string line = std::string(key) + "|" + value;
    if (i >= 0) return SetAt(i, line.c_str()) == 0 ? i : -1;
    return Add(line.c_str());
}

// ---- Ordering and output ------------------------------------------------------

namespace {

// An element as the sort sees it: the first eight bytes of its text, lowered,
// in an integer that orders as those bytes do (zero bytes behind a shorter
// text), and the element's place before the sort.  The comparisons work on
// these small records and look at the texts only when eight bytes tie.
struct SortKey {
    uint64_t prefix;
    uint64_t index; // also holds the element's pointer once sorted
};

constexpr size_t kPrefixBytes = sizeof(uint64_t);

uint64_t FoldedPrefix(const char* text) {
    uint64_t k = 0;
    for (size_t i = 0; i < kPrefixBytes && text[i]; ++i)
        k |= uint64_t(Lowered(static_cast<unsigned char>(text[i]))) << (8 * (7 - i));
    return k;
}

// Length of the start all texts share, case folded: no text ends inside it.
size_t SharedStart(void* const* slots, int n) {
    const char* first = static_cast<const CTxt*>(slots[0])->GetData();
    size_t shared = std::strlen(first);
    for (int i = 1; i < n && shared > 0; ++i) {
        const char* t = static_cast<const CTxt*>(slots[i])->GetData();
        size_t k = 0;
        while (k < shared && AsciiEqualFolded(t[k], first[k])) ++k;
        shared = k;
    }
    return shared;
}

} // namespace

void CTxtArray::Sort() {
    const int n = GetSize();
    if (n == 0) return;
    // Every slot gets an element with a text, as a rebuild from the sorted
    // texts would give; then the element pointers themselves are reordered,
    // so no text is copied.
    for (int i = 0; i < n; ++i) {
        CTxt* element = GetAt(i);
        if (!element) {
            ptrs_.SetAt(i, new CTxt(""));
        } else if (!element->GetData()) {
            element->MakeEmpty();
        }
    }
    void** slots = ptrs_.GetData();
    // Texts that share a long start (the paths of one folder) are compared
    // from where they differ, so that the keys tell most of them apart.
    const size_t shared = SharedStart(slots, n);
    auto text = [slots, shared](uint64_t i) {
        return static_cast<const CTxt*>(slots[i])->GetData() + shared;
    };
    std::unique_ptr<SortKey[]> keys(new (std::nothrow) SortKey[size_t(n)]);
    if (!keys) {
        // No room for the keys: the same order, only slower.
        std::stable_sort(slots, slots + n, [](void* a, void* b) {
            return CompareLowered(static_cast<CTxt*>(a)->GetData(),
                                  static_cast<CTxt*>(b)->GetData()) < 0;
        });
        return;
    }
    for (int i = 0; i < n; ++i) keys[i] = {FoldedPrefix(text(uint64_t(i))), uint64_t(i)};
    std::sort(keys.get(), keys.get() + n, [&text](const SortKey& a, const SortKey& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        // Equal prefixes with a zero byte: both texts ended inside them.
        if ((a.prefix & 0xFF) != 0) {
            const int c =
                CompareLowered(text(a.index) + kPrefixBytes, text(b.index) + kPrefixBytes);
            if (c != 0) return c < 0;
        }
        // Equal texts keep the order they had.
        return a.index < b.index;
    });
    for (int i = 0; i < n; ++i) keys[i].index = reinterpret_cast<uintptr_t>(slots[keys[i].index]);
    for (int i = 0; i < n; ++i) slots[i] = reinterpret_cast<void*>(uintptr_t(keys[i].index));
}

int CTxtArray::SaveToFile(const char* path, CTxt& error, int maxLines) const {
    FilePtr file(path ? std::fopen(path, "wb") : nullptr);
    if (!file) {
        SetError(error, "Cannot open", path, path ? errno : ENOENT);
        return -1;
    }
    int lines = GetSize();
    if (maxLines > 0) lines = std::min(lines, maxLines);
    bool ok = true;
    for (int i = 0; i < lines && ok; ++i) {
        if (const char* t = GetAtTxt(i)) ok = std::fputs(t, file.get()) >= 0;
        ok = ok && std::fputs("\r\n", file.get()) >= 0;
    }
    // A full disk shows at the latest when the last buffer is written out.
    int err = errno;
    if (std::fclose(file.release()) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        SetError(error, "Cannot write", path, err);
        return -1;
    }
    return 0;
}

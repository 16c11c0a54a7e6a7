// List-view reading across processes: CTxtArray::LoadFromLC.
//
// A list view answers a text request only through a record and a text
// buffer in its own address space, so both are placed in the owner's
// memory: the request record written there, the message sent with its
// address, the answer read back.  The record is laid out the way the owner
// lays out LVITEMA (a 64-bit owner's record is larger and holds pszText at
// another offset than a 32-bit owner's).
#include "txt/ctxtarray_lc.h"

#include "textutil/strfld.h"
#include "textutil/utf8.h"
#include "winsys/winsys.h"
#include "winsys/wsdefs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kTextMax = 512;             // cchTextMax, and the characters read back per answer
constexpr size_t kSingleTextBlock = 1000; // the text block of one request at a time
constexpr int kEmptyListRows = 1000;      // rows read when the list reports none
constexpr uint32_t kAccess = procaccess::VM_OPERATION | procaccess::VM_READ | procaccess::VM_WRITE |
                             procaccess::QUERY_INFORMATION;
// Fills a text slot before its request: an owner always ends what it
// writes with a zero within cchTextMax bytes, so a slot without a zero was
// not written.
constexpr uint8_t kUnwritten = 0xFF;

// A process opened through the layer, closed when it goes.
class OpenedProcess {
public:
    OpenedProcess(CWinSys& ws, uint32_t pid)
        : ws_(ws), handle_(ws.OpenProcess(kAccess, false, pid)) {}
    ~OpenedProcess() {
        if (handle_) ws_.CloseHandle(handle_);
    }
    OpenedProcess(const OpenedProcess&) = delete;
    OpenedProcess& operator=(const OpenedProcess&) = delete;
    WsMem get() const { return handle_; }

private:
    CWinSys& ws_;
    WsMem handle_;
};

// A committed read-write block of another process's memory, released when
// it goes.
class RemoteBlock {
public:
    RemoteBlock(CWinSys& ws, WsMem process, size_t size)
        : ws_(ws), process_(process),
          address_(ws.VirtualAllocEx(process, 0, size, mem::COMMIT, page::READWRITE)) {}
    ~RemoteBlock() {
        if (address_) ws_.VirtualFreeEx(process_, address_, 0, mem::RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    WsMem get() const { return address_; }

private:
    CWinSys& ws_;
    WsMem process_;
    WsMem address_;
};

// The one local copy of the request record, in the owner's layout; fields
// keep what they were last set to, from request to request.
class ItemRecord {
public:
    explicit ItemRecord(const LvItemLayout& layout) : layout_(layout), bytes_(layout.size, 0) {}
    void Set(uint32_t offset, int32_t value) { Put(offset, uint32_t(value), 4); }
    void SetText(WsMem address) { Put(layout_.pszText, address, layout_.pointerSize); }
    const uint8_t* data() const { return bytes_.data(); }
    const LvItemLayout& Layout() const { return layout_; }

    void ForText(int column, WsMem text) {
        Set(layout_.iSubItem, column);
        SetText(text);
    }
    void ForSelect(int item) {
        Set(layout_.iItem, item);
        Set(layout_.iSubItem, 0);
        Set(layout_.state, int32_t(lvis::SELECTED));
        Set(layout_.stateMask,
            int32_t(lvis::FOCUSED | lvis::SELECTED | lvis::CUT | lvis::DROPHILITED));
        SetText(0);
    }

private:
    // Little-endian, as both layouts are.
    void Put(uint32_t offset, uint64_t value, uint32_t size) {
        for (uint32_t k = 0; k < size && offset + k < bytes_.size(); ++k)
            bytes_[offset + k] = uint8_t(value >> (8 * k));
    }
    const LvItemLayout& layout_;
    std::vector<uint8_t> bytes_;
};

// While it lives, sends through ws that go unanswered are noted (and still
// told to whoever listened before).
class UnansweredWatch {
public:
    explicit UnansweredWatch(CWinSys& ws) : ws_(ws), previous_(ws.UnansweredHandler()) {
        ws_.SetUnansweredHandler([this](WsHandle hwnd, uint32_t msg, uint32_t waitedMs) {
            unanswered_ = true;
            if (previous_) previous_(hwnd, msg, waitedMs);
        });
    }
    ~UnansweredWatch() { ws_.SetUnansweredHandler(previous_); }
    UnansweredWatch(const UnansweredWatch&) = delete;
    UnansweredWatch& operator=(const UnansweredWatch&) = delete;
    bool Unanswered() const { return unanswered_; }

private:
    CWinSys& ws_;
    WsUnansweredFn previous_;
    bool unanswered_ = false;
};

// Everything a load needs once the owner's memory is in place.
struct Load {
    CWinSys& ws;
    WsHandle hwnd;
    WsMem process;
    WsMem records;
    WsMem texts;
    int count;                    // rows to read
    int columns;                  // cells per row (none when 0 or less)
    int select;                   // 1-based row to select, 0 for none
    LcText text;                  // how the texts are asked
    const UnansweredWatch& watch; // the load stops at the first unanswered send
};

// The text request and the bytes of one text character for kind.
uint32_t TextMessage(LcText kind) {
    return kind == LcText::kUtf8 ? lvm::GETITEMTEXTW : lvm::GETITEMTEXTA;
}
size_t UnitSize(LcText kind) {
    return kind == LcText::kUtf8 ? 2 : 1;
}

// The text an owner wrote into a slot of chars characters of kind, through
// out; false when the slot holds no terminating zero (the owner did not
// write it).
bool SlotText(const char* slot, int chars, LcText kind, std::string* out) {
    if (kind == LcText::kAnsi) {
        const void* end = std::memchr(slot, '\0', size_t(chars));
        if (!end) return false;
        out->assign(slot, size_t(static_cast<const char*>(end) - slot));
        return true;
    }
    std::u16string units;
    for (int i = 0; i < chars; ++i) {
        // Little-endian, as both layouts are.
        const auto* p = reinterpret_cast<const unsigned char*>(slot) + 2 * i;
        const char16_t unit = char16_t(p[0] | (p[1] << 8));
        if (unit == 0) {
            *out = Utf8FromUtf16(units.data(), units.size());
            return true;
        }
        units += unit;
    }
    return false;
}

// Adds one answer to the line: its text when not empty (line breaks and
// '|' shown as '+'), then '|' when more than one column is read.
void AddCell(CTxt& line, const char* text, int columns) {
    for (const char* c = text; *c; ++c) line.Add(*c == '\r' || *c == '\n' || *c == '|' ? '+' : *c);
    if (columns > 1) line.Add('|');
}

// One request at a time: write the record, send, read the answer.  The
// text block is never cleared, so an answer the owner does not write
// reads as the text of the request before.
void ReadOneByOne(const Load& l, ItemRecord& rec, CTxtArray& rows) {
    const LvItemLayout& lay = rec.Layout();
    const size_t slotBytes = kTextMax * UnitSize(l.text);
    // A slot and a zero character beyond it, so that every answer ends.
    std::vector<char> local(slotBytes + 2 * UnitSize(l.text), '\0');
    std::string cell;
    for (int i = 0; i < l.count && !l.watch.Unanswered(); ++i) {
        CTxt line;
        for (int c = 0; c < l.columns && !l.watch.Unanswered(); ++c) {
            rec.ForText(c, l.texts);
            l.ws.WriteProcessMemory(l.process, l.records, rec.data(), lay.size, nullptr);
            l.ws.SendMessageA(l.hwnd, TextMessage(l.text), uintptr_t(i), intptr_t(l.records));
            l.ws.ReadProcessMemory(l.process, l.texts, local.data(), slotBytes, nullptr);
            SlotText(local.data(), kTextMax + 1, l.text, &cell);
            AddCell(line, cell.c_str(), l.columns);
        }
        if (l.select > 0 && l.select == i + 1) {
            rec.ForSelect(i);
            l.ws.WriteProcessMemory(l.process, l.records, rec.data(), lay.size, nullptr);
            l.ws.SendMessageA(l.hwnd, lvm::SETITEMSTATE, uintptr_t(i), intptr_t(l.records));
        }
        rows.Add(line.GetData());
    }
}

// One step of a batched load: a text request, a select request or the end
// of a row.
struct Step {
    enum Kind { Text, Select, EndRow } kind;
    int item;
    int column;
};

// Many requests per round trip: the records of up to batch text requests
// (and a select request among them) are written at once, the requests sent
// in order, and the answers read back at once.  Each text request has a
// slot of its own in the text block, filled beforehand with kUnwritten, so
// an answer the owner does not write is known and reads, as one request at
// a time would read it, as the text of the request before.
void ReadBatched(const Load& l, ItemRecord& rec, CTxtArray& rows, int batch) {
    const uint32_t size = rec.Layout().size;
    const size_t slotBytes = kTextMax * UnitSize(l.text);
    std::vector<uint8_t> records(size_t(size) * size_t(batch + 1));
    std::vector<char> answers(size_t(batch) * slotBytes);
    const std::vector<uint8_t> unwritten(answers.size(), kUnwritten);
    const int cells = std::max(l.columns, 0);
    std::string previous; // fresh committed memory reads as zeros
    CTxt line;
    std::vector<Step> steps;
    int item = 0, column = 0;
    while (item < l.count && !l.watch.Unanswered()) {
        // The next batch: at most batch text requests; rows without cells
        // still end, at most 2 * batch of them per round.
        steps.clear();
        int texts = 0, slots = 0;
        while (item < l.count && texts < batch && int(steps.size()) < 2 * batch) {
            if (column < cells) {
                steps.push_back({Step::Text, item, column++});
                ++texts;
                ++slots;
                continue;
            }
            if (l.select > 0 && l.select == item + 1) {
                steps.push_back({Step::Select, item, 0});
                ++slots;
            }
            steps.push_back({Step::EndRow, item, 0});
            ++item;
            column = 0;
        }

        int slot = 0, text = 0;
        for (const Step& s : steps) {
            if (s.kind == Step::EndRow) continue;
            if (s.kind == Step::Text)
                rec.ForText(s.column, l.texts + WsMem(text++) * slotBytes);
            else
                rec.ForSelect(s.item);
            std::memcpy(records.data() + size_t(slot++) * size, rec.data(), size);
        }
        if (slots > 0)
            l.ws.WriteProcessMemory(l.process, l.records, records.data(), size_t(slots) * size,
                                    nullptr);
        if (texts > 0)
            l.ws.WriteProcessMemory(l.process, l.texts, unwritten.data(), size_t(texts) * slotBytes,
                                    nullptr);
        slot = 0;
        for (const Step& s : steps) {
            if (s.kind == Step::EndRow || l.watch.Unanswered()) continue;
            const WsMem at = l.records + WsMem(slot++) * size;
            l.ws.SendMessageA(l.hwnd,
                              s.kind == Step::Text ? TextMessage(l.text) : lvm::SETITEMSTATE,
                              uintptr_t(s.item), intptr_t(at));
        }
        if (texts > 0 && !l.ws.ReadProcessMemory(l.process, l.texts, answers.data(),
                                                 size_t(texts) * slotBytes, nullptr))
            std::memset(answers.data(), kUnwritten, size_t(texts) * slotBytes);

        text = 0;
        for (const Step& s : steps) {
            if (s.kind == Step::Text) {
                const char* answer = answers.data() + size_t(text++) * slotBytes;
                SlotText(answer, kTextMax, l.text, &previous);
                AddCell(line, previous.c_str(), l.columns);
            } else if (s.kind == Step::EndRow) {
                rows.Add(line.GetData());
                line.Empty();
            }
        }
    }
}

// The rows of a list view that counts count (1 or more) that it says it
// holds: count when LVM_GETNEXTITEM from the row before the last gives the
// last, else the first row it does not give, found by halving the rows (a
// few dozen requests at most), so that a list view that counts more rows
// than it holds is read only as far as it holds them.
int RowsThere(CWinSys& ws, WsHandle hwnd, int count) {
    auto there = [&](int row) {
        return ws.SendMessageA(hwnd, lvm::GETNEXTITEM, uintptr_t(intptr_t(row) - 1), lvni::ALL) ==
               row;
    };
    if (there(count - 1)) return count;
    int lo = 0, hi = count - 1; // the first row missing lies in [lo, hi]
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (there(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// The owner's width in bits as the layouts know it: 32 or 64, else the
// width of this program.
int OwnerBits(int bits) {
    return bits == 32 || bits == 64 ? bits : int(sizeof(void*) * 8);
}

bool IsListView(CWinSys& ws, WsHandle hwnd) {
    char cls[1000] = "";
    ws.GetClassNameA(hwnd, cls, sizeof cls);
    return strcmpci(cls, "SysListView32", 1) == 0;
}

// The select number held by the error text on entry: positive, or 0.
int SelectNumber(const CTxt& error) {
    const int n = std::atoi(static_cast<const char*>(error));
    return n > 0 ? n : 0;
}

} // namespace

LcBlocks LcBlocksFor(int bits, int batch, LcText text) {
    const LvItemLayout& lay = LvItemLayoutFor(OwnerBits(bits));
    batch = std::clamp(batch, 1, kLcMaxBatch);
    const size_t unit = UnitSize(text);
    if (batch == 1) return LcBlocks{lay.size, lay.size, kSingleTextBlock * unit};
    return LcBlocks{lay.size, size_t(lay.size) * size_t(batch + 1),
                    size_t(batch) * kTextMax * unit};
}

int LoadFromLCBatched(CWinSys& ws, CTxtArray& rows, WsHandle hwnd, CTxt& error, int columns,
                      int batch, LcText text) {
    if (!IsListView(ws, hwnd)) {
        error.Format("HWND %08X not SysListView32", unsigned(hwnd));
        return -1;
    }
    uint32_t pid = 0;
    if (ws.GetWindowThreadProcessId(hwnd, &pid) == 0) {
        error.Format("Cannot get PID for HWND %08X", unsigned(hwnd));
        return -2;
    }
    OpenedProcess process(ws, pid);
    if (!process.get()) {
        error.Format("Cannot access PID %d for HWND %08X", int(pid), unsigned(hwnd));
        return -3;
    }
    batch = std::clamp(batch, 1, kLcMaxBatch);
    const int bits = OwnerBits(ws.ProcessBits(process.get()));
    // Blocks for a batch of requests, else for one request at a time.
    std::optional<RemoteBlock> records, texts;
    for (int tried : {batch, 1}) {
        const LcBlocks blocks = LcBlocksFor(bits, tried, text);
        records.emplace(ws, process.get(), blocks.recordBlock);
        texts.emplace(ws, process.get(), blocks.textBlock);
        batch = tried;
        if (records->get() && texts->get()) break;
        texts.reset();
        records.reset();
        if (tried == 1) break;
    }
    if (!records || !texts) {
        error.Format("Cannot allocate memory in PID %d for HWND %08X", int(pid), unsigned(hwnd));
        return -4;
    }
    ItemRecord rec(LvItemLayoutFor(bits));
    rec.Set(rec.Layout().cchTextMax, kTextMax);

    const int select = SelectNumber(error);
    const UnansweredWatch watch(ws);
    const intptr_t reported = ws.SendMessageA(hwnd, lvm::GETITEMCOUNT, 0, 0);
    int count = reported <= 0 ? kEmptyListRows : int(std::min<intptr_t>(reported, kLcMaxRows));
    if (reported > 0 && !watch.Unanswered()) count = RowsThere(ws, hwnd, count);
    rows.RemoveAll();
    const Load load{ws,    hwnd,    process.get(), records->get(), texts->get(),
                    count, columns, select,        text,           watch};
    if (!watch.Unanswered()) {
        if (batch == 1)
            ReadOneByOne(load, rec, rows);
        else
            ReadBatched(load, rec, rows, batch);
    }
    if (watch.Unanswered()) {
        rows.RemoveAll();
        error.Format("HWND %08X does not answer", unsigned(hwnd));
        return -5;
    }
    return rows.GetSize();
}

LcText LcRequestFor(CWinSys& ws, LcText wanted) {
    return ws.AnsiTextIsUtf8() ? LcText::kAnsi : wanted;
}

int CTxtArray::LoadFromLC(WsHandle hwnd, CTxt& error, int columns, LcText text) {
    CWinSys& ws = WinSys();
    return LoadFromLCBatched(ws, *this, hwnd, error, columns, kLcBatch, LcRequestFor(ws, text));
}

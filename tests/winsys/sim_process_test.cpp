// Other processes' memory, list views read through remote records, the
// clipboard, menus and text metrics of the simulated desktop.
#include "winsys/sim/simdesktop.h"
#include "winsys/wsdefs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kScene = R"JSON({
  "fonts": [{"handle": "0x0A01", "width": 7, "height": 13}],
  "processes": [{"pid": 32, "bits": 32, "threads": [33]},
                {"pid": 64, "bits": 64, "threads": [65]},
                {"pid": 99, "bits": 64, "openable": false}],
  "windows": [
    {"handle": 16, "class": "SysListView32", "thread": 33, "items": [
       {"text": "report.txt", "columns": ["12 KB", "text"]},
       {"text": "notes.txt", "columns": ["1 KB"], "selected": true, "focused": true}]},
    {"handle": 17, "class": "syslistview32", "thread": 65, "items": [
       {"text": "a.bin", "columns": ["64 KB"]}]},
    {"handle": 18, "class": "Edit", "font": "0x0A01", "process": 99,
     "on": [{"message": "WM_COMMAND", "id": 57634, "do": [{"clipboard": "Inputs: Length(9)"
}]
}]
},
    {"handle": 19, "class": "Static"}
  ],
  "menus": [
    {"handle": "0x500", "items": [
      {"text": "&File", "submenu": {"handle": "0x501", "items": [
        {"text": "&Open", "id": 2}, {"separator": true}, {"text": "E&xit", "id": 7}]}},
      {"text": "&Help", "id": 65}]},
    {"handle": "0x600"}
  ]
})JSON";

class SimProcess : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        d_ = CSimDesktop::FromJson(kScene, "process", &error);
        ASSERT_NE(d_, nullptr) << error;
    }

    // Reads one cell of list view hwnd the way a caller in another process
    // must: a request record and a text buffer in the owner's memory.
    std::string RemoteCell(WsHandle hwnd, int item, int column, int* bitsSeen = nullptr) {
        uint32_t pid = 0;
        d_->GetWindowThreadProcessId(hwnd, &pid);
        const uint32_t access = procaccess::VM_OPERATION | procaccess::VM_READ |
                                procaccess::VM_WRITE | procaccess::QUERY_INFORMATION;
        WsMem proc = d_->OpenProcess(access, false, pid);
        EXPECT_NE(proc, 0u);
        const int bits = d_->ProcessBits(proc);
        if (bitsSeen) *bitsSeen = bits;
        const LvItemLayout& lay = LvItemLayoutFor(bits);
        WsMem rec = d_->VirtualAllocEx(proc, 0, lay.size, mem::COMMIT, page::READWRITE);
        WsMem text = d_->VirtualAllocEx(proc, 0, 1000, mem::COMMIT, page::READWRITE);
        EXPECT_NE(rec, 0u);
        EXPECT_NE(text, 0u);
        std::vector<uint8_t> r(lay.size, 0);
        auto put = [&](uint32_t off, uint64_t v, size_t n) { std::memcpy(&r[off], &v, n); };
        put(lay.iSubItem, uint32_t(column), 4);
        put(lay.pszText, text, lay.pointerSize);
        put(lay.cchTextMax, 512, 4);
        EXPECT_TRUE(d_->WriteProcessMemory(proc, rec, r.data(), r.size(), nullptr));
        intptr_t n = d_->SendMessageA(hwnd, lvm::GETITEMTEXTA, uintptr_t(item), intptr_t(rec));
        char local[512];
        size_t got = 0;
        EXPECT_TRUE(d_->ReadProcessMemory(proc, text, local, sizeof local, &got));
        EXPECT_EQ(got, sizeof local);
        EXPECT_EQ(size_t(n), std::strlen(local));
        EXPECT_TRUE(d_->VirtualFreeEx(proc, rec, 0, mem::RELEASE));
        EXPECT_TRUE(d_->VirtualFreeEx(proc, text, 0, mem::RELEASE));
        EXPECT_TRUE(d_->CloseHandle(proc));
        return local;
    }

    std::unique_ptr<CSimDesktop> d_;
};

TEST_F(SimProcess, ListViewOfA32BitProcessReadsThe40ByteRecord) {
    int bits = 0;
    EXPECT_EQ(RemoteCell(16, 0, 0, &bits), "report.txt");
    EXPECT_EQ(bits, 32);
    EXPECT_EQ(RemoteCell(16, 0, 1), "12 KB");
    EXPECT_EQ(RemoteCell(16, 0, 2), "text");
    EXPECT_EQ(RemoteCell(16, 1, 0), "notes.txt");
    EXPECT_EQ(RemoteCell(16, 1, 2), ""); // a column the item does not have
    EXPECT_EQ(kLvItem32.size, 40u);
}

TEST_F(SimProcess, ListViewOfA64BitProcessReadsThe64BitRecord) {
    int bits = 0;
    EXPECT_EQ(RemoteCell(17, 0, 0, &bits), "a.bin");
    EXPECT_EQ(bits, 64);
    EXPECT_EQ(RemoteCell(17, 0, 1), "64 KB");
}

TEST_F(SimProcess, RecordInTheWrongLayoutIsMisread) {
    // A 32-bit record sent to a 64-bit list view: its pointer lands where
    // the 64-bit layout expects padding and the text goes nowhere.
    uint32_t pid = 0;
    d_->GetWindowThreadProcessId(17, &pid);
    WsMem proc = d_->OpenProcess(0x438, false, pid);
    WsMem rec = d_->VirtualAllocEx(proc, 0, 64, mem::COMMIT, page::READWRITE);
    WsMem text = d_->VirtualAllocEx(proc, 0, 1000, mem::COMMIT, page::READWRITE);
    uint8_t r[64] = {};
    uint32_t t32 = uint32_t(text), max = 512;
    std::memcpy(r + kLvItem32.pszText, &t32, 4);
    std::memcpy(r + kLvItem32.cchTextMax, &max, 4);
    d_->WriteProcessMemory(proc, rec, r, sizeof r, nullptr);
    EXPECT_EQ(d_->SendMessageA(17, lvm::GETITEMTEXTA, 0, intptr_t(rec)), 0);
    d_->CloseHandle(proc);
}

TEST_F(SimProcess, ListViewStateAndSelection) {
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETITEMSTATE, 1, lvis::SELECTED), 2);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETITEMSTATE, 1, 0xF), 3);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETITEMSTATE, 0, lvis::SELECTED), 0);
    // Select item 0 through a remote record: state 2 under mask 0xF.
    WsMem proc = d_->OpenProcess(0x438, false, 32);
    WsMem rec = d_->VirtualAllocEx(proc, 0, 40, mem::COMMIT, page::READWRITE);
    uint8_t r[40] = {};
    uint32_t state = lvis::SELECTED, mask = 0xF;
    std::memcpy(r + kLvItem32.state, &state, 4);
    std::memcpy(r + kLvItem32.stateMask, &mask, 4);
    d_->WriteProcessMemory(proc, rec, r, sizeof r, nullptr);
    EXPECT_EQ(d_->SendMessageA(16, lvm::SETITEMSTATE, 0, intptr_t(rec)), 1);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETITEMSTATE, 0, 0xF), 2);
    EXPECT_EQ(d_->SendMessageA(16, lvm::GETSELECTEDCOUNT, 0, 0), 2);
    d_->CloseHandle(proc);
}

TEST_F(SimProcess, OutOfRangeItemLeavesTheBufferAsItWas) {
    EXPECT_EQ(RemoteCell(16, 0, 0), "report.txt");
    // A fresh buffer: nothing written, zeros read back.
    EXPECT_EQ(RemoteCell(16, 5, 0), "");
}

TEST_F(SimProcess, AllocationsStayUntilFreedAndAreBounded) {
    WsMem proc = d_->OpenProcess(0x438, false, 32);
    ASSERT_NE(proc, 0u);
    WsMem a = d_->VirtualAllocEx(proc, 0, 40, mem::COMMIT, page::READWRITE);
    WsMem b = d_->VirtualAllocEx(proc, 0, 1000, mem::COMMIT, page::READWRITE);
    EXPECT_LT(b, 0x80000000u) << "a 32-bit process has 32-bit addresses";
    EXPECT_EQ(d_->FindProcess(32)->memory.size(), 2u);
    EXPECT_TRUE(d_->VirtualFreeEx(proc, a, 0, mem::RELEASE));
    EXPECT_FALSE(d_->VirtualFreeEx(proc, a, 0, mem::RELEASE)) << "freed twice";
    EXPECT_EQ(d_->FindProcess(32)->memory.size(), 1u);
    // Reads and writes must lie inside one block.
    char buf[8];
    EXPECT_FALSE(d_->ReadProcessMemory(proc, b + 4090, buf, sizeof buf, nullptr));
    EXPECT_TRUE(d_->ReadProcessMemory(proc, b + 4088, buf, sizeof buf, nullptr));
    EXPECT_FALSE(d_->WriteProcessMemory(proc, a, buf, 1, nullptr));
    EXPECT_EQ(d_->VirtualAllocEx(proc, 0, CSimDesktop::kMaxBlock + 1, mem::COMMIT, page::READWRITE),
              0u);
    EXPECT_EQ(d_->VirtualAllocEx(proc, 0, 0, mem::COMMIT, page::READWRITE), 0u);
    WsMem ro = d_->VirtualAllocEx(proc, 0, 16, mem::COMMIT, page::READONLY);
    EXPECT_FALSE(d_->WriteProcessMemory(proc, ro, buf, 1, nullptr));
    EXPECT_TRUE(d_->ReadProcessMemory(proc, ro, buf, 1, nullptr));
    EXPECT_TRUE(d_->CloseHandle(proc));
    EXPECT_EQ(d_->OpenProcessHandles(), 0u);
    EXPECT_EQ(d_->FindProcess(32)->memory.size(), 2u) << "closing the handle frees nothing";
}

TEST_F(SimProcess, AccessRightsAreChecked) {
    EXPECT_EQ(d_->OpenProcess(0x438, false, 99), 0u) << "not openable";
    EXPECT_EQ(d_->OpenProcess(0x438, false, 12345), 0u) << "no such process";
    WsMem readOnly = d_->OpenProcess(procaccess::VM_READ, false, 64);
    ASSERT_NE(readOnly, 0u);
    EXPECT_EQ(d_->VirtualAllocEx(readOnly, 0, 16, mem::COMMIT, page::READWRITE), 0u);
    d_->CloseHandle(readOnly);
    EXPECT_FALSE(d_->CloseHandle(readOnly));
}

TEST_F(SimProcess, ClipboardRules) {
    char* none = static_cast<char*>(d_->GlobalLock(d_->GetClipboardData(cf::TEXT)));
    EXPECT_EQ(none, nullptr) << "closed clipboard gives no data";
    EXPECT_FALSE(d_->EmptyClipboard()) << "not open";
    EXPECT_FALSE(d_->CloseClipboard()) << "not open";
    EXPECT_FALSE(d_->OpenClipboard(0x7777)) << "owner must be a window";
    // A window puts its text there.
    d_->SendMessageA(18, wm::COMMAND, 57634, 0);
    EXPECT_EQ(d_->ClipboardText(), "Inputs: Length(9)");
    EXPECT_EQ(d_->ClipboardOwner(), 18u);
    ASSERT_TRUE(d_->OpenClipboard(19));
    EXPECT_TRUE(d_->OpenClipboard(19)) << "the same owner may open again";
    EXPECT_FALSE(d_->OpenClipboard(18)) << "open by another window";
    WsMem data = d_->GetClipboardData(cf::TEXT);
    ASSERT_NE(data, 0u);
    EXPECT_EQ(d_->GetClipboardData(2), 0u) << "only text is held";
    const char* p = static_cast<const char*>(d_->GlobalLock(data));
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p, "Inputs: Length(9)");
    // While the clipboard is open elsewhere, the application cannot copy.
    d_->SendMessageA(18, wm::COMMAND, 57634, 0);
    EXPECT_FALSE(d_->GlobalUnlock(data));
    EXPECT_TRUE(d_->EmptyClipboard());
    EXPECT_EQ(d_->ClipboardOwner(), 19u);
    EXPECT_EQ(d_->GetClipboardData(cf::TEXT), 0u);
    EXPECT_EQ(d_->GlobalLock(data), nullptr) << "emptied data is gone";
    EXPECT_TRUE(d_->CloseClipboard());
    EXPECT_FALSE(d_->ClipboardIsOpen());
}

TEST_F(SimProcess, LockedClipboardDataOutlivesEmptying) {
    d_->SendMessageA(18, wm::COMMAND, 57634, 0);
    ASSERT_TRUE(d_->OpenClipboard(0));
    WsMem data = d_->GetClipboardData(cf::TEXT);
    const char* p = static_cast<const char*>(d_->GlobalLock(data));
    ASSERT_NE(p, nullptr);
    d_->EmptyClipboard();
    EXPECT_STREQ(p, "Inputs: Length(9)"); // still readable until unlocked
    EXPECT_FALSE(d_->GlobalUnlock(data));
    d_->CloseClipboard();
}

// GlobalSize gives the block a text came in: the text and its zero, or,
// from a scene that says so, the text alone.
TEST(SimClipboard, BlockSizes) {
    struct Case {
        const char* scene;
        size_t size;
        std::string text;
    } cases[] = {
        {R"J({"clipboard": {"text": "Inputs: X(1)"}})J", 13, "Inputs: X(1)"},
        {R"J({"clipboard": {"text": "Inputs: X(1)", "terminated": false}})J", 12, "Inputs: X(1)"},
        {R"J({"clipboard": {"text": "", "terminated": true}})J", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scene);
        std::string error;
        auto d = CSimDesktop::FromJson(c.scene, "clip", &error);
        ASSERT_NE(d, nullptr) << error;
        EXPECT_EQ(d->ClipboardText(), c.text);
        ASSERT_TRUE(d->OpenClipboard(0));
        const WsMem data = d->GetClipboardData(cf::TEXT);
        ASSERT_NE(data, 0u);
        EXPECT_EQ(d->GlobalSize(data), c.size);
        const char* p = static_cast<const char*>(d->GlobalLock(data));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(std::string(p, c.size), c.size > c.text.size() ? c.text + '\0' : c.text);
        EXPECT_EQ(d->GlobalSize(data), c.size) << "locked";
        EXPECT_FALSE(d->GlobalUnlock(data));
        EXPECT_EQ(d->GlobalSize(data + 0x10), 0u) << "no block";
        EXPECT_EQ(d->GlobalSize(0), 0u);
        EXPECT_TRUE(d->CloseClipboard());
    }
}

// A behaviour that waits for a mark reacts only once the window holds it.
TEST(SimBehaviours, AMarkedBehaviourWaitsForItsMark) {
    const char* scene = R"({"windows": [
      {"handle": 1, "class": "Afx:1", "text": "Untitled Strategy", "on": [
        {"message": "WM_COMMAND", "id": 17981, "do": [{"mark": "selected"}]},
        {"message": "WM_COMMAND", "id": 57634, "marked": "selected",
         "do": [{"clipboard": "Inputs: copied"}]}]},
      {"handle": 2, "class": "Other", "on": [
        {"message": "WM_COMMAND", "id": 17981, "do": [{"mark": "selected"}]}]}]})";
    std::string error;
    auto d = CSimDesktop::FromJson(scene, "marks", &error);
    ASSERT_NE(d, nullptr) << error;
    d->SendMessageA(1, wm::COMMAND, 57634, 0);
    EXPECT_EQ(d->ClipboardText(), "") << "not before the mark";
    d->SendMessageA(2, wm::COMMAND, 17981, 0);
    d->SendMessageA(1, wm::COMMAND, 57634, 0);
    EXPECT_EQ(d->ClipboardText(), "") << "another window's mark does not count";
    d->SendMessageA(1, wm::COMMAND, 17981, 0);
    d->SendMessageA(1, wm::COMMAND, 17981, 0); // a mark is held once
    d->SendMessageA(1, wm::COMMAND, 57634, 0);
    EXPECT_EQ(d->ClipboardText(), "Inputs: copied");
    ASSERT_NE(d->WindowAt(1), nullptr);
    EXPECT_EQ(d->WindowAt(1)->marks, std::vector<std::string>{"selected"});
}

TEST_F(SimProcess, Menus) {
    EXPECT_TRUE(d_->IsMenu(0x500));
    EXPECT_TRUE(d_->IsMenu(0x501));
    EXPECT_FALSE(d_->IsMenu(16));
    EXPECT_EQ(d_->GetMenuItemCount(0x500), 2);
    EXPECT_EQ(d_->GetMenuItemCount(0x600), 0);
    EXPECT_EQ(d_->GetMenuItemCount(0x700), -1);
    EXPECT_EQ(d_->GetMenuItemID(0x500, 0), 0xFFFFFFFFu) << "a submenu";
    EXPECT_EQ(d_->GetMenuItemID(0x500, 1), 65u);
    EXPECT_EQ(d_->GetMenuItemID(0x501, 1), 0u) << "a separator";
    EXPECT_EQ(d_->GetMenuItemID(0x501, 9), 0xFFFFFFFFu);
    EXPECT_EQ(d_->GetSubMenu(0x500, 0), 0x501u);
    EXPECT_EQ(d_->GetSubMenu(0x500, 1), 0u);
    char buf[80];
    EXPECT_EQ(d_->GetMenuStringA(0x500, 0, buf, sizeof buf, mf::BYPOSITION), 5);
    EXPECT_STREQ(buf, "&File");
    EXPECT_EQ(d_->GetMenuStringA(0x500, 7, buf, sizeof buf, mf::BYCOMMAND), 5);
    EXPECT_STREQ(buf, "E&xit");
    EXPECT_EQ(d_->GetMenuStringA(0x500, 7, buf, 3, mf::BYCOMMAND), 2);
    EXPECT_STREQ(buf, "E&");
    EXPECT_EQ(d_->GetMenuStringA(0x501, 1, buf, sizeof buf, mf::BYPOSITION), 0);
    EXPECT_EQ(d_->GetMenuStringA(0x900, 0, buf, sizeof buf, mf::BYPOSITION), 0);
}

TEST_F(SimProcess, TextExtentFollowsTheSelectedFont) {
    WsHandle dc = d_->GetDC(18);
    ASSERT_NE(dc, 0u);
    WsSize sz;
    ASSERT_TRUE(d_->GetTextExtentPointA(dc, "ABC", 3, &sz));
    EXPECT_EQ(sz.cx, 24); // the system font: 8 by 16
    EXPECT_EQ(sz.cy, 16);
    WsHandle font = WsHandle(d_->SendMessageA(18, wm::GETFONT, 0, 0));
    EXPECT_EQ(font, 0x0A01u);
    WsHandle old = d_->SelectObject(dc, font);
    EXPECT_NE(old, 0u);
    ASSERT_TRUE(d_->GetTextExtentPointA(dc, "ABC", 3, &sz));
    EXPECT_EQ(sz.cx, 21);
    EXPECT_EQ(sz.cy, 13);
    EXPECT_EQ(d_->SelectObject(dc, 0x1234), 0u) << "no such object";
    EXPECT_EQ(d_->SelectObject(dc, old), font);
    EXPECT_EQ(d_->OpenDCs(), 1u);
    EXPECT_EQ(d_->ReleaseDC(18, dc), 1);
    EXPECT_EQ(d_->OpenDCs(), 0u);
    EXPECT_EQ(d_->GetDC(0x4444), 0u);
}

} // namespace

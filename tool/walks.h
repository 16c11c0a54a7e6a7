// The walks the commands share: over the handle values 0..0xFFFF, and over
// a window's children by control id.
#pragma once

#include "winsys/winsys.h"

#include <optional>
#include <vector>

// The highest handle value the scans try.
constexpr WsHandle kLastHandle = 0xFFFF;

// Tries every handle value from first to last, ascending, with pred (a
// callable taking a WsHandle, true for a match); the first match, or none.
template <typename Pred>
std::optional<WsHandle> ScanHandles(WsHandle first, WsHandle last, Pred pred) {
    for (uint64_t h = first; h <= last; ++h)
        if (pred(WsHandle(h))) return WsHandle(h);
    return std::nullopt;
}

// A child as GetDlgItem finds it.
struct DlgChild {
    int id;
    WsHandle hwnd;
    bool operator==(const DlgChild&) const = default;
};

// For every control id from 0 to lastId, ascending, the child that
// GetDlgItem(parent, id) gives, skipping the ids that give none: the same
// as asking GetDlgItem for every id, at the cost of one walk of parent's
// direct children (each id that some child carries is then asked once, so
// duplicate ids, hidden children and the platform's own choice among them
// come out exactly as GetDlgItem has them).  At most kMaxChildren children
// are looked at.
std::vector<DlgChild> ChildrenById(CWinSys& ws, WsHandle parent, int lastId);
constexpr int kMaxChildren = 0x10000;

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
// as asking GetDlgItem for every id, from one walk of parent's direct
// children in z-order (GetDlgItem gives the first child in z-order whose id
// is the one asked, and so does the walk), so the cost grows with the
// number of children, not with their square.  At most kMaxChildren
// children are looked at.
std::vector<DlgChild> ChildrenById(CWinSys& ws, WsHandle parent, int lastId);
constexpr int kMaxChildren = 0x10000;

// The slow way to the same list: GetDlgItem(parent, id) for every id from
// 0 to lastId (at most 0xFFFF), one call each.  Kept as the reference the
// children-by-id walk is measured and checked against.
std::vector<DlgChild> DlgItemsEveryId(CWinSys& ws, WsHandle parent, int lastId);

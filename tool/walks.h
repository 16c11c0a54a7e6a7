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

// The handle values from first to last (last at most kLastHandle),
// ascending, that name a window now: exactly the values at which a sweep
// of first..last meets a window, and so the values at which a predicate
// that no value naming no window passes (one that reads a class, a text, a
// thread) can pass.  Windows are named by the low 16 bits of their handles
// (the platform accepts a handle by its low word), so the values come from
// one enumeration of every window of the desktop (CWinSys::EnumAllWindows):
// top-level windows, their descendants, message-only windows, those of
// other threads and processes; each is confirmed to name a window.  None
// when the enumeration fails: the caller then sweeps (ScanWindows does).
std::optional<std::vector<WsHandle>> WindowValues(CWinSys& ws, WsHandle first, WsHandle last);

// ScanHandles(first, last, pred) for a pred that no value naming no window
// passes, trying only the values that name a window (WindowValues), in the
// same order: the same answer, without a call per value.  Sweeps when the
// enumeration fails.
template <typename Pred>
std::optional<WsHandle> ScanWindows(CWinSys& ws, WsHandle first, WsHandle last, Pred pred) {
    const auto values = WindowValues(ws, first, last);
    if (!values) return ScanHandles(first, last, pred);
    for (WsHandle h : *values)
        if (pred(h)) return h;
    return std::nullopt;
}

// ScanWindows(ws, 0, last, pred) for a pred that passes no value naming no
// window but 0 (the value the clipboard opens for without a window): 0
// first, then the values that name a window.
template <typename Pred>
std::optional<WsHandle> ScanWindowsFromZero(CWinSys& ws, WsHandle last, Pred pred) {
    const auto values = WindowValues(ws, 1, last);
    if (!values) return ScanHandles(0, last, pred);
    if (pred(WsHandle(0))) return WsHandle(0);
    for (WsHandle h : *values)
        if (pred(h)) return h;
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

// The slow way to the same list: GetDlgItem(parent, id) for every id from
// 0 to lastId (at most 0xFFFF), one call each.  Kept as the reference the
// children-by-id walk is measured and checked against.
std::vector<DlgChild> DlgItemsEveryId(CWinSys& ws, WsHandle parent, int lastId);

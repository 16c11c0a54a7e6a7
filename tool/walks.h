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
// other threads and processes; each is confirmed to name a window, and the
// value after each low word is tried too (under Wine a window answers to
// both).  Windows of other window stations are left out: they answer no
// class, text or thread and take no message, so no such predicate passes
// them.  None when the enumeration fails: the caller then sweeps
// (ScanWindows does).
std::optional<std::vector<WsHandle>> WindowValues(CWinSys& ws, WsHandle first, WsHandle last);

// The calls WindowValues itself makes that a clock counts.
constexpr uint64_t kWindowValuesCalls = 1;

// Charges ws the calls a sweep of `values` tries, callsPerMiss for each,
// that the walk over windows left out: `tried` of them were made, and
// WindowValues cost its own (a simulated clock then stands where the
// sweep would have left it).
inline void ChargeLeftOut(CWinSys& ws, uint64_t values, uint64_t tried, uint64_t callsPerMiss) {
    const uint64_t leftOut = values > tried ? (values - tried) * callsPerMiss : 0;
    if (leftOut > kWindowValuesCalls) ws.ChargeCalls(leftOut - kWindowValuesCalls);
}

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

// ScanWindows for a pred that makes callsPerMiss calls on each value naming
// no window: the calls the sweep would have made there are charged to ws
// (CWinSys::ChargeCalls), so that a simulated clock moves as under the
// sweep.  For a scan repeated until a time runs out.
template <typename Pred>
std::optional<WsHandle> ScanWindowsCharged(CWinSys& ws, WsHandle first, WsHandle last,
                                           uint64_t callsPerMiss, Pred pred) {
    const auto values = WindowValues(ws, first, last);
    if (!values) return ScanHandles(first, last, pred);
    uint64_t tried = 0;
    for (WsHandle h : *values) {
        ++tried;
        if (pred(h)) {
            ChargeLeftOut(ws, uint64_t(h) - first + 1, tried, callsPerMiss);
            return h;
        }
    }
    ChargeLeftOut(ws, uint64_t(last) - first + 1, tried, callsPerMiss);
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

#include "tool/walks.h"

#include "winsys/wsdefs.h"

#include <algorithm>
#include <unordered_set>

namespace {

// Collects the low words of the windows an enumeration reaches.
int CollectLowWord(WsHandle hwnd, intptr_t lParam) {
    auto& values = *reinterpret_cast<std::vector<WsHandle>*>(lParam);
    values.push_back(hwnd & 0xFFFF);
    return 1;
}

} // namespace

std::optional<std::vector<WsHandle>> WindowValues(CWinSys& ws, WsHandle first, WsHandle last) {
    std::vector<WsHandle> all;
    if (!ws.EnumAllWindows(CollectLowWord, reinterpret_cast<intptr_t>(&all))) return std::nullopt;
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    // A window may answer to the value after its low word too (Wine takes
    // a handle's low word less one bit as its index in the handle table):
    // that value is tried as well.
    std::vector<WsHandle> values;
    for (WsHandle low : all)
        for (WsHandle v : {low, low + 1})
            if (v >= first && v <= last && v <= kLastHandle &&
                (values.empty() || v > values.back()) && ws.NamesWindow(v))
                values.push_back(v);
    return values;
}

std::vector<DlgChild> ChildrenById(CWinSys& ws, WsHandle parent, int lastId) {
    std::vector<DlgChild> children;
    if (parent == 0 || lastId < 0) return children;
    // GetDlgItem gives the first child in z-order that carries the id: the
    // first one this walk meets.
    std::unordered_set<int> seen;
    WsHandle child = ws.GetWindow(parent, gw::CHILD);
    for (int n = 0; child != 0 && n < kMaxChildren; ++n) {
        const int32_t id = ws.GetWindowLongA(child, gwl::ID);
        if (id >= 0 && id <= lastId && seen.insert(int(id)).second)
            children.push_back(DlgChild{int(id), child});
        child = ws.GetWindow(child, gw::HWNDNEXT);
    }
    std::sort(children.begin(), children.end(),
              [](const DlgChild& a, const DlgChild& b) { return a.id < b.id; });
    return children;
}

std::vector<DlgChild> DlgItemsEveryId(CWinSys& ws, WsHandle parent, int lastId) {
    std::vector<DlgChild> children;
    for (int id = 0; id <= lastId && id <= 0xFFFF; ++id)
        if (WsHandle h = ws.GetDlgItem(parent, id)) children.push_back(DlgChild{id, h});
    return children;
}

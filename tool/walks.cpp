#include "tool/walks.h"

#include "winsys/wsdefs.h"

#include <algorithm>

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
    std::vector<WsHandle> values;
    for (WsHandle v : all)
        if (v >= first && v <= last && v <= kLastHandle && ws.NamesWindow(v)) values.push_back(v);
    return values;
}

std::vector<DlgChild> ChildrenById(CWinSys& ws, WsHandle parent, int lastId) {
    std::vector<int> ids;
    if (parent == 0 || lastId < 0) return {};
    WsHandle child = ws.GetWindow(parent, gw::CHILD);
    for (int n = 0; child != 0 && n < kMaxChildren; ++n) {
        const int32_t id = ws.GetWindowLongA(child, gwl::ID);
        if (id >= 0 && id <= lastId) ids.push_back(int(id));
        child = ws.GetWindow(child, gw::HWNDNEXT);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    std::vector<DlgChild> children;
    for (int id : ids)
        if (WsHandle h = ws.GetDlgItem(parent, id)) children.push_back(DlgChild{id, h});
    return children;
}

std::vector<DlgChild> DlgItemsEveryId(CWinSys& ws, WsHandle parent, int lastId) {
    std::vector<DlgChild> children;
    for (int id = 0; id <= lastId && id <= 0xFFFF; ++id)
        if (WsHandle h = ws.GetDlgItem(parent, id)) children.push_back(DlgChild{id, h});
    return children;
}

#include "tool/walks.h"

#include "winsys/wsdefs.h"

#include <algorithm>
#include <unordered_set>

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

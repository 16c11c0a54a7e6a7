#include "tool/walks.h"

#include "winsys/wsdefs.h"

#include <algorithm>

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

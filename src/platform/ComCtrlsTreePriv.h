// What the tree view's two files (the node model and the view) share and
// nobody else needs.
#pragma once

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/ComCtrls.h"

namespace treskel::comctl {

// A node that may be freed by an event handler: ask before touching it.
class NodeRef {
public:
    explicit NodeRef(const TTreeNode* node, const std::shared_ptr<const char>* life)
        : node_(node), life_(life != nullptr ? *life : std::shared_ptr<const char>()) {}
    bool Alive() const { return node_ == nullptr || !life_.expired(); }

private:
    const TTreeNode* node_;
    std::weak_ptr<const char> life_;
};

// Every node below `node` (not itself), parents before their children.
template <class Visit>
void ForEachBelow(TTreeNode* node, Visit&& visit) {
    std::vector<std::pair<TTreeNode*, int>> stack{{node, 0}};
    while (!stack.empty()) {
        auto& [n, next] = stack.back();
        if (next == n->Count()) {
            stack.pop_back();
            continue;
        }
        TTreeNode* child = n->Item(next++);
        visit(child);
        stack.emplace_back(child, 0);
    }
}

inline std::vector<TTreeNode*> BranchOf(TTreeNode* node) {
    std::vector<TTreeNode*> v{node};
    ForEachBelow(node, [&v](TTreeNode* n) { v.push_back(n); });
    return v;
}

// TVM_GETITEMRECT takes the item in the rectangle it fills.
inline RECT ItemRectRequest(HTREEITEM item) {
    RECT r{};
    std::memcpy(&r, &item, sizeof item);
    return r;
}

}  // namespace treskel::comctl

namespace treskel {

struct TCustomTreeView::Mirroring {
    explicit Mirroring(TCustomTreeView* v) : view(v) { ++view->mirroring_; }
    ~Mirroring() { --view->mirroring_; }
    Mirroring(const Mirroring&) = delete;
    Mirroring& operator=(const Mirroring&) = delete;
    TCustomTreeView* view;
};

namespace comctl {
// Counts a message the control is handling, for as long as it handles it.
struct Handling {
    explicit Handling(int& n) : count(n) { ++count; }
    ~Handling() { --count; }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;
    int& count;
};
}  // namespace comctl

}  // namespace treskel

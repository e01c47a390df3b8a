#include "store/ItemTree.h"

#include <algorithm>

namespace treskel {

TItemNode* TPlainItemNode::AddChild() {
    children_.push_back(std::make_unique<TPlainItemNode>(this));
    return children_.back().get();
}

TItemNode* TPlainItemTree::AddTop() {
    top_.push_back(std::make_unique<TPlainItemNode>(nullptr));
    return top_.back().get();
}

void TPlainItemTree::Delete(TItemNode* node) {
    auto* plain = static_cast<TPlainItemNode*>(node);
    auto& list = plain->parent_ != nullptr ? plain->parent_->children_ : top_;
    auto it = std::find_if(list.begin(), list.end(), [plain](const auto& p) { return p.get() == plain; });
    if (it == list.end()) return;
    std::vector<std::unique_ptr<TPlainItemNode>> gone;
    gone.push_back(std::move(*it));
    list.erase(it);
    FreeBranch(gone);
}

void TPlainItemTree::Clear() { FreeBranch(top_); }

TPlainItemTree::~TPlainItemTree() { Clear(); }

void TPlainItemTree::FreeBranch(std::vector<std::unique_ptr<TPlainItemNode>>& nodes) {
    std::vector<std::unique_ptr<TPlainItemNode>> pending = std::move(nodes);
    nodes.clear();
    while (!pending.empty()) {
        std::unique_ptr<TPlainItemNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& child : n->children_) pending.push_back(std::move(child));
    }
}

int ItemCount(const TItemTree& tree) {
    int n = 0;
    ForEachItem(tree, [&n](TItemNode*) { ++n; });
    return n;
}

void SetItemImage(TItemNode* node, int image) { node->SetImageIndex(image); }

void SetItemPassword(TItemNode* node, const std::string& text) {
    if (node->Data() == nullptr) node->SetData(std::make_unique<TItemData>());
    node->Data()->SetPassword(text);
}

bool CheckLocked(TItemNode* node) {
    bool locked = false;
    ForEachInBranch(node, [&locked](TItemNode* n) {
        if (n->Data() != nullptr && n->Data()->Locked != 0) locked = true;
    });
    return locked;
}

TItemNode* FindLinkOrigin(const TItemTree& tree, TItemNode* link) {
    if (link == nullptr || link->Data() == nullptr) return nullptr;
    const int32_t id = link->Data()->Id;
    TItemNode* origin = nullptr;
    ForEachItem(tree, [&](TItemNode* n) {
        if (origin == nullptr && n->Data() != nullptr && n->Data()->Id == id && n->Data()->IsLink == 0) origin = n;
    });
    return origin;
}

void RenameLinks(const TItemTree& tree, TItemNode* node, const std::string& caption) {
    if (node == nullptr || node->Data() == nullptr) return;
    const int32_t id = node->Data()->Id;
    ForEachItem(tree, [&](TItemNode* n) {
        if (n->Data() != nullptr && n->Data()->Id == id && n->Data()->IsLink == 1) n->SetText(caption);
    });
}

void ReleaseRecords(const TItemTree& tree) {
    ForEachItem(tree, [](TItemNode* n) { n->SetData(nullptr); });
}

}  // namespace treskel

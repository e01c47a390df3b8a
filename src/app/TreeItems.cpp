#include "app/TreeItems.h"

namespace treskel {

void TTreeItemNode::SetData(std::unique_ptr<TItemData> data) {
    record_ = std::move(data);
    TTreeNode::SetData(record_.get());
}

std::unique_ptr<TItemData> TTreeItemNode::TakeData() {
    TTreeNode::SetData(nullptr);
    return std::move(record_);
}

TTreeItemNode* TTreeItemNode::Parent() const { return AsItem(TTreeNode::Parent()); }

TTreeItemNode* TTreeItemNode::Item(int index) const { return AsItem(TTreeNode::Item(index)); }

TTreeItemNode* TTreeItemNode::AddChild() { return AsItem(Owner()->AddChild(this, "")); }

void TTreeItemNode::SetImageIndex(int index) {
    TTreeNode::SetImageIndex(index);
    TTreeNode::SetSelectedIndex(index);
}

TTreeItemNode* AsItem(TTreeNode* node) { return node != nullptr ? static_cast<TTreeItemNode*>(node) : nullptr; }

TTreeItemTree::TTreeItemTree(TCustomTreeView* view) : view_(view) {
    view->NodeFactory = [](TTreeNodes* owner) -> std::unique_ptr<TTreeNode> {
        return std::make_unique<TTreeItemNode>(owner);
    };
}

int TTreeItemTree::Count() const { return view_->Items()->TopLevelCount(); }

TTreeItemNode* TTreeItemTree::Item(int index) const { return AsItem(view_->Items()->TopLevelItem(index)); }

TTreeItemNode* TTreeItemTree::AddTop() { return AsItem(view_->Items()->Add(nullptr, "")); }

void TTreeItemTree::Delete(TItemNode* node) { view_->Items()->Delete(static_cast<TTreeItemNode*>(node)); }

void TTreeItemTree::Clear() { view_->Items()->Clear(); }

}  // namespace treskel

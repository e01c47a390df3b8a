// The main window's tree as the storage formats see it: every node of the
// tree view is an item node that owns its record.
#pragma once

#include <memory>

#include "store/ItemTree.h"
#include "platform/ComCtrls.h"

namespace treskel {

class TTreeItemNode : public TTreeNode, public TItemNode {
    TRESKEL_CLASS(TTreeItemNode)
public:
    explicit TTreeItemNode(TTreeNodes* owner) : TTreeNode(owner) {}

    std::string Text() const override { return TTreeNode::Text(); }
    void SetText(const std::string& text) override { TTreeNode::SetText(text); }
    TItemData* Data() const override { return record_.get(); }
    void SetData(std::unique_ptr<TItemData> data) override;
    std::unique_ptr<TItemData> TakeData() override;

    TTreeItemNode* Parent() const override;
    int Count() const override { return TTreeNode::Count(); }
    TTreeItemNode* Item(int index) const override;
    TTreeItemNode* AddChild() override;

    bool Expanded() const override { return TTreeNode::Expanded(); }
    void SetExpanded(bool expanded) override { TTreeNode::SetExpanded(expanded); }
    int ImageIndex() const override { return TTreeNode::ImageIndex(); }
    void SetImageIndex(int index) override;
    int StateIndex() const override { return TTreeNode::StateIndex(); }
    void SetStateIndex(int index) override { TTreeNode::SetStateIndex(index); }

private:
    std::unique_ptr<TItemData> record_;
};

// The item node of a tree node (every node of a view made through
// AttachItemTree is one).
TTreeItemNode* AsItem(TTreeNode* node);

class TTreeItemTree : public TItemTree {
public:
    // Makes the view's nodes item nodes from now on.
    explicit TTreeItemTree(TCustomTreeView* view);
    int Count() const override;
    TTreeItemNode* Item(int index) const override;
    TTreeItemNode* AddTop() override;
    void Delete(TItemNode* node) override;
    void Clear() override;
    TCustomTreeView* View() const { return view_; }

private:
    TCustomTreeView* view_;
};

}  // namespace treskel

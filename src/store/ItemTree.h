// The tree of a treskel as the formats see it: a small node interface that
// the main window's tree view adapts to, a plain in-memory tree, and the
// walks over items that do not need a window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/ItemData.h"

namespace treskel {

// Node images of ImageList1.
inline constexpr int ImgItem = 68;
inline constexpr int ImgParent = 26;
inline constexpr int ImgLink = 56;
inline constexpr int ImgLinkParent = 35;
inline constexpr int ImgLocked = 55;
inline constexpr int ImgOldItem = 34;  // read as ImgItem

class TItemNode {
public:
    virtual ~TItemNode() = default;

    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
    // The record hung on the node; null when it has none.  The node owns it.
    virtual TItemData* Data() const = 0;
    virtual void SetData(std::unique_ptr<TItemData> data) = 0;
    virtual std::unique_ptr<TItemData> TakeData() = 0;

    virtual TItemNode* Parent() const = 0;
    virtual int Count() const = 0;  // direct sub-items
    virtual TItemNode* Item(int index) const = 0;
    // A new last sub-item with an empty caption and no record.
    virtual TItemNode* AddChild() = 0;

    virtual bool Expanded() const = 0;
    virtual void SetExpanded(bool expanded) = 0;  // this node only
    virtual int ImageIndex() const = 0;
    virtual void SetImageIndex(int index) = 0;  // the selected image too
    virtual int StateIndex() const = 0;
    virtual void SetStateIndex(int index) = 0;
};

class TItemTree {
public:
    virtual ~TItemTree() = default;
    virtual int Count() const = 0;  // top items
    virtual TItemNode* Item(int index) const = 0;
    // A new last top item with an empty caption and no record.
    virtual TItemNode* AddTop() = 0;
    // Removes the node with its sub-items.
    virtual void Delete(TItemNode* node) = 0;
    virtual void Clear() = 0;
};

// The plain tree of tests and tools.
class TPlainItemNode : public TItemNode {
public:
    explicit TPlainItemNode(TPlainItemNode* parent) : parent_(parent) {}
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }
    TItemData* Data() const override { return data_.get(); }
    void SetData(std::unique_ptr<TItemData> data) override { data_ = std::move(data); }
    std::unique_ptr<TItemData> TakeData() override { return std::move(data_); }
    TItemNode* Parent() const override { return parent_; }
    int Count() const override { return static_cast<int>(children_.size()); }
    TItemNode* Item(int index) const override { return children_.at(static_cast<size_t>(index)).get(); }
    TItemNode* AddChild() override;
    bool Expanded() const override { return expanded_; }
    void SetExpanded(bool expanded) override { expanded_ = expanded; }
    int ImageIndex() const override { return image_; }
    void SetImageIndex(int index) override { image_ = selected_ = index; }
    int SelectedIndex() const { return selected_; }
    int StateIndex() const override { return state_; }
    void SetStateIndex(int index) override { state_ = index; }

private:
    friend class TPlainItemTree;
    TPlainItemNode* parent_;
    std::string text_;
    std::unique_ptr<TItemData> data_;
    std::vector<std::unique_ptr<TPlainItemNode>> children_;
    bool expanded_ = false;
    int image_ = 0;
    int selected_ = 0;
    int state_ = -1;
};

class TPlainItemTree : public TItemTree {
public:
    int Count() const override { return static_cast<int>(top_.size()); }
    TItemNode* Item(int index) const override { return top_.at(static_cast<size_t>(index)).get(); }
    TItemNode* AddTop() override;
    void Delete(TItemNode* node) override;
    void Clear() override;
    ~TPlainItemTree() override;

private:
    // Frees nodes without recursing through their owners' destructors, so
    // that a deep tree cannot exhaust the stack.
    static void FreeBranch(std::vector<std::unique_ptr<TPlainItemNode>>& nodes);
    std::vector<std::unique_ptr<TPlainItemNode>> top_;
};

// Calls `visit` for every item in depth-first pre-order (a top item, its
// sub-items recursively, then the next top item) without recursing, so
// that deep trees do not exhaust the stack.
template <class Visit>
void ForEachItem(const TItemTree& tree, Visit&& visit) {
    std::vector<std::pair<TItemNode*, int>> stack;
    for (int i = 0; i < tree.Count(); ++i) {
        TItemNode* top = tree.Item(i);
        visit(top);
        stack.emplace_back(top, 0);
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next == node->Count()) {
                stack.pop_back();
                continue;
            }
            TItemNode* child = node->Item(next++);
            visit(child);
            stack.emplace_back(child, 0);
        }
    }
}

// The same below one node, the node itself first.
template <class Visit>
void ForEachInBranch(TItemNode* node, Visit&& visit) {
    std::vector<std::pair<TItemNode*, int>> stack;
    visit(node);
    stack.emplace_back(node, 0);
    while (!stack.empty()) {
        auto& [n, next] = stack.back();
        if (next == n->Count()) {
            stack.pop_back();
            continue;
        }
        TItemNode* child = n->Item(next++);
        visit(child);
        stack.emplace_back(child, 0);
    }
}

int ItemCount(const TItemTree& tree);
void SetItemImage(TItemNode* node, int image);
void SetItemPassword(TItemNode* node, const std::string& text);
// True when the item or any item below it is locked.
bool CheckLocked(TItemNode* node);
// The first non-link item with the link's id, in pre-order; null if none.
TItemNode* FindLinkOrigin(const TItemTree& tree, TItemNode* link);
// Gives `caption` to every link of `node`'s id.
void RenameLinks(const TItemTree& tree, TItemNode* node, const std::string& caption);
// Frees the records of all items.
void ReleaseRecords(const TItemTree& tree);

}  // namespace treskel

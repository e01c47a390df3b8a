// The tree view's node model: nodes and the node list are plain objects
// first; each change is passed to the view, which mirrors it into its window.
#include <algorithm>

#include "platform/ComCtrlsTreePriv.h"

namespace treskel {

using namespace comctl;

// ============================================================ TTreeNode

TTreeNode::TTreeNode(TTreeNodes* owner) : owner_(owner) {}

TTreeNode::~TTreeNode() {
    // Free the branch without recursing: a deep tree must not exhaust the
    // stack.
    std::vector<std::unique_ptr<TTreeNode>> pending = std::move(children_);
    while (!pending.empty()) {
        std::unique_ptr<TTreeNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->children_) pending.push_back(std::move(c));
        n->children_.clear();
    }
}

TCustomTreeView* TTreeNode::TreeView() const { return owner_ != nullptr ? owner_->Owner() : nullptr; }

TTreeNode* TTreeNode::Parent() const {
    return parent_ != nullptr && parent_ != owner_->Root() ? parent_ : nullptr;
}

void TTreeNode::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    TCustomTreeView* v = TreeView();
    v->UpdateItemText(this);
    v->NodesChanged();
    if (v->SortType() == TSortType::stText || v->SortType() == TSortType::stBoth) v->SortSiblingsOf(this);
}

void TTreeNode::SetData(void* data) {
    if (data == data_) return;
    data_ = data;
    TCustomTreeView* v = TreeView();
    v->NodesChanged();
    if (v->SortType() == TSortType::stData || v->SortType() == TSortType::stBoth) v->SortSiblingsOf(this);
}

void TTreeNode::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    TreeView()->InvalidateNode(this);
    TreeView()->NodesChanged();
}

void TTreeNode::SetSelectedIndex(int index) {
    if (index == selectedIndex_) return;
    selectedIndex_ = index;
    TreeView()->InvalidateNode(this);
}

void TTreeNode::SetStateIndex(int index) {
    if (index == stateIndex_) return;
    stateIndex_ = index;
    TreeView()->UpdateItemState(this);
    TreeView()->NodesChanged();
}

void TTreeNode::SetExpanded(bool expanded) { TreeView()->ExpandNode(this, expanded); }

void TTreeNode::Expand(bool recurse) {
    TCustomTreeView* v = TreeView();
    v->ExpandNode(this, true);
    if (!recurse) return;
    for (TTreeNode* n : BranchOf(this))
        if (n != this && n->HasChildren()) v->ExpandNode(n, true);
}

void TTreeNode::Collapse(bool recurse) {
    TCustomTreeView* v = TreeView();
    v->ExpandNode(this, false);
    if (!recurse) return;
    for (TTreeNode* n : BranchOf(this))
        if (n != this && n->expanded_) v->ExpandNode(n, false);
}

void TTreeNode::SetHasChildren(bool value) {
    if (value == hasChildren_) return;
    hasChildren_ = value;
    TCustomTreeView* v = TreeView();
    if (!HasChildren() && expanded_) {
        expanded_ = false;
        v->UpdateItemState(this);
    }
    v->InvalidateNode(this);
}

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
    return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::IndexOf(const TTreeNode* child) const {
    return child != nullptr && child->parent_ == this ? child->index_ : -1;
}

TTreeNode* TTreeNode::GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
TTreeNode* TTreeNode::GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }

TTreeNode* TTreeNode::GetNextSibling() const {
    if (parent_ == nullptr) return nullptr;
    size_t next = static_cast<size_t>(index_) + 1;
    return next < parent_->children_.size() ? parent_->children_[next].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    if (parent_ == nullptr || index_ == 0) return nullptr;
    return parent_->children_[static_cast<size_t>(index_) - 1].get();
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front().get();
    for (const TTreeNode* n = this; n != nullptr && n->parent_ != nullptr; n = n->parent_)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent()) ++level;
    return level;
}

int TTreeNode::Index() const { return index_; }

int TTreeNode::AbsoluteIndex() const {
    int i = 0;
    for (TTreeNode* n = owner_->GetFirstNode(); n != nullptr; n = n->GetNext(), ++i)
        if (n == this) return i;
    return -1;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
    if (node == nullptr) return false;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (p == node) return true;
    return false;
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent())
        if (!p->expanded_) return false;
    return true;
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
    if (destination != nullptr && destination->owner_ != owner_)
        throw ETreeViewError("A node can only be moved inside its own tree");
    TTreeNode* root = owner_->Root();
    TTreeNode* newParent = nullptr;
    int index = 0;
    switch (mode) {
        case TNodeAttachMode::naAdd:
            newParent = destination != nullptr ? destination->parent_ : root;
            index = newParent->Count();
            break;
        case TNodeAttachMode::naAddFirst:
            newParent = destination != nullptr ? destination->parent_ : root;
            index = 0;
            break;
        case TNodeAttachMode::naAddChild:
            newParent = destination != nullptr ? destination : root;
            index = newParent->Count();
            break;
        case TNodeAttachMode::naAddChildFirst:
            newParent = destination != nullptr ? destination : root;
            index = 0;
            break;
        case TNodeAttachMode::naInsert:
            newParent = destination != nullptr ? destination->parent_ : root;
            index = destination != nullptr ? destination->index_ : newParent->Count();
            break;
    }
    if (newParent == this || newParent->HasAsParent(this))
        throw ETreeViewError("A node cannot be moved into its own sub-tree");
    TCustomTreeView* v = TreeView();
    if (v->IsEditing()) v->Perform(TVM_ENDEDITLABELNOW, TRUE, 0);
    std::vector<std::unique_ptr<TTreeNode>> holder;
    TTreeNode* oldParent = parent_;
    int oldIndex = index_;
    v->RemoveItems(this);
    v->Detach(this, holder);
    if (newParent == oldParent && index > oldIndex) --index;
    parent_ = newParent;
    if (v->SortType() == TSortType::stText || v->SortType() == TSortType::stBoth)
        index = v->PlaceInSortedOrder(newParent, this);
    index = std::clamp(index, 0, newParent->Count());
    newParent->children_.insert(newParent->children_.begin() + index, std::move(holder.back()));
    for (size_t i = static_cast<size_t>(index); i < newParent->children_.size(); ++i)
        newParent->children_[i]->index_ = static_cast<int>(i);
    if (newParent != root && newParent->Count() == 1) v->InvalidateNode(newParent);
    v->InsertItems(this);
    v->SyncSelection();
    v->NodesChanged();
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
    TCustomTreeView* v = TreeView();
    if (v->selected_ != nullptr && v->selected_->HasAsParent(this)) v->ChangeSelection(this, true);
    while (!children_.empty()) v->DeleteNode(children_.back().get());
}

bool TTreeNode::EditText() {
    TCustomTreeView* v = TreeView();
    if (!v->WindowReady() || item_ == nullptr) return false;
    if (v->CanFocus()) v->SetFocus();
    return v->Perform(TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(item_)) != 0;
}

void TTreeNode::EndEdit(bool cancel) {
    TCustomTreeView* v = TreeView();
    if (v->HandleAllocated()) v->Perform(TVM_ENDEDITLABELNOW, cancel ? TRUE : FALSE, 0);
}

bool TTreeNode::Selected() const { return TreeView()->selected_ == this; }

void TTreeNode::SetSelected(bool value) {
    TCustomTreeView* v = TreeView();
    if (value) v->SetSelected(this);
    else if (v->selected_ == this) v->SetSelected(nullptr);
}

bool TTreeNode::DropTarget() const { return TreeView()->dropTarget_ == this; }

void TTreeNode::SetDropTarget(bool value) {
    TCustomTreeView* v = TreeView();
    if (value) v->SetDropTarget(this);
    else if (v->dropTarget_ == this) v->SetDropTarget(nullptr);
}

void TTreeNode::MakeVisible() {
    TCustomTreeView* v = TreeView();
    std::vector<TTreeNode*> parents;
    for (TTreeNode* p = Parent(); p != nullptr; p = p->Parent()) parents.push_back(p);
    for (auto it = parents.rbegin(); it != parents.rend(); ++it) v->ExpandNode(*it, true);
    if (v->WindowReady() && item_ != nullptr) {
        TCustomTreeView::Mirroring m(v);
        v->Perform(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item_));
    }
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
    TCustomTreeView* v = TreeView();
    if (!v->WindowReady() || item_ == nullptr) return {};
    RECT r = ItemRectRequest(item_);
    if (!v->Perform(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(&r))) return {};
    return FromRECT(r);
}

bool TTreeNode::AlphaSort(bool recurse) {
    TCustomTreeView* v = TreeView();
    v->SortChildren(this, [v](TTreeNode* a, TTreeNode* b) { return v->CompareNodes(a, b); }, recurse);
    return true;
}

bool TTreeNode::CustomSort(const TTVCompare& compare, bool recurse) {
    TreeView()->SortChildren(this, compare, recurse);
    return true;
}

// ============================================================ TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : owner_(owner), root_(std::make_unique<TTreeNode>(this)) {
    root_->expanded_ = true;
}

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::Item(int index) const {
    if (index < 0 || index >= count_) throw EListError(Format("List index out of bounds (%d)", index));
    TTreeNode* n = GetFirstNode();
    while (index-- > 0) n = n->GetNext();
    return n;
}

TTreeNode* TTreeNodes::GetFirstNode() const { return root_->GetFirstChild(); }
int TTreeNodes::TopLevelCount() const { return root_->Count(); }
TTreeNode* TTreeNodes::TopLevelItem(int index) const { return root_->Item(index); }

TTreeNode* TTreeNodes::NewNode(TTreeNode* parent, int index, const std::string& s) {
    if (parent->owner_ != this) throw ETreeViewError("The node belongs to another tree");
    std::unique_ptr<TTreeNode> node = owner_->NodeFactory ? owner_->NodeFactory(this) : std::make_unique<TTreeNode>(this);
    if (!node || node->owner_ != this) throw ETreeViewError("The node factory made no node for this tree");
    TTreeNode* raw = node.get();
    raw->text_ = s;
    raw->parent_ = parent;
    TSortType st = owner_->SortType();
    if (st == TSortType::stText || st == TSortType::stBoth) index = owner_->PlaceInSortedOrder(parent, raw);
    index = std::clamp(index, 0, parent->Count());
    parent->children_.insert(parent->children_.begin() + index, std::move(node));
    for (size_t i = static_cast<size_t>(index); i < parent->children_.size(); ++i)
        parent->children_[i]->index_ = static_cast<int>(i);
    ++count_;
    owner_->NodeInserted(raw);
    return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& s) {
    TTreeNode* parent = sibling != nullptr ? sibling->parent_ : root_.get();
    return NewNode(parent, parent->Count(), s);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& s) {
    return NewNode(sibling != nullptr ? sibling->parent_ : root_.get(), 0, s);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& s) {
    TTreeNode* p = parent != nullptr ? parent : root_.get();
    return NewNode(p, p->Count(), s);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& s) {
    return NewNode(parent != nullptr ? parent : root_.get(), 0, s);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& s) {
    if (sibling == nullptr) return NewNode(root_.get(), root_->Count(), s);
    return NewNode(sibling->parent_, sibling->index_, s);
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (node == nullptr) return;
    if (node->owner_ != this || node == root_.get()) throw ETreeViewError("The node belongs to another tree");
    owner_->DeleteNode(node);
}

void TTreeNodes::Clear() { owner_->ClearNodes(); }

void TTreeNodes::BeginUpdate() {
    if (updateCount_++ == 0 && owner_->HandleAllocated()) owner_->Perform(WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    if (owner_->WindowReady()) {
        owner_->Perform(WM_SETREDRAW, TRUE, 0);
        owner_->Invalidate();
    }
}

}  // namespace treskel

// The tree view: the view side, which mirrors the node model (ComCtrlsTreeNodes)
// into SysTreeView32; its messages and notifications are turned into
// events in ComCtrlsTreeMessages.
//
// Every change starts in the model (the nodes and the view's selection);
// the window follows.  While the view changes its own window (`mirroring_`)
// the window's notifications are not events: a selection change is let
// through and put right afterwards, and an expansion is allowed only when
// it matches the model.  Outside of that, the notifications are the user's
// doing and become events that may refuse them.
#include <algorithm>
#include <cstring>

#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"
#include "platform/ControlsHooks.h"
#include "platform/UtilityWindow.h"
#include "platform/ComCtrlsTreePriv.h"

namespace treskel {

using namespace comctl;

namespace comctl {

void InitClasses() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    done = true;
}

}  // namespace comctl

namespace {

UINT StateImageMask(int index) { return index > 0 && index < 16 ? INDEXTOSTATEIMAGEMASK(index) : 0; }

// The procedure of the window a tree window reports to (see
// CreateWindowHandle), which no attachment stands in front of: it hands each
// notification to the view that sent it in the process, as the view's
// parent would.
LRESULT CALLBACK ReportProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    HWND from = nullptr;
    if (msg == WM_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(lParam);
        // The view keeps its nodes and what they own itself: the window's
        // deletion of an item, told once for each item as it is emptied or
        // destroyed, is nothing to it.
        if (nm->code == TVN_DELETEITEMA || nm->code == TVN_DELETEITEMW) return 0;
        from = nm->hwndFrom;
    } else if (msg == WM_CONTEXTMENU) {
        // A right click that was no click of the view's asks for its menu.
        from = reinterpret_cast<HWND>(wParam);
    } else {
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    try {
        if (TWinControl* view = TWinControl::FindControl(from))
            return view->Perform(msg == WM_NOTIFY ? CN_NOTIFY : msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException();
    }
    return 0;
}

}  // namespace

// ============================================================ TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TWinControl(owner),
      nodes_(std::make_unique<TTreeNodes>(this)),
      canvas_(std::make_unique<TControlCanvas>(this)) {
    // The system control tracks the left button itself: it reports clicks
    // (NM_CLICK) and drags (TVN_BEGINDRAG).
    SetControlStyle({TControlStyleItem::csDoubleClicks});
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    imageLink_.OnChange = [this](TObject* s) { ImageListChange(s); };
    stateImageLink_.OnChange = [this](TObject* s) { ImageListChange(s); };
}

TCustomTreeView::~TCustomTreeView() {
    // No events from here on: the program around the view may be half gone.
    ++mirroring_;
    DestroyHandle();
    selected_ = dropTarget_ = savedTopItem_ = pressedSelected_ = nullptr;
    nodes_->root_->children_.clear();
    nodes_->count_ = 0;
}

void TCustomTreeView::CreateParams(TCreateParams& p) {
    comctl::InitClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, WC_TREEVIEWA);
    p.Style |= TVS_NOTOOLTIPS;
    if (showButtons_) p.Style |= TVS_HASBUTTONS;
    if (showLines_) p.Style |= TVS_HASLINES;
    if (showRoot_) p.Style |= TVS_LINESATROOT;
    if (!readOnly_) p.Style |= TVS_EDITLABELS;
    if (!hideSelection_) p.Style |= TVS_SHOWSELALWAYS;
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    ClearItemIds(nodes_->Root());
    itemsPending_ = false;
    Perform(TVM_SETINDENT, static_cast<WPARAM>(indent_), 0);
    ApplyImages();
    ApplyColors();
    if (nodes_->Updating()) Perform(WM_SETREDRAW, FALSE, 0);
    for (TTreeNode* n = nodes_->GetFirstNode(); n != nullptr; n = n->GetNextSibling()) InsertItems(n);
    SyncSelection();
}

// The control sends its notifications for its whole life to the window it
// was made under, among them one for each item it deletes: every item when
// the nodes are cleared and when the window is destroyed.  Through a parent
// of ours each of those costs round trips to the window server (the
// system's subclass chain looks up its data for every message), many times
// what the control takes to delete the item.  So the window is made under
// a plain utility window, which hands notifications on in the process and
// answers deletions at once (ReportProc), and then moved under its parent.
void TCustomTreeView::CreateWindowHandle(const TCreateParams& params) {
    if (params.WndParent == nullptr || !(params.Style & WS_CHILD)) {
        TWinControl::CreateWindowHandle(params);
        return;
    }
    TCreateParams madeUnder = params;
    madeUnder.WndParent = PlainUtilityWindow(ReportProc);
    TWinControl::CreateWindowHandle(madeUnder);
    if (HandleAllocated()) ::SetParent(Handle(), params.WndParent);
}

void TCustomTreeView::DestroyWnd() {
    {
        Mirroring m(this);
        TWinControl::DestroyWnd();
    }
    ClearItemIds(nodes_->Root());
    itemsPending_ = false;
}

void TCustomTreeView::SaveStateBeforeRecreate() { savedTopItem_ = TopItem(); }

void TCustomTreeView::RestoreStateAfterRecreate() {
    if (savedTopItem_ != nullptr) SetTopItem(savedTopItem_);
    savedTopItem_ = nullptr;
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == images_) SetImages(nullptr);
    if (component == stateImages_) SetStateImages(nullptr);
}

// ------------------------------------------------------------ properties

void TCustomTreeView::SetImages(TCustomImageList* images) {
    if (images == images_) return;
    images_ = images;
    imageLink_.SetSender(images);
    if (images != nullptr) images->FreeNotification(this);
    ApplyImages();
}

void TCustomTreeView::SetStateImages(TCustomImageList* images) {
    if (images == stateImages_) return;
    stateImages_ = images;
    stateImageLink_.SetSender(images);
    if (images != nullptr) images->FreeNotification(this);
    ApplyImages();
    // Some tree controls lay out the items they hold for the state images
    // they had when the items came in, and again only when the size of the
    // item images changes: the new markers would not show (or their room
    // would stay), so the item images are taken away and given back.
    if (HandleAllocated() && images_ != nullptr && Perform(TVM_GETCOUNT, 0, 0) > 0) {
        Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
        Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_->Handle()));
    }
}

void TCustomTreeView::ImageListChange(TObject*) {
    ApplyImages();
    Invalidate();
}

void TCustomTreeView::ApplyImages() {
    if (!HandleAllocated()) return;
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_ != nullptr ? images_->Handle() : nullptr));
    Perform(TVM_SETIMAGELIST, TVSIL_STATE,
            reinterpret_cast<LPARAM>(stateImages_ != nullptr ? stateImages_->Handle() : nullptr));
}

void TCustomTreeView::ApplyColors() {
    if (!HandleAllocated()) return;
    Perform(TVM_SETBKCOLOR, 0, Color() == clWindow ? static_cast<LPARAM>(-1) : static_cast<LPARAM>(ColorToRGB(Color())));
    TColor text = Font()->Color();
    Perform(TVM_SETTEXTCOLOR, 0, text == clWindowText ? static_cast<LPARAM>(-1) : static_cast<LPARAM>(ColorToRGB(text)));
}

void TCustomTreeView::SetIndent(int indent) {
    if (indent == indent_) return;
    indent_ = indent;
    if (HandleAllocated()) Perform(TVM_SETINDENT, static_cast<WPARAM>(indent), 0);
}

void TCustomTreeView::ApplyStyle(DWORD bit, bool on) {
    if (!HandleAllocated()) return;
    LONG style = GetWindowLongA(Handle(), GWL_STYLE);
    LONG next = on ? (style | static_cast<LONG>(bit)) : (style & ~static_cast<LONG>(bit));
    if (next == style) return;
    SetWindowLongA(Handle(), GWL_STYLE, next);
    Invalidate();
}

void TCustomTreeView::SetReadOnly(bool v) {
    readOnly_ = v;
    ApplyStyle(TVS_EDITLABELS, !v);
}

void TCustomTreeView::SetHideSelection(bool v) {
    hideSelection_ = v;
    ApplyStyle(TVS_SHOWSELALWAYS, !v);
}

void TCustomTreeView::SetShowButtons(bool v) {
    showButtons_ = v;
    ApplyStyle(TVS_HASBUTTONS, v);
}

void TCustomTreeView::SetShowLines(bool v) {
    showLines_ = v;
    ApplyStyle(TVS_HASLINES, v);
}

void TCustomTreeView::SetShowRoot(bool v) {
    showRoot_ = v;
    ApplyStyle(TVS_LINESATROOT, v);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomTreeView::SetSortType(TSortType t) {
    if (t == sortType_) return;
    sortType_ = t;
    if (t != TSortType::stNone) AlphaSort(true);
}

// ------------------------------------------------------------ selection

void TCustomTreeView::SetSelected(TTreeNode* node) {
    if (node != nullptr && node->owner_ != nodes_.get()) throw ETreeViewError("The node belongs to another tree");
    ChangeSelection(node, false);
}

bool TCustomTreeView::ChangeSelection(TTreeNode* node, bool force) {
    if (node == selected_) return true;
    if (node != nullptr && node->deleting_) return false;
    NodeRef ref(node, node != nullptr ? &node->life_ : nullptr);
    bool allow = CanChange(node);
    if (!ref.Alive() || (!allow && !force)) return false;
    // Like the system control, show the new selection: its parents open.
    if (node != nullptr) {
        std::vector<TTreeNode*> parents;
        for (TTreeNode* p = node->Parent(); p != nullptr; p = p->Parent())
            if (!p->expanded_) parents.push_back(p);
        for (auto it = parents.rbegin(); it != parents.rend(); ++it) ExpandNode(*it, true);
        if (!ref.Alive()) return false;
    }
    if (node != selected_) pressedSelected_ = nullptr;
    selected_ = node;
    SyncSelection();
    Change(node);
    return true;
}

void TCustomTreeView::MoveSelectionOutOf(TTreeNode* node) {
    if (selected_ != nullptr && selected_->HasAsParent(node)) ChangeSelection(node, false);
}

void TCustomTreeView::SyncSelection() {
    if (!WindowReady()) return;
    if (selected_ != nullptr) EnsureItem(selected_);
    if (dropTarget_ != nullptr) EnsureItem(dropTarget_);
    Mirroring m(this);
    HTREEITEM want = selected_ != nullptr ? selected_->item_ : nullptr;
    if (reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_CARET, 0)) != want)
        Perform(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(want));
    HTREEITEM drop = dropTarget_ != nullptr ? dropTarget_->item_ : nullptr;
    if (reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)) != drop)
        Perform(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(drop));
}

void TCustomTreeView::SetDropTarget(TTreeNode* node) {
    if (node == dropTarget_) return;
    dropTarget_ = node;
    SyncSelection();
}

TTreeNode* TCustomTreeView::TopItem() {
    if (!WindowReady()) return nullptr;
    return NodeFromItem(reinterpret_cast<HTREEITEM>(Perform(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
    if (node == nullptr || !EnsureItem(node)) return;
    Mirroring m(this);
    Perform(TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(node->item_));
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) {
    if (item == nullptr || !HandleAllocated()) return nullptr;
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_PARAM;
    it.hItem = item;
    if (!Perform(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
    return reinterpret_cast<TTreeNode*>(it.lParam);
}

TTreeNode* TCustomTreeView::NodeOf(HTREEITEM item, LPARAM param, UINT mask) {
    if (item == nullptr) return nullptr;
    if (mask & TVIF_PARAM) return reinterpret_cast<TTreeNode*>(param);
    return NodeFromItem(item);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
    if (!WindowReady()) return nullptr;
    TVHITTESTINFO ht{};
    ht.pt = {x, y};
    HTREEITEM item = reinterpret_cast<HTREEITEM>(Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
    if (item == nullptr || !(ht.flags & (TVHT_ONITEM | TVHT_ONITEMBUTTON | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)))
        return nullptr;
    return NodeFromItem(item);
}

THitTests TCustomTreeView::GetHitTestInfoAt(int x, int y) {
    THitTests r;
    if (!WindowReady()) return r;
    TVHITTESTINFO ht{};
    ht.pt = {x, y};
    Perform(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    UINT f = ht.flags;
    if (f & TVHT_ABOVE) r += THitTest::htAbove;
    if (f & TVHT_BELOW) r += THitTest::htBelow;
    if (f & TVHT_NOWHERE) r += THitTest::htNowhere;
    if (f & TVHT_ONITEM) r += THitTest::htOnItem;
    if (f & TVHT_ONITEMBUTTON) r += THitTest::htOnButton;
    if (f & TVHT_ONITEMICON) r += THitTest::htOnIcon;
    if (f & TVHT_ONITEMINDENT) r += THitTest::htOnIndent;
    if (f & TVHT_ONITEMLABEL) r += THitTest::htOnLabel;
    if (f & TVHT_ONITEMRIGHT) r += THitTest::htOnRight;
    if (f & TVHT_ONITEMSTATEICON) r += THitTest::htOnStateIcon;
    if (f & TVHT_TOLEFT) r += THitTest::htToLeft;
    if (f & TVHT_TORIGHT) r += THitTest::htToRight;
    return r;
}

bool TCustomTreeView::IsEditing() {
    return HandleAllocated() && Perform(TVM_GETEDITCONTROL, 0, 0) != 0;
}

// ------------------------------------------------------------ expansion

bool TCustomTreeView::ExpandNode(TTreeNode* node, bool expand) {
    if (expand && !node->HasChildren()) return false;
    if (node->expanded_ == expand) return true;
    NodeRef ref(node, &node->life_);
    bool allow = expand ? CanExpand(node) : CanCollapse(node);
    if (!ref.Alive() || !allow) return false;
    if (!expand) {
        MoveSelectionOutOf(node);
        if (!ref.Alive()) return false;
    }
    node->expanded_ = expand;
    NodesChanged();
    // A node not in the window yet goes in open or closed as it is: while
    // a treskel loads, the nodes opened wait for the window with the rest.
    if (node->item_ != nullptr && WindowReady()) {
        if (expand) LoadChildren(node);
        Mirroring m(this);
        Perform(TVM_EXPAND, expand ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(node->item_));
    }
    if (!expand) SyncSelection();
    if (expand) Expand(node);
    else Collapse(node);
    return true;
}

void TCustomTreeView::FullExpand() {
    for (int i = 0; i < nodes_->TopLevelCount(); ++i) nodes_->TopLevelItem(i)->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (int i = 0; i < nodes_->TopLevelCount(); ++i) nodes_->TopLevelItem(i)->Collapse(true);
}

// ------------------------------------------------------------ structure

void TCustomTreeView::NodeInserted(TTreeNode* node) {
    TTreeNode* parent = node->parent_;
    NodesChanged();
    if (!HandleAllocated()) return;
    InsertItems(node);
    // A first child gives the parent its button.
    if (parent != nodes_->Root() && parent->Count() == 1) InvalidateNode(parent);
}

void TCustomTreeView::Detach(TTreeNode* node, std::vector<std::unique_ptr<TTreeNode>>& holder) {
    TTreeNode* parent = node->parent_;
    auto& siblings = parent->children_;
    size_t at = static_cast<size_t>(node->index_);
    holder.push_back(std::move(siblings[at]));
    siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(at));
    for (size_t i = at; i < siblings.size(); ++i) siblings[i]->index_ = static_cast<int>(i);
    node->parent_ = nullptr;
    node->index_ = 0;
    // A node without sub-items is not expanded, here as in the window.
    if (parent != nodes_->Root() && !parent->HasChildren() && parent->expanded_) {
        parent->expanded_ = false;
        UpdateItemState(parent);
    }
    if (parent != nodes_->Root() && parent->children_.empty()) InvalidateNode(parent);
}

void TCustomTreeView::DeleteNode(TTreeNode* node) {
    if (node->deleting_) return;
    std::vector<TTreeNode*> branch = BranchOf(node);
    for (TTreeNode* n : branch) n->deleting_ = true;
    auto inBranch = [node](TTreeNode* n) { return n != nullptr && (n == node || n->HasAsParent(node)); };
    // The selection leaves first, while the branch is whole: to the next
    // sibling, else the parent, else the previous sibling.
    TTreeNode* newSelection = nullptr;
    bool moveSelection = inBranch(selected_);
    if (moveSelection) {
        newSelection = node->GetNextSibling();
        if (newSelection == nullptr) newSelection = node->Parent();
        if (newSelection == nullptr) newSelection = node->GetPrevSibling();
        if (newSelection != nullptr) {
            CanChange(newSelection);
        }
        selected_ = newSelection;
        pressedSelected_ = nullptr;
        SyncSelection();
    }
    if (inBranch(dropTarget_)) dropTarget_ = nullptr;
    if (inBranch(savedTopItem_)) savedTopItem_ = nullptr;
    // Children before their parents.
    for (auto it = branch.rbegin(); it != branch.rend(); ++it) Delete(*it);
    RemoveItems(node);
    std::vector<std::unique_ptr<TTreeNode>> holder;
    if (node->parent_ != nullptr) Detach(node, holder);
    nodes_->count_ -= static_cast<int>(branch.size());
    holder.clear();
    NodesChanged();
    SyncSelection();
    if (moveSelection && newSelection != nullptr && selected_ == newSelection) Change(newSelection);
}

void TCustomTreeView::ClearNodes() {
    TTreeNode* root = nodes_->Root();
    if (root->children_.empty()) return;
    std::vector<TTreeNode*> all;
    ForEachBelow(root, [&all](TTreeNode* n) { all.push_back(n); });
    for (TTreeNode* n : all) n->deleting_ = true;
    selected_ = dropTarget_ = savedTopItem_ = pressedSelected_ = nullptr;
    for (auto it = all.rbegin(); it != all.rend(); ++it) Delete(*it);
    if (HandleAllocated()) {
        Mirroring m(this);
        Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    }
    itemsPending_ = false;
    std::vector<std::unique_ptr<TTreeNode>> doomed = std::move(root->children_);
    root->children_.clear();
    nodes_->count_ = 0;
    doomed.clear();
    NodesChanged();
}

// ------------------------------------------------------------ sorting

int TCustomTreeView::CompareNodes(TTreeNode* a, TTreeNode* b) {
    if (OnCompare) {
        int result = 0;
        OnCompare(this, a, b, result);
        return result;
    }
    const std::string& x = a->text_;
    const std::string& y = b->text_;
    return CompareStringA(LOCALE_USER_DEFAULT, 0, x.c_str(), static_cast<int>(x.size()), y.c_str(),
                          static_cast<int>(y.size())) -
           CSTR_EQUAL;
}

int TCustomTreeView::PlaceInSortedOrder(TTreeNode* parent, TTreeNode* node) const {
    auto* self = const_cast<TCustomTreeView*>(this);
    auto& c = parent->children_;
    auto it = std::upper_bound(c.begin(), c.end(), node, [self](TTreeNode* n, const std::unique_ptr<TTreeNode>& e) {
        return self->CompareNodes(n, e.get()) < 0;
    });
    return static_cast<int>(it - c.begin());
}

void TCustomTreeView::SortSiblingsOf(TTreeNode* node) {
    if (node->parent_ == nullptr) return;
    SortChildren(node->parent_, [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); }, false);
}

void TCustomTreeView::SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse) {
    std::vector<TTreeNode*> parents{parent};
    if (recurse) ForEachBelow(parent, [&parents](TTreeNode* n) {
        if (n->Count() > 1) parents.push_back(n);
    });
    for (TTreeNode* p : parents) {
        if (p->Count() < 2) continue;
        // Sort copies of the pointers: a comparison that throws leaves the
        // children as they were.
        std::vector<TTreeNode*> order;
        for (auto& c : p->children_) order.push_back(c.get());
        std::stable_sort(order.begin(), order.end(),
                         [&compare](TTreeNode* a, TTreeNode* b) { return compare(a, b) < 0; });
        for (auto& c : p->children_) (void)c.release();
        for (size_t i = 0; i < order.size(); ++i) {
            p->children_[i].reset(order[i]);
            order[i]->index_ = static_cast<int>(i);
            order[i]->sortKey_ = static_cast<int>(i);
        }
        if (WindowReady() && ChildrenInWindow(p)) {
            TVSORTCB sort{};
            sort.hParent = p == nodes_->Root() ? TVI_ROOT : p->item_;
            sort.lpfnCompare = CompareSortKeys;
            Mirroring m(this);
            Perform(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
        }
    }
    NodesChanged();
    Invalidate();
}

bool TCustomTreeView::AlphaSort(bool recurse) {
    SortChildren(nodes_->Root(), [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b); }, recurse);
    return true;
}

bool TCustomTreeView::CustomSort(const TTVCompare& compare, bool recurse) {
    SortChildren(nodes_->Root(), compare, recurse);
    return true;
}

int CALLBACK TCustomTreeView::CompareSortKeys(LPARAM a, LPARAM b, LPARAM) {
    // The model is sorted already; the window takes its order from it.
    int ka = reinterpret_cast<const TTreeNode*>(a)->sortKey_, kb = reinterpret_cast<const TTreeNode*>(b)->sortKey_;
    return ka < kb ? -1 : ka > kb ? 1 : 0;
}

// ------------------------------------------------------------ window mirroring

void TCustomTreeView::InsertItems(TTreeNode* node) {
    if (!HandleAllocated()) return;
    TTreeNode* parent = node->parent_;
    if (!ChildrenInWindow(parent)) return;
    if (nodes_->Updating()) {
        itemsPending_ = true;
        return;
    }
    InsertBranch(node, PlaceInWindow(node));
}

HTREEITEM TCustomTreeView::PlaceInWindow(const TTreeNode* node) const {
    // The control checks an item it is given against every item it holds:
    // "last" is named as such, so that a tree filled in order costs what
    // it costs the control.
    const auto& siblings = node->parent_->children_;
    bool last = true;
    for (size_t i = static_cast<size_t>(node->index_) + 1; last && i < siblings.size(); ++i)
        last = siblings[i]->item_ == nullptr;
    if (last) return TVI_LAST;
    if (node->index_ == 0) return TVI_FIRST;
    HTREEITEM after = siblings[static_cast<size_t>(node->index_) - 1]->item_;
    return after != nullptr ? after : TVI_LAST;
}

void TCustomTreeView::InsertBranch(TTreeNode* node, HTREEITEM after) {
    Mirroring m(this);
    // One insertion per node with everything it shows: its caption, its
    // state image, and its being open (set as a state, which the window
    // takes without sending the parent expansion notices).
    auto insert = [this](TTreeNode* n, HTREEITEM insertAfter) {
        TVINSERTSTRUCTA is{};
        is.hParent = n->parent_ == nodes_->Root() ? TVI_ROOT : n->parent_->item_;
        is.hInsertAfter = insertAfter;
        is.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
        is.item.pszText = const_cast<char*>(n->text_.c_str());
        is.item.iImage = I_IMAGECALLBACK;
        is.item.iSelectedImage = I_IMAGECALLBACK;
        is.item.cChildren = I_CHILDRENCALLBACK;
        is.item.lParam = reinterpret_cast<LPARAM>(n);
        bool open = n->expanded_ && n->HasChildren();
        is.item.state = StateImageMask(n->stateIndex_) | (open ? TVIS_EXPANDED : 0);
        is.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
        n->item_ = reinterpret_cast<HTREEITEM>(Perform(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
        if (n->item_ == nullptr) throw EOutOfResources("The tree view refused an item");
        // Only an open node's sub-items are shown, so only they are needed.
        n->childrenInWindow_ = n->expanded_;
    };
    insert(node, after);
    std::vector<TTreeNode*> open;
    if (node->childrenInWindow_) open.push_back(node);
    while (!open.empty()) {
        TTreeNode* p = open.back();
        open.pop_back();
        for (auto& c : p->children_) insert(c.get(), TVI_LAST);
        for (auto it = p->children_.rbegin(); it != p->children_.rend(); ++it)
            if ((*it)->childrenInWindow_) open.push_back(it->get());
    }
}

void TCustomTreeView::InsertPendingItems() {
    itemsPending_ = false;
    // Each waiting node goes after its previous sibling, which is in the
    // window by then.
    std::vector<TTreeNode*> parents{nodes_->Root()};
    while (!parents.empty()) {
        TTreeNode* p = parents.back();
        parents.pop_back();
        // Those after the last sibling in the window go in as "last" (see
        // PlaceInWindow).
        size_t end = p->children_.size();
        while (end > 0 && p->children_[end - 1]->item_ == nullptr) --end;
        HTREEITEM after = TVI_FIRST;
        for (size_t i = 0; i < p->children_.size(); ++i) {
            TTreeNode* c = p->children_[i].get();
            if (c->item_ == nullptr) InsertBranch(c, i >= end ? TVI_LAST : after);
            else if (c->childrenInWindow_) parents.push_back(c);
            after = c->item_;
        }
    }
}

bool TCustomTreeView::ChildrenInWindow(const TTreeNode* node) const {
    return node == nodes_->Root() || (node->item_ != nullptr && node->childrenInWindow_);
}

void TCustomTreeView::LoadChildren(TTreeNode* node) {
    if (node->item_ == nullptr || node->childrenInWindow_) return;
    node->childrenInWindow_ = true;
    for (auto& c : node->children_) InsertBranch(c.get(), TVI_LAST);
}

bool TCustomTreeView::EnsureItem(TTreeNode* node) {
    if (!WindowReady()) return false;
    if (node->item_ != nullptr) return true;
    // Down from the nearest parent in the window, each one's sub-items.
    std::vector<TTreeNode*> path;
    for (TTreeNode* p = node->parent_; p != nodes_->Root() && p->item_ == nullptr; p = p->parent_) path.push_back(p);
    TTreeNode* top = path.empty() ? node->parent_ : path.back()->parent_;
    if (top != nodes_->Root()) LoadChildren(top);
    for (auto it = path.rbegin(); it != path.rend(); ++it) LoadChildren(*it);
    return node->item_ != nullptr;
}

bool TCustomTreeView::WindowReady() {
    if (!HandleAllocated()) return false;
    if (itemsPending_) InsertPendingItems();
    return true;
}

void TCustomTreeView::RemoveItems(TTreeNode* node) {
    if (node->item_ == nullptr) return;
    if (HandleAllocated()) {
        Mirroring m(this);
        Perform(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->item_));
    }
    ClearItemIds(node);
}

void TCustomTreeView::ClearItemIds(TTreeNode* from) {
    from->item_ = nullptr;
    from->childrenInWindow_ = false;
    ForEachBelow(from, [](TTreeNode* n) {
        n->item_ = nullptr;
        n->childrenInWindow_ = false;
    });
}

void TCustomTreeView::UpdateItemText(TTreeNode* node) {
    if (node->item_ == nullptr || !HandleAllocated()) return;
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_TEXT;
    it.hItem = node->item_;
    it.pszText = const_cast<char*>(node->text_.c_str());
    Mirroring m(this);
    Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TCustomTreeView::UpdateItemState(TTreeNode* node) {
    if (node->item_ == nullptr || !HandleAllocated()) return;
    TVITEMA it{};
    it.mask = TVIF_HANDLE | TVIF_STATE;
    it.hItem = node->item_;
    it.state = StateImageMask(node->stateIndex_) | (node->expanded_ ? TVIS_EXPANDED : 0);
    it.stateMask = TVIS_STATEIMAGEMASK | TVIS_EXPANDED;
    Mirroring m(this);
    Perform(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TCustomTreeView::InvalidateNode(TTreeNode* node) {
    // During an update the whole window is drawn anew when it ends.
    if (inGetImage_ || nodes_->Updating() || node->item_ == nullptr || !HandleAllocated()) return;
    RECT r = ItemRectRequest(node->item_);
    if (Perform(TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(&r))) InvalidateRect(Handle(), &r, TRUE);
}

// ------------------------------------------------------------ events

bool TCustomTreeView::CanChange(TTreeNode* node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
    if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanEdit(TTreeNode* node) {
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* node, std::string& s) {
    if (OnEdited) OnEdited(this, node, s);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* node) {
    if (OnExpanded) OnExpanded(this, node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* node) {
    if (OnCollapsed) OnCollapsed(this, node);
}

void TCustomTreeView::Delete(TTreeNode* node) {
    if (OnDeletion) OnDeletion(this, node);
}

}  // namespace treskel

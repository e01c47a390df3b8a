// Common controls: the tree view with its nodes, the tab control, the tool
// bar with its buttons, and the status bar with its panels.
//
// Models stand apart from views: tree nodes, tabs, tool buttons and status
// panels are objects of their own that work without a window; the system
// control mirrors them while its window exists and gets them all back when
// its window is made again.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/ImgList.h"
#include "platform/StdCtrls.h"

// <windowsx.h> names two window macros like the node methods; include it
// before this header where both are needed.
#ifdef GetNextSibling
#undef GetNextSibling
#endif
#ifdef GetPrevSibling
#undef GetPrevSibling
#endif

namespace treskel {

class TPopupMenu;
class TCustomTreeView;
class TTreeNode;
class TTreeNodes;

TRESKEL_EXCEPTION(ETreeViewError, Exception);

// ============================================================ tree view

// Where MoveTo puts a node, relative to the destination: as its last or
// first sibling, as its last or first child, or just before it.
enum class TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

enum class TSortType { stNone, stData, stText, stBoth };
TRESKEL_ENUM_INFO(TSortType, "stNone", "stData", "stText", "stBoth")

enum class THitTest {
    htAbove, htBelow, htNowhere, htOnItem, htOnButton, htOnIcon, htOnIndent, htOnLabel, htOnRight, htOnStateIcon,
    htToLeft, htToRight
};
using THitTests = Set<THitTest>;

enum class TCustomDrawStateItem {
    cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = Set<TCustomDrawStateItem>;

// Compares two nodes for a sort: below zero, zero or above zero.
using TTVCompare = std::function<int(TTreeNode* Node1, TTreeNode* Node2)>;

using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int& Compare)>;
using TTVCustomDrawItemEvent =
    std::function<void(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState State, bool& DefaultDraw)>;

// One node of a tree: a plain object first, mirrored into the tree window
// while there is one.  Nodes are made by the TTreeNodes of a view and
// freed by it (Delete); a view's NodeFactory may make nodes of a class
// derived from this one.
class TTreeNode : public TPersistent {
    TRESKEL_CLASS(TTreeNode)
public:
    explicit TTreeNode(TTreeNodes* owner);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return owner_; }
    TCustomTreeView* TreeView() const;
    // The window's item, null while the view has no window.
    HTREEITEM ItemId() const { return item_; }

    std::string Text() const { return text_; }
    void SetText(const std::string& text);
    // A pointer the program hangs on the node; the node does not own it
    // (the view's OnDeletion is the place to free it).
    void* Data() const { return data_; }
    void SetData(void* data);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int index);
    // Image `StateIndex` of the view's StateImages; 0 and -1 show none
    // (the system never draws state image 0).
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int index);

    // Expanded is this node only and needs HasChildren; the view's
    // OnExpanding/OnCollapsing may refuse it.
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool expanded);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // True with sub-items, or when set to show an expand button without
    // any.
    bool HasChildren() const { return hasChildren_ || !children_.empty(); }
    void SetHasChildren(bool value);

    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const;
    int IndexOf(const TTreeNode* child) const;
    TTreeNode* GetFirstChild() const;
    TTreeNode* GetLastChild() const;
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node in depth-first pre-order (what the tree shows when
    // every node is expanded).
    TTreeNode* GetNext() const;
    int Level() const;
    int Index() const;
    int AbsoluteIndex() const;
    // True when `node` is this node's parent at any depth.
    bool HasAsParent(const TTreeNode* node) const;
    // All parents expanded.
    bool IsVisible() const;

    // Moves this node with its sub-items; raises ETreeViewError when the
    // destination lies in its own sub-tree or in another tree.
    void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
    // Frees this node with its sub-items.
    void Delete();
    void DeleteChildren();
    bool Deleting() const { return deleting_; }

    // In-place editing of the caption (needs the window).
    bool EditText();
    void EndEdit(bool cancel);

    bool Selected() const;
    void SetSelected(bool value);
    // The caret node of this single-selection tree: the selected one.
    bool Focused() const { return Selected(); }
    void SetFocused(bool value) { SetSelected(value); }
    bool DropTarget() const;
    void SetDropTarget(bool value);
    // Expands the parents and scrolls the node into view.
    void MakeVisible();
    // The node's row (or its caption only) in the view's client area; an
    // empty rectangle while it is not shown.
    TRect DisplayRect(bool textOnly) const;

    bool AlphaSort(bool recurse = false);
    bool CustomSort(const TTVCompare& compare, bool recurse = false);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;

    TTreeNodes* owner_;
    TTreeNode* parent_ = nullptr;  // the hidden root above top-level nodes
    std::vector<std::unique_ptr<TTreeNode>> children_;
    std::string text_;
    void* data_ = nullptr;
    int imageIndex_ = -1;
    int selectedIndex_ = -1;
    int stateIndex_ = -1;
    bool expanded_ = false;
    // The window holds this node's sub-items (those of a closed node join
    // it when it opens, or when one of them is needed there).
    bool childrenInWindow_ = false;
    bool hasChildren_ = false;
    bool deleting_ = false;
    HTREEITEM item_ = nullptr;
    int index_ = 0;    // place among the siblings, kept current
    int sortKey_ = 0;
    // Expires with the node: events check that a node outlived a handler.
    std::shared_ptr<const char> life_ = std::make_shared<const char>('\0');
};

// The nodes of a view.
class TTreeNodes : public TPersistent {
    TRESKEL_CLASS(TTreeNodes)
public:
    explicit TTreeNodes(TCustomTreeView* owner);
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return owner_; }
    // All nodes at every level.
    int Count() const { return count_; }
    // The node at an absolute (pre-order) index.
    TTreeNode* Item(int index) const;
    TTreeNode* GetFirstNode() const;
    int TopLevelCount() const;
    TTreeNode* TopLevelItem(int index) const;

    // A new node with caption `s`: Add as the last sibling of `sibling`,
    // AddFirst as its first sibling (both at the top level when `sibling`
    // is null), AddChild and AddChildFirst as the last or first child of
    // `parent` (top level when null), Insert just before `sibling` (last
    // at the top level when null).  A sorted view puts the node in order.
    TTreeNode* Add(TTreeNode* sibling, const std::string& s);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& s);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& s);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& s);
    TTreeNode* Insert(TTreeNode* sibling, const std::string& s);

    void Delete(TTreeNode* node);
    // Frees every node; the selection becomes none without OnChanging or
    // OnChange, and OnDeletion is told of each node.
    void Clear();

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return updateCount_ > 0; }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* Root() const { return root_.get(); }
    TTreeNode* NewNode(TTreeNode* parent, int index, const std::string& s);

    TCustomTreeView* owner_;
    std::unique_ptr<TTreeNode> root_;
    int count_ = 0;
    int updateCount_ = 0;
};

class TCustomTreeView : public TWinControl {
    TRESKEL_CLASS(TCustomTreeView)
public:
    explicit TCustomTreeView(TComponent* owner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() { return nodes_.get(); }
    TCanvas* Canvas() { return canvas_.get(); }

    TTreeNode* Selected() const { return selected_; }
    // Fires OnChanging (which may refuse) and OnChange; the parents of the
    // node are expanded first.
    void SetSelected(TTreeNode* node);
    TTreeNode* DropTarget() const { return dropTarget_; }
    void SetDropTarget(TTreeNode* node);
    // The first row shown (needs the window).
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* node);
    TTreeNode* GetNodeAt(int x, int y);
    THitTests GetHitTestInfoAt(int x, int y);
    bool IsEditing();

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    TCustomImageList* StateImages() const { return stateImages_; }
    void SetStateImages(TCustomImageList* images);
    int Indent() const { return indent_; }
    void SetIndent(int indent);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    bool RightClickSelect() const { return rightClickSelect_; }
    void SetRightClickSelect(bool v) { rightClickSelect_ = v; }
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool v);
    bool ShowLines() const { return showLines_; }
    void SetShowLines(bool v);
    bool ShowRoot() const { return showRoot_; }
    void SetShowRoot(bool v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TSortType SortType() const { return sortType_; }
    void SetSortType(TSortType t);

    void FullExpand();
    void FullCollapse();
    // Sorts the top level (and every level below when `recurse`): by
    // OnCompare when it is set, else by caption with the system's
    // locale-aware, case-sensitive comparison.
    bool AlphaSort(bool recurse = true);
    bool CustomSort(const TTVCompare& compare, bool recurse = true);

    // Makes the nodes: null makes plain TTreeNode objects.
    std::function<std::unique_ptr<TTreeNode>(TTreeNodes* owner)> NodeFactory;

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVCustomDrawItemEvent OnCustomDrawItem;
    TTVCompareEvent OnCompare;
    TTVExpandedEvent OnDeletion;
    // Asked before a node is drawn; may set the node's ImageIndex.
    TTVExpandedEvent OnGetImageIndex;
    // After any change to what the nodes hold (not the selection): a
    // caption, data, an image, a state image, a node opened or closed,
    // added, deleted, moved or sorted.  Called often while a tree is
    // filled: a handler does little.
    TNotifyEvent OnNodesChange;

    void WndProc(TMessage& message) override;
    void DragOver(TObject* source, int x, int y, TDragState state, bool& accept) override;
    void DragDrop(TObject* source, int x, int y) override;
    // While an item is dragged: the picture of its image and caption.
    TDragImageList* GetDragImages() override { return dragImages_.get(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void CreateWindowHandle(const TCreateParams& params) override;
    void DestroyWnd() override;
    void SaveStateBeforeRecreate() override;
    void RestoreStateAfterRecreate() override;
    void Notification(TComponent* component, TOperation operation) override;
    void DoEndDrag(TObject* target, int x, int y) override;

    virtual bool CanChange(TTreeNode* node);
    virtual void Change(TTreeNode* node);
    virtual bool CanEdit(TTreeNode* node);
    virtual void Edit(TTreeNode* node, std::string& s);
    virtual bool CanExpand(TTreeNode* node);
    virtual void Expand(TTreeNode* node);
    virtual bool CanCollapse(TTreeNode* node);
    virtual void Collapse(TTreeNode* node);
    virtual void Delete(TTreeNode* node);
    virtual int CompareNodes(TTreeNode* a, TTreeNode* b);

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    struct Mirroring;

    LRESULT Notify(NMHDR* nm);
    LRESULT CustomDraw(NMTVCUSTOMDRAW* cd);
    // The notifications' handlers.
    TTreeNode* NewItemNode(const NMTREEVIEWA* tv);
    LRESULT SelectionChanging(NMTREEVIEWA* tv);
    void SelectionChanged(NMTREEVIEWA* tv);
    LRESULT ItemExpanding(NMTREEVIEWA* tv);
    void ItemExpanded(NMTREEVIEWA* tv);
    void EndLabelEdit(NMHDR* nm);
    // A caption typed with letters the code page lacks is refused; the
    // edit opens again with it as typed, once the user was told.
    bool RefuseEditedText(TTreeNode* node);
    void ReopenRefusedEdit();
    void GetDispInfo(NMTVDISPINFOA* di);
    void BeginNodeDrag(NMTREEVIEWA* tv);
    std::unique_ptr<TDragImageList> MakeDragImages(TTreeNode* node, TPoint pressed);
    TTreeNode* NodeFromItem(HTREEITEM item);
    TTreeNode* NodeOf(HTREEITEM item, LPARAM param, UINT mask);

    void NodesChanged() {
        if (OnNodesChange) OnNodesChange(this);
    }
    // Model operations that fire events and mirror into the window.
    bool ChangeSelection(TTreeNode* node, bool force);
    bool ExpandNode(TTreeNode* node, bool expand);
    void MoveSelectionOutOf(TTreeNode* node);
    void NodeInserted(TTreeNode* node);
    void DeleteNode(TTreeNode* node);
    void ClearNodes();
    void SortChildren(TTreeNode* parent, const TTVCompare& compare, bool recurse);
    static int CALLBACK CompareSortKeys(LPARAM a, LPARAM b, LPARAM);
    void SortSiblingsOf(TTreeNode* node);
    int PlaceInSortedOrder(TTreeNode* parent, TTreeNode* node) const;
    void Detach(TTreeNode* node, std::vector<std::unique_ptr<TTreeNode>>& holder);

    // Window mirroring.  The window holds the top nodes and the sub-items
    // of every node it holds open, each put in with all it shows in one
    // insertion; the sub-items of a closed node join when it opens or when
    // one of them is needed there.  While the nodes are updated, new nodes
    // wait and go in together when the update ends (or when the window is
    // asked about them first).
    void InsertItems(TTreeNode* node);
    // Inserts `node` after `after`, with the sub-items of every open node
    // from it down.
    void InsertBranch(TTreeNode* node, HTREEITEM after);
    // Where `node` goes among its siblings in the window.
    HTREEITEM PlaceInWindow(const TTreeNode* node) const;
    void InsertPendingItems();
    bool ChildrenInWindow(const TTreeNode* node) const;
    // Puts the sub-items of `node` (which is in the window) into it.
    void LoadChildren(TTreeNode* node);
    // Puts `node` into the window, with the sub-items of its parents;
    // false without a window.
    bool EnsureItem(TTreeNode* node);
    // Has the window, with every node that waited.
    bool WindowReady();
    void RemoveItems(TTreeNode* node);
    void ClearItemIds(TTreeNode* from);
    void UpdateItemText(TTreeNode* node);
    void UpdateItemState(TTreeNode* node);
    void InvalidateNode(TTreeNode* node);
    void SyncSelection();
    void ApplyStyle(DWORD bit, bool on);
    void ApplyImages();
    void ApplyColors();
    void ImageListChange(TObject* sender);

    std::unique_ptr<TTreeNodes> nodes_;
    std::unique_ptr<TCanvas> canvas_;
    TTreeNode* selected_ = nullptr;
    TTreeNode* dropTarget_ = nullptr;
    std::unique_ptr<TDragImageList> dragImages_;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* stateImages_ = nullptr;
    TChangeLink imageLink_;
    TChangeLink stateImageLink_;
    int indent_ = 19;
    bool readOnly_ = false;
    bool hideSelection_ = true;
    bool rightClickSelect_ = false;
    bool showButtons_ = true;
    bool showLines_ = true;
    bool showRoot_ = true;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TSortType sortType_ = TSortType::stNone;
    int mirroring_ = 0;          // our own window changes: notifications follow the model
    bool itemsPending_ = false;  // nodes made during an update wait for the window
    bool inGetImage_ = false;
    bool editing_ = false;
    int inLeftButton_ = 0;
    bool clickPending_ = false;
    int inTimer_ = 0;
    TTreeNode* pressedSelected_ = nullptr;  // the selected item, pressed again: a rename to come
    struct RefusedEdit {
        TTreeNode* node;
        std::weak_ptr<const char> life;
        std::wstring text;
    };
    std::unique_ptr<RefusedEdit> refusedEdit_;
    TPoint rightClickAt_;
    TTreeNode* savedTopItem_ = nullptr;
    GdiHandle<HFONT> itemFont_;
    LOGFONTA itemLogFont_{};
};

class TTreeView : public TCustomTreeView {
    TRESKEL_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// ============================================================ tab control

class TTabControl;

// The tabs of a tab control: their captions, mirrored into the window.
class TTabStrings : public TStrings {
    TRESKEL_CLASS(TTabStrings)
public:
    explicit TTabStrings(TTabControl* control) : control_(control) {}
    int Count() const override { return static_cast<int>(tabs_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool updating) override;

private:
    friend class TTabControl;
    void CheckIndex(int index) const;
    TTabControl* control_;
    std::vector<std::string> tabs_;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TTabControl : public TWinControl {
    TRESKEL_CLASS(TTabControl)
public:
    explicit TTabControl(TComponent* owner);
    ~TTabControl() override;

    TStrings* Tabs() { return tabs_.get(); }
    void SetTabs(TStrings* tabs) { tabs_->Assign(tabs); }
    // The current tab, -1 for none.  Setting it fires no events; the user's
    // choice of a tab fires OnChanging (which may refuse) and OnChange.
    // The first tab added to an empty control becomes the current one.
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int index);
    bool HotTrack() const { return hotTrack_; }
    void SetHotTrack(bool v);
    // The part of the client area inside the tabs' frame, where the
    // controls placed on it are aligned.
    TRect DisplayRect();
    int IndexOfTabAt(int x, int y);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void AdjustClientRect(TRect& rect) override;
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TTabStrings;
    void TabInserted(int index);
    void TabDeleted(int index);
    void TabsCleared();
    void TabTextChanged(int index);
    void SyncCurSel();

    std::unique_ptr<TTabStrings> tabs_;
    int tabIndex_ = -1;
    bool hotTrack_ = false;
    bool updatingTabs_ = false;
};

// ============================================================ tool bar

class TToolBar;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
TRESKEL_ENUM_INFO(TToolButtonStyle, "tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider")

// A button of a tool bar, drawn by the bar's own code.  A check button
// toggles Down on each click before its action or OnClick runs; grouped
// check buttons next to each other hold at most one down (none only with
// AllowAllUp).
class TToolButton : public TGraphicControl {
    TRESKEL_CLASS(TToolButton)
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;

    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle style);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool Down() const { return down_; }
    void SetDown(bool down);
    bool Grouped() const { return grouped_; }
    void SetGrouped(bool v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
    void SetDropdownMenu(TPopupMenu* menu);
    TToolBar* ToolBar() const;
    // Its place among the bar's buttons and controls, -1 off a bar.
    int Index() const;
    // Shows the drop-down menu under the button; false when it has none.
    bool CheckMenuDropdown();

    void Click() override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    void WndProc(TMessage& message) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TToolBar;
    bool IsSeparator() const { return style_ == TToolButtonStyle::tbsSeparator || style_ == TToolButtonStyle::tbsDivider; }
    bool InArrow(int x) const;
    void UpdateGroup();
    std::vector<TToolButton*> GroupMembers();

    TToolButtonStyle style_ = TToolButtonStyle::tbsButton;
    int imageIndex_ = -1;
    bool down_ = false;
    bool grouped_ = false;
    bool allowAllUp_ = false;
    TPopupMenu* dropdownMenu_ = nullptr;
    bool hot_ = false;
    bool pressed_ = false;   // the left button went down on it
    bool inside_ = false;    // ... and the pointer is over it
    bool dropping_ = false;  // its menu is down
    bool suppressClick_ = false;
    int actionImageIndex_ = -1;   // what the action last said
    bool actionChecked_ = false;
};

// A bar of buttons and controls laid out from left to right in the order
// of their Left, all as high as the buttons.  A Wrapable bar goes on in a
// new row where the next button or control would pass its right edge; an
// AutoSize bar is as high as its rows.
class TToolBar : public TCustomControl {
    TRESKEL_CLASS(TToolBar)
public:
    explicit TToolBar(TComponent* owner);
    ~TToolBar() override;

    int ButtonCount() const;
    TToolButton* Buttons(int index) const;
    // Buttons, separators and controls in their order on the bar.
    int ItemCount() const { return static_cast<int>(order_.size()); }
    TControl* Items(int index) const { return order_.at(static_cast<size_t>(index)); }

    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int v);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int v);
    int Indent() const { return indent_; }
    void SetIndent(int v);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    bool Wrapable() const { return wrapable_; }
    void SetWrapable(bool v);
    // How many rows the buttons and controls take.
    int RowCount() const { return rowCount_; }
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* list);
    TCustomImageList* DisabledImages() const { return disabledImages_; }
    void SetDisabledImages(TCustomImageList* list);
    TCustomImageList* HotImages() const { return hotImages_; }
    void SetHotImages(TCustomImageList* list);

    // The size every button gets (captions make it larger).
    TSize ButtonSize();

    void WndProc(TMessage& message) override;
    void Loaded() override;
    void SetBounds(int left, int top, int width, int height) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void AlignControls(TControl* control, TRect& rect) override;
    void Notification(TComponent* component, TOperation operation) override;
    // With AutoSize the bar is as high as its rows.
    void AdjustSize() override { Arrange(); }

private:
    friend class TToolButton;
    // Where a visible button or control goes: its row and its left.
    struct RowItem {
        TControl* control;
        int x, row, width;
    };
    void Arrange();
    static int ItemWidth(TControl* c, const TSize& buttonSize);
    std::vector<RowItem> PlanRows(int clientWidth, const TSize& buttonSize) const;
    static int RowsHeight(const std::vector<RowItem>& plan, const TSize& buttonSize);
    void ImagesChanged(TObject*);
    void SetList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* list);

    std::vector<TControl*> order_;
    int buttonWidth_ = 23;
    int buttonHeight_ = 22;
    int indent_ = 0;
    bool flat_ = false;
    bool showCaptions_ = false;
    bool wrapable_ = true;
    int rowCount_ = 1;
    TCustomImageList* images_ = nullptr;
    TCustomImageList* disabledImages_ = nullptr;
    TCustomImageList* hotImages_ = nullptr;
    TChangeLink imagesLink_, disabledLink_, hotLink_;
    bool arranging_ = false;
};

// ============================================================ status bar

class TStatusBar;

enum class TStatusPanelStyle { psText, psOwnerDraw };
TRESKEL_ENUM_INFO(TStatusPanelStyle, "psText", "psOwnerDraw")
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
TRESKEL_ENUM_INFO(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised")

class TStatusPanel : public TCollectionItem {
    TRESKEL_CLASS(TStatusPanel)
public:
    explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
    int Width() const { return width_; }
    void SetWidth(int v);
    std::string Text() const { return text_; }
    void SetText(const std::string& v);
    TStatusPanelStyle Style() const { return style_; }
    void SetStyle(TStatusPanelStyle v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    TStatusPanelBevel Bevel() const { return bevel_; }
    void SetBevel(TStatusPanelBevel v);
    void Assign(TPersistent* source) override;

private:
    int width_ = 50;
    std::string text_;
    TStatusPanelStyle style_ = TStatusPanelStyle::psText;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
};

class TStatusPanels : public TCollection {
    TRESKEL_CLASS(TStatusPanels)
public:
    explicit TStatusPanels(TStatusBar* bar);
    TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
    TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
    TStatusBar* StatusBar() const { return bar_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TStatusBar* bar_;
};

using TDrawPanelEvent = std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

// Panels are as wide as their Width, side by side; the last one reaches to
// the bar's right edge.
class TStatusBar : public TWinControl {
    TRESKEL_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    TStatusPanels* Panels() { return panels_.get(); }
    void SetPanels(TStatusPanels* panels) { panels_->Assign(panels); }
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    std::string SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::string& s);
    TCanvas* Canvas() { return canvas_.get(); }

    TDrawPanelEvent OnDrawPanel;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    friend class TStatusPanels;
    void UpdatePanels();
    void UpdatePanel(int index);

    std::unique_ptr<TStatusPanels> panels_;
    std::unique_ptr<TCanvas> canvas_;
    bool simplePanel_ = false;
    std::string simpleText_;
};

// ============================================================ progress bar

// A bar that fills from 0 to Max as Position grows, over msctls_progress32.
class TProgressBar : public TWinControl {
    TRESKEL_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* owner);

    int Max() const { return max_; }
    // A Position past the new Max comes back to it.
    void SetMax(int v);
    int Position() const { return position_; }
    // Held to 0..Max.
    void SetPosition(int v);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;

private:
    int max_ = 100;
    int position_ = 0;
};

void RegisterComCtrlClasses();

}  // namespace treskel

// Events of the main window's tree: the note follows the selection, captions
// are edited in place, items are drawn by their colour and style, and items
// are moved with their sub-items by drag and drop.
#include <vector>

#include "app/frmMain.h"

namespace treskel {

namespace {

constexpr const char* kMovingLocked =
    "The item that you are trying to move, or one of its sub-items\n"
    "is locked.  It must be unlocked before it can be moved.";
constexpr const char* kTargetLocked = "The item that you are trying to move to is locked.";

// ExpColButton's images for an expanded and a collapsed item.
constexpr int kImgExpanded = 5;
constexpr int kImgCollapsed = 9;


// What an item drag carries.  The tree shows its drag cursor over a place
// that takes the item, and the picture of the item follows the pointer.
class TItemDragObject : public TDragObject {
public:
    explicit TItemDragObject(TControl* tree) : tree_(tree) {}
    TCursor GetDragCursor(bool accepted, int, int) override { return accepted ? tree_->DragCursor() : crNoDrop; }
    TDragImageList* GetDragImages() override { return tree_->GetDragImages(); }

private:
    TControl* tree_;
};

bool IsLinkNode(TTreeNode* node) {
    TItemData* r = AsItem(node)->Data();
    return r != nullptr && r->IsLink != 0;
}

bool IsLockedNode(TTreeNode* node) {
    TItemData* r = AsItem(node)->Data();
    return r != nullptr && r->Locked != 0;
}

// A node with sub-items shows the parent image of its kind.
void MarkAsParent(TTreeNode* node) { AsItem(node)->SetImageIndex(IsLinkNode(node) ? ImgLinkParent : ImgParent); }

// The same item in a new place: the record, and the node's compression
// marker, which is written back into the record at the next save.
void MoveItem(TTreeNode* from, TTreeNode* to) {
    AsItem(to)->SetData(AsItem(from)->TakeData());
    to->SetStateIndex(from->StateIndex());
}

// Re-creates the sub-items of `from`, in order and at every depth, under
// `to` (CopySubTree for each of them).  Without recursion: a deep branch
// must not exhaust the stack.
void CopySubItems(TTreeNodes* items, TTreeNode* from, TTreeNode* to) {
    struct Frame {
        TTreeNode* from;
        TTreeNode* to;
        int next;
    };
    std::vector<Frame> stack{{from, to, 0}};
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.from->Count()) {
            if (stack.size() > 1) top.to->SetExpanded(top.from->Expanded());
            stack.pop_back();
            continue;
        }
        TTreeNode* source = top.from->Item(top.next++);
        TTreeNode* parent = top.to;
        TTreeNode* copy = items->AddChild(parent, source->Text());
        MoveItem(source, copy);
        MarkAsParent(parent);
        if (source->Count() == 0) AsItem(copy)->SetImageIndex(source->ImageIndex());
        stack.push_back({source, copy, 0});  // `top` is not used from here on
    }
}

}  // namespace

bool TfrmTreskel::SaveLeavingNote() {
    if (!NoteModified) return true;
    TTreeNode* node = TreeView->Selected();
    if (node == nullptr || node->Deleting()) {
        // The item is going (or gone) with its note file: its pending
        // change must not be written, least of all under another item.
        NoteModified = false;
        return true;
    }
    try {
        SaveItemNote(node);
    } catch (const Exception& e) {
        // The typed text stays in the editor, still to be saved.
        ReportSaveFailure(NoteName(node), e.Message(), false);
        return false;
    }
    NoteModified = false;
    return true;
}

// ------------------------------------------------------------ selection

void TfrmTreskel::TreeViewChanging(TObject*, TTreeNode*, bool& AllowChange) {
    if (!SaveLeavingNote()) AllowChange = false;
}

void TfrmTreskel::TreeViewChange(TObject*, TTreeNode* Node) {
    // The item style bar follows every change of the selection, whatever
    // made it (keys, a search, a removal, a tab): a button showing another
    // item's style would toggle this one's the wrong way.
    ShowItemStyle(Node);
    if (Node == nullptr || TreeView->Items()->Count() == 0) return;
    // An item is chosen: what needs one is ready, whatever left it grey
    // (showing a locked item's note disables the note panel again).
    EnableByTag(TagNeedsItem);
    GotoLinkOrigin1->SetEnabled(IsLinkNode(Node));
    if (Node->Count() > 0) {
        ExpColButton->SetEnabled(true);
        ExpColButton->SetImageIndex(Node->Expanded() ? kImgExpanded : kImgCollapsed);
    } else {
        ExpColButton->SetImageIndex(kImgCollapsed);
        ExpColButton->SetEnabled(false);
    }
    ShowItemNote(Node);
    ShowCaretPosition();
}

void TfrmTreskel::TreeViewKeyUp(TObject*, WORD& Key, TShiftState) {
    if (Key != VK_LEFT && Key != VK_UP && Key != VK_RIGHT && Key != VK_DOWN) return;
    // The key's move showed the note already; read again, it would come
    // back as it is (a large note takes as long again).
    if (ShowsStoredNoteOf(TreeView->Selected())) return;
    // The note is read again from its file: what was typed is saved first.
    if (!SaveLeavingNote()) return;
    ShowItemNote(TreeView->Selected());
}

// ------------------------------------------------------------ editing and expansion

void TfrmTreskel::TreeViewEditing(TObject*, TTreeNode* Node, bool& AllowEdit) {
    // A link's caption follows its origin's.
    if (IsLockedNode(Node) || IsLinkNode(Node)) AllowEdit = false;
}

void TfrmTreskel::TreeViewEdited(TObject*, TTreeNode* Node, std::string& S) {
    RenameLinks(ItemTree(), AsItem(Node), S);
    // The status line names the item whose note is shown: the selection,
    // or the origin of a selected link.
    TItemData* shown = ItemData(TreeView->Selected());
    TItemData* edited = ItemData(Node);
    if (shown != nullptr && edited != nullptr && shown->Id == edited->Id) StatusBar->Panels()->Items(0)->SetText(S);
}

void TfrmTreskel::TreeViewExpanding(TObject*, TTreeNode* Node, bool& AllowExpansion) {
    if (IsLockedNode(Node)) AllowExpansion = false;
}

void TfrmTreskel::TreeViewKeyDown(TObject*, WORD& Key, TShiftState) {
    if (Key == VK_RETURN) {
        if (REdit->Visible()) {
            if (REdit->CanFocus()) REdit->SetFocus();
        } else {
            // The note is hidden because the item is locked: ask for the
            // password.
            LockItem->Execute();
        }
    } else if (Key == VK_F2) {
        if (TTreeNode* node = TreeView->Selected()) node->EditText();
    }
}

void TfrmTreskel::TreeViewEnter(TObject*) {
    if (TreeView->Items()->Count() > 0)
        EnableByTag(TagNeedsItem);
    else
        DisableByTag(TagNeedsItem);
}

void TfrmTreskel::ToolBar1Enter(TObject*) {
    if (TreeView->CanFocus()) TreeView->SetFocus();
}

// ------------------------------------------------------------ drawing and item style

void TfrmTreskel::TreeViewCustomDrawItem(TCustomTreeView* Sender, TTreeNode* Node, TCustomDrawState, bool&) {
    TItemData* r = ItemData(Node);
    if (r == nullptr) return;
    TFont* font = Sender->Canvas()->Font();
    font->SetColor(r->ColourIndex < ColorTable.size() ? ColorTable[r->ColourIndex] : clBlack);
    TFontStyles style;
    if (r->Style & 1) style += TFontStyle::fsBold;
    if (r->Style & 2) style += TFontStyle::fsItalic;
    if (r->Style & 4) style += TFontStyle::fsUnderline;
    if (r->Style & 8) style += TFontStyle::fsStrikeOut;
    font->SetStyle(style);
}

void TfrmTreskel::TreeViewClick(TObject*) { ShowItemStyle(TreeView->Selected()); }

void TfrmTreskel::ShowItemStyle(TTreeNode* node) {
    TItemData* r = ItemData(node);
    if (r == nullptr) {
        // No item: nothing the bar could show or change.
        ColorCombo->SetItemIndex(-1);
        for (TToolButton* b : {ToolButton14, ToolButton19, ToolButton20, ToolButton22}) b->SetDown(false);
        return;
    }
    ColorCombo->SetItemIndex(r->ColourIndex < ColorCombo->Items()->Count() ? r->ColourIndex : -1);
    ToolBar3->SetEnabled(true);
    for (TToolButton* b : {ToolButton14, ToolButton19, ToolButton20, ToolButton22}) {
        b->SetEnabled(true);
        b->SetDown(b->Tag() >= 0 && b->Tag() < 8 && (r->Style & (1 << b->Tag())) != 0);
    }
}

void TfrmTreskel::StyleChange(TObject* Sender) {
    auto* button = dynamic_cast<TComponent*>(Sender);
    TItemData* r = ItemData(TreeView->Selected());
    if (button == nullptr || r == nullptr || button->Tag() < 0 || button->Tag() > 3) return;
    r->Style = static_cast<uint8_t>(r->Style ^ (1 << button->Tag()));
    TreeView->Invalidate();
    TreeChanged();
}

void TfrmTreskel::ColorComboChange(TObject*) {
    TItemData* r = ItemData(TreeView->Selected());
    int index = ColorCombo->ItemIndex();
    // No entry chosen is no colour.
    if (r == nullptr || index < 0 || index > 255) return;
    r->ColourIndex = static_cast<uint8_t>(index);
    TreeView->Invalidate();
    TreeChanged();
}

void TfrmTreskel::FontSizeComboEnter(TObject*) { FontSizeCombo->SetFontName(TreeView->Font()->Name()); }

void TfrmTreskel::FontSizeComboChange(TObject*) {
    TItemData* r = ItemData(TreeView->Selected());
    int size = FontSizeCombo->GetFontSize();
    // The record holds a size in one byte; anything else is no size.
    if (r == nullptr || size < 1 || size > 255) return;
    r->FontSize = static_cast<uint8_t>(size);
    TreeChanged();
}

// ------------------------------------------------------------ drag and drop

void TfrmTreskel::TreeViewStartDrag(TObject*, TDragObject*& dragObject) {
    dragObjectOwner_ = std::make_unique<TItemDragObject>(TreeView);
    DragObject = dragObjectOwner_.get();
    if (TreeView->Items()->Count() == 0) return;
    // The view has begun the drag when it asks for the object: the
    // control's own drag detection is the threshold.
    TreeView->SetDragCursor(crLineDrag);
    dragObject = DragObject;
}

void TfrmTreskel::TreeViewDragOver(TObject*, TObject* Source, int X, int Y, TDragState State, bool& Accept) {
    Accept = dynamic_cast<TDragObject*>(Source) != nullptr;
    if (!Accept || State == TDragState::dsDragLeave || !TreeView->HandleAllocated()) return;
    TTreeNode* node = TreeView->GetNodeAt(X, Y);
    if (node == nullptr) return;
    TRect r = node->DisplayRect(true);
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    auto* drag = dynamic_cast<TDragObject*>(Source);
    drag->HideDragImage();
    {
        WindowDC dc(TreeView->Handle());
        FrameRect(dc.Get(), &rc, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    drag->ShowDragImage();
}

void TfrmTreskel::TreeViewDragDrop(TObject*, TObject* Source, int X, int Y) {
    if (dynamic_cast<TDragObject*>(Source) == nullptr) return;
    TTreeNode* moving = TreeView->Selected();
    if (moving == nullptr) return;
    TTreeNode* target = TreeView->GetNodeAt(X, Y);
    if (target == moving) return;
    if (CheckLocked(AsItem(moving))) {
        ShowError(kMovingLocked);
        return;
    }
    if (target != nullptr) {
        if (target->HasAsParent(moving)) return;
        if (target->ImageIndex() == ImgLocked) {
            ShowError(kTargetLocked);
            return;
        }
    }
    // The note is saved under the record, which moves with the item; an
    // item whose note cannot be saved stays where it is.
    if (!SaveLeavingNote()) return;

    TTreeNodes* items = TreeView->Items();
    TTreeNode* moved = target != nullptr ? items->AddChildFirst(target, moving->Text()) : items->Add(nullptr, moving->Text());
    MoveItem(moving, moved);
    if (target != nullptr) {
        target->Expand(false);
        MarkAsParent(target);
    }
    if (moving->Count() > 0) {
        CopySubItems(items, moving, moved);
        MarkAsParent(moved);
        moved->SetExpanded(moving->Expanded());
    } else {
        AsItem(moved)->SetImageIndex(moving->ImageIndex());
    }
    TTreeNode* parent = moving->Parent();
    // A locked parent (its sub-item was reached by a search) keeps its lock
    // image: the commands that refuse locked items go by it.
    if (parent != nullptr && parent->Count() == 1 && parent->ImageIndex() != ImgLocked)
        AsItem(parent)->SetImageIndex(IsLinkNode(parent) ? ImgLink : ImgItem);
    // Selecting the moved item first spares showing the note of whichever
    // item the deletion would select on the way.
    TreeView->SetSelected(moved);
    items->Delete(moving);
}

// ------------------------------------------------------------ scroll buttons

void TfrmTreskel::SpeedUpClick(TObject*) { SendMessageA(TreeView->Handle(), WM_VSCROLL, SB_PAGEUP, 0); }

void TfrmTreskel::SpeedDownClick(TObject*) { SendMessageA(TreeView->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0); }

// While an item is dragged over them the buttons scroll the tree line by
// line, so that a drop can reach any item.
void TfrmTreskel::SpeedUpDragOver(TObject*, TObject* Source, int, int, TDragState, bool&) {
    if (dynamic_cast<TDragObject*>(Source) != nullptr) SendMessageA(TreeView->Handle(), WM_VSCROLL, SB_LINEUP, 0);
}

void TfrmTreskel::SpeedDownDragOver(TObject*, TObject* Source, int, int, TDragState, bool&) {
    if (dynamic_cast<TDragObject*>(Source) != nullptr) SendMessageA(TreeView->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
}

void TfrmTreskel::Panel4Resize(TObject*) { SpeedUp->SetBounds(0, 0, Panel4->ClientWidth(), Panel4->ClientHeight()); }

void TfrmTreskel::Panel5Resize(TObject*) { SpeedDown->SetBounds(0, 0, Panel5->ClientWidth(), Panel5->ClientHeight()); }

// ------------------------------------------------------------ tree font

void TfrmTreskel::FontClick(TObject*) {
    // The dialog is shared with the editor's default font and opens with
    // the font last chosen in it.
    if (!FontDialog->Execute()) return;
    TreeView->Font()->Assign(FontDialog->Font());
    IniCtrl->WriteFont("common", "tree", TreeView->Font());
}

}  // namespace treskel

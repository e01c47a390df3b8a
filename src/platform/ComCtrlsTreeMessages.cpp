// The tree view's messages: the window's notifications turned into events,
// the drag of a node with its picture, custom drawing and dropping.
#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"
#include "platform/ComCtrlsTreePriv.h"
#include "platform/Dialogs.h"

namespace treskel {

using namespace comctl;

namespace {

constexpr UINT kExpandActionMask = 0x0003;  // TVE_COLLAPSE, TVE_EXPAND, TVE_TOGGLE
// Posted to the tree once its edit box of a refused caption is gone.
constexpr UINT kReopenRefusedEdit = CM_BASE + 0x180;

int XOf(LPARAM l) { return static_cast<short>(LOWORD(l)); }
int YOf(LPARAM l) { return static_cast<short>(HIWORD(l)); }

TCustomDrawState DrawState(UINT s) {
    TCustomDrawState r;
    if (s & CDIS_SELECTED) r += TCustomDrawStateItem::cdsSelected;
    if (s & CDIS_GRAYED) r += TCustomDrawStateItem::cdsGrayed;
    if (s & CDIS_DISABLED) r += TCustomDrawStateItem::cdsDisabled;
    if (s & CDIS_CHECKED) r += TCustomDrawStateItem::cdsChecked;
    if (s & CDIS_FOCUS) r += TCustomDrawStateItem::cdsFocused;
    if (s & CDIS_DEFAULT) r += TCustomDrawStateItem::cdsDefault;
    if (s & CDIS_HOT) r += TCustomDrawStateItem::cdsHot;
    if (s & CDIS_MARKED) r += TCustomDrawStateItem::cdsMarked;
    if (s & CDIS_INDETERMINATE) r += TCustomDrawStateItem::cdsIndeterminate;
    return r;
}

std::string Narrow(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return std::string();
    std::string s(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, s.data(), n, nullptr, nullptr);
    return s;
}

}  // namespace

// ------------------------------------------------------------ messages

void TCustomTreeView::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_NOTIFY:
            m.Result = Notify(reinterpret_cast<NMHDR*>(m.LParam));
            return;
        case WM_LBUTTONDOWN:
            // The control tracks the press itself: it reports a click with
            // NM_CLICK and a drag with TVN_BEGINDRAG, where an automatic
            // drag begins.
            MouseDown(TMouseButton::mbLeft, KeysToShiftState(static_cast<WORD>(m.WParam)), XOf(m.LParam),
                      YOf(m.LParam));
            // A press on the item already selected asks the control to
            // rename it once the double-click time has passed.
            pressedSelected_ = selected_;
            if (GetNodeAt(XOf(m.LParam), YOf(m.LParam)) != selected_) pressedSelected_ = nullptr;
            clickPending_ = false;
            {
                Handling press(inLeftButton_);
                DefaultHandler(m);
            }
            // After a drag the control keeps the dragged item as its drop
            // target; the model has none.
            if (HandleAllocated()) SyncSelection();
            if (clickPending_ && inLeftButton_ == 0) {
                clickPending_ = false;
                Click();
            }
            return;
        case WM_TIMER: {
            Handling timer(inTimer_);
            DefaultHandler(m);
            return;
        }
        case WM_KILLFOCUS:
            // The rename a press asked for is for the user at the tree.
            pressedSelected_ = nullptr;
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // The system control has no menu keys of its own.
            if (!IsEditing() && (m.WParam == VK_APPS || (m.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0))) {
                SendMessageA(Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Handle()), -1);
                return;
            }
            break;
        case WM_CONTEXTMENU:
            // From the keyboard the menu pops up at the selected item.
            if (m.LParam == -1 && selected_ != nullptr && HandleAllocated()) {
                TRect r = selected_->DisplayRect(true);
                TPoint at = ClientToScreen({r.Left, r.Bottom});
                m.LParam = MAKELPARAM(at.x, at.y);
            }
            break;
        case WM_RBUTTONDOWN:
            // The control reports the click (NM_RCLICK) without the place.
            rightClickAt_ = {XOf(m.LParam), YOf(m.LParam)};
            break;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN:
            // A caption being edited takes every key: no shortcuts, no
            // dialog keys.
            if (IsEditing()) {
                m.Result = 0;
                return;
            }
            break;
        case WM_DESTROY: {
            Mirroring guard(this);
            TWinControl::WndProc(m);
            ClearItemIds(nodes_->Root());
            return;
        }
        case CM_COLORCHANGED:
        case CM_FONTCHANGED:
            TWinControl::WndProc(m);
            ApplyColors();
            return;
        case kReopenRefusedEdit:
            ReopenRefusedEdit();
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

LRESULT TCustomTreeView::Notify(NMHDR* nm) {
    switch (nm->code) {
        case NM_CUSTOMDRAW: return CustomDraw(reinterpret_cast<NMTVCUSTOMDRAW*>(nm));
        case NM_CLICK:
            // The control may report the click before it moves the
            // selection: inside a press, the click waits for its end.
            if (inLeftButton_ > 0) clickPending_ = true;
            else Click();
            return 0;
        case NM_RCLICK:
            if (rightClickSelect_)
                if (TTreeNode* node = GetNodeAt(rightClickAt_.x, rightClickAt_.y)) ChangeSelection(node, false);
            return 0;
        case TVN_SELCHANGINGA:
        case TVN_SELCHANGINGW: return SelectionChanging(reinterpret_cast<NMTREEVIEWA*>(nm));
        case TVN_SELCHANGEDA:
        case TVN_SELCHANGEDW: SelectionChanged(reinterpret_cast<NMTREEVIEWA*>(nm)); return 0;
        case TVN_ITEMEXPANDINGA:
        case TVN_ITEMEXPANDINGW: return ItemExpanding(reinterpret_cast<NMTREEVIEWA*>(nm));
        case TVN_ITEMEXPANDEDA:
        case TVN_ITEMEXPANDEDW: ItemExpanded(reinterpret_cast<NMTREEVIEWA*>(nm)); return 0;
        case TVN_BEGINLABELEDITA:
        case TVN_BEGINLABELEDITW: {
            auto* di = reinterpret_cast<NMTVDISPINFOA*>(nm);
            TTreeNode* node = NodeOf(di->item.hItem, di->item.lParam, di->item.mask);
            // The control's delayed rename takes whatever is selected when its
            // time comes: only the item pressed, still selected, with the
            // focus still in the tree, is renamed then.
            const bool delayed = inTimer_ > 0;
            const bool asked = !delayed || (node != nullptr && node == pressedSelected_ && GetFocus() == Handle());
            pressedSelected_ = nullptr;
            editing_ = asked && node != nullptr && !readOnly_ && CanEdit(node);
            return editing_ ? FALSE : TRUE;
        }
        case TVN_ENDLABELEDITA:
        case TVN_ENDLABELEDITW: EndLabelEdit(nm); return FALSE;
        case TVN_GETDISPINFOA:
        case TVN_GETDISPINFOW: GetDispInfo(reinterpret_cast<NMTVDISPINFOA*>(nm)); return 0;
        case TVN_BEGINDRAGA:
        case TVN_BEGINDRAGW: BeginNodeDrag(reinterpret_cast<NMTREEVIEWA*>(nm)); return 0;
        default: return 0;
    }
}

TTreeNode* TCustomTreeView::NewItemNode(const NMTREEVIEWA* tv) {
    return NodeOf(tv->itemNew.hItem, tv->itemNew.lParam, tv->itemNew.mask);
}

LRESULT TCustomTreeView::SelectionChanging(NMTREEVIEWA* tv) {
    if (mirroring_ > 0) return FALSE;
    return CanChange(NewItemNode(tv)) ? FALSE : TRUE;
}

void TCustomTreeView::SelectionChanged(NMTREEVIEWA* tv) {
    if (mirroring_ > 0) return;
    TTreeNode* node = NewItemNode(tv);
    if (node == selected_) return;
    pressedSelected_ = nullptr;
    selected_ = node;
    Change(node);
}

LRESULT TCustomTreeView::ItemExpanding(NMTREEVIEWA* tv) {
    TTreeNode* node = NewItemNode(tv);
    if (node == nullptr) return FALSE;
    UINT action = tv->action & kExpandActionMask;
    bool expand = action == TVE_EXPAND || (action == TVE_TOGGLE && !node->expanded_);
    if (mirroring_ > 0) return expand == node->expanded_ ? FALSE : TRUE;
    if (expand == node->expanded_) return FALSE;
    NodeRef ref(node, &node->life_);
    if (!(expand ? CanExpand(node) : CanCollapse(node)) || !ref.Alive()) return TRUE;
    node->expanded_ = expand;
    NodesChanged();
    // The sub-items join the window before it opens the node.
    if (expand) LoadChildren(node);
    return FALSE;
}

void TCustomTreeView::ItemExpanded(NMTREEVIEWA* tv) {
    if (mirroring_ > 0) return;
    TTreeNode* node = NewItemNode(tv);
    if (node == nullptr) return;
    if (node->expanded_) Expand(node);
    else Collapse(node);
}

// The text is set from the model; the control must never set it itself.
void TCustomTreeView::EndLabelEdit(NMHDR* nm) {
    // One end per edit: the control may report the end again while its edit
    // box goes (the box loses the focus).
    if (!editing_) return;
    editing_ = false;
    auto* di = reinterpret_cast<NMTVDISPINFOA*>(nm);
    TTreeNode* node = NodeOf(di->item.hItem, di->item.lParam, di->item.mask);
    if (node == nullptr || di->item.pszText == nullptr) return;  // cancelled
    if (RefuseEditedText(node)) return;
    std::string s = nm->code == TVN_ENDLABELEDITW ? Narrow(reinterpret_cast<NMTVDISPINFOW*>(nm)->item.pszText)
                                                  : std::string(di->item.pszText);
    NodeRef ref(node, &node->life_);
    Edit(node, s);
    if (ref.Alive()) node->SetText(s);
}

// The edit box, still there while its end is reported, holds the caption
// as typed; the notice carries it narrowed, with look-alikes and '?' for
// the letters the code page lacks.
bool TCustomTreeView::RefuseEditedText(TTreeNode* node) {
    HWND box = reinterpret_cast<HWND>(SendMessageA(Handle(), TVM_GETEDITCONTROL, 0, 0));
    if (box == nullptr) return false;
    std::wstring typed = WindowTextW(box);
    if (FirstLetterOutsideCodePage(typed) == std::wstring::npos) return false;
    // Told once the box is gone: a message box now would take the focus
    // from it, which ends an edit again.
    refusedEdit_ = std::make_unique<RefusedEdit>(RefusedEdit{node, node->life_, std::move(typed)});
    PostMessageA(Handle(), kReopenRefusedEdit, 0, 0);
    return true;
}

void TCustomTreeView::ReopenRefusedEdit() {
    std::unique_ptr<RefusedEdit> refused = std::move(refusedEdit_);
    if (!refused || refused->life.expired() || !HandleAllocated() || IsEditing()) return;
    RefuseLettersOutsideCodePage(refused->text);
    if (refused->life.expired() || !refused->node->EditText()) return;
    HWND box = reinterpret_cast<HWND>(SendMessageA(Handle(), TVM_GETEDITCONTROL, 0, 0));
    if (box == nullptr) return;
    SetWindowTextW(box, refused->text.c_str());
    const auto first = static_cast<WPARAM>(FirstLetterOutsideCodePage(refused->text));
    SendMessageW(box, EM_SETSEL, first, static_cast<LPARAM>(first + 1));
}

void TCustomTreeView::GetDispInfo(NMTVDISPINFOA* di) {
    auto* node = reinterpret_cast<TTreeNode*>(di->item.lParam);
    if (node == nullptr) node = NodeFromItem(di->item.hItem);
    if (node == nullptr) return;
    if ((di->item.mask & TVIF_IMAGE) && OnGetImageIndex) {
        inGetImage_ = true;
        try {
            OnGetImageIndex(this, node);
        } catch (...) {
            inGetImage_ = false;
            throw;
        }
        inGetImage_ = false;
    }
    if (di->item.mask & TVIF_IMAGE) di->item.iImage = node->imageIndex_;
    if (di->item.mask & TVIF_SELECTEDIMAGE) di->item.iSelectedImage = node->selectedIndex_;
    if (di->item.mask & TVIF_CHILDREN) di->item.cChildren = node->HasChildren() ? 1 : 0;
}

void TCustomTreeView::BeginNodeDrag(NMTREEVIEWA* tv) {
    if (DragMode() != TDragMode::dmAutomatic) return;
    TTreeNode* node = NewItemNode(tv);
    // The dragged node is the selection: leaving the old one is a selection
    // change like any other, which may refuse.
    if (node == nullptr || !ChangeSelection(node, false) || selected_ != node) return;
    // The picture of the item follows the pointer, held where the item
    // was pressed.
    dragImages_ = MakeDragImages(node, TPoint{tv->ptDrag.x, tv->ptDrag.y});
    struct FreeImages {
        std::unique_ptr<TDragImageList>& images;
        ~FreeImages() { images.reset(); }
    } freeImages{dragImages_};
    BeginDrag(true);
}

// The item's image and caption as the tree shows them; the tree's
// background around them is left out of the picture.
std::unique_ptr<TDragImageList> TCustomTreeView::MakeDragImages(TTreeNode* node, TPoint pressed) {
    const TRect text = node->DisplayRect(true);
    const bool image = images_ != nullptr && node->ImageIndex() >= 0 && node->ImageIndex() < images_->Count();
    // The caption's rectangle begins where the image ends.
    const int imageWidth = image ? images_->Width() : 0;
    const int height = std::max(text.Height(), image ? images_->Height() : 0);
    if (text.Width() <= 0 || height <= 0) return nullptr;
    TBitmap picture;
    picture.SetSize(imageWidth + text.Width(), height);
    TCanvas* c = picture.Canvas();
    const TColor background = Color();
    c->Brush()->SetColor(background);
    c->FillRect(Rect(0, 0, picture.Width(), height));
    if (image) images_->Draw(c, 0, (height - images_->Height()) / 2, node->ImageIndex());
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    const int captionTop = (height - text.Height()) / 2;
    RECT cell{imageWidth, captionTop, imageWidth + text.Width(), captionTop + text.Height()};
    DrawTextA(c->Handle(), node->Text().c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    auto images = std::make_unique<TDragImageList>(nullptr);
    images->SetSize(picture.Width(), height);
    images->AddMasked(&picture, background);
    images->SetDragImage(0, pressed.x - (text.Left - imageWidth), pressed.y - (text.Top - captionTop));
    return images;
}

LRESULT TCustomTreeView::CustomDraw(NMTVCUSTOMDRAW* cd) {
    switch (cd->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return OnCustomDrawItem ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
        case CDDS_ITEMPREPAINT: {
            auto* node = reinterpret_cast<TTreeNode*>(cd->nmcd.lItemlParam);
            if (node == nullptr || !OnCustomDrawItem) return CDRF_DODEFAULT;
            TCanvas* c = canvas_.get();
            static_cast<TControlCanvas*>(c)->FreeHandle();
            c->Font()->Assign(Font());
            c->Font()->SetColor(static_cast<TColor>(cd->clrText & 0x00FFFFFF));
            bool defaultDraw = true;
            {
                CanvasDCScope lent(c, cd->nmcd.hdc);
                OnCustomDrawItem(this, node, DrawState(cd->nmcd.uItemState), defaultDraw);
            }
            if (!defaultDraw) return CDRF_SKIPDEFAULT;
            // The item is drawn with the canvas's font; keep the font alive
            // until the next item (the control puts its own back after each).
            LOGFONTA lf = c->Font()->ToLogFont();
            if (!itemFont_ || std::memcmp(&lf, &itemLogFont_, sizeof lf) != 0) {
                itemFont_.Reset(CreateFontIndirectA(&lf));
                itemLogFont_ = lf;
            }
            SelectObject(cd->nmcd.hdc, itemFont_.Get());
            cd->clrText = ColorToRGB(c->Font()->Color());
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

// ------------------------------------------------------------ drag and drop

void TCustomTreeView::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    // Highlight first and paint it, so that what a handler draws over the
    // target stays on top.
    if (state == TDragState::dsDragLeave || !OnDragOver) {
        SetDropTarget(nullptr);
    } else {
        SetDropTarget(GetNodeAt(x, y));
        Update();
    }
    TWinControl::DragOver(source, x, y, state, accept);
    if (!accept) SetDropTarget(nullptr);
}

void TCustomTreeView::DragDrop(TObject* source, int x, int y) {
    SetDropTarget(nullptr);
    TWinControl::DragDrop(source, x, y);
}

void TCustomTreeView::DoEndDrag(TObject* target, int x, int y) {
    SetDropTarget(nullptr);
    TWinControl::DoEndDrag(target, x, y);
}


}  // namespace treskel

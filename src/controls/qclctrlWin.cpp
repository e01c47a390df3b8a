#include "controls/qclctrlWin.h"

#include <vector>

#include "platform/Handles.h"

namespace treskel {

// ---------------------------------------------------------------- image link

TQclImageLink::TQclImageLink(TComponent* owner, std::function<void()> changed)
    : owner_(owner), changed_(std::move(changed)) {
    // A list that is being torn down may still report item changes.
    link_.OnChange = [this](TObject*) {
        if (list_ == nullptr || !list_->ComponentState().Contains(TComponentStateItem::csDestroying)) changed_();
    };
}

TQclImageLink::~TQclImageLink() {
    if (list_ != nullptr) list_->UnRegisterChanges(&link_);
}

void TQclImageLink::SetList(TQclCustomImageList* list) {
    if (list == list_) return;
    if (list_ != nullptr) list_->UnRegisterChanges(&link_);
    list_ = list;
    if (list_ != nullptr) {
        list_->RegisterChanges(&link_);
        list_->FreeNotification(owner_);
    }
    changed_();
}

void TQclImageLink::SetIndex(int which, int value) {
    int& field = which == 0 ? imageIndex_ : listIndex_;
    if (value < 0 || value == field) return;
    field = value;
    if (list_ != nullptr) changed_();
}

bool TQclImageLink::HasImage() const { return list_ != nullptr && list_->IsValid(listIndex_, imageIndex_); }

void TQclImageLink::Removed(TComponent* component) {
    if (component == list_) {
        list_ = nullptr;  // it unregisters its links as it goes
        changed_();
    }
}

// ---------------------------------------------------------------- container component

TQclContainerComponent::TQclContainerComponent(TComponent* owner)
    : TQclComponent(owner), link_(this, [this] { LinkChanged(nullptr); }) {}

void TQclContainerComponent::Notification(TComponent* component, TOperation operation) {
    TQclComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) link_.Removed(component);
}

bool QclParentOffersBackground(TControl* control) {
    auto* parent = dynamic_cast<TQclCustomControl*>(control->Parent());
    return parent != nullptr && parent->HandleAllocated() && parent->BackgroundAvailable();
}

TRect QclWindowBounds(TWinControl* control) {
    if (!control->HandleAllocated()) return control->BoundsRect();
    RECT r;
    GetWindowRect(control->Handle(), &r);
    MapWindowPoints(nullptr, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

unsigned QclBiDiFlags(TControl* control) { return control->UseRightToLeftReading() ? DT_RTLREADING : 0; }

void QclSetOpaque(TControl* control, bool opaque) {
    TControlStyle s = control->ControlStyle();
    if (opaque) s.Include(TControlStyleItem::csOpaque);
    else s.Exclude(TControlStyleItem::csOpaque);
    control->SetControlStyle(s);
}

// ---------------------------------------------------------------- windowless base

TQclBaseControl::TQclBaseControl(TComponent* owner)
    : TGraphicControl(owner), link_(this, [this] { LinkChanged(nullptr); }) {}

void TQclBaseControl::SetBounds(int left, int top, int width, int height) {
    TRect before = BoundsRect();
    TGraphicControl::SetBounds(left, top, width, height);
    uint8_t changes = QclBoundsChanges(before, BoundsRect());
    if (changes != 0 && !Loading()) BoundsChange(changes);
}

void TQclBaseControl::BoundsChange(uint8_t changes) {
    if (OnBoundsChange) OnBoundsChange(this, changes);
}

void TQclBaseControl::ObjectChanged(TObject*) {
    if (!Loading()) Invalidate();
}

void TQclBaseControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TQclBaseControl::MouseExit() {
    if (OnMouseExit) OnMouseExit(this);
}

void TQclBaseControl::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove) link_.Removed(component);
}

void TQclBaseControl::DrawDesignFrame(bool dashed) {
    TCanvas* c = Canvas();
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(dashed ? TPenStyle::psDash : TPenStyle::psSolid);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Rectangle(0, 0, Width(), Height());
}

void TQclBaseControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            TGraphicControl::WndProc(m);
            MouseEnter();
            return;
        case CM_MOUSELEAVE:
            TGraphicControl::WndProc(m);
            MouseExit();
            return;
        case CM_QCLBACKCHANGED:
            if (!Loading() && IsTransparentActive()) ObjectChanged(nullptr);
            return;
        default:
            TGraphicControl::WndProc(m);
    }
}

// ---------------------------------------------------------------- transparent windowless base

TQclBaseGraphicControl::TQclBaseGraphicControl(TComponent* owner) : TQclBaseControl(owner) {
    TControlStyle s = ControlStyle();
    s.Exclude(TControlStyleItem::csOpaque);
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 30, 30);
}

void TQclBaseGraphicControl::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    QclSetOpaque(this, !v);
    Perform(CM_QCLTRANSPARENTCHANGED);
}

bool TQclBaseGraphicControl::IsTransparentActive() { return transparent_ && QclParentOffersBackground(this); }

void TQclBaseGraphicControl::RefreshNow() {
    if (transparent_ || Designing() || Parent() == nullptr || !Parent()->HandleAllocated() || !Visible()) {
        Invalidate();
        return;
    }
    // Opaque: paint at once on the control's canvas, without an erase.
    Perform(WM_PAINT);
}

void TQclBaseGraphicControl::ObjectChanged(TObject*) {
    if (!Loading()) RefreshNow();
}

void TQclBaseGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == CM_QCLTRANSPARENTCHANGED) {
        RefreshNow();
        return;
    }
    TQclBaseControl::WndProc(m);
}

void TQclBaseGraphicControl::Paint() {
    if (Designing()) DrawDesignFrame(true);
}

// ---------------------------------------------------------------- bevelled windowless base

TQclGraphicControl::TQclGraphicControl(TComponent* owner)
    : TQclBaseGraphicControl(owner), bevel_(std::make_unique<TQclBevel>()) {
    bevel_->OnChange = [this](TObject* s) { ObjectChanged(s); };
}

TQclGraphicControl::~TQclGraphicControl() { bevel_->OnChange = nullptr; }

void TQclGraphicControl::SetBevel(TQclBevel* v) {
    bevel_->Assign(v);
    Perform(CM_QCLBEVELCHANGED);
}

void TQclGraphicControl::Paint() {
    if (Loading()) return;
    if (GetEmpty() && bevel_->TotalWidth() == 0) {
        TQclBaseGraphicControl::Paint();
        return;
    }
    TRect inner;
    bevel_->PaintBevel(Canvas(), ClientRect(), Transparent(), inner);
}

// ---------------------------------------------------------------- windowed base

TQclCustomControl::TQclCustomControl(TComponent* owner)
    : TCustomControl(owner), link_(this, [this] { LinkChanged(nullptr); }) {
    SetBounds(Left(), Top(), 100, 40);
    SetTabStop(false);
}

void TQclCustomControl::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    QclSetOpaque(this, !v);
    if (HandleAllocated()) RecreateWnd();
}

void TQclCustomControl::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.Style |= WS_CLIPCHILDREN;
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TQclCustomControl::Paint() {
    if (Loading()) return;
    DrawBackground();
    if (!Designing()) DrawFlatBorder();
    else if (NeedsDesignFrame()) {
        TCanvas* c = Canvas();
        c->Pen()->SetColor(clBlack);
        c->Pen()->SetStyle(TPenStyle::psSolid);
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Rectangle(0, 0, Width(), Height());
    }
}

void TQclCustomControl::DrawBackground() {
    if (IsTransparentActive() && DrawParentBackground(Canvas(), ClientRect(), 0, Point(Left(), Top()))) return;
    Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TQclCustomControl::FillBackgroundRect(const TRect& r, TCanvas* canvas) {
    TCanvas* c = canvas != nullptr ? canvas : Canvas();
    if (IsTransparentActive() && DrawParentBackground(c, r, 0, Point(Left() + r.Left, Top() + r.Top))) return;
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(r);
}

void TQclCustomControl::DrawOnWindow(const std::function<void(TCanvas*)>& draw) {
    if (!HandleAllocated()) return;
    WindowDC dc(Handle());
    TCanvas canvas;
    CanvasDCScope lent(&canvas, dc.Get());
    draw(&canvas);
}

HPALETTE TQclCustomControl::GetBackPalette() {
    auto* parent = dynamic_cast<TQclCustomControl*>(Parent());
    if (BackgroundAvailable() || parent == nullptr) return nullptr;
    return QclBitmapPalette(parent->GetBackBitmap(), backPalette_);
}

bool TQclCustomControl::DrawParentBackground(TCanvas*, const TRect&, uint16_t, TPoint) { return false; }

void TQclCustomControl::ObjectChanged(TObject*) {
    if (repaintOnChange_) Invalidate();
}

void TQclCustomControl::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
    mouseInside_ = true;
}

void TQclCustomControl::MouseExit() {
    mouseInside_ = false;
    if (!focused_) DrawFlatBorder();
    if (OnMouseExit) OnMouseExit(this);
}

namespace {
void FrameWith(HDC dc, const RECT& r, int sysColor) {
    GdiHandle<HBRUSH> brush(CreateSolidBrush(GetSysColor(sysColor)));
    FrameRect(dc, &r, brush.Get());
}
}  // namespace

void TQclCustomControl::DrawFlatBorder() {
    if (focused_ || !flat_ || mouseInside_ || !HandleAllocated()) return;
    WindowDC dc = WindowDC::WholeWindow(Handle());
    RECT r{0, 0, Width(), Height()};
    FrameWith(dc.Get(), r, COLOR_BTNFACE);
    if (Ctl3D()) {
        InflateRect(&r, -1, -1);
        FrameWith(dc.Get(), r, COLOR_BTNFACE);
    }
}

void TQclCustomControl::DrawHotBorder() {
    if (!HandleAllocated()) return;
    WindowDC dc = WindowDC::WholeWindow(Handle());
    RECT r{0, 0, Width(), Height()};
    if (Ctl3D()) {
        RECT inner{1, 1, r.right, r.bottom};
        FrameWith(dc.Get(), inner, COLOR_WINDOWFRAME);
        RECT outer{0, 0, r.right - 1, r.bottom - 1};
        FrameWith(dc.Get(), outer, COLOR_BTNFACE);
        DrawEdge(dc.Get(), &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else {
        FrameWith(dc.Get(), r, COLOR_WINDOWFRAME);
    }
}

void TQclCustomControl::DoEnter() {
    TCustomControl::DoEnter();
    focused_ = true;
    if (flat_) DrawHotBorder();
}

void TQclCustomControl::DoExit() {
    focused_ = false;
    DrawFlatBorder();
    TCustomControl::DoExit();
}

void TQclCustomControl::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove) link_.Removed(component);
}

void TQclCustomControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            TCustomControl::WndProc(m);
            MouseEnter();
            return;
        case CM_MOUSELEAVE:
            TCustomControl::WndProc(m);
            MouseExit();
            return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TCustomControl::WndProc(m);
            // The events arrive once the focus change is complete.
            if (HandleAllocated())
                PostMessageA(Handle(), m.Msg == WM_SETFOCUS ? CM_QCLGOTFOCUS : CM_QCLLOSTFOCUS, 0, 0);
            return;
        case CM_QCLGOTFOCUS:
            if (OnGotFocus) OnGotFocus(this);
            return;
        case CM_QCLLOSTFOCUS:
            if (OnLostFocus) OnLostFocus(this);
            return;
        case CM_QCLBACKCHANGED:
            if (Loading()) return;
            if (IsTransparentActive()) {
                Repaint();
                NotifyControls(CM_QCLBACKCHANGED);
            } else {
                Invalidate();
            }
            return;
        case CM_SYSCOLORCHANGE:
            TCustomControl::WndProc(m);
            if (!transparent_) Invalidate();
            return;
        case WM_ERASEBKGND:
            if (IsTransparentActive()) {
                m.Result = 1;
                return;
            }
            break;
        case WM_MOVE:
        case WM_SIZE:
            TCustomControl::WndProc(m);
            if (IsTransparentActive()) {
                // What lies under the control changed: it and its children
                // show the new part of the background.
                Repaint();
                if (m.Msg == WM_MOVE) DrawOnWindow([this](TCanvas* c) { PaintControls(c->Handle(), nullptr); });
                else NotifyControls(WM_PAINT);
                NotifyControls(CM_QCLBACKCHANGED);
            } else if (m.Msg == WM_SIZE) {
                Invalidate();
            }
            return;
        default:
            break;
    }
    TCustomControl::WndProc(m);
}

// ---------------------------------------------------------------- docking

TQclDocker::TQclDocker(TControl* self, TWinControl*& control, TQclDockPosition position, bool adjustDockedSize,
                       bool reflectOwnChanges)
    : self_(self), control_(control), position_(position), adjustDockedSize_(adjustDockedSize),
      reflectOwnChanges_(reflectOwnChanges) {}

void TQclDocker::SetControl(TWinControl* v) {
    hook_.Detach();
    control_ = v;
    if (v != nullptr) {
        v->FreeNotification(self_);
        Dock();
    }
}

void TQclDocker::Dock() {
    if (!docked_ || control_ == nullptr || Loading()) return;
    // A control that cannot have a window yet (one without a parent) is
    // not docked to now; its error is not the setter's to raise.
    if (!hook_.Attached()) {
        try {
            HWND wnd = control_->Handle();
            hook_.Attach(wnd, [this](UINT msg, WPARAM w, LPARAM l, LRESULT& r) { return DockWndProc(msg, w, l, r); });
        } catch (const Exception&) {
            return;
        }
    }
    if (!control_->HandleAllocated() || control_->Align() != TAlign::alNone || docking_) return;
    docking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{docking_};
    TRect r = QclDockBounds(position_, QclWindowBounds(control_), {self_->Width(), self_->Height()}, margin_,
                            adjustDockedSize_);
    self_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TQclDocker::Follow() {
    if (!reflectOwnChanges_ || !docked_ || docking_ || control_ == nullptr || control_->Align() != TAlign::alNone)
        return;
    docking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{docking_};
    TRect r = QclFollowBounds(position_, self_->BoundsRect(), {control_->Width(), control_->Height()}, margin_,
                              adjustDockedSize_);
    control_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

// A control that is being freed is forgotten by its owner's free notice;
// one that re-creates its window is followed to the new one.
bool TQclDocker::DockWndProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = hook_.CallNext(msg, wParam, lParam);
    switch (msg) {
        case WM_DESTROY:
            hook_.Detach();
            if (control_ != nullptr && !control_->IsDestroying() &&
                !self_->ComponentState().Contains(TComponentStateItem::csDestroying))
                RehookLater();
            break;
        case WM_MOVE:
        case WM_SIZE:
            Dock();
            break;
        case WM_WINDOWPOSCHANGED: {
            // Moves and shows that do not come as their own messages.
            auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) Dock();
            if ((pos->flags & SWP_SHOWWINDOW) && !Designing()) {
                Dock();
                if (!self_->Visible()) self_->SetVisible(true);
            } else if ((pos->flags & SWP_HIDEWINDOW) && !Designing()) {
                self_->SetVisible(false);
            }
            break;
        }
        case WM_ENABLE:
            self_->SetEnabled(wParam != 0);
            break;
        case WM_SHOWWINDOW:
            if (Designing()) break;
            if (wParam != 0 && !self_->Visible()) {
                Dock();
                self_->SetVisible(true);
            } else if (wParam == 0) {
                self_->SetVisible(false);
            }
            break;
        default:
            break;
    }
    return true;
}

void TQclDocker::RehookLater() {
    constexpr UINT kRehook = WM_APP + 1;
    if (!rehook_) {
        rehook_ = std::make_unique<UtilityWindow>([this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != kRehook) return false;
            result = 0;
            // A window that went for good (its parent's, say) is not made again here.
            if (docked_ && control_ != nullptr && control_->HandleAllocated()) Dock();
            return true;
        });
    }
    PostMessageA(rehook_->Handle(), kRehook, 0, 0);
}

void TQclDocker::SetDocked(bool v) {
    docked_ = v;
    if (v) Dock();
    else hook_.Detach();
}

void TQclDocker::SetAdjustDockedSize(bool v) {
    adjustDockedSize_ = v;
    Dock();
}

void TQclDocker::SetMargin(int v) {
    margin_ = v;
    Dock();
}

void TQclDocker::SetPosition(TQclDockPosition v) {
    position_ = v;
    Dock();
}

}  // namespace treskel

// Windowless controls (TControl, TGraphicControl), the canvas of a control,
// and the state the control files share.
#include "platform/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/ActnList.h"
#include "platform/ControlsHooks.h"
#include "platform/ControlsPriv.h"

namespace treskel {

namespace hooks {
std::function<void(std::exception_ptr)> HandleException;
std::function<HCURSOR(TCursor)> CursorHandle;
std::function<TCursor()> ScreenCursor;
std::function<bool(WORD)> DispatchMenuCommand;
std::function<void(HMENU)> MenuPopupInit;
std::function<void(TControl*)> MouseControlChanged;
std::function<void(TControl*, TPoint)> PopupControlMenu;
std::function<TWinControl*(TControl*, const TRect&)> MakeFloatingHost;
}  // namespace hooks

void HandleCallbackException() {
    std::exception_ptr e = std::current_exception();
    if (hooks::HandleException) {
        hooks::HandleException(e);
        return;
    }
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        MessageBoxA(nullptr, ExceptionMessage(ex).c_str(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown error", "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

namespace ctl {

thread_local TWinControl* creatingControl = nullptr;
TControl* captureControl = nullptr;
TControl* mouseControl = nullptr;
TDragObject* dragObject = nullptr;
TControl* dragControl = nullptr;
std::map<WORD, TWinControl*> controlIds;
WORD nextControlId = 100;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

TShiftState MouseShift(WPARAM keys) { return KeysToShiftState(static_cast<WORD>(keys)); }

void SetMouseControl(TControl* control) {
    if (control == mouseControl) return;
    TControl* old = mouseControl;
    mouseControl = control;
    if (old != nullptr) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    if (control != nullptr) control->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
    if (hooks::MouseControlChanged) hooks::MouseControlChanged(control);
}

}  // namespace ctl

using namespace ctl;


TShiftState KeysToShiftState(WORD keys) {
    TShiftState s;
    if (keys & MK_SHIFT) s += TShiftStateItem::ssShift;
    if (keys & MK_CONTROL) s += TShiftStateItem::ssCtrl;
    if (keys & MK_LBUTTON) s += TShiftStateItem::ssLeft;
    if (keys & MK_RBUTTON) s += TShiftStateItem::ssRight;
    if (keys & MK_MBUTTON) s += TShiftStateItem::ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s += TShiftStateItem::ssAlt;
    return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s += TShiftStateItem::ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s += TShiftStateItem::ssCtrl;
    if (keyData & 0x20000000) s += TShiftStateItem::ssAlt;
    return s;
}

TShiftState CurrentShiftState() {
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s += TShiftStateItem::ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s += TShiftStateItem::ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s += TShiftStateItem::ssAlt;
    return s;
}

// ------------------------------------------------------------ TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {
    WindowProc = [this](TMessage& m) { WndProc(m); };
    font_.OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
    if (captureControl == this) captureControl = nullptr;
    if (mouseControl == this) {
        mouseControl = nullptr;
        if (hooks::MouseControlChanged) hooks::MouseControlChanged(nullptr);
    }
    if (dragControl == this) dragControl = nullptr;
    actionLink_.reset();
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (hostDockSite_ != nullptr) hostDockSite_->RemoveDockClient(this);
}

TComponent* TControl::GetParentComponent() const { return parent_; }

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_ != nullptr) parent_->RemoveControl(this);
    if (parent != nullptr) {
        parent->InsertControl(this);
        if (parentFont_) ParentFontChanged();
        if (parentColor_) ParentColorChanged();
    }
}

void TControl::ParentFontChanged() {
    if (parent_ == nullptr || !parentFont_) return;
    font_.Assign(parent_->Font());
    parentFont_ = true;  // assigning the font cleared it
}

void TControl::ParentColorChanged() {
    if (parent_ == nullptr || !parentColor_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::FontChanged() {
    parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == parentFont_) return;
    parentFont_ = v;
    if (v) ParentFontChanged();
}

void TControl::SetColor(TColor color) {
    if (color == color_) {
        parentColor_ = false;
        return;
    }
    color_ = color;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == parentColor_) return;
    parentColor_ = v;
    if (v) ParentColorChanged();
}

void TControl::SetCtl3D(bool v) {
    parentCtl3D_ = false;
    if (v == ctl3D_) return;
    ctl3D_ = v;
    Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool v) {
    parentCtl3D_ = v;
    if (v && parent_ != nullptr && parent_->Ctl3D() != ctl3D_) {
        ctl3D_ = parent_->Ctl3D();
        Perform(CM_CTL3DCHANGED);
    }
}

bool TControl::ShowHint() const {
    const TControl* c = this;
    while (c->parentShowHint_ && c->parent_ != nullptr) c = c->parent_;
    return c->showHint_;
}

void TControl::SetShowHint(bool v) {
    showHint_ = v;
    parentShowHint_ = false;
}

void TControl::SetParentShowHint(bool v) { parentShowHint_ = v; }

void TControl::SetCursor(TCursor c) {
    if (c == cursor_) return;
    cursor_ = c;
    Perform(CM_CURSORCHANGED);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (component == popupMenuComponent_) {
            popupMenu_ = nullptr;
            popupMenuComponent_ = nullptr;
        }
        if (actionLink_ && component == actionLink_->Action()) SetAction(nullptr);
    }
}

std::string TControl::GetText() { return text_; }

void TControl::SetText(const std::string& s) {
    if (s == text_ && isControlTextSet_) return;
    text_ = s;
    isControlTextSet_ = true;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!CheckNewSize(width, height)) return;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool sized = width != width_ || height != height_;
    InvalidateControl(visible_, controlStyle_.Contains(TControlStyleItem::csOpaque));
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
    UpdateAnchorRules();
    RequestAlign();
    if (sized) Resize();
}

void TControl::UpdateBoundsRect(const TRect& r) {
    left_ = r.Left;
    top_ = r.Top;
    width_ = r.Width();
    height_ = r.Height();
}

void TControl::UpdateAnchorRules() {
    if (parent_ == nullptr || IsLoading()) return;
    TRect pr = parent_->ClientRect();
    anchorOrigin_ = {pr.Right - (left_ + width_), pr.Bottom - (top_ + height_)};
    anchorParentSize_ = {pr.Right, pr.Bottom};
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int w) { SetWidth(width_ - ClientWidth() + w); }
void TControl::SetClientHeight(int h) { SetHeight(height_ - ClientHeight() + h); }

TPoint TControl::ClientOrigin() {
    if (parent_ == nullptr) return {left_, top_};
    TPoint p = parent_->ClientOrigin();
    return {p.x + left_, p.y + top_};
}

TPoint TControl::ClientToScreen(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.x + o.x, p.y + o.y};
}

TPoint TControl::ScreenToClient(TPoint p) {
    TPoint o = ClientOrigin();
    return {p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    TAlign old = align_;
    align_ = align;
    // A control leaving alignment keeps its size; one joining gets the parent's.
    if (old == TAlign::alNone || align == TAlign::alNone) anchors_ = {TAnchorKind::akLeft, TAnchorKind::akTop};
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ == nullptr) return;
    TRect r = parent_->ClientRect();
    parent_->AlignControls(this, r);
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    VisibleChanging();
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
    InvalidateControl(true, controlStyle_.Contains(TControlStyleItem::csOpaque));
    RequestAlign();
}

bool TControl::Showing() const {
    if (!visible_) return false;
    return parent_ == nullptr ? false : parent_->Showing();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
    Invalidate();
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
        case WM_GETTEXT: {
            size_t n = message.WParam;
            if (n == 0) {
                message.Result = 0;
                break;
            }
            std::string t = text_.substr(0, n - 1);
            std::memcpy(reinterpret_cast<char*>(message.LParam), t.c_str(), t.size() + 1);
            message.Result = static_cast<LRESULT>(t.size());
            break;
        }
        case WM_GETTEXTLENGTH:
            message.Result = static_cast<LRESULT>(text_.size());
            break;
        case WM_SETTEXT:
            text_ = reinterpret_cast<const char*>(message.LParam);
            message.Result = 1;
            break;
        default:
            break;
    }
}

void TControl::WndProc(TMessage& m) {
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
        HandleMouseMessage(m);
        return;
    }
    switch (m.Msg) {
        case CM_VISIBLECHANGED:
        case CM_ENABLEDCHANGED:
        case CM_TEXTCHANGED:
            break;
        case CM_FONTCHANGED:
            Invalidate();
            break;
        case CM_COLORCHANGED:
            Invalidate();
            break;
        case CM_PARENTFONTCHANGED:
            if (parentFont_) ParentFontChanged();
            break;
        case CM_PARENTCOLORCHANGED:
            if (parentColor_) ParentColorChanged();
            break;
        case CM_PARENTSHOWHINTCHANGED:
            break;
        case CM_HITTEST:
            m.Result = 1;  // HTCLIENT
            return;
        default:
            break;
    }
    DefaultHandler(m);
}

void TControl::HandleMouseMessage(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = MouseShift(m.WParam);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (controlStyle_.Contains(TControlStyleItem::csCaptureMouse)) controlState_ += TControlStateItem::csLButtonDown;
            if (controlStyle_.Contains(TControlStyleItem::csClickEvents)) controlState_ += TControlStateItem::csClicked;
            if (m.Msg == WM_LBUTTONDBLCLK) {
                shift += TShiftStateItem::ssDouble;
                if (controlStyle_.Contains(TControlStyleItem::csDoubleClicks)) DblClick();
            }
            if (controlStyle_.Contains(TControlStyleItem::csCaptureMouse) && m.Msg == WM_LBUTTONDOWN)
                if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated())
                    SetCapture(w->Handle());
            if (dragMode_ == TDragMode::dmAutomatic && m.Msg == WM_LBUTTONDOWN) {
                BeginDrag(false);
                break;
            }
            MouseDown(TMouseButton::mbLeft, shift, x, y);
            break;
        case WM_LBUTTONUP: {
            bool clicked = controlState_.Contains(TControlStateItem::csClicked);
            controlState_ -= TControlStateItem::csLButtonDown;
            controlState_ -= TControlStateItem::csClicked;
            if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated() &&
                GetCapture() == w->Handle() && controlStyle_.Contains(TControlStyleItem::csCaptureMouse))
                ReleaseCapture();
            MouseUp(TMouseButton::mbLeft, shift, x, y);
            if (clicked && PtInRect(ClientRect(), {x, y})) Click();
            break;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            if (m.Msg == WM_RBUTTONDBLCLK) shift += TShiftStateItem::ssDouble;
            MouseDown(TMouseButton::mbRight, shift, x, y);
            break;
        case WM_RBUTTONUP:
            MouseUp(TMouseButton::mbRight, shift, x, y);
            break;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            MouseDown(TMouseButton::mbMiddle, shift, x, y);
            break;
        case WM_MBUTTONUP:
            MouseUp(TMouseButton::mbMiddle, shift, x, y);
            break;
        case WM_MOUSEMOVE:
            MouseMove(shift, x, y);
            break;
        default:
            break;
    }
    DefaultHandler(m);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::Click() {
    if (OnClick) {
        OnClick(this);
    } else if (actionLink_) {
        actionLink_->Execute();
    }
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::DoContextPopup(TPoint mousePos, bool& handled) {
    if (OnContextPopup) OnContextPopup(this, mousePos, handled);
}

void TControl::Loaded() {
    TComponent::Loaded();
    UpdateAnchorRules();
    if (parent_ != nullptr && parentFont_) ParentFontChanged();
    if (parent_ != nullptr && parentColor_) ParentColorChanged();
    if (align_ != TAlign::alNone) RequestAlign();
    if (autoSize_) AdjustSize();
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (parent_ == nullptr || !parent_->HandleAllocated() || !isVisible) return;
    if (dynamic_cast<TWinControl*>(this) != nullptr) return;
    RECT r{left_, top_, left_ + width_, top_ + height_};
    InvalidateRect(parent_->Handle(), &r, !isOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(TControlStyleItem::csOpaque)); }

void TControl::Update() {
    if (parent_ != nullptr) parent_->Update();
}

void TControl::Repaint() {
    if (parent_ == nullptr || !parent_->HandleAllocated() || !visible_) return;
    if (controlStyle_.Contains(TControlStyleItem::csOpaque)) {
        WindowDC dc(parent_->Handle());
        IntersectClipRect(dc.Get(), left_, top_, left_ + width_, top_ + height_);
        parent_->PaintControls(dc.Get(), this);
    } else {
        Invalidate();
        Update();
    }
}

bool TControl::PaletteChanged(bool foreground) {
    HPALETTE palette = visible_ ? GetPalette() : nullptr;
    if (palette == nullptr) return false;
    auto* self = dynamic_cast<TWinControl*>(this);
    TWinControl* host = self != nullptr ? self : parent_;
    if (host != nullptr && host->HandleAllocated()) {
        WindowDC dc(host->Handle());
        if (PaletteGuard(dc.Get(), palette, !foreground).Realized() != 0) Invalidate();
    }
    return true;
}

void TControl::BringToFront() {
    if (parent_ == nullptr) return;
    auto& v = parent_->controls_;
    v.erase(std::find(v.begin(), v.end(), this));
    v.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (parent_ == nullptr) return;
    auto& v = parent_->controls_;
    v.erase(std::find(v.begin(), v.end(), this));
    v.insert(v.begin(), this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w != nullptr && w->HandleAllocated())
        SetWindowPos(w->Handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
    if (action == nullptr) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) {
        actionLink_ = std::make_unique<TControlActionLink>(this);
        actionLink_->OnChange = [this](TBasicAction* a) { ActionChange(a, false); };
    }
    actionLink_->SetAction(action);
    action->FreeNotification(this);
    ActionChange(action, IsLoading());
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (a == nullptr) return;
    if (!checkDefaults || Caption().empty()) SetCaption(a->Caption());
    if (!checkDefaults || enabled_) SetEnabled(a->Enabled());
    if (!checkDefaults || hint_.empty()) SetHint(a->Hint());
    if (!checkDefaults || visible_) SetVisible(a->Visible());
}

// ------------------------------------------------------------ graphic controls

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT) {
        auto* cc = static_cast<TControlCanvas*>(canvas_.get());
        cc->FreeHandle();
        CanvasDCScope lent(cc, reinterpret_cast<HDC>(m.WParam));
        cc->Font()->Assign(Font());
        Paint();
        return;
    }
    TControl::WndProc(m);
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() { canvas_.reset(); }

void TCustomControl::PaintWindow(HDC dc) {
    auto* cc = static_cast<TControlCanvas*>(canvas_.get());
    cc->FreeHandle();
    CanvasDCScope lent(cc, dc);
    cc->Font()->Assign(Font());
    cc->Brush()->SetColor(Color());
    Paint();
}

void TControlCanvas::CreateHandle() {
    if (control_ == nullptr) return;
    auto* w = dynamic_cast<TWinControl*>(control_);
    TWinControl* p = w != nullptr ? w : control_->Parent();
    if (p == nullptr) throw EInvalidOperation(Format("Control '%s' has no parent window", control_->Name().c_str()));
    WindowDC dc(p->Handle(), DCX_CACHE | DCX_CLIPSIBLINGS);
    if (w == nullptr) {
        SetViewportOrgEx(dc.Get(), control_->Left(), control_->Top(), nullptr);
        IntersectClipRect(dc.Get(), 0, 0, control_->Width(), control_->Height());
    }
    dc_ = std::move(dc);
    SetHandle(dc_.Get());
}

void TControlCanvas::FreeHandle() {
    if (!dc_) return;
    SetHandle(nullptr);
    dc_.Reset();
}

}  // namespace treskel

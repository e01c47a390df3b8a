#include "platform/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "platform/ActnList.h"
#include "platform/ControlsHooks.h"

namespace treskel {

namespace hooks {
std::function<void(std::exception_ptr)> HandleException;
std::function<HCURSOR(TCursor)> CursorHandle;
std::function<TCursor()> ScreenCursor;
std::function<bool(WORD)> DispatchMenuCommand;
std::function<void(HMENU)> MenuPopupInit;
std::function<void(TControl*)> MouseControlChanged;
std::function<void(TControl*, TPoint)> PopupControlMenu;
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
        MessageBoxA(nullptr, ex.what(), "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    } catch (...) {
        MessageBoxA(nullptr, "Unknown error", "Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    }
}

namespace {

thread_local TWinControl* creatingControl = nullptr;
TControl* captureControl = nullptr;   // a windowless control holding the mouse
TControl* mouseControl = nullptr;     // the control under the mouse
TDragObject* dragObject = nullptr;
bool dragFreeObject = false;
TControl* dragControl = nullptr;
std::map<WORD, TWinControl*> controlIds;
WORD nextControlId = 100;

// The key of the attachment that binds a control object to its window.
constexpr UINT_PTR kControlKey = 1;

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

}  // namespace

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

// ------------------------------------------------------------ drag objects

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? Control->DragCursor() : crNoDrop;
}

TObject* TDragControlObject::Source() { return Control; }

TDragObject* CurrentDragObject() { return dragObject; }

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

// ------------------------------------------------------------ drag and drop

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
    POINT p{pos.x, pos.y};
    HWND wnd = WindowFromPoint(p);
    TWinControl* w = TWinControl::FindVCLWindow(wnd);
    if (w == nullptr) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(pos), allowDisabled);
    return c != nullptr ? c : w;
}

void TControl::BeginDrag(bool immediate, int threshold) {
    if (dragControl != nullptr) return;
    if (threshold < 0) threshold = 5;
    TWinControl* captureWin = dynamic_cast<TWinControl*>(this);
    if (captureWin == nullptr) captureWin = parent_;
    if (captureWin == nullptr) return;
    HWND capture = captureWin->Handle();
    POINT start;
    GetCursorPos(&start);
    dragControl = this;
    bool started = immediate;
    TDragObject* obj = nullptr;
    bool freeObj = false;
    TControl* target = nullptr;
    TControl* self = this;
    auto startDrag = [&] {
        DoStartDrag(obj);
        if (obj == nullptr) {
            obj = new TDragControlObject(self);
            freeObj = true;
        }
        dragObject = obj;
        dragFreeObject = freeObj;
    };
    if (started) startDrag();
    SetCapture(capture);
    bool dropped = false;
    TPoint last{start.x, start.y};
    auto screenPos = [&](const MSG& msg) {
        POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ::ClientToScreen(msg.hwnd, &p);
        return TPoint{p.x, p.y};
    };
    auto dragOver = [&](TControl* t, TPoint pos, TDragState state) {
        if (t == nullptr) return false;
        TPoint local = t->ScreenToClient(pos);
        bool accept = false;
        t->DragOver(obj->Source(), local.x, local.y, state, accept);
        return accept;
    };
    for (;;) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE && dragControl != nullptr) {
            TPoint pos = screenPos(msg);
            last = pos;
            if (!started) {
                if (std::abs(pos.x - start.x) >= threshold || std::abs(pos.y - start.y) >= threshold) {
                    started = true;
                    startDrag();
                }
                continue;
            }
            TControl* t = FindDragTarget(pos, false);
            if (t != target) {
                dragOver(target, pos, TDragState::dsDragLeave);
                target = t;
                obj->DragTarget = t;
                bool acc = dragOver(target, pos, TDragState::dsDragEnter);
                ::SetCursor(hooks::CursorHandle ? hooks::CursorHandle(obj->GetDragCursor(acc, pos.x, pos.y)) : nullptr);
            } else {
                bool acc = dragOver(target, pos, TDragState::dsDragMove);
                ::SetCursor(hooks::CursorHandle ? hooks::CursorHandle(obj->GetDragCursor(acc, pos.x, pos.y)) : nullptr);
            }
            obj->DragPos = pos;
            continue;
        }
        if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
            if (started) {
                last = screenPos(msg);
                TControl* t = FindDragTarget(last, false);
                if (t != target) {
                    dragOver(target, last, TDragState::dsDragLeave);
                    target = t;
                }
                dropped = dragOver(target, last, TDragState::dsDragMove);
            }
            break;
        }
        if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_CANCELMODE ||
            (msg.message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(msg.lParam) != capture) ||
            dragControl == nullptr) {
            if (obj != nullptr) obj->Cancelling = true;
            break;
        }
        if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) continue;
        TranslateMessage(&msg);
        if (msg.hwnd != nullptr && IsWindowUnicode(msg.hwnd))
            DispatchMessageW(&msg);
        else
            DispatchMessageA(&msg);
    }
    if (GetCapture() == capture) ReleaseCapture();
    bool wasStarted = started;
    dragControl = nullptr;
    if (!wasStarted) {
        if (obj == nullptr) {
            // Never became a drag: a plain press of the button.
            TPoint local = ScreenToClient(last);
            MouseDown(TMouseButton::mbLeft, CurrentShiftState(), local.x, local.y);
        }
        return;
    }
    TObject* source = obj->Source();
    TControl* dropTarget = dropped ? target : nullptr;
    TPoint local = dropTarget != nullptr ? dropTarget->ScreenToClient(last) : TPoint{};
    try {
        if (dropTarget != nullptr) dropTarget->DragDrop(source, local.x, local.y);
        // The source hears the end even when nothing took the drop.
        if (auto* sc = dynamic_cast<TControl*>(source))
            sc->DoEndDrag(dropTarget, local.x, local.y);
    } catch (...) {
        dragObject = nullptr;
        if (freeObj) delete obj;
        throw;
    }
    dragObject = nullptr;
    if (freeObj) delete obj;
}

bool TControl::Dragging() const { return dragControl == this; }

void TControl::EndDrag(bool) {
    if (dragControl == this) {
        dragControl = nullptr;
        PostMessageA(nullptr, WM_NULL, 0, 0);
    }
}

void TControl::DoStartDrag(TDragObject*& obj) {
    if (OnStartDrag) OnStartDrag(this, obj);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}

// ------------------------------------------------------------ TWinControl

// Installed only while a control creates its window: the window's creation
// notice comes before its first message, so the object sees them all.
LRESULT CALLBACK BindOnCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && creatingControl != nullptr)
        std::exchange(creatingControl, nullptr)->BindWindow(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TWinControl::BindWindow(HWND wnd) {
    handle_ = wnd;
    subclass_.Attach(
        wnd,
        [this, wnd](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            TMessage m{msg, wParam, lParam, 0};
            MainWndProc(m);
            if (msg == WM_NCDESTROY && handle_ == wnd) handle_ = nullptr;
            result = m.Result;
            return true;
        },
        kControlKey, this);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

void TWinControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
}

TWinControl::~TWinControl() {
    // Owned components go while this object is still whole.
    Destroying();
    DestroyComponents();
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    DestroyHandle();
    for (auto it = controlIds.begin(); it != controlIds.end();) {
        if (it->second == this) it = controlIds.erase(it);
        else ++it;
    }
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    return static_cast<TWinControl*>(WindowSubclass::FindOwner(wnd, kControlKey));
}

TWinControl* TWinControl::FindVCLWindow(HWND wnd) {
    while (wnd != nullptr) {
        if (TWinControl* c = FindControl(wnd)) return c;
        // Stop at a top-level window: its "parent" is only its owner.
        if ((GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) == 0) break;
        wnd = GetParent(wnd);
    }
    return nullptr;
}

void TWinControl::MainWndProc(TMessage& m) {
    try {
        WindowProc(m);
    } catch (...) {
        HandleCallbackException();
    }
}

HWND TWinControl::Handle() {
    if (handle_ == nullptr) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_ != nullptr) return;
    if (Parent() != nullptr) Parent()->HandleNeeded();
    if (handle_ != nullptr) return;  // the parent created the children
    CreateWnd();
    // Children get their windows with their parent.
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
    // The z-order of the windows follows the list.
    HWND after = HWND_BOTTOM;
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->handle_ != nullptr) {
            SetWindowPos(w->handle_, after == HWND_BOTTOM ? HWND_BOTTOM : after, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            after = w->handle_;
        }
    }
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = Parent() != nullptr ? Parent()->Handle() : nullptr;
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.lpfnWndProc = DefWindowProcA;
    p.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    p.WindowClass.hbrBackground = nullptr;
    p.WindowClass.hInstance = Instance();
    p.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& p, const char* className) {
    // Keep what the system class says, but use our own name so that our
    // procedure sees every message from the first on.
    UINT keep = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
    if (p.Unicode) {
        WNDCLASSW wc{};
        std::wstring wname(className, className + std::strlen(className));
        if (!GetClassInfoW(nullptr, wname.c_str(), &wc) && !GetClassInfoW(Instance(), wname.c_str(), &wc))
            throw EOutOfResources(Format("Window class %s is not available", className));
        p.WindowClass.style = wc.style & ~keep ? wc.style : wc.style;
        p.WindowClass.lpfnWndProc = wc.lpfnWndProc;
        p.WindowClass.cbClsExtra = wc.cbClsExtra;
        p.WindowClass.cbWndExtra = wc.cbWndExtra;
        p.WindowClass.hCursor = wc.hCursor;
        p.WindowClass.hbrBackground = wc.hbrBackground;
    } else {
        WNDCLASSA wc{};
        if (!GetClassInfoA(nullptr, className, &wc) && !GetClassInfoA(Instance(), className, &wc))
            throw EOutOfResources(Format("Window class %s is not available", className));
        p.WindowClass.style = wc.style;
        p.WindowClass.lpfnWndProc = wc.lpfnWndProc;
        p.WindowClass.cbClsExtra = wc.cbClsExtra;
        p.WindowClass.cbWndExtra = wc.cbWndExtra;
        p.WindowClass.hCursor = wc.hCursor;
        p.WindowClass.hbrBackground = wc.hbrBackground;
    }
    p.SubClassName = className;
}

namespace {
std::wstring Widen(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), w.data(), n);
    return w;
}
}  // namespace

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    defWndProc_ = p.WindowClass.lpfnWndProc;
    unicode_ = p.Unicode;
    // One registration per class name, with the system class's procedure
    // (or the default one); the object attaches in front of it.
    if (p.Unicode) {
        std::wstring name = Widen(p.WinClassName);
        WNDCLASSW existing{};
        if (!GetClassInfoW(Instance(), name.c_str(), &existing)) {
            WNDCLASSW wc{};
            wc.style = p.WindowClass.style;
            wc.lpfnWndProc = p.WindowClass.lpfnWndProc;
            wc.cbClsExtra = p.WindowClass.cbClsExtra;
            wc.cbWndExtra = p.WindowClass.cbWndExtra;
            wc.hInstance = Instance();
            wc.hIcon = p.WindowClass.hIcon;
            wc.hCursor = p.WindowClass.hCursor;
            wc.hbrBackground = p.WindowClass.hbrBackground;
            wc.lpszClassName = name.c_str();
            if (!RegisterClassW(&wc)) throw EOutOfResources("Cannot register the window class " + p.WinClassName);
        }
    } else {
        WNDCLASSA existing{};
        if (!GetClassInfoA(Instance(), p.WinClassName.c_str(), &existing)) {
            WNDCLASSA wc = p.WindowClass;
            wc.hInstance = Instance();
            wc.lpszClassName = p.WinClassName.c_str();
            if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class " + p.WinClassName);
        }
    }
    CreateWindowHandle(p);
    if (handle_ == nullptr) throw EOutOfResources(Format("Error creating window (%s)", Name().c_str()));
    ApplyFont();
    if (!IsLoading()) UpdateBounds();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    HMENU id = nullptr;
    if (p.Style & WS_CHILD) {
        WORD cid = nextControlId++;
        if (nextControlId >= 0xF000) nextControlId = 100;
        controlIds[cid] = this;
        id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(cid));
    }
    creatingControl = this;
    HookHandle binder(SetWindowsHookExA(WH_CBT, BindOnCreate, nullptr, GetCurrentThreadId()));
    if (p.Unicode) {
        CreateWindowExW(p.ExStyle, Widen(p.WinClassName).c_str(), Widen(p.Caption).c_str(), p.Style, p.X, p.Y,
                        p.Width, p.Height, p.WndParent, id, Instance(), p.Param);
    } else {
        CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                        p.Height, p.WndParent, id, Instance(), p.Param);
    }
    creatingControl = nullptr;
}

void TWinControl::DestroyWnd() {
    // The text lives in the window while it exists; keep it.
    if (handle_ != nullptr && controlStyle_.Contains(TControlStyleItem::csSetCaption)) {
        text_ = GetText();
        isControlTextSet_ = true;
    }
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    if (handle_ != nullptr) {
        HWND h = handle_;
        DestroyWindow(h);
        handle_ = nullptr;
    }
}

void TWinControl::DestroyHandle() {
    if (handle_ == nullptr) return;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    controlState_ += TControlStateItem::csDestroyingHandle;
    DestroyWnd();
    controlState_ -= TControlStateItem::csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr || recreating_) return;
    recreating_ = true;
    bool hadFocus = Focused();
    SaveStateBeforeRecreate();
    DestroyHandle();
    try {
        CreateHandle();
        RestoreStateAfterRecreate();
    } catch (...) {
        recreating_ = false;
        throw;
    }
    recreating_ = false;
    if (hadFocus && CanFocus()) SetFocus();
}

void TWinControl::ApplyFont() {
    if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    ApplyFont();
    NotifyControls(CM_PARENTFONTCHANGED);
    Invalidate();
}

void TWinControl::InsertControl(TControl* control) {
    control->parent_ = this;
    controls_.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control); w != nullptr && handle_ != nullptr && !IsLoading()) {
        w->CreateHandle();
        // A window created later must still go where the list puts it.
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    control->UpdateAnchorRules();
    if (control->Align() != TAlign::alNone) control->RequestAlign();
    control->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (w->Focused()) {
            // The focus must not stay on a window leaving its parent.
            if (handle_ != nullptr) ::SetFocus(nullptr);
        }
        w->DestroyHandle();
    } else {
        control->Invalidate();
    }
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it != controls_.end()) controls_.erase(it);
    control->parent_ = nullptr;
    if (control->Align() != TAlign::alNone) Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* p = control; p != nullptr; p = p->Parent())
        if (p == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool win = dynamic_cast<TWinControl*>(c) != nullptr;
        if (win && !allowWinControls) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        TPoint local{pos.x - c->Left(), pos.y - c->Top()};
        if (PtInRect(Rect(0, 0, c->Width(), c->Height()), local) && c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WindowProc(message);
        if (message.Result != 0) return;
    }
}

void TWinControl::NotifyControls(UINT msg) {
    TMessage m{msg, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(controls_)) c->WindowProc(m);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TControl* c : controls_)
        if (c->Owner() == root) proc(c);
    if (root == this) TComponent::GetChildren(proc, root);
}

void TWinControl::EnableAlign() {
    if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::AlignControls(TControl* control, TRect& rect) {
    if (alignLevel_ > 0 || IsLoading()) {
        controlState_ += TControlStateItem::csAlignmentNeeded;
        return;
    }
    controlState_ -= TControlStateItem::csAlignmentNeeded;
    ++alignLevel_;
    AdjustClientRect(rect);
    TRect r = rect;
    static const TAlign order[] = {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient};
    for (TAlign a : order) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->Align() == a && c->Visible()) list.push_back(c);
        // Controls keep their order along the edge; the one just moved
        // goes where it was put.
        auto key = [a](TControl* c) {
            switch (a) {
                case TAlign::alTop: return c->Top();
                case TAlign::alBottom: return -(c->Top() + c->Height());
                case TAlign::alLeft: return c->Left();
                case TAlign::alRight: return -(c->Left() + c->Width());
                default: return 0;
            }
        };
        std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
            int kx = key(x), ky = key(y);
            if (kx != ky) return kx < ky;
            return x == control && y != control;
        });
        for (TControl* c : list) {
            int w = c->Width(), h = c->Height();
            TRect nb;
            switch (a) {
                case TAlign::alTop:
                    nb = Bounds(r.Left, r.Top, std::max(r.Width(), 0), h);
                    r.Top += h;
                    break;
                case TAlign::alBottom:
                    nb = Bounds(r.Left, r.Bottom - h, std::max(r.Width(), 0), h);
                    r.Bottom -= h;
                    break;
                case TAlign::alLeft:
                    nb = Bounds(r.Left, r.Top, w, std::max(r.Height(), 0));
                    r.Left += w;
                    break;
                case TAlign::alRight:
                    nb = Bounds(r.Right - w, r.Top, w, std::max(r.Height(), 0));
                    r.Right -= w;
                    break;
                default:
                    nb = Bounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
                    break;
            }
            if (nb != c->BoundsRect()) c->SetBounds(nb.Left, nb.Top, nb.Width(), nb.Height());
        }
    }
    // Anchored controls keep their distances to the right and bottom.
    TRect cr = ClientRect();
    for (TControl* c : controls_) {
        if (c->Align() != TAlign::alNone) continue;
        TAnchors an = c->Anchors();
        if (!an.Contains(TAnchorKind::akRight) && !an.Contains(TAnchorKind::akBottom)) continue;
        if (c->anchorParentSize_.cx == 0 && c->anchorParentSize_.cy == 0) continue;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (an.Contains(TAnchorKind::akRight)) {
            int right = cr.Right - c->anchorOrigin_.x;
            if (an.Contains(TAnchorKind::akLeft)) w = std::max(right - l, 0);
            else l = right - w;
        }
        if (an.Contains(TAnchorKind::akBottom)) {
            int bottom = cr.Bottom - c->anchorOrigin_.y;
            if (an.Contains(TAnchorKind::akTop)) h = std::max(bottom - t, 0);
            else t = bottom - h;
        }
        if (Bounds(l, t, w, h) != c->BoundsRect()) {
            TPoint keepOrigin = c->anchorOrigin_;
            TSize keepSize = c->anchorParentSize_;
            c->SetBounds(l, t, w, h);
            c->anchorOrigin_ = keepOrigin;
            c->anchorParentSize_ = keepSize;
        }
    }
    --alignLevel_;
}

void TWinControl::AlignAll() {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}

TRect TWinControl::ClientRect() {
    if (handle_ != nullptr) {
        RECT r;
        GetClientRect(handle_, &r);
        return FromRECT(r);
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
    if (handle_ != nullptr) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return {p.x, p.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    bool sized = width != Width() || height != Height();
    if (handle_ != nullptr && !settingBounds_) {
        settingBounds_ = true;
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        settingBounds_ = false;
        // The window may refuse a size; the fields follow what it took.
        UpdateBounds();
        UpdateBoundsRect(Bounds(left, top, Width(), Height()));
    } else {
        UpdateBoundsRect(Bounds(left, top, width, height));
    }
    UpdateAnchorRules();
    RequestAlign();
    if (sized) {
        if (handle_ == nullptr) AlignAll();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (handle_ == nullptr) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(handle_);
        if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    UpdateBoundsRect(FromRECT(r));
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TControl::SetVisible(visible);
    if (handle_ != nullptr) {
        if (!visible && Focused() && GetParent(handle_) != nullptr) {
            // Hand the focus to the parent so that it does not vanish.
            ::SetFocus(GetParent(handle_));
        }
        ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    TControl::SetEnabled(enabled);
    if (handle_ != nullptr) EnableWindow(handle_, enabled);
}

std::string TWinControl::GetText() {
    if (handle_ == nullptr) return text_;
    if (unicode_) {
        int n = static_cast<int>(SendMessageW(handle_, WM_GETTEXTLENGTH, 0, 0));
        std::wstring w(static_cast<size_t>(n) + 1, L'\0');
        n = static_cast<int>(SendMessageW(handle_, WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(w.data())));
        int bytes = WideCharToMultiByte(CP_ACP, 0, w.c_str(), n, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), n, s.data(), bytes, nullptr, nullptr);
        return s;
    }
    int n = static_cast<int>(SendMessageA(handle_, WM_GETTEXTLENGTH, 0, 0));
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = static_cast<int>(SendMessageA(handle_, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::SetText(const std::string& s) {
    if (handle_ == nullptr) {
        TControl::SetText(s);
        return;
    }
    if (GetText() == s) return;
    if (unicode_)
        SendMessageW(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(s).c_str()));
    else
        SendMessageA(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    text_ = s;
    Perform(CM_TEXTCHANGED);
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr)
        InvalidateRect(handle_, nullptr, !ControlStyle().Contains(TControlStyleItem::csOpaque));
}

void TWinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

bool TWinControl::Focused() const { return handle_ != nullptr && GetFocus() == handle_; }

bool TWinControl::CanFocus() {
    for (TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    std::vector<TWinControl*> list;
    for (TControl* c : Parent()->controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
    std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
        int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_;
        int tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
        return ta < tb;
    });
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) { tabOrder_ = order; }

void TWinControl::SetTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    if (handle_ != nullptr) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    std::vector<TWinControl*> kids;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) kids.push_back(w);
    std::stable_sort(kids.begin(), kids.end(), [](TWinControl* a, TWinControl* b) {
        int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_;
        int tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
        return ta < tb;
    });
    for (TWinControl* w : kids) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<size_t>(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectFirst() {
    if (TWinControl* c = FindNextControl(nullptr, true, true, false)) c->SetFocus();
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
    return key != 0;
}

bool TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    return key != 0;
}

bool TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
    return key != 0;
}

bool TWinControl::DoKeyDown(TMessage& m) {
    TShiftState shift = KeyDataToShiftState(m.LParam);
    TWinControl* form = FormAsControl(GetParentForm());
    if (form != nullptr && form != this && form->WindowProc) {
        // A form that previews keys sees them first.
        TMessage preview{CM_CHILDKEY, m.WParam, reinterpret_cast<LPARAM>(this), 0};
        form->WindowProc(preview);
        if (preview.Result != 0) return true;
        m.WParam = preview.WParam;
        if (m.WParam == 0) return true;
    }
    WORD key = static_cast<WORD>(m.WParam);
    if (!KeyDown(key, shift)) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::DoKeyPress(TMessage& m) {
    // A wide window's characters are UTF-16: the handler sees their
    // single-byte form, and a character it leaves alone goes on unchanged
    // (narrowing it would turn every letter outside the code page into
    // another one).
    char key = static_cast<char>(m.WParam);
    if (unicode_) {
        auto wc = static_cast<wchar_t>(m.WParam);
        char buf[8];
        BOOL lost = FALSE;
        int n = WideCharToMultiByte(CP_ACP, 0, &wc, 1, buf, sizeof buf, nullptr, &lost);
        key = n == 1 && !lost ? buf[0] : '?';
    }
    char original = key;
    if (!KeyPress(key)) return true;
    if (!unicode_) {
        m.WParam = static_cast<unsigned char>(key);
    } else if (key != original) {
        wchar_t wc = 0;
        MultiByteToWideChar(CP_ACP, 0, &key, 1, &wc, 1);
        m.WParam = static_cast<WPARAM>(wc);
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (!KeyUp(key, KeyDataToShiftState(m.LParam))) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::HandleKeyMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return DoKeyDown(m);
        case WM_CHAR: return DoKeyPress(m);
        case WM_KEYUP:
        case WM_SYSKEYUP: return DoKeyUp(m);
        default: return false;
    }
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* target = nullptr;
    if (captureControl != nullptr && captureControl->Parent() == this) {
        target = captureControl;
    } else {
        TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        target = ControlAtPos(p, false);
    }
    if (target == nullptr) return false;
    int x = GET_X_LPARAM(m.LParam) - target->Left(), y = GET_Y_LPARAM(m.LParam) - target->Top();
    if (m.Msg == WM_LBUTTONDOWN && target->ControlStyle().Contains(TControlStyleItem::csCaptureMouse)) {
        captureControl = target;
        SetCapture(handle_);
    }
    m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(x, y));
    if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP) && captureControl == target) {
        captureControl = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    return true;
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : controls_) {
        if (!started) {
            if (c != first) continue;
            started = true;
        }
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::HandleWmPaint(TMessage& m) {
    bool hasGraphicChildren = false;
    for (TControl* c : controls_)
        if (dynamic_cast<TWinControl*>(c) == nullptr && c->Visible()) hasGraphicChildren = true;
    bool ownPainting = defWndProc_ == DefWindowProcA || defWndProc_ == DefWindowProcW;
    if (m.WParam != 0) {
        PaintWindow(reinterpret_cast<HDC>(m.WParam));
        PaintControls(reinterpret_cast<HDC>(m.WParam), nullptr);
        return;
    }
    if (!ownPainting && !hasGraphicChildren) {
        DefaultHandler(m);
        return;
    }
    PaintDC dc(handle_);
    PaintWindow(dc.Get());
    PaintControls(dc.Get(), nullptr);
}

// Pops up the menu of the control at a screen point, or of this control
// when the keyboard asked (-1, -1); true when a menu or handler took it.
bool TWinControl::ContextPopup(LPARAM screenPos) {
    TPoint screen{GET_X_LPARAM(screenPos), GET_Y_LPARAM(screenPos)};
    TControl* target = this;
    if (screen.x != -1 || screen.y != -1) {
        if (TControl* c = ControlAtPos(ScreenToClient(screen), false)) target = c;
    } else {
        screen = ClientToScreen({0, 0});
    }
    bool handled = false;
    target->DoContextPopup(target->ScreenToClient(screen), handled);
    if (handled) return true;
    for (TControl* c = target; c != nullptr; c = c->Parent()) {
        if (c->PopupMenu() != nullptr && hooks::PopupControlMenu) {
            hooks::PopupControlMenu(c, screen);
            return true;
        }
    }
    return false;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS: {
            TCustomForm* form = GetParentForm();
            if (form != nullptr) FormAsControl(form)->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
            break;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (HandleKeyMessage(m)) return;
            break;
        case WM_PAINT:
            HandleWmPaint(m);
            return;
        case WM_ERASEBKGND:
            if (defWndProc_ == DefWindowProcA || defWndProc_ == DefWindowProcW) {
                if (!ControlStyle().Contains(TControlStyleItem::csOpaque)) {
                    RECT r;
                    GetClientRect(handle_, &r);
                    GdiHandle<HBRUSH> b(CreateSolidBrush(ColorToRGB(Color())));
                    ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, b.Get());
                }
                m.Result = 1;
                return;
            }
            break;
        case WM_WINDOWPOSCHANGED: {
            DefaultHandler(m);
            if (!settingBounds_) UpdateBounds();
            return;
        }
        case WM_SIZE:
            DefaultHandler(m);
            if (!settingBounds_) UpdateBounds();
            AlignAll();
            if (!settingBounds_) Resize();
            return;
        case WM_COMMAND:
            if (m.LParam != 0) {
                if (TWinControl* c = FindControl(reinterpret_cast<HWND>(m.LParam)); c != nullptr && c != this) {
                    m.Result = c->Perform(CN_COMMAND, m.WParam, m.LParam);
                    return;
                }
            } else if (HIWORD(m.WParam) == 0 && hooks::DispatchMenuCommand &&
                       hooks::DispatchMenuCommand(LOWORD(m.WParam))) {
                return;
            }
            break;
        case WM_NOTIFY: {
            auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
            if (TWinControl* c = FindControl(nm->hwndFrom); c != nullptr && c != this) {
                m.Result = c->Perform(CN_NOTIFY, m.WParam, m.LParam);
                return;
            }
            break;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            if (dis->CtlType != ODT_MENU) {
                if (TWinControl* c = FindControl(dis->hwndItem); c != nullptr && c != this) {
                    m.Result = c->Perform(CN_DRAWITEM, m.WParam, m.LParam);
                    return;
                }
            }
            break;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            if (mis->CtlType != ODT_MENU) {
                auto it = controlIds.find(static_cast<WORD>(mis->CtlID));
                if (it != controlIds.end() && it->second != this) {
                    m.Result = it->second->Perform(CN_MEASUREITEM, m.WParam, m.LParam);
                    return;
                }
            }
            break;
        }
        case WM_COMPAREITEM:
        case WM_DELETEITEM:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR: {
            HWND child = reinterpret_cast<HWND>(m.LParam);
            if (m.Msg == WM_COMPAREITEM) child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem;
            if (m.Msg == WM_DELETEITEM) child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem;
            if (TWinControl* c = FindControl(child); c != nullptr && c != this) {
                m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
            break;
        }
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            SetTextColor(dc, ColorToRGB(Font()->Color()));
            SetBkColor(dc, ColorToRGB(Color()));
            if (!colorBrush_ || colorBrushColor_ != Color()) {
                colorBrush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
                colorBrushColor_ = Color();
            }
            m.Result = reinterpret_cast<LRESULT>(colorBrush_.Get());
            return;
        }
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: {
            // Shortcuts of the form and its menus and actions, then the
            // dialog keys (Tab, arrows, Enter, Esc) the control does not want.
            TCustomForm* form = GetParentForm();
            TWinControl* f = FormAsControl(form);
            m.Result = 0;
            if (f != nullptr) {
                TMessage sc{CM_APPKEYDOWN, m.WParam, m.LParam, 0};
                f->WindowProc(sc);
                if (sc.Result != 0) {
                    m.Result = 1;
                    return;
                }
            }
            WORD key = static_cast<WORD>(m.WParam);
            if (key == VK_TAB || key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN ||
                key == VK_RETURN || key == VK_ESCAPE || key == VK_EXECUTE || key == VK_CANCEL) {
                LRESULT code = SendMessageA(handle_, WM_GETDLGCODE, 0, 0);
                bool wants = (code & DLGC_WANTALLKEYS) != 0 ||
                             (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                             ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) &&
                              (code & DLGC_WANTARROWS));
                TMessage special{CM_WANTSPECIALKEY, m.WParam, 0, 0};
                WindowProc(special);
                if (special.Result != 0) wants = true;
                if (!wants && f != nullptr) {
                    TMessage dk{CM_DIALOGKEY, m.WParam, m.LParam, 0};
                    f->WindowProc(dk);
                    if (dk.Result != 0) m.Result = 1;
                }
            }
            return;
        }
        case CM_ENABLEDCHANGED:
            if (handle_ != nullptr && (IsWindowEnabled(handle_) != 0) != Enabled()) EnableWindow(handle_, Enabled());
            break;
        case CM_COLORCHANGED:
            NotifyControls(CM_PARENTCOLORCHANGED);
            Invalidate();
            break;
        case CM_SHOWHINTCHANGED:
            NotifyControls(CM_PARENTSHOWHINTCHANGED);
            break;
        case WM_CONTEXTMENU: {
            // A system control (the tree view) reports a right click on
            // itself to its parent: it pops up its own menu.
            TWinControl* from = this;
            if (reinterpret_cast<HWND>(m.WParam) != handle_) {
                from = FindControl(reinterpret_cast<HWND>(m.WParam));
                if (from == nullptr || from->Parent() != this) break;
            }
            if (from->ContextPopup(m.LParam)) return;
            break;
        }
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
                TCursor cur = hooks::ScreenCursor ? hooks::ScreenCursor() : crDefault;
                if (cur == crDefault) {
                    POINT p;
                    GetCursorPos(&p);
                    TControl* c = ControlAtPos(ScreenToClient({p.x, p.y}), false);
                    cur = c != nullptr ? c->Cursor() : Cursor();
                }
                if (cur != crDefault && hooks::CursorHandle) {
                    ::SetCursor(hooks::CursorHandle(cur));
                    m.Result = 1;
                    return;
                }
            }
            break;
        case WM_MOUSEMOVE: {
            TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
            TControl* c = captureControl != nullptr && captureControl->Parent() == this ? captureControl
                                                                                       : ControlAtPos(p, false);
            SetMouseControl(c != nullptr ? c : this);
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
            TrackMouseEvent(&tme);
            break;
        }
        case WM_MOUSELEAVE:
            if (mouseControl == this || (mouseControl != nullptr && mouseControl->Parent() == this &&
                                         dynamic_cast<TWinControl*>(mouseControl) == nullptr))
                SetMouseControl(nullptr);
            break;
        case WM_CAPTURECHANGED:
            if (captureControl != nullptr && captureControl->Parent() == this) captureControl = nullptr;
            break;
        case WM_NCDESTROY:
            if (mouseControl == this) mouseControl = nullptr;
            break;
        default:
            break;
    }
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL) {
        if (IsControlMouseMsg(m)) return;
    }
    TControl::WndProc(m);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (handle_ == nullptr || m.Msg >= CM_BASE) {
        if (m.Msg < CM_BASE) TControl::DefaultHandler(m);
        return;
    }
    WNDPROC proc = defWndProc_ != nullptr ? defWndProc_ : (unicode_ ? DefWindowProcW : DefWindowProcA);
    m.Result = unicode_ ? CallWindowProcW(proc, handle_, m.Msg, m.WParam, m.LParam)
                        : CallWindowProcA(proc, handle_, m.Msg, m.WParam, m.LParam);
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

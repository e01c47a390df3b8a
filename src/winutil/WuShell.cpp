#include "winutil/WuShell.h"

#include <algorithm>
#include <cstring>

#include "platform/ControlsHooks.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Register.h"

namespace treskel {

namespace {
UINT TaskbarCreated() {
    static const UINT msg = RegisterWindowMessageA("TaskbarCreated");
    return msg;
}
}  // namespace

TWuTrayIcon::TWuTrayIcon(TComponent* owner)
    : TComponent(owner),
      icon_(std::make_unique<TIcon>()),
      icons_(std::make_unique<TIconList>()),
      // A top-level window: the shell's restart notice is broadcast to those.
      window_([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
          return WndProc(msg, wParam, lParam, result);
      }, true, this),
      timer_([this] { AdvanceFrame(); }, this) {
    icon_->OnChange = [this](TObject*) { UpdateIcon(); };
    icons_->OnChange = [this](TObject*) { UpdateIcon(); };
}

TWuTrayIcon::~TWuTrayIcon() {
    enabled_ = false;
    icons_->OnChange = nullptr;
    icon_->OnChange = nullptr;
    SetAnimated(false);
    HideIcon();
}

void TWuTrayIcon::Loaded() {
    TComponent::Loaded();
    if (active_ && !Designing()) ShowIcon();
}

void TWuTrayIcon::SetShowDesign(bool v) {
    if (!Designing()) return;
    if (v)
        ShowIcon();
    else
        HideIcon();
}

void TWuTrayIcon::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TWuTrayIcon::SetPopupMenu(TPopupMenu* v) {
    popupMenu_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TWuTrayIcon::SetActive(bool v) {
    if (v == active_) return;
    active_ = v;
    if (IsLoading() || Designing()) return;
    if (v)
        ShowIcon();
    else
        HideIcon();
}

void TWuTrayIcon::SetHint(const std::string& v) {
    if (v == hint_) return;
    hint_ = v;
    UpdateIcon();
}

TIcon* TWuTrayIcon::CurrentIcon() const {
    if (animated_ && icons_->Count() > 0) return icons_->Get(std::clamp(frame_, 0, icons_->Count() - 1));
    return icon_.get();
}

void TWuTrayIcon::UpdateNotifyData() {
    data_ = {};
    data_.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data_.hWnd = window_.Handle();
    data_.uID = 0;
    data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data_.uCallbackMessage = WM_WUTRAYNOTIFY;
    TIcon* icon = CurrentIcon();
    data_.hIcon = icon != nullptr && !icon->Empty() ? icon->Handle() : reinterpret_cast<HICON>(-1);
    std::string tip = hint_.substr(0, hint_.find('|'));
    tip = tip.substr(0, 63);  // the first form of the record holds 64 bytes
    std::memcpy(data_.szTip, tip.c_str(), tip.size() + 1);
}

void TWuTrayIcon::ShowIcon() {
    HideIcon();
    TIcon* icon = CurrentIcon();
    if (icon == nullptr || icon->Empty()) return;
    pressed_ = 0;
    UpdateNotifyData();
    shown_ = Shell_NotifyIconA(NIM_ADD, &data_) != FALSE;
    if (shown_ && animated_) timer_.Start(static_cast<unsigned>(std::max(interval_, 1)));
}

void TWuTrayIcon::HideIcon() {
    if (window_.HandleAllocated()) {
        NOTIFYICONDATAA d{};
        d.cbSize = NOTIFYICONDATAA_V1_SIZE;
        d.hWnd = window_.Handle();
        Shell_NotifyIconA(NIM_DELETE, &d);
    }
    shown_ = false;
    pressed_ = 0;
    // A hidden icon needs no frames.
    timer_.Stop();
}

void TWuTrayIcon::UpdateIcon() {
    if (icons_->Count() == 0 && animated_) SetAnimated(false);
    if (shown_) {
        TIcon* icon = CurrentIcon();
        if (icon != nullptr && !icon->Empty()) {
            UpdateNotifyData();
            Shell_NotifyIconA(NIM_MODIFY, &data_);
        } else {
            HideIcon();
        }
    } else if (!IsLoading() && !IsDestroying() && !Designing() && active_) {
        ShowIcon();
    }
}

void TWuTrayIcon::SetAnimated(bool v) {
    bool value = v && icons_->Count() > 0;
    if (value == animated_) return;
    animated_ = value;
    if (value && shown_)
        timer_.Start(static_cast<unsigned>(std::max(interval_, 1)));
    else
        timer_.Stop();
    frame_ = 0;
    UpdateIcon();
}

void TWuTrayIcon::AdvanceFrame() {
    if (IsDestroying() || !animated_) return;
    if (++frame_ >= icons_->Count()) frame_ = 0;
    UpdateIcon();
    // The next frame waits the interval as it is now: a change made while
    // the icon animates counts from this frame on.
    if (timer_.Running()) timer_.Start(static_cast<unsigned>(std::max(interval_, 1)));
}

bool TWuTrayIcon::WndProc(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    result = 0;
    if (msg == TaskbarCreated()) {
        // The shell started again and knows no icon: add ours once more.
        if (active_ && !IsDestroying()) ShowIcon();
        return false;
    }
    if (msg != WM_WUTRAYNOTIFY || !enabled_) return false;
    try {
        TrayMessage(static_cast<UINT>(lParam));
    } catch (...) {
        HandleCallbackException();
    }
    return true;
}

void TWuTrayIcon::TrayMessage(UINT mouse) {
    POINT p;
    GetCursorPos(&p);
    TShiftState shift = CurrentShiftState();
    using S = TShiftStateItem;
    switch (mouse) {
        case WM_MOUSEMOVE: MouseMove(shift, p.x, p.y); break;
        case WM_LBUTTONDOWN:
            MouseDown(TMouseButton::mbLeft, shift + S::ssLeft, p.x, p.y);
            pressed_ |= 1;
            break;
        case WM_LBUTTONUP:
            if ((pressed_ & 1) != 0) {
                pressed_ &= ~1u;
                Click(TMouseButton::mbLeft, shift + S::ssLeft, p.x, p.y);
            }
            MouseUp(TMouseButton::mbLeft, shift + S::ssLeft, p.x, p.y);
            break;
        case WM_LBUTTONDBLCLK:
            DblClick();
            MouseDown(TMouseButton::mbLeft, shift + S::ssDouble, p.x, p.y);
            break;
        case WM_RBUTTONDOWN:
            MouseDown(TMouseButton::mbRight, shift + S::ssRight, p.x, p.y);
            pressed_ |= 2;
            break;
        case WM_RBUTTONUP:
            if ((pressed_ & 2) != 0) {
                pressed_ &= ~2u;
                Click(TMouseButton::mbRight, shift + S::ssRight, p.x, p.y);
            }
            MouseUp(TMouseButton::mbRight, shift + S::ssRight, p.x, p.y);
            break;
        case WM_RBUTTONDBLCLK: MouseDown(TMouseButton::mbRight, shift + S::ssDouble, p.x, p.y); break;
        case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift + S::ssMiddle, p.x, p.y); break;
        case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift + S::ssMiddle, p.x, p.y); break;
        case WM_MBUTTONDBLCLK: MouseDown(TMouseButton::mbMiddle, shift + S::ssDouble, p.x, p.y); break;
        default: break;
    }
}

void TWuTrayIcon::DblClick() {
    if (!DoDefaultItem() && OnDblClick) OnDblClick(this);
}

void TWuTrayIcon::Click(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbRight && DoPopup(x, y)) return;
    if (OnClick) OnClick(this, button, shift, x, y);
}

void TWuTrayIcon::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TWuTrayIcon::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TWuTrayIcon::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

bool TWuTrayIcon::DoPopup(int x, int y) {
    if (Designing() || !active_ || popupMenu_ == nullptr || !popupMenu_->AutoPopup()) return false;
    popupMenu_->SetPopupComponent(this);
    TCustomForm* form = EnsureScreen()->ActiveForm();
    if (form == nullptr && Application != nullptr) form = Application->MainForm();
    if (form != nullptr && form->HandleAllocated()) SendMessageA(form->Handle(), WM_CANCELMODE, 0, 0);
    // The menu closes when the user clicks elsewhere only while our window
    // is in front.
    SetForegroundWindow(window_.Handle());
    if (Application != nullptr) Application->ProcessMessages();
    popupMenu_->Popup(x, y);
    SetForegroundWindow(window_.Handle());
    return true;
}

bool TWuTrayIcon::DoDefaultItem() {
    if (Designing() || !active_ || popupMenu_ == nullptr || popupMenu_->Items() == nullptr) return false;
    TMenuItem* items = popupMenu_->Items();
    for (int i = 0; i < items->Count(); ++i) {
        TMenuItem* item = items->Items(i);
        if (item->Default() && item->Enabled()) {
            item->Click();
            return true;
        }
    }
    return false;
}

void RegisterTrayIconClasses() {
    RegisterIconListClasses();
    PublishClass<TWuTrayIcon, TComponent>()
        .Bool("Active", &TWuTrayIcon::Active, &TWuTrayIcon::SetActive, true)
        .Bool("Enabled", &TWuTrayIcon::Enabled, &TWuTrayIcon::SetEnabled, true)
        .String("Hint", &TWuTrayIcon::Hint, &TWuTrayIcon::SetHint)
        .Object("Icon", &TWuTrayIcon::Icon)
        .Object("Icons", &TWuTrayIcon::Icons)
        .Bool("Animated", &TWuTrayIcon::Animated, &TWuTrayIcon::SetAnimated)
        .Int("Interval", &TWuTrayIcon::Interval, &TWuTrayIcon::SetInterval, 150)
        .Ref<TPopupMenu>("PopupMenu", &TWuTrayIcon::PopupMenu, &TWuTrayIcon::SetPopupMenu)
        // Only while the form is designed; never written.
        .Custom("ShowDesign", [](TWuTrayIcon* t, const FormValue& v, LayoutReader& r) {
            t->SetShowDesign(typinfo::AsBool(v, r));
        })
        .Event("OnDblClick", &TWuTrayIcon::OnDblClick)
        .Event("OnClick", &TWuTrayIcon::OnClick)
        .Event("OnMouseMove", &TWuTrayIcon::OnMouseMove)
        .Event("OnMouseDown", &TWuTrayIcon::OnMouseDown)
        .Event("OnMouseUp", &TWuTrayIcon::OnMouseUp);
}

}  // namespace treskel

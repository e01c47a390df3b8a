#include "winutil/WuHook.h"

#include <algorithm>

#include "platform/ControlsHooks.h"
#include "platform/Forms.h"
#include "platform/Register.h"
#include "platform/UtilityWindow.h"

namespace treskel {

namespace {

// Every record, and the hidden window that re-installs or releases one
// after the message at hand.
class THookList {
public:
    THookList()
        : window_([this](UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
              return Handle(msg, reinterpret_cast<TControlHook*>(lParam), result);
          }) {}
    std::vector<std::unique_ptr<TControlHook>> Records;
    bool Contains(TControlHook* r) const {
        return std::any_of(Records.begin(), Records.end(), [&](auto& p) { return p.get() == r; });
    }
    void Post(UINT msg, TControlHook* r) { PostMessageA(window_.Handle(), msg, 0, reinterpret_cast<LPARAM>(r)); }

private:
    bool Handle(UINT msg, TControlHook* r, LRESULT& result) {
        result = 0;
        if (msg == WM_WUREHOOK) {
            if (Contains(r)) r->HookControl();
            return true;
        }
        if (msg == WM_WURELEASE) {
            if (Contains(r) && !r->HasHooks())
                Records.erase(std::find_if(Records.begin(), Records.end(), [&](auto& p) { return p.get() == r; }));
            return true;
        }
        return false;
    }
    UtilityWindow window_;
};

THookList& HookList() {
    static THookList list;
    return list;
}

}  // namespace

TControlHook* FindControlHook(TWinControl* control) {
    for (auto& r : HookList().Records)
        if (r->Control() == control) return r.get();
    return nullptr;
}

TControlHook* GetControlHook(TWinControl* control) {
    if (TControlHook* r = FindControlHook(control)) return r;
    HookList().Records.push_back(std::make_unique<TControlHook>());
    TControlHook* r = HookList().Records.back().get();
    r->SetControl(control);
    return r;
}

TControlHook::~TControlHook() {
    destroying_ = true;
    for (TWuWindowHook* h : hooks_) h->hook_ = nullptr;
    hooks_.clear();
    UnhookControl();
}

void TControlHook::SetControl(TWinControl* control) {
    if (control == control_) return;
    UnhookControl();
    control_ = control;
    if (HasHooks()) HookControl();
}

void TControlHook::AddHook(TWuWindowHook* hook) {
    if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) hooks_.push_back(hook);
    hook->hook_ = this;
    HookControl();
}

void TControlHook::RemoveHook(TWuWindowHook* hook) {
    hook->hook_ = nullptr;
    hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
    if (hooks_.empty()) UnhookControl();
}

void TControlHook::HookControl() {
    if (control_ == nullptr || control_->IsDestroying() || destroying_ || Hooked()) return;
    subclass_.Attach(control_->Handle(), [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return Message(msg, wParam, lParam, result);
    });
}

// Leaving the system's chain takes out only this attachment: a procedure
// that another subclasser put in front of it stays in place.
void TControlHook::UnhookControl() { subclass_.Detach(); }

bool TControlHook::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    TMessage m{msg, wParam, lParam, 0};
    bool handled = false;
    if (msg != WM_QUIT) NotifyHooks(true, m, handled);
    if (!handled || msg == WM_DESTROY) {
        m.Result = subclass_.CallNext(m.Msg, m.WParam, m.LParam);
        NotifyHooks(false, m, handled);
    }
    if (msg == WM_DESTROY) {
        UnhookControl();
        // A control may make its window again: hook that one once it exists.
        if (!destroying_ && control_ != nullptr && !control_->IsDestroying()) HookList().Post(WM_WUREHOOK, this);
    }
    result = m.Result;
    return true;
}

void TControlHook::NotifyHooks(bool before, TMessage& m, bool& handled) {
    if (hooks_.empty() || control_ == nullptr || control_->IsDestroying() || destroying_) return;
    std::vector<TWuWindowHook*> hooks = hooks_;
    for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
        try {
            if (before)
                (*it)->DoBeforeMessage(m, handled);
            else
                (*it)->DoAfterMessage(m, handled);
        } catch (...) {
            HandleCallbackException();
        }
        if (handled) break;
    }
}

TWuWindowHook::TWuWindowHook(TComponent* owner) : TComponent(owner) {}

TWuWindowHook::~TWuWindowHook() {
    SetActive(false);
    SetWinControl(nullptr);
}

TWinControl* TWuWindowHook::WinControl() const { return hook_ != nullptr ? hook_->Control() : winControl_; }

void TWuWindowHook::SetActive(bool value) {
    if (value == active_) return;
    if (value) {
        if (winControl_ != nullptr && !IsDestroying() && !IsLoading()) GetControlHook(winControl_)->AddHook(this);
        active_ = true;
    } else {
        if (hook_ != nullptr) hook_->RemoveHook(this);
        active_ = false;
    }
}

void TWuWindowHook::SetWinControl(TWinControl* value) {
    if (value == winControl_) return;
    bool wasActive = active_;
    TControlHook* old = hook_;
    SetActive(false);
    winControl_ = value;
    if (value != nullptr) value->FreeNotification(this);
    if (old != nullptr && !old->HasHooks()) HookList().Post(WM_WURELEASE, old);
    if (wasActive) SetActive(true);
}

void TWuWindowHook::Loaded() {
    TComponent::Loaded();
    if (active_ && winControl_ != nullptr && hook_ == nullptr && !IsDestroying())
        GetControlHook(winControl_)->AddHook(this);
}

bool TWuWindowHook::IsForm() const {
    return WinControl() != nullptr && WinControl() == Owner() && dynamic_cast<TCustomForm*>(Owner()) != nullptr;
}

void TWuWindowHook::SetIsForm(bool value) {
    if (value && dynamic_cast<TCustomForm*>(Owner()) != nullptr) SetWinControl(static_cast<TCustomForm*>(Owner()));
}

void TWuWindowHook::DoAfterMessage(TMessage& msg, bool& handled) {
    if (AfterMessage) AfterMessage(this, msg, handled);
}

void TWuWindowHook::DoBeforeMessage(TMessage& msg, bool& handled) {
    if (BeforeMessage) BeforeMessage(this, msg, handled);
}

void TWuWindowHook::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && (component == winControl_ || component == Owner()))
        SetWinControl(nullptr);
}

void RegisterWuHookClasses() {
    using H = TWuWindowHook;
    PublishClass<H, TComponent>()
        .Bool("Active", &H::Active, &H::SetActive, true)
        // A form is written as "IsForm" instead.
        .Ref<TWinControl>(
            "WinControl",
            [](H* h) -> TWinControl* {
                TWinControl* c = h->WinControl();
                return dynamic_cast<TCustomForm*>(c) != nullptr ? nullptr : c;
            },
            &H::SetWinControl)
        .Bool("IsForm", &H::IsForm, &H::SetIsForm)
        .Event("BeforeMessage", &H::BeforeMessage)
        .Event("AfterMessage", &H::AfterMessage);
}

}  // namespace treskel

#include "foundation/qclclassHook.h"

#include <algorithm>
#include <vector>

#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/UtilityWindow.h"

namespace treskel {

// Components whose window was destroyed while they still wanted it: they
// hook the owner's new window once the message at hand is done (a window
// that is re-created gets its new handle within that message).
struct QclRehookList {
    static constexpr UINT WM_QCLREHOOK = WM_APP + 0x3D1;
    std::vector<TQclWndProcComponent*> pending;
    UtilityWindow window{[this](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_QCLREHOOK) return false;
        Run();
        result = 0;
        return true;
    }};

    ~QclRehookList() { gone = true; }
    static inline bool gone = false;
    static QclRehookList& Instance() {
        static QclRehookList list;
        return list;
    }
    void Add(TQclWndProcComponent* c) {
        if (std::find(pending.begin(), pending.end(), c) == pending.end()) pending.push_back(c);
        PostMessageA(window.Handle(), WM_QCLREHOOK, 0, 0);
    }
    void Remove(TQclWndProcComponent* c) { std::erase(pending, c); }
    void Run() {
        std::vector<TQclWndProcComponent*> list;
        list.swap(pending);
        for (TQclWndProcComponent* c : list) {
            auto* form = dynamic_cast<TWinControl*>(c->Owner());
            if (form != nullptr && form->HandleAllocated() && !c->IsDestroying()) c->HookOwner();
        }
    }
};

TQclWndProcComponent::TQclWndProcComponent(TComponent* owner) : TQclComponent(owner) {
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) {
        if (form->FormStyle() == TFormStyle::fsMDIChild) ownerKind_ = 1;
        if (form->FormStyle() == TFormStyle::fsMDIForm) ownerKind_ = 2;
    }
}

TQclWndProcComponent::~TQclWndProcComponent() {
    Unhook();
    if (!QclRehookList::gone) QclRehookList::Instance().Remove(this);
}

void TQclWndProcComponent::SetEnabled(bool value) {
    enabled_ = value;
    // A layout being read hooks once it is whole (Loaded).
    if (Designing() || IsLoading()) return;
    if (value)
        HookOwner();
    else
        RestoreOwner();
}

HWND TQclWndProcComponent::GetHookHandle() {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (form == nullptr) return nullptr;
    HWND wnd = form->Handle();
    if (ownerKind_ == 2 && !useFormHandle_) {
        if (HWND client = FindWindowExA(wnd, nullptr, "MDICLIENT", nullptr)) return client;
    }
    return wnd;
}

bool TQclWndProcComponent::Hook() {
    if (Hooked() || Designing() || dynamic_cast<TWinControl*>(Owner()) == nullptr) return false;
    HWND wnd = GetHookHandle();
    if (wnd == nullptr) return false;
    if (hookMainWindow_ && Application != nullptr)
        mainSubclass_.Attach(Application->Handle(), [this](UINT m, WPARAM w, LPARAM l, LRESULT& r) {
            return MainMessage(m, w, l, r);
        });
    return subclass_.Attach(wnd, [this](UINT m, WPARAM w, LPARAM l, LRESULT& r) { return Message(m, w, l, r); });
}

bool TQclWndProcComponent::Unhook() {
    subclass_.Detach();
    mainSubclass_.Detach();
    return true;
}

void TQclWndProcComponent::CallOldWndProc(TMessage& message) {
    message.Result = subclass_.CallNext(message.Msg, message.WParam, message.LParam);
}

bool TQclWndProcComponent::IsReady() {
    auto* form = dynamic_cast<TWinControl*>(Owner());
    return form != nullptr && form->HandleAllocated() && !IsLoading() && !IsDestroying();
}

void TQclWndProcComponent::Loaded() {
    TQclComponent::Loaded();
    if (!Designing()) HookOwner();
}

bool TQclWndProcComponent::MainWndHook(TMessage&) { return false; }

void TQclWndProcComponent::HookOwner() {
    if (enabled_ && !Hooked()) Hook();
}

void TQclWndProcComponent::WndProc(TMessage& message) { CallOldWndProc(message); }

bool TQclWndProcComponent::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    TMessage m{msg, wParam, lParam, 0};
    WndProc(m);
    result = m.Result;
    if (msg == WM_NCDESTROY) WindowGone();
    return true;
}

bool TQclWndProcComponent::MainMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    TMessage m{msg, wParam, lParam, 0};
    if (!MainWndHook(m)) return false;
    result = m.Result;
    return true;
}

// The window went (the subclass chain lets go of it by itself): the main
// window's hook goes too, and a window made again for the same owner is
// hooked again.
void TQclWndProcComponent::WindowGone() {
    mainSubclass_.Detach();
    auto* owner = Owner();
    if (enabled_ && owner != nullptr && !owner->IsDestroying() && !IsDestroying() && !QclRehookList::gone)
        QclRehookList::Instance().Add(this);
}

void RegisterWndProcClasses() {
    PublishClass<TQclWndProcComponent, TQclComponent>().NotCreatable();
}

}  // namespace treskel

// The base of the library's non-visual components that change how their
// owner form behaves by seeing its window's messages first: the form
// component, the caption styler and the background fill.
#pragma once

#include <windows.h>

#include "foundation/qclclass.h"
#include "platform/Controls.h"
#include "platform/Subclass.h"

namespace treskel {

class TCustomForm;

class TQclWndProcComponent : public TQclComponent {
    TRESKEL_CLASS(TQclWndProcComponent)
public:
    explicit TQclWndProcComponent(TComponent* owner);
    ~TQclWndProcComponent() override;

    bool Enabled() const { return enabled_; }
    // Outside design time hooks the owner when set and undoes the
    // component's window changes (RestoreOwner) when cleared.
    void SetEnabled(bool value);
    // Also see the messages of the application's hidden window.
    bool HookMainWindow() const { return hookMainWindow_; }
    void SetHookMainWindow(bool v) { hookMainWindow_ = v; }
    // For an MDI frame owner: hook the frame itself, not its client window.
    bool UseFormHandle() const { return useFormHandle_; }
    void SetUseFormHandle(bool v) { useFormHandle_ = v; }

    TComponent* GetOwnerForm() const { return Owner(); }
    // The window hooked: the owner form's (made when needed), or its MDI
    // client window for an MDI frame; null without an owner form.
    HWND GetHookHandle();
    // Enters the window's procedure chain; false when there is no window,
    // it is already hooked or the component is being designed.
    bool Hook();
    // Leaves the chain (any order of several components is safe).
    bool Unhook();
    bool Hooked() const { return subclass_.Attached(); }
    // Passes the message at hand to the procedure below this hook and
    // keeps its result in the message.
    void CallOldWndProc(TMessage& message);
    // The owner's window exists and the component is neither loading nor
    // being destroyed.
    bool IsReady();

    void Loaded() override;

    // A message of the application's hidden window; true when handled
    // (the base handles none: they go on to the application).
    virtual bool MainWndHook(TMessage& message);
    // Hooks the owner when Enabled and not hooked yet.
    virtual void HookOwner();
    // Undoes what the component changed on the window (nothing in the base).
    virtual void RestoreOwner() {}
    // Every message of the hooked window.  Descendants handle theirs and
    // call this for the rest, which passes them on.
    virtual void WndProc(TMessage& message);

protected:
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }
    // 0 ordinary owner, 1 an MDI child form, 2 an MDI frame form.
    int OwnerKind() const { return ownerKind_; }

private:
    friend struct QclRehookList;
    bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool MainMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void WindowGone();

    bool enabled_ = true;
    bool hookMainWindow_ = false;
    bool useFormHandle_ = false;
    int ownerKind_ = 0;
    WindowSubclass subclass_;
    WindowSubclass mainSubclass_;
};

void RegisterWndProcClasses();

}  // namespace treskel

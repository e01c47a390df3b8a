// A component that sees a windowed control's messages before and after the
// control's own procedure.  Several may watch one control: they share one
// attachment per control in the window's subclass chain.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/Controls.h"
#include "platform/Subclass.h"

namespace treskel {

class TWuWindowHook;
using THookMessageEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

// Private messages of the hook list's hidden window.
inline constexpr UINT WM_WUREHOOK = 0xB052, WM_WURELEASE = 0xB053;

class TControlHook {
public:
    ~TControlHook();
    TWinControl* Control() const { return control_; }
    void SetControl(TWinControl* control);
    void AddHook(TWuWindowHook* hook);
    void RemoveHook(TWuWindowHook* hook);
    bool HasHooks() const { return !hooks_.empty(); }
    void HookControl();
    void UnhookControl();
    bool Hooked() const { return subclass_.Attached(); }

private:
    bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void NotifyHooks(bool before, TMessage& m, bool& handled);
    TWinControl* control_ = nullptr;
    std::vector<TWuWindowHook*> hooks_;
    bool destroying_ = false;
    WindowSubclass subclass_;
};

// The record of `control` in the global list, made when there is none.
TControlHook* GetControlHook(TWinControl* control);
TControlHook* FindControlHook(TWinControl* control);

class TWuWindowHook : public TComponent {
    TRESKEL_CLASS(TWuWindowHook)
public:
    explicit TWuWindowHook(TComponent* owner);
    ~TWuWindowHook() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    TWinControl* WinControl() const;
    void SetWinControl(TWinControl* value);
    THookMessageEvent BeforeMessage;
    THookMessageEvent AfterMessage;

    virtual void DoAfterMessage(TMessage& msg, bool& handled);
    virtual void DoBeforeMessage(TMessage& msg, bool& handled);
    // Whether the hook watches the form that owns it (how a layout says so).
    bool IsForm() const;
    void SetIsForm(bool value);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // A hook read from a layout attaches once the layout is complete.
    void Loaded() override;

private:
    friend class TControlHook;
    bool active_ = true;
    TWinControl* winControl_ = nullptr;
    TControlHook* hook_ = nullptr;
};

void RegisterWuHookClasses();

}  // namespace treskel

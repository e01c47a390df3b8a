// An icon in the task bar's notification area that stands for a window:
// tip text, picture, the shell's mouse messages turned into events, a
// context menu and an optional animation through a list of icons.
#pragma once

#include <shellapi.h>

#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/UtilityWindow.h"
#include "winutil/IcoList.h"

namespace treskel {

// The shell's callback message of a tray icon.
inline constexpr UINT WM_WUTRAYNOTIFY = 0xB054;

class TWuTrayIcon : public TComponent {
    TRESKEL_CLASS(TWuTrayIcon)
public:
    explicit TWuTrayIcon(TComponent* owner);
    ~TWuTrayIcon() override;

    bool Active() const { return active_; }
    void SetActive(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    TIcon* Icon() const { return icon_.get(); }
    void SetIcon(TIcon* v) { icon_->Assign(v); }
    TIconList* Icons() const { return icons_.get(); }
    void SetIcons(TIconList* v) { icons_->Assign(v); }
    bool Animated() const { return animated_; }
    void SetAnimated(bool v);
    int Interval() const { return interval_; }
    void SetInterval(int v) { interval_ = v; }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* v);
    // While the form is designed: whether the icon shows there.
    bool ShowDesign() const { return Designing() && shown_; }
    void SetShowDesign(bool v);
    TMouseEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    // Whether the shell took the icon (the last add succeeded).
    bool Shown() const { return shown_; }
    int FrameIndex() const { return frame_; }
    // Whether frames are being advanced now.
    bool Animating() const { return timer_.Running(); }
    // The hidden window the shell talks to.
    HWND Window() { return window_.Handle(); }
    // The record given to the shell.
    const NOTIFYICONDATAA& NotifyData() const { return data_; }

    virtual void UpdateNotifyData();
    virtual void DblClick();
    virtual void Click(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }
    TIcon* CurrentIcon() const;
    void ShowIcon();
    void HideIcon();
    void UpdateIcon();
    void AdvanceFrame();
    bool DoPopup(int x, int y);
    bool DoDefaultItem();
    bool WndProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void TrayMessage(UINT mouse);

    bool active_ = true, enabled_ = true, animated_ = false, shown_ = false;
    std::string hint_;
    std::unique_ptr<TIcon> icon_;
    std::unique_ptr<TIconList> icons_;
    int interval_ = 150;
    TPopupMenu* popupMenu_ = nullptr;
    unsigned pressed_ = 0;  // bit 0 left, bit 1 right
    int frame_ = -1;
    NOTIFYICONDATAA data_{};
    UtilityWindow window_;
    // Frames advance on this thread's timer: no thread of its own.
    UtilityTimer timer_;
};

void RegisterTrayIconClasses();

}  // namespace treskel

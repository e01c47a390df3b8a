// A hidden window whose messages go to a function: the timers, the
// clipboard's owner and the owner of modeless dialogs each need one.
#pragma once

#include <windows.h>

#include <functional>

namespace treskel {

class UtilityWindow {
public:
    // Returns true when it handled the message (and set `result`).
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    // A message-only window, or with `popup` a hidden top-level window
    // (one that can own other top-level windows).
    explicit UtilityWindow(Handler handler, bool popup = false);
    ~UtilityWindow();
    UtilityWindow(const UtilityWindow&) = delete;
    UtilityWindow& operator=(const UtilityWindow&) = delete;

    // The window, created on first use and again after something destroyed
    // it (a popup goes with the window that owns it).
    HWND Handle();
    bool HandleAllocated() const { return wnd_ != nullptr; }
    // Makes `owner` the owner of the popup window (null: none).
    void SetOwner(HWND owner);

private:
    static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    Handler handler_;
    bool popup_;
    HWND wnd_ = nullptr;
};

}  // namespace treskel

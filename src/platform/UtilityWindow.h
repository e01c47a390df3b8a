// The one hidden window class of the program: every timer, private message
// and tray callback arrives at one of these and goes to a function.  The
// timers, the clipboard's owner, the owner of modeless dialogs and the main
// window's deferred work each use one.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Subclass.h"

namespace treskel {

class UtilityWindow {
public:
    // Returns true when it handled the message (and set `result`).
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    // A message-only window, or with `popup` a hidden top-level window
    // (one that can own other top-level windows).  `owner` is what OwnerOf
    // gives for the window (tests look windows up by it).
    explicit UtilityWindow(Handler handler, bool popup = false, void* owner = nullptr);
    ~UtilityWindow();
    UtilityWindow(const UtilityWindow&) = delete;
    UtilityWindow& operator=(const UtilityWindow&) = delete;

    // The window, created on first use and again after something destroyed
    // it (a popup goes with the window that owns it).
    HWND Handle();
    bool HandleAllocated() const { return subclass_.Attached(); }
    // Makes `owner` the owner of the popup window (null: none).
    void SetOwner(HWND owner);
    // The `owner` a utility window was made with; null for other windows.
    static void* OwnerOf(HWND wnd);

private:
    Handler handler_;
    bool popup_;
    void* owner_;
    WindowSubclass subclass_;
};

// A message-only window of the utility kind whose messages go straight to
// `proc`, with no attachment in front of it: for a window that a system
// control tells of its doings message by message, where the attachment's
// lookup of its data for each message would cost more than the message
// (round trips to the window server under some hosts).  One window per
// procedure, made on first use and again after something destroyed it.
HWND PlainUtilityWindow(WNDPROC proc);

// A system timer that calls a function on every tick, on a utility window
// of its own.  It stops when it goes.
class UtilityTimer {
public:
    explicit UtilityTimer(std::function<void()> tick, void* owner = nullptr);
    UtilityTimer(const UtilityTimer&) = delete;
    UtilityTimer& operator=(const UtilityTimer&) = delete;
    ~UtilityTimer() { Stop(); }

    // (Re)starts with a period of `ms` milliseconds (at least 1); false
    // when the system has no timer left.
    bool Start(unsigned ms);
    void Stop();
    bool Running() const { return running_; }

private:
    std::function<void()> tick_;
    bool running_ = false;
    UtilityWindow window_;
};

}  // namespace treskel

// The one way this program attaches to a window's procedure: the system's
// subclass chain (SetWindowSubclass), one entry per attachment, removable in
// any order.  Every control object is bound to its window by one of these,
// and so is anything that listens in on a window it did not make.
#pragma once

#include <windows.h>

#include <functional>

namespace treskel {

class WindowSubclass {
public:
    // Handles a message: returns true when it set `result`, false to pass
    // the message on down the chain.  Exceptions stop here and go to the
    // application's error box.
    using Handler = std::function<bool(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

    WindowSubclass() = default;
    ~WindowSubclass() { Detach(); }
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    // Attaches in front of `wnd`'s procedure (after detaching from any
    // earlier window); false when the system refuses.  `key` names this
    // attachment for FindOwner (0: none); `owner` is what FindOwner gives.
    bool Attach(HWND wnd, Handler handler, UINT_PTR key = 0, void* owner = nullptr);
    // Leaves the chain; done by itself when the window is destroyed.
    void Detach();
    HWND Window() const { return wnd_; }
    bool Attached() const { return wnd_ != nullptr; }
    // The procedure below this attachment, for a message the handler wants
    // handled as it would be without it.
    LRESULT CallNext(UINT msg, WPARAM wParam, LPARAM lParam) const;

    // The owner of the attachment named `key` on `wnd`, or null.
    static void* FindOwner(HWND wnd, UINT_PTR key);

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    UINT_PTR Id() const { return key_ != 0 ? key_ : reinterpret_cast<UINT_PTR>(this); }
    void Forget(HWND wnd) const;
    HWND wnd_ = nullptr;
    UINT_PTR key_ = 0;
    void* owner_ = nullptr;
    Handler handler_;
};

}  // namespace treskel

#include "platform/Subclass.h"

#include <commctrl.h>

#include "platform/ControlsHooks.h"

namespace treskel {

bool WindowSubclass::Attach(HWND wnd, Handler handler, UINT_PTR key, void* owner) {
    Detach();
    key_ = key;
    owner_ = owner;
    handler_ = std::move(handler);
    if (wnd == nullptr || !SetWindowSubclass(wnd, Proc, Id(), reinterpret_cast<DWORD_PTR>(this))) return false;
    wnd_ = wnd;
    return true;
}

void WindowSubclass::Detach() {
    if (wnd_ == nullptr) return;
    HWND w = wnd_;
    wnd_ = nullptr;
    RemoveWindowSubclass(w, Proc, Id());
}

LRESULT WindowSubclass::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return wnd_ != nullptr ? DefSubclassProc(wnd_, msg, wParam, lParam) : 0;
}

void* WindowSubclass::FindOwner(HWND wnd, UINT_PTR key) {
    DWORD_PTR data = 0;
    if (wnd == nullptr || key == 0 || !GetWindowSubclass(wnd, Proc, key, &data) || data == 0) return nullptr;
    return reinterpret_cast<WindowSubclass*>(data)->owner_;
}

LRESULT CALLBACK WindowSubclass::Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<WindowSubclass*>(data);
    LRESULT result = 0;
    bool handled = false;
    // A copy: the handler may free the object that holds this attachment.
    Handler handler = self->handler_;
    try {
        handled = handler && handler(msg, wParam, lParam, result);
    } catch (...) {
        HandleCallbackException();
        handled = true;
        result = 0;
    }
    if (!handled) result = DefSubclassProc(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // Still in the chain means the holder is still alive (it leaves the
        // chain when it goes): forget the window.
        DWORD_PTR still = 0;
        if (GetWindowSubclass(wnd, Proc, id, &still) && still == data) {
            self->wnd_ = nullptr;
            RemoveWindowSubclass(wnd, Proc, id);
        }
    }
    return result;
}

}  // namespace treskel

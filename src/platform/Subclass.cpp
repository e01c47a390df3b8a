#include "platform/Subclass.h"

#include <commctrl.h>

#include "platform/ControlsHooks.h"

#include <unordered_map>

namespace treskel {

namespace {

// Keyed attachments by window, kept in the process: FindOwner runs for every
// notification a parent reflects, and asking the system's chain for it costs a
// round trip to the window server under some hosts.
struct KeyedWindow {
    HWND wnd;
    UINT_PTR key;
    bool operator==(const KeyedWindow&) const = default;
};
struct KeyedWindowHash {
    size_t operator()(const KeyedWindow& k) const {
        return std::hash<UINT_PTR>()(reinterpret_cast<UINT_PTR>(k.wnd) * 31 + k.key);
    }
};
// Attachments held by objects of static storage may leave after the map is
// gone at exit; they then have nothing left to forget.
bool keyedGone = false;
struct KeyedMap : std::unordered_map<KeyedWindow, WindowSubclass*, KeyedWindowHash> {
    ~KeyedMap() { keyedGone = true; }
};
KeyedMap& Keyed() {
    static KeyedMap keyed;
    return keyed;
}

}  // namespace

bool WindowSubclass::Attach(HWND wnd, Handler handler, UINT_PTR key, void* owner) {
    Detach();
    key_ = key;
    owner_ = owner;
    handler_ = std::move(handler);
    if (wnd == nullptr || !SetWindowSubclass(wnd, Proc, Id(), reinterpret_cast<DWORD_PTR>(this))) return false;
    wnd_ = wnd;
    if (key_ != 0 && !keyedGone) Keyed()[{wnd, key_}] = this;
    return true;
}

void WindowSubclass::Detach() {
    if (wnd_ == nullptr) return;
    HWND w = wnd_;
    wnd_ = nullptr;
    Forget(w);
    RemoveWindowSubclass(w, Proc, Id());
}

void WindowSubclass::Forget(HWND wnd) const {
    if (key_ == 0 || keyedGone) return;
    auto it = Keyed().find({wnd, key_});
    if (it != Keyed().end() && it->second == this) Keyed().erase(it);
}

LRESULT WindowSubclass::CallNext(UINT msg, WPARAM wParam, LPARAM lParam) const {
    return wnd_ != nullptr ? DefSubclassProc(wnd_, msg, wParam, lParam) : 0;
}

void* WindowSubclass::FindOwner(HWND wnd, UINT_PTR key) {
    if (wnd == nullptr || key == 0 || keyedGone) return nullptr;
    auto it = Keyed().find({wnd, key});
    return it != Keyed().end() ? it->second->owner_ : nullptr;
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
            self->Forget(wnd);
            RemoveWindowSubclass(wnd, Proc, id);
        }
    }
    return result;
}

}  // namespace treskel

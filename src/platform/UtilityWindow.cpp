#include "platform/UtilityWindow.h"

#include "platform/ControlsHooks.h"
#include "platform/SysUtils.h"

namespace treskel {

namespace {
constexpr const char* kClassName = "TreskelUtilityWindow";

void RegisterUtilityClass() {
    WNDCLASSA existing{};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, kClassName, &existing)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;  // replaced per window
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class TreskelUtilityWindow");
}
}  // namespace

UtilityWindow::UtilityWindow(Handler handler, bool popup) : handler_(std::move(handler)), popup_(popup) {}

UtilityWindow::~UtilityWindow() {
    if (wnd_ != nullptr) {
        HWND w = wnd_;
        wnd_ = nullptr;
        SetWindowLongPtrA(w, GWLP_USERDATA, 0);
        DestroyWindow(w);
    }
}

HWND UtilityWindow::Handle() {
    if (wnd_ != nullptr) return wnd_;
    RegisterUtilityClass();
    HWND parent = popup_ ? nullptr : HWND_MESSAGE;
    DWORD style = popup_ ? WS_POPUP : 0;
    DWORD exStyle = popup_ ? WS_EX_TOOLWINDOW : 0;
    HWND w = CreateWindowExA(exStyle, kClassName, "", style, 0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    if (w == nullptr) throw EOutOfResources("Error creating window (utility window)");
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UtilityWindow::WndProc));
    wnd_ = w;
    return w;
}

void UtilityWindow::SetOwner(HWND owner) {
    // For a top-level window this slot is its owner.
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

LRESULT CALLBACK UtilityWindow::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<UtilityWindow*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // Destroyed from outside (its owner went): forget it, make a new one
        // when asked again.
        SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
        if (self->wnd_ == wnd) self->wnd_ = nullptr;
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
    LRESULT result = 0;
    // A copy: the handler may free the object that owns this window.
    Handler handler = self->handler_;
    try {
        if (handler && handler(msg, wParam, lParam, result)) return result;
    } catch (...) {
        HandleCallbackException();
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace treskel

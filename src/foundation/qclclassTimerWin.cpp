// The system timer of a timer pool: timer id 1 on a hidden message-only
// window made when the pool first needs it.
#include <windows.h>

#include "foundation/qclclass.h"

namespace treskel {

namespace {

const char kWindowClass[] = "TQclTimerPoolWindow";

LRESULT CALLBACK PoolWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_TIMER) return DefWindowProcA(wnd, msg, wParam, lParam);
    auto* pool = reinterpret_cast<TQclTimerPool*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    try {
        if (pool != nullptr) pool->TimerMessage();
    } catch (...) {
        // Nothing may leave a window procedure; the pool reports its own.
    }
    return 0;
}

class WindowTickSource : public TQclTickSource {
public:
    explicit WindowTickSource(TQclTimerPool* pool) {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA existing;
        if (!GetClassInfoA(instance, kWindowClass, &existing)) {
            WNDCLASSA wc{};
            wc.lpfnWndProc = PoolWndProc;
            wc.hInstance = instance;
            wc.lpszClassName = kWindowClass;
            RegisterClassA(&wc);
        }
        wnd_ = CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
        if (wnd_ != nullptr) SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pool));
    }
    ~WindowTickSource() override {
        if (wnd_ != nullptr) {
            KillTimer(wnd_, 1);
            SetWindowLongPtrA(wnd_, GWLP_USERDATA, 0);
            DestroyWindow(wnd_);
        }
    }
    bool Arm(unsigned periodMs) override { return wnd_ != nullptr && SetTimer(wnd_, 1, periodMs, nullptr) != 0; }
    void Disarm() override {
        if (wnd_ != nullptr) KillTimer(wnd_, 1);
    }

private:
    HWND wnd_ = nullptr;
};

}  // namespace

std::unique_ptr<TQclTickSource> QclMakeSystemTickSource(TQclTimerPool* pool) {
    return std::make_unique<WindowTickSource>(pool);
}

}  // namespace treskel

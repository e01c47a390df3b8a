#include "platform/UtilityWindow.h"

#include "platform/SysUtils.h"

#include <map>
#include <string>

namespace treskel {

namespace {
constexpr const char* kClassName = "TreskelUtilityWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT_PTR kUtilityKey = 1;

void RegisterUtilityClass() {
    WNDCLASSA existing{};
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, kClassName, &existing)) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;  // each window's handler is attached in front
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class TreskelUtilityWindow");
}
}  // namespace

UtilityWindow::UtilityWindow(Handler handler, bool popup, void* owner)
    : handler_(std::move(handler)), popup_(popup), owner_(owner) {}

void* UtilityWindow::OwnerOf(HWND wnd) { return WindowSubclass::FindOwner(wnd, kUtilityKey); }

UtilityWindow::~UtilityWindow() {
    if (!subclass_.Attached()) return;
    HWND w = subclass_.Window();
    subclass_.Detach();
    DestroyWindow(w);
}

HWND UtilityWindow::Handle() {
    // Destroyed from outside (its owner went): the attachment has let go of
    // it, and a new one is made.
    if (subclass_.Attached()) return subclass_.Window();
    RegisterUtilityClass();
    HWND parent = popup_ ? nullptr : HWND_MESSAGE;
    DWORD style = popup_ ? WS_POPUP : 0;
    DWORD exStyle = popup_ ? WS_EX_TOOLWINDOW : 0;
    HWND w = CreateWindowExA(exStyle, kClassName, "", style, 0, 0, 0, 0, parent, nullptr, GetModuleHandleA(nullptr),
                             nullptr);
    if (w == nullptr) throw EOutOfResources("Error creating window (utility window)");
    if (!subclass_.Attach(w, handler_, kUtilityKey, owner_)) {
        DestroyWindow(w);
        throw EOutOfResources("Error creating window (utility window)");
    }
    return w;
}

void UtilityWindow::SetOwner(HWND owner) {
    // For a top-level window this slot is its owner.
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

HWND PlainUtilityWindow(WNDPROC proc) {
    static std::map<WNDPROC, HWND> windows;
    HWND& window = windows[proc];
    if (window != nullptr && IsWindow(window)) return window;
    // A class of its own for each procedure: the class holds it.
    const std::string name = Format("%s%p", kClassName, reinterpret_cast<void*>(proc));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing{};
    if (!GetClassInfoA(instance, name.c_str(), &existing)) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.lpszClassName = name.c_str();
        if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class " + name);
    }
    window = CreateWindowExA(0, name.c_str(), "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr) throw EOutOfResources("Error creating window (utility window)");
    return window;
}

UtilityTimer::UtilityTimer(std::function<void()> tick, void* owner)
    : tick_(std::move(tick)), window_(
                                  [this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
          if (msg != WM_TIMER || wParam != kTimerId) return false;
          result = 0;
          // The tick may free this timer: nothing of it is used after.
          if (running_) {
              std::function<void()> tick = tick_;
              tick();
          }
          return true;
      },
                                  false, owner) {}

bool UtilityTimer::Start(unsigned ms) {
    Stop();
    running_ = SetTimer(window_.Handle(), kTimerId, ms == 0 ? 1 : ms, nullptr) != 0;
    return running_;
}

void UtilityTimer::Stop() {
    if (running_ && window_.HandleAllocated()) KillTimer(window_.Handle(), kTimerId);
    running_ = false;
}

}  // namespace treskel

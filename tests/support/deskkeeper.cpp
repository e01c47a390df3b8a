// Holds Wine's desktop for a test run.  Wine ends its desktop process a
// moment after the last program using the desktop has gone, and the next
// program starts a new one, which inherits that program's output pipe and
// keeps it open: the test runner would wait on a finished test.  While this
// hidden window lives, the desktop process started at boot lives too.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND wnd = CreateWindowExA(0, "STATIC", "Treskel test desktop", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               instance, nullptr);
    if (wnd == nullptr) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}

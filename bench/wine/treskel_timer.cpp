// Times the program as a user meets it: start until the main window is shown
// and idle, a move to the second tab and back to the first, and closing
// until the process has ended.  Prints the times in milliseconds.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

BOOL CALLBACK TakeTabs(HWND w, LPARAM p) {
    char name[64];
    GetClassNameA(w, name, sizeof name);
    if (std::string(name).find("Tab") == std::string::npos) return TRUE;
    *reinterpret_cast<HWND*>(p) = w;
    return FALSE;
}

HWND FindTabs(HWND main) {
    HWND found = nullptr;
    EnumChildWindows(main, TakeTabs, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Moves to the next or the previous tab as the arrow keys do, and waits
// until the program is idle again.
double SwitchTab(HANDLE process, HWND tabs, WPARAM key) {
    const double t0 = Now();
    DWORD_PTR result;
    SendMessageTimeoutA(tabs, WM_KEYDOWN, key, 1, SMTO_NORMAL, 600000, &result);
    SendMessageTimeoutA(tabs, WM_KEYUP, key, 0xC0000001, SMTO_NORMAL, 600000, &result);
    WaitForInputIdle(process, 600000);
    return Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: treskel_timer program [switch]\n");
        return 2;
    }
    const bool switchTabs = argc > 2;
    STARTUPINFOA si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::string command = std::string("\"") + argv[1] + "\"";
    const double t0 = Now();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 1;
    HWND main = nullptr;
    while ((main = FindWindowA("TfrmTreskel", nullptr)) == nullptr || !IsWindowVisible(main)) {
        if (WaitForSingleObject(pi.hProcess, 5) == WAIT_OBJECT_0) return 1;
    }
    WaitForInputIdle(pi.hProcess, 600000);
    std::printf("start %.0f\n", Now() - t0);
    if (switchTabs) {
        HWND tabs = FindTabs(main);
        if (tabs == nullptr) return 1;
        std::printf("to-second %.0f\n", SwitchTab(pi.hProcess, tabs, VK_RIGHT));
        if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 1) return 1;
        std::printf("to-first %.0f\n", SwitchTab(pi.hProcess, tabs, VK_LEFT));
        if (SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != 0) return 1;
    }
    const double t1 = Now();
    PostMessageA(main, WM_CLOSE, 0, 0);
    WaitForSingleObject(pi.hProcess, 600000);
    std::printf("close %.0f\n", Now() - t1);
    std::fflush(stdout);
    return 0;
}

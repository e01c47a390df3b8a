#include "support/ProgramRun.h"

#include "platform/SysUtils.h"
#include "support/GuiTest.h"

namespace treskel::test {

std::string ProgramExe() {
    std::string path = "Z:" + std::string(TRESKEL_BINARY_DIR) + "/src/Treskel!.exe";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

Child::~Child() {
    if (!started) return;
    // Only the process this test started.
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

int Child::Wait(DWORD ms) {
    if (!started || WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<int>(code);
}

bool Start(Child& child, const std::string& exe, const std::string& dir) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\"";
    child.started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                                   &child.pi) != 0;
    return child.started;
}

namespace {
struct WindowSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindAppWindow(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == s->pid && (GetWindowLongA(wnd, GWL_EXSTYLE) & WS_EX_APPWINDOW) != 0) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

HWND MainWindowOf(DWORD pid) {
    WindowSearch s{pid, nullptr};
    EnumWindows(FindAppWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND StartShown(Child& child, const std::string& exe, const std::string& dir) {
    HWND main = nullptr;
    if (!Start(child, exe, dir)) return nullptr;
    PumpUntil([&] { return (main = MainWindowOf(child.pi.dwProcessId)) != nullptr && IsWindowVisible(main); }, 20000);
    return main;
}

void PresetDataPath(const std::string& dir) {
    WriteRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path", ExcludeTrailingBackslash(dir));
}

}  // namespace treskel::test

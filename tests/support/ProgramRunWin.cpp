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

void PresetDataPath(const std::string& dir) {
    WriteRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path", ExcludeTrailingBackslash(dir));
}

ProgramProcess::~ProgramProcess() {
    if (!started_) return;
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hThread);
    CloseHandle(pi_.hProcess);
}

bool ProgramProcess::Start(const std::string& exe, const std::string& dir, const std::string& args) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    started_ = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_) != 0;
    return started_;
}

HWND ProgramProcess::WaitForMainWindow(int ms) {
    HWND main = nullptr;
    if (!started_) return nullptr;
    PumpUntil([&] { return (main = MainWindowOf(pi_.dwProcessId)) != nullptr && IsWindowVisible(main); }, ms);
    return main != nullptr && IsWindowVisible(main) ? main : nullptr;
}

namespace {
struct WindowSearch {
    DWORD pid;
    HWND found;
};

struct CaptionSearch {
    DWORD pid;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK FindCaption(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<CaptionSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != s->pid || !IsWindowVisible(wnd)) return TRUE;
    char text[256] = {};
    GetWindowTextA(wnd, text, sizeof text);
    if (*s->caption != text) return TRUE;
    s->found = wnd;
    return FALSE;
}

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

struct ClassSearch {
    const std::string* name;
    HWND found;
};

BOOL CALLBACK FindClass(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<ClassSearch*>(lp);
    char name[128] = {};
    GetClassNameA(wnd, name, sizeof name);
    if (*s->name == name) {
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

HWND WindowOfCaption(DWORD pid, const std::string& caption) {
    CaptionSearch s{pid, &caption, nullptr};
    EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindChildOfClass(HWND parent, const std::string& className) {
    ClassSearch s{&className, nullptr};
    EnumChildWindows(parent, FindClass, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace treskel::test

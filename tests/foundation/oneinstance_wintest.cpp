// Two starts of the real program: the second calls the first to the front
// and ends before showing anything.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/FileSys.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

// The program beside the tests in the build tree, as a Windows path.
std::string ProgramExe() {
    std::string path = "Z:" + std::string(TRESKEL_BINARY_DIR) + "/src/Treskel!.exe";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

struct Child {
    PROCESS_INFORMATION pi{};
    bool started = false;
    ~Child() {
        if (!started) return;
        // Only the process this test started.
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

bool Start(Child& child, const std::string& exe, const std::string& dir) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    std::string cmd = "\"" + exe + "\"";
    child.started = CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                                   &child.pi) != 0;
    return child.started;
}

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

// The program's main window: its top-level window with the task-bar style.
HWND MainWindowOf(DWORD pid) {
    WindowSearch s{pid, nullptr};
    EnumWindows(FindAppWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

void PresetDataPath(const std::string& dir) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Qiv\\Treskel!\\common", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string value = ExcludeTrailingBackslash(dir);
    RegSetValueExA(key, "path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// Starts a second copy and expects it gone within a second, having shown
// no main window of its own.
void StartSecond(const std::string& exe, const std::string& dir) {
    Child second;
    ASSERT_TRUE(Start(second, exe, dir));
    DWORD waited = WaitForSingleObject(second.pi.hProcess, 1000);
    ASSERT_EQ(waited, static_cast<DWORD>(WAIT_OBJECT_0)) << "the second instance still runs after a second";
    DWORD code = 1;
    GetExitCodeProcess(second.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(MainWindowOf(second.pi.dwProcessId), nullptr);
}

TEST(OneInstance, ASecondStartActivatesTheFirst) {
    const std::string exe = ProgramExe();
    if (!FileExists(exe)) GTEST_FAIL() << "build the program first: " << exe;
    test::TempDir data;
    PresetDataPath(data.Path());
    const bool dataBefore = DirectoryExists(ExtractFilePath(exe) + "Data");

    Child first;
    ASSERT_TRUE(Start(first, exe, data.Path()));
    HWND main = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (main = MainWindowOf(first.pi.dwProcessId)) != nullptr &&
                                             IsWindowVisible(main); },
                                20000))
        << "the first instance did not show its window";
    // Its settings went to the test's directory, not beside the program.
    if (!dataBefore) {
        EXPECT_FALSE(DirectoryExists(ExtractFilePath(exe) + "Data"));
    }

    // In the background: a window of the test's own is in front.
    auto front = MakeOwned<TForm>();
    front->SetCaption("In front");
    front->Show();
    test::PumpMessages();
    SetForegroundWindow(front->Handle());
    StartSecond(exe, data.Path());
    // The second copy is gone within a second; the first may take a moment
    // longer to come forward when the machine is busy.
    EXPECT_TRUE(test::PumpUntil([&] { return GetForegroundWindow() == main; }, 5000));
    EXPECT_TRUE(IsWindowVisible(main));

    // Minimised.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return IsIconic(main) != 0; }, 2000));
    StartSecond(exe, data.Path());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, 2000));

    // Hidden, as in the tray.
    ShowWindow(main, SW_HIDE);
    ASSERT_TRUE(test::PumpUntil([&] { return !IsWindowVisible(main); }, 2000));
    StartSecond(exe, data.Path());
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(main) != 0; }, 2000));

    // The first instance still runs and ends normally.
    EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(first.pi.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
}  // namespace treskel

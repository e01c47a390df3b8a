// Starts of the real program beside the tests, with its data directory
// preset in the registry: for what only a real start shows.
#pragma once

#include <windows.h>

#include <string>

namespace treskel::test {

// The program beside the tests in the build tree, as a Windows path.
std::string ProgramExe();

// A started copy of the program; ended (if it still runs) when it goes.
struct Child {
    PROCESS_INFORMATION pi{};
    bool started = false;
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
    // Waits up to `ms` for the process to end; its exit code, or -1.
    int Wait(DWORD ms);
};

bool Start(Child& child, const std::string& exe, const std::string& dir);
// The program's main window: its top-level window with the task-bar style.
HWND MainWindowOf(DWORD pid);
// Starts a copy and waits until its main window shows; null when it does not.
HWND StartShown(Child& child, const std::string& exe, const std::string& dir);
// The data directory the program is to use (the registry's "path").
void PresetDataPath(const std::string& dir);

}  // namespace treskel::test

// The real program, started as the user starts it, beside a test.
#pragma once

#include <windows.h>

#include <string>

namespace treskel::test {

// The program built beside the tests, as a Windows path.
std::string ProgramExe();

// Stores the data directory the program reads at start-up.
void PresetDataPath(const std::string& dir);

// One run of the program.  Only this process is ended when the object
// goes and it still runs.
class ProgramProcess {
public:
    ProgramProcess() = default;
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // Starts the program in `dir`, with these arguments; false when it
    // could not be started.
    bool Start(const std::string& exe, const std::string& dir, const std::string& args = "");
    HANDLE Process() const { return pi_.hProcess; }
    DWORD Id() const { return pi_.dwProcessId; }
    // Its main window once shown (pumping this thread's messages while
    // waiting), or null.
    HWND WaitForMainWindow(int ms = 20000);

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// The main window of a process: its top-level window with the task-bar
// style.
HWND MainWindowOf(DWORD pid);
// The visible top-level window of a process with this caption, or null.
HWND WindowOfCaption(DWORD pid, const std::string& caption);
// The first window below `parent`, at any depth, of this window class.
HWND FindChildOfClass(HWND parent, const std::string& className);

}  // namespace treskel::test

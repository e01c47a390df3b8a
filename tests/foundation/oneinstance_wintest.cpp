// Two starts of the real program: the second calls the first to the front
// (from the tray too) and ends before showing anything; the window's
// placement survives a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/FileSys.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/ProgramRun.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using test::MainWindowOf;
using test::PresetDataPath;
using test::ProgramExe;
using Child = test::ProgramProcess;


// Starts a second copy and expects it to end by itself, never having made
// a main window of its own.  How soon it ends is the machine's business: a
// busy one takes more than a second to start a program at all.
void StartSecond(const std::string& exe, const std::string& dir) {
    Child second;
    ASSERT_TRUE(second.Start(exe, dir));

    bool madeWindow = false;
    const bool ended = test::PumpUntil(
        [&] {
            if (MainWindowOf(second.Id()) != nullptr) madeWindow = true;
            return WaitForSingleObject(second.Process(), 0) == WAIT_OBJECT_0;
        },
        30000);
    ASSERT_TRUE(ended) << "the second instance still runs";
    EXPECT_FALSE(madeWindow) << "the second instance made a main window";
    DWORD code = 1;
    GetExitCodeProcess(second.Process(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(MainWindowOf(second.Id()), nullptr);
}

// Clicks along the caption bar from the right, as the user hunts for the
// tray button, until the window goes to the tray.  A miss on the frame is a
// press on no part of it (HTNOWHERE), which the system ignores.
bool SendToTrayByCaption(HWND main) {
    RECT wr;
    GetWindowRect(main, &wr);
    const int y = wr.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = wr.right - 1; x > (wr.left + wr.right) / 2 && IsWindowVisible(main); x -= 2) {
        SendMessageA(main, WM_NCLBUTTONDOWN, HTNOWHERE, MAKELPARAM(x, y));
        POINT p = {x, y};
        ScreenToClient(main, &p);
        SendMessageA(main, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    }
    return !IsWindowVisible(main);
}

std::string StoredNormPos() { return test::ReadRegistryString("SOFTWARE\\Qiv\\Treskel!\\Common\\Treskel", "NormPos"); }

HWND StartShown(Child& child, const std::string& exe, const std::string& dir) {
    if (!child.Start(exe, dir)) return nullptr;
    return child.WaitForMainWindow();
}

TEST(OneInstance, ASecondStartActivatesTheFirst) {
    const std::string exe = ProgramExe();
    if (!FileExists(exe)) GTEST_FAIL() << "build the program first: " << exe;
    test::TempDir data;
    PresetDataPath(data.Path());
    const bool dataBefore = DirectoryExists(ExtractFilePath(exe) + "Data");

    Child first;
    ASSERT_TRUE(first.Start(exe, data.Path()));
    HWND main = first.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "the first instance did not show its window";
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

    // In the tray, sent there by its caption button: the icon shows in
    // the system's tray window.
    ASSERT_TRUE(SendToTrayByCaption(main));
    EXPECT_TRUE(test::PumpUntil([] {
        HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
        return tray != nullptr && IsWindowVisible(tray);
    }));
    StartSecond(exe, data.Path());
    // Taking the icon out of Wine's tray keeps the program about two
    // seconds in the shell's call.
    EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(main) != 0; }, 5000));

    // Minimised.
    ShowWindow(main, SW_MINIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return IsIconic(main) != 0; }, 2000));
    StartSecond(exe, data.Path());
    EXPECT_TRUE(test::PumpUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, 2000));

    // The first instance still runs and ends normally, storing where its
    // window was.
    EXPECT_EQ(WaitForSingleObject(first.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetWindowPos(main, nullptr, 50, 60, 700, 450, SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(first.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(StoredNormPos(), "50,60,750,510");

    // The next start puts it there again.
    Child again;
    main = StartShown(again, exe, data.Path());
    ASSERT_NE(main, nullptr);
    RECT r;
    GetWindowRect(main, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right, 750);
    EXPECT_EQ(r.bottom, 510);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(again.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace
}  // namespace treskel

// The main window's caption-bar buttons, tray icon and placement.
#include "MainWindowTest.h"

#include "platform/Registry.h"
#include "support/ProgramRun.h"
#include "support/Snapshot.h"

namespace treskel::test {

using MainWindowTray = MainWindowTest;

namespace {
// A press and release of the left button over caption button `i`, as the
// system delivers them: the press on the frame, the release captured.
void ClickCaptionButton(TfrmTreskel* w, int i) {
    TRect r = w->CaptionControl1->ButtonRect(i);
    ASSERT_GT(r.Width(), 0) << "the caption was not painted";
    RECT wr;
    GetWindowRect(w->Handle(), &wr);
    POINT p = {wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2};
    SendMessageA(w->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
    ScreenToClient(w->Handle(), &p);
    SendMessageA(w->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PumpMessages();
}

HWND WineTray() { return FindWindowA("__winex11_standalone_tray", nullptr); }

// The pixels of a rectangle of the window (window coordinates) that have
// exactly the colour.
int CountInWindow(HWND wnd, const TRect& r, COLORREF color) {
    return ShownWindow(wnd).Count(r, [color](COLORREF c) { return c == color; });
}

// Where the maximise button sits: the caption less 2 pixels all round,
// the close button at its right end, the maximise button beside it.
TRect MaximiseButton(TCaptionControl* cap) {
    TRect c = cap->GetCaptionRect();
    int w = GetSystemMetrics(SM_CXSMICON) - 2;
    if ((w & 1) != ((c.Bottom - c.Top) & 1)) ++w;
    const int closeLeft = c.Right - 2 - w - 2;
    return Rect(closeLeft - (w + 4), c.Top + 2, c.Right - 2 - (w + 4), c.Bottom - 2);
}
}  // namespace

// The window is active from its first showing on, and its caption says so;
// the maximise button, which works, does not look disabled.
TEST_F(MainWindowTray, TheCaptionShowsTheWindowActiveFromTheStartAndTheMaximiseButtonEnabled) {
    StartWindow();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    PumpMessages();
    TRect caption = W->CaptionControl1->GetCaptionRect();
    TRect info = W->CaptionControl1->ButtonRect(0);
    ASSERT_GT(info.Width(), 0) << "the caption was not painted";
    TRect free = Rect(info.Left - 40, caption.Top + 1, info.Left - 4, caption.Bottom - 1);
    EXPECT_EQ(CountInWindow(W->Handle(), free, GetSysColor(COLOR_ACTIVECAPTION)), free.Width() * free.Height());
    // Its glyph in the button text's own colour, not in greys.
    EXPECT_GT(CountInWindow(W->Handle(), MaximiseButton(W->CaptionControl1), GetSysColor(COLOR_BTNTEXT)), 10);
}

TEST_F(MainWindowTray, TheDownArrowSendsTheWindowToTheTrayAndADoubleClickBringsItBackAsItWas) {
    StartWindow();
    NewTreskel("Alpha");
    const int tabs = W->TabControl1->Tabs()->Count();
    // A tab that no archive stands for: reloading the tabs would drop it.
    W->TabControl1->Tabs()->Add("not reloaded");
    EXPECT_EQ(W->CaptionControl1->Buttons()->Items(1)->Caption(), "T");
    EXPECT_FALSE(W->TrayIcon->Shown());

    ClickCaptionButton(W, 1);
    EXPECT_FALSE(IsWindowVisible(W->Handle()));
    EXPECT_TRUE(W->FromTray);
    EXPECT_TRUE(W->TrayIcon->Shown());
    EXPECT_STREQ(W->TrayIcon->NotifyData().szTip, "Treskel!");
    ASSERT_TRUE(PumpUntil([] { return WineTray() != nullptr && IsWindowVisible(WineTray()); }));

    // The shell's callback for a double click on the icon.
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDOWN);
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONUP);
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_FALSE(W->TrayIcon->Shown());
    EXPECT_FALSE(W->TrayIcon->Active());
    ASSERT_EQ(W->TabControl1->Tabs()->Count(), tabs + 1);
    EXPECT_EQ(W->TabControl1->Tabs()->Strings(tabs), "not reloaded");
}

// The way a user does it, with the mouse: the tray button on the caption,
// then a double click on the icon in the system's tray.
TEST_F(MainWindowTray, TheMouseSendsTheWindowToTheTrayAndADoubleClickOnTheIconBringsItBack) {
    StartWindow();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    PumpMessages();
    RECT wr;
    GetWindowRect(W->Handle(), &wr);
    TRect r = W->CaptionControl1->ButtonRect(1);
    MouseClickOnScreen({wr.left + (r.Left + r.Right) / 2, wr.top + (r.Top + r.Bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(W->Handle()); })) << "the window did not go to the tray";
    HWND icon = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        HWND tray = WineTray();
        icon = tray != nullptr ? FindWindowExA(tray, nullptr, nullptr, nullptr) : nullptr;
        return icon != nullptr && IsWindowVisible(icon);
    })) << "no icon in the tray";
    RECT ir;
    GetWindowRect(icon, &ir);
    MouseClickOnScreen({(ir.left + ir.right) / 2, (ir.top + ir.bottom) / 2}, 2);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowVisible(W->Handle()) != 0; })) << "the window did not come back";
    EXPECT_FALSE(W->TrayIcon->Shown());
}

// Without an icon in the tray the window stays where the user can reach it.
TEST_F(MainWindowTray, TheWindowStaysWhenTheTrayRefusesTheIcon) {
    StartWindow();
    W->TrayIcon->Icon()->SetHandle(nullptr);  // an empty icon is never added
    ClickCaptionButton(W, 1);
    EXPECT_FALSE(W->TrayIcon->Shown());
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
}

// The information button and a click on the banner both show the about
// box, and nothing else happens to the window.
TEST_F(MainWindowTray, TheInfoButtonAndTheBannerShowTheAboutBox) {
    StartWindow();
    ModalDialogs dialogs;
    dialogs.Install();
    for (int i = 0; i < 2; ++i)
        dialogs.Queue([](TCustomForm& f) { SendMessageA(f.Handle(), WM_CLOSE, 0, 0); });
    ClickCaptionButton(W, 0);
    // The banner is painted by its panel, which hands it the mouse.
    TRect banner = W->Image1->BoundsRect();
    LPARAM at = MAKELPARAM((banner.Left + banner.Right) / 2, (banner.Top + banner.Bottom) / 2);
    SendMessageA(W->Panel1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(W->Panel1->Handle(), WM_LBUTTONUP, 0, at);
    PumpMessages();
    dialogs.Remove();
    EXPECT_EQ(dialogs.Shown(), (std::vector<std::string>{"TfrmAboutQiv", "TfrmAboutQiv"}));
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_FALSE(W->TrayIcon->Shown());
}

TEST_F(MainWindowTray, ThePlacementIsStoredUnderTheMainWindowsKeyAndComesBack) {
    StartWindow();
    SetWindowPos(W->Handle(), nullptr, 40, 50, 700, 420, SWP_NOZORDER);
    Restart();
    TRegIniFile store("SOFTWARE\\Qiv\\Treskel!\\Common");
    EXPECT_EQ(store.ReadString("Treskel", "NormPos", ""), "40,50,740,470");
    EXPECT_EQ(W->BoundsRect(), Rect(40, 50, 740, 470));
}

// Maximised by its button, the window comes back from the tray maximised,
// and the next start, which finds it stored maximised, shows it as the
// system maximises a window: the frame off the screen, the rest filling
// the work area.  No window manager runs here.
TEST_F(MainWindowTray, AMaximisedWindowComesBackMaximisedFromTheTrayAndAtTheNextStart) {
    StartWindow();
    NewTreskel("Alpha");
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    PumpMessages();
    RECT wr;
    GetWindowRect(W->Handle(), &wr);
    const TRect button = MaximiseButton(W->CaptionControl1);
    MouseClickOnScreen({wr.left + (button.Left + button.Right) / 2, wr.top + (button.Top + button.Bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return IsZoomed(W->Handle()) != 0; })) << "the maximise button did not maximise";
    PumpMessages();
    RECT maximised;
    GetWindowRect(W->Handle(), &maximised);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(maximised.left, work.left - fx);
    EXPECT_EQ(maximised.top, work.top - fy);
    EXPECT_EQ(maximised.right, work.right + fx);
    EXPECT_EQ(maximised.bottom, work.bottom + fy);

    ClickCaptionButton(W, 1);
    ASSERT_FALSE(IsWindowVisible(W->Handle()));
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDOWN);
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONUP);
    SendMessageA(W->TrayIcon->Window(), WM_WUTRAYNOTIFY, 0, WM_LBUTTONDBLCLK);
    PumpMessages();
    ASSERT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_TRUE(IsZoomed(W->Handle())) << "back from the tray at its normal size";
    RECT back;
    GetWindowRect(W->Handle(), &back);
    EXPECT_TRUE(EqualRect(&back, &maximised)) << back.left << "," << back.top << " " << back.right << "," << back.bottom;
    CloseWindow();
    EXPECT_EQ(TRegIniFile("SOFTWARE\\Qiv\\Treskel!\\Common").ReadString("Treskel", "ShowCmd", ""), "3");

    ProgramProcess program;
    ASSERT_TRUE(program.Start(ProgramExe(), DataDir()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "the program did not show its window";
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(IsZoomed(main));
    RECT started;
    GetWindowRect(main, &started);
    EXPECT_TRUE(EqualRect(&started, &maximised))
        << started.left << "," << started.top << " " << started.right << "," << started.bottom;
    SaveWindowShot(GetDesktopWindow(), "tray-maximised-at-start");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

}  // namespace treskel::test

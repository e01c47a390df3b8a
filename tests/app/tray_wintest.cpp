// The main window's caption-bar buttons, tray icon and placement.
#include "MainWindowTest.h"

#include "platform/Registry.h"

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
}  // namespace

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

}  // namespace treskel::test

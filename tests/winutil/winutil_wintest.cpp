// The window utilities on real windows: subclass chain, window hook,
// caption-bar buttons, form placement and tray icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/Registry.h"
#include "support/GuiTest.h"
#include "winutil/AppUtils.h"
#include "winutil/CapCtrl.h"
#include "winutil/Placemnt.h"
#include "winutil/SubCls.h"
#include "winutil/WuHook.h"
#include "winutil/WuShell.h"

using namespace treskel;
using namespace treskel::test;

namespace {

constexpr UINT kProbe = WM_APP + 7;

OwnedPtr<TForm> ShownForm() {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    form->Show();
    PumpMessages();
    return form;
}

// Writes what it sees into a shared log.
struct LogHook : TControlSubclass {
    std::vector<std::string>* log;
    std::string name;
    bool swallow = false;
    LogHook(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
    void BeforeWndProc(TMessage& m) override {
        if (m.Msg != kProbe && m.Msg != CM_RELEASE) return;
        log->push_back(name + " before");
        if (swallow) {
            m.Result = 1;
            m.Msg = 0;
        }
    }
    void AfterWndProc(TMessage& m) override {
        if (m.Msg == kProbe || m.Msg == CM_RELEASE) log->push_back(name + " after");
    }
};

}  // namespace

TEST(SubclassChain, TwoHooksRunInOrderAroundTheControlAndTheLastDetachRestoresIt) {
    auto form = ShownForm();
    std::vector<std::string> log;
    form->WindowProc = [&, old = form->WindowProc](TMessage& m) {
        if (m.Msg == kProbe || m.Msg == CM_RELEASE) log.push_back("control");
        if (m.Msg != CM_RELEASE) old(m);  // which would free the form
    };
    LogHook a(&log, "a"), b(&log, "b");
    AttachSubclass(form.get(), &a);
    AttachSubclass(form.get(), &b);
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "b before", "control", "a after", "b after"}));

    log.clear();
    SendMessageA(form->Handle(), CM_RELEASE, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "b before", "control"}));

    log.clear();
    a.swallow = true;
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 1);
    // The rest see a null message: neither the control nor the after-hooks act.
    EXPECT_EQ(log, (std::vector<std::string>{"a before"}));

    DetachSubclass(form.get(), &a);
    DetachSubclass(form.get(), &b);
    EXPECT_EQ(FindSubclassInfo(form.get()), nullptr);
    log.clear();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"control"}));
}

// The hooks belong to the control: they need no window to attach and
// follow it into every window it makes.
TEST(SubclassChain, HooksNeedNoWindowAndFollowTheControlIntoItsNextWindow) {
    auto form = MakeForm<TForm>();
    std::vector<std::string> log;
    LogHook a(&log, "a");
    AttachSubclass(form.get(), &a);
    EXPECT_FALSE(form->HandleAllocated());
    SendMessageA(form->Handle(), kProbe, 0, 0);
    form->RecreateWnd();
    form->HandleNeeded();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"a before", "a after", "a before", "a after"}));
    DetachSubclass(form.get(), &a);
    EXPECT_EQ(FindSubclassInfo(form.get()), nullptr);
}

// A control that goes with its hooks still attached takes its record along.
TEST(SubclassChain, AControlThatGoesLeavesNoRecord) {
    std::vector<std::string> log;
    LogHook a(&log, "a");
    TWinControl* gone = nullptr;
    {
        auto form = MakeForm<TForm>();
        gone = form.get();
        AttachSubclass(form.get(), &a);
        ASSERT_NE(FindSubclassInfo(gone), nullptr);
    }
    EXPECT_EQ(FindSubclassInfo(gone), nullptr);
    DetachSubclass(gone, &a);  // ignored
}

TEST(WindowHook, TheLaterHookSeesFirstAndAHandledMessageSkipsTheForm) {
    auto form = ShownForm();
    std::vector<std::string> log;
    form->WindowProc = [&, old = form->WindowProc](TMessage& m) {
        if (m.Msg == kProbe) log.push_back("form");
        old(m);
    };
    auto* first = Create<TWuWindowHook>(form.get());
    auto* second = Create<TWuWindowHook>(form.get());
    bool handle = false;
    first->BeforeMessage = [&](TObject*, TMessage& m, bool&) {
        if (m.Msg == kProbe) log.push_back("first");
    };
    second->BeforeMessage = [&](TObject*, TMessage& m, bool& handled) {
        if (m.Msg != kProbe) return;
        log.push_back("second");
        handled = handle;
    };
    first->SetWinControl(form.get());
    second->SetWinControl(form.get());
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "form"}));
    log.clear();
    handle = true;
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"second"}));
}

// A subclasser that came after the hook keeps its place when the hook goes:
// the hook's leaving must not cut it out of the window's procedure.
TEST(WindowHook, DetachingLeavesALaterSubclasserInPlace) {
    auto form = ShownForm();
    auto* hook = Create<TWuWindowHook>(form.get());
    int hookSaw = 0, laterSaw = 0;
    hook->AfterMessage = [&](TObject*, TMessage& m, bool&) { hookSaw += m.Msg == kProbe; };
    hook->SetWinControl(form.get());
    WindowSubclass later;
    later.Attach(form->Handle(), [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        laterSaw += msg == kProbe;
        return false;
    });
    SendMessageA(form->Handle(), kProbe, 0, 0);
    hook->SetActive(false);
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(hookSaw, 1);
    EXPECT_EQ(laterSaw, 2);
}

TEST(WindowHook, AFormThatMakesItsWindowAgainIsHookedAgain) {
    auto form = ShownForm();
    auto* hook = Create<TWuWindowHook>(form.get());
    int saw = 0;
    hook->AfterMessage = [&](TObject*, TMessage& m, bool&) { saw += m.Msg == kProbe; };
    hook->SetWinControl(form.get());
    form->RecreateWnd();
    form->HandleNeeded();
    PumpMessages();
    SendMessageA(form->Handle(), kProbe, 0, 0);
    EXPECT_EQ(saw, 1);
}

// ------------------------------------------------------------ caption control

TEST(CaptionControl, BandsAreTakenOnlyFrom8To255AndTheTablesRunFromStartToEnd) {
    auto form = ShownForm();
    auto* cap = Create<TCaptionControl>(form.get());
    for (int bad : {7, 256, 0}) {
        cap->SetColorBands(bad);
        EXPECT_EQ(cap->ColorBands(), 64);
    }
    cap->SetColorBands(8);
    EXPECT_EQ(cap->ColorBands(), 8);
    EXPECT_EQ(cap->GradientColor(1, 0), static_cast<TColor>(0));
    EXPECT_EQ(cap->GradientColor(1, 7), static_cast<TColor>(ColorToRGB(clActiveCaption)));
    EXPECT_EQ(cap->GradientColor(0, 7), static_cast<TColor>(ColorToRGB(clInactiveCaption)));
    try {
        Create<TCaptionControl>(form.get());
        FAIL() << "a second caption control was accepted";
    } catch (const ECaptionError& e) {
        EXPECT_STREQ(e.what(), "Only one TCustomCaptionControl per form is allowed.");
    }
}

namespace {
struct CaptionForm {
    OwnedPtr<TForm> form = ShownForm();
    TCaptionControl* cap = Create<TCaptionControl>(form.get());
    std::vector<int> clicks;
    CaptionForm() {
        cap->Buttons()->Add()->SetKind(TCaptionButtonKind::cbkInfo);
        cap->Buttons()->Add()->SetCaption("-");
        TCaptionButton* t = cap->Buttons()->Add();
        t->SetKind(TCaptionButtonKind::cbkDownArrow);
        t->SetCaption("T");
        cap->OnButtonClick = [this](TObject*, int i, bool&) { clicks.push_back(i); };
        SetWindowTextA(form->Handle(), "Caption buttons");
        PumpMessages();
    }
    // A press and release of the left button over button `i`, as the
    // system delivers them: the press on the frame, the release captured.
    void Click(int i) {
        TRect r = cap->ButtonRect(i);
        RECT w;
        GetWindowRect(form->Handle(), &w);
        POINT screen = {w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2};
        SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        POINT client = screen;
        ScreenToClient(form->Handle(), &client);
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }
};
}  // namespace

TEST(CaptionControl, ClicksOnTheButtonsAreReportedByIndexAndSeparatorsAreNeverHit) {
    CaptionForm f;
    TRect info = f.cap->ButtonRect(0), tray = f.cap->ButtonRect(2);
    ASSERT_GT(info.Width(), 0) << "the caption was not painted";
    // Laid out from the right: a separator reserves 4 pixels, drawn it takes 2.
    EXPECT_LT(info.Right, tray.Left);
    EXPECT_EQ(f.cap->ButtonAtPoint({info.Right + 1, (info.Top + info.Bottom) / 2}), -1);
    f.Click(2);
    f.Click(0);
    EXPECT_EQ(f.clicks, (std::vector<int>{2, 0}));
    EXPECT_EQ(GetCapture(), nullptr);
}

// The press on a disabled button shows nothing pressed, but its release is
// still reported.
TEST(CaptionControl, ADisabledButtonsReleaseIsReported) {
    CaptionForm f;
    f.cap->Buttons()->Items(0)->SetEnabled(false);
    PumpMessages();
    f.Click(0);
    EXPECT_EQ(f.clicks, (std::vector<int>{0}));
}

// Changing the frame icons makes the form's window again; the buttons go
// on answering on the new one.
TEST(CaptionControl, ClicksAreReportedAfterTheFormMakesItsWindowAgain) {
    CaptionForm f;
    HWND before = f.form->Handle();
    f.form->SetBorderIcons({TBorderIcon::biSystemMenu, TBorderIcon::biMinimize});
    f.form->HandleNeeded();
    f.form->Show();
    PumpMessages();
    ASSERT_NE(f.form->Handle(), before);
    SetWindowPos(f.form->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpMessages();
    f.Click(2);
    EXPECT_EQ(f.clicks, (std::vector<int>{2}));
}

// Without a menu of its own the right button on the frame is the system's.
TEST(CaptionControl, TheRightButtonOnTheFrameIsSwallowedOnlyForAMenu) {
    CaptionForm f;
    TMessage m{WM_NCRBUTTONDOWN, HTCAPTION, 0, 0};
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, static_cast<UINT>(WM_NCRBUTTONDOWN));
    auto* menu = Create<TPopupMenu>(f.form.get());
    f.cap->SetPopupMenu(menu);
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, 0u);
    ReleaseCapture();
}

// ------------------------------------------------------------ placement

namespace {
const char* kKey = "SOFTWARE\\Qiv\\Treskel!\\Common";

std::string RegValue(const std::string& name) {
    TRegIniFile ini(kKey);
    return ini.ReadString("Test", name, "");
}
}  // namespace

TEST(FormPlacement, SavesAtCloseWithAndWithoutTheScreenSuffixAndRestoresAtShow) {
    ClearProgramRegistry();
    auto make = [] {
        auto form = MakeForm<TForm>();
        auto* p = Create<TFormPlacement>(form.get());
        p->SetIniFileName(kKey);
        p->SetIniSection("Test");
        p->SetUseRegistry(true);
        p->Loaded();
        return form;
    };
    {
        auto form = make();
        form->Show();
        PumpMessages();
        form->SetBounds(30, 40, 320, 210);
        EXPECT_TRUE(form->CloseQuery());
    }
    std::string suffixed = RegValue("NormPos" + ScreenSizeSuffix());
    EXPECT_EQ(suffixed, "30,40,350,250");
    EXPECT_EQ(RegValue("NormPos"), suffixed);
    EXPECT_EQ(RegValue("ShowCmd"), "1");

    auto form = make();
    form->SetPosition(TPosition::poScreenCenter);
    form->Show();
    PumpMessages();
    EXPECT_EQ(form->BoundsRect(), Rect(30, 40, 350, 250));
    EXPECT_EQ(form->Position(), TPosition::poDesigned);
}

// A placement stored on a monitor that is gone comes back on a visible one.
TEST(FormPlacement, ARestoredPlacementIsKeptOnAVisibleMonitor) {
    RECT off = {5000, 4000, 5300, 4200};
    RECT r = KeepOnMonitor(off);
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    RECT on = {10, 20, 300, 200};
    RECT same = KeepOnMonitor(on);
    EXPECT_TRUE(EqualRect(&same, &on));
}

TEST(FormPlacement, NthWordSkipsRunsOfDelimiters) {
    EXPECT_EQ(NthWord(3, "10, 20,,x 400", " ,"), "x");
    EXPECT_EQ(NthWord(5, "10,20", " ,"), "");
}

// ------------------------------------------------------------ tray icon

namespace {
struct Tray {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TWuTrayIcon* icon = Create<TWuTrayIcon>(form.get());
    Tray() {
        icon->SetActive(false);
        icon->Icon()->SetHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    }
    // Whether the shell still knows the icon (a change of an unknown one fails).
    bool ShellHasIcon() {
        NOTIFYICONDATAA d = icon->NotifyData();
        return Shell_NotifyIconA(NIM_MODIFY, &d) != FALSE;
    }
};
}  // namespace

TEST(TrayIcon, ADoubleClickArrivesAsEventsInTheDocumentedOrder) {
    Tray t;
    std::vector<std::string> log;
    t.icon->OnMouseDown = [&](TObject*, TMouseButton, TShiftState s, int, int) {
        log.push_back(s.Contains(TShiftStateItem::ssDouble) ? "down2" : "down");
    };
    t.icon->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
    t.icon->OnClick = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("click"); };
    t.icon->OnDblClick = [&](TObject*) { log.push_back("dbl"); };
    t.icon->SetActive(true);
    ASSERT_TRUE(t.icon->Shown());
    for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageA(t.icon->Window(), WM_WUTRAYNOTIFY, 0, m);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "click", "up", "dbl", "down2", "up"}));
}

TEST(TrayIcon, TheTipIsTheShortHintCutTo63Characters) {
    Tray t;
    t.icon->SetHint("Short|long hint");
    t.icon->UpdateNotifyData();
    EXPECT_STREQ(t.icon->NotifyData().szTip, "Short");
    t.icon->SetHint(std::string(100, 'x'));
    t.icon->UpdateNotifyData();
    EXPECT_EQ(std::string(t.icon->NotifyData().szTip), std::string(63, 'x'));
}

// The shell forgets every icon when it starts again; its notice brings ours back.
TEST(TrayIcon, TheIconComesBackWhenTheShellRestarts) {
    Tray t;
    t.icon->SetActive(true);
    ASSERT_TRUE(t.ShellHasIcon());
    NOTIFYICONDATAA d = t.icon->NotifyData();
    Shell_NotifyIconA(NIM_DELETE, &d);
    ASSERT_FALSE(t.ShellHasIcon());
    SendMessageA(t.icon->Window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(t.ShellHasIcon());
    t.icon->SetActive(false);
    EXPECT_FALSE(t.ShellHasIcon());
}

// Frames advance in this thread's message loop, and only while shown.
TEST(TrayIcon, AnimationFramesAdvanceInTheMessageLoopAndStopWhileHidden) {
    Tray t;
    TIcon frame;
    frame.SetHandle(CopyIcon(LoadIconA(nullptr, IDI_QUESTION)));
    t.icon->Icons()->Add(&frame);
    t.icon->Icons()->Add(&frame);
    t.icon->SetInterval(10);
    t.icon->SetAnimated(true);
    EXPECT_FALSE(t.icon->Animating());
    t.icon->SetActive(true);
    EXPECT_TRUE(t.icon->Animating());
    EXPECT_TRUE(PumpUntil([&] { return t.icon->FrameIndex() == 1; }));
    t.icon->SetActive(false);
    EXPECT_FALSE(t.icon->Animating());
    t.icon->Icons()->Clear();
    EXPECT_FALSE(t.icon->Animated());
}

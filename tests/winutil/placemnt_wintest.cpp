// Form placement on real windows: what is stored, what comes back, and
// the sizes it holds the form to.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "platform/Registry.h"
#include "platform/StdCtrls.h"
#include "support/TestEnv.h"
#include "winutil/AppUtils.h"
#include "winutil/Placemnt.h"
#include "WinUtilForm.h"

using namespace treskel;
using namespace treskel::test;

namespace {

const char* kKey = "SOFTWARE\\Qiv\\Treskel!\\Common";

void Store(const std::string& section, const std::string& name, const std::string& value) {
    TRegIniFile ini(kKey);
    ini.WriteString(section, name, value);
}

std::string Stored(const std::string& section, const std::string& name) {
    TRegIniFile ini(kKey);
    return ini.ReadString(section, name, "");
}

std::string Ppi() { return std::to_string(EnsureScreen()->PixelsPerInch()); }

// A layout's placement in the registry under `section`, with more lines.
std::string PlacementObject(const std::string& section, const std::string& more) {
    return "  object Placement: TFormPlacement\n"
           "    IniFileName = 'SOFTWARE\\Qiv\\Treskel!\\Common'\n"
           "    IniSection = '" + section + "'\n"
           "    UseRegistry = True\n" + more + "  end\n";
}

// A form placed at (50, 60), 300 by 200, with a placement in the registry
// under `section`; shown when asked.
struct PlacedForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TFormPlacement* placement = Create<TFormPlacement>(form.get());
    explicit PlacedForm(const std::string& section, TFormBorderStyle border = TFormBorderStyle::bsSizeable) {
        form->SetBorderStyle(border);
        form->SetBounds(50, 60, 300, 200);
        placement->SetIniFileName(kKey);
        placement->SetIniSection(section);
        placement->SetUseRegistry(true);
        placement->Loaded();
    }
    void Show() {
        form->Show();
        PumpMessages();
    }
};

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
    std::string suffixed = Stored("Test", "NormPos" + ScreenSizeSuffix());
    EXPECT_EQ(suffixed, "30,40,350,250");
    EXPECT_EQ(Stored("Test", "NormPos"), suffixed);
    EXPECT_EQ(Stored("Test", "ShowCmd"), "1");

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
    RECT r = ToRECT(EnsureScreen()->KeepOnMonitor(FromRECT(off)));
    EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 200);
    RECT on = {10, 20, 300, 200};
    RECT same = ToRECT(EnsureScreen()->KeepOnMonitor(FromRECT(on)));
    EXPECT_TRUE(EqualRect(&same, &on));
}

// A form with a fixed border keeps its own size where the stored one
// differs; only the corner is taken.
TEST(FormPlacement, AFixedBorderKeepsItsSizeAtTheStoredCorner) {
    ClearProgramRegistry();
    Store("Fixed", "NormPos", "10,20,500,400");
    Store("Fixed", "PixelsPerInch", Ppi());
    PlacedForm f("Fixed", TFormBorderStyle::bsSingle);
    f.Show();
    EXPECT_EQ(f.form->BoundsRect(), Rect(10, 20, 310, 220));
}

// A word that is no number takes the default for its place: the form's
// own right edge.
TEST(FormPlacement, ABadWordInTheStoredRectangleTakesTheFormsOwnEdge) {
    ClearProgramRegistry();
    Store("Bad", "NormPos", "10 20 x 400");
    Store("Bad", "PixelsPerInch", Ppi());
    PlacedForm f("Bad");
    f.Show();
    EXPECT_EQ(f.form->BoundsRect(), Rect(10, 20, 350, 400));
}

// Stored at another resolution: the position is dropped, the state kept.
TEST(FormPlacement, AnotherPixelsPerInchDropsThePositionButNotTheState) {
    ClearProgramRegistry();
    Store("Ppi", "NormPos", "10,20,500,400");
    Store("Ppi", "PixelsPerInch", std::to_string(EnsureScreen()->PixelsPerInch() + 24));
    Store("Ppi", "ShowCmd", "3");
    PlacedForm f("Ppi");
    f.Show();
    EXPECT_EQ(f.form->WindowState(), TWindowState::wsMaximized);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(f.form->Handle(), &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 50);
    EXPECT_EQ(wp.rcNormalPosition.top, 60);
}

TEST(FormPlacement, TheStoredShowCommandGivesTheState) {
    ClearProgramRegistry();
    for (auto [cmd, state] : {std::pair{"3", TWindowState::wsMaximized}, std::pair{"1", TWindowState::wsNormal}}) {
        Store("State", "ShowCmd", cmd);
        PlacedForm f("State");
        f.Show();
        EXPECT_EQ(f.form->WindowState(), state) << "ShowCmd " << cmd;
    }
    // Nothing stored: a main form that the system places opens maximised.
    ClearProgramRegistry();
    PlacedForm f("State");
    f.form->SetPosition(TPosition::poDefault);
    f.Show();
    EXPECT_EQ(f.form->WindowState(), TWindowState::wsMaximized);
}

// A minimised main form minimises the application instead.
TEST(FormPlacement, AMinimisedMainFormMinimisesTheApplication) {
    ClearProgramRegistry();
    Store("Min", "ShowCmd", "2");
    PlacedForm f("Min");
    ASSERT_EQ(Application->MainForm(), nullptr);
    MSG msg;
    while (PeekMessageA(&msg, Application->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
    }
    f.form->Show();
    EXPECT_EQ(f.form->WindowState(), TWindowState::wsNormal);
    ASSERT_TRUE(PeekMessageA(&msg, Application->Handle(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(SC_MINIMIZE));
}

// A placement that was never put back is not written over.
TEST(FormPlacement, AFormNeverShownWritesNothing) {
    ClearProgramRegistry();
    {
        PlacedForm f("Never");
        EXPECT_TRUE(f.form->CloseQuery());
    }
    EXPECT_EQ(Stored("Never", "NormPos"), "");
    EXPECT_EQ(Stored("Never", "Flags"), "");
}

// A form that goes while it is open is saved once more as it goes and
// marked as open then; one closed first was saved at its close and is not.
TEST(FormPlacement, TheSaveAsAnOpenFormGoesMarksItVisible) {
    for (const char* section : {"OpenToTheEnd", "ClosedFirst"}) TRegIniFile(kKey).EraseSection(section);
    {
        PlacedForm f("OpenToTheEnd");
        f.Show();
        f.form->SetBounds(70, 80, 310, 220);
    }
    EXPECT_EQ(Stored("OpenToTheEnd", "Visible"), "1");
    EXPECT_EQ(Stored("OpenToTheEnd", "NormPos"), "70,80,380,300");
    {
        PlacedForm f("ClosedFirst");
        f.Show();
        EXPECT_TRUE(f.form->CloseQuery());
        f.form->Hide();
        f.form->SetBounds(70, 80, 310, 220);
    }
    EXPECT_EQ(Stored("ClosedFirst", "Visible"), "0");
    EXPECT_EQ(Stored("ClosedFirst", "NormPos"), "50,60,350,260");
}

// The INI reader takes one pair of quotes off: a quoted value gets one more
// on its way in and reads back whole; the registry keeps it as it is.
TEST(FormPlacement, QuotedValuesReadBackWholeFromBothStores) {
    TempDir dir;
    const std::string file = dir.File("placement.ini");
    {
        TIniFile ini(file);
        StoreWriteString(&ini, "S", "Single", "'quoted'");
        StoreWriteString(&ini, "S", "Double", "\"quoted\"");
        StoreWriteString(&ini, "S", "Half", "'half");
    }
    std::vector<unsigned char> bytes = ReadAll(file);
    std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("Single=\"'quoted'\""), std::string::npos) << text;
    EXPECT_NE(text.find("Half='half"), std::string::npos) << text;
    TIniFile ini(file);
    EXPECT_EQ(StoreReadString(&ini, "S", "Single", ""), "'quoted'");
    EXPECT_EQ(StoreReadString(&ini, "S", "Double", ""), "\"quoted\"");

    ClearProgramRegistry();
    TRegIniFile reg(kKey);
    StoreWriteString(&reg, "S", "Single", "'quoted'");
    EXPECT_EQ(test::ReadRegistryString(std::string(kKey) + "\\S", "Single"), "'quoted'");
}

namespace {
const std::string kHeldLayout =
    PlacementObject("Held",
    "    MinMaxInfo.MaxPosLeft = 30\n"
    "    MinMaxInfo.MaxPosTop = 40\n"
    "    MinMaxInfo.MaxSizeWidth = 500\n"
    "    MinMaxInfo.MaxSizeHeight = 400\n"
    "    MinMaxInfo.MinTrackWidth = 300\n");
}  // namespace

// Held sizes reach the system through the hook: maximised, the form takes
// the held size and corner; with every value 0 again the hook lets go.
TEST(FormPlacement, HeldSizesApplyWhileSetAndTheHookLetsGoWhenAllAreZero) {
    ClearProgramRegistry();
    auto form = LoadWinUtilForm(kHeldLayout);
    auto* placement = Find<TFormPlacement>(form.get(), "Placement");
    EXPECT_EQ(placement->WindowHook()->WinControl(), form.get());
    form->Show();
    PumpMessages();
    MINMAXINFO info{};
    SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 300);
    EXPECT_EQ(info.ptMaxTrackSize.x, 0);  // left as the system gave it
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    PumpMessages();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 400);
    ShowWindow(form->Handle(), SW_RESTORE);

    TWinMinMaxInfo* held = placement->MinMaxInfo();
    for (auto set : {&TWinMinMaxInfo::SetMaxPosLeft, &TWinMinMaxInfo::SetMaxPosTop, &TWinMinMaxInfo::SetMaxSizeWidth,
                     &TWinMinMaxInfo::SetMaxSizeHeight})
        (held->*set)(0);
    EXPECT_EQ(placement->WindowHook()->WinControl(), form.get());
    held->SetMinTrackWidth(0);
    EXPECT_TRUE(held->DefaultMinMaxInfo());
    EXPECT_EQ(placement->WindowHook()->WinControl(), nullptr);
}

namespace {
const std::string kFixedLayout =
    PlacementObject("Fixed",
    "    PreventResize = True\n");

bool Grayed(HMENU menu, UINT command) { return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0; }
}  // namespace

// Resizing forbidden: the borders do not size, the system menu offers
// neither Size nor Maximize, and the maximise button goes until allowed.
TEST(FormPlacement, PreventResizeTakesTheBordersTheSizeCommandsAndTheMaximiseButton) {
    ClearProgramRegistry();
    auto form = LoadWinUtilForm(kFixedLayout);
    auto* placement = Find<TFormPlacement>(form.get(), "Placement");
    EXPECT_FALSE(form->BorderIcons().Contains(TBorderIcon::biMaximize));
    form->Show();
    PumpMessages();
    RECT w;
    GetWindowRect(form->Handle(), &w);
    const int midY = (w.top + w.bottom) / 2;
    EXPECT_EQ(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.right - 1, midY)), HTNOWHERE);
    EXPECT_EQ(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM((w.left + w.right) / 2, midY)), HTCLIENT);
    HMENU menu = GetSystemMenu(form->Handle(), FALSE);
    SendMessageA(form->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, 1));
    EXPECT_TRUE(Grayed(menu, SC_SIZE));
    EXPECT_TRUE(Grayed(menu, SC_MAXIMIZE));
    MINMAXINFO info{};
    SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMaxTrackSize.x, 400);
    EXPECT_EQ(info.ptMinTrackSize.y, 300);

    placement->SetPreventResize(false);
    PumpMessages();
    EXPECT_TRUE(form->BorderIcons().Contains(TBorderIcon::biMaximize));
    // The form made its window again for the button; it is still shown.
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(placement->WindowHook()->WinControl(), nullptr);
    GetWindowRect(form->Handle(), &w);
    EXPECT_EQ(SendMessageA(form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(w.right - 1, (w.top + w.bottom) / 2)),
              HTRIGHT);
}

namespace {
const std::string kFocusLayout =
    "  object Edit1: TEdit\n"
    "    Left = 8\n"
    "    Top = 8\n"
    "  end\n"
    "  object Edit2: TEdit\n"
    "    Left = 8\n"
    "    Top = 40\n"
    "  end\n" +
    PlacementObject("Focus",
    "    Options = [fpState, fpPosition, fpActiveControl]\n"
    "    OnSavePlacement = PlacementSaved\n"
    "    OnRestorePlacement = PlacementRestored\n");
}  // namespace

// With the active control among the options, the control that had the
// focus has it again next time; each restore and save is reported.
TEST(FormPlacement, TheActiveControlComesBackAndEachRestoreAndSaveIsReported) {
    ClearProgramRegistry();
    {
        auto form = LoadWinUtilForm(kFocusLayout);
        form->Show();
        PumpMessages();
        Find<TEdit>(form.get(), "Edit2")->SetFocus();
        EXPECT_TRUE(form->CloseQuery());
        EXPECT_EQ(form->log, (std::vector<std::string>{"restored", "saved"}));
    }
    EXPECT_EQ(Stored("Focus", "ActiveControl"), "Edit2");
    auto form = LoadWinUtilForm(kFocusLayout);
    form->Show();
    PumpMessages();
    EXPECT_EQ(form->ActiveControl(), Find<TEdit>(form.get(), "Edit2"));
    EXPECT_EQ(form->log, (std::vector<std::string>{"restored"}));
}

// Without a name of its own the placement is stored under the program's
// key, or under the sub-key and the application's title when those are
// asked for; an INI file is named after the program, or by the hook.
TEST(FormPlacement, WithoutANameTheProgramOrTheApplicationNamesTheStore) {
    ClearProgramRegistry();
    auto form = MakeForm<TForm>();
    form->SetBounds(50, 60, 300, 200);
    auto* p = Create<TFormPlacement>(form.get());
    p->SetIniSection("Defaults");
    EXPECT_EQ(p->IniFileName(), "winutil_wintests.INI");
    DefaultIniNameHook = [] { return std::string("C:\\notes.ini"); };
    EXPECT_EQ(p->IniFileName(), "C:\\notes.ini");
    DefaultIniNameHook = nullptr;
    p->SetUseRegistry(true);
    EXPECT_EQ(p->IniFileName(), "Software\\winutil_wintests");
    const std::string title = Application->Title();
    Application->SetTitle("Treskel!");
    DefaultRegistrySubKey = "Qiv";
    DefaultRegistryUseTitle = true;
    EXPECT_EQ(p->IniFileName(), "Software\\Qiv\\Treskel!");
    p->Loaded();
    form->Show();
    PumpMessages();
    EXPECT_TRUE(form->CloseQuery());
    EXPECT_EQ(ReadRegistryString("Software\\Qiv\\Treskel!\\Defaults", "NormPos"), "50,60,350,260");
    DefaultRegistrySubKey.clear();
    DefaultRegistryUseTitle = false;
    Application->SetTitle(title);
}

// The hook watches the form only while sizes are held or resizing is
// forbidden, and only once the layout is read; a designed form is never
// watched.
TEST(FormPlacement, TheHookWatchesTheFormOnlyWhileItHasSomethingToDo) {
    ClearProgramRegistry();
    PlacedForm f("Hook");
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), nullptr);
    f.placement->SetPreventResize(true);
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), f.form.get());
    f.placement->MinMaxInfo()->SetMinTrackWidth(200);
    f.placement->SetPreventResize(false);
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), f.form.get());
    f.placement->MinMaxInfo()->SetMinTrackWidth(0);
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), nullptr);

    // While a layout is read the limits wait for the end of it.
    f.placement->SetComponentState(TComponentStateItem::csLoading, true);
    f.placement->MinMaxInfo()->SetMaxTrackWidth(500);
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), nullptr);
    f.placement->SetComponentState(TComponentStateItem::csLoading, false);
    f.placement->CheckToggleHook();
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), f.form.get());
    f.placement->SetComponentState(TComponentStateItem::csDesigning, true);
    f.placement->CheckToggleHook();
    EXPECT_EQ(f.placement->WindowHook()->WinControl(), nullptr);
    f.placement->SetComponentState(TComponentStateItem::csDesigning, false);
    f.placement->MinMaxInfo()->SetMaxTrackWidth(0);
}

// Putting the maximised position in place shows no window that is hidden
// and brings none forward (where it goes: AppUtils' native tests).
TEST(FormPlacement, TheMaximisedPositionShowsAndActivatesNothing) {
    ClearProgramRegistry();
    PlacedForm hidden("Max", TFormBorderStyle::bsDialog);
    hidden.form->HandleNeeded();
    hidden.placement->UpdateMaxPosition();
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(hidden.form->Handle()));
    PlacedForm shown("Max");
    shown.Show();
    hidden.form->Show();
    PumpMessages();
    ASSERT_EQ(GetActiveWindow(), hidden.form->Handle());
    shown.placement->UpdateMaxPosition();
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), hidden.form->Handle());
    EXPECT_TRUE(IsWindowVisible(shown.form->Handle()));
}

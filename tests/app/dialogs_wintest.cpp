// The main window's dialogs and splitter on the real window: the about box,
// the options and the item information dialog keep their places in the
// registry, the splitter between tree and note is dragged by the mouse and
// kept, the options are written and take effect as they should, and
// damaged stored values never stop a start.
#include "MainWindowTest.h"

#include "app/LinkInformation.h"
#include "app/OtherQiv.h"
#include "app/TreskelOptions.h"
#include "controls/qclformARules.h"
#include "platform/FileSys.h"
#include "support/ProgramRun.h"
#include "support/Snapshot.h"

namespace treskel::test {

namespace {

const char* const kCommon = "SOFTWARE\\Qiv\\Treskel!\\Common";
const char* const kSettings = "SOFTWARE\\Qiv\\Treskel!\\common";

void Click(TWinControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

void ClickRadio(TQclRadioGroup* group, int index) {
    HWND b = group->Buttons(index)->Handle();
    SendMessageA(b, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(b, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

TRect WindowRect(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    return {r.left, r.top, r.right, r.bottom};
}

bool Centred(HWND wnd) {
    TRect r = WindowRect(wnd);
    return r.Left == (GetSystemMetrics(SM_CXSCREEN) - r.Width()) / 2 &&
           r.Top == (GetSystemMetrics(SM_CYSCREEN) - r.Height()) / 2;
}

std::string PlacementValue(const TRect& r) {
    return Format("200,0,1,%d,%d,%d,%d", r.Left, r.Top, r.Right, r.Bottom);
}

POINT CentreOf(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT ScreenCentre(TControl* c) {
    TPoint p = c->ClientToScreen({c->Width() / 2, c->Height() / 2});
    return {p.x, p.y};
}

// Whether `upper` lies above `lower` among the top-level windows.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
        if (w == lower) return true;
    return false;
}

}  // namespace

class Dialogs : public MainWindowDialogsTest {
protected:
    // A click on the banner under the tree, as the mouse gives it.
    void ClickBanner() {
        TRect banner = W->Image1->BoundsRect();
        LPARAM at = MAKELPARAM((banner.Left + banner.Right) / 2, (banner.Top + banner.Bottom) / 2);
        SendMessageA(W->Panel1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(W->Panel1->Handle(), WM_LBUTTONUP, 0, at);
        PumpMessages();
    }
    // Opens the options and hands them to `act`, which must close them.
    void Options(const std::function<void(TfrmOptions&)>& act) {
        dialogs_.Queue([act](TCustomForm& f) {
            auto* options = dynamic_cast<TfrmOptions*>(&f);
            ASSERT_NE(options, nullptr) << f.ClassName();
            act(*options);
        });
        Run(W->ProgramOptions);
    }
    // Shows a dialog, notes where it appeared, moves it to `to` and closes it.
    TRect ShowMoveAndClose(const std::function<void()>& open, const TPoint& to) {
        TRect seen;
        dialogs_.Queue([&seen, to](TCustomForm& f) {
            seen = WindowRect(f.Handle());
            SetWindowPos(f.Handle(), nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
        });
        open();
        return seen;
    }
    // The bar between tree and note, dragged by `dx` with the left button.
    void DragSplitter(int dx) {
        TRect bar;
        W->PaneSplitCtrl->GetBarRect(0, bar);
        HWND h = W->PaneSplitCtrl->Handle();
        const int x = (bar.Left + bar.Right) / 2, y = (bar.Top + bar.Bottom) / 2;
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        for (int step = 1; step <= 10; ++step)
            SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + dx * step / 10, y));
        SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x + dx, y));
        PumpMessages();
    }
};

TEST_F(Dialogs, TheAboutBoxShowsItsTextAndLinksOnALoweredLibraryPanel) {
    StartWindow();
    std::string panelClass, linkParent;
    TColor topLeft = clNone, bottomRight = clNone;
    dialogs_.Queue([&](TCustomForm& f) {
        auto* panel = static_cast<TWinControl*>(f.FindComponent("Panel1"));
        panelClass = panel->ClassName();
        linkParent = static_cast<TControl*>(f.FindComponent("JumpLabel2"))->Parent()->Name();
        Snapshot s = OnScreen(panel->Handle());
        topLeft = static_cast<TColor>(s.At(0, 0));
        bottomRight = static_cast<TColor>(s.At(s.width - 1, s.height - 1));
        SaveWindowShot(f.Handle(), "about");
        SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    });
    W->ShowAboutBox();
    EXPECT_EQ(panelClass, "TQclSimplePanel");
    EXPECT_EQ(linkParent, "Panel1");
    EXPECT_EQ(topLeft, static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(bottomRight, static_cast<TColor>(ColorToRGB(clBtnHighlight)));
}

TEST_F(Dialogs, TheAboutBoxOpensCentredTheFirstTimeThenWhereItWasLeft) {
    StartWindow();
    TRect first = ShowMoveAndClose([this] { ClickBanner(); }, {232, 120});
    EXPECT_EQ(first.Left, (GetSystemMetrics(SM_CXSCREEN) - first.Width()) / 2);
    EXPECT_EQ(first.Top, (GetSystemMetrics(SM_CYSCREEN) - first.Height()) / 2);
    // Kept when the program ends.
    Restart();
    const TRect left = Bounds(232, 120, first.Width(), first.Height());
    EXPECT_EQ(ReadRegistryString(kCommon, "About"), PlacementValue(left));
    EXPECT_FALSE(RegistryValueExists(kCommon, "AboutColor"));
    TRect again = ShowMoveAndClose([this] { W->ShowAboutBox(); }, {232, 120});
    EXPECT_EQ(again, left);
    EXPECT_EQ(dialogs_.Shown(), (std::vector<std::string>{"TfrmAboutQiv", "TfrmAboutQiv"}));
}

TEST_F(Dialogs, TheOptionsAndTheItemInformationKeepTheirPlacesToo) {
    StartWindow();
    NewTreskel("Places");
    Run(W->NewItem);
    TRect options = ShowMoveAndClose([this] { Run(W->ProgramOptions); }, {40, 30});
    EXPECT_EQ(options.Left, (GetSystemMetrics(SM_CXSCREEN) - options.Width()) / 2);
    TRect info = ShowMoveAndClose([this] { Run(W->DisplayItemInfo); }, {300, 200});
    // The item information dialog goes when it closes: its place is kept at once.
    EXPECT_EQ(ReadRegistryString(kCommon, "ItemInfo"), PlacementValue(Bounds(300, 200, info.Width(), info.Height())));
    Restart();
    EXPECT_EQ(ReadRegistryString(kCommon, "Options"), PlacementValue(Bounds(40, 30, options.Width(), options.Height())));
    EXPECT_EQ(ShowMoveAndClose([this] { Run(W->ProgramOptions); }, {40, 30}).TopLeft(), Point(40, 30));
    EXPECT_EQ(ShowMoveAndClose([this] { Run(W->DisplayItemInfo); }, {300, 200}).TopLeft(), Point(300, 200));
    // The search dialog has no store: nothing is written for it.
    EXPECT_FALSE(RegistryValueExists(kCommon, "Search"));
}

TEST_F(Dialogs, TheSplitterIsDraggedByTheMouseAndComesBackAfterARestart) {
    StartWindow();
    TQclSplitterPanel* split = W->PaneSplitCtrl;
    EXPECT_EQ(split->Bar(0)->PosPercent(), 38);
    EXPECT_EQ(W->TabControl1->Parent(), W->QclSplitterPane1);
    EXPECT_EQ(W->Panel2->Parent(), W->QclSplitterPane2);
    const int treeWidth = W->QclSplitterPane1->Width();
    DragSplitter(150);
    const int percent = split->Bar(0)->PosPercent();
    EXPECT_GT(percent, 38);
    EXPECT_EQ(W->QclSplitterPane1->Width(), treeWidth + 150);
    EXPECT_EQ(W->TabControl1->Width(), W->QclSplitterPane1->ClientWidth());
    SaveWindowShot(W->Handle(), "dialogs-splitter");
    Restart();
    EXPECT_EQ(ReadRegistryString(kCommon, "panelPaneO"), "0,1");
    EXPECT_EQ(ReadRegistryString(kCommon, "panelPaneV"), "1,1");
    EXPECT_EQ(ReadRegistryString(kCommon, "panelBars"), IntToStr(percent));
    EXPECT_FALSE(RegistryValueExists(kCommon, "panelColors"));
    EXPECT_FALSE(RegistryValueExists(kCommon, "panelFonts"));
    EXPECT_EQ(W->PaneSplitCtrl->Bar(0)->PosPercent(), percent);
    EXPECT_NEAR(W->QclSplitterPane1->Width(), treeWidth + 150, 10);
}

// The mouse itself: the bar dragged with the button held, then the
// caption's Info button and the banner clicked.
TEST_F(Dialogs, TheMouseItselfDragsTheSplitterAndClicksTheInfoButtonAndTheBanner) {
    StartWindow();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    TRect bar;
    W->PaneSplitCtrl->GetBarRect(0, bar);
    TPoint centre = W->PaneSplitCtrl->ClientToScreen({(bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2});
    const int before = W->QclSplitterPane1->Width();
    MouseDragOnScreen({centre.x, centre.y}, {centre.x - 80, centre.y});
    EXPECT_TRUE(PumpUntil([&] { return W->QclSplitterPane1->Width() != before; }));
    EXPECT_EQ(W->QclSplitterPane1->Width(), before - 80);
    dialogs_.Queue([](TCustomForm& f) { SendMessageA(f.Handle(), WM_CLOSE, 0, 0); });
    RECT wr;
    GetWindowRect(W->Handle(), &wr);
    TRect info = W->CaptionControl1->ButtonRect(0);
    MouseClickOnScreen({wr.left + (info.Left + info.Right) / 2, wr.top + (info.Top + info.Bottom) / 2});
    EXPECT_TRUE(PumpUntil([&] { return !dialogs_.Shown().empty(); }));
    EXPECT_EQ(dialogs_.Shown(), std::vector<std::string>{"TfrmAboutQiv"});
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    dialogs_.Queue([](TCustomForm& f) { SendMessageA(f.Handle(), WM_CLOSE, 0, 0); });
    const TRect banner = W->Image1->BoundsRect();
    const TPoint at = W->Panel1->ClientToScreen({(banner.Left + banner.Right) / 2, (banner.Top + banner.Bottom) / 2});
    MouseClickOnScreen({at.x, at.y});
    EXPECT_TRUE(PumpUntil([&] { return dialogs_.Shown().size() == 2; }));
    EXPECT_EQ(dialogs_.Shown(), (std::vector<std::string>{"TfrmAboutQiv", "TfrmAboutQiv"}));
}

TEST_F(Dialogs, OKWritesTheFourSettingsAndSwitchesTheLevelsAtOnce) {
    StartWindow();
    EXPECT_EQ(W->TreeView->StateImages(), nullptr);
    Options([](TfrmOptions& o) {
        // Shown as stored, or as the defaults: "updated" checked without a value.
        EXPECT_EQ(ExcludeTrailingBackslash(o.Edit1->Text()), ExcludeTrailingBackslash(ReadRegistryString(kSettings, "path")));
        EXPECT_EQ(o.RadioGroup1->ItemIndex(), 2);
        EXPECT_TRUE(o.CheckBox1->Checked());
        EXPECT_FALSE(o.CheckBox2->Checked());
        EXPECT_EQ(o.Caption(), "Treskel! Options");
        SaveWindowShot(o.Handle(), "dialogs-options");
        ClickRadio(o.RadioGroup1, 0);
        Click(o.CheckBox1);
        Click(o.CheckBox2);
        Click(o.BitBtn1);
    });
    EXPECT_EQ(ReadRegistryString(kSettings, "compression"), "0");
    EXPECT_EQ(ReadRegistryString(kSettings, "updated"), "0");
    EXPECT_EQ(ReadRegistryString(kSettings, "showcompression"), "1");
    EXPECT_TRUE(RegistryValueExists(kSettings, "path"));
    EXPECT_EQ(W->TreeView->StateImages(), W->ImageList2);
    // Off again: the levels go at once.
    Options([](TfrmOptions& o) {
        EXPECT_EQ(o.RadioGroup1->ItemIndex(), 0);
        EXPECT_FALSE(o.CheckBox1->Checked());
        Click(o.CheckBox2);
        Click(o.BitBtn1);
    });
    EXPECT_EQ(W->TreeView->StateImages(), nullptr);
    EXPECT_EQ(ReadRegistryString(kSettings, "showcompression"), "0");
    // Cancel writes nothing.
    Options([](TfrmOptions& o) {
        ClickRadio(o.RadioGroup1, 1);
        Click(o.BitBtn2);
    });
    EXPECT_EQ(ReadRegistryString(kSettings, "compression"), "0");
}

TEST_F(Dialogs, ADataDirectoryThatCannotBeUsedIsRefusedAndTheOldOneStays) {
    StartWindow();
    const std::string before = ReadRegistryString(kSettings, "path");
    const std::string inUse = W->DataPath;
    WriteAll(DataFile("blocker"), std::string("not a folder"));
    for (const std::string& bad : {std::string("Q:\\No such drive\\Notes"), DataFile("blocker") + "\\Notes"}) {
        SCOPED_TRACE(bad);
        MessageBoxes().clear();
        Options([&bad](TfrmOptions& o) {
            o.Edit1->SetText(bad);
            Click(o.BitBtn1);
            // Still open, for another choice.
            EXPECT_TRUE(o.Modal());
            EXPECT_EQ(o.ModalResult(), mrNone);
            Click(o.BitBtn2);
        });
        ASSERT_EQ(MessageBoxes().size(), 1u);
        EXPECT_NE(MessageBoxes()[0].text.find("cannot be used"), std::string::npos);
        EXPECT_NE(MessageBoxes()[0].text.find(bad), std::string::npos);
        EXPECT_EQ(ReadRegistryString(kSettings, "path"), before);
        EXPECT_EQ(W->DataPath, inUse);
    }
}

TEST_F(Dialogs, ANewDataDirectoryTakesEffectAtTheNextStart) {
    StartWindow();
    NewTreskel("Stays Behind");
    const std::string old = W->DataPath;
    TempDir other;
    const std::string chosen = other.File("Elsewhere");
    Options([&chosen](TfrmOptions& o) {
        o.Edit1->SetText(chosen);
        Click(o.BitBtn1);
    });
    // Made and kept, but not used before the next start.
    EXPECT_TRUE(DirectoryExists(chosen));
    EXPECT_EQ(ReadRegistryString(kSettings, "path"), chosen);
    EXPECT_EQ(W->DataPath, old);
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 1);
    Restart();
    EXPECT_EQ(W->DataPath, IncludeTrailingBackslash(chosen));
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 0);
    EXPECT_TRUE(FileExists(old + "Stays Behind.tsx"));
}

TEST_F(Dialogs, TheFolderButtonChoosesTheDataDirectoryInTheFolderDialog) {
    StartWindow();
    TempDir other;
    CreateDir(other.File("Chosen"));
    std::string edited;
    dialogs_.Queue([&edited](TCustomForm& f) {
        auto& o = dynamic_cast<TfrmOptions&>(f);
        Click(o.QclDockButton1);
        edited = o.Edit1->Text();
        Click(o.BitBtn2);
    });
    // The folder dialog runs inside the options' answer.
    dialogs_.Queue([&other](TCustomForm& f) {
        TQclDirDlg* dlg = frmOptions->DirDlg;
        ASSERT_EQ(&f, dlg->Window());
        EXPECT_TRUE(dlg->NewFolderButton()->Visible());
        dlg->FolderList()->SetDirectory(other.File("Chosen"));
        Click(dlg->OKButton());
    });
    Run(W->ProgramOptions);
    ASSERT_GE(MessageBoxes().size(), 1u);
    EXPECT_NE(MessageBoxes()[0].text.find("will not be implemented"), std::string::npos);
    EXPECT_EQ(edited, ExcludeTrailingBackslash(other.File("Chosen")));
}

// The mouse and the keyboard themselves, from the options' tool button,
// whose press must leave the mouse to the dialog: the folder button shows
// the notice, then the folder dialog above the options, which wait under
// it (a click on them does nothing) until Esc closes it.
TEST_F(Dialogs, TheMouseOpensTheOptionsAndTheirFolderDialogWhichEscCloses) {
    StartWindow();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    HWND folderOwner = nullptr, activeAfterEsc = nullptr;
    bool optionsWaited = false, folderStayedAbove = false;
    dialogs_.Queue([&](TCustomForm& f) {
        auto& o = dynamic_cast<TfrmOptions&>(f);
        MouseClickOnScreen(ScreenCentre(o.QclDockButton1));
        EXPECT_TRUE(PumpUntil([&] { return dialogs_.Shown().size() == 2; })) << "no folder dialog";
        activeAfterEsc = GetActiveWindow();
        Click(o.BitBtn2);
    });
    dialogs_.Queue([&](TCustomForm& f) {
        ASSERT_EQ(&f, frmOptions->DirDlg->Window());
        folderOwner = GetWindow(f.Handle(), GW_OWNER);
        MouseClickOnScreen(ScreenCentre(frmOptions->BitBtn2));
        PumpMessages();
        optionsWaited = !IsWindowEnabled(frmOptions->Handle()) && frmOptions->ModalResult() == mrNone &&
                        f.ModalResult() == mrNone;
        folderStayedAbove = Above(f.Handle(), frmOptions->Handle());
        TapKey(VK_ESCAPE);
        EXPECT_TRUE(PumpUntil([&] { return f.ModalResult() == mrCancel; })) << "Esc left the folder dialog open";
    });
    auto* button = dynamic_cast<TControl*>(W->FindComponent("OptionsButton"));
    ASSERT_NE(button, nullptr);
    MouseClickOnScreen(ScreenCentre(button));
    EXPECT_TRUE(PumpUntil([&] { return !dialogs_.Pending() && !frmOptions->Visible(); }));
    ASSERT_EQ(dialogs_.Shown().size(), 2u);
    ASSERT_GE(MessageBoxes().size(), 1u);
    EXPECT_NE(MessageBoxes()[0].text.find("will not be implemented"), std::string::npos);
    EXPECT_EQ(folderOwner, frmOptions->Handle());
    EXPECT_TRUE(optionsWaited);
    EXPECT_TRUE(folderStayedAbove);
    EXPECT_EQ(activeAfterEsc, frmOptions->Handle());
}

// The banner under the tree at the window's first size and as the pane
// grows and shrinks: the version stands whole in the picture beside its
// name, never over it, or not at all where the pane cuts the picture.
TEST_F(Dialogs, TheVersionStandsBesideTheBannersNameAtEveryWidth) {
    StartWindow();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    EXPECT_EQ(W->Width(), 952);
    EXPECT_EQ(W->PaneSplitCtrl->Bar(0)->PosPercent(), 38);
    const auto name = [](COLORREF c) { return c == RGB(200, 160, 0); };
    const auto text = [](COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c) && GetRValue(c) > 96; };
    TBitmap* picture = W->Image1->Bitmap();
    int nameDots = 0;
    for (int y = 0; y < picture->Height(); ++y)
        for (int x = 0; x < picture->Width(); ++x) nameDots += name(picture->Canvas()->Pixel(x, y) & 0xFFFFFF) ? 1 : 0;
    ASSERT_GT(nameDots, 0);
    auto check = [&](const std::string& when) {
        SCOPED_TRACE(when);
        SaveWindowShot(W->Handle(), "dialogs2-banner-" + when);
        const Snapshot shown = OnScreen(W->Panel1->Handle());
        const TRect panel = Rect(0, 0, shown.width, shown.height);
        const TRect drawn = OffsetRect(W->Image1->PictureRect(), W->Image1->Left(), W->Image1->Top());
        const TRect label = W->Label1->BoundsRect();
        TRect common;
        if (IntersectRect(common, drawn, panel) && common == drawn) {
            EXPECT_EQ(shown.Count(panel, name), nameDots) << "the name is covered";
            EXPECT_TRUE(W->Label1->Visible());
        }
        if (!W->Label1->Visible()) return;
        EXPECT_TRUE(IntersectRect(common, label, drawn) && common == label) << "the version is outside the picture";
        EXPECT_TRUE(IntersectRect(common, label, panel) && common == label) << "the version is cut";
        EXPECT_EQ(shown.Count(label, name), 0) << "the version lies over the name";
        EXPECT_GT(shown.Count(label, text), 10) << "the version is not drawn";
    };
    check("first-size");
    TRect bar;
    W->PaneSplitCtrl->GetBarRect(0, bar);
    TPoint centre = W->PaneSplitCtrl->ClientToScreen({(bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2});
    const int before = W->QclSplitterPane1->Width();
    MouseDragOnScreen({centre.x, centre.y}, {centre.x + 180, centre.y});
    EXPECT_TRUE(PumpUntil([&] { return W->QclSplitterPane1->Width() == before + 180; }));
    check("wider");
    MouseDragOnScreen({centre.x + 180, centre.y}, {centre.x - 200, centre.y});
    EXPECT_TRUE(PumpUntil([&] { return W->QclSplitterPane1->Width() < before - 150; }));
    check("narrower");
}

TEST_F(Dialogs, DamagedStoredPlacesNeverStopTheWindow) {
    for (const char* name : {"About", "Options", "ItemInfo"})
        WriteRegistryString(kCommon, name, "200,0,1,one,two,three,four");
    WriteRegistryString(kCommon, "panelPaneO", "7,7");
    WriteRegistryString(kCommon, "panelPaneV", "0,0,0");
    WriteRegistryString(kCommon, "panelBars", "999");
    StartWindow();
    EXPECT_TRUE(IsWindowVisible(W->Handle()));
    EXPECT_EQ(W->PaneSplitCtrl->Bar(0)->PosPercent(), 38);
    EXPECT_TRUE(W->QclSplitterPane1->Visible());
    bool centred = false;
    dialogs_.Queue([&centred](TCustomForm& f) {
        centred = Centred(f.Handle());
        SaveWindowShot(f.Handle(), "dialogs-about");
        SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    });
    W->ShowAboutBox();
    EXPECT_TRUE(centred);
}

// A real start of the program with damaged values ends normally and leaves
// sound values behind.
TEST(DialogsProgram, DamagedStoredValuesNeverStopTheProgramFromStarting) {
    const std::string exe = ProgramExe();
    if (!FileExists(exe)) GTEST_FAIL() << "build the program first: " << exe;
    TempDir data;
    PresetDataPath(data.Path());
    for (const char* name : {"About", "Options", "ItemInfo"}) WriteRegistryString(kCommon, name, "200,x");
    WriteRegistryString(kCommon, "panelPaneO", "1,1");
    WriteRegistryString(kCommon, "panelBars", "-5");
    ProgramProcess program;
    ASSERT_TRUE(program.Start(exe, data.Path()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr) << "the program did not show its window";
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(ReadRegistryString(kCommon, "panelPaneO"), "0,1");
    EXPECT_EQ(ReadRegistryString(kCommon, "panelBars"), "38");
}

namespace {
// The program's windows on the road to the folder dialog.
struct FolderRoad {
    HWND main = nullptr, options = nullptr, folder = nullptr;
};

// By the mouse and the keyboard alone: the options tool button opens the
// options, their folder button the notice, Enter on it the folder dialog.
void OpenFolderDialog(const ProgramProcess& program, FolderRoad& road) {
    const DWORD pid = program.Id();
    road.main = MainWindowOf(pid);
    ASSERT_NE(road.main, nullptr) << "the program did not show its window";
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == road.main; }));
    // The options button ends the main tool bar, the window's first child.
    HWND bar = FindChildOfClass(road.main, "TToolBar");
    ASSERT_NE(bar, nullptr);
    POINT button{285 + 11, 11};
    ClientToScreen(bar, &button);
    MouseClickOnScreen(button);
    ASSERT_TRUE(PumpUntil([&] { return (road.options = WindowOfCaption(pid, "Treskel! Options")) != nullptr; }))
        << "the tool button did not open the options";
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == road.options; }));
    HWND folderButton = FindChildOfClass(road.options, "TQclDockButton");
    ASSERT_NE(folderButton, nullptr);
    MouseClickOnScreen(CentreOf(folderButton));
    ASSERT_TRUE(PumpUntil([&] {
        HWND top = GetForegroundWindow();
        DWORD owner = 0;
        GetWindowThreadProcessId(top, &owner);
        return owner == pid && top != road.options && top != road.main;
    })) << "the folder button did not show the notice";
    TapKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return (road.folder = WindowOfCaption(pid, "Select Path...")) != nullptr; }))
        << "no folder dialog after the notice";
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == road.folder; }));
}

// The program started afresh on a data directory of its own, its folder
// dialog opened from the options.
class DialogsProgramFolder : public testing::Test {
protected:
    void SetUp() override {
        ClearProgramRegistry();
        PresetDataPath(data.Path());
        ASSERT_TRUE(program.Start(ProgramExe(), data.Path()));
        ASSERT_NE(program.WaitForMainWindow(), nullptr) << "the program did not show its window";
        ASSERT_NO_FATAL_FAILURE(OpenFolderDialog(program, road));
    }

    TempDir data;
    ProgramProcess program;
    FolderRoad road;
};

void CloseProgram(ProgramProcess& program, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(program.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(program.Process(), &code);
    EXPECT_EQ(code, 0u);
}
}  // namespace

// The program itself, by the mouse and the keyboard alone: the folder
// dialog belongs to the options (they wait under it, a click on them does
// nothing) and closes on Esc, the options active again.
TEST_F(DialogsProgramFolder, TheFolderDialogBelongsToTheOptionsAndEscClosesIt) {
    const HWND main = road.main, options = road.options, folder = road.folder;
    EXPECT_EQ(GetWindow(folder, GW_OWNER), options);
    EXPECT_FALSE(IsWindowEnabled(options));
    EXPECT_FALSE(IsWindowEnabled(main));
    HWND cancel = FindWindowExA(options, nullptr, nullptr, "Cancel");
    ASSERT_NE(cancel, nullptr);
    MouseClickOnScreen(CentreOf(cancel));
    PumpUntil([&] { return !IsWindowVisible(options); }, 500);
    EXPECT_TRUE(IsWindowVisible(options)) << "the options did not wait";
    EXPECT_TRUE(IsWindowVisible(folder));
    EXPECT_TRUE(Above(folder, options));
    SaveWindowShot(GetDesktopWindow(), "dialogs2-folder-over-options");
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == folder; }));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(folder); })) << "Esc left the folder dialog open";
    EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == options; }));
    TapKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(options) && GetForegroundWindow() == main; }));
    CloseProgram(program, main);
}

namespace {
struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindBox(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<BoxSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    char name[16] = {};
    GetClassNameA(wnd, name, sizeof name);
    if (owner != s->pid || !IsWindowVisible(wnd) || std::string(name) != "#32770") return TRUE;
    s->found = wnd;
    return FALSE;
}

// The program's message box shown now (the system's dialog class), or null.
HWND MessageBoxOf(DWORD pid) {
    BoxSearch s{pid, nullptr};
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// All the text a window's children show, one after the other.
std::string ChildrenText(HWND wnd) {
    std::string text;
    for (HWND c = GetWindow(wnd, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char part[1024] = {};
        GetWindowTextA(c, part, sizeof part);
        text += std::string(part) + "\n";
    }
    return text;
}

std::string EditText(HWND edit) {
    char text[1024] = {};
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}
}  // namespace

// New Folder in the folder dialog of the options, by the keyboard: a name
// no folder can have is refused with a message that says why, and the box
// stays open with the name typed, for the user to change it.
TEST_F(DialogsProgramFolder, ANewFolderNameThatCannotBeIsRefusedSayingWhyAndTheBoxStaysOpen) {
    const DWORD pid = program.Id();
    HWND newFolder = FindWindowExA(road.folder, nullptr, nullptr, "&New Folder");
    ASSERT_NE(newFolder, nullptr);
    MouseClickOnScreen(CentreOf(newFolder));
    HWND query = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (query = WindowOfCaption(pid, "New Folder")) != nullptr; }))
        << "New Folder asked for no name";
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == query; }));
    HWND edit = FindChildOfClass(query, "TEdit");
    ASSERT_NE(edit, nullptr);
    const std::string longName(256, 'n');
    const std::pair<std::string, std::string> refused[] = {
        {"con", "\"con\" is the name of a device of the system"},
        {"nul.txt", "\"nul.txt\" is the name of a device of the system"},
        {"   ", "A folder name cannot be blanks only."},
        {longName, "A folder name can have at most 255 characters; this one has 256."},
    };
    for (const auto& [name, why] : refused) {
        SCOPED_TRACE(name.substr(0, 20));
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit || GetForegroundWindow() == query; }));
        TypeIntoFocus(name);
        ASSERT_TRUE(PumpUntil([&] { return EditText(edit) == name; })) << EditText(edit);
        TapKey(VK_RETURN);
        HWND box = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (box = MessageBoxOf(pid)) != nullptr; })) << "no word on the refusal";
        EXPECT_NE(ChildrenText(box).find(why), std::string::npos) << ChildrenText(box);
        SaveWindowShot(GetDesktopWindow(), "dialogs-new-folder-refused");
        PumpUntil([&] { return GetForegroundWindow() == box; });
        TapKey(VK_RETURN);
        ASSERT_TRUE(PumpUntil([&] { return MessageBoxOf(pid) == nullptr; }));
        // The box is still there with the name, selected for typing over.
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == query; })) << "the name box went";
        EXPECT_TRUE(IsWindowVisible(query));
        EXPECT_EQ(EditText(edit), name);
        DWORD from = 1, to = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 0u);
        EXPECT_EQ(to, name.size());
        if (name.front() != ' ') {
            EXPECT_FALSE(DirectoryExists(data.File(name)));
        }
    }
    TypeIntoFocus("letters");
    TapKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(query) || !IsWindowVisible(query); })) << "a good name was refused";
    EXPECT_TRUE(DirectoryExists(data.File("letters")));
    EXPECT_EQ(MessageBoxOf(pid), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == road.folder; }));
    TapKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == road.options; }));
    TapKey(VK_ESCAPE);
    CloseProgram(program, road.main);
}

// The program itself, started twice by the mouse alone.  Closing it
// without opening its dialogs leaves no place for them (their windows wait
// unseen in the screen's corner), so at the next start the options, the
// search and the about box open centred; where one was left is kept.
class DialogsProgramPlaces : public MainWindowTest {
protected:
    // The dialog that a click at `p` opens, closed again with Esc; whether
    // it was centred.
    bool OpensCentred(const ProgramProcess& program, POINT p, const std::string& caption) {
        HWND main = MainWindowOf(program.Id());
        SetForegroundWindow(main);
        HWND dialog = nullptr;
        for (int tries = 0; tries < 3 && dialog == nullptr; ++tries) {
            MouseClickOnScreen(p);
            PumpUntil([&] { return (dialog = WindowOfCaption(program.Id(), caption)) != nullptr; });
        }
        if (dialog == nullptr) {
            ADD_FAILURE() << caption << " did not open";
            return false;
        }
        const bool centred = Centred(dialog);
        PumpUntil([&] { return GetForegroundWindow() == dialog; });
        HoldOnScreen(300);
        SaveWindowShot(GetDesktopWindow(), "dialogs-restart-" + caption);
        TapKey(VK_ESCAPE);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(dialog); })) << caption;
        return centred;
    }
    static POINT ToolButton(HWND main, int left) {
        POINT p{left + 11, 11};
        ClientToScreen(FindChildOfClass(main, "TToolBar"), &p);
        return p;
    }
    // The banner: the top of the black panel at the foot of the tabs.
    static POINT Banner(HWND main) {
        HWND tabs = FindChildOfClass(main, "TTabControl"), lowest = nullptr;
        RECT r{}, lowestRect{};
        for (HWND c = GetWindow(tabs, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassNameA(c, name, sizeof name);
            GetWindowRect(c, &r);
            if (std::string(name) == "TPanel" && (lowest == nullptr || r.top > lowestRect.top)) {
                lowest = c;
                lowestRect = r;
            }
        }
        return {(lowestRect.left + lowestRect.right) / 2, lowestRect.top + 19};
    }
    static void Close(ProgramProcess& program) {
        PostMessageA(MainWindowOf(program.Id()), WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(program.Process(), 20000), static_cast<DWORD>(WAIT_OBJECT_0));
    }
};

TEST_F(DialogsProgramPlaces, DialogsNeverShownKeepNoPlaceAndOpenCentredAtTheNextStart) {
    StartWindow();
    NewTreskel("Work");
    Run(W->NewItem);
    CloseWindow();
    ClearProgramRegistry();
    PresetDataPath(DataDir());
    {
        ProgramProcess program;
        ASSERT_TRUE(program.Start(ProgramExe(), DataDir()));
        ASSERT_NE(program.WaitForMainWindow(), nullptr);
        Close(program);
    }
    for (const char* name : {"About", "Options", "Search"}) EXPECT_FALSE(RegistryValueExists(kCommon, name)) << name;

    ProgramProcess program;
    ASSERT_TRUE(program.Start(ProgramExe(), DataDir()));
    HWND main = program.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }));
    EXPECT_TRUE(OpensCentred(program, ToolButton(main, 285), "Treskel! Options"));
    EXPECT_TRUE(OpensCentred(program, ToolButton(main, 154), "Search"));
    EXPECT_TRUE(OpensCentred(program, Banner(main), "About Qiv"));
    Close(program);
    // Where they were shown is kept, the search dialog's excepted.
    for (const char* name : {"About", "Options"}) {
        TQclPlacement kept;
        ASSERT_TRUE(QclStringToPlacement(ReadRegistryString(kCommon, name), ',', kept)) << name;
        EXPECT_GT(kept.normal.Left, 0) << name;
        EXPECT_GT(kept.normal.Top, 0) << name;
    }
    EXPECT_FALSE(RegistryValueExists(kCommon, "Search"));
}

}  // namespace treskel::test

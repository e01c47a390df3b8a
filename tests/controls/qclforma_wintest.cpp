// The window-procedure hook component and the form component on real
// windows: messages passed on, any unhooking order, a re-created window
// hooked again; the placement kept in the registry and put back, size
// limits, dropped files and the rescaling for another resolution.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>

#include "controls/qclformA.h"
#include "foundation/qclcontWin.h"
#include "foundation/qclutilsWnd.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

namespace treskel {
namespace {

using test::PumpMessages;

constexpr UINT kProbe = WM_APP + 77;

// Counts the probe messages and the window's end, and passes everything on.
class CountingHook : public TQclWndProcComponent {
    TRESKEL_CLASS(CountingHook)
public:
    using TQclWndProcComponent::TQclWndProcComponent;
    int probes = 0, destroys = 0, ncDestroys = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe) ++probes;
        if (m.Msg == WM_DESTROY) ++destroys;
        if (m.Msg == WM_NCDESTROY) ++ncDestroys;
        TQclWndProcComponent::WndProc(m);
    }
};

// What the form itself received of the probe and of its window's end.
struct FormSeen {
    int probes = 0, ncDestroys = 0;
    void Watch(TForm* form) {
        auto inner = form->WindowProc;
        form->WindowProc = [this, inner](TMessage& m) {
            if (m.Msg == WM_NCDESTROY) ++ncDestroys;
            inner(m);
            if (m.Msg == kProbe) {
                ++probes;
                m.Result = 42;
            }
        };
    }
};

TEST(QclWndProcComponent, EveryMessageReachesTheFormThroughAnyNumberOfHooks) {
    auto form = MakeForm<TForm>();
    FormSeen seen;
    seen.Watch(form.get());
    auto* a = Create<CountingHook>(form.get());
    auto* b = Create<CountingHook>(form.get());
    a->HookOwner();
    b->HookOwner();
    ASSERT_TRUE(a->Hooked() && b->Hooked());
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(a->probes, 1);
    EXPECT_EQ(b->probes, 1);
    EXPECT_EQ(seen.probes, 1);
    // A second Hook is refused; Enabled off leaves the hook in place.
    EXPECT_FALSE(a->Hook());
    a->SetEnabled(false);
    EXPECT_TRUE(a->Hooked());
}

TEST(QclWndProcComponent, HooksLeaveInAnyOrder) {
    auto form = MakeForm<TForm>();
    FormSeen seen;
    seen.Watch(form.get());
    auto* first = Create<CountingHook>(form.get());
    auto* second = Create<CountingHook>(form.get());
    first->HookOwner();
    second->HookOwner();
    // The first one leaves while the second still sits above it.
    first->Unhook();
    EXPECT_FALSE(first->Hooked());
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(first->probes, 0);
    EXPECT_EQ(second->probes, 1);
    EXPECT_EQ(seen.probes, 1);
    second->Free();
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(seen.probes, 2);
}

TEST(QclWndProcComponent, TheWindowsEndIsPassedOnAndUnhooksThenANewWindowIsHookedAgain) {
    auto form = MakeForm<TForm>();
    FormSeen seen;
    seen.Watch(form.get());
    auto* hook = Create<CountingHook>(form.get());
    hook->HookOwner();
    form->RecreateWnd();
    // The form saw its old window's end through the hook.
    EXPECT_EQ(hook->destroys, 1);
    EXPECT_EQ(hook->ncDestroys, 1);
    EXPECT_EQ(seen.ncDestroys, 1);
    PumpMessages();
    ASSERT_TRUE(hook->Hooked());
    EXPECT_EQ(SendMessageA(form->Handle(), kProbe, 0, 0), 42);
    EXPECT_EQ(hook->probes, 1);
    // A window destroyed for good leaves the component unhooked.
    form->DestroyHandle();
    PumpMessages();
    EXPECT_FALSE(hook->Hooked());
}

TEST(QclWndProcComponent, TheApplicationsWindowCanBeWatchedWithoutLosingItsMessages) {
    struct MainWatcher : CountingHook {
        using CountingHook::CountingHook;
        int mainProbes = 0;
        bool MainWndHook(TMessage& m) override {
            if (m.Msg == kProbe) ++mainProbes;
            return false;
        }
    };
    auto form = MakeForm<TForm>();
    auto* hook = Create<MainWatcher>(form.get());
    hook->SetHookMainWindow(true);
    hook->HookOwner();
    SendMessageA(Application->Handle(), kProbe, 0, 0);
    EXPECT_EQ(hook->mainProbes, 1);
    hook->Unhook();
    SendMessageA(Application->Handle(), kProbe, 0, 0);
    EXPECT_EQ(hook->mainProbes, 1);
}

// ------------------------------------------------------------ the form component

const char* const kProgramKey = "SOFTWARE\\Qiv\\Treskel!\\Common";

std::string DialogLayout(const std::string& extra = "") {
    return "object DialogForm: TForm\n"
           "  Left = 10\n  Top = 10\n  Width = 300\n  Height = 200\n"
           "  BorderStyle = bsDialog\n  Caption = 'Kept in place'\n"
           "  object IniCtrl: TQclIniCtrl\n    RegPath = 'SOFTWARE\\Qiv\\Treskel!'\n    Target = itRegistry\n  end\n"
           "  object QclForm1: TQclForm\n    IniLink = IniCtrl\n    IniUse = ioUseLink\n"
           "    IniSaveOptions = [soPos]\n    IniKey = 'About'\n    Options = [foAutoCenter, foAutoShow]\n" +
           extra + "  end\nend\n";
}

struct Dialog {
    OwnedPtr<TForm> form;
    TQclForm* qclForm = nullptr;
    int noData = 0;
    std::vector<std::string> shownSeen;

    explicit Dialog(const std::string& layout = DialogLayout()) : form(new TForm(nullptr)) {
        form->OnShow = [this](TObject*) { shownSeen.push_back("own OnShow"); };
        form->InitializeForm(layout, "DialogForm.form");
        qclForm = dynamic_cast<TQclForm*>(form->FindComponent("QclForm1"));
        qclForm->OnNoRestoreData = [this](TObject*) { ++noData; };
    }
    void Show() {
        form->Show();
        PumpMessages();
    }
    TRect Bounds() {
        RECT r;
        GetWindowRect(form->Handle(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
};

TEST(QclForm, ThePlacementIsStoredWhenTheFormGoesAndComesBackAtTheNextShowing) {
    {
        Dialog d;
        d.Show();
        // No value yet: centred on the screen, and the component says so.
        EXPECT_EQ(d.noData, 1);
        TRect b = d.Bounds();
        EXPECT_EQ(b.Left, (GetSystemMetrics(SM_CXSCREEN) - b.Width()) / 2);
        EXPECT_EQ(b.Top, (GetSystemMetrics(SM_CYSCREEN) - b.Height()) / 2);
        // The form's own OnShow still runs, after the component's.
        EXPECT_EQ(d.shownSeen, std::vector<std::string>{"own OnShow"});
        SetWindowPos(d.form->Handle(), nullptr, 232, 120, 420, 300, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpMessages();
    }
    EXPECT_EQ(test::ReadRegistryString(kProgramKey, "About"), "200,0,1,232,120,652,420");
    // Colour and font are not kept: their values go at every save.
    EXPECT_FALSE(test::RegistryValueExists(kProgramKey, "AboutColor"));
    EXPECT_FALSE(test::RegistryValueExists(kProgramKey, "AboutFont"));

    Dialog again;
    again.Show();
    EXPECT_EQ(again.noData, 0);
    // Position only: the form keeps the size its layout gives it.
    EXPECT_EQ(again.Bounds(), Rect(232, 120, 532, 320));
    EXPECT_EQ(again.form->BoundsRect(), Rect(232, 120, 532, 320));
}

TEST(QclForm, AStoredPositionOffEveryMonitorIsBroughtBackIntoTheWorkArea) {
    test::WriteRegistryString(kProgramKey, "About", "200,0,1,-5000,-4000,-4580,-3700");
    Dialog d;
    d.Show();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    TRect b = d.Bounds();
    EXPECT_EQ(b.Left, work.left);
    EXPECT_EQ(b.Top, work.top);
    EXPECT_EQ(b.Width(), 300);
    EXPECT_EQ(d.noData, 0);
}

TEST(QclForm, ADamagedStoredValueCountsAsMissing) {
    for (const char* bad : {"200,0,1,abc,120,652,420", "200,0,1,232,120,652", "201,0,1,232,120,652,420",
                            "200,0,1,232,120,652,420,7", "garbage"}) {
        SCOPED_TRACE(bad);
        test::WriteRegistryString(kProgramKey, "About", bad);
        Dialog d;
        d.Show();
        EXPECT_EQ(d.noData, 1);
        EXPECT_TRUE(IsWindowVisible(d.form->Handle()));
        TRect b = d.Bounds();
        EXPECT_EQ(b.Left, (GetSystemMetrics(SM_CXSCREEN) - b.Width()) / 2);
    }
}

TEST(QclForm, WithoutAStoreNothingIsReadOrWritten) {
    Dialog d("object DialogForm: TForm\n  Width = 300\n  Height = 200\n"
             "  object QclForm1: TQclForm\n    IniUse = ioUseLink\n    IniKey = 'Search'\n  end\nend\n");
    EXPECT_EQ(d.qclForm->IniLink(), nullptr);
    d.Show();
    EXPECT_EQ(d.noData, 0);
    d.form.reset();
    EXPECT_FALSE(test::RegistryValueExists(kProgramKey, "Search"));
}

TEST(QclForm, TheKeyDefaultsToTheFormsClassNameAndTheOnlyStoreIsLinked) {
    auto form = MakeForm<TForm>();
    auto* ini = Create<TQclIniCtrl>(form.get());
    auto* f = Create<TQclForm>(form.get());
    EXPECT_EQ(f->IniKey(), "Form");
    EXPECT_EQ(f->IniLink(), ini);
    EXPECT_EQ(f->IniUse(), TQclIniUse::ioNone);
    // A store that goes is forgotten.
    ini->Free();
    EXPECT_EQ(f->IniLink(), nullptr);
    EXPECT_EQ(MakeOwned<TQclForm>()->IniKey(), "Form");
}

TEST(QclForm, SizeLimitsWidenTheFormAndAnswerTheSystemsQuestion) {
    Dialog d(DialogLayout("    TrackMinWidth = 360\n    TrackMaxWidth = -2\n    TrackMaxHeight = 500\n"));
    d.Show();
    EXPECT_EQ(d.Bounds().Width(), 360);
    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = {5000, 5000};
    SendMessageA(d.form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 360);
    EXPECT_EQ(mmi.ptMaxTrackSize.x, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(mmi.ptMaxTrackSize.y, 500);
    // An event takes the place of the limits.
    d.qclForm->OnTrackInfo = [](TObject*, int& minW, int&, int&, int&) { minW = 11; };
    SendMessageA(d.form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 11);
}

TEST(QclForm, DesignedForADenserScreenTheControlsShrinkToThisOne) {
    const int ppi = EnsureScreen()->PixelsPerInch();
    Dialog d(DialogLayout(Format("    DesignPPI = %d\n    Options = [foTryAdaptRes, foAutoShow]\n", ppi * 2)));
    auto* button = Create<TButton>(d.form.get());
    button->SetParent(d.form.get());
    button->SetBounds(20, 40, 100, 30);
    d.Show();
    EXPECT_EQ(button->BoundsRect(), Bounds(10, 20, 50, 15));
    EXPECT_EQ(d.form->PixelsPerInch(), ppi);
    // Only once.
    d.form->Hide();
    d.Show();
    EXPECT_EQ(button->BoundsRect(), Bounds(10, 20, 50, 15));
}

// A drop of files as the shell hands it over.
HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at) {
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const auto& n : names) bytes += n.size() + 1;
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = at;
    char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const auto& n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    GlobalUnlock(mem);
    return mem;
}

TEST(QclForm, DroppedFilesArriveAsAListInTheCaseAskedFor) {
    Dialog d(DialogLayout("    AcceptFiles = True\n    CharCase = ccUpperCase\n"));
    d.Show();
    int count = 0;
    TPoint at;
    std::vector<std::string> names;
    d.qclForm->OnFMDragDrop = [&](TObject*, int fcount, int x, int y, TStrings* list) {
        count = fcount;
        at = {x, y};
        names = list->ToVector();
    };
    EXPECT_TRUE(GetWindowLongA(d.form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    std::string longName = "C:\\" + std::string(300, 'x') + ".txt";
    SendMessageA(d.form->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({"c:\\notes\\one.txt", longName, "c:\\two.rtf"}, {15, 25})), 0);
    EXPECT_EQ(count, 3);  // the long name counts, but is not in the list
    EXPECT_EQ(at, Point(15, 25));
    EXPECT_EQ(names, (std::vector<std::string>{"C:\\NOTES\\ONE.TXT", "C:\\TWO.RTF"}));
    d.qclForm->SetAcceptFiles(false);
    EXPECT_FALSE(GetWindowLongA(d.form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST(QclForm, FormMessagesBecomeEvents) {
    Dialog d;
    d.Show();
    int moves = 0, sizes = 0, syscolors = 0;
    WORD width = 0;
    std::string section;
    d.qclForm->OnMove = [&](TObject*) { ++moves; };
    d.qclForm->OnSize = [&](TObject*, WORD w, WORD, WORD) {
        ++sizes;
        width = w;
    };
    d.qclForm->OnSysColorChange = [&](TObject*) { ++syscolors; };
    d.qclForm->OnIniChange = [&](TObject*, const std::string& s) { section = s; };
    d.qclForm->OnMoving = [](TObject*, int x, int, bool& cancel) { cancel = x > 600; };
    SetWindowPos(d.form->Handle(), nullptr, 50, 60, 320, 210, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GE(moves, 1);
    EXPECT_GE(sizes, 1);
    EXPECT_EQ(width, d.form->ClientWidth());
    // A move the event refuses does not happen.
    SetWindowPos(d.form->Handle(), nullptr, 700, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(d.Bounds().Left, 50);
    SendMessageA(d.form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
    EXPECT_EQ(syscolors, 1);
    SendMessageA(d.form->Handle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    EXPECT_EQ(section, "intl");
}

// ------------------------------------------------------------ the caption styler

TEST(QclFormStyler, ACaptionOfItsOwnNeverOverrunsTheCallersBuffer) {
    auto form = MakeForm<TForm>();
    form->SetCaption("The real caption");
    auto* styler = Create<TQclFormStyler>(form.get());
    styler->SetOptions({TQclFormStyleOption::fsUseDefaultFont});
    styler->HookOwner();
    // The window's text is one blank; the form's caption is kept aside.
    char buf[8];
    memset(buf, '#', sizeof buf);
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[0], '\0');
    EXPECT_EQ(buf[1], '#');
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buf)), 0);
    EXPECT_EQ(buf[1], '#');
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf)), 1);
    EXPECT_STREQ(buf, " ");
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXTLENGTH, 0, 0), 1);
    // Let go, the form has its caption back.
    styler->SetEnabled(false);
    EXPECT_EQ(form->Caption(), "The real caption");
    char full[32] = {};
    GetWindowTextA(form->Handle(), full, sizeof full);
    EXPECT_STREQ(full, "The real caption");
}

TEST(QclFormStyler, WithoutPaintingTheSystemKeepsTheCaptionAndOptionsOnlyRedrawTheFrame) {
    auto form = MakeForm<TForm>();
    form->SetCaption("Plain");
    auto* styler = Create<TQclFormStyler>(form.get());
    styler->SetOptions({TQclFormStyleOption::fsUseDefaultFont, TQclFormStyleOption::fsUseFormCaption});
    styler->SetPaintMode(TQclPaintMode::pcNone);
    styler->HookOwner();
    form->Show();
    PumpMessages();
    const int painted = styler->PaintCount();
    styler->SetOptions({TQclFormStyleOption::fsUseFormCaption});
    PumpMessages();
    EXPECT_EQ(styler->PaintCount(), painted);
    char text[16] = {};
    GetWindowTextA(form->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Plain");
}

TEST(QclFormStyler, AnOwnerDrawnCaptionIsPaintedByTheEvents) {
    auto form = MakeForm<TForm>();
    form->SetCaption("Drawn");
    auto* styler = Create<TQclFormStyler>(form.get());
    styler->SetOptions({TQclFormStyleOption::fsUseFormCaption, TQclFormStyleOption::fsAdjustRect});
    styler->SetPaintMode(TQclPaintMode::pcOwnerDraw);
    TRect bar, text;
    styler->OnPaint = [&](TObject*, TCanvas*, const TRect& r) { bar = r; };
    styler->OnCaptionPaint = [&](TObject*, TCanvas*, const TRect& r) { text = r; };
    styler->HookOwner();
    form->Show();
    PumpMessages();
    styler->PaintCaption(true);
    EXPECT_GT(bar.Width(), 0);
    EXPECT_GT(text.Width(), 0);
    EXPECT_LE(text.Right, bar.Right);
}

// Painting the caption itself, the styler lays a gradient from black to the
// active caption colour under the caption's text in the caption colour.
TEST(QclFormStyler, ItsCaptionIsAGradientFromBlackToTheCaptionColour) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 400, 200);
    form->SetCaption("Gradient caption");
    auto* styler = Create<TQclFormStyler>(form.get());
    styler->SetOptions({TQclFormStyleOption::fsUseDefaultFont, TQclFormStyleOption::fsUseFormCaption});
    styler->HookOwner();
    form->Show();
    SetForegroundWindow(form->Handle());
    ASSERT_TRUE(test::PumpUntil([&] { return GetActiveWindow() == form->Handle(); }));
    PumpMessages();
    TRect cap, text;
    uint16_t flags = qclCapTextRight;
    QclGetCaptionRect(form->Handle(), cap, text, flags);
    ASSERT_GT(text.Width(), 40);
    const test::Snapshot shot = test::ShownWindow(form->Handle());
    auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    const int y = cap.Top + 1;
    EXPECT_LT(sum(shot.At(text.Left + 2, y)), 40);
    const COLORREF end = shot.At(cap.Right - 2, y), caption = ColorToRGB(clActiveCaption);
    EXPECT_LE(std::abs(GetRValue(end) - GetRValue(caption)), 24);
    EXPECT_LE(std::abs(GetGValue(end) - GetGValue(caption)), 24);
    EXPECT_LE(std::abs(GetBValue(end) - GetBValue(caption)), 24);
    for (int x = text.Left + 6; x < cap.Right - 2; x += 4)
        EXPECT_GE(sum(shot.At(x, y)), sum(shot.At(x - 4, y))) << "at " << x;
    const COLORREF ink = ColorToRGB(clCaptionText) == 0 ? RGB(255, 255, 255) : ColorToRGB(clCaptionText);
    EXPECT_GT(shot.Count(text, [ink](COLORREF c) { return c == ink; }), 20);
}

// The fill's image is laid side by side over the whole client area.
TEST(QclBack, TilesItsImageOverTheClientArea) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 300, 200);
    auto tile = test::Filled(16, 12, clBlue);
    tile->Canvas()->Brush()->SetColor(clRed);
    tile->Canvas()->FillRect(Rect(0, 0, 8, 6));
    // The image list's pictures are transparent where they have the colour
    // of their bottom left pixel: one of its own there.
    SetPixel(tile->Canvas()->Handle(), 0, 11, RGB(0, 255, 0));
    auto* list = Create<TQclBitmapList>(form.get());
    list->Items(list->Add())->Bitmap()->Assign(tile.get());
    auto* back = Create<TQclBack>(form.get());
    back->SetImageList(list);
    back->HookOwner();
    form->Show();
    PumpMessages();
    const test::Snapshot shot = test::OnScreen(form->Handle());
    ASSERT_GT(shot.width, 100);
    int wrong = 0;
    for (int y = 0; y < shot.height; y += 5)
        for (int x = 0; x < shot.width; x += 3) {
            if (x % 16 == 0 && y % 12 == 11) continue;
            const COLORREF want = x % 16 < 8 && y % 12 < 6 ? RGB(255, 0, 0) : RGB(0, 0, 255);
            wrong += shot.At(x, y) != want;
        }
    EXPECT_EQ(wrong, 0);
}

TEST(QclBack, WithNoImageTheFormsOwnBackgroundStays) {
    auto form = MakeForm<TForm>();
    auto* back = Create<TQclBack>(form.get());
    back->HookOwner();
    EXPECT_TRUE(back->NoImage());
    int painted = 0;
    back->OnPaint = [&](TObject*, TCanvas*, const TRect&) { ++painted; };
    form->Show();
    PumpMessages();
    EXPECT_EQ(painted, 0);
    // Owner drawing paints through the event.
    back->SetPaintMode(TQclPaintMode::pcOwnerDraw);
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ERASENOW);
    EXPECT_GE(painted, 1);
}

}  // namespace
}  // namespace treskel

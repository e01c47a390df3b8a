#include <gtest/gtest.h>

#include <cstdlib>

#include "../richedit/EditorFixture.h"
#include "platform/Registry.h"
#include "preview/Gopage.h"
#include "preview/PageSetupDlg.h"
#include "preview/PrevForm.h"
#include "preview/PgSetup.h"
#include "support/ModalDialogs.h"
#include "support/Snapshot.h"
#include "support/TestEnv.h"
#include "platform/Clipbrd.h"
#include "platform/Handles.h"

using namespace treskel;
using namespace treskel::test;

namespace {

std::string LongNote(int paragraphs) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= paragraphs; ++i) rtf += "Paragraph " + std::to_string(i) + " of a note to preview.\\par ";
    return rtf + "}";
}

// How many pixels of what the screen shows of the window match.
int CountPixels(HWND wnd, bool (*match)(COLORREF)) {
    Snapshot shown = OnScreen(wnd);
    return shown.Count(Rect(0, 0, shown.width, shown.height), match);
}
bool GridGrey(COLORREF c) {
    return c == RGB(0xC0, 0xC0, 0xC0);
}

// With TRESKEL_PREVIEW_SHOT naming this moment, the windows stay up a
// while for a screenshot taken from outside.
void HoldForScreenshot(const char* moment) {
    const char* wanted = std::getenv("TRESKEL_PREVIEW_SHOT");
    if (wanted != nullptr && std::string(wanted) == moment) HoldOnScreen(8000);
}

class PreviewFormTest : public EditorTest {
protected:
    void Paginate(int paragraphs) {
        Load(editor, LongNote(paragraphs));
        printer->RenderRichEdit(editor);
        preview = CreatePreviewForm(printer.get());
        preview->Show();
        PumpMessages();
        UpdateWindow(preview->Handle());
        PumpMessages();
    }
    OwnedPtr<TPreviewPrinter> printer = MakeOwned<TPreviewPrinter>();
    OwnedPtr<TPreviewForm> preview;
};

}  // namespace

TEST_F(PreviewFormTest, ALongNoteShowsTextOnEveryPageAndNavigates) {
    Paginate(150);
    int pages = printer->GetPageCount();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(preview->Caption(), "Preview Form");
    EXPECT_EQ(preview->WindowState(), TWindowState::wsMaximized);
    EXPECT_EQ(preview->CurPageLabel->Caption(), "Page 1 of " + std::to_string(pages));
    EXPECT_FALSE(preview->PrevPageBut->Enabled());
    EXPECT_FALSE(preview->FirstPageSpeed->Enabled());
    EXPECT_TRUE(preview->NextPageBut->Enabled());
    EXPECT_TRUE(preview->PageNumSpeed->Enabled());
    EXPECT_TRUE(preview->FitPageBut->Down());
    for (int page = 0; page < pages; ++page) {
        if (page > 0) preview->NextPageClick(nullptr);
        UpdateWindow(preview->Handle());
        PumpMessages();
        EXPECT_GT(CountPixels(preview->PagePanel->Handle(), Dark), 200) << "page " << page + 1;
    }
    EXPECT_EQ(preview->CurPageLabel->Caption(), "Page " + std::to_string(pages) + " of " + std::to_string(pages));
    EXPECT_FALSE(preview->NextPageBut->Enabled());
    EXPECT_FALSE(preview->LastPageSpeed->Enabled());
    EXPECT_TRUE(preview->PrevPageSpeed->Enabled());
    preview->FirstPageClick(nullptr);
    EXPECT_EQ(preview->CurrentPage(), 0);
    HoldForScreenshot("navigate");
}

TEST_F(PreviewFormTest, TheGridDrawsWholeInchLinesAndZoomingByClickShows150Percent) {
    Paginate(10);
    EXPECT_EQ(printer->GetPageCount(), 1);
    // A one-page document: no navigation at all.
    EXPECT_FALSE(preview->NextPageBut->Enabled());
    EXPECT_FALSE(preview->PrevPageBut->Enabled());
    EXPECT_FALSE(preview->PageNumSpeed->Enabled());
    HWND page = preview->PagePanel->Handle();
    EXPECT_EQ(CountPixels(page, GridGrey), 0);
    preview->GridBut->SetDown(true);
    preview->GridButClick(nullptr);
    UpdateWindow(page);
    PumpMessages();
    EXPECT_GT(CountPixels(page, GridGrey), 500);

    preview->ZoomBox->SetItemIndex(6);  // 100%
    preview->ZoomBoxChange(nullptr);
    EXPECT_EQ(preview->ZoomLabel->Caption(), "100%");
    EXPECT_EQ(preview->PagePanel->Width(), preview->PixelsPerInch() * 816 / 96);
    // The zoom tool brings the clicked point to the middle of the scroll box.
    TControlScrollBar* h = preview->ScrollBox1->HorzScrollBar();
    TControlScrollBar* v = preview->ScrollBox1->VertScrollBar();
    EXPECT_TRUE(v->Tracking());
    EXPECT_TRUE(h->Tracking());
    double ry = 701.0 / preview->PagePanel->Height();
    ClickAt(preview->PagePanel->Handle(), 100, 701);
    PumpMessages();
    EXPECT_EQ(preview->ZoomBox->ItemIndex(), 2);
    EXPECT_EQ(preview->ZoomLabel->Caption(), "150%");
    int expected = static_cast<int>(preview->PagePanel->Height() * ry - preview->ScrollBox1->Height() / 2);
    ASSERT_GT(expected, 0);
    EXPECT_EQ(v->Position(), expected);
    EXPECT_TRUE(v->IsScrollBarVisible());
    EXPECT_EQ(preview->ContainPanel->Top(), -expected);
    // 150 % of a letter page is taller than the screen, not wider.
    EXPECT_FALSE(h->IsScrollBarVisible());
    EXPECT_EQ(h->Position(), 0);
    // The hand tool drags the page under the pointer.
    preview->HandCursorButClick(nullptr);
    HWND panel = preview->PagePanel->Handle();
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
    SendMessageA(panel, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 170));
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(150, 170));
    EXPECT_EQ(v->Position(), expected + 30);
    EXPECT_EQ(preview->ContainPanel->Top(), -expected - 30);
    EXPECT_EQ(h->Position(), 0);
    // Two pages side by side go back to fitting the page.
    preview->TwoPageBut->SetDown(true);
    preview->TwoPageButClick(nullptr);
    EXPECT_EQ(preview->ZoomBox->ItemIndex(), 0);
    EXPECT_TRUE(preview->PagePanel2->Visible());
}

// The zoom and hand tools work on the first page view; the second page,
// shown beside it, takes no clicks.  The tool bar holds a hidden About.
TEST_F(PreviewFormTest, TheToolsAnswerOnTheFirstPageViewOnly) {
    Paginate(150);
    ASSERT_GE(printer->GetPageCount(), 2);
    auto* about = dynamic_cast<TWuSpeedButton*>(preview->FindComponent("AboutBut"));
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->Visible());
    EXPECT_EQ(about->Parent(), preview->ToolPanel);
    preview->TwoPageBut->SetDown(true);
    preview->TwoPageButClick(nullptr);
    ASSERT_TRUE(preview->PagePanel2->Visible());
    const double fit = preview->Zoom();
    EXPECT_EQ(preview->PB2->Cursor(), crPreviewZoom);
    ClickAt(preview->PagePanel2->Handle(), 60, 80);
    PumpMessages();
    EXPECT_EQ(preview->ZoomBox->ItemIndex(), 0);
    EXPECT_EQ(preview->Zoom(), fit);
    EXPECT_TRUE(preview->PagePanel2->Visible());
    ClickAt(preview->PagePanel->Handle(), 60, 80);
    PumpMessages();
    EXPECT_EQ(preview->ZoomBox->ItemIndex(), 2);
    EXPECT_DOUBLE_EQ(preview->Zoom(), fit * 1.5);
    EXPECT_FALSE(preview->PagePanel2->Visible());
}

TEST_F(PreviewFormTest, WithoutPagesThePageIsOneOfNone) {
    preview = CreatePreviewForm(printer.get());
    EXPECT_EQ(preview->CurPageLabel->Caption(), "Page 1 of 0");
    EXPECT_FALSE(preview->NextPageBut->Enabled());
}

TEST_F(PreviewFormTest, TheStatusRowShowsTheApplicationsHintWhileShown) {
    int before = 0;
    EnsureApplication()->OnHint = [&](TObject*) { ++before; };
    Paginate(10);
    Application->SetHint("Turns Grid On/Off");
    EXPECT_EQ(preview->HintLabel->Caption(), "Turns Grid On/Off");
    EXPECT_EQ(before, 0);
    preview->Close();
    // The earlier handler is back; the label no longer follows.
    Application->SetHint("Fit to Page");
    EXPECT_EQ(before, 1);
    EXPECT_EQ(preview->HintLabel->Caption(), "Turns Grid On/Off");
    Application->OnHint = nullptr;
}

TEST_F(PreviewFormTest, TheToolCursorsAreTheProgramsMagnifierAndOpenHand) {
    preview = CreatePreviewForm(printer.get());
    auto hotSpot = [](TCursor index) {
        ICONINFO info{};
        EXPECT_TRUE(GetIconInfo(EnsureScreen()->Cursors(index), &info));
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return TPoint{static_cast<int>(info.xHotspot), static_cast<int>(info.yHotspot)};
    };
    // The magnifier's hot spot is the middle of its lens, the open hand's its palm.
    EXPECT_EQ(hotSpot(crPreviewZoom), (TPoint{6, 6}));
    EXPECT_EQ(hotSpot(crPreviewHand), (TPoint{10, 8}));
    EXPECT_EQ(preview->PB1->Cursor(), crPreviewZoom);
}

TEST(GoPageForm, ThePageNumberIsHeldToThePages) {
    auto form = MakeForm<TGoPageForm>();
    form->SetMaxValue(5);
    form->PageNum->SetText("9");
    EXPECT_EQ(form->Value(), 5);
    form->PageNum->SetText("x");
    EXPECT_EQ(form->Value(), 1);
    form->SetValue(3);
    EXPECT_EQ(form->Value(), 3);
}

class PageSetupTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureApplication()->SetTitle("Treskel!");
        TRegistry().DeleteKey("\\Software\\Treskel!");
        form = NewForm();
        form->LoadFromOptions();
    }
    OwnedPtr<TPageSetupForm> NewForm() {
        auto f = MakeForm<TPageSetupForm>();
        f->SetOptions(printer->TextOptions(), printer.get());
        return f;
    }
    void TearDown() override { TRegistry().DeleteKey("\\Software\\Treskel!"); }
    OwnedPtr<TPreviewPrinter> printer = MakeOwned<TPreviewPrinter>();
    OwnedPtr<TPageSetupForm> form;
};

TEST_F(PageSetupTest, ShowsTheOptionsWithAPointWhateverTheLocale) {
    EXPECT_EQ(form->Caption(), "Page Setup");
    for (TEdit* e : {form->LeftEdit, form->RightEdit, form->TopEdit, form->BotEdit}) EXPECT_EQ(e->GetText(), "1.000");
    EXPECT_EQ(form->HdrMarginEdit->GetText(), "0.500");
    EXPECT_EQ(form->HdrFontBut->Caption(), "Times New Roman 18 pt");
    for (TRadioButton* r : {form->HdrCenterBut, form->PageBotBut, form->PageRightBut, form->InchBut, form->PortBut})
        EXPECT_TRUE(r->Checked()) << r->Name();
    EXPECT_FALSE(form->LandShape->Visible());
}

TEST_F(PageSetupTest, OkTakesTheValuesAndABadMarginChangesNothing) {
    form->Show();
    form->LeftEdit->SetText("2,5");
    form->HeaderEdit->SetText("Title");
    form->CentBut->SetChecked(true);
    form->OKButClick(nullptr);
    EXPECT_EQ(form->ModalResult(), mrOk);
    EXPECT_EQ(printer->TextOptions()->MarginLeft, 2.5);
    EXPECT_EQ(printer->TextOptions()->Header, "Title");
    EXPECT_EQ(printer->Units(), TUnits::unCentimeters);

    form->SetModalResult(mrNone);
    form->HeaderEdit->SetText("Other");
    form->TopEdit->SetText("one inch");
    MessageBoxes().clear();
    form->OKButClick(nullptr);
    EXPECT_EQ(form->ModalResult(), mrNone);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "'one inch' is not a valid margin.");
    EXPECT_EQ(printer->TextOptions()->Header, "Title");
    EXPECT_EQ(printer->TextOptions()->MarginTop, 1.0);
}

TEST_F(PageSetupTest, DefaultsAreStoredAndAppliedAtTheNextStartAndBadOnesIgnored) {
    form->LeftEdit->SetText("1,25");
    form->FooterEdit->SetText("Foot");
    form->PageTopBut->SetChecked(true);
    AnswerNextBox(IDYES);
    form->SetDefaultButClick(nullptr);
    TRegIniFile ini("Software\\Treskel!\\PageSetupForm");
    EXPECT_EQ(ini.ReadString("Values", "LeftEdit", ""), "1.250");
    EXPECT_EQ(ini.ReadString("Values", "PageTopBut", ""), "1");
    EXPECT_EQ(ini.ReadString("Values", "HeaderFontDialog_Size", ""), "18");
    // Cancel follows: the options are as they were, the defaults stay.
    EXPECT_EQ(printer->TextOptions()->Footer, "");

    auto next = MakeOwned<TPreviewPrinter>();
    next->Loaded();
    EXPECT_EQ(next->TextOptions()->MarginLeft, 1.25);
    EXPECT_EQ(next->TextOptions()->Footer, "Foot");
    EXPECT_EQ(next->TextOptions()->PrintPageNumber, TPrintPageNumber::pnTop);

    ini.WriteString("Values", "LeftEdit", "garbage");
    ini.WriteString("Values", "TopEdit", "1e999");
    ini.WriteString("Values", "HeaderFontDialog_Size", "-7");
    auto third = MakeOwned<TPreviewPrinter>();
    third->Loaded();
    EXPECT_EQ(third->TextOptions()->MarginLeft, 1.0);
    EXPECT_EQ(third->TextOptions()->MarginTop, 1.0);
    EXPECT_EQ(third->TextOptions()->HeaderFont()->Size(), 18);
    EXPECT_EQ(third->TextOptions()->Footer, "Foot");
}

TEST(PgSetup, WithoutAPrinterTheMetricsAreLetterWithoutAnyBox) {
    MessageBoxes().clear();
    InitPageSetup();
    EXPECT_EQ(PageMetrics().PaperSize.X, 8500);
    EXPECT_EQ(PageMetrics().PaperSizeMM.Y, 27940);
    EXPECT_EQ(PageMetrics().MarginsMM.Left, 635);
    EXPECT_TRUE(MessageBoxes().empty());
}

// ------------------------------------------------------------ tool bar, status row, go to page

namespace {
// Presses a windowless button of the preview with the mouse.
void Press(TControl* button) {
    auto* parent = static_cast<TWinControl*>(button->Parent());
    ClickAt(parent->Handle(), button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
    PumpMessages();
}
// How wide a caption draws in a control's font ("&&" draws one "&").
int CaptionWidth(TControl* control, const std::string& text) {
    WindowDC screen(nullptr);
    TCanvas canvas;
    CanvasDCScope scope(&canvas, screen.Get());
    canvas.Font()->Assign(control->Font());
    RECT r{0, 0, 0, 0};
    DrawTextA(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return r.right;
}
}  // namespace

TEST_F(PreviewFormTest, ReleasingTheMouseOnOnePageFitsTheWholePageAgain) {
    Paginate(150);
    preview->ZoomBox->SetItemIndex(6);  // 100%
    preview->ZoomBoxChange(nullptr);
    ASSERT_FALSE(preview->FitPageBut->Down());
    Press(preview->OnePageBut);
    EXPECT_EQ(preview->ZoomBox->ItemIndex(), 0);
    EXPECT_TRUE(preview->FitPageBut->Down());
    EXPECT_TRUE(preview->OnePageBut->Down());
    EXPECT_FALSE(preview->PagePanel2->Visible());
    EXPECT_LT(preview->PagePanel->Height(), preview->ScrollBox1->ClientHeight());
}

TEST_F(PreviewFormTest, AFormFreedWhileShownGivesTheHintBackBeforeItsControlsGo) {
    std::vector<std::string> hints;
    Application->OnHint = [&](TObject*) { hints.push_back(Application->Hint()); };
    Paginate(5);
    Press(preview->OnePageBut);
    ASSERT_EQ(Application->Hint(), "Display One page at a time");
    hints.clear();
    // The button under the mouse goes with the form and takes its hint.
    preview.reset();
    EXPECT_EQ(hints, std::vector<std::string>{""});
    Application->OnHint = nullptr;
}

TEST_F(PreviewFormTest, TheZoomLabelGroupsThousandsAtTheLargestZoom) {
    Paginate(10);
    preview->ZoomBox->SetItemIndex(11);  // 400%
    preview->ZoomBoxChange(nullptr);
    EXPECT_EQ(preview->ZoomLabel->Caption(), "400%");
    for (int i = 0; i < 3; ++i) ClickAt(preview->PagePanel->Handle(), 50, 50);
    PumpMessages();
    char sep[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, sep, sizeof sep);
    EXPECT_EQ(preview->ZoomLabel->Caption(), "1" + std::string(sep) + "000%");
    EXPECT_NE(std::string(sep), "");
}

TEST_F(PreviewFormTest, TwoPagesAsTheZoomOptionOpensSideBySide) {
    printer->ZoomOption = TZoomOption::zoTwoPages;
    Paginate(150);
    EXPECT_TRUE(preview->TwoPageBut->Down());
    EXPECT_TRUE(preview->PagePanel2->Visible());
    EXPECT_EQ(preview->PagePanel2->Left(), preview->PagePanel->Left() + preview->PagePanel->Width() + 20);
}

TEST_F(PreviewFormTest, TheStatusRowShowsTheLongestHintWhole) {
    Paginate(10);
    ASSERT_EQ(preview->WindowState(), TWindowState::wsMaximized);
    // The mouse comes to rest on the page.
    PostMessageA(preview->PagePanel->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 60));
    PumpMessages();
    EXPECT_EQ(preview->HintLabel->Caption(), preview->PB1->Hint());
    int right = preview->HintLabel->Left() + preview->HintLabel->Width();
    EXPECT_LE(right, preview->StatusPanel->ClientWidth());
    EXPECT_LE(CaptionWidth(preview->HintLabel, preview->HintLabel->Caption()), preview->HintLabel->Width());
    HoldForScreenshot("hint");
    preview->Close();
    Application->OnHint = nullptr;
}

class GoToPageTest : public PreviewFormTest {
protected:
    void SetUp() override {
        PreviewFormTest::SetUp();
        dialogs.Install();
    }
    void TearDown() override {
        dialogs.Remove();
        PreviewFormTest::TearDown();
    }
    ModalDialogs dialogs;
};

TEST_F(GoToPageTest, ThePageNumberTakesDigitsOnlyAndIsHeldToThePages) {
    Paginate(150);
    int pages = printer->GetPageCount();
    ASSERT_GE(pages, 3);
    bool answered = false;
    dialogs.Queue([&](TCustomForm& form) {
        auto& go = dynamic_cast<TGoPageForm&>(form);
        answered = true;
        // Owned by the preview, in a bold 8-point font.
        EXPECT_EQ(go.Owner(), preview.get());
        EXPECT_TRUE(go.PageNum->Font()->Style().Contains(TFontStyle::fsBold));
        EXPECT_EQ(go.PageNum->Font()->Size(), 8);
        EXPECT_EQ(go.PageNum->GetText(), "1");
        EXPECT_EQ(go.MaxValue(), pages);
        HWND edit = go.PageNum->Handle();
        // Letters are refused as they are typed or pasted.
        TypeText(edit, "abc");
        EXPECT_EQ(go.PageNum->GetText(), "1");
        HoldForScreenshot("gotopage");
        Clipboard()->SetAsText("2b");
        SendMessageA(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(go.PageNum->GetText(), "1");
        // The Up key and the arrows step.
        PressKey(edit, VK_UP);
        EXPECT_EQ(go.PageNum->GetText(), "2");
        HWND arrows = FindWindowExA(edit, nullptr, "msctls_updown32", nullptr);
        ASSERT_NE(arrows, nullptr);
        RECT r;
        GetClientRect(arrows, &r);
        ClickAt(arrows, r.right / 2, r.bottom / 4);
        EXPECT_EQ(go.PageNum->GetText(), "3");
        ClickAt(arrows, r.right / 2, r.bottom * 3 / 4);
        EXPECT_EQ(go.PageNum->GetText(), "2");
        // Nothing typed: OK waits for a number.
        go.PageNum->SetText("");
        SendMessageA(go.OKBtn->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(go.ModalResult(), mrNone);
        // A number past the last page goes to the last page.
        Clipboard()->SetAsText("99");
        SendMessageA(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(go.PageNum->GetText(), "99");
        SendMessageA(go.OKBtn->Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(go.ModalResult(), mrOk);
    });
    preview->PageNumSpeedClick(nullptr);
    EXPECT_TRUE(answered);
    EXPECT_EQ(preview->CurrentPage(), pages - 1);
    EXPECT_EQ(preview->CurPageLabel->Caption(), "Page " + std::to_string(pages) + " of " + std::to_string(pages));
    EXPECT_FALSE(preview->NextPageBut->Enabled());
    // The dialog went with its answer.
    for (int i = 0; i < preview->ComponentCount(); ++i)
        EXPECT_EQ(dynamic_cast<TGoPageForm*>(preview->Components(i)), nullptr);
}

// ------------------------------------------------------------ page setup: place, font buttons, cancel

namespace {
// A main window at a known place for a test, the previous one back after it.
class MainWindowAt {
public:
    explicit MainWindowAt(TRect bounds) : previous_(EnsureApplication()->MainForm()) {
        main_ = MakeForm<TForm>();
        main_->SetBoundsRect(bounds);
        Application->SetMainForm(main_.get());
    }
    ~MainWindowAt() { Application->SetMainForm(previous_); }
    TForm* Form() const { return main_.get(); }

private:
    TCustomForm* previous_;
    OwnedPtr<TForm> main_;
};

void StorePosition(int left, int top) {
    TRegIniFile ini("Software\\Treskel!\\PageSetupForm");
    ini.WriteString("Position", "Left", std::to_string(left));
    ini.WriteString("Position", "Top", std::to_string(top));
}

// The width of a button's caption in its font, with room for its frame.
int CaptionRoom(TButton* button) {
    return CaptionWidth(button, button->Caption()) + kFontButtonPadding;
}
}  // namespace

TEST_F(PageSetupTest, WithNothingStoredTheWindowOpensCentredOnTheMainWindow) {
    MainWindowAt main(Bounds(300, 200, 700, 600));
    form->Show();
    TRect m = main.Form()->BoundsRect();
    EXPECT_EQ(form->Left(), m.Left + (m.Width() - form->Width()) / 2);
    EXPECT_EQ(form->Top(), m.Top + (m.Height() - form->Height()) / 2);
    EXPECT_GT(form->Left(), 0);
    form->Hide();
}

TEST_F(PageSetupTest, AStoredPositionIsUsedOnlyWhereAMonitorShowsIt) {
    MainWindowAt main(Bounds(300, 200, 700, 600));
    StorePosition(40, 50);
    auto stored = NewForm();
    stored->Show();
    EXPECT_EQ(stored->Left(), 40);
    EXPECT_EQ(stored->Top(), 50);
    stored->Hide();
    // Off every monitor (a screen that is gone): centred on the main window.
    StorePosition(5000, -3000);
    auto gone = NewForm();
    gone->Show();
    EXPECT_EQ(gone->Left(), 300 + (700 - gone->Width()) / 2);
    EXPECT_EQ(gone->Top(), 200 + (600 - gone->Height()) / 2);
    gone->Hide();
}

TEST_F(PageSetupTest, SetDefaultStoresThePositionThatTheNextWindowTakes) {
    MainWindowAt main(Bounds(300, 200, 700, 600));
    form->Show();
    form->SetBounds(120, 90, form->Width(), form->Height());
    AnswerNextBox(IDYES);
    form->SetDefaultButClick(nullptr);
    TRegIniFile ini("Software\\Treskel!\\PageSetupForm");
    EXPECT_EQ(ini.ReadString("Position", "Left", ""), "120");
    EXPECT_EQ(ini.ReadString("Position", "Top", ""), "90");
    EXPECT_EQ(ini.ReadString("Position", "Width", ""), std::to_string(form->Width()));
    EXPECT_EQ(ini.ReadString("Position", "Height", ""), std::to_string(form->Height()));
    EXPECT_EQ(ini.ReadString("Position", "WindowState", ""), "NORMAL");
    form->Hide();
    auto next = NewForm();
    next->Show();
    EXPECT_EQ(next->Left(), 120);
    EXPECT_EQ(next->Top(), 90);
    next->Hide();
}

TEST_F(PageSetupTest, FontButtonsShowTheWholeNameOrEndItWithDots) {
    for (TButton* b : {form->HdrFontBut, form->FtrFontBut, form->PageNumFontBut})
        EXPECT_LE(CaptionRoom(b), b->Width()) << b->Name() << ": " << b->Caption();
    EXPECT_EQ(form->PageNumFontBut->Caption(), "Times New Roman 10 pt");
    printer->TextOptions()->PageNumFont()->SetName("Extraordinarily Long Typeface Name");
    printer->TextOptions()->PageNumFont()->SetSize(12);
    form->LoadFromOptions();
    std::string caption = form->PageNumFontBut->Caption();
    EXPECT_EQ(caption.rfind("Extraord", 0), 0u) << caption;
    EXPECT_NE(caption.find("... 12 pt"), std::string::npos) << caption;
    EXPECT_LE(CaptionRoom(form->PageNumFontBut), form->PageNumFontBut->Width());
    form->Show();
    HoldForScreenshot("pagesetup");
    form->Hide();
}

class PageSetupModalTest : public PageSetupTest {
protected:
    void SetUp() override {
        PageSetupTest::SetUp();
        dialogs.Install();
    }
    void TearDown() override {
        dialogs.Remove();
        PageSetupTest::TearDown();
    }
    ModalDialogs dialogs;
};

TEST_F(PageSetupModalTest, CancelLeavesTheOptionsAsTheyWere) {
    TTextOptions before;
    before.Assign(printer->TextOptions());
    bool answered = false;
    dialogs.Queue([&](TCustomForm& f) {
        auto& setup = dynamic_cast<TPageSetupForm&>(f);
        answered = true;
        EXPECT_EQ(setup.Owner(), printer.get());
        setup.LeftEdit->SetText("");
        TypeText(setup.LeftEdit->Handle(), "2.5");
        EXPECT_EQ(setup.LeftEdit->GetText(), "2.5");
        setup.HeaderEdit->SetText("Edited");
        SendMessageA(setup.LandBut->Handle(), BM_CLICK, 0, 0);
        SendMessageA(setup.CentBut->Handle(), BM_CLICK, 0, 0);
        SendMessageA(setup.PageNoneBut->Handle(), BM_CLICK, 0, 0);
        EXPECT_TRUE(setup.LandShape->Visible());
        SendMessageA(setup.CancelBut->Handle(), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(printer->PageSetup(), mrCancel);
    ASSERT_TRUE(answered);
    TTextOptions* o = printer->TextOptions();
    EXPECT_EQ(o->MarginLeft, before.MarginLeft);
    EXPECT_EQ(o->Header, before.Header);
    EXPECT_EQ(o->PrintPageNumber, before.PrintPageNumber);
    EXPECT_EQ(printer->Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(printer->Units(), TUnits::unInches);
    // Nothing stored either.
    EXPECT_EQ(TRegIniFile("Software\\Treskel!\\PageSetupForm").ReadString("Values", "LeftEdit", "none"), "none");
}

// ------------------------------------------------------------ form settings

namespace {
const char* const kSettingsLayout = R"(object SettingsHost: TForm
  object Group1: TGroupBox
    object Panel1: TPanel
      object InsideEdit: TEdit
        Text = 'inside'
      end
    end
    object InsideRadio: TRadioButton
      Checked = True
    end
  end
  object OutsideEdit: TEdit
    Text = 'outside'
  end
  object FontDialog1: TFontDialog
  end
  object Settings: TFormSettings
    SavePosition = False
    LoadValues = True
    SaveValueOptions = [svEdit]
    KeyName = 'Software\Treskel!\SettingsTest'
    RootControl = Group1
  end
end
)";

OwnedPtr<TForm> LoadSettingsHost() {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->InitializeForm(kSettingsLayout, "settings.form");
    return form;
}
}  // namespace

TEST_F(PageSetupTest, SettingsKeepTheValuesOfTheRootControlsKindsOnly) {
    auto host = LoadSettingsHost();
    auto* settings = dynamic_cast<TFormSettings*>(host->FindComponent("Settings"));
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->RootControl(), host->FindComponent("Group1"));
    settings->SaveValues = true;
    settings->SaveSettings();
    TRegIniFile ini("Software\\Treskel!\\SettingsTest");
    EXPECT_EQ(ini.ReadString("Values", "InsideEdit", "none"), "inside");
    EXPECT_EQ(ini.ReadString("Values", "OutsideEdit", "none"), "none");
    EXPECT_EQ(ini.ReadString("Values", "InsideRadio", "none"), "none");
    EXPECT_EQ(ini.ReadString("Values", "FontDialog1_Name", "none"), "none");
    EXPECT_EQ(ini.ReadString("Position", "Left", "none"), "none");

    ini.WriteString("Values", "InsideEdit", "stored");
    ini.WriteString("Values", "OutsideEdit", "stored");
    auto again = LoadSettingsHost();
    EXPECT_EQ(dynamic_cast<TEdit*>(again->FindComponent("InsideEdit"))->GetText(), "stored");
    EXPECT_EQ(dynamic_cast<TEdit*>(again->FindComponent("OutsideEdit"))->GetText(), "outside");
    // The root control going away leaves the settings with the form's controls.
    again->FindComponent("Group1")->Free();
    auto* s2 = dynamic_cast<TFormSettings*>(again->FindComponent("Settings"));
    EXPECT_EQ(s2->RootControl(), nullptr);
    s2->LoadSettings();
    EXPECT_EQ(dynamic_cast<TEdit*>(again->FindComponent("OutsideEdit"))->GetText(), "stored");
}

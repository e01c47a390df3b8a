#include <gtest/gtest.h>

#include <cstdlib>

#include "../richedit/EditorFixture.h"
#include "platform/Registry.h"
#include "preview/Gopage.h"
#include "preview/PageSetupDlg.h"
#include "preview/PrevForm.h"
#include "preview/PgSetup.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

namespace {

std::string LongNote(int paragraphs) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= paragraphs; ++i) rtf += "Paragraph " + std::to_string(i) + " of a note to preview.\\par ";
    return rtf + "}";
}

// What the screen shows inside a window's client area.
std::vector<COLORREF> ScreenPixels(HWND wnd) {
    RECT r;
    GetClientRect(wnd, &r);
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = r.right;
    bi.bmiHeader.biHeight = -r.bottom;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> px;
    auto* p = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < r.right * r.bottom; ++i) px.push_back(RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return px;
}

int CountPixels(HWND wnd, COLORREF (*)(COLORREF), bool (*match)(COLORREF)) {
    int n = 0;
    for (COLORREF c : ScreenPixels(wnd)) n += match(c) ? 1 : 0;
    return n;
}
COLORREF Same(COLORREF c) {
    return c;
}
bool Dark(COLORREF c) {
    return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100;
}
bool GridGrey(COLORREF c) {
    return c == RGB(0xC0, 0xC0, 0xC0);
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
        EXPECT_GT(CountPixels(preview->PagePanel->Handle(), Same, Dark), 200) << "page " << page + 1;
    }
    EXPECT_EQ(preview->CurPageLabel->Caption(), "Page " + std::to_string(pages) + " of " + std::to_string(pages));
    EXPECT_FALSE(preview->NextPageBut->Enabled());
    EXPECT_FALSE(preview->LastPageSpeed->Enabled());
    EXPECT_TRUE(preview->PrevPageSpeed->Enabled());
    preview->FirstPageClick(nullptr);
    EXPECT_EQ(preview->CurrentPage(), 0);
    if (std::getenv("TRESKEL_PREVIEW_SHOT") != nullptr) {
        // The window stays up a while for a screenshot taken from outside.
        PumpUntil([] { return false; }, 8000);
    }
}

TEST_F(PreviewFormTest, TheGridDrawsWholeInchLinesAndZoomingByClickShows150Percent) {
    Paginate(10);
    EXPECT_EQ(printer->GetPageCount(), 1);
    // A one-page document: no navigation at all.
    EXPECT_FALSE(preview->NextPageBut->Enabled());
    EXPECT_FALSE(preview->PrevPageBut->Enabled());
    EXPECT_FALSE(preview->PageNumSpeed->Enabled());
    HWND page = preview->PagePanel->Handle();
    EXPECT_EQ(CountPixels(page, Same, GridGrey), 0);
    preview->GridBut->SetDown(true);
    preview->GridButClick(nullptr);
    UpdateWindow(page);
    PumpMessages();
    EXPECT_GT(CountPixels(page, Same, GridGrey), 500);

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
        form = MakeForm<TPageSetupForm>();
        form->SetOptions(printer->TextOptions(), printer.get());
        form->LoadFromOptions();
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

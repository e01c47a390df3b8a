// The main window's print button: the preview and Page Setup it opens, as
// the user meets them.
#include "EditorWindowTest.h"

#include <commctrl.h>

#include "../platform/TestPrinter.h"
#include "preview/PageSetupDlg.h"
#include "preview/PrevForm.h"
#include "support/Snapshot.h"

namespace treskel::test {

namespace {

class MainWindowPrinting : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        printer = std::make_unique<TestPrinter>(DataFile("printed.ps"));
        int index = Printer()->Printers()->IndexOf(TestPrinter::kName);
        ASSERT_GE(index, 0);
        Printer()->SetPrinterIndex(index);
        dialogs.Install();
    }
    void TearDown() override {
        EXPECT_FALSE(dialogs.Pending()) << "a dialog the test expected did not come";
        dialogs.Remove();
        printer.reset();
        EditorTest::TearDown();
    }
    std::unique_ptr<TestPrinter> printer;
    ModalDialogs dialogs;
};

std::string TooltipText(HWND tip) {
    char text[512] = {};
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = Application->Handle();
    ti.uId = 1;
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    return text;
}

constexpr const char* kPageHint =
    "Page View.  With Zoom Tool, left or right click to zoom in/out.  Click & drag with Hand Tool to pan.";

// The columns of a screen row band that hold text of this colour.
int InkRight(const Snapshot& shot, COLORREF ink) {
    int right = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.At(x, y) == ink) right = std::max(right, x);
    return right;
}
}  // namespace

// The page's hint, which names "Click & drag", shows its ampersand as it
// is, in the tooltip at the mouse and in the status row.
TEST_F(MainWindowPrinting, ThePreviewsHintsShowTheAmpersandAsItIs) {
    StartWithItem();
    TypeNote("A note to preview");
    dialogs.Queue([&](TCustomForm& form) {
        auto& preview = static_cast<TPreviewForm&>(form);
        TRect page = preview.PB1->ClientRect();
        TPoint at = preview.PB1->ClientToScreen({page.Right / 2, page.Bottom / 3});
        MouseClickOnScreen({at.x, at.y}, 0);
        HWND tip = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            tip = Application->HintWindow();
            return tip != nullptr && IsWindowVisible(tip);
        })) << "no tooltip on the page";
        const std::string text = preview.HintLabel->Caption();
        EXPECT_EQ(text, kPageHint);
        // The tooltip gives back no more than 80 characters of its text.
        EXPECT_EQ(TooltipText(tip), text.substr(0, 80));
        // The status row draws the text itself: "&" is no mark of a key.
        TLabel* label = preview.HintLabel;
        TPoint origin = label->Parent()->ClientToScreen({label->Left(), label->Top()});
        Snapshot shown = ScreenArea(Bounds(origin.x, origin.y, label->Width(), label->Height()));
        const COLORREF ink = ColorToRGB(label->Font()->Color());
        Snapshot expected = PaintedClient(label->Parent()->Handle(), [&](HDC dc) {
            TCanvas canvas;
            CanvasDCScope scope(&canvas, dc);
            canvas.Font()->Assign(label->Font());
            RECT all{0, 0, 4096, 4096}, r{0, 0, label->Width(), label->Height()};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(ink == RGB(255, 255, 255) ? BLACK_BRUSH : WHITE_BRUSH)));
            SetBkMode(dc, TRANSPARENT);
            DrawTextA(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_NOPREFIX);
        });
        EXPECT_EQ(InkRight(shown, ink), InkRight(expected, ink)) << "the status row does not draw the hint as it is";
        SaveWindowShot(GetDesktopWindow(), "preview-hint");
        preview.Close();
    });
    PressOfficeButton(W->PrintButton, W->Preview1);
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPreviewForm"});
}

// Margins that leave no room on the page are refused at OK with the
// preview's words, and Page Setup stays open for the user to mend them;
// the orientation chosen counts.
TEST_F(MainWindowPrinting, PageSetupRefusesMarginsThatLeaveNoRoomAtOK) {
    StartWithItem();
    TTextOptions* options = W->Preview->TextOptions();
    const double leftBefore = options->MarginLeft;
    dialogs.Queue([&](TCustomForm& form) {
        auto& setup = static_cast<TPageSetupForm&>(form);
        auto ok = [&] {
            MessageBoxes().clear();
            SendMessageA(setup.OKBut->Handle(), BM_CLICK, 0, 0);
            PumpMessages();
        };
        setup.LeftEdit->SetText("8");
        setup.RightEdit->SetText("7");
        ok();
        ASSERT_EQ(MessageBoxes().size(), 1u);
        EXPECT_EQ(MessageBoxes()[0].text, "The margins leave no room on the page.");
        EXPECT_EQ(setup.ModalResult(), mrNone);
        EXPECT_TRUE(setup.Visible());
        EXPECT_EQ(options->MarginLeft, leftBefore);
        // Nine inches of margins leave no room across a letter page held
        // upright, and two inches lying down.
        setup.LeftEdit->SetText("5");
        setup.RightEdit->SetText("4");
        ok();
        EXPECT_EQ(MessageBoxes().size(), 1u);
        EXPECT_EQ(setup.ModalResult(), mrNone);
        SendMessageA(setup.LandBut->Handle(), BM_CLICK, 0, 0);
        ok();
        EXPECT_TRUE(MessageBoxes().empty());
        EXPECT_EQ(setup.ModalResult(), mrOk);
    });
    PressOfficeButton(W->PrintButton, W->PageSetup1);
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPageSetupForm"});
    EXPECT_EQ(options->MarginLeft, 5.0);
    EXPECT_EQ(options->MarginRight, 4.0);
    EXPECT_EQ(W->Preview->Orientation(), TPrinterOrientation::poLandscape);
}

}  // namespace treskel::test

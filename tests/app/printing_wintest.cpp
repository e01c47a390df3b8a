// The main window's print button: its commands, printing what was typed
// to a printer, and the preview and Page Setup it opens, as the user
// meets them.
#include "EditorWindowTest.h"

#include "../platform/TestPrinter.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "platform/Printers.h"
#include "preview/PageSetupDlg.h"
#include "preview/PrevForm.h"
#include "support/Snapshot.h"

namespace treskel::test {

// ---------------------------------------------------------------- printing

using EditorPrint = EditorTest;

TEST_F(EditorPrint, ThePrintButtonDropsThePrintCommandsForTheSelectedItem) {
    StartWithItem();
    EXPECT_EQ(W->PrintButton->DropDownMenu(), W->PrinterPopup);
    W->PrinterPopupPopup(W->PrinterPopup);
    EXPECT_EQ(W->Preview->Title(), "Treskel!");
    EXPECT_EQ(W->Preview->TextOptions()->Header, "First");
    EXPECT_FALSE(W->Preview->TextOptions()->Footer.empty());
    EXPECT_TRUE(W->PageSetup1->Enabled());
    EXPECT_TRUE(W->Preview1->Enabled());
    EXPECT_TRUE(W->PrintItem->Enabled());

    TypeNote("printed words");
    W->Preview->RenderRichEdit(W->REdit);
    ASSERT_EQ(W->Preview->GetPageCount(), 1);
    // Without a printer, print says so and nothing else happens.
    MessageBoxes().clear();
    W->PrintItemClick(W->PrintItem);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "No printer is installed.");

    W->TreeView->SetSelected(nullptr);
    W->PrinterPopupPopup(W->PrinterPopup);
    EXPECT_FALSE(W->Preview1->Enabled());
    EXPECT_FALSE(W->PrintItem->Enabled());
}

TEST_F(EditorPrint, PageSetupFromThePrintButtonOpensCentredOnTheMainWindow) {
    TRegistry().DeleteKey("\\Software\\" + EnsureApplication()->Title() + "\\PageSetupForm");
    StartWithItem();
    TCustomForm* previous = Application->MainForm();
    Application->SetMainForm(W);
    W->SetBounds(120, 60, 900, 700);
    ModalDialogs dialogs;
    dialogs.Install();
    TRect placed;
    std::string shown;
    dialogs.Queue([&](TCustomForm& f) {
        shown = f.ClassName();
        placed = f.BoundsRect();
        if (auto* setup = dynamic_cast<TPageSetupForm*>(&f)) SendMessageA(setup->CancelBut->Handle(), BM_CLICK, 0, 0);
    });
    PressOfficeButton(W->PrintButton, W->PageSetup1);
    dialogs.Remove();
    Application->SetMainForm(previous);
    ASSERT_EQ(shown, "TPageSetupForm");
    EXPECT_EQ(placed.Left, 120 + (900 - placed.Width()) / 2);
    EXPECT_EQ(placed.Top, 60 + (700 - placed.Height()) / 2);
}

// ---------------------------------------------------------------- printing to a printer

namespace {
std::string FileText(const std::string& file) {
    auto bytes = ReadAll(file);
    return std::string(bytes.begin(), bytes.end());
}

// A family the system lists whose outlines are not TrueType ones
// (PostScript outlines in an OpenType font), the kind Wine's PostScript
// driver cannot download; "Nimbus Roman" when there is one.
std::string FontWithOtherOutlines() {
    WindowDC screen(nullptr);
    std::string found;
    for (const std::string& face : EnsureScreen()->Fonts()->ToVector()) {
        TFont font;
        font.SetName(face);
        SelectGuard select(screen.Get(), font.Handle());
        char actual[LF_FACESIZE] = {};
        GetTextFaceA(screen.Get(), sizeof actual, actual);
        bool other = face == actual && GetFontData(screen.Get(), 0x66796c67, 0, nullptr, 0) == GDI_ERROR &&
                     GetOutlineTextMetricsA(screen.Get(), 0, nullptr) > 0;
        if (other && (found.empty() || face == "Nimbus Roman")) found = face;
    }
    return found;
}
}  // namespace

class EditorPrinting : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        out = DataFile("printed.ps");
        printer = std::make_unique<TestPrinter>(out);
        int index = Printer()->Printers()->IndexOf(TestPrinter::kName);
        ASSERT_GE(index, 0);
        Printer()->SetPrinterIndex(index);
    }
    void TearDown() override {
        printer.reset();
        EditorTest::TearDown();
    }
    // The note stored for an item, as RTF.
    std::string Stored(TTreeNode* n) {
        TMemoryStream rtf;
        if (!W->Notes.Load(Record(n)->Id, rtf, *W->lh5)) return "";
        return rtf.AsString();
    }
    std::string out;
    std::unique_ptr<TestPrinter> printer;
};

// Whatever the printer does, what was typed is on disk before it starts.
TEST_F(EditorPrinting, PrintAndPreviewSaveWhatWasTypedFirst) {
    StartWithItem();
    TypeNote("typed before printing");
    ASSERT_TRUE(W->NoteModified);
    std::string storedWhilePrinting;
    AnswerNextDialog([&](TCommonDialog&) {
        storedWhilePrinting = Stored(item);
        return true;
    });
    PressOfficeButton(W->PrintButton, W->PrintItem);
    ASSERT_EQ(CommonDialogs(), std::vector<std::string>{"TPrintDialog"});
    EXPECT_NE(storedWhilePrinting.find("typed before printing"), std::string::npos);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_NE(FileText(out).find("%%Pages: 1"), std::string::npos);

    TypeNote(", and before previewing");
    ASSERT_TRUE(W->NoteModified);
    std::string storedWhilePreviewing;
    ModalDialogs dialogs;
    dialogs.Install();
    dialogs.Queue([&](TCustomForm& preview) {
        storedWhilePreviewing = Stored(item);
        preview.Close();
    });
    PressOfficeButton(W->PrintButton, W->Preview1);
    dialogs.Remove();
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPreviewForm"});
    EXPECT_NE(storedWhilePreviewing.find("and before previewing"), std::string::npos);
}

// Wine's PostScript driver ends the process while it downloads such a
// font; the page reaches it as outlines instead and the program goes on.
TEST_F(EditorPrinting, ANoteInAFontWithoutTrueTypeOutlinesPrints) {
    const std::string face = FontWithOtherOutlines();
    if (face.empty()) GTEST_SKIP() << "no font with PostScript outlines here";
    StartWithItem();
    TypeNote("Printed in another kind of font");
    Select(0, 31);
    Choose(W->QclFontComboBox1, face);
    ASSERT_EQ(W->REdit->SelAttributes()->Name(), face);
    AnswerNextDialog([](TCommonDialog&) { return true; });
    PressOfficeButton(W->PrintButton, W->PrintItem);
    std::string ps = FileText(out);
    EXPECT_NE(ps.find("%%Pages: 1"), std::string::npos);
    EXPECT_NE(ps.find("%%EOF"), std::string::npos);
    // The words are outlines on the page, filled.
    EXPECT_GT(ps.find("curveto") != std::string::npos ? 1 : 0, 0) << face;
    EXPECT_FALSE(W->NoteModified);
}

// ---------------------------------------------------------------- print dialogs

namespace {

class MainWindowPrinting : public EditorPrinting {
protected:
    void SetUp() override {
        EditorPrinting::SetUp();
        dialogs.Install();
    }
    void TearDown() override {
        EXPECT_FALSE(dialogs.Pending()) << "a dialog the test expected did not come";
        dialogs.Remove();
        EditorPrinting::TearDown();
    }
    ModalDialogs dialogs;
};

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
// Where an access key's underline lies, and where its letter: the columns
// that a caption drawn with its "&" has more than drawn plain, and those
// that the text up to the letter gains with it.
struct KeyMark {
    int underlineLeft = -1, underlineRight = -1, letterLeft = -1, letterRight = -1;
};

// A caption drawn black on white at the top left, as DrawText draws it.
Snapshot Drawn(TFont* font, const std::string& text, UINT flags) {
    return PaintedClient(GetDesktopWindow(), [&](HDC dc) {
        RECT all{0, 0, 600, 60};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TCanvas canvas;
        CanvasDCScope scope(&canvas, dc);
        canvas.Font()->Assign(font);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        DrawTextA(dc, text.c_str(), -1, &all, DT_SINGLELINE | flags);
    });
}

std::vector<bool> InkColumns(TFont* font, const std::string& text) {
    Snapshot shot = Drawn(font, text, DT_NOPREFIX);
    std::vector<bool> ink(600, false);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 600; ++x)
            if (shot.At(x, y) != RGB(255, 255, 255)) ink[static_cast<size_t>(x)] = true;
    return ink;
}

std::vector<int> ChangedColumns(const std::vector<bool>& a, const std::vector<bool>& b) {
    std::vector<int> changed;
    for (size_t x = 0; x < a.size(); ++x)
        if (a[x] != b[x]) changed.push_back(static_cast<int>(x));
    return changed;
}

KeyMark MarkOf(TFont* font, const std::string& caption) {
    const size_t amp = caption.find('&');
    std::string plain = caption;
    plain.erase(amp, 1);
    KeyMark m;
    // The underline: what the "&" adds, pixel by pixel (it crosses columns
    // that the letters leave empty too).
    Snapshot marked = Drawn(font, caption, 0), bare = Drawn(font, plain, DT_NOPREFIX);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 600; ++x)
            if (marked.At(x, y) != bare.At(x, y)) {
                if (m.underlineLeft < 0 || x < m.underlineLeft) m.underlineLeft = x;
                m.underlineRight = std::max(m.underlineRight, x);
            }
    const std::vector<int> letter =
        ChangedColumns(InkColumns(font, plain.substr(0, amp)), InkColumns(font, plain.substr(0, amp + 1)));
    if (!letter.empty()) {
        m.letterLeft = letter.front();
        m.letterRight = letter.back();
    }
    return m;
}
}  // namespace

// Every access key of Page Setup shows its underline under its own letter
// (under Wine's Tahoma it stood half a letter to the right: the system
// measured the text wider than it drew it).
TEST_F(MainWindowPrinting, PageSetupUnderlinesEachAccessKeysOwnLetter) {
    StartWithItem();
    int checked = 0;
    dialogs.Queue([&](TCustomForm& form) {
        HoldOnScreen(200);
        SaveWindowShot(form.Handle(), "page-setup-keys");
        for (int i = 0; i < form.ComponentCount(); ++i) {
            auto* control = dynamic_cast<TControl*>(form.Components(i));
            if (control == nullptr || !control->Visible() || dynamic_cast<TCustomEdit*>(control) != nullptr) continue;
            const std::string caption = control->Caption();
            const size_t amp = caption.find('&');
            if (amp == std::string::npos || amp + 1 >= caption.size() || caption[amp + 1] == '&') continue;
            const KeyMark m = MarkOf(control->Font(), caption);
            SCOPED_TRACE(caption);
            if (m.underlineLeft < 0 || m.letterLeft < 0) {
                ADD_FAILURE() << "no underline or no letter";
                continue;
            }
            // Under the letter, and about as wide as it.
            EXPECT_LE(std::abs(m.underlineLeft - m.letterLeft), 1) << m.underlineLeft << " for " << m.letterLeft;
            EXPECT_LE(std::abs(m.underlineRight - m.letterRight), 2) << m.underlineRight << " for " << m.letterRight;
            ++checked;
        }
        form.Close();
    });
    PressOfficeButton(W->PrintButton, W->PageSetup1);
    ASSERT_EQ(dialogs.Shown(), std::vector<std::string>{"TPageSetupForm"});
    EXPECT_EQ(checked, 14);  // the font buttons show a font's name, no key
}

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
        EXPECT_EQ(TooltipText(), text.substr(0, 80));
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

#include <gtest/gtest.h>

#include "../platform/DialogDriver.h"
#include "../platform/TestPrinter.h"
#include "../richedit/EditorFixture.h"
#include "PageText.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"
#include "preview/PrevPrinter.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

namespace {

// A note of `paragraphs` numbered paragraphs between the words Zebra and Walrus.
std::string LongNote(int paragraphs) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Zebra opens the note.\\par ";
    for (int i = 1; i <= paragraphs; ++i)
        rtf += "Paragraph " + std::to_string(i) + " of the long note, with {\\b bold} words.\\par ";
    return rtf + "Walrus closes it.}";
}

std::string GlyphWords(const std::string& ps) {
    // The PostScript shows each glyph by name ("/W glyphshow", "/two
    // glyphshow") and moves over spaces: the letters and digits in order.
    static const std::vector<std::string> digits{"zero", "one", "two", "three", "four",
                                                 "five", "six", "seven", "eight", "nine"};
    std::string letters;
    for (size_t at = ps.find(" glyphshow"); at != std::string::npos; at = ps.find(" glyphshow", at + 1)) {
        size_t slash = ps.rfind('/', at);
        std::string name = ps.substr(slash + 1, at - slash - 1);
        auto digit = std::find(digits.begin(), digits.end(), name);
        if (digit != digits.end()) letters += static_cast<char>('0' + (digit - digits.begin()));
        else if (name.size() == 1) letters += name;
    }
    return letters;
}

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class PreviewPrinterTest : public EditorTest {
protected:
    // Installs the file printer and chooses it; its jobs go to the file named.
    std::string UseFilePrinter(const std::string& name) {
        std::string out = dir.File(name);
        installed = std::make_unique<TestPrinter>(out);
        Printer()->SetPrinterIndex(Printer()->Printers()->IndexOf(TestPrinter::kName));
        return out;
    }
    static std::string ReadText(const std::string& file) {
        auto bytes = ReadAll(file);
        return std::string(bytes.begin(), bytes.end());
    }
    OwnedPtr<TPreviewPrinter> printer = MakeOwned<TPreviewPrinter>();
    TempDir dir;
    std::unique_ptr<TestPrinter> installed;
};

}  // namespace

TEST_F(PreviewPrinterTest, WithoutAPrinterALongNoteShowsItsRealTextOnEveryPage) {
    ASSERT_EQ(Printer()->Printers()->Count(), 0);
    Load(editor, LongNote(120));
    printer->TextOptions()->Header = "Head";
    printer->RenderRichEdit(editor);
    // The screen's letter page.
    EXPECT_EQ(printer->DeviceInfo().PhysicalWidth, 816);
    EXPECT_EQ(printer->DeviceInfo().PhysicalHeight, 1056);
    int pages = printer->GetPageCount();
    ASSERT_GE(pages, 3);
    std::string all;
    for (int i = 0; i < pages; ++i) {
        std::string text = PageText(printer->GetPage(i)->Handle());
        EXPECT_NE(text.find("Paragraph"), std::string::npos) << "page " << i + 1 << ":\n" << text;
        EXPECT_NE(text.find("Page " + std::to_string(i + 1)), std::string::npos);
        EXPECT_NE(text.find("Head"), std::string::npos);
        all += text;
    }
    EXPECT_NE(PageText(printer->GetPage(0)->Handle()).find("Zebra"), std::string::npos);
    EXPECT_NE(PageText(printer->GetPage(pages - 1)->Handle()).find("Walrus"), std::string::npos);
    // Every paragraph once: pages break between lines.
    for (int p : {1, 40, 119, 120}) EXPECT_EQ(CountOf(all, "Paragraph " + std::to_string(p) + " "), 1) << p;
}

TEST_F(PreviewPrinterTest, TheMendedTextRecordsAdvanceAsTheFontDoesAndRunsMeetWithoutAGap) {
    Load(editor, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 Paragraph 1 of a note to preview.\\par}");
    printer->RenderRichEdit(editor);
    std::vector<TextRun> runs = TextRuns(printer->GetPage(0)->Handle());
    HDC dc = CreateCompatibleDC(nullptr);
    int glyphRuns = 0, ends = -1;
    for (const TextRun& run : runs) {
        if (!(run.options & ETO_GLYPH_INDEX) || run.glyphs.empty()) continue;
        ++glyphRuns;
        ASSERT_EQ(run.dx.size(), run.glyphs.size()) << "one advance per glyph, no ETO_PDY";
        HFONT f = CreateFontIndirectW(&run.font);
        HGDIOBJ old = SelectObject(dc, f);
        std::vector<INT> extents(run.glyphs.size());
        SIZE size;
        INT fit = 0;
        GetTextExtentExPointI(dc, const_cast<WORD*>(run.glyphs.data()), static_cast<int>(run.glyphs.size()), INT_MAX,
                              &fit, extents.data(), &size);
        SelectObject(dc, old);
        DeleteObject(f);
        for (size_t i = 0; i < run.glyphs.size(); ++i)
            EXPECT_EQ(run.dx[i], extents[i] - (i > 0 ? extents[i - 1] : 0)) << "glyph " << i;
        // The next run of the line, the final full stop among them, starts
        // where this one ends.
        if (ends >= 0 && run.at.x > 0) {
            EXPECT_EQ(run.at.x, ends);
        }
        ends = run.at.x + extents.back();
    }
    DeleteDC(dc);
    EXPECT_GE(glyphRuns, 3);
}

TEST_F(PreviewPrinterTest, AnEmptyNoteIsOnePageWithHeaderFooterAndNumber) {
    printer->TextOptions()->Header = "Top";
    printer->TextOptions()->Footer = "Bottom";
    printer->TextOptions()->PageNumText = "%d%% %s %n";
    printer->RenderRichEdit(editor);
    ASSERT_EQ(printer->GetPageCount(), 1);
    std::string text = PageText(printer->GetPage(0)->Handle());
    EXPECT_NE(text.find("Top"), std::string::npos);
    EXPECT_NE(text.find("Bottom"), std::string::npos);
    EXPECT_NE(text.find("1% %s %n"), std::string::npos) << text;
    // Paginating again discards the first pages.
    printer->RenderRichEdit(editor);
    EXPECT_EQ(printer->GetPageCount(), 1);
}

TEST_F(PreviewPrinterTest, MarginsInCentimetresAreLengthsAndMarginsWithoutRoomAreRefused) {
    Load(editor, LongNote(5));
    printer->SetUnits(TUnits::unCentimeters);
    printer->TextOptions()->MarginLeft = 10;  // 3.9 in: fine in cm, no room as inches
    printer->TextOptions()->MarginRight = 10;
    printer->RenderRichEdit(editor);
    EXPECT_EQ(printer->Units(), TUnits::unCentimeters);
    EXPECT_GE(printer->GetPageCount(), 1);
    printer->SetUnits(TUnits::unInches);
    EXPECT_THROW(printer->RenderRichEdit(editor), EPrinter);
    EXPECT_EQ(printer->GetPageCount(), 0);
}

TEST_F(PreviewPrinterTest, TextOptionsAssignCopiesEveryField) {
    TTextOptions other;
    other.MarginLeft = 2.5;
    other.Header = "H";
    other.PageNumText = "p%d";
    other.PrintPageNumber = TPrintPageNumber::pnTop;
    other.HeaderFont()->SetName("Courier New");
    printer->SetTextOptions(&other);
    TTextOptions* o = printer->TextOptions();
    EXPECT_EQ(o->MarginLeft, 2.5);
    EXPECT_EQ(o->Header, "H");
    EXPECT_EQ(o->PageNumText, "p%d");
    EXPECT_EQ(o->PrintPageNumber, TPrintPageNumber::pnTop);
    EXPECT_EQ(o->HeaderFont()->Name(), "Courier New");
    EXPECT_NE(o->HeaderFont(), other.HeaderFont());
}

TEST_F(PreviewPrinterTest, PrintingWithoutAPrinterSaysSo) {
    printer->RenderRichEdit(editor);
    MessageBoxes().clear();
    EXPECT_FALSE(printer->PrintWithDialog());
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "No printer is installed.");
}

TEST_F(PreviewPrinterTest, ATwoPageNoteBecomesTwoPostScriptPagesWithItsWords) {
    std::string out = UseFilePrinter("note.ps");
    Load(editor, LongNote(60));
    printer->SetTitle("Treskel!");
    printer->RenderRichEdit(editor);
    ASSERT_EQ(printer->GetPageCount(), 2);
    EXPECT_EQ(printer->DeviceInfo().LogPixelsY, 300);
    EXPECT_TRUE(printer->Print());
    std::string ps = ReadText(out);
    EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
    EXPECT_EQ(CountOf(ps, "%%Page: "), 2);
    std::string words = GlyphWords(ps);
    for (const char* w : {"Zebraopensthenote", "Paragraph59of", "bold", "Walrusclosesit", "Page1", "Page2"})
        EXPECT_NE(words.find(w), std::string::npos) << w << "\n" << words.substr(0, 400);
}

TEST_F(PreviewPrinterTest, TwoCopiesOfPagesTwoToThreeAreTwoJobsOfThosePages) {
    std::string out = UseFilePrinter("copies.ps");
    Load(editor, LongNote(110));
    printer->RenderRichEdit(editor);
    ASSERT_GE(printer->GetPageCount(), 3);
    std::vector<std::pair<int, int>> status;
    printer->OnStatus = [&](TObject*, const std::string&, int page, int type) { status.emplace_back(page, type); };
    ScopedDialogResponder answer([](TCommonDialog& d) {
        auto& p = dynamic_cast<TPrintDialog&>(d);
        p.SetPrintRange(TPrintRange::prPageNums);
        p.SetFromPage(2);
        p.SetToPage(3);
        p.SetCopies(2);
        return true;
    });
    ASSERT_TRUE(printer->PrintWithDialog());
    std::vector<std::pair<int, int>> expected{{2, 1}, {3, 1}, {-1, 3}, {2, 1}, {3, 1}, {-1, 3}};
    EXPECT_EQ(status, expected);
    EXPECT_EQ(Printer()->Copies(), 1);
    std::string ps = ReadText(out);
    EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
    std::string words = GlyphWords(ps);
    EXPECT_EQ(words.find("Zebra"), std::string::npos);
    EXPECT_NE(words.find("Page2"), std::string::npos);
    EXPECT_NE(words.find("Page3"), std::string::npos);
}

TEST_F(PreviewPrinterTest, ASpoolerFailureIsReportedAndTheJobTakenBack) {
    // The job's file cannot be made: the spooler refuses the job.
    installed = std::make_unique<TestPrinter>(dir.File("no such folder\\job.ps"));
    Printer()->SetPrinterIndex(Printer()->Printers()->IndexOf(TestPrinter::kName));
    printer->RenderRichEdit(editor);
    bool completed = false;
    printer->OnStatus = [&](TObject*, const std::string&, int, int type) { completed |= type == 3; };
    EXPECT_THROW(printer->Print(), EPrinter);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_FALSE(completed);
}

#include <gtest/gtest.h>

#include <cstdio>

#include "support/DialogDriver.h"
#include "../platform/TestPrinter.h"
#include "../richedit/EditorFixture.h"
#include "PageText.h"
#include "platform/Dialogs.h"
#include "platform/FormLoader.h"
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
    // Pages are recorded as they are first asked for, as they were laid out.
    printer->TextOptions()->Header = "Later";
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

namespace {

// A small picture, as the editor stores one.
std::string PictureRtf() {
    RECT frame{0, 0, 2000, 1000};
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(220, 0, 0));
    RECT r{0, 0, 70, 35};
    FillRect(dc, &r, red);
    DeleteObject(red);
    HENHMETAFILE mf = CloseEnhMetaFile(dc);
    std::vector<uint8_t> bits(GetEnhMetaFileBits(mf, 0, nullptr));
    GetEnhMetaFileBits(mf, static_cast<UINT>(bits.size()), bits.data());
    DeleteEnhMetaFile(mf);
    std::string hex;
    char pair[3];
    for (uint8_t b : bits) {
        std::snprintf(pair, sizeof pair, "%02x", b);
        hex += pair;
    }
    return "{\\pict\\emfblip\\picw2000\\pich1000\\picwgoal1134\\pichgoal567 " + hex + "}";
}

// What notes hold: fonts, sizes, styles, colours, highlight, alignment,
// indents, spacing, tab stops, bullets, a numbered list, a table, a
// picture, empty paragraphs and long paragraphs.
std::string VariedNote() {
    std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}{\\f2\\fmodern Courier "
        "New;}{\\f3\\fnil\\fcharset2 Symbol;}}{\\colortbl;\\red200\\green0\\blue0;\\red255\\green255\\blue0;}";
    const std::string words = " some words that fill a line of the page and go on to the next one";
    for (int k = 0; k < 90; ++k) {
        const std::string n = std::to_string(k);
        switch (k % 10) {
        case 0: rtf += "\\pard\\qc\\sb240\\sa120\\f1\\fs36\\b Heading " + n + "\\b0\\par"; break;
        case 1:
            rtf += "\\pard\\f0\\fs20 Words " + n + " with {\\i italic}, {\\cf1 red}, {\\highlight2 marked} and {\\ul "
                   "underlined} text" + words + ".\\par";
            break;
        case 2:
            rtf += "\\pard{\\pntext\\f3\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf3\\pnindent0{\\pntxtb\\'B7}}\\fi-200\\li200 "
                   "Bullet " + n + words + "\\par{\\pntext\\f3\\'B7\\tab}Bullet after " + n + "\\par";
            break;
        case 3: rtf += "\\pard\\qr\\f2\\fs16 Right " + n + words + words + "\\par"; break;
        case 4: rtf += "\\pard\\li720\\ri720\\f0\\fs28 Indented " + n + words + "\\par"; break;
        case 5: rtf += "\\pard\\tx1440\\tx2880\\fs20 Tab\\tab stops\\tab " + n + "\\par"; break;
        case 6:
            rtf += "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1}\\fi-300\\li300 One " + n +
                   "\\par{\\pntext 2.\\tab}Two " + n + "\\par";
            break;
        case 7:
            rtf += "\\trowd\\cellx2500\\cellx5000\\intbl Cell " + n + " left" + words + "\\cell Cell " + n +
                   " right\\cell\\row\\pard";
            break;
        case 8: rtf += "\\pard\\fs24 Picture " + n + " " + (k == 48 ? PictureRtf() : std::string()) + "\\par\\par"; break;
        default:
            rtf += "\\pard\\fs22 Long " + n;
            for (int i = 0; i < 20; ++i) rtf += words;
            rtf += "\\par";
        }
    }
    return rtf + "\\pard The end.\\par}";
}

// Each page as text runs (their text, place across and font) and as the
// pixels it plays back as, mended as the program mends its pages.
struct RecordedPage {
    std::string text, runs, pixels;
};
std::vector<RecordedPage> Recorded(preview::TextPages& pages, HDC screen) {
    std::vector<RecordedPage> recorded;
    const RECT frame{0, 0, 21590, 27940};
    HDC dc = CreateCompatibleDC(nullptr);
    for (int p = 0; p < pages.Count(); ++p) {
        HDC emf = CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
        pages.Draw(p, emf, POINT{96, 96});
        HENHMETAFILE mf = CloseEnhMetaFile(emf);
        if (HENHMETAFILE mended = preview::MendGlyphAdvances(mf, screen)) {
            DeleteEnhMetaFile(mf);
            mf = mended;
        }
        RecordedPage page;
        for (const TextRun& run : TextRuns(mf)) {
            page.text += RunText(run, dc);
            page.runs += RunText(run, dc) + "@" + std::to_string(run.at.x) + "/" + std::to_string(run.font.lfHeight) +
                         "/" + std::to_string(run.font.lfWeight) + "\n";
        }
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, 816, -1056, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT all{0, 0, 816, 1056};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        PlayEnhMetaFile(dc, mf, &all);
        GdiFlush();
        page.pixels.assign(static_cast<const char*>(bits), 816 * 1056 * 4);
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteEnhMetaFile(mf);
        recorded.push_back(std::move(page));
    }
    DeleteDC(dc);
    return recorded;
}

}  // namespace

// A long note is laid out a part at a time, each part read after the
// settings in force where it begins: cut wherever it may be, the pages are
// those of the note laid out whole, to the pixel.
TEST_F(PreviewPrinterTest, ANoteLaidOutInPartsHasThePagesOfTheWholeNote) {
    Load(editor, VariedNote());
    const std::string rtf = Save(editor);  // what pagination lays out
    ASSERT_GT(preview::TRtfParts(rtf, 1).Count(), 50u);
    ASSERT_EQ(preview::TRtfParts(rtf, preview::kPartChars).Count(), 1u);
    HDC screen = GetDC(nullptr);
    preview::TextPages whole(rtf, screen, 624, 864), parts(rtf, screen, 624, 864, 1);
    ASSERT_GE(whole.Count(), 4);
    ASSERT_EQ(parts.Count(), whole.Count());
    const std::vector<RecordedPage> expected = Recorded(whole, screen), got = Recorded(parts, screen);
    std::string all;
    for (size_t p = 0; p < expected.size(); ++p) {
        EXPECT_EQ(got[p].runs, expected[p].runs) << "page " << p + 1;
        EXPECT_TRUE(got[p].pixels == expected[p].pixels) << "the pixels of page " << p + 1;
        all += expected[p].text;
    }
    // Every kind of content is there to compare.
    for (const char* w : {"Heading 80", "Bullet after 72", "Two 86", "Cell 87 right", "Tab", "The end."})
        EXPECT_NE(all.find(w), std::string::npos) << w;
    ReleaseDC(nullptr, screen);
}

// The windowless control of printing and the preview ends the process at
// 33 nested groups as the editor's does: it is given none deeper, and lays
// the deeper groups' text out in their place.
TEST_F(PreviewPrinterTest, RichTextNestedTooDeepIsLaidOutFlattenedKeepingItsText) {
    HDC screen = GetDC(nullptr);
    for (size_t nested : {31u, 40u, 1000000u}) {
        const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 before " + std::string(nested, '{') +
                                "deep" + std::string(nested, '}') + " after\\par}";
        preview::TextPages pages(rtf, screen, 624, 864);
        ASSERT_EQ(pages.Count(), 1) << nested;
        EXPECT_NE(Recorded(pages, screen)[0].text.find("before deep after"), std::string::npos) << nested;
    }
    ReleaseDC(nullptr, screen);
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

// ------------------------------------------------------------ range formatting

namespace {

// Formats ranges as a rich-edit control does where the control can: each
// pass takes up to `perPage` characters, counted as the control counts
// positions (one for each paragraph end), writes which ones at the top of
// the rectangle and answers the character after them.  Its plain length
// is what the system's window answers: every paragraph end as CR LF.
class RangeFormattingEditor : public TRichEditEx {
public:
    using TRichEditEx::TRichEditEx;
    int perPage = 100;
    int stallAt = -1;  // from here on nothing more fits
    std::vector<FORMATRANGE> passes;

    int ControlLength() {
        GETTEXTLENGTHEX g{GTL_DEFAULT, 1200};
        return static_cast<int>(SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
    }
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_GETTEXTLENGTH) {
            GETTEXTLENGTHEX g{GTL_USECRLF | GTL_NUMCHARS, 1200};
            m.Result = SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0);
            return;
        }
        if (m.Msg != EM_FORMATRANGE) {
            TRichEditEx::WndProc(m);
            return;
        }
        m.Result = 0;
        auto* fr = reinterpret_cast<FORMATRANGE*>(m.LParam);
        if (fr == nullptr) return;  // the cache cleared
        passes.push_back(*fr);
        int end = std::min<int>(ControlLength(), fr->chrg.cpMin + perPage);
        if (stallAt >= 0 && fr->chrg.cpMin >= stallAt) end = static_cast<int>(fr->chrg.cpMin);
        std::string words = "Range " + std::to_string(fr->chrg.cpMin) + " to " + std::to_string(end);
        int x = MulDiv(fr->rc.left, GetDeviceCaps(fr->hdc, LOGPIXELSX), 1440);
        int y = MulDiv(fr->rc.top, GetDeviceCaps(fr->hdc, LOGPIXELSY), 1440);
        if (end > fr->chrg.cpMin) TextOutA(fr->hdc, x, y, words.c_str(), static_cast<int>(words.size()));
        m.Result = end;
    }
};

class RangeFormattingTest : public PreviewPrinterTest {
protected:
    void SetUp() override {
        PreviewPrinterTest::SetUp();
        ranges = Create<RangeFormattingEditor>(form.get());
        ranges->SetParent(form.get());
        ranges->SetBounds(0, 0, 600, 360);
        ranges->HandleNeeded();
    }
    RangeFormattingEditor* ranges = nullptr;
};

// The topmost row of a played page that holds a dark pixel, -1 for none.
int FirstDarkRow(TMetafile* page, int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    PlayEnhMetaFile(dc, page->Handle(), &all);
    GdiFlush();
    int row = -1;
    auto* p = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < height && row < 0; ++y)
        for (int x = 0; x < width && row < 0; ++x) {
            const uint8_t* px = p + 4 * (static_cast<size_t>(y) * width + x);
            if (px[0] < 100 && px[1] < 100 && px[2] < 100) row = y;
        }
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return row;
}

}  // namespace

TEST_F(RangeFormattingTest, TheLastPageCarriesTextWhenParagraphsEndTheNote) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 ";
    for (int i = 1; i <= 40; ++i) rtf += "Line " + std::to_string(i) + "\\par ";
    Load(ranges, rtf + "}");
    int length = ranges->ControlLength();
    // The window's plain length counts every paragraph end twice.
    ASSERT_GT(static_cast<int>(SendMessageW(ranges->Handle(), WM_GETTEXTLENGTH, 0, 0)), length + 30);
    ranges->perPage = length / 3 + 1;
    printer->RenderRichEdit(ranges);
    EXPECT_FALSE(printer->UsedFallback());
    ASSERT_EQ(printer->GetPageCount(), 3);
    for (int i = 0; i < 3; ++i) {
        std::string text = PageText(printer->GetPage(i)->Handle());
        EXPECT_NE(text.find("Range "), std::string::npos) << "page " << i + 1 << ": " << text;
    }
    EXPECT_NE(PageText(printer->GetPage(2)->Handle()).find("to " + std::to_string(length)), std::string::npos);
}

TEST_F(RangeFormattingTest, APassThatFormatsNothingLeavesNoPageBehind) {
    Load(ranges, LongNote(10));
    // The control stops short of its length, as a picture taller than a
    // page makes it: the page it cannot fill is not kept.
    int length = ranges->ControlLength();
    ranges->perPage = length / 2;
    ranges->stallAt = length / 2;
    printer->RenderRichEdit(ranges);
    ASSERT_EQ(printer->GetPageCount(), 1);
    EXPECT_NE(PageText(printer->GetPage(0)->Handle()).find("Range 0 to"), std::string::npos);
    EXPECT_EQ(ranges->passes.size(), 2u);
}

TEST_F(RangeFormattingTest, TheEditorsPageRectIsTheRectangleFormattedInto) {
    Load(ranges, LongNote(3));
    // Pixels of the screen the pages are measured on: 96 per inch.
    ranges->SetPageRect(Rect(48, 192, 720, 960));
    printer->RenderRichEdit(ranges);
    ASSERT_FALSE(ranges->passes.empty());
    const FORMATRANGE& f = ranges->passes[0];
    EXPECT_EQ(f.rc.left, 720);
    EXPECT_EQ(f.rc.top, 2880);
    EXPECT_EQ(f.rc.right, 10800);
    EXPECT_EQ(f.rc.bottom, 14400);
    EXPECT_EQ(f.rcPage.top, 2880);
    EXPECT_EQ(f.chrg.cpMin, 0);
    // Without one, the margins decide.
    ranges->SetPageRect(TRect{});
    ranges->passes.clear();
    printer->RenderRichEdit(ranges);
    EXPECT_EQ(ranges->passes[0].rc.top, 1440);
    EXPECT_EQ(ranges->passes[0].rc.left, 1440);
}

TEST_F(PreviewPrinterTest, WhereTheControlFormatsNoRangeTheTextStillStartsAtThePageRect) {
    Load(editor, LongNote(3));
    printer->TextOptions()->Header = "";
    printer->RenderRichEdit(editor);
    ASSERT_TRUE(printer->UsedFallback());
    int margins = FirstDarkRow(printer->GetPage(0), 816, 1056);
    editor->SetPageRect(Rect(96, 288, 720, 960));
    printer->RenderRichEdit(editor);
    int pageRect = FirstDarkRow(printer->GetPage(0), 816, 1056);
    EXPECT_GE(margins, 96);
    EXPECT_LT(margins, 96 + 20);
    EXPECT_GE(pageRect, 288);
    EXPECT_LT(pageRect, 288 + 20);
}

// ------------------------------------------------------------ header, footer, page number

namespace {
// The run of `text` on the first page: where it starts and how wide it is.
struct Placed {
    int x = -1, y = -1, width = 0;
    bool found = false;
    LOGFONTW font{};
};
Placed PlacedOn(TPreviewPrinter* printer, const std::string& text) {
    std::vector<TextRun> runs = TextRuns(printer->GetPage(0)->Handle());
    const TextRun* run = FindRun(runs, text);
    if (run == nullptr) return {};
    return {run->at.x, run->at.y, RunWidth(*run), true, run->font};
}
}  // namespace

// Pages measured on the screen: 96 pixels an inch, a sheet of 816 x 1056.
TEST_F(PreviewPrinterTest, HeaderFooterAndPageNumberLandOnTheirLinesAsAligned) {
    TTextOptions* o = printer->TextOptions();
    o->Header = "Head";
    o->Footer = "Foot";
    o->HeaderAlign = TAlignment::taRightJustify;
    o->FooterAlign = TAlignment::taLeftJustify;
    o->MarginLeft = 1.5;
    o->MarginRight = 0.5;
    printer->RenderRichEdit(editor);
    Placed head = PlacedOn(printer.get(), "Head"), foot = PlacedOn(printer.get(), "Foot"),
           number = PlacedOn(printer.get(), "Page 1");
    ASSERT_TRUE(head.found && foot.found && number.found);
    // The header's top is HeaderMargin below the sheet's top edge and it
    // ends MarginRight from the right edge.
    EXPECT_EQ(head.y, 48);
    EXPECT_NEAR(head.x + head.width, 816 - 48, 1);
    // Each in its own font: 18 points bold, 10 points italic.
    EXPECT_EQ(std::wstring(head.font.lfFaceName), L"Times New Roman");
    EXPECT_EQ(head.font.lfWeight, FW_BOLD);
    EXPECT_EQ(head.font.lfHeight, -24);
    EXPECT_TRUE(number.font.lfItalic);
    EXPECT_EQ(number.font.lfHeight, -13);
    // The footer's top is FooterMargin above the bottom edge, at the left margin.
    EXPECT_EQ(foot.y, 1056 - 72);
    EXPECT_EQ(foot.x, 144);
    // The page number stands on the footer line, right-justified.
    EXPECT_EQ(number.y, 1056 - 72);
    EXPECT_NEAR(number.x + number.width, 816 - 48, 1);

    o->PrintPageNumber = TPrintPageNumber::pnTop;
    o->PageNumAlign = TAlignment::taCenter;
    o->HeaderAlign = TAlignment::taCenter;
    o->Header = "Centre";
    o->HeaderMargin = 0.25;
    o->FooterMargin = 1.0;
    printer->RenderRichEdit(editor);
    number = PlacedOn(printer.get(), "Page 1");
    head = PlacedOn(printer.get(), "Centre");
    foot = PlacedOn(printer.get(), "Foot");
    ASSERT_TRUE(head.found && foot.found && number.found);
    EXPECT_EQ(number.y, 24);
    EXPECT_NEAR(number.x, 408 - number.width / 2, 1);
    EXPECT_NEAR(head.x, 408 - head.width / 2, 1);
    EXPECT_EQ(foot.y, 1056 - 96);

    o->PrintPageNumber = TPrintPageNumber::pnNone;
    printer->RenderRichEdit(editor);
    EXPECT_FALSE(PlacedOn(printer.get(), "Page 1").found);
    EXPECT_TRUE(PlacedOn(printer.get(), "Centre").found);
}

TEST_F(PreviewPrinterTest, MarginsInCentimetresPlaceTheLinesByTheCentimetre) {
    printer->SetUnits(TUnits::unCentimeters);
    TTextOptions* o = printer->TextOptions();
    o->Header = "Head";
    o->HeaderAlign = TAlignment::taLeftJustify;
    o->MarginLeft = 5.08;  // two inches
    o->HeaderMargin = 2.54;
    o->FooterMargin = 1.27;
    printer->RenderRichEdit(editor);
    Placed head = PlacedOn(printer.get(), "Head"), number = PlacedOn(printer.get(), "Page 1");
    ASSERT_TRUE(head.found && number.found);
    EXPECT_EQ(head.x, 192);
    EXPECT_EQ(head.y, 96);
    EXPECT_EQ(number.y, 1056 - 48);
}

// ------------------------------------------------------------ published properties

namespace {

class TPrinterHostForm : public TForm {
    TRESKEL_CLASS(TPrinterHostForm)
public:
    using TForm::TForm;
    TPreviewPrinter* Preview = nullptr;
    std::vector<std::pair<int, int>> statuses;
    int ownerCalls = 0;
    void PreviewStatus(TObject*, const std::string&, int page, int type) { statuses.emplace_back(page, type); }
    void PreviewNewPage(TObject*, int) { ++ownerCalls; }
    void PreviewOwnerDraw(TObject*, int, int, TRect, TCanvas*) { ++ownerCalls; }
    void PreviewOwnerHeight(TObject*, int, int&, bool&) { ++ownerCalls; }
};

const char* const kHostLayout = R"(object PrinterHost: TPrinterHostForm
  object Preview: TPreviewPrinter
    Title = 'Layout job'
    TextOptions.DrawStyle = dsOwnerDrawVariable
    TextOptions.MarginLeft = 1.5
    TextOptions.MarginTop = 2
    TextOptions.BodyFont.Name = 'Courier New'
    TextOptions.BodyFont.Height = -20
    TextOptions.HeaderFont.Height = -20
    TextOptions.Header = 'Layout head'
    TextOptions.HeaderAlign = taLeftJustify
    TextOptions.HeaderMargin = 0.25
    TextOptions.PrintPageNumber = pnTop
    TextOptions.PageNumAlign = taLeftJustify
    TextOptions.PageNumText = 'p. %d'
    ZoomOption = zoTwoPages
    OnStatus = PreviewStatus
    OnNewPage = PreviewNewPage
    OnOwnerDraw = PreviewOwnerDraw
    OnOwnerHeight = PreviewOwnerHeight
  end
end
)";

OwnedPtr<TPrinterHostForm> LoadHost() {
    static bool registered = false;
    if (!registered) {
        registered = true;
        PublishClass<TPrinterHostForm, TForm>()
            .Handler("PreviewStatus", &TPrinterHostForm::PreviewStatus)
            .Handler("PreviewNewPage", &TPrinterHostForm::PreviewNewPage)
            .Handler("PreviewOwnerDraw", &TPrinterHostForm::PreviewOwnerDraw)
            .Handler("PreviewOwnerHeight", &TPrinterHostForm::PreviewOwnerHeight)
            .Field("Preview", &TPrinterHostForm::Preview);
    }
    OwnedPtr<TPrinterHostForm> host(new TPrinterHostForm(nullptr));
    host->InitializeForm(kHostLayout, "host.form");
    return host;
}

}  // namespace

TEST_F(PreviewPrinterTest, ALayoutSetsTheTextOptionsAndEventsThatPaginationUses) {
    auto host = LoadHost();
    TPreviewPrinter* p = host->Preview;
    TTextOptions* o = p->TextOptions();
    EXPECT_EQ(p->ZoomOption, TZoomOption::zoTwoPages);
    EXPECT_EQ(o->DrawStyle, TDrawStyle::dsOwnerDrawVariable);
    EXPECT_EQ(o->BodyFont()->Name(), "Courier New");
    EXPECT_EQ(o->PageNumText, "p. %d");

    Load(editor, LongNote(70));
    p->RenderRichEdit(editor);
    int pages = p->GetPageCount();
    ASSERT_EQ(pages, 2);
    // The status of each page as it is started, then the end.
    EXPECT_EQ(host->statuses, (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {-1, 2}}));
    // Header and page number on the header line, both at the left margin.
    Placed head = PlacedOn(p, "Layout head"), number = PlacedOn(p, "p. 1");
    ASSERT_TRUE(head.found && number.found);
    EXPECT_EQ(head.x, 144);
    EXPECT_EQ(head.y, 24);
    EXPECT_EQ(number.x, 144);
    EXPECT_EQ(number.y, 24);
    // A rich edit is laid out in its own fonts: the owner-drawn style, the
    // body font and the owner-drawing events are kept for other pages.
    EXPECT_EQ(host->ownerCalls, 0);
    for (const TextRun& run : TextRuns(p->GetPage(0)->Handle()))
        EXPECT_NE(std::wstring(run.font.lfFaceName), L"Courier New");

    // Every text option is written, its defaults too.
    std::string written = WriteLayout(host.get());
    for (const char* line : {"TextOptions.DrawStyle = dsOwnerDrawVariable", "TextOptions.Footer = ''",
                             "TextOptions.MarginRight = 1", "TextOptions.FooterAlign = taCenter",
                             "TextOptions.BodyFont.Name = 'Courier New'", "ZoomOption = zoTwoPages",
                             "OnStatus = PreviewStatus", "OnOwnerDraw = PreviewOwnerDraw"})
        EXPECT_NE(written.find(line), std::string::npos) << line << "\n" << written;
}

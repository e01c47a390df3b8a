// Letters of every language a note holds: typed, pasted and copied in the
// main window's editor, saved by leaving the item and read again after a
// restart.
#include "EditorWindowTest.h"
#include "platform/Clipbrd.h"
#include "platform/Handles.h"
#include "support/Paragraphs.h"
#include "support/Snapshot.h"

namespace treskel::test {

namespace {

// The characters from U+0100 to U+21FF that the font draws itself: Latin
// letters of Central European, Baltic and Turkish languages among them,
// most of which a code page of one language lacks.
std::wstring LettersTheFontShows(TFont* font) {
    std::wstring all;
    for (wchar_t c = 0x0100; c < 0x2200; ++c) all += c;
    std::vector<WORD> glyphs(all.size());
    WindowDC dc(nullptr);
    SelectGuard selected(dc.Get(), font->Handle());
    GetGlyphIndicesW(dc.Get(), all.c_str(), static_cast<int>(all.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    std::wstring shown;
    for (size_t i = 0; i < all.size(); ++i)
        if (glyphs[i] != 0xFFFF) shown += all[i];
    return shown;
}

// The letters cut into lines of 64, as paragraphs (each line but the last
// ending in CR).
std::vector<std::wstring> Lines(std::wstring_view letters) {
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < letters.size(); i += 64) lines.emplace_back(letters.substr(i, 64));
    return lines;
}

std::wstring Joined(const std::vector<std::wstring>& lines, std::wstring_view breakText) {
    std::wstring text;
    for (const std::wstring& line : lines) text += (text.empty() ? L"" : std::wstring(breakText)) + line;
    return text;
}

}  // namespace

class EditorLetters : public EditorTest {
protected:
    std::wstring NoteTextW() { return RichEditText(Edit()); }
    // Gives the editor the focus as a click does.
    void EnterEditor() {
        W->REdit->SetFocus();
        PumpMessages();
        ASSERT_EQ(GetFocus(), Edit());
    }
};

TEST_F(EditorLetters, EveryLetterTypedPastedOrCopiedComesBackAfterARestart) {
    StartWithItem();
    const std::wstring letters = LettersTheFontShows(W->REdit->Font());
    // Among them č, Ā, ı, ł and ő, which the code page of Western
    // languages lacks but has look-alikes for.
    for (wchar_t c : std::wstring(L"\x010D\x0100\x0131\x0142\x0151"))
        ASSERT_NE(letters.find(c), std::wstring::npos) << static_cast<int>(c);
    const std::vector<std::wstring> lines = Lines(letters);
    const std::wstring expected = Joined(lines, L"\r");

    // Typed on the keyboard, a quarter of the lines in each of four notes.
    std::vector<std::wstring> typed;
    const size_t perNote = (lines.size() + 3) / 4;
    for (size_t first = 0, n = 0; first < lines.size(); first += perNote, ++n) {
        TTreeNode* node = n == 0 ? item : AddItem("Typed " + std::to_string(n));
        ClickNode(node);
        EnterEditor();
        std::vector<std::wstring> part(lines.begin() + static_cast<std::ptrdiff_t>(first),
                                       lines.begin() + static_cast<std::ptrdiff_t>(std::min(first + perNote, lines.size())));
        for (size_t i = 0; i < part.size(); ++i) {
            if (i > 0) TapKey(VK_RETURN);
            TypeUnicode(part[i]);
        }
        typed.push_back(Joined(part, L"\r"));
        ASSERT_EQ(Differences(typed.back(), NoteTextW()), "") << "typed into note " << n;
    }
    ASSERT_EQ(Joined(typed, L"\r"), expected);

    // Pasted, all of them into one note, as Ctrl+V pastes text that another
    // program put on the clipboard.
    TTreeNode* pasted = AddItem("Pasted");
    ClickNode(pasted);
    EnterEditor();
    const std::wstring clip = Joined(lines, L"\r\n");
    Clipboard()->SetBuffer(CF_UNICODETEXT, clip.c_str(), (clip.size() + 1) * sizeof(wchar_t));
    PressCtrlKey('v');
    ASSERT_EQ(Differences(expected, NoteTextW()), "");

    // Copied from that note and pasted into another with the keys.
    PressCtrlKey('a');
    PressCtrlKey('c');
    TTreeNode* copied = AddItem("Copied");
    ClickNode(copied);
    EnterEditor();
    PressCtrlKey('v');
    // The whole text takes the end of its last paragraph with it.
    const std::wstring copy = expected + L"\r";
    ASSERT_EQ(Differences(copy, NoteTextW()), "") << "copied";

    // Saved by leaving the item, and read by a new main window.
    ClickNode(item);
    Restart();
    auto check = [&](const std::string& caption, const std::wstring& text) {
        TTreeNode* node = Node(caption);
        ASSERT_NE(node, nullptr) << caption;
        ClickNode(node);
        EXPECT_EQ(Differences(text, NoteTextW()), "") << caption;
    };
    check("Pasted", expected);
    check("Copied", copy);
    for (size_t n = 0; n < typed.size(); ++n) check(n == 0 ? "First" : "Typed " + std::to_string(n), typed[n]);
}

// Letters the code page lacks in indented, bulleted and spaced paragraphs
// pasted from another program, copied into another note, saved by leaving
// the items and read by a new main window: every letter and paragraph
// comes back in both notes.
TEST_F(EditorLetters, LettersInIndentedParagraphsComeBackWholeFromCopyAndSave) {
    StartWithItem();
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\\f0\\fs20 "
        "\\pard\\li720\\fi-360 \\u269?esky \\u256?\\u945?\\par\\pard\\fi360 \\u322?\\u337? first\\par"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 \\u305? bullet\\par"
        "\\pard\\slmult2\\li360 double \\u8364?\\par\\pard\\li-360\\ri720 \\u287? out\\par}";
    {
        ClipboardScope open;
        Clipboard()->SetAsText("cesky");
        Clipboard()->SetBuffer(RegisterClipboardFormatA("Rich Text Format"), rtf.c_str(), rtf.size() + 1);
    }
    EnterEditor();
    PressCtrlKey('v');
    const std::wstring text = NoteTextW();
    const std::vector<std::string> paragraphs = ParagraphFormats(Edit());
    const std::wstring letters =
        L"\x010D" L"esky \x0100\x03B1\r\x0142\x0151 first\r\x0131 bullet\rdouble \x20AC\r\x011F out";
    ASSERT_EQ(Differences(letters, text.substr(0, letters.size())), "");
    ASSERT_GE(paragraphs.size(), 5u);
    const char* pasted[] = {"first 360 offset 360 right 0", "first 360 offset -360 right 0",
                            "first 360 offset 360 right 0", "first 360 offset 0 right 0", "first -360 offset 0 right 720"};
    for (size_t i = 0; i < std::size(pasted); ++i) EXPECT_EQ(paragraphs[i].rfind(pasted[i], 0), 0u) << paragraphs[i];

    // Copied whole into another note with the keys.
    PressCtrlKey('a');
    PressCtrlKey('c');
    ClickNode(AddItem("Copied"));
    EnterEditor();
    PressCtrlKey('v');
    const std::wstring copiedText = NoteTextW();
    const std::vector<std::string> copied = ParagraphFormats(Edit());
    EXPECT_EQ(copiedText.rfind(text, 0), 0u) << Differences(text, copiedText);
    ASSERT_GE(copied.size(), std::size(pasted));
    for (size_t i = 0; i < std::size(pasted); ++i) EXPECT_EQ(copied[i], paragraphs[i]) << "copied paragraph " << i;

    // Each start reads both notes, and leaving each entered saves it again.
    ClickNode(item);
    for (int start = 1; start <= 2; ++start) {
        Restart();
        ClickNode(Node("Copied"));
        EXPECT_EQ(Differences(copiedText, NoteTextW()), "") << "copied, start " << start;
        EXPECT_EQ(ParagraphFormats(Edit()), copied) << "copied, start " << start;
        EnterEditor();
        ClickNode(Node("First"));
        EXPECT_EQ(Differences(text, NoteTextW()), "") << "pasted, start " << start;
        EXPECT_EQ(ParagraphFormats(Edit()), paragraphs) << "pasted, start " << start;
        EnterEditor();
        ClickNode(Node("Copied"));
    }
}

namespace {
// How dark a pixel is, from 0 (white) to 1 (black): bold strokes may be
// drawn with grey edges where plain ones are not.
double Darkness(COLORREF c) { return (765 - GetRValue(c) - GetGValue(c) - GetBValue(c)) / 765.0; }

// The ink of a text drawn whole, with room all round, in a font.
struct Ink {
    double amount = 0;
    int top = -1;  // the first row with ink, from the text's top
};
Ink InkOf(const std::wstring& text, HFONT font) {
    Snapshot shot = PaintedClient(GetDesktopWindow(), [&](HDC dc) {
        RECT all{0, 0, 4096, 4096};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectGuard selected(dc, font);
        SetBkMode(dc, TRANSPARENT);
        TextOutW(dc, 20, 20, text.c_str(), static_cast<int>(text.size()));
    });
    Ink ink;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 1200; ++x)
            if (const double d = Darkness(shot.At(x, y)); d > 0) {
                ink.amount += d;
                if (ink.top < 0) ink.top = y - 20;
            }
    return ink;
}

bool SameInk(const std::wstring& a, const std::wstring& b, HFONT font) {
    Snapshot sa = PaintedClient(GetDesktopWindow(), [&](HDC dc) {
        RECT all{0, 0, 200, 100};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectGuard selected(dc, font);
        TextOutW(dc, 10, 10, a.c_str(), static_cast<int>(a.size()));
    });
    Snapshot sb = PaintedClient(GetDesktopWindow(), [&](HDC dc) {
        RECT all{0, 0, 200, 100};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SelectGuard selected(dc, font);
        TextOutW(dc, 10, 10, b.c_str(), static_cast<int>(b.size()));
    });
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (sa.At(x, y) != sb.At(x, y)) return false;
    return true;
}

GdiHandle<HFONT> NoteFont(const std::string& face, int points, bool bold) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, 96, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return GdiHandle<HFONT>(CreateFontIndirectA(&lf));
}
}  // namespace

// How notes look in the prefix the program runs in: the default note font
// shows the letters of every alphabet typed (Greek among them, which its
// own face lacks), bold looks bold at every size, and the accents of
// capitals in small Arial are whole on the screen.
TEST_F(EditorLetters, TheDefaultFontShowsEveryLetterBoldLooksBoldAndAccentsAreWhole) {
    StartWithItem();
    const std::wstring samples[] = {
        L"\x010C\x0150\x011A K\x0159" L"e\x010D" L"ek \x017E", L"\x0416\x0443\x043A \x0436",
        L"\x03B1\x03B2\x03B3 \x03A9\x03BC\x03AD\x03B3\x03B1", L"\x05E9\x05DC\x05D5\x05DD",
        L"\x0633\x0644\x0627\x0645", L"\x0532\x0561\x0580\x0565\x0582",
        L"\x10D2\x10D0\x10DB\x10D0\x10E0\x10EF\x10DD\x10D1\x10D0", L"\x20AC \x2022 \x2192"};
    EnterEditor();
    for (size_t i = 0; i < std::size(samples); ++i) {
        if (i > 0) TapKey(VK_RETURN);
        TypeUnicode(samples[i]);
    }
    ASSERT_EQ(W->REdit->SelAttributes()->Name(), "MS Sans Serif");
    // No letter shows as the box of a letter the font has not.
    {
        GdiHandle<HFONT> font = NoteFont("MS Sans Serif", 8, false);
        for (const std::wstring& line : samples)
            for (wchar_t c : line) {
                if (c == L' ') continue;
                EXPECT_FALSE(SameInk(std::wstring(1, c), L"\xE000", font.Get())) << "U+" << std::hex << int(c);
            }
    }
    // Bold strokes are thicker at every size a note uses (below 12 pt the
    // font draws them with grey edges, plain ones without).
    for (int points : {8, 10, 12, 14, 16, 18, 20, 22}) {
        GdiHandle<HFONT> plain = NoteFont("MS Sans Serif", points, false), bold = NoteFont("MS Sans Serif", points, true);
        const Ink p = InkOf(L"Bold strokes", plain.Get()), b = InkOf(L"Bold strokes", bold.Get());
        EXPECT_GT(b.amount, p.amount * (points < 12 ? 1.04 : 1.25)) << points << " pt: " << b.amount << " against " << p.amount;
    }
    // The capitals' accents lie within the line, at the sizes of small
    // print: a line is drawn within its ascent and descent.
    for (int pixels = 8; pixels <= 16; ++pixels) {
        LOGFONTA lf{};
        lf.lfHeight = -pixels;
        lstrcpyA(lf.lfFaceName, "Arial");
        GdiHandle<HFONT> arial(CreateFontIndirectA(&lf));
        EXPECT_GE(InkOf(L"\x010C\x0150\x011A\x00C5\x00C1", arial.Get()).top, 0) << pixels << " pixels";
    }
    // On the screen: a line of capitals in Arial 8 pt and lines of bold
    // and plain words of 14 to 22 pt after the letters typed.
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fswiss Arial;}}"
                      "\\pard\\f1\\fs16 \\u268?\\u336?\\u282?\\u197?\\u193? Arial 8 pt\\par\\f0 ";
    for (int points : {14, 18, 22})
        rtf += "\\fs" + std::to_string(points * 2) + " \\b Bold " + std::to_string(points) + "\\b0  plain " +
               std::to_string(points) + "\\par ";
    rtf += "}";
    {
        ClipboardScope open;
        Clipboard()->SetAsText("text");
        Clipboard()->SetBuffer(RegisterClipboardFormatA("Rich Text Format"), rtf.c_str(), rtf.size() + 1);
    }
    W->REdit->SetSelStart(static_cast<int>(NoteTextW().size()));
    TapKey(VK_RETURN);
    PressCtrlKey('v');
    PumpMessages();
    const std::wstring text = NoteTextW();
    const size_t capitals = text.find(L"\x010C\x0150\x011A\x00C5\x00C1");
    ASSERT_NE(capitals, std::wstring::npos);
    // The carons of Č and Ě have both their rows above the capital: the
    // system draws no pixel of a letter above the font's ascent, which
    // took the top row off.
    HoldOnScreen(200);
    Snapshot shown = OnScreen(Edit());
    LOGFONTA lf{};
    lf.lfHeight = -160 * 96 / 1440;  // 8 pt as the editor draws it, 10 pixels
    lstrcpyA(lf.lfFaceName, "Arial");
    GdiHandle<HFONT> editorArial(CreateFontIndirectA(&lf));
    for (size_t i : {size_t{0}, size_t{2}}) {
        POINTL at{}, next{}, below{};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), static_cast<LPARAM>(capitals + i));
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&next), static_cast<LPARAM>(capitals + i + 1));
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&below), static_cast<LPARAM>(text.find(L"Bold")));
        int rows = 0;
        for (int y = at.y; y < below.y; ++y) {
            bool ink = false;
            for (int x = at.x; x < next.x; ++x) ink = ink || Dark(shown.At(x, y));
            rows += ink ? 1 : 0;
        }
        const std::wstring capital(1, i == 0 ? L'C' : L'E');
        int capitalRows = 0;
        Snapshot plain = PaintedClient(GetDesktopWindow(), [&](HDC dc) {
            RECT all{0, 0, 100, 60};
            FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            SelectGuard selected(dc, editorArial.Get());
            TextOutW(dc, 10, 10, capital.c_str(), 1);
        });
        for (int y = 0; y < 60; ++y) {
            bool ink = false;
            for (int x = 0; x < 100; ++x) ink = ink || Dark(plain.At(x, y));
            capitalRows += ink ? 1 : 0;
        }
        EXPECT_GE(rows, capitalRows + 2) << "the caron of " << (i == 0 ? "C" : "E") << " is cut off";
    }
    SaveWindowShot(W->Handle(), "letters-default-font");
}

}  // namespace treskel::test

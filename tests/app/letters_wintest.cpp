// Letters of every language a note holds: typed, pasted and copied in the
// main window's editor, saved by leaving the item and read again after a
// restart.
#include "EditorWindowTest.h"
#include "platform/Clipbrd.h"
#include "platform/Handles.h"
#include "support/Paragraphs.h"

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

}  // namespace treskel::test

// The main window's editor commands: typing a note, the keys, the tool
// bar and the combos, the status line, clipboard and undo, the editor's
// default font and address clicks (find, the office buttons and printing
// stand beside, in findcaret_wintest, toolbars_wintest and
// printing_wintest).
#include "EditorWindowTest.h"
#include "platform/Registry.h"

#include "store/ItemData.h"
#include "platform/Clipbrd.h"
#include "platform/FileSys.h"
#include "platform/Handles.h"
#include "support/Paragraphs.h"
#include "support/Snapshot.h"

namespace treskel::test {

namespace {
const char* const kCommonKey = "SOFTWARE\\Qiv\\Treskel!\\common";

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr)) return "<closed>";
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (auto* p = static_cast<const char*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
}

// The directory of this test program, where the stand-in browser is built.
std::string TestProgramDir() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return ExtractFilePath(path);
}
}  // namespace

// ---------------------------------------------------------------- typing a note

using EditorNote = EditorTest;

TEST_F(EditorNote, EnteringTheEditorWithAnItemSelectedMarksTheNoteModified) {
    StartWithItem();
    EXPECT_FALSE(W->NoteModified);
    W->REdit->SetFocus();
    PumpMessages();
    EXPECT_TRUE(W->NoteModified);
    EXPECT_EQ(GetFocus(), Edit());
}

TEST_F(EditorNote, WithNoItemSelectedTheEditorHandsTheFocusToTheTree) {
    StartWithItem();
    W->TreeView->SetSelected(nullptr);
    PumpMessages();
    W->REdit->SetFocus();
    PumpMessages();
    EXPECT_FALSE(W->NoteModified);
    EXPECT_EQ(GetFocus(), W->TreeView->Handle());
}

TEST_F(EditorNote, ATypedNoteStaysWithItsItemAcrossSwitchesAndARestart) {
    StartWithItem();
    TTreeNode* second = AddItem("Second");
    TypeNote("first note");
    Select(6, 4);
    CtrlKey('B');
    SelectItem(second);
    EXPECT_EQ(NoteText(), "");
    TypeNote("second note");
    SelectItem(Node("First"));
    EXPECT_EQ(NoteText(), "first note");
    SelectItem(Node("Second"));
    EXPECT_EQ(NoteText(), "second note");

    Restart();
    SelectItem(Node("Second"));
    SelectItem(Node("First"));
    EXPECT_EQ(NoteText(), "first note");
    Select(6, 4);
    EXPECT_TRUE(W->REdit->SelAttributes()->Bold());
    EXPECT_TRUE(W->BoldButton->Down());
    Select(0, 5);
    EXPECT_FALSE(W->REdit->SelAttributes()->Bold());
    SelectItem(Node("Second"));
    EXPECT_EQ(NoteText(), "second note");
}

// Typed braces reach the stored note as "\{" and "\}" beside the words that
// name an embedded object: at the default level the note is packed, and
// what was typed comes back whole after leaving the item and a restart.
TEST_F(EditorNote, TypedBracesComeBackWholeAtTheDefaultLevel) {
    StartWithItem();
    EXPECT_EQ(Record(item)->Compression, 2);
    TTreeNode* alone = AddItem("Alone");
    const std::string typed = "{objdata 12} after";
    TypeNote(typed);
    ClickNode(alone);
    ASSERT_EQ(W->TreeView->Selected(), alone);
    TypeNote("{objdata}");
    ClickNode(Node("First"));
    EXPECT_EQ(NoteText(), typed);
    ClickNode(Node("Alone"));
    EXPECT_EQ(NoteText(), "{objdata}");

    for (const BoxRecord& box : MessageBoxes()) ADD_FAILURE() << box.text;

    Restart();
    ASSERT_NE(Node("Alone"), nullptr);
    ClickNode(Node("First"));
    EXPECT_EQ(NoteText(), typed);
    EXPECT_EQ(Record(Node("First"))->Compression, 2);
    ClickNode(Node("Alone"));
    EXPECT_EQ(NoteText(), "{objdata}");
}

// Paragraphs pasted from another program (indents of each kind, hanging
// bullets, a numbered list, tab stops, spacing, in the document and in a
// group of their own) and made with the editor's buttons come back as they
// were whenever the item is left and entered again, and after restarts.
TEST_F(EditorNote, PastedAndMadeParagraphsComeBackAsTheyWereAcrossSwitchesAndRestarts) {
    StartWithItem();
    AddItem("Other");
    const std::string rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\\f0\\fs20 "
        "\\pard\\li720 Left\\par\\pard\\fi360 First line\\par\\pard\\li720\\fi-360 Hanging\\par"
        "\\pard\\li-360\\ri1440 Outdented\\par"
        "\\pard{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li720 Bullet\\par"
        "{\\pntext\\f1\\'B7\\tab}Bullet two\\par"
        "\\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}\\fi-360\\li720 One\\par"
        "{\\pntext 2.\\tab}Two\\par"
        "\\pard\\tx720\\tx2880\\sb120\\sa240\\li1440\\fi720 Tabbed\\tab here\\par"
        "\\pard\\slmult2 Double\\par\\pard\\sl300 At least\\par"
        "{\\pard\\qc\\li1080\\fi-720 Nested\\par}}";
    {
        ClipboardScope open;
        Clipboard()->SetAsText("Left\r\nFirst line\r\n");
        Clipboard()->SetBuffer(RegisterClipboardFormatA("Rich Text Format"), rtf.c_str(), rtf.size() + 1);
    }
    W->REdit->SetFocus();
    CtrlKey('V');
    TypeText(Edit(), "Made a bullet");
    ClickTool(W->BulletButton);
    PressKey(Edit(), VK_RETURN);
    ClickTool(W->BulletButton);
    TypeText(Edit(), "Made centred");
    ClickTool(W->CenterButton);

    const std::vector<std::string> made = ParagraphFormats(Edit());
    ASSERT_EQ(made.size(), 14u);
    // As pasted: \li is the other lines' indent, \fi the first line's from it.
    const char* pasted[] = {"first 720 offset 0 right 0",     "first 360 offset -360 right 0",
                            "first 360 offset 360 right 0",   "first -360 offset 0 right 1440",
                            "first 360 offset 360 right 0",   "first 360 offset 360 right 0",
                            "first 360 offset 360 right 0",   "first 360 offset 360 right 0",
                            "first 2160 offset -720 right 0", "first 0 offset 0 right 0",
                            "first 0 offset 0 right 0",       "first 360 offset 720 right 0"};
    for (size_t i = 0; i < std::size(pasted); ++i) EXPECT_EQ(made[i].rfind(pasted[i], 0), 0u) << made[i];
    EXPECT_NE(made[4].find("number 1/"), std::string::npos) << made[4];
    EXPECT_NE(made[7].find("number 2/"), std::string::npos) << made[7];
    EXPECT_NE(made[12].find("number 1/"), std::string::npos) << made[12];

    // Each time the note is entered again it has been saved and read.
    for (int round = 1; round <= 3; ++round) {
        ClickNode(Node("Other"));
        ClickNode(Node("First"));
        ASSERT_EQ(ParagraphFormats(Edit()), made) << "entered again " << round;
        ClickAt(Edit(), 5, 5);
    }
    for (int start = 1; start <= 2; ++start) {
        Restart();
        ClickNode(Node("Other"));
        ClickNode(Node("First"));
        ASSERT_EQ(ParagraphFormats(Edit()), made) << "start " << start;
        ClickAt(Edit(), 5, 5);
    }
}

// ---------------------------------------------------------------- keys

using EditorKeys = EditorTest;

TEST_F(EditorKeys, CtrlBCtrlIAndCtrlUToggleTheFormatAndTheirButtons) {
    StartWithItem();
    TypeNote("one two");
    TTextAttributesEx* a = W->REdit->SelAttributes();
    auto format = [&](int start, int length) {
        Select(start, length);
        return std::string(a->Bold() ? "B" : "") + (a->Italic() ? "I" : "") + "U" + IntToStr(a->Underline());
    };
    Select(0, 3);
    CtrlKey('B');
    EXPECT_TRUE(W->BoldButton->Down());
    CtrlKey('I');
    EXPECT_TRUE(W->ItalicButton->Down());
    CtrlKey('U');
    EXPECT_TRUE(W->UnderlineButton->Down());
    // The keys format; none of them leaves a character in the text.
    EXPECT_EQ(NoteText(), "one two");
    EXPECT_EQ(format(0, 3), "BIU3");
    EXPECT_EQ(format(4, 3), "U0");
    EXPECT_FALSE(W->BoldButton->Down());

    // Pressed again on the formatted text, each one takes its format off.
    EXPECT_EQ(format(0, 3), "BIU3");
    CtrlKey('B');
    EXPECT_FALSE(W->BoldButton->Down());
    CtrlKey('U');
    EXPECT_FALSE(W->UnderlineButton->Down());
    EXPECT_EQ(format(0, 3), "IU0");
    CtrlKey('I');
    EXPECT_FALSE(W->ItalicButton->Down());
    EXPECT_EQ(format(0, 3), "U0");
    EXPECT_EQ(NoteText(), "one two");
}

TEST_F(EditorKeys, TurningAFormatOffAfterAWordLeavesTheWordFormatted) {
    StartWithItem();
    TTextAttributesEx* a = W->REdit->SelAttributes();
    auto bold = [&](int start, int length) {
        Select(start, length);
        return a->Bold();
    };
    TypeNote("");
    CtrlKey('B');
    TypeText(Edit(), "next year");
    CtrlKey('B');
    TypeText(Edit(), " and");
    EXPECT_EQ(NoteText(), "next year and");
    EXPECT_TRUE(bold(0, 9));
    EXPECT_FALSE(bold(9, 4));
    // Inside a word the key formats the whole word.
    Select(11, 0);
    CtrlKey('B');
    EXPECT_TRUE(bold(10, 3));
    EXPECT_FALSE(bold(9, 1));
    EXPECT_EQ(NoteText(), "next year and");
}

TEST_F(EditorKeys, TabInsertsATabAndLeavesItalicAlone) {
    StartWithItem();
    TypeNote("ab");
    EXPECT_EQ(Status(), "Line: 0 Col: 2");
    PressKey(Edit(), VK_TAB);
    EXPECT_EQ(NoteText(), "ab\t");
    EXPECT_EQ(GetFocus(), Edit());
    EXPECT_FALSE(W->ItalicButton->Down());
    // The caret moved past the Tab, and the status line says so.
    EXPECT_EQ(Status(), "Line: 0 Col: 3");
    Select(2, 1);
    EXPECT_FALSE(W->REdit->SelAttributes()->Italic());
    // Ctrl+I after a Tab is italic again.
    W->REdit->SetSelStart(3);
    CtrlKey('I');
    EXPECT_TRUE(W->ItalicButton->Down());
    EXPECT_EQ(NoteText(), "ab\t");
}

TEST_F(EditorKeys, EscapeGivesTheFocusToTheTree) {
    StartWithItem();
    TypeNote("x");
    PressKey(Edit(), VK_ESCAPE);
    EXPECT_EQ(GetFocus(), W->TreeView->Handle());
    EXPECT_EQ(NoteText(), "x");
}

namespace {
// The note's lines (its paragraphs, none of them wrapped), each with "* "
// in front when it is a list item.  The selection stays as it was.
std::vector<std::string> ListParagraphs(TCustomRichEditEx* re) {
    std::vector<std::string> paragraphs;
    const int start = re->SelStart(), length = re->SelLength();
    TStrings* lines = re->Lines();
    for (int i = 0; i < lines->Count(); ++i) {
        re->SetSelStart(static_cast<int>(SendMessageW(re->Handle(), EM_LINEINDEX, static_cast<WPARAM>(i), 0)));
        paragraphs.push_back((re->Paragraph()->Numbering() != 0 ? "* " : "") + lines->Get(i));
    }
    re->SetSelStart(start);
    re->SetSelLength(length);
    return paragraphs;
}
}  // namespace

using Lines = std::vector<std::string>;

// A note of a line and a bulleted list of two items, typed.
class EditorLists : public EditorTest {
protected:
    void TypeList() {
        StartWithItem();
        TypeNote("List:");
        PressKey(Edit(), VK_RETURN);
        ClickTool(W->BulletButton);
        TypeText(Edit(), "one");
        PressKey(Edit(), VK_RETURN);
        TypeText(Edit(), "three");
        ASSERT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* one", "* three"}));
    }
};

TEST_F(EditorLists, EnterInsideAListAddsAnItemThere) {
    TypeList();
    TTreeNode* other = AddItem("Other");

    // Enter from the keyboard at the end of an item that another follows.
    Select(9, 0);
    TypeIntoFocus('\r');
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* one", "* ", "* three"}));
    EXPECT_EQ(W->REdit->SelStart(), 10);
    EXPECT_EQ(Status(), "Line: 2 Col: 0");
    // One step undoes it.
    W->Undo->Execute();
    PumpMessages();
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* one", "* three"}));
    Select(9, 0);
    TypeIntoFocus('\r');
    TypeText(Edit(), "two");
    // Enter over a selection that ends an item, and in the empty item it
    // leaves between two.
    Select(6, 3);
    TypeIntoFocus('\r');
    TypeIntoFocus('\r');
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* ", "* ", "* ", "* two", "* three"}));

    SelectItem(other);
    SelectItem(Node("First"));
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* ", "* ", "* ", "* two", "* three"}));
}

TEST_F(EditorLists, LinesPastedAtTheEndOfAnItemJoinTheList) {
    TypeList();
    // Whole lines copied: the text ends with a paragraph break.
    auto copyLines = [](const char* text) { Clipboard()->SetAsText(text); };
    copyLines(" and a half\r\nfour\r\n");
    Select(9, 0);
    CtrlKey('V');
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* one and a half", "* four", "* ", "* three"}));
    copyLines("five\r\n");
    Select(25, 0);
    ClickTool(W->PasteButton);
    EXPECT_EQ(ListParagraphs(W->REdit), (Lines{"List:", "* one and a half", "* fourfive", "* ", "* ", "* three"}));
}

// ---------------------------------------------------------------- status line

TEST_F(EditorKeys, TheStatusLineShowsTheCaretAfterEachCharacterAndClick) {
    StartWithItem();
    TypeNote("abc");
    EXPECT_EQ(Status(), "Line: 0 Col: 3");
    PressKey(Edit(), VK_RETURN);
    EXPECT_EQ(Status(), "Line: 1 Col: 0");
    TypeText(Edit(), "de");
    EXPECT_EQ(Status(), "Line: 1 Col: 2");

    // A click shows where it put the caret, not where the caret was.
    POINTL pt{0, 0};
    SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), 1);
    ClickAt(Edit(), pt.x + 1, pt.y + 4);
    PumpMessages();
    ASSERT_EQ(W->REdit->SelStart(), 1);
    EXPECT_EQ(Status(), "Line: 0 Col: 1");

    // So does the end of a drag from the editor.
    Select(5, 0);
    W->StatusBar->Panels()->Items(1)->SetText("");
    PostMessageA(Edit(), WM_LBUTTONUP, 0, MAKELPARAM(pt.x + 1, pt.y + 4));
    W->REdit->BeginDrag(true);
    PumpMessages();
    EXPECT_EQ(Status(), "Line: 1 Col: 1");
}

// ---------------------------------------------------------------- tool bar and combos

using EditorToolBar = EditorTest;

TEST_F(EditorToolBar, BoldItalicAndUnderlineButtonsFormatTheSelection) {
    StartWithItem();
    TypeNote("word");
    Select(0, 4);
    TTextAttributesEx* a = W->REdit->SelAttributes();
    ClickTool(W->BoldButton);
    EXPECT_TRUE(W->BoldButton->Down());
    EXPECT_TRUE(a->Bold());
    ClickTool(W->ItalicButton);
    EXPECT_TRUE(a->Italic());
    ClickTool(W->UnderlineButton);
    EXPECT_EQ(a->Underline(), 3);
    ClickTool(W->BoldButton);
    EXPECT_FALSE(W->BoldButton->Down());
    EXPECT_FALSE(a->Bold());
    ClickTool(W->UnderlineButton);
    EXPECT_EQ(a->Underline(), 0);
    EXPECT_TRUE(a->Italic());
}

TEST_F(EditorToolBar, AlignmentAndBulletButtonsFormatTheParagraph) {
    StartWithItem();
    TypeNote("one");
    PressKey(Edit(), VK_RETURN);
    TypeText(Edit(), "two");
    TParaAttributesEx* p = W->REdit->Paragraph();
    ClickTool(W->CenterButton);
    EXPECT_EQ(p->Alignment(), TAlignment::taCenter);
    EXPECT_TRUE(W->CenterButton->Down());
    ClickTool(W->RightButton);
    EXPECT_EQ(p->Alignment(), TAlignment::taRightJustify);
    EXPECT_FALSE(W->CenterButton->Down());
    ClickTool(W->BulletButton);
    EXPECT_EQ(p->Numbering(), 1);
    // Only the paragraph of the caret.
    Select(0, 0);
    EXPECT_EQ(p->Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(p->Numbering(), 0);
    Select(5, 0);
    ClickTool(W->BulletButton);
    EXPECT_EQ(p->Numbering(), 0);
    ClickTool(W->LeftButton);
    EXPECT_EQ(p->Alignment(), TAlignment::taLeftJustify);
}

TEST_F(EditorToolBar, TheToolBarFollowsTheSelection) {
    StartWithItem();
    TypeNote("plain");
    PressKey(Edit(), VK_RETURN);
    TypeText(Edit(), "fancy");
    TTextAttributesEx* a = W->REdit->SelAttributes();
    Select(6, 5);
    a->SetBold(true);
    a->SetItalic(true);
    a->SetUnderline(3);
    a->SetName("Courier New");
    a->SetSize(16);
    W->REdit->Paragraph()->SetAlignment(TAlignment::taCenter);
    W->REdit->Paragraph()->SetNumbering(1);
    Select(0, 2);
    a->SetName("Times New Roman");
    a->SetSize(9);

    Select(7, 2);
    EXPECT_TRUE(W->BoldButton->Down());
    EXPECT_TRUE(W->ItalicButton->Down());
    EXPECT_TRUE(W->UnderlineButton->Down());
    EXPECT_TRUE(W->CenterButton->Down());
    EXPECT_FALSE(W->LeftButton->Down());
    EXPECT_TRUE(W->BulletButton->Down());
    EXPECT_EQ(W->QclFontComboBox1->GetFontName(), "Courier New");
    EXPECT_EQ(W->QclFontSizeComboBox1->GetFontSize(), 16);

    Select(1, 0);
    EXPECT_FALSE(W->BoldButton->Down());
    EXPECT_FALSE(W->ItalicButton->Down());
    EXPECT_FALSE(W->UnderlineButton->Down());
    EXPECT_TRUE(W->LeftButton->Down());
    EXPECT_FALSE(W->CenterButton->Down());
    EXPECT_FALSE(W->BulletButton->Down());
    EXPECT_EQ(W->QclFontComboBox1->GetFontName(), "Times New Roman");
    EXPECT_EQ(W->QclFontSizeComboBox1->GetFontSize(), 9);

    W->REdit->Paragraph()->SetAlignment(TAlignment::taRightJustify);
    Select(2, 0);
    EXPECT_TRUE(W->RightButton->Down());
    EXPECT_FALSE(W->LeftButton->Down());
}

TEST_F(EditorToolBar, AShownNoteSetsTheToolBarByItsFirstCharacter) {
    StartWithItem();
    TTreeNode* second = AddItem("Second");
    SelectItem(Node("First"));
    TypeNote("heading");
    Select(0, 7);
    TTextAttributesEx* a = W->REdit->SelAttributes();
    a->SetBold(true);
    a->SetName("Courier New");
    a->SetSize(16);
    W->REdit->Paragraph()->SetAlignment(TAlignment::taCenter);
    SelectItem(second);
    EXPECT_FALSE(W->BoldButton->Down());
    EXPECT_FALSE(W->CenterButton->Down());

    SelectItem(Node("First"));
    EXPECT_TRUE(W->BoldButton->Down());
    EXPECT_TRUE(W->CenterButton->Down());
    EXPECT_EQ(W->QclFontComboBox1->GetFontName(), "Courier New");
    EXPECT_EQ(W->QclFontSizeComboBox1->GetFontSize(), 16);
}

TEST_F(EditorToolBar, FontAndSizeCombosFormatTheSelection) {
    StartWithItem();
    TypeNote("some text");
    Select(5, 4);
    Choose(W->QclFontComboBox1, "Courier New");
    TTextAttributesEx* a = W->REdit->SelAttributes();
    EXPECT_EQ(a->Name(), "Courier New");
    EXPECT_EQ(GetFocus(), Edit());
    Choose(W->QclFontSizeComboBox1, "20");
    Select(5, 4);
    EXPECT_EQ(a->Size(), 20);
    EXPECT_EQ(a->Name(), "Courier New");
    Select(0, 4);
    EXPECT_NE(a->Name(), "Courier New");
    EXPECT_NE(a->Size(), 20);
}

// Letters typed while the font list is down look through the list, as in
// any list: typed in quick succession they spell the start of a name, and
// after a pause the next letter starts again.  They never reach the note,
// whose selected text they would replace.  Enter takes the font shown and
// gives the note the focus back.
TEST_F(EditorToolBar, LettersTypedIntoTheDroppedFontListLookThroughIt) {
    StartWithItem();
    TypeNote("Dear diary");
    Select(0, 4);
    TQclFontComboBox* box = W->QclFontComboBox1;
    RECT r;
    GetWindowRect(box->Handle(), &r);
    MouseClickOnScreen(POINT{r.right - 6, (r.top + r.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return box->DroppedDown(); }));
    TypeIntoFocus("times");
    PumpUntil([&] { return box->GetFontName() == "Times New Roman"; });
    EXPECT_EQ(box->GetFontName(), "Times New Roman");
    EXPECT_EQ(NoteText(), "Dear diary");
    EXPECT_TRUE(box->DroppedDown());
    EXPECT_EQ(GetFocus(), box->Handle());

    // A pause, then "courier n": from the first name with a C on.
    Sleep(TQclTypeAhead::kPause + 300);
    TypeIntoFocus("courier n");
    PumpUntil([&] { return box->GetFontName() == "Courier New"; });
    EXPECT_EQ(box->GetFontName(), "Courier New");
    // The same letter again and again goes on from name to name.
    Sleep(TQclTypeAhead::kPause + 300);
    TypeIntoFocus("tt");
    PumpUntil([&] { return box->GetFontName() != "Courier New"; });
    const std::string second = box->GetFontName();
    int firstT = 0;
    while (firstT < box->Items()->Count() && box->Items()->Get(firstT)[0] != 'T') ++firstT;
    ASSERT_LT(firstT + 1, box->Items()->Count());
    EXPECT_EQ(second, box->Items()->Get(firstT + 1));
    EXPECT_EQ(NoteText(), "Dear diary");

    TypeIntoFocus('\r');
    ASSERT_TRUE(PumpUntil([&] { return !box->DroppedDown() && GetFocus() == Edit(); }));
    EXPECT_EQ(NoteText(), "Dear diary");
    Select(0, 4);
    EXPECT_EQ(W->REdit->SelAttributes()->Name(), second);
}

// ---------------------------------------------------------------- clipboard and undo

using EditorClipboard = EditorTest;

TEST_F(EditorClipboard, CutCopyPasteUndoAndSelectAll) {
    StartWithItem();
    TypeNote("one two");
    Select(4, 3);
    Run(W->CCopy);
    EXPECT_EQ(ClipboardText(), "two");
    EXPECT_EQ(NoteText(), "one two");
    Select(0, 4);
    Run(W->Cut);
    EXPECT_EQ(NoteText(), "two");
    EXPECT_EQ(ClipboardText(), "one ");
    Select(3, 0);
    TypeText(Edit(), " ");
    Run(W->Paste);
    EXPECT_EQ(NoteText(), "two one ");
    Run(W->Undo);
    EXPECT_EQ(NoteText(), "two ");

    auto* selectAll = dynamic_cast<TMenuItem*>(W->FindComponent("SelectAll1"));
    ASSERT_NE(selectAll, nullptr);
    Select(1, 0);
    selectAll->Click();
    EXPECT_EQ(W->REdit->SelStart(), 0);
    EXPECT_EQ(W->REdit->SelText().substr(0, 4), "two ");
}

TEST_F(EditorClipboard, TheButtonsFollowTheSelectionUndoAndTheClipboard) {
    StartWithItem();
    EmptyTheClipboard();
    W->TextActions->UpdateActions();
    EXPECT_FALSE(W->CutButton->Enabled());
    EXPECT_FALSE(W->CopyButton->Enabled());
    EXPECT_FALSE(W->UndoButton->Enabled());
    EXPECT_FALSE(W->PasteButton->Enabled());

    TypeNote("abc");
    W->TextActions->UpdateActions();
    EXPECT_FALSE(W->CutButton->Enabled());
    EXPECT_TRUE(W->UndoButton->Enabled());

    Select(0, 1);
    W->TextActions->UpdateActions();
    EXPECT_TRUE(W->CutButton->Enabled());
    EXPECT_TRUE(W->CopyButton->Enabled());
    EXPECT_FALSE(W->PasteButton->Enabled());
    Run(W->CCopy);
    W->TextActions->UpdateActions();
    EXPECT_TRUE(W->PasteButton->Enabled());

    // A disabled note panel (a locked item) leaves undo and paste as they are.
    EmptyTheClipboard();
    W->Panel2->SetEnabled(false);
    W->TextActions->UpdateActions();
    EXPECT_TRUE(W->PasteButton->Enabled());
    W->Panel2->SetEnabled(true);
    W->TextActions->UpdateActions();
    EXPECT_FALSE(W->PasteButton->Enabled());
}

TEST_F(EditorClipboard, UndoNeverBringsBackTheNoteOfTheItemLeft) {
    StartWithItem();
    TTreeNode* second = AddItem("Second");
    TypeNote("first note");
    SelectItem(second);
    TypeNote("second");
    SelectItem(Node("First"));
    ASSERT_EQ(NoteText(), "first note");
    W->TextActions->UpdateActions();
    EXPECT_FALSE(W->UndoButton->Enabled());
    W->REdit->SetFocus();
    Run(W->Undo);
    EXPECT_EQ(NoteText(), "first note");
}

// A locked item shows no note; the editor, hidden, still holds the note
// left.  What the tool bar does to that (Undo stays enabled) must not make
// it the locked item's note when the user leaves.
TEST_F(EditorClipboard, TheHiddenEditorOfALockedItemIsNeverSavedAsItsNote) {
    StartWithItem();
    TTreeNode* locked = AddItem("Locked");
    Record(locked)->Locked = 1;
    TypeNote("first note");
    Select(0, 5);
    ClickTool(W->BoldButton);
    ClickNode(locked);
    ASSERT_FALSE(W->REdit->Visible());
    EXPECT_FALSE(W->Panel2->Enabled());
    W->TextActions->UpdateActions();
    ASSERT_TRUE(W->UndoButton->Enabled());
    ClickTool(W->UndoButton);
    EXPECT_FALSE(W->NoteModified);

    ClickNode(Node("First"));
    EXPECT_EQ(NoteText(), "first note");
    Select(0, 5);
    EXPECT_TRUE(W->REdit->SelAttributes()->Bold());
    const std::vector<std::string> files = DataFiles();
    EXPECT_EQ(std::count(files.begin(), files.end(), "Notes.tsn/" + std::to_string(Record(locked)->Id)), 0);
    EXPECT_EQ(Record(locked)->Crc, -1);
}

// ---------------------------------------------------------------- the look of a note

using EditorLook = EditorTest;

namespace {
bool Inked(COLORREF c) { return GetRValue(c) < 200 || GetGValue(c) < 200 || GetBValue(c) < 200; }
// The box around the inked pixels inside `area`.
TRect Ink(const Snapshot& s, const TRect& area) {
    TRect box{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (Inked(s.At(x, y))) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}
// The text area of a snapshot of the editor, inside its frame.
TRect Inside(const Snapshot& s) { return {2, 2, s.width - 2, s.height - 2}; }
int LeftmostDark(const Snapshot& s, int y) {
    for (int x = 2; x < s.width - 2; ++x)
        if (Dark(s.At(x, y))) return x;
    return -1;
}
// How far the letters lean: their left edge near the top minus near the
// foot, in pixels.
int Lean(const Snapshot& s) {
    TRect ink = Ink(s, Inside(s));
    return LeftmostDark(s, ink.Top + ink.Height() / 6) - LeftmostDark(s, ink.Bottom - 1 - ink.Height() / 6);
}
}  // namespace

// The prepared Wine prefix: the editor's default font slants italics (its
// bitmap version drew them upright), and the list bullet is a round dot
// (Wine's "Symbol" drew a faint angle bracket).
TEST_F(EditorLook, ItalicSlantsAndBulletsAreRoundInTheDefaultFont) {
    StartWithItem();
    EXPECT_EQ(W->REdit->Font()->Name(), "MS Sans Serif");
    TypeNote("lll");
    Select(0, 3);
    W->REdit->SelAttributes()->SetSize(36);
    Select(3, 0);
    Snapshot upright = PrintClient(Edit());
    Select(0, 3);
    W->REdit->SelAttributes()->SetItalic(true);
    Select(3, 0);
    Snapshot italic = PrintClient(Edit());
    EXPECT_LE(std::abs(Lean(upright)), 1);
    EXPECT_GE(Lean(italic), 4);

    Run(W->BulletedList);
    Snapshot bulleted = PrintClient(Edit());
    POINTL first{};
    SendMessageA(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
    TRect area = Inside(bulleted);
    area.Right = first.x - 1;
    TRect bullet = Ink(bulleted, area);
    ASSERT_GE(bullet.Width(), 3) << "no bullet drawn";
    EXPECT_LE(std::abs(bullet.Width() - bullet.Height()), 1);
    EXPECT_GE(bulleted.Count(bullet, Dark), 2);  // a solid centre
}

// ---------------------------------------------------------------- default font

using EditorDefaultFont = EditorTest;

TEST_F(EditorDefaultFont, IsStoredAndGivenToTheEditorNowAndAtTheNextStart) {
    StartWithItem();
    auto* menuItem = dynamic_cast<TMenuItem*>(W->FindComponent("DefaultFont1"));
    ASSERT_NE(menuItem, nullptr);
    AnswerNextDialog([](TCommonDialog& d) {
        TFont* f = static_cast<TFontDialog&>(d).Font();
        f->SetName("Courier New");
        f->SetSize(14);
        f->SetColor(clRed);
        f->SetStyle(TFontStyles{TFontStyle::fsBold});
        return true;
    });
    menuItem->Click();
    ASSERT_EQ(CommonDialogs(), std::vector<std::string>{"TFontDialog"});
    EXPECT_EQ(ReadRegistryString(kCommonKey, "text"), "Courier New,14,clRed,1,0,0,0");
    EXPECT_EQ(W->REdit->Font()->Name(), "Courier New");
    EXPECT_EQ(W->REdit->Font()->Size(), 14);

    Restart();
    EXPECT_EQ(W->REdit->Font()->Name(), "Courier New");
    EXPECT_EQ(W->REdit->Font()->Size(), 14);
    EXPECT_EQ(W->REdit->Font()->Color(), clRed);
    EXPECT_TRUE(W->REdit->Font()->Style().Contains(TFontStyle::fsBold));
}

TEST_F(EditorDefaultFont, ACancelledDialogChangesNothing) {
    StartWithItem();
    std::string before = W->REdit->Font()->Name();
    W->DefaultFont1Click(nullptr);
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_FALSE(RegistryValueExists(kCommonKey, "text"));
    EXPECT_EQ(W->REdit->Font()->Name(), before);
}

// Typed text in the default font is as wide when its note is shown again,
// after a restart too, as when it was typed: the editor's font has the size
// the note stores.  Also for a default font chosen in points.
TEST_F(EditorDefaultFont, TypedTextKeepsItsWidthWhenTheNoteComesBack) {
    const std::string line = "The quick brown fox jumps over the lazy dog";
    auto width = [&] {
        POINTL first{0, 0}, last{0, 0};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), static_cast<LPARAM>(line.size() - 1));
        return last.x - first.x;
    };
    StartWithItem();
    TTreeNode* other = AddItem("Other");
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            AnswerNextDialog([](TCommonDialog& d) {
                TFont* f = static_cast<TFontDialog&>(d).Font();
                f->SetName("Arial");
                f->SetSize(10);
                return true;
            });
            W->DefaultFont1Click(nullptr);
            ClickNode(item);
            W->REdit->SetText("");
        }
        TypeNote(line);
        int typed = width();
        ASSERT_GT(typed, 100);
        ClickNode(other);
        ClickNode(item);
        ASSERT_EQ(NoteText().substr(0, line.size()), line);
        EXPECT_EQ(width(), typed) << "round " << round;
    }
    int typed = width();
    Restart();
    ASSERT_EQ(NoteText().substr(0, line.size()), line);
    EXPECT_EQ(width(), typed);
}

// A note that ends in big bold text leaves nothing of it to the next,
// empty note: what is typed there is in the default font.
TEST_F(EditorDefaultFont, AnEmptyNoteStartsInTheDefaultFont) {
    StartWithItem();
    TTreeNode* empty = AddItem("Empty");
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40\\b\\i Big bold\\par}";
    TMemoryStream in;
    in.WriteBuffer(rtf.data(), static_cast<int64_t>(rtf.size()));
    in.SetPosition(0);
    W->REdit->Lines()->LoadFromStream(in);
    W->NoteModified = true;
    ClickNode(empty);
    ASSERT_EQ(NoteText(), "");
    TypeNote("x");
    Select(0, 1);
    TTextAttributesEx* a = W->REdit->SelAttributes();
    EXPECT_EQ(a->Name(), "MS Sans Serif");
    EXPECT_EQ(a->SizeTwips(), 160);
    EXPECT_FALSE(a->Bold());
    EXPECT_FALSE(a->Italic());
}

// ---------------------------------------------------------------- addresses

class EditorAddress : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        log = DataFile("browser.log");
        SetEnvironmentVariableA("TRESKEL_BROWSER_LOG", log.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("TRESKEL_BROWSER_LOG", nullptr);
        EditorTest::TearDown();
    }
    // The arguments the stand-in browser was started with; empty when it
    // was not started within `ms` milliseconds.
    std::vector<std::string> BrowserArguments(int ms = 10000) {
        if (!PumpUntil([&] { return FileExists(log); }, ms)) return {};
        std::vector<unsigned char> bytes = ReadAll(log);
        DeleteFileA(log.c_str());
        std::vector<std::string> args;
        std::string arg;
        for (unsigned char c : bytes) {
            if (c == 0) {
                args.push_back(arg);
                arg.clear();
            } else {
                arg += static_cast<char>(c);
            }
        }
        return args;
    }
    // Answers the browser question with this program.
    void AnswerBrowser(const std::string& program) {
        AnswerNextDialog([program](TCommonDialog& d) {
            auto& open = static_cast<TOpenDialog&>(d);
            EXPECT_EQ(open.Filter(), "Executable Files (*.exe)|*.exe");
            EXPECT_EQ(open.Title(), "Browser Path");
            open.SetFileName(program);
            return true;
        });
    }
    void ClickCharacter(int pos) {
        POINTL pt{0, 0};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), pos);
        ClickAt(Edit(), pt.x + 2, pt.y + 4);
        PumpMessages();
    }
    std::string log;
    std::string stub = TestProgramDir() + "browserstub.exe";
};

TEST_F(EditorAddress, TheFirstClickAsksForTheBrowserLaterClicksStartItDirectly) {
    ASSERT_TRUE(FileExists(stub)) << stub;
    StartWithItem();
    TypeNote("see http://example.com/a/b?q=1&r=two now");
    PumpMessages();
    AnswerBrowser(stub);
    ClickCharacter(8);
    EXPECT_EQ(CommonDialogs(), std::vector<std::string>{"TOpenDialog"});
    EXPECT_EQ(ReadRegistryString(kCommonKey, "browserpath"), stub);
    EXPECT_EQ(BrowserArguments(), std::vector<std::string>{"http://example.com/a/b?q=1&r=two"});

    ClickCharacter(10);
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_EQ(BrowserArguments(), std::vector<std::string>{"http://example.com/a/b?q=1&r=two"});

    // The choice is kept for the next start.
    Restart();
    W->REditURLClick(W->REdit, "http://example.com/");
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_EQ(BrowserArguments(), std::vector<std::string>{"http://example.com/"});
}

TEST_F(EditorAddress, ACancelledQuestionStoresAndStartsNothing) {
    StartWithItem();
    W->REditURLClick(W->REdit, "http://example.com/");
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_FALSE(RegistryValueExists(kCommonKey, "browserpath"));
    EXPECT_TRUE(BrowserArguments(1500).empty());
    // Asked again next time.
    W->REditURLClick(W->REdit, "http://example.com/");
    EXPECT_EQ(CommonDialogs().size(), 2u);
}

TEST_F(EditorAddress, TheAddressReachesTheBrowserAsOneUnchangedArgument) {
    // A browser in a directory whose name has a space, and beside that
    // directory a program named after its first word, which an unquoted
    // path would start instead.
    std::string dir = DataFile("My Browser");
    ASSERT_TRUE(CreateDir(dir));
    std::string program = dir + "\\browse.exe";
    ASSERT_TRUE(CopyFileA(stub.c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(stub.c_str(), DataFile("My.exe").c_str(), FALSE));
    StartWithItem();
    AnswerBrowser(program);
    for (std::string address : {std::string("file://C:\\My Notes\\a b.txt"), std::string("http://x/\"quoted\" -x"),
                                std::string("file://share\\dir\\"), std::string("http://x/a\\\"b%20c")}) {
        W->REditURLClick(W->REdit, address);
        EXPECT_EQ(BrowserArguments(), std::vector<std::string>{address});
    }
    DeleteFileA(program.c_str());
    DeleteFileA(DataFile("My.exe").c_str());
}

// The prepared prefix names the default font, so the font box can show it.
TEST_F(EditorToolBar, TheDefaultFontShowsInTheFontAndSizeBoxes) {
    StartWithItem();
    TypeNote("plain words");
    Select(0, 5);
    W->REditSelectionChange(W->REdit);
    EXPECT_EQ(W->REdit->SelAttributes()->Name(), "MS Sans Serif");
    EXPECT_EQ(W->QclFontComboBox1->GetFontName(), "MS Sans Serif");
    EXPECT_EQ(W->QclFontSizeComboBox1->GetFontSize(), 8);
}

}  // namespace treskel::test

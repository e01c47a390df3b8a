// The note's Find dialog, through its options and driven with the
// keyboard and the mouse as a user drives it, and the caret's line and
// column in the status line.
#include <dlgs.h>

#include "EditorWindowTest.h"
#include "support/Snapshot.h"

namespace treskel::test {

// ---------------------------------------------------------------- find

class EditorFind : public EditorTest {
protected:
    void StartWithText(const std::string& text) {
        StartWithItem();
        TypeNote(text);
        Run(W->SearchText);
        dialog = W->FindDialog->Handle();
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        if (W != nullptr) W->FindDialog->CloseDialog();
        EditorTest::TearDown();
    }
    // Sets the dialog's options as the user does and presses "Find Next".
    void Find(const std::string& what, bool down, bool matchCase = false, bool wholeWord = false) {
        SetDlgItemTextA(dialog, edt1, what.c_str());
        Check(chx2, matchCase);
        Check(chx1, wholeWord);
        SendMessageA(GetDlgItem(dialog, down ? rad2 : rad1), BM_CLICK, 0, 0);
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        PumpMessages();
    }
    void Check(int box, bool on) {
        if ((IsDlgButtonChecked(dialog, box) == BST_CHECKED) != on)
            SendMessageA(GetDlgItem(dialog, box), BM_CLICK, 0, 0);
    }
    std::pair<int, int> Selection() { return {W->REdit->SelStart(), W->REdit->SelLength()}; }
    HWND dialog = nullptr;
};

TEST_F(EditorFind, TheDialogShowsBesideTheEditor) {
    StartWithText("x");
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(W->FindDialog->Position(), (TPoint{W->REdit->Left() + W->REdit->Width(), W->REdit->Top()}));
}

TEST_F(EditorFind, ForwardsFromTheStartThenOnFromEachMatch) {
    StartWithText("Alpha beta ALPHA alphabet beta");
    // Nothing selected: from the start, wherever the caret is.
    Select(20, 0);
    Find("alpha", true);
    EXPECT_EQ(Selection(), std::make_pair(0, 5));
    Find("alpha", true);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Find("alpha", true);
    EXPECT_EQ(Selection(), std::make_pair(17, 5));
    EXPECT_TRUE(MessageBoxes().empty());
    // No more: the selection stays, and the user is told.
    Find("alpha", true);
    EXPECT_EQ(Selection(), std::make_pair(17, 5));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "\"alpha\" was not found.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Find");
}

TEST_F(EditorFind, MatchCaseAndWholeWord) {
    StartWithText("Alpha beta ALPHA alphabet beta");
    Select(0, 0);
    Find("ALPHA", true, true);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Select(0, 0);
    Find("alpha", true, true);
    EXPECT_EQ(Selection(), std::make_pair(17, 5));
    Select(0, 0);
    Find("alpha", true, false, true);
    EXPECT_EQ(Selection(), std::make_pair(0, 5));
    Find("alpha", true, false, true);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Find("alpha", true, false, true);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Select(0, 0);
    Find("alpha", true, true, true);
    EXPECT_EQ(Selection(), std::make_pair(0, 0));
}

TEST_F(EditorFind, BackwardsMovesOnFromEachMatch) {
    StartWithText("Alpha beta ALPHA alphabet beta");
    // Nothing selected: the whole note, from its end.
    Select(3, 0);
    Find("beta", false);
    EXPECT_EQ(Selection(), std::make_pair(26, 4));
    Find("beta", false);
    EXPECT_EQ(Selection(), std::make_pair(6, 4));
    Find("beta", false);
    EXPECT_EQ(Selection(), std::make_pair(6, 4));

    Select(17, 5);
    Find("alpha", false);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Find("alpha", false, true);
    EXPECT_EQ(Selection(), std::make_pair(11, 5));
    Find("alpha", false, false, true);
    EXPECT_EQ(Selection(), std::make_pair(0, 5));
}

TEST_F(EditorFind, FindsNothingInTheHiddenEditorOfALockedItem) {
    StartWithText("first note");
    TTreeNode* locked = AddItem("Locked");
    Record(locked)->Locked = 1;
    SelectItem(locked);
    ASSERT_FALSE(W->REdit->Visible());
    Select(0, 0);
    Find("note", true);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_EQ(Selection(), std::make_pair(0, 0));
}

// ---------------------------------------------------------------- driven by the user

class FindAndCaret : public EditorFind {
protected:
    // Where a character of the note stands in the editor's window.
    TPoint CharPos(int at) {
        POINTL p{0, 0};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), at);
        return {p.x, p.y};
    }
    // Pixels in the selection's colour over `length` characters from `start`.
    int Highlighted(int start, int length) {
        PumpMessages();
        const TPoint from = CharPos(start), to = CharPos(start + length);
        const Snapshot shot = OnScreen(Edit());
        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        return shot.Count({from.x, from.y + 2, to.x, from.y + 10}, [&](COLORREF c) { return c == highlight; });
    }
};

TEST_F(FindAndCaret, EnterInTheFindDialogFindsTheNextMatchAndNeverTouchesTheNote) {
    StartWithItem();
    const std::string note = "one two idea three idea four idea five";
    MouseClickAt(Edit(), {5, 5});
    TypeIntoFocus(note);
    ASSERT_EQ(NoteText(), note);

    MouseClickTool("ToolButton10");
    dialog = W->FindDialog->Handle();
    ASSERT_NE(dialog, nullptr);
    const HWND findWhat = GetDlgItem(dialog, edt1);
    ASSERT_EQ(GetFocus(), findWhat);
    TypeIntoFocus("idea");
    for (int match : {8, 19, 29}) {
        TapKey(VK_RETURN);
        EXPECT_EQ(NoteText(), note) << "Enter before the match at " << match;
        EXPECT_EQ(Selection(), std::make_pair(match, 4));
        // The dialog keeps the focus; the editor shows what was found.
        EXPECT_EQ(GetFocus(), findWhat);
        EXPECT_GT(Highlighted(match, 4), 20) << "the match at " << match << " does not show selected";
        EXPECT_EQ(Status(), "Line: 0 Col: " + IntToStr(match + 4));
    }
    // None after the last: the user is told, and the dialog keeps the focus.
    TapKey(VK_RETURN);
    EXPECT_EQ(Selection(), std::make_pair(29, 4));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "\"idea\" was not found.");
    EXPECT_EQ(GetFocus(), findWhat);
    EXPECT_EQ(NoteText(), note);

    // Closed, the dialog hands the focus to the editor, with the match
    // still selected.
    TapKey(VK_ESCAPE);
    EXPECT_EQ(W->FindDialog->Handle(), nullptr);
    EXPECT_EQ(GetFocus(), Edit());
    EXPECT_EQ(Selection(), std::make_pair(29, 4));
    EXPECT_EQ(NoteText(), note);
}

TEST_F(FindAndCaret, TheStatusLineShowsTheCaretAfterEveryKeyClickAndCommand) {
    StartWithItem();
    TTreeNode* empty = AddItem("Empty");
    MouseClickAt(Edit(), {5, 5});
    TypeIntoFocus("alpha beta");
    TapKey(VK_RETURN);
    TypeIntoFocus("gamma");
    TapKey(VK_RETURN);
    TypeIntoFocus("delta epsilon");
    EXPECT_EQ(Status(), "Line: 2 Col: 13");

    // Arrow keys and Home move the caret without a character typed.
    TapKey(VK_UP);
    EXPECT_EQ(Status(), "Line: 1 Col: 5");
    TapKey(VK_HOME);
    EXPECT_EQ(Status(), "Line: 1 Col: 0");
    TapKey(VK_RIGHT);
    TapKey(VK_RIGHT);
    EXPECT_EQ(Status(), "Line: 1 Col: 2");
    // A selection made with Shift has the caret at the end that moves.
    TapKeyWith(VK_SHIFT, VK_END);
    EXPECT_EQ(Status(), "Line: 1 Col: 5");
    TapKeyWith(VK_SHIFT, VK_LEFT);
    EXPECT_EQ(Status(), "Line: 1 Col: 4");
    // Up goes to the place straight above, which the letters' widths set.
    TapKeyWith(VK_SHIFT, VK_UP);
    const auto [start, length] = Selection();
    EXPECT_LT(start, 10);
    EXPECT_EQ(start + length, 13);
    EXPECT_EQ(Status(), "Line: 0 Col: " + IntToStr(start));

    // A click puts the caret where it lands.
    const TPoint third = CharPos(17 + 3);
    MouseClickAt(Edit(), {third.x + 1, third.y + 4});
    ASSERT_EQ(Selection(), std::make_pair(20, 0));
    EXPECT_EQ(Status(), "Line: 2 Col: 3");

    // Select All leaves the caret at the end of the note, and so does a
    // font name typed into the font box and taken with Enter.
    ChooseFromEditorMenu(dynamic_cast<TMenuItem*>(W->FindComponent("SelectAll1")));
    EXPECT_EQ(Status(), "Line: 2 Col: 13");
    const HWND fontBox = W->QclFontComboBox1->Handle();
    const HWND fontEdit = GetWindow(fontBox, GW_CHILD);
    MouseClickAt(fontEdit != nullptr ? fontEdit : fontBox, {5, 5});
    TapKey(VK_HOME);
    TapKeyWith(VK_SHIFT, VK_END);
    TypeIntoFocus("arial");
    TapKey(VK_RETURN);
    EXPECT_EQ(Status(), "Line: 2 Col: 13");

    // Another note shows where its caret stands: an empty one at the start.
    ClickNode(empty);
    EXPECT_EQ(NoteText(), "");
    EXPECT_EQ(Status(), "Line: 0 Col: 0");
    ClickNode(item);
    EXPECT_EQ(Status(), "Line: 0 Col: 0");
    MouseClickAt(Edit(), {5, 5});
    TapKeyWith(VK_CONTROL, VK_END);
    EXPECT_EQ(Status(), "Line: 2 Col: 13");
}

}  // namespace treskel::test

// The main window's tree: notes follow the selection, captions are edited
// in place, items are drawn by colour and style, moved by drag and drop,
// scrolled by the speed buttons, and the tree font is chosen and kept.
#include "MainWindowTest.h"

#include <cstdlib>
#include <cstring>

#include "store/NoteFile.h"
#include "store/TreskelArchive.h"
#include "foundation/qclnonvS.h"
#include "platform/FileSys.h"
#include "support/Snapshot.h"

namespace treskel::test {

class TreeTest : public MainWindowTest {
protected:
    void Open() {
        StartWindow();
        NewTreskel("Tree");
    }
    // An item as the item commands make one, without their prompts.
    TTreeNode* AddItem(const std::string& caption, TTreeNode* parent = nullptr) {
        TTreeNodes* items = W->TreeView->Items();
        TTreeNode* n = parent != nullptr ? items->AddChild(parent, caption) : items->Add(nullptr, caption);
        AsItem(n)->SetData(W->NewItemRecord(false, NewItemId(W->ItemTree(), W->Notes)));
        AsItem(n)->SetImageIndex(ImgItem);
        n->SetStateIndex(1);
        if (parent != nullptr) AsItem(parent)->SetImageIndex(IsLink(parent) ? ImgLinkParent : ImgParent);
        W->EnableByTag(TagNeedsItem);
        return n;
    }
    TTreeNode* AddLink(TTreeNode* origin, TTreeNode* parent = nullptr) {
        return PlaceLink(origin, origin->Text(), parent);
    }
    void Lock(TTreeNode* n) {
        SetItemPassword(AsItem(n), "secret");
        AsItem(n)->SetImageIndex(ImgLocked);
    }
    bool IsLink(TTreeNode* n) { return Record(n)->IsLink != 0; }
    void Select(TTreeNode* n) {
        W->TreeView->SetSelected(n);
        PumpMessages();
    }
    // Puts text into the note of the selected item as typing does (which
    // marks the note modified when the editor is entered).
    void Type(const std::string& text) {
        W->REdit->SetText(text);
        W->NoteModified = true;
    }
    std::string Shown() {
        std::string t = NoteText();
        while (!t.empty() && (t.back() == '\r' || t.back() == '\n')) t.pop_back();
        return t;
    }
    std::string NotePath(TTreeNode* n) { return LooseNote(Record(n)->Id); }
    // The RTF stored for the item, empty when it has no note file.
    std::string Stored(TTreeNode* n) {
        TMemoryStream rtf;
        if (!LoadNoteFile(NotePath(n), rtf, *W->lh5)) return "";
        return rtf.AsString();
    }
    void WriteNote(TTreeNode* n, const std::string& text) {
        std::string rtf = "{\\rtf1\\ansi " + text + "\\par}";
        TMemoryStream in;
        in.WriteBuffer(rtf.data(), static_cast<int64_t>(rtf.size()));
        in.SetPosition(0);
        SaveNoteFile(NotePath(n), 0, n->Text(), in, *W->lh5);
    }
    // The tree as captions: "A(A1,A2),B".
    std::string Shape() {
        std::string s;
        std::function<void(TTreeNode*)> add = [&](TTreeNode* n) {
            s += n->Text();
            if (n->Count() == 0) return;
            s += "(";
            for (int i = 0; i < n->Count(); ++i) {
                if (i > 0) s += ",";
                add(n->Item(i));
            }
            s += ")";
        };
        TTreeNodes* items = W->TreeView->Items();
        for (int i = 0; i < items->TopLevelCount(); ++i) {
            if (i > 0) s += ",";
            add(items->TopLevelItem(i));
        }
        return s;
    }
    // Drags a node with the mouse to a point of the tree's client area.
    void DragTo(TTreeNode* from, TPoint to) {
        TPoint p = Center(from->DisplayRect(true));
        PostMessageA(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x + 2, p.y + 12));
        PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        PostMessageA(Tree(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        PumpMessages();
    }
    void DragOnto(TTreeNode* from, TTreeNode* onto) { DragTo(from, Center(onto->DisplayRect(true))); }
    // A point below the last item.
    TPoint EmptySpace() {
        TTreeNode* last = nullptr;
        for (TTreeNode* n = W->TreeView->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
            if (n->IsVisible()) last = n;
        TRect r = last->DisplayRect(false);
        EXPECT_LT(r.Bottom + 30, W->TreeView->ClientHeight());
        return {20, r.Bottom + 25};
    }
    std::vector<std::string> Boxes() {
        std::vector<std::string> v;
        for (const BoxRecord& b : MessageBoxes()) v.push_back(b.caption + ": " + b.text);
        return v;
    }
    // Every component of the window that carries the Tag, enabled or not.
    void ExpectTag700(bool enabled) {
        int seen = 0;
        for (int i = 0; i < W->ComponentCount(); ++i) {
            TComponent* c = W->Components(i);
            if (c->Tag() != TagNeedsItem) continue;
            if (auto* a = dynamic_cast<TCustomAction*>(c)) {
                ++seen;
                EXPECT_EQ(a->Enabled(), enabled) << a->Name();
            } else if (auto* ctl = dynamic_cast<TControl*>(c)) {
                ++seen;
                EXPECT_EQ(ctl->Enabled(), enabled) << ctl->Name();
            }
        }
        // 13 actions; ToolBar3, Panel2, ToolBar2 and the editor's buttons.
        EXPECT_GE(seen, 13 + 3 + 9);
    }
};

// ---------------------------------------------------------------- selection

using TreeSelection = TreeTest;

TEST_F(TreeSelection, LeavingAnItemSavesItsNoteAndTheNewItemsNoteIsShown) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Select(a);
    Type("typed into alpha");
    ClickNode(b);
    EXPECT_EQ(W->TreeView->Selected(), b);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_NE(Stored(a).find("typed into alpha"), std::string::npos);
    EXPECT_NE(Record(a)->Crc, -1);
    EXPECT_EQ(Shown(), "");  // Beta has no note yet
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Beta");
    ClickNode(a);
    EXPECT_EQ(Shown(), "typed into alpha");
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Alpha");
    // Unmodified, nothing is written.
    EXPECT_FALSE(FileExists(NotePath(b)));
}

TEST_F(TreeSelection, ANoteThatCannotBeSavedKeepsTheUserOnIt) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Select(a);
    // A directory where the note file should be: the save fails.
    ASSERT_TRUE(ForceDirectories(NotePath(a)));
    Type("do not lose me");
    ClickNode(b);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_NE(MessageBoxes()[0].text.find("The note of 'Alpha' could not be saved."), std::string::npos);
    EXPECT_EQ(W->TreeView->Selected(), a);
    EXPECT_EQ(WindowSelection(), a->ItemId());
    EXPECT_EQ(Shown(), "do not lose me");
    EXPECT_TRUE(W->NoteModified);
    // The same from code.
    W->TreeView->SetSelected(b);
    EXPECT_EQ(W->TreeView->Selected(), a);
    EXPECT_EQ(MessageBoxes().size(), 2u);
    // Once the way is clear the note is saved and the selection moves.
    ASSERT_TRUE(RemoveDir(NotePath(a)));
    ClickNode(b);
    EXPECT_EQ(W->TreeView->Selected(), b);
    EXPECT_NE(Stored(a).find("do not lose me"), std::string::npos);
    EXPECT_EQ(MessageBoxes().size(), 2u);
}

TEST_F(TreeSelection, APendingChangeOfARemovedItemIsNeverWrittenUnderAnother) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    TTreeNode* c = AddItem("Gamma");
    Select(a);
    Type("belongs to alpha only");
    int32_t idA = Record(a)->Id;
    // As the removal does: the record goes, then the node.
    AsItem(a)->SetData(nullptr);
    W->TreeView->Items()->Delete(a);
    PumpMessages();
    EXPECT_EQ(W->TreeView->Selected(), b);
    EXPECT_FALSE(W->NoteModified);
    Select(c);
    EXPECT_FALSE(FileExists(LooseNote(idA)));
    EXPECT_FALSE(FileExists(NotePath(b)));
    // And with the record still there, the note is not written either.
    Select(b);
    Type("belongs to beta only");
    W->TreeView->Items()->Delete(b);
    PumpMessages();
    EXPECT_FALSE(W->NoteModified);
    EXPECT_FALSE(FileExists(NotePath(c)));
}

TEST_F(TreeSelection, TheExpandButtonAndTheLinkMenuFollowTheSelection) {
    Open();
    TTreeNode* p = AddItem("Parent");
    TTreeNode* child = AddItem("Child", p);
    TTreeNode* link = AddLink(child);
    p->Expand(false);
    Select(p);
    EXPECT_TRUE(W->ExpColButton->Enabled());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 5);
    EXPECT_FALSE(W->GotoLinkOrigin1->Enabled());
    Select(link);
    EXPECT_TRUE(W->GotoLinkOrigin1->Enabled());
    EXPECT_FALSE(W->ExpColButton->Enabled());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);
    p->Collapse(false);
    Select(p);
    EXPECT_TRUE(W->ExpColButton->Enabled());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);
    EXPECT_FALSE(W->GotoLinkOrigin1->Enabled());
    // A link shows its origin's note.
    Select(child);
    Type("the origin's note");
    Select(link);
    EXPECT_EQ(Shown(), "the origin's note");
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Child");
}

TEST_F(TreeSelection, ReleasingAnArrowKeySavesWhatWasTypedAndShowsTheNoteFromItsFile) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Select(b);
    W->TreeView->SetFocus();
    Type("typed, then an arrow key");
    // Down on the last item: no change of selection, the note is read again.
    PressKey(Tree(), VK_DOWN);
    EXPECT_EQ(W->TreeView->Selected(), b);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_NE(Stored(b).find("typed, then an arrow key"), std::string::npos);
    EXPECT_EQ(Shown(), "typed, then an arrow key");
    // Unchanged since it was read, the note is not read again.
    WriteNote(b, "changed on disk");
    PressKey(Tree(), VK_RIGHT);
    EXPECT_EQ(Shown(), "typed, then an arrow key");
    // Nor by other keys.
    PressKey(Tree(), VK_SHIFT);
    EXPECT_EQ(Shown(), "typed, then an arrow key");
    // Up moves and shows the other item.
    WriteNote(a, "alpha's note");
    PressKey(Tree(), VK_UP);
    EXPECT_EQ(W->TreeView->Selected(), a);
    EXPECT_EQ(Shown(), "alpha's note");
}

TEST_F(TreeSelection, AnArrowKeyNeverThrowsAwayTextThatCannotBeSaved) {
    Open();
    AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Select(b);
    W->TreeView->SetFocus();
    ASSERT_TRUE(ForceDirectories(NotePath(b)));
    Type("still here");
    PressKey(Tree(), VK_DOWN);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(Shown(), "still here");
    EXPECT_TRUE(W->NoteModified);
    RemoveDir(NotePath(b));
}

// ---------------------------------------------------------------- editing, expansion, keys

using TreeEditing = TreeTest;

TEST_F(TreeEditing, LockedItemsAndLinksAreNotEditedInPlace) {
    Open();
    TTreeNode* plain = AddItem("Plain");
    TTreeNode* locked = AddItem("Locked");
    TTreeNode* link = AddLink(plain);
    Lock(locked);
    EXPECT_FALSE(locked->EditText());
    EXPECT_FALSE(link->EditText());
    EXPECT_TRUE(MessageBoxes().empty());  // refused silently
    EXPECT_TRUE(plain->EditText());
    EXPECT_TRUE(W->TreeView->IsEditing());
    plain->EndEdit(true);
}

TEST_F(TreeEditing, RenamingAnItemRenamesItsLinks) {
    Open();
    TTreeNode* origin = AddItem("Origin");
    TTreeNode* other = AddItem("Other");
    TTreeNode* topLink = AddLink(origin);
    TTreeNode* deepLink = AddLink(origin, other);
    TTreeNode* otherLink = AddLink(other);
    ASSERT_TRUE(origin->EditText());
    HWND edit = reinterpret_cast<HWND>(SendMessageA(Tree(), TVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "Renamed");
    origin->EndEdit(false);
    PumpMessages();
    EXPECT_EQ(origin->Text(), "Renamed");
    EXPECT_EQ(topLink->Text(), "Renamed");
    EXPECT_EQ(deepLink->Text(), "Renamed");
    EXPECT_EQ(otherLink->Text(), "Other");
    EXPECT_EQ(other->Text(), "Other");
}

TEST_F(TreeEditing, ALockedItemDoesNotOpen) {
    Open();
    TTreeNode* locked = AddItem("Locked");
    AddItem("Inside", locked);
    TTreeNode* open = AddItem("Open");
    AddItem("Inside too", open);
    Lock(locked);
    locked->Expand(false);
    EXPECT_FALSE(locked->Expanded());
    // Nor from the keyboard.
    Select(locked);
    W->TreeView->SetFocus();
    PressKey(Tree(), VK_RIGHT);
    EXPECT_FALSE(locked->Expanded());
    EXPECT_EQ(SendMessageA(Tree(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(locked->ItemId()), TVIS_EXPANDED) &
                  TVIS_EXPANDED,
              0);
    EXPECT_TRUE(MessageBoxes().empty());
    Select(open);
    PressKey(Tree(), VK_RIGHT);
    EXPECT_TRUE(open->Expanded());
}

TEST_F(TreeEditing, EnterGoesToTheNoteOrAsksForThePasswordAndF2EditsTheCaption) {
    Open();
    TTreeNode* plain = AddItem("Plain");
    TTreeNode* locked = AddItem("Locked");
    Lock(locked);
    int lockRuns = 0;
    W->LockItem->OnExecute = [&](TObject*) { ++lockRuns; };
    Select(plain);
    W->TreeView->SetFocus();
    PumpMessages();
    PressKey(Tree(), VK_RETURN);
    EXPECT_EQ(GetFocus(), W->REdit->Handle());
    EXPECT_EQ(lockRuns, 0);
    Select(locked);
    EXPECT_FALSE(W->REdit->Visible());
    W->TreeView->SetFocus();
    PressKey(Tree(), VK_RETURN);
    EXPECT_EQ(lockRuns, 1);
    EXPECT_EQ(GetFocus(), Tree());
    Select(plain);
    PressKey(Tree(), VK_F2);
    EXPECT_TRUE(W->TreeView->IsEditing());
    plain->EndEdit(true);
}

TEST_F(TreeEditing, EnteringTheTreeSwitchesTheItemCommandsByWhetherItHoldsItems) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    Select(a);
    auto enterTree = [&] {
        W->TabControl1->SetFocus();
        PumpMessages();
        ASSERT_EQ(GetFocus(), W->TabControl1->Handle());
        W->TreeView->SetFocus();
        PumpMessages();
        ASSERT_EQ(GetFocus(), Tree());
    };
    W->DisableByTag(TagNeedsItem);
    enterTree();
    ExpectTag700(true);
    // An empty tree switches them off when it is entered.
    W->TreeView->Items()->Delete(a);
    W->EnableByTag(TagNeedsItem);
    enterTree();
    ExpectTag700(false);
}

TEST_F(TreeEditing, TheMainToolBarHandsTheFocusToTheTree) {
    Open();
    Select(AddItem("Alpha"));
    W->REdit->SetFocus();
    PumpMessages();
    ASSERT_TRUE(W->ToolBar1->OnEnter);
    W->ToolBar1->OnEnter(W->ToolBar1);
    PumpMessages();
    EXPECT_EQ(GetFocus(), Tree());
}

// ---------------------------------------------------------------- drawing and item style

using TreeDrawing = TreeTest;

TEST_F(TreeDrawing, TheCanvasTakesTheColourFromTheTableAndTheStyleBits) {
    Open();
    TTreeNode* n = AddItem("Item");
    bool def = true;
    TFont* font = W->TreeView->Canvas()->Font();
    for (int i = 0; i < 16; ++i) {
        Record(n)->ColourIndex = static_cast<uint8_t>(i);
        W->TreeViewCustomDrawItem(W->TreeView, n, {}, def);
        EXPECT_EQ(font->Color(), W->ColorTable[static_cast<size_t>(i)]) << i;
    }
    EXPECT_EQ(W->ColorTable[9], static_cast<TColor>(0x0000FF));
    EXPECT_EQ(W->ColorTable[12], static_cast<TColor>(0xFF0000));
    for (int bad : {16, 200, 255}) {
        W->TreeView->Canvas()->Font()->SetColor(clRed);
        Record(n)->ColourIndex = static_cast<uint8_t>(bad);
        W->TreeViewCustomDrawItem(W->TreeView, n, {}, def);
        EXPECT_EQ(font->Color(), clBlack) << bad;
    }
    Record(n)->Style = 15;
    W->TreeViewCustomDrawItem(W->TreeView, n, {}, def);
    EXPECT_EQ(font->Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic, TFontStyle::fsUnderline,
                                          TFontStyle::fsStrikeOut}));
    Record(n)->Style = 2;
    W->TreeViewCustomDrawItem(W->TreeView, n, {}, def);
    EXPECT_EQ(font->Style(), TFontStyles{TFontStyle::fsItalic});
    EXPECT_TRUE(def);
}

TEST_F(TreeDrawing, CaptionsAreDrawnInTheirColourAndStyle) {
    Open();
    TTreeNode* red = AddItem("Red caption");
    TTreeNode* blue = AddItem("Blue caption");
    TTreeNode* plain = AddItem("Sample text");
    TTreeNode* styled = AddItem("Sample text");
    TTreeNode* wrong = AddItem("Out of table");
    TTreeNode* selected = AddItem("Selected");
    Record(red)->ColourIndex = 9;
    Record(blue)->ColourIndex = 12;
    Record(styled)->Style = 15;
    Record(wrong)->ColourIndex = 77;
    Select(selected);
    W->TreeView->Invalidate();
    PumpMessages();
    PrintClient(Tree());  // the first painting measures the captions in their fonts
    Snapshot shot = PrintClient(Tree());
    EXPECT_GT(shot.Count(red->DisplayRect(true), Reddish), 10);
    EXPECT_EQ(shot.Count(red->DisplayRect(true), Bluish), 0);
    EXPECT_GT(shot.Count(blue->DisplayRect(true), Bluish), 10);
    EXPECT_EQ(shot.Count(plain->DisplayRect(true), Reddish), 0);
    EXPECT_GT(shot.Count(wrong->DisplayRect(true), Dark), 10);
    EXPECT_EQ(shot.Count(wrong->DisplayRect(true), [](COLORREF c) { return Reddish(c) || Bluish(c); }), 0);
    // Bold and italic make the caption wider.
    TRect rs = styled->DisplayRect(true), rp = plain->DisplayRect(true);
    EXPECT_GT(rs.Width(), rp.Width());
    // Underline and strikeout are lines across the caption: one low, one
    // in the middle.  A plain caption has no such line.
    auto lines = [&](const TRect& r) {
        std::vector<int> rows;
        for (int y = r.Top; y < r.Bottom; ++y)
            if (shot.LongestRun(r, y, Dark) >= (r.Width() - 4) * 8 / 10) rows.push_back(y - r.Top);
        return rows;
    };
    std::vector<int> styledLines = lines(rs);
    EXPECT_TRUE(lines(rp).empty());
    ASSERT_FALSE(styledLines.empty());
    int h = rs.Height();
    bool middle = false, low = false;
    for (int y : styledLines) {
        if (y > h / 4 && y < h * 3 / 4) middle = true;
        if (y >= h * 3 / 4 - 1) low = true;
    }
    EXPECT_TRUE(middle) << "strikeout";
    EXPECT_TRUE(low) << "underline";
}

TEST_F(TreeDrawing, AClickFillsTheStyleToolBarFromTheItem) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Record(b)->ColourIndex = 5;
    Record(b)->Style = 5;  // bold, underline
    W->ToolBar3->SetEnabled(false);
    ClickNode(b);
    EXPECT_EQ(W->ColorCombo->ItemIndex(), 5);
    EXPECT_TRUE(W->ToolBar3->Enabled());
    EXPECT_TRUE(W->ToolButton14->Down());
    EXPECT_FALSE(W->ToolButton19->Down());
    EXPECT_TRUE(W->ToolButton20->Down());
    EXPECT_FALSE(W->ToolButton22->Down());
    for (TToolButton* t : {W->ToolButton14, W->ToolButton19, W->ToolButton20, W->ToolButton22})
        EXPECT_TRUE(t->Enabled());
    ClickNode(a);
    EXPECT_EQ(W->ColorCombo->ItemIndex(), 0);
    EXPECT_FALSE(W->ToolButton14->Down());
    EXPECT_FALSE(W->ToolButton20->Down());
    EXPECT_EQ(W->ToolButton20->Hint(), "Item Underling");
}

TEST_F(TreeDrawing, TheStyleButtonsToggleBitsAndTheColourComboSetsTheColour) {
    Open();
    TTreeNode* a = AddItem("A colourful caption");
    AddItem("Other");
    Record(a)->Style = 1;
    ClickNode(a);
    auto clickButton = [&](TToolButton* t) {
        ClickAt(W->ToolBar3->Handle(), t->Left() + t->Width() / 2, t->Top() + t->Height() / 2);
        PumpMessages();
    };
    clickButton(W->ToolButton19);
    EXPECT_EQ(Record(a)->Style, 3);
    EXPECT_TRUE(W->ToolButton19->Down());
    clickButton(W->ToolButton22);
    EXPECT_EQ(Record(a)->Style, 11);
    clickButton(W->ToolButton14);
    EXPECT_EQ(Record(a)->Style, 10);
    clickButton(W->ToolButton19);
    EXPECT_EQ(Record(a)->Style, 8);
    EXPECT_FALSE(W->ToolButton19->Down());
    // The combo's entries are the table's colours in its order.
    for (int i = 0; i < 16; ++i) {
        W->ColorCombo->SetItemIndex(i);
        EXPECT_EQ(W->ColorCombo->GetColorValue(), W->ColorTable[static_cast<size_t>(i)]) << i;
    }
    // A choice in the combo reaches the item and its drawing.
    HWND combo = W->ColorCombo->Handle();
    SendMessageA(combo, CB_SETCURSEL, 12, 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    PumpMessages();
    EXPECT_EQ(Record(a)->ColourIndex, 12);
    Record(a)->Style = 0;
    W->TreeView->SetSelected(W->TreeView->Items()->TopLevelItem(1));
    PumpMessages();
    PrintClient(Tree());
    Snapshot shot = PrintClient(Tree());
    EXPECT_GT(shot.Count(a->DisplayRect(true), Bluish), 10);
}

TEST_F(TreeDrawing, TheFontSizeComboListsTheTreeFontAndSetsTheItemsSize) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    Select(a);
    W->FontSizeCombo->OnEnter(W->FontSizeCombo);
    EXPECT_EQ(W->FontSizeCombo->FontName(), W->TreeView->Font()->Name());
    W->FontSizeCombo->SetFontSize(14);
    EXPECT_EQ(Record(a)->FontSize, 14);
}

TEST_F(TreeDrawing, WithoutASelectionTheStyleHandlersDoNothing) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    W->TreeView->SetSelected(nullptr);
    W->TreeViewClick(W->TreeView);
    W->StyleChange(W->ToolButton14);
    W->ColorCombo->SetItemIndex(3);
    W->ColorComboChange(W->ColorCombo);
    W->FontSizeComboChange(W->FontSizeCombo);
    W->TreeViewChange(W->TreeView, nullptr);
    EXPECT_EQ(Record(a)->Style, 0);
    EXPECT_EQ(Record(a)->ColourIndex, 0);
}

// ---------------------------------------------------------------- drag and drop

using TreeDragDrop = TreeTest;

TEST_F(TreeDragDrop, AnItemDroppedOnAnotherBecomesItsFirstSubItemWithTheSameRecord) {
    Open();
    TTreeNode* a = AddItem("A");
    TTreeNode* a1 = AddItem("A1", a);
    TTreeNode* b = AddItem("B");
    AddItem("B1", b);
    a->Expand(false);
    TItemData* record = Record(a1);
    int32_t id = Record(a1)->Id;
    Select(a1);
    Type("saved before the move");
    DragOnto(a1, b);
    EXPECT_EQ(Shape(), "A,B(A1,B1)");
    TTreeNode* moved = Node("A1");
    EXPECT_EQ(Record(moved), record);
    EXPECT_EQ(Record(moved)->Id, id);
    EXPECT_EQ(moved->StateIndex(), 1);
    EXPECT_EQ(W->TreeView->Selected(), moved);
    EXPECT_EQ(WindowSelection(), moved->ItemId());
    EXPECT_TRUE(b->Expanded());
    EXPECT_EQ(b->ImageIndex(), ImgParent);
    EXPECT_EQ(b->SelectedIndex(), ImgParent);
    EXPECT_EQ(moved->ImageIndex(), ImgItem);
    EXPECT_EQ(a->ImageIndex(), ImgItem);  // its only sub-item left
    EXPECT_EQ(a->SelectedIndex(), ImgItem);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_NE(Stored(moved).find("saved before the move"), std::string::npos);
    EXPECT_EQ(Shown(), "saved before the move");
    EXPECT_TRUE(MessageBoxes().empty());
    // The drag carried the window's drag object, with the line cursor.
    ASSERT_NE(W->DragObject, nullptr);
    EXPECT_EQ(W->TreeView->DragCursor(), crLineDrag);
    EXPECT_EQ(W->DragObject->GetDragCursor(true, 0, 0), crLineDrag);
    EXPECT_EQ(W->DragObject->GetDragCursor(false, 0, 0), crNoDrop);
}

TEST_F(TreeDragDrop, DroppingOnTheParentOnEmptySpaceAndOnAnOwnSubItem) {
    Open();
    TTreeNode* p = AddItem("P");
    AddItem("X", p);
    AddItem("Y", p);
    TTreeNode* z = AddItem("Z", p);
    AddItem("Q");
    p->Expand(false);
    // Onto its own parent: the first place among its siblings.
    DragOnto(z, p);
    EXPECT_EQ(Shape(), "P(Z,X,Y),Q");
    EXPECT_EQ(p->ImageIndex(), ImgParent);
    // Onto empty space: the last top item.
    DragTo(Node("X"), EmptySpace());
    EXPECT_EQ(Shape(), "P(Z,Y),Q,X");
    // Onto one of its own sub-items: nothing.
    DragOnto(p, Node("Y"));
    EXPECT_EQ(Shape(), "P(Z,Y),Q,X");
    // Onto itself: nothing.
    DragOnto(Node("Q"), Node("Q"));
    EXPECT_EQ(Shape(), "P(Z,Y),Q,X");
    EXPECT_TRUE(MessageBoxes().empty());
    // The last sub-items leave: the parent becomes a plain item.
    DragTo(Node("Z"), EmptySpace());
    DragTo(Node("Y"), EmptySpace());
    EXPECT_EQ(Shape(), "P,Q,X,Z,Y");
    EXPECT_EQ(Node("P")->ImageIndex(), ImgItem);
}

TEST_F(TreeDragDrop, SubItemsMoveAlongInOrderWithTheirRecordsImagesAndExpansion) {
    Open();
    TTreeNode* c = AddItem("C");
    TTreeNode* c1 = AddItem("C1", c);
    TTreeNode* c1a = AddItem("C1a", c1);
    TTreeNode* c2 = AddItem("C2", c);
    TTreeNode* l = AddLink(c2, c);  // a link with a sub-item
    TTreeNode* l1 = AddItem("L1", l);
    TTreeNode* b = AddItem("B");
    c->Expand(false);
    l->Expand(false);
    std::vector<TItemData*> records{Record(c), Record(c1), Record(c1a), Record(c2), Record(l), Record(l1)};
    EXPECT_EQ(l->ImageIndex(), ImgLinkParent);
    DragOnto(c, b);
    EXPECT_EQ(Shape(), "B(C(C1(C1a),C2,C2(L1)))");
    TTreeNode* nc = W->TreeView->Items()->TopLevelItem(0)->Item(0);
    std::vector<TItemData*> now{Record(nc), Record(nc->Item(0)), Record(nc->Item(0)->Item(0)),
                                Record(nc->Item(1)), Record(nc->Item(2)), Record(nc->Item(2)->Item(0))};
    EXPECT_EQ(now, records);
    EXPECT_TRUE(nc->Expanded());
    EXPECT_FALSE(nc->Item(0)->Expanded());
    EXPECT_TRUE(nc->Item(2)->Expanded());
    EXPECT_EQ(nc->ImageIndex(), ImgParent);
    EXPECT_EQ(nc->Item(0)->ImageIndex(), ImgParent);
    EXPECT_EQ(nc->Item(0)->Item(0)->ImageIndex(), ImgItem);
    EXPECT_EQ(nc->Item(1)->ImageIndex(), ImgItem);
    EXPECT_EQ(nc->Item(2)->ImageIndex(), ImgLinkParent);
    EXPECT_EQ(nc->Item(2)->SelectedIndex(), ImgLinkParent);
    EXPECT_EQ(nc->Item(2)->Item(0)->ImageIndex(), ImgItem);
    EXPECT_EQ(W->TreeView->Selected(), nc);
    EXPECT_EQ(W->TreeView->Items()->Count(), 7);
    // Each record is on exactly one node.
    int withRecords = 0;
    for (TTreeNode* n = W->TreeView->Items()->GetFirstNode(); n != nullptr; n = n->GetNext())
        if (Record(n) != nullptr) ++withRecords;
    EXPECT_EQ(withRecords, 7);
    // The move survives a restart.
    Restart();
    EXPECT_EQ(Shape(), "B(C(C1(C1a),C2,C2(L1)))");
}

TEST_F(TreeDragDrop, TheOnlySubItemOfALinkLeavingTurnsItIntoAPlainLink) {
    Open();
    TTreeNode* origin = AddItem("Origin");
    TTreeNode* link = AddLink(origin);
    TTreeNode* s = AddItem("S", link);
    TTreeNode* t = AddItem("T");
    link->Expand(false);
    ASSERT_EQ(link->ImageIndex(), ImgLinkParent);
    DragOnto(s, t);
    EXPECT_EQ(Shape(), "Origin,Origin,T(S)");
    EXPECT_EQ(link->ImageIndex(), ImgLink);
    EXPECT_EQ(link->SelectedIndex(), ImgLink);
    // A link receiving an item becomes a link with sub-items.
    DragOnto(Node("S"), link);
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);
    EXPECT_EQ(t->ImageIndex(), ImgItem);
}

TEST_F(TreeDragDrop, LockedItemsAreNotMovedAndReceiveNothing) {
    Open();
    TTreeNode* locked = AddItem("Locked");
    TTreeNode* holder = AddItem("Holder");
    TTreeNode* inner = AddItem("Inner", holder);
    TTreeNode* loose = AddItem("Loose");
    holder->Expand(false);
    Lock(locked);
    Lock(inner);
    std::string before = Shape();
    DragOnto(locked, loose);
    DragOnto(holder, loose);
    DragOnto(loose, locked);
    EXPECT_EQ(Shape(), before);
    const std::string moving =
        "Error: The item that you are trying to move, or one of its sub-items\n"
        "is locked.  It must be unlocked before it can be moved.";
    EXPECT_EQ(Boxes(), (std::vector<std::string>{moving, moving,
                                                 "Error: The item that you are trying to move to is locked."}));
}

TEST_F(TreeDragDrop, AnItemWhoseNoteCannotBeSavedStaysWhereItIs) {
    Open();
    TTreeNode* a = AddItem("A");
    TTreeNode* b = AddItem("B");
    Select(a);
    ASSERT_TRUE(ForceDirectories(NotePath(a)));
    Type("unsaved");
    DragOnto(a, b);
    EXPECT_EQ(Shape(), "A,B");
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(Shown(), "unsaved");
    EXPECT_TRUE(W->NoteModified);
    EXPECT_EQ(W->TreeView->Selected(), a);
    RemoveDir(NotePath(a));
}

// The mouse itself drags an item: the picture of its image and caption
// follows the pointer, held where the item was pressed, and leaves nothing
// behind once the item is dropped.  With TRESKEL_DRAG_SHOT set the drag
// stays a while for a screenshot taken from outside.
TEST_F(TreeDragDrop, ADraggedItemsPictureFollowsThePointerAndLeavesNoTrace) {
    Open();
    TTreeNode* alpha = AddItem("Alpha");
    AddItem("Beta");
    AddItem("Gamma");
    Select(alpha);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    UpdateWindow(Tree());
    const TRect text = alpha->DisplayRect(true);
    const TPoint from = W->TreeView->ClientToScreen(Center(text));
    const int width = W->TreeView->ClientWidth();
    const TPoint to = W->TreeView->ClientToScreen({width / 2, EmptySpace().y});
    // Where the caption is drawn when the pointer holds it where it was
    // pressed, and the band of the tree around it.
    const TRect caption = Bounds(to.x - text.Width() / 2 - 3, to.y - text.Height() / 2 - 2, text.Width() + 6,
                                 text.Height() + 4);
    const TPoint bandLeft = W->TreeView->ClientToScreen({2, 0});
    const TRect band = Bounds(bandLeft.x, to.y - text.Height(), width - 4, 2 * text.Height());
    // The item's image, left of its caption.
    const TRect image = Bounds(caption.Left - 20, caption.Top, 20, caption.Height());
    const COLORREF background = ColorToRGB(W->TreeView->Color());
    auto count = [](const TRect& r, const std::function<bool(COLORREF)>& match) {
        Snapshot s = ScreenArea(r);
        return s.Count(Rect(0, 0, s.width, s.height), match);
    };
    auto painted = [&](COLORREF c) { return c != background; };
    ASSERT_EQ(count(band, painted), 0);
    int inCaption = 0, inImage = 0;
    MouseDragAside drag({from.x, from.y}, {to.x, to.y}, [&] {
        for (int i = 0; i < 100 && inCaption < 20; ++i) {
            Sleep(50);
            inCaption = count(caption, Dark);
        }
        inImage = count(image, painted);
        if (std::getenv("TRESKEL_DRAG_SHOT") != nullptr) Sleep(8000);
    });
    ASSERT_TRUE(PumpUntil([&] { return drag.Done(); }, 20000));
    PumpMessages();
    EXPECT_GT(inCaption, 20);
    EXPECT_GT(inImage, 20);
    // Dropped on empty space: the last top item, and the screen is clean.
    EXPECT_EQ(Shape(), "Beta,Gamma,Alpha");
    UpdateWindow(Tree());
    EXPECT_EQ(count(band, painted), 0);
}

TEST_F(TreeDragDrop, DragOverAcceptsOnlyTheDragObjectAndFramesTheItemUnderThePointer) {
    Open();
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    Select(a);
    PumpMessages();
    UpdateWindow(Tree());
    TDragObject object;
    TPoint p = Center(b->DisplayRect(true));
    bool accept = false;
    W->TreeViewDragOver(W->TreeView, W->TreeView, p.x, p.y, TDragState::dsDragMove, accept);
    EXPECT_FALSE(accept);
    W->TreeViewDragOver(W->TreeView, &object, p.x, p.y, TDragState::dsDragMove, accept);
    EXPECT_TRUE(accept);
    TRect r = b->DisplayRect(true);
    WindowDC dc(Tree());
    EXPECT_EQ(GetPixel(dc.Get(), r.Left, r.Top), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetPixel(dc.Get(), r.Right - 1, r.Bottom - 1), GetSysColor(COLOR_HIGHLIGHT));
}

// ---------------------------------------------------------------- scroll buttons

using TreeScrolling = TreeTest;

TEST_F(TreeScrolling, TheSpeedButtonsPageAndDuringADragStepTheTree) {
    Open();
    for (int i = 0; i < 80; ++i) AddItem("Item " + std::to_string(i));
    Select(W->TreeView->Items()->GetFirstNode());
    PumpMessages();
    auto top = [&] { return W->TreeView->TopItem()->AbsoluteIndex(); };
    ASSERT_EQ(top(), 0);
    int page = static_cast<int>(SendMessageA(Tree(), TVM_GETVISIBLECOUNT, 0, 0));
    ASSERT_GT(page, 3);
    // A click on the lower button pages down, on the upper one up.
    TWuSpeedButton* down = W->SpeedDown;
    ClickAt(W->Panel5->Handle(), down->Left() + down->Width() / 2, down->Top() + down->Height() / 2);
    PumpMessages();
    EXPECT_EQ(top(), page);
    TWuSpeedButton* up = W->SpeedUp;
    ClickAt(W->Panel4->Handle(), up->Left() + up->Width() / 2, up->Top() + up->Height() / 2);
    PumpMessages();
    EXPECT_EQ(top(), 0);
    // A dragged item steps the tree a line at a time.
    TDragObject object;
    bool accept = true;
    W->SpeedDownDragOver(down, &object, 1, 1, TDragState::dsDragMove, accept);
    W->SpeedDownDragOver(down, &object, 1, 2, TDragState::dsDragMove, accept);
    EXPECT_EQ(top(), 2);
    W->SpeedUpDragOver(up, &object, 1, 1, TDragState::dsDragMove, accept);
    EXPECT_EQ(top(), 1);
    // Something else dragged over them does not scroll.
    W->SpeedDownDragOver(down, W->TreeView, 1, 1, TDragState::dsDragMove, accept);
    EXPECT_EQ(top(), 1);
    // A real drag of an item over the lower button.
    W->SpeedUpClick(up);
    ASSERT_EQ(top(), 0);
    TTreeNode* first = W->TreeView->Items()->GetFirstNode();
    TPoint from = Center(first->DisplayRect(true));
    POINT target{down->Left() + down->Width() / 2, down->Top() + down->Height() / 2};
    ClientToScreen(W->Panel5->Handle(), &target);
    ScreenToClient(Tree(), &target);
    PostMessageA(Tree(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 2, from.y + 12));
    PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(target.x, target.y));
    PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(target.x, target.y + 1));
    PostMessageA(Tree(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(target.x, target.y + 2));
    PostMessageA(Tree(), WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages();
    EXPECT_EQ(top(), 3);
    EXPECT_EQ(W->TreeView->Items()->Count(), 80);  // nothing dropped
}

TEST_F(TreeScrolling, TheSpeedButtonsFillTheirPanels) {
    Open();
    EXPECT_EQ(W->SpeedUp->Width(), W->Panel4->ClientWidth());
    EXPECT_EQ(W->SpeedUp->Height(), W->Panel4->ClientHeight());
    W->Panel4->SetHeight(30);
    PumpMessages();
    EXPECT_EQ(W->SpeedUp->BoundsRect(), Rect(0, 0, W->Panel4->ClientWidth(), 30));
    W->Panel5->SetHeight(22);
    PumpMessages();
    EXPECT_EQ(W->SpeedDown->BoundsRect(), Rect(0, 0, W->Panel5->ClientWidth(), 22));
}

// ---------------------------------------------------------------- tree font

using TreeFont = TreeTest;

TEST_F(TreeFont, TheChosenFontIsTheTreesAndComesBackAtTheNextStart) {
    Open();
    auto* menuItem = dynamic_cast<TMenuItem*>(W->FindComponent("Font1"));
    ASSERT_NE(menuItem, nullptr);
    EXPECT_EQ(menuItem->Caption(), "Default Font...");
    std::string name = W->TreeView->Font()->Name();
    int sizeAtStart = W->FontDialog->Font()->Size();
    AnswerNextDialog([&](TCommonDialog& d) {
        auto& dialog = dynamic_cast<TFontDialog&>(d);
        dialog.Font()->SetName(name);
        dialog.Font()->SetSize(15);
        dialog.Font()->SetStyle({TFontStyle::fsBold});
        return true;
    });
    menuItem->Click();
    PumpMessages();
    EXPECT_EQ(CommonDialogs().size(), 1u);
    EXPECT_EQ(W->TreeView->Font()->Size(), 15);
    EXPECT_EQ(W->TreeView->Font()->Style(), TFontStyles{TFontStyle::fsBold});
    std::string stored = W->IniCtrl->ReadString("common", "tree", "");
    EXPECT_EQ(stored, QclFontToString(W->TreeView->Font()));
    // The dialog opens with the font last chosen in it; a cancel changes
    // nothing.
    int sizeSeen = 0;
    AnswerNextDialog([&](TCommonDialog& d) {
        sizeSeen = dynamic_cast<TFontDialog&>(d).Font()->Size();
        dynamic_cast<TFontDialog&>(d).Font()->SetSize(30);
        return false;
    });
    menuItem->Click();
    EXPECT_EQ(sizeSeen, 15);
    EXPECT_NE(sizeAtStart, 30);
    EXPECT_EQ(W->TreeView->Font()->Size(), 15);
    EXPECT_EQ(W->IniCtrl->ReadString("common", "tree", ""), stored);
    Restart();
    EXPECT_EQ(W->TreeView->Font()->Size(), 15);
    EXPECT_EQ(W->TreeView->Font()->Style(), TFontStyles{TFontStyle::fsBold});
    EXPECT_EQ(W->TreeView->Font()->Name(), name);
}

}  // namespace treskel::test

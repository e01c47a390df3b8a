// The item commands of the main window on the real window: new items,
// sub-items, links and clones, removal, locks, expansion and promotion
// (sorting, the searches and item information in itemsearch_wintest;
// restarts and saving the treskel in itemsaving_wintest).
#include "ItemsTest.h"

namespace treskel::test {

// ---------------------------------------------------------------- new items

TEST_F(Items, ANewItemInAnEmptyTreskelSwitchesTheItemCommandsOn) {
    Start();
    for (TAction* a : ItemActions()) EXPECT_FALSE(a->Enabled()) << a->Name();
    TTreeNode* a = Add(W->NewItem, "First");
    for (TAction* action : ItemActions()) EXPECT_TRUE(action->Enabled()) << action->Name();
    for (TControl* c : ItemControls()) EXPECT_TRUE(c->Enabled()) << c->Name();
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"First"});
    EXPECT_EQ(W->TreeView->Selected(), a);
}

TEST_F(Items, NewItemsAreLastSiblingsWithTheDefaultRecord) {
    Start();
    Run(W->NewItem);
    TTreeNode* first = W->TreeView->Selected();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Text(), "New Item");
    // The caption is being edited in place.
    EXPECT_TRUE(W->TreeView->IsEditing());
    EXPECT_EQ(first->ImageIndex(), ImgItem);
    EXPECT_EQ(first->SelectedIndex(), ImgItem);
    EXPECT_EQ(first->StateIndex(), 3);  // level 0
    const TItemData* r = Record(first);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->Locked, 0);
    EXPECT_EQ(r->IsLink, 0);
    EXPECT_EQ(r->Crc, -1);
    EXPECT_EQ(r->Compression, 0);
    EXPECT_EQ(r->ColourIndex, 0);
    EXPECT_EQ(r->Style, 0);
    EXPECT_EQ(r->FontSize, W->TreeView->Font()->Size());
    EXPECT_TRUE(r->Password.empty());
    Rename(first, "First");

    TTreeNode* second = Add(W->NewItem, "Second");
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_NE(Record(second)->Id, Record(first)->Id);

    // With a sub-item selected the new item joins its level, at the end.
    TTreeNode* sub = AddUnder(first, W->NewSubItem, "Sub");
    TTreeNode* sibling = Add(W->NewItem, "Sibling");
    EXPECT_EQ(sibling->Parent(), first);
    EXPECT_EQ(Captions(first), (std::vector<std::string>{"Sub", "Sibling"}));
    (void)sub;

    // A new root item is always the last top item.
    W->IniCtrl->WriteInteger("common", "compression", 1);
    TTreeNode* root = Add(W->NewRootItem, "Root");
    EXPECT_EQ(root->Parent(), nullptr);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"First", "Second", "Root"}));
    EXPECT_EQ(root->StateIndex(), 2);
    EXPECT_EQ(Record(root)->Compression, 1);

    // With nothing selected a new item is the last top item.
    Select(nullptr);
    Add(W->NewItem, "Unselected");
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"First", "Second", "Root", "Unselected"}));
}

TEST_F(Items, ANewSubItemIsTheFirstChildAndMakesItsParentAParent) {
    Start();
    TTreeNode* top = Add(W->NewItem, "Top");
    TTreeNode* older = AddUnder(top, W->NewSubItem, "Older");
    TTreeNode* newer = AddUnder(top, W->NewSubItem, "Newer");
    EXPECT_EQ(Captions(top), (std::vector<std::string>{"Newer", "Older"}));
    EXPECT_EQ(top->ImageIndex(), ImgParent);
    EXPECT_EQ(top->SelectedIndex(), ImgParent);
    EXPECT_TRUE(top->Expanded());
    EXPECT_EQ(W->TreeView->Selected(), newer);
    EXPECT_EQ(newer->ImageIndex(), ImgItem);
    EXPECT_EQ(newer->StateIndex(), 3);
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);
    EXPECT_NE(Record(newer)->Id, Record(older)->Id);

    // Under a link, the link becomes a link with sub-items.
    Select(top);
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    ASSERT_TRUE(Record(link)->IsLink);
    AddUnder(link, W->NewSubItem, "Under the link");
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);
}

TEST_F(Items, ALockedItemTakesNoSubItemsLinksOrClonesButNewItemsStillCome) {
    Start();
    TTreeNode* safe = Add(W->NewItem, "Safe");
    Lock(safe, "secret");
    ASSERT_TRUE(Locked(safe));
    MessageBoxes().clear();
    for (TAction* a : {W->NewSubItem, W->CreateLink, W->CloneNote}) {
        Select(safe);
        Run(a);
    }
    ASSERT_EQ(MessageBoxes().size(), 3u);
    EXPECT_EQ(MessageBoxes()[0].text, "No sub-items can be added to a locked item.");
    EXPECT_EQ(MessageBoxes()[1].text, "No links can be added to a locked item.");
    EXPECT_EQ(MessageBoxes()[2].text, "Locked items cannot be cloned.");
    for (const BoxRecord& b : MessageBoxes()) {
        EXPECT_EQ(b.caption, "Locked");
        EXPECT_EQ(b.flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    }
    EXPECT_EQ(safe->Count(), 0);
    EXPECT_EQ(safe->ImageIndex(), ImgLocked);
    EXPECT_EQ(W->TreeView->Items()->Count(), 1);

    Select(safe);
    Add(W->NewItem, "Next");
    Select(safe);
    Add(W->NewRootItem, "Root");
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Safe", "Next", "Root"}));
}

// ---------------------------------------------------------------- links and clones

TEST_F(Items, ALinkSharesItsOriginsIdAndFindsItsOrigin) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    SaveNote(origin, "origin text");
    Select(origin);
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    ASSERT_NE(link, origin);
    EXPECT_EQ(link->Parent(), origin);
    EXPECT_EQ(origin->Item(0), link);
    EXPECT_EQ(link->Text(), "Origin");
    EXPECT_EQ(link->ImageIndex(), ImgLink);
    EXPECT_EQ(link->SelectedIndex(), ImgLink);
    EXPECT_EQ(origin->ImageIndex(), ImgParent);
    EXPECT_TRUE(origin->Expanded());
    EXPECT_EQ(Record(link)->IsLink, 1);
    EXPECT_EQ(Record(link)->Id, Record(origin)->Id);
    EXPECT_EQ(Record(link)->Crc, -1);
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);

    // A link of the link: the same origin; the first link gets image 35.
    Run(W->CreateLink);
    TTreeNode* second = W->TreeView->Selected();
    EXPECT_EQ(second->Parent(), link);
    EXPECT_EQ(Record(second)->Id, Record(origin)->Id);
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);

    Run(W->LinkOrigin1);
    EXPECT_EQ(W->TreeView->Selected(), origin);
    // The origin's note file is the only file: links have none of their own.
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Work.tsn/" + IntToStr(Record(origin)->Id), "Work.tsx"}));
}

// A link left behind when its origin goes (a link dragged elsewhere) keeps
// its record and says that its origin is gone, with no editor to type into.
TEST_F(Items, ALinkWhoseOriginWasRemovedSaysSoAndShowsNoEditor) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    TTreeNode* other = Add(W->NewItem, "Other");
    SaveNote(origin, "origin text");
    SaveNote(other, "other text");
    const int32_t originId = Record(origin)->Id;
    TTreeNode* link = PlaceLink(origin, "Origin");
    Select(link);
    EXPECT_EQ(Editor(), "origin text");

    Select(origin);
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    ASSERT_EQ(Node("Origin"), link);
    Select(other);
    EXPECT_EQ(Editor(), "other text");
    Select(link);
    EXPECT_EQ(W->Panel2->Caption(), "Link Origin Deleted");
    EXPECT_FALSE(W->REdit->Visible());
    EXPECT_FALSE(W->Panel2->Enabled());
    EXPECT_EQ(Record(link)->Id, originId);

    // It stays so after a restart; any other item shows its note again.
    Restart();
    Select(Node("Origin"));
    EXPECT_EQ(W->Panel2->Caption(), "Link Origin Deleted");
    EXPECT_FALSE(W->REdit->Visible());
    Select(Node("Other"));
    EXPECT_EQ(W->Panel2->Caption(), "");
    EXPECT_TRUE(W->Panel2->Enabled());
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_EQ(Editor(), "other text");
}

TEST_F(Items, ACloneCopiesTheNoteAsLastSavedUnderANewId) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Recipe");
    SaveNote(item, "flour and water");
    // Typed since the save: not in the clone, but kept for the item.
    W->REdit->SetText("flour, water and salt");
    W->NoteModified = true;
    Run(W->CloneNote);
    TTreeNode* clone = W->TreeView->Selected();
    ASSERT_NE(clone, item);
    EXPECT_TRUE(W->TreeView->IsEditing());
    Rename(clone, "Copy of Recipe");
    EXPECT_EQ(clone->Parent(), item);
    EXPECT_EQ(item->Item(0), clone);
    EXPECT_EQ(clone->ImageIndex(), ImgItem);
    EXPECT_EQ(item->ImageIndex(), ImgParent);
    EXPECT_EQ(Record(clone)->IsLink, 0);
    EXPECT_NE(Record(clone)->Id, Record(item)->Id);
    EXPECT_TRUE(FileHolds(Record(clone)->Id, "flour and water"));
    EXPECT_TRUE(FileHolds(Record(item)->Id, "flour, water and salt"));
    EXPECT_FALSE(FileHolds(Record(clone)->Id, "salt"));

    // An item never saved has no file, and neither has its clone.
    TTreeNode* empty = Add(W->NewRootItem, "Empty");
    Run(W->CloneNote);
    TTreeNode* emptyClone = W->TreeView->Selected();
    ASSERT_NE(emptyClone, empty);
    EXPECT_EQ(emptyClone->Text(), "Copy of Empty");
    EXPECT_FALSE(FileExists(NoteFile(emptyClone)));
}

TEST_F(Items, TheCloneOfALinkIsAPlainItemWithItsOriginsNote) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    SaveNote(origin, "shared words");
    Select(origin);
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    Run(W->CloneNote);
    TTreeNode* clone = W->TreeView->Selected();
    EXPECT_EQ(clone->Parent(), link);
    EXPECT_EQ(clone->Text(), "Copy of Origin");
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);
    EXPECT_EQ(Record(clone)->IsLink, 0);
    EXPECT_NE(Record(clone)->Id, Record(origin)->Id);
    EXPECT_TRUE(FileHolds(Record(clone)->Id, "shared words"));
}

TEST_F(Items, ALinkToALockedOriginCannotCopyTheProtectedNoteOut) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Diary");
    SaveNote(origin, "my secret");
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    Rename(link, "Diary");
    Lock(origin, "key");
    ASSERT_TRUE(Locked(origin));
    Select(link);
    MessageBoxes().clear();
    int files = static_cast<int>(DataFiles().size());
    Run(W->CloneNote);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "Locked items cannot be cloned.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Locked");
    EXPECT_EQ(static_cast<int>(DataFiles().size()), files);
    EXPECT_EQ(W->TreeView->Items()->Count(), 2);
}

// ---------------------------------------------------------------- removal

TEST_F(Items, RemovalAsksFirstAndDeletesTheNoteFile) {
    Start();
    TTreeNode* keep = Add(W->NewItem, "Keep");
    TTreeNode* gone = Add(W->NewItem, "Gone");
    SaveNote(keep, "kept");
    SaveNote(gone, "going");
    const int32_t goneId = Record(gone)->Id;
    Select(gone);

    // No: nothing happens.
    Run(W->RemoveItem);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "Are you sure you want to delete 'Gone' from the treskel?");
    EXPECT_EQ(MessageBoxes()[0].caption, "Delete Treskel Item");
    EXPECT_EQ(MessageBoxes()[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Keep", "Gone"}));
    EXPECT_TRUE(FileExists(NoteFile(goneId)));

    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"Keep"});
    EXPECT_FALSE(FileExists(NoteFile(goneId)));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Work.tsn/" + IntToStr(Record(keep)->Id), "Work.tsx"}));
    // The item now selected shows its own note.
    EXPECT_EQ(W->TreeView->Selected(), keep);
    EXPECT_EQ(Editor(), "kept");
}

TEST_F(Items, RemovingABranchWithALinkDeletesItsItemsNotesAndKeepsTheOrigins) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    TTreeNode* branch = Add(W->NewItem, "Branch");
    TTreeNode* child = AddUnder(branch, W->NewSubItem, "Child");
    TTreeNode* grandChild = AddUnder(child, W->NewSubItem, "Grandchild");
    Select(origin);
    Run(W->CreateLink);
    SaveNote(origin, "origin note");
    SaveNote(branch, "branch note");
    SaveNote(child, "child note");
    SaveNote(grandChild, "grandchild note");
    // A link to the origin inside the branch (as a drag leaves one), with
    // an item of its own below it.
    const int32_t originId = Record(origin)->Id;
    TTreeNode* link = PlaceLink(origin, "Origin", grandChild);
    TTreeNode* underLink = AddUnder(link, W->NewSubItem, "Under the link");
    SaveNote(underLink, "under the link note");
    std::vector<int32_t> branchIds{Record(branch)->Id, Record(child)->Id, Record(grandChild)->Id,
                                   Record(underLink)->Id};
    ASSERT_EQ(DataFiles().size(), 6u);

    Select(branch);
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    ASSERT_FALSE(MessageBoxes().empty());
    EXPECT_EQ(MessageBoxes().back().text,
              "Deleting 'Branch' will remove its children as well.\nAre you sure you want to do this?");
    EXPECT_EQ(MessageBoxes().back().caption, "Delete Treskel Item");
    EXPECT_EQ(Node("Branch"), nullptr);
    EXPECT_EQ(Node("Grandchild"), nullptr);
    for (int32_t id : branchIds) EXPECT_FALSE(FileExists(NoteFile(id))) << id;
    EXPECT_TRUE(FileHolds(originId, "origin note"));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Work.tsn/" + IntToStr(originId), "Work.tsx"}));

    // Saved and opened again: the origin, its own link, and its note.
    Restart();
    ASSERT_NE(Node("Origin"), nullptr);
    EXPECT_EQ(Captions(nullptr), std::vector<std::string>{"Origin"});
    EXPECT_EQ(Node("Origin")->Count(), 1);
    W->ShowItemNote(Node("Origin"));
    EXPECT_EQ(Editor(), "origin note");
}

TEST_F(Items, AChangeToTheRemovedItemsNoteIsDroppedAndWrittenNowhere) {
    Start();
    TTreeNode* first = Add(W->NewItem, "First");
    TTreeNode* second = Add(W->NewItem, "Second");
    SaveNote(second, "second note");
    SaveNote(first, "first note");
    const int32_t firstId = Record(first)->Id, secondId = Record(second)->Id;
    const std::vector<unsigned char> secondBytes = ReadAll(NoteFile(secondId));

    // Typed into First and not saved; then First goes.
    Select(first);
    W->REdit->SetText("typed and never wanted");
    W->NoteModified = true;
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);

    EXPECT_FALSE(W->NoteModified);
    EXPECT_FALSE(FileExists(NoteFile(firstId)));
    EXPECT_EQ(ReadAll(NoteFile(secondId)), secondBytes);
    EXPECT_EQ(W->TreeView->Selected(), second);
    EXPECT_EQ(Editor(), "second note");
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Work.tsn/" + IntToStr(secondId), "Work.tsx"}));

    // Nor does it come back when the treskel is packed.
    CloseWindow();
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Work.tsx"});
    EXPECT_FALSE(Contains(ReadAll(DataFile("Work.tsx")), "typed and never wanted"));
    EXPECT_TRUE(Contains(ReadAll(DataFile("Work.tsx")), "second note"));
}

TEST_F(Items, RemovalDropsThePendingChangeEvenWhereEveryChangeOfSelectionSaves) {
    Start();
    TTreeNode* first = Add(W->NewItem, "First");
    TTreeNode* second = Add(W->NewItem, "Second");
    SaveNote(second, "second note");
    const int32_t firstId = Record(first)->Id, secondId = Record(second)->Id;
    const std::vector<unsigned char> secondBytes = ReadAll(NoteFile(secondId));
    // A tree that saves the note it leaves whenever it is modified, with
    // no eye for items that are going.
    W->TreeView->OnChanging = [this](TObject*, TTreeNode*, bool&) {
        if (!W->NoteModified) return;
        W->SaveItemNote(W->TreeView->Selected());
        W->NoteModified = false;
    };
    Select(first);
    W->REdit->SetText("typed and never wanted");
    W->NoteModified = true;
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_FALSE(FileExists(NoteFile(firstId)));
    EXPECT_EQ(ReadAll(NoteFile(secondId)), secondBytes);
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Work.tsn/" + IntToStr(secondId), "Work.tsx"}));
}

TEST_F(Items, RemovingTheOnlySubItemGivesTheParentItsPlainImage) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Item");
    TTreeNode* a = AddUnder(item, W->NewSubItem, "A");
    TTreeNode* b = AddUnder(item, W->NewSubItem, "B");
    Select(item);
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    TTreeNode* underLink = AddUnder(link, W->NewSubItem, "Under link");
    ASSERT_EQ(link->ImageIndex(), ImgLinkParent);

    Select(underLink);
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(link->ImageIndex(), ImgLink);
    EXPECT_EQ(link->SelectedIndex(), ImgLink);

    for (TTreeNode* n : {link, b}) {
        Select(n);
        AnswerNextBox(IDYES);
        Run(W->RemoveItem);
        EXPECT_EQ(item->ImageIndex(), ImgParent);
    }
    Select(a);
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(item->ImageIndex(), ImgItem);
    EXPECT_EQ(item->SelectedIndex(), ImgItem);
}

TEST_F(Items, ALockedParentKeepsItsLockImageWhenItsLastSubItemGoes) {
    Start();
    TTreeNode* parent = Add(W->NewItem, "Vault");
    TTreeNode* child = AddUnder(parent, W->NewSubItem, "Inside");
    Lock(parent, "pw");
    // The sub-item is still reachable, as a search reaches it.
    Search(W->SearchItems, "Inside");
    ASSERT_EQ(W->TreeView->Selected(), child);
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(parent->Count(), 0);
    EXPECT_EQ(parent->ImageIndex(), ImgLocked);
    EXPECT_TRUE(Locked(parent));
}

TEST_F(Items, ALockedItemOrSubItemCannotBeRemoved) {
    Start();
    TTreeNode* top = Add(W->NewItem, "Top");
    TTreeNode* sub = AddUnder(top, W->NewSubItem, "Sub");
    SaveNote(top, "top note");
    Lock(sub, "pw");
    Select(top);
    MessageBoxes().clear();
    Run(W->RemoveItem);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text,
              "The item is locked or a sub item is locked.  Locked\nitems cannot be deleted until they are unlocked.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(MessageBoxes()[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
    EXPECT_NE(Node("Top"), nullptr);
    EXPECT_NE(Node("Sub"), nullptr);
    EXPECT_TRUE(FileExists(NoteFile(top)));
}

TEST_F(Items, RemovingTheLastItemSwitchesTheItemCommandsOff) {
    Start();
    TTreeNode* only = Add(W->NewItem, "Only");
    SaveNote(only, "last words");
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(W->TreeView->Items()->Count(), 0);
    EXPECT_EQ(Editor(), "");
    EXPECT_FALSE(W->NoteModified);
    for (TAction* a : ItemActions()) EXPECT_FALSE(a->Enabled()) << a->Name();
    for (TControl* c : ItemControls()) EXPECT_FALSE(c->Enabled()) << c->Name();
    EXPECT_TRUE(W->NewItem->Enabled());
    EXPECT_TRUE(W->NewRootItem->Enabled());
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Work.tsx"});
    // And a new item switches them on again.
    Add(W->NewRootItem, "Again");
    for (TAction* a : ItemActions()) EXPECT_TRUE(a->Enabled()) << a->Name();
    EXPECT_TRUE(W->Panel2->Enabled());
}

// ---------------------------------------------------------------- locks

TEST_F(Items, TheStatusLineFollowsARenameAndEmptiesInAnEmptyOrUnreadableTreskel) {
    WriteAll(DataFile("Broken.tsx"), std::string("not an archive"));
    Start();
    auto status = [&] { return W->StatusBar->Panels()->Items(0)->Text(); };
    TTreeNode* alpha = Add(W->NewItem, "Alpha");
    EXPECT_EQ(status(), "Alpha");
    // A link shows its origin's note: renaming the origin renames it too.
    Run(W->CreateLink);
    EXPECT_EQ(status(), "Alpha");
    W->TreeView->SetSelected(alpha);
    alpha->EditText();
    Rename(alpha, "Alpha2");
    EXPECT_EQ(status(), "Alpha2");
    SelectTab(W->TabControl1->Tabs()->IndexOf("Broken"));
    EXPECT_EQ(status(), "");
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_EQ(status(), "Alpha2");
    NewTreskel("Empty");
    EXPECT_EQ(status(), "");
}

TEST_F(Items, ThePasswordPromptMasksWhatIsTypedAndShowsItsWholePrompt) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Private");
    Select(item);
    InputQueryResponder tests = SetInputQueryResponder(nullptr);
    char passwordChar = 0;
    int clientWidth = 0, promptWidth = 0;
    dialogs_.Queue([&](TCustomForm& f) {
        TEdit* edit = nullptr;
        TButton* ok = nullptr;
        for (int i = 0; i < f.ComponentCount(); ++i) {
            if (auto* e = dynamic_cast<TEdit*>(f.Components(i))) edit = e;
            if (auto* b = dynamic_cast<TButton*>(f.Components(i)); b != nullptr && b->Caption() == "OK") ok = b;
        }
        ASSERT_TRUE(edit != nullptr && ok != nullptr);
        EXPECT_EQ(f.Caption(), "Password");
        passwordChar = static_cast<char>(SendMessageA(edit->Handle(), EM_GETPASSWORDCHAR, 0, 0));
        RECT r;
        GetClientRect(f.Handle(), &r);
        clientWidth = r.right;
        HDC dc = GetDC(f.Handle());
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)));
        const std::string prompt = "Enter the password for this item (10 chars. max)";
        SIZE size{};
        GetTextExtentPoint32A(dc, prompt.data(), static_cast<int>(prompt.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(f.Handle(), dc);
        promptWidth = size.cx;
        Type(edit, "secret");
        Click(ok);
    });
    Run(W->LockItem);
    SetInputQueryResponder(std::move(tests));
    EXPECT_EQ(passwordChar, '*');
    EXPECT_GE(clientWidth, promptWidth + 16);
    EXPECT_TRUE(Locked(item));
    EXPECT_EQ(Record(item)->Password, "secret");
}

TEST_F(Items, APasswordOfElevenCharactersIsAskedAgainAndTenLock) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Private");
    TTreeNode* sub = AddUnder(item, W->NewSubItem, "Deeper");
    AddUnder(sub, W->NewSubItem, "Deepest");
    sub->Expand(false);
    SaveNote(item, "private words");
    Select(item);
    // Typed and not yet saved: kept before the editor goes.
    W->REdit->SetText("private words, more of them");
    W->NoteModified = true;
    InputQueries().clear();
    Passwords({"abcdefghijk", "abcdefghij"});
    Run(W->LockItem);
    ASSERT_EQ(InputQueries().size(), 2u);
    for (const QueryRecord& q : InputQueries()) {
        EXPECT_EQ(q.caption, "Password");
        EXPECT_EQ(q.prompt, "Enter the password for this item (10 chars. max)");
        EXPECT_EQ(q.value, "");
    }
    // Why it is asked again is said before.
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "The password typed has 11 characters; a password has at most 10.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Password");
    const TItemData* r = Record(item);
    EXPECT_EQ(r->Locked, 1);
    EXPECT_EQ(r->Password, "abcdefghij");
    EXPECT_EQ(item->ImageIndex(), ImgLocked);
    EXPECT_EQ(item->SelectedIndex(), ImgLocked);
    EXPECT_FALSE(item->Expanded());
    EXPECT_FALSE(sub->Expanded());
    EXPECT_TRUE(W->LockButton->Down());
    EXPECT_FALSE(W->REdit->Visible());
    EXPECT_FALSE(W->Panel2->Enabled());
    EXPECT_EQ(W->Panel2->Caption(), "Protected");
    EXPECT_FALSE(W->NoteModified);
    EXPECT_TRUE(FileHolds(r->Id, "private words, more of them"));

    // The lock is kept with the treskel.
    Restart();
    TTreeNode* again = Node("Private");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->ImageIndex(), ImgLocked);
    EXPECT_EQ(Record(again)->Password, "abcdefghij");
    EXPECT_TRUE(Locked(again));
}

// Typed on the keyboard into the prompt itself: a password too long is
// asked for again after a message that says why, and a wrong one when
// unlocking is answered with a message too.
TEST_F(Items, ATooLongOrWrongPasswordTypedIsExplained) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Private");
    Select(item);
    InputQueryResponder tests = SetInputQueryResponder(nullptr);
    std::vector<std::string> shownText;
    auto typeInto = [&](const std::string& typed) {
        dialogs_.Queue([&shownText, typed](TCustomForm& f) {
            TEdit* edit = nullptr;
            for (int i = 0; i < f.ComponentCount(); ++i)
                if (auto* e = dynamic_cast<TEdit*>(f.Components(i))) edit = e;
            ASSERT_NE(edit, nullptr);
            ASSERT_TRUE(PumpUntil([&] { return GetFocus() == edit->Handle(); }));
            shownText.push_back(edit->Text());
            TypeIntoFocus(typed);
            TapKey(VK_RETURN);
            PumpUntil([&] { return f.ModalResult() != mrNone; });
        });
    };
    typeInto("toolongpassword");
    typeInto("shortpw");
    Run(W->LockItem);
    EXPECT_EQ(shownText, (std::vector<std::string>{"", ""}));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "The password typed has 15 characters; a password has at most 10.");
    ASSERT_TRUE(Locked(item));
    EXPECT_EQ(Record(item)->Password, "shortpw");

    MessageBoxes().clear();
    typeInto("shortpx");
    Run(W->LockItem);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Locked");
    EXPECT_NE(MessageBoxes()[0].text.find("not the item's password"), std::string::npos);
    EXPECT_TRUE(Locked(item));
    EXPECT_TRUE(W->LockButton->Down());

    MessageBoxes().clear();
    typeInto("shortpw");
    Run(W->LockItem);
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_FALSE(Locked(item));
    SetInputQueryResponder(std::move(tests));
}

TEST_F(Items, UnlockingNeedsThePasswordInItsOwnLetterCase) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Private");
    AddUnder(item, W->NewSubItem, "Sub");
    SaveNote(item, "the note");
    Lock(item, "Secret");
    MessageBoxes().clear();

    // Wrong case: still locked, the button still down, and the user told so.
    Select(item);
    W->LockButton->SetDown(false);
    Passwords({"secret"});
    Run(W->LockItem);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "This is not the item's password (letter case counts), so the item stays locked.");
    EXPECT_EQ(MessageBoxes()[0].caption, "Locked");
    EXPECT_TRUE(Locked(item));
    EXPECT_EQ(item->ImageIndex(), ImgLocked);
    EXPECT_TRUE(W->LockButton->Down());
    EXPECT_FALSE(W->REdit->Visible());

    // Cancelled: nothing changes.
    CancelNextQuery();
    Run(W->LockItem);
    EXPECT_TRUE(Locked(item));

    Passwords({"Secret"});
    Run(W->LockItem);
    EXPECT_FALSE(Locked(item));
    EXPECT_TRUE(Record(item)->Password.empty());
    EXPECT_EQ(item->ImageIndex(), ImgParent);
    EXPECT_EQ(item->SelectedIndex(), ImgParent);
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_TRUE(W->Panel2->Enabled());
    EXPECT_FALSE(W->LockButton->Down());
    EXPECT_EQ(Editor(), "the note");
}

TEST_F(Items, AnUnlockedLinkGetsItsLinkImageBack) {
    Start();
    TTreeNode* origin = Add(W->NewItem, "Origin");
    Run(W->CreateLink);
    TTreeNode* link = W->TreeView->Selected();
    Lock(link, "pw");
    EXPECT_EQ(link->ImageIndex(), ImgLocked);
    Passwords({"pw"});
    Run(W->LockItem);
    EXPECT_EQ(link->ImageIndex(), ImgLink);
    AddUnder(link, W->NewSubItem, "Under");
    Lock(link, "pw");
    Passwords({"pw"});
    Run(W->LockItem);
    EXPECT_EQ(link->ImageIndex(), ImgLinkParent);
    (void)origin;
}

TEST_F(Items, AnEmptyOrCancelledPasswordLocksNothing) {
    Start();
    TTreeNode* item = Add(W->NewItem, "Open");
    InputQueries().clear();
    Passwords({""});
    Run(W->LockItem);
    CancelNextQuery();
    Run(W->LockItem);
    EXPECT_EQ(InputQueries().size(), 2u);
    EXPECT_FALSE(Locked(item));
    EXPECT_EQ(item->ImageIndex(), ImgItem);
    EXPECT_FALSE(W->LockButton->Down());
    EXPECT_TRUE(W->REdit->Visible());
}

// ---------------------------------------------------------------- expansion and promotion

TEST_F(Items, ExpandCollapseWorksOnTheWholeBranchAndShowsOnItsButton) {
    Start();
    TTreeNode* top = Add(W->NewItem, "Top");
    TTreeNode* mid = AddUnder(top, W->NewSubItem, "Mid");
    AddUnder(mid, W->NewSubItem, "Low");
    Select(top);
    Run(W->ExpandItem);
    EXPECT_FALSE(top->Expanded());
    EXPECT_FALSE(mid->Expanded());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);
    Run(W->ExpandItem);
    EXPECT_TRUE(top->Expanded());
    EXPECT_TRUE(mid->Expanded());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 5);

    // A locked item does not open.
    Run(W->ExpandItem);
    Lock(top, "pw");
    Select(top);
    Run(W->ExpandItem);
    EXPECT_FALSE(top->Expanded());
    EXPECT_EQ(W->ExpColButton->ImageIndex(), 9);
}

TEST_F(Items, PromotionPutsTheBranchDirectlyAboveItsFormerParent) {
    Start();
    Add(W->NewItem, "Before");
    TTreeNode* parent = Add(W->NewItem, "Parent");
    Add(W->NewItem, "After");
    TTreeNode* moving = AddUnder(parent, W->NewSubItem, "Moving");
    TTreeNode* kid = AddUnder(moving, W->NewSubItem, "Kid");
    SaveNote(kid, "kid note");
    SaveNote(moving, "moving note");
    const int32_t movingId = Record(moving)->Id, kidId = Record(kid)->Id;
    moving->Collapse(false);
    Select(moving);
    // Typed and not saved: saved before the item moves, with its CRC.
    W->REdit->SetText("moving note, edited");
    W->NoteModified = true;

    Run(W->PromoteItem);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Before", "Moving", "Parent", "After"}));
    TTreeNode* promoted = W->TreeView->Selected();
    ASSERT_NE(promoted, nullptr);
    EXPECT_EQ(promoted->Text(), "Moving");
    EXPECT_EQ(promoted->Parent(), nullptr);
    EXPECT_EQ(Record(promoted)->Id, movingId);
    ASSERT_EQ(promoted->Count(), 1);
    EXPECT_EQ(Record(promoted->Item(0))->Id, kidId);
    EXPECT_TRUE(promoted->Expanded());
    EXPECT_EQ(promoted->ImageIndex(), ImgParent);
    EXPECT_EQ(parent->Count(), 0);
    EXPECT_EQ(parent->ImageIndex(), ImgItem);
    EXPECT_TRUE(FileHolds(movingId, "moving note, edited"));
    EXPECT_TRUE(FileHolds(kidId, "kid note"));
    EXPECT_EQ(static_cast<uint32_t>(Record(promoted)->Crc), FileCrc32(NoteFile(movingId)));

    // A top item stays where it is.
    Run(W->PromoteItem);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Before", "Moving", "Parent", "After"}));
    EXPECT_EQ(W->TreeView->Selected(), promoted);
}

TEST_F(Items, APromotedLockedItemKeepsItsLockAndStaysClosed) {
    Start();
    TTreeNode* parent = Add(W->NewItem, "Parent");
    AddUnder(parent, W->NewSubItem, "Sibling");
    TTreeNode* locked = AddUnder(parent, W->NewSubItem, "Locked");
    AddUnder(locked, W->NewSubItem, "Hidden");
    Lock(locked, "pw");
    Select(locked);
    Run(W->PromoteItem);
    TTreeNode* promoted = W->TreeView->Selected();
    ASSERT_NE(promoted, nullptr);
    EXPECT_EQ(promoted->Text(), "Locked");
    EXPECT_EQ(promoted->Parent(), nullptr);
    EXPECT_EQ(promoted->ImageIndex(), ImgLocked);
    EXPECT_TRUE(Locked(promoted));
    EXPECT_EQ(Record(promoted)->Password, "pw");
    EXPECT_FALSE(promoted->Expanded());
    EXPECT_EQ(parent->ImageIndex(), ImgParent);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Locked", "Parent"}));
}

TEST_F(Items, PromotingTheLastSubItemOfALockedItemLeavesItLocked) {
    Start();
    TTreeNode* vault = Add(W->NewItem, "Vault");
    AddUnder(vault, W->NewSubItem, "Inside");
    Lock(vault, "pw");
    Search(W->SearchItems, "Inside");
    ASSERT_EQ(W->TreeView->Selected()->Text(), "Inside");
    Run(W->PromoteItem);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Inside", "Vault"}));
    EXPECT_EQ(vault->ImageIndex(), ImgLocked);
    EXPECT_TRUE(Locked(vault));
}

TEST_F(Items, ThePopUpMenuOffersPromotionOnlyForSubItems) {
    Start();
    TTreeNode* top = Add(W->NewItem, "Top");
    TTreeNode* sub = AddUnder(top, W->NewSubItem, "Sub");
    ASSERT_TRUE(W->PopupMenu2->OnPopup);
    Select(top);
    W->PopupMenu2->OnPopup(W->PopupMenu2);
    EXPECT_FALSE(W->PromoteItem->Enabled());
    Select(sub);
    W->PopupMenu2->OnPopup(W->PopupMenu2);
    EXPECT_TRUE(W->PromoteItem->Enabled());
}

TEST_F(Items, TheTreePopsUpItsMenuAtTheClickAndAtTheSelectedItemForTheKeys) {
    Start();
    TTreeNode* top = Add(W->NewItem, "Top");
    TTreeNode* sub = AddUnder(top, W->NewSubItem, "Sub");
    Select(top);
    std::vector<TPopupMenu*> shown;
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        shown.push_back(m);
        return 0;
    };
    HWND tree = W->TreeView->Handle();
    auto screen = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(tree, &p);
        return TPoint{p.x, p.y};
    };
    auto rightClick = [&](int x, int y) {
        TPoint at = screen(x, y);
        SetCursorPos(at.x, at.y);
        PostMessageA(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
        PostMessageA(tree, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessages();
    };
    auto key = [&](UINT down, WORD vk, bool shift) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageA(tree, down, vk, 1);
        PostMessageA(tree, down + 1, vk, 0xC0000001);
        PumpMessages();
        keys[VK_SHIFT] = keys[VK_LSHIFT] = 0;
        SetKeyboardState(keys);
    };
    // On an item and on empty space, at the click.
    TRect r = sub->DisplayRect(true);
    rightClick(r.Left + 3, r.Top + 3);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], W->PopupMenu2);
    EXPECT_EQ(W->PopupMenu2->PopupPoint(), screen(r.Left + 3, r.Top + 3));
    EXPECT_FALSE(W->PromoteItem->Enabled());
    rightClick(5, W->TreeView->ClientHeight() - 5);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(W->PopupMenu2->PopupPoint(), screen(5, W->TreeView->ClientHeight() - 5));
    // Shift+F10 and the menu key: at the selected item, with its rules.
    Select(sub);
    key(WM_SYSKEYDOWN, VK_F10, true);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(W->PopupMenu2->PopupPoint(), screen(r.Left, r.Bottom));
    EXPECT_TRUE(W->PromoteItem->Enabled());
    Select(top);
    key(WM_KEYDOWN, VK_APPS, false);
    ASSERT_EQ(shown.size(), 4u);
    TRect t = top->DisplayRect(true);
    EXPECT_EQ(W->PopupMenu2->PopupPoint(), screen(t.Left, t.Bottom));
    EXPECT_FALSE(W->PromoteItem->Enabled());
    // F10 alone is no pop-up key.
    key(WM_SYSKEYDOWN, VK_F10, false);
    EXPECT_EQ(shown.size(), 4u);
    TPopupMenu::TestChooser = nullptr;
}

}  // namespace treskel::test

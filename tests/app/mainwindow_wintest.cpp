#include "MainWindowTest.h"
#include "support/StoreTest.h"

#include "store/CRC32c.h"
#include "store/NoteFile.h"
#include "store/TreeFile.h"
#include "store/TreskelArchive.h"
#include <commctrl.h>
#include "platform/FileSys.h"
#include "support/ProgramRun.h"
#include "support/Snapshot.h"

namespace treskel::test {

using FirstStart = MainWindowTest;

TEST_F(FirstStart, TheWindowIsTitledSizedAndCentredOnTheDesktop) {
    StartWindow();
    HWND h = W->Handle();
    char title[64];
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "Treskel!");
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 952);
    EXPECT_EQ(r.bottom - r.top, 516);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(r.left, (sw - 952) / 2, 1);
    EXPECT_NEAR(r.top, std::max(0, (sh - 516) / 2), 1);
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(W->ActiveControl(), W->TreeView);
    EXPECT_EQ(W->StatusBar->Panels()->Count(), 4);
    EXPECT_TRUE(W->ColorCombo->Flat());
    EXPECT_TRUE(W->FontSizeCombo->Flat());
    EXPECT_TRUE(W->QclFontComboBox1->Flat());
    EXPECT_TRUE(W->QclFontSizeComboBox1->Flat());
    // The standard dialogs of its layout, owned by the window.
    for (const char* name : {"FontDialog", "ColorDialog", "FindDialog", "OpenDialog1", "PrintDialog"}) {
        TComponent* c = W->FindComponent(name);
        ASSERT_NE(c, nullptr) << name;
        EXPECT_EQ(c->Owner(), W) << name;
    }
    EXPECT_NE(dynamic_cast<TPrintDialog*>(W->FindComponent("PrintDialog")), nullptr);
}

TEST_F(FirstStart, MakesTheDataDirectoryBesideTheProgramAndRemembersIt) {
    // No stored path: the program's own directory followed by "Data".
    ClearProgramRegistry();
    StartWindow();
    std::string expected = ExtractFilePath(Application->ExeName()) + "Data";
    EXPECT_EQ(W->DataPath, expected + "\\");
    EXPECT_TRUE(DirectoryExists(expected));
    EXPECT_EQ(ReadRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path"), expected);
    CloseWindow();
    RemoveDir(expected);
}

TEST_F(FirstStart, AStoredDataDirectoryThatIsGoneIsMadeAgainAndTheUserTold) {
    const std::string gone = DataDir() + "gone\\deeper";
    WriteRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path", gone);
    StartWindow();
    EXPECT_TRUE(DirectoryExists(gone));
    EXPECT_EQ(W->DataPath, gone + "\\");
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_NE(MessageBoxes()[0].text.find(gone), std::string::npos);
    EXPECT_NE(MessageBoxes()[0].text.find("made again"), std::string::npos);
    // It is usable at once, and the next start finds it without a word.
    NewTreskel("Work");
    EXPECT_TRUE(FileExists(gone + "\\Work.tsx"));
    Restart();
    EXPECT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 1);
    CloseWindow();
    DeleteFileA((gone + "\\Work.tsx").c_str());
    RemoveDir(gone);
    RemoveDir(DataDir() + "gone");
}

TEST_F(FirstStart, WithoutArchivesThereAreNoTabsAndTheTreskelCommandsWait) {
    StartWindow();
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 0);
    EXPECT_FALSE(W->NewItem->Enabled());
    EXPECT_FALSE(W->NewRootItem->Enabled());
    EXPECT_FALSE(W->RenameTreskel->Enabled());
    EXPECT_TRUE(W->NewTreskel->Enabled());
    for (TAction* a : {W->NewSubItem, W->RemoveItem, W->LockItem, W->ExpandItem, W->SearchItems, W->SortAZ, W->SortZA,
                       W->CreateLink, W->LinkOrigin1, W->SearchSubItems, W->CloneNote, W->DisplayItemInfo,
                       W->SearchText})
        EXPECT_FALSE(a->Enabled()) << a->Name();
    for (TControl* c : std::initializer_list<TControl*>{W->ToolBar3, W->Panel2, W->ToolBar2, W->BoldButton,
                                                        W->ItalicButton, W->UnderlineButton, W->BulletButton,
                                                        W->UndoButton, W->LeftButton, W->CenterButton, W->RightButton,
                                                        W->PasteButton, W->PrintButton})
        EXPECT_FALSE(c->Enabled()) << c->Name();
}

TEST_F(FirstStart, RestingOnAToolButtonShowsItsHint) {
    StartWindow();
    Application->SetHintPause(50);
    TToolButton* newTreskel = dynamic_cast<TToolButton*>(W->FindComponent("NewTreskelButton"));
    ASSERT_NE(newTreskel, nullptr);
    TPoint at{newTreskel->Left() + 5, newTreskel->Top() + 5};
    PostMessageA(W->ToolBar1->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    ASSERT_TRUE(PumpUntil([] { return Application->HintWindow() != nullptr && IsWindowVisible(Application->HintWindow()); }));
    EXPECT_EQ(TooltipText(), "New Treskel");
    EXPECT_EQ(Application->Hint(), "New Treskel");
    // A click puts it away.
    PostMessageA(W->ToolBar1->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(Application->HintWindow()));
    Application->SetHintPause(500);
}

}  // namespace treskel::test

// ---------------------------------------------------------------- treskels

namespace treskel::test {

class Treskels : public MainWindowTest {
protected:
    // An item made as the item commands make one, without their prompts.
    TTreeNode* AddItem(const std::string& caption, TTreeNode* parent = nullptr) {
        TTreeNodes* items = W->TreeView->Items();
        TTreeNode* n = parent != nullptr ? items->AddChild(parent, caption) : items->Add(nullptr, caption);
        AsItem(n)->SetData(W->NewItemRecord(false, NewItemId(W->ItemTree(), W->Notes)));
        AsItem(n)->SetImageIndex(ImgItem);
        if (parent != nullptr) AsItem(parent)->SetImageIndex(ImgParent);
        return n;
    }
    // Puts text into the editor as the note of `node` and saves it.
    void SaveNote(TTreeNode* node, const std::string& text) {
        W->REdit->SetText(text);
        W->SaveItemNote(node);
    }
    // A note whose file another program holds, typed into and not saved:
    // saving it fails.  Closing the handle lets go of the file.
    HANDLE TypeIntoAHeldNote(TTreeNode* node, const std::string& saved, const std::string& typed) {
        SaveNote(node, saved);
        W->TreeView->SetSelected(node);
        TypeNote(typed);
        return CreateFileA(LooseNote(Record(node)->Id).c_str(), GENERIC_READ, FILE_SHARE_READ,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    }
    std::string ShownNote(TTreeNode* node) {
        W->ShowItemNote(node);
        std::string t = W->REdit->Text();
        while (!t.empty() && (t.back() == '\r' || t.back() == '\n')) t.pop_back();
        return t;
    }
};

TEST_F(Treskels, ANewTreskelIsATabWithItsEmptyArchiveAtOnceAndSurvivesNeverEntered) {
    // An empty treskel: S = 4, the four zero bytes of the tree file, N = 0.
    const std::vector<unsigned char> empty{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    StartWindow();
    NewTreskel("Work");
    ASSERT_EQ(W->TabControl1->Tabs()->Count(), 1);
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0), "Work");
    EXPECT_TRUE(W->NewItem->Enabled());
    EXPECT_TRUE(W->RenameTreskel->Enabled());
    EXPECT_EQ(ReadAll(DataFile("Work.tsx")), empty);
    // Made and never entered, it still comes back after a restart.
    AnswerNextQuery("Later");
    Run(W->NewTreskel);
    EXPECT_EQ(W->TabControl1->TabIndex(), 0);
    EXPECT_EQ(ReadAll(DataFile("Later.tsx")), empty);
    Restart();
    ASSERT_EQ(W->TabControl1->Tabs()->Count(), 2);
    EXPECT_GE(W->TabControl1->Tabs()->IndexOf("Later"), 0);
}

TEST_F(Treskels, ADuplicateOrInvalidNameIsRefusedAtThePrompt) {
    StartWindow();
    NewTreskel("Work");
    AnswerNextQuery("WORK");
    Run(W->NewTreskel);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "An treskel with this name already exists.");
    EXPECT_EQ(MessageBoxes()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    for (const char* bad : {"..\\outside", "a/b", "what?", "CON", "trailing.", "COM\xb9", "LPT\xb2", "COM0",
                            "CONIN$", "CONOUT$"}) {
        AnswerNextQuery(bad);
        Run(W->NewTreskel);
        ASSERT_EQ(MessageBoxes().size(), 2u);
        EXPECT_NE(MessageBoxes().back().text.find("cannot be the name of a treskel"), std::string::npos) << bad;
        MessageBoxes().pop_back();
    }
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 1);
    // A name whose files would pass the system's path limit, at the
    // prompt of a new treskel and of a rename.
    const std::string longName(300, 'n');
    AnswerNextQuery(longName);
    Run(W->NewTreskel);
    // The longest path is that of a loose note being saved, "<name>.tsn\\12345678.tmp".
    AnswerNextQuery(std::string(260 - DataDir().size() - 17, 'n'));
    Run(W->RenameTreskel);
    ASSERT_EQ(MessageBoxes().size(), 3u);
    for (size_t i = 1; i < 3; ++i) EXPECT_NE(MessageBoxes()[i].text.find("too long"), std::string::npos);
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 1);
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0), "Work");
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Work.tsx"});
    // The longest name that fits is taken.
    AnswerNextQuery(std::string(259 - DataDir().size() - 17, 'n'));
    Run(W->RenameTreskel);
    EXPECT_EQ(MessageBoxes().size(), 3u);
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0).size(), 259 - DataDir().size() - 17);
    MessageBoxes().resize(1);
    // A cancelled or empty answer does nothing.
    CancelNextQuery();
    Run(W->NewTreskel);
    AnswerNextQuery("");
    Run(W->NewTreskel);
    EXPECT_EQ(W->TabControl1->Tabs()->Count(), 1);
    EXPECT_EQ(MessageBoxes().size(), 1u);
}

// Opening makes each node with the tree's redrawing held, after the tab
// strip was drawn.
TEST_F(Treskels, OpeningFillsTheTreeWithRedrawingHeldAfterTheTabsAreDrawn) {
    StartWindow();
    NewTreskel("Work");
    for (int i = 0; i < 5; ++i) AddItem("Item " + std::to_string(i));
    NewTreskel("Home");
    int made = 0, drawing = 0, tabsUndrawn = 0;
    auto factory = W->TreeView->NodeFactory;
    W->TreeView->NodeFactory = [&](TTreeNodes* owner) {
        ++made;
        if (!owner->Updating()) ++drawing;
        if (GetUpdateRect(W->TabControl1->Handle(), nullptr, FALSE)) ++tabsUndrawn;
        return factory(owner);
    };
    SelectTab(0);
    W->TreeView->NodeFactory = factory;
    EXPECT_EQ(made, 5);
    EXPECT_EQ(drawing, 0);
    EXPECT_EQ(tabsUndrawn, 0);
    EXPECT_FALSE(W->TreeView->Items()->Updating());
}

TEST_F(Treskels, ItemsAndNotesComeBackAfterARestart) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta", a);
    AddItem("Gamma");
    Record(a)->ColourIndex = 9;
    Record(a)->Style = 5;
    SaveNote(a, "first note");
    SaveNote(b, "second note");
    a->Expand(false);
    int32_t idA = Record(a)->Id, idB = Record(b)->Id;
    Restart();
    // Only the archive was left, and opening made no files: the tree and
    // the notes are read from the archive until they change.
    EXPECT_FALSE(FileExists(DataFile("Work.tsk")));
    EXPECT_FALSE(FileExists(LooseNote(idA)));
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Alpha", "Gamma"}));
    TTreeNode* a2 = Node("Alpha");
    ASSERT_NE(a2, nullptr);
    EXPECT_TRUE(a2->Expanded());
    EXPECT_EQ(a2->ImageIndex(), ImgParent);
    EXPECT_EQ(Record(a2)->ColourIndex, 9);
    EXPECT_EQ(Record(a2)->Style, 5);
    EXPECT_EQ(Record(a2)->Id, idA);
    EXPECT_EQ(ShownNote(a2), "first note");
    EXPECT_EQ(Record(Node("Beta"))->Id, idB);
    EXPECT_EQ(ShownNote(Node("Beta")), "second note");
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Beta");
}

TEST_F(Treskels, ClosingPacksTheTreskelIntoItsArchiveExactly) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta", a);
    SaveNote(b, "note of beta");
    std::vector<unsigned char> note = ReadAll(LooseNote(Record(b)->Id));
    int32_t idA = Record(a)->Id, idB = Record(b)->Id;
    CloseWindow();
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Work.tsx"});
    // Read back with the format's own reader: the tree file, then the
    // entries in pre-order, a missing note as -1.
    TFileStream f(DataFile("Work.tsx"), fmOpenRead);
    TArchiveIndex index = ScanArchive(f, "Work.tsx");
    ASSERT_EQ(index.Entries.size(), 2u);
    EXPECT_EQ(index.Entries[0].Id, idA);
    EXPECT_EQ(index.Entries[0].Size, -1);
    EXPECT_EQ(index.Entries[1].Id, idB);
    ASSERT_EQ(index.Entries[1].Size, static_cast<int64_t>(note.size()));
    std::vector<unsigned char> stored(note.size());
    f.SetPosition(index.Entries[1].Offset);
    f.ReadBuffer(stored.data(), static_cast<int64_t>(stored.size()));
    EXPECT_EQ(stored, note);
    TPlainItemTree tree;
    f.SetPosition(index.TreeOffset);
    TMemoryStream treeFile;
    treeFile.CopyFrom(f, index.TreeSize);
    treeFile.SetPosition(0);
    LoadTreskel(tree, treeFile);
    ASSERT_EQ(tree.Count(), 1);
    EXPECT_EQ(tree.Item(0)->Text(), "Alpha");
    EXPECT_EQ(tree.Item(0)->Data()->SubCount, 1);
    EXPECT_EQ(tree.Item(0)->Item(0)->Text(), "Beta");
    EXPECT_NE(tree.Item(0)->Item(0)->Data()->Crc, -1);
}

// A user's copy of an archive shares every id with the treskel it was
// copied from.  A note saved in the treskel before the program was killed
// shows and is packed there only; removing the item in the copy leaves it.
TEST_F(Treskels, AfterACrashEachTreskelKeepsItsOwnNotesBesideACopySharingItsIds) {
    StartWindow();
    NewTreskel("Work");
    SaveNote(AddItem("Alpha"), "alpha");
    SaveNote(AddItem("Beta"), "beta");
    CloseWindow();
    WriteAll(DataFile("Old work.tsx"), ReadAll(DataFile("Work.tsx")));
    StartWindow();
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    SaveNote(Node("Beta"), "beta, newer");
    DropWindow();

    StartWindow();
    ASSERT_EQ(W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex()), "Old work");
    EXPECT_EQ(ShownNote(Node("Beta")), "beta");
    W->TreeView->SetSelected(Node("Beta"));
    AnswerNextBox(IDYES);
    Run(W->RemoveItem);
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"Alpha"});
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_EQ(ShownNote(Node("Beta")), "beta, newer");
    CloseWindow();
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Old work.tsx", "Work.tsx"}));
    ExpectRecordsHoldTheirNotesCrc(DataFile("Work.tsx"));
    StartWindow();
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"Alpha"});
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_EQ(ShownNote(Node("Beta")), "beta, newer");
}

// A build older than the note folders kept a note saved before a crash in
// the data directory itself, named by its id.  The first start after the
// upgrade gives it to the one treskel with an item of that id; a note of
// an id that a copied archive shares stays where it is, shown in neither.
TEST_F(Treskels, ANoteAnEarlierBuildLeftInTheDataDirectoryGoesToItsOneTreskel) {
    // Ids of the clock may meet across treskels: these do not.
    const int32_t alpha = 101, beta = 102, gamma = 201;
    auto itemOf = [&](const std::string& caption, int32_t id, const std::string& note) {
        TTreeNode* n = AddItem(caption);
        Record(n)->Id = id;
        SaveNote(n, note);
    };
    StartWindow();
    NewTreskel("Work");
    itemOf("Alpha", alpha, "alpha");
    itemOf("Beta", beta, "beta");
    NewTreskel("Home");
    itemOf("Gamma", gamma, "gamma");
    CloseWindow();
    WriteAll(DataFile("Old work.tsx"), ReadAll(DataFile("Work.tsx")));
    LH5Compression lh5(nullptr);
    for (auto [id, text] : {std::pair{gamma, "gamma, newer"}, std::pair{beta, "beta, newer"}}) {
        const std::string rtf = std::string("{\\rtf1\\ansi ") + text + "\\par}";
        TMemoryStream s(std::vector<uint8_t>(rtf.begin(), rtf.end()));
        SaveNoteFile(DataFile(IntToStr(id)), 2, "", s, lh5);
    }
    const auto left = ReadAll(DataFile(IntToStr(beta)));

    StartWindow();
    ASSERT_EQ(W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex()), "Home");
    EXPECT_EQ(ShownNote(Node("Gamma")), "gamma, newer");
    for (const char* copy : {"Old work", "Work"}) {
        SelectTab(W->TabControl1->Tabs()->IndexOf(copy));
        EXPECT_EQ(ShownNote(Node("Beta")), "beta") << copy;
    }
    CloseWindow();
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{IntToStr(beta), "Home.tsx", "Old work.tsx", "Work.tsx"}));
    EXPECT_EQ(ReadAll(DataFile(IntToStr(beta))), left);
    StartWindow();
    EXPECT_EQ(ShownNote(Node("Gamma")), "gamma, newer");
}

TEST_F(Treskels, NotesAtEachLevelReadBackIdentically) {
    StartWindow();
    NewTreskel("Levels");
    W->IniCtrl->WriteBool("common", "updated", true);
    std::string rtfText = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Level {\\b bold} text\\par}";
    for (int level = 0; level <= 2; ++level) {
        W->IniCtrl->WriteInteger("common", "compression", level);
        TTreeNode* n = AddItem("Level " + std::to_string(level));
        TMemoryStream in;
        in.WriteBuffer(rtfText.data(), static_cast<int64_t>(rtfText.size()));
        in.SetPosition(0);
        W->REdit->Lines()->LoadFromStream(in);
        TMemoryStream before;
        W->REdit->Lines()->SaveToStream(before);
        W->SaveItemNote(n);
        // The header names the level; the state image follows it.
        std::vector<unsigned char> file = ReadAll(LooseNote(Record(n)->Id));
        ASSERT_GT(file.size(), 272u);
        EXPECT_EQ(file[4], level);
        EXPECT_EQ(n->StateIndex(), 3 - level);
        EXPECT_EQ(static_cast<uint32_t>(Record(n)->Crc), FileCrc32(LooseNote(Record(n)->Id)));
        W->REdit->Lines()->Clear();
        W->ShowItemNote(n);
        TMemoryStream after;
        W->REdit->Lines()->SaveToStream(after);
        EXPECT_EQ(after.AsString(), before.AsString()) << "level " << level;
    }
}

// Without "updated" (absent: False) each item keeps the level it was made
// with, whatever the setting says now; a link writes its origin's file at
// its own level, under its own caption.
TEST_F(Treskels, WithoutUpdatedEachItemsOwnCompressionSetsTheLevel) {
    StartWindow();
    NewTreskel("Levels");
    W->IniCtrl->DeleteKey("common", "updated");
    W->IniCtrl->WriteInteger("common", "compression", 0);
    TTreeNode* plain = AddItem("Plain");
    W->IniCtrl->WriteInteger("common", "compression", 2);
    TTreeNode* packed = AddItem("Packed");
    TTreeNode* link = PlaceLink(plain, "Shortcut");
    for (TTreeNode* n : {plain, packed, link}) n->SetStateIndex(3 - Record(n)->Compression);
    W->IniCtrl->WriteInteger("common", "compression", 1);

    auto header = [&](TTreeNode* n) {
        std::vector<unsigned char> file = ReadAll(LooseNote(Record(n)->Id));
        EXPECT_GT(file.size(), 272u);
        file.resize(std::max<size_t>(file.size(), 17 + 255));
        return std::pair{int{file[4]}, std::string(file.begin() + 17, file.begin() + 17 + file[16])};
    };
    SaveNote(plain, "plain words");
    EXPECT_EQ(header(plain), (std::pair{0, std::string("Plain")}));
    SaveNote(packed, "packed words");
    EXPECT_EQ(header(packed), (std::pair{2, std::string("Packed")}));
    EXPECT_EQ(ShownNote(plain), "plain words");
    EXPECT_EQ(ShownNote(packed), "packed words");

    SaveNote(link, "written through the link");
    EXPECT_EQ(header(plain), (std::pair{2, std::string("Shortcut")}));
    EXPECT_EQ(ShownNote(plain), "written through the link");
    SaveNote(plain, "plain again");
    EXPECT_EQ(header(plain), (std::pair{0, std::string("Plain")}));
    EXPECT_EQ(ShownNote(link), "plain again");

    // The records and the level markers keep what the items were made with.
    EXPECT_EQ(Record(plain)->Compression, 0);
    EXPECT_EQ(Record(packed)->Compression, 2);
    EXPECT_EQ(Record(link)->Compression, 2);
    EXPECT_EQ(plain->StateIndex(), 3);
    EXPECT_EQ(packed->StateIndex(), 1);
    EXPECT_EQ(link->StateIndex(), 1);
}

TEST_F(Treskels, AnUnknownLevelShowsAMessageAndAnEmptyReadOnlyPanel) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* good = AddItem("Good");
    TTreeNode* bad = AddItem("Bad");
    SaveNote(good, "keep me");
    SaveNote(bad, "soon damaged");
    std::string badFile = LooseNote(Record(bad)->Id);
    std::vector<unsigned char> bytes = ReadAll(badFile);
    bytes[4] = 7;
    WriteAll(badFile, bytes);
    EXPECT_EQ(ShownNote(good), "keep me");
    W->ShowItemNote(bad);
    // The previous note must not stay: entering the editor would save it
    // under the damaged item.
    EXPECT_EQ(W->REdit->Text(), "");
    EXPECT_FALSE(W->REdit->Visible());
    EXPECT_FALSE(W->Panel2->Enabled());
    EXPECT_NE(W->Panel2->Caption().find("cannot be shown"), std::string::npos);
    EXPECT_FALSE(W->NoteModified);
    EXPECT_EQ(ReadAll(badFile), bytes);
    // A good note shows again afterwards.
    EXPECT_EQ(ShownNote(good), "keep me");
    EXPECT_TRUE(W->REdit->Visible());
}

TEST_F(Treskels, ADamagedArchiveIsReportedAndNeverOverwritten) {
    std::vector<unsigned char> damaged = {40, 0, 0, 0, 1, 0, 0, 0};  // claims a 40-byte tree file
    WriteAll(DataFile("Broken.tsx"), damaged);
    StartWindow();
    ASSERT_EQ(W->TabControl1->Tabs()->Count(), 1);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_NE(MessageBoxes()[0].text.find("Broken"), std::string::npos);
    EXPECT_EQ(W->TreeView->Items()->Count(), 0);
    EXPECT_FALSE(W->NewItem->Enabled());  // nothing may be added to what is not that treskel
    CloseWindow();
    EXPECT_EQ(ReadAll(DataFile("Broken.tsx")), damaged);
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Broken.tsx"});
}

TEST_F(Treskels, AFailedSaveTellsTheUserAndKeepsEverything) {
    StartWindow();
    NewTreskel("Work");
    SaveNote(AddItem("Alpha"), "precious");
    NewTreskel("Other");  // leaving Work packs it
    SelectTab(0);
    TTreeNode* a = Node("Alpha");
    ASSERT_NE(a, nullptr);
    SaveNote(a, "more precious");
    std::vector<unsigned char> archive = ReadAll(DataFile("Work.tsx"));
    // An archive that cannot be replaced: a directory in the way of the
    // temporary file.
    ASSERT_TRUE(CreateDir(DataFile("Work.tsx.tmp")));
    W->Close();
    PumpMessages();
    ASSERT_GE(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes().back().caption, "Error");
    EXPECT_NE(MessageBoxes().back().text.find("Work"), std::string::npos);
    EXPECT_TRUE(W->Visible());  // the window stays open
    EXPECT_EQ(ReadAll(DataFile("Work.tsx")), archive);
    EXPECT_TRUE(FileExists(LooseNote(Record(a)->Id)));
    // Once the way is clear the save goes through.
    RemoveDir(DataFile("Work.tsx.tmp"));
    CloseWindow();
    StartWindow();
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_EQ(ShownNote(Node("Alpha")), "more precious");
}

TEST_F(Treskels, WhenSavingTheNoteAtCloseFailsTheUserMayStayWithTheTypedText) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* a = AddItem("Alpha");
    const std::string noteFile = LooseNote(Record(a)->Id);
    HANDLE held = TypeIntoAHeldNote(a, "saved before", " and typed");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(W->NoteModified);
    const std::vector<unsigned char> archive = ReadAll(DataFile("Work.tsx"));
    const std::vector<std::string> files = DataFiles();
    const std::vector<unsigned char> note = ReadAll(noteFile);
    auto filesAsTheyWere = [&] {
        EXPECT_EQ(ReadAll(DataFile("Work.tsx")), archive);
        EXPECT_EQ(DataFiles(), files);
        EXPECT_FALSE(FileExists(DataFile("Work.tsx.tmp")));
    };
    // No: the window stays, with the typed text.
    AnswerNextBox(IDNO);
    W->Close();
    PumpMessages();
    ASSERT_EQ(MessageBoxes().size(), 1u);
    const BoxRecord box = MessageBoxes()[0];
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text.rfind("The note of 'Alpha' could not be saved.\n", 0), 0u) << box.text;
    EXPECT_NE(box.text.find("Close anyway?"), std::string::npos);
    EXPECT_EQ(box.flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_TRUE(W->Visible());
    EXPECT_EQ(NoteText(), "saved before and typed");
    filesAsTheyWere();
    CloseHandle(held);
    EXPECT_EQ(ReadAll(noteFile), note);
    // Yes keeps the rest: Saving.ClosingAnywayAfterANoteCannotBeSavedKeepsTheTreeAndEveryOtherNote.
}

TEST_F(Treskels, TheThreeSaveFailuresSpeakAlike) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* a = AddItem("Alpha");
    TTreeNode* b = AddItem("Beta");
    HANDLE held = TypeIntoAHeldNote(a, "one", " two");
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    W->TreeView->SetSelected(b);  // an item switch
    PumpMessages();
    bool allow = true;
    W->TabControl1Changing(W->TabControl1, allow);  // a tab switch
    EXPECT_FALSE(allow);
    W->Close();
    PumpMessages();
    CloseHandle(held);
    ASSERT_EQ(MessageBoxes().size(), 3u);
    for (const BoxRecord& box : MessageBoxes()) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text.rfind("The note of 'Alpha' could not be saved.\n", 0), 0u) << box.text;
    }
    // A treskel that cannot be packed on a tab switch says it the same way.
    MessageBoxes().clear();
    ASSERT_TRUE(CreateDir(DataFile("Work.tsx.tmp")));
    W->TabControl1Changing(W->TabControl1, allow);
    EXPECT_FALSE(allow);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Error");
    EXPECT_EQ(MessageBoxes()[0].text.rfind("The treskel 'Work' could not be saved.\n", 0), 0u);
    RemoveDir(DataFile("Work.tsx.tmp"));
}

TEST_F(Treskels, RenamingRenamesTheFilesAndRefusesAnotherTreskelsName) {
    StartWindow();
    NewTreskel("Work");
    SaveNote(AddItem("Alpha"), "x");
    NewTreskel("Home");
    SelectTab(0);
    AnswerNextQuery("Home");
    Run(W->RenameTreskel);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "An treskel with this name already exists.");
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0), "Work");
    AnswerNextQuery("Office");
    Run(W->RenameTreskel);
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0), "Office");
    EXPECT_TRUE(FileExists(DataFile("Office.tsx")));
    EXPECT_FALSE(FileExists(DataFile("Work.tsx")));
    // Another letter case renames too.
    AnswerNextQuery("OFFICE");
    Run(W->RenameTreskel);
    EXPECT_EQ(W->TabControl1->Tabs()->Get(0), "OFFICE");
    CloseWindow();
    StartWindow();
    // Tabs come in the order the directory lists the archives.
    EXPECT_EQ(W->TabControl1->Tabs()->ToVector(), (std::vector<std::string>{"Home", "OFFICE"}));
    SelectTab(1);
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"Alpha"});
}

TEST_F(Treskels, SwitchingTabsSavesTheNoteBeingEditedIntoTheTreskelLeft) {
    StartWindow();
    NewTreskel("Work");
    TTreeNode* a = AddItem("Alpha");
    W->TreeView->SetSelected(a);
    W->REdit->SetText("typed, not saved yet");
    W->NoteModified = true;
    NewTreskel("Home");
    EXPECT_FALSE(W->NoteModified);
    EXPECT_EQ(W->TreeView->Items()->Count(), 0);
    EXPECT_FALSE(W->NewSubItem->Enabled());  // an empty treskel: no Tag 700 command
    SelectTab(0);
    EXPECT_EQ(ShownNote(Node("Alpha")), "typed, not saved yet");
}

TEST_F(Treskels, ActiveTreskelIsWrittenOnCloseButStartUpOpensTheFirstTab) {
    StartWindow();
    NewTreskel("A");
    NewTreskel("B");
    EXPECT_EQ(W->TabControl1->TabIndex(), 1);
    CloseWindow();
    StartWindow();
    EXPECT_EQ(W->IniCtrl->ReadInteger("common", "activetreskel", -1), 1);
    EXPECT_EQ(W->TabControl1->TabIndex(), 0);
}

// ---------------------------------------------------------------- start-up

class StartUp : public Treskels {
protected:
    // Alpha (bold, in colour 9), Beta and Gamma with their notes, left in
    // the archive by a closed window.
    void LeaveThreeItems(bool lockAlpha = false) {
        StartWindow();
        NewTreskel("Work");
        TTreeNode* a = AddItem("Alpha");
        TTreeNode* b = AddItem("Beta");
        TTreeNode* g = AddItem("Gamma");
        Record(a)->Style = 1;
        Record(a)->ColourIndex = 9;
        SaveNote(a, "alpha's note");
        SaveNote(b, "beta's note");
        SaveNote(g, "gamma's note");
        if (lockAlpha) {
            W->TreeView->SetSelected(a);
            AnswerNextQuery("pw");
            Run(W->LockItem);
        }
        CloseWindow();
    }
    // The program itself started on them as the user starts it: its main
    // window once shown, or null.
    HWND StartProgramOnThreeItems(ProgramProcess& program) {
        LeaveThreeItems();
        EXPECT_TRUE(program.Start(ProgramExe(), DataDir())) << ProgramExe();
        return program.WaitForMainWindow();
    }
    // The tree's window and the tree's model agree on the selection.
    void ExpectSelected(const std::string& caption) {
        TTreeNode* n = Node(caption);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(W->TreeView->Selected(), n);
        EXPECT_EQ(WindowSelection(), n->ItemId());
    }
    void ExpectItemCommandsEnabled() {
        for (TAction* a : {W->NewSubItem, W->RemoveItem, W->LockItem, W->ExpandItem, W->SearchItems, W->SortAZ,
                           W->SortZA, W->CreateLink, W->LinkOrigin1, W->SearchSubItems, W->CloneNote,
                           W->DisplayItemInfo, W->SearchText})
            EXPECT_TRUE(a->Enabled()) << a->Name();
        for (TControl* c : std::initializer_list<TControl*>{W->ToolBar3, W->ToolBar2, W->BoldButton,
                                                            W->ItalicButton, W->UnderlineButton, W->BulletButton,
                                                            W->LeftButton, W->CenterButton, W->RightButton,
                                                            W->ToolButton14, W->ToolButton19})
            EXPECT_TRUE(c->Enabled()) << c->Name();
        EXPECT_TRUE(W->PrintButton->Enabled());
    }
};

TEST_F(StartUp, TheFirstItemIsChosenItsNoteShownAndItsCommandsReady) {
    LeaveThreeItems();
    StartWindow();
    ExpectSelected("Alpha");
    EXPECT_EQ(Shown(), "alpha's note");
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Alpha");
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_TRUE(W->Panel2->Enabled());
    ExpectItemCommandsEnabled();
    // The item style bar follows the item.
    EXPECT_TRUE(W->ToolButton14->Down());
    EXPECT_FALSE(W->ToolButton19->Down());
    EXPECT_EQ(W->ColorCombo->ItemIndex(), 9);

    // A click on another item shows it with everything it allows.
    ClickNode(Node("Beta"));
    ExpectSelected("Beta");
    EXPECT_EQ(Shown(), "beta's note");
    ExpectItemCommandsEnabled();
    EXPECT_FALSE(W->ToolButton14->Down());
    EXPECT_EQ(W->ColorCombo->ItemIndex(), 0);
    // The arrows move on from there.
    PressKey(Tree(), VK_DOWN);
    ExpectSelected("Gamma");
    EXPECT_EQ(Shown(), "gamma's note");
    PressKey(Tree(), VK_UP);
    PressKey(Tree(), VK_UP);
    ExpectSelected("Alpha");
    EXPECT_EQ(Shown(), "alpha's note");
}

TEST_F(StartUp, DownAtOnceMovesToTheSecondItem) {
    LeaveThreeItems();
    StartWindow();
    ASSERT_EQ(GetFocus(), Tree());
    PressKey(Tree(), VK_DOWN);
    ExpectSelected("Beta");
    EXPECT_EQ(Shown(), "beta's note");
    EXPECT_EQ(W->StatusBar->Panels()->Items(0)->Text(), "Beta");
    PressKey(Tree(), VK_DOWN);
    ExpectSelected("Gamma");
}

TEST_F(StartUp, ALockedFirstItemIsChosenWithItsNoteHidden) {
    LeaveThreeItems(true);
    StartWindow();
    ExpectSelected("Alpha");
    EXPECT_FALSE(W->REdit->Visible());
    EXPECT_FALSE(W->Panel2->Enabled());
    EXPECT_EQ(W->Panel2->Caption(), "Protected");
    EXPECT_TRUE(W->LockButton->Down());
    // Unlocking and the other item commands wait for the user.
    EXPECT_TRUE(W->LockItem->Enabled());
    EXPECT_TRUE(W->NewSubItem->Enabled());
    ClickNode(Node("Gamma"));
    EXPECT_TRUE(W->REdit->Visible());
    EXPECT_TRUE(W->Panel2->Enabled());
    EXPECT_EQ(Shown(), "gamma's note");
}

// With the compression levels shown, the first treskel's items show their
// markers from the start, as they do when the tab is entered again: the
// tree has its markers and lays each item out with room for one before
// its caption.
TEST_F(StartUp, CompressionMarkersShowFromTheStart) {
    StartWindow();
    NewTreskel("Work");
    for (int i = 0; i < 3; ++i) {
        Run(W->NewItem);
        W->TreeView->Selected()->EndEdit(false);
    }
    NewTreskel("Zed");
    CloseWindow();
    WriteRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "showcompression", "1");
    StartWindow();
    ASSERT_EQ(W->TabControl1->TabIndex(), 0);
    auto shown = [this] {
        UpdateWindow(Tree());
        PumpMessages();
        return OnScreen(Tree());
    };
    auto captionLeft = [this] {
        RECT r{};
        *reinterpret_cast<HTREEITEM*>(&r) = TreeView_GetRoot(Tree());
        SendMessageA(Tree(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return r.left;
    };
    EXPECT_NE(TreeView_GetImageList(Tree(), TVSIL_STATE), nullptr);
    EXPECT_EQ(TreeView_GetItemState(Tree(), TreeView_GetRoot(Tree()), TVIS_STATEIMAGEMASK), INDEXTOSTATEIMAGEMASK(1u));
    const long atStart = captionLeft();
    const Snapshot first = shown();
    SaveWindowShot(W->Handle(), "startup-markers");
    SelectTab(1);
    SelectTab(0);
    EXPECT_EQ(captionLeft(), atStart);
    const Snapshot again = shown();
    ASSERT_EQ(first.width, again.width);
    EXPECT_TRUE(first.bgr == again.bgr) << "the tree looks other than after entering the tab again";
    // Switched off and on again (as the options do) they go and come at once.
    W->TreeView->SetStateImages(nullptr);
    EXPECT_LT(captionLeft(), atStart);
    EXPECT_FALSE(shown().bgr == first.bgr);
    W->TreeView->SetStateImages(W->ImageList2);
    EXPECT_EQ(captionLeft(), atStart);
    EXPECT_TRUE(shown().bgr == first.bgr);
}

// The program itself, started as the user starts it, on the same data:
// read through its windows from outside.
TEST_F(StartUp, TheProgramItselfStartsOnTheFirstItemWithItsNote) {
    ProgramProcess program;
    HWND main = StartProgramOnThreeItems(program);
    ASSERT_NE(main, nullptr);
    HWND tree = FindChildOfClass(main, "TTreeView");
    HWND editor = FindChildOfClass(main, "TRichEditEx");
    ASSERT_NE(tree, nullptr);
    ASSERT_NE(editor, nullptr);
    auto selected = [&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0); };
    auto first = [&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0); };
    auto shown = [&] {
        wchar_t text[64] = {};
        SendMessageW(editor, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    EXPECT_TRUE(PumpUntil([&] { return first() != 0 && selected() == first(); }, 10000));
    EXPECT_EQ(shown().substr(0, 12), L"alpha's note");
    // The note panel holding the editor is open for typing.
    EXPECT_TRUE(IsWindowEnabled(GetParent(editor)));
    EXPECT_TRUE(IsWindowVisible(editor));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(program.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

// Closed, the program's window leaves the screen before its controls go,
// rather than staying while they are taken from it one by one.
TEST_F(StartUp, TheProgramsWindowLeavesTheScreenBeforeItsControlsGo) {
    ProgramProcess program;
    HWND main = StartProgramOnThreeItems(program);
    ASSERT_NE(main, nullptr);
    HWND tree = FindChildOfClass(main, "TTreeView");
    ASSERT_NE(tree, nullptr);
    PostMessageA(main, WM_CLOSE, 0, 0);
    bool treeGoneOnScreen = false;
    while (WaitForSingleObject(program.Process(), 0) == WAIT_TIMEOUT && !treeGoneOnScreen)
        treeGoneOnScreen = !IsWindow(tree) && IsWindowVisible(main);
    EXPECT_FALSE(treeGoneOnScreen) << "the tree went while the window was still shown";
    EXPECT_EQ(WaitForSingleObject(program.Process(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
}

// Not part of the suite: leaves a treskel of three items with notes in
// the directory named by TRESKEL_SCENE_DIR, for a screenshot of the
// program started on it (run with --gtest_also_run_disabled_tests).
TEST_F(StartUp, DISABLED_LeaveASceneForTheProgram) {
    const char* to = std::getenv("TRESKEL_SCENE_DIR");
    ASSERT_NE(to, nullptr);
    StartWindow();
    NewTreskel("Work");
    TTreeNode* plans = AddItem("Project plans");
    TTreeNode* budget = AddItem("Budget", plans);
    TTreeNode* minutes = AddItem("Meeting minutes");
    Record(plans)->Style = 1;
    Record(plans)->ColourIndex = 4;
    plans->Expand(false);
    SaveNote(plans, "The first milestone is due in spring.\r\nAsk for the plans before the meeting.");
    SaveNote(budget, "Rooms, travel and printing.");
    SaveNote(minutes, "Minutes of the last meeting.");
    CloseWindow();
    ASSERT_TRUE(CopyFileA(DataFile("Work.tsx").c_str(), (std::string(to) + "\\Work.tsx").c_str(), FALSE));
}

}  // namespace treskel::test

// Items, links and clones found again after a restart, and when the
// treskel's archive and tree are written.
#include "ItemsTest.h"

namespace treskel::test {

// ---------------------------------------------------------------- a session

TEST_F(Items, ItemsLinksAndClonesAreFoundAgainAfterARestart) {
    Start();
    TTreeNode* project = Add(W->NewItem, "Project");
    TTreeNode* task = AddUnder(project, W->NewSubItem, "Task");
    SaveNote(task, "do it");
    Select(task);
    Run(W->CloneNote);
    Rename(W->TreeView->Selected(), "Task again");
    Select(task);
    Run(W->CreateLink);
    Add(W->NewRootItem, "Other");
    const int32_t taskId = Record(task)->Id;
    const int32_t cloneId = Record(Node("Task again"))->Id;

    Restart();
    ASSERT_NE(Node("Project"), nullptr);
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Project", "Other"}));
    TTreeNode* t = Node("Project")->Item(0);
    EXPECT_EQ(t->Text(), "Task");
    EXPECT_EQ(t->ImageIndex(), ImgParent);
    ASSERT_EQ(t->Count(), 2);
    TTreeNode* link = t->Item(0);
    TTreeNode* clone = t->Item(1);
    EXPECT_EQ(link->Text(), "Task");
    EXPECT_EQ(Record(link)->IsLink, 1);
    EXPECT_EQ(Record(link)->Id, taskId);
    EXPECT_EQ(link->ImageIndex(), ImgLink);
    EXPECT_EQ(clone->Text(), "Task again");
    EXPECT_EQ(Record(clone)->Id, cloneId);
    EXPECT_EQ(Record(clone)->IsLink, 0);
    W->ShowItemNote(clone);
    EXPECT_EQ(Editor(), "do it");
    W->ShowItemNote(link);
    EXPECT_EQ(Editor(), "do it");
}

// ---------------------------------------------------------------- saving the treskel

class Saving : public Items {
protected:
    // "Work" with Alpha, Beta (with the sub-item Beta 1) and Gamma, their
    // notes saved, packed by a switch to "Other" and entered again.
    void StartSaved() {
        Start();
        TTreeNode* alpha = Add(W->NewItem, "Alpha");
        TTreeNode* beta = Add(W->NewItem, "Beta");
        AddUnder(beta, W->NewSubItem, "Beta 1");
        TTreeNode* gamma = AddUnder(alpha, W->NewItem, "Gamma");
        SaveNote(alpha, "alpha before");
        SaveNote(beta, "beta before");
        SaveNote(gamma, "gamma before");
        NewTreskel("Other");
        SelectTab(0);
    }
    // The archive of "Work" as a rewrite would change it: time and bytes.
    std::pair<int64_t, std::vector<unsigned char>> Archive() {
        const std::vector<TSearchRec> f = FindFiles(DataFile("Work.tsx"));
        return {f.empty() ? 0 : f[0].Time, ReadAll(DataFile("Work.tsx"))};
    }
    // To "Other" and back: "Work" is saved, and opened again from its files.
    void LeaveAndComeBack() {
        Sleep(20);  // a rewrite shows in the time stamp
        SelectTab(1);
        SelectTab(0);
    }
    std::string NoteOf(const std::string& caption) {
        TTreeNode* n = Node(caption);
        if (n == nullptr) return "(no item)";
        Select(n);
        return Editor();
    }
    void RenameByEditor(TTreeNode* node, const std::string& caption) {
        Select(node);
        node->EditText();
        Rename(node, caption);
    }
};

// A switch with nothing changed writes nothing; each kind of change to the
// tree, and a note saved or removed, is written.
TEST_F(Saving, LeavingATreskelWritesItsArchiveOnlyWhenSomethingChanged) {
    StartSaved();
    auto before = Archive();
    LeaveAndComeBack();
    EXPECT_EQ(Archive(), before) << "nothing changed";
    Select(Node("Alpha"));
    LeaveAndComeBack();
    EXPECT_EQ(Archive(), before) << "only selected";

    struct Kind {
        const char* name;
        std::function<void()> change;
        std::function<bool()> shown;
    };
    const std::vector<Kind> kinds = {
        {"caption", [&] { RenameByEditor(Node("Alpha"), "Alpha 2"); }, [&] { return Node("Alpha 2") != nullptr; }},
        {"colour",
         [&] {
             Select(Node("Beta"));
             Choose(W->ColorCombo, W->ColorCombo->Items()->Get(9));
         },
         [&] { return Record(Node("Beta"))->ColourIndex == 9; }},
        {"style",
         [&] {
             Select(Node("Beta"));
             ClickTool(W->ToolButton14);
         },
         [&] { return (Record(Node("Beta"))->Style & 1) != 0; }},
        {"lock", [&] { Lock(Node("Gamma"), "key"); }, [&] { return Locked(Node("Gamma")); }},
        {"move",
         [&] {
             Select(Node("Beta 1"));
             Run(W->PromoteItem);
         },
         [&] { return Node("Beta 1") != nullptr && Node("Beta 1")->Parent() == nullptr; }},
        {"sort", [&] { Run(W->SortZA); },
         [&] { return TopCaptions() == std::vector<std::string>{"Gamma", "Beta 1", "Beta", "Alpha 2"}; }},
        {"add", [&] { SaveNote(Add(W->NewItem, "Delta"), "delta"); }, [&] { return NoteOf("Delta") == "delta"; }},
        {"note saved",
         [&] {
             Select(Node("Beta"));
             TypeNote(" and after");
             Select(Node("Alpha 2"));
         },
         [&] { return NoteOf("Beta") == "beta before and after"; }},
        {"delete",
         [&] {
             Select(Node("Delta"));
             AnswerNextBox(IDYES);
             Run(W->RemoveItem);
         },
         [&] { return Node("Delta") == nullptr; }},
    };
    for (const Kind& k : kinds) {
        before = Archive();
        k.change();
        LeaveAndComeBack();
        EXPECT_NE(Archive(), before) << k.name;
        EXPECT_TRUE(k.shown()) << k.name;
        before = Archive();
        LeaveAndComeBack();
        EXPECT_EQ(Archive(), before) << "nothing changed after " << k.name;
    }
}

// Once saved, as at close, the nodes hold no records: no tree of them may
// be written beside the notes, however long the window goes on.
TEST_F(Saving, NoTreeIsWrittenBesideTheNotesOnceTheTreskelIsSaved) {
    StartSaved();
    RenameByEditor(Node("Alpha"), "Alpha 2");
    W->SaveTreskel(0);
    PumpUntil([] { return false; }, 800);
    EXPECT_FALSE(FileExists(FolderTreeFileName(DataDir(), "Work")));
    DropWindow();
    StartWindow();
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_NE(Node("Alpha 2"), nullptr);
}

// The note in the editor cannot be saved at close (another program holds
// its file) and the user closes anyway: the tree and every other note are
// saved; only what was typed into that note is lost, and the box says so.
TEST_F(Saving, ClosingAnywayAfterANoteCannotBeSavedKeepsTheTreeAndEveryOtherNote) {
    StartSaved();
    RenameByEditor(Node("Beta"), "Beta 2");
    Select(Node("Beta 2"));
    Choose(W->ColorCombo, W->ColorCombo->Items()->Get(4));
    Lock(Node("Gamma"), "key");
    Select(Node("Beta 1"));
    Run(W->PromoteItem);
    SaveNote(Add(W->NewItem, "Delta"), "delta");
    SaveNote(Node("Alpha"), "alpha saved since");
    TypeNote(" and typed");
    HANDLE held = CreateFileA(NoteFile(Node("Alpha")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::vector<std::string> tops = TopCaptions();
    AnswerNextBox(IDYES);
    PostMessageA(W->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    CloseHandle(held);
    EXPECT_FALSE(W->Visible());
    ASSERT_EQ(MessageBoxes().size(), 1u);
    const std::string& text = MessageBoxes()[0].text;
    EXPECT_EQ(text.rfind("The note of 'Alpha' could not be saved.\n", 0), 0u) << text;
    EXPECT_NE(text.find("what was typed into 'Alpha' since its note was last saved is lost"), std::string::npos)
        << text;

    DropWindow();
    StartWindow();
    SelectTab(W->TabControl1->Tabs()->IndexOf("Work"));
    EXPECT_EQ(TopCaptions(), tops);
    EXPECT_EQ(Record(Node("Beta 2"))->ColourIndex, 4);
    EXPECT_TRUE(Locked(Node("Gamma")));
    EXPECT_EQ(NoteOf("Alpha"), "alpha saved since");
    EXPECT_EQ(NoteOf("Beta 2"), "beta before");
    EXPECT_EQ(NoteOf("Delta"), "delta");
}

}  // namespace treskel::test

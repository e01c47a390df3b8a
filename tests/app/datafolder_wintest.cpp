// A treskel's files as the user meets them in the main window: a data
// directory that goes away while the program runs, a new treskel whose
// name the file system takes for another's files, and an archive whose
// name gives its treskel no name.
#include "MainWindowTest.h"

#include <commctrl.h>

#include "store/TreskelArchive.h"
#include "store/TreskelNames.h"
#include "platform/FileSys.h"
#include "support/ProgramRun.h"

namespace treskel::test {

// ---------------------------------------------------------------- a data directory that goes away

class DataFolderGone : public MainWindowDialogsTest {
protected:
    void SetUp() override {
        MainWindowDialogsTest::SetUp();
        ASSERT_TRUE(CreateDir(Folder()));
        PresetDataPath(Folder());
        // Work: Alpha and Beta with notes, Gamma without; Home: one item.
        WriteTreskel("Work", {{"Alpha", SmallRtf("alpha's note")}, {"Beta", SmallRtf("beta's note")}, {"Gamma", ""}},
                     Data());
        WriteTreskel("Home", {{"Garden", SmallRtf("roses")}}, Data());
        work_ = ReadAll(Data() + "Work.tsx");
        home_ = ReadAll(Data() + "Home.tsx");
    }
    void TearDown() override {
        MoveBack();
        MainWindowDialogsTest::TearDown();
    }
    std::string Folder() const { return DataDir() + "Notes"; }
    std::string Data() const { return Folder() + "\\"; }
    // Moved away, as the user moves a folder in a file manager, and back.
    void MoveAway() { ASSERT_TRUE(MoveFileA(Folder().c_str(), (DataDir() + "Moved").c_str())); }
    void MoveBack() {
        if (DirectoryExists(DataDir() + "Moved")) {
            ASSERT_TRUE(MoveFileA((DataDir() + "Moved").c_str(), Folder().c_str()));
        }
    }
    // The boxes that said the data directory is gone, naming it.
    size_t GoneBoxes() {
        size_t n = 0;
        for (const BoxRecord& b : MessageBoxes())
            n += b.text.find("The data directory " + Folder() + " is not there") != std::string::npos;
        return n;
    }
    // The boxes shown since the last look.
    std::vector<BoxRecord> NewBoxes() {
        std::vector<BoxRecord> boxes(MessageBoxes().begin() + static_cast<long>(seen_), MessageBoxes().end());
        seen_ = MessageBoxes().size();
        return boxes;
    }
    // F2 on the selected item, the new caption typed, Enter.
    void RenameSelected(const std::string& caption) {
        PressKey(Tree(), VK_F2);
        HWND edit = reinterpret_cast<HWND>(SendMessageA(Tree(), TVM_GETEDITCONTROL, 0, 0));
        ASSERT_NE(edit, nullptr);
        TypeText(edit, caption);
        PressKey(edit, VK_RETURN);
        ASSERT_FALSE(W->TreeView->IsEditing());
    }
    // A new item from the main tool bar's first button, its caption typed.
    void NewItemNamed(const std::string& caption) {
        ClickTool(dynamic_cast<TToolButton*>(W->FindComponent("NewButton")));
        if (!W->TreeView->IsEditing()) return;
        HWND edit = reinterpret_cast<HWND>(SendMessageA(Tree(), TVM_GETEDITCONTROL, 0, 0));
        TypeText(edit, caption);
        PressKey(edit, VK_RETURN);
    }
    // A real start, then Work entered as a click on its tab enters it:
    // Alpha's note shown.
    void Start() {
        StartWindow();
        ASSERT_TRUE(ClickTab(TabIndexOf("Work")));
        ASSERT_EQ(Shown(), "alpha's note");
        seen_ = MessageBoxes().size();
    }
    // Long enough for the tree to be written after a change.
    static void AMoment() { HoldOnScreen(800); }

    std::vector<unsigned char> work_, home_;
    size_t seen_ = 0;
};

// Nothing typed: the first note that cannot be read says, at once, which
// directory is gone; the tree written a moment after a rename, a new item
// and the close stay honest; and once the directory is back, every change
// is saved.
TEST_F(DataFolderGone, TheFirstReadSaysSoAndEveryChangeIsSavedOnceItIsBack) {
    Start();
    MoveAway();
    ClickNode(Node("Beta"));
    std::vector<BoxRecord> boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(GoneBoxes(), 1u) << boxes[0].text;
    EXPECT_EQ(W->TreeView->Selected(), Node("Beta"));
    EXPECT_FALSE(W->REdit->Visible());  // nothing can be typed that cannot be saved
    EXPECT_EQ(W->Panel2->Caption(), "The note of \"Beta\" cannot be shown. The data directory is not there.");
    SaveWindowShot(W->Handle(), "data-directory-gone");
    // An item without a note is no different: its note is out of reach too.
    ClickNode(Node("Gamma"));
    EXPECT_FALSE(W->REdit->Visible());
    // Said once: the rename and the new item, written a moment later, do
    // not say it again.
    RenameSelected("Renamed");
    NewItemNamed("Added");
    AMoment();
    EXPECT_TRUE(NewBoxes().empty());
    // The close cannot save them: the user may stay.
    W->Close();
    PumpMessages();
    boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("The treskel 'Work' could not be saved.\n", 0), 0u) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find(Folder()), std::string::npos);
    EXPECT_NE(boxes[0].text.find("Close anyway?"), std::string::npos);
    EXPECT_TRUE(W->Visible());

    MoveBack();
    ClickNode(Node("Alpha"));
    EXPECT_EQ(Shown(), "alpha's note");
    CloseWindow();
    EXPECT_TRUE(NewBoxes().empty());
    Start();
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Alpha", "Beta", "Renamed", "Added"}));
    ClickNode(Node("Beta"));
    EXPECT_EQ(Shown(), "beta's note");
}

// The first failure is the tree written a moment after a rename: said at
// once, and said once; written as soon as the directory is back.
TEST_F(DataFolderGone, TheTreeWrittenAMomentAfterARenameSaysSoAtOnce) {
    Start();
    MoveAway();
    RenameSelected("Renamed");
    AMoment();
    std::vector<BoxRecord> boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("The changes to the items of the treskel 'Work' could not be saved.\n", 0), 0u)
        << boxes[0].text;
    EXPECT_EQ(GoneBoxes(), 1u);
    NewItemNamed("Added");
    AMoment();
    EXPECT_TRUE(NewBoxes().empty());
    // Back in its place, it takes the tree again without a change: a
    // crash then loses nothing.
    MoveBack();
    EXPECT_TRUE(PumpUntil([&] { return FileExists(FolderTreeFileName(Data(), "Work")); }, 5000));
    EXPECT_TRUE(NewBoxes().empty());
    DropWindow();
    StartWindow();
    ASSERT_TRUE(ClickTab(TabIndexOf("Work")));
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Renamed", "Beta", "Gamma", "Added"}));
}

// Typed into a note, then the directory goes: leaving the item, leaving the
// tab, a new item and the close each say that the note could not be saved
// and why, and keep it in the editor; saved once the directory is back.
TEST_F(DataFolderGone, WhatWasTypedStaysInTheEditorOnEveryRoadUntilItCanBeSaved) {
    Start();
    TypeNote("more ");
    ASSERT_TRUE(W->NoteModified);
    const std::string typed = Shown();
    ASSERT_NE(typed.find("more "), std::string::npos);
    MoveAway();
    auto expectKept = [&](const char* road) {
        std::vector<BoxRecord> boxes = NewBoxes();
        ASSERT_EQ(boxes.size(), 1u) << road;
        EXPECT_EQ(boxes[0].text.rfind("The note of 'Alpha' could not be saved.\nThe data directory " + Folder(), 0), 0u)
            << road << ": " << boxes[0].text;
        EXPECT_EQ(W->TreeView->Selected(), Node("Alpha")) << road;
        EXPECT_EQ(Shown(), typed) << road;
        EXPECT_TRUE(W->NoteModified) << road;
    };
    ClickNode(Node("Beta"));
    expectKept("another item");
    EXPECT_FALSE(ClickTab(TabIndexOf("Home"), 500));
    expectKept("another tab");
    EXPECT_EQ(W->TabControl1->Tabs()->Get(W->TabControl1->TabIndex()), "Work");
    const int items = W->TreeView->Items()->Count();
    ClickTool(dynamic_cast<TToolButton*>(W->FindComponent("NewButton")));
    expectKept("a new item");
    EXPECT_EQ(W->TreeView->Items()->Count(), items);
    EXPECT_FALSE(W->TreeView->IsEditing());
    // Closing asks, and says what closing anyway loses; No stays.
    W->Close();
    PumpMessages();
    std::vector<BoxRecord> boxes = NewBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(Folder()), std::string::npos) << boxes[0].text;
    EXPECT_NE(boxes[0].text.find("Close anyway? Closing now, what was typed into 'Alpha'"), std::string::npos)
        << boxes[0].text;
    EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_TRUE(W->Visible());
    EXPECT_EQ(Shown(), typed);

    MoveBack();
    ClickNode(Node("Beta"));
    EXPECT_TRUE(NewBoxes().empty());
    CloseWindow();
    StartWindow();
    ASSERT_TRUE(ClickTab(TabIndexOf("Work")));
    EXPECT_EQ(Shown(), typed);
    EXPECT_EQ(ReadAll(Data() + "Home.tsx"), home_);
}

// A tab entered while the directory is gone is out of reach, not empty: it
// is never saved over its archive, before or after the directory is back.
TEST_F(DataFolderGone, ATabEnteredWhileItIsGoneIsNeverSavedEmpty) {
    Start();
    MoveAway();
    ClickTab(TabIndexOf("Home"));
    EXPECT_EQ(NewBoxes().size(), 1u);
    EXPECT_EQ(GoneBoxes(), 1u);
    EXPECT_EQ(W->TreeView->Items()->Count(), 0);
    EXPECT_FALSE(W->NewItem->Enabled());  // nothing can be added to what is not shown
    MoveBack();
    ClickTab(TabIndexOf("Work"));
    ClickTab(TabIndexOf("Home"));
    EXPECT_EQ(TopCaptions(), std::vector<std::string>{"Garden"});
    EXPECT_EQ(Shown(), "roses");
    CloseWindow();
    EXPECT_EQ(ReadAll(Data() + "Home.tsx"), home_);
    EXPECT_EQ(ReadAll(Data() + "Work.tsx"), work_);
}

// ---------------------------------------------------------------- names the file system takes for others

namespace {
// Rename Treskel chosen from the menu of a right click on the current tab.
void RenameFromTabMenu(TfrmTreskel& w) {
    const WORD rename = dynamic_cast<TMenuItem*>(w.FindComponent("RenameTreskel1"))->Command();
    TPopupMenu::TestChooser = [rename](TPopupMenu*) -> WORD { return rename; };
    RECT tab{};
    SendMessageA(w.TabControl1->Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(w.TabControl1->TabIndex()),
                 reinterpret_cast<LPARAM>(&tab));
    PostClick(w.TabControl1->Handle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2, WM_RBUTTONDOWN,
              WM_RBUTTONUP);
    TPopupMenu::TestChooser = nullptr;
}
}  // namespace

using TreskelFileNames = MainWindowDialogsTest;

// New Treskel, through its own prompt, refuses a name whose files the
// system finds already: another treskel's archive by its short name
// (in either letter case), and a note folder left without its archive.
TEST_F(TreskelFileNames, ANewTreskelNeverTakesAnotherTreskelsFiles) {
    WriteTreskel("Work notes 2024", {{"Plans", SmallRtf("the plans")}, {"Budget", SmallRtf("the budget")}});
    WriteTreskel("Home", {{"Garden", SmallRtf("roses")}});
    ASSERT_TRUE(CreateDir(DataFile("Draft.tsn")));
    const std::vector<unsigned char> work = ReadAll(DataFile("Work notes 2024.tsx"));
    char shortName[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(DataFile("Work notes 2024.tsx").c_str(), shortName, MAX_PATH), 0u);
    const std::string shortStem = ChangeFileExt(ExtractFileName(shortName), "");
    ASSERT_NE(shortStem, "Work notes 2024");  // the system gives it a short name
    StartWindow();
    const std::vector<std::string> tabs = W->TabControl1->Tabs()->ToVector();
    const std::string lower = LowerCase(shortStem);
    for (const std::string& name : {shortStem, lower, std::string("DRAFT")}) {
        TypeIntoNextPrompt(std::wstring(name.begin(), name.end()));
        ClickTool(dynamic_cast<TToolButton*>(W->FindComponent("NewTreskelButton")));
        EXPECT_EQ(MessageBoxes().size(), 1u) << name;
        for (const BoxRecord& box : MessageBoxes()) {
            EXPECT_EQ(box.text, "An treskel with this name already exists.") << name;
            EXPECT_EQ(box.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
        }
        MessageBoxes().clear();
        EXPECT_EQ(W->TabControl1->Tabs()->ToVector(), tabs) << name;
        EXPECT_EQ(ReadAll(DataFile("Work notes 2024.tsx")), work) << name;
    }
    // Rename says the same of the short name.
    TypeIntoNextPrompt(std::wstring(lower.begin(), lower.end()));
    RenameFromTabMenu(*W);
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "An treskel with this name already exists.");
    MessageBoxes().clear();
    // A name of its own is made.
    TypeIntoNextPrompt(L"fresh");
    ClickTool(dynamic_cast<TToolButton*>(W->FindComponent("NewTreskelButton")));
    EXPECT_TRUE(MessageBoxes().empty());
    std::vector<std::string> captions;
    for (const Prompt& p : prompts_) captions.push_back(p.caption);
    EXPECT_EQ(captions, (std::vector<std::string>{"New Treskel", "New Treskel", "New Treskel", "Rename Treskel",
                                                  "New Treskel"}));
    EXPECT_EQ(ReadAll(DataFile("fresh.tsx")), (std::vector<unsigned char>{4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    CloseWindow();
    StartWindow();
    ClickTab(TabIndexOf("Work notes 2024"));
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Plans", "Budget"}));
    EXPECT_EQ(Shown(), "the plans");
}

// ---------------------------------------------------------------- an archive without a name

using UnnamedTreskel = MainWindowDialogsTest;

// An archive named ".tsx" alone is listed under a caption the user sees,
// keeps every note it held through closes with and without changes, and
// takes the name its treskel is given.
TEST_F(UnnamedTreskel, IsShownUnderACaptionAndKeepsItsNotes) {
    WriteTreskel("Work", {{"Alpha", SmallRtf("alpha's note")}, {"Beta", SmallRtf("beta's note")}, {"Gamma", ""}});
    ASSERT_TRUE(MoveFileA(DataFile("Work.tsx").c_str(), DataFile(".tsx").c_str()));
    const std::vector<unsigned char> archive = ReadAll(DataFile(".tsx"));
    StartWindow();
    ASSERT_EQ(W->TabControl1->Tabs()->ToVector(), std::vector<std::string>{kUnnamedTreskelCaption});
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(Shown(), "alpha's note");
    SaveWindowShot(W->Handle(), "unnamed-treskel");
    CloseWindow();
    EXPECT_EQ(ReadAll(DataFile(".tsx")), archive);  // nothing changed, nothing written

    StartWindow();
    ClickNode(Node("Gamma"));
    TypeNote("gamma's note");
    ClickNode(Node("Beta"));
    EXPECT_TRUE(MessageBoxes().empty());
    CloseWindow();
    EXPECT_GT(ReadAll(DataFile(".tsx")).size(), archive.size());
    StartWindow();
    for (const char* caption : {"Alpha", "Beta", "Gamma"}) {
        ClickNode(Node(caption));
        EXPECT_EQ(Shown(), LowerCase(caption) + "'s note");
    }
    // Named from the tab's menu, it is an ordinary treskel.
    TypeIntoNextPrompt(L"Work");
    RenameFromTabMenu(*W);
    ASSERT_EQ(prompts_.size(), 1u);
    EXPECT_EQ(prompts_[0].caption, "Rename Treskel");
    EXPECT_EQ(prompts_[0].offered, "");  // no name of its own to offer
    EXPECT_EQ(W->TabControl1->Tabs()->ToVector(), std::vector<std::string>{"Work"});
    CloseWindow();
    EXPECT_EQ(DataFiles(), std::vector<std::string>{"Work.tsx"});
    StartWindow();
    ClickNode(Node("Gamma"));
    EXPECT_EQ(Shown(), "gamma's note");
}

}  // namespace treskel::test

// The folder selection dialog, driven through its own window: the folder
// chosen keeps its letter case, new folders are made (or refused), and the
// drive box and hints do what they say.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <vector>

#include "controls/qcldlgS.h"
#include "platform/FileSys.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/ModalDialogs.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

using test::PumpMessages;

class FolderDialog : public testing::Test {
protected:
    void SetUp() override {
        dialogs_.Install();
        CreateDir(dir_.File("Notes"));
        CreateDir(dir_.File("Notes\\Old Ones"));
        CreateDir(dir_.File("Archive"));
    }
    void TearDown() override {
        EXPECT_FALSE(dialogs_.Pending()) << "a dialog the test expected did not come";
        dialogs_.Remove();
    }
    // Runs the dialog with `act` answering it through its window.
    bool Run(const std::function<void(TQclDirDlg&)>& act) {
        dialogs_.Queue([this, act](TCustomForm&) { act(*dlg_); });
        return dlg_->Execute();
    }
    static void Press(TButton* b) { SendMessageA(b->Handle(), BM_CLICK, 0, 0); }

    test::TempDir dir_;
    test::ModalDialogs dialogs_;
    OwnedPtr<TQclDirDlg> dlg_ = MakeOwned<TQclDirDlg>();
};

// The dialog's unit seeds the runtime's random numbers as the program
// starts: the first numbers drawn are not those of an unseeded generator.
TEST(FolderDialogUnit, SeedsTheRandomNumbersAtStart) {
    std::vector<int> drawn(3), unseeded(3);
    for (int& n : drawn) n = std::rand();
    std::srand(1);
    for (int& n : unseeded) n = std::rand();
    EXPECT_NE(drawn, unseeded);
}

TEST_F(FolderDialog, OKGivesTheFolderShownWithItsLetterCaseKept) {
    const std::string start = ExcludeTrailingBackslash(dir_.File("Notes"));
    dlg_->SetPath(start);
    std::string shown, caption;
    bool newFolderVisible = true;
    EXPECT_TRUE(Run([&](TQclDirDlg& d) {
        shown = d.FolderList()->Directory();
        caption = d.Window()->Caption();
        newFolderVisible = d.NewFolderButton()->Visible();
        test::SaveWindowShot(d.Window()->Handle(), "dialogs-folder");
        Press(d.OKButton());
    }));
    EXPECT_EQ(shown, start);
    EXPECT_EQ(dlg_->Path(), start);  // not upper-cased
    EXPECT_EQ(caption, "Select Path...");
    EXPECT_FALSE(newFolderVisible);
    EXPECT_EQ(dlg_->Window(), nullptr);  // the window goes with the dialog
}

TEST_F(FolderDialog, OpeningASubFolderAndCancelling) {
    dlg_->SetPath(dir_.File("Notes"));
    const std::string before = dlg_->Path();
    EXPECT_FALSE(Run([](TQclDirDlg& d) {
        TDirectoryListBox* list = d.FolderList();
        int sub = list->Items()->IndexOf("Old Ones");
        ASSERT_GE(sub, 0);
        list->SetItemIndex(sub);
        SendMessageA(list->Handle(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(list->Directory(), ExcludeTrailingBackslash(d.Path()) + "\\Old Ones");
        SendMessageA(d.Window()->Handle(), WM_CLOSE, 0, 0);
    }));
    EXPECT_EQ(dlg_->Path(), before);
}

// The keyboard itself, from the folder list that has the focus: Enter
// opens the folder chosen, Tab goes on to the drive box, Esc cancels.
TEST_F(FolderDialog, TheKeyboardOpensAFolderMovesOnAndCancels) {
    dlg_->SetPath(dir_.File("Notes"));
    const std::string before = dlg_->Path();
    EXPECT_FALSE(Run([](TQclDirDlg& d) {
        TDirectoryListBox* list = d.FolderList();
        ASSERT_TRUE(test::PumpUntil([&] { return GetFocus() == list->Handle(); }));
        list->SetItemIndex(list->Items()->IndexOf("Old Ones"));
        test::TapKey(VK_RETURN);
        EXPECT_TRUE(test::PumpUntil([&] { return ExtractFileName(list->Directory()) == "Old Ones"; }));
        EXPECT_EQ(d.Window()->ModalResult(), mrNone);
        test::TapKey(VK_TAB);
        EXPECT_TRUE(test::PumpUntil([&] { return GetFocus() == d.DriveBox()->Handle(); }));
        list->SetFocus();
        test::TapKey(VK_ESCAPE);
        EXPECT_TRUE(test::PumpUntil([&] { return d.Window()->ModalResult() == mrCancel; }));
    }));
    EXPECT_EQ(dlg_->Path(), before);
}

TEST_F(FolderDialog, AMissingStartFolderShowsTheNearestOneAbove) {
    dlg_->SetPath(dir_.File("Notes\\gone\\deeper"));
    EXPECT_TRUE(Run([](TQclDirDlg& d) { Press(d.OKButton()); }));
    EXPECT_EQ(dlg_->Path(), ExcludeTrailingBackslash(dir_.File("Notes")));
}

TEST_F(FolderDialog, ANewFolderIsMadeAndOpened) {
    dlg_->SetAllowNewDir(true);
    dlg_->SetPath(dir_.File("Archive"));
    test::AnswerNextQuery("  2024 Letters ");
    EXPECT_TRUE(Run([](TQclDirDlg& d) {
        EXPECT_TRUE(d.NewFolderButton()->Visible());
        EXPECT_EQ(d.NewFolderButton()->Caption(), "&New Folder");
        Press(d.NewFolderButton());
        Press(d.OKButton());
    }));
    ASSERT_EQ(test::InputQueries().size(), 1u);
    EXPECT_EQ(test::InputQueries()[0].caption, "New Folder");
    EXPECT_EQ(test::InputQueries()[0].prompt.rfind("Name: (", 0), 0u);
    EXPECT_TRUE(DirectoryExists(dir_.File("Archive\\2024 Letters")));
    EXPECT_EQ(dlg_->Path(), ExcludeTrailingBackslash(dir_.File("Archive")) + "\\2024 Letters");
}

// Names that would lead out of the folder, or that no folder can have,
// are refused with one message before anything is made, and asked for
// again with the name as it was typed.
TEST_F(FolderDialog, NamesThatLeadOutOfTheFolderOrNoFolderCanHaveAreRefused) {
    dlg_->SetAllowNewDir(true);
    dlg_->SetPath(dir_.File("Archive"));
    const std::vector<std::string> bad = {"a\\b", "x/y", "c:",     "..",    "..\\Escaped", "up..down", "why?",
                                          "all*", "<a>", "a|b", "\"q\"", "a\tb", "dot."};
    for (const std::string& name : bad) test::AnswerNextQuery(name);
    EXPECT_TRUE(Run([&](TQclDirDlg& d) {
        Press(d.NewFolderButton());
        Press(d.OKButton());
    }));
    ASSERT_EQ(test::MessageBoxes().size(), bad.size());
    for (const auto& box : test::MessageBoxes()) EXPECT_EQ(box.text, kQclBadFolderName);
    // Each refused name came back in the box; the last one was cancelled.
    ASSERT_EQ(test::InputQueries().size(), bad.size() + 1);
    for (size_t i = 0; i < bad.size(); ++i) EXPECT_EQ(test::InputQueries()[i + 1].value, bad[i]);
    EXPECT_FALSE(DirectoryExists(dir_.File("Escaped")));
    EXPECT_FALSE(DirectoryExists(dir_.File("Archive\\a")));
    EXPECT_EQ(dlg_->Path(), ExcludeTrailingBackslash(dir_.File("Archive")));
    // A blank name makes nothing and says why.
    test::MessageBoxes().clear();
    test::AnswerNextQuery("   ");
    EXPECT_TRUE(Run([](TQclDirDlg& d) {
        Press(d.NewFolderButton());
        Press(d.OKButton());
    }));
    ASSERT_EQ(test::MessageBoxes().size(), 1u);
    EXPECT_EQ(test::MessageBoxes()[0].text, kQclBlankFolderName);
}

TEST_F(FolderDialog, AFolderThatCannotBeMadeIsReported) {
    dlg_->SetAllowNewDir(true);
    dlg_->SetPath(dir_.File("Archive"));
    test::WriteAll(dir_.File("Archive\\Taken"), std::string("a file"));
    test::AnswerNextQuery("Taken");
    EXPECT_TRUE(Run([](TQclDirDlg& d) {
        Press(d.NewFolderButton());
        Press(d.OKButton());
    }));
    ASSERT_EQ(test::MessageBoxes().size(), 1u);
    EXPECT_EQ(test::MessageBoxes()[0].text, QclNewFolderFailure("Taken", true, ""));
    EXPECT_EQ(test::MessageBoxes()[0].caption, "New Folder");
    // An event takes the message's place.
    int errors = 0;
    dlg_->OnFolderError = [&](TObject*) { ++errors; };
    test::AnswerNextQuery("Taken");
    Run([](TQclDirDlg& d) {
        Press(d.NewFolderButton());
        Press(d.OKButton());
    });
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(test::MessageBoxes().size(), 1u);
}

TEST_F(FolderDialog, TheExtraButtonAndTheHintsGoWhereTheyShould) {
    dlg_->SetCustomButton("&More");
    dlg_->SetCaptionTitle("Where the notes go");
    int extraClicks = 0;
    dlg_->OnCustomClick = [&](TObject*) { ++extraClicks; };
    dlg_->Hints()->Add("Take this folder");
    dlg_->Hints()->Add("More choices");
    TForm* seen = nullptr;
    dlg_->OnCustomize = [&](TObject* sender) { seen = dynamic_cast<TForm*>(sender); };
    Run([&](TQclDirDlg& d) {
        EXPECT_EQ(seen, d.Window());
        EXPECT_EQ(d.Window()->Caption(), "Where the notes go");
        EXPECT_TRUE(d.ExtraButton()->Visible());
        EXPECT_EQ(d.ExtraButton()->Caption(), "&More");
        EXPECT_EQ(d.OKButton()->Hint(), "Take this folder");
        EXPECT_EQ(d.ExtraButton()->Hint(), "More choices");
        EXPECT_EQ(d.FolderList()->Hint(), "");
        EXPECT_EQ(d.DriveBox()->Hint(), "");
        Press(d.ExtraButton());
        Press(d.OKButton());
    });
    EXPECT_EQ(extraClicks, 1);
}

TEST_F(FolderDialog, TheDriveBoxListsTheDrivesAndMovesTheList) {
    dlg_->SetPath(dir_.File("Notes"));
    Run([](TQclDirDlg& d) {
        TDriveComboBox* drives = d.DriveBox();
        ASSERT_GE(drives->Items()->Count(), 1);
        EXPECT_EQ(drives->Drive(), static_cast<char>(std::tolower(static_cast<unsigned char>(d.FolderList()->Drive()))));
        char other = drives->Drive() == 'c' ? 'z' : 'c';
        drives->SetDrive(other);
        EXPECT_EQ(std::tolower(static_cast<unsigned char>(d.FolderList()->Drive())), other);
        SendMessageA(d.Window()->Handle(), WM_CLOSE, 0, 0);
    });
}

TEST_F(FolderDialog, TheDialogIsPlacedAsAsked) {
    dlg_->SetPosition(TQclDlgPosition::bpTopLeft);
    dlg_->SetRelatePos(TQclDlgPosRel::brScreen);
    RECT r{};
    Run([&](TQclDirDlg& d) {
        GetWindowRect(d.Window()->Handle(), &r);
        SendMessageA(d.Window()->Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    dlg_->SetPosition(TQclDlgPosition::bpCenter);
    Run([&](TQclDirDlg& d) {
        GetWindowRect(d.Window()->Handle(), &r);
        SendMessageA(d.Window()->Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
}

}  // namespace
}  // namespace treskel

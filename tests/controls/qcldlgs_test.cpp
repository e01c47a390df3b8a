// The folder dialog's rules and what its folder list shows.
#include <gtest/gtest.h>

#include "controls/qcldlgSRules.h"
#include "platform/FileCtrlRules.h"

namespace treskel {
namespace {

TEST(QclNewFolder, NamesThatReachAnotherFolderOrNoFolderCanHaveAreRefused) {
    for (const char* bad : {"a\\b", "a/b", "c:", "C:\\x", "..", "..\\up", "../up", "x..y", "\\", "what?", "a*",
                            "<b>", "x|y", "say \"so\"", "tab\there", "bell\a", "ends.", "."})
        EXPECT_FALSE(QclNewFolderNameProblem(bad).empty()) << bad;
    for (const char* good : {"Notes", "2024 Letters", "a.b", ".hidden", "Ünïcode-ish", "a#b%c&d(e)[f]{g}'h~i!j,k;l=m+n@o^p$"})
        EXPECT_TRUE(QclNewFolderNameProblem(good).empty()) << good;
    EXPECT_TRUE(QclNewFolderNameBlank(""));
    EXPECT_TRUE(QclNewFolderNameBlank("   "));
    EXPECT_FALSE(QclNewFolderNameBlank(" a "));
}

TEST(QclNewFolder, WhereItGoesAndHowItIsAskedFor) {
    EXPECT_EQ(QclNewFolderPath("C:\\Notes", "New"), "C:\\Notes\\New");
    EXPECT_EQ(QclNewFolderPath("C:\\", "New"), "C:\\New");
    EXPECT_EQ(QclNewFolderQueryCaption(), "New Folder");
    EXPECT_EQ(QclNewFolderPrompt("C:\\Notes"), "Name: (C:\\Notes)");
    std::string longPrompt = QclNewFolderPrompt("C:\\one\\two\\three\\four\\five\\six\\seven\\Target");
    EXPECT_LE(longPrompt.size(), std::string("Name: ()").size() + 36);
    EXPECT_NE(longPrompt.find("Target"), std::string::npos);
}

TEST(DirectoryList, ThePathFromTheRootThenTheSubFolders) {
    EXPECT_EQ(SplitDirectoryPath("c:\\Notes\\\\2024\\"), (std::vector<std::string>{"c:\\", "Notes", "2024"}));
    EXPECT_EQ(SplitDirectoryPath("C:\\"), std::vector<std::string>{"C:\\"});
    std::vector<TDirEntry> e = DirectoryEntries("C:\\Notes", {"zeta", ".", "..", "Alpha", "beta"});
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[0], (TDirEntry{"C:\\", 0, true}));
    EXPECT_EQ(e[1], (TDirEntry{"Notes", 1, true}));
    EXPECT_EQ(e[2], (TDirEntry{"Alpha", 2, false}));
    EXPECT_EQ(e[3].name, "beta");
    EXPECT_EQ(e[4].name, "zeta");
    EXPECT_EQ(CurrentDirectoryEntry(e), 1);
    EXPECT_EQ(DirectoryEntryPath(e, 0), "C:\\");
    EXPECT_EQ(DirectoryEntryPath(e, 1), "C:\\Notes");
    EXPECT_EQ(DirectoryEntryPath(e, 3), "C:\\Notes\\beta");
    EXPECT_EQ(DirectoryEntryPath(e, 9), "");
    // A root shows itself and its folders.
    std::vector<TDirEntry> root = DirectoryEntries("Z:\\", {"tmp"});
    EXPECT_EQ(DirectoryEntryPath(root, 1), "Z:\\tmp");
}

}  // namespace
}  // namespace treskel

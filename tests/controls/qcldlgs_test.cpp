// The folder dialog's rules and what its folder list shows.
#include <gtest/gtest.h>

#include "controls/qcldlgSRules.h"
#include "platform/FileCtrlRules.h"

namespace treskel {
namespace {

TEST(QclNewFolder, NamesThatReachAnotherFolderOrNoFolderCanHaveAreRefusedSayingWhy) {
    const std::string dir = "C:\\Notes";
    for (const char* bad : {"a\\b", "a/b", "c:", "C:\\x", "..", "..\\up", "../up", "x..y", "\\", "what?", "a*",
                            "<b>", "x|y", "say \"so\"", "tab\there", "bell\a", "ends.", "."})
        EXPECT_EQ(QclNewFolderNameProblem(dir, bad), kQclBadFolderName) << bad;
    for (const char* good : {"Notes", "2024 Letters", "a.b", ".hidden", "\xDC" "n\xEF" "code-ish", "a#b%c&d(e)[f]{g}'h~i!j,k;l=m+n@o^p$",
                             "CONSOLE", "COM10", "LPT", "nullish", "  padded  "})
        EXPECT_TRUE(QclNewFolderNameProblem(dir, good).empty()) << good;
    for (const char* blank : {"", "   "}) EXPECT_EQ(QclNewFolderNameProblem(dir, blank), kQclBlankFolderName);
    // The system's devices, whatever case, extension or blanks follow.
    for (const char* device : {"CON", "nul", "Prn", "aux ", "COM1", "lpt9", "con.txt", "NUL.tar.gz", "CONIN$", "clock$",
                               "COM\xB9"}) {
        const std::string problem = QclNewFolderNameProblem(dir, device);
        EXPECT_NE(problem.find("device of the system"), std::string::npos) << device << ": " << problem;
    }
    // As long as a folder name and a folder's path can be, and no longer.
    EXPECT_NE(QclNewFolderNameProblem("C:", std::string(kQclMaxFolderName, 'n')).find("path would have 258"),
              std::string::npos);
    EXPECT_EQ(QclNewFolderNameProblem("C:", std::string(kQclMaxFolderName + 1, 'n')),
              "A folder name can have at most 255 characters; this one has 256.\nPlease choose a shorter name.");
    const std::string deep = "C:\\" + std::string(200, 'd');
    const size_t room = kQclMaxFolderPath - deep.size() - 1;
    EXPECT_TRUE(QclNewFolderNameProblem(deep, std::string(room, 'n')).empty());
    EXPECT_EQ(QclNewFolderNameProblem(deep, std::string(room + 1, 'n')),
              "The new folder's path would have 249 characters; a folder's path can have at most 248."
              "\nPlease choose a shorter name.");
    EXPECT_EQ(QclNewFolderFailure("Taken", true, "ignored"),
              "There is a folder or file named \"Taken\" here already.\nPlease choose another name.");
    EXPECT_EQ(QclNewFolderFailure("x", false, "Access denied."), "IO-Error!\rCould not create folder.\rAccess denied.");
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

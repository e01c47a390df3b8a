// What the options dialog checks of a data directory before keeping it.
#include <gtest/gtest.h>

#include "app/TreskelOptionsRules.h"
#include "platform/FileSys.h"
#include "platform/SysUtils.h"
#include "support/TestEnv.h"

namespace treskel {
namespace {

TEST(DataDirectory, AMissingDirectoryIsMadeAndProvedWritable) {
    test::TempDir dir;
    const std::string notes = dir.File("Notes\\Deeper");
    EXPECT_EQ(DataDirectoryProblem(notes), "");
    EXPECT_TRUE(DirectoryExists(notes));
    // The proof leaves nothing behind.
    EXPECT_TRUE(FindFiles(IncludeTrailingBackslash(notes) + "*").empty());
    EXPECT_EQ(DataDirectoryProblem(""), "");
    EXPECT_EQ(DataDirectoryProblem(IncludeTrailingBackslash(notes)), "");
}

TEST(DataDirectory, AFileInTheWayIsAProblem) {
    test::TempDir dir;
    test::WriteAll(dir.File("file"), std::string("x"));
    EXPECT_NE(DataDirectoryProblem(dir.File("file")), "");
    EXPECT_NE(DataDirectoryProblem(dir.File("file\\Notes")), "");
    EXPECT_FALSE(DirectoryExists(dir.File("file\\Notes")));
}

TEST(DataDirectory, SpellingsOfOneDirectory) {
    EXPECT_TRUE(SameDirectory("C:\\Notes", "c:\\notes\\"));
    EXPECT_TRUE(SameDirectory(" C:\\Notes ", "C:\\Notes"));
    EXPECT_TRUE(SameDirectory("", ""));
    EXPECT_FALSE(SameDirectory("C:\\Notes", "C:\\Notes2"));
}

}  // namespace
}  // namespace treskel

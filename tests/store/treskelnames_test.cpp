#include <gtest/gtest.h>

#include "store/TreskelNames.h"

using namespace treskel;

TEST(TreskelNames, NamesThatNameFilesInTheDataDirectory) {
    for (const char* ok : {"Notes", "My notes 2024", "a.b", "CONSOLE", "COM", "LPT10", "COM\xb4", "x", "\xe9t\xe9"})
        EXPECT_TRUE(IsValidTreskelName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "a\\b", "..\\evil", "a/b", "c:x", "what?", "a*", "\"q\"", "<a>", "a|b",
                            "dot.", "space ", "CON", "con.txt", "Nul", "COM1", "lpt9.tsx", "AUX ", "tab\tname",
                            "COM0", "lpt0", "COM\xb9", "LPT\xb2.x", "com\xb3", "CONIN$", "conout$.tsx"})
        EXPECT_FALSE(IsValidTreskelName(bad)) << bad;
}

TEST(TreskelNames, TheRefusalNamesTheName) {
    EXPECT_NE(InvalidTreskelNameMessage("a/b").find("'a/b'"), std::string::npos);
}

TEST(TreskelNames, ANameFitsWhenItsFilesStayWithinThePathLimits) {
    const std::string dir = "C:\\Data\\";
    // C:\Data\ + name + ".tsn\12345678.tmp" may be 259 characters long.
    std::string longest(259 - dir.size() - 17, 'n');
    EXPECT_TRUE(TreskelNameFits(dir, longest));
    EXPECT_FALSE(TreskelNameFits(dir, longest + "n"));
    EXPECT_EQ(TreskelNameProblem(dir, longest), "");
    EXPECT_NE(TreskelNameProblem(dir, longest + "n").find("too long"), std::string::npos);
    EXPECT_NE(TreskelNameProblem(dir, "COM\xb9").find("device"), std::string::npos);
    // However short the data path, the note folder's files bound the name.
    EXPECT_TRUE(TreskelNameFits("C:\\", std::string(239, 'n')));
    EXPECT_FALSE(TreskelNameFits("C:\\", std::string(240, 'n')));
}

#include <gtest/gtest.h>

#include "store/TreskelNames.h"

using namespace treskel;

TEST(TreskelNames, NamesThatNameFilesInTheDataDirectory) {
    for (const char* ok : {"Notes", "My notes 2024", "a.b", "CONSOLE", "COM0", "LPT10", "x", "\xe9t\xe9"})
        EXPECT_TRUE(IsValidTreskelName(ok)) << ok;
    for (const char* bad : {"", ".", "..", "a\\b", "..\\evil", "a/b", "c:x", "what?", "a*", "\"q\"", "<a>", "a|b",
                            "dot.", "space ", "CON", "con.txt", "Nul", "COM1", "lpt9.tsx", "AUX ", "tab\tname"})
        EXPECT_FALSE(IsValidTreskelName(bad)) << bad;
}

TEST(TreskelNames, TheRefusalNamesTheName) {
    EXPECT_NE(InvalidTreskelNameMessage("a/b").find("'a/b'"), std::string::npos);
}

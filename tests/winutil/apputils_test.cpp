// Where placements are stored: the words of a stored value and the
// program's default INI file and registry key, and where a placement puts
// a maximised form.
#include <gtest/gtest.h>

#include "winutil/AppUtilsRules.h"
#include "winutil/PlacemntRules.h"

using namespace treskel;

TEST(AppUtils, WordsAndWhereTheyStartSkipRunsOfDelimiters) {
    const std::string s = " 10, 20,,x 400";
    EXPECT_EQ(NthWord(1, s, " ,"), "10");
    EXPECT_EQ(NthWordPos(1, s, " ,"), 2);
    EXPECT_EQ(NthWord(3, s, " ,"), "x");
    EXPECT_EQ(NthWordPos(3, s, " ,"), 10);
    EXPECT_EQ(NthWord(4, s, " ,"), "400");
    EXPECT_EQ(NthWordPos(4, s, " ,"), 12);
    // Fewer words, none at all, or no such place.
    EXPECT_EQ(NthWord(5, s, " ,"), "");
    EXPECT_EQ(NthWordPos(5, s, " ,"), 0);
    EXPECT_EQ(NthWordPos(1, ",, ", " ,"), 0);
    EXPECT_EQ(NthWordPos(0, s, " ,"), 0);
    EXPECT_EQ(NthWord(0, s, " ,"), "");
    // No delimiters: the whole text is one word.
    EXPECT_EQ(NthWordPos(1, "abc", ""), 1);
}

TEST(AppUtils, TheDefaultIniFileIsTheProgramsNameUnlessTheHookNamesOne) {
    const std::string program = "C:\\Program Files\\Treskel\\Treskel!.exe";
    EXPECT_EQ(IniFileNameFor(program), "Treskel!.INI");
    DefaultIniNameHook = [] { return std::string("D:\\Settings\\Notes.ini"); };
    EXPECT_EQ(IniFileNameFor(program), "D:\\Settings\\Notes.ini");
    DefaultIniNameHook = nullptr;
    EXPECT_EQ(IniFileNameFor("Treskel.tool.exe"), "Treskel.tool.INI");
}

TEST(AppUtils, TheDefaultRegistryKeyTakesTheSubKeyAndOnRequestTheTitle) {
    const std::string program = "C:\\Program Files\\Treskel\\Treskel!.exe";
    EXPECT_EQ(RegistryKeyFor(program, "My Notes"), "Software\\Treskel!");
    DefaultRegistrySubKey = "Qiv";
    EXPECT_EQ(RegistryKeyFor(program, "My Notes"), "Software\\Qiv\\Treskel!");
    DefaultRegistryUseTitle = true;
    EXPECT_EQ(RegistryKeyFor(program, "My Notes"), "Software\\Qiv\\My Notes");
    // An application without a title is named after its program.
    EXPECT_EQ(RegistryKeyFor(program, ""), "Software\\Qiv\\Treskel!");
    DefaultRegistrySubKey.clear();
    EXPECT_EQ(RegistryKeyFor(program, "My Notes"), "Software\\My Notes");
    DefaultRegistryUseTitle = false;
}

// Wine keeps no maximised position of a window's placement, so where a
// placement puts a maximised form is shown here, from the rule.
TEST(FormPlacement, AMaximisedFormLiesJustOffTheScreenByTheFrameItsBorderDraws) {
    const TFrameMetrics m{{1, 2}, {4, 5}, {3, 6}};
    using B = TFormBorderStyle;
    const std::pair<B, TPoint> cases[] = {
        {B::bsSingle, {-1, -2}}, {B::bsToolWindow, {-1, -2}}, {B::bsSizeable, {-4, -5}},
        {B::bsSizeToolWin, {-4, -5}}, {B::bsDialog, {-3, -6}}, {B::bsNone, {0, 0}},
    };
    for (const auto& [border, at] : cases) {
        std::optional<TPoint> p = PlacementMaxPosition(border, false, false, m);
        ASSERT_TRUE(p.has_value()) << static_cast<int>(border);
        EXPECT_EQ(*p, at) << static_cast<int>(border);
    }
    // Forbidden resizing or held sizes leave it to the form's own limits.
    EXPECT_FALSE(PlacementMaxPosition(B::bsSizeable, true, false, m).has_value());
    EXPECT_FALSE(PlacementMaxPosition(B::bsSizeable, false, true, m).has_value());
}

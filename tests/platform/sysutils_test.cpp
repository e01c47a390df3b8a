#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/SysUtils.h"
#include "platform/Types.h"

using namespace treskel;

TEST(SysUtils, IntegerConversions) {
    EXPECT_EQ(StrToInt("42"), 42);
    EXPECT_EQ(StrToInt(" -7"), -7);
    EXPECT_EQ(StrToInt("$FF"), 255);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_THROW(StrToInt("4294967295"), EConvertError);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_EQ(StrToIntDef("x", 5), 5);
    try {
        StrToInt("abc");
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_EQ(IntToHex(0xFF8000, 8), "00FF8000");
    EXPECT_EQ(Thousands(1200000), "1,200,000");
    EXPECT_EQ(Thousands(-999), "-999");
    EXPECT_EQ(Thousands(INT64_MIN), "-9,223,372,036,854,775,808");
    EXPECT_EQ(Thousands(12345, "\xa0"), "12\xa0" "345");
}

TEST(SysUtils, CodePointsOfWideTextTakeSurrogatePairsWhole) {
    // Units as the system's 16-bit wide text holds them, whatever wchar_t is here.
    const std::wstring text{L'a', wchar_t(0xD83D), wchar_t(0xDE00), wchar_t(0xDC00), wchar_t(0xD83D)};
    size_t n = 0;
    EXPECT_EQ(CodePointAt(text, 0, &n), U'a');
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(CodePointAt(text, 1, &n), U'\U0001F600');
    EXPECT_EQ(n, 2u);
    EXPECT_EQ(CodePointAt(text, 3, &n), char32_t(0xDC00));  // lone: as it stands
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(CodePointAt(text, 4, &n), char32_t(0xD83D));  // a high unit at the end
    EXPECT_EQ(n, 1u);
}

TEST(SysUtils, CaseOfCodePage1252Letters) {
    EXPECT_EQ(AnsiUpperCase("\xe9t\xe9 \xff"), "\xc9T\xc9 \x9f");
    EXPECT_EQ(AnsiLowerCase("\xd7\xc0"), "\xd7\xe0");  // the multiplication sign is no letter
    EXPECT_EQ(AnsiCompareText("\xc9" "cole", "\xe9" "COLE"), 0);
    EXPECT_LT(AnsiCompareText("abc", "ABD"), 0);
    EXPECT_EQ(UpperCase("\xe9" "a"), "\xe9" "A");
}

TEST(SysUtils, PathProcedures) {
    EXPECT_EQ(ExtractFilePath("C:\\Prog\\Treskel!.exe"), "C:\\Prog\\");
    EXPECT_EQ(ExtractFileDir("C:\\Prog\\Treskel!.exe"), "C:\\Prog");
    EXPECT_EQ(ExtractFileDir("C:\\a.txt"), "C:\\");
    EXPECT_EQ(ExtractFileName("C:\\Prog\\Treskel!.exe"), "Treskel!.exe");
    EXPECT_EQ(ExtractFileName("C:a.txt"), "a.txt");
    EXPECT_EQ(ExtractFileExt("C:\\dir.x\\name"), "");
    EXPECT_EQ(ExtractFileExt("notes.tsx"), ".tsx");
    EXPECT_EQ(ChangeFileExt("C:\\d\\notes.tsx", ".tsk"), "C:\\d\\notes.tsk");
    EXPECT_EQ(ChangeFileExt("notes", ".tsk"), "notes.tsk");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\Data"), "C:\\Data\\");
    EXPECT_EQ(IncludeTrailingBackslash("C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(ExcludeTrailingBackslash("C:\\Data\\"), "C:\\Data");
}

TEST(SysUtils, FormatAndStrings) {
    EXPECT_EQ(Format("%s has %d items", "tree", 3), "tree has 3 items");
    std::string longArg(5000, 'x');
    EXPECT_EQ(Format("<%s>", longArg.c_str()).size(), 5002u);
    EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(SplitString("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(StringReplaceAll("aaa", "a", "bb"), "bbbbbb");
}

TEST(SysUtils, TheAcceleratorIsTheLetterAfterTheFirstSingleAmpersand) {
    EXPECT_TRUE(IsAccel('s', "Land&scape"));
    EXPECT_TRUE(IsAccel('S', "Land&scape"));
    EXPECT_TRUE(IsAccel('2', "&2"));
    EXPECT_TRUE(IsAccel('\xe9', "Caf&\xc9"));  // letters of the code page, in either case
    EXPECT_FALSE(IsAccel('l', "Land&scape"));
    EXPECT_FALSE(IsAccel('c', "Speed && Compression"));
    EXPECT_TRUE(IsAccel('c', "Speed && &Compression"));
    EXPECT_FALSE(IsAccel('b', "&a &b"));  // only the first one counts
    EXPECT_FALSE(IsAccel('&', "Trailing &"));
    EXPECT_FALSE(IsAccel('x', ""));
}

// A window is where the user can take hold of it when a monitor shows the
// middle of its caption; otherwise it comes back into the work area.
TEST(Geometry, AWindowIsKeptWhereAMonitorShowsItsCaption) {
    const std::vector<TRect> one{{0, 0, 1024, 768}};
    const TRect work{0, 0, 1024, 740};
    EXPECT_EQ(WindowGrip(Bounds(100, 50, 400, 300)), Point(300, 60));
    EXPECT_EQ(WindowGrip(Bounds(100, 50, 400, 8)), Point(300, 54));
    EXPECT_TRUE(ShowsOnMonitors(Bounds(100, 50, 400, 300), one));
    EXPECT_EQ(KeepOnMonitors(Bounds(100, 50, 400, 300), one, work), Bounds(100, 50, 400, 300));
    // Its body on the screen but the caption above it: brought down.
    EXPECT_FALSE(ShowsOnMonitors(Bounds(100, -20, 400, 300), one));
    EXPECT_EQ(KeepOnMonitors(Bounds(100, -20, 400, 300), one, work), Bounds(100, 0, 400, 300));
    // Past the right edge, its caption's middle off: back against the edge.
    EXPECT_EQ(KeepOnMonitors(Bounds(900, 100, 400, 300), one, work), Bounds(624, 100, 400, 300));
    // No monitor at all.
    EXPECT_FALSE(ShowsOnMonitors(Bounds(0, 0, 10, 10), {}));
}

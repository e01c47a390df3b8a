// String, path and rectangle procedures of the component library.
#include <gtest/gtest.h>

#include "foundation/qclutils.h"

namespace treskel {
namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
    TStringList list;
    QclSplitToStrings(s, sep, &list);
    return list.ToVector();
}

TEST(QclStrings, EmptyMeansOnlyBlanks) {
    EXPECT_TRUE(QclIsEmptyStr(""));
    EXPECT_TRUE(QclIsEmptyStr("   "));
    EXPECT_FALSE(QclIsEmptyStr("\t"));
    EXPECT_FALSE(QclIsEmptyStr(" x "));
    EXPECT_EQ(QclTrim(" \t a b \r\n"), "a b");
}

TEST(QclStrings, SmallBuilders) {
    EXPECT_EQ(QclStringOfChar(3, '*'), "***");
    EXPECT_EQ(QclStringOfChar(0, '*'), "");
    EXPECT_EQ(QclStringOfChar(-5, '*'), "");
    EXPECT_EQ(QclReplaceChar("a,b,,c", ',', ';'), "a;b;;c");
    EXPECT_EQ(QclJoinStrings({}, ','), "");
    EXPECT_EQ(QclJoinStrings({"one"}, ','), "one");
    EXPECT_EQ(QclJoinStrings({"a", "", "c"}, ','), "a,,c");
    EXPECT_EQ(QclJoinIntegers({38, -1, 0}, ','), "38,-1,0");
    EXPECT_EQ(QclMaxOf({3, 9, -2}), 9);
    EXPECT_EQ(QclMinOf({3, 9, -2}), -2);
    EXPECT_EQ(QclMaxOf({7}), 7);
    EXPECT_EQ(QclMaxOf({}), 0);
    EXPECT_DOUBLE_EQ(QclMinOfExt({2.5, -0.5, 1.0}), -0.5);
    EXPECT_EQ(QclPower(2, 10), 1024);
    EXPECT_EQ(QclPower(5, 0), 1);
    EXPECT_EQ(QclPower(5, -3), 1);
    EXPECT_EQ(QclPower(2, 32), 0);  // wraps as a 32-bit product, never undefined
}

TEST(QclSplit, EmptyPiecesCountTrailingSeparatorDoesNot) {
    EXPECT_EQ(Split(",a,,b,", ','), (std::vector<std::string>{"", "a", "", "b"}));
    EXPECT_EQ(Split("a", ','), (std::vector<std::string>{"a"}));
    EXPECT_EQ(Split(",", ','), (std::vector<std::string>{""}));
    EXPECT_EQ(Split(",,", ','), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(Split("a|b", '|'), (std::vector<std::string>{"a", "b"}));
}

TEST(QclSplit, EmptyStringOrNoListLeavesEverythingAlone) {
    TStringList list{"kept"};
    QclSplitToStrings("", ',', &list);
    EXPECT_EQ(list.ToVector(), std::vector<std::string>{"kept"});
    QclSplitToStrings("a,b", ',', nullptr);  // no crash
}

TEST(QclSplit, NoLengthLimit) {
    std::string big;
    for (int i = 0; i < 2000; ++i) big += "piece" + std::to_string(i) + ",";
    std::vector<std::string> pieces = Split(big, ',');
    ASSERT_EQ(pieces.size(), 2000u);
    EXPECT_EQ(pieces[1999], "piece1999");
    EXPECT_EQ(QclJoinStrings(pieces, ',') + ",", big);
}

TEST(QclPaths, Backslashes) {
    EXPECT_EQ(QclAddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(QclAddBackslash("C:\\Data"), "C:\\Data\\");
    EXPECT_EQ(QclAddBackslash(""), "\\");
    EXPECT_EQ(QclAddBackslash("  "), "  \\");
    EXPECT_EQ(QclRemoveBackslash("C:\\Data\\"), "C:\\Data");
    EXPECT_EQ(QclRemoveBackslash("C:\\Data"), "C:\\Data");
    EXPECT_EQ(QclRemoveBackslash(""), "");
    EXPECT_EQ(QclRemoveBackslash("\\"), "");
}

TEST(QclPaths, ShortenStepByStep) {
    std::string dir = "\\Program Files\\Sub\\Dir\\";
    QclShortenPathStep(dir);
    EXPECT_EQ(dir, "\\...\\Sub\\Dir\\");
    QclShortenPathStep(dir);
    EXPECT_EQ(dir, "\\...\\Dir\\");
    QclShortenPathStep(dir);
    EXPECT_EQ(dir, "\\...\\");
    dir = "\\";
    QclShortenPathStep(dir);
    EXPECT_EQ(dir, "");
}

TEST(QclPaths, ShortenKeepsTheFileName) {
    const std::string path = "C:\\Program Files\\Sub\\Dir\\notes.tsx";
    EXPECT_EQ(QclShortenPath(path, 100), path);
    EXPECT_EQ(QclShortenPath(path, static_cast<int>(path.size())), path);
    EXPECT_EQ(QclShortenPath(path, 30), "C:\\...\\Sub\\Dir\\notes.tsx");
    EXPECT_EQ(QclShortenPath(path, 20), "C:\\...\\Dir\\notes.tsx");
    EXPECT_EQ(QclShortenPath(path, 16), "C:\\...\\notes.tsx");
    EXPECT_EQ(QclShortenPath(path, 13), "...\\notes.tsx");
    EXPECT_EQ(QclShortenPath(path, 3), "notes.tsx");
    EXPECT_EQ(QclShortenPath("notes.tsx", 3), "notes.tsx");
}

TEST(QclPaths, ShortenOddDirectoriesEnds) {
    // Relative, network and dotted directories all come down to the name.
    for (const char* p : {"..\\x\\f.txt", "\\\\server\\share\\f.txt", "C:\\.\\f.txt", "C:f.txt", "\\...\\...\\f.txt",
                          ".\\f.txt", "C:\\\\\\\\f.txt"}) {
        EXPECT_EQ(QclShortenPath(p, 0), "f.txt") << p;
    }
}

TEST(QclRects, SizesAndContainment) {
    TRect r{10, 20, 30, 60};
    QclAdjustRect(r, -1, -2, 3, 4);
    EXPECT_EQ(r, (TRect{9, 18, 33, 64}));
    int w = 0, h = 0;
    QclRectSize(r, w, h);
    EXPECT_EQ(w, 24);
    EXPECT_EQ(h, 46);
    EXPECT_TRUE(QclRectInRect({1, 1, 5, 5}, {0, 0, 10, 10}));
    // The outer rectangle's right and bottom edges are outside it.
    EXPECT_FALSE(QclRectInRect({1, 1, 10, 5}, {0, 0, 10, 10}));
    EXPECT_FALSE(QclRectInRect({-1, 1, 5, 5}, {0, 0, 10, 10}));
}

TEST(QclRects, FitKeepsProportions) {
    TRect out;
    QclFitRect({0, 0, 200, 100}, {10, 20, 110, 220}, out);
    EXPECT_EQ(out, (TRect{10, 20, 110, 70}));
    QclFitRect({0, 0, 100, 300}, {0, 0, 50, 50}, out);
    EXPECT_EQ(out, (TRect{0, 0, 17, 50}));
    // Halves round to even: 5 x 0.5 = 2.5 -> 2.
    QclFitRect({0, 0, 5, 10}, {0, 0, 100, 5}, out);
    EXPECT_EQ(out, (TRect{0, 0, 2, 5}));
    // An empty source has nothing to scale.
    QclFitRect({0, 0, 0, 10}, {4, 5, 50, 50}, out);
    EXPECT_EQ(out, (TRect{4, 5, 4, 5}));
}

TEST(QclRects, RotatedBounds) {
    TRect r{5, 5, 105, 45};
    QclRotatedBounds(r, 0);
    EXPECT_EQ(r, (TRect{5, 5, 105, 45}));
    QclRotatedBounds(r, 90);
    EXPECT_EQ(r, (TRect{0, 0, 40, 100}));
    r = {0, 0, 100, 40};
    QclRotatedBounds(r, 180);
    EXPECT_EQ(r, (TRect{0, 0, 100, 40}));
    r = {0, 0, 100, 100};
    QclRotatedBounds(r, 45);
    // The diagonal of a 100-square, from halves of 50: 2 x round(70.71) = 142.
    EXPECT_EQ(r, (TRect{0, 0, 142, 142}));
}

}  // namespace
}  // namespace treskel

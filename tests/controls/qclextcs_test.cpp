// The window-free rules of the colour, font and font-size combo boxes and
// the names of run-time components.
#include <gtest/gtest.h>

#include "controls/qclctrl.h"
#include "controls/qclextcSLists.h"

using namespace treskel;

TEST(QclColorList, SixteenBasicColoursFirstInTheMainWindowsOrder) {
    // The main window draws item captions from its own table by the box's
    // item index, so both must agree.
    const TColor colorTable[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                                   0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    const auto& names = QclColorNames();
    ASSERT_EQ(names.size(), 41u);
    for (int i = 0; i < 16; ++i) {
        TColor c = -1;
        ASSERT_TRUE(QclColorFromText(names[static_cast<size_t>(i)], c)) << names[static_cast<size_t>(i)];
        EXPECT_EQ(c, colorTable[i]) << names[static_cast<size_t>(i)];
    }
    EXPECT_EQ(names[16], "clScrollBar");
    EXPECT_EQ(names.back(), "clInfoBk");
    for (const std::string& n : names) EXPECT_NE(n, "clNone");
}

TEST(QclColorList, ItemTextsAndTheirColours) {
    TColor c = 0;
    EXPECT_TRUE(QclColorFromText("$00FF8000", c));
    EXPECT_EQ(c, 0x00FF8000);
    EXPECT_TRUE(QclColorFromText("clBtnFace", c));
    EXPECT_EQ(c, clBtnFace);
    EXPECT_FALSE(QclColorFromText("$XYZ", c));
    EXPECT_FALSE(QclColorFromText("", c));
    EXPECT_FALSE(QclColorFromText("Black", c));
    EXPECT_EQ(QclColorDisplayText("clBlack"), "Black");
    EXPECT_EQ(QclColorDisplayText("$00FF8000"), "$00FF8000");
}

TEST(QclColorList, CustomColoursAreReadAsHexadecimal) {
    TStringList dialog;
    dialog.Add("ColorA=FF8000");     // as the colour dialog writes it
    dialog.Add("ColorB=$00C0FFEE");  // as a layout may hold it
    dialog.Add("ColorC=123456");     // digits only: still hexadecimal
    dialog.Add("ColorD=not a colour");
    dialog.Add("ColorE=");
    dialog.Add("ColorF=FFFFFFFF");   // an unused slot
    dialog.Add("ColorQ=000000");     // no such slot
    TStringList kept;
    QclCopyCustomColors(dialog, kept);
    EXPECT_EQ(kept.Values("ColorA"), "FF8000");
    EXPECT_EQ(kept.Values("ColorB"), "00C0FFEE");
    EXPECT_EQ(kept.Values("ColorC"), "123456");
    EXPECT_EQ(kept.IndexOfName("ColorD"), -1);
    EXPECT_EQ(kept.IndexOfName("ColorE"), -1);
    EXPECT_EQ(kept.IndexOfName("ColorQ"), -1);
    std::vector<std::string> items = QclCustomColorItems(kept);
    EXPECT_EQ(items, (std::vector<std::string>{"$00FF8000", "$00C0FFEE", "$00123456"}));
    TColor c = 0;
    ASSERT_TRUE(QclColorFromText(items[0], c));
    EXPECT_EQ(c, 0xFF8000);
}

TEST(QclFontSizes, ScalableAndRasterLists) {
    EXPECT_EQ(QclScalableFontSizes(),
              (std::vector<int>{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72}));
    // 8, 10 and 12 point bitmaps at 96 dpi, found in any order, listed ascending once each.
    std::vector<int> sizes;
    for (auto [h, il] : {std::pair{16, 3}, std::pair{13, 2}, std::pair{19, 3}, std::pair{16, 3}})
        QclAddRasterSize(sizes, QclRasterPointSize(h, il, 96));
    EXPECT_EQ(sizes, (std::vector<int>{8, 10, 12}));
    EXPECT_EQ(QclRasterPointSize(13, 0, 96), 10);   // 9.75
    EXPECT_EQ(QclRasterPointSize(14, 0, 96), 10);   // 10.5: halves to the even neighbour
    EXPECT_EQ(QclRasterPointSize(10, 0, 0), 0);
}

TEST(QclFontSizes, NearestAndValidSizes) {
    EXPECT_EQ(QclNearestSize({8, 10}, 9), 8);   // equal distance: the first found
    EXPECT_EQ(QclNearestSize({10, 8}, 9), 10);
    EXPECT_EQ(QclNearestSize({8, 10, 12}, 11), 10);
    EXPECT_EQ(QclNearestSize({}, 9), 9);
    EXPECT_EQ(QclValidFontSize(0, true, 10), 10);
    EXPECT_EQ(QclValidFontSize(1000, true, 10), 10);
    EXPECT_EQ(QclValidFontSize(999, true, 10), 999);
    EXPECT_EQ(QclValidFontSize(12, false, 10), 10);
}

TEST(QclFontSizes, TextOfTheSizeBox) {
    EXPECT_EQ(QclFontSizeFromText("12"), 12);
    EXPECT_EQ(QclFontSizeFromText("+12"), 12);
    EXPECT_EQ(QclFontSizeFromText(""), -1);
    EXPECT_EQ(QclFontSizeFromText("+"), -1);
    EXPECT_EQ(QclFontSizeFromText("-"), -1);
    EXPECT_EQ(QclFontSizeFromText("$A"), -1);
    EXPECT_EQ(QclFontSizeFromText("12pt"), -1);
    EXPECT_EQ(QclFontSizeFromText("99999999999"), -1);
}

TEST(QclFontSizes, WhatTheSizeBoxTakes) {
    EXPECT_FALSE(QclSizeBoxAccepts('a', true, true));
    EXPECT_TRUE(QclSizeBoxAccepts('+', true, true));
    EXPECT_TRUE(QclSizeBoxAccepts('-', true, true));
    EXPECT_TRUE(QclSizeBoxAccepts('7', true, true));
    EXPECT_TRUE(QclSizeBoxAccepts('\b', true, true));
    EXPECT_FALSE(QclSizeBoxAccepts('7', false, true));
    EXPECT_FALSE(QclSizeBoxAccepts('\b', false, true));
    EXPECT_TRUE(QclSizeBoxAccepts('\r', false, true));
    EXPECT_FALSE(QclSizeBoxAccepts('7', true, false));
    EXPECT_FALSE(QclSizeBoxAccepts('\r', true, false));
}

TEST(QclNames, UniqueNamesIgnoreCase) {
    TComponent owner(nullptr);
    EXPECT_EQ(QclUniqueName("TQclSplitterPane", &owner), "QclSplitterPane1");
    auto* a = new TComponent(&owner);
    a->SetName("qclsplitterpane1");
    EXPECT_EQ(QclUniqueName("TQclSplitterPane", &owner), "QclSplitterPane2");
    EXPECT_EQ(QclUniqueName("tPanel", nullptr), "Panel1");
    EXPECT_EQ(QclUniqueName("Pane", nullptr), "Pane1");
    EXPECT_FALSE(QclIsUniqueName("QCLSPLITTERPANE1", &owner));
    EXPECT_TRUE(QclIsUniqueName("QclSplitterPane2", &owner));
}

// Letters typed into a dropped list: a prefix while typed quickly, a new
// one after a pause, one letter or the same letter again moving on.
TEST(QclTypeAhead, TypedLettersFindTheNameTheyStart) {
    TStringList fonts;
    for (const char* f : {"Arial", "Courier", "Courier New", "Small Fonts", "Symbol", "Tahoma", "Times New Roman"})
        fonts.Add(f);
    TQclTypeAhead typing;
    int at = 0;
    uint32_t t = 5000;
    for (char c : std::string("times")) at = typing.Type(c, t += 100, fonts, at);
    EXPECT_EQ(at, 6);
    // Still the same name while the letters go on matching it.
    EXPECT_EQ(typing.Type(' ', t += 100, fonts, at), 6);
    EXPECT_EQ(typing.Type('x', t += 100, fonts, at), -1);  // no name starts so
    // After a pause "c" starts again, and "courier " finds the longer name.
    at = typing.Type('C', t += TQclTypeAhead::kPause + 1, fonts, 6);
    EXPECT_EQ(at, 1);
    for (char c : std::string("ourier ")) at = typing.Type(c, t += 100, fonts, at);
    EXPECT_EQ(at, 2);
    // One letter, and the same letter again, move on round the list.
    EXPECT_EQ(typing.Type('s', t += 2000, fonts, 2), 3);
    EXPECT_EQ(typing.Type('s', t += 100, fonts, 3), 4);
    EXPECT_EQ(typing.Type('s', t += 100, fonts, 4), 3);
    EXPECT_EQ(typing.Type('a', t += 2000, fonts, -1), 0);
    TStringList none;
    EXPECT_EQ(typing.Type('a', t += 2000, none, -1), -1);
}

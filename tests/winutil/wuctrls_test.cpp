// The window-free rules of the speed button and its glyph painter.
#include <gtest/gtest.h>

#include "winutil/MaxMin.h"
#include "winutil/WuCtrlsLayout.h"

using namespace treskel;

namespace {

// Every character 6 pixels wide, lines 13 high.
int Width6(const std::string& s) { return static_cast<int>(s.size()) * 6; }
TSize Measure6(const std::string& s, int) {
    size_t lines = 1, longest = 0, current = 0;
    for (char c : s) {
        if (c == '\n') {
            ++lines;
            current = 0;
        } else if (c != '\r') {
            longest = std::max(longest, ++current);
        }
    }
    return {static_cast<int>(longest) * 6, static_cast<int>(lines) * 13};
}

TWuButtonGeometry Layout(TSize client, TSize glyph, const std::string& caption, TButtonLayout layout, int margin,
                         int spacing, bool mark = false) {
    return WuCalcButtonLayout(client, {0, 0}, glyph, caption, layout, margin, spacing, mark, false, Width6, Measure6);
}

}  // namespace

TEST(WuGlyph, NumberOfImagesFromTheGlyphsShape) {
    EXPECT_EQ(WuNumGlyphsFor(64, 16, 1), 4);
    EXPECT_EQ(WuNumGlyphsFor(100, 16, 3), 3);  // not a whole multiple: kept
    EXPECT_EQ(WuNumGlyphsFor(128, 16, 2), 1);  // eight images: more than five
    EXPECT_EQ(WuNumGlyphsFor(80, 16, 1), 5);
    EXPECT_EQ(WuNumGlyphsFor(16, 0, 2), 2);
}

TEST(WuGlyph, InactiveImagesAreGrey) {
    const uint32_t fuchsia = 0xFF00FF, face = 0xC0C0C0;
    EXPECT_EQ(WuMapToGray(0x0000FF, fuchsia, face), 0x4C4C4Cu);  // red: 255 x 77 shr 8 = 76
    EXPECT_EQ(WuMapToGray(face, fuchsia, face), face);
    EXPECT_EQ(WuMapToGray(fuchsia, fuchsia, face), fuchsia);
    EXPECT_EQ(WuMapToGray(0xFFFFFF, fuchsia, face), 0xFFFFFFu);
    EXPECT_EQ(WuMapToGray(0x00FF00, fuchsia, face), 0x959595u);  // 255 x 150 shr 8 = 149
}

TEST(WuCaption, ShortenedWithDots) {
    EXPECT_EQ(WuShortenText("Short", 60, Width6), "Short");
    EXPECT_EQ(WuShortenText("Caption", 36, Width6), "Cap...");
    EXPECT_EQ(WuShortenText("Caption", 5, Width6), "...");
    EXPECT_EQ(WuShortenText("", 0, Width6), "");
    EXPECT_EQ(WuPrepareCaption("A long line\r\nTwo  ", 42, false, Width6), "A lo...\r\nTwo");
    EXPECT_EQ(WuPrepareCaption("Wrapped words", 20, true, Width6), "Wrapped words");
    EXPECT_EQ(WuPrepareCaption(std::string(300, 'x'), 10000, false, Width6).size(), 255u);
}

TEST(WuLayout, MarginAndSpacingShareTheRoom) {
    TWuButtonGeometry g = Layout({56, 30}, {16, 16}, "abcd", TButtonLayout::blGlyphLeft, -1, -1);
    // (56 - 16 - 24) div 3: the caption measures 24 here.
    EXPECT_EQ(g.glyphPos.x, 5);
    EXPECT_EQ(g.textBounds.Left, 5 + 16 + 5);
    // With a 20-pixel caption the three gaps are (56 - 16 - 20) div 3 = 6.
    TWuButtonGeometry g20 = WuCalcButtonLayout({56, 30}, {0, 0}, {16, 16}, "cap", TButtonLayout::blGlyphLeft, -1, -1,
                                               false, false, Width6, [](const std::string&, int) { return TSize{20, 13}; });
    EXPECT_EQ(g20.glyphPos.x, 6);
    EXPECT_EQ(g20.textBounds.Left, 28);
    EXPECT_EQ(g20.glyphPos.y, 7);       // centred across
    EXPECT_EQ(g20.textBounds.Top, 9);
}

TEST(WuLayout, CentredGlyphOnTopAndCaptionsOnEverySide) {
    TWuButtonGeometry lone = Layout({25, 25}, {16, 16}, "", TButtonLayout::blGlyphTop, -1, 1);
    EXPECT_EQ(lone.glyphPos, Point(4, 4));  // 25 div 2 - 16 div 2
    EXPECT_EQ(lone.textBounds.Width(), 0);

    TWuButtonGeometry top = Layout({60, 60}, {16, 16}, "ab", TButtonLayout::blGlyphTop, 4, 2);
    EXPECT_EQ(top.glyphPos, Point(22, 4));
    EXPECT_EQ(top.textBounds, Bounds(24, 22, 12, 13));
    TWuButtonGeometry bottom = Layout({60, 60}, {16, 16}, "ab", TButtonLayout::blGlyphBottom, 4, 2);
    EXPECT_EQ(bottom.glyphPos, Point(22, 40));
    EXPECT_EQ(bottom.textBounds.Top, 40 - 2 - 13);
    TWuButtonGeometry right = Layout({60, 20}, {16, 16}, "ab", TButtonLayout::blGlyphRight, 3, 2);
    EXPECT_EQ(right.glyphPos.x, 41);
    EXPECT_EQ(right.textBounds.Left, 41 - 2 - 12);
    // A margin with a spacing of -1 centres the caption in what is left.
    TWuButtonGeometry m = Layout({60, 20}, {16, 16}, "ab", TButtonLayout::blGlyphLeft, 4, -1);
    EXPECT_EQ(m.textBounds.Left, 4 + 16 + ((60 - 4 - 16) / 2 - 12 / 2));
}

TEST(WuLayout, CaptionIsShortenedAndClippedToItsRoom) {
    std::string shown;
    TWuButtonGeometry g = WuCalcButtonLayout({40, 20}, {10, 10}, {0, 0}, "A caption far too long",
                                             TButtonLayout::blGlyphLeft, 2, 1, false, false, Width6, Measure6, &shown);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_LE(g.textBounds.Width(), g.roomWidth);
    EXPECT_EQ(g.roomWidth, 40 - 2 - 1);
    EXPECT_EQ(g.textBounds.Left, 10 + 2);  // moved by the rectangle's corner
}

TEST(WuLayout, DropDownMark) {
    // Without a glyph the caption makes room for the mark.
    TWuButtonGeometry g = Layout({60, 20}, {0, 0}, "ab", TButtonLayout::blGlyphTop, -1, 1, true);
    EXPECT_EQ(g.textBounds.Width(), 12);
    EXPECT_EQ(g.textBounds.Left, 30 - 21 / 2);
    TPoint p = WuDropDownMarkPos(g, {0, 0}, Rect(0, 0, 60, 20), TButtonLayout::blGlyphTop, true);
    EXPECT_EQ(p.x, g.textBounds.Right + 3);
    // Beside a glyph on top, at its right and middle.
    TWuButtonGeometry gg = Layout({30, 30}, {16, 16}, "", TButtonLayout::blGlyphTop, -1, 1, true);
    EXPECT_EQ(gg.glyphPos.x, 15 - 22 / 2);
    TPoint q = WuDropDownMarkPos(gg, {16, 16}, Rect(0, 0, 30, 30), TButtonLayout::blGlyphTop, false);
    EXPECT_EQ(q, Point(gg.glyphPos.x + 17, gg.glyphPos.y + 8));
    // No glyph, no caption: the middle of the button.
    TWuButtonGeometry none = Layout({25, 25}, {0, 0}, "", TButtonLayout::blGlyphTop, -1, 1, true);
    EXPECT_EQ(WuDropDownMarkPos(none, {0, 0}, Rect(0, 0, 25, 25), TButtonLayout::blGlyphTop, false).x, 9);
    std::vector<TWuPixelRow> rows = WuDropDownMarkRows(10, 10);
    int pixels = 0;
    for (auto& r : rows) pixels += r.x2 - r.x1 + 1;
    EXPECT_EQ(pixels, 7 + 5 + 3 + 1);
    EXPECT_EQ(rows.front().y, 9);
    EXPECT_EQ(rows.back().y, 12);
}

TEST(WuFrames, ByStateStyleAndFlatness) {
    TWuFramePlan upNew = WuFramePlan(false, true, false);
    ASSERT_EQ(upNew.frames.size(), 2u);
    EXPECT_EQ(upNew.frames[0].topLeft, clBtnHighlight);
    EXPECT_EQ(upNew.frames[0].bottomRight, clWindowFrame);
    EXPECT_EQ(upNew.frames[1].bottomRight, clBtnShadow);
    EXPECT_EQ(WuFramePlan(false, true, true).frames.size(), 1u);
    TWuFramePlan downOld = WuFramePlan(true, false, false);
    ASSERT_EQ(downOld.frames.size(), 1u);
    EXPECT_TRUE(downOld.shadowLine);
    TWuFramePlan downNewFlat = WuFramePlan(true, true, true);
    EXPECT_EQ(downNewFlat.frames[0].topLeft, clWindowFrame);
    EXPECT_EQ(downNewFlat.frames[0].bottomRight, clBtnHighlight);
    EXPECT_FALSE(downNewFlat.shadowLine);
}

TEST(WuDropDown, PointByPositionAndAlignment) {
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpBottom, 0, 25, 20), Point(0, 20));
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpBottom, 1, 25, 20), Point(26, 20));
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpBottom, 2, 25, 20), Point(12, 20));
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpRight, 0, 25, 20), Point(25, -1));
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpRight, 1, 25, 20), Point(-1, -1));
    EXPECT_EQ(WuDropDownPoint(TWuDropDownMenuPos::dmpRight, 2, 25, 20), Point(12, 20));
    EXPECT_EQ(Max(3, 4), 4);
    EXPECT_EQ(Min(3, 4), 3);
    EXPECT_EQ(RectWidth(Rect(2, 3, 12, 8)), 10);
    EXPECT_EQ(RectHeight(Rect(2, 3, 12, 8)), 5);
}

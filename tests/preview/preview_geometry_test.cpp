#include <gtest/gtest.h>

#include "preview/PreviewGeometry.h"

using namespace treskel;
using namespace treskel::preview;

TEST(PreviewUnits, InchesAndCentimetresToPixelsRoundHalvesToEven) {
    EXPECT_EQ(UnitsToPixels(1.0, 300, UnitFactor(TUnits::unInches)), 300);
    EXPECT_EQ(UnitsToPixels(2.54, 300, UnitFactor(TUnits::unCentimeters)), 300);
    EXPECT_EQ(UnitsToPixels(0.5, 5, 1.0), 2);   // 2.5 -> 2
    EXPECT_EQ(UnitsToPixels(0.7, 5, 1.0), 4);   // 3.5 -> 4
    EXPECT_DOUBLE_EQ(PixelsToUnits(150, 300, 1.0), 0.5);
    EXPECT_DOUBLE_EQ(PixelsToUnits(300, 300, 2.54), 2.54);
}

TEST(PreviewUnits, AScreenWithoutPaperGetsALetterPage) {
    TDeviceInfo d{96, 96, 0, 0, 0, 0};
    TDeviceInfo page = WithFallbackPage(d);
    EXPECT_EQ(page.PhysicalWidth, 816);
    EXPECT_EQ(page.PhysicalHeight, 1056);
    TDeviceInfo printer{300, 300, 2550, 3300, 75, 75};
    EXPECT_EQ(WithFallbackPage(printer).PhysicalWidth, 2550);
}

TEST(PreviewPage, TheTextAreaInTwipsFollowsBothResolutions) {
    TDeviceInfo d{600, 300, 5100, 3300, 0, 0};  // 8.5 x 11 in, unequal resolutions
    TTwipsRect r;
    ASSERT_TRUE(TextAreaTwips(d, 1.0, 1.0, 1.0, 1.0, r));
    EXPECT_EQ(r.left, 1440);
    EXPECT_EQ(r.top, 1440);
    EXPECT_EQ(r.right, 1440 * 15 / 2);
    EXPECT_EQ(r.bottom, 1440 * 10);
}

TEST(PreviewPage, MarginsThatLeaveNoRoomAreRejected) {
    TDeviceInfo d{96, 96, 816, 1056, 0, 0};
    TTwipsRect r;
    EXPECT_FALSE(TextAreaTwips(d, 4.25, 1, 4.25, 1, r));
    EXPECT_FALSE(TextAreaTwips(d, 1, 6, 1, 5, r));
    EXPECT_FALSE(TextAreaTwips(d, -1, 1, 1, 1, r));
    EXPECT_FALSE(TextAreaTwips(d, 1, 1, 1, 1.0 / 0.0, r));
    EXPECT_TRUE(TextAreaTwips(d, 4, 1, 4, 1, r));
}

TEST(PreviewPage, ThePageNumberIsSubstitutedNotFormatted) {
    EXPECT_EQ(PageNumberText("Page %d", 3), "Page 3");
    EXPECT_EQ(PageNumberText("%d%% of %s %n %x", 7), "7% of %s %n %x");
    EXPECT_EQ(PageNumberText("%", 1), "%");
    EXPECT_EQ(PageNumberText("%d/%d", 2), "2/2");
}

TEST(PreviewPage, AlignedLinesStartAtTheMarginOrCentre) {
    EXPECT_EQ(AlignedX(0, 100, 816, 96, 96), 96);
    EXPECT_EQ(AlignedX(1, 100, 816, 96, 96), 816 - 96 - 100);
    EXPECT_EQ(AlignedX(2, 101, 816, 96, 96), 408 - 50);
}

TEST(PreviewPage, PagesBreakBetweenLinesAndAlwaysAdvance) {
    // Five lines of 20 pixels, pages of 50: two lines a page, the last alone.
    const std::vector<int> five{0, 20, 40, 60, 80, 100};
    EXPECT_EQ(NextPageStart(five, 0, 50), 2);
    EXPECT_EQ(NextPageStart(five, 2, 50), 4);
    EXPECT_EQ(NextPageStart(five, 4, 50), 5);
    // A line taller than a page gets a page of its own.
    const std::vector<int> tall{0, 10, 200, 210};
    EXPECT_EQ(NextPageStart(tall, 0, 50), 1);
    EXPECT_EQ(NextPageStart(tall, 1, 50), 2);
    EXPECT_EQ(NextPageStart(tall, 2, 50), 3);
    // No line: one page; a page of no height takes every line.
    EXPECT_EQ(NextPageStart({0}, 0, 50), 0);
    EXPECT_EQ(NextPageStart({0, 20, 40}, 0, 0), 2);
}

TEST(PreviewMargins, StoredWithAPointAndReadWithPointOrComma) {
    EXPECT_EQ(FormatMargin(1.0), "1.000");
    EXPECT_EQ(FormatMargin(2.54), "2.540");
    double v = 0;
    EXPECT_TRUE(ParseMargin("1,5", v));
    EXPECT_DOUBLE_EQ(v, 1.5);
    EXPECT_TRUE(ParseMargin(" 0.75 ", v));
    EXPECT_DOUBLE_EQ(v, 0.75);
    for (const char* bad : {"", "abc", "1.2.3", "-1", "1e5", "nan", "inf", "101", "."}) {
        v = 42;
        EXPECT_FALSE(ParseMargin(bad, v)) << bad;
        EXPECT_EQ(v, 42);
    }
}

TEST(PreviewZoom, FitToPageOnA820PixelClientIs76Percent) {
    TDeviceInfo d{96, 96, 816, 1056, 0, 0};
    double f = ZoomFactor(0, 1000, 820, 96, d, 1.0);
    EXPECT_DOUBLE_EQ(f, (800.0 / 96) / 11);
    EXPECT_EQ(static_cast<int>(f * 100 + 0.5), 76);
    EXPECT_DOUBLE_EQ(ZoomFactor(1, 836, 500, 96, d, 1.0), (816.0 / 96) / 8.5);
    EXPECT_DOUBLE_EQ(ZoomFactor(5, 0, 0, 96, d, 1.0), 0.75);
    EXPECT_DOUBLE_EQ(ZoomFactor(11, 0, 0, 96, d, 1.0), 4.0);
    EXPECT_DOUBLE_EQ(ZoomFactor(99, 0, 0, 96, d, 1.0), 1.0);
}

TEST(PreviewZoom, TheFactorIsBoundedAndATinyClientNeverGoesNegative) {
    TDeviceInfo d{96, 96, 816, 1056, 0, 0};
    EXPECT_DOUBLE_EQ(ZoomFactor(0, 5, 5, 96, d, 1.0), kMinZoom);
    EXPECT_DOUBLE_EQ(ZoomFactor(2, 0, 0, 96, d, 1.5 * 1.5 * 1.5 * 1.5 * 1.5 * 1.5 * 1.5), kMaxZoom);
    EXPECT_DOUBLE_EQ(ZoomFactor(2, 0, 0, 96, d, 0.0), kMinZoom);
    TPageLayout l = LayoutPages(-3.0, false, 5, 5, 96, d);
    EXPECT_GT(l.pageWidth, 0);
    EXPECT_GT(l.pageHeight, 0);
}

TEST(PreviewZoom, PagesAreCentredOrPlacedTenPixelsIn) {
    TDeviceInfo d{96, 96, 816, 1056, 0, 0};
    TPageLayout l = LayoutPages(0.5, false, 1000, 800, 96, d);
    EXPECT_EQ(l.pageWidth, 408);
    EXPECT_EQ(l.pageHeight, 528);
    EXPECT_EQ(l.containerHeight, 799);
    EXPECT_EQ(l.top, 799 / 2 - 264);
    EXPECT_EQ(l.left, 999 / 2 - 204);
    TPageLayout two = LayoutPages(1.0, true, 1000, 800, 96, d);
    EXPECT_EQ(two.containerWidth, 816 * 2 + 40);
    EXPECT_EQ(two.left, 10);
    EXPECT_EQ(two.top, 10);
    EXPECT_EQ(two.left2, 10 + 816 + 20);
}

TEST(PreviewGrid, ALetterPageHas8VerticalAnd11HorizontalLines) {
    TDeviceInfo d{96, 96, 816, 1056, 0, 0};
    auto xs = GridLinesX(d), ys = GridLinesY(d);
    EXPECT_EQ(xs.size(), 8u);
    EXPECT_EQ(ys.size(), 11u);
    EXPECT_EQ(ys.back(), 1056);
    EXPECT_EQ(xs.front(), 96);
    EXPECT_TRUE(GridLinesX(TDeviceInfo{0, 96, 816, 1056, 0, 0}).empty());
}

TEST(PreviewPage, AnEditorsPageRectBecomesTwipsTruncatedOnEachAxis) {
    TTwipsRect r;
    // 300 x 600 dpi: x by 1440 / 300, y by 1440 / 600, toward zero.
    ASSERT_TRUE(PageRectTwips(301, 601, 2251, 6001, 300, 600, r));
    EXPECT_EQ(r.left, 1444);    // 1444.8
    EXPECT_EQ(r.top, 1442);     // 1442.4
    EXPECT_EQ(r.right, 10804);  // 10804.8
    EXPECT_EQ(r.bottom, 14402); // 14402.4
    EXPECT_FALSE(PageRectTwips(0, 0, 0, 0, 96, 96, r));
    EXPECT_FALSE(PageRectTwips(10, 10, 5, 20, 96, 96, r));
    EXPECT_FALSE(PageRectTwips(0, 0, 10, 10, 0, 96, r));
}

TEST(PreviewZoom, TheZoomLabelGroupsThousands) {
    EXPECT_EQ(ZoomText(0.7575757, ","), "76%");
    EXPECT_EQ(ZoomText(1.0, ","), "100%");
    EXPECT_EQ(ZoomText(10.0, ","), "1,000%");
    EXPECT_EQ(ZoomText(123.456, "."), "12.346%");
    EXPECT_EQ(ZoomText(0.006, ","), "1%");
    EXPECT_EQ(ZoomText(0.004, ","), "0%");
    EXPECT_EQ(ZoomText(0.0, ","), "0%");
}

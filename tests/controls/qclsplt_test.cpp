// The splitter panel's geometry, bar arithmetic and stored values.
#include <gtest/gtest.h>

#include "controls/qclspltRules.h"

namespace treskel {
namespace {

using O = TQclSplitterOrientation;

TEST(QclSplitterBar, ThePositionFollowsThePercentageWithinItsLimits) {
    TQclBarNumbers bar;
    bar.extent = 393;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 196);
    bar = {};
    bar.extent = 500;
    bar.percent = 10;
    bar.min = 100;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 100);
    bar.percent = 95;
    bar.min = 0;
    bar.max = 50;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 450);
    // Both limits at once: the upper one wins, but never below 0.
    bar.min = 400;
    bar.max = 200;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 300);
    bar.max = 600;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 0);
}

TEST(QclSplitterBar, APositionSetByProgramSnapsToAWholePercentage) {
    TQclBarNumbers bar;
    bar.extent = 500;
    bar.position = 356;
    QclUpdateBarPosition(bar, false);
    EXPECT_EQ(bar.percent, 71);
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, 355);
}

TEST(QclSplitterBar, PercentagesRoundHalvesToTheEvenNeighbour) {
    EXPECT_EQ(QclPercentOf(5, 200), 2);   // 2.5
    EXPECT_EQ(QclPercentOf(7, 200), 4);   // 3.5
    EXPECT_EQ(QclPercentOf(199, 200), 100);
    EXPECT_EQ(QclPercentOf(900, 200), 100);  // held in range
    EXPECT_EQ(QclPercentOf(-10, 200), 0);
    EXPECT_EQ(QclPercentOf(10, 0), 0);
}

TEST(QclSplitterBar, NothingMovesBeforeThePanelKnowsItsSize) {
    TQclBarNumbers bar;
    bar.percent = 38;
    QclUpdateBarPosition(bar, true);
    EXPECT_EQ(bar.position, -1);
    EXPECT_EQ(bar.percent, 38);
}

TEST(QclSplitterGeometry, TwoPanesSideBySide) {
    // Client 400 x 200, bevel 2, bar 3 wide at 50 %.
    TQclSplitterGeometry g;
    g.visiblePanes = 2;
    g.bevel = 2;
    g.width = 396;
    g.height = 196;
    std::array<int, kQclMaxBars> extents{};
    QclBarExtents(O::spVertRight, 2, g.width, g.height, g.widths, extents);
    EXPECT_EQ(extents[0], 393);
    TQclBarNumbers bar;
    bar.extent = extents[0];
    QclUpdateBarPosition(bar, true);
    g.positions[0] = bar.position;
    EXPECT_EQ(QclBarRect(g, 0), Bounds(198, 2, 3, 196));
    std::vector<TRect> panes = QclPaneRects(g, {2, 2, 398, 198});
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_EQ(panes[0], Rect(2, 2, 198, 198));
    EXPECT_EQ(panes[1], Rect(201, 2, 398, 198));
}

TEST(QclSplitterGeometry, ThreeAndFourPanesInEachOrientation) {
    TQclSplitterGeometry g;
    g.visiblePanes = 3;
    g.width = 300;
    g.height = 200;
    g.positions = {100, 50, 0};
    const TRect r{0, 0, 300, 200};
    g.orientation = O::spHorzDown;  // pane 0 across the top, the bottom split
    EXPECT_EQ(QclPaneRects(g, r), (std::vector<TRect>{{0, 0, 300, 100}, {53, 103, 300, 200}, {0, 103, 50, 200}}));
    EXPECT_EQ(QclBarRect(g, 1), Bounds(50, 103, 3, 97));
    g.orientation = O::spVertLeft;
    EXPECT_EQ(QclPaneRects(g, r), (std::vector<TRect>{{0, 0, 100, 50}, {103, 0, 300, 200}, {0, 53, 100, 200}}));
    EXPECT_EQ(QclBarRect(g, 1), Bounds(0, 50, 100, 3));
    g.visiblePanes = 4;
    g.positions = {100, 150, 80};
    g.orientation = O::spCross;
    EXPECT_EQ(QclPaneRects(g, r), (std::vector<TRect>{{0, 0, 100, 150}, {103, 0, 300, 150}, {103, 153, 300, 200},
                                                      {0, 153, 100, 200}}));
    EXPECT_EQ(QclBarRect(g, 1), Bounds(0, 150, 300, 3));
    EXPECT_TRUE(IsRectEmpty(QclBarRect(g, 2)));
    // A crossing with fewer than four panes leaves the panes alone.
    g.visiblePanes = 3;
    EXPECT_TRUE(QclPaneRects(g, r).empty());
}

TEST(QclSplitterGeometry, APanelSmallerThanItsBarsGivesNoNegativeSizes) {
    std::array<int, kQclMaxBars> extents{};
    QclBarExtents(O::spVertRight, 3, 2, 1, {3, 3, 3}, extents);
    EXPECT_EQ(extents[0], 0);
    EXPECT_EQ(extents[1], 0);
    TQclSplitterGeometry g;
    g.orientation = O::spHorzDown;
    g.visiblePanes = 3;
    g.width = 2;
    g.height = 1;
    g.positions = {0, 0, 0};
    TRect bar = QclBarRect(g, 1);
    EXPECT_GE(bar.Width(), 0);
    EXPECT_GE(bar.Height(), 0);
    for (const TRect& p : QclPaneRects(g, {0, 0, 2, 1})) {
        EXPECT_GE(p.Width(), 0);
        EXPECT_GE(p.Height(), 0);
    }
}

TEST(QclSplitterGeometry, BarDirectionsFollowTheOrientation) {
    std::array<bool, kQclMaxBars> h{false, false, true};
    QclBarDirections(O::spHorzUp, 3, h);
    EXPECT_EQ(h, (std::array<bool, kQclMaxBars>{true, false, true}));
    QclBarDirections(O::spVertRight, 4, h);
    EXPECT_EQ(h, (std::array<bool, kQclMaxBars>{false, true, true}));
    h = {true, true, false};
    QclBarDirections(O::spCross, 4, h);
    EXPECT_EQ(h, (std::array<bool, kQclMaxBars>{false, true, false}));
}

TEST(QclSplitterDrag, ADraggedBarStopsAtItsLimits) {
    TQclBarNumbers bar;
    bar.extent = 500;
    bar.min = 100;
    bar.max = 50;
    EXPECT_EQ(QclClampDragStep(-300, 200, bar), -100);
    EXPECT_EQ(QclClampDragStep(400, 200, bar), 250);
    EXPECT_EQ(QclClampDragStep(20, 200, bar), 20);
    // Without a minimum the bar still never passes the inner edge.
    bar.min = -50;
    EXPECT_EQ(QclClampDragStep(-300, 10, bar), -10);
}

TEST(QclSplitterStore, PaneOrderMustBeAPermutation) {
    std::vector<int> order{7};
    EXPECT_TRUE(QclParsePaneOrder("1,0", ',', 2, order));
    EXPECT_EQ(order, (std::vector<int>{1, 0}));
    for (const char* bad : {"", "0", "0,1,2", "0,0", "1,1", "0,2", "-1,0", "a,1", "0, 1", "0,", ",1"}) {
        std::vector<int> keep{7};
        EXPECT_FALSE(QclParsePaneOrder(bad, ',', 2, keep)) << bad;
        EXPECT_EQ(keep, std::vector<int>{7}) << bad;
    }
}

TEST(QclSplitterStore, VisibilityIsOneFlagPerPaneAndOnlyOneShows) {
    std::vector<bool> v;
    EXPECT_TRUE(QclParsePaneVisible("1,0", ',', 2, v));
    EXPECT_EQ(v, (std::vector<bool>{true, false}));
    for (const char* other : {"1,2", "1,yes", "1,0,", "1, 1", "1,01"}) {
        v.clear();
        EXPECT_TRUE(QclParsePaneVisible(other, ',', 2, v)) << other;
        EXPECT_EQ(v, (std::vector<bool>{true, false})) << other;
    }
    for (const char* bad : {"1", "1,", "1,1,1", ""}) {
        v = {true, true};
        EXPECT_FALSE(QclParsePaneVisible(bad, ',', 2, v)) << bad;
        EXPECT_EQ(v, (std::vector<bool>{true, true})) << bad;
    }
}

TEST(QclSplitterStore, BarsAreWholePercentagesOnePerBar) {
    std::vector<uint8_t> p;
    EXPECT_TRUE(QclParseBarPercents("38", ',', 1, p));
    EXPECT_EQ(p, std::vector<uint8_t>{38});
    EXPECT_TRUE(QclParseBarPercents("0,100", ',', 2, p));
    for (const char* bad : {"", "38,40", "101", "-1", "300", "x", "3.5", "38 ", "$20", "99999999999"})
        EXPECT_FALSE(QclParseBarPercents(bad, ',', 1, p)) << bad;
}

}  // namespace
}  // namespace treskel

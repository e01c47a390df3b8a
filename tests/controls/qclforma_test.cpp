// The form component's stored placement value, how it is put back, its
// size limits and its rescaling.
#include <gtest/gtest.h>

#include "controls/qclformARules.h"

namespace treskel {
namespace {

TEST(QclPlacementValue, SevenNumbersStartingWith200) {
    TQclPlacement p{0, 1, {232, 120, 652, 420}};
    EXPECT_EQ(QclPlacementToString(p, ','), "200,0,1,232,120,652,420");
    TQclPlacement back;
    ASSERT_TRUE(QclStringToPlacement("200,0,1,232,120,652,420", ',', back));
    EXPECT_EQ(back, p);
    ASSERT_TRUE(QclStringToPlacement("200,2,3,-1024,-8,-10,600", ',', back));
    EXPECT_EQ(back.normal, Rect(-1024, -8, -10, 600));
}

TEST(QclPlacementValue, AnythingElseCountsAsMissing) {
    TQclPlacement p{9, 9, {9, 9, 9, 9}};
    const TQclPlacement before = p;
    for (const char* bad : {"", "200,0,1,232,120,652", "201,0,1,232,120,652,420", "200,0,1,232,120,652,420,1",
                            "200,0,1,abc,120,652,420", "200,0,1,232,,652,420", "200,0,1, 232,120,652,420",
                            "200,0,1,$10,120,652,420", "200,0,1,232,120,652,420x", "200,0,1,1e3,120,652,420",
                            "200,0,1,99999999999,120,652,420"}) {
        EXPECT_FALSE(QclStringToPlacement(bad, ',', p)) << bad;
        EXPECT_EQ(p, before) << bad;
    }
}

TQclScreenArea Screen1024() {
    TQclScreenArea s;
    s.width = 1024;
    s.height = 768;
    s.monitors = {{0, 0, 1024, 768}};
    s.workArea = {0, 0, 1024, 740};
    return s;
}

TEST(QclRestorePlacement, PositionOnlyKeepsTheFormsSize) {
    const TQclPlacement current{0, 1, {10, 10, 310, 210}};
    const TQclPlacement stored{0, 1, {232, 120, 652, 420}};
    TQclPlacement p = QclRestoredPlacement(current, stored, {true, false, false}, Bounds(10, 10, 300, 200),
                                           Screen1024());
    EXPECT_EQ(p.normal, Rect(232, 120, 532, 320));
    EXPECT_EQ(p.showCmd, 1);
}

TEST(QclRestorePlacement, SizeOnlyKeepsTheFormsPosition) {
    const TQclPlacement current{0, 1, {10, 20, 310, 220}};
    const TQclPlacement stored{0, 1, {232, 120, 652, 420}};
    TQclPlacement p = QclRestoredPlacement(current, stored, {false, true, false}, Bounds(10, 20, 300, 200),
                                           Screen1024());
    EXPECT_EQ(p.normal, Rect(10, 20, 430, 320));
}

TEST(QclRestorePlacement, AWindowPastTheRightEdgeMovesBackOntoTheScreen) {
    TQclPlacement p = QclRestoredPlacement({}, {0, 1, {900, 100, 1300, 400}}, {true, true, false},
                                           Bounds(0, 0, 10, 10), Screen1024());
    EXPECT_EQ(p.normal, Rect(624, 100, 1024, 400));
}

TEST(QclRestorePlacement, StateComesBackOnlyWhenAskedAndHidesWithoutAutoShow) {
    const TQclPlacement current{0, 1, {0, 0, 100, 100}};
    const TQclPlacement stored{2, 3, {0, 0, 100, 100}};
    EXPECT_EQ(QclRestoredPlacement(current, stored, {false, false, true, true}, {}, Screen1024()).showCmd, 3);
    EXPECT_EQ(QclRestoredPlacement(current, stored, {false, false, true, true}, {}, Screen1024()).flags, 2);
    EXPECT_EQ(QclRestoredPlacement(current, stored, {false, false, true, false}, {}, Screen1024()).showCmd, 0);
    EXPECT_EQ(QclRestoredPlacement(current, stored, {true, false, false, true}, {}, Screen1024()).showCmd, 1);
}

TEST(QclRestorePlacement, AWindowOffEveryMonitorIsBroughtIntoTheWorkArea) {
    // Left where a second monitor used to be.
    TQclPlacement p = QclRestoredPlacement({}, {0, 1, {-1500, 200, -1100, 500}}, {true, true, false},
                                           Bounds(0, 0, 10, 10), Screen1024());
    EXPECT_EQ(p.normal, Rect(0, 200, 400, 500));
    // Far above the screen.
    p = QclRestoredPlacement({}, {0, 1, {300, -3000, 700, -2700}}, {true, true, false}, Bounds(0, 0, 10, 10),
                             Screen1024());
    EXPECT_EQ(p.normal, Rect(300, 0, 700, 300));
    // On a second monitor to the left it stays where it was.
    TQclScreenArea two = Screen1024();
    two.monitors.push_back({-1280, 0, 0, 1024});
    p = QclRestoredPlacement({}, {0, 1, {-1000, 200, -600, 500}}, {true, true, false}, Bounds(0, 0, 10, 10), two);
    EXPECT_EQ(p.normal, Rect(-1000, 200, -600, 500));
    // Partly visible is visible.
    EXPECT_EQ(KeepOnMonitors({-390, 10, 10, 100}, two.monitors, two.workArea), Rect(-390, 10, 10, 100));
}

TEST(QclRestorePlacement, AWindowLargerThanTheWorkAreaKeepsItsSizeAtTheAreasCorner) {
    EXPECT_EQ(KeepOnMonitors({3000, 3000, 4500, 4000}, {{0, 0, 1024, 768}}, {0, 0, 1024, 740}),
              Rect(0, 0, 1500, 1000));
}

TEST(QclFormLimits, NegativeValuesAreFractionsOfTheScreen) {
    TQclFormLimits l;
    ASSERT_TRUE(l.Set(TQclFormLimit::TrackMaxWidth, -2, 1024, 768));
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMaxWidth), 512);
    l.Update(800, 600);
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMaxWidth), 400);
    EXPECT_EQ(l.Value(TQclFormLimit::TrackMaxWidth), -2);
    ASSERT_TRUE(l.Set(TQclFormLimit::MaximizedPosY, -4, 800, 600));
    EXPECT_EQ(l.Pixels(TQclFormLimit::MaximizedPosY), 150);
    EXPECT_EQ(QclLimitToPixels(-3, true, 1024, 768), 256);
    EXPECT_EQ(QclLimitToPixels(-3, false, 1024, 768), 341);
}

TEST(QclFormLimits, ContradictionsAndValuesBelowMinus100AreRefused) {
    TQclFormLimits l;
    EXPECT_FALSE(l.Set(TQclFormLimit::TrackMinWidth, -101, 1024, 768));
    EXPECT_EQ(l.Value(TQclFormLimit::TrackMinWidth), 0);
    ASSERT_TRUE(l.Set(TQclFormLimit::TrackMinWidth, 300, 1024, 768));
    EXPECT_FALSE(l.Set(TQclFormLimit::TrackMaxWidth, 200, 1024, 768));
    ASSERT_TRUE(l.Set(TQclFormLimit::TrackMaxWidth, 400, 1024, 768));
    EXPECT_FALSE(l.Set(TQclFormLimit::TrackMinWidth, 500, 1024, 768));
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMinWidth), 300);
    // The maximized values are always taken.
    EXPECT_TRUE(l.Set(TQclFormLimit::MaximizedWidth, 10, 1024, 768));
}

TEST(QclFormLimits, AnUpdateKeepsTheMaximumOnTheScreenAndTheMinimumBelowIt) {
    TQclFormLimits l;
    ASSERT_TRUE(l.Set(TQclFormLimit::TrackMinHeight, 500, 1024, 768));
    ASSERT_TRUE(l.Set(TQclFormLimit::TrackMaxHeight, 700, 1024, 768));
    l.Update(800, 600);
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMaxHeight), 600);
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMinHeight), 500);
    l.Update(640, 480);
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMaxHeight), 480);
    EXPECT_EQ(l.Pixels(TQclFormLimit::TrackMinHeight), 480);
}

TEST(QclFormResolution, ADenserScreenMakesTheControlsLarger) {
    EXPECT_EQ(QclScaleToScreen(100, 96, 120), 125);
    EXPECT_EQ(QclScaleToScreen(100, 120, 96), 80);
    EXPECT_EQ(QclScaleToScreen(75, 96, 144), 113);  // 112.5 rounds up
    EXPECT_EQ(QclScaleToScreen(100, 96, 96), 100);
    EXPECT_EQ(QclScaleToScreen(100, 0, 96), 100);
}

}  // namespace
}  // namespace treskel

// Window placement, the opening effects' frames and the caption geometry.
#include <gtest/gtest.h>

#include "foundation/qclutils.h"

namespace treskel {
namespace {

using P = TQclDlgPosition;

TEST(QclPlaceWindow, EachPositionPutsTheWindowOnItsSideOfTheRectangle) {
    const TRect r{100, 50, 500, 350};  // 400 x 300
    auto at = [&](P p) { return QclPlacePoint(r, 100, 60, p, 1024, 768); };
    EXPECT_EQ(at(P::bpCustom), Point(100, 50));
    EXPECT_EQ(at(P::bpTopLeft), Point(100, 50));
    EXPECT_EQ(at(P::bpTopCenter), Point(250, 50));
    EXPECT_EQ(at(P::bpTopRight), Point(400, 50));
    EXPECT_EQ(at(P::bpCenterLeft), Point(100, 170));
    EXPECT_EQ(at(P::bpCenter), Point(250, 170));
    EXPECT_EQ(at(P::bpCenterRight), Point(400, 170));
    EXPECT_EQ(at(P::bpBottomLeft), Point(100, 290));
    EXPECT_EQ(at(P::bpBottomCenter), Point(250, 290));
    EXPECT_EQ(at(P::bpBottomRight), Point(400, 290));
}

TEST(QclPlaceWindow, HalvesRoundTowardZeroAndNothingGoesBelowZero) {
    // An odd difference: (401 - 100) / 2 = 150.
    EXPECT_EQ(QclPlacePoint({0, 0, 401, 301}, 100, 100, P::bpCenter, 1024, 768), Point(150, 100));
    // A window wider than the rectangle: a negative half, truncated.
    EXPECT_EQ(QclPlacePoint({10, 10, 111, 111}, 200, 50, P::bpCenter, 1024, 768), Point(0, 35));
    // Larger than the screen at the bottom right: the top-left corner of the screen.
    EXPECT_EQ(QclPlacePoint({0, 0, 1024, 768}, 1200, 900, P::bpBottomRight, 1024, 768), Point(0, 0));
}

TEST(QclPlaceWindow, AWindowPastTheScreensEdgeIsMovedBackByTheRectanglesEdge) {
    // The rectangle reaches past a 800 x 600 screen: the window ends where it ends.
    EXPECT_EQ(QclPlacePoint({700, 500, 1000, 700}, 200, 150, P::bpTopLeft, 800, 600), Point(800, 550));
}

TEST(QclExplode, FramesGrowFromThePointToTheWindowInTheGivenSteps) {
    const TRect w{100, 100, 300, 200};
    std::vector<TRect> f = QclExplodeFrames(w, 0, 0, 4);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0], Rect(25, 25, 75, 50));
    EXPECT_EQ(f[1], Rect(50, 50, 150, 100));
    EXPECT_EQ(f.back(), w);
    // Below 4 steps the effect takes 40.
    EXPECT_EQ(QclExplodeFrames(w, 0, 0, 2).size(), 40u);
    EXPECT_EQ(QclExplodeFrames(w, 0, 0, 2).back(), w);
    // From a point inside the window the frames spread outward from it.
    std::vector<TRect> inside = QclExplodeFrames(w, 200, 150, 10);
    EXPECT_LE(inside[0].Width(), 20);
    EXPECT_TRUE(PtInRect(w, inside[0].TopLeft()));
    EXPECT_EQ(inside.back(), w);
}

TEST(QclExplode, TheTwoPhaseEffectTravelsUnderTheWindowThenGrowsOverIt) {
    const TRect w{200, 100, 400, 300};
    std::vector<TRect> f = QclExplodeFramesExt(w, 0, 0, true, 10, 20, 5);
    ASSERT_EQ(f.size(), 10u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f[static_cast<size_t>(i)].Width(), 20) << i;
    // The first phase ends half way to the window's left, at its bottom.
    EXPECT_EQ(f[4].TopLeft(), Point(100, 300));
    EXPECT_EQ(f.back(), w);
    // Without the first phase only the growing frames remain.
    std::vector<TRect> g = QclExplodeFramesExt(w, 0, 0, false, 10, 20, 5);
    EXPECT_EQ(g.size(), 5u);
    EXPECT_EQ(g.back(), w);
}

constexpr uint32_t kSysMenu = 0x00080000, kThick = 0x00040000, kMin = 0x00020000, kMax = 0x00010000,
                   kCaption = 0x00C00000;

TEST(QclCaption, ASizeableWindowsCaptionLiesInsideItsFrameAndLeavesRoomForButtonsAndIcon) {
    TQclCaptionMetrics m;  // 1-pixel borders, frame 4, caption 19, buttons 18, icon 16
    TQclCaptionWindow w{400, kCaption | kSysMenu | kThick | kMin | kMax, 0, true, false};
    TRect cap, text;
    uint16_t flags = 0;
    QclCaptionRects(w, m, cap, text, flags);
    EXPECT_EQ(cap, Rect(4, 4, 396, 22));
    EXPECT_TRUE(flags & qclCapIcon);
    EXPECT_FALSE(flags & qclCapSmall);
    // Text after the icon (16 + frame 4 + border 1), before close (3 + 18) and min/max (2 x 18).
    EXPECT_EQ(text, Rect(25, 4, 396 - 21 - 36, 22));
}

TEST(QclCaption, FlagsAskForTheCaptionToEndWithTheTextAndToKeepTheIcon) {
    TQclCaptionMetrics m;
    TQclCaptionWindow w{400, kCaption | kSysMenu | kThick, 0, true, false};
    TRect cap, text;
    uint16_t flags = qclCapTextRight | qclCapKeepIcon;
    QclCaptionRects(w, m, cap, text, flags);
    EXPECT_EQ(cap.Right, text.Right - 0);
    // With the icon kept, the caption starts where the text started and the text moves on.
    EXPECT_EQ(cap.Left, 25);
    EXPECT_EQ(text.Left, 27);
}

TEST(QclCaption, AToolWindowHasASmallCaptionAndNoIcon) {
    TQclCaptionMetrics m;
    TQclCaptionWindow w{300, kCaption | kSysMenu, 0x80, true, false};
    TRect cap, text{0, 0, 300, 15};
    uint16_t flags = 0;
    QclCaptionRects(w, m, cap, text, flags);
    EXPECT_TRUE(flags & qclCapSmall);
    EXPECT_FALSE(flags & qclCapIcon);
    // Inside a thin frame: three borders in, two borders further down.
    EXPECT_EQ(cap, Rect(3, 3, 297, 17));
    EXPECT_EQ(text, Rect(4, 3, 283, 17));
}

TEST(QclCaption, AWindowWithoutSystemMenuKeepsTwoBordersOfRoomOnTheLeft) {
    TQclCaptionMetrics m;
    TQclCaptionWindow w{300, kCaption, 0x01, true, false};  // a dialog frame
    TRect cap, text;
    uint16_t flags = 0;
    QclCaptionRects(w, m, cap, text, flags);
    EXPECT_EQ(cap, Rect(3, 3, 297, 21));
    EXPECT_EQ(text.Left, cap.Left + 2);
    EXPECT_EQ(text.Right, cap.Right);
}

// Iconic: only a window showing its icon in the new look is marked so and
// loses a border from its caption's bottom; one without a system menu
// keeps the caption of a window that is not iconic.
TEST(QclCaption, OnlyTheNewLooksIconicWindowWithItsIconHasTheLowerCaption) {
    TQclCaptionMetrics m;
    TRect cap, text;
    uint16_t flags = 0;
    TQclCaptionWindow bare{400, kCaption | kThick, 0, true, true};
    QclCaptionRects(bare, m, cap, text, flags);
    EXPECT_FALSE(flags & qclCapIconic);
    EXPECT_EQ(cap, Rect(4, 4, 396, 22));

    flags = 0;
    TQclCaptionWindow withIcon{400, kCaption | kSysMenu | kThick, 0, true, true};
    QclCaptionRects(withIcon, m, cap, text, flags);
    EXPECT_TRUE(flags & qclCapIconic);
    EXPECT_EQ(cap.Bottom, 21);
    // Past the icon (16 + frame 4) without the border an open window adds;
    // no room kept for a close button.
    EXPECT_EQ(text, Rect(24, 4, 396, 21));

    // The old look never marks it.
    m.newStyle = false;
    flags = 0;
    QclCaptionRects(withIcon, m, cap, text, flags);
    EXPECT_TRUE(flags & qclCapIcon);
    EXPECT_FALSE(flags & qclCapIconic);
}

TEST(QclPackPoint, NegativeCoordinatesSurviveThePacking) {
    for (TPoint p : {Point(0, 0), Point(-1, 5), Point(12, -3), Point(-300, -400), Point(32767, -32768)})
        EXPECT_EQ(QclUnpackPoint(QclPackPoint(p.x, p.y)), p);
    // A negative x no longer spills into y.
    EXPECT_EQ(QclPackPoint(-1, 0) >> 16, 0);
}

}  // namespace
}  // namespace treskel

// The window-free rules of the library's buttons, labels and radio group.
#include <gtest/gtest.h>

#include <string>

#include "controls/qclbtn.h"
#include "controls/qclctrl.h"
#include "controls/qclctrlA.h"
#include "controls/qclgroup.h"

using namespace treskel;
using S = TQclButtonState;

TEST(QclGlyphStates, OneCellGlyphUsesUpForPushedAndEmbossedForDisabled) {
    EXPECT_EQ(QclGlyphImageState(4, 1, false), 0);
    EXPECT_EQ(QclGlyphImageState(2, 1, false), 0);
    EXPECT_EQ(QclGlyphImageState(1, 1, false), 1);
    EXPECT_EQ(QclGlyphImageState(7, 4, false), 1);
    EXPECT_EQ(QclGlyphSourceFor(1, 1, false), TQclGlyphSource::gsEmbossed);
    EXPECT_EQ(QclGlyphSourceFor(0, 1, false), TQclGlyphSource::gsCell);
    // Uncoloured: grey when up, coloured when the mouse is over or pushed.
    EXPECT_EQ(QclGlyphSourceFor(QclGlyphImageState(0, 1, true), 1, true), TQclGlyphSource::gsGrayed);
    EXPECT_EQ(QclGlyphImageState(3, 1, true), 2);
    EXPECT_EQ(QclGlyphImageState(6, 1, true), 4);
    EXPECT_EQ(QclGlyphSourceFor(2, 1, true), TQclGlyphSource::gsCell0);
    EXPECT_EQ(QclGlyphSourceFor(3, 4, false), TQclGlyphSource::gsCell);
    EXPECT_EQ(QclGlyphSourceFor(6, 1, false), TQclGlyphSource::gsNone);
}

TEST(QclHitTest, RightAndBottomEdgesAreOutside) {
    EXPECT_TRUE(QclPointInSize(0, 0, 23, 22));
    EXPECT_TRUE(QclPointInSize(22, 21, 23, 22));
    EXPECT_FALSE(QclPointInSize(23, 5, 23, 22));
    EXPECT_FALSE(QclPointInSize(5, 22, 23, 22));
    EXPECT_FALSE(QclPointInSize(-1, 5, 23, 22));
}

namespace {
struct Button {
    TQclButtonMachine m;
    int clicks = 0, repeats = 0, menus = 0, enters = 0, exits = 0, announces = 0;
    bool timer = false, leave = false, cursorIn = true;
    std::string trace;
    Button() {
        m.settings.allowMouseOver = true;
        m.onClick = [this] { ++clicks; };
        m.onRepeatClick = [this] { ++repeats; };
        m.onRepeatTimer = [this](bool run) { timer = run; };
        m.onLeaveCheck = [this](bool run) { leave = run; };
        m.onShowMenu = [this] { ++menus; };
        m.onMouseEnter = [this] { ++enters; };
        m.onMouseExit = [this] { ++exits; };
        m.onAnnounce = [this] { ++announces; };
        m.cursorInside = [this] { return cursorIn; };
    }
};
}  // namespace

TEST(QclButtonMachine, HoverPressAndReleaseInsideClicksOnce) {
    Button b;
    b.m.MouseEnter();
    EXPECT_EQ(b.m.State(), S::bsMouseOver);
    EXPECT_TRUE(b.leave);
    b.m.Move(true);
    EXPECT_EQ(b.enters, 1);  // the move after the enter notice fires nothing again
    b.m.Press();
    EXPECT_EQ(b.m.State(), S::bsPushed);
    b.m.Release(true);
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(b.m.State(), S::bsMouseOver);
    b.m.MouseExit();
    EXPECT_EQ(b.m.State(), S::bsUp);
    EXPECT_EQ(b.exits, 1);
    EXPECT_FALSE(b.leave);
}

TEST(QclButtonMachine, ReleaseOutsideDoesNotClick) {
    Button b;
    b.m.MouseEnter();
    b.m.Press();
    b.m.Move(false);
    EXPECT_EQ(b.m.State(), S::bsUp);
    b.m.Move(true);
    EXPECT_EQ(b.m.State(), S::bsPushed);
    b.m.Move(false);
    b.m.Release(false);
    EXPECT_EQ(b.clicks, 0);
    EXPECT_EQ(b.m.State(), S::bsUp);
}

TEST(QclButtonMachine, RepeatedClickFiresOnPressAndPerTickInsideButNotOnRelease) {
    Button b;
    b.m.settings.repeatedClick = true;
    b.m.Press();
    EXPECT_EQ(b.repeats, 1);
    EXPECT_TRUE(b.timer);
    b.m.RepeatTick(true);
    b.m.RepeatTick(true);
    b.m.RepeatTick(false);
    EXPECT_EQ(b.repeats, 3);
    b.m.Release(true);
    EXPECT_EQ(b.clicks, 0);
    EXPECT_FALSE(b.timer);
    b.m.RepeatTick(true);
    EXPECT_EQ(b.repeats, 3);
}

TEST(QclButtonMachine, GroupedButtonsReleaseEachOtherAndStayDownWithoutAllowAllUp) {
    Button a, b;
    a.m.settings.groupIndex = b.m.settings.groupIndex = 1;
    a.m.onAnnounce = [&] { b.m.OtherPressed(1, a.m.settings.allowAllUp, a.m.Pressed()); };
    b.m.onAnnounce = [&] { a.m.OtherPressed(1, b.m.settings.allowAllUp, b.m.Pressed()); };
    a.m.Press();
    a.m.Release(true);
    EXPECT_TRUE(a.m.Pressed());
    EXPECT_EQ(a.m.State(), S::bsDown);
    b.m.Press();
    b.m.Release(true);
    EXPECT_TRUE(b.m.Pressed());
    EXPECT_FALSE(a.m.Pressed());
    EXPECT_EQ(a.m.State(), S::bsUp);
    // Clicking the pressed one again changes nothing.
    int clicks = b.clicks;
    b.m.Press();
    b.m.Release(true);
    EXPECT_TRUE(b.m.Pressed());
    EXPECT_EQ(b.clicks, clicks);
    // AllowAllUp set on one reaches the rest of the group, pressed or not.
    b.m.settings.allowAllUp = true;
    b.m.onAnnounce();
    EXPECT_TRUE(a.m.settings.allowAllUp);
    EXPECT_TRUE(b.m.Pressed());
    a.m.settings.allowAllUp = false;
    a.m.OtherPressed(1, true, false);  // an unpressed sender releases nobody
    EXPECT_TRUE(a.m.settings.allowAllUp);
}

TEST(QclButtonMachine, WhileFrozenStatesStayAndAClicksReevaluationGivesUp) {
    Button b;
    b.m.settings.allowMouseOver = true;
    bool frozen = false;
    b.m.frozen = [&] { return frozen; };
    b.m.MouseEnter();
    b.m.Press();
    EXPECT_EQ(b.m.State(), S::bsPushed);
    frozen = true;
    b.m.Move(false);
    EXPECT_EQ(b.m.State(), S::bsPushed);  // ignored
    b.m.Release(true);
    EXPECT_EQ(b.clicks, 1);
    EXPECT_EQ(b.m.State(), S::bsUp);  // the re-evaluation asked for mouse-over
    frozen = false;
    int changes = 0;
    b.m.onMouseInsideChanged = [&] { ++changes; };
    b.m.MouseEnter();
    b.m.MouseExit();
    EXPECT_EQ(changes, 2);
}

TEST(QclButtonMachine, PressedNeedsAGroupAndDisabledPressedShowsDisabledDown) {
    Button b;
    b.m.SetPressed(true);
    EXPECT_FALSE(b.m.Pressed());
    b.m.settings.groupIndex = 2;
    b.m.SetPressed(true);
    EXPECT_TRUE(b.m.Pressed());
    b.m.SetEnabled(false);
    EXPECT_EQ(b.m.State(), S::bsDisabledDown);
    EXPECT_EQ(QclGlyphImageState(static_cast<int>(b.m.State()), 4, false), 1);
    b.m.SetEnabled(true);
    EXPECT_EQ(b.m.State(), S::bsDown);
}

TEST(QclButtonMachine, APressedButtonThatTheMouseLeavesShowsPressedAgain) {
    Button b;
    b.m.settings.groupIndex = 1;
    b.m.SetPressed(true);
    b.m.MouseEnter();
    b.m.Move(true);
    b.m.CheckMouseLeave(false);
    EXPECT_EQ(b.m.State(), S::bsDown);
}

TEST(QclButtonMachine, AMenuButtonDropsDownWithoutClickingAndAThrowingMenuEndsTheDropDown) {
    Button b;
    b.m.settings.hasMenu = true;
    S during = S::bsUp;
    b.m.onShowMenu = [&] {
        during = b.m.State();
        ++b.menus;
    };
    b.m.MouseEnter();
    b.m.Press();
    b.m.Release(true);
    EXPECT_EQ(during, S::bsDropDown);
    EXPECT_EQ(b.menus, 1);
    EXPECT_EQ(b.clicks, 0);
    EXPECT_FALSE(b.m.MenuOpen());
    b.m.onShowMenu = [] { throw std::runtime_error("menu"); };
    EXPECT_THROW(b.m.Press(), std::runtime_error);
    EXPECT_FALSE(b.m.MenuOpen());
    EXPECT_NE(b.m.State(), S::bsDropDown);
    b.m.onShowMenu = [&] { ++b.menus; };
    b.m.Press();
    EXPECT_EQ(b.menus, 2);
    EXPECT_EQ(QclDropDownPoint(23, 22, false, 3), (TPoint{3, 22}));
    EXPECT_EQ(QclDropDownPoint(23, 22, true, 3), (TPoint{23, 3}));
}

TEST(QclMultimediaFaces, EveryStateIsWrittenAndWrongLengthsAreIgnored) {
    TQclFaceIndexes faces{};
    for (int i = 0; i < 8; ++i) faces[static_cast<size_t>(i)] = {i + 10, i + 100};
    // Without a face of its own for state 7 the block has states 0-6.
    TQclFaceIndexes six = faces;
    six[7] = {0, 0};
    std::vector<uint8_t> short56 = QclWriteFaceIndexes(six);
    ASSERT_EQ(short56.size(), 56u);
    EXPECT_EQ(short56[24], 16);   // state 6's image index
    EXPECT_EQ(short56[28], 100);  // then state 0's list index
    EXPECT_EQ(QclReadFaceIndexes(short56, false, six), six);
    std::vector<uint8_t> block = QclWriteFaceIndexes(faces);
    ASSERT_EQ(block.size(), 64u);
    EXPECT_EQ(block[0], 10);
    EXPECT_EQ(block[28], 17);   // state 7's image index
    EXPECT_EQ(block[32], 100);  // list indexes follow
    TQclFaceIndexes none{};
    EXPECT_EQ(QclReadFaceIndexes(block, false, none), faces);
    // The 56-byte block of older streams keeps state 7 as it was.
    std::vector<uint8_t> seven(56, 0);
    seven[0] = 5;
    seven[28] = 6;  // state 0's list index
    auto read = QclReadFaceIndexes(seven, false, faces);
    ASSERT_TRUE(read);
    EXPECT_EQ((*read)[0], (std::pair<int32_t, int32_t>{5, 6}));
    EXPECT_EQ((*read)[7], faces[7]);
    std::vector<uint8_t> pairs(56, 0);
    pairs[0] = 1;
    pairs[4] = 2;
    EXPECT_EQ((*QclReadFaceIndexes(pairs, true, none))[0], (std::pair<int32_t, int32_t>{1, 2}));
    EXPECT_FALSE(QclReadFaceIndexes(std::vector<uint8_t>(55), false, none));
    EXPECT_FALSE(QclReadFaceIndexes(std::vector<uint8_t>(64), true, none));
    EXPECT_FALSE(QclReadFaceIndexes({}, false, none));
    EXPECT_EQ(QclReadFaceColor(QclWriteFaceColor(0xFFFFFF)), 0xFFFFFF);
    EXPECT_FALSE(QclReadFaceColor(std::vector<uint8_t>(3)));
    EXPECT_EQ(QclFaceFallbackState(2), 0);
    EXPECT_EQ(QclFaceFallbackState(6), 4);
}

TEST(QclBounds, MovingOnlyGivesPositionAndNothingForTheSameBounds) {
    EXPECT_EQ(QclBoundsChanges({0, 0, 30, 30}, {5, 0, 35, 30}), bcPosition);
    EXPECT_EQ(QclBoundsChanges({0, 0, 30, 30}, {0, 0, 31, 30}), bcSize);
    EXPECT_EQ(QclBoundsChanges({0, 0, 30, 30}, {1, 1, 30, 30}), bcSize | bcPosition);
    EXPECT_EQ(QclBoundsChanges({0, 0, 30, 30}, {0, 0, 30, 30}), 0);
}

TEST(QclDocking, DefaultDockButtonSitsOnePixelRightWithTheEditsHeight) {
    TRect edit{10, 20, 110, 41};
    EXPECT_EQ(QclDockBounds(TQclDockPosition::dpRight, edit, {22, 22}, 1, true), (TRect{111, 20, 133, 41}));
    EXPECT_EQ(QclDockBounds(TQclDockPosition::dpLeft, edit, {60, 13}, 1, true), (TRect{-51, 20, 9, 41}));
    EXPECT_EQ(QclDockBounds(TQclDockPosition::dpLeft, edit, {60, 13}, 1, false), (TRect{-51, 20, 9, 33}));
    EXPECT_EQ(QclDockBounds(TQclDockPosition::dpBottom, edit, {22, 13}, 2, true), (TRect{10, 43, 110, 56}));
    EXPECT_EQ(QclDockBounds(TQclDockPosition::dpTop, edit, {22, 13}, 2, false), (TRect{10, 5, 32, 18}));
    // The control follows: a dock button moved to 200, 50 pulls the edit to its left.
    EXPECT_EQ(QclFollowBounds(TQclDockPosition::dpRight, {200, 50, 222, 72}, {100, 21}, 1, true),
              (TRect{99, 50, 199, 72}));
    EXPECT_EQ(QclFollowBounds(TQclDockPosition::dpLeft, {0, 50, 60, 63}, {100, 21}, 1, false),
              (TRect{61, 50, 161, 71}));
    EXPECT_EQ(QclFollowBounds(TQclDockPosition::dpBottom, {0, 50, 60, 63}, {100, 21}, 1, true),
              (TRect{0, 28, 60, 49}));
    EXPECT_EQ(QclFollowBounds(TQclDockPosition::dpTop, {0, 50, 60, 63}, {100, 21}, 1, false),
              (TRect{0, 64, 100, 85}));
}

TEST(QclJump, BlankJumpUsesTheTextAndAddressesGetMailto) {
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmInternet, "", "me@example.org"), "mailto:me@example.org");
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmInternet, "   ", "www.example.org"), "www.example.org");
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmInternet, "http://x", "a@b"), "http://x");
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmApplication, "", "a@b"), "a@b");
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmNone, "http://x", "t"), "");
    EXPECT_EQ(QclJumpTarget(TQclJumpModes::jmCustom, "http://x", "t"), "");
}

TEST(QclRadioGroup, ThreeColumnsSideBySideAndFiveItemsInTwoColumns) {
    TQclRadioLayoutInput in;
    in.width = 310;
    in.height = 50;
    in.bevelWidth = 2;
    in.captionHeight = 14;
    in.count = 3;
    in.columns = 3;
    auto r = QclRadioLayout(in);
    ASSERT_EQ(r.size(), 3u);
    // inner (3, 15, 307, 47): availW 300, availH 30, one row 30 high.
    EXPECT_EQ(r[0], (TRect{7, 16, 107, 46}));
    EXPECT_EQ(r[1], (TRect{107, 16, 207, 46}));
    EXPECT_EQ(r[2], (TRect{207, 16, 307, 46}));
    in.count = 5;
    in.columns = 2;
    in.height = 63;  // availH 43: rows of 14, one pixel left over, centred (0)
    r = QclRadioLayout(in);
    EXPECT_EQ(r[0].Left, r[2].Left);
    EXPECT_EQ(r[3].Left, 7 + 150);
    EXPECT_EQ(r[3].Top, r[0].Top);
    EXPECT_EQ(r[2].Top, r[0].Top + 28);
    // A fixed item height leaves room below; the rows are centred in it.
    in.itemHeight = 10;
    r = QclRadioLayout(in);
    EXPECT_EQ(r[0].Top, 16 + (43 - 30) / 2);
    in.side = TQclCaptionSide::csLeft;
    in.itemHeight = -1;
    r = QclRadioLayout(in);
    EXPECT_EQ(r[0].Left, 15 + 4);
    EXPECT_TRUE(QclRadioLayout({}).empty());
}

TEST(QclRadioGroup, AGroupSizedToItsButtonsLaysEachOutAtThatSize) {
    TQclRadioLayoutInput in;
    in.bevelWidth = 2;
    in.captionHeight = 14;
    in.count = 5;
    in.columns = 2;
    for (TQclCaptionSide side : {TQclCaptionSide::csTop, TQclCaptionSide::csLeft, TQclCaptionSide::csRight}) {
        in.side = side;
        TSize size = QclRadioGroupSize(in, {70, 17});
        in.width = size.cx;
        in.height = size.cy;
        for (const TRect& b : QclRadioLayout(in)) {
            EXPECT_EQ(b.Width(), 70);
            EXPECT_EQ(b.Height(), 17);
        }
    }
    // A fixed item height is the rows' height, whatever the buttons need.
    in.side = TQclCaptionSide::csTop;
    in.itemHeight = 20;
    EXPECT_EQ(QclRadioGroupSize(in, {70, 17}).cy, 3 * 20 + 4 + 2 + 14);
}

TEST(QclRadioGroup, ColumnsAndItemIndexAreClamped) {
    EXPECT_EQ(QclClampColumns(0), 1);
    EXPECT_EQ(QclClampColumns(20), 12);
    EXPECT_EQ(QclClampItemIndex(5, 3), 2);
    EXPECT_EQ(QclClampItemIndex(-7, 3), -1);
    EXPECT_EQ(QclClampItemIndex(4, 0), -1);
    EXPECT_EQ(QclClampItemIndex(1, 3), 1);
}

TEST(QclGroupCaption, EachSideHasItsBoxItsFrameLineAndItsCorner) {
    using G = TQclGroupCaptionAlign;
    // Left side: the caption runs up from the bottom for gcaLeftBottom.
    auto g = QclGroupCaptionGeometry(G::gcaLeftBottom, 120, 160, 16, 8);
    EXPECT_EQ(g.box, (TRect{0, 0, 16, 152}));
    EXPECT_EQ(g.placement, TQclAlignment::agBottomLeft);
    EXPECT_EQ(g.bevel, (TRect{7, 0, 120, 160}));
    g = QclGroupCaptionGeometry(G::gcaLeftTop, 120, 160, 16, 8);
    EXPECT_EQ(g.box, (TRect{0, 8, 16, 160}));
    EXPECT_EQ(g.placement, TQclAlignment::agTopLeft);
    // Top: the frame line one pixel above the caption's middle.
    g = QclGroupCaptionGeometry(G::gcaTopLeft, 185, 105, 13, 8);
    EXPECT_EQ(g.box, (TRect{8, 0, 185, 13}));
    EXPECT_EQ(g.bevel, (TRect{0, 5, 185, 105}));
    g = QclGroupCaptionGeometry(G::gcaBottomRight, 185, 105, 13, 8);
    EXPECT_EQ(g.box, (TRect{0, 92, 177, 105}));
    EXPECT_EQ(g.bevel, (TRect{0, 0, 185, 100}));
    EXPECT_EQ(g.placement, TQclAlignment::agBottomRight);
    g = QclGroupCaptionGeometry(G::gcaRightTop, 120, 160, 16, 8);
    EXPECT_EQ(g.box, (TRect{104, 10, 120, 160}));
    EXPECT_EQ(g.placement, TQclAlignment::agTopRight);
    EXPECT_EQ(QclGroupCaptionGeometry(G::gcaRightCenter, 120, 160, 16, 8).placement, TQclAlignment::agCenterRight);
}

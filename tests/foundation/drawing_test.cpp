// The appearance objects and the geometry of the drawing procedures.
#include <gtest/gtest.h>

#include "foundation/qclgraph.h"
#include "platform/TypInfo.h"

using namespace treskel;

namespace {

struct ChangeCounter {
    int count = 0;
    void Attach(TQclObject& o) {
        o.OnChange = [this](TObject*) { ++count; };
    }
};

}  // namespace

// ---------------------------------------------------------------- bevel

TEST(QclBevel, DefaultBevelHasNoWidthAndLeavesTheRectangle) {
    TQclBevel b;
    EXPECT_EQ(b.TotalWidth(), 0);
    EXPECT_EQ(b.BottomRightWidth(), 0);
    EXPECT_EQ(b.GetClientRect(Rect(5, 6, 70, 80)), Rect(5, 6, 70, 80));
    EXPECT_EQ(b.Mode(), TQclBevelMode::bmCustom);
    EXPECT_EQ(b.StandardStyle(), TQclBorderStyle::lsSingleLowered);
    EXPECT_EQ(b.BorderSides(), kQclAllFrameSides);
    EXPECT_EQ(b.EdgeStyle(), TQclEdgeStyle::etEtched);
    EXPECT_EQ(b.BorderColor(), clBtnFace);
}

TEST(QclBevel, ShadowStyleWidthsAndClientRectangle) {
    TQclBevel b;
    b.SetWidthInner(2);
    b.SetWidthOuter(3);
    b.SetBorderInnerWidth(1);
    b.SetStyleOuter(TQclBevelStyle::bvShadow);
    EXPECT_EQ(b.StyleInner(), TQclBevelStyle::bvShadow);
    EXPECT_EQ(b.TotalWidth(), 3);
    EXPECT_EQ(b.BottomRightWidth(), 6);
    EXPECT_EQ(b.GetClientRect(Rect(0, 0, 100, 50)), Rect(3, 3, 94, 44));
}

TEST(QclBevel, ShadowStyleIsSharedByBothBevelsAndLeftByBoth) {
    TQclBevel b;
    b.SetStyleOuter(TQclBevelStyle::bvShadow);
    EXPECT_EQ(b.StyleInner(), TQclBevelStyle::bvShadow);
    b.SetStyleInner(TQclBevelStyle::bvLowered);
    EXPECT_EQ(b.StyleInner(), TQclBevelStyle::bvLowered);
    EXPECT_EQ(b.StyleOuter(), TQclBevelStyle::bvNone);
}

TEST(QclBevel, WidthsByMode) {
    TQclBevel b;
    b.SetStyleOuter(TQclBevelStyle::bvFrameLowered);
    b.SetStyleInner(TQclBevelStyle::bvRaised);
    b.SetBorderWidth(2);
    EXPECT_EQ(b.TotalWidth(), 5);  // 2 + 0 + (1 + 1) + 1
    EXPECT_EQ(b.GetClientRect(Rect(0, 0, 20, 20)), Rect(5, 5, 15, 15));

    TQclBevel e;
    e.SetMode(TQclBevelMode::bmEdge);
    e.SetBorderInnerWidth(3);
    EXPECT_EQ(e.TotalWidth(), 5);
    e.SetBorderSides({});
    EXPECT_EQ(e.TotalWidth(), 3);

    TQclBevel s;
    s.SetMode(TQclBevelMode::bmStandard);
    EXPECT_EQ(s.TotalWidth(), 1);  // lsSingleLowered
    s.SetStandardStyle(TQclBorderStyle::lsRaisedExt);
    EXPECT_EQ(s.TotalWidth(), 2);
    s.SetStandardStyle(TQclBorderStyle::lsNone);
    EXPECT_EQ(s.TotalWidth(), 0);

    TQclBevel w;
    w.SetBorderInnerWidth(1);
    w.SetMode(TQclBevelMode::bmWindows);
    EXPECT_EQ(w.TotalWidth(), 3);
    TQclBevel wo;
    wo.SetWindowedOwner(true);
    wo.SetMode(TQclBevelMode::bmWindows);
    EXPECT_EQ(wo.TotalWidth(), 0);
}

TEST(QclBevel, SettersNotifyOnlyOnRealChanges) {
    TQclBevel b;
    ChangeCounter c;
    c.Attach(b);
    b.SetWidthInner(1);  // unchanged
    EXPECT_EQ(c.count, 0);
    b.SetWidthInner(4);
    EXPECT_EQ(c.count, 1);
    // A standard style only matters in standard mode.
    b.SetStandardStyle(TQclBorderStyle::lsRaised);
    EXPECT_EQ(c.count, 1);
    b.SetMode(TQclBevelMode::bmStandard);
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(b.TotalWidth(), 2);
    b.SetLightColor(clRed);
    b.SetColor(2, clBlue);
    EXPECT_EQ(b.ShadowColor(), clBlue);
    EXPECT_EQ(c.count, 4);
    b.BeginUpdate();
    b.SetBorderWidth(7);
    EXPECT_EQ(c.count, 4);
    b.EndUpdate(true);
    EXPECT_EQ(c.count, 5);
}

TEST(QclBevel, WindowsModeAsksAWindowedOwnerToRecreate) {
    TQclBevel panel;
    panel.SetWindowedOwner(true);
    panel.SetMode(TQclBevelMode::bmWindows);
    EXPECT_TRUE(panel.NeedRecreate());
    EXPECT_TRUE(panel.NeedRecreate());
    panel.SetMode(TQclBevelMode::bmCustom);
    EXPECT_TRUE(panel.NeedRecreate());   // leaving the mode needs it once more
    EXPECT_FALSE(panel.NeedRecreate());

    TQclBevel graphic;
    graphic.SetMode(TQclBevelMode::bmWindows);
    EXPECT_FALSE(graphic.NeedRecreate());
}

TEST(QclBevel, AssignCopiesEverythingAndNotifiesOnce) {
    TQclBevel a, b;
    a.SetMode(TQclBevelMode::bmEdge);
    a.SetBorderSides({TQclFrameSide::fsTop});
    a.SetEdgeStyle(TQclEdgeStyle::etBump);
    a.SetBorderInnerWidth(4);
    a.SetWindowedOwner(true);
    ChangeCounter c;
    c.Attach(b);
    b.Assign(&a);
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(b.Mode(), TQclBevelMode::bmEdge);
    EXPECT_EQ(b.BorderSides(), TQclFrameSides{TQclFrameSide::fsTop});
    EXPECT_EQ(b.EdgeStyle(), TQclEdgeStyle::etBump);
    EXPECT_TRUE(b.WindowedOwner());
    EXPECT_EQ(b.TotalWidth(), 6);  // recomputed, not copied
    b.Assign(&b);
    EXPECT_EQ(c.count, 1);
    TQclTransparent other;
    EXPECT_THROW(b.Assign(&other), EConvertError);
}

TEST(QclBevel, WidthsStayInTheirRanges) {
    TQclBevel b;
    b.SetWidthOuter(80);
    EXPECT_EQ(b.WidthOuter(), 50);
    b.SetBorderWidth(-3);
    EXPECT_EQ(b.BorderWidth(), 0);
}

// ---------------------------------------------------------------- other objects

TEST(QclAppearance, DefaultsAsPublished) {
    TQclGlyphTextLayout l;
    EXPECT_EQ(l.Alignment(), TQclAlignment::agTopLeft);
    EXPECT_EQ(l.AlignText2Glyph(), TQclTextArrange::taRight);
    EXPECT_EQ(l.Spacing(), 2);
    TQclButtonLayout bl;
    EXPECT_EQ(bl.Alignment(), TQclAlignment::agCenter);
    EXPECT_EQ(bl.ArrowIndent(), 3);
    EXPECT_EQ(bl.ArrowSize(), 3);
    EXPECT_EQ(bl.ArrowColor(), clBlack);
    TQclTransparent t;
    EXPECT_EQ(t.Color(), clBtnFace);
    EXPECT_EQ(t.Mode(), TQclTransparentMode::tpNone);
    TQclFxCaption f;
    EXPECT_EQ(f.LightDepth(), 1);
    EXPECT_EQ(f.ShadowDepth(), 1);
    EXPECT_EQ(f.LightColor(), clBtnHighlight);
    EXPECT_EQ(f.ShadowColor(), clBtnShadow);
    EXPECT_EQ(f.Style(), TQclThreeDStyle::tdNone);
}

TEST(QclAppearance, AngleOf360IsZero) {
    TQclFxCaption f;
    f.SetAngle(360);
    EXPECT_EQ(f.Angle(), 0);
    f.SetAngle(359);
    EXPECT_EQ(f.Angle(), 359);
}

TEST(QclAppearance, PositionSetTogetherTellsNobody) {
    TQclFxCaption f;
    ChangeCounter c;
    c.Attach(f);
    f.SetPos(12, 34);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(f.PosX(), 12);
    EXPECT_EQ(f.PosY(), 34);
    f.SetPosX(13);
    EXPECT_EQ(c.count, 1);
}

TEST(QclAppearance, ButtonLayoutAssignNotifiesOnceAndPlainLayoutCopiesTheCommonFields) {
    TQclButtonLayout a, b;
    a.SetArrow(true);
    a.SetArrowSize(6);
    a.SetSpacing(9);
    a.SetAlignment(TQclAlignment::agBottomRight);
    ChangeCounter c;
    c.Attach(b);
    b.Assign(&a);
    EXPECT_EQ(c.count, 1);
    EXPECT_TRUE(b.Arrow());
    EXPECT_EQ(b.ArrowSize(), 6);
    EXPECT_EQ(b.Spacing(), 9);

    TQclGlyphTextLayout plain;
    plain.SetOffsetX(4);
    plain.SetAlignText2Glyph(TQclTextArrange::taBottom);
    b.Assign(&plain);
    EXPECT_EQ(b.OffsetX(), 4);
    EXPECT_EQ(b.AlignText2Glyph(), TQclTextArrange::taBottom);
    EXPECT_TRUE(b.Arrow());  // not a common field

    TQclGlyphTextLayout fromButton;
    fromButton.Assign(&a);
    EXPECT_EQ(fromButton.Spacing(), 9);
    EXPECT_EQ(fromButton.Alignment(), TQclAlignment::agBottomRight);
}

TEST(QclAppearance, FxCaptionFromPlainCaptionCopiesTheSevenOnly) {
    TQcl3DCaption plain;
    plain.SetStyle(TQclThreeDStyle::tdShadow);
    plain.SetTracing(2);
    TQclFxCaption f;
    f.SetAngle(90);
    f.Assign(&plain);
    EXPECT_EQ(f.Style(), TQclThreeDStyle::tdShadow);
    EXPECT_EQ(f.Tracing(), 2);
    EXPECT_EQ(f.Angle(), 90);
}

TEST(QclAppearance, RegisteredWithTheirDefaults) {
    RegisterFoundationDrawingClasses();
    const ClassInfo* ci = ClassRegistry::Instance().Find("TQclBevel");
    ASSERT_NE(ci, nullptr);
    TQclBevel b;
    // Mode and StandardStyle are always written; everything else only when changed.
    std::vector<std::string> written;
    for (const PropInfo& p : ci->props)
        if (p.write && p.write(&b)) written.push_back(p.name);
    EXPECT_EQ(written, (std::vector<std::string>{"Mode", "StandardStyle"}));
    EXPECT_EQ(ci->FindProp("StandardStyle")->write(&b)->s, "lsSingleLowered");
    b.SetBorderSides({TQclFrameSide::fsLeft, TQclFrameSide::fsTop});
    auto sides = ci->FindProp("BorderSides")->write(&b);
    ASSERT_TRUE(sides);
    EXPECT_EQ(sides->members, (std::vector<std::string>{"fsLeft", "fsTop"}));

    const ClassInfo* bl = ClassRegistry::Instance().Find("TQclButtonLayout");
    TQclButtonLayout layout;
    EXPECT_FALSE(bl->FindProp("Alignment")->write(&layout));  // agCenter is its default
    EXPECT_TRUE(bl->FindProp("Spacing") != nullptr);
    EXPECT_TRUE(ClassRegistry::Instance().Find("TQclFxCaption")->FindProp("Tracing") != nullptr);
}

// ---------------------------------------------------------------- text geometry

TEST(QclGeometry, AlignRectInTheNineCells) {
    EXPECT_EQ(QclAlignRect(TQclAlignment::agCenter, Rect(0, 0, 10, 10), Rect(0, 0, 25, 25)), Rect(7, 7, 17, 17));
    EXPECT_EQ(QclAlignRect(TQclAlignment::agBottomRight, Rect(3, 3, 13, 8), Rect(10, 20, 40, 50)),
              Rect(30, 45, 40, 50));
    EXPECT_EQ(QclAlignRect(TQclAlignment::agTopCenter, Rect(0, 0, 4, 4), Rect(0, 0, 11, 11)), Rect(3, 0, 7, 4));
}

TEST(QclGeometry, ThreeDPassesInDrawingOrder) {
    TQcl3DTextPlan p = QclPlan3DText(TQclThreeDStyle::tdRaisedShadow, 1, 2);
    ASSERT_EQ(p.passes.size(), 3u);
    EXPECT_EQ(p.passes[0].kind, TQclTextPass::Shadow);
    EXPECT_EQ(p.passes[0].offset, 3);
    EXPECT_EQ(p.passes[1].kind, TQclTextPass::Light);
    EXPECT_EQ(p.passes[1].offset, 0);
    EXPECT_EQ(p.passes[2].kind, TQclTextPass::Face);
    EXPECT_EQ(p.passes[2].offset, 1);
    EXPECT_EQ(p.rightReduce, 3);

    TQcl3DTextPlan sunken = QclPlan3DText(TQclThreeDStyle::tdSunken, 1, 5);
    EXPECT_EQ(sunken.extra, 1);
    EXPECT_EQ(sunken.passes.back().kind, TQclTextPass::Face);
    EXPECT_TRUE(QclPlan3DText(TQclThreeDStyle::tdPColorRaised, 1, 1).faceInBrushColour);
    EXPECT_EQ(QclPlan3DText(TQclThreeDStyle::tdNone, 4, 4).extra, 0);
}

TEST(QclGeometry, TurnedTextBoundsAndOrigin) {
    // A quarter turn swaps width and height; the text starts at the bottom left.
    TQclTurnedText t = QclTurnText(40, 10, 90, TQclThreeDStyle::tdNone, 1, 1);
    EXPECT_EQ(t.bounds, Rect(0, 0, 10, 40));
    EXPECT_EQ(t.posX, 0);
    EXPECT_EQ(t.posY, 40);
    TQclTurnedText flat = QclTurnText(40, 10, 0, TQclThreeDStyle::tdNone, 1, 1);
    EXPECT_EQ(flat.bounds, Rect(0, 0, 40, 10));
    EXPECT_EQ(flat.posX, 0);
    EXPECT_EQ(flat.posY, 0);
    // The style correction never moves the origin to a negative position.
    TQclTurnedText shadow = QclTurnText(40, 10, 0, TQclThreeDStyle::tdRaisedShadow, 4, 4);
    EXPECT_GE(shadow.posX, 0);
    EXPECT_GE(shadow.posY, 0);
}

// ---------------------------------------------------------------- frames

TEST(QclGeometry, FrameWidths) {
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsNone), 0);
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsSingle), 1);
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsSingleRaised), 1);
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsSingleLowered), 1);
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsWindowBorder), 2);
    EXPECT_EQ(QclGetFrameWidth(TQclBorderStyle::lsDoubleLowered), 2);
}

TEST(QclGeometry, BevelStyleInnerRectangles) {
    EXPECT_EQ(QclBevelStyleInnerRect(Rect(0, 0, 20, 10), TQclBevelStyle::bvFrameRaised, 1), Rect(2, 2, 18, 8));
    EXPECT_EQ(QclBevelStyleInnerRect(Rect(0, 0, 10, 10), TQclBevelStyle::bvLowered, 1), Rect(1, 1, 9, 9));
    EXPECT_EQ(QclBevelStyleInnerRect(Rect(0, 0, 30, 30), TQclBevelStyle::bvRaised, 4), Rect(4, 4, 26, 26));
    EXPECT_EQ(QclBevelStyleInnerRect(Rect(0, 0, 30, 30), TQclBevelStyle::bvShadow, 4), Rect(0, 0, 30, 30));
    EXPECT_EQ(QclBevelStyleInnerRect(Rect(0, 0, 30, 30), TQclBevelStyle::bvNormal, 0), Rect(0, 0, 30, 30));
}

TEST(QclGeometry, StandardFrameInnerRectangles) {
    TRect r = Rect(10, 10, 50, 40);
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsLoweredExt), Rect(12, 12, 48, 38));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsRaisedExt), Rect(12, 12, 48, 38));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsSingle), Rect(11, 11, 50, 40));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsLowered), Rect(12, 12, 48, 38));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsSingleLowered), Rect(11, 11, 49, 39));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsWindowBorder), Rect(12, 12, 48, 38));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsRaisedspb), Rect(11, 11, 48, 38));
    EXPECT_EQ(QclStdFrameInnerRect(r, TQclBorderStyle::lsNone), r);
}

// ---------------------------------------------------------------- bitmaps

TEST(QclGeometry, CentredBitmap) {
    TQclBitmapPlacement p = QclPlaceBitmap(Rect(0, 0, 41, 30), 16, 16, qclBmpCenter);
    ASSERT_EQ(p.boxes.size(), 1u);
    EXPECT_EQ(p.boxes[0], Rect(12, 7, 28, 23));
    EXPECT_EQ(p.drawnRect, Rect(12, 7, 28, 23));
}

TEST(QclGeometry, StretchedBitmaps) {
    EXPECT_EQ(QclPlaceBitmap(Rect(0, 0, 100, 100), 20, 10, qclBmpStretch | qclBmpFitWidth | qclBmpFitHeight).drawnRect,
              Rect(0, 0, 100, 50));
    EXPECT_EQ(QclPlaceBitmap(Rect(0, 0, 100, 100), 20, 10, qclBmpStretch).drawnRect, Rect(0, 0, 100, 100));
    EXPECT_EQ(QclPlaceBitmap(Rect(0, 0, 30, 100), 20, 10, qclBmpStretch | qclBmpFitWidth).drawnRect,
              Rect(0, 0, 30, 15));
    // 5 x 25 / 10 = 12.5: halves go to the even neighbour.
    EXPECT_EQ(QclPlaceBitmap(Rect(0, 0, 100, 25), 5, 10, qclBmpStretch | qclBmpFitHeight).drawnRect,
              Rect(0, 0, 12, 25));
}

TEST(QclGeometry, ProportionalStretchOfAnEmptyBitmapDrawsNothing) {
    for (uint16_t fit : {qclBmpFitWidth, qclBmpFitHeight, static_cast<uint16_t>(qclBmpFitWidth | qclBmpFitHeight)}) {
        TQclBitmapPlacement p = QclPlaceBitmap(Rect(0, 0, 50, 50), 0, 0, qclBmpStretch | fit);
        EXPECT_TRUE(p.boxes.empty());
        EXPECT_EQ(p.drawnRect, Rect(0, 0, 50, 50));
    }
    EXPECT_TRUE(QclPlaceBitmap(Rect(0, 0, 50, 50), 10, 0, qclBmpStretch | qclBmpFitWidth).boxes.empty());
    EXPECT_TRUE(QclPlaceBitmap(Rect(0, 0, 50, 50), 0, 10, qclBmpTile).boxes.empty());
}

TEST(QclGeometry, TilesCoverTheRectangleAndOneMore) {
    TQclBitmapPlacement p = QclPlaceBitmap(Rect(0, 0, 40, 20), 16, 16, qclBmpTile);
    ASSERT_EQ(p.boxes.size(), 6u);  // 3 columns, 2 rows
    EXPECT_EQ(p.boxes[0], Rect(0, 0, 16, 16));
    EXPECT_EQ(p.boxes[2], Rect(32, 0, 48, 16));
    EXPECT_EQ(p.boxes[5], Rect(32, 16, 48, 32));
    EXPECT_EQ(p.drawnRect, Rect(0, 0, 40, 20));
    // Tiling wins over stretching and centring.
    EXPECT_EQ(QclPlaceBitmap(Rect(0, 0, 32, 32), 16, 16, qclBmpTile | qclBmpStretch | qclBmpCenter).boxes.size(), 9u);
}

TEST(QclGeometry, EmptyTargetDrawsNothing) {
    TQclBitmapPlacement p = QclPlaceBitmap(Rect(5, 5, 5, 40), 16, 16, qclBmpCenter);
    EXPECT_TRUE(p.boxes.empty());
    EXPECT_EQ(p.drawnRect, TRect{});
}

// ---------------------------------------------------------------- button faces

TEST(QclGeometry, Win40SpeedButtonContent) {
    uint16_t speed = qclFaceRoundCorners | qclFaceSpeedButton;
    EXPECT_EQ(QclButtonFaceLook(TQclUserButtonStyle::ubsWin40, speed), 2);
    EXPECT_EQ(QclButtonFaceContentRect(Rect(0, 0, 23, 22), TQclUserButtonStyle::ubsWin40, TQclButtonState::bsUp, speed),
              Rect(3, 3, 20, 19));
    EXPECT_EQ(
        QclButtonFaceContentRect(Rect(0, 0, 23, 22), TQclUserButtonStyle::ubsWin40, TQclButtonState::bsDown, speed),
        Rect(4, 4, 21, 20));
    EXPECT_EQ(
        QclButtonFaceContentRect(Rect(0, 0, 23, 22), TQclUserButtonStyle::ubsWin40, TQclButtonState::bsPushed, speed),
        Rect(4, 4, 21, 20));
}

TEST(QclGeometry, ButtonLooks) {
    EXPECT_EQ(QclResolveButtonStyle(TQclUserButtonStyle::ubsAutoDetect, true), TQclUserButtonStyle::ubsWin40);
    EXPECT_EQ(QclResolveButtonStyle(TQclUserButtonStyle::ubsAutoDetect, false), TQclUserButtonStyle::ubsWin31);
    EXPECT_EQ(QclButtonFaceLook(TQclUserButtonStyle::ubsWin40, 1), 3);  // drawn like the classic button
    EXPECT_EQ(QclButtonFaceLook(TQclUserButtonStyle::ubsClassic, 5), 5);
    EXPECT_EQ(QclButtonFaceLook(TQclUserButtonStyle::ubsExplorerColored, 5), 4);
    // A Win 3.1 default button loses one pixel to the default frame and one to its own border.
    EXPECT_EQ(QclButtonFaceContentRect(Rect(0, 0, 75, 25), TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, 3),
              Rect(5, 5, 70, 20));
    EXPECT_EQ(QclButtonFaceContentRect(Rect(0, 0, 75, 25), TQclUserButtonStyle::ubsWin31, TQclButtonState::bsDown, 3),
              Rect(5, 5, 72, 22));
    EXPECT_TRUE(QclIsPressed(TQclButtonState::bsDisabledDown));
    EXPECT_FALSE(QclIsPressed(TQclButtonState::bsMouseOver));
}

TEST(QclGeometry, FocusStyleFlagsAndDrawTextAlignment) {
    EXPECT_EQ(QclFocusStyleToFlags(TQclGlyphTextFocusStyle::fcControl), 0);
    EXPECT_EQ(QclFocusStyleToFlags(TQclGlyphTextFocusStyle::fcNone), 0);
    EXPECT_EQ(QclFocusStyleToFlags(TQclGlyphTextFocusStyle::fcText), 0x40);
    EXPECT_EQ(QclFocusStyleToFlags(TQclGlyphTextFocusStyle::fcGlyph), 0x80);
    EXPECT_EQ(QclFocusStyleToFlags(TQclGlyphTextFocusStyle::fcGlyphText), 0x100);
    EXPECT_EQ(QclAlignmentToDrawText(TQclAlignment::agCenter), 5u);
    EXPECT_EQ(QclAlignmentToDrawText(TQclAlignment::agBottomRight), 10u);
}

TEST(QclGeometry, ArrowRowsHaveTheStatedPixelCounts) {
    auto width = [](const TQclArrowRow& r) { return r.x2 - r.x1 + 1; };
    std::vector<TQclArrowRow> down = QclArrowRows(10, 20, 3, true);
    ASSERT_EQ(down.size(), 3u);
    EXPECT_EQ(width(down[0]), 5);
    EXPECT_EQ(width(down[1]), 3);
    EXPECT_EQ(width(down[2]), 1);
    EXPECT_EQ(down[2].x1, 12);
    EXPECT_EQ(down[2].y, 22);
    std::vector<TQclArrowRow> up = QclArrowRows(10, 20, 3, false);
    ASSERT_EQ(up.size(), 3u);
    EXPECT_EQ(width(up[0]), 1);  // the tip
    EXPECT_EQ(up[0].x1, 11);
    EXPECT_EQ(width(up[2]), 5);
    EXPECT_TRUE(QclArrowRows(0, 0, 1, true).empty());
    EXPECT_TRUE(QclArrowRows(0, 0, 16, true).empty());
    EXPECT_EQ(QclArrowRows(0, 0, 15, true).size(), 15u);
}

// ---------------------------------------------------------------- glyph and text

TEST(QclGeometry, LoneGlyphIsCentred) {
    TQclGlyphTextLayout l;
    l.SetAlignment(TQclAlignment::agCenter);
    TQclGlyphTextPlacement p = QclLayoutGlyphText(Rect(0, 0, 40, 30), TRect{}, false, {16, 16}, true, l, false, 0);
    EXPECT_EQ(p.glyphRect, Rect(12, 7, 28, 23));
    // Without a focus flag the focus rectangle is the rectangle less one pixel.
    EXPECT_EQ(p.focusRect, Rect(1, 1, 39, 29));
}

TEST(QclGeometry, CaptionRightOfTheGlyph) {
    TQclGlyphTextLayout l;  // taRight, Spacing 2, agTopLeft
    TQclGlyphTextPlacement p =
        QclLayoutGlyphText(Rect(0, 0, 100, 50), Rect(0, 0, 30, 13), true, {16, 16}, true, l, false, 0);
    EXPECT_EQ(p.glyphRect, Rect(0, 0, 16, 16));
    EXPECT_EQ(p.textRect, Rect(19, 2, 49, 15));  // 18 right and 1 lower, then (1, 1) more
    TQclGlyphTextPlacement c = QclLayoutGlyphText(Rect(0, 0, 100, 50), Rect(0, 0, 30, 13), true, {16, 16}, true, l,
                                                  false, qclGtFocusBoth);
    EXPECT_EQ(c.focusRect, Rect(-1, -1, 50, 17));
}

TEST(QclGeometry, StackedAndOffsetLayouts) {
    TQclGlyphTextLayout l;
    l.SetAlignText2Glyph(TQclTextArrange::taBottomLeft);
    l.SetAlignment(TQclAlignment::agBottomCenter);
    l.SetOffsetX(5);
    TQclGlyphTextPlacement p =
        QclLayoutGlyphText(Rect(0, 0, 60, 60), Rect(0, 0, 40, 10), true, {16, 16}, true, l, false, qclGtFocusText);
    // Block 40 x 28 at (10, 32): glyph top left, caption under it.
    EXPECT_EQ(p.glyphRect, Rect(15, 32, 31, 48));
    EXPECT_EQ(p.textRect, Rect(16, 51, 56, 61));
    EXPECT_EQ(p.focusRect, Rect(15, 50, 57, 62));
    // Without placement the block stays at (0, 0).
    TQclGlyphTextPlacement n =
        QclLayoutGlyphText(Rect(10, 10, 60, 60), Rect(0, 0, 40, 10), true, {16, 16}, true, l, false, qclGtNoPlacement);
    EXPECT_EQ(n.glyphRect, Rect(5, 0, 21, 16));
}

TEST(QclGeometry, DropDownArrows) {
    TQclButtonLayout b;  // agCenter
    b.SetArrow(true);    // size 3: 5 pixels wide, indent 3
    TQclGlyphTextPlacement p =
        QclLayoutGlyphText(Rect(0, 0, 60, 20), Rect(0, 0, 20, 10), true, {0, 0}, false, b, false, 0);
    // The caption's rectangle takes the arrow: 28 wide, centred at 16.
    EXPECT_EQ(p.textRect, Rect(17, 6, 45, 16));
    ASSERT_TRUE(p.textArrow);
    EXPECT_EQ(p.textArrowPos, Point(39, 10));
    EXPECT_FALSE(p.glyphArrow);

    b.SetArrowPosition(TQclArrowPosition::apLeftGlyph);
    TQclGlyphTextPlacement g =
        QclLayoutGlyphText(Rect(0, 0, 60, 30), TRect{}, false, {16, 16}, true, b, false, qclGtFocusGlyph);
    ASSERT_TRUE(g.glyphArrow);
    EXPECT_EQ(g.glyphRect.Left - g.glyphArrowPos.x, 8);
    EXPECT_EQ(g.focusRect, g.glyphRect);
}

TEST(QclGeometry, MeasureOnlyImpliesTheWholeFocus) {
    TQclGlyphTextLayout l;
    TQclGlyphTextPlacement p =
        QclLayoutGlyphText(Rect(0, 0, 100, 50), Rect(0, 0, 30, 13), true, {16, 16}, true, l, false, qclGtMeasureOnly);
    EXPECT_EQ(p.focusRect, Rect(-2, -2, 51, 18));
}

TEST(QclGradientColors, StepsRoundHalvesUpAndOneStepIsTheStart) {
    EXPECT_EQ(treskel::QclGradientColors(0x000000, 0xFFFFFF, 3), (std::vector<uint32_t>{0x000000, 0x808080, 0xFFFFFF}));
    EXPECT_EQ(treskel::QclGradientColors(0x0000FF, 0xFF0000, 1), std::vector<uint32_t>{0x0000FF});
    EXPECT_EQ(treskel::QclMulDiv(3, 10, 4), 8);
    EXPECT_EQ(treskel::QclMulDiv(-5, 1, 2), -3);
}

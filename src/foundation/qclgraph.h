// Appearance objects of the component library (bevel, glyph-and-text and
// button layouts, transparency, 3D and rotated captions), the enumerations
// the visual components publish, and the geometry of the drawing
// procedures: everything here is plain arithmetic on rectangles and
// tables, so it builds and is tested natively.  The procedures that draw
// with it are in qclgraphDraw.h (Win32).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/qclclass.h"
#include "platform/Types.h"

namespace treskel {

class TCanvas;

// ---------------------------------------------------------------- ranges

using TQclAngle = uint16_t;        // 0..360
using TQclDDArrowSize = uint8_t;   // 2..10
using TQclBevelWidth = uint8_t;    // 0..50
using TQclBorderWidth = uint8_t;   // 0..255
using TQclColorCount = uint8_t;    // 2..236
using TQclPercent = uint8_t;       // 0..100

// ---------------------------------------------------------------- enumerations

enum class TQclSavePixelFormat : uint8_t { spfDefault, spfMono, spf4bit, spf8bit };
TRESKEL_ENUM_INFO(TQclSavePixelFormat, "spfDefault", "spfMono", "spf4bit", "spf8bit")

enum class TQclBevelStyle : uint8_t { bvNone, bvLowered, bvRaised, bvFrameLowered, bvFrameRaised, bvNormal, bvShadow };
TRESKEL_ENUM_INFO(TQclBevelStyle, "bvNone", "bvLowered", "bvRaised", "bvFrameLowered", "bvFrameRaised", "bvNormal",
                  "bvShadow")

enum class TQclBevelMode : uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };
TRESKEL_ENUM_INFO(TQclBevelMode, "bmCustom", "bmStandard", "bmEdge", "bmWindows")

enum class TQclBorderStyle : uint8_t {
    lsNone, lsSingle, lsLowered, lsRaised, lsRaisedspb, lsLoweredspb, lsRaisedExt, lsLoweredExt, lsFrameInset,
    lsFrameOffset, lsWindowBorder, lsSingleRaised, lsSingleLowered, lsDoubleRaised, lsDoubleLowered
};
TRESKEL_ENUM_INFO(TQclBorderStyle, "lsNone", "lsSingle", "lsLowered", "lsRaised", "lsRaisedspb", "lsLoweredspb",
                  "lsRaisedExt", "lsLoweredExt", "lsFrameInset", "lsFrameOffset", "lsWindowBorder", "lsSingleRaised",
                  "lsSingleLowered", "lsDoubleRaised", "lsDoubleLowered")

enum class TQclEdgeStyle : uint8_t {
    etRaisedInner, etRaisedOuter, etSunkenInner, etSunkenOuter, etBump, etEtched, etRaised, etSunken
};
TRESKEL_ENUM_INFO(TQclEdgeStyle, "etRaisedInner", "etRaisedOuter", "etSunkenInner", "etSunkenOuter", "etBump",
                  "etEtched", "etRaised", "etSunken")

enum class TQclFrameSide : uint8_t { fsBottom, fsLeft, fsRight, fsTop };
TRESKEL_ENUM_INFO(TQclFrameSide, "fsBottom", "fsLeft", "fsRight", "fsTop")
using TQclFrameSides = Set<TQclFrameSide>;
inline constexpr TQclFrameSides kQclAllFrameSides{TQclFrameSide::fsBottom, TQclFrameSide::fsLeft,
                                                  TQclFrameSide::fsRight, TQclFrameSide::fsTop};

enum class TQclTextArrange : uint8_t { taLeft, taLeftTop, taRight, taRightTop, taTop, taTopLeft, taBottom, taBottomLeft };
TRESKEL_ENUM_INFO(TQclTextArrange, "taLeft", "taLeftTop", "taRight", "taRightTop", "taTop", "taTopLeft", "taBottom",
                  "taBottomLeft")

enum class TQclArrowPosition : uint8_t { apRightText, apLeftText, apRightGlyph, apLeftGlyph };
TRESKEL_ENUM_INFO(TQclArrowPosition, "apRightText", "apLeftText", "apRightGlyph", "apLeftGlyph")

enum class TQclUserButtonStyle : uint8_t {
    ubsAutoDetect, ubsWin31, ubsWin40, ubsClassic, ubsClassicFlat, ubsFlat, ubsFlatUnColored, ubsNavigator,
    ubsExplorer, ubsExplorerColored
};
TRESKEL_ENUM_INFO(TQclUserButtonStyle, "ubsAutoDetect", "ubsWin31", "ubsWin40", "ubsClassic", "ubsClassicFlat",
                  "ubsFlat", "ubsFlatUnColored", "ubsNavigator", "ubsExplorer", "ubsExplorerColored")

enum class TQclNormalButtonStyle : uint8_t { nbsAutoDetect, nbsWin31, nbsWin40 };
TRESKEL_ENUM_INFO(TQclNormalButtonStyle, "nbsAutoDetect", "nbsWin31", "nbsWin40")

// A 3 x 3 grid read row by row: ordinal div 3 the row, mod 3 the column.
enum class TQclAlignment : uint8_t {
    agTopLeft, agTopCenter, agTopRight, agCenterLeft, agCenter, agCenterRight, agBottomLeft, agBottomCenter,
    agBottomRight
};
TRESKEL_ENUM_INFO(TQclAlignment, "agTopLeft", "agTopCenter", "agTopRight", "agCenterLeft", "agCenter",
                  "agCenterRight", "agBottomLeft", "agBottomCenter", "agBottomRight")

enum class TQclGlyphTextFocusStyle : uint8_t { fcControl, fcText, fcGlyph, fcGlyphText, fcNone };
TRESKEL_ENUM_INFO(TQclGlyphTextFocusStyle, "fcControl", "fcText", "fcGlyph", "fcGlyphText", "fcNone")

enum class TQclThreeDStyle : uint8_t {
    tdNone, tdSunken, tdRaised, tdSunkenShadow, tdRaisedShadow, tdPColorSunken, tdPColorRaised, tdShadow
};
TRESKEL_ENUM_INFO(TQclThreeDStyle, "tdNone", "tdSunken", "tdRaised", "tdSunkenShadow", "tdRaisedShadow",
                  "tdPColorSunken", "tdPColorRaised", "tdShadow")

enum class TQclDisabledStyle : uint8_t { dsAuto, dsStandard, ds3d, dsNone };
TRESKEL_ENUM_INFO(TQclDisabledStyle, "dsAuto", "dsStandard", "ds3d", "dsNone")

enum class TQclTransparentMode : uint8_t { tpNone, tpRestoreBack, tpTransparentColor, tpRBTranspColor };
TRESKEL_ENUM_INFO(TQclTransparentMode, "tpNone", "tpRestoreBack", "tpTransparentColor", "tpRBTranspColor")

enum class TQclBitmapStyle : uint8_t { sbNone, sbAutosize, sbCenter, sbStretch, sbTile, sbKeepAspRatio, sbKeepWidth, sbKeepHeight };
TRESKEL_ENUM_INFO(TQclBitmapStyle, "sbNone", "sbAutosize", "sbCenter", "sbStretch", "sbTile", "sbKeepAspRatio",
                  "sbKeepWidth", "sbKeepHeight")

// The visual state of a library button; also the index of its glyph
// images.  The sixth value has no name of its own.
enum class TQclButtonState : uint8_t { bsUp, bsDisabled, bsMouseOver, bsDown, bsPushed, bsValue5, bsDropDown, bsDisabledDown };

// ---------------------------------------------------------------- flag words

// QclDraw3DText
inline constexpr uint16_t qclTextEnabled = 0x02, qclTextSunkenDisabled = 0x04, qclTextClip = 0x08;

// QclDrawBitmap, QclDrawBitmapRect, QclDrawBitmapExt
inline constexpr uint16_t qclBmpClip = 0x01, qclBmpCenter = 0x08, qclBmpStretch = 0x10, qclBmpTile = 0x20,
                          qclBmpMaskFromColor = 0x40, qclBmpBrushCopy = 0x80, qclBmpMaskCanvas = 0x100,
                          qclBmpFitHeight = 0x200, qclBmpFitWidth = 0x400, qclBmpPalette = 0x1000;

// QclDrawButtonFace
inline constexpr uint16_t qclFaceRoundCorners = 0x01, qclFaceDefault = 0x02, qclFaceSpeedButton = 0x04,
                          qclFaceSunkenEdge = 0x08, qclFaceMiddle = 0x10, qclFaceFocusedFrame = 0x20;

// QclDrawGlyphText (bits 2, 4 and 8 are those of QclDraw3DText)
inline constexpr uint16_t qclGtEnabled = 0x02, qclGtNoPlacement = 0x20, qclGtFocusText = 0x40,
                          qclGtFocusGlyph = 0x80, qclGtFocusBoth = 0x100, qclGtMeasureOnly = 0x200;

// The values of the system's DrawEdge interface, which the frame tables
// below are written in (kept here so that the geometry builds natively).
namespace edge {
inline constexpr unsigned kBdrRaisedOuter = 1, kBdrSunkenOuter = 2, kBdrRaisedInner = 4, kBdrSunkenInner = 8,
                          kEdgeRaised = 5, kEdgeEtched = 6, kEdgeBump = 9, kEdgeSunken = 10;
inline constexpr unsigned kBfLeft = 1, kBfTop = 2, kBfRight = 4, kBfBottom = 8, kBfTopLeft = 3,
                          kBfBottomRight = 12, kBfRect = 15, kBfMiddle = 0x800, kBfSoft = 0x1000,
                          kBfAdjust = 0x2000, kBfFlat = 0x4000, kBfMono = 0x8000;
}  // namespace edge

// ---------------------------------------------------------------- geometry

// The rectangle of Item's size placed in Container by Alignment.
TRect QclAlignRect(TQclAlignment alignment, const TRect& item, const TRect& container);

// The passes of a 3D caption: offsets (pixels right and down from the
// start position) in drawing order, and how much room the copies take.
struct TQclTextPass {
    enum Kind { Light, Shadow, Face };
    Kind kind;
    int offset;
};
struct TQcl3DTextPlan {
    std::vector<TQclTextPass> passes;
    int rightReduce = 0;  // the drawing rectangle's right edge moves left by this
    int extra = 0;        // extra width and height when measured
    bool faceInBrushColour = false;
};
TQcl3DTextPlan QclPlan3DText(TQclThreeDStyle style, int lightDepth, int shadowDepth);
// The origin of a turned caption inside its measured rectangle: the
// rectangle (0, 0, w + extra, h + extra) turned by `angle` degrees about
// its centre gives `bounds`; PosX and PosY follow.
struct TQclTurnedText {
    TRect bounds;
    int posX = 0;
    int posY = 0;
};
TQclTurnedText QclTurnText(int width, int height, int angle, TQclThreeDStyle style, int lightDepth, int shadowDepth);

// Width of a standard frame.
int QclGetFrameWidth(TQclBorderStyle style);

// The rectangle QclDrawBevelStyle leaves inside what it drew; unchanged
// (and nothing drawn) for width 0, bvNone and bvShadow.
TRect QclBevelStyleInnerRect(const TRect& rect, TQclBevelStyle style, int width);

// One DrawEdge call of a standard frame, or a move of the rectangle.
struct TQclEdgeStep {
    unsigned edge = 0;     // 0: no DrawEdge, only the move below
    unsigned flags = 0;    // the flags as passed (kBfAdjust included where the frame adjusts)
    int moveLeft = 0, moveTop = 0, moveRight = 0, moveBottom = 0;  // applied after the edge (inward positive)
};
std::vector<TQclEdgeStep> QclStdFrameSteps(TQclBorderStyle style, unsigned extraFlags);
// What DrawEdge with kBfAdjust does to the rectangle.
TRect QclEdgeAdjust(const TRect& rect, unsigned edge, unsigned flags);
TRect QclStdFrameInnerRect(const TRect& rect, TQclBorderStyle style);

// Placement of a picture of sw x sh in Rect by the drawing flags: the
// boxes to copy into (several when tiling) and the drawn rectangle.
struct TQclBitmapPlacement {
    std::vector<TRect> boxes;
    TRect drawnRect;
};
TQclBitmapPlacement QclPlaceBitmap(const TRect& rect, int sw, int sh, uint16_t flags);


// ---------------------------------------------------------------- gradients

// a x b / c rounded to the nearest, halves away from zero (c not 0).
int QclMulDiv(int a, int b, int c);
// `count` colours (0x00BBGGRR) from start to end, evenly interpolated per
// component; one step is the start colour itself.
std::vector<uint32_t> QclGradientColors(uint32_t startRgb, uint32_t endRgb, int count);

// Button faces.
bool QclIsPressed(TQclButtonState state);
// ubsAutoDetect resolved by the platform's look.
TQclUserButtonStyle QclResolveButtonStyle(TQclUserButtonStyle style, bool newStyleControls);
// How QclDrawButtonFace draws a (resolved) style with the face flags: one
// drawing function per look.  Numbered as the looks always were.
enum TQclFaceLook : int {
    qflWin31 = 1,        // double raised edge, rounded corners on request
    qflWin40Speed = 2,   // a speed button of the new look
    qflWin40 = 3,        // a push button of the new look
    qflFlat = 4,         // flat until the mouse is over or it is pressed
    qflClassicSpeed = 5  // a black frame with a raised inner edge
};
TQclFaceLook QclButtonFaceLook(TQclUserButtonStyle style, uint16_t flags);
// The content rectangle QclDrawButtonFace returns for a resolved style.
TRect QclButtonFaceContentRect(const TRect& rect, TQclUserButtonStyle style, TQclButtonState state, uint16_t flags);

uint16_t QclFocusStyleToFlags(TQclGlyphTextFocusStyle style);
// DrawText alignment bits of a multi-line caption.
unsigned QclAlignmentToDrawText(TQclAlignment alignment);

// The rows of QclDrawArrow's triangle, end points included.
struct TQclArrowRow {
    int x1, x2, y;
};
std::vector<TQclArrowRow> QclArrowRows(int x, int y, int size, bool down);

class TQclGlyphTextLayout;

// Where QclDrawGlyphText puts caption, glyph, arrows and focus rectangle,
// given the measured caption (0, 0, w, h) and the glyph's size.
struct TQclGlyphTextPlacement {
    TRect textRect;
    TRect glyphRect;
    TRect focusRect;
    bool hasGlyph = false;
    bool textArrow = false;   // arrow beside the caption
    TPoint textArrowPos;
    bool glyphArrow = false;  // arrow beside the glyph
    TPoint glyphArrowPos;
};
TQclGlyphTextPlacement QclLayoutGlyphText(const TRect& rect, const TRect& measuredText, bool hasText,
                                          TSize glyphSize, bool hasGlyph, const TQclGlyphTextLayout& layout,
                                          bool multiLine, uint16_t flags);

// ---------------------------------------------------------------- appearance objects

// A frame in one of four modes.  Its widths are recomputed on every change.
class TQclBevel : public TQclObject {
    TRESKEL_CLASS(TQclBevel)
public:
    TQclBevel();
    void Assign(TPersistent* source) override;
    void Change() override;

    TQclBevelStyle StyleInner() const { return styleInner_; }
    void SetStyleInner(TQclBevelStyle v);
    TQclBevelStyle StyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TQclBevelStyle v);
    int WidthInner() const { return widthInner_; }
    void SetWidthInner(int v);
    int WidthOuter() const { return widthOuter_; }
    void SetWidthOuter(int v);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor v) { SetColor(0, v); }
    int BorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderInnerWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TQclFrameSides BorderSides() const { return borderSides_; }
    void SetBorderSides(TQclFrameSides v);
    TQclEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TQclEdgeStyle v);
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor v) { SetColor(1, v); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v) { SetColor(2, v); }
    // Index 0 BorderColor, 1 LightColor, 2 ShadowColor.
    void SetColor(int index, TColor v);
    TQclBevelMode Mode() const { return mode_; }
    void SetMode(TQclBevelMode v);
    TQclBorderStyle StandardStyle() const { return standardStyle_; }
    void SetStandardStyle(TQclBorderStyle v);

    int TotalWidth() const { return totalWidth_; }
    int BottomRightWidth() const { return bottomRightWidth_; }

    // Set by a windowed owner (panel, scroll box) right after creating the bevel.
    bool WindowedOwner() const { return windowedOwner_; }
    void SetWindowedOwner(bool v) { windowedOwner_ = v; }
    bool RecreatePending() const { return recreatePending_; }
    // Asked by a windowed owner after a change; clears the pending flag.
    bool NeedRecreate();

    // The rectangle left inside the bevel.
    TRect GetClientRect(const TRect& rect) const;
    // Draws the bevel into `rect`; `innerRect` receives what lies inside (Win32).
    void PaintBevel(TCanvas* canvas, const TRect& rect, bool transparent, TRect& innerRect);

private:
    void ComputeWidths();

    TQclBevelStyle styleInner_ = TQclBevelStyle::bvNone;
    TQclBevelStyle styleOuter_ = TQclBevelStyle::bvNone;
    uint8_t widthInner_ = 1;
    uint8_t widthOuter_ = 1;
    TColor borderColor_ = clBtnFace;
    uint8_t borderInnerWidth_ = 0;
    uint8_t borderWidth_ = 0;
    TQclFrameSides borderSides_ = kQclAllFrameSides;
    TQclEdgeStyle edgeStyle_ = TQclEdgeStyle::etEtched;
    int32_t totalWidth_ = 0;
    int32_t bottomRightWidth_ = 0;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TQclBevelMode mode_ = TQclBevelMode::bmCustom;
    TQclBorderStyle standardStyle_ = TQclBorderStyle::lsSingleLowered;
    bool windowedOwner_ = false;
    bool recreatePending_ = false;
};

// Placement of a glyph and a caption in a rectangle.
class TQclGlyphTextLayout : public TQclObject {
    TRESKEL_CLASS(TQclGlyphTextLayout)
public:
    TQclGlyphTextLayout() = default;
    void Assign(TPersistent* source) override;

    TQclAlignment Alignment() const { return alignment_; }
    void SetAlignment(TQclAlignment v);
    TQclTextArrange AlignText2Glyph() const { return alignText2Glyph_; }
    void SetAlignText2Glyph(TQclTextArrange v);
    int OffsetX() const { return offsetX_; }
    void SetOffsetX(int v) { SetOffset(0, v); }
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int v) { SetOffset(1, v); }
    // Index 0 OffsetX, 1 OffsetY.
    void SetOffset(int index, int v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);

protected:
    TQclAlignment alignment_ = TQclAlignment::agTopLeft;
    TQclTextArrange alignText2Glyph_ = TQclTextArrange::taRight;
    int32_t offsetX_ = 0;
    int32_t offsetY_ = 0;
    int32_t spacing_ = 2;
};

// A glyph-and-text layout with a drop-down arrow.
class TQclButtonLayout : public TQclGlyphTextLayout {
    TRESKEL_CLASS(TQclButtonLayout)
public:
    TQclButtonLayout();
    void Assign(TPersistent* source) override;

    bool Arrow() const { return arrow_; }
    void SetArrow(bool v);
    TColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(TColor v);
    int ArrowIndent() const { return arrowIndent_; }
    void SetArrowIndent(int v);
    TQclArrowPosition ArrowPosition() const { return arrowPosition_; }
    void SetArrowPosition(TQclArrowPosition v);
    int ArrowSize() const { return arrowSize_; }
    void SetArrowSize(int v);

private:
    bool arrow_ = false;
    TColor arrowColor_ = clBlack;
    int32_t arrowIndent_ = 3;
    TQclArrowPosition arrowPosition_ = TQclArrowPosition::apRightText;
    uint8_t arrowSize_ = 3;
};

// How a control shows through to what lies under it.
class TQclTransparent : public TQclObject {
    TRESKEL_CLASS(TQclTransparent)
public:
    TQclTransparent() = default;
    void Assign(TPersistent* source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TQclTransparentMode Mode() const { return mode_; }
    void SetMode(TQclTransparentMode v);

private:
    TColor color_ = clBtnFace;
    TQclTransparentMode mode_ = TQclTransparentMode::tpNone;
};

// A caption with light and shadow copies.
class TQcl3DCaption : public TQclObject {
    TRESKEL_CLASS(TQcl3DCaption)
public:
    TQcl3DCaption() = default;
    void Assign(TPersistent* source) override;

    TQclDisabledStyle DisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TQclDisabledStyle v);
    int LightDepth() const { return lightDepth_; }
    void SetLightDepth(int v) { SetDepth(0, v); }
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int v) { SetDepth(1, v); }
    // Index 0 LightDepth, 1 ShadowDepth.
    void SetDepth(int index, int v);
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor v) { SetCaptionColor(0, v); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v) { SetCaptionColor(1, v); }
    // Index 0 LightColor, 1 ShadowColor.
    void SetCaptionColor(int index, TColor v);
    TQclThreeDStyle Style() const { return style_; }
    void SetStyle(TQclThreeDStyle v);
    int Tracing() const { return tracing_; }
    void SetTracing(int v);

protected:
    void CopyCaptionFields(const TQcl3DCaption& source);

    TQclDisabledStyle disabledStyle_ = TQclDisabledStyle::dsAuto;
    uint8_t lightDepth_ = 1;
    uint8_t shadowDepth_ = 1;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TQclThreeDStyle style_ = TQclThreeDStyle::tdNone;
    int32_t tracing_ = 0;
};

// A 3D caption that can be turned by an angle and placed inside its rectangle.
class TQclFxCaption : public TQcl3DCaption {
    TRESKEL_CLASS(TQclFxCaption)
public:
    TQclFxCaption() = default;
    void Assign(TPersistent* source) override;

    int Angle() const { return angle_; }
    void SetAngle(int v);
    int PosX() const { return posX_; }
    void SetPosX(int v);
    int PosY() const { return posY_; }
    void SetPosY(int v);
    // Both at once, telling nobody (used while the caption is measured).
    void SetPos(int x, int y);

private:
    uint16_t angle_ = 0;
    uint16_t posX_ = 0;
    uint16_t posY_ = 0;
};

// Registers the appearance objects for layouts.
void RegisterFoundationDrawingClasses();

}  // namespace treskel

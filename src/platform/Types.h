// Points, rectangles, colours and the other small value types that drawing
// and layout code share.  No <windows.h>: geometry is tested natively.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/Sets.h"
#include "platform/TypInfo.h"

namespace treskel {

struct TPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    constexpr bool operator==(const TSize&) const = default;
};

// Right and Bottom are exclusive, as the system's rectangles.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr TPoint TopLeft() const { return {Left, Top}; }
    constexpr TPoint BottomRight() const { return {Right, Bottom}; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return {x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
constexpr bool PtInRect(const TRect& r, TPoint p) { return p.x >= r.Left && p.x < r.Right && p.y >= r.Top && p.y < r.Bottom; }
constexpr bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr TRect InflateRect(TRect r, int dx, int dy) { return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy}; }
constexpr TRect OffsetRect(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
// The common part; false (and an empty rectangle) when there is none.
inline bool IntersectRect(TRect& dest, const TRect& a, const TRect& b) {
    dest = {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(dest)) {
        dest = {};
        return false;
    }
    return true;
}
inline TRect UnionRect(const TRect& a, const TRect& b) {
    if (IsRectEmpty(a)) return b;
    if (IsRectEmpty(b)) return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// Where the user takes hold of a window at `r`: the middle of its caption.
constexpr TPoint WindowGrip(const TRect& r) { return {r.Left + r.Width() / 2, r.Top + std::min(10, r.Height() / 2)}; }
// Whether one of `monitors` shows a window at `r` so that the user can
// take hold of it.
bool ShowsOnMonitors(const TRect& r, const std::vector<TRect>& monitors);
// `r` where a monitor shows it: unchanged when one does, otherwise moved
// into `workArea` with its size kept, its top-left corner first.
TRect KeepOnMonitors(const TRect& r, const std::vector<TRect>& monitors, const TRect& workArea);

// A colour: 0x00BBGGRR, or a system colour (high bit set, low byte the
// system's colour index), or one of the two special values.
using TColor = int32_t;

constexpr TColor SysColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr TColor ColorRGB(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr int GetRed(TColor c) { return c & 0xFF; }
constexpr int GetGreen(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBlue(TColor c) { return (c >> 16) & 0xFF; }

inline constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                        clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                        clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                        clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                        clLtGray = 0xC0C0C0, clDkGray = 0x808080;
inline constexpr TColor clScrollBar = SysColor(0), clBackground = SysColor(1), clActiveCaption = SysColor(2),
                        clInactiveCaption = SysColor(3), clMenu = SysColor(4), clWindow = SysColor(5),
                        clWindowFrame = SysColor(6), clMenuText = SysColor(7), clWindowText = SysColor(8),
                        clCaptionText = SysColor(9), clActiveBorder = SysColor(10), clInactiveBorder = SysColor(11),
                        clAppWorkSpace = SysColor(12), clHighlight = SysColor(13), clHighlightText = SysColor(14),
                        clBtnFace = SysColor(15), clBtnShadow = SysColor(16), clGrayText = SysColor(17),
                        clBtnText = SysColor(18), clInactiveCaptionText = SysColor(19),
                        clBtnHighlight = SysColor(20), cl3DDkShadow = SysColor(21), cl3DLight = SysColor(22),
                        clInfoText = SysColor(23), clInfoBk = SysColor(24),
                        clGradientActiveCaption = SysColor(27), clGradientInactiveCaption = SysColor(28);
inline constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

// Colour names that layouts may use.
const IntIdents& ColorIdents();
bool ColorToIdent(TColor color, std::string& ident);
bool IdentToColor(const std::string& ident, TColor& color);
// "clRed", or "$00FF8000" for colours without a name.
std::string ColorToString(TColor color);
// Accepts a colour name or a number (decimal, or hexadecimal with '$').
bool TryStringToColor(const std::string& s, TColor& color);

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
TRESKEL_ENUM_INFO(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
using TFontStyles = Set<TFontStyle>;

enum class TFontPitch { fpDefault, fpVariable, fpFixed };
TRESKEL_ENUM_INFO(TFontPitch, "fpDefault", "fpVariable", "fpFixed")

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
TRESKEL_ENUM_INFO(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame")

enum class TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
TRESKEL_ENUM_INFO(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                  "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask",
                  "pmXor", "pmNotXor")

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
TRESKEL_ENUM_INFO(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
                  "bsCross", "bsDiagCross")

// The frame of a form (a portable rule needs it, as the form does).
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
TRESKEL_ENUM_INFO(TFormBorderStyle, "bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin")

// Keyboard and mouse state.
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
TRESKEL_ENUM_INFO(TShiftStateItem, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble")
using TShiftState = Set<TShiftStateItem>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
TRESKEL_ENUM_INFO(TMouseButton, "mbLeft", "mbRight", "mbMiddle")

// Cursors: indexes into the screen's cursor table.
using TCursor = int;
inline constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6,
                         crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11,
                         crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16,
                         crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20, crHandPoint = -21,
                         crSizeAll = -22;
const IntIdents& CursorIdents();

// Shortcuts: a virtual key in the low byte with modifier bits.
using TShortCut = uint16_t;
inline constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;
TShortCut ShortCut(uint16_t key, TShiftState shift);
std::string ShortCutToText(TShortCut shortCut);
TShortCut TextToShortCut(const std::string& text);  // 0 when not understood

}  // namespace treskel

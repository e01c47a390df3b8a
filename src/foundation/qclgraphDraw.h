// The drawing procedures of the component library: 3D and rotated text,
// bevels and frames, bitmaps with transparency, disabled glyphs, button
// faces, glyph-and-text layout and the drop-down arrow.  They take the
// canvas first and a rectangle; frame procedures return the rectangle
// inside what they drew, so frames nest by successive calls.  Options are
// the 16-bit flag words of qclgraph.h.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/qclgraph.h"
#include "platform/Graphics.h"

namespace treskel {

// ---------------------------------------------------------------- text

// Draws Text into Rect with the caption's light and shadow copies (plain
// DrawText without a caption).  Flags: qclTextEnabled, qclTextSunkenDisabled,
// qclTextClip (to *clipRect, or to Rect when it is null).
void QclDraw3DText(TCanvas* canvas, const std::string& text, TQcl3DCaption* caption, TRect rect, unsigned format,
                   uint16_t flags, const TRect* clipRect = nullptr);
// Grows Rect to the size the caption needs in Font; for a turned caption
// it also sets the caption's PosX and PosY.  The measuring is done on a
// screen context of its own: `canvas` is left as it was.
void QclCalcTextRect(TCanvas* canvas, const std::string& text, TQcl3DCaption* caption, TRect& rect, TFont* font,
                     bool multiLine, bool showAccelChar, int extra, unsigned format);
void QclMeasureText(const std::string& text, TQcl3DCaption* caption, TRect& rect, TFont* font, bool multiLine,
                    bool showAccelChar, int extra, unsigned format);
TRect QclCalcAlignedTextRect(TQclAlignment alignment, const std::string& text, TQcl3DCaption* caption,
                             const TRect& rect, TFont* font, bool multiLine, bool showAccelChar, unsigned format);
bool QclIsTrueTypeFont(TFont* font);
bool QclIsTrueTypeCanvas(TCanvas* canvas);
int QclGetFontHeight(TFont* font);
int QclGet3DFontHeight(TQcl3DCaption* caption, TFont* font);

// ---------------------------------------------------------------- frames

bool QclDrawBevelStyle(TCanvas* canvas, TRect& rect, TQclBevelStyle style, TColor lightColor, TColor shadowColor,
                       int width);
bool QclDrawShadowBevel(TCanvas* canvas, TRect& rect, TColor frameColor, TColor shadowColor, TColor cornerColor,
                        uint8_t shadowWidth, uint8_t frameWidth, bool transparent, int unused = 0);
bool QclDrawStdFrame(TCanvas* canvas, TRect& rect, TQclBorderStyle style, uint16_t flags);

// ---------------------------------------------------------------- bitmaps

// Draws SourceRect of SourceCanvas (or the bitmap BitmapOrMask for
// qclBmpBrushCopy) into Rect; qclBmpMaskCanvas takes BitmapOrMask as the
// mask canvas.  DrawnRect receives where the picture went.
void QclDrawBitmapExt(TCanvas* canvas, const TRect& rect, TCanvas* sourceCanvas, const TRect& sourceRect,
                      uint16_t flags, TColor color, HPALETTE palette, TPersistent* bitmapOrMask, TRect& drawnRect);
// Offset packs x in its low 16 bits and y in its high 16 bits.
void QclDrawBitmap(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, uint16_t flags, int offset, TColor color);
void QclDrawBitmapRect(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, uint16_t flags, TColor color,
                       TRect& drawnRect);
// The palette of the bitmap's colour table, held in `cache`; none for a
// bitmap without a colour table.
HPALETTE QclBitmapPalette(TBitmap* bitmap, GdiHandle<HPALETTE>& cache);
// Drawing leaves palettes out: bit 0 of the library's options, on a
// display of fewer than 9 colour bits.
bool QclPalettesLeftOut();
// Mask: white where the transparent colour is; Image: black there.
void QclMakeMasks(TCanvas* canvas, const TRect& rect, TBitmap* mask, TBitmap* image, TColor transparentColor);
void QclMakeBitmapMasks(TBitmap* bitmap, TBitmap* mask, TBitmap* image, TColor transparentColor);
void QclFillBitmap(TBitmap* bitmap, const TRect& rect, TColor color);
void QclMakeGrayedGlyph(TBitmap* dest, TBitmap* source);
void QclMakeEmbossedGlyph(TBitmap* dest, TBitmap* glyph, int x, int y);

// ---------------------------------------------------------------- buttons

// Paints the background and frame of a button; Rect comes back as the
// content rectangle.  Always true.
bool QclDrawButtonFace(TCanvas* canvas, bool mouseInside, TRect& rect, TQclUserButtonStyle style,
                       TQclButtonState state, uint16_t flags, TColor color);
// Lays out and draws a glyph (GlyphRect of GlyphCanvas) and a caption in
// Rect; GlyphRect comes back as the focus rectangle.
void QclDrawGlyphText(TCanvas* canvas, const std::string& text, TQcl3DCaption* caption, const TRect& rect,
                      TCanvas* glyphCanvas, TRect& glyphRect, TCanvas* maskCanvas, TColor transparentColor,
                      TQclGlyphTextLayout* layout, bool multiLine, bool showAccelChar, bool transparent,
                      uint16_t flags, unsigned format);
// A small filled triangle, Size 2..15, pointing down or up.
void QclDrawArrow(TCanvas* canvas, int x, int y, int size, TColor color, bool down, bool enabled);

// True on Windows 4.0 and later, where the new look of controls applies.
bool QclNewStyleControls();

}  // namespace treskel

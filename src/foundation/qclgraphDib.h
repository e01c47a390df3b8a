// Bitmaps as the bytes of a .bmp file at a chosen colour depth, colour
// lists and palettes, and gradient fills.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "foundation/qclgraph.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"

namespace treskel {

// Colors: 0 the bitmap's own depth (16 and 32 bits become 24), 2, 16 or 256.
void QclInitBitmapInfoHeader(HBITMAP bitmap, BITMAPINFOHEADER& header, int colors);
void QclGetDIBSizes(HBITMAP bitmap, int& infoSize, int& imageSize, int colors);
// `bitmapInfo` holds the info size, `bits` the image size.
bool QclGetDIB(HBITMAP bitmap, HPALETTE palette, void* bitmapInfo, int colors, void* bits);
// The whole file image; raises EInvalidGraphic for a null handle.
std::vector<uint8_t> QclBitmapToFileImage(HBITMAP bitmap, HPALETTE palette, int colors);
void QclWriteBitmapImage(TStream& stream, HBITMAP bitmap, HPALETTE palette, bool writeSize, int colors);
// The file image (a monochrome bitmap always with 2 colours), then the
// stream goes back to its start.
void QclSaveBitmapToStream(TStream& stream, TBitmap& bitmap, int colors);

// Gradient shapes and flags.
using TQclGradientShape = uint8_t;
inline constexpr uint16_t qclGradClip = 1, qclGradBuffered = 4, qclGradPalette = 0x1000;

// Count colours from start to end (system colours resolved); nothing for
// a null list or a count of 0.
void QclMakeColorList(TColor startColor, TColor endColor, int count, std::vector<TColor>* list);
// A palette of the colours, owned by the caller; null for none.
HPALETTE QclCreatePaletteFromList(const std::vector<TColor>* list);
// Paints the gradient.  A palette it selects is deselected again before it
// returns, so the caller may delete it.
void QclFillGradient(TCanvas* canvas, const TRect& rect, TQclGradientShape shape, int offset, uint16_t flags,
                     HPALETTE palette, const std::vector<TColor>* colors);
void QclDrawGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor,
                     TQclColorCount colorCount, TQclGradientShape shape, uint16_t flags, int offset);

}  // namespace treskel

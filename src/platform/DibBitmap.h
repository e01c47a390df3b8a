// Bitmaps made from pictures in memory: a device-independent bitmap that
// the checked reader has passed (the system decodes its colours and runs),
// or a decoded 24-bit picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/Handles.h"
#include "platform/RasterImage.h"

namespace treskel {

// A DIB section of the image in `dib` (header first; its pixels at
// `bitsOffset`, 0 for right after the colour table); null when the bytes
// do not hold what the header says or the system refuses it.
HBITMAP CreateBitmapFromDib(const uint8_t* dib, size_t size, uint32_t bitsOffset);
// A 24-bit DIB section of the picture; null when the system has no room.
HBITMAP CreateBitmapFromRaster(const TRasterImage& image);

// The header of an uncompressed DIB, its image size filled in; a negative
// height puts the top row first.
BITMAPINFOHEADER DibInfoHeader(int width, int height, int bitCount);
// A DIB section of that size and of 16 bits a pixel or more (no colour
// table), its pixels at `*bits`; empty when the system has no room.
GdiHandle<HBITMAP> NewDibSection(int width, int height, int bitCount, void** bits = nullptr);

}  // namespace treskel

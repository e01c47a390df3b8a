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

// Why a bitmap was not made of a DIB.
enum class TDibRefusal {
    None,
    Damaged,      // the bytes do not hold what the header says
    NoRoom,       // the system has no room for a bitmap of that size
    Undecodable,  // the system did not take the pixels
};

// A DIB section of the image in `dib` (header first; its pixels at
// `bitsOffset`, 0 for right after the colour table); null, with the reason
// in `refusal` when one is given, when it cannot be made.
HBITMAP CreateBitmapFromDib(const uint8_t* dib, size_t size, uint32_t bitsOffset, TDibRefusal* refusal = nullptr);
// A 24-bit DIB section of the picture; null when the system has no room.
HBITMAP CreateBitmapFromRaster(const TRasterImage& image);

// The header of an uncompressed DIB, its image size filled in; a negative
// height puts the top row first.
BITMAPINFOHEADER DibInfoHeader(int width, int height, int bitCount);
// A DIB section of that size and of 16 bits a pixel or more (no colour
// table), its pixels at `*bits`; empty when the system has no room.
GdiHandle<HBITMAP> NewDibSection(int width, int height, int bitCount, void** bits = nullptr);

}  // namespace treskel

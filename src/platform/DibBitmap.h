// Bitmaps made from pictures in memory: a device-independent bitmap that
// the checked reader has passed (the system decodes its colours and runs),
// or a decoded 24-bit picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "platform/RasterImage.h"

namespace treskel {

// A DIB section of the image in `dib` (header first; its pixels at
// `bitsOffset`, 0 for right after the colour table); null when the bytes
// do not hold what the header says or the system refuses it.
HBITMAP CreateBitmapFromDib(const uint8_t* dib, size_t size, uint32_t bitsOffset);
// A 24-bit DIB section of the picture; null when the system has no room.
HBITMAP CreateBitmapFromRaster(const TRasterImage& image);

}  // namespace treskel

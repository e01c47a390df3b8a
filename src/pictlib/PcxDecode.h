// PCX pictures: monochrome, 4, 8 and 16 colours (packed or in planes), 256
// colours with the palette at the file's end, and 24-bit colour in three
// planes.  No <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/RasterImage.h"
#include "platform/SysUtils.h"

namespace treskel {

TRESKEL_EXCEPTION(EPictureFile, EInvalidGraphic);

// Whether the bytes start with a PCX header.
bool LooksLikePcx(const uint8_t* data, size_t size);
// The picture's size from the header; raises EPictureFile as PcxDecode does
// for what it would refuse before decoding.
TPictSize PcxPictureSize(const uint8_t* data, size_t size);
// Decodes the file; raises EPictureFile saying what is wrong with it.
void PcxDecode(const uint8_t* data, size_t size, TRasterImage& image);

}  // namespace treskel

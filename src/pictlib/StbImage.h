// GIF and TGA pictures through the packaged single-header decoder.  No <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/RasterImage.h"

namespace treskel {

// Whether the bytes start as a GIF file does.
bool LooksLikeGif(const uint8_t* data, size_t size);
// The size the decoder reads from the header of a GIF or TGA file; false
// when it recognises neither.
bool StbPictureSize(const uint8_t* data, size_t size, int& width, int& height);
// Decodes a GIF (its first frame) or TGA file; false with the decoder's
// short reason.
bool StbDecode(const uint8_t* data, size_t size, TRasterImage& image, std::string& reason);

}  // namespace treskel

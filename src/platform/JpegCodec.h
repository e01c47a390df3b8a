// JPEG decoding over the JPEG library, with an error manager of our own: a
// fatal error of the library raises EJPEG "JPEG error #<code>: <why, in
// words>.", and a file cut short, a picture too large and one that would
// take far too long to decode are such errors too.  No <windows.h>.
#pragma once

#include <string>

#include "platform/RasterImage.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

namespace treskel {

TRESKEL_EXCEPTION(EJPEG, EInvalidGraphic);

// Decodes the JPEG image that starts at the stream's position (grey, colour
// or CMYK) into 24-bit pixels.
void JpegDecode(TStream& stream, TRasterImage& image);
// The size in pixels of that image, from its header alone; raises EJPEG for
// what JpegDecode would refuse before decoding.
void JpegPictureSize(TStream& stream, int& width, int& height);

// Whether the bytes start as a JPEG file does.
bool LooksLikeJpeg(const uint8_t* data, size_t size);

}  // namespace treskel

// The picture files the picture library reads, told apart by their bytes:
// bitmaps (.bmp, .dib and .rle, with or without the file header) checked
// whole and left to the system to decode, GIF, TGA, PCX and JPEG decoded
// here.  No <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pictlib/PcxDecode.h"
#include "platform/RasterImage.h"

namespace treskel {

enum class TPictFormat { Bitmap, Gif, Tga, Pcx, Jpeg };

// What is said of a bitmap whose bytes do not hold what its header says.
inline constexpr const char* kBitmapDamaged = "The bitmap is damaged, or of a kind that cannot be shown.";

struct TPictImage {
    TPictFormat Format = TPictFormat::Bitmap;
    // A bitmap: its DIB, checked and packed (pixels after the colour table).
    std::vector<uint8_t> Dib;
    // Any other picture: its pixels.
    TRasterImage Raster;
};

// Decodes a picture file's bytes.  Raises EPictureFile, or EJPEG for a JPEG
// file the decoder refuses, with a message for the user.
void PictDecode(const uint8_t* data, size_t size, TPictImage& image);

// The size of the picture in a file's bytes, and the bits a pixel of the
// bitmap it becomes (24, or a bitmap's own), from its header alone; raises
// as PictDecode does for what it would refuse before decoding.
TPictSize PictMeasure(const uint8_t* data, size_t size);

}  // namespace treskel

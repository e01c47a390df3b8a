// Picture files written by the tests themselves, in each format the
// picture library reads, from a decoded picture.  No <windows.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/RasterImage.h"

namespace treskel::test {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// A picture of four quadrants: top left, top right, bottom left, bottom right.
TRasterImage Quadrants(int width, int height, Rgb tl, Rgb tr, Rgb bl, Rgb br);
Rgb PixelAt(const TRasterImage& image, int x, int y);
// Within `tolerance` on every channel (lossy formats).
bool Near(Rgb a, Rgb b, int tolerance);

std::vector<uint8_t> WriteBmp24(const TRasterImage& image);
// 8 bits a pixel (the picture's own colours, at most 256), run-length
// encoded, as a .rle file is; or 4 bits (at most 16 colours).  The header
// gives the runs' length as the image size.
std::vector<uint8_t> WriteBmpRle(const TRasterImage& image, int bits);
std::vector<uint8_t> WriteBmpRle8(const TRasterImage& image);
// 24-bit colour, uncompressed or run-length encoded, top row first.
std::vector<uint8_t> WriteTga(const TRasterImage& image, bool rle);
// 24-bit colour in three planes, run-length encoded.
std::vector<uint8_t> WritePcx24(const TRasterImage& image);
// 256 colours with the palette at the end.
std::vector<uint8_t> WritePcx8(const TRasterImage& image);
// At most 256 colours.
std::vector<uint8_t> WriteGif(const TRasterImage& image);
std::vector<uint8_t> WriteJpeg(const TRasterImage& image, int quality = 95);

// Pictures of one colour in small files that claim very large pictures, as
// crafted files do: a PCX of 256 colours whose lines are runs of 63, and a
// GIF whose codes stand for ever longer runs (9400 x 9400 in 65 KB).
std::vector<uint8_t> UniformPcx(int width, int height, Rgb colour);
std::vector<uint8_t> UniformGif(int width, int height, Rgb colour);
// A grey progressive JPEG of `scans` scans: the DC scan, a scan for each AC
// coefficient (up to 63 of them), then the last scan again and again.  Of
// one scan: a grey baseline JPEG.
std::vector<uint8_t> ManyScanJpeg(int width, int height, int scans);

// One of each format the program inserts, by the extension of its file
// ("bmp", "dib", "rle" (RLE8 without its image size), "gif", "pcx", "tga",
// "jpg", "jpeg").
std::vector<uint8_t> WritePictureFile(const std::string& extension, const TRasterImage& image);
// The same file damaged so that no decoder can show it.
std::vector<uint8_t> DamagedPictureFile(const std::string& extension, const TRasterImage& image);

}  // namespace treskel::test

// A decoded picture as the picture decoders hand it on: 24-bit pixels in
// blue, green, red order, rows top first, each row padded to four bytes as
// a bitmap's rows are.  No <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/DibFormat.h"

namespace treskel {

// Whether a picture of this size may be decoded: no larger than the
// biggest bitmap the program makes from a file.
inline bool RasterSizeAllowed(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= 0x7FFFFFFF && height <= 0x7FFFFFFF &&
           DibStride(static_cast<int64_t>(width), 24) * height <= kDibMaxImage;
}

// A picture's size in pixels, and the bits of each pixel of the bitmap it
// is shown as.
struct TPictSize {
    int Width = 0;
    int Height = 0;
    int BitCount = 24;
};

struct TRasterImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;

    size_t Stride() const { return static_cast<size_t>(DibStride(Width, 24)); }
    // Sizes the image; every pixel black.
    void Allocate(int width, int height) {
        Width = width;
        Height = height;
        Pixels.assign(Stride() * static_cast<size_t>(height), 0);
    }
    uint8_t* Row(int y) { return Pixels.data() + Stride() * static_cast<size_t>(y); }
    const uint8_t* Row(int y) const { return Pixels.data() + Stride() * static_cast<size_t>(y); }
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

}  // namespace treskel

// Checks of device-independent bitmaps (a .bmp file, or the DIB inside one)
// against the bytes at hand, before anything is allocated or drawn: the
// header, the colour table, the bit-field masks, rows x height and every
// run of a run-length encoded image.  No <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace treskel {

struct DibLayout {
    uint32_t headerSize = 0;   // 12 (core) or 40 and more
    int32_t width = 0;
    int32_t height = 0;        // as stored: negative for top-down rows
    uint16_t bitCount = 0;
    uint32_t compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    uint32_t colors = 0;       // colour table entries
    uint32_t tableBytes = 0;   // colour table and bit-field masks
    uint32_t stride = 0;       // bytes per row of the decoded image
    uint64_t imageSize = 0;    // stride x rows of the decoded image
    uint32_t bitsOffset = 0;   // from the start of the DIB (its header)
    uint32_t bitsSize = 0;     // bytes of pixel data at bitsOffset (of RLE: up to the end mark)
};

// Bytes in one row of an uncompressed image: whole 32-bit words.
constexpr uint64_t DibStride(int64_t width, int bitCount) {
    return ((static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32) * 4;
}

// The decoded image may not exceed this many bytes, whatever the file says.
inline constexpr uint64_t kDibMaxImage = 256u << 20;

// Checks a DIB of `size` bytes, its header first.  `bitsOffset` is where
// its pixels start (0: right after the colour table).  False when anything
// does not fit.
bool CheckDib(const uint8_t* dib, size_t size, uint32_t bitsOffset, DibLayout& layout);

// Checks a .bmp file image (the 14-byte file header, then a DIB); the
// layout's offsets are from the start of the DIB.
bool CheckBitmapFile(const uint8_t* data, size_t size, DibLayout& layout);

// The DIB of a .bmp file image, checked whole and packed (its pixels right
// after the colour table, whatever gap the file had).  Empty when the file
// is no bitmap the program can show.
std::vector<uint8_t> DibFromBitmapFile(const uint8_t* data, size_t size);

}  // namespace treskel

// The arithmetic of acquired images (device-independent bitmaps: a
// header, bit-field masks, a colour table and the pixels, packed) and of
// their .bmp files, apart from the system's memory handles.  No
// <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace treskel {

// Colour-table entries of a bitmap header (a 12-byte core header or an
// info header of 40 bytes or more); 0 when it has none.  Images of more
// than 8 bits per pixel have a table only when their header says how long.
uint32_t DibHeaderColorCount(const uint8_t* header, size_t size);
// Where the pixels start, from the header's start: the header, the masks
// of a bit-field image with a 40-byte header, and the colour table.
uint32_t DibPixelOffset(const uint8_t* header, size_t size);

// Why an image handed over cannot be drawn, in words: a header that is not
// complete, pixels its block does not hold, or more than a picture may
// take; empty when it can.
std::string DibProblem(const uint8_t* dib, size_t size);

// What a .bmp file of an image holds, ready to write in this order: the
// 14-byte file header, the bitmap header with its masks and colour table
// (a copy: the image's own image size is left as it was), then the pixels.
struct DibFileParts {
    uint8_t fileHeader[14] = {};
    std::vector<uint8_t> head;
    const uint8_t* bits = nullptr;
    uint32_t bitsSize = 0;
};
// False when the image does not hold what its header says, or is
// compressed without saying how long its pixels are.
bool PrepareDibFile(const uint8_t* dib, size_t size, DibFileParts& parts);

}  // namespace treskel

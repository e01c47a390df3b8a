// Device-independent bitmaps and .bmp files made byte by byte, for tests
// of the code that reads and writes them.  No <windows.h>.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Streams.h"

namespace treskel::test {

struct DibSpec {
    int width = 4, height = 2;  // a negative height: rows top-down
    int bits = 24;
    uint32_t compression = 0;  // 0 RGB, 3 bit fields (masks after a 40-byte header)
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;
    uint8_t fill = 0x5A;  // every pixel byte
};

// The DIB: header, masks (5-6-5 or 8-8-8), colour table (entry i grey i)
// and pixel rows.
inline std::vector<uint8_t> MakeDib(const DibSpec& s) {
    const uint32_t colors = s.colorsUsed != 0 ? s.colorsUsed : (s.bits <= 8 ? 1u << s.bits : 0);
    const uint32_t masks = s.compression == 3 ? 12 : 0;
    const uint32_t rows = static_cast<uint32_t>(s.height < 0 ? -s.height : s.height);
    const uint32_t stride = ((static_cast<uint32_t>(s.width) * s.bits + 31) / 32) * 4;
    std::vector<uint8_t> d(40 + masks + 4 * colors + stride * rows, s.fill);
    uint8_t* p = d.data();
    PutU32(p, 40);
    PutU32(p + 4, static_cast<uint32_t>(s.width));
    PutU32(p + 8, static_cast<uint32_t>(s.height));
    PutU16(p + 12, 1);
    PutU16(p + 14, static_cast<uint16_t>(s.bits));
    PutU32(p + 16, s.compression);
    PutU32(p + 20, s.sizeImage);
    PutU32(p + 24, 0);
    PutU32(p + 28, 0);
    PutU32(p + 32, s.colorsUsed);
    PutU32(p + 36, 0);
    if (masks != 0) {
        const bool wide = s.bits == 32;
        PutU32(p + 40, wide ? 0xFF0000 : 0xF800);
        PutU32(p + 44, wide ? 0x00FF00 : 0x07E0);
        PutU32(p + 48, wide ? 0x0000FF : 0x001F);
    }
    for (uint32_t i = 0; i < colors; ++i) {
        uint8_t* e = p + 40 + masks + 4 * i;
        e[0] = e[1] = e[2] = static_cast<uint8_t>(i);
        e[3] = 0;
    }
    return d;
}

// A .bmp file of a DIB, with `gap` bytes between the colour table and the
// pixels that bfOffBits skips.
inline std::vector<uint8_t> MakeBitmapFile(const std::vector<uint8_t>& dib, uint32_t pixelOffset, uint32_t gap = 0) {
    std::vector<uint8_t> f(14, 0);
    f[0] = 'B';
    f[1] = 'M';
    f.insert(f.end(), dib.begin(), dib.begin() + pixelOffset);
    f.insert(f.end(), gap, 0xEE);
    f.insert(f.end(), dib.begin() + pixelOffset, dib.end());
    PutU32(f.data() + 2, static_cast<uint32_t>(f.size()));
    PutU32(f.data() + 10, 14 + pixelOffset + gap);
    return f;
}

}  // namespace treskel::test

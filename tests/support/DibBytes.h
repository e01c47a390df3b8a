// Device-independent bitmaps and .bmp files made byte by byte, for tests
// of the code that reads and writes them.  No <windows.h>.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/DibFormat.h"
#include "platform/Streams.h"

namespace treskel::test {

struct DibSpec {
    int width = 4, height = 2;  // a negative height: rows top-down
    int bits = 24;
    uint32_t compression = 0;  // 0 RGB, 1 RLE8, 3 bit fields (masks after a 40-byte header)
    uint32_t colorsUsed = 0;
    uint32_t sizeImage = 0;
    uint8_t fill = 0x5A;  // every pixel byte
    int32_t pixelsPerMeter = 0;
    std::vector<uint8_t> table;   // the colour table, 4 bytes an entry, in place of entry i grey i
    std::vector<uint8_t> pixels;  // the pixel bytes as they are (runs, say), in place of rows of `fill`
};

// Colour-table entries of a DIB of this spec.
inline uint32_t DibColors(const DibSpec& s) {
    return s.colorsUsed != 0 ? s.colorsUsed : (s.bits <= 8 ? 1u << s.bits : 0);
}
// Where its pixels start, from its header's start.
inline uint32_t DibPixelsAt(const DibSpec& s) { return 40 + (s.compression == 3 ? 12 : 0) + 4 * DibColors(s); }

// The DIB: header, masks (5-6-5 or 8-8-8), colour table and pixel rows.
inline std::vector<uint8_t> MakeDib(const DibSpec& s) {
    const uint32_t colors = DibColors(s);
    const uint32_t masks = s.compression == 3 ? 12 : 0;
    const uint32_t rows = static_cast<uint32_t>(s.height < 0 ? -s.height : s.height);
    const uint32_t stride = static_cast<uint32_t>(DibStride(s.width, s.bits));
    std::vector<uint8_t> d(DibPixelsAt(s) + (s.pixels.empty() ? stride * rows : 0), s.fill);
    d.insert(d.end(), s.pixels.begin(), s.pixels.end());
    uint8_t* p = d.data();
    PutU32(p, 40);
    PutU32(p + 4, static_cast<uint32_t>(s.width));
    PutU32(p + 8, static_cast<uint32_t>(s.height));
    PutU16(p + 12, 1);
    PutU16(p + 14, static_cast<uint16_t>(s.bits));
    PutU32(p + 16, s.compression);
    PutU32(p + 20, s.sizeImage);
    PutU32(p + 24, static_cast<uint32_t>(s.pixelsPerMeter));
    PutU32(p + 28, static_cast<uint32_t>(s.pixelsPerMeter));
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
        if (4 * i + 3 < s.table.size()) {
            std::copy_n(s.table.begin() + 4 * i, 4, e);
            continue;
        }
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

// A .bmp file of a DIB of this spec.
inline std::vector<uint8_t> MakeBitmapFile(const DibSpec& s) { return MakeBitmapFile(MakeDib(s), DibPixelsAt(s)); }

// A .bmp file of `bits` per pixel (grey colour table from black to white
// when it has one), `compression` 0 with zero rows unless `pixels` are
// given.
inline std::vector<uint8_t> Bmp(int width, int height, int bits, uint32_t compression = 0,
                                std::vector<uint8_t> pixels = {}) {
    DibSpec s{.width = width, .height = height, .bits = bits, .compression = compression, .fill = 0};
    const uint32_t colors = DibColors(s);
    for (uint32_t i = 0; i < colors; ++i) {
        const uint8_t g = static_cast<uint8_t>(i * 255 / (colors - 1));
        s.table.insert(s.table.end(), {g, g, g, 0});
    }
    if (pixels.empty() && compression == 0)
        pixels.assign(DibStride(width, bits) * static_cast<uint32_t>(height < 0 ? -height : height), 0);
    s.sizeImage = static_cast<uint32_t>(pixels.size());
    s.pixels = std::move(pixels);
    return MakeBitmapFile(s);
}

}  // namespace treskel::test

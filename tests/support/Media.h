// Small media files built byte by byte for the tests: a PCM wave and
// .bmp files of the common depths.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace treskel::test {

inline void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void Put(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }

// 8-bit mono PCM at 8000 samples a second: a square wave.
inline std::vector<uint8_t> Wave(uint32_t samples) {
    std::vector<uint8_t> b;
    Put(b, "RIFF"), Put(b, 36 + samples, 4), Put(b, "WAVE"), Put(b, "fmt "), Put(b, 16, 4);
    Put(b, 1, 2), Put(b, 1, 2), Put(b, 8000, 4), Put(b, 8000, 4), Put(b, 1, 2), Put(b, 8, 2);
    Put(b, "data"), Put(b, samples, 4);
    for (uint32_t i = 0; i < samples; ++i) b.push_back((i / 10) % 2 ? 0xC0 : 0x40);
    return b;
}

// A .bmp file of `bits` per pixel (grey colour table when it has one),
// `compression` 0 with zero rows unless `pixels` are given.
inline std::vector<uint8_t> Bmp(int width, int height, int bits, uint32_t compression = 0,
                                std::vector<uint8_t> pixels = {}) {
    const uint32_t colors = bits <= 8 ? 1u << bits : 0;
    const uint32_t stride = ((static_cast<uint32_t>(width) * bits + 31) / 32) * 4;
    if (pixels.empty() && compression == 0) pixels.assign(stride * static_cast<uint32_t>(height < 0 ? -height : height), 0);
    const uint32_t off = 14 + 40 + 4 * colors;
    std::vector<uint8_t> b{'B', 'M'};
    Put(b, off + static_cast<uint32_t>(pixels.size()), 4), Put(b, 0, 4), Put(b, off, 4);
    Put(b, 40, 4), Put(b, static_cast<uint32_t>(width), 4), Put(b, static_cast<uint32_t>(height), 4);
    Put(b, 1, 2), Put(b, static_cast<uint32_t>(bits), 2), Put(b, compression, 4);
    Put(b, static_cast<uint32_t>(pixels.size()), 4), Put(b, 0, 4), Put(b, 0, 4), Put(b, 0, 4), Put(b, 0, 4);
    for (uint32_t i = 0; i < colors; ++i) {
        const uint8_t g = static_cast<uint8_t>(i * 255 / (colors - 1));
        b.insert(b.end(), {g, g, g, 0});
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

}  // namespace treskel::test

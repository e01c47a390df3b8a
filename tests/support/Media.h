// Small media files built byte by byte for the tests: a PCM wave (the
// .bmp files are in DibBytes.h).
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

}  // namespace treskel::test

#include "store/CRC32c.h"

#include <algorithm>
#include <array>
#include <vector>

#include "platform/FileSys.h"
#include "platform/Streams.h"

namespace treskel {

namespace {

// Sixteen tables: table k advances a byte k positions further, so sixteen
// bytes are folded in per step.
constexpr std::array<std::array<uint32_t, 256>, 16> MakeTables() {
    std::array<std::array<uint32_t, 256>, 16> t{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][i] = c;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (int k = 1; k < 16; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr auto kTables = MakeTables();

}  // namespace

uint32_t UpdateCrc32(uint8_t value, uint32_t crc) { return kTables[0][(crc ^ value) & 0xFF] ^ (crc >> 8); }

uint32_t UpdateCrc32(const void* data, size_t size, uint32_t crc) {
    const auto* p = static_cast<const uint8_t*>(data);
    const auto& t = kTables;
    while (size >= 16) {
        const uint32_t a = crc ^ GetU32(p);
        const uint32_t b = GetU32(p + 4);
        const uint32_t c = GetU32(p + 8);
        const uint32_t d = GetU32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
              t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
              t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^
              t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        size -= 16;
    }
    while (size >= 8) {
        const uint32_t lo = crc ^ GetU32(p);
        const uint32_t hi = GetU32(p + 4);
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        size -= 8;
    }
    while (size-- > 0) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t FileCrc32(const std::string& fileName) {
    if (!FileExists(fileName)) return 0xFFFFFFFFu;
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    // No larger than the file: a small note costs no large buffer.
    std::vector<uint8_t> buf(static_cast<size_t>(std::clamp<int64_t>(f.Size(), 1, 256 * 1024)));
    uint32_t crc = Crc32Start;
    for (;;) {
        const int64_t n = f.Read(buf.data(), static_cast<int64_t>(buf.size()));
        if (n <= 0) break;
        crc = UpdateCrc32(buf.data(), static_cast<size_t>(n), crc);
    }
    return FinishCrc32(crc);
}

}  // namespace treskel

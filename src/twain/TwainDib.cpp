#include "twain/TwainDib.h"

#include "platform/DibFormat.h"
#include "platform/Streams.h"

namespace treskel {

namespace {
constexpr uint32_t kCoreHeader = 12, kInfoHeader = 40;
constexpr uint32_t kBitFields = 3;
}  // namespace

uint32_t DibHeaderColorCount(const uint8_t* header, size_t size) {
    if (size < kCoreHeader) return 0;
    const uint32_t headerSize = GetU32(header);
    uint64_t colors = 0;
    if (headerSize == kCoreHeader) {
        const uint16_t bits = GetU16(header + 10);
        colors = bits <= 8 ? (uint64_t{1} << bits) : 0;
    } else {
        if (size < kInfoHeader) return 0;
        const uint16_t bits = GetU16(header + 14);
        colors = GetU32(header + 32);
        if (colors == 0 && bits <= 8) colors = uint64_t{1} << bits;
    }
    return colors > 256 ? 0 : static_cast<uint32_t>(colors);
}

uint32_t DibPixelOffset(const uint8_t* header, size_t size) {
    if (size < kCoreHeader) return 0;
    const uint32_t headerSize = GetU32(header);
    if (headerSize == kCoreHeader) return kCoreHeader + 3 * DibHeaderColorCount(header, size);
    uint32_t masks = 0;
    if (headerSize == kInfoHeader && size >= kInfoHeader && GetU32(header + 16) == kBitFields) masks = 12;
    return headerSize + masks + 4 * DibHeaderColorCount(header, size);
}

bool PrepareDibFile(const uint8_t* dib, size_t size, DibFileParts& parts) {
    parts = DibFileParts{};
    DibLayout layout;
    if (!CheckDib(dib, size, 0, layout)) return false;
    const bool compressed = layout.compression == 1 || layout.compression == 2;
    uint32_t bitsSize = static_cast<uint32_t>(layout.imageSize);
    if (compressed) {
        bitsSize = GetU32(dib + 20);
        if (bitsSize == 0 || bitsSize > size - layout.bitsOffset) return false;
    }
    parts.head.assign(dib, dib + layout.bitsOffset);
    if (layout.headerSize >= kInfoHeader) PutU32(parts.head.data() + 20, bitsSize);
    parts.bits = dib + layout.bitsOffset;
    parts.bitsSize = bitsSize;
    const uint32_t offBits = 14 + static_cast<uint32_t>(parts.head.size());
    parts.fileHeader[0] = 'B';
    parts.fileHeader[1] = 'M';
    PutU32(parts.fileHeader + 2, offBits + bitsSize);
    PutU32(parts.fileHeader + 10, offBits);
    return true;
}

}  // namespace treskel

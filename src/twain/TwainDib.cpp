#include "twain/TwainDib.h"

#include "platform/DibFormat.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

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

std::string DibProblem(const uint8_t* dib, size_t size) {
    DibLayout layout;
    if (dib != nullptr && CheckDib(dib, size, 0, layout)) return std::string();
    const uint32_t headerSize = dib != nullptr && size >= 4 ? GetU32(dib) : 0;
    const bool core = headerSize == kCoreHeader;
    if (size < kCoreHeader || (!core && (headerSize < kInfoHeader || headerSize > size)))
        return "The image is damaged: its header is not complete.";
    const int64_t width = core ? GetU16(dib + 4) : static_cast<int32_t>(GetU32(dib + 4));
    const int64_t height = core ? GetU16(dib + 6) : static_cast<int32_t>(GetU32(dib + 8));
    const int bits = core ? GetU16(dib + 10) : GetU16(dib + 14);
    const int64_t rows = height < 0 ? -height : height;
    const std::string claim = Format("%lld x %lld pixels of %d bits", static_cast<long long>(width),
                                     static_cast<long long>(rows), bits);
    if (width > 0 && rows > 0 && bits > 0 && bits <= 32) {
        const uint64_t pixels = DibStride(width, bits) * static_cast<uint64_t>(rows);
        const bool compressed = !core && (GetU32(dib + 16) == 1 || GetU32(dib + 16) == 2);
        if (!compressed && pixels + DibPixelOffset(dib, size) > size)
            return Format("The image is damaged: its header says %s, which its %llu bytes do not hold.", claim.c_str(),
                          static_cast<unsigned long long>(size));
        if (pixels > kDibMaxImage)
            return Format("The image is too large: %s would take %llu MB, more than the %llu MB a picture may take.",
                          claim.c_str(), static_cast<unsigned long long>(pixels >> 20),
                          static_cast<unsigned long long>(kDibMaxImage >> 20));
    }
    return "The image is damaged, or of a kind that cannot be shown (" + claim + ").";
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

#include "platform/DibFormat.h"

#include <cstring>

#include "platform/Streams.h"

namespace treskel {

namespace {

// Walks the runs of an RLE4 or RLE8 image: every run and every move stays
// inside the rows, every escape is complete.  `used` is where the runs
// end: after the end mark, or where the bytes do.
bool CheckRle(const uint8_t* p, size_t size, uint32_t width, uint32_t rows, bool four, size_t& used) {
    size_t q = 0;
    used = 0;
    uint64_t x = 0, y = 0;
    while (q + 2 <= size) {
        const unsigned a = p[q], b = p[q + 1];
        q += 2;
        if (a != 0) {  // a run of `a` pixels
            x += a;
            if (x > width || y >= rows) return false;
            continue;
        }
        switch (b) {
        case 0:  // end of line
            x = 0;
            ++y;
            break;
        case 1:  // end of bitmap
            used = q;
            return true;
        case 2:  // move
            if (q + 2 > size) return false;
            x += p[q];
            y += p[q + 1];
            q += 2;
            if (x > width || y > rows) return false;
            break;
        default: {  // `b` literal pixels, padded to a word
            x += b;
            if (x > width || y >= rows) return false;
            size_t bytes = four ? (b + 1) / 2 : b;
            bytes = (bytes + 1) & ~static_cast<size_t>(1);
            if (bytes > size - q) return false;
            q += bytes;
        }
        }
        if (y > rows) return false;
    }
    used = q;
    return true;  // a missing end mark leaves the rest blank
}

}  // namespace

bool CheckDib(const uint8_t* dib, size_t size, uint32_t bitsOffset, DibLayout& l) {
    l = DibLayout{};
    if (size < 12) return false;
    l.headerSize = GetU32(dib);
    if (l.headerSize == 12) {
        l.width = GetU16(dib + 4);
        l.height = GetU16(dib + 6);
        if (GetU16(dib + 8) != 1) return false;
        l.bitCount = GetU16(dib + 10);
    } else {
        if (l.headerSize < 40 || l.headerSize > size || l.headerSize > 1024) return false;
        l.width = static_cast<int32_t>(GetU32(dib + 4));
        l.height = static_cast<int32_t>(GetU32(dib + 8));
        if (GetU16(dib + 12) != 1) return false;
        l.bitCount = GetU16(dib + 14);
        l.compression = GetU32(dib + 16);
        l.colors = GetU32(dib + 32);
    }
    const uint16_t bpp = l.bitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
    if (l.width <= 0 || l.height == 0 || l.height == INT32_MIN) return false;
    const uint32_t rows = static_cast<uint32_t>(l.height < 0 ? -l.height : l.height);
    switch (l.compression) {
    case 0: break;
    case 1: if (bpp != 8 || l.height < 0) return false; break;
    case 2: if (bpp != 4 || l.height < 0) return false; break;
    case 3: if (bpp != 16 && bpp != 32) return false; break;
    default: return false;
    }
    const uint32_t entry = l.headerSize == 12 ? 3 : 4;
    if (bpp <= 8) {
        if (l.colors == 0) l.colors = 1u << bpp;
        if (l.colors > (1u << bpp)) return false;
    } else if (l.colors > 256) {
        return false;
    }
    const uint32_t masks = (l.compression == 3 && l.headerSize == 40) ? 12 : 0;
    l.tableBytes = masks + l.colors * entry;
    const uint64_t tableEnd = static_cast<uint64_t>(l.headerSize) + l.tableBytes;
    if (tableEnd > size) return false;
    const uint64_t stride = DibStride(l.width, bpp);
    l.imageSize = stride * rows;
    if (stride > UINT32_MAX || l.imageSize > kDibMaxImage) return false;
    l.stride = static_cast<uint32_t>(stride);
    l.bitsOffset = bitsOffset == 0 ? static_cast<uint32_t>(tableEnd) : bitsOffset;
    if (l.bitsOffset < tableEnd || l.bitsOffset > size) return false;
    const size_t avail = size - l.bitsOffset;
    if (l.compression == 1 || l.compression == 2) {
        // The runs' own length, whatever the header's image size says (0
        // is allowed for them): what the system is told to read.
        size_t used = 0;
        if (!CheckRle(dib + l.bitsOffset, avail, static_cast<uint32_t>(l.width), rows, l.compression == 2, used))
            return false;
        l.bitsSize = static_cast<uint32_t>(used);
        return true;
    }
    if (l.imageSize > avail) return false;
    l.bitsSize = static_cast<uint32_t>(l.imageSize);
    return true;
}

bool CheckBitmapFile(const uint8_t* data, size_t size, DibLayout& layout) {
    layout = DibLayout{};
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t offBits = GetU32(data + 10);
    // The stored file size is often wrong in files that otherwise load;
    // only the bytes at hand count.
    if (offBits < 14 + 12 || offBits > size) return false;
    return CheckDib(data + 14, size - 14, offBits - 14, layout);
}

std::vector<uint8_t> DibFromBitmapFile(const uint8_t* data, size_t size) {
    DibLayout layout;
    if (!CheckBitmapFile(data, size, layout)) return {};
    const uint8_t* dib = data + 14;
    const uint32_t head = layout.headerSize + layout.tableBytes;
    std::vector<uint8_t> packed(static_cast<size_t>(head) + layout.bitsSize);
    std::memcpy(packed.data(), dib, head);
    if (layout.bitsSize > 0) std::memcpy(packed.data() + head, dib + layout.bitsOffset, layout.bitsSize);
    return packed;
}

}  // namespace treskel

#include "pictlib/PcxDecode.h"

#include <algorithm>
#include <vector>

#include "platform/Streams.h"

namespace treskel {

namespace {

constexpr size_t kHeader = 128;
constexpr size_t kPaletteTail = 769;  // 0x0C and 256 colours at the end

struct PcxHeader {
    int bits = 0;            // per pixel and plane
    int planes = 0;
    int width = 0, height = 0;
    size_t bytesPerLine = 0;  // of each plane
    bool rle = false;
};

[[noreturn]] void Damaged(const char* why) { throw EPictureFile(std::string("The PCX picture is damaged: ") + why + "."); }

PcxHeader ReadHeader(const uint8_t* d, size_t size) {
    if (!LooksLikePcx(d, size)) Damaged("its header is not complete");
    PcxHeader h;
    h.rle = d[2] == 1;
    h.bits = d[3];
    h.planes = d[65];
    const int xmin = GetU16(d + 4), ymin = GetU16(d + 6), xmax = GetU16(d + 8), ymax = GetU16(d + 10);
    if (xmax < xmin || ymax < ymin) Damaged("its size is negative");
    h.width = xmax - xmin + 1;
    h.height = ymax - ymin + 1;
    h.bytesPerLine = GetU16(d + 66);
    const bool known = (h.planes == 1 && (h.bits == 1 || h.bits == 2 || h.bits == 4 || h.bits == 8)) ||
                       (h.bits == 1 && h.planes >= 2 && h.planes <= 4) || (h.bits == 8 && (h.planes == 3 || h.planes == 4));
    if (!known) throw EPictureFile("The PCX picture has a kind of colours that cannot be shown.");
    const size_t needed = (static_cast<size_t>(h.width) * h.bits + 7) / 8;
    // Lines are padded a little, never to many times the pixels.
    if (h.bytesPerLine < needed || h.bytesPerLine > needed + 64) Damaged("its line length does not fit its width");
    if (!RasterSizeAllowed(h.width, h.height)) throw EPictureFile("The PCX picture is too large.");
    // A run of two bytes makes at most 63: a file too short for its lines
    // is cut short, however its runs go.
    const uint64_t lineBytes = static_cast<uint64_t>(h.bytesPerLine) * h.planes * static_cast<uint64_t>(h.height);
    const uint64_t leastData = h.rle ? (lineBytes + 62) / 63 * 2 : lineBytes;
    if (size - kHeader < leastData) Damaged("its pixels end too soon");
    return h;
}

// The run-length encoded lines, one after the other; a run may go on
// into the next line.
class LineReader {
public:
    LineReader(const uint8_t* data, size_t size, bool rle) : d_(data), end_(size), at_(kHeader), rle_(rle) {}
    void Next(std::vector<uint8_t>& line) {
        size_t filled = 0;
        while (filled < line.size()) {
            if (runLeft_ > 0) {
                const size_t n = std::min(runLeft_, line.size() - filled);
                std::fill_n(line.begin() + static_cast<ptrdiff_t>(filled), n, runValue_);
                filled += n;
                runLeft_ -= n;
                continue;
            }
            if (at_ >= end_) Damaged("its pixels end too soon");
            const uint8_t c = d_[at_++];
            if (rle_ && (c & 0xC0) == 0xC0) {
                if (at_ >= end_) Damaged("its pixels end too soon");
                runLeft_ = c & 0x3F;
                runValue_ = d_[at_++];
            } else {
                line[filled++] = c;
            }
        }
    }

private:
    const uint8_t* d_;
    size_t end_, at_;
    bool rle_;
    size_t runLeft_ = 0;
    uint8_t runValue_ = 0;
};

struct Rgb {
    uint8_t r, g, b;
};

std::vector<Rgb> Palette(const uint8_t* d, size_t size, const PcxHeader& h) {
    std::vector<Rgb> pal(256);
    if (h.bits == 8 && h.planes == 1) {
        // The palette of 256 colours follows the pixels; without it, greys.
        const bool has = size >= kHeader + kPaletteTail && d[size - kPaletteTail] == 0x0C;
        for (size_t i = 0; i < 256; ++i) {
            const auto grey = static_cast<uint8_t>(i);
            pal[i] = Rgb{grey, grey, grey};
            if (!has) continue;
            const uint8_t* e = d + size - kPaletteTail + 1 + 3 * i;
            pal[i] = Rgb{e[0], e[1], e[2]};
        }
    } else if (h.bits == 1 && h.planes == 1) {
        pal[0] = {0, 0, 0};
        pal[1] = {255, 255, 255};
    } else {
        for (int i = 0; i < 16; ++i) {
            const uint8_t* e = d + 16 + 3 * i;
            pal[static_cast<size_t>(i)] = {e[0], e[1], e[2]};
        }
    }
    return pal;
}

// The palette index of pixel x in a line of packed pixels or bit planes.
unsigned Index(const std::vector<uint8_t>& line, const PcxHeader& h, int x) {
    if (h.planes == 1) {
        const size_t bit = static_cast<size_t>(x) * h.bits;
        const unsigned byte = line[bit / 8];
        return (byte >> (8 - h.bits - bit % 8)) & ((1u << h.bits) - 1);
    }
    unsigned index = 0;
    for (int p = 0; p < h.planes; ++p) {
        const unsigned byte = line[static_cast<size_t>(p) * h.bytesPerLine + static_cast<size_t>(x) / 8];
        index |= ((byte >> (7 - x % 8)) & 1u) << p;
    }
    return index;
}

}  // namespace

bool LooksLikePcx(const uint8_t* data, size_t size) {
    if (size < kHeader || data[0] != 0x0A) return false;
    const uint8_t version = data[1];
    return (version == 0 || version == 2 || version == 3 || version == 4 || version == 5) && data[2] <= 1;
}

TPictSize PcxPictureSize(const uint8_t* data, size_t size) {
    const PcxHeader h = ReadHeader(data, size);
    return TPictSize{h.width, h.height, 24};
}

void PcxDecode(const uint8_t* data, size_t size, TRasterImage& image) {
    const PcxHeader h = ReadHeader(data, size);
    const std::vector<Rgb> pal = Palette(data, size, h);
    const bool trueColour = h.bits == 8 && h.planes >= 3;
    std::vector<uint8_t> line(h.bytesPerLine * static_cast<size_t>(h.planes));
    LineReader reader(data, size, h.rle);
    image.Allocate(h.width, h.height);
    for (int y = 0; y < h.height; ++y) {
        reader.Next(line);
        for (int x = 0; x < h.width; ++x) {
            if (trueColour) {
                const size_t at = static_cast<size_t>(x);
                image.Set(x, y, line[at], line[h.bytesPerLine + at], line[2 * h.bytesPerLine + at]);
            } else {
                const Rgb& c = pal[Index(line, h, x)];
                image.Set(x, y, c.r, c.g, c.b);
            }
        }
    }
}

}  // namespace treskel

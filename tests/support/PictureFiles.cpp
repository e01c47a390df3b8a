#include "support/PictureFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>

extern "C" {
#include <jpeglib.h>
}

#include "platform/Streams.h"
#include "support/DibBytes.h"

namespace treskel::test {

namespace {

void Add16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}

// The picture's colours (at most 256) and each pixel's index among them.
struct Indexed {
    std::vector<Rgb> palette;
    std::vector<uint8_t> index;  // rows top first, no padding
};

Indexed ToIndexed(const TRasterImage& image) {
    Indexed out;
    std::map<uint32_t, uint8_t> seen;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const Rgb c = PixelAt(image, x, y);
            const uint32_t key = (c.r << 16) | (c.g << 8) | c.b;
            auto it = seen.find(key);
            if (it == seen.end()) {
                if (out.palette.size() == 256) throw std::runtime_error("more than 256 colours");
                it = seen.emplace(key, static_cast<uint8_t>(out.palette.size())).first;
                out.palette.push_back(c);
            }
            out.index.push_back(it->second);
        }
    return out;
}

// A bitmap file: header, info header, colour table and the rows.
std::vector<uint8_t> BitmapFile(int width, int height, int bits, uint32_t compression,
                                const std::vector<Rgb>& palette, const std::vector<uint8_t>& rows) {
    DibSpec s{.width = width,
              .height = height,
              .bits = bits,
              .compression = compression,
              .colorsUsed = static_cast<uint32_t>(palette.size()),
              .sizeImage = static_cast<uint32_t>(rows.size()),
              .pixelsPerMeter = 2835,
              .pixels = rows};
    for (const Rgb& c : palette) s.table.insert(s.table.end(), {c.b, c.g, c.r, 0});
    return MakeBitmapFile(s);
}

// PCX runs of one line of bytes: runs of up to 63, and single bytes that
// look like a run's mark written as a run of one.
void PcxLine(std::vector<uint8_t>& out, const uint8_t* line, size_t n) {
    size_t i = 0;
    while (i < n) {
        size_t run = 1;
        while (i + run < n && run < 63 && line[i + run] == line[i]) ++run;
        if (run > 1 || (line[i] & 0xC0) == 0xC0) out.push_back(static_cast<uint8_t>(0xC0 | run));
        out.push_back(line[i]);
        i += run;
    }
}

std::vector<uint8_t> PcxHeader(const TRasterImage& image, int bits, int planes, size_t bytesPerLine) {
    std::vector<uint8_t> h(128, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<uint8_t>(bits);
    PutU16(h.data() + 8, static_cast<uint16_t>(image.Width - 1));
    PutU16(h.data() + 10, static_cast<uint16_t>(image.Height - 1));
    PutU16(h.data() + 12, 72);
    PutU16(h.data() + 14, 72);
    h[65] = static_cast<uint8_t>(planes);
    PutU16(h.data() + 66, static_cast<uint16_t>(bytesPerLine));
    PutU16(h.data() + 68, 1);
    return h;
}

// Codes of 9 bits or more, least significant bit first, in sub-blocks.
class GifCodes {
public:
    void Put(unsigned code, int width = 9) {
        acc_ |= code << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    std::vector<uint8_t> Blocks() {
        if (bits_ > 0) bytes_.push_back(static_cast<uint8_t>(acc_));
        std::vector<uint8_t> out;
        for (size_t i = 0; i < bytes_.size(); i += 255) {
            const size_t n = std::min<size_t>(255, bytes_.size() - i);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), bytes_.begin() + static_cast<ptrdiff_t>(i),
                       bytes_.begin() + static_cast<ptrdiff_t>(i + n));
        }
        out.push_back(0);
        return out;
    }

private:
    std::vector<uint8_t> bytes_;
    unsigned acc_ = 0;
    int bits_ = 0;
};

}  // namespace

TRasterImage Quadrants(int width, int height, Rgb tl, Rgb tr, Rgb bl, Rgb br) {
    TRasterImage image;
    image.Allocate(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgb& c = y < height / 2 ? (x < width / 2 ? tl : tr) : (x < width / 2 ? bl : br);
            image.Set(x, y, c.r, c.g, c.b);
        }
    return image;
}

Rgb PixelAt(const TRasterImage& image, int x, int y) {
    const uint8_t* p = image.Row(y) + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::vector<uint8_t> WriteBmp24(const TRasterImage& image) {
    std::vector<uint8_t> rows;
    for (int y = image.Height - 1; y >= 0; --y) rows.insert(rows.end(), image.Row(y), image.Row(y) + image.Stride());
    return BitmapFile(image.Width, image.Height, 24, 0, {}, rows);
}

std::vector<uint8_t> WriteBmpRle(const TRasterImage& image, int bits) {
    const Indexed ix = ToIndexed(image);
    if (bits == 4 && ix.palette.size() > 16) throw std::runtime_error("more than 16 colours");
    std::vector<uint8_t> rows;
    for (int y = image.Height - 1; y >= 0; --y) {
        const uint8_t* line = ix.index.data() + static_cast<size_t>(y) * image.Width;
        int x = 0;
        while (x < image.Width) {
            int run = 1;
            while (x + run < image.Width && run < 255 && line[x + run] == line[x]) ++run;
            rows.push_back(static_cast<uint8_t>(run));
            rows.push_back(bits == 4 ? static_cast<uint8_t>(line[x] << 4 | line[x]) : line[x]);
            x += run;
        }
        rows.insert(rows.end(), {0, 0});
    }
    rows.insert(rows.end(), {0, 1});
    return BitmapFile(image.Width, image.Height, bits, bits == 4 ? 2 : 1, ix.palette, rows);
}

std::vector<uint8_t> WriteBmpRle8(const TRasterImage& image) { return WriteBmpRle(image, 8); }

std::vector<uint8_t> WriteTga(const TRasterImage& image, bool rle) {
    std::vector<uint8_t> f(18, 0);
    f[2] = rle ? 10 : 2;
    PutU16(f.data() + 12, static_cast<uint16_t>(image.Width));
    PutU16(f.data() + 14, static_cast<uint16_t>(image.Height));
    f[16] = 24;
    f[17] = 0x20;  // top row first
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* row = image.Row(y);
        if (!rle) {
            f.insert(f.end(), row, row + 3 * image.Width);
            continue;
        }
        int x = 0;
        while (x < image.Width) {
            int run = 1;
            while (x + run < image.Width && run < 128 && std::equal(row + 3 * x, row + 3 * x + 3, row + 3 * (x + run)))
                ++run;
            if (run > 1) {
                f.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
                f.insert(f.end(), row + 3 * x, row + 3 * x + 3);
            } else {
                f.push_back(0);
                f.insert(f.end(), row + 3 * x, row + 3 * x + 3);
            }
            x += run;
        }
    }
    return f;
}

std::vector<uint8_t> WritePcx24(const TRasterImage& image) {
    const size_t bpl = (static_cast<size_t>(image.Width) + 1) & ~size_t{1};
    std::vector<uint8_t> f = PcxHeader(image, 8, 3, bpl);
    std::vector<uint8_t> plane(bpl, 0);
    for (int y = 0; y < image.Height; ++y)
        for (int p = 0; p < 3; ++p) {
            for (int x = 0; x < image.Width; ++x) plane[static_cast<size_t>(x)] = image.Row(y)[3 * x + 2 - p];
            PcxLine(f, plane.data(), bpl);
        }
    return f;
}

std::vector<uint8_t> WritePcx8(const TRasterImage& image) {
    const Indexed ix = ToIndexed(image);
    const size_t bpl = (static_cast<size_t>(image.Width) + 1) & ~size_t{1};
    std::vector<uint8_t> f = PcxHeader(image, 8, 1, bpl);
    std::vector<uint8_t> line(bpl, 0);
    for (int y = 0; y < image.Height; ++y) {
        std::copy_n(ix.index.begin() + static_cast<ptrdiff_t>(y) * image.Width, image.Width, line.begin());
        PcxLine(f, line.data(), bpl);
    }
    f.push_back(0x0C);
    for (size_t i = 0; i < 256; ++i) {
        const Rgb c = i < ix.palette.size() ? ix.palette[i] : Rgb{};
        f.insert(f.end(), {c.r, c.g, c.b});
    }
    return f;
}

namespace {

// A GIF file's header, its global table of 256 colours (the palette's, then
// black) and its one image's descriptor, up to the image's codes.
std::vector<uint8_t> GifHead(int width, int height, const std::vector<Rgb>& palette) {
    std::vector<uint8_t> f{'G', 'I', 'F', '8', '9', 'a'};
    Add16(f, static_cast<uint16_t>(width));
    Add16(f, static_cast<uint16_t>(height));
    f.insert(f.end(), {0xF7, 0, 0});
    for (size_t i = 0; i < 256; ++i) {
        const Rgb c = i < palette.size() ? palette[i] : Rgb{};
        f.insert(f.end(), {c.r, c.g, c.b});
    }
    f.push_back(0x2C);
    Add16(f, 0);
    Add16(f, 0);
    Add16(f, static_cast<uint16_t>(width));
    Add16(f, static_cast<uint16_t>(height));
    f.push_back(0);
    f.push_back(8);  // LZW minimum code size
    return f;
}

std::vector<uint8_t> GifFile(std::vector<uint8_t> head, GifCodes& codes) {
    const std::vector<uint8_t> blocks = codes.Blocks();
    head.insert(head.end(), blocks.begin(), blocks.end());
    head.push_back(0x3B);
    return head;
}

}  // namespace

std::vector<uint8_t> WriteGif(const TRasterImage& image) {
    const Indexed ix = ToIndexed(image);
    // Only literal codes, with a clear code before the table would need
    // codes of ten bits.
    GifCodes codes;
    codes.Put(256);
    int sinceClear = 0;
    for (uint8_t i : ix.index) {
        if (sinceClear == 254) {
            codes.Put(256);
            sinceClear = 0;
        }
        codes.Put(i);
        ++sinceClear;
    }
    codes.Put(257);
    return GifFile(GifHead(image.Width, image.Height, ix.palette), codes);
}

std::vector<uint8_t> UniformGif(int width, int height, Rgb colour) {
    // Pixel 0 again and again: after a clear code, the n-th code stands for
    // a run of n (the first the pixel itself, each next one the entry the
    // decoder is about to add, 256 + n); codes widen as the decoder's
    // table grows, and a clear code comes before it is full.
    GifCodes codes;
    uint64_t left = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    int width9 = 9, next = 258;  // the decoder's code width and its next entry
    uint64_t run = 0;            // the last code's run since the clear code
    codes.Put(256);
    while (left > 0) {
        if (next >= 4094) {
            codes.Put(256, width9);
            width9 = 9;
            next = 258;
            run = 0;
        }
        const uint64_t n = std::min<uint64_t>(run + 1, left);
        codes.Put(n == 1 ? 0u : static_cast<unsigned>(256 + n), width9);
        left -= n;
        if (run > 0) ++next;  // the first code after a clear adds no entry
        if ((next & ((1 << width9) - 1)) == 0 && next <= 0x0FFF) ++width9;
        run = n;
    }
    codes.Put(257, width9);
    return GifFile(GifHead(width, height, {colour}), codes);
}

std::vector<uint8_t> UniformPcx(int width, int height, Rgb colour) {
    TRasterImage shape;
    shape.Width = width;
    shape.Height = height;
    const size_t bpl = (static_cast<size_t>(width) + 1) & ~size_t{1};
    std::vector<uint8_t> f = PcxHeader(shape, 8, 1, bpl);
    const std::vector<uint8_t> line(bpl, 0);
    for (int y = 0; y < height; ++y) PcxLine(f, line.data(), bpl);
    f.push_back(0x0C);
    f.insert(f.end(), {colour.r, colour.g, colour.b});
    f.resize(f.size() + 255 * 3, 0);
    return f;
}

namespace {

// Rows given by `row(y)` compressed by the JPEG library, with its defaults
// and what `setup` sets beyond them.
template <class Setup, class Row>
std::vector<uint8_t> CompressJpeg(int width, int height, int components, J_COLOR_SPACE space, Setup setup, Row row) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    setup(cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW r = row(static_cast<int>(cinfo.next_scanline));
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

}  // namespace

std::vector<uint8_t> WriteJpeg(const TRasterImage& image, int quality) {
    return CompressJpeg(
        image.Width, image.Height, 3, JCS_EXT_BGR, [&](jpeg_compress_struct& c) { jpeg_set_quality(&c, quality, TRUE); },
        [&](int y) { return const_cast<uint8_t*>(image.Row(y)); });
}

std::vector<uint8_t> ManyScanJpeg(int width, int height, int scans) {
    // The DC scan, then each AC coefficient in a scan of its own; one scan
    // is a baseline file, written as it is read, without a picture's worth
    // of memory.
    const int real = std::min(scans, 64);
    std::vector<jpeg_scan_info> script(static_cast<size_t>(real));
    for (int k = 0; k < real; ++k) script[static_cast<size_t>(k)] = {1, {0, 0, 0, 0}, k, k, 0, 0};
    std::vector<uint8_t> grey(static_cast<size_t>(width), 128);
    const std::vector<uint8_t> out = CompressJpeg(
        width, height, 1, JCS_GRAYSCALE,
        [&](jpeg_compress_struct& c) {
            if (real <= 1) return;
            c.scan_info = script.data();
            c.num_scans = real;
        },
        [&](int) { return grey.data(); });
    // The last scan (from its start marker to the end mark) again, until
    // there are `scans`: no marker pair FF DA lies inside a scan's data.
    size_t last = out.size() - 2;
    while (last > 0 && !(out[last] == 0xFF && out[last + 1] == 0xDA)) --last;
    const std::vector<uint8_t> again(out.begin() + static_cast<ptrdiff_t>(last), out.end() - 2);
    std::vector<uint8_t> file(out.begin(), out.end() - 2);
    for (int k = real; k < scans; ++k) file.insert(file.end(), again.begin(), again.end());
    file.insert(file.end(), {0xFF, 0xD9});
    return file;
}

std::vector<uint8_t> WritePictureFile(const std::string& extension, const TRasterImage& image) {
    if (extension == "bmp") return WriteBmp24(image);
    if (extension == "dib") {
        // A bare DIB, without the file header.
        std::vector<uint8_t> f = WriteBmp24(image);
        return std::vector<uint8_t>(f.begin() + 14, f.end());
    }
    if (extension == "rle") {
        // As many writers of these files leave it: no image size.
        std::vector<uint8_t> f = WriteBmpRle(image, 8);
        PutU32(f.data() + 14 + 20, 0);
        return f;
    }
    if (extension == "gif") return WriteGif(image);
    if (extension == "pcx") return WritePcx24(image);
    if (extension == "tga") return WriteTga(image, true);
    if (extension == "jpg" || extension == "jpeg") return WriteJpeg(image);
    throw std::runtime_error("no writer for " + extension);
}

std::vector<uint8_t> DamagedPictureFile(const std::string& extension, const TRasterImage& image) {
    std::vector<uint8_t> f = WritePictureFile(extension, image);
    if (extension == "bmp" || extension == "dib" || extension == "pcx" || extension == "jpg" || extension == "jpeg") {
        f.resize(f.size() / 2);  // pixels missing
    } else if (extension == "rle") {
        f[14 + 40 + 4 * GetU32(f.data() + 14 + 32)] = 255;  // a run longer than the line
    } else if (extension == "gif") {
        f[6 + 7 + 768 + 10] = 15;  // a code size no GIF has
    } else if (extension == "tga") {
        f[16] = 13;  // bits a pixel no TGA has
    }
    return f;
}

}  // namespace treskel::test

#include "pictlib/PictDecode.h"

#include <string>

#include "pictlib/StbImage.h"
#include "platform/DibFormat.h"
#include "platform/JpegCodec.h"
#include "platform/Streams.h"

namespace treskel {

namespace {

enum class TKind { BitmapFile, PackedDib, Gif, Jpeg, Pcx, Tga };

// A bitmap without its file header starts with the size of its header.
bool LooksLikePackedDib(const uint8_t* data, size_t size) {
    if (size < 12) return false;
    const uint32_t header = GetU32(data);
    return header == 12 || header == 40 || header == 52 || header == 56 || header == 108 || header == 124;
}

TKind KindOf(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return TKind::BitmapFile;
    if (LooksLikeGif(data, size)) return TKind::Gif;
    if (LooksLikeJpeg(data, size)) return TKind::Jpeg;
    if (LooksLikePcx(data, size)) return TKind::Pcx;
    if (LooksLikePackedDib(data, size)) return TKind::PackedDib;
    // Targa files have no mark of their own: whatever the decoder takes
    // for one.
    int width = 0, height = 0;
    if (size == 0 || !StbPictureSize(data, size, width, height))
        throw EPictureFile(
            "The file is not a picture that can be inserted (bitmap, GIF, JPEG, PCX or TGA), or it is damaged.");
    return TKind::Tga;
}

// A bitmap's layout, checked whole against the bytes.
DibLayout BitmapLayout(const uint8_t* data, size_t size, TKind kind) {
    DibLayout layout;
    const bool ok = kind == TKind::BitmapFile ? CheckBitmapFile(data, size, layout) : CheckDib(data, size, 0, layout);
    if (!ok) throw EPictureFile(kBitmapDamaged);
    return layout;
}

void DecodeBitmap(const uint8_t* data, size_t size, TKind kind, TPictImage& image) {
    const DibLayout layout = BitmapLayout(data, size, kind);
    image.Format = TPictFormat::Bitmap;
    if (kind == TKind::BitmapFile)
        image.Dib = DibFromBitmapFile(data, size);
    else
        image.Dib.assign(data, data + layout.bitsOffset + layout.bitsSize);
}

// The fewest bytes a Targa file of its header's kind needs for its pixels.
uint64_t LeastTgaSize(const uint8_t* d, size_t size) {
    if (size < 18) return 18;
    const uint64_t pixels = uint64_t{GetU16(d + 12)} * GetU16(d + 14);
    const uint64_t pixelBytes = (d[16] + 7u) / 8;
    const uint64_t palette = uint64_t{GetU16(d + 5)} * ((d[7] + 7u) / 8);
    const bool rle = d[2] >= 9;
    // A run packet makes at most 128 pixels.
    const uint64_t data = rle ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    return 18 + d[0] + palette + data;
}

// The most pixels one byte of compressed GIF data can make.
constexpr uint64_t kMostGifPixelsPerByte = 4096;

const char* StbName(TPictFormat format) { return format == TPictFormat::Gif ? "GIF" : "TGA"; }

// The size of a GIF or TGA picture, refused when it is too large or when
// the file is too short for it.
TPictSize StbHeader(const uint8_t* data, size_t size, TPictFormat format) {
    const char* name = StbName(format);
    int width = 0, height = 0;
    if (!StbPictureSize(data, size, width, height))
        throw EPictureFile(std::string("The ") + name + " picture is damaged: its header cannot be read.");
    if (!RasterSizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        throw EPictureFile(std::string("The ") + name + " picture is too large.");
    // The decoder takes missing bytes for black; a file too short for its
    // pixels is damaged, not a black picture.
    const bool cut = format == TPictFormat::Gif
                         ? static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMostGifPixelsPerByte * size
                         : size < LeastTgaSize(data, size);
    if (cut) throw EPictureFile(std::string("The ") + name + " picture is damaged: its pixels end too soon.");
    return TPictSize{width, height, 24};
}

void DecodeStb(const uint8_t* data, size_t size, TPictFormat format, TPictImage& image) {
    StbHeader(data, size, format);
    std::string reason;
    image.Format = format;
    if (!StbDecode(data, size, image.Raster, reason))
        throw EPictureFile(std::string("The ") + StbName(format) + " picture is damaged (" + reason + ").");
}

}  // namespace

TPictSize PictMeasure(const uint8_t* data, size_t size) {
    const TKind kind = KindOf(data, size);
    switch (kind) {
        case TKind::BitmapFile:
        case TKind::PackedDib: {
            const DibLayout layout = BitmapLayout(data, size, kind);
            return TPictSize{layout.width, layout.height < 0 ? -layout.height : layout.height, layout.bitCount};
        }
        case TKind::Gif: return StbHeader(data, size, TPictFormat::Gif);
        case TKind::Tga: return StbHeader(data, size, TPictFormat::Tga);
        case TKind::Jpeg: {
            TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
            TPictSize picture;
            JpegPictureSize(stream, picture.Width, picture.Height);
            return picture;
        }
        case TKind::Pcx: break;
    }
    return PcxPictureSize(data, size);
}

void PictDecode(const uint8_t* data, size_t size, TPictImage& image) {
    image = TPictImage{};
    const TKind kind = KindOf(data, size);
    switch (kind) {
        case TKind::BitmapFile:
        case TKind::PackedDib: DecodeBitmap(data, size, kind, image); break;
        case TKind::Gif: DecodeStb(data, size, TPictFormat::Gif, image); break;
        case TKind::Tga: DecodeStb(data, size, TPictFormat::Tga, image); break;
        case TKind::Jpeg: {
            image.Format = TPictFormat::Jpeg;
            TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
            JpegDecode(stream, image.Raster);
            break;
        }
        case TKind::Pcx:
            image.Format = TPictFormat::Pcx;
            PcxDecode(data, size, image.Raster);
            break;
    }
}

}  // namespace treskel

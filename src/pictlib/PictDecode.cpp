#include "pictlib/PictDecode.h"

#include <string>

#include "pictlib/StbImage.h"
#include "platform/DibFormat.h"
#include "platform/JpegCodec.h"
#include "platform/Streams.h"

namespace treskel {

namespace {

// A bitmap without its file header starts with the size of its header.
bool LooksLikePackedDib(const uint8_t* data, size_t size) {
    if (size < 12) return false;
    const uint32_t header = GetU32(data);
    return header == 12 || header == 40 || header == 52 || header == 56 || header == 108 || header == 124;
}

std::vector<uint8_t> PackedDib(const uint8_t* data, size_t size) {
    DibLayout layout;
    if (!CheckDib(data, size, 0, layout)) return {};
    return std::vector<uint8_t>(data, data + layout.bitsOffset + layout.bitsSize);
}

void DecodeBitmap(const uint8_t* data, size_t size, bool fileHeader, TPictImage& image) {
    image.Format = TPictFormat::Bitmap;
    image.Dib = fileHeader ? DibFromBitmapFile(data, size) : PackedDib(data, size);
    if (image.Dib.empty())
        throw EPictureFile("The bitmap is damaged, or of a kind that cannot be shown.");
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

void DecodeStb(const uint8_t* data, size_t size, TPictFormat format, TPictImage& image) {
    const char* name = format == TPictFormat::Gif ? "GIF" : "TGA";
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
    std::string reason;
    image.Format = format;
    if (!StbDecode(data, size, image.Raster, reason))
        throw EPictureFile(std::string("The ") + name + " picture is damaged (" + reason + ").");
}

}  // namespace

void PictDecode(const uint8_t* data, size_t size, TPictImage& image) {
    image = TPictImage{};
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
        DecodeBitmap(data, size, true, image);
    } else if (LooksLikeGif(data, size)) {
        DecodeStb(data, size, TPictFormat::Gif, image);
    } else if (LooksLikeJpeg(data, size)) {
        image.Format = TPictFormat::Jpeg;
        TReadOnlyMemoryStream stream(data, static_cast<int64_t>(size));
        JpegDecode(stream, image.Raster);
    } else if (LooksLikePcx(data, size)) {
        image.Format = TPictFormat::Pcx;
        PcxDecode(data, size, image.Raster);
    } else if (LooksLikePackedDib(data, size)) {
        DecodeBitmap(data, size, false, image);
    } else {
        // Targa files have no mark of their own: whatever the decoder takes
        // for one.
        int width = 0, height = 0;
        if (size == 0 || !StbPictureSize(data, size, width, height))
            throw EPictureFile(
                "The file is not a picture that can be inserted (bitmap, GIF, JPEG, PCX or TGA), or it is damaged.");
        DecodeStb(data, size, TPictFormat::Tga, image);
    }
}

}  // namespace treskel

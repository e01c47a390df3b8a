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

void DecodeStb(const uint8_t* data, size_t size, TPictFormat format, TPictImage& image) {
    const char* name = format == TPictFormat::Gif ? "GIF" : "TGA";
    int width = 0, height = 0;
    if (!StbPictureSize(data, size, width, height))
        throw EPictureFile(std::string("The ") + name + " picture is damaged: its header cannot be read.");
    if (!RasterSizeAllowed(static_cast<uint64_t>(width), static_cast<uint64_t>(height)))
        throw EPictureFile(std::string("The ") + name + " picture is too large.");
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

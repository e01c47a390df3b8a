// Any bytes given to the picture library's decoding, as PictLibLoad gives a
// file's bytes: bitmaps are checked and packed, GIF and TGA decoded by
// stb_image, PCX and JPEG by ours.  A refusal is an exception; anything
// else is a crash, a hang or a read or write outside the input or output,
// or a size measured from the header that is not the decoded one.  As
// Insert Picture does, a picture whose size from its header no note could
// hold is refused before it is decoded.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "app/frmMainRules.h"
#include "pictlib/PictDecode.h"
#include "platform/DibFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace treskel;
    std::vector<uint8_t> copy(data, data + size);  // exact size for the sanitizer
    // What is measured from the header is what is decoded, and a header
    // refused there is refused by decoding too.
    TPictSize measured;
    bool measuredOk = true;
    try {
        measured = PictMeasure(copy.data(), copy.size());
    } catch (const Exception&) {
        measuredOk = false;
    }
    // Insert Picture asks the library for the size first and decodes only
    // what an empty note has room for.
    if (measuredOk && !PictureRoomProblem(measured, 0).empty()) return 0;
    TPictImage image;
    try {
        PictDecode(copy.data(), copy.size(), image);
    } catch (const Exception&) {
        return 0;
    }
    if (!measuredOk) __builtin_trap();
    if (image.Format == TPictFormat::Bitmap) {
        // What the system will be given holds what its header promises.
        DibLayout layout;
        if (!CheckDib(image.Dib.data(), image.Dib.size(), 0, layout)) __builtin_trap();
        if (layout.width != measured.Width || std::abs(layout.height) != measured.Height) __builtin_trap();
    } else if (image.Raster.Pixels.size() != image.Raster.Stride() * static_cast<size_t>(image.Raster.Height) ||
               image.Raster.Width != measured.Width || image.Raster.Height != measured.Height) {
        __builtin_trap();
    }
    return 0;
}

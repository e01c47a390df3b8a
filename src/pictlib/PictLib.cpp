// PictLib.dll: decodes a picture file into a bitmap, or measures it.
// Nothing it is given can make it fail other than by returning null or
// false with a reason.
#include <windows.h>

#include <string>
#include <vector>

#include "pictlib/PictDecode.h"
#include "platform/DibBitmap.h"
#include "platform/FileSys.h"

namespace {

// Pictures larger than this are not read at all.
constexpr int64_t kMaxFile = 256 << 20;

// The program calls from one thread.
std::string lastError;

// Gives `use` the bytes of a picture file that can be read.
template <class F>
auto WithPictureFile(const char* fileName, F use) {
    using namespace treskel;
    if (fileName == nullptr || *fileName == '\0') throw EPictureFile("No picture file was named.");
    TFileView view(fileName);
    if (view.Data() == nullptr) {
        if (!FileExists(fileName)) throw EPictureFile("The picture file cannot be opened.");
        throw EPictureFile("The picture file is empty or cannot be read.");
    }
    if (view.Size() > kMaxFile) throw EPictureFile("The picture file is too large.");
    return use(view.Data(), static_cast<size_t>(view.Size()));
}

HBITMAP Load(const char* fileName) {
    using namespace treskel;
    // Decoded from a copy: the file is not held while it is decoded.
    const std::vector<uint8_t> bytes =
        WithPictureFile(fileName, [](const uint8_t* data, size_t size) { return std::vector<uint8_t>(data, data + size); });
    TPictImage image;
    PictDecode(bytes.data(), bytes.size(), image);
    TDibRefusal why = TDibRefusal::NoRoom;
    HBITMAP bitmap = image.Format == TPictFormat::Bitmap
                         ? CreateBitmapFromDib(image.Dib.data(), image.Dib.size(), 0, &why)
                         : CreateBitmapFromRaster(image.Raster);
    if (bitmap != nullptr) return bitmap;
    switch (why) {
        case TDibRefusal::Damaged: throw EPictureFile(kBitmapDamaged);
        case TDibRefusal::Undecodable: throw EPictureFile("The system cannot decode the pixels of this bitmap.");
        default: throw EPictureFile("The picture is too large for the memory at hand.");
    }
}

// Runs a call of the library: what it raises becomes the reason of its
// null or false result.
template <class Result, class F>
Result Guarded(F call) {
    lastError.clear();
    try {
        return call();
    } catch (const treskel::Exception& e) {
        lastError = e.Message();
    } catch (const std::bad_alloc&) {
        lastError = "The picture is too large for the memory at hand.";
    } catch (...) {
        lastError = "The picture cannot be loaded.";
    }
    return Result{};
}

}  // namespace

extern "C" __declspec(dllexport) HBITMAP WINAPI PictLibLoad(const char* fileName, int) {
    return Guarded<HBITMAP>([&] { return Load(fileName); });
}

// The picture's size in pixels and the bits a pixel of the bitmap that
// PictLibLoad would give, from the file's header alone: what a caller
// needs to know before it lets the picture be decoded.
extern "C" __declspec(dllexport) int WINAPI PictLibPictureSize(const char* fileName, int* width, int* height,
                                                               int* bitCount) {
    return Guarded<int>([&] {
        const treskel::TPictSize size = WithPictureFile(fileName, treskel::PictMeasure);
        if (width != nullptr) *width = size.Width;
        if (height != nullptr) *height = size.Height;
        if (bitCount != nullptr) *bitCount = size.BitCount;
        return 1;
    });
}

extern "C" __declspec(dllexport) const char* WINAPI PictLibLastError() { return lastError.c_str(); }

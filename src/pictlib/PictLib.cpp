// PictLib.dll: decodes a picture file into a bitmap.  Nothing it is given
// can make it fail other than by returning null with a reason.
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

HBITMAP Load(const char* fileName) {
    using namespace treskel;
    if (fileName == nullptr || *fileName == '\0') throw EPictureFile("No picture file was named.");
    std::vector<uint8_t> bytes;
    {
        TFileView view(fileName);
        if (view.Data() == nullptr) {
            if (!FileExists(fileName)) throw EPictureFile("The picture file cannot be opened.");
            throw EPictureFile("The picture file is empty or cannot be read.");
        }
        if (view.Size() > kMaxFile) throw EPictureFile("The picture file is too large.");
        bytes.assign(view.Data(), view.Data() + view.Size());
    }
    TPictImage image;
    PictDecode(bytes.data(), bytes.size(), image);
    TDibRefusal why = TDibRefusal::NoRoom;
    HBITMAP bitmap = image.Format == TPictFormat::Bitmap
                         ? CreateBitmapFromDib(image.Dib.data(), image.Dib.size(), 0, &why)
                         : CreateBitmapFromRaster(image.Raster);
    if (bitmap != nullptr) return bitmap;
    switch (why) {
        case TDibRefusal::Damaged: throw EPictureFile("The bitmap is damaged, or of a kind that cannot be shown.");
        case TDibRefusal::Undecodable: throw EPictureFile("The system cannot decode the pixels of this bitmap.");
        default: throw EPictureFile("The picture is too large for the memory at hand.");
    }
}

}  // namespace

extern "C" __declspec(dllexport) HBITMAP WINAPI PictLibLoad(const char* fileName, int) {
    lastError.clear();
    try {
        return Load(fileName);
    } catch (const treskel::Exception& e) {
        lastError = e.Message();
    } catch (const std::bad_alloc&) {
        lastError = "The picture is too large for the memory at hand.";
    } catch (...) {
        lastError = "The picture cannot be loaded.";
    }
    return nullptr;
}

extern "C" __declspec(dllexport) const char* WINAPI PictLibLastError() { return lastError.c_str(); }

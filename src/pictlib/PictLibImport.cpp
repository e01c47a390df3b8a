#include "pictlib/PictLib.h"

#include "platform/Handles.h"

namespace treskel {

namespace {
struct Library {
    ModuleHandle module;
    PictLibLoadProc load = nullptr;
    PictLibPictureSizeProc pictureSize = nullptr;
    PictLibLastErrorProc lastError = nullptr;
};

// Loaded once and kept for the program's life.
Library& TheLibrary() {
    static Library lib = [] {
        Library l;
        l.module.Reset(LoadLibraryA("PictLib.dll"));
        if (l.module) {
            l.load = reinterpret_cast<PictLibLoadProc>(
                reinterpret_cast<void*>(GetProcAddress(l.module.Get(), "PictLibLoad")));
            l.pictureSize = reinterpret_cast<PictLibPictureSizeProc>(
                reinterpret_cast<void*>(GetProcAddress(l.module.Get(), "PictLibPictureSize")));
            l.lastError = reinterpret_cast<PictLibLastErrorProc>(
                reinterpret_cast<void*>(GetProcAddress(l.module.Get(), "PictLibLastError")));
        }
        return l;
    }();
    return lib;
}

[[noreturn]] void RaiseLibraryError(const Library& lib) {
    const char* why = lib.lastError != nullptr ? lib.lastError() : nullptr;
    throw EInvalidGraphic(why != nullptr && *why != '\0' ? why : "The picture cannot be loaded.");
}

constexpr const char* kNoLibrary = "The picture library PictLib.dll cannot be loaded.";

}  // namespace

HBITMAP PictLibLoad(const std::string& fileName) {
    Library& lib = TheLibrary();
    if (lib.load == nullptr) throw EInvalidGraphic(kNoLibrary);
    HBITMAP bitmap = lib.load(fileName.c_str(), 0);
    if (bitmap == nullptr) RaiseLibraryError(lib);
    return bitmap;
}

TPictSize PictLibPictureSize(const std::string& fileName) {
    Library& lib = TheLibrary();
    if (lib.pictureSize == nullptr) throw EInvalidGraphic(kNoLibrary);
    TPictSize size;
    if (lib.pictureSize(fileName.c_str(), &size.Width, &size.Height, &size.BitCount) == 0) RaiseLibraryError(lib);
    return size;
}

}  // namespace treskel

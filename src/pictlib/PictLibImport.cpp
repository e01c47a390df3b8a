#include "pictlib/PictLib.h"

#include "platform/Handles.h"

namespace treskel {

namespace {
struct Library {
    ModuleHandle module;
    PictLibLoadProc load = nullptr;
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
            l.lastError = reinterpret_cast<PictLibLastErrorProc>(
                reinterpret_cast<void*>(GetProcAddress(l.module.Get(), "PictLibLastError")));
        }
        return l;
    }();
    return lib;
}
}  // namespace

HBITMAP PictLibLoad(const std::string& fileName) {
    Library& lib = TheLibrary();
    if (lib.load == nullptr) throw EInvalidGraphic("The picture library PictLib.dll cannot be loaded.");
    HBITMAP bitmap = lib.load(fileName.c_str(), 0);
    if (bitmap != nullptr) return bitmap;
    const char* why = lib.lastError != nullptr ? lib.lastError() : nullptr;
    throw EInvalidGraphic(why != nullptr && *why != '\0' ? why : "The picture cannot be loaded.");
}

}  // namespace treskel

// Acquired images: their measures, palettes and drawing, .bmp files, and
// acquisition straight to a file or the clipboard.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Clipbrd.h"
#include "platform/DibFormat.h"
#include "platform/Dialogs.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "twain/TwainDib.h"
#include "twain/TwainLib.h"
#include "twain/TwainLibPriv.h"

namespace treskel {

namespace {

// An image locked for a scope, with what its header says checked against
// the block's size.
class LockedDib {
public:
    explicit LockedDib(HANDLE dib) : lock_(static_cast<HGLOBAL>(dib)) {}
    const uint8_t* Data() const { return static_cast<const uint8_t*>(lock_.Get()); }
    size_t Size() const { return lock_.Size(); }
    bool HasHeader() const {
        if (Data() == nullptr || Size() < 12) return false;
        const uint32_t h = GetU32(Data());
        return h == 12 || (h >= 40 && h <= Size());
    }
    bool Core() const { return GetU32(Data()) == 12; }
    // Width, height (as stored) and bit count from either header.
    int32_t Width() const { return Core() ? GetU16(Data() + 4) : static_cast<int32_t>(GetU32(Data() + 4)); }
    int32_t Height() const { return Core() ? GetU16(Data() + 6) : static_cast<int32_t>(GetU32(Data() + 8)); }
    int BitCount() const { return Core() ? GetU16(Data() + 10) : GetU16(Data() + 14); }

private:
    GlobalLockGuard lock_;
};

template <class F>
int WithHeader(HANDLE dib, F read) {
    if (dib == nullptr) return 0;
    LockedDib d(dib);
    return d.HasHeader() ? read(d) : 0;
}

// Default palette: the twenty static colours at both ends, a colour cube
// and a grey ramp between them.
void DefaultPalette(PALETTEENTRY* entries) {
    static const uint8_t statics[20][3] = {
        {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
        {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
        {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
        {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
    for (int i = 0; i < 10; ++i) {
        entries[i] = {statics[i][0], statics[i][1], statics[i][2], 0};
        entries[246 + i] = {statics[10 + i][0], statics[10 + i][1], statics[10 + i][2], 0};
    }
    int at = 10;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                entries[at++] = {static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51), static_cast<BYTE>(b * 51),
                                 PC_NOCOLLAPSE};
    for (int i = 0; at < 246; ++i, ++at) {
        const auto v = static_cast<BYTE>(8 + i * 12);
        entries[at] = {v, v, v, PC_NOCOLLAPSE};
    }
}

// A name chosen in the open or save dialog for bitmap files; empty when
// cancelled.  ".bmp" is added to a name without an extension.
std::string AskBitmapFile(bool save) {
    std::unique_ptr<TOpenDialog> dialog = save ? std::make_unique<TSaveDialog>(nullptr)
                                               : std::make_unique<TOpenDialog>(nullptr);
    dialog->SetFilter(save ? "Windows Bitmap (*.bmp)|*.bmp" : "Windows Bitmaps (*.bmp)|*.bmp");
    TOpenOptions options{TOpenOption::ofHideReadOnly, TOpenOption::ofNoReadOnlyReturn};
    if (save) options += TOpenOption::ofOverwritePrompt;
    dialog->SetOptions(options);
    if (!dialog->Execute()) return std::string();
    std::string name = dialog->FileName();
    if (ExtractFileExt(name).empty()) name += ".bmp";
    return name;
}

// Frees the images of the last acquisition other than the one handed on
// and empties the list, so that a caller freeing what it lists frees
// nothing twice.
void KeepOnly(HANDLE kept) {
    twainlib::Session& s = twainlib::S();
    for (int i = 0; i < s.imageCount; ++i)
        if (s.images[static_cast<size_t>(i)] != kept) TWAIN_FreeDib(s.images[static_cast<size_t>(i)]);
    s.images.fill(nullptr);
    s.imageCount = 0;
}

}  // namespace

int WINAPI TWAIN_DibWidth(HANDLE dib) {
    return WithHeader(dib, [](const LockedDib& d) { return d.Width(); });
}

int WINAPI TWAIN_DibHeight(HANDLE dib) {
    return WithHeader(dib, [](const LockedDib& d) { return d.Height(); });
}

int WINAPI TWAIN_DibBitCount(HANDLE dib) {
    return WithHeader(dib, [](const LockedDib& d) { return d.BitCount(); });
}

int WINAPI TWAIN_DibColorCount(HANDLE dib) {
    return WithHeader(dib, [](const LockedDib& d) { return static_cast<int>(DibHeaderColorCount(d.Data(), d.Size())); });
}

HPALETTE WINAPI TWAIN_DibToPalette(HANDLE dib) {
    if (dib == nullptr) return nullptr;
    LockedDib d(dib);
    if (!d.HasHeader()) return nullptr;
    const uint32_t colors = DibHeaderColorCount(d.Data(), d.Size());
    const uint32_t n = colors != 0 ? colors : 256;
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* pal = reinterpret_cast<LOGPALETTE*>(block.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(n);
    if (colors == 0) {
        DefaultPalette(pal->palPalEntry);
    } else {
        const uint32_t headerSize = GetU32(d.Data());
        const uint32_t entry = d.Core() ? 3 : 4;
        const uint32_t masks = DibPixelOffset(d.Data(), d.Size()) - headerSize - entry * colors;
        if (uint64_t{headerSize} + masks + uint64_t{entry} * colors > d.Size()) return nullptr;
        const uint8_t* table = d.Data() + headerSize + masks;
        for (uint32_t i = 0; i < colors; ++i)
            pal->palPalEntry[i] = {table[i * entry + 2], table[i * entry + 1], table[i * entry], 0};
    }
    return CreatePalette(pal);
}

void WINAPI TWAIN_DrawDibToDC(HDC dc, int x, int y, int w, int h, HANDLE dib, int sx, int sy) {
    if (dib == nullptr) return;
    LockedDib d(dib);
    DibLayout layout;
    // What a source hands over is checked before the system reads it.
    if (d.Data() == nullptr || !CheckDib(d.Data(), d.Size(), 0, layout)) return;
    StretchDIBits(dc, x, y, w, h, sx, sy, w, h, d.Data() + layout.bitsOffset,
                  reinterpret_cast<const BITMAPINFO*>(d.Data()), DIB_RGB_COLORS, SRCCOPY);
}

void WINAPI CopyDibToBitmap(HANDLE dib, TBitmap* bitmap) {
    if (bitmap == nullptr) return;
    if (dib != nullptr) {
        // What a source hands over is checked against its block before a
        // bitmap of the size it claims is made.
        LockedDib d(dib);
        const std::string problem = DibProblem(d.Data(), d.Data() != nullptr ? d.Size() : 0);
        if (!problem.empty()) throw EInvalidGraphic(problem);
    }
    const int width = TWAIN_DibWidth(dib), height = std::abs(TWAIN_DibHeight(dib));
    bitmap->SetSize(width, height);
    if (bitmap->Empty()) return;
    TWAIN_DrawDibToDC(bitmap->Canvas()->Handle(), 0, 0, width, height, dib, 0, 0);
}

int WINAPI TWAIN_WriteDibToFile(HANDLE dib, const char* fileName) {
    std::string name = fileName != nullptr ? fileName : "";
    if (name.empty()) {
        name = AskBitmapFile(true);
        if (name.empty()) return -1;
    }
    GlobalLockGuard lock(static_cast<HGLOBAL>(dib));
    if (lock.Get() == nullptr) return -3;
    DibFileParts parts;
    if (!PrepareDibFile(static_cast<const uint8_t*>(lock.Get()), lock.Size(), parts)) return -4;
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(name, fmCreate);
    } catch (const Exception&) {
        return -2;
    }
    try {
        file->WriteBuffer(parts.fileHeader, sizeof parts.fileHeader);
        file->WriteBuffer(parts.head.data(), static_cast<int64_t>(parts.head.size()));
        file->WriteBuffer(parts.bits, parts.bitsSize);
    } catch (const Exception&) {
        // No half-written picture stays behind.
        file.reset();
        DeleteFile(name);
        return -4;
    }
    return 0;
}

HANDLE WINAPI TWAIN_ReadDibFile(const char* fileName) {
    std::string name = fileName != nullptr ? fileName : "";
    if (name.empty()) {
        name = AskBitmapFile(false);
        if (name.empty()) return nullptr;
    }
    std::vector<uint8_t> dib;
    try {
        TFileStream file(name, fmOpenRead | fmShareDenyWrite);
        std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
        if (!bytes.empty()) file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        dib = DibFromBitmapFile(bytes.data(), bytes.size());
    } catch (const Exception&) {
        return nullptr;
    }
    if (dib.empty()) return nullptr;
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (h == nullptr) return nullptr;
    GlobalMemory block(h);
    GlobalLockGuard lock(block.Get());
    if (lock.Get() == nullptr) return nullptr;
    std::memcpy(lock.Get(), dib.data(), dib.size());
    return block.Release();
}

int WINAPI TWAIN_AcquireToFile(HWND wnd, const char* fileName) {
    HANDLE dib = TWAIN_AcquireImages(wnd, 0);
    if (dib == nullptr) return -1;
    KeepOnly(dib);
    const int result = TWAIN_WriteDibToFile(dib, fileName);
    TWAIN_FreeDib(dib);
    return result;
}

int WINAPI TWAIN_AcquireIntoClipboard(HWND wnd, unsigned pixelTypeMask) {
    HANDLE dib = TWAIN_AcquireImages(wnd, pixelTypeMask);
    if (dib == nullptr) return 0;
    KeepOnly(dib);
    try {
        // The clipboard owns it from here, or frees it when it cannot.
        Clipboard()->SetAsHandle(CF_DIB, dib);
    } catch (const Exception&) {
        return 0;
    }
    return 1;
}

}  // namespace treskel

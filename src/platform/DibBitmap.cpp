#include "platform/DibBitmap.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/DibFormat.h"
#include "platform/Handles.h"
#include "platform/Streams.h"

namespace treskel {

HBITMAP CreateBitmapFromDib(const uint8_t* dib, size_t size, uint32_t bitsOffset, TDibRefusal* refusal) {
    TDibRefusal ignored;
    TDibRefusal& why = refusal != nullptr ? *refusal : ignored;
    why = TDibRefusal::None;
    // Every size in the headers against the bytes at hand, before the
    // system sees any of them.
    DibLayout layout;
    if (!CheckDib(dib, size, bitsOffset, layout)) {
        why = TDibRefusal::Damaged;
        return nullptr;
    }
    // The system reads the header and table of its own copy: the section is
    // never run-length encoded, only the rows are; and the rows are read for
    // as long as the image size says, which for runs must be their length.
    std::vector<uint8_t> plain(dib, dib + layout.headerSize + layout.tableBytes);
    std::vector<uint8_t> rows = plain;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4) {
        PutU32(rows.data() + 20, layout.bitsSize);
        PutU32(plain.data() + 16, BI_RGB);
        PutU32(plain.data() + 20, 0);
    }
    WindowDC screen(nullptr);
    void* bits = nullptr;
    GdiHandle<HBITMAP> bmp(CreateDIBSection(screen.Get(), reinterpret_cast<BITMAPINFO*>(plain.data()),
                                            DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp) {
        why = TDibRefusal::NoRoom;
        return nullptr;
    }
    const UINT height = static_cast<UINT>(std::abs(layout.height));
    if (SetDIBits(screen.Get(), bmp.Get(), 0, height, dib + layout.bitsOffset,
                  reinterpret_cast<const BITMAPINFO*>(rows.data()), DIB_RGB_COLORS) == 0) {
        why = TDibRefusal::Undecodable;
        return nullptr;
    }
    return bmp.Release();
}

HBITMAP CreateBitmapFromRaster(const TRasterImage& image) {
    const size_t bytes = image.Stride() * static_cast<size_t>(image.Height > 0 ? image.Height : 0);
    if (image.Width <= 0 || image.Height <= 0 || image.Pixels.size() < bytes) return nullptr;
    void* bits = nullptr;
    GdiHandle<HBITMAP> bmp = NewDibSection(image.Width, -image.Height, 24, &bits);  // top row first
    if (!bmp || bits == nullptr) return nullptr;
    std::memcpy(bits, image.Pixels.data(), bytes);
    return bmp.Release();
}

BITMAPINFOHEADER DibInfoHeader(int width, int height, int bitCount) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bitCount);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(width, bitCount) * static_cast<uint64_t>(std::abs(height)));
    return h;
}

GdiHandle<HBITMAP> NewDibSection(int width, int height, int bitCount, void** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader = DibInfoHeader(width, height, bitCount);
    void* pixels = nullptr;
    GdiHandle<HBITMAP> bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    if (bits != nullptr) *bits = bmp ? pixels : nullptr;
    return bmp;
}

}  // namespace treskel

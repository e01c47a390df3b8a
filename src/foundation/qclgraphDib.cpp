#include "foundation/qclgraphDib.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "foundation/qclclass.h"
#include "platform/DibBitmap.h"

namespace treskel {

namespace {

int BitCount(const BITMAP& bm, int colors) {
    switch (colors) {
    case 2: return 1;
    case 16: return 4;
    case 256: return 8;
    default: {
        const int own = bm.bmPlanes * bm.bmBitsPixel;
        return own == 16 || own == 32 ? 24 : own;
    }
    }
}

int InfoSize(int bitCount) { return bitCount == 24 ? 40 : 40 + 4 * (1 << bitCount); }

}  // namespace

void QclInitBitmapInfoHeader(HBITMAP bitmap, BITMAPINFOHEADER& header, int colors) {
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    header = DibInfoHeader(bm.bmWidth, bm.bmHeight, BitCount(bm, colors));
}

void QclGetDIBSizes(HBITMAP bitmap, int& infoSize, int& imageSize, int colors) {
    BITMAPINFOHEADER h;
    QclInitBitmapInfoHeader(bitmap, h, colors);
    infoSize = InfoSize(h.biBitCount);
    imageSize = static_cast<int>(h.biSizeImage);
}

bool QclGetDIB(HBITMAP bitmap, HPALETTE palette, void* bitmapInfo, int colors, void* bits) {
    auto* bi = static_cast<BITMAPINFO*>(bitmapInfo);
    QclInitBitmapInfoHeader(bitmap, bi->bmiHeader, colors);
    WindowDC dc(GetFocus());
    PaletteGuard selected(dc.Get(), palette);
    return GetDIBits(dc.Get(), bitmap, 0, static_cast<UINT>(bi->bmiHeader.biHeight), bits, bi, DIB_RGB_COLORS) != 0;
}

std::vector<uint8_t> QclBitmapToFileImage(HBITMAP bitmap, HPALETTE palette, int colors) {
    if (bitmap == nullptr) throw EInvalidGraphic("Bitmap image is not valid");
    int infoSize = 0, imageSize = 0;
    QclGetDIBSizes(bitmap, infoSize, imageSize, colors);
    const uint32_t size = static_cast<uint32_t>(14 + infoSize + imageSize);
    // One extra colour-table's worth of slack: GetDIBits may write a full
    // table whatever the header's colour count says.
    std::vector<uint8_t> image(size + 1024, 0);
    image[0] = 'B';
    image[1] = 'M';
    PutU32(image.data() + 2, size);
    PutU32(image.data() + 10, static_cast<uint32_t>(14 + infoSize));
    // The header goes through an aligned copy: offset 14 is not.
    std::vector<uint32_t> info(static_cast<size_t>(infoSize + 1024) / 4);
    QclGetDIB(bitmap, palette, info.data(), colors, image.data() + 14 + infoSize);
    std::memcpy(image.data() + 14, info.data(), static_cast<size_t>(infoSize));
    image.resize(size);
    return image;
}

void QclWriteBitmapImage(TStream& stream, HBITMAP bitmap, HPALETTE palette, bool writeSize, int colors) {
    const std::vector<uint8_t> image = QclBitmapToFileImage(bitmap, palette, colors);
    if (writeSize) WriteU32(stream, static_cast<uint32_t>(image.size()));
    stream.WriteBuffer(image.data(), static_cast<int64_t>(image.size()));
}

void QclSaveBitmapToStream(TStream& stream, TBitmap& bitmap, int colors) {
    if (bitmap.Monochrome()) colors = 2;
    QclWriteBitmapImage(stream, bitmap.Handle(), nullptr, false, colors);
    stream.SetPosition(0);
}

// ---------------------------------------------------------------- gradients

void QclMakeColorList(TColor startColor, TColor endColor, int count, std::vector<TColor>* list) {
    if (list == nullptr || count == 0) return;
    list->clear();
    for (uint32_t rgb : QclGradientColors(ColorToRGB(startColor), ColorToRGB(endColor), count))
        list->push_back(static_cast<TColor>(rgb));
}

HPALETTE QclCreatePaletteFromList(const std::vector<TColor>* list) {
    if (list == nullptr || list->empty()) return nullptr;
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + list->size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(list->size());
    for (size_t i = 0; i < list->size(); ++i) {
        const COLORREF c = static_cast<COLORREF>((*list)[i]);
        lp->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE};
    }
    return CreatePalette(lp);
}

namespace {

TRect Shifted(const TRect& r, int dx, int dy) { return Rect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy); }

TRect StartRect(TQclGradientShape shape, int w, int h) {
    switch (shape) {
    case 2:
    case 3: return Rect(w / 2, h / 2, w / 2, h / 2);
    case 4: return Rect(0, 0, 1, 1);
    case 5: return Rect(w, 1, w + 1, 0);
    case 6: return Rect(1, h, 0, h + 1);
    case 7: return Rect(w, h, w + 1, h + 1);
    default: return Rect(0, 0, w, h);
    }
}

void PaintSteps(TCanvas* c, TQclGradientShape shape, const TRect& s, int w, int h, const std::vector<COLORREF>& colors) {
    const int n = static_cast<int>(colors.size());
    auto brush = [&](int i) {
        c->Brush()->SetColor(static_cast<TColor>(colors[static_cast<size_t>(i)]));
    };
    if (shape == 0) {
        for (int i = 0; i < n; ++i) {
            brush(i);
            c->FillRect(Rect(s.Left + QclMulDiv(i, w, n), s.Top, s.Left + QclMulDiv(i + 1, w, n), s.Bottom));
        }
        return;
    }
    for (int i = n - 1; i >= 0; --i) {
        brush(i);
        const int dx = QclMulDiv(i + 1, w, n), dy = QclMulDiv(i + 1, h, n);
        switch (shape) {
        case 1: c->FillRect(Rect(s.Left, s.Top + QclMulDiv(i, h, n), s.Right, s.Top + QclMulDiv(i + 1, h, n))); break;
        case 2: c->Rectangle(s.Left - dx / 2, s.Top - dy / 2, s.Left + dx / 2 + 2, s.Top + dy / 2 + 2); break;
        case 3: {
            const int a = static_cast<int>(std::lround(dx / 1.4)), b = static_cast<int>(std::lround(dy / 1.4));
            c->Ellipse(s.Left - a, s.Top - b, s.Left + a, s.Top + b);
            break;
        }
        case 4: c->Rectangle(s.Left, s.Top, s.Right + dx, s.Bottom + dy); break;
        case 5: c->Rectangle(s.Left - dx, s.Top + dy, s.Right, s.Bottom); break;
        case 6: c->Rectangle(s.Left + dx, s.Top - dy, s.Right, s.Bottom); break;
        case 7: c->Rectangle(s.Left - dx, s.Top - dy, s.Right, s.Bottom); break;
        default: break;
        }
    }
}

}  // namespace

void QclFillGradient(TCanvas* canvas, const TRect& rect, TQclGradientShape shape, int offset, uint16_t flags,
                     HPALETTE palette, const std::vector<TColor>* colors) {
    const int w = rect.Width(), h = rect.Height();
    if (colors == nullptr || colors->empty() || w <= 0 || h <= 0) return;
    bool usePalette = (flags & qclGradPalette) && palette != nullptr;
    if (usePalette && QclApplication != nullptr && (QclApplication->Options() & 1)) {
        WindowDC screen(nullptr);
        if (GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) < 9) usePalette = false;
    }
    std::vector<COLORREF> steps;
    for (TColor c : *colors) {
        const COLORREF rgb = static_cast<COLORREF>(c) & 0xFFFFFF;
        steps.push_back(usePalette ? PALETTERGB(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)) : rgb);
    }
    TRect s = StartRect(shape, w, h);
    std::unique_ptr<TBitmap> buffer;
    TCanvas* target = canvas;
    GdiHandle<HRGN> clip;
    if (flags & qclGradBuffered) {
        buffer = std::make_unique<TBitmap>();
        buffer->SetSize(w, h);
        target = buffer->Canvas();
    } else {
        if (flags & qclGradClip) {
            TRect r = rect;
            if (offset != 0) r = Shifted(r, static_cast<int16_t>(offset & 0xFFFF), static_cast<int16_t>(offset >> 16));
            clip.Reset(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
            SelectClipRgn(canvas->Handle(), clip.Get());
        }
        s = Shifted(s, rect.Left, rect.Top);
    }
    {
        // The palette leaves every context it entered before this returns:
        // the caller deletes it.
        PaletteGuard selected(target->Handle(), usePalette ? palette : nullptr);
        target->Brush()->SetStyle(TBrushStyle::bsSolid);
        target->Pen()->SetStyle(TPenStyle::psClear);
        PaintSteps(target, shape, s, w, h, steps);
        if (buffer) {
            PaletteGuard onCanvas(canvas->Handle(), usePalette ? palette : nullptr);
            BitBlt(canvas->Handle(), rect.Left, rect.Top, w, h, target->Handle(), 0, 0, SRCCOPY);
        }
    }
    if (clip) SelectClipRgn(canvas->Handle(), nullptr);
}

void QclDrawGradient(TCanvas* canvas, const TRect& rect, TColor startColor, TColor endColor,
                     TQclColorCount colorCount, TQclGradientShape shape, uint16_t flags, int offset) {
    std::vector<TColor> colors;
    QclMakeColorList(startColor, endColor, colorCount, &colors);
    GdiHandle<HPALETTE> palette((flags & qclGradPalette) ? QclCreatePaletteFromList(&colors) : nullptr);
    QclFillGradient(canvas, rect, shape, offset, flags, palette.Get(), &colors);
}

}  // namespace treskel

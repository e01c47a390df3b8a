// Bitmaps drawn at natural size, centred, stretched or tiled, opaque or
// transparent; masks; filled bitmaps; the two looks of a disabled glyph.
#include <cmath>
#include <memory>

#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "foundation/qclsysin.h"

namespace treskel {

namespace {

// The bitmap's palette selected as a foreground palette and realised in
// the target while the bitmap is drawn (flag qclBmpPalette), unless the
// library leaves palettes out on this display.
class BitmapPaletteScope {
public:
    BitmapPaletteScope(TCanvas* canvas, TBitmap* bitmap, uint16_t flags)
        : selected_(canvas->Handle(), (flags & qclBmpPalette) && !QclPalettesLeftOut()
                                          ? QclBitmapPalette(bitmap, palette_)
                                          : nullptr) {}
    BitmapPaletteScope(const BitmapPaletteScope&) = delete;
    BitmapPaletteScope& operator=(const BitmapPaletteScope&) = delete;
    // The palette selected, or none.
    HPALETTE Get() const { return palette_.Get(); }

private:
    GdiHandle<HPALETTE> palette_;  // before the guard: it goes after it
    PaletteGuard selected_;
};

// Mask then image, through the AND and OR raster operations.
void CopyMasked(TCanvas* canvas, const std::vector<TRect>& boxes, TCanvas* mask, TCanvas* image, const TRect& src) {
    HDC dc = canvas->Handle();
    DCColours colours(dc, RGB(255, 255, 255), RGB(0, 0, 0));
    int oldMode = canvas->CopyMode();
    for (const TRect& box : boxes) {
        canvas->SetCopyMode(SRCAND);
        canvas->CopyRect(box, mask, src);
        canvas->SetCopyMode(SRCPAINT);
        canvas->CopyRect(box, image, src);
    }
    canvas->SetCopyMode(oldMode);
}

}  // namespace

void QclDrawBitmapExt(TCanvas* canvas, const TRect& rect, TCanvas* sourceCanvas, const TRect& sourceRect,
                      uint16_t flags, TColor color, HPALETTE palette, TPersistent* bitmapOrMask, TRect& drawnRect) {
    drawnRect = TRect{};
    if (IsRectEmpty(rect)) return;
    int sw = sourceRect.Width(), sh = sourceRect.Height();
    if (flags & qclBmpStretch) SetStretchBltMode(canvas->Handle(), COLORONCOLOR);
    TQclBitmapPlacement place = QclPlaceBitmap(rect, sw, sh, flags);
    drawnRect = place.drawnRect;
    if (place.boxes.empty()) return;

    auto* brushBitmap = dynamic_cast<TBitmap*>(bitmapOrMask);
    auto* maskCanvas = dynamic_cast<TCanvas*>(bitmapOrMask);
    if ((flags & qclBmpBrushCopy) && brushBitmap != nullptr) {
        canvas->Brush()->SetColor(color);
        TColor transparent = brushBitmap->TransparentColor();
        for (const TRect& box : place.boxes) canvas->BrushCopy(box, brushBitmap, sourceRect, transparent);
        return;
    }
    if (sourceCanvas == nullptr) return;
    if ((flags & qclBmpMaskCanvas) && maskCanvas != nullptr) {
        CopyMasked(canvas, place.boxes, maskCanvas, sourceCanvas, sourceRect);
        return;
    }
    if (flags & qclBmpMaskFromColor) {
        TBitmap mask, image;
        if (palette != nullptr) {
            // The image keeps the colours of the palette it was drawn with.
            SelectPalette(image.Canvas()->Handle(), palette, FALSE);
            RealizePalette(image.Canvas()->Handle());
        }
        QclMakeMasks(sourceCanvas, sourceRect, &mask, &image, color);
        CopyMasked(canvas, place.boxes, mask.Canvas(), image.Canvas(), Rect(0, 0, sw, sh));
        return;
    }
    for (const TRect& box : place.boxes) canvas->CopyRect(box, sourceCanvas, sourceRect);
}

bool QclPalettesLeftOut() {
    return QclApplication != nullptr && (QclApplication->Options() & 1) != 0 && QclGetDisplayColorDepth() < 9;
}

HPALETTE QclBitmapPalette(TBitmap* bitmap, GdiHandle<HPALETTE>& cache) {
    cache.Reset();
    if (bitmap == nullptr || bitmap->Empty()) return nullptr;
    RGBQUAD table[256];
    UINT n = GetDIBColorTable(bitmap->Canvas()->Handle(), 0, 256, table);
    if (n == 0) return nullptr;
    std::vector<uint8_t> bytes(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* pal = reinterpret_cast<LOGPALETTE*>(bytes.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(n);
    for (UINT i = 0; i < n; ++i) pal->palPalEntry[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    cache = GdiHandle<HPALETTE>(CreatePalette(pal));
    return cache.Get();
}

void QclDrawBitmap(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, uint16_t flags, int offset, TColor color) {
    if (bitmap == nullptr || bitmap->Empty()) return;
    BitmapPaletteScope palette(canvas, bitmap, flags);
    TRect src = Rect(0, 0, bitmap->Width(), bitmap->Height());
    HDC dc = canvas->Handle();
    bool hadClip = false;
    GdiHandle<HRGN> saved;
    if (flags & qclBmpClip) {
        saved.Reset(CreateRectRgn(0, 0, 0, 0));
        hadClip = GetClipRgn(dc, saved.Get()) == 1;
        int ox = static_cast<int16_t>(offset & 0xFFFF), oy = static_cast<int16_t>((offset >> 16) & 0xFFFF);
        TRect c = OffsetRect(rect, ox, oy);
        GdiHandle<HRGN> rgn(CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom));
        ExtSelectClipRgn(dc, rgn.Get(), RGN_AND);
    }
    TRect drawn;
    if (flags & qclBmpBrushCopy)
        QclDrawBitmapExt(canvas, rect, nullptr, src, flags, color, nullptr, bitmap, drawn);
    else
        QclDrawBitmapExt(canvas, rect, bitmap->Canvas(), src, flags, color, nullptr, nullptr, drawn);
    if (flags & qclBmpClip) SelectClipRgn(dc, hadClip ? saved.Get() : nullptr);
}

void QclDrawBitmapRect(TCanvas* canvas, const TRect& rect, TBitmap* bitmap, uint16_t flags, TColor color,
                       TRect& drawnRect) {
    drawnRect = TRect{};
    if (bitmap == nullptr || bitmap->Empty()) return;
    BitmapPaletteScope palette(canvas, bitmap, flags);
    TRect src = Rect(0, 0, bitmap->Width(), bitmap->Height());
    if (flags & qclBmpBrushCopy)
        QclDrawBitmapExt(canvas, rect, nullptr, src, flags, color, nullptr, bitmap, drawnRect);
    else
        QclDrawBitmapExt(canvas, rect, bitmap->Canvas(), src, flags, color, palette.Get(), nullptr, drawnRect);
}

void QclMakeMasks(TCanvas* canvas, const TRect& rect, TBitmap* mask, TBitmap* image, TColor transparentColor) {
    if (mask == nullptr || image == nullptr || canvas == nullptr) return;
    int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    HDC src = canvas->Handle();
    image->SetSize(w, h);
    BitBlt(image->Canvas()->Handle(), 0, 0, w, h, src, rect.Left, rect.Top, SRCCOPY);
    // White where the transparent colour is, black elsewhere.
    mask->SetMonochrome(true);
    mask->SetSize(w, h);
    {
        COLORREF old = SetBkColor(src, ColorToRGB(transparentColor));
        BitBlt(mask->Canvas()->Handle(), 0, 0, w, h, src, rect.Left, rect.Top, SRCCOPY);
        SetBkColor(src, old);
    }
    HDC dc = image->Canvas()->Handle();
    DCColours colours(dc, RGB(0, 0, 0), RGB(255, 255, 255));
    BitBlt(dc, 0, 0, w, h, mask->Canvas()->Handle(), 0, 0, SRCAND);
}

void QclMakeBitmapMasks(TBitmap* bitmap, TBitmap* mask, TBitmap* image, TColor transparentColor) {
    if (bitmap == nullptr || bitmap->Empty()) return;
    QclMakeMasks(bitmap->Canvas(), Rect(0, 0, bitmap->Width(), bitmap->Height()), mask, image, transparentColor);
}

void QclFillBitmap(TBitmap* bitmap, const TRect& rect, TColor color) {
    if (bitmap == nullptr || IsRectEmpty(rect)) return;
    bitmap->SetSize(rect.Width(), rect.Height());
    bitmap->Canvas()->Brush()->SetStyle(TBrushStyle::bsSolid);
    bitmap->Canvas()->Brush()->SetColor(color);
    bitmap->Canvas()->FillRect(Rect(0, 0, rect.Width(), rect.Height()));
}

void QclMakeGrayedGlyph(TBitmap* dest, TBitmap* source) {
    if (dest == nullptr || source == nullptr) return;
    dest->Assign(source);
    if (source->Empty()) return;
    TCanvas* sc = source->Canvas();
    int w = source->Width(), h = source->Height();
    COLORREF t = GetPixel(sc->Handle(), 0, 0);
    auto sum = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    // The running sum is local: the procedure may be called from anywhere.
    int64_t total = 0;
    int64_t n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = GetPixel(sc->Handle(), x, y);
            if (c == t) continue;
            total += sum(c);
            ++n;
        }
    int base = n > 0 ? -static_cast<int>(std::nearbyint(200.0 - static_cast<double>(total) / static_cast<double>(n))) : 0;
    TCanvas* dc = dest->Canvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = GetPixel(sc->Handle(), x, y);
            if (c == t) continue;
            int s = sum(c);
            TColor out = s > base + 550 ? clWhite : s > base + 250 ? clBtnHighlight : s > base + 50 ? clBtnShadow : clBlack;
            dc->SetPixel(x, y, out);
        }
}

void QclMakeEmbossedGlyph(TBitmap* dest, TBitmap* glyph, int x, int y) {
    if (dest == nullptr || glyph == nullptr || glyph->Empty()) return;
    int w = glyph->Width(), h = glyph->Height();
    // The dark pixels of the glyph are embossed (black outlines, and the
    // dark grey ones that pictures drawn with softer outlines carry); the
    // transparent colour never is.  The mask is white where they lie.
    TBitmap dark;
    dark.SetPixelFormat(TPixelFormat::pf24bit);
    dark.SetSize(w, h);
    dark.Canvas()->CopyRect(Rect(0, 0, w, h), glyph->Canvas(), Rect(0, 0, w, h));
    COLORREF transparent = ColorToRGB(glyph->TransparentColor());
    for (int row = 0; row < h; ++row) {
        uint8_t* p = dark.ScanLine(row);
        for (int col = 0; col < w; ++col, p += 3) {
            bool isTransparent = RGB(p[2], p[1], p[0]) == (transparent & 0xFFFFFF);
            bool embossed = !isTransparent && p[0] * 114 + p[1] * 587 + p[2] * 299 < 128 * 1000;
            p[0] = p[1] = p[2] = embossed ? 0 : 255;
        }
    }
    GdiHandle<HBITMAP> mask(dark.CreateMask(clBlack));
    MemoryDC maskDC;
    SelectGuard selMask(maskDC.Get(), mask.Get());
    TCanvas* c = dest->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(glyph->TransparentColor());
    c->FillRect(Rect(0, 0, dest->Width(), dest->Height()));
    HDC dc = c->Handle();
    // Where the mask is set the brush is painted; elsewhere the bitmap stays.
    auto paint = [&](TColor brush, int px, int py) {
        c->Brush()->SetColor(brush);  // the canvas sets its background colour with the brush
        DCColours colours(dc, RGB(255, 255, 255), RGB(0, 0, 0));
        BitBlt(dc, px, py, w, h, maskDC.Get(), 0, 0, 0xE20746);
    };
    paint(clBtnHighlight, x + 1, y + 1);
    paint(clBtnShadow, x, y);
}

}  // namespace treskel

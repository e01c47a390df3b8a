// The glyph painter of the speed button and the shared image lists.
#include <algorithm>

#include "foundation/qclgraphDraw.h"
#include "winutil/UiUtils.h"
#include "winutil/WuCtrls.h"

namespace treskel {

namespace {

std::unique_ptr<TGlyphCache> cache;

}  // namespace

TGlyphCache* GlyphCache() {
    if (!cache) cache = std::make_unique<TGlyphCache>();
    return cache.get();
}

bool GlyphCacheExists() { return cache != nullptr; }

void FreeGlyphCacheIfEmpty() {
    if (cache && cache->Empty()) cache.reset();
}

// ---------------------------------------------------------------- TGlyphList

TGlyphList::TGlyphList(int width, int height)
    : width_(width), height_(height), handle_(ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4)) {
    if (!handle_) throw EOutOfResources("Out of system resources");
}

TGlyphList::~TGlyphList() = default;

int TGlyphList::TakeSlot() {
    auto free = std::find(used_.begin(), used_.end(), false);
    int index = static_cast<int>(free - used_.begin());
    if (free == used_.end()) {
        // No free slot: the list grows by one empty image.
        TBitmap blank;
        blank.SetSize(width_, height_);
        if (ImageList_Add(handle_.Get(), blank.Handle(), nullptr) < 0) throw EOutOfResources("Out of system resources");
        used_.push_back(false);
    }
    return index;
}

// The list keeps a mask (white where transparent) and an image that is
// black there; it copies both, which must not be selected anywhere then.
int TGlyphList::Store(TBitmap* black, TBitmap* mask) {
    int index = TakeSlot();
    static_cast<TBitmapCanvas*>(mask->Canvas())->FreeContext();
    static_cast<TBitmapCanvas*>(black->Canvas())->FreeContext();
    HBITMAP hImage = black->Handle(), hMask = mask->Handle();
    if (!ImageList_Replace(handle_.Get(), index, hImage, hMask)) throw EOutOfResources("Out of system resources");
    used_[static_cast<size_t>(index)] = true;
    ++count_;
    return index;
}

int TGlyphList::AddMasked(TBitmap* image, TColor maskColor) {
    TBitmap mask, black;
    QclMakeBitmapMasks(image, &mask, &black, maskColor);
    return Store(&black, &mask);
}

int TGlyphList::Add(TBitmap* image, TBitmap* mask) {
    const int w = width_, h = height_;
    TBitmap ownMask, black;
    ownMask.SetMonochrome(true);
    ownMask.SetSize(w, h);
    BitBlt(ownMask.Canvas()->Handle(), 0, 0, w, h, mask->Canvas()->Handle(), 0, 0, SRCCOPY);
    black.SetSize(w, h);
    HDC dc = black.Canvas()->Handle();
    BitBlt(dc, 0, 0, w, h, image->Canvas()->Handle(), 0, 0, SRCCOPY);
    // Black where the mask is white: a one-bit source's set bits take the
    // background colour.
    DCColours colours(dc, RGB(0, 0, 0), RGB(255, 255, 255));
    BitBlt(dc, 0, 0, w, h, ownMask.Canvas()->Handle(), 0, 0, SRCAND);
    return Store(&black, &ownMask);
}

void TGlyphList::Delete(int index) {
    if (index < 0 || index >= Capacity() || !used_[static_cast<size_t>(index)]) return;
    used_[static_cast<size_t>(index)] = false;
    --count_;
}

void TGlyphList::Draw(HDC dc, int index, int x, int y) const {
    ImageList_Draw(handle_.Get(), index, dc, x, y, ILD_NORMAL);
}

// ---------------------------------------------------------------- TGlyphCache

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (list == nullptr || list->Count() > 0) return;
    lists_.erase(std::remove_if(lists_.begin(), lists_.end(), [list](auto& l) { return l.get() == list; }),
                 lists_.end());
}

// ---------------------------------------------------------------- TWuButtonGlyph

TWuButtonGlyph::TWuButtonGlyph() : glyph_(std::make_unique<TBitmap>()) {
    GlyphCache();
    glyph_->OnChange = [this](TObject*) { GlyphChanged(); };
}

TWuButtonGlyph::~TWuButtonGlyph() {
    glyph_->OnChange = nullptr;
    glyph_.reset();
    InvalidateGlyphs();
    FreeGlyphCacheIfEmpty();
}

void TWuButtonGlyph::SetGlyph(TBitmap* glyph) {
    InvalidateGlyphs();
    glyph_->Assign(glyph);  // its change event does the rest
}

void TWuButtonGlyph::GlyphChanged() {
    InvalidateGlyphs();
    if (glyph_->Height() > 0) {
        transparentColor_ = glyph_->TransparentColor() & ~0x02000000;
        numGlyphs_ = WuNumGlyphsFor(glyph_->Width(), glyph_->Height(), numGlyphs_);
    }
    if (OnChange) OnChange(nullptr);
}

void TWuButtonGlyph::SetNumGlyphs(int n) {
    n = std::min(n, 5);
    if (n <= 0 || n == numGlyphs_) return;
    InvalidateGlyphs();
    numGlyphs_ = n;
}

void TWuButtonGlyph::InvalidateGlyphs() {
    if (list_ != nullptr) {
        for (int& i : indexes_) {
            if (i != -1) list_->Delete(i);
            i = -1;
        }
        if (cache) cache->ReturnList(list_);
    }
    for (int& i : indexes_) i = -1;
    list_ = nullptr;
}

TSize TWuButtonGlyph::GlyphSize() const {
    if (!glyph_ || glyph_->Empty() || glyph_->Width() == 0 || glyph_->Height() == 0) return {0, 0};
    return {glyph_->Width() / numGlyphs_, glyph_->Height()};
}

int TWuButtonGlyph::CreateGlyphImage(TGlyphState state) {
    if (state == TGlyphState::gsDown && numGlyphs_ < 3) state = TGlyphState::gsUp;
    int s = static_cast<int>(state);
    if (indexes_[s] != -1) return indexes_[s];
    if (glyph_->Empty() || glyph_->Width() == 0 || glyph_->Height() == 0) return -1;
    int w = glyph_->Width() / numGlyphs_, h = glyph_->Height();
    if (w <= 0) return -1;
    if (list_ == nullptr) list_ = GlyphCache()->GetList(w, h);
    int source = s < numGlyphs_ ? s : 0;
    TBitmap work;
    work.SetSize(w, h);
    TCanvas* c = work.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, w, h));
    auto copyImage = [&](int i) {
        c->CopyRect(Rect(0, 0, w, h), glyph_->Canvas(), Rect(i * w, 0, (i + 1) * w, h));
    };
    int index = -1;
    switch (state) {
        case TGlyphState::gsUp:
        case TGlyphState::gsDown:
        case TGlyphState::gsExclusive:
            copyImage(source);
            index = list_->AddMasked(&work, transparentColor_);
            break;
        case TGlyphState::gsDisabled:
            if (numGlyphs_ >= 2) {
                copyImage(1);
                index = list_->AddMasked(&work, transparentColor_);
            } else {
                std::unique_ptr<TBitmap> disabled = CreateDisabledBitmap(glyph_.get(), clBlack);
                index = list_->AddMasked(disabled.get(), clBtnFace);
            }
            break;
        case TGlyphState::gsInactive:
            if (numGlyphs_ == 5) {
                copyImage(4);
            } else {
                copyImage(0);
                // Every colour but the transparent one and the face turns grey.
                uint32_t face = ColorToRGB(clBtnFace), transparent = ColorToRGB(transparentColor_);
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        uint32_t p = static_cast<uint32_t>(c->Pixel(x, y));
                        uint32_t g = WuMapToGray(p, transparent, face);
                        if (g != p) c->SetPixel(x, y, static_cast<TColor>(g));
                    }
            }
            index = list_->AddMasked(&work, transparentColor_);
            break;
    }
    indexes_[s] = index;
    glyph_->Dormant();
    return index;
}

TSize TWuButtonGlyph::DrawGlyph(TCanvas* canvas, TPoint at, TGlyphState state) {
    int index = CreateGlyphImage(state);
    if (index < 0 || list_ == nullptr) return {0, 0};
    list_->Draw(canvas->Handle(), index, at.x, at.y);
    return {list_->Width(), list_->Height()};
}

void TWuButtonGlyph::DrawButtonText(TCanvas* canvas, const std::string& caption, const TRect& bounds,
                                    TGlyphState state) {
    if (caption.empty()) return;
    HDC dc = canvas->Handle();
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    UINT flags = alignment_ | DT_VCENTER | (wordWrap_ ? DT_WORDBREAK : 0);
    auto draw = [&](TRect r, TColor color) {
        SetTextColor(dc, ColorToRGB(color));
        RECT rc = ToRECT(r);
        DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &rc, flags);
    };
    if (state == TGlyphState::gsDisabled) {
        draw(OffsetRect(bounds, 1, 1), clBtnHighlight);
        draw(bounds, clBtnShadow);
    } else {
        draw(bounds, canvas->Font()->Color());
    }
    SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
}

void TWuButtonGlyph::DrawDropDownMark(TCanvas* canvas, int x, int y, TGlyphState state) {
    HDC dc = canvas->Handle();
    auto draw = [&](int dx, TColor color) {
        COLORREF c = ColorToRGB(color);
        for (const TWuPixelRow& row : WuDropDownMarkRows(x + dx, y + dx))
            for (int px = row.x1; px <= row.x2; ++px) SetPixel(dc, px, row.y, c);
    };
    if (state == TGlyphState::gsDisabled) {
        draw(1, clBtnHighlight);
        draw(0, clBtnShadow);
    } else {
        draw(0, clBtnText);
    }
}

TRect TWuButtonGlyph::DrawButton(TCanvas* canvas, const TRect& rect, const std::string& caption, TButtonLayout layout,
                                 int margin, int spacing, TGlyphState state, bool drawMark) {
    TSize glyph = GlyphSize();
    UINT measureFlags = DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0);
    HDC dc = canvas->Handle();
    std::string shown;
    TWuButtonGeometry g = WuCalcButtonLayout(
        {rect.Width(), rect.Height()}, rect.TopLeft(), glyph, caption, layout, margin, spacing, drawMark, wordWrap_,
        [canvas](const std::string& s) { return canvas->TextWidth(s); },
        [dc, measureFlags](const std::string& s, int width) {
            RECT r{0, 0, width, 0};
            DrawTextA(dc, s.c_str(), static_cast<int>(s.size()), &r, measureFlags);
            return TSize{r.right - r.left, r.bottom - r.top};
        },
        &shown);
    TSize drawn = DrawGlyph(canvas, g.glyphPos, state);
    DrawButtonText(canvas, shown, g.textBounds, state);
    if (drawMark) {
        TPoint p = WuDropDownMarkPos(g, drawn, rect, layout, !shown.empty());
        DrawDropDownMark(canvas, p.x, p.y, state);
    }
    return g.textBounds;
}

}  // namespace treskel

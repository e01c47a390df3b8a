// Image strips: equal images side by side in one bitmap, with a monochrome
// mask strip while the item is masked.
#include "foundation/qclcontWin.h"

#include "foundation/qclgraphDraw.h"
#include "foundation/qclprocs.h"

namespace treskel {

namespace {

constexpr int kMaxStrip = 32768;
constexpr TColor kUnset = static_cast<TColor>(0x1FFFFFFF);

[[noreturn]] void InvalidSize() { throw EInvalidGraphicOperation("Invalid image size"); }

void Blit(TBitmap* dst, int dx, int dy, int w, int h, TBitmap* src, int sx, int sy, DWORD rop = SRCCOPY) {
    BitBlt(dst->Canvas()->Handle(), dx, dy, w, h, src->Canvas()->Handle(), sx, sy, rop);
}

// A black (all-showing) monochrome bitmap of the given size.
void BlankMask(TBitmap* mask, int w, int h) {
    mask->SetHandle(nullptr);
    mask->SetMonochrome(true);
    mask->SetSize(w, h);
    PatBlt(mask->Canvas()->Handle(), 0, 0, w, h, BLACKNESS);
}

}  // namespace

TQclImageListItem::TQclImageListItem(TComponent* owner) : TQclListItem(owner) {}

TQclImageListItem::TQclImageListItem(TComponent* owner, int width, int height) : TQclListItem(owner) {
    if (width < 1 || height < 1) InvalidSize();
    width_ = width;
    height_ = height;
}

void TQclImageListItem::Reset() {
    image_.SetHandle(nullptr);
    mask_.SetHandle(nullptr);
    positions_.clear();
    Change();
}

void TQclImageListItem::SetWidth(int value) {
    if (value < 1 || value == width_) return;
    width_ = value;
    Reset();
}

void TQclImageListItem::SetHeight(int value) {
    if (value < 1 || value == height_) return;
    height_ = value;
    Reset();
}

void TQclImageListItem::SetMasked(bool value) {
    if (value == masked_) return;
    masked_ = value;
    if (masked_)
        BlankMask(&mask_, image_.Width(), image_.Height());
    else
        mask_.SetHandle(nullptr);
    for (Position& p : positions_) p.masked = masked_;
    Change();
}

void TQclImageListItem::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
}

TRect TQclImageListItem::GetImageRect(int index) const {
    CheckIndex(index);
    const int x = positions_[static_cast<size_t>(index)].x;
    return Rect(x, 0, x + width_, height_);
}

int TQclImageListItem::Reserve(int images) {
    const int first = Count();
    const int needed = (first + images) * width_;
    if (needed > kMaxStrip) throw EInvalidGraphicOperation("Too many images");
    if (needed > image_.Width()) {
        int grown = image_.Width();
        while (grown < needed) grown += allocBy_ * width_;
        grown = std::min(grown, kMaxStrip / width_ * width_);
        image_.SetSize(grown, height_);
        if (masked_) {
            TBitmap wider;
            BlankMask(&wider, grown, height_);
            if (!mask_.Empty()) Blit(&wider, 0, 0, mask_.Width(), height_, &mask_, 0, 0);
            mask_.Assign(&wider);
        }
    }
    for (int i = 0; i < images; ++i)
        positions_.push_back({static_cast<uint16_t>((first + i) * width_), static_cast<uint8_t>(masked_)});
    return first;
}

int TQclImageListItem::Add(TBitmap* image, TBitmap* mask) {
    if (image == nullptr && mask == nullptr) {
        const int at = Reserve(1);
        Change();
        return at;
    }
    if (image == nullptr || image->Height() != height_ || image->Width() < width_ || image->Width() % width_ != 0)
        return -1;
    const int at = Reserve(image->Width() / width_);
    Replace(at, image, mask);
    return at;
}

void TQclImageListItem::Replace(int index, TBitmap* image, TBitmap* mask) {
    CheckIndex(index);
    if (image == nullptr || image->Height() != height_ || image->Width() % width_ != 0) InvalidSize();
    const int images = std::min(image->Width() / width_, Count() - index);
    const int x = positions_[static_cast<size_t>(index)].x;
    Blit(&image_, x, 0, images * width_, height_, image, 0, 0);
    if (masked_) {
        if (mask != nullptr && !mask->Empty())
            Blit(&mask_, x, 0, images * width_, height_, mask, 0, 0);
        else
            PatBlt(mask_.Canvas()->Handle(), x, 0, images * width_, height_, BLACKNESS);
    }
    Change();
}

void TQclImageListItem::ReplaceMasked(int index, TBitmap* bitmap, TColor maskColor) {
    TBitmap mask, image;
    QclMakeBitmapMasks(bitmap, &mask, &image, maskColor);
    Replace(index, &image, &mask);
}

void TQclImageListItem::GetImage(int index, TBitmap* bitmap) {
    const TRect r = GetImageRect(index);
    bitmap->SetSize(width_, height_);
    Blit(bitmap, 0, 0, width_, height_, &image_, r.Left, 0);
}

TColor TQclImageListItem::TransparentColor(int index) {
    const TRect r = GetImageRect(index);
    return static_cast<TColor>(image_.Canvas()->Pixel(r.Left, height_ - 1) & 0xFFFFFF);
}

void TQclImageListItem::DrawMasked(HDC dc, int x, int y, int index) {
    const TRect r = GetImageRect(index);
    BitBlt(dc, x, y, width_, height_, mask_.Canvas()->Handle(), r.Left, 0, SRCAND);
    BitBlt(dc, x, y, width_, height_, image_.Canvas()->Handle(), r.Left, 0, SRCPAINT);
}

void TQclImageListItem::DitherImage(TBitmap* bitmap) {
    if (ditherColor_ == kUnset) return;
    TCanvas* c = bitmap->Canvas();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            const bool paint = drawMode_ == 1 ? ((x ^ y) & 1) != 0 : !((x & 1) && (y & 1));
            if (paint) c->SetPixel(x, y, ditherColor_);
        }
}

void TQclImageListItem::Draw(TCanvas* canvas, int x, int y, int index) {
    const TRect r = GetImageRect(index);
    HDC dc = canvas->Handle();
    const int oldMode = canvas->CopyMode();
    if (!masked_ || copyOnly_) {
        BitBlt(dc, x, y, width_, height_, image_.Canvas()->Handle(), r.Left, 0, SRCCOPY);
    } else if (drawMode_ == 3 || (drawMode_ == 2 && backColor_ == kUnset)) {
        DrawMasked(dc, x, y, index);
    } else {
        TBitmap temp;
        temp.SetSize(width_, height_);
        if (backColor_ != kUnset)
            QclFillBitmap(&temp, Rect(0, 0, width_, height_), backColor_);
        else
            BitBlt(temp.Canvas()->Handle(), 0, 0, width_, height_, dc, x, y, SRCCOPY);
        DrawMasked(temp.Canvas()->Handle(), 0, 0, index);
        if (drawMode_ <= 1) DitherImage(&temp);
        BitBlt(dc, x, y, width_, height_, temp.Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    canvas->SetCopyMode(oldMode);
}

void TQclImageListItem::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TQclImageListItem*>(source);
    if (s == nullptr) {
        TQclListItem::Assign(source);
        return;
    }
    if (s == this) return;
    const bool locked = UpdateLocked();
    BeginUpdate();
    AssignCommon(*s);
    pixelFormat_ = s->pixelFormat_;
    allocBy_ = s->allocBy_;
    drawMode_ = s->drawMode_;
    copyOnly_ = s->copyOnly_;
    backColor_ = s->backColor_;
    ditherColor_ = s->ditherColor_;
    width_ = s->width_;
    height_ = s->height_;
    masked_ = s->masked_;
    image_.SetHandle(nullptr);
    mask_.SetHandle(nullptr);
    positions_.clear();
    if (s->Count() > 0) {
        Reserve(s->Count());
        Blit(&image_, 0, 0, s->Count() * width_, height_, &s->image_, 0, 0);
        if (masked_) Blit(&mask_, 0, 0, s->Count() * width_, height_, &s->mask_, 0, 0);
    }
    if (!locked) EndUpdate(true);
}

uint8_t TQclImageListItem::GetFlags() const {
    return static_cast<uint8_t>((TQclListItem::GetFlags() & ~qclItemData) | QclPixelFormatFlag(pixelFormat_));
}

void TQclImageListItem::SaveData(TStream& stream) {
    WriteI32(stream, height_);
    WriteI32(stream, width_);
    WriteI32(stream, allocBy_);
    WriteU8(stream, masked_ ? 1 : 0);
    WriteI32(stream, Count());
    if (Count() == 0) return;
    QclWriteBitmap(stream, image_, Compressed(), QclPixelFormatColors(pixelFormat_));
    if (masked_) QclWriteBitmap(stream, mask_, Compressed(), 2);
}

namespace {

// The sizes and count of a strip, checked before any bitmap is made.
void CheckStrip(int width, int height, int count) {
    if (width < 1 || height < 1 || width > kMaxStrip || height > kMaxStrip || count < 0 ||
        static_cast<int64_t>(count) * width > kMaxStrip)
        throw EReadError("Stream read error");
}

}  // namespace

void TQclImageListItem::ReadStrips(TStream& stream, int count) {
    image_.SetHandle(nullptr);
    mask_.SetHandle(nullptr);
    positions_.clear();
    if (count == 0) return;
    QclReadBitmap(stream, image_, Compressed());
    if (masked_) QclReadBitmap(stream, mask_, Compressed());
    // The strips must hold every image the count promises.
    if (image_.Height() != height_ || image_.Width() < count * width_ ||
        (masked_ && (mask_.Height() != height_ || mask_.Width() < count * width_))) {
        image_.SetHandle(nullptr);
        mask_.SetHandle(nullptr);
        throw EReadError("Stream read error");
    }
    for (int i = 0; i < count; ++i) positions_.push_back({static_cast<uint16_t>(i * width_), static_cast<uint8_t>(masked_)});
}

void TQclImageListItem::ReadOldBitmap(TStream& stream) {
    const bool locked = UpdateLocked();
    BeginUpdate();
    try {
        const int count = ReadI32(stream);
        CheckStrip(width_, height_, count);
        ReadStrips(stream, count);
    } catch (...) {
        if (!locked) EndUpdate(false);
        throw;
    }
    if (!locked) EndUpdate(true);
}

void TQclImageListItem::LoadData(TStream& stream, uint8_t flags) {
    pixelFormat_ = (flags & qclItemMono)   ? TQclSavePixelFormat::spfMono
                   : (flags & qclItem4bit) ? TQclSavePixelFormat::spf4bit
                   : (flags & qclItem8bit) ? TQclSavePixelFormat::spf8bit
                                           : TQclSavePixelFormat::spfDefault;
    const int height = ReadI32(stream), width = ReadI32(stream), allocBy = ReadI32(stream);
    const bool masked = ReadU8(stream) != 0;
    const int count = ReadI32(stream);
    CheckStrip(width, height, count);
    width_ = width;
    height_ = height;
    allocBy_ = allocBy < 1 ? 1 : allocBy;
    masked_ = masked;
    ReadStrips(stream, count);
}

}  // namespace treskel

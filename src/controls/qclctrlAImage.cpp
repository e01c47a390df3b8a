#include "controls/qclctrlAImage.h"

#include <algorithm>
#include <vector>

#include "foundation/qclgraphDraw.h"
#include "foundation/qclutils.h"
#include "platform/FormLoader.h"
#include "platform/Handles.h"
#include "platform/Register.h"

namespace treskel {

// ------------------------------------------------------------ TQclBaseImage

TQclBaseImage::TQclBaseImage(TComponent* owner) : TQclGraphicControl(owner) {}

void TQclBaseImage::SetQuickDraw(bool v) {
    if (v == quickDraw_) return;
    quickDraw_ = v;
    Invalidate();
}

void TQclBaseImage::SetStyle(TQclBitmapStyle v) {
    if (v == style_) return;
    style_ = v;
    if (!AutoSizeAdjust()) Invalidate();
}

// ------------------------------------------------------------ TQclCustomNImage

TQclCustomNImage::TQclCustomNImage(TComponent* owner)
    : TQclBaseImage(owner), transparentStyle_(std::make_unique<TQclTransparent>()) {
    SetParentColor(true);
    transparentStyle_->OnChange = [this](TObject* s) { ObjectChanged(s); };
}

TQclCustomNImage::~TQclCustomNImage() { transparentStyle_->OnChange = nullptr; }

void TQclCustomNImage::ObjectChanged(TObject* sender) {
    if (sender == Bevel() && AutoSizeAdjust()) return;
    TQclBaseImage::ObjectChanged(sender);
}

bool TQclCustomNImage::GetEmpty() {
    TBitmap* b = GetActiveBitmap();
    return (b == nullptr || b->Empty()) && !ControlState().Contains(TControlStateItem::csPaintCopy);
}

uint16_t TQclCustomNImage::GetDrawFlags() {
    return QclImageDrawFlags(Style(), Bevel()->TotalWidth() > 0);
}

TRect TQclCustomNImage::PictureRect() {
    TBitmap* b = GetActiveBitmap();
    if (GetEmpty() || b == nullptr) return {};
    return QclPlaceBitmap(Bevel()->GetClientRect(ClientRect()), b->Width(), b->Height(), GetDrawFlags()).drawnRect;
}

bool TQclCustomNImage::AutoSizeAdjust() {
    if (Style() != TQclBitmapStyle::sbAutosize) return false;
    TBitmap* b = GetActiveBitmap();
    const bool empty = b == nullptr || b->Empty();
    TSize want = QclImageAutoSize(empty ? 0 : b->Width(), empty ? 0 : b->Height(), empty, Bevel()->TotalWidth());
    if (want.cx == Width() && want.cy == Height()) return false;
    SetBounds(Left(), Top(), want.cx, want.cy);
    return true;
}

void TQclCustomNImage::Paint() {
    if (Loading() || AutoSizeAdjust()) return;
    TCanvas* canvas = Canvas();
    const TRect client = ClientRect();
    if (Transparent()) {
        if (GetEmpty() && Bevel()->TotalWidth() == 0) {
            TQclBaseGraphicControl::Paint();
            return;
        }
    } else {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas->Brush()->SetColor(Color());
        canvas->Pen()->SetStyle(TPenStyle::psClear);
        canvas->FillRect(client);
    }
    TRect inner;
    Bevel()->PaintBevel(canvas, client, Transparent(), inner);
    if (GetEmpty()) return;
    TBitmap* bitmap = GetActiveBitmap();
    if (bitmap == nullptr) return;  // a copy being painted without a picture
    uint16_t flags = GetDrawFlags();
    TColor color = clNone;
    switch (transparentStyle_->Mode()) {
        case TQclTransparentMode::tpRestoreBack:
            flags |= qclBmpMaskFromColor;
            color = bitmap->TransparentColor();
            break;
        case TQclTransparentMode::tpTransparentColor:
            flags |= qclBmpBrushCopy;
            color = transparentStyle_->Color();
            break;
        case TQclTransparentMode::tpRBTranspColor:
            flags |= qclBmpMaskFromColor;
            color = transparentStyle_->Color();
            break;
        case TQclTransparentMode::tpNone: break;
    }
    GdiHandle<HPALETTE> palette;
    if (!QuickDraw()) QclBitmapPalette(bitmap, palette);
    PaletteGuard selected(canvas->Handle(), palette.Get(), true);
    // Where the control lies in its parent; negative coordinates survive.
    QclDrawBitmap(canvas, inner, bitmap, flags, QclPackPoint(Left(), Top()), color);
}

// ------------------------------------------------------------ TQclNImage

namespace {
// The images that show another image's bitmap, by the image they show.
std::vector<std::pair<TQclNImage*, TQclNImage*>>& Viewers() {
    static std::vector<std::pair<TQclNImage*, TQclNImage*>> v;
    return v;
}
}  // namespace

TQclNImage::TQclNImage(TComponent* owner) : TQclCustomNImage(owner), bitmap_(std::make_unique<TBitmap>()) {
    bitmap_->OnChange = [this](TObject*) { BitmapChanged(); };
}

TQclNImage::~TQclNImage() {
    bitmap_->OnChange = nullptr;
    std::erase_if(Viewers(), [this](const auto& v) { return v.first == this || v.second == this; });
}

void TQclNImage::SetBitmap(TBitmap* v) {
    bitmap_->Assign(v);
    BitmapChanged();
}

void TQclNImage::BitmapChanged() {
    if (!AutoSizeAdjust()) Invalidate();
    // Images that show this one follow it.
    for (const auto& [viewer, shown] : Viewers())
        if (shown == this && !viewer->AutoSizeAdjust()) viewer->Invalidate();
}

void TQclNImage::SetControl(TQclCustomNImage* v) {
    if (v == this || v == control_) return;
    std::erase_if(Viewers(), [this](const auto& p) { return p.first == this; });
    if (control_ != nullptr) control_->RemoveFreeNotification(this);
    control_ = v;
    if (v != nullptr) {
        v->FreeNotification(this);
        if (auto* image = dynamic_cast<TQclNImage*>(v)) Viewers().push_back({this, image});
    }
    if (!AutoSizeAdjust()) Invalidate();
}

TBitmap* TQclNImage::GetActiveBitmap() {
    if (control_ == nullptr || resolving_) return bitmap_.get();
    resolving_ = true;
    TBitmap* b = control_->GetActiveBitmap();
    resolving_ = false;
    return b;
}

void TQclNImage::Notification(TComponent* component, TOperation operation) {
    TQclCustomNImage::Notification(component, operation);
    if (operation == TOperation::opRemove && component == control_) {
        control_ = nullptr;
        std::erase_if(Viewers(), [this](const auto& p) { return p.first == this; });
        Invalidate();
    }
}

// ------------------------------------------------------------ registration

void RegisterImageClasses() {
    PublishClass<TQclBaseImage, TQclBaseControl>().NotCreatable().Custom("About", QclIgnoreAbout);
    using I = TQclCustomNImage;
    PublishClass<I, TQclBaseImage> image;
    PublishConstraints(image);
    PublishDockClient(image);
    OwnColor(image);
    image.NotCreatable()
        .Object("Bevel", &I::Bevel)
        .Bool("QuickDraw", &I::QuickDraw, &I::SetQuickDraw, true)
        .Enum<TQclBitmapStyle>("Style", &I::Style, &I::SetStyle, TQclBitmapStyle::sbNone)
        .Object("TransparentStyle", &I::TransparentStyle)
        .Bool("Transparent", &I::Transparent, &I::SetTransparent, true);
    PublishClass<TQclNImage, I>()
        .Object("Bitmap", &TQclNImage::Bitmap)
        .Ref<TQclCustomNImage>("Control", &TQclNImage::Control, &TQclNImage::SetControl);
}

}  // namespace treskel

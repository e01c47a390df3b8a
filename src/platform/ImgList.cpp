#include "platform/ImgList.h"

#include <algorithm>

#include "platform/DibBitmap.h"
#include "platform/FormLoader.h"
#include "platform/TypInfo.h"

namespace treskel {

namespace {

GdiHandle<HBITMAP> NewDib(int width, int height) {
    GdiHandle<HBITMAP> bmp = NewDibSection(width, -height, 24);
    if (!bmp) throw EOutOfResources("Out of system resources");
    return bmp;
}

// A copy of a bitmap that no device context holds: the system list needs
// one, and the caller's bitmap may sit in its canvas.
GdiHandle<HBITMAP> CopyColour(TBitmap* src) {
    GdiHandle<HBITMAP> copy = NewDib(src->Width(), src->Height());
    MemoryDC dc;
    SelectGuard g(dc.Get(), copy.Get());
    BitBlt(dc.Get(), 0, 0, src->Width(), src->Height(), src->Canvas()->Handle(), 0, 0, SRCCOPY);
    return copy;
}

// A monochrome copy: pixels of the source's white become 1 (transparent).
GdiHandle<HBITMAP> CopyMono(TBitmap* src) {
    GdiHandle<HBITMAP> copy(CreateBitmap(src->Width(), src->Height(), 1, 1, nullptr));
    if (!copy) throw EOutOfResources("Out of system resources");
    MemoryDC dc;
    SelectGuard g(dc.Get(), copy.Get());
    HDC srcDC = src->Canvas()->Handle();
    COLORREF oldBk = ::SetBkColor(srcDC, RGB(255, 255, 255));
    BitBlt(dc.Get(), 0, 0, src->Width(), src->Height(), srcDC, 0, 0, SRCCOPY);
    ::SetBkColor(srcDC, oldBk);
    return copy;
}

// PSDPxax: the brush where the monochrome source is 0, the destination
// where it is 1.
constexpr DWORD kRopBrushThroughMask = 0x00B8074A;

}  // namespace

// ------------------------------------------------------------ TChangeLink

TChangeLink::~TChangeLink() {
    if (sender_ != nullptr) sender_->UnRegisterChanges(this);
}

void TChangeLink::SetSender(TCustomImageList* list) {
    if (list == sender_) return;
    if (sender_ != nullptr) sender_->UnRegisterChanges(this);
    if (list != nullptr) list->RegisterChanges(this);
}

// ------------------------------------------------------------ TCustomImageList

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* l : links_) l->sender_ = nullptr;
    links_.clear();
    DestroyList();
}

void TCustomImageList::DestroyList() {
    handle_.Reset();
}

HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) {
        handle_.Reset(ImageList_Create(width_, height_, ILC_COLOR24 | (masked_ ? ILC_MASK : 0), 4, 4));
        if (!handle_) throw EOutOfResources("Out of system resources");
        ImageList_SetBkColor(handle_.Get(), bkColor_ == clNone ? CLR_NONE : ColorToRGB(bkColor_));
    }
    return handle_.Get();
}

void TCustomImageList::Recreate() {
    bool had = handle_ && ImageList_GetImageCount(handle_.Get()) > 0;
    DestroyList();
    if (had || !IsLoading()) Change();
}

void TCustomImageList::SetWidth(int width) { SetSize(width, height_); }
void TCustomImageList::SetHeight(int height) { SetSize(width_, height); }

void TCustomImageList::SetSize(int width, int height) {
    if (width < 1 || height < 1) throw EInvalidGraphicOperation("Invalid image size");
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    Recreate();
}

void TCustomImageList::SetMasked(bool masked) {
    if (masked == masked_) return;
    masked_ = masked;
    Recreate();
}

void TCustomImageList::SetBkColor(TColor color) {
    if (color == bkColor_) return;
    bkColor_ = color;
    if (handle_) ImageList_SetBkColor(handle_.Get(), color == clNone ? CLR_NONE : ColorToRGB(color));
    Change();
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_.Get()) : 0; }

void TCustomImageList::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) throw EInvalidOperation(Format("Invalid image list index (%d)", index));
}

int TCustomImageList::AddCopies(HBITMAP image, HBITMAP mask) {
    int index = ImageList_Add(Handle(), image, mask);
    if (index < 0) throw EInvalidOperation("Failed to add the image to the image list");
    Change();
    return index;
}

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (image == nullptr || image->Empty()) throw EInvalidGraphicOperation("Invalid image size");
    if (image->Height() != height_ || image->Width() % width_ != 0)
        throw EInvalidGraphicOperation("Invalid image size");
    if (mask != nullptr && (mask->Width() != image->Width() || mask->Height() != image->Height()))
        throw EInvalidGraphicOperation("Invalid image size");
    GdiHandle<HBITMAP> colour = CopyColour(image);
    GdiHandle<HBITMAP> mono;
    if (mask != nullptr && masked_) mono = CopyMono(mask);
    return AddCopies(colour.Get(), mono.Get());
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (image == nullptr || image->Empty()) throw EInvalidGraphicOperation("Invalid image size");
    if (image->Height() != height_ || image->Width() % width_ != 0)
        throw EInvalidGraphicOperation("Invalid image size");
    GdiHandle<HBITMAP> colour = CopyColour(image);
    if (!masked_) return AddCopies(colour.Get(), nullptr);
    int index = ImageList_AddMasked(Handle(), colour.Get(), ColorToRGB(maskColor));
    if (index < 0) throw EInvalidOperation("Failed to add the image to the image list");
    Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
    if (icon == nullptr || icon->Empty()) throw EInvalidGraphicOperation("Invalid image size");
    int index = ImageList_ReplaceIcon(Handle(), -1, icon->Handle());
    if (index < 0) throw EInvalidOperation("Failed to add the icon to the image list");
    Change();
    return index;
}

void TCustomImageList::Delete(int index) {
    CheckIndex(index);
    ImageList_Remove(handle_.Get(), index);
    Change();
}

void TCustomImageList::Clear() {
    if (!handle_ || ImageList_GetImageCount(handle_.Get()) == 0) return;
    ImageList_Remove(handle_.Get(), -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    if (index < 0 || index >= Count()) return;
    HDC dc = canvas->Handle();
    if (enabled) {
        ImageList_Draw(handle_.Get(), index, dc, x, y, masked_ && bkColor_ == clNone ? ILD_TRANSPARENT : ILD_NORMAL);
        return;
    }
    // The shape: every pixel the image covers that is not white.
    GdiHandle<HBITMAP> colour = NewDib(width_, height_);
    GdiHandle<HBITMAP> shape(CreateBitmap(width_, height_, 1, 1, nullptr));
    if (!shape) throw EOutOfResources("Out of system resources");
    {
        MemoryDC cdc;
        SelectGuard gc(cdc.Get(), colour.Get());
        PatBlt(cdc.Get(), 0, 0, width_, height_, WHITENESS);
        ImageList_Draw(handle_.Get(), index, cdc.Get(), 0, 0, ILD_TRANSPARENT);
        MemoryDC mdc;
        SelectGuard gm(mdc.Get(), shape.Get());
        ::SetBkColor(cdc.Get(), RGB(255, 255, 255));
        BitBlt(mdc.Get(), 0, 0, width_, height_, cdc.Get(), 0, 0, SRCCOPY);
    }
    MemoryDC mdc;
    SelectGuard gm(mdc.Get(), shape.Get());
    DCColours colours(dc, RGB(255, 255, 255), RGB(0, 0, 0));
    GdiHandle<HBRUSH> light(CreateSolidBrush(ColorToRGB(clBtnHighlight)));
    GdiHandle<HBRUSH> dark(CreateSolidBrush(ColorToRGB(clBtnShadow)));
    {
        SelectGuard gb(dc, light.Get());
        BitBlt(dc, x + 1, y + 1, width_, height_, mdc.Get(), 0, 0, kRopBrushThroughMask);
    }
    {
        SelectGuard gb(dc, dark.Get());
        BitBlt(dc, x, y, width_, height_, mdc.Get(), 0, 0, kRopBrushThroughMask);
    }
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
    CheckIndex(index);
    image->SetSize(width_, height_);
    TCanvas* c = image->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(bkColor_ == clNone ? clWhite : bkColor_);
    c->FillRect(Rect(0, 0, width_, height_));
    ImageList_Draw(handle_.Get(), index, c->Handle(), 0, 0, ILD_TRANSPARENT);
}

void TCustomImageList::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    GdiHandle<HBITMAP> strip(
        static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip) throw EResNotFound(Format("Resource %s not found", name.c_str()));
    BITMAP bm{};
    GetObjectA(strip.Get(), sizeof bm, &bm);
    if (bm.bmHeight != height_ || bm.bmWidth % width_ != 0)
        throw EInvalidGraphicOperation(Format("Invalid image size: bitmap %s is %dx%d, images are %dx%d",
                                              name.c_str(), static_cast<int>(bm.bmWidth),
                                              static_cast<int>(bm.bmHeight), width_, height_));
    Clear();
    int added;
    if (masked_) {
        COLORREF transparent;
        {
            MemoryDC dc;
            SelectGuard g(dc.Get(), strip.Get());
            transparent = GetPixel(dc.Get(), 0, bm.bmHeight - 1);
        }
        added = ImageList_AddMasked(Handle(), strip.Get(), transparent);
    } else {
        added = ImageList_Add(Handle(), strip.Get(), nullptr);
    }
    if (added < 0) throw EInvalidOperation(Format("Failed to load bitmap %s into the image list", name.c_str()));
    Change();
}

void TCustomImageList::SetBitmapResource(const std::string& name) {
    bitmapResource_ = name;
    if (!IsLoading() && !name.empty()) LoadFromResourceName(GetModuleHandleA(nullptr), name);
}

void TCustomImageList::Loaded() {
    TComponent::Loaded();
    if (!bitmapResource_.empty()) LoadFromResourceName(GetModuleHandleA(nullptr), bitmapResource_);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
    if (link->sender_ == this) return;
    if (link->sender_ != nullptr) link->sender_->UnRegisterChanges(link);
    link->sender_ = this;
    links_.push_back(link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
    if (link->sender_ == this) link->sender_ = nullptr;
}

void TCustomImageList::Change() {
    // Copy: a user may leave the list from its handler.
    std::vector<TChangeLink*> links = links_;
    for (TChangeLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end() && l->OnChange) l->OnChange(this);
    if (OnChange) OnChange(this);
}

// ------------------------------------------------------------ TDragImageList

TDragImageList::~TDragImageList() { EndDrag(); }

void TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
    dragIndex_ = index;
    hotSpot_ = TPoint{hotSpotX, hotSpotY};
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
    if (dragging_ || window == nullptr || dragIndex_ < 0 || dragIndex_ >= Count()) return false;
    if (!ImageList_BeginDrag(Handle(), dragIndex_, hotSpot_.x, hotSpot_.y)) return false;
    dragging_ = true;
    window_ = window;
    const TPoint at = InWindow(x, y);
    if (!ImageList_DragEnter(window_, at.x, at.y)) {
        EndDrag();
        return false;
    }
    shown_ = true;
    return true;
}

TPoint TDragImageList::InWindow(int x, int y) const {
    RECT r{};
    GetWindowRect(window_, &r);
    return TPoint{x - r.left, y - r.top};
}

bool TDragImageList::DragMove(int x, int y) {
    if (!dragging_) return false;
    const TPoint at = InWindow(x, y);
    return ImageList_DragMove(at.x, at.y);
}

// The system's call toggles: it is made only when the state changes.
void TDragImageList::HideDragImage() {
    if (!dragging_ || !shown_) return;
    ImageList_DragShowNolock(FALSE);
    shown_ = false;
}

void TDragImageList::ShowDragImage() {
    if (!dragging_ || shown_) return;
    ImageList_DragShowNolock(TRUE);
    shown_ = true;
}

void TDragImageList::EndDrag() {
    if (!dragging_) return;
    dragging_ = false;
    shown_ = false;
    ImageList_DragLeave(window_);
    ImageList_EndDrag();
    window_ = nullptr;
}

void RegisterImageListClasses() {
    PublishClass<TCustomImageList, TComponent>()
        .NotCreatable()
        .Int("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth, 16)
        .Int("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight, 16)
        .Bool("Masked", &TCustomImageList::Masked, &TCustomImageList::SetMasked, true)
        .Int("BkColor", &TCustomImageList::BkColor, &TCustomImageList::SetBkColor, clNone, &ColorIdents())
        .String("Bitmap", &TCustomImageList::BitmapResource, &TCustomImageList::SetBitmapResource)
        .Event("OnChange", &TCustomImageList::OnChange);
    PublishClass<TImageList, TCustomImageList>();
}

}  // namespace treskel

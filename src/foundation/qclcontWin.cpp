#include "foundation/qclcontWin.h"

#include "foundation/qclgraphDraw.h"
#include "foundation/qclprocs.h"
#include "foundation/qclutils.h"
#include "platform/SysUtils.h"
#include "platform/TypInfo.h"

namespace treskel {

int QclPixelFormatColors(TQclSavePixelFormat format) {
    switch (format) {
    case TQclSavePixelFormat::spfMono: return 2;
    case TQclSavePixelFormat::spf4bit: return 16;
    case TQclSavePixelFormat::spf8bit: return 256;
    default: return -1;
    }
}

namespace {

uint8_t FormatFlag(TQclSavePixelFormat f) {
    switch (f) {
    case TQclSavePixelFormat::spfMono: return qclItemMono;
    case TQclSavePixelFormat::spf4bit: return qclItem4bit;
    case TQclSavePixelFormat::spf8bit: return qclItem8bit;
    default: return 0;
    }
}

}  // namespace

uint8_t QclPixelFormatFlag(TQclSavePixelFormat f) { return FormatFlag(f); }

namespace {

TQclSavePixelFormat FormatOf(uint8_t flags) {
    if (flags & qclItemMono) return TQclSavePixelFormat::spfMono;
    if (flags & qclItem4bit) return TQclSavePixelFormat::spf4bit;
    if (flags & qclItem8bit) return TQclSavePixelFormat::spf8bit;
    return TQclSavePixelFormat::spfDefault;
}

}  // namespace

// ---------------------------------------------------------------- bitmap items

TQclBitmapListItem::TQclBitmapListItem(TComponent* owner) : TQclListItem(owner) {
    bitmap_.OnChange = [this](TObject*) { Change(); };
}

void TQclBitmapListItem::SetPixelFormat(TQclSavePixelFormat value) {
    if (value == pixelFormat_) return;
    pixelFormat_ = value;
    Change();
}

uint8_t TQclBitmapListItem::GetFlags() const {
    return static_cast<uint8_t>(TQclListItem::GetFlags() | FormatFlag(pixelFormat_));
}

void TQclBitmapListItem::SaveData(TStream& stream) {
    if (!IsEmpty()) QclWriteBitmap(stream, bitmap_, Compressed(), QclPixelFormatColors(pixelFormat_));
}

void TQclBitmapListItem::LoadData(TStream& stream, uint8_t flags) {
    pixelFormat_ = FormatOf(flags);
    if (flags & qclItemData) QclReadBitmap(stream, bitmap_, Compressed());
}

void TQclBitmapListItem::Assign(TPersistent* source) {
    if (!AssignSame<TQclBitmapListItem>(source, [this](TQclBitmapListItem& s) {
            pixelFormat_ = s.pixelFormat_;
            bitmap_.Assign(&s.bitmap_);
        }))
        TQclListItem::Assign(source);
}

TBitmap* TQclBitmapListItem::Bitmap() {
    const auto state = ComponentState();
    if (bitmap_.Empty() && !state.Contains(TComponentStateItem::csDesigning) &&
        !state.Contains(TComponentStateItem::csLoading))
        Fetch();
    return &bitmap_;
}

void TQclBitmapListItem::Fetch() {
    TQclCustomContainer* c = Container();
    if (c == nullptr) return;
    const bool locked = UpdateLocked();
    BeginUpdate();
    try {
        const std::string dir = c->PathPrefix() == TQclPathPrefix::ppFixed ? ExtractFilePath(c->FileName())
                                                                            : QclGetPathPrefix(c->PathPrefix(), true);
        switch (c->StorageMode()) {
        case 1: QclLoadBitmapFromContainer(QclGetPathPrefix(c->PathPrefix(), true) + c->FileName(), Ident(), &bitmap_); break;
        case 2: bitmap_.LoadFromResourceID(GetModuleHandleA(nullptr), Ident()); break;
        // Mode 3 would load a library named by stored data, only to free
        // it again: refused, the bitmap stays empty.
        case 4: {
            const std::string name = ExtractFileName(c->FileName()).substr(0, 3);
            bitmap_.LoadFromFile(dir + name + std::to_string(Ident()) + ".bmp");
            break;
        }
        default: break;
        }
    } catch (const Exception&) {
        // A source that is missing or damaged leaves the bitmap empty.
        bitmap_.SetHandle(nullptr);
    }
    if (!locked) EndUpdate(false);
}

bool QclLoadBitmapFromContainer(const std::string& fileName, int index, TBitmap* bitmap) {
    TQclBitmapListItem item(nullptr);
    if (!QclLoadContainerItem(fileName, ckBitmapList, nullptr, item, index)) return false;
    bitmap->Assign(item.Bitmap());
    return true;
}

// ---------------------------------------------------------------- image-list interface

void TQclCustomImageList::AssignSettings(const TQclCustomContainer& source) {
    const auto& s = static_cast<const TQclCustomImageList&>(source);
    defaultCompressed_ = s.defaultCompressed_;
    defaultPixelFormat_ = s.defaultPixelFormat_;
}

TCanvas* TQclCustomImageList::ItemCanvas(int item) {
    TBitmap* b = ItemBitmap(item);
    return b != nullptr ? b->Canvas() : nullptr;
}

int TQclCustomImageList::ImageSize(int item, int selector) {
    if (!IsValid(item, 0)) return 0;
    const TRect r = ImageRect(item, 0);
    return selector == 0 ? r.Width() : r.Height();
}

HBITMAP TQclCustomImageList::ItemHandle(int item) {
    TBitmap* b = ItemBitmap(item);
    return b != nullptr ? b->Handle() : nullptr;
}

TColor TQclCustomImageList::TransparentColor(int item, int image) {
    if (!IsValid(item, image)) return static_cast<TColor>(0xFFFFFF);
    const TRect r = ImageRect(item, image);
    return static_cast<TColor>(ItemCanvas(item)->Pixel(r.Left, r.Bottom - 1) & 0xFFFFFF);
}

TColor TQclCustomImageList::Pixel(int item, int image, int x, int y) {
    if (!IsValid(item, image)) return static_cast<TColor>(0xFFFFFF);
    const TRect r = ImageRect(item, image);
    return ItemCanvas(item)->Pixel(r.Left + x, r.Top + y);
}

void TQclCustomImageList::DrawRect(TCanvas* canvas, const TRect& rect, int item, int image, uint16_t flags,
                                   TRect* drawnOut) {
    DrawState(canvas, rect, item, image, flags, TransparentColor(item, image), drawnOut);
}

void TQclCustomImageList::DrawState(TCanvas* canvas, const TRect& rect, int item, int image, uint16_t flags,
                                    TColor color, TRect* drawnOut) {
    if (!IsValid(item, image)) return;
    TRect drawn;
    TPersistent* mask = nullptr;
    if (ImageMasked(item)) {
        flags |= qclBmpMaskCanvas;
        mask = ItemMask(item)->Canvas();
    } else {
        flags |= qclBmpMaskFromColor;
        color = static_cast<TColor>(static_cast<uint32_t>(color) | 0x02000000);
    }
    QclDrawBitmapExt(canvas, rect, ItemCanvas(item), ImageRect(item, image), flags, color, nullptr, mask, drawn);
    if (drawnOut != nullptr) *drawnOut = drawn;
}

void TQclCustomImageList::Draw(TCanvas* canvas, int x, int y, int item, int image) {
    if (!IsValid(item, image)) return;
    const TRect r = ImageRect(item, image);
    DrawState(canvas, Rect(x, y, x + r.Width(), y + r.Height()), item, image, 0, TransparentColor(item, image));
}

void TQclCustomImageList::CopyImage(int item, int image, TBitmap* bitmap) {
    if (!IsValid(item, image) || bitmap == nullptr) return;
    const TRect r = ImageRect(item, image);
    bitmap->SetSize(r.Width(), r.Height());
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, r.Width(), r.Height(), ItemCanvas(item)->Handle(), r.Left, r.Top,
           SRCCOPY);
}

TBitmap* TQclBitmapList::ItemBitmap(int item) {
    return item >= 0 && item < Count() ? Items(item)->Bitmap() : nullptr;
}

TRect TQclBitmapList::ImageRect(int item, int) {
    TBitmap* b = ItemBitmap(item);
    return b != nullptr ? Rect(0, 0, b->Width(), b->Height()) : Rect(0, 0, 0, 0);
}

bool TQclBitmapList::IsValid(int item, int image) {
    TBitmap* b = ItemBitmap(item);
    return image == 0 && b != nullptr && !b->Empty();
}

TBitmap* TQclImageList::ItemBitmap(int item) {
    return item >= 0 && item < Count() ? Items(item)->GetBitmap() : nullptr;
}

TRect TQclImageList::ImageRect(int item, int image) {
    return IsValid(item, image) ? Items(item)->GetImageRect(image) : Rect(0, 0, 0, 0);
}

bool TQclImageList::IsValid(int item, int image) {
    return item >= 0 && item < Count() && image >= 0 && image < Items(item)->Count();
}

bool TQclImageList::ImageMasked(int item) { return item >= 0 && item < Count() && Items(item)->Masked(); }

TBitmap* TQclImageList::ItemMask(int item) {
    return item >= 0 && item < Count() ? Items(item)->GetMaskBitmap() : nullptr;
}

int TQclImageList::ImageCount(int item) { return item >= 0 && item < Count() ? Items(item)->Count() : 0; }

// ---------------------------------------------------------------- the container of four lists

TQclContainer::TQclContainer(TComponent* owner)
    : TQclBaseContainer(owner),
      bitmaps_(new TQclBitmapList(this)),
      images_(new TQclImageList(this)),
      waves_(new TQclWaveList(this)),
      strings_(new TQclStringList(this)) {
    for (TQclCustomContainer* list : {static_cast<TQclCustomContainer*>(bitmaps_),
                                      static_cast<TQclCustomContainer*>(images_),
                                      static_cast<TQclCustomContainer*>(waves_),
                                      static_cast<TQclCustomContainer*>(strings_)})
        list->OnChange = [this](TObject* sender) { Changed(sender); };
}

void TQclContainer::Changed(TObject* sender) {
    TQclContainer* global = QclGlobalContainer();
    if (ComponentState().Contains(TComponentStateItem::csDesigning) && this != global) {
        // What the designer puts here is what every form may point to.
        if (sender == bitmaps_) global->Bitmaps()->Assign(bitmaps_);
        if (sender == images_) global->Images()->Assign(images_);
        if (sender == waves_) global->Waves()->Assign(waves_);
        if (sender == strings_) global->Strings()->Assign(strings_);
    }
    Change();
}

void TQclContainer::AdoptItem(TQclListItem* item) {
    for (TQclCustomContainer* list : {static_cast<TQclCustomContainer*>(bitmaps_),
                                      static_cast<TQclCustomContainer*>(images_),
                                      static_cast<TQclCustomContainer*>(waves_),
                                      static_cast<TQclCustomContainer*>(strings_)})
        if (list->Accepts(item)) {
            list->AdoptItem(item);
            return;
        }
    TQclBaseContainer::AdoptItem(item);
}

void TQclContainer::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    bitmaps_->GetChildren(proc, root);
    images_->GetChildren(proc, root);
    waves_->GetChildren(proc, root);
    strings_->GetChildren(proc, root);
}

TQclContainer* QclGlobalContainer() {
    static std::unique_ptr<TQclContainer, ComponentDeleter> global(new TQclContainer(nullptr));
    return global.get();
}

std::string QclWriteGlobalListRef(const TQclCustomImageList* list) {
    if (list == nullptr) return {};
    if (list == QclGlobalContainer()->Bitmaps()) return QclContainerSignature(ckBitmapList);
    if (list == QclGlobalContainer()->Images()) return QclContainerSignature(ckImageList);
    return {};
}

TQclCustomImageList* QclReadGlobalListRef(const std::string& text) {
    if (text == QclContainerSignature(ckBitmapList)) return QclGlobalContainer()->Bitmaps();
    if (text == QclContainerSignature(ckImageList)) return QclGlobalContainer()->Images();
    return nullptr;
}

bool QclIsGlobalList(const TQclCustomImageList* list) { return !QclWriteGlobalListRef(list).empty(); }

// ---------------------------------------------------------------- layouts

void RegisterPictureContainerClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterContainerClasses();
    using I = TQclCustomImageList;
    PublishClass<I, TQclCustomContainer>()
        .NotCreatable()
        .Bool("DefaultCompressed", &I::DefaultCompressed, &I::SetDefaultCompressed)
        .Enum<TQclSavePixelFormat>("DefaultPixelFormat", &I::DefaultPixelFormat, &I::SetDefaultPixelFormat,
                                   TQclSavePixelFormat::spfDefault);
    PublishClass<TQclBitmapList, I>();
    PublishClass<TQclImageList, I>();
    PublishClass<TQclBitmapListItem, TQclListItem>();
    // Older layouts kept the strip apart from its sizes: "Width", "Height",
    // "Masked" and "AllocBy", then "Bitmap".  All are read, none written:
    // "Internal" holds them now.
    using M = TQclImageListItem;
    auto intProp = [](void (M::*set)(int)) {
        return [set](M* m, const FormValue& v, LayoutReader& r) { (m->*set)(static_cast<int>(typinfo::AsInt(v, r))); };
    };
    PublishClass<M, TQclListItem>()
        .Custom("Width", intProp(&M::SetWidth))
        .Custom("Height", intProp(&M::SetHeight))
        .Custom("AllocBy", intProp(&M::SetAllocBy))
        .Custom("Masked", [](M* m, const FormValue& v, LayoutReader& r) { m->SetMasked(typinfo::AsBool(v, r)); })
        .Custom("Bitmap", [](M* m, const FormValue& v, LayoutReader& r) {
            const std::vector<uint8_t>& bytes = typinfo::AsBinary(v, r);
            TReadOnlyMemoryStream s(bytes.data(), static_cast<int64_t>(bytes.size()));
            m->ReadOldBitmap(s);
        });
    PublishClass<TQclContainer, TQclBaseContainer>();
}

}  // namespace treskel

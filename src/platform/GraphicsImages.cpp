// The graphic classes: bitmaps, icons, enhanced metafiles and pictures.
#include "platform/Graphics.h"
#include "platform/DibBitmap.h"
#include "platform/DibFormat.h"

#include <cmath>
#include <cstring>
#include <map>

namespace treskel {

// ---------------------------------------------------------------- TBitmap

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
    if (canvas_) canvas_->FreeContext();
}

void TBitmap::Changed() { TGraphic::Changed(); }

void TBitmapCanvas::CreateHandle() {
    if (!memDC_) memDC_.Reset(CreateCompatibleDC(nullptr));
    if (bitmap_->handle_ && oldBitmap_ == nullptr) oldBitmap_ = SelectObject(memDC_.Get(), bitmap_->handle_.Get());
    SetHandle(memDC_.Get());
}

void TBitmapCanvas::FreeContext() {
    if (!memDC_) return;
    DeselectHandles();
    if (oldBitmap_ != nullptr) SelectObject(memDC_.Get(), oldBitmap_);
    oldBitmap_ = nullptr;
    memDC_.Reset();
}

HDC TBitmap::AcquireDC() { return Canvas()->Handle(); }

void TBitmap::DropContext() {
    if (canvas_) canvas_->FreeContext();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(this);
    return canvas_.get();
}

HBITMAP TBitmap::Handle() { return handle_.Get(); }

void TBitmap::SetHandle(HBITMAP bitmap) {
    DropContext();
    handle_.Reset(bitmap);
    bits_ = nullptr;
    width_ = height_ = 0;
    if (bitmap != nullptr) {
        DIBSECTION ds{};
        int n = GetObjectA(bitmap, sizeof ds, &ds);
        if (n == sizeof(DIBSECTION)) {
            bits_ = static_cast<uint8_t*>(ds.dsBm.bmBits);
            stride_ = ds.dsBm.bmWidthBytes;
            pixelFormat_ = ds.dsBm.bmBitsPixel == 32 ? TPixelFormat::pf32bit
                           : ds.dsBm.bmBitsPixel == 24 ? TPixelFormat::pf24bit
                           : ds.dsBm.bmBitsPixel == 1  ? TPixelFormat::pf1bit
                                                       : TPixelFormat::pfCustom;
        } else {
            pixelFormat_ = ds.dsBm.bmBitsPixel == 1 ? TPixelFormat::pf1bit : TPixelFormat::pfDevice;
        }
        width_ = ds.dsBm.bmWidth;
        height_ = ds.dsBm.bmHeight;
    }
    Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
    DropContext();
    bits_ = nullptr;
    width_ = height_ = 0;
    return handle_.Release();
}

void TBitmap::NewImage(int width, int height) {
    // Keep what fits of the old picture.
    HBITMAP old = handle_.Get();
    int oldW = width_, oldH = height_;
    HBITMAP bmp = nullptr;
    uint8_t* bits = nullptr;
    int stride = 0;
    if (width > 0 && height > 0) {
        if (pixelFormat_ == TPixelFormat::pf24bit || pixelFormat_ == TPixelFormat::pf32bit) {
            int bpp = pixelFormat_ == TPixelFormat::pf24bit ? 24 : 32;
            void* p = nullptr;
            bmp = NewDibSection(width, -height, bpp, &p).Release();  // top row first
            bits = static_cast<uint8_t*>(p);
            stride = static_cast<int>(DibStride(width, bpp));
        } else if (pixelFormat_ == TPixelFormat::pf1bit) {
            bmp = CreateBitmap(width, height, 1, 1, nullptr);
        } else {
            WindowDC screen(nullptr);
            bmp = CreateCompatibleBitmap(screen.Get(), width, height);
        }
        if (bmp == nullptr) throw EOutOfResources("Out of system resources");
        MemoryDC dst;
        SelectGuard sel(dst.Get(), bmp);
        RECT all{0, 0, width, height};
        FillRect(dst.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        if (old != nullptr) {
            DropContext();
            MemoryDC src;
            SelectGuard selOld(src.Get(), old);
            BitBlt(dst.Get(), 0, 0, std::min(width, oldW), std::min(height, oldH), src.Get(), 0, 0, SRCCOPY);
        }
    }
    DropContext();
    handle_.Reset(bmp);
    bits_ = bits;
    stride_ = stride;
    width_ = bmp != nullptr ? width : 0;
    height_ = bmp != nullptr ? height : 0;
    Changed();
}

void TBitmap::SetWidth(int width) { SetSize(width, height_); }
void TBitmap::SetHeight(int height) { SetSize(width_, height); }

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;
    NewImage(std::max(width, 0), std::max(height, 0));
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pixelFormat_) return;
    pixelFormat_ = format;
    if (handle_) {
        int w = width_, h = height_;
        width_ = height_ = 0;  // force a new image of the new format
        HBITMAP keep = handle_.Get();
        (void)keep;
        NewImage(w, h);
    }
}

void TBitmap::SetMonochrome(bool mono) { SetPixelFormat(mono ? TPixelFormat::pf1bit : TPixelFormat::pfDevice); }

TColor TBitmap::TransparentColor() {
    if (transparentMode_ == TTransparentMode::tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    // The bottom-left pixel decides, as the class library always did.
    return Canvas()->Pixel(0, height_ - 1) & 0xFFFFFF;
}

void TBitmap::SetTransparentColor(TColor color) {
    transparentColor_ = color;
    transparentMode_ = color == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
    if (mode == transparentMode_) return;
    transparentMode_ = mode;
    Changed();
}

HBITMAP TBitmap::CreateMask(TColor color) {
    if (Empty()) return nullptr;
    HBITMAP mask = CreateBitmap(width_, height_, 1, 1, nullptr);
    MemoryDC maskDC;
    SelectGuard sel(maskDC.Get(), mask);
    HDC src = AcquireDC();
    COLORREF oldBk = SetBkColor(src, ColorToRGB(color));
    BitBlt(maskDC.Get(), 0, 0, width_, height_, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
    return mask;
}

void TBitmap::Mask(TColor color) {
    HBITMAP m = CreateMask(color);
    if (m == nullptr) return;
    // The mask replaces the image: white where `color` was, black elsewhere.
    pixelFormat_ = TPixelFormat::pf1bit;
    SetHandle(m);
}

uint8_t* TBitmap::ScanLine(int row) {
    if (bits_ == nullptr) {
        if (pixelFormat_ != TPixelFormat::pf24bit && pixelFormat_ != TPixelFormat::pf32bit)
            SetPixelFormat(TPixelFormat::pf24bit);
        if (bits_ == nullptr) {
            int w = width_, h = height_;
            width_ = height_ = 0;
            NewImage(w, h);
        }
    }
    if (bits_ == nullptr || row < 0 || row >= height_) throw EInvalidGraphicOperation("Scan line index out of range");
    GdiFlush();
    return bits_ + static_cast<ptrdiff_t>(row) * stride_;
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    HDC dst = canvas->Handle();
    HDC src = AcquireDC();
    int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    if (transparent_) {
        TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_,
                       ColorToRGB(TransparentColor()));
    } else {
        StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, width_, height_,
                   static_cast<DWORD>(canvas->CopyMode()));
    }
    SetStretchBltMode(dst, oldMode);
}

void TBitmap::Assign(TPersistent* source) {
    if (source == nullptr) {
        SetHandle(nullptr);
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        if (b == this) return;
        pixelFormat_ = b->pixelFormat_;
        transparent_ = b->transparent_;
        transparentColor_ = b->transparentColor_;
        transparentMode_ = b->transparentMode_;
        if (b->Empty()) {
            SetHandle(nullptr);
            return;
        }
        HBITMAP copy = static_cast<HBITMAP>(CopyImage(b->Handle(), IMAGE_BITMAP, 0, 0,
                                                      b->bits_ != nullptr ? LR_CREATEDIBSECTION : 0));
        SetHandle(copy);
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        // Any other picture is drawn into a bitmap of its size.
        pixelFormat_ = TPixelFormat::pf24bit;
        SetHandle(nullptr);
        SetSize(g->Width(), g->Height());
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(Rect(0, 0, width_, height_));
        g->Draw(Canvas(), Rect(0, 0, width_, height_));
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::LoadFromStream(TStream& stream) {
    uint8_t fh[14];
    stream.ReadBuffer(fh, sizeof fh);
    if (fh[0] != 'B' || fh[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
    uint32_t fileSize = GetU32(fh + 2);
    const uint32_t offBits = GetU32(fh + 10);
    int64_t avail = stream.Size() - stream.Position() + 14;
    if (fileSize < 14 + 12 || fileSize > avail) fileSize = static_cast<uint32_t>(avail);
    if (offBits < 14 + 12 || offBits > fileSize) throw EInvalidGraphic("Bitmap image is not valid");
    std::vector<uint8_t> dib(fileSize - 14);
    stream.ReadBuffer(dib.data(), static_cast<int64_t>(dib.size()));
    HBITMAP bmp = CreateBitmapFromDib(dib.data(), dib.size(), offBits - 14);
    if (bmp == nullptr) throw EInvalidGraphic("Bitmap image is not valid");
    SetHandle(bmp);
}

void TBitmap::SaveToStream(TStream& stream) {
    if (Empty()) return;
    // Written as a 24-bit bottom-up DIB.
    int stride = static_cast<int>(DibStride(width_, 24));
    BITMAPINFO bi{};
    bi.bmiHeader = DibInfoHeader(width_, height_, 24);
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * static_cast<size_t>(height_));
    DropContext();
    WindowDC screen(nullptr);
    GetDIBits(screen.Get(), handle_.Get(), 0, static_cast<UINT>(height_), bits.data(), &bi, DIB_RGB_COLORS);
    uint8_t fh[14] = {'B', 'M'};
    PutU32(fh + 2, static_cast<uint32_t>(14 + 40 + bits.size()));
    PutU32(fh + 10, 14 + 40);
    stream.WriteBuffer(fh, 14);
    uint8_t ih[40] = {};
    PutU32(ih, 40);
    PutU32(ih + 4, static_cast<uint32_t>(width_));
    PutU32(ih + 8, static_cast<uint32_t>(height_));
    PutU16(ih + 12, 1);
    PutU16(ih + 14, 24);
    PutU32(ih + 20, static_cast<uint32_t>(bits.size()));
    stream.WriteBuffer(ih, 40);
    stream.WriteBuffer(bits.data(), static_cast<int64_t>(bits.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bmp == nullptr) throw EResNotFound(Format("Resource %s not found", name.c_str()));
    SetHandle(bmp);
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
    HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0,
                                                   LR_CREATEDIBSECTION));
    if (bmp == nullptr) throw EResNotFound(Format("Resource %d not found", id));
    SetHandle(bmp);
}

// ---------------------------------------------------------------- TIcon

TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* source) {
    if (auto* i = dynamic_cast<TIcon*>(source)) {
        if (i == this) return;
        std::vector<uint8_t> data = i->data_;
        SetHandle(i->handle_ ? CopyIcon(i->handle_.Get()) : nullptr);
        data_ = std::move(data);
        return;
    }
    TGraphic::Assign(source);
}

int TIcon::Width() const { return handle_ ? GetSystemMetrics(SM_CXICON) : 0; }
int TIcon::Height() const { return handle_ ? GetSystemMetrics(SM_CYICON) : 0; }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
    if (handle_) DrawIconEx(canvas->Handle(), r.Left, r.Top, handle_.Get(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& stream) {
    // An .ico file: take the first image.
    int64_t size = stream.Size() - stream.Position();
    std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(size, 0)));
    if (!data.empty()) stream.ReadBuffer(data.data(), size);
    if (data.size() < 6 + 16 || GetU16(data.data() + 2) != 1 || GetU16(data.data() + 4) == 0)
        throw EInvalidGraphic("Icon image is not valid");
    uint32_t bytes = GetU32(data.data() + 6 + 8), offset = GetU32(data.data() + 6 + 12);
    if (offset > data.size() || bytes > data.size() - offset) throw EInvalidGraphic("Icon image is not valid");
    HICON icon = CreateIconFromResourceEx(data.data() + offset, bytes, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
    if (icon == nullptr) throw EInvalidGraphic("Icon image is not valid");
    SetHandle(icon);
    data_ = std::move(data);
}

namespace {
// The rows of a bitmap as a bottom-up DIB of `bits` per pixel.
std::vector<uint8_t> DibRows(HBITMAP bitmap, int width, int height, int bits) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header = DibInfoHeader(width, height, bits);
    std::vector<uint8_t> rows(info.header.biSizeImage);
    WindowDC screen(nullptr);
    if (GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(height), rows.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == 0)
        throw EInvalidGraphic("Icon image is not valid");
    return rows;
}

// An icon file of one image made from an icon's bitmaps: the colours at
// 32 bits (or the two-colour image of a monochrome icon) and the mask.
std::vector<uint8_t> IconFileOf(HICON icon) {
    ICONINFO ii{};
    if (!GetIconInfo(icon, &ii)) throw EInvalidGraphic("Icon image is not valid");
    GdiHandle<HBITMAP> color(ii.hbmColor), mask(ii.hbmMask);
    BITMAP bm{};
    GetObjectA(mask.Get(), sizeof bm, &bm);
    const int width = bm.bmWidth;
    const bool mono = !color;
    const int height = mono ? bm.bmHeight / 2 : bm.bmHeight;
    const int bits = mono ? 1 : 32;
    std::vector<uint8_t> image(40 + (mono ? 8 : 0));
    if (mono) {
        // Black and white; the mask bitmap holds both halves.
        std::vector<uint8_t> rows = DibRows(mask.Get(), width, height * 2, 1);
        PutU32(image.data() + 40 + 4, 0x00FFFFFF);
        image.insert(image.end(), rows.begin(), rows.end());
    } else {
        std::vector<uint8_t> xorRows = DibRows(color.Get(), width, height, 32);
        std::vector<uint8_t> andRows = DibRows(mask.Get(), width, height, 1);
        image.insert(image.end(), xorRows.begin(), xorRows.end());
        image.insert(image.end(), andRows.begin(), andRows.end());
    }
    uint8_t* h = image.data();
    PutU32(h, 40);
    PutU32(h + 4, static_cast<uint32_t>(width));
    PutU32(h + 8, static_cast<uint32_t>(height * 2));
    PutU16(h + 12, 1);
    PutU16(h + 14, static_cast<uint16_t>(bits));
    PutU32(h + 20, static_cast<uint32_t>(image.size() - 40 - (mono ? 8 : 0)));
    std::vector<uint8_t> file(6 + 16);
    uint8_t* d = file.data();
    PutU16(d + 2, 1);  // an icon
    PutU16(d + 4, 1);  // one image
    d[6] = static_cast<uint8_t>(width >= 256 ? 0 : width);
    d[7] = static_cast<uint8_t>(height >= 256 ? 0 : height);
    d[8] = mono ? 2 : 0;
    PutU16(d + 10, 1);
    PutU16(d + 12, static_cast<uint16_t>(bits));
    PutU32(d + 14, static_cast<uint32_t>(image.size()));
    PutU32(d + 18, 6 + 16);
    file.insert(file.end(), image.begin(), image.end());
    return file;
}
}  // namespace

void TIcon::SaveToStream(TStream& stream) {
    if (!handle_) return;
    if (data_.empty()) data_ = IconFileOf(handle_.Get());
    stream.WriteBuffer(data_.data(), static_cast<int64_t>(data_.size()));
}

void TIcon::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HICON icon = static_cast<HICON>(LoadImageA(instance, name.c_str(), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    if (icon == nullptr) throw EResNotFound(Format("Resource %s not found", name.c_str()));
    SetHandle(icon);
}

void TIcon::SetHandle(HICON icon) {
    handle_.Reset(icon);
    data_.clear();
    Changed();
}

HICON TIcon::ReleaseHandle() {
    data_.clear();
    return handle_.Release();
}

// ---------------------------------------------------------------- TMetafile

TMetafile::~TMetafile() = default;

void TMetafile::ReadSize() {
    width_ = height_ = mmWidth_ = mmHeight_ = 0;
    if (!handle_) return;
    ENHMETAHEADER h{};
    GetEnhMetaFileHeader(handle_.Get(), sizeof h, &h);
    mmWidth_ = h.rclFrame.right - h.rclFrame.left;
    mmHeight_ = h.rclFrame.bottom - h.rclFrame.top;
    // Frame in 0.01 mm, shown at the screen's resolution.
    int ppi = ScreenPixelsPerInch();
    width_ = MulDiv(mmWidth_, ppi, 2540);
    height_ = MulDiv(mmHeight_, ppi, 2540);
}

void TMetafile::SetHandle(HENHMETAFILE mf) {
    handle_.Reset(mf);
    ReadSize();
    Changed();
}

HENHMETAFILE TMetafile::ReleaseHandle() {
    HENHMETAFILE h = handle_.Release();
    ReadSize();
    return h;
}

void TMetafile::SetWidth(int w) {
    width_ = w;
    mmWidth_ = MulDiv(w, 2540, ScreenPixelsPerInch());
}

void TMetafile::SetHeight(int h) {
    height_ = h;
    mmHeight_ = MulDiv(h, 2540, ScreenPixelsPerInch());
}

void TMetafile::Assign(TPersistent* source) {
    if (auto* m = dynamic_cast<TMetafile*>(source)) {
        SetHandle(m->handle_ ? CopyEnhMetaFileA(m->handle_.Get(), nullptr) : nullptr);
        return;
    }
    TGraphic::Assign(source);
}

void TMetafile::Draw(TCanvas* canvas, const TRect& r) {
    if (!handle_) return;
    RECT rc = ToRECT(r);
    PlayEnhMetaFile(canvas->Handle(), handle_.Get(), &rc);
}

void TMetafile::LoadFromStream(TStream& stream) {
    int64_t size = stream.Size() - stream.Position();
    if (size < 88) throw EInvalidGraphic("Metafile is not valid");
    std::vector<uint8_t> data(static_cast<size_t>(size));
    stream.ReadBuffer(data.data(), size);
    HENHMETAFILE mf = SetEnhMetaFileBits(static_cast<UINT>(data.size()), data.data());
    if (mf == nullptr) throw EInvalidGraphic("Metafile is not valid");
    SetHandle(mf);
}

void TMetafile::SaveToStream(TStream& stream) {
    if (!handle_) return;
    UINT n = GetEnhMetaFileBits(handle_.Get(), 0, nullptr);
    std::vector<uint8_t> data(n);
    GetEnhMetaFileBits(handle_.Get(), n, data.data());
    stream.WriteBuffer(data.data(), n);
}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC reference) : metafile_(metafile) {
    RECT frame{0, 0, metafile->MMWidth(), metafile->MMHeight()};
    recording_ = CreateEnhMetaFileA(reference, nullptr, frame.right > 0 ? &frame : nullptr, nullptr);
    if (recording_ == nullptr) throw EOutOfResources("Out of system resources");
    SetHandle(recording_);
}

TMetafileCanvas::~TMetafileCanvas() {
    SetHandle(nullptr);
    HENHMETAFILE mf = CloseEnhMetaFile(recording_);
    int w = metafile_->MMWidth(), h = metafile_->MMHeight();
    metafile_->SetHandle(mf);
    // Keep the frame the caller gave, when it gave one.
    if (w > 0 && h > 0) {
        metafile_->SetMMWidth(w);
        metafile_->SetMMHeight(h);
    }
}

// ---------------------------------------------------------------- TPicture

namespace {
struct FileFormat {
    std::string description;
    TPicture::GraphicFactory factory;
};
std::map<std::string, FileFormat>& FileFormats() {
    static std::map<std::string, FileFormat> formats = [] {
        std::map<std::string, FileFormat> f;
        f["bmp"] = {"Bitmaps", [] { return std::make_unique<TBitmap>(); }};
        f["ico"] = {"Icons", [] { return std::make_unique<TIcon>(); }};
        f["emf"] = {"Enhanced Metafiles", [] { return std::make_unique<TMetafile>(); }};
        return f;
    }();
    return formats;
}
}  // namespace

TPicture::~TPicture() = default;

void TPicture::RegisterFileFormat(const std::string& ext, const std::string& description, GraphicFactory factory) {
    FileFormats()[LowerCase(ext)] = {description, std::move(factory)};
}

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

template <class T>
T* TPicture::ForceType() {
    if (auto* g = dynamic_cast<T*>(graphic_.get())) return g;
    auto g = std::make_unique<T>();
    g->OnChange = [this](TObject* s) { Changed(s); };
    T* raw = g.get();
    graphic_ = std::move(g);
    Changed(this);
    return raw;
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }
TIcon* TPicture::Icon() { return ForceType<TIcon>(); }
TMetafile* TPicture::Metafile() { return ForceType<TMetafile>(); }

void TPicture::SetGraphic(TGraphic* graphic) {
    if (graphic == nullptr) {
        graphic_.reset();
        Changed(this);
        return;
    }
    std::unique_ptr<TGraphic> copy;
    if (dynamic_cast<TBitmap*>(graphic)) copy = std::make_unique<TBitmap>();
    else if (dynamic_cast<TIcon*>(graphic)) copy = std::make_unique<TIcon>();
    else if (dynamic_cast<TMetafile*>(graphic)) copy = std::make_unique<TMetafile>();
    else throw EInvalidGraphic(Format("Cannot copy a %s", graphic->ClassName()));
    copy->Assign(graphic);
    copy->OnChange = [this](TObject* s) { Changed(s); };
    graphic_ = std::move(copy);
    Changed(this);
}

void TPicture::Assign(TPersistent* source) {
    if (source == nullptr) {
        SetGraphic(nullptr);
    } else if (auto* p = dynamic_cast<TPicture*>(source)) {
        SetGraphic(p->graphic_.get());
    } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetGraphic(g);
    } else {
        TPersistent::Assign(source);
    }
}

void TPicture::LoadFromFile(const std::string& fileName) {
    std::string ext = LowerCase(ExtractFileExt(fileName));
    if (!ext.empty()) ext.erase(0, 1);
    auto it = FileFormats().find(ext);
    if (it == FileFormats().end()) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ext.c_str()));
    std::unique_ptr<TGraphic> g = it->second.factory();
    g->LoadFromFile(fileName);
    g->OnChange = [this](TObject* s) { Changed(s); };
    graphic_ = std::move(g);
    Changed(this);
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}

}  // namespace treskel

// Fonts, pens, brushes and the canvas.
#include "platform/Graphics.h"
#include "platform/DibFormat.h"

#include <cmath>
#include <cstring>
#include <map>

namespace treskel {

GdiHandle<HBRUSH> HalftoneBrush() {
    static const WORD pattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    GdiHandle<HBITMAP> bitmap(CreateBitmap(8, 8, 1, 1, pattern));
    return GdiHandle<HBRUSH>(CreatePatternBrush(bitmap.Get()));
}

int ScreenPixelsPerInch() {
    static int ppi = [] {
        WindowDC screen(nullptr);
        int v = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        return v > 0 ? v : 96;
    }();
    return ppi;
}

COLORREF ColorToRGB(TColor color) {
    if (color < 0) return GetSysColor(color & 0xFF);
    if (color == clNone || color == clDefault) return 0;
    return static_cast<COLORREF>(color);
}

TColor GetSysColorValue(TColor color) { return static_cast<TColor>(ColorToRGB(color)); }

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------- TFont

TFont::TFont() : name_("MS Sans Serif"), pixelsPerInch_(ScreenPixelsPerInch()) {
    height_ = -MulDiv(8, pixelsPerInch_, 72);
}

TFont::~TFont() = default;

void TFont::Changed() {
    // Keep the old handle until listeners (a canvas) have let go of it.
    GdiHandle<HFONT> old(handle_.Release());
    TGraphicsObject::Changed();
}

void TFont::Assign(TPersistent* source) {
    if (auto* f = dynamic_cast<TFont*>(source)) {
        if (Equals(*f) && pixelsPerInch_ == f->pixelsPerInch_) return;
        name_ = f->name_;
        height_ = f->height_;
        if (pixelsPerInch_ != f->pixelsPerInch_ && f->height_ < 0)
            height_ = -MulDiv(f->Size(), pixelsPerInch_, 72);
        color_ = f->color_;
        style_ = f->style_;
        charset_ = f->charset_;
        pitch_ = f->pitch_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

bool TFont::Equals(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ &&
           charset_ == o.charset_ && pitch_ == o.pitch_;
}

LOGFONTA TFont::ToLogFont() const {
    LOGFONTA lf{};
    lf.lfHeight = height_;
    lf.lfWeight = style_.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(TFontStyle::fsItalic);
    lf.lfUnderline = style_.Contains(TFontStyle::fsUnderline);
    lf.lfStrikeOut = style_.Contains(TFontStyle::fsStrikeOut);
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = pitch_ == TFontPitch::fpFixed      ? FIXED_PITCH
                          : pitch_ == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                             : DEFAULT_PITCH;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    return lf;
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTA lf = ToLogFont();
        handle_.Reset(CreateFontIndirectA(&lf));
    }
    return handle_.Get();
}

void TFont::SetHandle(HFONT font) {
    LOGFONTA lf{};
    if (font == nullptr || GetObjectA(font, sizeof lf, &lf) == 0) return;
    name_ = lf.lfFaceName;
    height_ = lf.lfHeight;
    TFontStyles s;
    if (lf.lfWeight >= FW_BOLD) s += TFontStyle::fsBold;
    if (lf.lfItalic) s += TFontStyle::fsItalic;
    if (lf.lfUnderline) s += TFontStyle::fsUnderline;
    if (lf.lfStrikeOut) s += TFontStyle::fsStrikeOut;
    style_ = s;
    charset_ = lf.lfCharSet;
    Changed();
}

void TFont::SetName(const std::string& name) {
    if (name.empty() || name == name_) return;
    name_ = name;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, pixelsPerInch_); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, pixelsPerInch_, 72)); }

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch == pitch_) return;
    pitch_ = pitch;
    Changed();
}

// ---------------------------------------------------------------- TPen

void TPen::Changed() {
    // Keep the old handle until listeners (a canvas) have let go of it.
    GdiHandle<HPEN> old(handle_.Release());
    TGraphicsObject::Changed();
}

void TPen::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TPen*>(source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        mode_ = p->mode_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

HPEN TPen::Handle() {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
        handle_.Reset(CreatePen(styles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
    }
    return handle_.Get();
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TPen::SetWidth(int width) {
    if (width < 0 || width == width_) return;
    width_ = width;
    Changed();
}

void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TPen::SetMode(TPenMode mode) {
    if (mode == mode_) return;
    mode_ = mode;
    Changed();
}

// ---------------------------------------------------------------- TBrush

void TBrush::Changed() {
    // Keep the old handle until listeners (a canvas) have let go of it.
    GdiHandle<HBRUSH> old(handle_.Release());
    TGraphicsObject::Changed();
}

void TBrush::Assign(TPersistent* source) {
    if (auto* b = dynamic_cast<TBrush*>(source)) {
        color_ = b->color_;
        style_ = b->style_;
        bitmap_ = b->bitmap_;
        Changed();
        return;
    }
    TGraphicsObject::Assign(source);
}

HBRUSH TBrush::Handle() {
    if (!handle_) {
        LOGBRUSH lb{};
        lb.lbColor = ColorToRGB(color_);
        if (bitmap_ != nullptr) {
            lb.lbStyle = BS_PATTERN;
            lb.lbHatch = reinterpret_cast<ULONG_PTR>(bitmap_->Handle());
        } else {
            switch (style_) {
                case TBrushStyle::bsSolid: lb.lbStyle = BS_SOLID; break;
                case TBrushStyle::bsClear: lb.lbStyle = BS_HOLLOW; break;
                default:
                    lb.lbStyle = BS_HATCHED;
                    lb.lbHatch = static_cast<int>(style_) - static_cast<int>(TBrushStyle::bsHorizontal);
            }
        }
        handle_.Reset(CreateBrushIndirect(&lb));
    }
    return handle_.Get();
}

void TBrush::SetColor(TColor color) {
    if (color == color_ && style_ != TBrushStyle::bsClear) return;
    color_ = color;
    if (style_ == TBrushStyle::bsClear) style_ = TBrushStyle::bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TBrush::SetBitmap(TBitmap* bitmap) {
    bitmap_ = bitmap;
    Changed();
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas() {
    font_.OnChange = [this](TObject*) { UseFont(); };
    pen_.OnChange = [this](TObject*) { UsePen(); };
    brush_.OnChange = [this](TObject*) { UseBrush(); };
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
    if (dc_ == nullptr) CreateHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectHandles();
    dc_ = dc;
    if (dc_ != nullptr) SelectAll();
}

void TCanvas::DeselectHandles() {
    if (dc_ == nullptr) return;
    if (oldFont_ != nullptr) SelectObject(dc_, oldFont_);
    if (oldPen_ != nullptr) SelectObject(dc_, oldPen_);
    if (oldBrush_ != nullptr) SelectObject(dc_, oldBrush_);
    oldFont_ = oldPen_ = oldBrush_ = nullptr;
    dc_ = nullptr;
}

void TCanvas::SelectAll() {
    oldFont_ = SelectObject(dc_, font_.Handle());
    oldPen_ = SelectObject(dc_, pen_.Handle());
    oldBrush_ = SelectObject(dc_, brush_.Handle());
    SetTextColor(dc_, ColorToRGB(font_.Color()));
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
    static const int rops[] = {R2_BLACK,       R2_WHITE,     R2_NOP,         R2_NOT,     R2_COPYPEN, R2_NOTCOPYPEN,
                               R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,
                               R2_NOTMERGEPEN, R2_MASKPEN,   R2_NOTMASKPEN,  R2_XORPEN,  R2_NOTXORPEN};
    SetROP2(dc_, rops[static_cast<int>(pen_.Mode())]);
}

void TCanvas::UseFont() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, font_.Handle());
    SetTextColor(dc_, ColorToRGB(font_.Color()));
}

void TCanvas::UsePen() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, pen_.Handle());
    static const int rops[] = {R2_BLACK,       R2_WHITE,     R2_NOP,         R2_NOT,     R2_COPYPEN, R2_NOTCOPYPEN,
                               R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,
                               R2_NOTMERGEPEN, R2_MASKPEN,   R2_NOTMASKPEN,  R2_XORPEN,  R2_NOTXORPEN};
    SetROP2(dc_, rops[static_cast<int>(pen_.Mode())]);
}

void TCanvas::UseBrush() {
    if (dc_ == nullptr) return;
    SelectObject(dc_, brush_.Handle());
    SetBkColor(dc_, ColorToRGB(brush_.Color()));
    SetBkMode(dc_, brush_.Style() == TBrushStyle::bsSolid ? OPAQUE : TRANSPARENT);
}

void TCanvas::Refresh() {
    if (dc_ != nullptr) {
        UseFont();
        UsePen();
        UseBrush();
    }
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() {
    POINT p{};
    GetCurrentPositionEx(Handle(), &p);
    return {p.x, p.y};
}

void TCanvas::SetPenPos(TPoint p) { MoveTo(p.x, p.y); }

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    Changing();
    ::LineTo(Handle(), x, y);
    Changed();
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    ::Rectangle(Handle(), x1, y1, x2, y2);
    Changed();
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    Changing();
    ::RoundRect(Handle(), x1, y1, x2, y2, x3, y3);
    Changed();
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    ::Ellipse(Handle(), x1, y1, x2, y2);
    Changed();
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    ::Arc(Handle(), x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    ::Pie(Handle(), x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    std::vector<POINT> p;
    for (auto& q : points) p.push_back(ToPOINT(q));
    Changing();
    ::Polygon(Handle(), p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    std::vector<POINT> p;
    for (auto& q : points) p.push_back(ToPOINT(q));
    Changing();
    ::Polyline(Handle(), p.data(), static_cast<int>(p.size()));
    Changed();
}

void TCanvas::FillRect(const TRect& r) {
    RECT rc = ToRECT(r);
    Changing();
    ::FillRect(Handle(), &rc, brush_.Handle());
    Changed();
}

void TCanvas::FrameRect(const TRect& r) {
    RECT rc = ToRECT(r);
    Changing();
    ::FrameRect(Handle(), &rc, brush_.Handle());
    Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
    RECT rc = ToRECT(r);
    Changing();
    ::DrawFocusRect(Handle(), &rc);
    Changed();
}

void TCanvas::FloodFill(int x, int y, TColor color, bool surface) {
    Changing();
    ExtFloodFill(Handle(), x, y, ColorToRGB(color), surface ? FLOODFILLSURFACE : FLOODFILLBORDER);
    Changed();
}

TColor TCanvas::Pixel(int x, int y) { return static_cast<TColor>(GetPixel(Handle(), x, y)); }

void TCanvas::SetPixel(int x, int y, TColor color) {
    Changing();
    ::SetPixel(Handle(), x, y, ColorToRGB(color));
    Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    ExtTextOutA(Handle(), x, y, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    RECT rc = ToRECT(r);
    UINT options = ETO_CLIPPED;
    if (brush_.Style() != TBrushStyle::bsClear) options |= ETO_OPAQUE;
    Changing();
    ExtTextOutA(Handle(), x, y, options, &rc, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
    SIZE s{};
    GetTextExtentPoint32A(Handle(), text.c_str(), static_cast<int>(text.size()), &s);
    return {s.cx, s.cy};
}

int TCanvas::TextWidth(const std::string& text) { return TextExtent(text).cx; }
int TCanvas::TextHeight(const std::string& text) { return TextExtent(text).cy; }

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    Changing();
    graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
    Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    Changing();
    graphic->Draw(this, r);
    Changed();
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
    Changing();
    int oldMode = SetStretchBltMode(Handle(), COLORONCOLOR);
    StretchBlt(Handle(), dest.Left, dest.Top, dest.Width(), dest.Height(), source->Handle(), src.Left, src.Top,
               src.Width(), src.Height(), static_cast<DWORD>(copyMode_));
    SetStretchBltMode(Handle(), oldMode);
    Changed();
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color) {
    // Copies the bitmap, drawing its pixels of `color` in the brush instead.
    GdiHandle<HBITMAP> mask(bitmap->CreateMask(color));
    MemoryDC maskDC(Handle());
    SelectGuard selMask(maskDC.Get(), mask.Get());
    HDC dc = Handle();
    Changing();
    // Pixels of `color` take the brush; the others come from the bitmap.
    MaskBlt(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), bitmap->Canvas()->Handle(), src.Left, src.Top,
            mask.Get(), src.Left, src.Top, MAKEROP4(PATCOPY, SRCCOPY));
    Changed();
}

TRect TCanvas::ClipRect() {
    RECT r{};
    GetClipBox(Handle(), &r);
    return FromRECT(r);
}

// ---------------------------------------------------------------- TGraphic

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::SetTransparent(bool t) {
    if (t == transparent_) return;
    transparent_ = t;
    Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

}  // namespace treskel

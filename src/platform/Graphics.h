// Fonts, pens, brushes, the canvas and the graphic classes (bitmap, icon,
// enhanced metafile, picture) over GDI.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Handles.h"
#include "platform/Streams.h"
#include "platform/Types.h"

namespace treskel {

inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) { return TRect{r.left, r.top, r.right, r.bottom}; }
inline POINT ToPOINT(TPoint p) { return POINT{p.x, p.y}; }

// The screen's pixels per logical inch (96 when the system does not say).
int ScreenPixelsPerInch();

// A colour value GDI can use: system colours resolved.
COLORREF ColorToRGB(TColor color);

// A brush of alternate pixels, a checkerboard of the DC's text and
// background colours: a button's checked dither, a frame drawn inverted.
GdiHandle<HBRUSH> HalftoneBrush();

class TGraphicsObject : public TPersistent {
    TRESKEL_CLASS(TGraphicsObject)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
    TRESKEL_CLASS(TFont)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* source) override;

    HFONT Handle();
    void SetHandle(HFONT font);  // takes a copy of the font's description

    std::string Name() const { return name_; }
    void SetName(const std::string& name);
    int Size() const;
    void SetSize(int points);
    int Height() const { return height_; }
    void SetHeight(int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int ppi) { pixelsPerInch_ = ppi; }

    LOGFONTA ToLogFont() const;
    bool Equals(const TFont& other) const;

protected:
    void Changed() override;

private:
    std::string name_;
    int height_;
    TColor color_ = clWindowText;
    TFontStyles style_;
    int charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
    int pixelsPerInch_;
    GdiHandle<HFONT> handle_;
};

class TBitmap;

class TPen : public TGraphicsObject {
    TRESKEL_CLASS(TPen)
public:
    void Assign(TPersistent* source) override;
    HPEN Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode);

protected:
    void Changed() override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    TPenMode mode_ = TPenMode::pmCopy;
    GdiHandle<HPEN> handle_;
};

class TBrush : public TGraphicsObject {
    TRESKEL_CLASS(TBrush)
public:
    void Assign(TPersistent* source) override;
    HBRUSH Handle();
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    // A pattern bitmap (not owned); the brush follows it while set.
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* bitmap);

protected:
    void Changed() override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    TBitmap* bitmap_ = nullptr;
    GdiHandle<HBRUSH> handle_;
};

class TGraphic;

// Drawing on a device context with the canvas's font, pen and brush.
class TCanvas : public TPersistent {
    TRESKEL_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;

    // The device context; a canvas that owns a way to make one (a
    // control's, a bitmap's) creates it when first asked.
    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    void SetFont(TFont* f) { font_.Assign(f); }
    void SetPen(TPen* p) { pen_.Assign(p); }
    void SetBrush(TBrush* b) { brush_.Assign(b); }
    int CopyMode() const { return copyMode_; }
    void SetCopyMode(int mode) { copyMode_ = mode; }
    TPoint PenPos();
    void SetPenPos(TPoint p);

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void DrawFocusRect(const TRect& r);
    void FloodFill(int x, int y, TColor color, bool surface);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    TSize TextExtent(const std::string& text);

    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& src, TColor color);

    TRect ClipRect();
    void Refresh();  // reselects font, pen and brush
    void Lock() { ++lockCount_; }
    void Unlock() { --lockCount_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() {}
    void Changing();
    void Changed();
    void DeselectHandles();

private:
    void SelectAll();
    void UseFont();
    void UsePen();
    void UseBrush();

    HDC dc_ = nullptr;
    TFont font_;
    TPen pen_;
    TBrush brush_;
    int copyMode_ = SRCCOPY;
    int lockCount_ = 0;
    HGDIOBJ oldFont_ = nullptr, oldPen_ = nullptr, oldBrush_ = nullptr;
};

// Lends a DC to a canvas for a scope: the canvas lets go of it however the
// scope ends, so a throwing painter never leaves it holding a dead one.
class CanvasDCScope {
public:
    CanvasDCScope(TCanvas* canvas, HDC dc) : canvas_(canvas) { canvas_->SetHandle(dc); }
    ~CanvasDCScope() { canvas_->SetHandle(nullptr); }
    CanvasDCScope(const CanvasDCScope&) = delete;
    CanvasDCScope& operator=(const CanvasDCScope&) = delete;

private:
    TCanvas* canvas_;
};

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum class TTransparentMode { tmAuto, tmFixed };
TRESKEL_ENUM_INFO(TTransparentMode, "tmAuto", "tmFixed")

class TGraphic : public TPersistent {
    TRESKEL_CLASS(TGraphic)
public:
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int width) = 0;
    virtual void SetHeight(int height) = 0;
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool t);
    bool Modified() const { return modified_; }
    void SetModified(bool m) { modified_ = m; }
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    bool transparent_ = false;
    bool modified_ = false;
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
    TRESKEL_CLASS(TBitmap)
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    bool Empty() const override { return !handle_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    void SetSize(int width, int height);
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;   // a .bmp file
    void SaveToStream(TStream& stream) override;
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    void LoadFromResourceID(HINSTANCE instance, int id);

    HBITMAP Handle();
    // Takes ownership of `bitmap`.
    void SetHandle(HBITMAP bitmap);
    HBITMAP ReleaseHandle();
    TCanvas* Canvas();
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat format);
    bool Monochrome() const { return pixelFormat_ == TPixelFormat::pf1bit; }
    void SetMonochrome(bool mono);
    TColor TransparentColor();
    void SetTransparentColor(TColor color);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode mode);
    // A monochrome mask: white where the bitmap has `color`, black elsewhere.
    HBITMAP CreateMask(TColor color);
    void Mask(TColor color);
    // Pixels of a 24- or 32-bit bitmap, top row first.
    uint8_t* ScanLine(int row);
    void Dormant() {}
    void FreeImage() {}

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    void NewImage(int width, int height);
    HDC AcquireDC();
    void DropContext();

    GdiHandle<HBITMAP> handle_;
    int width_ = 0, height_ = 0;
    TPixelFormat pixelFormat_ = TPixelFormat::pfDevice;
    TColor transparentColor_ = clDefault;
    TTransparentMode transparentMode_ = TTransparentMode::tmAuto;
    uint8_t* bits_ = nullptr;  // DIB section pixels when the bitmap is one
    int stride_ = 0;
    std::unique_ptr<TBitmapCanvas> canvas_;
};

class TBitmapCanvas : public TCanvas {
    TRESKEL_CLASS(TBitmapCanvas)
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : bitmap_(bitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }
    void FreeContext();

protected:
    void CreateHandle() override;

private:
    TBitmap* bitmap_;
    OwnedDC memDC_;
    HGDIOBJ oldBitmap_ = nullptr;
};

class TIcon : public TGraphic {
    TRESKEL_CLASS(TIcon)
public:
    ~TIcon() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override { return !handle_; }
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override;
    void SetHeight(int) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    HICON Handle() const { return handle_.Get(); }
    void SetHandle(HICON icon);  // takes ownership
    HICON ReleaseHandle();

private:
    IconHandle handle_;
    // The icon file it was read from, written back as it was.
    std::vector<uint8_t> data_;
};

class TMetafile : public TGraphic {
    TRESKEL_CLASS(TMetafile)
public:
    ~TMetafile() override;
    void Assign(TPersistent* source) override;
    bool Empty() const override { return !handle_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetWidth(int w) override;
    void SetHeight(int h) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;   // enhanced metafile bytes
    void SaveToStream(TStream& stream) override;
    HENHMETAFILE Handle() const { return handle_.Get(); }
    void SetHandle(HENHMETAFILE mf);  // takes ownership
    HENHMETAFILE ReleaseHandle();
    // Size in units of 0.01 mm.
    int MMWidth() const { return mmWidth_; }
    int MMHeight() const { return mmHeight_; }
    void SetMMWidth(int v) { mmWidth_ = v; }
    void SetMMHeight(int v) { mmHeight_ = v; }
    bool Enhanced() const { return true; }

private:
    void ReadSize();
    EnhMetaFileHandle handle_;
    int width_ = 0, height_ = 0, mmWidth_ = 0, mmHeight_ = 0;
};

// Records drawing into a metafile; the metafile gets it when this goes.
class TMetafileCanvas : public TCanvas {
    TRESKEL_CLASS(TMetafileCanvas)
public:
    TMetafileCanvas(TMetafile* metafile, HDC reference);
    ~TMetafileCanvas() override;

private:
    TMetafile* metafile_;
    HDC recording_ = nullptr;
};

class TPicture : public TPersistent {
    TRESKEL_CLASS(TPicture)
public:
    using GraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
    ~TPicture() override;
    void Assign(TPersistent* source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(TGraphic* graphic);  // copies it
    TBitmap* Bitmap();    // makes the picture a bitmap when it is not
    TIcon* Icon();
    TMetafile* Metafile();
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    void LoadFromFile(const std::string& fileName);  // by extension
    void SaveToFile(const std::string& fileName);
    // A file format the pictures understand, by extension (without dot).
    static void RegisterFileFormat(const std::string& ext, const std::string& description, GraphicFactory factory);
    TNotifyEvent OnChange;

private:
    void Changed(TObject* sender);
    template <class T>
    T* ForceType();
    std::unique_ptr<TGraphic> graphic_;
};

// The standard colours of dialogs and the system, as the system draws them.
TColor GetSysColorValue(TColor color);

}  // namespace treskel

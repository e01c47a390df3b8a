#include "platform/ExtCtrls.h"

#include <algorithm>

namespace treskel {

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    HDC dc = canvas->Handle();
    GdiHandle<HBRUSH> top(CreateSolidBrush(ColorToRGB(topColor)));
    GdiHandle<HBRUSH> bottom(CreateSolidBrush(ColorToRGB(bottomColor)));
    for (int i = 0; i < width && r.Width() > 0 && r.Height() > 0; ++i) {
        RECT t{r.Left, r.Top, r.Right - 1, r.Top + 1};         // top edge, short of the right column
        RECT l{r.Left, r.Top, r.Left + 1, r.Bottom - 1};       // left edge, short of the bottom row
        RECT b{r.Left, r.Bottom - 1, r.Right, r.Bottom};       // bottom edge, whole width
        RECT rr{r.Right - 1, r.Top, r.Right, r.Bottom};        // right edge, whole height
        FillRect(dc, &t, top.Get());
        FillRect(dc, &l, top.Get());
        FillRect(dc, &b, bottom.Get());
        FillRect(dc, &rr, bottom.Get());
        r = InflateRect(r, -1, -1);
    }
}

// ------------------------------------------------------------ panel

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle({TControlStyleItem::csAcceptsControls, TControlStyleItem::csCaptureMouse,
                     TControlStyleItem::csClickEvents, TControlStyleItem::csSetCaption,
                     TControlStyleItem::csOpaque, TControlStyleItem::csDoubleClicks,
                     TControlStyleItem::csReplicatable});
    SetBounds(0, 0, 185, 41);
    SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
        else p.Style |= WS_BORDER;
    }
    // The frame is drawn relative to the client size; redraw it all when
    // the size changes.
    p.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
}

int TCustomPanel::FrameWidth() const {
    int w = borderWidth_;
    if (bevelOuter_ != TPanelBevel::bvNone) w += bevelWidth_;
    if (bevelInner_ != TPanelBevel::bvNone) w += bevelWidth_;
    return w;
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
    TCustomControl::AdjustClientRect(rect);
    int w = FrameWidth();
    rect = InflateRect(rect, -w, -w);
}

void TCustomPanel::FrameChanged() {
    Realign();
    Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel b) {
    if (b == bevelInner_) return;
    bevelInner_ = b;
    FrameChanged();
}

void TCustomPanel::SetBevelOuter(TPanelBevel b) {
    if (b == bevelOuter_) return;
    bevelOuter_ = b;
    FrameChanged();
}

void TCustomPanel::SetBevelWidth(int w) {
    w = std::max(w, 1);
    if (w == bevelWidth_) return;
    bevelWidth_ = w;
    FrameChanged();
}

void TCustomPanel::SetBorderWidth(int w) {
    w = std::max(w, 0);
    if (w == borderWidth_) return;
    borderWidth_ = w;
    FrameChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

namespace {
void DrawPanelBevel(TCanvas* c, TRect& r, TPanelBevel bevel, int width) {
    switch (bevel) {
        case TPanelBevel::bvNone: break;
        case TPanelBevel::bvLowered: Frame3D(c, r, clBtnShadow, clBtnHighlight, width); break;
        case TPanelBevel::bvRaised: Frame3D(c, r, clBtnHighlight, clBtnShadow, width); break;
        case TPanelBevel::bvSpace: r = InflateRect(r, -width, -width); break;
    }
}
}  // namespace

void TCustomPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->FillRect(r);
    DrawPanelBevel(c, r, bevelOuter_, bevelWidth_);
    r = InflateRect(r, -borderWidth_, -borderWidth_);
    DrawPanelBevel(c, r, bevelInner_, bevelWidth_);
    std::string text = Caption();
    if (text.empty() || IsRectEmpty(r)) return;
    static const UINT aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    RECT rc = ToRECT(r);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Font()->Assign(Font());
    HDC dc = c->Handle();
    UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | aligns[static_cast<int>(alignment_)];
    // A caption wider than the panel goes on in more lines, their block
    // centred as one line is.
    RECT needed = rc;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, flags | DT_CALCRECT);
    if (needed.right - needed.left > rc.right - rc.left) {
        flags = DT_WORDBREAK | DT_EXPANDTABS | aligns[static_cast<int>(alignment_)];
        RECT block = rc;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &block, flags | DT_CALCRECT);
        const LONG height = block.bottom - block.top;
        rc.top += std::max<LONG>((rc.bottom - rc.top - height) / 2, 0);
        rc.bottom = std::min<LONG>(rc.top + height, rc.bottom);
    }
    if (!Enabled()) {
        RECT shifted = rc;
        OffsetRect(&shifted, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, flags);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, flags);
}

void TCustomPanel::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            Invalidate();
            break;
        case CM_CTL3DCHANGED:
            if (borderStyle_ == TBorderStyle::bsSingle) RecreateWnd();
            break;
        default:
            break;
    }
    TCustomControl::WndProc(m);
}

// ------------------------------------------------------------ bevel

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyleItem::csReplicatable);
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape s) {
    if (s == shape_) return;
    shape_ = s;
    Invalidate();
}

void TBevel::SetStyle(TBevelStyle s) {
    if (s == style_) return;
    style_ = s;
    Invalidate();
}

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor first = style_ == TBevelStyle::bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == TBevelStyle::bsLowered ? clBtnHighlight : clBtnShadow;
    int w = Width(), h = Height();
    auto fill = [c](const TRect& r, TColor color) {
        c->Brush()->SetColor(color);
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
        c->FillRect(r);
    };
    switch (shape_) {
        case TBevelShape::bsBox: {
            TRect r = Rect(0, 0, w, h);
            Frame3D(c, r, first, second, 1);
            break;
        }
        case TBevelShape::bsFrame: {
            // An etched frame: two rings, the second one pixel further in.
            TRect outer = Rect(0, 0, w - 1, h - 1), inner = Rect(1, 1, w, h);
            Frame3D(c, inner, second, second, 1);
            Frame3D(c, outer, first, first, 1);
            break;
        }
        case TBevelShape::bsTopLine:
            fill(Rect(0, 0, w, 1), first);
            fill(Rect(0, 1, w, 2), second);
            break;
        case TBevelShape::bsBottomLine:
            fill(Rect(0, h - 2, w, h - 1), first);
            fill(Rect(0, h - 1, w, h), second);
            break;
        case TBevelShape::bsLeftLine:
            fill(Rect(0, 0, 1, h), first);
            fill(Rect(1, 0, 2, h), second);
            break;
        case TBevelShape::bsRightLine:
            fill(Rect(w - 2, 0, w - 1, h), first);
            fill(Rect(w - 1, 0, w, h), second);
            break;
        case TBevelShape::bsSpacer:
            break;
    }
}

// ------------------------------------------------------------ image

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    SetControlStyle(ControlStyle() + TControlStyleItem::csReplicatable);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

TRect TImage::DestRect() {
    int pw = picture_->Width(), ph = picture_->Height();
    int cw = ClientWidth(), ch = ClientHeight();
    if (stretch_) return Rect(0, 0, cw, ch);
    if (center_) return Bounds((cw - pw) / 2, (ch - ph) / 2, pw, ph);
    return Rect(0, 0, pw, ph);
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (g == nullptr || g->Empty()) return;
    Canvas()->StretchDraw(DestRect(), g);
}

void TImage::PictureChanged() {
    if (TGraphic* g = picture_->Graphic(); g != nullptr && g->Transparent() != transparent_)
        g->SetTransparent(transparent_);  // comes back here once, then matches
    AdjustSize();
    Invalidate();
}

void TImage::AdjustSize() {
    if (!autoSize_ || IsLoading()) return;
    TGraphic* g = picture_->Graphic();
    if (g == nullptr || g->Empty()) return;
    SetBounds(Left(), Top(), g->Width(), g->Height());
}

void TImage::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TImage::SetStretch(bool v) {
    if (v == stretch_) return;
    stretch_ = v;
    Invalidate();
}

void TImage::SetCenter(bool v) {
    if (v == center_) return;
    center_ = v;
    Invalidate();
}

void TImage::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    PictureChanged();
}

// ------------------------------------------------------------ paint box

TPaintBox::TPaintBox(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyleItem::csReplicatable);
    SetBounds(0, 0, 105, 105);
    SetParentColor(true);
}

void TPaintBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetColor(Color());
    if (OnPaint) OnPaint(this);
}

// ------------------------------------------------------------ shape

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyleItem::csReplicatable);
    SetBounds(0, 0, 65, 65);
    pen_.OnChange = [this](TObject*) { Invalidate(); };
    brush_.OnChange = [this](TObject*) { Invalidate(); };
}

void TShape::SetShape(TShapeType s) {
    if (s == shape_) return;
    shape_ = s;
    Invalidate();
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(&pen_);
    c->SetBrush(&brush_);
    // The pen is centred on the outline; keep all of it inside.
    int pw = pen_.Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) {
        --w;
        --h;
    }
    bool square = shape_ == TShapeType::stSquare || shape_ == TShapeType::stRoundSquare ||
                  shape_ == TShapeType::stCircle;
    if (square) {
        int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    switch (shape_) {
        case TShapeType::stRectangle:
        case TShapeType::stSquare:
            c->Rectangle(x, y, x + w, y + h);
            break;
        case TShapeType::stRoundRect:
        case TShapeType::stRoundSquare: {
            int radius = std::min(w, h) / 4;
            c->RoundRect(x, y, x + w, y + h, radius, radius);
            break;
        }
        case TShapeType::stEllipse:
        case TShapeType::stCircle:
            c->Ellipse(x, y, x + w, y + h);
            break;
    }
}

// ------------------------------------------------------------ timer

TTimer::TTimer(TComponent* owner)
    : TComponent(owner), timer_([this] {
          // The handler may free this timer: nothing of it is used after.
          if (enabled_ && OnTimer) {
              TNotifyEvent handler = OnTimer;
              handler(this);
          }
      }) {
    UpdateTimer();
}

TTimer::~TTimer() = default;

void TTimer::UpdateTimer() {
    timer_.Stop();
    if (!enabled_ || interval_ <= 0) return;
    if (!timer_.Start(static_cast<unsigned>(interval_))) throw EOutOfResources("Not enough timers available");
}

void TTimer::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    UpdateTimer();
}

}  // namespace treskel

#include "controls/qclstdcS.h"

#include <algorithm>

#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Handles.h"

namespace treskel {

// ---------------------------------------------------------------- panel

TQclCustomPanel::TQclCustomPanel(TComponent* owner) : TQclCustomControl(owner) {
    using I = TControlStyleItem;
    SetControlStyle({I::csAcceptsControls, I::csCaptureMouse, I::csClickEvents, I::csOpaque, I::csDoubleClicks,
                     I::csReplicatable});
    SetColor(clBtnFace);
}

bool TQclCustomPanel::BackgroundAvailable() { return Transparent() && QclParentOffersBackground(this); }

TBitmap* TQclCustomPanel::GetBackBitmap() {
    return BackgroundAvailable() ? static_cast<TQclCustomControl*>(Parent())->GetBackBitmap() : nullptr;
}

TPoint TQclCustomPanel::BackgroundOffset(TPoint p) {
    if (!BackgroundAvailable()) return p;
    TPoint q = static_cast<TQclCustomControl*>(Parent())->BackgroundOffset(Point(Left(), Top()));
    return {q.x + p.x, q.y + p.y};
}

bool TQclCustomPanel::DrawParentBackground(TCanvas* canvas, const TRect& r, uint16_t, TPoint offset) {
    TBitmap* back = GetBackBitmap();
    if (Loading() || back == nullptr) return false;
    // The border is centred.
    if (ClientWidth() != Width()) offset.x += (Width() - ClientWidth()) / 2;
    if (ClientHeight() != Height()) offset.y += (Height() - ClientHeight()) / 2;
    TPoint q = static_cast<TQclCustomControl*>(Parent())->BackgroundOffset(offset);
    canvas->CopyRect(r, back->Canvas(), Rect(q.x, q.y, q.x + r.Width(), q.y + r.Height()));
    return true;
}

// ---------------------------------------------------------------- bevel panel

TQclCustomBevelPanel::TQclCustomBevelPanel(TComponent* owner)
    : TQclCustomPanel(owner), bevel_(std::make_unique<TQclBevel>()) {
    bevel_->SetWindowedOwner(true);
    bevel_->OnChange = [this](TObject* s) { ObjectChanged(s); };
}

TQclCustomBevelPanel::~TQclCustomBevelPanel() { bevel_->OnChange = nullptr; }

void TQclCustomBevelPanel::SetBevel(TQclBevel* v) {
    bevel_->Assign(v);
    Perform(CM_QCLBEVELCHANGED);
}

bool TQclCustomBevelPanel::NeedsDesignFrame() {
    return bevel_->TotalWidth() == 0 && bevel_->Mode() != TQclBevelMode::bmWindows;
}

void TQclCustomBevelPanel::ObjectChanged(TObject* sender) {
    if (Loading()) return;
    if (sender == bevel_.get()) {
        // A bevel given from elsewhere came with its owner's flag: the
        // frame the system draws in that mode is this window's.
        bevel_->SetWindowedOwner(true);
        if (bevel_->NeedRecreate() && HandleAllocated()) RecreateWnd();
        Realign();
    }
    TQclCustomPanel::ObjectChanged(sender);
}

void TQclCustomBevelPanel::CreateParams(TCreateParams& params) {
    TQclCustomPanel::CreateParams(params);
    if (bevel_->Mode() == TQclBevelMode::bmWindows) {
        if (Ctl3D()) params.ExStyle |= WS_EX_CLIENTEDGE;
        else params.Style |= WS_BORDER;
    }
}

void TQclCustomBevelPanel::AdjustClientRect(TRect& rect) {
    if (bevel_->Mode() != TQclBevelMode::bmWindows) rect = bevel_->GetClientRect(rect);
}

void TQclCustomBevelPanel::Paint() {
    if (Loading()) return;
    DrawBackground();
    if (Designing()) {
        if (NeedsDesignFrame()) TQclCustomPanel::Paint();
        return;
    }
    // Flat: the frame shows only while the pointer is over the panel or it has the focus.
    if (Flat() && !Focused()) {
        DrawFlatBorder();
        return;
    }
    if (bevel_->Mode() == TQclBevelMode::bmWindows || bevel_->TotalWidth() == 0) return;
    TRect inner;
    bevel_->PaintBevel(Canvas(), ClientRect(), Transparent(), inner);
}

void TQclCustomBevelPanel::DrawHotBorder() {
    if (bevel_->Mode() == TQclBevelMode::bmWindows) {
        TQclCustomPanel::DrawHotBorder();
        return;
    }
    DrawOnWindow([this](TCanvas* c) {
        TRect inner;
        bevel_->PaintBevel(c, ClientRect(), true, inner);
    });
}

void TQclCustomBevelPanel::DrawFlatBorder() {
    if (Focused() || !Flat() || MouseInside()) return;
    if (bevel_->Mode() == TQclBevelMode::bmWindows) {
        TQclCustomPanel::DrawFlatBorder();
        return;
    }
    int w = bevel_->TotalWidth(), W = Width(), H = Height();
    DrawOnWindow([&](TCanvas* c) {
        for (TRect r : {Rect(0, 0, W, w), Rect(0, 0, w, H), Rect(w, H - w - 1, W, H), Rect(W - w, w, W, H - w)})
            FillBackgroundRect(r, c);
    });
}

void TQclCustomBevelPanel::MouseEnter() {
    if (Flat() && !Focused()) DrawHotBorder();
    TQclCustomPanel::MouseEnter();
}

void TQclCustomBevelPanel::DoEnter() {
    if (Flat() && !Focused()) DrawHotBorder();
    TQclCustomPanel::DoEnter();
}

void TQclCustomBevelPanel::WndProc(TMessage& m) {
    TQclCustomPanel::WndProc(m);
    // The system draws the frame of that mode: a new one for the new look.
    if (m.Msg == CM_CTL3DCHANGED && bevel_->Mode() == TQclBevelMode::bmWindows && QclNewStyleControls() &&
        HandleAllocated())
        RecreateWnd();
}

// ---------------------------------------------------------------- parent panel

TQclCustomParentPanel::TQclCustomParentPanel(TComponent* owner) : TQclCustomBevelPanel(owner) {}

bool TQclCustomParentPanel::BackgroundAvailable() { return back_ != nullptr || TQclCustomBevelPanel::BackgroundAvailable(); }

TBitmap* TQclCustomParentPanel::GetBackBitmap() { return back_ ? back_.get() : TQclCustomBevelPanel::GetBackBitmap(); }

TPoint TQclCustomParentPanel::BackgroundOffset(TPoint p) {
    return back_ ? p : TQclCustomBevelPanel::BackgroundOffset(p);
}

bool TQclCustomParentPanel::IsTransparentActive() { return back_ != nullptr || BackgroundAvailable(); }

bool TQclCustomParentPanel::NeedsDesignFrame() {
    return TQclCustomBevelPanel::NeedsDesignFrame() && !(ImageList() != nullptr && ImageList()->IsValid(ListIndex(), ImageIndex()));
}

bool TQclCustomParentPanel::DrawParentBackground(TCanvas* canvas, const TRect& r, uint16_t flag, TPoint offset) {
    if (Loading()) return false;
    if (!back_) return TQclCustomBevelPanel::DrawParentBackground(canvas, r, flag, offset);
    TRect to = r;
    TPoint from{offset.x - Left(), offset.y - Top()};
    if (r == ClientRect()) {
        // Only what the canvas lets through is copied.
        RECT clip;
        GetClipBox(canvas->Handle(), &clip);
        to = {clip.left, clip.top, clip.right, clip.bottom};
        from = {clip.left, clip.top};
    }
    PaletteGuard selected(canvas->Handle(), skipPalette_ ? nullptr : GetBackPalette());
    canvas->CopyRect(to, back_->Canvas(), Rect(from.x, from.y, from.x + to.Width(), from.y + to.Height()));
    return true;
}

HPALETTE TQclCustomParentPanel::GetPalette() {
    if (ImageList() == nullptr || !ImageList()->IsValid(ListIndex(), ImageIndex())) return nullptr;
    return QclBitmapPalette(ImageList()->ItemBitmap(ListIndex()), palette_);
}

void TQclCustomParentPanel::ObjectChanged(TObject* sender) {
    TQclCustomBevelPanel::ObjectChanged(sender);
    Invalidate();
}

void TQclCustomParentPanel::LinkChanged(TObject* sender) {
    BuildBackBitmap(true);
    ObjectChanged(sender);
    NotifyControls(CM_QCLBACKCHANGED);
}

void TQclCustomParentPanel::BuildBackBitmap(bool force) {
    TQclCustomImageList* list = ImageList();
    if (list == nullptr || !list->IsValid(ListIndex(), ImageIndex()) || Transparent()) {
        back_.reset();
        SetRepaintOnChange(true);
        return;
    }
    if (!back_) back_ = std::make_unique<TBitmap>();
    if (!force && ClientWidth() <= back_->Width() && ClientHeight() <= back_->Height()) return;
    back_->SetSize(Width(), Height());
    uint16_t flags = qclBmpTile;
    if (!QclPalettesLeftOut()) flags |= qclBmpPalette;
    list->DrawRect(back_->Canvas(), Rect(0, 0, Width(), Height()), ListIndex(), ImageIndex(), flags);
}

void TQclCustomParentPanel::WndProc(TMessage& m) {
    TQclCustomBevelPanel::WndProc(m);
    // Every new size: a panel made opaque again gets its picture back.
    if (m.Msg == WM_SIZE && !Loading()) {
        BuildBackBitmap(false);
        Invalidate();
    }
}

// ---------------------------------------------------------------- group box

TQclCustomGroupBox::TQclCustomGroupBox(TComponent* owner)
    : TQclCustomParentPanel(owner),
      captionFont_(std::make_unique<TFont>()),
      captionFont3D_(std::make_unique<TQcl3DCaption>()),
      drawCaption_(std::make_unique<TQclFxCaption>()) {
    using I = TControlStyleItem;
    SetControlStyle({I::csAcceptsControls, I::csCaptureMouse, I::csClickEvents, I::csSetCaption, I::csDoubleClicks,
                     I::csReplicatable});
    Bevel()->SetMode(TQclBevelMode::bmStandard);
    Bevel()->SetStandardStyle(TQclBorderStyle::lsFrameInset);
    captionFont_->OnChange = [this](TObject*) {
        if (!settingFont_) captionParentFont_ = false;
        ObjectChanged(nullptr);
    };
    captionFont3D_->OnChange = [this](TObject* s) { ObjectChanged(s); };
    ComputeCaption();
    SetBounds(Left(), Top(), 185, 105);
}

TQclCustomGroupBox::~TQclCustomGroupBox() {
    captionFont_->OnChange = nullptr;
    captionFont3D_->OnChange = nullptr;
}

void TQclCustomGroupBox::SetAlignment(TQclGroupCaptionAlign v) {
    if (v == alignment_) return;
    alignment_ = v;
    ObjectChanged(captionFont3D_.get());
    Realign();
}

void TQclCustomGroupBox::SetCaptionOffset(int v) {
    captionOffset_ = v;
    ObjectChanged(nullptr);
}

void TQclCustomGroupBox::SetShowAccelChar(bool v) {
    showAccelChar_ = v;
    ObjectChanged(nullptr);
}

void TQclCustomGroupBox::SetCaptionParentFont(bool v) {
    captionParentFont_ = v;
    if (v) {
        settingFont_ = true;
        captionFont_->Assign(Font());
        settingFont_ = false;
    }
}

void TQclCustomGroupBox::ComputeCaption() {
    drawCaption_->TQcl3DCaption::Assign(captionFont3D_.get());
    TQclCaptionSide side = QclCaptionSideOf(alignment_);
    drawCaption_->SetAngle(side == TQclCaptionSide::csLeft ? 90 : side == TQclCaptionSide::csRight ? 270 : 0);
    // Only outline fonts turn: a turned caption in another font is drawn in Arial.
    if (drawCaption_->Angle() != 0 && !QclIsTrueTypeFont(captionFont_.get())) captionFont_->SetName("Arial");
    captionHeight_ = QclGet3DFontHeight(captionFont3D_.get(), captionFont_.get());
}

void TQclCustomGroupBox::ObjectChanged(TObject* sender) {
    ComputeCaption();
    TQclCustomParentPanel::ObjectChanged(sender);
}

void TQclCustomGroupBox::AdjustClientRect(TRect& r) {
    TQclCustomParentPanel::AdjustClientRect(r);
    switch (QclCaptionSideOf(alignment_)) {
        case TQclCaptionSide::csTop: r.Top += captionHeight_; break;
        case TQclCaptionSide::csLeft: r.Left += captionHeight_; break;
        case TQclCaptionSide::csBottom: r.Bottom -= captionHeight_; break;
        case TQclCaptionSide::csRight: r.Right -= captionHeight_; break;
    }
}

namespace {

// A caption of blanks and control characters draws nothing and leaves no gap.
bool BlankCaption(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char ch) { return static_cast<unsigned char>(ch) <= ' '; });
}

}  // namespace

void TQclCustomGroupBox::Paint() {
    if (Loading()) return;
    DrawBackground();
    TRect inner;
    std::string text = Caption();
    if (BlankCaption(text)) {
        Bevel()->PaintBevel(Canvas(), ClientRect(), true, inner);
        return;
    }
    TQclGroupCaptionGeometry g = QclGroupCaptionGeometry(alignment_, Width(), Height(), captionHeight_, captionOffset_);
    Bevel()->PaintBevel(Canvas(), g.bevel, true, inner);
    unsigned format = QclAlignmentToDrawText(g.placement) | DT_SINGLELINE | DT_EXPANDTABS | QclBiDiFlags(this);
    if (!showAccelChar_) format |= DT_NOPREFIX;
    TRect textRect = QclCalcAlignedTextRect(g.placement, text, drawCaption_.get(), g.box, captionFont_.get(), false,
                                            showAccelChar_, format);
    // The frame line is cleared a little wider than the text, at its start.
    TRect gap = textRect;
    switch (QclCaptionSideOf(alignment_)) {
        case TQclCaptionSide::csTop: case TQclCaptionSide::csBottom: gap.Left -= 2; break;
        case TQclCaptionSide::csLeft: gap.Bottom += 2; break;
        case TQclCaptionSide::csRight: gap.Top -= 2; break;
    }
    FillBackgroundRect(gap);
    TCanvas* c = Canvas();
    c->Font()->Assign(captionFont_.get());
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    QclDraw3DText(c, text, drawCaption_.get(), textRect, format, Enabled() ? qclTextEnabled : 0);
    c->Font()->Assign(Font());
}

void TQclCustomGroupBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SelectFirst();
                m.Result = 1;
                return;
            }
            TQclCustomParentPanel::WndProc(m);
            return;
        case CM_ENABLEDCHANGED:
            TQclCustomParentPanel::WndProc(m);
            Repaint();
            return;
        case CM_FONTCHANGED:
        case CM_PARENTFONTCHANGED:
            TQclCustomParentPanel::WndProc(m);
            if (captionParentFont_) {
                // The parent's font when the message carries one, else the box's own.
                auto* font = m.Msg == CM_PARENTFONTCHANGED && m.WParam != 0 ? reinterpret_cast<TFont*>(m.LParam) : Font();
                settingFont_ = true;
                captionFont_->Assign(font);
                settingFont_ = false;
            }
            ObjectChanged(nullptr);
            return;
        case CM_TEXTCHANGED:
            TQclCustomParentPanel::WndProc(m);
            Invalidate();
            Realign();
            return;
        default:
            TQclCustomParentPanel::WndProc(m);
    }
}

// ---------------------------------------------------------------- scroll box

TQclCustomScrollBox::TQclCustomScrollBox(TComponent* owner)
    : TScrollBox(owner), bevel_(std::make_unique<TQclBevel>()) {
    using I = TControlStyleItem;
    SetControlStyle({I::csAcceptsControls, I::csCaptureMouse, I::csClickEvents, I::csDoubleClicks, I::csReplicatable});
    bevel_->SetWindowedOwner(true);
    bevel_->SetMode(TQclBevelMode::bmWindows);
    bevel_->OnChange = [this](TObject*) { BevelChanged(); };
    SetBorderStyle(TBorderStyle::bsNone);
    SetBounds(Left(), Top(), 185, 41);
}

TQclCustomScrollBox::~TQclCustomScrollBox() { bevel_->OnChange = nullptr; }

void TQclCustomScrollBox::SetBevel(TQclBevel* v) {
    bevel_->Assign(v);
    Perform(CM_QCLBEVELCHANGED);
}

void TQclCustomScrollBox::BevelChanged() {
    if (HandleAllocated()) RecreateWnd();
}

void TQclCustomScrollBox::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    QclSetOpaque(this, !v);
    if (HandleAllocated()) RecreateWnd();
    Invalidate();
}

bool TQclCustomScrollBox::IsTransparentActive() { return transparent_ && QclParentOffersBackground(this); }

void TQclCustomScrollBox::CreateParams(TCreateParams& params) {
    TScrollBox::CreateParams(params);
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    params.Style |= WS_CLIPCHILDREN;
    params.ExStyle &= ~WS_EX_CLIENTEDGE;
    params.Style &= ~WS_BORDER;
    if (bevel_->Mode() == TQclBevelMode::bmWindows) {
        if (Ctl3D()) params.ExStyle |= WS_EX_CLIENTEDGE;
        else params.Style |= WS_BORDER;
    }
}

// Copies the part of the parent's back bitmap that lies under `r` (client
// coordinates of this window, or window coordinates for the frame).
void TQclCustomScrollBox::FillFromParent(HDC dc, const TRect& r) {
    auto* parent = static_cast<TQclCustomControl*>(Parent());
    TBitmap* back = parent->GetBackBitmap();
    if (back == nullptr) return;
    TCanvas canvas;
    CanvasDCScope lent(&canvas, dc);
    POINT origin{0, 0};
    MapWindowPoints(Handle(), parent->Handle(), &origin, 1);
    TPoint q = parent->BackgroundOffset(Point(origin.x + r.Left, origin.y + r.Top));
    canvas.CopyRect(r, back->Canvas(), Rect(q.x, q.y, q.x + r.Width(), q.y + r.Height()));
}

void TQclCustomScrollBox::PaintNonClient() {
    if (!HandleAllocated()) return;
    WindowDC windowDC = WindowDC::WholeWindow(Handle());
    HDC dc = windowDC.Get();
    TCanvas canvas;
    CanvasDCScope lent(&canvas, dc);
    TRect inner;
    if (bevel_->Mode() != TQclBevelMode::bmWindows) bevel_->PaintBevel(&canvas, Rect(0, 0, Width(), Height()), false, inner);
    if (HorzScrollBar()->IsScrollBarVisible() && VertScrollBar()->IsScrollBarVisible()) {
        TRect r = bevel_->GetClientRect(Rect(0, 0, Width(), Height()));
        if (bevel_->Mode() == TQclBevelMode::bmWindows) {
            int d = Ctl3D() ? 2 : 1;
            r.Right -= d;
            r.Bottom -= d;
        }
        TRect corner = Rect(r.Right - GetSystemMetrics(SM_CXVSCROLL), r.Bottom - GetSystemMetrics(SM_CYHSCROLL), r.Right, r.Bottom);
        if (IsTransparentActive()) {
            FillFromParent(dc, corner);
        } else {
            canvas.Brush()->SetColor(Color());
            canvas.FillRect(corner);
        }
    }
}

void TQclCustomScrollBox::PaintWindow(HDC dc) {
    if (IsTransparentActive()) FillFromParent(dc, ClientRect());
    TScrollBox::PaintWindow(dc);
}

void TQclCustomScrollBox::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        TScrollBox::WndProc(m);
        auto* r = reinterpret_cast<RECT*>(m.LParam);
        r->left += bevel_->TotalWidth();
        r->top += bevel_->TotalWidth();
        r->right -= bevel_->BottomRightWidth();
        r->bottom -= bevel_->BottomRightWidth();
        return;
    }
    case WM_NCPAINT:
        TScrollBox::WndProc(m);
        PaintNonClient();
        return;
    case WM_ERASEBKGND:
        // Painting puts the parent's picture under the children; with one
        // child or none there is nothing to flicker, so it is put there now.
        if (IsTransparentActive()) {
            if (ControlCount() < 2) PaintWindow(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return;
        }
        break;
    case WM_PAINT:
        TScrollBox::WndProc(m);
        if (OnPaint) OnPaint(this);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL:
        TScrollBox::WndProc(m);
        // The children moved over a background that does not scroll with them.
        if (transparent_ && (instantUpdate_ || LOWORD(m.WParam) == SB_ENDSCROLL)) InvalidateRect(Handle(), nullptr, FALSE);
        return;
    case WM_SIZE:
        TScrollBox::WndProc(m);
        if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    case CM_QCLBEVELCHANGED:
        BevelChanged();
        return;
    case CM_QCLBACKCHANGED:
        Invalidate();
        if (transparent_) NotifyControls(CM_QCLBACKCHANGED);
        return;
    case WM_MOVE:
        TScrollBox::WndProc(m);
        if (transparent_) {
            Repaint();
            NotifyControls(CM_QCLBACKCHANGED);
        }
        return;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
        TScrollBox::WndProc(m);
        if (!transparent_ && !IsLoading() && HandleAllocated()) {
            Invalidate();
            if (HorzScrollBar()->IsScrollBarVisible() && VertScrollBar()->IsScrollBarVisible()) PaintNonClient();
        }
        return;
    case CM_CTL3DCHANGED:
        if (bevel_->Mode() == TQclBevelMode::bmWindows && QclNewStyleControls() && HandleAllocated()) RecreateWnd();
        break;
    default:
        break;
    }
    TScrollBox::WndProc(m);
}

}  // namespace treskel

#include "winutil/Colorbtn.h"

#include "platform/ExtCtrls.h"
#include "platform/FormLoader.h"
#include "platform/TypInfo.h"

namespace treskel {

TColorButton::TColorButton(TComponent* owner) : TCustomControl(owner) {
    SetBounds(Left(), Top(), 45, 25);
    SetParentFont(true);
    // What the face leaves uncovered shows the colour of what the button
    // sits on (the swatch's colour is another).
    TCustomControl::SetParentColor(true);
}

void TColorButton::SetColor(TColor color) {
    color_ = color;
    // At once, not at the next paint.
    if (HandleAllocated()) Repaint();
}

void TColorButton::SetMargin(int margin) {
    if (margin >= 0 && margin <= Width() / 2 && margin <= 255) margin_ = margin;
    Invalidate();
}

void TColorButton::SetFlatButtonStyle(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

// The face covers all but the last column and row, which show what is
// behind the button: a gap between swatches that stand side by side.
TRect TColorButton::FaceRect() { return Rect(0, 0, Width() - 1, Height() - 1); }

TRect TColorButton::DrawFace() {
    TCanvas* c = Canvas();
    TRect r = FaceRect();
    c->Pen()->SetColor(clBtnFace);
    c->Brush()->SetColor(clBtnFace);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Rectangle(r);
    TRect inner = r;
    if (pressed_) {
        if (flat_) {
            Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
        } else {
            Frame3D(c, r, clWindowFrame, clBtnHighlight, 1);
            Frame3D(c, r, clBtnShadow, clBtnFace, 1);
        }
    } else if (flat_) {
        if (hot_) Frame3D(c, r, clBtnHighlight, clBtnShadow, 1);
    } else {
        r = InflateRect(r, -1, -1);
        Frame3D(c, r, clBtnHighlight, clWindowFrame, 1);
        Frame3D(c, r, clBtnFace, clBtnShadow, 1);
    }
    if (!flat_) {
        inner = InflateRect(inner, -1, -1);
        if (pressed_) inner = OffsetRect(inner, 1, 1);
    }
    return inner;
}

void TColorButton::Paint() {
    TRect s = InflateRect(DrawFace(), -margin_, -margin_);
    if (pressed_ && !flat_) s = OffsetRect(s, 0, 1);
    TCanvas* c = Canvas();
    if (Focused()) c->DrawFocusRect(InflateRect(s, 3, 3));
    c->Brush()->SetColor(clBlack);
    c->FrameRect(s);
    s = InflateRect(s, -1, -1);
    c->Brush()->SetColor(Enabled() ? color_ : clBtnFace);
    c->FillRect(s);
}

void TColorButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (CanFocus()) SetFocus();
    pressed_ = sticky_ ? !pressed_ : true;
    Repaint();
    tracking_ = true;
}

void TColorButton::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (!tracking_) return;
    const bool inside = x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight();
    if (inside == pressed_) return;
    pressed_ = inside;
    Repaint();
}

void TColorButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseUp(button, shift, x, y);
    if (!tracking_) return;
    tracking_ = false;
    if (!sticky_) pressed_ = false;
    Repaint();
}

bool TColorButton::KeyDown(WORD& key, TShiftState shift) {
    if (!TCustomControl::KeyDown(key, shift)) return false;
    // A focused button is pressed from the keyboard as a button is.
    if ((key == VK_SPACE || key == VK_RETURN) && shift.Empty() && Enabled()) {
        key = 0;
        Click();
        return false;
    }
    return true;
}

void TColorButton::MouseEnter() {
    hot_ = true;
    if (!flat_ || pressed_ || !HandleAllocated()) return;
    // The frame at once, without waiting for a paint, where a paint puts it.
    WindowDC dc(Handle());
    CanvasDCScope lent(Canvas(), dc.Get());
    TRect r = FaceRect();
    Frame3D(Canvas(), r, clBtnHighlight, clBtnShadow, 1);
}

void TColorButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            TCustomControl::WndProc(m);
            MouseEnter();
            return;
        case CM_MOUSELEAVE:
            TCustomControl::WndProc(m);
            hot_ = false;
            if (flat_) Invalidate();
            return;
        case CM_ENABLEDCHANGED:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TCustomControl::WndProc(m);
            Invalidate();
            return;
        case CM_SYSCOLORCHANGE:
        case WM_SIZE:
            TCustomControl::WndProc(m);
            Invalidate();
            return;
        default: TCustomControl::WndProc(m); return;
    }
}

void RegisterColorButtonClasses() {
    PublishClass<TColorButton, TCustomControl>()
        .Int("Color", &TColorButton::Color, &TColorButton::SetColor, clWhite, &ColorIdents())
        .SetOf<TColorDialogOption>("Options", &TColorButton::Options, &TColorButton::SetOptions, {})
        .Int("Margin", &TColorButton::Margin, &TColorButton::SetMargin, 1)
        .Event("OnColorChange", &TColorButton::OnColorChange)
        .Bool("ShowColorDlg", &TColorButton::ShowColorDlg, &TColorButton::SetShowColorDlg)
        .Bool("FlatButtonStyle", &TColorButton::FlatButtonStyle, &TColorButton::SetFlatButtonStyle)
        .Bool("StickyButton", &TColorButton::StickyButton, &TColorButton::SetStickyButton);
}

}  // namespace treskel

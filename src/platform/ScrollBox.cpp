#include "platform/ScrollBox.h"

#include <algorithm>

#include "platform/FormLoader.h"

namespace treskel {

namespace {
constexpr int kLineStep = 8;
}

void TControlScrollBar::SetPosition(int p) {
    p = std::clamp(p, 0, MaxPosition());
    int delta = p - position_;
    if (delta == 0) return;
    position_ = p;
    if (box_->HandleAllocated()) SetScrollPos(box_->Handle(), bar_, p, TRUE);
    box_->ScrollBy(bar_ == SB_HORZ ? delta : 0, bar_ == SB_VERT ? delta : 0);
}

void TControlScrollBar::Update(int range, int page, bool shown) {
    range_ = range;
    page_ = page;
    shown_ = shown;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // An empty range hides the bar.
    si.nMax = shown ? range - 1 : 0;
    si.nPage = shown ? static_cast<UINT>(page) : 0;
    si.nPos = std::clamp(position_, 0, MaxPosition());
    SetScrollInfo(box_->Handle(), bar_, &si, TRUE);
    SetPosition(si.nPos);
}

void TControlScrollBar::ScrollMessage(WPARAM wParam) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(box_->Handle(), bar_, &si);
    int p = position_;
    switch (LOWORD(wParam)) {
        case SB_LINEUP: p -= kLineStep; break;
        case SB_LINEDOWN: p += kLineStep; break;
        case SB_PAGEUP: p -= page_; break;
        case SB_PAGEDOWN: p += page_; break;
        case SB_TOP: p = 0; break;
        case SB_BOTTOM: p = MaxPosition(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            if (LOWORD(wParam) == SB_THUMBTRACK && !tracking_) return;
            // The message carries 16 bits of the place; a longer range asks the bar.
            p = range_ > 0xFFFF ? si.nTrackPos : HIWORD(wParam);
            break;
        default: return;
    }
    SetPosition(p);
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    SetControlStyle({TControlStyleItem::csAcceptsControls, TControlStyleItem::csCaptureMouse,
                     TControlStyleItem::csClickEvents, TControlStyleItem::csSetCaption,
                     TControlStyleItem::csDoubleClicks});
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TScrollBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.Style |= WS_CLIPCHILDREN;
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
        else p.Style |= WS_BORDER;
    }
}

void TScrollBox::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollBars();
}

void TScrollBox::AlignControls(TControl* control, TRect& rect) {
    TWinControl::AlignControls(control, rect);
    UpdateScrollBars();
}

void TScrollBox::ScrollBy(int dx, int dy) {
    bool was = updating_;
    // The range counts from the scrolled-to place: the children moving
    // do not change it.
    updating_ = true;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() - dx, c->Top() - dy, c->Width(), c->Height());
    }
    updating_ = was;
    Invalidate();
}

void TScrollBox::UpdateScrollBars() {
    if (updating_ || !HandleAllocated() || IsLoading()) return;
    updating_ = true;
    // Showing or hiding a bar resizes the client area, whose handler may
    // move the children again: settle in a few rounds.
    for (int round = 0; round < 3; ++round) {
        int right = 0, bottom = 0;
        for (int i = 0; i < ControlCount(); ++i) {
            TControl* c = Controls(i);
            if (!c->Visible()) continue;
            right = std::max(right, c->Left() + c->Width() + horz_.position_);
            bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
        }
        RECT cr;
        GetClientRect(Handle(), &cr);
        int w = cr.right, h = cr.bottom;
        LONG style = GetWindowLongA(Handle(), GWL_STYLE);
        int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
        if (style & WS_VSCROLL) w += cx;
        if (style & WS_HSCROLL) h += cy;
        bool needH = false, needV = false;
        for (int k = 0; k < 2; ++k) {
            needH = right > w - (needV ? cx : 0);
            needV = bottom > h - (needH ? cy : 0);
        }
        int before[4] = {horz_.position_, vert_.position_, horz_.shown_, vert_.shown_};
        int ranges[2] = {horz_.range_, vert_.range_};
        horz_.Update(right, w - (needV ? cx : 0), needH);
        vert_.Update(bottom, h - (needH ? cy : 0), needV);
        int after[4] = {horz_.position_, vert_.position_, horz_.shown_, vert_.shown_};
        if (std::equal(before, before + 4, after) && ranges[0] == right && ranges[1] == bottom) break;
    }
    updating_ = false;
}

void TScrollBox::WndProc(TMessage& m) {
    if ((m.Msg == WM_HSCROLL || m.Msg == WM_VSCROLL) && m.LParam == 0) {
        (m.Msg == WM_HSCROLL ? horz_ : vert_).ScrollMessage(m.WParam);
        m.Result = 0;
        return;
    }
    TWinControl::WndProc(m);
}

void RegisterScrollBoxClasses() {
    PublishClass<TControlScrollBar, TPersistent>()
        .Int("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition)
        .Bool("Tracking", &TControlScrollBar::Tracking, &TControlScrollBar::SetTracking);
    PublishClass<TScrollBox, TWinControl>()
        .Object("HorzScrollBar", &TScrollBox::HorzScrollBar)
        .Object("VertScrollBar", &TScrollBox::VertScrollBar)
        .Enum<TBorderStyle>("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle,
                            TBorderStyle::bsSingle)
        .Int("Color", &TControl::Color, &TControl::SetColor, clBtnFace, &ColorIdents());
}

}  // namespace treskel

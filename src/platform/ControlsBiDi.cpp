// The reading order of a control's text, and its size: the limits it is
// held within, the events that may refuse or limit a new size, and a size
// taken from its content (AutoSize).
#include <algorithm>

#include "platform/Controls.h"

namespace treskel {

TBiDiMode TControl::BiDiMode() const {
    if (parentBiDiMode_ && parent_ != nullptr) return parent_->BiDiMode();
    return biDiMode_;
}

void TControl::SetBiDiMode(TBiDiMode m) {
    const TBiDiMode shown = BiDiMode();
    parentBiDiMode_ = false;
    biDiMode_ = m;
    if (m != shown) BiDiModeChanged();
}

void TControl::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    const TBiDiMode shown = BiDiMode();
    // Let go of the parent: the control keeps the mode it shows now.
    if (!v) biDiMode_ = shown;
    parentBiDiMode_ = v;
    if (BiDiMode() != shown) BiDiModeChanged();
}

void TWinControl::BiDiModeChanged() {
    // The window's reading order and scroll bar side are in its styles;
    // its children's windows are made anew with it.
    if (HandleAllocated()) RecreateWnd();
    for (TControl* c : controls_)
        if (c->ParentBiDiMode() && dynamic_cast<TWinControl*>(c) == nullptr) c->BiDiModeChanged();
}

UINT TControl::BiDiTextFlags(UINT flags) const {
    if (UseRightToLeftAlignment()) {
        if ((flags & DT_RIGHT) != 0) flags &= ~DT_RIGHT;
        else if ((flags & DT_CENTER) == 0) flags |= DT_RIGHT;
    }
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    return flags;
}

void TSizeConstraints::Set(int& field, int v) {
    if (v == field) return;
    field = std::max(v, 0);
    // The control takes the new limits at once.
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

void TSizeConstraints::Assign(TPersistent* source) {
    auto* c = dynamic_cast<TSizeConstraints*>(source);
    if (c == nullptr) return TPersistent::Assign(source);
    maxHeight_ = c->maxHeight_;
    maxWidth_ = c->maxWidth_;
    minHeight_ = c->minHeight_;
    minWidth_ = c->minWidth_;
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

// ------------------------------------------------------------ size

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}

void TControl::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    if (OnConstrainedResize) OnConstrainedResize(this, minWidth, minHeight, maxWidth, maxHeight);
}

bool TControl::CheckNewSize(int& width, int& height) {
    // A layout being read calls no handler of the form it builds.
    const bool events = !IsLoading();
    int w = width, h = height;
    if (events && !CanResize(w, h)) return false;
    int minWidth = constraints_.MinWidth(), minHeight = constraints_.MinHeight();
    int maxWidth = constraints_.MaxWidth(), maxHeight = constraints_.MaxHeight();
    if (events) ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
    if (maxWidth > 0 && w > maxWidth) w = maxWidth;
    else if (minWidth > 0 && w < minWidth) w = minWidth;
    if (maxHeight > 0 && h > maxHeight) h = maxHeight;
    else if (minHeight > 0 && h < minHeight) h = minHeight;
    width = w;
    height = h;
    return true;
}

void TControl::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    if (v) AdjustSize();
}

void TWinControl::AdjustSize() {
    if (!autoSize_ || IsLoading() || autoSizing_) return;
    TRect inner = ClientRect();
    AdjustClientRect(inner);
    bool any = false;
    TRect extents;
    for (TControl* c : controls_) {
        if (!c->Visible()) continue;
        TRect b = c->BoundsRect();
        extents = any ? Rect(std::min(extents.Left, b.Left), std::min(extents.Top, b.Top), std::max(extents.Right, b.Right),
                             std::max(extents.Bottom, b.Bottom))
                      : b;
        any = true;
    }
    if (!any) return;
    autoSizing_ = true;
    try {
        // The children move together to the corner of the client area, as
        // far as their alignment lets them.
        const int dx = inner.Left - extents.Left, dy = inner.Top - extents.Top;
        if (dx != 0 || dy != 0) {
            DisableAlign();
            for (TControl* c : controls_)
                if (c->Visible() && c->Align() == TAlign::alNone)
                    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
            --alignLevel_;
        }
        int w = Width() - inner.Width() + extents.Width();
        int h = Height() - inner.Height() + extents.Height();
        // An aligned control keeps the size its alignment gives it.
        if (Align() == TAlign::alTop || Align() == TAlign::alBottom || Align() == TAlign::alClient) w = Width();
        if (Align() == TAlign::alLeft || Align() == TAlign::alRight || Align() == TAlign::alClient) h = Height();
        if ((w != Width() || h != Height()) && CanAutoSize(w, h)) SetBounds(Left(), Top(), w, h);
    } catch (...) {
        autoSizing_ = false;
        throw;
    }
    autoSizing_ = false;
}

void TWinControl::WmWindowPosChanging(TMessage& m) {
    // The size the window is given from outside (by the user, by the
    // system) is asked for as the control's own changes are.
    auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
    if (settingBounds_ || (pos->flags & SWP_NOSIZE) != 0 || IsLoading() ||
        ComponentState().Contains(TComponentStateItem::csDestroying))
        return;
    int w = pos->cx, h = pos->cy;
    if (!CheckNewSize(w, h)) {
        pos->flags |= SWP_NOSIZE;
        return;
    }
    pos->cx = w;
    pos->cy = h;
}

}  // namespace treskel

// Alignment of child controls and the tab order of windowed controls.
#include "platform/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/ActnList.h"
#include "platform/ControlsHooks.h"
#include "platform/ControlsPriv.h"
#include "platform/DockTree.h"

namespace treskel {

using namespace ctl;

void TWinControl::EnableAlign() {
    if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}

void TWinControl::RequestAlign() { TControl::RequestAlign(); }

void TWinControl::AlignControls(TControl* control, TRect& rect) {
    if (alignLevel_ > 0 || IsLoading()) {
        controlState_ += TControlStateItem::csAlignmentNeeded;
        return;
    }
    // A control that sizes itself to the room it is given (a tool bar
    // that wraps its buttons) asks again while it is placed: the others
    // are placed again around its new size.
    const TRect given = rect;
    for (int pass = 0; pass < 3; ++pass) {
        controlState_ -= TControlStateItem::csAlignmentNeeded;
        ++alignLevel_;
        rect = given;
        AdjustClientRect(rect);
        TRect r = rect;
        // The dock manager places the controls docked in the site.
        if (dockManager_ != nullptr) dockManager_->ResetBounds();
        for (TAlign a : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient})
            AlignEdge(a, control, r);
        ApplyAnchors();
        --alignLevel_;
        if (!controlState_.Contains(TControlStateItem::csAlignmentNeeded)) break;
    }
    AdjustSize();
}

namespace {
// Where a control stands along the edge it is aligned to.
int EdgeOrder(TAlign a, TControl* c) {
    switch (a) {
        case TAlign::alTop: return c->Top();
        case TAlign::alBottom: return -(c->Top() + c->Height());
        case TAlign::alLeft: return c->Left();
        case TAlign::alRight: return -(c->Left() + c->Width());
        default: return 0;
    }
}

// The bounds of a control aligned to `a` in what is left of the client
// area, `r`, which loses the space it takes.
TRect TakeFromEdge(TAlign a, TControl* c, TRect& r) {
    int w = c->Width(), h = c->Height();
    switch (a) {
        case TAlign::alTop: r.Top += h; return Bounds(r.Left, r.Top - h, std::max(r.Width(), 0), h);
        case TAlign::alBottom: r.Bottom -= h; return Bounds(r.Left, r.Bottom, std::max(r.Width(), 0), h);
        case TAlign::alLeft: r.Left += w; return Bounds(r.Left - w, r.Top, w, std::max(r.Height(), 0));
        case TAlign::alRight: r.Right -= w; return Bounds(r.Right, r.Top, w, std::max(r.Height(), 0));
        default: return Bounds(r.Left, r.Top, std::max(r.Width(), 0), std::max(r.Height(), 0));
    }
}
}  // namespace

void TWinControl::AlignEdge(TAlign a, TControl* moved, TRect& r) {
    std::vector<TControl*> list;
    for (TControl* c : controls_)
        if (c->Align() == a && c->Visible() && !ManagedDockClient(c)) list.push_back(c);
    // Controls keep their order along the edge; the one just moved goes
    // where it was put.
    std::stable_sort(list.begin(), list.end(), [&](TControl* x, TControl* y) {
        int kx = EdgeOrder(a, x), ky = EdgeOrder(a, y);
        if (kx != ky) return kx < ky;
        return x == moved && y != moved;
    });
    for (TControl* c : list) {
        TRect nb = TakeFromEdge(a, c, r);
        if (nb != c->BoundsRect()) c->SetBounds(nb.Left, nb.Top, nb.Width(), nb.Height());
    }
}

// Anchored controls keep their distances to the right and bottom.
void TWinControl::ApplyAnchors() {
    TRect cr = ClientRect();
    for (TControl* c : controls_) {
        if (c->Align() != TAlign::alNone || ManagedDockClient(c)) continue;
        TAnchors an = c->Anchors();
        if (!an.Contains(TAnchorKind::akRight) && !an.Contains(TAnchorKind::akBottom)) continue;
        if (c->anchorParentSize_.cx == 0 && c->anchorParentSize_.cy == 0) continue;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (an.Contains(TAnchorKind::akRight)) {
            int right = cr.Right - c->anchorOrigin_.x;
            if (an.Contains(TAnchorKind::akLeft)) w = std::max(right - l, 0);
            else l = right - w;
        }
        if (an.Contains(TAnchorKind::akBottom)) {
            int bottom = cr.Bottom - c->anchorOrigin_.y;
            if (an.Contains(TAnchorKind::akTop)) h = std::max(bottom - t, 0);
            else t = bottom - h;
        }
        if (Bounds(l, t, w, h) == c->BoundsRect()) continue;
        TPoint keepOrigin = c->anchorOrigin_;
        TSize keepSize = c->anchorParentSize_;
        c->SetBounds(l, t, w, h);
        c->anchorOrigin_ = keepOrigin;
        c->anchorParentSize_ = keepSize;
    }
}

void TWinControl::AlignAll() {
    TRect r = ClientRect();
    AlignControls(nullptr, r);
}


// ------------------------------------------------------------ tab order

int TWinControl::TabOrder() const {
    if (Parent() == nullptr) return -1;
    std::vector<TWinControl*> list;
    for (TControl* c : Parent()->controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) list.push_back(w);
    std::stable_sort(list.begin(), list.end(), [](TWinControl* a, TWinControl* b) {
        int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_;
        int tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
        return ta < tb;
    });
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) { tabOrder_ = order; }

void TWinControl::SetTabStop(bool v) {
    if (v == tabStop_) return;
    tabStop_ = v;
    if (handle_ != nullptr) {
        LONG style = GetWindowLongA(handle_, GWL_STYLE);
        SetWindowLongA(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
    std::vector<TWinControl*> kids;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) kids.push_back(w);
    std::stable_sort(kids.begin(), kids.end(), [](TWinControl* a, TWinControl* b) {
        int ta = a->tabOrder_ < 0 ? INT32_MAX : a->tabOrder_;
        int tb = b->tabOrder_ < 0 ? INT32_MAX : b->tabOrder_;
        return ta < tb;
    });
    for (TWinControl* w : kids) {
        list.push_back(w);
        w->GetTabOrderList(list);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int n = static_cast<int>(list.size());
    int start = -1;
    for (int i = 0; i < n; ++i)
        if (list[static_cast<size_t>(i)] == current) start = i;
    if (start < 0) start = goForward ? n - 1 : 0;
    int i = start;
    for (int step = 0; step < n; ++step) {
        i = goForward ? (i + 1) % n : (i - 1 + n) % n;
        TWinControl* c = list[static_cast<size_t>(i)];
        if (c == current) break;
        if ((!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
    }
    return nullptr;
}

void TWinControl::SelectFirst() {
    if (TWinControl* c = FindNextControl(nullptr, true, true, false)) c->SetFocus();
}


}  // namespace treskel

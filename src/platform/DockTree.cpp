#include "platform/DockTree.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/ControlsPriv.h"
#include "platform/Handles.h"

namespace treskel {

// A leaf holds one control; an inner zone splits its room among its
// children, left to right or top to bottom, each by its share.
struct TDockTree::Zone {
    TControl* control = nullptr;
    bool sideBySide = false;
    double share = 1.0;
    std::vector<std::unique_ptr<Zone>> children;
    Zone* parent = nullptr;
    TRect rect;
};

namespace {

// The half of `r` on side `align`.
TRect HalfOf(const TRect& r, TAlign align) {
    switch (align) {
        case TAlign::alLeft: return Rect(r.Left, r.Top, r.Left + r.Width() / 2, r.Bottom);
        case TAlign::alTop: return Rect(r.Left, r.Top, r.Right, r.Top + r.Height() / 2);
        case TAlign::alBottom: return Rect(r.Left, r.Top + r.Height() / 2, r.Right, r.Bottom);
        default: return Rect(r.Left + r.Width() / 2, r.Top, r.Right, r.Bottom);
    }
}

}  // namespace

TDockTree::TDockTree(TWinControl* site) : site_(site) {}

TDockTree::~TDockTree() = default;

TDockTree::Zone* TDockTree::FindZone(Zone* zone, TControl* control) {
    if (zone == nullptr) return nullptr;
    if (zone->control == control) return zone;
    for (auto& c : zone->children)
        if (Zone* z = FindZone(c.get(), control)) return z;
    return nullptr;
}

void TDockTree::InsertControl(TControl* control, TAlign align, TControl* dropOn) {
    if (FindZone(root_.get(), control) != nullptr) return;
    auto leaf = std::make_unique<Zone>();
    leaf->control = control;
    if (root_ == nullptr) {
        root_ = std::move(leaf);
        return;
    }
    Zone* target = dropOn != nullptr ? FindZone(root_.get(), dropOn) : nullptr;
    if (target == nullptr) {
        target = root_.get();
        align = TAlign::alRight;
    }
    if (align != TAlign::alLeft && align != TAlign::alTop && align != TAlign::alBottom) align = TAlign::alRight;
    const bool side = align == TAlign::alLeft || align == TAlign::alRight;
    const bool before = align == TAlign::alLeft || align == TAlign::alTop;
    Zone* parent = target->parent;
    if (parent != nullptr && parent->sideBySide == side) {
        // The target's room is split in two in the row it stands in.
        target->share /= 2;
        leaf->share = target->share;
        leaf->parent = parent;
        auto at = std::find_if(parent->children.begin(), parent->children.end(),
                               [target](const std::unique_ptr<Zone>& z) { return z.get() == target; });
        parent->children.insert(before ? at : at + 1, std::move(leaf));
        return;
    }
    // The target becomes half of a new zone split the other way.
    auto inner = std::make_unique<Zone>();
    inner->sideBySide = side;
    inner->parent = parent;
    std::unique_ptr<Zone>& slot =
        parent == nullptr ? root_
                          : *std::find_if(parent->children.begin(), parent->children.end(),
                                          [target](const std::unique_ptr<Zone>& z) { return z.get() == target; });
    inner->share = target->share;
    std::unique_ptr<Zone> moved = std::move(slot);
    moved->share = leaf->share = 0.5;
    moved->parent = leaf->parent = inner.get();
    if (before) {
        inner->children.push_back(std::move(leaf));
        inner->children.push_back(std::move(moved));
    } else {
        inner->children.push_back(std::move(moved));
        inner->children.push_back(std::move(leaf));
    }
    slot = std::move(inner);
}

void TDockTree::RemoveControl(TControl* control) {
    Zone* leaf = FindZone(root_.get(), control);
    if (leaf == nullptr) return;
    if (pressed_ == leaf) pressed_ = nullptr;
    bars_.clear();
    moving_.reset();
    Zone* parent = leaf->parent;
    if (parent == nullptr) {
        root_.reset();
        return;
    }
    auto& kids = parent->children;
    kids.erase(std::find_if(kids.begin(), kids.end(), [leaf](const std::unique_ptr<Zone>& z) { return z.get() == leaf; }));
    // The others share the room it leaves.
    double total = 0;
    for (auto& k : kids) total += k->share;
    for (auto& k : kids) k->share = total > 0 ? k->share / total : 1.0 / static_cast<double>(kids.size());
    if (kids.size() != 1) return;
    // A zone of one is that one.
    std::unique_ptr<Zone> only = std::move(kids.front());
    only->share = parent->share;
    only->parent = parent->parent;
    if (parent->parent == nullptr) {
        root_ = std::move(only);
        return;
    }
    auto& up = parent->parent->children;
    *std::find_if(up.begin(), up.end(), [parent](const std::unique_ptr<Zone>& z) { return z.get() == parent; }) =
        std::move(only);
}

bool TDockTree::ZoneVisible(const Zone* zone) const {
    if (zone->control != nullptr) return zone->control->Visible();
    return std::any_of(zone->children.begin(), zone->children.end(),
                       [this](const std::unique_ptr<Zone>& z) { return ZoneVisible(z.get()); });
}

void TDockTree::ResetBounds() {
    TRect area = site_->ClientRect();
    site_->AdjustClientRect(area);
    bars_.clear();
    if (root_ != nullptr) Layout(root_.get(), area);
}

void TDockTree::Layout(Zone* zone, const TRect& rect) {
    zone->rect = rect;
    if (zone->control != nullptr) {
        if (zone->control->Visible())
            zone->control->SetBounds(rect.Left, rect.Top + kGrabberSize, rect.Width(),
                                     std::max(rect.Height() - kGrabberSize, 0));
        return;
    }
    std::vector<Zone*> shown;
    double total = 0;
    for (auto& c : zone->children)
        if (ZoneVisible(c.get())) {
            shown.push_back(c.get());
            total += c->share;
        }
    const int whole = zone->sideBySide ? rect.Width() : rect.Height();
    const int length = std::max(whole - kBarSize * static_cast<int>(shown.size() - 1), 0);
    int at = zone->sideBySide ? rect.Left : rect.Top;
    const int end = at + whole;
    auto span = [&](int from, int to) {
        return zone->sideBySide ? Rect(from, rect.Top, to, rect.Bottom) : Rect(rect.Left, from, rect.Right, to);
    };
    for (size_t i = 0; i < shown.size(); ++i) {
        int size = i + 1 == shown.size() ? end - at : static_cast<int>(length * shown[i]->share / total + 0.5);
        Layout(shown[i], span(at, at + size));
        at += size;
        if (i + 1 < shown.size()) {
            bars_.push_back({shown[i], shown[i + 1], zone->sideBySide, span(at, at + kBarSize)});
            at += kBarSize;
        }
    }
}

const TDockTree::Bar* TDockTree::BarAt(TPoint pos) const {
    for (const Bar& b : bars_)
        if (PtInRect(b.rect, pos)) return &b;
    return nullptr;
}

// The two zones either side of the bar share their room anew, none
// smaller than a grabber.
void TDockTree::MoveBar(TPoint pos) {
    const TRect& a = moving_->before->rect;
    const TRect& b = moving_->after->rect;
    const bool side = moving_->sideBySide;
    const int start = side ? a.Left : a.Top;
    const int room = (side ? b.Right : b.Bottom) - start - kBarSize;
    if (room <= 0) return;
    const int least = std::min(2 * kGrabberSize, room / 2);
    const int first = std::clamp((side ? pos.x : pos.y) - grab_ - start, least, room - least);
    const double shares = moving_->before->share + moving_->after->share;
    moving_->before->share = shares * first / room;
    moving_->after->share = shares - moving_->before->share;
    site_->Realign();
    site_->Invalidate();
}

TControl* TDockTree::ClientAt(TPoint pos) {
    std::vector<Zone*> stack;
    if (root_ != nullptr) stack.push_back(root_.get());
    while (!stack.empty()) {
        Zone* z = stack.back();
        stack.pop_back();
        if (!ZoneVisible(z) || !PtInRect(z->rect, pos)) continue;
        if (z->control != nullptr) return z->control;
        for (auto& c : z->children) stack.push_back(c.get());
    }
    return nullptr;
}

TRect TDockTree::PositionDockRect(TControl* control, TControl* dropOn, TAlign align) {
    TRect area = site_->ClientRect();
    site_->AdjustClientRect(area);
    Zone* on = dropOn != nullptr ? FindZone(root_.get(), dropOn) : nullptr;
    bool others = false;
    for (TControl* c : site_->dockClients_)
        others = others || (c != control && c->Visible());
    TRect r = area;
    if (on != nullptr) r = HalfOf(on->rect, align);
    else if (others) r = HalfOf(area, TAlign::alRight);
    TPoint a = site_->ClientToScreen({r.Left, r.Top});
    return Bounds(a.x, a.y, r.Width(), r.Height());
}

TRect TDockTree::ButtonRect(const TRect& z) const {
    return Rect(z.Right - kGrabberSize + 1, z.Top + 1, z.Right - 1, z.Top + kGrabberSize - 1);
}

void TDockTree::PaintSite(HDC dc) {
    if (root_ != nullptr) PaintZone(dc, root_.get());
}

void TDockTree::PaintZone(HDC dc, const Zone* zone) {
    if (!ZoneVisible(zone)) return;
    for (auto& c : zone->children) PaintZone(dc, c.get());
    if (zone->control == nullptr) return;
    const TRect& z = zone->rect;
    RECT grabber{z.Left, z.Top, z.Right, z.Top + kGrabberSize};
    FillRect(dc, &grabber, GetSysColorBrush(COLOR_BTNFACE));
    TRect button = ButtonRect(z);
    // Two raised lines, as a handle to take hold of.
    for (int i = 0; i < 2; ++i) {
        RECT line{z.Left + 2, z.Top + 3 + 4 * i, button.Left - 2, z.Top + 6 + 4 * i};
        if (line.right > line.left) DrawEdge(dc, &line, BDR_RAISEDINNER, BF_RECT);
    }
    RECT b{button.Left, button.Top, button.Right, button.Bottom};
    DrawFrameControl(dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | (zone == pressed_ ? DFCS_PUSHED : 0));
}

TDockTree::Zone* TDockTree::GrabberAt(Zone* zone, TPoint pos, bool& onButton) {
    if (zone == nullptr || !ZoneVisible(zone)) return nullptr;
    if (zone->control != nullptr) {
        const TRect& z = zone->rect;
        if (!PtInRect(Rect(z.Left, z.Top, z.Right, z.Top + kGrabberSize), pos)) return nullptr;
        onButton = PtInRect(ButtonRect(z), pos);
        return zone;
    }
    for (auto& c : zone->children)
        if (Zone* g = GrabberAt(c.get(), pos, onButton)) return g;
    return nullptr;
}

bool TDockTree::HandleMessage(TMessage& m) {
    TPoint pos{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    bool onButton = false;
    switch (m.Msg) {
        case WM_SETCURSOR: {
            if (LOWORD(m.LParam) != HTCLIENT || reinterpret_cast<HWND>(m.WParam) != site_->Handle()) return false;
            POINT p;
            GetCursorPos(&p);
            const Bar* bar = moving_ != nullptr ? moving_.get() : BarAt(site_->ScreenToClient({p.x, p.y}));
            if (bar == nullptr) return false;
            ::SetCursor(LoadCursor(nullptr, bar->sideBySide ? IDC_SIZEWE : IDC_SIZENS));
            m.Result = 1;
            return true;
        }
        case WM_MOUSEMOVE:
            if (moving_ == nullptr) return false;
            MoveBar(pos);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (const Bar* bar = BarAt(pos)) {
                moving_ = std::make_unique<Bar>(*bar);
                grab_ = bar->sideBySide ? pos.x - bar->rect.Left : pos.y - bar->rect.Top;
                SetCapture(site_->Handle());
                return true;
            }
            Zone* z = GrabberAt(root_.get(), pos, onButton);
            if (z == nullptr) return false;
            if (onButton) {
                pressed_ = z;
                SetCapture(site_->Handle());
                site_->Invalidate();
            } else {
                ctl::BeginDockDrag(z->control, -1);
            }
            return true;
        }
        case WM_LBUTTONUP: {
            if (moving_ != nullptr) {
                MoveBar(pos);
                moving_.reset();
                if (GetCapture() == site_->Handle()) ReleaseCapture();
                return true;
            }
            if (pressed_ == nullptr) return false;
            Zone* z = pressed_;
            pressed_ = nullptr;
            if (GetCapture() == site_->Handle()) ReleaseCapture();
            site_->Invalidate();
            if (GrabberAt(root_.get(), pos, onButton) == z && onButton) z->control->SetVisible(false);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace treskel

// Docking: controls dragged (dkDock) into dock sites, or floating in a
// window of their own over none; the sites a drag looks for; the frame on
// the screen that shows where the control would go.
#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsHooks.h"
#include "platform/ControlsPriv.h"
#include "platform/DockTree.h"
#include "platform/Handles.h"

namespace treskel {

using namespace ctl;

namespace ctl {
std::vector<TWinControl*> dockSites;
}  // namespace ctl

namespace {

// Inverts a frame `width` pixels wide on the screen, in a half-tone that
// shows over any colour; the same call takes it away again.
void InvertFrame(const TRect& r, int width) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    GdiHandle<HBRUSH> brush = HalftoneBrush();
    WindowDC dc(nullptr);
    SelectGuard selected(dc.Get(), brush.Get());
    int inner = std::max(r.Height() - 2 * width, 0);
    PatBlt(dc.Get(), r.Left, r.Top, r.Width(), width, PATINVERT);
    PatBlt(dc.Get(), r.Left, r.Bottom - width, r.Width(), width, PATINVERT);
    PatBlt(dc.Get(), r.Left, r.Top + width, width, inner, PATINVERT);
    PatBlt(dc.Get(), r.Right - width, r.Top + width, width, inner, PATINVERT);
}

constexpr int kFloatingFrame = 3, kDockedFrame = 1;

TRect ScreenBounds(TControl* c) {
    TPoint o = c->Parent() != nullptr ? c->Parent()->ClientToScreen({c->Left(), c->Top()}) : TPoint{c->Left(), c->Top()};
    return Bounds(o.x, o.y, c->Width(), c->Height());
}

}  // namespace

// ------------------------------------------------------------ the drag

TDragDockObject::TDragDockObject(TControl* control) : Control(control) { DockRect = ScreenBounds(control); }

TDragDockObject::~TDragDockObject() { HideDragImage(); }

TObject* TDragDockObject::Source() { return Control; }

TCursor TDragDockObject::GetDragCursor(bool, int, int) { return crDefault; }

void TDragDockObject::HideDragImage() {
    if (drawn_.Width() <= 0) return;
    InvertFrame(drawn_, drawnWidth_);
    drawn_ = TRect{};
}

void TDragDockObject::ShowDragImage() {
    HideDragImage();
    drawnWidth_ = Floating ? kFloatingFrame : kDockedFrame;
    drawn_ = DockRect;
    InvertFrame(drawn_, drawnWidth_);
}

TRect TDragDockObject::FloatRect(TPoint pos) const {
    int w = Control->UndockWidth(), h = Control->UndockHeight();
    int left = pos.x - static_cast<int>(w * grabX_ + 0.5), top = pos.y - static_cast<int>(h * grabY_ + 0.5);
    return Bounds(left, top, w, h);
}

void TDragDockObject::TakeHold(TPoint pos) {
    TRect r = ScreenBounds(Control);
    grabX_ = r.Width() > 0 ? static_cast<double>(pos.x - r.Left) / r.Width() : 0;
    grabY_ = r.Height() > 0 ? static_cast<double>(pos.y - r.Top) / r.Height() : 0;
    grabX_ = std::clamp(grabX_, 0.0, 1.0);
    grabY_ = std::clamp(grabY_, 0.0, 1.0);
    DockRect = r;
}

namespace ctl {

void PlaceClientArea(TWinControl* window, const TRect& screenRect) {
    RECT w{screenRect.Left, screenRect.Top, screenRect.Right, screenRect.Bottom};
    HWND h = window->Handle();
    AdjustWindowRectEx(&w, static_cast<DWORD>(GetWindowLongA(h, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(h, GWL_EXSTYLE)));
    window->SetBounds(w.left, w.top, w.right - w.left, w.bottom - w.top);
}

// The dock site a control dragged to `pos` would dock into: of the sites
// whose influence (their window and a margin, or what OnGetSiteInfo says)
// holds the point, the one whose window is under the pointer, else the
// first found.
TWinControl* FindDockSite(TControl* client, TPoint pos) {
    std::vector<TWinControl*> candidates;
    for (TWinControl* site : dockSites) {
        if (site == client || !site->Showing() || !site->Enabled() || !site->HandleAllocated()) continue;
        if (auto* w = dynamic_cast<TWinControl*>(client); w != nullptr && w->ContainsControl(site)) continue;
        TRect influence;
        bool canDock = true;
        site->GetSiteInfo(client, influence, pos, canDock);
        if (canDock && PtInRect(influence, pos)) candidates.push_back(site);
    }
    if (candidates.empty()) return nullptr;
    // The site nearest above the window under the pointer wins.
    POINT p{pos.x, pos.y};
    for (HWND w = WindowFromPoint(p); w != nullptr; w = GetParent(w)) {
        for (TWinControl* site : candidates)
            if (site->Handle() == w) return site;
        if ((GetWindowLongA(w, GWL_STYLE) & WS_CHILD) == 0) break;
    }
    return candidates.front();
}

}  // namespace ctl

// ------------------------------------------------------------ the docked control

void TControl::DoStartDock(TDragDockObject*& dragObject) {
    if (OnStartDock) OnStartDock(this, dragObject);
}

void TControl::DoEndDock(TObject* target, int x, int y) {
    if (OnEndDock) OnEndDock(this, target, x, y);
}

bool TControl::Floating() const { return hostDockSite_ != nullptr && hostDockSite_->floatHost_; }

TAlign TControl::GetDockEdge(TPoint p) {
    if (p.x <= 0) return TAlign::alLeft;
    if (p.x >= width_) return TAlign::alRight;
    if (p.y <= 0) return TAlign::alTop;
    if (p.y >= height_) return TAlign::alBottom;
    // Inside: the nearest edge, the first of equals in this order.
    const int distance[4] = {p.x, width_ - p.x, p.y, height_ - p.y};
    const TAlign edge[4] = {TAlign::alLeft, TAlign::alRight, TAlign::alTop, TAlign::alBottom};
    return edge[std::min_element(distance, distance + 4) - distance];
}

bool TControl::Dock(TWinControl* site, const TRect& screenRect, TControl* dropOn, TAlign align) {
    TWinControl* old = hostDockSite_;
    if (old != nullptr && old != site && !old->DoUnDock(site, this)) return false;
    // The size it floats at is the one it had before a dock manager sized it.
    if (old == nullptr || old->dockManager_ == nullptr) undockSize_ = {width_, height_};
    if (dropOn == this) dropOn = nullptr;
    if (old == site) {
        if (site->dockManager_ != nullptr) site->dockManager_->RemoveControl(this);
    } else {
        SetParent(site);  // the site left lets go of it
        hostDockSite_ = site;
        site->AddDockClient(this);
    }
    if (site->dockManager_ != nullptr) {
        site->dockManager_->InsertControl(this, align, dropOn);
        site->Realign();
    } else {
        TPoint p = site->ScreenToClient({screenRect.Left, screenRect.Top});
        SetBounds(p.x, p.y, screenRect.Width(), screenRect.Height());
    }
    site->Invalidate();
    return true;
}

bool TControl::ManualDock(TWinControl* site, TControl* dropOnControl, TAlign align) {
    if (site == nullptr) return ManualFloat(ScreenBounds(this));
    TPoint o = site->ClientToScreen({0, 0});
    return Dock(site, Bounds(o.x, o.y, width_, height_), dropOnControl, align);
}

bool TControl::ManualFloat(const TRect& screenRect) {
    TWinControl* old = hostDockSite_;
    if (old != nullptr && old->floatHost_ && old->dockClients_.size() == 1) {
        // Floating alone already: its window goes there.
        PlaceClientArea(old, screenRect);
        return true;
    }
    if (!hooks::MakeFloatingHost) return false;
    if (old != nullptr && !old->DoUnDock(nullptr, this)) return false;
    if (old == nullptr || old->dockManager_ == nullptr) undockSize_ = {width_, height_};
    TWinControl* host = hooks::MakeFloatingHost(this, screenRect);
    host->floatHost_ = true;
    SetParent(host);
    hostDockSite_ = host;
    host->AddDockClient(this);
    host->Realign();
    host->SetVisible(true);
    return true;
}

// ------------------------------------------------------------ the dock site

void TWinControl::SetDockSite(bool v) {
    if (v == dockSite_) return;
    dockSite_ = v;
    if (v) {
        dockSites.push_back(this);
    } else {
        dockSites.erase(std::remove(dockSites.begin(), dockSites.end(), this), dockSites.end());
    }
    UpdateDockManager();
}

void TWinControl::SetUseDockManager(bool v) {
    if (v == useDockManager_) return;
    useDockManager_ = v;
    UpdateDockManager();
}

void TWinControl::UpdateDockManager() {
    bool wanted = dockSite_ && useDockManager_;
    if (wanted == (dockManager_ != nullptr)) return;
    if (wanted) {
        dockManager_ = std::make_unique<TDockTree>(this);
        // Controls docked before take their zones side by side.
        for (TControl* c : dockClients_) dockManager_->InsertControl(c, TAlign::alRight, nullptr);
    } else {
        dockManager_.reset();  // the controls keep where they are
    }
    Realign();
    Invalidate();
}

void TWinControl::AddDockClient(TControl* client) {
    if (std::find(dockClients_.begin(), dockClients_.end(), client) == dockClients_.end())
        dockClients_.push_back(client);
}

void TWinControl::RemoveDockClient(TControl* client) {
    auto it = std::find(dockClients_.begin(), dockClients_.end(), client);
    if (it == dockClients_.end()) return;
    dockClients_.erase(it);
    if (dockManager_ != nullptr) dockManager_->RemoveControl(client);
    // A floating window goes with the last control it held.
    if (floatHost_ && dockClients_.empty() && !ComponentState().Contains(TComponentStateItem::csDestroying)) {
        SetVisible(false);
        if (handle_ != nullptr) PostMessageA(handle_, CM_RELEASE, 0, 0);
    }
}

void TWinControl::GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock) {
    influenceRect = ScreenBounds(this);
    if (handle_ != nullptr) {
        RECT r;
        GetWindowRect(handle_, &r);
        influenceRect = FromRECT(r);
    }
    influenceRect = InflateRect(influenceRect, 10, 10);
    canDock = true;
    if (OnGetSiteInfo) OnGetSiteInfo(this, client, influenceRect, mousePos, canDock);
}

void TWinControl::PositionDockRect(TDragDockObject* source) {
    source->DropOnControl = nullptr;
    source->DropAlign = TAlign::alNone;
    if (dockManager_ == nullptr) {
        source->DockRect = source->FloatRect(source->DragPos);
        return;
    }
    TControl* on = dockManager_->ClientAt(ScreenToClient(source->DragPos));
    if (on != nullptr && on != source->Control) {
        source->DropOnControl = on;
        source->DropAlign = on->GetDockEdge(on->ScreenToClient(source->DragPos));
    }
    source->DockRect = dockManager_->PositionDockRect(source->Control, source->DropOnControl, source->DropAlign);
}

void TWinControl::DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept) {
    PositionDockRect(source);
    if (OnDockOver) OnDockOver(this, source, x, y, state, accept);
}

void TWinControl::DockDrop(TDragDockObject* source, int x, int y) {
    if (!source->Control->Dock(this, source->DockRect, source->DropOnControl, source->DropAlign)) return;
    if (OnDockDrop) OnDockDrop(this, source, x, y);
}

bool TWinControl::DoUnDock(TWinControl* newTarget, TControl* client) {
    bool allow = true;
    if (OnUnDock) OnUnDock(this, client, newTarget, allow);
    return allow;
}

}  // namespace treskel

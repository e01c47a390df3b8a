// Drag and drop: the drag objects and the modal loop that follows the mouse
// from BeginDrag to the drop.
#include "platform/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/ActnList.h"
#include "platform/ControlsHooks.h"
#include "platform/ControlsPriv.h"
#include "platform/ImgList.h"

namespace treskel {

using namespace ctl;

// ------------------------------------------------------------ drag objects

TCursor TDragObject::GetDragCursor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

TCursor TDragControlObject::GetDragCursor(bool accepted, int, int) {
    return accepted ? Control->DragCursor() : crNoDrop;
}

TObject* TDragControlObject::Source() { return Control; }

TDragImageList* TDragControlObject::GetDragImages() { return Control->GetDragImages(); }

void TDragObject::HideDragImage() {
    if (TDragImageList* images = GetDragImages()) images->HideDragImage();
}

void TDragObject::ShowDragImage() {
    if (TDragImageList* images = GetDragImages()) images->ShowDragImage();
}

TDragObject* CurrentDragObject() { return dragObject; }

// ------------------------------------------------------------ drag and drop

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
    POINT p{pos.x, pos.y};
    HWND wnd = WindowFromPoint(p);
    TWinControl* w = TWinControl::FindControlOfWindow(wnd);
    if (w == nullptr) return nullptr;
    TControl* c = w->ControlAtPos(w->ScreenToClient(pos), allowDisabled);
    return c != nullptr ? c : w;
}

namespace {

TPoint MessageScreenPos(const MSG& msg) {
    POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::ClientToScreen(msg.hwnd, &p);
    return TPoint{p.x, p.y};
}

// The drag's picture (or a docking drag's frame) kept off the screen
// while windows below it paint.
class HiddenDragImage {
public:
    HiddenDragImage(TDragImageList* images, TDragObject* dock) : images_(images), dock_(dock) {
        if (images_ != nullptr) images_->HideDragImage();
        if (dock_ != nullptr) dock_->HideDragImage();
    }
    ~HiddenDragImage() {
        if (images_ != nullptr) images_->ShowDragImage();
        if (dock_ != nullptr) dock_->ShowDragImage();
    }
    HiddenDragImage(const HiddenDragImage&) = delete;
    HiddenDragImage& operator=(const HiddenDragImage&) = delete;

private:
    TDragImageList* images_;
    TDragObject* dock_;
};

}  // namespace

namespace ctl {

// One drag, from the press to the drop: a modal loop that follows the mouse.
// However it ends (a drop, Escape, lost capture, or an exception from a
// handler) the destructor gives back the capture, the program's drag state
// and a drag object of its own making, so that later drags still start.
// A docking drag shows where the control would go by a frame on the screen
// and docks it into the site under the pointer, or floats it over none.
class DragSession {
public:
    DragSession(TControl* control, HWND capture, int threshold, bool immediate, bool dock)
        : control_(control), capture_(capture), threshold_(threshold), dock_(dock) {
        POINT p;
        GetCursorPos(&p);
        start_ = last_ = TPoint{p.x, p.y};
        dragControl = control;
        if (immediate) Start();
        SetCapture(capture);
    }
    ~DragSession() {
        EndImages();
        if (dockObj_ != nullptr) dockObj_->HideDragImage();
        if (GetCapture() == capture_) ReleaseCapture();
        dragControl = nullptr;
        dragObject = nullptr;
    }
    DragSession(const DragSession&) = delete;
    DragSession& operator=(const DragSession&) = delete;

    // Follows the mouse until the button goes up or the drag is cancelled.
    void Run();
    // After Run: tells the target of a drop and the source of the end.
    void Finish();

private:
    void Start();
    // False when the loop should end.
    bool Handle(const MSG& msg);
    void MouseMove(TPoint pos);
    void DockMove(TPoint pos);
    bool DockOver(TWinControl* site, TPoint pos, TDragState state);
    void FinishDock();
    void Drop(TPoint pos);
    bool DragOver(TControl* target, TPoint pos, TDragState state);
    void Retarget(TPoint pos);
    void ShowCursor(bool accepted, TPoint pos);
    void EndImages();

    TControl* control_;
    HWND capture_;
    int threshold_;
    TPoint start_, last_;
    bool started_ = false;
    bool dropped_ = false;
    bool dock_;
    std::unique_ptr<TDragObject> owned_;  // when the source gave none
    TDragObject* obj_ = nullptr;
    TDragDockObject* dockObj_ = nullptr;
    TControl* target_ = nullptr;
    TDragImageList* images_ = nullptr;  // the picture following the pointer
};

void DragSession::Start() {
    started_ = true;
    if (dock_) {
        control_->DoStartDock(dockObj_);
        if (dockObj_ == nullptr) {
            owned_ = std::make_unique<TDragDockObject>(control_);
            dockObj_ = static_cast<TDragDockObject*>(owned_.get());
        }
        obj_ = dockObj_;
        dragObject = obj_;
        dockObj_->TakeHold(start_);
        DockMove(last_);
        return;
    }
    control_->DoStartDrag(obj_);
    if (obj_ == nullptr) {
        owned_ = std::make_unique<TDragControlObject>(control_);
        obj_ = owned_.get();
    }
    dragObject = obj_;
    images_ = obj_->GetDragImages();
    // Over the form the drag starts in: the image follows the pointer
    // wherever in it a drop may go.
    if (images_ != nullptr && !images_->BeginDrag(GetAncestor(capture_, GA_ROOT), last_.x, last_.y)) images_ = nullptr;
}

void DragSession::EndImages() {
    if (images_ != nullptr) images_->EndDrag();
    images_ = nullptr;
}

void DragSession::Run() {
    for (;;) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (!Handle(msg)) return;
    }
}

bool DragSession::Handle(const MSG& msg) {
    if (msg.message == WM_MOUSEMOVE && dragControl != nullptr) {
        MouseMove(MessageScreenPos(msg));
        return true;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONUP) {
        if (started_) Drop(MessageScreenPos(msg));
        return false;
    }
    if ((msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) || msg.message == WM_CANCELMODE ||
        (msg.message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(msg.lParam) != capture_) ||
        dragControl == nullptr) {
        if (obj_ != nullptr) obj_->Cancelling = true;
        return false;
    }
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) return true;
    HiddenDragImage hidden(images_, dockObj_);
    TranslateMessage(&msg);
    if (msg.hwnd != nullptr && IsWindowUnicode(msg.hwnd))
        DispatchMessageW(&msg);
    else
        DispatchMessageA(&msg);
    return true;
}

void DragSession::MouseMove(TPoint pos) {
    last_ = pos;
    if (!started_) {
        if (std::abs(pos.x - start_.x) >= threshold_ || std::abs(pos.y - start_.y) >= threshold_) Start();
        return;
    }
    if (dock_) {
        DockMove(pos);
        return;
    }
    HiddenDragImage hidden(images_, nullptr);
    if (images_ != nullptr) images_->DragMove(pos.x, pos.y);
    TControl* t = FindDragTarget(pos, false);
    bool accepted;
    if (t != target_) {
        DragOver(target_, pos, TDragState::dsDragLeave);
        target_ = t;
        obj_->DragTarget = t;
        accepted = DragOver(target_, pos, TDragState::dsDragEnter);
    } else {
        accepted = DragOver(target_, pos, TDragState::dsDragMove);
    }
    ShowCursor(accepted, pos);
    obj_->DragPos = pos;
}

// Over a site that takes it the frame shows where the control would dock;
// elsewhere, where it would float.
void DragSession::DockMove(TPoint pos) {
    dockObj_->HideDragImage();
    dockObj_->DragPos = pos;
    TWinControl* site = FindDockSite(control_, pos);
    bool accepted;
    if (site != target_) {
        if (target_ != nullptr) DockOver(static_cast<TWinControl*>(target_), pos, TDragState::dsDragLeave);
        target_ = site;
        dockObj_->DragTarget = site;
        accepted = DockOver(site, pos, TDragState::dsDragEnter);
    } else {
        accepted = DockOver(site, pos, TDragState::dsDragMove);
    }
    dropped_ = accepted;
    dockObj_->Floating = !accepted;
    if (!accepted) dockObj_->DockRect = dockObj_->FloatRect(pos);
    ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
    dockObj_->ShowDragImage();
}

bool DragSession::DockOver(TWinControl* site, TPoint pos, TDragState state) {
    if (site == nullptr) return false;
    TPoint local = site->ScreenToClient(pos);
    bool accept = true;
    site->DockOver(dockObj_, local.x, local.y, state, accept);
    return accept;
}

void DragSession::Drop(TPoint pos) {
    EndImages();
    last_ = pos;
    if (dock_) {
        DockMove(pos);
        dockObj_->HideDragImage();
        return;
    }
    Retarget(pos);
    dropped_ = DragOver(target_, pos, TDragState::dsDragMove);
}

void DragSession::Retarget(TPoint pos) {
    TControl* t = FindDragTarget(pos, false);
    if (t == target_) return;
    DragOver(target_, pos, TDragState::dsDragLeave);
    target_ = t;
}

bool DragSession::DragOver(TControl* target, TPoint pos, TDragState state) {
    if (target == nullptr) return false;
    TPoint local = target->ScreenToClient(pos);
    bool accept = false;
    target->DragOver(obj_->Source(), local.x, local.y, state, accept);
    return accept;
}

void DragSession::ShowCursor(bool accepted, TPoint pos) {
    ::SetCursor(hooks::CursorHandle ? hooks::CursorHandle(obj_->GetDragCursor(accepted, pos.x, pos.y)) : nullptr);
}

void DragSession::Finish() {
    EndImages();
    if (GetCapture() == capture_) ReleaseCapture();
    dragControl = nullptr;
    if (!started_) {
        // Never became a drag: a plain press of the button.
        TPoint local = control_->ScreenToClient(last_);
        control_->MouseDown(TMouseButton::mbLeft, CurrentShiftState(), local.x, local.y);
        return;
    }
    if (dock_) {
        FinishDock();
        return;
    }
    TObject* source = obj_->Source();
    TControl* dropTarget = dropped_ ? target_ : nullptr;
    TPoint local = dropTarget != nullptr ? dropTarget->ScreenToClient(last_) : TPoint{};
    if (dropTarget != nullptr) dropTarget->DragDrop(source, local.x, local.y);
    // The source hears the end even when nothing took the drop.
    if (auto* sc = dynamic_cast<TControl*>(source)) sc->DoEndDrag(dropTarget, local.x, local.y);
}

// The control docks into the site that took it, or floats where the frame
// was; then it hears where it ended (nothing, when the drag was cancelled
// or the site it leaves kept it).
void DragSession::FinishDock() {
    dockObj_->HideDragImage();
    auto* site = static_cast<TWinControl*>(target_);
    TObject* end = nullptr;
    TPoint local{};
    if (!obj_->Cancelling) {
        if (dropped_ && site != nullptr) {
            TPoint at = site->ScreenToClient(last_);
            site->DockDrop(dockObj_, at.x, at.y);
            if (control_->HostDockSite() == site) {
                end = site;
                local = at;
            }
        } else if (control_->ManualFloat(dockObj_->DockRect)) {
            end = control_->HostDockSite();
        }
    }
    control_->DoEndDock(end, local.x, local.y);
}

void BeginDockDrag(TControl* control, int threshold) { control->BeginDragOf(true, false, threshold); }

}  // namespace ctl

void TControl::BeginDrag(bool immediate, int threshold) {
    BeginDragOf(dragKind_ == TDragKind::dkDock, immediate, threshold);
}

void TControl::BeginDragOf(bool dock, bool immediate, int threshold) {
    if (dragControl != nullptr) return;
    TWinControl* captureWin = dynamic_cast<TWinControl*>(this);
    if (captureWin == nullptr) captureWin = parent_;
    if (captureWin == nullptr) return;
    DragSession session(this, captureWin->Handle(), threshold < 0 ? 5 : threshold, immediate, dock);
    session.Run();
    session.Finish();
}

bool TControl::Dragging() const { return dragControl == this; }

void TControl::EndDrag(bool) {
    if (dragControl == this) {
        dragControl = nullptr;
        PostMessageA(nullptr, WM_NULL, 0, 0);
    }
}

void TControl::DoStartDrag(TDragObject*& obj) {
    if (OnStartDrag) OnStartDrag(this, obj);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    accept = static_cast<bool>(OnDragOver);
    if (OnDragOver) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}


}  // namespace treskel

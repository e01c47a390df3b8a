// The bases of the library's visual controls: the windowless base with an
// image-list link, mouse enter/exit and bounds notices; its transparent and
// bevelled descendants; and the windowed base that takes part in the
// transparency chain (a child paints the part of an ancestor's back bitmap
// that lies under it) and draws flat and hot borders.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "controls/qclctrl.h"
#include "controls/qclctrlA.h"
#include "foundation/qclclass.h"
#include "foundation/qclcontWin.h"
#include "foundation/qclgraph.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Controls.h"
#include "platform/Handles.h"
#include "platform/Subclass.h"
#include "platform/UtilityWindow.h"

namespace treskel {

using TQclBoundsChangeEvent = std::function<void(TObject* sender, uint8_t changes)>;

// The image-list link shared by the bases: list, image, sub-list and the
// change link that reports to `changed`.
class TQclImageLink {
public:
    TQclImageLink(TComponent* owner, std::function<void()> changed);
    ~TQclImageLink();
    TQclCustomImageList* List() const { return list_; }
    void SetList(TQclCustomImageList* list);
    int ImageIndex() const { return imageIndex_; }
    int ListIndex() const { return listIndex_; }
    // Index 0 ImageIndex, 1 ListIndex: negative or unchanged values are ignored.
    void SetIndex(int which, int value);
    bool HasImage() const;
    // A removed list is forgotten.
    void Removed(TComponent* component);

private:
    TComponent* owner_;
    std::function<void()> changed_;
    TQclChangeLink link_;
    TQclCustomImageList* list_ = nullptr;
    int imageIndex_ = 0, listIndex_ = 0;
};

// The non-visual base that points at an image of a library image list
// (the dialogs' background picture).
class TQclContainerComponent : public TQclComponent {
    TRESKEL_CLASS(TQclContainerComponent)
public:
    explicit TQclContainerComponent(TComponent* owner);

    TQclCustomImageList* ImageList() const { return link_.List(); }
    void SetImageList(TQclCustomImageList* list) { link_.SetList(list); }
    int ImageIndex() const { return link_.ImageIndex(); }
    void SetImageIndex(int v) { link_.SetIndex(0, v); }
    int ListIndex() const { return link_.ListIndex(); }
    void SetListIndex(int v) { link_.SetIndex(1, v); }

    virtual void LinkChanged(TObject*) {}

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TQclImageLink link_;
};

class TQclBaseControl : public TGraphicControl {
    TRESKEL_CLASS(TQclBaseControl)
public:
    explicit TQclBaseControl(TComponent* owner);

    TQclCustomImageList* ImageList() const { return link_.List(); }
    void SetImageList(TQclCustomImageList* list) { link_.SetList(list); }
    int ImageIndex() const { return link_.ImageIndex(); }
    void SetImageIndex(int v) { link_.SetIndex(0, v); }
    int ListIndex() const { return link_.ListIndex(); }
    void SetListIndex(int v) { link_.SetIndex(1, v); }

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& m) override;

    TNotifyEvent OnMouseEnter, OnMouseExit;
    TQclBoundsChangeEvent OnBoundsChange;

    virtual void BoundsChange(uint8_t changes);
    virtual bool IsTransparentActive() { return false; }
    virtual void ObjectChanged(TObject* sender);
    virtual bool GetEmpty() { return true; }
    virtual void LinkChanged(TObject* sender) { ObjectChanged(sender); }
    virtual void MouseEnter();
    virtual void MouseExit();

protected:
    void Notification(TComponent* component, TOperation operation) override;
    bool Loading() const { return ComponentState().Contains(TComponentStateItem::csLoading); }
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }
    void DrawDesignFrame(bool dashed);

private:
    TQclImageLink link_;
};

class TQclBaseGraphicControl : public TQclBaseControl {
    TRESKEL_CLASS(TQclBaseGraphicControl)
public:
    explicit TQclBaseGraphicControl(TComponent* owner);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool IsTransparentActive() override;
    void ObjectChanged(TObject* sender) override;
    void WndProc(TMessage& m) override;
    // A transparent (or designed) control invalidates; an opaque one paints at once.
    void RefreshNow();

protected:
    void Paint() override;

private:
    bool transparent_ = true;
};

class TQclGraphicControl : public TQclBaseGraphicControl {
    TRESKEL_CLASS(TQclGraphicControl)
public:
    explicit TQclGraphicControl(TComponent* owner);
    ~TQclGraphicControl() override;
    TQclBevel* Bevel() { return bevel_.get(); }
    void SetBevel(TQclBevel* v);

protected:
    void Paint() override;

private:
    std::unique_ptr<TQclBevel> bevel_;
};

class TQclCustomControl : public TCustomControl {
    TRESKEL_CLASS(TQclCustomControl)
public:
    explicit TQclCustomControl(TComponent* owner);

    TQclCustomImageList* ImageList() const { return link_.List(); }
    void SetImageList(TQclCustomImageList* list) { link_.SetList(list); }
    int ImageIndex() const { return link_.ImageIndex(); }
    void SetImageIndex(int v) { link_.SetIndex(0, v); }
    int ListIndex() const { return link_.ListIndex(); }
    void SetListIndex(int v) { link_.SetIndex(1, v); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool RepaintOnChange() const { return repaintOnChange_; }
    void SetRepaintOnChange(bool v) { repaintOnChange_ = v; }
    bool Flat() const { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    bool MouseInside() const { return mouseInside_; }
    bool Focused() const { return focused_; }
    // The help topic of the control (a group gives its buttons theirs).
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }

    TNotifyEvent OnMouseEnter, OnMouseExit, OnGotFocus, OnLostFocus;

    void WndProc(TMessage& m) override;

    virtual bool IsTransparentActive() { return transparent_ && BackgroundAvailable(); }
    virtual void DrawBackground();
    virtual void ObjectChanged(TObject* sender);
    virtual bool NeedsDesignFrame() { return true; }
    virtual void LinkChanged(TObject* sender) { ObjectChanged(sender); }
    virtual void MouseEnter();
    virtual void MouseExit();
    virtual void DrawFlatBorder();
    virtual void DrawHotBorder();
    virtual TBitmap* GetBackBitmap() { return nullptr; }
    virtual bool BackgroundAvailable() { return false; }
    // Copies the part of the back bitmap under `offset` into `rect` of the canvas.
    virtual bool DrawParentBackground(TCanvas* canvas, const TRect& rect, uint16_t flag, TPoint offset);
    virtual TPoint BackgroundOffset(TPoint p) { return p; }
    // The palette of the background that transparent children copy: none
    // while this control offers one itself, else that of the parent's.
    virtual HPALETTE GetBackPalette();
    // Fills one rectangle of the client area as DrawBackground does (on
    // `canvas`, or the control's own).
    void FillBackgroundRect(const TRect& rect, TCanvas* canvas = nullptr);

protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Loading() const { return ComponentState().Contains(TComponentStateItem::csLoading); }
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }
    // Draws on the window outside of painting (flat and hot borders).
    void DrawOnWindow(const std::function<void(TCanvas*)>& draw);

private:
    TQclImageLink link_;
    GdiHandle<HPALETTE> backPalette_;
    int helpContext_ = 0;
    bool transparent_ = false, repaintOnChange_ = true, flat_ = false, mouseInside_ = false, focused_ = false;
};

// True when the control's parent is a library control whose background a
// transparent child can copy.
bool QclParentOffersBackground(TControl* control);
// A transparent control is not opaque, and the other way round.
void QclSetOpaque(TControl* control, bool opaque);
// DT_RTLREADING when the control's own reading order (its BiDiMode) reads
// right to left; the alignment stays what the control says.
unsigned QclBiDiFlags(TControl* control);
// Where a windowed control's window is now, in its parent's client
// coordinates (its bounds fields follow a move only after the move's
// messages have been handled).
TRect QclWindowBounds(TWinControl* control);

// Keeps a control (`self`, the dock button or the dock label) beside the
// windowed control its owner names in `control`: hooks that control's window
// to move, show, hide and enable `self` with it, and with ReflectOwnChanges
// moves the control when `self` moves.
class TQclDocker {
public:
    TQclDocker(TControl* self, TWinControl*& control, TQclDockPosition position, bool adjustDockedSize,
               bool reflectOwnChanges);
    ~TQclDocker() { hook_.Detach(); }
    TQclDocker(const TQclDocker&) = delete;
    TQclDocker& operator=(const TQclDocker&) = delete;

    bool AdjustDockedSize() const { return adjustDockedSize_; }
    void SetAdjustDockedSize(bool v);
    bool Docked() const { return docked_; }
    void SetDocked(bool v);
    bool ReflectOwnChanges() const { return reflectOwnChanges_; }
    void SetReflectOwnChanges(bool v) { reflectOwnChanges_ = v; }
    TQclDockPosition Position() const { return position_; }
    void SetPosition(TQclDockPosition v);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    bool Hooked() const { return hook_.Attached(); }

    // Takes `v` as the control: the old one is let go, the new one docked to.
    void SetControl(TWinControl* v);
    // Puts `self` beside the control, hooking the control's window first.
    void Dock();
    // Moves the control to follow `self` (when ReflectOwnChanges asks it).
    void Follow();
    void Unhook() { hook_.Detach(); }

private:
    bool DockWndProc(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After the control's window went: hook the window it made again, once
    // the message at hand is done.
    void RehookLater();
    bool Loading() const { return self_->ComponentState().Contains(TComponentStateItem::csLoading); }
    bool Designing() const { return self_->ComponentState().Contains(TComponentStateItem::csDesigning); }

    TControl* self_;
    TWinControl*& control_;
    TQclDockPosition position_;
    bool adjustDockedSize_, reflectOwnChanges_, docked_ = true, docking_ = false;
    int margin_ = 1;
    WindowSubclass hook_;
    std::unique_ptr<UtilityWindow> rehook_;
};

}  // namespace treskel

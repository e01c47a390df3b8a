// Controls: the windowless control, the windowed control over an HWND,
// message dispatch and reflection, alignment, focus, mouse, keyboard and
// drag and drop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Graphics.h"
#include "platform/Subclass.h"
#include "platform/Types.h"

namespace treskel {

class TControl;
class TWinControl;
class TPopupMenu;
class TCustomForm;
class TBasicAction;
class TControlActionLink;
namespace ctl {
class DragSession;
// A docking drag of the control, whatever its DragKind (its grabber, or the
// caption of the window it floats in, was taken hold of).
void BeginDockDrag(TControl* control, int threshold);
}
class TDragObject;
class TDragDockObject;
class TDragImageList;
class TDockTree;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

// Messages the controls send each other.
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_GOTFOCUS = CM_BASE + 2,
                      CM_LOSTFOCUS = CM_BASE + 3, CM_CANCELMODE = CM_BASE + 4, CM_DIALOGKEY = CM_BASE + 5,
                      CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7,
                      CM_PARENTFONTCHANGED = CM_BASE + 8, CM_PARENTCOLORCHANGED = CM_BASE + 9,
                      CM_HITTEST = CM_BASE + 10, CM_VISIBLECHANGED = CM_BASE + 11,
                      CM_ENABLEDCHANGED = CM_BASE + 12, CM_COLORCHANGED = CM_BASE + 13,
                      CM_FONTCHANGED = CM_BASE + 14, CM_CURSORCHANGED = CM_BASE + 15,
                      CM_CTL3DCHANGED = CM_BASE + 16, CM_PARENTCTL3DCHANGED = CM_BASE + 17,
                      CM_TEXTCHANGED = CM_BASE + 18, CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20,
                      CM_MENUCHANGED = CM_BASE + 21, CM_APPKEYDOWN = CM_BASE + 22,
                      CM_APPSYSCOMMAND = CM_BASE + 23, CM_BUTTONPRESSED = CM_BASE + 24,
                      CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26, CM_EXIT = CM_BASE + 27,
                      CM_WANTSPECIALKEY = CM_BASE + 30, CM_RELEASE = CM_BASE + 33,
                      CM_SHOWHINTCHANGED = CM_BASE + 34, CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
                      CM_SYSCOLORCHANGE = CM_BASE + 36, CM_WININICHANGE = CM_BASE + 37,
                      CM_FONTCHANGE = CM_BASE + 38, CM_TIMECHANGE = CM_BASE + 39,
                      CM_TABSTOPCHANGED = CM_BASE + 40, CM_CONTROLLISTCHANGE = CM_BASE + 44,
                      CM_CHILDKEY = CM_BASE + 46, CM_DRAG = CM_BASE + 47, CM_HINTSHOW = CM_BASE + 48,
                      CM_RECREATEWND = CM_BASE + 51, CM_INVALIDATE = CM_BASE + 52,
                      CM_CONTROLCHANGE = CM_BASE + 54,
                      CM_CHANGED = CM_BASE + 55, CM_MOUSEWHEEL = CM_BASE + 67;

// Notifications a parent window reflects back to the child control.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM, CN_COMMAND = CN_BASE + WM_COMMAND,
                      CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM, CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
                      CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG, CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
                      CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
                      CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
                      CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
                      CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC, CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
                      CN_DRAWITEM = CN_BASE + WM_DRAWITEM, CN_HSCROLL = CN_BASE + WM_HSCROLL,
                      CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM, CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
                      CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM, CN_VSCROLL = CN_BASE + WM_VSCROLL,
                      CN_KEYDOWN = CN_BASE + WM_KEYDOWN, CN_KEYUP = CN_BASE + WM_KEYUP,
                      CN_CHAR = CN_BASE + WM_CHAR, CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
                      CN_SYSCHAR = CN_BASE + WM_SYSCHAR, CN_NOTIFY = CN_BASE + WM_NOTIFY;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
TRESKEL_ENUM_INFO(TAlign, "alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient")

enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
TRESKEL_ENUM_INFO(TAnchorKind, "akLeft", "akTop", "akRight", "akBottom")
using TAnchors = Set<TAnchorKind>;

enum class TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = Set<TControlStyleItem>;

enum class TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
    csCustomPaint, csDestroyingHandle
};
using TControlState = Set<TControlStateItem>;

enum class TBorderStyle { bsNone, bsSingle };
TRESKEL_ENUM_INFO(TBorderStyle, "bsNone", "bsSingle")

enum class TDragMode { dmManual, dmAutomatic };
TRESKEL_ENUM_INFO(TDragMode, "dmManual", "dmAutomatic")
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// How a drag from the control goes: a drag and drop, or docking into a
// dock site (or floating in a window of its own over none).
enum class TDragKind { dkDrag, dkDock };
TRESKEL_ENUM_INFO(TDragKind, "dkDrag", "dkDock")

// Reading order and alignment of a control's text.
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
TRESKEL_ENUM_INFO(TBiDiMode, "bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly")

enum class TImeMode { imDisable, imClose, imOpen, imDontCare };

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TConstrainedResizeEvent =
    std::function<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TStartDockEvent = std::function<void(TObject* Sender, TDragDockObject*& DragObject)>;
using TDockOverEvent =
    std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDockDropEvent = std::function<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
using TGetSiteInfoEvent = std::function<void(TObject* Sender, TControl* DockClient, TRect& InfluenceRect,
                                             TPoint MousePos, bool& CanDock)>;
using TUnDockEvent = std::function<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;

TShiftState KeysToShiftState(WORD keys);
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState CurrentShiftState();

// The object carried by a drag; the control being dragged by default.
class TDragObject : public TObject {
    TRESKEL_CLASS(TDragObject)
public:
    virtual ~TDragObject() = default;
    TControl* DragTarget = nullptr;
    TPoint DragPos;
    TPoint DragTargetPos;
    bool Cancelling = false;
    virtual TCursor GetDragCursor(bool accepted, int x, int y);
    virtual TObject* Source() { return this; }
    // The picture that follows the pointer during the drag; none by default.
    virtual TDragImageList* GetDragImages() { return nullptr; }
    // A target that draws on the screen during the drag hides the picture
    // meanwhile, so that neither spoils the other.
    virtual void HideDragImage();
    virtual void ShowDragImage();
};

class TDragControlObject : public TDragObject {
    TRESKEL_CLASS(TDragControlObject)
public:
    explicit TDragControlObject(TControl* control) : Control(control) {}
    TControl* Control;
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    TObject* Source() override;
    TDragImageList* GetDragImages() override;
};

// A docking drag: the control, and the frame on the screen that shows where
// it would go (docked into the site under the pointer, or floating).
class TDragDockObject : public TDragObject {
    TRESKEL_CLASS(TDragDockObject)
public:
    explicit TDragDockObject(TControl* control);
    ~TDragDockObject() override;
    TControl* Control;
    TRect DockRect;                      // screen coordinates
    TAlign DropAlign = TAlign::alNone;   // the side of DropOnControl it goes to
    TControl* DropOnControl = nullptr;   // a control docked in the site, under the pointer
    bool Floating = true;                // over no site that takes it
    TObject* Source() override;
    TCursor GetDragCursor(bool accepted, int x, int y) override;
    // The frame is drawn inverted on the screen: drawn twice, it is gone.
    void HideDragImage() override;
    void ShowDragImage() override;
    // The control at its floating size, held where the pointer took hold of it.
    TRect FloatRect(TPoint pos) const;

private:
    friend class ctl::DragSession;
    // The pointer takes hold of the control at `pos` (screen).
    void TakeHold(TPoint pos);
    TRect drawn_;  // the frame on the screen now (empty: none)
    int drawnWidth_ = 0;
    double grabX_ = 0, grabY_ = 0;  // where the pointer holds the control, as fractions of its size
};

// The smallest and largest size a control takes; 0 sets no limit.
class TSizeConstraints : public TPersistent {
    TRESKEL_CLASS(TSizeConstraints)
public:
    explicit TSizeConstraints(TControl* control) : control_(control) {}
    int MaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int v) { Set(maxHeight_, v); }
    int MaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int v) { Set(maxWidth_, v); }
    int MinHeight() const { return minHeight_; }
    void SetMinHeight(int v) { Set(minHeight_, v); }
    int MinWidth() const { return minWidth_; }
    void SetMinWidth(int v) { Set(minWidth_, v); }
    void Assign(TPersistent* source) override;

private:
    void Set(int& field, int v);
    TControl* control_;
    int maxHeight_ = 0, maxWidth_ = 0, minHeight_ = 0, minWidth_ = 0;
};

class TControl : public TComponent {
    TRESKEL_CLASS(TControl)
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    // Layout support
    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    // Position and size, in the parent's client coordinates.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
    virtual TRect ClientRect();
    int ClientWidth() { return ClientRect().Right; }
    int ClientHeight() { return ClientRect().Bottom; }
    void SetClientWidth(int w);
    void SetClientHeight(int h);
    virtual TPoint ClientOrigin();
    TPoint ClientToScreen(TPoint p);
    TPoint ScreenToClient(TPoint p);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    TAnchors Anchors() const { return anchors_; }
    void SetAnchors(TAnchors a) { anchors_ = a; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a top-level window too.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TFont* Font() { return &font_; }
    void SetFont(TFont* font) { font_.Assign(font); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool v);
    bool ParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool v);

    std::string Caption() { return GetText(); }
    void SetCaption(const std::string& s) { SetText(s); }
    std::string Text() { return GetText(); }
    virtual std::string GetText();
    virtual void SetText(const std::string& s);

    std::string Hint() const { return hint_; }
    void SetHint(const std::string& s) { hint_ = s; }
    // Whether the hint shows: the control's own setting, or its parent's
    // while ParentShowHint is set.
    bool ShowHint() const;
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);  // defined with the menus
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    TCursor DragCursor() const { return dragCursor_; }
    void SetDragCursor(TCursor c) { dragCursor_ = c; }
    TDragMode DragMode() const { return dragMode_; }
    virtual void SetDragMode(TDragMode m) { dragMode_ = m; }
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    TDragKind DragKind() const { return dragKind_; }
    void SetDragKind(TDragKind k) { dragKind_ = k; }
    TSizeConstraints* Constraints() { return &constraints_; }
    void SetConstraints(TSizeConstraints* c) { constraints_.Assign(c); }
    // Whether the control sizes itself to what it shows (a windowed one:
    // around its children).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    // Asked before every change of size, a move included: false when
    // OnCanResize refuses it; otherwise the size is held within the
    // limits of Constraints, which OnConstrainedResize may change.
    bool CheckNewSize(int& width, int& height);

    // Docking.  The dock site the control is docked in (its parent then),
    // or the window it floats in.
    TWinControl* HostDockSite() const { return hostDockSite_; }
    // Docked alone in a window of its own.
    bool Floating() const;
    // The size it takes when it floats: its size before it was first
    // docked into a site that sizes it.
    int UndockWidth() const { return undockSize_.cx > 0 ? undockSize_.cx : Width(); }
    int UndockHeight() const { return undockSize_.cy > 0 ? undockSize_.cy : Height(); }
    // Docks the control into `site` beside `dropOnControl` (a control
    // docked there) on side `align`; false when the site it leaves refuses.
    bool ManualDock(TWinControl* site, TControl* dropOnControl = nullptr, TAlign align = TAlign::alNone);
    // Puts the control in a window of its own at `screenRect`.
    bool ManualFloat(const TRect& screenRect);
    // The edge of the control nearest to a point of its client area.
    TAlign GetDockEdge(TPoint mousePos);
    // The parent's mode while ParentBiDiMode is set; setting one clears it.
    TBiDiMode BiDiMode() const;
    void SetBiDiMode(TBiDiMode m);
    bool ParentBiDiMode() const { return parentBiDiMode_; }
    void SetParentBiDiMode(bool v);
    // Text aligned from the right (left and right swap), and read from
    // the right to the left.
    bool UseRightToLeftAlignment() const { return BiDiMode() == TBiDiMode::bdRightToLeft; }
    bool UseRightToLeftReading() const { return BiDiMode() != TBiDiMode::bdLeftToRight; }
    // The vertical scroll bar on the left.
    bool UseRightToLeftScrollBar() const {
        return BiDiMode() == TBiDiMode::bdRightToLeft || BiDiMode() == TBiDiMode::bdRightToLeftNoAlign;
    }
    // DrawText flags as this control's reading order wants them.
    UINT BiDiTextFlags(UINT flags) const;

    TControlStyle ControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle s) { controlStyle_ = s; }
    TControlState ControlState() const { return controlState_; }
    void SetControlState(TControlState s) { controlState_ = s; }

    // Messages: WindowProc starts as WndProc; a component may replace it
    // and call the previous one.
    std::function<void(TMessage&)> WindowProc;
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual void WndProc(TMessage& message);
    virtual void DefaultHandler(TMessage& message);

    virtual void Invalidate();
    virtual void Update();
    virtual void Repaint();
    void Refresh() { Repaint(); }
    // The palette the control's pictures are drawn with (none by default).
    virtual HPALETTE GetPalette() { return nullptr; }
    // The form's palette changed: a visible control with a palette
    // realises it (repainting when that changed the system's) and says so.
    virtual bool PaletteChanged(bool foreground);
    void BringToFront();
    void SendToBack();
    TCustomForm* GetParentForm() const;

    // Drag and drop.
    void BeginDrag(bool immediate, int threshold = -1);
    bool Dragging() const;
    void EndDrag(bool drop);
    virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
    virtual void DragDrop(TObject* source, int x, int y);
    // The picture of what is being dragged from the control, while a drag
    // from it goes on; none by default.
    virtual TDragImageList* GetDragImages() { return nullptr; }

    virtual void Click();
    virtual void DblClick();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TStartDragEvent OnStartDrag;
    TEndDragEvent OnEndDrag;
    TContextPopupEvent OnContextPopup;
    TCanResizeEvent OnCanResize;
    TConstrainedResizeEvent OnConstrainedResize;
    TStartDockEvent OnStartDock;
    TEndDragEvent OnEndDock;

    void Loaded() override;

    // Called by the action link when the action changes.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);

protected:
    void Notification(TComponent* component, TOperation operation) override;
    virtual void Changed();
    virtual void Resize();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DoStartDrag(TDragObject*& dragObject);
    virtual void DoEndDrag(TObject* target, int x, int y);
    virtual void DoContextPopup(TPoint mousePos, bool& handled);
    virtual void VisibleChanging() {}
    virtual bool CanAutoSize(int& newWidth, int& newHeight) { return true; }
    // The reading order changed: drawn again (a window made anew).
    virtual void BiDiModeChanged() { Invalidate(); }
    // Takes the size the content asks for, with AutoSize; nothing here.
    virtual void AdjustSize() {}
    virtual bool CanResize(int& newWidth, int& newHeight);
    virtual void ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);
    virtual void DoStartDock(TDragDockObject*& dragObject);
    virtual void DoEndDock(TObject* target, int x, int y);
    virtual void RequestAlign();
    virtual void FontChanged();
    void InvalidateControl(bool isVisible, bool isOpaque);
    // Sets the bounds fields without telling anyone (alignment uses it).
    void UpdateBoundsRect(const TRect& r);
    // Where the anchors measure from, taken when the parent is known.
    void UpdateAnchorRules();

    bool isControlTextSet_ = false;
    std::string text_;
    bool autoSize_ = false;

private:
    friend class ctl::DragSession;
    friend class TWinControl;
    friend class TDockTree;
    // Docks into `site` with the frame of a drag (screen coordinates).
    bool Dock(TWinControl* site, const TRect& screenRect, TControl* dropOn, TAlign align);
    // A drag of the control, a docking one or a drag and drop.
    void BeginDragOf(bool dock, bool immediate, int threshold);
    friend void ctl::BeginDockDrag(TControl* control, int threshold);
    friend class TApplication;
    void HandleMouseMessage(TMessage& m);
    void ParentFontChanged();
    void ParentColorChanged();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    TAlign align_ = TAlign::alNone;
    TAnchors anchors_{TAnchorKind::akLeft, TAnchorKind::akTop};
    TPoint anchorOrigin_;     // right/bottom distances when the anchors were taken
    TSize anchorParentSize_;
    bool visible_ = true;
    bool enabled_ = true;
    TFont font_;
    bool parentFont_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TComponent* popupMenuComponent_ = nullptr;
    TCursor cursor_ = crDefault;
    TCursor dragCursor_ = crDrag;
    TDragMode dragMode_ = TDragMode::dmManual;
    TDragKind dragKind_ = TDragKind::dkDrag;
    TBiDiMode biDiMode_ = TBiDiMode::bdLeftToRight;
    bool parentBiDiMode_ = true;
    TSizeConstraints constraints_{this};
    TWinControl* hostDockSite_ = nullptr;
    TSize undockSize_{0, 0};
    TControlStyle controlStyle_{TControlStyleItem::csCaptureMouse, TControlStyleItem::csClickEvents,
                                TControlStyleItem::csSetCaption, TControlStyleItem::csDoubleClicks};
    TControlState controlState_;
    std::unique_ptr<TControlActionLink> actionLink_;
};

struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSA WindowClass{};
    std::string WinClassName;
    bool Unicode = false;       // a wide window (registered and created wide)
    std::string SubClassName;   // the system class this one is built on
};

class TWinControl : public TControl {
    TRESKEL_CLASS(TWinControl)
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    void BeforeDestruction() override;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void RecreateWnd();
    void DestroyHandle();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    bool ContainsControl(TControl* control) const;
    TControl* ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls = false);
    void Broadcast(TMessage& message);
    void NotifyControls(UINT msg);
    // Its own palette, then its controls' from the topmost down; in the
    // foreground the first palette realised ends the round.
    bool PaletteChanged(bool foreground) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    void DisableAlign() { ++alignLevel_; }
    void EnableAlign();
    void Realign();

    bool Focused() const;
    virtual bool CanFocus();
    virtual void SetFocus();
    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    void SelectFirst();
    // The next control in tab order after `current` inside this one.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
    void GetTabOrderList(std::vector<TWinControl*>& list);

    TRect ClientRect() override;
    TPoint ClientOrigin() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    std::string GetText() override;
    void SetText(const std::string& s) override;
    void Invalidate() override;
    void Update() override;
    void Repaint() override;

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // The window's original procedure (the system class's, for controls
    // built on one).
    WNDPROC DefWndProc() const { return defWndProc_; }

    // A dock site takes controls dragged into it (dkDock); with
    // UseDockManager its dock manager lays them out, each under a grabber.
    bool DockSite() const { return dockSite_; }
    void SetDockSite(bool v);
    bool UseDockManager() const { return useDockManager_; }
    void SetUseDockManager(bool v);
    TDockTree* DockManager() const { return dockManager_.get(); }
    int DockClientCount() const { return static_cast<int>(dockClients_.size()); }
    TControl* DockClients(int index) const { return dockClients_.at(static_cast<size_t>(index)); }
    // A docking drag over the site: where the control would go (DockRect,
    // DropOnControl, DropAlign), then OnDockOver, which may refuse it.
    virtual void DockOver(TDragDockObject* source, int x, int y, TDragState state, bool& accept);
    // The drop: the control docks, then OnDockDrop.
    virtual void DockDrop(TDragDockObject* source, int x, int y);
    // How far around the site a drag may dock into it, and whether it may.
    virtual void GetSiteInfo(TControl* client, TRect& influenceRect, TPoint mousePos, bool& canDock);
    // A docked control leaving for `newTarget`; false when OnUnDock refuses.
    virtual bool DoUnDock(TWinControl* newTarget, TControl* client);
    void PositionDockRect(TDragDockObject* source);

    TDockOverEvent OnDockOver;
    TDockDropEvent OnDockDrop;
    TGetSiteInfoEvent OnGetSiteInfo;
    TUnDockEvent OnUnDock;

    // Finds the control object of a window.
    static TWinControl* FindControl(HWND wnd);
    // The control nearest up the parent chain of a window.
    static TWinControl* FindControlOfWindow(HWND wnd);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    // Called by the form when the focus arrives or leaves.
    virtual void DoEnter();
    virtual void DoExit();
    void PaintControls(HDC dc, TControl* first);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateWindowHandle(const TCreateParams& params);
    virtual void DestroyWnd();
    virtual void DestroyWindowHandle();
    // Copies a system window class so that this control is built on it.
    void CreateSubClass(TCreateParams& params, const char* className);
    void CreateHandle();
    void UpdateShowing();

    virtual void AlignControls(TControl* control, TRect& rect);
    virtual void AdjustClientRect(TRect& rect) {}
    // With AutoSize: the client area takes the room its visible children
    // fill, moved to its top-left corner.
    void AdjustSize() override;
    void BiDiModeChanged() override;
    virtual void PaintWindow(HDC dc);
    virtual bool KeyDown(WORD& key, TShiftState shift);  // false: swallowed
    virtual bool KeyPress(char& key);
    virtual bool KeyUp(WORD& key, TShiftState shift);
    // Runs a key message through the key events; true when they swallowed it.
    bool HandleKeyMessage(TMessage& m);
    virtual bool DoKeyDown(TMessage& m);
    virtual bool DoKeyPress(TMessage& m);
    virtual bool DoKeyUp(TMessage& m);
    void FontChanged() override;
    // Saved while the window is re-created, restored after.
    virtual void SaveStateBeforeRecreate() {}
    virtual void RestoreStateAfterRecreate() {}

    void RequestAlign() override;
    bool recreating_ = false;

private:
    friend class TControl;
    friend class TCustomForm;
    friend class TApplication;
    friend class TDockTree;
    friend LRESULT CALLBACK BindOnCreate(int, WPARAM, LPARAM);
    // Binds this object to its new window: the window's messages come to
    // MainWndProc through the subclass chain from the first one on.
    void BindWindow(HWND wnd);
    void MainWndProc(TMessage& m);
    // The window messages' handlers, one per concern.
    bool DispatchMessageToHandler(TMessage& m);
    void WmSetFocus();
    bool WmEraseBkgnd(TMessage& m);
    void WmSizeChanged(TMessage& m);
    bool WmCommand(TMessage& m);
    TWinControl* NotifyingChild(const TMessage& m);
    bool ReflectToChild(TMessage& m);
    void CnCtlColor(TMessage& m);
    void CnKeyDown(TMessage& m);
    void CnChar(TMessage& m);
    // A character message's character in the program's code page; 0 for
    // a wide character that has none.
    char AnsiCharOf(WPARAM charCode) const;
    static bool IsDialogKey(WORD key);
    static bool IsArrowKey(WORD key);
    bool WantsKey(WORD key);
    bool WmContextMenu(TMessage& m);
    bool WmSetCursor(TMessage& m);
    void WmMouseMove(TMessage& m);
    void HandleWmPaint(TMessage& m);
    bool ContextPopup(LPARAM screenPos);
    bool IsControlMouseMsg(TMessage& m);
    void AlignAll();
    void AlignEdge(TAlign align, TControl* moved, TRect& rest);
    void ApplyAnchors();
    void UpdateBounds();
    void ApplyFont();
    void WmWindowPosChanging(TMessage& m);
    void AddDockClient(TControl* client);
    void RemoveDockClient(TControl* client);
    // A control docked here whose place the dock manager gives.
    bool ManagedDockClient(const TControl* c) const { return dockManager_ != nullptr && c->hostDockSite_ == this; }
    // The dock manager made or let go as DockSite and UseDockManager say.
    void UpdateDockManager();

    HWND handle_ = nullptr;
    WindowSubclass subclass_;  // the binding FindControl reads
    WNDPROC defWndProc_ = nullptr;
    bool unicode_ = false;
    std::vector<TControl*> controls_;  // every child, in z-order (first is bottom)
    int alignLevel_ = 0;
    bool tabStop_ = false;
    int tabOrder_ = -1;
    bool inRecreate_ = false;
    bool settingBounds_ = false;
    GdiHandle<HBRUSH> colorBrush_;
    TColor colorBrushColor_ = clNone;
    bool dockSite_ = false, useDockManager_ = false, autoSizing_ = false;
    bool floatHost_ = false;  // the window a control floats in
    std::unique_ptr<TDockTree> dockManager_;
    std::vector<TControl*> dockClients_;
};

// A windowless control, painted by its parent.
class TGraphicControl : public TControl {
    TRESKEL_CLASS(TGraphicControl)
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas* Canvas() { return canvas_.get(); }
    void WndProc(TMessage& message) override;

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
    TRESKEL_CLASS(TCustomControl)
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A canvas on a control's window (or its parent's, for a windowless one).
class TControlCanvas : public TCanvas {
    TRESKEL_CLASS(TControlCanvas)
public:
    explicit TControlCanvas(TControl* control) : control_(control) {}
    ~TControlCanvas() override { FreeHandle(); }
    void FreeHandle();
    void UpdateTextFlags() {}

protected:
    void CreateHandle() override;

private:
    TControl* control_;
    WindowDC dc_;
};

// A form as the windowed control it is (forms are declared with the forms).
TWinControl* FormAsControl(TCustomForm* form);

// A window's text in wide characters, as a wide window holds it (the
// single-byte text of a control has letters the code page lacks replaced).
std::wstring WindowTextW(HWND wnd);
// Single-byte text of the system's code page in wide characters.
std::wstring Widen(const std::string& s);
// The bytes of `c` in the code page when the code page holds it exactly
// (they convert back to `c`), else nothing: no look-alike, no default
// character.  The one test of a letter against a code page.
std::string ExactBytesInCodePage(char32_t c, unsigned codePage);

// The control under a point of the screen.
TControl* FindDragTarget(TPoint pos, bool allowDisabled);
// The object being dragged, while a drag runs.
TDragObject* CurrentDragObject();

}  // namespace treskel

// Windowed controls (TWinControl): creating and binding the window, message
// dispatch and reflection, bounds, text, focus, keys and painting.
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

// ------------------------------------------------------------ TWinControl

// Installed only while a control creates its window: the window's creation
// notice comes before its first message, so the object sees them all.
LRESULT CALLBACK BindOnCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && creatingControl != nullptr)
        std::exchange(creatingControl, nullptr)->BindWindow(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TWinControl::BindWindow(HWND wnd) {
    handle_ = wnd;
    subclass_.Attach(
        wnd,
        [this, wnd](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            TMessage m{msg, wParam, lParam, 0};
            MainWndProc(m);
            if (msg == WM_NCDESTROY && handle_ == wnd) handle_ = nullptr;
            result = m.Result;
            return true;
        },
        kControlKey, this);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

void TWinControl::BeforeDestruction() {
    TComponent::BeforeDestruction();
}

TWinControl::~TWinControl() {
    // Owned components go while this object is still whole.
    Destroying();
    DestroyComponents();
    SetDockSite(false);
    dockManager_.reset();
    for (TControl* c : dockClients_) c->hostDockSite_ = nullptr;
    dockClients_.clear();
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    DestroyHandle();
    for (auto it = controlIds.begin(); it != controlIds.end();) {
        if (it->second == this) it = controlIds.erase(it);
        else ++it;
    }
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    return static_cast<TWinControl*>(WindowSubclass::FindOwner(wnd, kControlKey));
}

TWinControl* TWinControl::FindControlOfWindow(HWND wnd) {
    while (wnd != nullptr) {
        if (TWinControl* c = FindControl(wnd)) return c;
        // Stop at a top-level window: its "parent" is only its owner.
        if ((GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) == 0) break;
        wnd = GetParent(wnd);
    }
    return nullptr;
}

void TWinControl::MainWndProc(TMessage& m) {
    try {
        WindowProc(m);
    } catch (...) {
        HandleCallbackException();
    }
}

HWND TWinControl::Handle() {
    if (handle_ == nullptr) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_ != nullptr) return;
    if (Parent() != nullptr) Parent()->HandleNeeded();
    if (handle_ != nullptr) return;  // the parent created the children
    CreateWnd();
    // Children get their windows with their parent.
    for (TControl* c : std::vector<TControl*>(controls_))
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->CreateHandle();
    // The z-order of the windows follows the list.
    HWND after = HWND_BOTTOM;
    for (TControl* c : controls_) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w != nullptr && w->handle_ != nullptr) {
            SetWindowPos(w->handle_, after == HWND_BOTTOM ? HWND_BOTTOM : after, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
            after = w->handle_;
        }
    }
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = text_;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    if (UseRightToLeftReading()) p.ExStyle |= WS_EX_RTLREADING;
    if (UseRightToLeftScrollBar()) p.ExStyle |= WS_EX_LEFTSCROLLBAR;
    p.X = Left();
    p.Y = Top();
    p.Width = Width();
    p.Height = Height();
    p.WndParent = Parent() != nullptr ? Parent()->Handle() : nullptr;
    p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    p.WindowClass.lpfnWndProc = DefWindowProcA;
    p.WindowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    p.WindowClass.hbrBackground = nullptr;
    p.WindowClass.hInstance = Instance();
    p.WinClassName = ClassName();
}

namespace {
// Takes what a system class says into our own class's description.
template <class WndClass>
void TakeClassInfo(WNDCLASSA& to, const WndClass& from) {
    to.style = from.style;
    to.lpfnWndProc = from.lpfnWndProc;
    to.cbClsExtra = from.cbClsExtra;
    to.cbWndExtra = from.cbWndExtra;
    to.hCursor = from.hCursor;
    to.hbrBackground = from.hbrBackground;
}
}  // namespace

void TWinControl::CreateSubClass(TCreateParams& p, const char* className) {
    // Keep what the system class says under a name of our own: one class
    // per control class, whose windows the object binds as they are made.
    bool found;
    if (p.Unicode) {
        WNDCLASSW wc{};
        std::wstring wname(className, className + std::strlen(className));
        found = GetClassInfoW(nullptr, wname.c_str(), &wc) || GetClassInfoW(Instance(), wname.c_str(), &wc);
        TakeClassInfo(p.WindowClass, wc);
    } else {
        WNDCLASSA wc{};
        found = GetClassInfoA(nullptr, className, &wc) || GetClassInfoA(Instance(), className, &wc);
        TakeClassInfo(p.WindowClass, wc);
    }
    if (!found) throw EOutOfResources(Format("Window class %s is not available", className));
    p.SubClassName = className;
}

std::wstring Widen(const std::string& s) {
    if (s.empty()) return std::wstring();
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string ExactBytesInCodePage(char32_t c, unsigned codePage) {
    if (c > 0xFFFF || (c >= 0xD800 && c < 0xE000)) return std::string();
    const auto w = static_cast<wchar_t>(c);
    char bytes[4];
    int n = WideCharToMultiByte(codePage, 0, &w, 1, bytes, sizeof bytes, nullptr, nullptr);
    wchar_t back[2];
    if (n <= 0 || MultiByteToWideChar(codePage, 0, bytes, n, back, 2) != 1 || back[0] != w) return std::string();
    return std::string(bytes, static_cast<size_t>(n));
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    defWndProc_ = p.WindowClass.lpfnWndProc;
    unicode_ = p.Unicode;
    // One registration per class name, with the system class's procedure
    // (or the default one); the object attaches in front of it.
    if (p.Unicode) {
        std::wstring name = Widen(p.WinClassName);
        WNDCLASSW existing{};
        if (!GetClassInfoW(Instance(), name.c_str(), &existing)) {
            WNDCLASSW wc{};
            wc.style = p.WindowClass.style;
            wc.lpfnWndProc = p.WindowClass.lpfnWndProc;
            wc.cbClsExtra = p.WindowClass.cbClsExtra;
            wc.cbWndExtra = p.WindowClass.cbWndExtra;
            wc.hInstance = Instance();
            wc.hIcon = p.WindowClass.hIcon;
            wc.hCursor = p.WindowClass.hCursor;
            wc.hbrBackground = p.WindowClass.hbrBackground;
            wc.lpszClassName = name.c_str();
            if (!RegisterClassW(&wc)) throw EOutOfResources("Cannot register the window class " + p.WinClassName);
        }
    } else {
        WNDCLASSA existing{};
        if (!GetClassInfoA(Instance(), p.WinClassName.c_str(), &existing)) {
            WNDCLASSA wc = p.WindowClass;
            wc.hInstance = Instance();
            wc.lpszClassName = p.WinClassName.c_str();
            if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class " + p.WinClassName);
        }
    }
    CreateWindowHandle(p);
    if (handle_ == nullptr) throw EOutOfResources(Format("Error creating window (%s)", Name().c_str()));
    ApplyFont();
    if (!IsLoading()) UpdateBounds();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
    HMENU id = nullptr;
    if (p.Style & WS_CHILD) {
        WORD cid = nextControlId++;
        if (nextControlId >= 0xF000) nextControlId = 100;
        controlIds[cid] = this;
        id = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(cid));
    }
    creatingControl = this;
    HookHandle binder(SetWindowsHookExA(WH_CBT, BindOnCreate, nullptr, GetCurrentThreadId()));
    if (p.Unicode) {
        CreateWindowExW(p.ExStyle, Widen(p.WinClassName).c_str(), Widen(p.Caption).c_str(), p.Style, p.X, p.Y,
                        p.Width, p.Height, p.WndParent, id, Instance(), p.Param);
    } else {
        CreateWindowExA(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(), p.Style, p.X, p.Y, p.Width,
                        p.Height, p.WndParent, id, Instance(), p.Param);
    }
    creatingControl = nullptr;
}

std::wstring WindowTextW(HWND wnd) {
    const int n = GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextW(wnd, text.data(), n + 1), 0)));
    return text;
}

void TWinControl::DestroyWnd() {
    // The text lives in the window while it exists; keep it.
    if (handle_ != nullptr && controlStyle_.Contains(TControlStyleItem::csSetCaption)) {
        text_ = GetText();
        isControlTextSet_ = true;
    }
    DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
    if (handle_ != nullptr) {
        HWND h = handle_;
        DestroyWindow(h);
        handle_ = nullptr;
    }
}

void TWinControl::DestroyHandle() {
    if (handle_ == nullptr) return;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
    controlState_ += TControlStateItem::csDestroyingHandle;
    DestroyWnd();
    controlState_ -= TControlStateItem::csDestroyingHandle;
}

void TWinControl::RecreateWnd() {
    if (handle_ == nullptr || recreating_) return;
    recreating_ = true;
    bool hadFocus = Focused();
    SaveStateBeforeRecreate();
    DestroyHandle();
    try {
        CreateHandle();
        RestoreStateAfterRecreate();
    } catch (...) {
        recreating_ = false;
        throw;
    }
    recreating_ = false;
    if (hadFocus && CanFocus()) SetFocus();
}

void TWinControl::ApplyFont() {
    if (handle_ != nullptr) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    ApplyFont();
    NotifyControls(CM_PARENTFONTCHANGED);
    Invalidate();
}

void TWinControl::InsertControl(TControl* control) {
    control->parent_ = this;
    controls_.push_back(control);
    if (auto* w = dynamic_cast<TWinControl*>(control); w != nullptr && handle_ != nullptr && !IsLoading()) {
        w->CreateHandle();
        // A window created later must still go where the list puts it.
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    control->UpdateAnchorRules();
    if (control->Align() != TAlign::alNone) control->RequestAlign();
    control->Invalidate();
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
    if (autoSize_) AdjustSize();
}

void TWinControl::RemoveControl(TControl* control) {
    Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
    if (auto* w = dynamic_cast<TWinControl*>(control)) {
        if (w->Focused()) {
            // The focus must not stay on a window leaving its parent.
            if (handle_ != nullptr) ::SetFocus(nullptr);
        }
        w->DestroyHandle();
    } else {
        control->Invalidate();
    }
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it != controls_.end()) controls_.erase(it);
    control->parent_ = nullptr;
    if (control->hostDockSite_ == this) {
        control->hostDockSite_ = nullptr;
        RemoveDockClient(control);
    }
    if (control->Align() != TAlign::alNone || dockManager_ != nullptr) Realign();
    if (autoSize_) AdjustSize();
}

bool TWinControl::ContainsControl(TControl* control) const {
    for (TControl* p = control; p != nullptr; p = p->Parent())
        if (p == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(TPoint pos, bool allowDisabled, bool allowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool win = dynamic_cast<TWinControl*>(c) != nullptr;
        if (win && !allowWinControls) continue;
        if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
        TPoint local{pos.x - c->Left(), pos.y - c->Top()};
        if (PtInRect(Rect(0, 0, c->Width(), c->Height()), local) && c->Perform(CM_HITTEST, 0, MAKELPARAM(local.x, local.y)) != 0)
            return c;
    }
    return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        c->WindowProc(message);
        if (message.Result != 0) return;
    }
}

bool TWinControl::PaletteChanged(bool foreground) {
    bool result = TControl::PaletteChanged(foreground);
    if (!Visible()) return result;
    for (int i = ControlCount() - 1; i >= 0; --i) {
        if (foreground && result) break;
        result = Controls(i)->PaletteChanged(foreground) || result;
    }
    return result;
}

void TWinControl::NotifyControls(UINT msg) {
    TMessage m{msg, 0, 0, 0};
    for (TControl* c : std::vector<TControl*>(controls_)) c->WindowProc(m);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TControl* c : controls_)
        if (c->Owner() == root) proc(c);
    if (root == this) TComponent::GetChildren(proc, root);
}

TRect TWinControl::ClientRect() {
    if (handle_ != nullptr) {
        RECT r;
        GetClientRect(handle_, &r);
        return FromRECT(r);
    }
    return TControl::ClientRect();
}

TPoint TWinControl::ClientOrigin() {
    if (handle_ != nullptr) {
        POINT p{0, 0};
        ::ClientToScreen(handle_, &p);
        return {p.x, p.y};
    }
    return TControl::ClientOrigin();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (!CheckNewSize(width, height)) return;
    if (left == Left() && top == Top() && width == Width() && height == Height()) return;
    bool sized = width != Width() || height != Height();
    if (handle_ != nullptr && !settingBounds_) {
        settingBounds_ = true;
        // The control's own size messages see the bounds it is given.
        UpdateBoundsRect(Bounds(left, top, width, height));
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        settingBounds_ = false;
        // The window may refuse a size; the fields follow what it took.
        UpdateBounds();
        UpdateBoundsRect(Bounds(left, top, Width(), Height()));
    } else {
        UpdateBoundsRect(Bounds(left, top, width, height));
    }
    UpdateAnchorRules();
    RequestAlign();
    if (sized) {
        if (handle_ == nullptr) AlignAll();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (handle_ == nullptr) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = GetParent(handle_);
        if (parent != nullptr) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    UpdateBoundsRect(FromRECT(r));
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TControl::SetVisible(visible);
    if (handle_ != nullptr) {
        if (!visible && Focused() && GetParent(handle_) != nullptr) {
            // Hand the focus to the parent so that it does not vanish.
            ::SetFocus(GetParent(handle_));
        }
        ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    TControl::SetEnabled(enabled);
    if (handle_ == nullptr) return;
    EnableWindow(handle_, enabled);
    // Controls inside draw greyed while their container is disabled.
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

std::string TWinControl::GetText() {
    if (handle_ == nullptr) return text_;
    if (unicode_) {
        int n = static_cast<int>(SendMessageW(handle_, WM_GETTEXTLENGTH, 0, 0));
        std::wstring w(static_cast<size_t>(n) + 1, L'\0');
        n = static_cast<int>(SendMessageW(handle_, WM_GETTEXT, w.size(), reinterpret_cast<LPARAM>(w.data())));
        int bytes = WideCharToMultiByte(CP_ACP, 0, w.c_str(), n, nullptr, 0, nullptr, nullptr);
        std::string s(static_cast<size_t>(bytes), '\0');
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), n, s.data(), bytes, nullptr, nullptr);
        return s;
    }
    int n = static_cast<int>(SendMessageA(handle_, WM_GETTEXTLENGTH, 0, 0));
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = static_cast<int>(SendMessageA(handle_, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(n, 0)));
    return s;
}

void TWinControl::SetText(const std::string& s) {
    if (handle_ == nullptr) {
        TControl::SetText(s);
        return;
    }
    if (GetText() == s) return;
    if (unicode_)
        SendMessageW(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(s).c_str()));
    else
        SendMessageA(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    text_ = s;
    Perform(CM_TEXTCHANGED);
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr)
        InvalidateRect(handle_, nullptr, !ControlStyle().Contains(TControlStyleItem::csOpaque));
}

void TWinControl::Update() {
    if (handle_ != nullptr) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

bool TWinControl::Focused() const { return handle_ != nullptr && GetFocus() == handle_; }

bool TWinControl::CanFocus() {
    for (TControl* c = this; c != nullptr; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}

void TWinControl::SetFocus() {
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(Handle());
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

bool TWinControl::KeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
    return key != 0;
}

bool TWinControl::KeyPress(char& key) {
    if (OnKeyPress) OnKeyPress(this, key);
    return key != 0;
}

bool TWinControl::KeyUp(WORD& key, TShiftState shift) {
    if (OnKeyUp) OnKeyUp(this, key, shift);
    return key != 0;
}

bool TWinControl::DoKeyDown(TMessage& m) {
    TShiftState shift = KeyDataToShiftState(m.LParam);
    TWinControl* form = FormAsControl(GetParentForm());
    if (form != nullptr && form != this && form->WindowProc) {
        // A form that previews keys sees them first.
        TMessage preview{CM_CHILDKEY, m.WParam, reinterpret_cast<LPARAM>(this), 0};
        form->WindowProc(preview);
        if (preview.Result != 0) return true;
        m.WParam = preview.WParam;
        if (m.WParam == 0) return true;
    }
    WORD key = static_cast<WORD>(m.WParam);
    if (!KeyDown(key, shift)) return true;
    m.WParam = key;
    return false;
}

char TWinControl::AnsiCharOf(WPARAM charCode) const {
    if (!unicode_) return static_cast<char>(charCode);
    auto wc = static_cast<wchar_t>(charCode);
    char buf[8];
    BOOL lost = FALSE;
    int n = WideCharToMultiByte(CP_ACP, 0, &wc, 1, buf, sizeof buf, nullptr, &lost);
    return n == 1 && !lost ? buf[0] : 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
    // A wide window's characters are UTF-16: the handler sees their
    // single-byte form, and a character it leaves alone goes on unchanged
    // (narrowing it would turn every letter outside the code page into
    // another one).
    char key = AnsiCharOf(m.WParam);
    if (unicode_ && key == 0 && m.WParam != 0) key = '?';
    char original = key;
    if (!KeyPress(key)) return true;
    if (!unicode_) {
        m.WParam = static_cast<unsigned char>(key);
    } else if (key != original) {
        wchar_t wc = 0;
        MultiByteToWideChar(CP_ACP, 0, &key, 1, &wc, 1);
        m.WParam = static_cast<WPARAM>(wc);
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& m) {
    WORD key = static_cast<WORD>(m.WParam);
    if (!KeyUp(key, KeyDataToShiftState(m.LParam))) return true;
    m.WParam = key;
    return false;
}

bool TWinControl::HandleKeyMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: return DoKeyDown(m);
        case WM_CHAR: return DoKeyPress(m);
        case WM_KEYUP:
        case WM_SYSKEYUP: return DoKeyUp(m);
        default: return false;
    }
}

bool TWinControl::IsControlMouseMsg(TMessage& m) {
    TControl* target = nullptr;
    if (captureControl != nullptr && captureControl->Parent() == this) {
        target = captureControl;
    } else {
        TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        target = ControlAtPos(p, false);
    }
    if (target == nullptr) return false;
    int x = GET_X_LPARAM(m.LParam) - target->Left(), y = GET_Y_LPARAM(m.LParam) - target->Top();
    if (m.Msg == WM_LBUTTONDOWN && target->ControlStyle().Contains(TControlStyleItem::csCaptureMouse)) {
        captureControl = target;
        SetCapture(handle_);
    }
    m.Result = target->Perform(m.Msg, m.WParam, MAKELPARAM(x, y));
    if ((m.Msg == WM_LBUTTONUP || m.Msg == WM_RBUTTONUP) && captureControl == target) {
        captureControl = nullptr;
        if (GetCapture() == handle_) ReleaseCapture();
    }
    return true;
}

void TWinControl::PaintWindow(HDC dc) {
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    bool started = first == nullptr;
    for (TControl* c : controls_) {
        if (!started) {
            if (c != first) continue;
            started = true;
        }
        if (dynamic_cast<TWinControl*>(c) != nullptr || !c->Visible()) continue;
        RECT r{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
        if (!RectVisible(dc, &r)) continue;
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + c->Left(), org.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
    }
}

void TWinControl::HandleWmPaint(TMessage& m) {
    bool hasGraphicChildren = false;
    for (TControl* c : controls_)
        if (dynamic_cast<TWinControl*>(c) == nullptr && c->Visible()) hasGraphicChildren = true;
    bool ownPainting = defWndProc_ == DefWindowProcA || defWndProc_ == DefWindowProcW;
    if (m.WParam != 0) {
        PaintWindow(reinterpret_cast<HDC>(m.WParam));
        // Painting a copy under a control: whoever asked paints the
        // controls that belong in it.
        if (!ControlState().Contains(TControlStateItem::csPaintCopy))
            PaintControls(reinterpret_cast<HDC>(m.WParam), nullptr);
        return;
    }
    if (!ownPainting && !hasGraphicChildren) {
        DefaultHandler(m);
        return;
    }
    PaintDC dc(handle_);
    PaintWindow(dc.Get());
    PaintControls(dc.Get(), nullptr);
    if (dockManager_ != nullptr) dockManager_->PaintSite(dc.Get());
}

void TWinControl::WndProc(TMessage& m) {
    if (m.Msg == CM_FOCUSCHANGED) {
        Broadcast(m);  // every control of the form hears where the focus went
        return;
    }
    if (dockManager_ != nullptr && dockManager_->HandleMessage(m)) return;
    if (DispatchMessageToHandler(m)) return;
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST && m.Msg != WM_MOUSEWHEEL && IsControlMouseMsg(m)) return;
    TControl::WndProc(m);
}

// True when a handler has dealt with the message completely; false lets
// it go on to the windowless controls and the base class.
bool TWinControl::DispatchMessageToHandler(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS: WmSetFocus(); return false;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_CHAR:
        case WM_KEYUP:
        case WM_SYSKEYUP: return HandleKeyMessage(m);
        case WM_PAINT: HandleWmPaint(m); return true;
        case WM_ERASEBKGND: return WmEraseBkgnd(m);
        case WM_WINDOWPOSCHANGING: WmWindowPosChanging(m); return false;
        case WM_WINDOWPOSCHANGED:
        case WM_SIZE: WmSizeChanged(m); return true;
        case WM_COMMAND: return WmCommand(m);
        case WM_NOTIFY:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_COMPAREITEM:
        case WM_DELETEITEM:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORSCROLLBAR: return ReflectToChild(m);
        case CN_CTLCOLOREDIT:
        case CN_CTLCOLORLISTBOX:
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORSTATIC: CnCtlColor(m); return true;
        case CN_KEYDOWN:
        case CN_SYSKEYDOWN: CnKeyDown(m); return true;
        case CN_CHAR:
        case CN_SYSCHAR: CnChar(m); return true;
        case CM_ENABLEDCHANGED:
            if (handle_ != nullptr && (IsWindowEnabled(handle_) != 0) != Enabled()) EnableWindow(handle_, Enabled());
            return false;
        case CM_COLORCHANGED:
            NotifyControls(CM_PARENTCOLORCHANGED);
            Invalidate();
            return false;
        case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return false;
        case WM_CONTEXTMENU: return WmContextMenu(m);
        case WM_SETCURSOR: return WmSetCursor(m);
        case WM_MOUSEMOVE: WmMouseMove(m); return false;
        case WM_MOUSELEAVE:
            if (mouseControl == this || (mouseControl != nullptr && mouseControl->Parent() == this &&
                                         dynamic_cast<TWinControl*>(mouseControl) == nullptr))
                SetMouseControl(nullptr);
            return false;
        case WM_CAPTURECHANGED:
            if (captureControl != nullptr && captureControl->Parent() == this) captureControl = nullptr;
            return false;
        case WM_NCDESTROY:
            if (mouseControl == this) mouseControl = nullptr;
            return false;
        default: return false;
    }
}

void TWinControl::WmSetFocus() {
    TCustomForm* form = GetParentForm();
    if (form != nullptr) FormAsControl(form)->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
}

bool TWinControl::WmEraseBkgnd(TMessage& m) {
    if (defWndProc_ != DefWindowProcA && defWndProc_ != DefWindowProcW) return false;
    if (!ControlStyle().Contains(TControlStyleItem::csOpaque)) {
        RECT r;
        GetClientRect(handle_, &r);
        GdiHandle<HBRUSH> b(CreateSolidBrush(ColorToRGB(Color())));
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, b.Get());
    }
    m.Result = 1;
    return true;
}

void TWinControl::WmSizeChanged(TMessage& m) {
    DefaultHandler(m);
    if (!settingBounds_) UpdateBounds();
    if (m.Msg != WM_SIZE) return;
    AlignAll();
    if (!settingBounds_) Resize();
}

bool TWinControl::WmCommand(TMessage& m) {
    if (m.LParam != 0) return ReflectToChild(m);
    // A menu's command (not an accelerator's, whose high word is 1).
    return HIWORD(m.WParam) == 0 && hooks::DispatchMenuCommand && hooks::DispatchMenuCommand(LOWORD(m.WParam));
}

// The child control a notification to this window is about, if it is one
// of ours other than this one.
TWinControl* TWinControl::NotifyingChild(const TMessage& m) {
    HWND child = reinterpret_cast<HWND>(m.LParam);
    switch (m.Msg) {
        case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            if (dis->CtlType == ODT_MENU) return nullptr;
            child = dis->hwndItem;
            break;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            if (mis->CtlType == ODT_MENU) return nullptr;
            // The item has no window handle yet: found by its id.
            auto it = controlIds.find(static_cast<WORD>(mis->CtlID));
            return it != controlIds.end() && it->second != this ? it->second : nullptr;
        }
        case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; break;
        case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem; break;
        default: break;
    }
    TWinControl* c = FindControl(child);
    return c != this ? c : nullptr;
}

// Sends a child's notification back to the child as CN_*, so that every
// control answers its own.
bool TWinControl::ReflectToChild(TMessage& m) {
    TWinControl* c = NotifyingChild(m);
    if (c == nullptr) return false;
    m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
    return true;
}

void TWinControl::CnCtlColor(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font()->Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    if (!colorBrush_ || colorBrushColor_ != Color()) {
        colorBrush_.Reset(CreateSolidBrush(ColorToRGB(Color())));
        colorBrushColor_ = Color();
    }
    m.Result = reinterpret_cast<LRESULT>(colorBrush_.Get());
}

// Shortcuts of the form and its menus and actions, then the dialog keys
// (Tab, arrows, Enter, Esc) the control does not want.
void TWinControl::CnKeyDown(TMessage& m) {
    TWinControl* f = FormAsControl(GetParentForm());
    m.Result = 0;
    if (f != nullptr) {
        TMessage sc{CM_APPKEYDOWN, m.WParam, m.LParam, 0};
        f->WindowProc(sc);
        if (sc.Result != 0) {
            m.Result = 1;
            return;
        }
    }
    WORD key = static_cast<WORD>(m.WParam);
    if (!IsDialogKey(key) || WantsKey(key) || f == nullptr) return;
    TMessage dk{CM_DIALOGKEY, m.WParam, m.LParam, 0};
    f->WindowProc(dk);
    if (dk.Result != 0) m.Result = 1;
}

// A dialog character (Alt+letter, or a letter where no text is typed)
// goes to the form, whose controls look for it in their captions.
void TWinControl::CnChar(TMessage& m) {
    m.Result = 0;
    TCustomForm* form = GetParentForm();
    if (form == nullptr) return;
    char key = AnsiCharOf(m.WParam);
    if (key == 0) return;
    m.Result = FormAsControl(form)->Perform(CM_DIALOGCHAR, static_cast<unsigned char>(key), m.LParam);
}

bool TWinControl::IsDialogKey(WORD key) {
    return key == VK_TAB || IsArrowKey(key) || key == VK_RETURN || key == VK_ESCAPE || key == VK_EXECUTE ||
           key == VK_CANCEL;
}

bool TWinControl::IsArrowKey(WORD key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

// Whether the control takes a dialog key itself (its window's dialog code
// or CM_WANTSPECIALKEY).
bool TWinControl::WantsKey(WORD key) {
    LRESULT code = SendMessageA(handle_, WM_GETDLGCODE, 0, 0);
    bool wants = (code & DLGC_WANTALLKEYS) != 0 || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                 (IsArrowKey(key) && (code & DLGC_WANTARROWS));
    TMessage special{CM_WANTSPECIALKEY, key, 0, 0};
    WindowProc(special);
    return wants || special.Result != 0;
}

// Pops up the menu of the control at a screen point, or of this control
// when the keyboard asked (-1, -1); true when a menu or handler took it.
bool TWinControl::ContextPopup(LPARAM screenPos) {
    TPoint screen{GET_X_LPARAM(screenPos), GET_Y_LPARAM(screenPos)};
    TControl* target = this;
    if (screen.x != -1 || screen.y != -1) {
        if (TControl* c = ControlAtPos(ScreenToClient(screen), false)) target = c;
    } else {
        screen = ClientToScreen({0, 0});  // from the keyboard
    }
    bool handled = false;
    target->DoContextPopup(target->ScreenToClient(screen), handled);
    if (handled) return true;
    for (TControl* c = target; c != nullptr; c = c->Parent()) {
        if (c->PopupMenu() != nullptr && hooks::PopupControlMenu) {
            hooks::PopupControlMenu(c, screen);
            return true;
        }
    }
    return false;
}

bool TWinControl::WmContextMenu(TMessage& m) {
    // A system control (the tree view) reports a right click on itself to
    // its parent: it pops up its own menu.
    TWinControl* from = this;
    if (reinterpret_cast<HWND>(m.WParam) != handle_) {
        from = FindControl(reinterpret_cast<HWND>(m.WParam));
        if (from == nullptr || from->Parent() != this) return false;
    }
    return from->ContextPopup(m.LParam);
}

bool TWinControl::WmSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) != HTCLIENT || reinterpret_cast<HWND>(m.WParam) != handle_) return false;
    TCursor cur = hooks::ScreenCursor ? hooks::ScreenCursor() : crDefault;
    if (cur == crDefault) {
        POINT p;
        GetCursorPos(&p);
        TControl* c = ControlAtPos(ScreenToClient({p.x, p.y}), false);
        cur = c != nullptr ? c->Cursor() : Cursor();
    }
    if (cur == crDefault || !hooks::CursorHandle) return false;
    ::SetCursor(hooks::CursorHandle(cur));
    m.Result = 1;
    return true;
}

void TWinControl::WmMouseMove(TMessage& m) {
    TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* c = captureControl != nullptr && captureControl->Parent() == this ? captureControl : ControlAtPos(p, false);
    SetMouseControl(c != nullptr ? c : this);
    TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&tme);
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (handle_ == nullptr || m.Msg >= CM_BASE) {
        if (m.Msg < CM_BASE) TControl::DefaultHandler(m);
        return;
    }
    WNDPROC proc = defWndProc_ != nullptr ? defWndProc_ : (unicode_ ? DefWindowProcW : DefWindowProcA);
    m.Result = unicode_ ? CallWindowProcW(proc, handle_, m.Msg, m.WParam, m.LParam)
                        : CallWindowProcA(proc, handle_, m.Msg, m.WParam, m.LParam);
}


}  // namespace treskel

#include "platform/Forms.h"

#include <windowsx.h>
#include <commctrl.h>

#include <algorithm>

#include "platform/ActnList.h"
#include "platform/ControlsHooks.h"
#include "platform/FormLoader.h"
#include "platform/Menus.h"
#include "platform/Register.h"

namespace treskel {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

const IntIdents& ModalResultIdents() {
    static const IntIdents idents{{{"mrNone", mrNone}, {"mrOk", mrOk}, {"mrCancel", mrCancel}, {"mrAbort", mrAbort},
                                   {"mrRetry", mrRetry}, {"mrIgnore", mrIgnore}, {"mrYes", mrYes}, {"mrNo", mrNo},
                                   {"mrAll", mrAll}, {"mrNoToAll", mrNoToAll}, {"mrYesToAll", mrYesToAll}}};
    return idents;
}

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c != nullptr && c->Parent() != nullptr) c = c->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TCustomForm* TControl::GetParentForm() const { return treskel::GetParentForm(this); }

TWinControl* FormAsControl(TCustomForm* form) { return form; }

std::string LoadLayoutResource(const std::string& name) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (res == nullptr) return std::string();
    HGLOBAL data = LoadResource(module, res);
    DWORD size = SizeofResource(module, res);
    const char* p = static_cast<const char*>(LockResource(data));
    return p != nullptr ? std::string(p, size) : std::string();
}

// ------------------------------------------------------------ TCustomForm

namespace {
void BroadcastToAll(TWinControl* parent, UINT msg) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        c->Perform(msg);
        if (auto* w = dynamic_cast<TWinControl*>(c)) BroadcastToAll(w, msg);
    }
}
}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TCustomControl(owner) {
    SetVisible(false);
    SetParentFont(false);
    SetColor(clBtnFace);
    SetBounds(0, 0, 320, 240);
    SetControlStyle(ControlStyle() + TControlStyleItem::csAcceptsControls);
    EnsureScreen()->forms_.push_back(this);
}

TCustomForm::~TCustomForm() {
    if (Screen != nullptr) {
        auto& v = Screen->forms_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    if (Application != nullptr && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TCustomForm::BeforeDestruction() {
    if (!destroyFired_) {
        destroyFired_ = true;
        if (OnDestroy) {
            try {
                OnDestroy(this);
            } catch (...) {
                HandleCallbackException();
            }
        }
    }
    TCustomControl::BeforeDestruction();
}

void TCustomForm::InitializeForm() {
    std::string name = UpperCase(ClassName());
    std::string layout = LoadLayoutResource(name);
    if (layout.empty()) {
        DoCreate();
        return;
    }
    InitializeForm(layout, std::string(ClassName()) + ".form");
}

void TCustomForm::InitializeForm(const std::string& layout, const std::string& source) {
    ReadLayout(this, layout, source);
    DoCreate();
}

void TCustomForm::DoCreate() {
    initialized_ = true;
    if (OnCreate) OnCreate(this);
}

void TCustomForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& action) {
    if (OnClose) OnClose(this, action);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (component == activeControl_) activeControl_ = nullptr;
        if (component == focusedControl_) focusedControl_ = nullptr;
        if (component == menu_) {
            menu_ = nullptr;
            if (HandleAllocated()) ::SetMenu(Handle(), nullptr);
        }
    }
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    // A shown form whose window is made again (another frame) stays shown.
    if (Visible()) p.Style |= WS_VISIBLE;
    p.ExStyle = 0;
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: p.Style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow: p.Style |= WS_CAPTION | WS_BORDER; break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: p.Style |= WS_CAPTION | WS_THICKFRAME; break;
        case TFormBorderStyle::bsDialog:
            p.Style |= WS_POPUP | WS_CAPTION;
            p.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
            break;
    }
    if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
        p.ExStyle |= WS_EX_TOOLWINDOW;
    if (borderStyle_ != TFormBorderStyle::bsNone && borderIcons_.Contains(TBorderIcon::biSystemMenu)) {
        p.Style |= WS_SYSMENU;
        if (borderStyle_ != TFormBorderStyle::bsDialog && borderStyle_ != TFormBorderStyle::bsToolWindow &&
            borderStyle_ != TFormBorderStyle::bsSizeToolWin) {
            if (borderIcons_.Contains(TBorderIcon::biMinimize)) p.Style |= WS_MINIMIZEBOX;
            if (borderIcons_.Contains(TBorderIcon::biMaximize)) p.Style |= WS_MAXIMIZEBOX;
        }
    }
    if (formStyle_ == TFormStyle::fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
    // The main form has the task bar button; the others belong to it.
    bool isMain = Application == nullptr || Application->MainForm() == nullptr || Application->MainForm() == this;
    if (isMain) {
        p.ExStyle |= WS_EX_APPWINDOW;
        p.WndParent = nullptr;
    } else {
        p.WndParent = Application->MainForm()->HandleAllocated() ? Application->MainForm()->Handle() : nullptr;
    }
    p.WindowClass.style = CS_DBLCLKS;
    p.WindowClass.hIcon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    if (p.WindowClass.hIcon == nullptr) p.WindowClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    if (position_ == TPosition::poDefault || position_ == TPosition::poDefaultPosOnly) p.X = p.Y = CW_USEDEFAULT;
}

void TCustomForm::CreateWnd() {
    TCustomControl::CreateWnd();
    if (menu_ != nullptr) ::SetMenu(Handle(), menu_->Handle());
    if (!icon_.Empty()) SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.Handle()));
}

TSize TCustomForm::FrameSize() {
    if (HandleAllocated()) {
        RECT w, c;
        GetWindowRect(Handle(), &w);
        GetClientRect(Handle(), &c);
        return {(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
    }
    TCreateParams p;
    CreateParams(p);
    RECT r{0, 0, 100, 100};
    AdjustWindowRectEx(&r, p.Style, menu_ != nullptr, p.ExStyle);
    return {r.right - r.left - 100, r.bottom - r.top - 100};
}

int TCustomForm::FormClientWidth() { return Width() - FrameSize().cx; }
int TCustomForm::FormClientHeight() { return Height() - FrameSize().cy; }
void TCustomForm::SetFormClientWidth(int w) { SetWidth(w + FrameSize().cx); }
void TCustomForm::SetFormClientHeight(int h) { SetHeight(h + FrameSize().cy); }

void TCustomForm::ApplyPosition() {
    if (positioned_) return;
    positioned_ = true;
    int w = Width(), h = Height();
    int x = Left(), y = Top();
    auto centerIn = [&](const TRect& r) {
        x = r.Left + (r.Width() - w) / 2;
        y = r.Top + (r.Height() - h) / 2;
    };
    switch (position_) {
        case TPosition::poScreenCenter:
        case TPosition::poDesktopCenter:
            centerIn(Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
            break;
        case TPosition::poMainFormCenter:
        case TPosition::poOwnerFormCenter: {
            TCustomForm* ref = position_ == TPosition::poOwnerFormCenter ? dynamic_cast<TCustomForm*>(Owner()) : nullptr;
            if (ref == nullptr && Application != nullptr) ref = Application->MainForm();
            if (ref != nullptr && ref != this)
                centerIn(ref->BoundsRect());
            else
                centerIn(Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
            break;
        }
        default:
            return;
    }
    x = std::max(x, 0);
    y = std::max(y, 0);
    SetBounds(x, y, w, h);
}

bool TCustomForm::Showing() const { return Visible(); }

void TCustomForm::SetVisible(bool visible) {
    if (visible == Visible()) return;
    if (visible) {
        HandleNeeded();
        ApplyPosition();
        // OnShow sees the form about to appear, as the class library did.
        TControl::SetVisible(true);
        DoShow();
        if (!Visible()) return;  // a handler hid it again
        int cmd = SW_SHOWNORMAL;
        if (windowState_ == TWindowState::wsMaximized) cmd = SW_SHOWMAXIMIZED;
        if (windowState_ == TWindowState::wsMinimized) cmd = SW_SHOWMINIMIZED;
        ShowWindow(Handle(), cmd);
        SetForegroundWindow(Handle());
        if (activeControl_ != nullptr && activeControl_->CanFocus())
            activeControl_->SetFocus();
        else if (GetFocus() == nullptr || !IsChild(Handle(), GetFocus()))
            SelectFirst();
    } else {
        // Shown again, the window comes back as the user left it
        // (maximised by its button, say), not as it was first shown.
        windowState_ = WindowState();
        TControl::SetVisible(false);
        if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
        DoHide();
    }
}

void TCustomForm::Show() {
    SetVisible(true);
    if (HandleAllocated()) BringWindowToTop(Handle());
}

void TCustomForm::Hide() { SetVisible(false); }

bool TCustomForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TCustomForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application != nullptr && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == TCloseAction::caHide) Hide();
    else if (action == TCloseAction::caMinimize) SetWindowState(TWindowState::wsMinimized);
    else if (action == TCloseAction::caFree) Release();
}

void TCustomForm::Release() {
    if (HandleAllocated()) PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetModalResult(TModalResult r) { modalResult_ = r; }

namespace {
// While a form is modal every other window of the program waits, and the
// application counts a modal level; however the loop ends, exceptions
// included, both are given back.
class ModalScope {
public:
    ModalScope(TCustomForm* form, bool& modalFlag) : modal_(modalFlag) {
        for (int i = 0; i < EnsureScreen()->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (f != form && f->HandleAllocated() && IsWindowEnabled(f->Handle()) && IsWindowVisible(f->Handle())) {
                EnableWindow(f->Handle(), FALSE);
                disabled_.push_back(f->Handle());
            }
        }
        modal_ = true;
    }
    ~ModalScope() {
        modal_ = false;
        for (HWND h : disabled_)
            if (IsWindow(h)) EnableWindow(h, TRUE);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    bool& modal_;
    std::vector<HWND> disabled_;
    AppModalLevel level_;
};

// While a form is modal it belongs to the window the user works in
// (another modal form, when that one opened it), else to the main form,
// and so stays above it; never to itself nor to a window of its own.  Its
// own owner comes back afterwards: a form that outlives the window it was
// opened from must not go with it.
class ModalOwnerScope {
public:
    explicit ModalOwnerScope(TCustomForm* form) : wnd_(form->Handle()), before_(GetWindow(wnd_, GW_OWNER)) {
        HWND owner = OwnerFor(form);
        if (owner == nullptr || owner == before_) return;
        SetOwner(owner);
        changed_ = true;
    }
    ~ModalOwnerScope() {
        if (changed_ && IsWindow(wnd_)) SetOwner(IsWindow(before_) ? before_ : nullptr);
    }
    ModalOwnerScope(const ModalOwnerScope&) = delete;
    ModalOwnerScope& operator=(const ModalOwnerScope&) = delete;

private:
    HWND OwnerFor(TCustomForm* form) const {
        auto usable = [this](HWND w) {
            if (w == nullptr || !IsWindowVisible(w)) return false;
            for (HWND o = w; o != nullptr; o = GetWindow(o, GW_OWNER))
                if (o == wnd_) return false;
            return true;
        };
        if (HWND active = GetActiveWindow(); usable(active)) return active;
        TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
        if (main != nullptr && main != form && main->HandleAllocated() && usable(main->Handle()))
            return main->Handle();
        return nullptr;
    }
    void SetOwner(HWND owner) { SetWindowLongPtrA(wnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner)); }

    HWND wnd_, before_;
    bool changed_ = false;
};
}  // namespace

void CancelMouseCapture() {
    HWND capture = GetCapture();
    if (capture == nullptr) return;
    SendMessageA(capture, WM_CANCELMODE, 0, 0);
    if (GetCapture() != nullptr) ReleaseCapture();
}

int TCustomForm::ShowModal() {
    if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    TApplication* app = EnsureApplication();
    HWND activeBefore = GetActiveWindow();
    ModalOwnerScope owner(this);
    TCloseAction closeAction = TCloseAction::caHide;
    try {
        ModalScope scope(this, modal_);
        modalResult_ = mrNone;
        Show();
        closeAction = RunModalLoop(app);
    } catch (...) {
        Hide();
        throw;
    }
    TModalResult result = modalResult_;
    if (activeBefore != nullptr && IsWindow(activeBefore)) SetActiveWindow(activeBefore);
    Hide();
    // A form that asked to be freed on closing goes once its caller is done.
    if (closeAction == TCloseAction::caFree) Release();
    return result;
}

TCloseAction TCustomForm::RunModalLoop(TApplication* app) {
    for (;;) {
        app->HandleMessage();
        if (app->Terminated()) modalResult_ = mrCancel;
        if (modalResult_ == mrNone) continue;
        // The form may refuse to close.
        bool canClose = CloseQuery();
        TCloseAction action = TCloseAction::caHide;
        if (canClose) DoClose(action);
        if (canClose && action != TCloseAction::caNone) return action;
        if (app->Terminated()) return TCloseAction::caHide;
        modalResult_ = mrNone;
    }
}

void TCustomForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) return;
    if (control != nullptr && (control == this || treskel::GetParentForm(control) != this))
        throw EInvalidOperation("Invalid control for the active control");
    activeControl_ = control;
    if (control != nullptr) control->FreeNotification(this);
    if (!IsLoading() && Visible() && control != nullptr && control->CanFocus()) control->SetFocus();
}

void TCustomForm::FocusControl(TWinControl* control) { SetActiveControl(control); }

bool TCustomForm::SetFocusedControl(TWinControl* control) {
    if (control == focusedControl_) return false;
    // Leave the old control and its containers up to the common parent,
    // then enter the new one's, outermost first.
    TWinControl* old = focusedControl_;
    focusedControl_ = control;
    if (control != this) activeControl_ = control;
    if (control != nullptr) control->FreeNotification(this);
    std::vector<TWinControl*> leaving, entering;
    for (TWinControl* c = old; c != nullptr && c != this; c = c->Parent())
        if (control == nullptr || !c->ContainsControl(control)) leaving.push_back(c);
    for (TWinControl* c = control; c != nullptr && c != this; c = c->Parent())
        if (old == nullptr || !c->ContainsControl(old)) entering.insert(entering.begin(), c);
    for (TWinControl* c : leaving) c->DoExit();
    for (TWinControl* c : entering) c->DoEnter();
    return true;
}

void TCustomForm::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
    TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop);
    if (next != nullptr) next->SetFocus();
}

void TCustomForm::SetFocus() {
    if (!Visible() || !Enabled()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    SetForegroundWindow(Handle());
    if (activeControl_ != nullptr && activeControl_->CanFocus())
        activeControl_->SetFocus();
    else
        ::SetFocus(Handle());
}

bool TCustomForm::CanFocus() { return Visible() && Enabled(); }

void TCustomForm::SetBorderStyle(TFormBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle s) {
    formStyle_ = s;
    if (HandleAllocated())
        SetWindowPos(Handle(), s == TFormStyle::fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWindowState TCustomForm::WindowState() {
    if (HandleAllocated() && Visible()) {
        if (IsIconic(Handle())) return TWindowState::wsMinimized;
        if (IsZoomed(Handle())) return TWindowState::wsMaximized;
        return TWindowState::wsNormal;
    }
    return windowState_;
}

void TCustomForm::SetWindowState(TWindowState s) {
    windowState_ = s;
    if (HandleAllocated() && Visible()) {
        static const int cmds[] = {SW_RESTORE, SW_MINIMIZE, SW_MAXIMIZE};
        ShowWindow(Handle(), cmds[static_cast<int>(s)]);
    }
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    menu_ = menu;
    if (menu != nullptr) menu->FreeNotification(this);
    if (HandleAllocated()) ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
    TShortCut sc = ShortCut(key, shift);
    if (sc == 0) return false;
    if (menu_ != nullptr && menu_->IsShortCut(sc)) return true;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TCustomActionList*>(Components(i)))
            if (list->IsShortCut(sc)) return true;
    return false;
}

void TCustomForm::Paint() {
    if (OnPaint) OnPaint(this);
}

namespace {
// Every control of a container, depth first in the order of its children.
void CollectControls(TWinControl* parent, std::vector<TControl*>& list) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        list.push_back(c);
        if (auto* w = dynamic_cast<TWinControl*>(c)) CollectControls(w, list);
    }
}

// Whether the user can reach a control now: it and its containers are
// shown and enabled.
bool Reachable(TControl* control, TCustomForm* form) {
    for (TControl* c = control; c != nullptr && c != form; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return true;
}
}  // namespace

// A dialog character goes to the controls in order, starting after the one
// with the focus, until one takes it as its accelerator; so a letter that
// several captions share moves on from one to the next.
void TCustomForm::DoDialogChar(TMessage& m) {
    std::vector<TControl*> order;
    CollectControls(this, order);
    size_t start = 0;
    auto focus = std::find(order.begin(), order.end(), static_cast<TControl*>(focusedControl_));
    if (focus != order.end()) start = static_cast<size_t>(focus - order.begin()) + 1;
    for (size_t k = 0; k < order.size(); ++k) {
        TControl* c = order[(start + k) % order.size()];
        if (!Reachable(c, this)) continue;
        TMessage ch{CM_DIALOGCHAR, m.WParam, m.LParam, 0};
        c->WindowProc(ch);
        if (ch.Result != 0) {
            m.Result = 1;
            return;
        }
    }
}

void TCustomForm::DoDialogKey(TMessage& m) {
    TShiftState shift = CurrentShiftState();
    switch (m.WParam) {
        case VK_TAB:
            if (shift.Contains(TShiftStateItem::ssCtrl) || shift.Contains(TShiftStateItem::ssAlt)) return;
            SelectNext(activeControl_, !shift.Contains(TShiftStateItem::ssShift), true);
            m.Result = 1;
            return;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            if (activeControl_ != nullptr && activeControl_->Parent() != nullptr) {
                TWinControl* next = activeControl_->Parent()->FindNextControl(
                    activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false, true);
                if (next != nullptr) {
                    next->SetFocus();
                    m.Result = 1;
                }
            }
            return;
        case VK_RETURN:
        case VK_ESCAPE: {
            // Default and cancel buttons answer these.
            TMessage b{CM_DIALOGKEY, m.WParam, m.LParam, 0};
            std::vector<TWinControl*> all;
            GetTabOrderList(all);
            for (TWinControl* c : all) {
                c->WindowProc(b);
                if (b.Result != 0) {
                    m.Result = 1;
                    return;
                }
            }
            return;
        }
        default:
            return;
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_CLOSE:
            Close();
            return;
        case CM_RELEASE:
            Free();
            return;
        case WM_ACTIVATE: {
            bool activating = LOWORD(m.WParam) != WA_INACTIVE;
            active_ = activating;
            if (activating) {
                if (activeControl_ != nullptr && activeControl_->CanFocus() && activeControl_->HandleAllocated())
                    ::SetFocus(activeControl_->Handle());
                if (OnActivate) OnActivate(this);
                m.Result = 0;
                if (activeControl_ != nullptr) return;
            } else {
                if (OnDeactivate) OnDeactivate(this);
            }
            break;
        }
        case CM_FOCUSCHANGED:
            SetFocusedControl(reinterpret_cast<TWinControl*>(m.LParam));
            Broadcast(m);
            return;
        case CM_CHILDKEY:
            if (keyPreview_) {
                WORD key = static_cast<WORD>(m.WParam);
                if (!KeyDown(key, CurrentShiftState())) {
                    m.Result = 1;
                    return;
                }
                m.WParam = key;
            }
            return;
        case CM_APPKEYDOWN:
            m.Result = IsShortCut(static_cast<WORD>(m.WParam), KeyDataToShiftState(m.LParam)) ? 1 : 0;
            return;
        case CM_DIALOGKEY:
            DoDialogKey(m);
            return;
        case CM_DIALOGCHAR:
            DoDialogChar(m);
            return;
        case WM_SETFOCUS:
            // The form itself took the focus: hand it to the active control.
            if (activeControl_ != nullptr && activeControl_->CanFocus() && activeControl_->HandleAllocated()) {
                ::SetFocus(activeControl_->Handle());
                return;
            }
            break;
        case WM_SYSCOLORCHANGE:
        case WM_FONTCHANGE:
        case WM_SETTINGCHANGE:
        case WM_TIMECHANGE: {
            // Every control of the form hears of changes of the system.
            UINT cm = m.Msg == WM_SYSCOLORCHANGE ? CM_SYSCOLORCHANGE
                      : m.Msg == WM_FONTCHANGE   ? CM_FONTCHANGE
                      : m.Msg == WM_TIMECHANGE   ? CM_TIMECHANGE
                                                 : CM_WININICHANGE;
            BroadcastToAll(this, cm);
            break;
        }
        case WM_INITMENUPOPUP:
            if (hooks::MenuPopupInit) hooks::MenuPopupInit(reinterpret_cast<HMENU>(m.WParam));
            break;
        // Pictures with palettes of their own keep their colours on a
        // display of few colours: the form's controls realise them.
        case WM_QUERYNEWPALETTE:
            m.Result = PaletteChanged(true) ? 1 : 0;
            return;
        case WM_PALETTECHANGED:
            m.Result = reinterpret_cast<HWND>(m.WParam) != Handle() && PaletteChanged(false) ? 1 : 0;
            return;
        default:
            break;
    }
    TCustomControl::WndProc(m);
}

// ------------------------------------------------------------ TApplication

TApplication* EnsureApplication() {
    if (Application == nullptr) Application = new TApplication(nullptr);
    return Application;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner), hintTimer_([this] { ShowHintNow(); }) {
    if (Application == nullptr) Application = this;
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    title_ = ChangeFileExt(ExtractFileName(std::string(buf, n)), "");
    hooks::HandleException = [this](std::exception_ptr e) { HandleException(e); };
    hooks::MouseControlChanged = [this](TControl* c) { MouseControlChanged(c); };
    InstallFloatingHosts();
    EnsureScreen();
}

TApplication::~TApplication() {
    if (hintWindow_ != nullptr) DestroyWindow(hintWindow_);
    if (handle_ != nullptr) DestroyWindow(handle_);
    if (Application == this) {
        Application = nullptr;
        hooks::HandleException = nullptr;
        hooks::MouseControlChanged = nullptr;
    }
}

namespace {
// "Short|Long": the tooltip shows the short part, the application's Hint
// the long one.
std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }
std::string LongHint(const std::string& hint) {
    size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}
}  // namespace

void TApplication::MouseControlChanged(TControl* control) {
    CancelHint();
    hintControl_ = control;
    SetHint(control != nullptr ? LongHint(control->Hint()) : std::string());
    if (control != nullptr && showHint_ && control->ShowHint() && !ShortHint(control->Hint()).empty())
        hintTimer_.Start(static_cast<unsigned>(hintPause_));
}

void TApplication::CancelHint() {
    hintTimer_.Stop();
    if (hintWindow_ != nullptr) {
        TOOLINFOA ti{};
        ti.cbSize = sizeof ti;
        ti.hwnd = handle_;
        ti.uId = 1;
        SendMessageA(hintWindow_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    }
}

void TApplication::ShowHintNow() {
    hintTimer_.Stop();
    if (hintControl_ == nullptr) return;
    std::string text = ShortHint(hintControl_->Hint());
    if (text.empty()) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = handle_;
    ti.uId = 1;
    ti.lpszText = text.data();
    if (hintWindow_ == nullptr) {
        hintWindow_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                      0, 0, 0, 0, handle_, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (hintWindow_ == nullptr) return;
        SendMessageA(hintWindow_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    } else {
        SendMessageA(hintWindow_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    POINT p;
    GetCursorPos(&p);
    SendMessageA(hintWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x, p.y + 20));
    SendMessageA(hintWindow_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

LRESULT CALLBACK TApplication::AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ACTIVATEAPP && Application != nullptr) {
        try {
            if (wParam && Application->OnActivate) Application->OnActivate(Application);
            if (!wParam && Application->OnDeactivate) Application->OnDeactivate(Application);
        } catch (...) {
            HandleCallbackException();
        }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND TApplication::Handle() {
    if (handle_ == nullptr) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = AppWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TApplication";
        wc.hIcon = LoadIconA(wc.hInstance, "MAINICON");
        WNDCLASSA existing;
        if (!GetClassInfoA(wc.hInstance, "TApplication", &existing)) RegisterClassA(&wc);
        handle_ = CreateWindowExA(0, "TApplication", title_.c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS |
                                  WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
    }
    return handle_;
}

void TApplication::Initialize() {
    Handle();
    RegisterPlatformClasses();
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    if (handle_ != nullptr) SetWindowTextA(handle_, title.c_str());
}

std::string TApplication::ExeName() const {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    return std::string(buf, n);
}

void TApplication::Run() {
    if (mainForm_ == nullptr) return;
    if (showMainForm_) mainForm_->Show();
    while (!terminated_) HandleMessage();
    // The main form closes as the program ends.
}

bool TApplication::IsKeyMsg(MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
            break;
        case WM_CHAR:
            // A window that takes typing keeps its letters.  (Asked without
            // the message: given one, the rich-edit control takes itself
            // for a dialog's and closes it on Escape.)
            if (SendMessageA(msg.hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) return false;
            break;
        default:
            return false;
    }
    TWinControl* c = TWinControl::FindControlOfWindow(msg.hwnd);
    if (c == nullptr) return false;
    return c->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& msg) {
    // Wide windows get their characters through the wide calls.
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return false;
    bool unicode = msg.hwnd != nullptr && IsWindowUnicode(msg.hwnd);
    if (!(unicode ? PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE) : PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)))
        return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    bool handled = false;
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_NCLBUTTONDOWN:
            CancelHint();
            break;
        default:
            break;
    }
    try {
        if (OnMessage) OnMessage(msg, handled);
        if (!handled && !IsKeyMsg(msg)) {
            TranslateMessage(&msg);
            if (unicode)
                DispatchMessageW(&msg);
            else
                DispatchMessageA(&msg);
        }
    } catch (...) {
        HandleException(std::current_exception());
    }
    return true;
}

void TApplication::HandleMessage() {
    MSG msg;
    if (!ProcessMessage(msg)) Idle();
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (ProcessMessage(msg)) {
    }
}

void TApplication::Idle() {
    bool done = true;
    try {
        if (OnIdle) OnIdle(this, done);
        // Actions of visible forms bring their state up to date.
        for (int i = 0; Screen != nullptr && i < Screen->FormCount(); ++i) {
            TCustomForm* f = Screen->Forms(i);
            if (!f->Visible()) continue;
            for (int j = 0; j < f->ComponentCount(); ++j)
                if (auto* list = dynamic_cast<TCustomActionList*>(f->Components(j))) list->UpdateActions();
        }
    } catch (...) {
        HandleException(std::current_exception());
    }
    if (done && !terminated_) WaitMessage();
}

void TApplication::Terminate() {
    if (!terminated_) PostQuitMessage(0);
    terminated_ = true;
}

void TApplication::Minimize() {
    if (mainForm_ != nullptr && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
    if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
    if (mainForm_ != nullptr && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
    if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
    if (mainForm_ != nullptr && mainForm_->HandleAllocated()) SetForegroundWindow(mainForm_->Handle());
}

void TApplication::HandleException(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    if (OnException) {
        OnException(this, e);
        return;
    }
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& ex) {
        ShowException(ex);
    } catch (...) {
        MessageBox("Unknown error", title_, MB_OK | MB_ICONSTOP);
    }
}

void TApplication::ShowException(const std::exception& e) {
    std::string msg = ExceptionMessage(e);
    if (!msg.empty() && msg.back() > '.') msg += '.';
    MessageBox(msg, title_, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    extern int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
    HWND owner = GetActiveWindow();
    if (owner == nullptr && mainForm_ != nullptr && mainForm_->HandleAllocated()) owner = mainForm_->Handle();
    return ShowMessageBox(owner, text, caption, flags);
}

void TApplication::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(this);
}

}  // namespace treskel

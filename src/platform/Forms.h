// Forms, the application object and the screen.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/UtilityWindow.h"

namespace treskel {

class TMainMenu;
class TCustomActionList;

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
TRESKEL_ENUM_INFO(TBorderIcon, "biSystemMenu", "biMinimize", "biMaximize", "biHelp")
using TBorderIcons = Set<TBorderIcon>;

enum class TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
    poOwnerFormCenter
};
TRESKEL_ENUM_INFO(TPosition, "poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                  "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter")

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
TRESKEL_ENUM_INFO(TFormStyle, "fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop")

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
TRESKEL_ENUM_INFO(TWindowState, "wsNormal", "wsMinimized", "wsMaximized")

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                              mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = mrNo + 1,
                              mrNoToAll = mrAll + 1, mrYesToAll = mrNoToAll + 1;
const IntIdents& ModalResultIdents();

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TApplication;

class TCustomForm : public TCustomControl {
    TRESKEL_CLASS(TCustomForm)
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    void BeforeDestruction() override;

    // Reads the form's layout (the resource named after its class) and
    // runs OnCreate.  Forms are made with CreateForm or MakeForm, which
    // call it once the whole object exists.
    void InitializeForm();
    // Reads a layout from text instead of the resource.
    void InitializeForm(const std::string& layout, const std::string& source);

    bool HasParent() const override { return false; }
    bool Showing() const override;
    void SetVisible(bool visible) override;

    void Show();
    void Hide();
    void Close();
    bool CloseQuery();
    int ShowModal();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r);
    void Release();
    bool Active() const { return active_; }
    bool Modal() const { return modal_; }

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    void FocusControl(TWinControl* control);
    bool SetFocusedControl(TWinControl* control);
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    void SetFocus() override;
    bool CanFocus() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s);
    TWindowState WindowState();
    void SetWindowState(TWindowState s);
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);
    TIcon* Icon() { return &icon_; }
    bool Scaled() const { return scaled_; }
    void SetScaled(bool v) { scaled_ = v; }
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int v) { pixelsPerInch_ = v; }
    int FormClientWidth();
    int FormClientHeight();
    void SetFormClientWidth(int w);
    void SetFormClientHeight(int h);

    // Runs the shortcut of a menu item or action; true when one ran.
    virtual bool IsShortCut(WORD key, TShiftState shift);

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;

    void WndProc(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Paint() override;
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& action);
    void Notification(TComponent* component, TOperation operation) override;

private:
    // The messages of a modal form until it closes; how it closes.
    TCloseAction RunModalLoop(TApplication* app);
    void ApplyPosition();
    void DoDialogKey(TMessage& m);
    void DoDialogChar(TMessage& m);
    void SetWindowToMonitor() {}
    TSize FrameSize();

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_{TBorderIcon::biSystemMenu, TBorderIcon::biMinimize, TBorderIcon::biMaximize};
    TPosition position_ = TPosition::poDesigned;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TWindowState windowState_ = TWindowState::wsNormal;
    bool keyPreview_ = false;
    TMainMenu* menu_ = nullptr;
    TIcon icon_;
    bool scaled_ = true;
    int pixelsPerInch_ = 96;
    TModalResult modalResult_ = mrNone;
    bool modal_ = false;
    bool active_ = false;
    bool positioned_ = false;
    bool destroyFired_ = false;
    bool initialized_ = false;
};

class TForm : public TCustomForm {
    TRESKEL_CLASS(TForm)
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// The tool window a control floats in when it is dragged (dkDock) over no
// dock site; it goes with the last control it holds.
class TCustomDockForm : public TCustomForm {
    TRESKEL_CLASS(TCustomDockForm)
public:
    explicit TCustomDockForm(TComponent* owner);
    void WndProc(TMessage& m) override;

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void DoClose(TCloseAction& action) override;
};

// Lets controls float (the application does it when it is made).
void InstallFloatingHosts();

// The form of a control (its top parent, when that is a form).
TCustomForm* GetParentForm(const TControl* control);

using TExceptionEvent = std::function<void(TObject* Sender, std::exception_ptr E)>;
using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
    TRESKEL_CLASS(TApplication)
public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    void Initialize();
    HWND Handle();
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title);
    std::string ExeName() const;
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }
    bool ShowMainForm() const { return showMainForm_; }
    void SetShowMainForm(bool v) { showMainForm_ = v; }
    TIcon* Icon() { return &icon_; }

    // Creates a form owned by the application; the first becomes the main form.
    template <class T>
    T* CreateForm() {
        T* form = new T(this);
        try {
            form->InitializeForm();
        } catch (...) {
            form->Free();
            throw;
        }
        if (mainForm_ == nullptr) mainForm_ = form;
        return form;
    }

    void Run();
    // Handles one message, or waits for one when there is none.
    void HandleMessage();
    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ResetTerminated() { terminated_ = false; }
    void Minimize();
    void Restore();
    void BringToFront();

    void HandleException(std::exception_ptr e);
    void ShowException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    std::string Hint() const { return hint_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    // How long the mouse rests on a control before its hint shows.
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    // The tooltip window that shows hints (null until one was shown).
    HWND HintWindow() const { return hintWindow_; }
    void CancelHint();

    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    // Counts modal loops, for the message boxes of tests.
    int ModalLevel() const { return modalLevel_; }
    void EnterModal() { ++modalLevel_; }
    void LeaveModal() { --modalLevel_; }

private:
    bool ProcessMessage(MSG& msg);
    bool IsKeyMsg(MSG& msg);
    void Idle();
    static LRESULT CALLBACK AppWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void MouseControlChanged(TControl* control);
    void ShowHintNow();

    HWND handle_ = nullptr;
    std::string title_;
    TCustomForm* mainForm_ = nullptr;
    bool showMainForm_ = true;
    bool terminated_ = false;
    TIcon icon_;
    std::string hint_;
    bool showHint_ = true;
    int hintPause_ = 500;
    TControl* hintControl_ = nullptr;
    HWND hintWindow_ = nullptr;
    UtilityTimer hintTimer_;
    int modalLevel_ = 0;
};

// The application object of the process (made on first use).
extern TApplication* Application;

// Ends what holds the mouse (a pressed tool button, a drag): a modal
// window that opens from a click gets the clicks that follow.
void CancelMouseCapture();

// One modal level of the application for a scope, given back however the
// scope ends (nothing without an application).  The mouse is free in it.
class AppModalLevel {
public:
    AppModalLevel() : app_(Application) {
        CancelMouseCapture();
        if (app_ != nullptr) app_->EnterModal();
    }
    ~AppModalLevel() {
        if (app_ != nullptr) app_->LeaveModal();
    }
    AppModalLevel(const AppModalLevel&) = delete;
    AppModalLevel& operator=(const AppModalLevel&) = delete;

private:
    TApplication* app_;
};
TApplication* EnsureApplication();

class TScreen : public TComponent {
    TRESKEL_CLASS(TScreen)
public:
    explicit TScreen(TComponent* owner);
    HCURSOR Cursors(TCursor index);
    void SetCursors(TCursor index, HCURSOR cursor);
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    int Width() const;
    int Height() const;
    int DesktopWidth() const;
    int DesktopHeight() const;
    TRect WorkAreaRect() const;
    // Every monitor, in screen coordinates.
    std::vector<TRect> MonitorRects() const;
    // Whether a monitor shows a window at `r` so that the user can take
    // hold of it; `r` moved into the work area when none does.
    bool ShowsOnMonitor(const TRect& r) const;
    TRect KeepOnMonitor(const TRect& r) const;
    int PixelsPerInch() const;
    TStrings* Fonts();
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* Forms(int i) const { return forms_.at(static_cast<size_t>(i)); }
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;

private:
    friend class TCustomForm;
    std::vector<std::pair<TCursor, HCURSOR>> cursors_;
    TCursor cursor_ = crDefault;
    std::unique_ptr<TStringList> fonts_;
    std::vector<TCustomForm*> forms_;
};

extern TScreen* Screen;
TScreen* EnsureScreen();
// Lets layouts name a component of another window as "Form.Component"
// (the screen does it when it is made).
void InstallFormComponentFinder();

// Makes a form owned by no one (tests, dialogs made on the fly); free it
// through the returned pointer.
template <class T, class... Args>
OwnedPtr<T> MakeForm(Args&&... args) {
    OwnedPtr<T> form(new T(nullptr, std::forward<Args>(args)...));
    form->InitializeForm();
    return form;
}

// Makes a form owned by `owner`, which frees it; a layout that cannot be
// read frees it again at once.  For windows made on first use that must
// never become the main form.
template <class T>
T* MakeOwnedForm(TComponent* owner) {
    T* form = Create<T>(owner);
    try {
        form->InitializeForm();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

// The text of a layout compiled into the program as a resource (the
// layout of a form class is named after the class, in capitals).
std::string LoadLayoutResource(const std::string& name);


}  // namespace treskel

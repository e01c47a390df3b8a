#include "platform/Dialogs.h"

#include <algorithm>
#include <cwchar>
#include <utility>

#include "platform/Forms.h"

namespace treskel {

namespace {
MessageBoxResponder& Responder() {
    static MessageBoxResponder r;
    return r;
}
InputQueryResponder& QueryResponder() {
    static InputQueryResponder r;
    return r;
}
CommonDialogResponder& DialogResponder() {
    static CommonDialogResponder r;
    return r;
}
}  // namespace

CommonDialogResponder SetCommonDialogResponder(CommonDialogResponder responder) {
    return std::exchange(DialogResponder(), std::move(responder));
}

bool RunSystemDialog(const std::function<bool(HWND owner)>& show) {
    // The dialog belongs to the window the user works in; the program's
    // other windows wait while it is up.
    HWND owner = GetActiveWindow();
    if (owner == nullptr && Application != nullptr) owner = Application->Handle();
    AppModalLevel modal;
    SystemDialogPlacement placement(owner);
    return show(owner);
}

namespace {
// The placement waiting for its dialog on this thread (the innermost one).
SystemDialogPlacement*& WaitingPlacement() {
    thread_local SystemDialogPlacement* p = nullptr;
    return p;
}

bool IsDialogWindow(HWND wnd) {
    char name[16] = {};
    GetClassNameA(wnd, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0 && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) == 0;
}
}  // namespace

SystemDialogPlacement::SystemDialogPlacement(HWND over)
    : over_(over),
      outer_(WaitingPlacement()),
      hook_(SetWindowsHookExA(WH_CALLWNDPROC, &SystemDialogPlacement::Watch, nullptr, GetCurrentThreadId())) {
    WaitingPlacement() = this;
}

SystemDialogPlacement::~SystemDialogPlacement() { WaitingPlacement() = outer_; }

LRESULT CALLBACK SystemDialogPlacement::Watch(int code, WPARAM wParam, LPARAM lParam) {
    // A dialog is shown once its own start-up has sized it (a file dialog
    // changes its size more than once before).
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    SystemDialogPlacement* p = WaitingPlacement();
    if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam && p != nullptr && !p->placed_ &&
        IsDialogWindow(m->hwnd))
        p->Place(m->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SystemDialogPlacement::Place(HWND dialog) {
    placed_ = true;
    HWND over = over_;
    if (over == nullptr || !IsWindowVisible(over)) {
        TCustomForm* main = Application != nullptr ? Application->MainForm() : nullptr;
        over = main != nullptr && main->HandleAllocated() && IsWindowVisible(main->Handle()) ? main->Handle() : nullptr;
    }
    RECT d, ref;
    GetWindowRect(dialog, &d);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(over != nullptr ? over : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    if (over != nullptr) GetWindowRect(over, &ref);
    else ref = work;
    const int w = d.right - d.left, h = d.bottom - d.top;
    int x = ref.left + (ref.right - ref.left - w) / 2, y = ref.top + (ref.bottom - ref.top - h) / 2;
    x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - w));
    y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - h));
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TCommonDialog::RunModal(const std::function<bool(HWND owner)>& show) {
    if (DialogResponder()) return DialogResponder()(*this);
    return RunSystemDialog(show);
}

InputQueryResponder SetInputQueryResponder(InputQueryResponder responder) {
    return std::exchange(QueryResponder(), std::move(responder));
}

namespace {
// The system's box grows as wide as the longest unbroken run of its text
// (a long name, a path): such runs are broken where they would pass half
// the screen, so that a box is never wider than the screen.
std::string BreakLongRuns(const std::string& text) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return text;
    GdiHandle<HFONT> font(CreateFontIndirectA(&metrics.lfMessageFont));
    WindowDC dc(nullptr);
    SelectGuard selected(dc.Get(), font.Get());
    const int limit = GetSystemMetrics(SM_CXSCREEN) / 2;
    std::string out;
    size_t runStart = 0;  // in `out`
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t') {
            out += c;
            runStart = out.size();
            continue;
        }
        SIZE size{};
        std::string run = out.substr(runStart) + c;
        GetTextExtentPoint32A(dc.Get(), run.data(), static_cast<int>(run.size()), &size);
        if (size.cx > limit && out.size() > runStart) {
            out += '\n';
            runStart = out.size();
        }
        out += c;
    }
    return out;
}
}  // namespace

MessageBoxResponder SetMessageBoxResponder(MessageBoxResponder responder) {
    return std::exchange(Responder(), std::move(responder));
}

int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    std::string shown = BreakLongRuns(text);
    if (Responder()) return Responder()(shown, caption, flags);
    // Other windows of the program wait while the box is up.
    AppModalLevel modal;
    return MessageBoxA(owner, shown.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

int ShowWideMessageBox(HWND owner, const std::wstring& text, const std::string& caption, UINT flags) {
    if (Responder()) {
        // No look-alikes: what the code page lacks reads as '?'.
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
        std::string narrow(static_cast<size_t>(std::max(n, 0)), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), narrow.data(),
                            n, nullptr, nullptr);
        return Responder()(narrow, caption, flags);
    }
    AppModalLevel modal;
    return MessageBoxW(owner, text.c_str(), Widen(caption).c_str(), flags | MB_TASKMODAL);
}

namespace {
bool CodePageHolds(char32_t c) { return !ExactBytesInCodePage(c, GetACP()).empty(); }
}  // namespace

std::wstring LettersOutsideCodePage(std::wstring_view text) {
    std::wstring letters;
    for (size_t i = 0, n = 1; i < text.size(); i += n) {
        const bool held = CodePageHolds(CodePointAt(text, i, &n));
        const std::wstring_view c = text.substr(i, n);
        if (!held && letters.find(c) == std::wstring::npos) letters += c;
    }
    return letters;
}

size_t FirstLetterOutsideCodePage(std::wstring_view text) {
    for (size_t i = 0, n = 1; i < text.size(); i += n)
        if (!CodePageHolds(CodePointAt(text, i, &n))) return i;
    return std::wstring_view::npos;
}

bool RefuseLettersOutsideCodePage(std::wstring_view text, bool nameThem) {
    const std::wstring letters = LettersOutsideCodePage(text);
    if (letters.empty()) return false;
    // Each with its number, which names it where a font has no picture of it.
    std::wstring named;
    for (size_t i = 0, n = 1; i < letters.size(); i += n) {
        const char32_t code = CodePointAt(letters, i, &n);
        wchar_t number[16];
        swprintf(number, 16, L" (U+%04X)", static_cast<unsigned>(code));
        if (!named.empty()) named += L", ";
        named.append(letters, i, n);
        named += number;
    }
    std::wstring message = nameThem ? L"These letters cannot be stored here: " + named
                                    : std::wstring(L"The text holds letters that cannot be stored here.");
    message += L"\n\nNames, captions, passwords and the data directory are kept in the system's code page (" +
               Widen(IntToStr(static_cast<int>(GetACP()))) + L"), which lacks them. Please change them.";
    ShowWideMessageBox(GetActiveWindow(), message, "Letters", MB_OK | MB_ICONEXCLAMATION);
    return true;
}

int MessageDlgCaption(const std::string& msg, const std::string& caption, TMsgDlgType type, TMsgDlgButtons buttons) {
    UINT flags = 0;
    switch (type) {
        case TMsgDlgType::mtWarning: flags |= MB_ICONWARNING; break;
        case TMsgDlgType::mtError: flags |= MB_ICONERROR; break;
        case TMsgDlgType::mtInformation: flags |= MB_ICONINFORMATION; break;
        case TMsgDlgType::mtConfirmation: flags |= MB_ICONQUESTION; break;
        case TMsgDlgType::mtCustom: break;
    }
    using B = TMsgDlgBtn;
    auto has = [&](B b) { return buttons.Contains(b); };
    if (has(B::mbYes) && has(B::mbNo) && has(B::mbCancel)) flags |= MB_YESNOCANCEL;
    else if (has(B::mbYes) && has(B::mbNo)) flags |= MB_YESNO;
    else if (has(B::mbAbort) && has(B::mbRetry) && has(B::mbIgnore)) flags |= MB_ABORTRETRYIGNORE;
    else if (has(B::mbRetry) && has(B::mbCancel)) flags |= MB_RETRYCANCEL;
    else if (has(B::mbOK) && has(B::mbCancel)) flags |= MB_OKCANCEL;
    else flags |= MB_OK;
    if (has(B::mbHelp)) flags |= MB_HELP;
    HWND owner = GetActiveWindow();
    return ShowMessageBox(owner, msg, caption, flags);
}

int MessageDlg(const std::string& msg, TMsgDlgType type, TMsgDlgButtons buttons, int) {
    static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", nullptr};
    const char* c = captions[static_cast<int>(type)];
    std::string caption = c != nullptr ? c : (Application != nullptr ? Application->Title() : std::string());
    return MessageDlgCaption(msg, caption, type, buttons);
}

void ShowMessage(const std::string& msg) {
    std::string caption = Application != nullptr ? Application->Title() : std::string();
    ShowMessageBox(GetActiveWindow(), msg, caption, MB_OK);
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
    std::string value = defaultValue;
    InputQuery(caption, prompt, value);
    return value;
}

bool InputQueryWindow(const std::string& caption, const std::string& prompt, std::string& value, bool masked,
                      const TQueryCheck& check);

namespace {
bool Query(const std::string& caption, const std::string& prompt, std::string& value, bool masked,
           const TQueryCheck& check = nullptr) {
    if (!QueryResponder()) return InputQueryWindow(caption, prompt, value, masked, check);
    // Answered without a window: a refused answer is told and asked for
    // again with what was typed, as the window keeps it.
    std::string v = value;
    for (;;) {
        if (!QueryResponder()(caption, prompt, v)) return false;
        const std::string problem = check ? check(v) : std::string();
        if (problem.empty()) break;
        ShowMessageBox(nullptr, problem, caption, MB_OK | MB_ICONWARNING);
    }
    value = v;
    return true;
}
}  // namespace

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    return Query(caption, prompt, value, false);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value, const TQueryCheck& check) {
    return Query(caption, prompt, value, false, check);
}

bool PasswordQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    return Query(caption, prompt, value, true);
}

}  // namespace treskel

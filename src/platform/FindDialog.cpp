// The modeless find and replace dialogs.
#include "platform/Dialogs.h"

#include <dlgs.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace treskel {

namespace {
UINT FindMessage() {
    static const UINT message = RegisterWindowMessageA(FINDMSGSTRINGA);
    return message;
}

const std::pair<TFindOption, DWORD> kFindFlags[] = {
    {TFindOption::frDown, FR_DOWN},
    {TFindOption::frFindNext, FR_FINDNEXT},
    {TFindOption::frHideMatchCase, FR_HIDEMATCHCASE},
    {TFindOption::frHideWholeWord, FR_HIDEWHOLEWORD},
    {TFindOption::frHideUpDown, FR_HIDEUPDOWN},
    {TFindOption::frMatchCase, FR_MATCHCASE},
    {TFindOption::frDisableMatchCase, FR_NOMATCHCASE},
    {TFindOption::frDisableUpDown, FR_NOUPDOWN},
    {TFindOption::frDisableWholeWord, FR_NOWHOLEWORD},
    {TFindOption::frReplace, FR_REPLACE},
    {TFindOption::frReplaceAll, FR_REPLACEALL},
    {TFindOption::frWholeWord, FR_WHOLEWORD},
    {TFindOption::frShowHelp, FR_SHOWHELP},
};

DWORD ToFlags(TFindOptions options) {
    DWORD flags = 0;
    for (auto [option, flag] : kFindFlags)
        if (options.Contains(option)) flags |= flag;
    // What the user did is the dialog's answer, never a request.
    return flags & ~static_cast<DWORD>(FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL);
}

TFindOptions FromFlags(DWORD flags) {
    TFindOptions options;
    for (auto [option, flag] : kFindFlags)
        if (flags & flag) options += option;
    return options;
}

// A modeless dialog gets its keys (Tab, Enter, Esc, accelerators) only
// through IsDialogMessage; a hook on the thread's message retrieval calls
// it, so that the message loop need not know these dialogs.
std::vector<HWND>& OpenDialogs() {
    static std::vector<HWND> dialogs;
    return dialogs;
}

HookHandle& MessageHook() {
    static HookHandle hook;
    return hook;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
            for (HWND d : std::vector<HWND>(OpenDialogs())) {
                if (d != msg->hwnd && !IsChild(d, msg->hwnd)) continue;
                if (IsDialogMessageA(d, msg)) {
                    msg->message = WM_NULL;
                    msg->wParam = 0;
                    msg->lParam = 0;
                }
                break;
            }
        }
    }
    return CallNextHookEx(MessageHook().Get(), code, wParam, lParam);
}

void AddOpenDialog(HWND dialog) {
    OpenDialogs().push_back(dialog);
    if (!MessageHook()) MessageHook().Reset(SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId()));
}

void RemoveOpenDialog(HWND dialog) {
    auto& v = OpenDialogs();
    v.erase(std::remove(v.begin(), v.end(), dialog), v.end());
    if (v.empty()) MessageHook().Reset();
}

void CopyText(std::array<char, 256>& buffer, const std::string& s) {
    size_t n = std::min(s.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), s.data(), n);
    buffer[n] = '\0';
}
}  // namespace

// Places the dialog before it first shows.
UINT_PTR CALLBACK FindDialogHook(HWND dialog, UINT msg, WPARAM, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* fr = reinterpret_cast<FINDREPLACEA*>(lParam);
        auto* self = reinterpret_cast<TFindDialog*>(fr->lCustData);
        if (self != nullptr && self->positioned_)
            SetWindowPos(dialog, nullptr, self->position_.x, self->position_.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;  // the dialog sets the focus
    }
    return FALSE;
}

TFindDialog::TFindDialog(TComponent* owner)
    : TCommonDialog(owner),
      owner_(
          [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
              return HandleOwnerMessage(msg, wParam, lParam, result);
          },
          true) {}

TFindDialog::~TFindDialog() {
    if (dialog_ != nullptr) {
        HWND d = dialog_;
        Ended();
        DestroyWindow(d);
    }
}

HWND TFindDialog::CreateDialogWindow(FINDREPLACEA& fr) { return ::FindTextA(&fr); }

HWND TReplaceDialog::CreateDialogWindow(FINDREPLACEA& fr) {
    fr.lpstrReplaceWith = replaceWith_.data();
    fr.wReplaceWithLen = static_cast<WORD>(replaceWith_.size());
    return ::ReplaceTextA(&fr);
}

bool TFindDialog::Execute() {
    if (dialog_ != nullptr && !IsWindow(dialog_)) Ended();
    if (dialog_ != nullptr) {
        ShowWindow(dialog_, SW_SHOW);
        SetActiveWindow(dialog_);
        return true;
    }
    // The dialog stays above the window the user works in.
    HWND ownerForm = GetActiveWindow();
    owner_.SetOwner(ownerForm != owner_.Handle() ? ownerForm : nullptr);
    std::memset(&fr_, 0, sizeof fr_);
    fr_.lStructSize = sizeof fr_;
    fr_.hwndOwner = owner_.Handle();
    fr_.hInstance = GetModuleHandleA(nullptr);
    fr_.Flags = ToFlags(options_) | FR_ENABLEHOOK;
    fr_.lpstrFindWhat = findWhat_.data();
    fr_.wFindWhatLen = static_cast<WORD>(findWhat_.size());
    fr_.lpfnHook = FindDialogHook;
    fr_.lCustData = reinterpret_cast<LPARAM>(this);
    HWND d = CreateDialogWindow(fr_);
    if (d == nullptr)
        throw EInvalidOperation(Format("The dialog could not be shown (error 0x%lX)",
                                       static_cast<unsigned long>(CommDlgExtendedError())));
    dialog_ = d;
    AddOpenDialog(d);
    return true;
}

void TFindDialog::CloseDialog() {
    if (dialog_ == nullptr) return;
    if (!IsWindow(dialog_)) {
        Ended();
        return;
    }
    // As the Cancel button: the dialog reports its end, then goes.
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDCANCEL)));
}

void TFindDialog::Ended() {
    RemoveOpenDialog(dialog_);
    dialog_ = nullptr;
}

std::string TFindDialog::FindText() const { return findWhat_.data(); }

void TFindDialog::SetFindText(const std::string& s) {
    CopyText(findWhat_, s);
    if (dialog_ != nullptr) SetDlgItemTextA(dialog_, edt1, findWhat_.data());
}

std::string TReplaceDialog::ReplaceText() const { return replaceWith_.data(); }

void TReplaceDialog::SetReplaceText(const std::string& s) {
    CopyText(replaceWith_, s);
    if (Handle() != nullptr) SetDlgItemTextA(Handle(), edt2, replaceWith_.data());
}

TPoint TFindDialog::Position() const {
    if (dialog_ != nullptr) {
        RECT r;
        if (GetWindowRect(dialog_, &r)) return {r.left, r.top};
    }
    return position_;
}

void TFindDialog::SetPosition(TPoint p) {
    position_ = p;
    positioned_ = true;
    if (dialog_ != nullptr)
        SetWindowPos(dialog_, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFindDialog::ReadBack() { options_ = FromFlags(fr_.Flags); }

void TFindDialog::DoFind() {
    if (OnFind) {
        TNotifyEvent handler = OnFind;
        handler(this);
    }
}

void TReplaceDialog::DoReplace() {
    if (OnReplace) {
        TNotifyEvent handler = OnReplace;
        handler(this);
    }
}

bool TFindDialog::HandleOwnerMessage(UINT msg, WPARAM, LPARAM lParam, LRESULT& result) {
    if (msg == WM_DESTROY) {
        // Going with the window that owned it took the dialog along.
        if (dialog_ != nullptr && !IsWindow(dialog_)) Ended();
        return false;
    }
    if (msg != FindMessage() || lParam != reinterpret_cast<LPARAM>(&fr_)) return false;
    result = 0;
    DWORD flags = fr_.Flags;
    if (flags & FR_DIALOGTERM) {
        Ended();
        if (OnClose) {
            TNotifyEvent handler = OnClose;
            handler(this);
        }
        return true;
    }
    ReadBack();
    if (flags & FR_FINDNEXT)
        DoFind();
    else if (flags & (FR_REPLACE | FR_REPLACEALL))
        DoReplace();
    return true;
}

}  // namespace treskel

// Drives a real system dialog from inside its own modal loop: a thread
// timer waits for the dialog window of this thread and acts on it once.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Dialogs.h"

namespace treskel::test {

// Answers the modal standard dialogs with `r` for a scope; null lets the
// real dialogs show.  The previous responder comes back afterwards.
class ScopedDialogResponder {
public:
    explicit ScopedDialogResponder(CommonDialogResponder r) : previous_(SetCommonDialogResponder(std::move(r))) {}
    ~ScopedDialogResponder() { SetCommonDialogResponder(std::move(previous_)); }
    ScopedDialogResponder(const ScopedDialogResponder&) = delete;
    ScopedDialogResponder& operator=(const ScopedDialogResponder&) = delete;

private:
    CommonDialogResponder previous_;
};

class DialogDriver {
public:
    // `act` gets the dialog window (class "#32770") once it shows.  The
    // real dialogs show while the driver lives.
    explicit DialogDriver(std::function<void(HWND)> act) : real_(nullptr) {
        Action() = std::move(act);
        timer_ = SetTimer(nullptr, 0, 20, &DialogDriver::Tick);
    }
    ~DialogDriver() {
        if (timer_ != 0) KillTimer(nullptr, timer_);
        Action() = nullptr;
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    static HWND FindDialog() {
        HWND found = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &DialogDriver::Match, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    // Presses a button of a dialog as the user would.
    static void Press(HWND dialog, int id) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

private:
    static BOOL CALLBACK Match(HWND w, LPARAM p) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(w)) {
            *reinterpret_cast<HWND*>(p) = w;
            return FALSE;
        }
        return TRUE;
    }
    static std::function<void(HWND)>& Action() {
        static std::function<void(HWND)> a;
        return a;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND d = FindDialog();
        if (d == nullptr || !Action()) return;
        KillTimer(nullptr, id);
        auto act = std::move(Action());
        Action() = nullptr;
        act(d);
    }
    ScopedDialogResponder real_;
    UINT_PTR timer_ = 0;
};

}  // namespace treskel::test

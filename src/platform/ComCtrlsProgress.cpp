// The progress bar: its range and position, mirrored into msctls_progress32.
#include <algorithm>

#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"

namespace treskel {

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 150, 16);
}

void TProgressBar::CreateParams(TCreateParams& p) {
    comctl::InitClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, PROGRESS_CLASSA);
}

void TProgressBar::CreateWnd() {
    TWinControl::CreateWnd();
    Perform(PBM_SETRANGE32, 0, max_);
    Perform(PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetMax(int v) {
    v = std::max(v, 0);
    if (v == max_) return;
    max_ = v;
    position_ = std::min(position_, max_);
    if (!HandleAllocated()) return;
    Perform(PBM_SETRANGE32, 0, max_);
    Perform(PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetPosition(int v) {
    v = std::clamp(v, 0, max_);
    if (v == position_) return;
    position_ = v;
    if (HandleAllocated()) Perform(PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

}  // namespace treskel

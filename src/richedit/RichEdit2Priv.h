// What the files of the note editor's control share.
#pragma once

#include "richedit/RichEdit2.h"

namespace treskel {

// Keeps the window from reporting changes (and `alsoOff`: further notices)
// while the text is worked on, and gives it its event mask back however
// that ends.
class ChangeEventsOff {
public:
    explicit ChangeEventsOff(TCustomRichEditEx* re, LRESULT alsoOff = 0)
        : re_(re), mask_(re->SendToWindow(EM_GETEVENTMASK)) {
        re_->SendToWindow(EM_SETEVENTMASK, 0, mask_ & ~(static_cast<LRESULT>(ENM_CHANGE) | alsoOff));
    }
    ~ChangeEventsOff() { re_->SendToWindow(EM_SETEVENTMASK, 0, mask_); }
    ChangeEventsOff(const ChangeEventsOff&) = delete;
    ChangeEventsOff& operator=(const ChangeEventsOff&) = delete;

private:
    TCustomRichEditEx* re_;
    LRESULT mask_;
};

}  // namespace treskel

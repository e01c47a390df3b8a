// The reading order of a control's text and the limits of its size.
#include <algorithm>

#include "platform/Controls.h"

namespace treskel {

TBiDiMode TControl::BiDiMode() const {
    if (parentBiDiMode_ && parent_ != nullptr) return parent_->BiDiMode();
    return biDiMode_;
}

void TControl::SetBiDiMode(TBiDiMode m) {
    const TBiDiMode shown = BiDiMode();
    parentBiDiMode_ = false;
    biDiMode_ = m;
    if (m != shown) Invalidate();
}

void TControl::SetParentBiDiMode(bool v) {
    if (v == parentBiDiMode_) return;
    // Let go of the parent: the control keeps the mode it shows now.
    if (!v) biDiMode_ = BiDiMode();
    parentBiDiMode_ = v;
    Invalidate();
}

UINT TControl::BiDiTextFlags(UINT flags) const {
    if (UseRightToLeftAlignment()) {
        if ((flags & DT_RIGHT) != 0) flags &= ~DT_RIGHT;
        else if ((flags & DT_CENTER) == 0) flags |= DT_RIGHT;
    }
    if (UseRightToLeftReading()) flags |= DT_RTLREADING;
    return flags;
}

void TSizeConstraints::Apply(int& width, int& height) const {
    if (minWidth_ > 0) width = std::max(width, minWidth_);
    if (maxWidth_ > 0) width = std::min(width, maxWidth_);
    if (minHeight_ > 0) height = std::max(height, minHeight_);
    if (maxHeight_ > 0) height = std::min(height, maxHeight_);
}

void TSizeConstraints::Set(int& field, int v) {
    if (v == field) return;
    field = std::max(v, 0);
    // The control takes the new limits at once.
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

void TSizeConstraints::Assign(TPersistent* source) {
    auto* c = dynamic_cast<TSizeConstraints*>(source);
    if (c == nullptr) return TPersistent::Assign(source);
    maxHeight_ = c->maxHeight_;
    maxWidth_ = c->maxWidth_;
    minHeight_ = c->minHeight_;
    minWidth_ = c->minWidth_;
    control_->SetBounds(control_->Left(), control_->Top(), control_->Width(), control_->Height());
}

}  // namespace treskel

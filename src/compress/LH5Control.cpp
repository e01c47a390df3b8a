#include "compress/LH5Control.h"

#include <memory>

namespace treskel {

LH5Compression::LH5Compression(TComponent* owner) : TComponent(owner) {}

void LH5Compression::SetProgress(TCodingProgress* progress) {
    if (bar_ != nullptr) {
        bar_->RemoveFreeNotification(this);
        DropBar();
    }
    progress_ = progress;
}

void LH5Compression::DropBar() {
    if (progress_ == barProgress_.get()) progress_ = nullptr;
    barProgress_.reset();
    bar_ = nullptr;
}

void LH5Compression::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component != nullptr && component == bar_) DropBar();
}

template <class Op>
void LH5Compression::WithStreams(Op op) {
    if (useStreamMode_) {
        if (StreamIn == nullptr || StreamOut == nullptr) throw EInvalidOperation("LH5Compression: StreamIn and StreamOut must be set in stream mode");
        op(*StreamIn, *StreamOut);
        return;
    }
    TFileStream in(fileIn_, fmOpenRead | fmShareDenyWrite);
    TFileStream out(fileOut_, fmCreate);
    op(in, out);
}

void LH5Compression::Compress() {
    WithStreams([this](TStream& in, TStream& out) {
        // Sizes count from the input's position: a note body follows its
        // header in the same stream.
        lh5::Encode(in, in.Size() - in.Position(), out, progress_);
    });
}

void LH5Compression::Expand() {
    WithStreams([this](TStream& in, TStream& out) { lh5::Decode(in, in.Size() - in.Position(), out, progress_); });
}

}  // namespace treskel

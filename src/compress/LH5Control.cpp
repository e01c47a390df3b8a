#include "compress/LH5Control.h"

#include <memory>

namespace treskel {

LH5Compression::LH5Compression(TComponent* owner) : TComponent(owner) {}

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

#include "platform/TypInfo.h"

namespace treskel {

void RegisterCompressClasses() {
    PublishClass<LH5Compression, TComponent>()
        .String("FileIn", &LH5Compression::FileIn, &LH5Compression::SetFileIn)
        .String("FileOut", &LH5Compression::FileOut, &LH5Compression::SetFileOut)
        .Bool("UseStreamMode", &LH5Compression::UseStreamMode, &LH5Compression::SetUseStreamMode);
}

}  // namespace treskel

// The compressor's progress bar and its publication for layouts.
#include <climits>

#include "compress/LH5Control.h"
#include "platform/ComCtrls.h"
#include "platform/TypInfo.h"

namespace treskel {

namespace {

// Moves a bar, whose range is an int, by sizes of up to 4 GB: halved as
// often as the size needs.
class BarProgress final : public TCodingProgress {
public:
    explicit BarProgress(TProgressBar* bar) : bar_(bar) {}
    void SetMax(int64_t max) override {
        shift_ = 0;
        while ((max >> shift_) > INT_MAX) ++shift_;
        bar_->SetMax(static_cast<int>(max >> shift_));
    }
    void SetPosition(int64_t position) override { bar_->SetPosition(static_cast<int>(position >> shift_)); }

private:
    TProgressBar* bar_;
    int shift_ = 0;
};

}  // namespace

TProgressBar* LH5Compression::ProgessControl() const { return static_cast<TProgressBar*>(bar_); }

void LH5Compression::SetProgessControl(TProgressBar* bar) {
    if (bar == bar_) return;
    SetProgress(nullptr);
    if (bar == nullptr) return;
    bar_ = bar;
    bar->FreeNotification(this);
    barProgress_ = std::make_unique<BarProgress>(bar);
    progress_ = barProgress_.get();
}

void RegisterCompressClasses() {
    PublishClass<LH5Compression, TComponent>()
        .Ref<TProgressBar>("ProgessControl", &LH5Compression::ProgessControl, &LH5Compression::SetProgessControl)
        .String("FileIn", &LH5Compression::FileIn, &LH5Compression::SetFileIn)
        .String("FileOut", &LH5Compression::FileOut, &LH5Compression::SetFileOut)
        .Bool("UseStreamMode", &LH5Compression::UseStreamMode, &LH5Compression::SetUseStreamMode);
}

}  // namespace treskel

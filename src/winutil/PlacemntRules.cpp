#include "winutil/PlacemntRules.h"

namespace treskel {

std::optional<TPoint> PlacementMaxPosition(TFormBorderStyle border, bool preventResize, bool sizesHeld,
                                           const TFrameMetrics& metrics) {
    if (preventResize || sizesHeld) return std::nullopt;
    TSize frame{};
    switch (border) {
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow: frame = metrics.border; break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: frame = metrics.frame; break;
        case TFormBorderStyle::bsDialog: frame = metrics.dialogFrame; break;
        case TFormBorderStyle::bsNone: break;
    }
    return TPoint{-frame.cx, -frame.cy};
}

}  // namespace treskel

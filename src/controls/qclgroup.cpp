#include "controls/qclgroup.h"

#include <algorithm>

namespace treskel {

std::vector<TRect> QclRadioLayout(const TQclRadioLayoutInput& in) {
    std::vector<TRect> out;
    if (in.count <= 0) return out;
    int b = in.bevelWidth, c = std::max(b, in.captionHeight);
    TRect r{b, c, in.width - b, in.height - b};
    switch (in.side) {
        case TQclCaptionSide::csTop: break;
        case TQclCaptionSide::csLeft: r = {c, b, in.width - b, in.height - b}; break;
        case TQclCaptionSide::csBottom: r = {b, b, in.width - b, in.height - c}; break;
        case TQclCaptionSide::csRight: r = {b, b, in.width - c, in.height - b}; break;
    }
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    int columns = QclClampColumns(in.columns);
    int availW = r.Width() - in.itemOffset, availH = r.Height() - 2;
    int rows = (in.count + columns - 1) / columns;
    int colW = availW / columns;
    int itemH = in.itemHeight >= 0 ? in.itemHeight : availH / rows;
    int top = r.Top + 1 + std::max(0, (availH - rows * itemH) / 2);
    for (int i = 0; i < in.count; ++i) {
        int left = (i / rows) * colW + r.Left + in.itemOffset;
        int y = (i % rows) * itemH + top;
        out.push_back({left, y, left + colW, y + itemH});
    }
    return out;
}

}  // namespace treskel

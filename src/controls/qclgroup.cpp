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

TSize QclRadioGroupSize(const TQclRadioLayoutInput& in, TSize button) {
    int b = in.bevelWidth, c = std::max(b, in.captionHeight);
    bool sideways = in.side == TQclCaptionSide::csLeft || in.side == TQclCaptionSide::csRight;
    int columns = QclClampColumns(in.columns);
    int rows = std::max((in.count + columns - 1) / columns, 1);
    int itemH = in.itemHeight >= 0 ? in.itemHeight : button.cy;
    // The inverse of the layout: the room it takes from each side, and 1
    // more on each side and above and below the rows.
    int width = columns * button.cx + in.itemOffset + 2 + (sideways ? b + c : 2 * b);
    int height = rows * itemH + 2 + 2 + (sideways ? 2 * b : b + c);
    return {width, height};
}

namespace {

// Where the caption lies in its box, by the caption's place on its side.
TQclAlignment CaptionPlacement(TQclGroupCaptionAlign a) {
    using G = TQclGroupCaptionAlign;
    using A = TQclAlignment;
    switch (a) {
        case G::gcaTopCenter: return A::agTopCenter;
        case G::gcaTopRight: case G::gcaRightTop: return A::agTopRight;
        case G::gcaLeftBottom: case G::gcaBottomLeft: return A::agBottomLeft;
        case G::gcaLeftCenter: return A::agCenterLeft;
        case G::gcaBottomCenter: return A::agBottomCenter;
        case G::gcaBottomRight: case G::gcaRightBottom: return A::agBottomRight;
        case G::gcaRightCenter: return A::agCenterRight;
        default: return A::agTopLeft;
    }
}

}  // namespace

TQclGroupCaptionGeometry QclGroupCaptionGeometry(TQclGroupCaptionAlign alignment, int width, int height,
                                                 int captionHeight, int captionOffset) {
    using G = TQclGroupCaptionAlign;
    int h = captionHeight, half = captionHeight / 2 - 1;
    bool leading = alignment == G::gcaTopLeft || alignment == G::gcaLeftBottom || alignment == G::gcaBottomLeft ||
                   alignment == G::gcaRightTop;
    bool trailing = alignment == G::gcaTopRight || alignment == G::gcaLeftTop || alignment == G::gcaBottomRight ||
                    alignment == G::gcaRightBottom;
    int a = leading ? captionOffset : 0, b = trailing ? captionOffset : 0;
    TQclGroupCaptionGeometry g;
    switch (QclCaptionSideOf(alignment)) {
        case TQclCaptionSide::csTop:
            g.box = {a, 0, width - b, h};
            g.bevel = {0, half, width, height};
            break;
        case TQclCaptionSide::csLeft:
            g.box = {0, b, h, height - a};
            g.bevel = {half, 0, width, height};
            break;
        case TQclCaptionSide::csBottom:
            g.box = {a, height - h, width - b, height};
            g.bevel = {0, 0, width, height - half};
            break;
        case TQclCaptionSide::csRight:
            g.box = {width - h, a + 2, width, height - b};
            g.bevel = {0, 0, width - half, height};
            break;
    }
    g.placement = CaptionPlacement(alignment);
    return g;
}

}  // namespace treskel

// The window-free rules of the group box and the radio group: where the
// caption and the frame go, where the buttons go and which item index the
// group keeps.
#pragma once

#include <vector>

#include "foundation/qclgraph.h"
#include "platform/TypInfo.h"
#include "platform/Types.h"

namespace treskel {

// The side of a group box that carries its caption.
enum class TQclCaptionSide { csTop, csLeft, csBottom, csRight };

enum class TQclGroupCaptionAlign {
    gcaTopLeft, gcaTopCenter, gcaTopRight, gcaLeftBottom, gcaLeftCenter, gcaLeftTop,
    gcaBottomLeft, gcaBottomCenter, gcaBottomRight, gcaRightTop, gcaRightCenter, gcaRightBottom
};
TRESKEL_ENUM_INFO(TQclGroupCaptionAlign, "gcaTopLeft", "gcaTopCenter", "gcaTopRight", "gcaLeftBottom",
                  "gcaLeftCenter", "gcaLeftTop", "gcaBottomLeft", "gcaBottomCenter", "gcaBottomRight", "gcaRightTop",
                  "gcaRightCenter", "gcaRightBottom")
constexpr TQclCaptionSide QclCaptionSideOf(TQclGroupCaptionAlign a) {
    return static_cast<TQclCaptionSide>(static_cast<int>(a) / 3);
}

// Where a group box draws its caption and its frame: the caption's box on
// its side, the frame line through the caption's middle, and where the
// caption lies in its box.
struct TQclGroupCaptionGeometry {
    TRect box, bevel;
    TQclAlignment placement = TQclAlignment::agTopLeft;
};
TQclGroupCaptionGeometry QclGroupCaptionGeometry(TQclGroupCaptionAlign alignment, int width, int height,
                                                 int captionHeight, int captionOffset);

struct TQclRadioLayoutInput {
    int width = 0, height = 0;
    int bevelWidth = 0;     // the group box's total bevel width
    int captionHeight = 0;  // the caption's height (its room on its side)
    TQclCaptionSide side = TQclCaptionSide::csTop;
    int count = 0;
    int columns = 1;        // 1 .. 12
    int itemHeight = -1;    // -1: rows share the height
    int itemOffset = 4;     // indent of every column
};

// The bounds of each button: columns filled top to bottom, the rows centred
// in the height left over.
std::vector<TRect> QclRadioLayout(const TQclRadioLayoutInput& in);
// The size of a group whose layout gives every button `button` (the
// input's width and height aside): what AutoSize gives the group.
TSize QclRadioGroupSize(const TQclRadioLayoutInput& in, TSize button);

constexpr int QclClampColumns(int columns) { return columns < 1 ? 1 : columns > 12 ? 12 : columns; }
// -1 for none; beyond the last item, the last.
constexpr int QclClampItemIndex(int index, int count) {
    if (index >= count) index = count - 1;
    return index < -1 ? -1 : index;
}

}  // namespace treskel

// The window-free rules of the radio group: where its buttons go and
// which item index it keeps.
#pragma once

#include <vector>

#include "platform/Types.h"

namespace treskel {

// The side of a group box that carries its caption.
enum class TQclCaptionSide { csTop, csLeft, csBottom, csRight };

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

constexpr int QclClampColumns(int columns) { return columns < 1 ? 1 : columns > 12 ? 12 : columns; }
// -1 for none; beyond the last item, the last.
constexpr int QclClampItemIndex(int index, int count) {
    if (index >= count) index = count - 1;
    return index < -1 ? -1 : index;
}

}  // namespace treskel

// The window-free rules of the splitter panel: where its bars and panes
// lie for an orientation, how a bar's position follows its percentage and
// the mouse, and how its stored values are read back.  Tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace treskel {

enum class TQclSplitterOrientation { spHorzDown, spHorzUp, spVertRight, spVertLeft, spCross };
TRESKEL_ENUM_INFO(TQclSplitterOrientation, "spHorzDown", "spHorzUp", "spVertRight", "spVertLeft", "spCross")

enum class TQclSplitterIniSaveOption { ssOrderVisible, ssPosition, soColor, soFont };
TRESKEL_ENUM_INFO(TQclSplitterIniSaveOption, "ssOrderVisible", "ssPosition", "soColor", "soFont")
using TQclSplitterIniSaveOptions = Set<TQclSplitterIniSaveOption>;

inline constexpr int kQclMaxPanes = 4;
inline constexpr int kQclMaxBars = kQclMaxPanes - 1;

// One bar's numbers: its position in pixels from the inner edge, as a
// percentage of the room it moves in (Extent), and its limits.
struct TQclBarNumbers {
    int position = -1;
    uint8_t percent = 50;
    int min = 0;    // pixels kept before the bar
    int max = 0;    // pixels kept after the bar
    int extent = 0; // 0 until the panel knows its size
    bool dragging = false;
};

// A position as a percentage of an extent: rounded to the nearest, halves
// to the even neighbour, held between 0 and 100.
uint8_t QclPercentOf(int position, int extent);
// Brings position and percentage into step: the percentage follows the
// position while dragging or (FromPercent false) when a position is set;
// otherwise the position follows the percentage, kept within Min and
// Extent - Max, and never below 0.  Nothing while Extent is 0.
void QclUpdateBarPosition(TQclBarNumbers& bar, bool fromPercent);

// Which bars run left to right for `visiblePanes` panes; bars the layout
// does not set keep their value.
void QclBarDirections(TQclSplitterOrientation o, int visiblePanes, std::array<bool, kQclMaxBars>& horizontal);
// The room each bar moves in, for an inner area of w x h and the bars'
// widths; untouched below 2 panes.  Never negative.
void QclBarExtents(TQclSplitterOrientation o, int visiblePanes, int w, int h,
                   const std::array<int, kQclMaxBars>& widths, std::array<int, kQclMaxBars>& extents);

// The layout's input: the bevel width B, the inner area's size, the bars'
// positions and widths.
struct TQclSplitterGeometry {
    TQclSplitterOrientation orientation = TQclSplitterOrientation::spVertRight;
    int visiblePanes = 0;
    int bevel = 0;
    int width = 0, height = 0;  // client size less twice the bevel
    std::array<int, kQclMaxBars> positions{};
    std::array<int, kQclMaxBars> widths{3, 3, 3};
};
// Bar `index` in client coordinates; empty when the layout has no such bar.
TRect QclBarRect(const TQclSplitterGeometry& g, int index);
// The visible panes' rectangles in order, inside the inner rectangle
// `inner`; empty for a layout that leaves the panes where they are.
std::vector<TRect> QclPaneRects(const TQclSplitterGeometry& g, const TRect& inner);

// The step a drag may take from `current` for a bar that must stay within
// Min and Extent - Max.
int QclClampDragStep(int step, int current, const TQclBarNumbers& bar);

// Stored values.  Each returns false (and leaves its output alone) for a
// value that is not exactly what the panel writes.
// "PaneO": a permutation of 0..paneCount-1.
bool QclParsePaneOrder(const std::string& s, char separator, int paneCount, std::vector<int>& order);
// "PaneV": paneCount flags, "1" for a visible pane; anything else hides it.
bool QclParsePaneVisible(const std::string& s, char separator, int paneCount, std::vector<bool>& visible);
// "Bars": barCount percentages 0..100.
bool QclParseBarPercents(const std::string& s, char separator, int barCount, std::vector<uint8_t>& percents);

}  // namespace treskel

// The window-free rules of the form component: its stored placement value,
// how a stored placement is put back, its size limits and its rescaling
// for another screen resolution.  Tested natively.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace treskel {

// A window's placement as the form component stores it: the marker 200,
// the placement flags, the show command and the normal rectangle.
struct TQclPlacement {
    int flags = 0;
    int showCmd = 0;
    TRect normal;
    bool operator==(const TQclPlacement&) const = default;
};
inline constexpr int kQclPlacementMarker = 200;

// "200,flags,showCmd,left,top,right,bottom".
std::string QclPlacementToString(const TQclPlacement& placement, char separator);
// False for anything but seven whole numbers of which the first is 200:
// such a value counts as missing.
bool QclStringToPlacement(const std::string& s, char separator, TQclPlacement& placement);

// What of a stored placement is put back.
struct TQclRestoreParts {
    bool pos = false, size = false, state = false;
    bool autoShow = true;  // without it a restored state hides the window
};

// The screen a placement is put back on.  Rectangles are in the
// coordinates of the placement (the primary work area's origin is 0, 0
// there, as the system's normal positions are).
struct TQclScreenArea {
    int width = 0, height = 0;            // the primary screen
    std::vector<TRect> monitors;          // every monitor
    TRect workArea;                       // where a lost window is brought back
};

// The placement to set: `current` (the window's own) with the parts of
// the valid `stored` value that `parts` names.  `formBounds` is the form's
// current position and size.  A window that would end past the screen's
// right or bottom edge is moved back; one that no monitor shows is brought
// into the work area (`KeepOnMonitors`).
TQclPlacement QclRestoredPlacement(const TQclPlacement& current, const TQclPlacement& stored, TQclRestoreParts parts,
                                   const TRect& formBounds, const TQclScreenArea& screen);

// The eight size limits of the form component.
enum class TQclFormLimit {
    TrackMaxHeight, TrackMaxWidth, TrackMinHeight, TrackMinWidth, MaximizedPosX, MaximizedPosY, MaximizedHeight,
    MaximizedWidth
};
inline constexpr int kQclFormLimitCount = 8;

// A limit value in pixels: 0 or more as it is; -n the screen's height (for
// heights and the vertical position) or width divided by n.
int QclLimitToPixels(int value, bool isHeight, int screenWidth, int screenHeight);

class TQclFormLimits {
public:
    int Value(TQclFormLimit which) const { return values_[Index(which)]; }
    int Pixels(TQclFormLimit which) const { return pixels_[Index(which)]; }
    // Refuses values below -100 and a maximum below the minimum (or a
    // minimum above a positive maximum); true when taken.
    bool Set(TQclFormLimit which, int value, int screenWidth, int screenHeight);
    // Recomputes the pixel values for a screen: the tracking maximum never
    // exceeds the screen and a minimum never exceeds a smaller maximum.
    void Update(int screenWidth, int screenHeight);

private:
    static size_t Index(TQclFormLimit which) { return static_cast<size_t>(which); }
    static bool IsHeight(TQclFormLimit which);
    std::array<int, kQclFormLimitCount> values_{};
    std::array<int, kQclFormLimitCount> pixels_{};
};

// A length designed at `designPPI` pixels per inch, shown on a screen of
// `screenPPI`: larger on a denser screen.
int QclScaleToScreen(int value, int designPPI, int screenPPI);

}  // namespace treskel

// The window-free rule of the form placement: where a maximised form goes.
#pragma once

#include <optional>

#include "platform/Types.h"

namespace treskel {

// The system's frame sizes: thin border, sizing frame and dialog frame.
struct TFrameMetrics {
    TSize border, frame, dialogFrame;
};

// The maximised position a placement gives its form: just off the screen
// by the frame its border style draws.  None while resizing is forbidden
// or sizes are held: the form's own limits decide then.
std::optional<TPoint> PlacementMaxPosition(TFormBorderStyle border, bool preventResize, bool sizesHeld,
                                           const TFrameMetrics& metrics);

}  // namespace treskel

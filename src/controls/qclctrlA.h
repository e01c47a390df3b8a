// The window-free rules of the labels and of whatever docks beside
// another control: where it docks, where a control follows it, and what a
// jumping label opens.
#pragma once

#include <string>

#include "foundation/qclgraph.h"
#include "platform/TypInfo.h"
#include "platform/Types.h"

namespace treskel {

enum class TQclDockPosition { dpBottom, dpLeft, dpRight, dpTop };
TRESKEL_ENUM_INFO(TQclDockPosition, "dpBottom", "dpLeft", "dpRight", "dpTop")

enum class TQclJumpModes { jmInternet, jmApplication, jmNone, jmCustom };
TRESKEL_ENUM_INFO(TQclJumpModes, "jmInternet", "jmApplication", "jmNone", "jmCustom")

// The bounds of something of size `own` docked at `pos` beside `control`.
TRect QclDockBounds(TQclDockPosition pos, const TRect& control, TSize own, int margin, bool adjustSize);
// The bounds the control takes to follow the docked thing at `docked`.
TRect QclFollowBounds(TQclDockPosition pos, const TRect& docked, TSize control, int margin, bool adjustSize);

// What a click opens: `jump` unless blank, else the label's text, for
// addresses with "mailto:" before it when it holds "@"; empty for the modes
// that open nothing.
std::string QclJumpTarget(TQclJumpModes mode, const std::string& jump, const std::string& text);

// The drawing flags of an image control's bitmap by its style (placement
// bits of QclDrawBitmap); without a bevel the clip bit is flipped.
uint16_t QclImageDrawFlags(TQclBitmapStyle style, bool bevelHasWidth);
// The size an auto-sized image control takes: its bitmap (20 x 20 when
// empty) and the bevel on both sides.
TSize QclImageAutoSize(int bitmapWidth, int bitmapHeight, bool empty, int bevelWidth);

}  // namespace treskel

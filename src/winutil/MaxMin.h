// Small number and rectangle helpers.
#pragma once

#include "platform/Types.h"

namespace treskel {

inline int Max(int a, int b) { return a > b ? a : b; }
inline int Min(int a, int b) { return a < b ? a : b; }
inline int RectWidth(const TRect& r) { return r.Right - r.Left; }
inline int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

}  // namespace treskel

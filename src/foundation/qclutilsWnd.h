// Window placement, the opening effects and the caption geometry of real
// windows: the system's side of the placement procedures of qclutils.
#pragma once

#include <windows.h>

#include "foundation/qclutils.h"

namespace treskel {

class TControl;

// Centres a control on the screen, keeping its size; nothing for null.
void QclCenterOnScreen(TControl* control);
// The reference rectangle of `relative`, in screen coordinates.  The main
// form or the active form must exist for those two.
void QclGetDlgPosRect(TQclDlgPosRel relative, TRect& rect);
// Moves a window to `position` in `rect` without changing its size,
// z-order or activation.
void QclPlaceWindow(HWND wnd, const TRect& rect, TQclDlgPosition position);

// Growing focus frames on the screen, from (x, y) towards the control's
// window; a negative x starts at the cursor.  Two passes: the second
// removes the frames of the first.
void QclExplodeFrame(TControl* control, int x, int y, int speed, int steps);
void QclExplodeFrameExt(TControl* control, int x, int y, bool firstPhase, int speed, int boxHeight, int boxWidth,
                        int steps);
// The effects as the dialogs use them, from the cursor at the library's speed.
void QclExplodeWindow(TControl* control);
void QclExplodeWindowExt(TControl* control);

// The caption bar and title text of a window, in window coordinates.
void QclGetCaptionRect(HWND wnd, TRect& capRect, TRect& textRect, uint16_t& flags);
void QclGetCaptionTextRect(HWND wnd, const TRect& capRect, TRect& textRect, uint16_t& flags);
// The caption metrics of this system.
TQclCaptionMetrics QclCaptionMetrics();
int QclSmallCaptionHeight();
int QclCaptionButtonWidth();
int QclSmallIconWidth();
int QclCaptionWidth();   // SM_CXSIZE
int QclCaptionHeight();  // SM_CYCAPTION
int QclDlgFrameWidth();
int QclDlgFrameHeight();
int QclBorderWidth();
int QclBorderHeight();
int QclFrameWidth();
int QclFrameHeight();

}  // namespace treskel

// Window, message and drawing helpers of the window utilities.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/Graphics.h"

namespace treskel {

// Paints what lies under `control` (its parent and the windowless
// controls before it) into `canvas`, as the control's background.
void CopyParentImage(TControl* control, TCanvas* canvas);
// An embossed copy of a bitmap on the button face: the pixels of
// `edgeColor` in highlight one pixel down and right, then in shadow.
std::unique_ptr<TBitmap> CreateDisabledBitmap(TBitmap* bitmap, TColor edgeColor);
// The text cut at its end, with "...", to fit MaxWidth on the canvas.
std::string ShortenText(const std::string& text, TCanvas* canvas, int maxWidth);
// Removes one pending message of that number (any window for 0); a
// removed WM_QUIT is posted again.
void KillMessage(HWND wnd, UINT msg);
// Brings an enabled window to the front; with `restore` a minimised one
// is restored and gets the focus.
void SwitchToWindow(HWND wnd, bool restore);
// True when the active window is one of the calling thread's.
bool IsActiveThreadWindow();

}  // namespace treskel

// Pictures of what a window paints, for tests that check colours and
// shapes by their pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Types.h"

namespace treskel::test {

// A 24-bit top-down image.
struct Snapshot {
    int width = 0, height = 0;
    std::vector<uint8_t> bgr;

    COLORREF At(int x, int y) const;
    // How many pixels inside r match.
    int Count(const TRect& r, const std::function<bool(COLORREF)>& match) const;
    // The longest run of matching pixels on row y inside r.
    int LongestRun(const TRect& r, int y, const std::function<bool(COLORREF)>& match) const;
};

// The window's client area as `paint` draws it into a memory DC.
Snapshot PaintedClient(HWND wnd, const std::function<void(HDC)>& paint);
// The client area as the window prints it (WM_PRINTCLIENT).
Snapshot PrintClient(HWND wnd);
// The client area as it is on the screen, once the window has painted
// (for what a window draws only when it paints, such as a note's pictures).
Snapshot OnScreen(HWND wnd);
// The whole window, frame included, as it is on the screen (window
// coordinates).
Snapshot ShownWindow(HWND wnd);
// What the screen shows in a rectangle of it, whichever windows (or
// pictures drawn over them) are there.
Snapshot ScreenArea(const TRect& r);

// A bitmap of one colour, and a bitmap's pixel without its flags byte.
std::unique_ptr<TBitmap> Filled(int w, int h, TColor color, TPixelFormat format = TPixelFormat::pf24bit);
TColor At(TBitmap& b, int x, int y);

bool Reddish(COLORREF c);
bool Bluish(COLORREF c);
bool Dark(COLORREF c);

}  // namespace treskel::test

// Window placement, the frames of the opening effects and the caption
// geometry: arithmetic only, so that it is tested natively.
#include <algorithm>
#include <cmath>

#include "foundation/qclutils.h"

namespace treskel {

namespace {
// The style bits the caption geometry looks at (the system's values).
constexpr uint32_t kWsPopup = 0x80000000u, kWsCaption = 0x00C00000u, kWsBorder = 0x00800000u,
                   kWsSysMenu = 0x00080000u, kWsThickFrame = 0x00040000u,
                   kWsMinimizeBox = 0x00020000u, kWsMaximizeBox = 0x00010000u;
constexpr uint32_t kWsExDlgModalFrame = 0x00000001u, kWsExToolWindow = 0x00000080u,
                   kWsExContextHelp = 0x00000400u;

int Round(double v) { return static_cast<int>(std::lround(v)); }
}  // namespace

TPoint QclPlacePoint(const TRect& r, int w, int h, TQclDlgPosition position, int screenWidth, int screenHeight) {
    using P = TQclDlgPosition;
    const int centredX = r.Left + (r.Right - r.Left - w) / 2;
    const int centredY = r.Top + (r.Bottom - r.Top - h) / 2;
    int x = r.Left, y = r.Top;
    switch (position) {
        case P::bpCustom:
        case P::bpTopLeft: break;
        case P::bpTopCenter: x = centredX; break;
        case P::bpTopRight: x = r.Right - w; break;
        case P::bpCenterLeft: y = centredY; break;
        case P::bpCenter: x = centredX; y = centredY; break;
        case P::bpCenterRight: x = r.Right - w; y = centredY; break;
        case P::bpBottomLeft: y = r.Bottom - h; break;
        case P::bpBottomCenter: x = centredX; y = r.Bottom - h; break;
        case P::bpBottomRight: x = r.Right - w; y = r.Bottom - h; break;
    }
    if (y + h > screenHeight) y = r.Bottom - h;
    if (x + w > screenWidth) x = r.Right - w;
    return {std::max(x, 0), std::max(y, 0)};
}

std::vector<TRect> QclExplodeFrames(const TRect& window, int x, int y, int steps) {
    if (steps < 4) steps = 40;
    const double dl = static_cast<double>(window.Left - x) / steps, dt = static_cast<double>(window.Top - y) / steps;
    const double dw = static_cast<double>(window.Width()) / steps, dh = static_cast<double>(window.Height()) / steps;
    std::vector<TRect> frames;
    frames.reserve(static_cast<size_t>(steps));
    for (int k = 1; k <= steps; ++k) {
        double left = x + k * dl, top = y + k * dt;
        frames.push_back({Round(left), Round(top), Round(left + k * dw), Round(top + k * dh)});
    }
    return frames;
}

std::vector<TRect> QclExplodeFramesExt(const TRect& window, int x, int y, bool firstPhase, int boxHeight,
                                       int boxWidth, int steps) {
    if (steps < 4) steps = 40;
    std::vector<TRect> frames;
    // Phase 1: the box travels to the middle of the way, at the window's bottom.
    const double endX = x + (window.Left - x) / 2, endY = window.Bottom;
    if (firstPhase) {
        for (int k = 1; k <= steps; ++k) {
            int left = Round(x + k * (endX - x) / steps), top = Round(y + k * (endY - y) / steps);
            frames.push_back(Bounds(left, top, boxWidth, boxHeight));
        }
    }
    // Phase 2: from there it grows until it covers the window.
    const double startX = firstPhase ? endX : x, startY = firstPhase ? endY : y;
    for (int k = 1; k <= steps; ++k) {
        int left = Round(startX + k * (window.Left - startX) / steps);
        int top = Round(startY + k * (window.Top - startY) / steps);
        int width = Round(boxWidth + k * static_cast<double>(window.Width() - boxWidth) / steps);
        int height = Round(boxHeight + k * static_cast<double>(window.Height() - boxHeight) / steps);
        frames.push_back(Bounds(left, top, width, height));
    }
    return frames;
}

void QclCaptionTextRect(const TQclCaptionWindow& wnd, const TQclCaptionMetrics& m, const TRect& capRect,
                        TRect& textRect, uint16_t& flags) {
    if (!wnd.visible) return;
    const int b = m.cxBorder;
    const bool small = (flags & qclCapSmall) != 0;
    const int w = small ? m.captionButtonWidth : m.cxSize;
    const bool minBox = (wnd.style & kWsMinimizeBox) != 0, maxBox = (wnd.style & kWsMaximizeBox) != 0;
    const bool tool = (wnd.exStyle & kWsExToolWindow) != 0;
    TRect r = small ? textRect : capRect;
    const int startLeft = r.Left;
    if ((wnd.style & kWsSysMenu) == 0) {
        r.Left += 2 * b;
        if (!m.newStyle) r.Right -= b;
        if (minBox) r.Right -= w;
        if (maxBox) r.Right -= w;
    } else {
        if (!m.newStyle)
            r.Right -= 2 * b;
        else if (!wnd.iconic)
            r.Right -= 3 * b + w;  // the close button
        const bool plainPopup = (wnd.style & (kWsPopup | kWsBorder)) == (kWsPopup | kWsBorder) &&
                                (wnd.style & kWsCaption) != kWsCaption;
        const bool showsIcon = !small && (flags & qclCapFrameless) == 0 && (m.newStyle || !plainPopup || !tool);
        if (showsIcon) {
            flags |= qclCapIcon;
            if (m.newStyle) {
                r.Left += m.smallIconWidth + m.cxFrame;
                // Only an iconic window that shows its icon in the new look
                // has the lower caption edge.
                if (wnd.iconic)
                    flags |= qclCapIconic;
                else
                    r.Left += b;
            } else {
                r.Left += m.smallIconWidth + 2 * b;
            }
        }
        if (!minBox && !maxBox && (wnd.exStyle & kWsExContextHelp) != 0) {
            r.Right -= w;
            if (m.newStyle) r.Right -= b;
        }
        if (minBox || maxBox) {
            if (m.newStyle)
                r.Right -= 2 * w;
            else
                r.Right -= (minBox ? w : 0) + (maxBox ? w : 0);
        }
        if (m.newStyle && tool) {
            r.Left += 4 * b;
            r.Top += 3 * b;
            r.Right -= 2 * b;
        }
    }
    if (r.Left == startLeft) r.Left += 2 * b;
    textRect = r;
}

void QclCaptionRects(const TQclCaptionWindow& wnd, const TQclCaptionMetrics& m, TRect& capRect, TRect& textRect,
                     uint16_t& flags) {
    const bool tool = (wnd.exStyle & kWsExToolWindow) != 0;
    TRect c{0, 0, wnd.width, m.cyCaption};
    if (tool && m.newStyle) {
        c = {0, 0, c.Right, m.smallCaptionHeight};
        flags |= qclCapSmall;
    }
    const int bx = m.cxBorder, by = m.cyBorder;
    if (!m.newStyle && (flags & qclCapFrameless) != 0) {
        c = {c.Left + bx, c.Top + by, c.Right - bx, c.Bottom - bx};
    } else if ((wnd.style & kWsThickFrame) != 0) {
        c = {c.Left + m.cxFrame, c.Top + m.cyFrame, c.Right - m.cxFrame, c.Bottom + m.cyFrame - by};
        if (!m.newStyle) c.Bottom -= by;
    } else if ((wnd.exStyle & kWsExDlgModalFrame) != 0) {
        c = {c.Left + m.cxDlgFrame, c.Top + m.cyDlgFrame, c.Right - m.cxDlgFrame, c.Bottom + m.cyDlgFrame - by};
    } else if (tool && !m.newStyle) {
        c = {c.Left + bx, c.Top + by, c.Right - bx, c.Bottom - bx};
    } else {
        c = {c.Left + 3 * bx, c.Top + 3 * by, c.Right - 3 * bx, c.Bottom + 2 * by};
    }
    QclCaptionTextRect(wnd, m, c, textRect, flags);
    if ((flags & qclCapIconic) != 0) c.Bottom -= by;
    textRect.Bottom = c.Bottom;
    if ((flags & qclCapTextRight) != 0) c.Right = textRect.Right;
    if ((flags & qclCapIcon) != 0 && !((flags & qclCapKeepIcon) == 0 && m.newStyle)) {
        c.Left = textRect.Left;
        textRect.Left += 2 * bx;
    }
    capRect = c;
}

}  // namespace treskel

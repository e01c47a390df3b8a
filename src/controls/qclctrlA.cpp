#include "controls/qclctrlA.h"

namespace treskel {

TRect QclDockBounds(TQclDockPosition pos, const TRect& c, TSize own, int m, bool adjust) {
    int w = own.cx, h = own.cy, x = 0, y = 0;
    switch (pos) {
        case TQclDockPosition::dpBottom:
        case TQclDockPosition::dpTop:
            if (adjust) w = c.Width();
            x = c.Left;
            y = pos == TQclDockPosition::dpBottom ? c.Bottom + m : c.Top - h - m;
            break;
        case TQclDockPosition::dpLeft:
        case TQclDockPosition::dpRight:
            if (adjust) h = c.Height();
            x = pos == TQclDockPosition::dpLeft ? c.Left - w - m : c.Right + m;
            y = c.Top;
            break;
    }
    return {x, y, x + w, y + h};
}

TRect QclFollowBounds(TQclDockPosition pos, const TRect& d, TSize control, int m, bool adjust) {
    int w = control.cx, h = control.cy, x = 0, y = 0;
    switch (pos) {
        case TQclDockPosition::dpBottom: x = d.Left; y = d.Top - h - m; break;
        case TQclDockPosition::dpLeft: x = d.Right + m; y = d.Top; break;
        case TQclDockPosition::dpRight: x = d.Left - w - m; y = d.Top; break;
        case TQclDockPosition::dpTop: x = d.Left; y = d.Bottom + m; break;
    }
    if (adjust) {
        if (pos == TQclDockPosition::dpLeft || pos == TQclDockPosition::dpRight) h = d.Height();
        else w = d.Width();
    }
    return {x, y, x + w, y + h};
}

std::string QclJumpTarget(TQclJumpModes mode, const std::string& jump, const std::string& text) {
    if (mode != TQclJumpModes::jmInternet && mode != TQclJumpModes::jmApplication) return {};
    if (jump.find_first_not_of(" \t") != std::string::npos) return jump;
    if (mode == TQclJumpModes::jmInternet && text.find('@') != std::string::npos) return "mailto:" + text;
    return text;
}

uint16_t QclImageDrawFlags(TQclBitmapStyle style, bool bevelHasWidth) {
    uint16_t flags = 0;
    switch (style) {
        case TQclBitmapStyle::sbNone:
        case TQclBitmapStyle::sbAutosize: flags = 0x01; break;
        case TQclBitmapStyle::sbCenter: flags = 0x09; break;
        case TQclBitmapStyle::sbStretch: flags = 0x10; break;
        case TQclBitmapStyle::sbTile: flags = 0x21; break;
        case TQclBitmapStyle::sbKeepAspRatio: flags = 0x610; break;
        case TQclBitmapStyle::sbKeepWidth: flags = 0x211; break;
        case TQclBitmapStyle::sbKeepHeight: flags = 0x411; break;
    }
    if (!bevelHasWidth) flags ^= 0x01;
    return flags;
}

TSize QclImageAutoSize(int bitmapWidth, int bitmapHeight, bool empty, int bevelWidth) {
    if (empty) return {20 + 2 * bevelWidth, 20 + 2 * bevelWidth};
    return {bitmapWidth + 2 * bevelWidth, bitmapHeight + 2 * bevelWidth};
}

}  // namespace treskel

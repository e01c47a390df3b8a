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

}  // namespace treskel

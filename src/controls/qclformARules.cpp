#include "controls/qclformARules.h"

#include <algorithm>
#include <charconv>

#include "foundation/qclgraph.h"
#include "foundation/qclutils.h"

namespace treskel {

namespace {
// A whole decimal number and nothing else (a sign allowed).
bool ParseWhole(const std::string& s, int& value) {
    if (s.empty()) return false;
    const char* first = s.data();
    const char* last = s.data() + s.size();
    auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}
}  // namespace

std::string QclPlacementToString(const TQclPlacement& p, char separator) {
    return QclJoinIntegers({kQclPlacementMarker, p.flags, p.showCmd, p.normal.Left, p.normal.Top, p.normal.Right,
                            p.normal.Bottom},
                           separator);
}

bool QclStringToPlacement(const std::string& s, char separator, TQclPlacement& placement) {
    std::vector<std::string> pieces = QclSplitToVector(s, separator);
    if (pieces.size() != 7) return false;
    int v[7];
    for (size_t i = 0; i < 7; ++i)
        if (!ParseWhole(pieces[i], v[i])) return false;
    if (v[0] != kQclPlacementMarker) return false;
    placement = {v[1], v[2], {v[3], v[4], v[5], v[6]}};
    return true;
}

TQclPlacement QclRestoredPlacement(const TQclPlacement& current, const TQclPlacement& stored, TQclRestoreParts parts,
                                   const TRect& formBounds, const TQclScreenArea& screen) {
    TQclPlacement p = current;
    if (parts.state) {
        p.flags = stored.flags;
        p.showCmd = parts.autoShow ? stored.showCmd : 0;
    }
    if (!parts.pos && !parts.size) return p;
    TRect& n = p.normal;
    const TRect& r = stored.normal;
    if (parts.pos) {
        n.Left = r.Left;
        n.Top = r.Top;
        if (!parts.size) {
            n.Right = n.Left + formBounds.Width();
            n.Bottom = n.Top + formBounds.Height();
        }
    }
    if (parts.size) {
        if (parts.pos) {
            n.Right = r.Right;
            n.Bottom = r.Bottom;
        } else {
            n.Right = formBounds.Left + r.Width();
            n.Bottom = formBounds.Top + r.Height();
        }
    }
    if (n.Right > screen.width) {
        n.Left = screen.width - std::abs(n.Right - n.Left);
        n.Right = screen.width;
    }
    if (n.Bottom > screen.height) {
        n.Top = screen.height - std::abs(n.Bottom - n.Top);
        n.Bottom = screen.height;
    }
    n = KeepOnMonitors(n, screen.monitors, screen.workArea);
    return p;
}

int QclLimitToPixels(int value, bool isHeight, int screenWidth, int screenHeight) {
    if (value >= 0) return value;
    return (isHeight ? screenHeight : screenWidth) / -value;
}

bool TQclFormLimits::IsHeight(TQclFormLimit which) {
    using L = TQclFormLimit;
    return which == L::TrackMaxHeight || which == L::TrackMinHeight || which == L::MaximizedHeight ||
           which == L::MaximizedPosY;
}

bool TQclFormLimits::Set(TQclFormLimit which, int value, int screenWidth, int screenHeight) {
    using L = TQclFormLimit;
    if (value < -100) return false;
    if (value == Value(which)) return true;
    const int px = QclLimitToPixels(value, IsHeight(which), screenWidth, screenHeight);
    switch (which) {
        case L::TrackMaxHeight:
            if (px != 0 && px < Pixels(L::TrackMinHeight)) return false;
            break;
        case L::TrackMaxWidth:
            if (px != 0 && px < Pixels(L::TrackMinWidth)) return false;
            break;
        case L::TrackMinHeight:
            if (px != 0 && Pixels(L::TrackMaxHeight) > 0 && px > Pixels(L::TrackMaxHeight)) return false;
            break;
        case L::TrackMinWidth:
            if (px != 0 && Pixels(L::TrackMaxWidth) > 0 && px > Pixels(L::TrackMaxWidth)) return false;
            break;
        default: break;
    }
    values_[Index(which)] = value;
    pixels_[Index(which)] = px;
    return true;
}

void TQclFormLimits::Update(int screenWidth, int screenHeight) {
    using L = TQclFormLimit;
    for (int i = 0; i < kQclFormLimitCount; ++i) {
        auto which = static_cast<TQclFormLimit>(i);
        pixels_[Index(which)] = QclLimitToPixels(values_[Index(which)], IsHeight(which), screenWidth, screenHeight);
    }
    int& maxW = pixels_[Index(L::TrackMaxWidth)];
    int& maxH = pixels_[Index(L::TrackMaxHeight)];
    maxW = std::min(maxW, screenWidth);
    maxH = std::min(maxH, screenHeight);
    int& minW = pixels_[Index(L::TrackMinWidth)];
    int& minH = pixels_[Index(L::TrackMinHeight)];
    if (minW != 0 && maxW > 0 && maxW < minW) minW = maxW;
    if (minH != 0 && maxH > 0 && maxH < minH) minH = maxH;
}

int QclScaleToScreen(int value, int designPPI, int screenPPI) {
    if (designPPI <= 0 || designPPI == screenPPI) return value;
    return QclMulDiv(value, screenPPI, designPPI);
}

}  // namespace treskel

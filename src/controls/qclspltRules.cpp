#include "controls/qclspltRules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "foundation/qclutils.h"

namespace treskel {

namespace {

using O = TQclSplitterOrientation;

bool HorizontalFamily(O o) { return o == O::spHorzDown || o == O::spHorzUp; }

bool ParseWhole(const std::string& s, int& value) {
    if (s.empty()) return false;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    return ec == std::errc() && end == s.data() + s.size();
}

// (left, top, width, height), no size below 0.
TRect Box(int left, int top, int width, int height) {
    return Bounds(left, top, std::max(width, 0), std::max(height, 0));
}

// (left, top, right, bottom), no side before its opposite.
TRect Sides(int left, int top, int right, int bottom) {
    return {left, top, std::max(left, right), std::max(top, bottom)};
}

}  // namespace

uint8_t QclPercentOf(int position, int extent) {
    if (extent <= 0) return 0;
    double p = std::nearbyint(static_cast<double>(position) / extent * 100.0);
    return static_cast<uint8_t>(std::clamp(p, 0.0, 100.0));
}

void QclUpdateBarPosition(TQclBarNumbers& bar, bool fromPercent) {
    if (bar.extent == 0) return;
    if (bar.dragging || (!fromPercent && bar.position != -1)) {
        bar.percent = QclPercentOf(bar.position, bar.extent);
        return;
    }
    int p = bar.percent * bar.extent / 100;
    if (p < bar.min) p = bar.min;
    if (p > bar.extent - bar.max) p = bar.extent - bar.max;
    bar.position = std::max(p, 0);
}

void QclBarDirections(O o, int n, std::array<bool, kQclMaxBars>& horizontal) {
    if (n < 2) return;
    horizontal[0] = HorizontalFamily(o);
    if (n >= 3) horizontal[1] = !horizontal[0];
    if (n >= 4 && o != O::spCross) horizontal[2] = !horizontal[0];
}

void QclBarExtents(O o, int n, int w, int h, const std::array<int, kQclMaxBars>& widths,
                   std::array<int, kQclMaxBars>& extents) {
    if (n < 2) return;
    auto room = [](int size, int width) { return std::max(size - width, 0); };
    if (o == O::spCross) {
        if (n < 4) return;
        extents[0] = room(w, widths[0]);
        extents[1] = room(h, widths[1]);
        return;
    }
    const bool horz = HorizontalFamily(o);
    extents[0] = room(horz ? h : w, widths[0]);
    for (int k = 1; k < kQclMaxBars; ++k) extents[static_cast<size_t>(k)] = room(horz ? w : h, widths[static_cast<size_t>(k)]);
}

TRect QclBarRect(const TQclSplitterGeometry& g, int index) {
    const int B = g.bevel, W = g.width, H = g.height;
    const int P0 = g.positions[0], P1 = g.positions[1], P2 = g.positions[2];
    const int w0 = g.widths[0], w1 = g.widths[1], w2 = g.widths[2];
    const O o = g.orientation;
    const bool horz = HorizontalFamily(o);
    if (g.visiblePanes < 2 || index < 0 || index > g.visiblePanes - 2) return {};
    if (o == O::spCross && g.visiblePanes < 4) return {};
    if (index == 0) return horz ? Box(B, B + P0, W, w0) : Box(B + P0, B, w0, H);
    if (g.visiblePanes == 3) {
        switch (o) {
            case O::spHorzDown: return Box(B + P1, B + P0 + w0, w1, H - P0 - w0);
            case O::spHorzUp: return Box(B + P1, B, w1, P0);
            case O::spVertRight: return Box(B + P0 + w0, B + P1, W - P0 - w0, w1);
            case O::spVertLeft: return Box(B, B + P1, P0, w1);
            case O::spCross: return {};
        }
    }
    if (o == O::spCross) return index == 1 ? Box(B, B + P1, W, w1) : TRect{};
    if (index == 1) return horz ? Box(B + P1, B, w1, P0) : Box(B, B + P1, P0, w1);
    return horz ? Box(B + P2, B + P0 + w0, w2, H - P0 - w0) : Box(B + P0 + w0, B + P2, W - P0 - w0, w2);
}

std::vector<TRect> QclPaneRects(const TQclSplitterGeometry& g, const TRect& r) {
    const int L = r.Left, T = r.Top, Rt = r.Right, Bt = r.Bottom;
    const int P0 = g.positions[0], P1 = g.positions[1], P2 = g.positions[2];
    const int w0 = g.widths[0], w1 = g.widths[1], w2 = g.widths[2];
    const O o = g.orientation;
    const bool horz = HorizontalFamily(o);
    switch (g.visiblePanes) {
        case 1: return {r};
        case 2:
            if (o == O::spCross) return {};
            if (horz) return {Sides(L, T, Rt, T + P0), Sides(L, T + P0 + w0, Rt, Bt)};
            return {Sides(L, T, L + P0, Bt), Sides(L + P0 + w0, T, Rt, Bt)};
        case 3:
            switch (o) {
                case O::spHorzDown:
                    return {Sides(L, T, Rt, T + P0), Sides(L + P1 + w1, T + P0 + w0, Rt, Bt),
                            Sides(L, T + P0 + w0, L + P1, Bt)};
                case O::spHorzUp:
                    return {Sides(L, T, L + P1, T + P0), Sides(L + P1 + w1, T, Rt, T + P0),
                            Sides(L, T + P0 + w0, Rt, Bt)};
                case O::spVertRight:
                    return {Sides(L, T, L + P0, Bt), Sides(L + P0 + w0, T, Rt, T + P1),
                            Sides(L + P0 + w0, T + P1 + w1, Rt, Bt)};
                case O::spVertLeft:
                    return {Sides(L, T, L + P0, T + P1), Sides(L + P0 + w0, T, Rt, Bt),
                            Sides(L, T + P1 + w1, L + P0, Bt)};
                case O::spCross: return {};
            }
            return {};
        case 4:
            if (horz)
                return {Sides(L, T, L + P1, T + P0), Sides(L + P1 + w1, T, Rt, T + P0),
                        Sides(L + P2 + w2, T + P0 + w0, Rt, Bt), Sides(L, T + P0 + w0, L + P2, Bt)};
            if (o == O::spCross)
                return {Sides(L, T, L + P0, T + P1), Sides(L + P0 + w0, T, Rt, T + P1),
                        Sides(L + P0 + w0, T + P1 + w1, Rt, Bt), Sides(L, T + P1 + w1, L + P0, Bt)};
            return {Sides(L, T, L + P0, T + P1), Sides(L + P0 + w0, T, Rt, T + P2),
                    Sides(L + P0 + w0, T + P2 + w2, Rt, Bt), Sides(L, T + P1 + w1, L + P0, Bt)};
        default: return {};
    }
}

int QclClampDragStep(int step, int current, const TQclBarNumbers& bar) {
    const int lowest = std::max(-(current - bar.min), -current);
    const int highest = bar.extent - bar.max - current;
    return std::max(std::min(step, highest), lowest);
}

bool QclParsePaneOrder(const std::string& s, char separator, int paneCount, std::vector<int>& order) {
    std::vector<std::string> pieces = QclSplitToVector(s, separator);
    if (static_cast<int>(pieces.size()) != paneCount) return false;
    std::vector<int> result(pieces.size());
    std::vector<bool> seen(pieces.size(), false);
    for (size_t i = 0; i < pieces.size(); ++i) {
        int v;
        if (!ParseWhole(pieces[i], v) || v < 0 || v >= paneCount || seen[static_cast<size_t>(v)]) return false;
        seen[static_cast<size_t>(v)] = true;
        result[i] = v;
    }
    order = std::move(result);
    return true;
}

bool QclParsePaneVisible(const std::string& s, char separator, int paneCount, std::vector<bool>& visible) {
    std::vector<std::string> pieces = QclSplitToVector(s, separator);
    if (static_cast<int>(pieces.size()) != paneCount) return false;
    std::vector<bool> result;
    for (const std::string& p : pieces) result.push_back(p == "1");
    visible = std::move(result);
    return true;
}

bool QclParseBarPercents(const std::string& s, char separator, int barCount, std::vector<uint8_t>& percents) {
    std::vector<std::string> pieces = QclSplitToVector(s, separator);
    if (static_cast<int>(pieces.size()) != barCount) return false;
    std::vector<uint8_t> result;
    for (const std::string& p : pieces) {
        int v;
        if (!ParseWhole(p, v) || v < 0 || v > 100) return false;
        result.push_back(static_cast<uint8_t>(v));
    }
    percents = std::move(result);
    return true;
}

}  // namespace treskel

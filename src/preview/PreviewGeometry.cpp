#include "preview/PreviewGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/SysUtils.h"

namespace treskel::preview {

int RoundEven(double v) {
    return static_cast<int>(std::nearbyint(v));  // default rounding mode: to even
}

double UnitFactor(TUnits u) {
    return u == TUnits::unCentimeters ? 2.54 : 1.0;
}

int UnitsToPixels(double value, int pixelsPerInch, double factor) {
    return RoundEven(pixelsPerInch * value / factor);
}

double PixelsToUnits(int pixels, int pixelsPerInch, double factor) {
    return pixelsPerInch == 0 ? 0.0 : static_cast<double>(pixels) / pixelsPerInch * factor;
}

TDeviceInfo WithFallbackPage(TDeviceInfo info) {
    if (info.PhysicalWidth == 0) {
        info.PhysicalWidth = RoundEven(8.5 * info.LogPixelsX);
        info.PhysicalHeight = RoundEven(11.0 * info.LogPixelsY);
    }
    return info;
}

bool TextAreaTwips(const TDeviceInfo& d, double left, double top, double right, double bottom, TTwipsRect& out) {
    for (double m : {left, top, right, bottom})
        if (!std::isfinite(m) || m < 0) return false;
    if (d.LogPixelsX <= 0 || d.LogPixelsY <= 0) return false;
    double widthIn = static_cast<double>(d.PhysicalWidth) / d.LogPixelsX;
    double heightIn = static_cast<double>(d.PhysicalHeight) / d.LogPixelsY;
    if (left + right >= widthIn || top + bottom >= heightIn) return false;
    out.left = RoundEven(1440 * left);
    out.top = RoundEven(1440 * top);
    out.right = RoundEven(1440 * (widthIn - right));
    out.bottom = RoundEven(1440 * (heightIn - bottom));
    return out.right > out.left && out.bottom > out.top;
}

bool PageRectTwips(int left, int top, int right, int bottom, int ppiX, int ppiY, TTwipsRect& out) {
    if (right <= left || bottom <= top || ppiX <= 0 || ppiY <= 0) return false;
    auto twips = [](int v, int ppi) { return static_cast<int>(static_cast<int64_t>(v) * 1440 / ppi); };
    out = {twips(left, ppiX), twips(top, ppiY), twips(right, ppiX), twips(bottom, ppiY)};
    return true;
}

std::string PageNumberText(const std::string& pattern, int page) {
    std::string s;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == 'd') {
                s += std::to_string(page);
                ++i;
                continue;
            }
            if (pattern[i + 1] == '%') {
                s += '%';
                ++i;
                continue;
            }
        }
        s += pattern[i];
    }
    return s;
}

std::string FormatMargin(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.3f", v);
    std::string s = buf;
    // snprintf follows the C locale, which the program never changes; be
    // sure all the same.
    std::replace(s.begin(), s.end(), ',', '.');
    return s;
}

bool ParseMargin(const std::string& text, double& out) {
    std::string s;
    for (char c : text)
        if (c != ' ') s += c == ',' ? '.' : c;
    if (s.empty() || s.size() > 32) return false;
    int dots = 0;
    for (char c : s) {
        if (c == '.') ++dots;
        else if (c < '0' || c > '9') return false;
    }
    if (dots > 1 || s == ".") return false;
    double v = std::strtod(s.c_str(), nullptr);
    if (!std::isfinite(v) || v < 0 || v > 100) return false;
    out = v;
    return true;
}

double ClampZoom(double f) {
    if (!std::isfinite(f)) return 1.0;
    return std::clamp(f, kMinZoom, kMaxZoom);
}

double ZoomFactor(int entry, int clientWidth, int clientHeight, int ppi, const TDeviceInfo& d, double custom) {
    static const double fixed[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 3.0, 4.0};
    double widthIn = static_cast<double>(d.PhysicalWidth) / d.LogPixelsX;
    double heightIn = static_cast<double>(d.PhysicalHeight) / d.LogPixelsY;
    double f = 1.0;
    switch (entry) {
        case 0: f = (static_cast<double>(clientHeight - 20) / ppi) / heightIn; break;
        case 1: f = (static_cast<double>(clientWidth - 20) / ppi) / widthIn; break;
        case 2: f = custom; break;
        default:
            if (entry >= 3 && entry <= 11) f = fixed[entry - 3];
            break;
    }
    return ClampZoom(f);
}

std::string ZoomText(double factor, const std::string& separator) {
    // Halves away from zero, as the status row always showed them.
    auto percent = static_cast<long long>(std::floor(std::fabs(factor) * 100 + 0.5));
    return Thousands(percent, separator) + "%";
}

TPageLayout LayoutPages(double factor, bool twoPages, int clientWidth, int clientHeight, int ppi, const TDeviceInfo& d) {
    TPageLayout l;
    factor = ClampZoom(factor);
    l.pageHeight = static_cast<int>(ppi * factor * d.PhysicalHeight / d.LogPixelsY);
    l.pageWidth = static_cast<int>(ppi * factor * d.PhysicalWidth / d.LogPixelsX);
    int contentWidth = l.pageWidth + 20 + (twoPages ? l.pageWidth + 20 : 0);
    int contentHeight = l.pageHeight + 20;
    l.containerHeight = std::max(contentHeight, clientHeight - 1);
    l.containerWidth = std::max(contentWidth, clientWidth - 1);
    l.top = l.containerHeight > l.pageHeight + 20 ? l.containerHeight / 2 - l.pageHeight / 2 : 10;
    l.left = contentWidth < l.containerWidth ? l.containerWidth / 2 - (contentWidth - 20) / 2 : 10;
    l.left2 = l.left + l.pageWidth + 20;
    return l;
}

namespace {
std::vector<int> Lines(int extent, int ppi) {
    std::vector<int> v;
    if (ppi <= 0) return v;
    for (int k = 1; k <= extent / ppi; ++k) v.push_back(k * ppi);
    return v;
}
}  // namespace

std::vector<int> GridLinesX(const TDeviceInfo& d) {
    return Lines(d.PhysicalWidth, d.LogPixelsX);
}
std::vector<int> GridLinesY(const TDeviceInfo& d) {
    return Lines(d.PhysicalHeight, d.LogPixelsY);
}

int AlignedX(int alignment, int w, int pageWidth, int leftMarginPx, int rightMarginPx) {
    switch (alignment) {
        case 1: return pageWidth - rightMarginPx - w;
        case 2: return pageWidth / 2 - w / 2;
        default: return leftMarginPx;
    }
}

int NextPageStart(const std::vector<int>& lineTops, int first, int pageHeight) {
    const int lines = static_cast<int>(lineTops.size()) - 1;
    if (first >= lines || pageHeight <= 0) return std::max(lines, 0);
    int next = first + 1;  // always advance
    while (next < lines && lineTops[static_cast<size_t>(next) + 1] - lineTops[static_cast<size_t>(first)] <= pageHeight)
        ++next;
    return next;
}

}  // namespace treskel::preview

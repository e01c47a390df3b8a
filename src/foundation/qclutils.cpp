#include "foundation/qclutils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace treskel {

// ------------------------------------------------------------ strings

bool QclIsEmptyStr(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' '; });
}

std::string QclTrim(const std::string& s) { return Trim(s); }

std::string QclStringOfChar(int count, char ch) {
    return count <= 0 ? std::string() : std::string(static_cast<size_t>(count), ch);
}

std::string QclReplaceChar(const std::string& s, char oldChar, char newChar) {
    std::string r = s;
    std::replace(r.begin(), r.end(), oldChar, newChar);
    return r;
}

std::string QclJoinStrings(const std::vector<std::string>& strings, char separator) {
    std::string r;
    for (size_t i = 0; i < strings.size(); ++i) {
        if (i > 0) r += separator;
        r += strings[i];
    }
    return r;
}

std::string QclJoinIntegers(const std::vector<int>& values, char separator) {
    std::vector<std::string> s;
    s.reserve(values.size());
    for (int v : values) s.push_back(IntToStr(v));
    return QclJoinStrings(s, separator);
}

std::vector<std::string> QclSplitToVector(const std::string& s, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == separator) {
            pieces.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < s.size()) pieces.push_back(s.substr(start));
    return pieces;
}

void QclSplitToStrings(const std::string& s, char separator, TStrings* list) {
    if (list == nullptr || s.empty()) return;
    list->BeginUpdate();
    list->Clear();
    for (const std::string& piece : QclSplitToVector(s, separator)) list->Add(piece);
    list->EndUpdate();
}

int QclMaxOf(const std::vector<int>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

int QclMinOf(const std::vector<int>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double QclMinOfExt(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

int QclPower(int base, int exponent) {
    uint32_t r = 1;
    for (int i = 0; i < exponent; ++i) r *= static_cast<uint32_t>(base);
    return static_cast<int>(r);
}

// ------------------------------------------------------------ paths

std::string QclAddBackslash(const std::string& path) {
    if (!QclIsEmptyStr(path) && path.back() == '\\') return path;
    return path + '\\';
}

std::string QclRemoveBackslash(const std::string& path) {
    if (QclIsEmptyStr(path) || path.back() != '\\') return path;
    return path.substr(0, path.size() - 1);
}

void QclShortenPathStep(std::string& dir) {
    if (dir == "\\") {
        dir.clear();
        return;
    }
    std::string lead;
    if (!dir.empty() && dir[0] == '\\') {
        lead = "\\";
        dir.erase(0, 1);
    }
    // An earlier step's "...\" goes first.
    if (!dir.empty() && dir[0] == '.') dir.erase(0, std::min<size_t>(4, dir.size()));
    size_t slash = dir.find('\\');
    if (slash == std::string::npos)
        dir.clear();
    else
        dir = "...\\" + dir.substr(slash + 1);
    dir = lead + dir;
}

std::string QclShortenPath(const std::string& path, int maxLen) {
    std::string drive;
    std::string rest = path;
    if (path.size() >= 2 && path[1] == ':') {
        drive = path.substr(0, 2);
        rest = path.substr(2);
    }
    size_t slash = rest.rfind('\\');
    std::string dir = slash == std::string::npos ? std::string() : rest.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? rest : rest.substr(slash + 1);

    std::string result = drive + dir + name;
    while (static_cast<int>(result.size()) > maxLen && (!drive.empty() || !dir.empty())) {
        if (dir == "\\...\\") {
            drive.clear();
            dir = "...\\";
        } else if (!dir.empty()) {
            std::string before = dir;
            QclShortenPathStep(dir);
            // A directory the step cannot shorten goes whole.
            if (dir == before) dir.clear();
        } else {
            drive.clear();
        }
        result = drive + dir + name;
    }
    return result;
}

// ------------------------------------------------------------ rectangles

void QclAdjustRect(TRect& rect, int dLeft, int dTop, int dRight, int dBottom) {
    rect.Left += dLeft;
    rect.Top += dTop;
    rect.Right += dRight;
    rect.Bottom += dBottom;
}

void QclRectSize(const TRect& rect, int& width, int& height) {
    width = rect.Right - rect.Left;
    height = rect.Bottom - rect.Top;
}

bool QclRectInRect(const TRect& inner, const TRect& outer) {
    return PtInRect(outer, inner.TopLeft()) && PtInRect(outer, inner.BottomRight());
}

namespace {
// Rounds half to even, as the system's rounding of the original did.
int RoundInt(double v) { return static_cast<int>(std::nearbyint(v)); }
}  // namespace

void QclFitRect(const TRect& source, const TRect& target, TRect& result) {
    int sw = source.Right - source.Left, sh = source.Bottom - source.Top;
    if (sw <= 0 || sh <= 0) {
        result = {target.Left, target.Top, target.Left, target.Top};
        return;
    }
    double ratio = std::min(static_cast<double>(target.Right - target.Left) / sw,
                            static_cast<double>(target.Bottom - target.Top) / sh);
    result = {0, 0, RoundInt(sw * ratio), RoundInt(sh * ratio)};
    result = OffsetRect(result, target.Left, target.Top);
}

void QclRotatedBounds(TRect& rect, int angle) {
    if (angle == 0) return;
    int a = (rect.Right - rect.Left) / 2;
    int b = (rect.Bottom - rect.Top) / 2;
    double phi = angle * std::numbers::pi / 180.0;
    double c = std::cos(phi), s = std::sin(phi);
    int x1 = RoundInt(a * c - b * s), x2 = RoundInt(a * c + b * s);
    int y1 = RoundInt(a * s - b * c), y2 = RoundInt(a * s + b * c);
    int cx = rect.Left + a, cy = rect.Top + b;
    int xs[4] = {cx - x1, cx - x2, cx + x2, cx + x1};
    int ys[4] = {cy + y1, cy + y2, cy - y2, cy - y1};
    int minX = *std::min_element(xs, xs + 4), maxX = *std::max_element(xs, xs + 4);
    int minY = *std::min_element(ys, ys + 4), maxY = *std::max_element(ys, ys + 4);
    rect = {0, 0, maxX - minX, maxY - minY};
}

}  // namespace treskel

#include "controls/qclextcSLists.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/SysUtils.h"

namespace treskel {

const std::vector<std::string>& QclColorNames() {
    static const std::vector<std::string> names{
        "clBlack", "clMaroon", "clGreen", "clOlive", "clNavy", "clPurple", "clTeal", "clGray", "clSilver", "clRed",
        "clLime", "clYellow", "clBlue", "clFuchsia", "clAqua", "clWhite",
        "clScrollBar", "clBackground", "clActiveCaption", "clInactiveCaption", "clMenu", "clWindow",
        "clWindowFrame", "clMenuText", "clWindowText", "clCaptionText", "clActiveBorder", "clInactiveBorder",
        "clAppWorkSpace", "clHighlight", "clHighlightText", "clBtnFace", "clBtnShadow", "clGrayText", "clBtnText",
        "clInactiveCaptionText", "clBtnHighlight", "cl3DDkShadow", "cl3DLight", "clInfoText", "clInfoBk"};
    return names;
}

namespace {

bool IsHexDigits(const std::string& s) {
    if (s.empty() || s.size() > 8) return false;
    for (char c : s)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

}  // namespace

bool QclColorFromText(const std::string& text, TColor& color) {
    if (!text.empty() && text[0] == '$') {
        std::string digits = text.substr(1);
        if (!IsHexDigits(digits)) return false;
        color = static_cast<TColor>(std::strtoul(digits.c_str(), nullptr, 16));
        return true;
    }
    return IdentToColor(text, color);
}

std::string QclColorDisplayText(const std::string& text) {
    if (!text.empty() && text[0] == '$') return text;
    return text.size() > 2 ? text.substr(2) : std::string();
}

std::string QclCustomColorName(int index) { return std::string("Color") + static_cast<char>('A' + index); }

void QclCopyCustomColors(const TStrings& source, TStrings& dest) {
    dest.Clear();
    for (int i = 0; i < 16; ++i) {
        std::string name = QclCustomColorName(i);
        std::string v = Trim(source.Values(name));
        if (!v.empty() && v[0] == '$') v = v.substr(1);
        // The dialog writes hexadecimal digits; anything else is no colour.
        if (!IsHexDigits(v)) continue;
        dest.Add(name + "=" + UpperCase(v));
    }
}

std::vector<std::string> QclCustomColorItems(const TStrings& customColors) {
    std::vector<std::string> items;
    for (int i = 0; i < 16; ++i) {
        std::string v = customColors.Values(QclCustomColorName(i));
        if (!IsHexDigits(v)) continue;
        uint32_t value = static_cast<uint32_t>(std::strtoul(v.c_str(), nullptr, 16));
        if (value == 0xFFFFFFFFu) continue;  // an unused slot
        items.push_back("$" + IntToHex(value, 8));
    }
    return items;
}

const std::vector<int>& QclScalableFontSizes() {
    static const std::vector<int> sizes{8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
    return sizes;
}

int QclRasterPointSize(int height, int internalLeading, int pixelsPerInch) {
    if (pixelsPerInch <= 0) return 0;
    // Halves go to the even neighbour, as the class library rounds.
    return static_cast<int>(std::nearbyint(static_cast<double>(height - internalLeading) * 72.0 / pixelsPerInch));
}

void QclAddRasterSize(std::vector<int>& sizes, int size) {
    auto it = sizes.begin();
    while (it != sizes.end() && *it < size) ++it;
    if (it != sizes.end() && *it == size) return;
    sizes.insert(it, size);
}

int QclNearestSize(const std::vector<int>& candidates, int request) {
    if (candidates.empty()) return request;
    int best = candidates.front();
    for (int c : candidates)
        if (std::abs(c - request) < std::abs(best - request)) best = c;
    return best;
}

int QclValidFontSize(int size, bool hasFontName, int defaultSize) {
    return size >= 1 && size <= 999 && hasFontName ? size : defaultSize;
}

int QclFontSizeFromText(const std::string& text) {
    std::string t = Trim(text);
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    if (i == t.size() || t.size() - i > 9) return -1;
    for (size_t j = i; j < t.size(); ++j)
        if (t[j] < '0' || t[j] > '9') return -1;
    return std::atoi(t.c_str());
}

bool QclSizeBoxAccepts(char c, bool editorEnabled, bool hasFontName) {
    if (!hasFontName) return false;
    auto u = static_cast<unsigned char>(c);
    bool control = u < 32;
    if (!editorEnabled && (!control || c == '\b')) return false;
    return control || c == '+' || c == '-' || (c >= '0' && c <= '9');
}

namespace {
// The first item from `from` on, round the list, that starts with `prefix`
// (both upper-cased already); -1 when none does.
int FindStarting(const TStrings& items, const std::string& prefix, int from) {
    const int count = items.Count();
    for (int step = 0; step < count; ++step) {
        const int i = ((from + step) % count + count) % count;
        if (AnsiUpperCase(items.Get(i)).compare(0, prefix.size(), prefix) == 0) return i;
    }
    return -1;
}
}  // namespace

int TQclTypeAhead::Type(char c, uint32_t time, const TStrings& items, int current) {
    if (typed_.empty() || time - last_ > kPause) typed_.clear();
    last_ = time;
    typed_ += AnsiUpperCase(std::string(1, c));
    if (items.Count() == 0) return -1;
    // A longer prefix may still be the current item's; one letter moves on.
    if (typed_.size() > 1) {
        int found = FindStarting(items, typed_, std::max(current, 0));
        if (found >= 0) return found;
        if (typed_.find_first_not_of(typed_[0]) != std::string::npos) return -1;
    }
    return FindStarting(items, typed_.substr(0, 1), current + 1);
}

}  // namespace treskel

#include "winutil/WuCtrlsLayout.h"

#include <algorithm>

#include "platform/SysUtils.h"

namespace treskel {

int WuNumGlyphsFor(int width, int height, int current) {
    if (height <= 0 || width % height != 0) return current;
    int n = width / height;
    return n > 5 || n < 1 ? 1 : n;
}

uint32_t WuMapToGray(uint32_t rgb, uint32_t transparentRgb, uint32_t btnFaceRgb) {
    rgb &= 0xFFFFFF;
    if (rgb == (transparentRgb & 0xFFFFFF) || rgb == (btnFaceRgb & 0xFFFFFF)) return rgb;
    uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    uint32_t grey = (r * 77 + g * 150 + b * 29) >> 8;
    return grey | (grey << 8) | (grey << 16);
}

std::string WuShortenText(const std::string& text, int maxWidth, const std::function<int(const std::string&)>& width) {
    std::string s = text;
    size_t len = text.size();
    size_t drop = 1;
    while (width(s) > maxWidth && drop < len) {
        ++drop;  // two on the first step: one for the room of the dots
        s = text.substr(0, len - drop) + "...";
    }
    return s;
}

std::string WuPrepareCaption(const std::string& caption, int maxWidth, bool wordWrap,
                             const std::function<int(const std::string&)>& width) {
    std::string c = caption.substr(0, std::min<size_t>(caption.size(), 255));
    if (!wordWrap) {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start <= c.size()) {
            size_t end = c.find_first_of("\r\n", start);
            if (end == std::string::npos) end = c.size();
            lines.push_back(WuShortenText(c.substr(start, end - start), maxWidth, width));
            if (end < c.size() && c[end] == '\r' && end + 1 < c.size() && c[end + 1] == '\n') ++end;
            start = end + 1;
        }
        c.clear();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) c += "\r\n";
            c += lines[i];
        }
    }
    return TrimRight(c);
}

TWuButtonGeometry WuCalcButtonLayout(TSize client, TPoint origin, TSize glyph, const std::string& caption,
                                     TButtonLayout layout, int margin, int spacing, bool dropMark, bool wordWrap,
                                     const std::function<int(const std::string&)>& width,
                                     const std::function<TSize(const std::string&, int)>& measure,
                                     std::string* shownCaption) {
    TWuButtonGeometry out;
    bool vertical = layout == TButtonLayout::blGlyphTop || layout == TButtonLayout::blGlyphBottom;
    auto sub = [](int v) { return v == -1 ? 0 : v; };  // -1 takes no room
    int roomW, roomH;
    if (vertical) {
        roomW = client.cx;
        roomH = client.cy - glyph.cy - sub(margin) - sub(spacing);
    } else {
        roomW = client.cx - glyph.cx - sub(margin) - sub(spacing) - (dropMark ? 9 : 0);
        roomH = client.cy;
    }
    roomW = std::max(roomW, 0);
    roomH = std::max(roomH, 0);
    out.roomWidth = roomW;
    out.roomHeight = roomH;

    std::string shown = WuPrepareCaption(caption, roomW, wordWrap, width);
    if (shownCaption != nullptr) *shownCaption = shown;
    TSize text{0, 0};
    if (!shown.empty()) {
        text = measure(shown, roomW);
        text.cx = std::min(text.cx, roomW);
        text.cy = std::min(text.cy, roomH);
    }
    TSize realText = text;
    TSize g = glyph;
    bool hasGlyph = glyph.cx > 0 && glyph.cy > 0;
    if (dropMark) {
        if (!hasGlyph || layout == TButtonLayout::blGlyphLeft) text.cx += 9;
        else g.cx += 6;
    }

    TPoint gp, tp;
    if (vertical) {
        gp.x = client.cx / 2 - g.cx / 2;
        tp.x = client.cx / 2 - text.cx / 2;
    } else {
        gp.y = client.cy / 2 - g.cy / 2;
        tp.y = client.cy / 2 - text.cy / 2;
    }
    int c = vertical ? client.cy : client.cx;
    int ga = vertical ? g.cy : g.cx;
    int ta = vertical ? text.cy : text.cx;
    int s = (text.cx == 0 || g.cx == 0) ? 0 : spacing;
    int m = margin;
    if (m == -1) {
        if (s != -1) {
            int total = ga + s + ta;
            m = c / 2 - total / 2;
        } else {
            m = (c - ga - ta) / 3;
            s = m;
        }
    } else if (s == -1) {
        s = (c - m - ga) / 2 - ta / 2;
    }
    int gAxis, tAxis;
    switch (layout) {
        case TButtonLayout::blGlyphLeft:
        case TButtonLayout::blGlyphTop:
            gAxis = m;
            tAxis = m + ga + s;
            break;
        default:
            gAxis = c - m - ga;
            tAxis = gAxis - s - ta;
            break;
    }
    if (vertical) {
        gp.y = gAxis;
        tp.y = tAxis;
    } else {
        gp.x = gAxis;
        tp.x = tAxis;
    }
    out.glyphPos = {gp.x + origin.x, gp.y + origin.y};
    out.glyphSize = hasGlyph ? glyph : TSize{0, 0};
    out.textBounds = Bounds(tp.x + origin.x, tp.y + origin.y, realText.cx, realText.cy);
    return out;
}

TPoint WuDropDownMarkPos(const TWuButtonGeometry& g, TSize realGlyph, const TRect& rect, TButtonLayout layout,
                         bool hasCaption) {
    bool glyphDrawn = realGlyph.cx > 0 && realGlyph.cy > 0;
    if (layout != TButtonLayout::blGlyphLeft && glyphDrawn)
        return {g.glyphPos.x + realGlyph.cx + 1, g.glyphPos.y + realGlyph.cy / 2};
    int x = hasCaption ? g.textBounds.Right + 3 : (rect.Left + rect.Right - 7) / 2;
    return {x, g.textBounds.Top + g.textBounds.Height() / 2};
}

std::vector<TWuPixelRow> WuDropDownMarkRows(int x, int y) {
    return {{x, x + 6, y - 1}, {x + 1, x + 5, y}, {x + 2, x + 4, y + 1}, {x + 3, x + 3, y + 2}};
}

TWuFramePlan WuFramePlan(bool pressed, bool newStyle, bool flat) {
    TWuFramePlan p;
    if (!pressed) {
        if (newStyle && !flat) p.frames = {{clBtnHighlight, clWindowFrame}, {clBtnFace, clBtnShadow}};
        else if (newStyle) p.frames = {{clBtnHighlight, clBtnShadow}};
        else if (!flat) p.frames = {{clWindowFrame, clWindowFrame}, {clBtnHighlight, clBtnShadow}};
        else p.frames = {{clBtnHighlight, clWindowFrame}};
    } else {
        if (newStyle && !flat) p.frames = {{clWindowFrame, clBtnHighlight}, {clBtnShadow, clBtnFace}};
        else if (!newStyle && !flat) {
            p.frames = {{clWindowFrame, clWindowFrame}};
            p.shadowLine = true;
        } else {
            p.frames = {{clWindowFrame, clBtnHighlight}};
        }
    }
    return p;
}

TPoint WuDropDownPoint(TWuDropDownMenuPos pos, int alignment, int width, int height) {
    if (pos == TWuDropDownMenuPos::dmpBottom) {
        switch (alignment) {
            case 1: return {width + 1, height};
            case 2: return {width / 2, height};
            default: return {0, height};
        }
    }
    switch (alignment) {
        case 1: return {-1, -1};
        case 2: return {width / 2, height};
        default: return {width, -1};
    }
}

}  // namespace treskel

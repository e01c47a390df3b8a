#include "foundation/qclgraph.h"

#include "platform/TypInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace treskel {

namespace {

int Clamp(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

// Rounds as the stored layouts expect: halves go to the even neighbour.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

// ================================================================ geometry

TRect QclAlignRect(TQclAlignment alignment, const TRect& item, const TRect& container) {
    int w = item.Width(), h = item.Height();
    int cw = container.Width(), ch = container.Height();
    int column = static_cast<int>(alignment) % 3;
    int row = static_cast<int>(alignment) / 3;
    int dx = column == 0 ? 0 : column == 1 ? (cw - w) / 2 : cw - w;
    int dy = row == 0 ? 0 : row == 1 ? (ch - h) / 2 : ch - h;
    return Bounds(container.Left + dx, container.Top + dy, w, h);
}

TQcl3DTextPlan QclPlan3DText(TQclThreeDStyle style, int l, int s) {
    using K = TQclTextPass;
    TQcl3DTextPlan p;
    switch (style) {
        case TQclThreeDStyle::tdNone:
            p.passes = {{K::Face, 0}};
            break;
        case TQclThreeDStyle::tdSunken:
            p.passes = {{K::Light, l}, {K::Face, 0}};
            p.rightReduce = p.extra = l;
            break;
        case TQclThreeDStyle::tdRaised:
            p.passes = {{K::Light, 0}, {K::Face, l}};
            p.rightReduce = p.extra = l;
            break;
        case TQclThreeDStyle::tdSunkenShadow:
        case TQclThreeDStyle::tdPColorSunken:
            p.passes = {{K::Shadow, 0}, {K::Light, l + s}, {K::Face, s}};
            p.rightReduce = p.extra = l + s;
            break;
        case TQclThreeDStyle::tdRaisedShadow:
        case TQclThreeDStyle::tdPColorRaised:
            p.passes = {{K::Shadow, l + s}, {K::Light, 0}, {K::Face, l}};
            p.rightReduce = p.extra = l + s;
            break;
        case TQclThreeDStyle::tdShadow:
            p.passes = {{K::Shadow, s}, {K::Face, 0}};
            p.rightReduce = p.extra = s;
            break;
    }
    p.faceInBrushColour = style == TQclThreeDStyle::tdPColorSunken || style == TQclThreeDStyle::tdPColorRaised;
    return p;
}

TQclTurnedText QclTurnText(int width, int height, int angle, TQclThreeDStyle style, int l, int s) {
    TQcl3DTextPlan plan = QclPlan3DText(style, l, s);
    TRect r = Rect(0, 0, width + plan.extra, height + plan.extra);
    double a = angle * std::numbers::pi / 180.0;
    double c = std::cos(a), sn = std::sin(a);
    // Bounding rectangle of the corners turned about the centre.
    double cx0 = r.Width() / 2.0, cy0 = r.Height() / 2.0;
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    const double xs[] = {0.0, static_cast<double>(r.Width())};
    const double ys[] = {0.0, static_cast<double>(r.Height())};
    for (double x : xs)
        for (double y : ys) {
            double dx = x - cx0, dy = y - cy0;
            // Counter-clockwise on the screen, whose y axis points down.
            double tx = cx0 + dx * c + dy * sn;
            double ty = cy0 - dx * sn + dy * c;
            if (first) {
                minX = maxX = tx;
                minY = maxY = ty;
                first = false;
            } else {
                minX = std::min(minX, tx);
                maxX = std::max(maxX, tx);
                minY = std::min(minY, ty);
                maxY = std::max(maxY, ty);
            }
        }
    TQclTurnedText t;
    t.bounds = Rect(0, 0, RoundEven(maxX - minX), RoundEven(maxY - minY));
    int cx = t.bounds.Left + t.bounds.Width() / 2;
    int cy = t.bounds.Top + t.bounds.Height() / 2;
    int k = 0;
    switch (style) {
        case TQclThreeDStyle::tdSunken:
        case TQclThreeDStyle::tdRaised: k = l / 2 - 1; break;
        case TQclThreeDStyle::tdSunkenShadow:
        case TQclThreeDStyle::tdRaisedShadow:
        case TQclThreeDStyle::tdPColorSunken:
        case TQclThreeDStyle::tdPColorRaised: k = (l + s) / 2 - 1; break;
        case TQclThreeDStyle::tdShadow: k = s / 2 - 1; break;
        case TQclThreeDStyle::tdNone: k = 0; break;
    }
    k = std::max(k, 0);
    // The origin is a 16-bit unsigned position: a small negative result
    // (the style correction) would wrap far outside the rectangle.
    t.posX = std::max(0, RoundEven(cx - (width / 2) * c - (height / 2) * sn) - k);
    t.posY = std::max(0, RoundEven(cy + (width / 2) * sn - (height / 2) * c) - k);
    return t;
}

int QclGetFrameWidth(TQclBorderStyle style) {
    switch (style) {
        case TQclBorderStyle::lsNone: return 0;
        case TQclBorderStyle::lsSingle:
        case TQclBorderStyle::lsSingleRaised:
        case TQclBorderStyle::lsSingleLowered: return 1;
        default: return 2;
    }
}

TRect QclBevelStyleInnerRect(const TRect& r, TQclBevelStyle style, int w) {
    if (w <= 0 || style == TQclBevelStyle::bvNone || style == TQclBevelStyle::bvShadow) return r;
    if (style == TQclBevelStyle::bvFrameLowered || style == TQclBevelStyle::bvFrameRaised)
        return Rect(r.Left + w + 1, r.Top + w + 1, r.Right - w - 1, r.Bottom - w - 1);
    return Rect(r.Left + w, r.Top + w, r.Right - w, r.Bottom - w);
}

TRect QclEdgeAdjust(const TRect& rect, unsigned edgeKind, unsigned flags) {
    using namespace edge;
    if (!(flags & kBfAdjust)) return rect;
    bool outer = (edgeKind & (kBdrRaisedOuter | kBdrSunkenOuter)) != 0;
    bool inner = (edgeKind & (kBdrRaisedInner | kBdrSunkenInner)) != 0;
    int w = (outer ? 1 : 0) + (inner ? 1 : 0);
    TRect r = rect;
    if (flags & kBfLeft) r.Left += w;
    if (flags & kBfTop) r.Top += w;
    if (flags & kBfRight) r.Right -= w;
    if (flags & kBfBottom) r.Bottom -= w;
    return r;
}

std::vector<TQclEdgeStep> QclStdFrameSteps(TQclBorderStyle style, unsigned extra) {
    using namespace edge;
    unsigned f = extra | kBfAdjust;
    switch (style) {
        case TQclBorderStyle::lsNone: return {};
        case TQclBorderStyle::lsSingle:
            return {{kBdrSunkenOuter, f | kBfSoft | kBfTopLeft}, {kBdrRaisedOuter, kBfBottomRight}};
        case TQclBorderStyle::lsLowered: return {{kEdgeSunken, f | kBfSoft | kBfRect}};
        case TQclBorderStyle::lsRaised: return {{kEdgeRaised, f | kBfSoft | kBfRect}};
        case TQclBorderStyle::lsRaisedspb:
            return {{kBdrRaisedOuter, f | kBfSoft | kBfRect}, {kBdrRaisedInner, kBfBottomRight | kBfAdjust}};
        case TQclBorderStyle::lsLoweredspb:
            return {{kBdrSunkenOuter, f | kBfRect}, {kBdrSunkenInner, f | kBfTopLeft}};
        case TQclBorderStyle::lsRaisedExt:
            return {{kBdrRaisedOuter, f | kBfSoft | kBfRect},
                    {kBdrRaisedInner, kBfBottomRight | kBfAdjust},
                    {0, 0, 1, 1, 0, 0}};
        case TQclBorderStyle::lsLoweredExt:
            return {{kBdrSunkenOuter, f | kBfRect},
                    {kBdrSunkenInner, kBfTopLeft | kBfAdjust},
                    {0, 0, 0, 0, 1, 1}};
        case TQclBorderStyle::lsFrameInset: return {{kEdgeEtched, f | kBfRect}};
        case TQclBorderStyle::lsFrameOffset:
            return {{kBdrRaisedInner, f | kBfRect}, {kBdrSunkenOuter, f | kBfRect}};
        case TQclBorderStyle::lsWindowBorder:
            return {{kBdrRaisedOuter, f | kBfBottomRight, 1, 1, 0, 0}, {kBdrRaisedInner, f | kBfRect}};
        case TQclBorderStyle::lsSingleRaised: return {{kBdrRaisedInner, f | kBfRect}};
        case TQclBorderStyle::lsSingleLowered: return {{kBdrSunkenOuter, f | kBfRect}};
        case TQclBorderStyle::lsDoubleRaised: return {{kBdrRaisedInner, f | kBfRect}, {kBdrRaisedInner, f | kBfRect}};
        case TQclBorderStyle::lsDoubleLowered:
            return {{kBdrSunkenOuter, f | kBfRect}, {kBdrSunkenOuter, f | kBfRect}};
    }
    return {};
}

TRect QclStdFrameInnerRect(const TRect& rect, TQclBorderStyle style) {
    TRect r = rect;
    for (const TQclEdgeStep& s : QclStdFrameSteps(style, 0)) {
        if (s.edge != 0) r = QclEdgeAdjust(r, s.edge, s.flags);
        r = Rect(r.Left + s.moveLeft, r.Top + s.moveTop, r.Right - s.moveRight, r.Bottom - s.moveBottom);
    }
    return r;
}

TQclBitmapPlacement QclPlaceBitmap(const TRect& r, int sw, int sh, uint16_t flags) {
    TQclBitmapPlacement p;
    if (IsRectEmpty(r)) return p;
    int rw = r.Width(), rh = r.Height();
    TRect box = Bounds(r.Left, r.Top, sw, sh);
    if (flags & qclBmpTile) {
        if (sw > 0 && sh > 0) {
            int rows = rh / sh + 1, columns = rw / sw + 1;
            for (int i = 0; i < rows; ++i)
                for (int j = 0; j < columns; ++j) p.boxes.push_back(Bounds(r.Left + j * sw, r.Top + i * sh, sw, sh));
        }
        // No single box covers the tiles: the whole target counts as drawn.
        p.drawnRect = r;
        return p;
    }
    if (flags & qclBmpStretch) {
        box = Bounds(r.Left, r.Top, rw, rh);
        bool fitW = (flags & qclBmpFitWidth) != 0, fitH = (flags & qclBmpFitHeight) != 0;
        if (sw <= 0 || sh <= 0) {
            // An empty picture has no proportions: nothing to draw.
            box = Bounds(r.Left, r.Top, 0, 0);
        } else if (fitW && fitH) {
            double m = std::min(static_cast<double>(rw) / sw, static_cast<double>(rh) / sh);
            box = Bounds(r.Left, r.Top, static_cast<int>(sw * m), static_cast<int>(sh * m));
        } else if (fitW) {
            box = Bounds(r.Left, r.Top, rw, RoundEven(static_cast<double>(sh) * rw / sw));
        } else if (fitH) {
            box = Bounds(r.Left, r.Top, RoundEven(static_cast<double>(sw) * rh / sh), rh);
        }
    } else if (flags & qclBmpCenter) {
        box = Bounds((rw - sw) / 2 + r.Left, (rh - sh) / 2 + r.Top, sw, sh);
    }
    if (box.Width() <= 0 || box.Height() <= 0 || sw <= 0 || sh <= 0) {
        p.drawnRect = r;
        return p;
    }
    p.boxes.push_back(box);
    p.drawnRect = box;
    return p;
}

bool QclIsPressed(TQclButtonState state) {
    return state == TQclButtonState::bsDown || state == TQclButtonState::bsPushed ||
           state == TQclButtonState::bsDropDown || state == TQclButtonState::bsDisabledDown;
}

TQclUserButtonStyle QclResolveButtonStyle(TQclUserButtonStyle style, bool newStyleControls) {
    if (style != TQclUserButtonStyle::ubsAutoDetect) return style;
    return newStyleControls ? TQclUserButtonStyle::ubsWin40 : TQclUserButtonStyle::ubsWin31;
}

TQclFaceLook QclButtonFaceLook(TQclUserButtonStyle style, uint16_t flags) {
    bool speed = (flags & qclFaceSpeedButton) != 0;
    switch (style) {
        case TQclUserButtonStyle::ubsAutoDetect:
        case TQclUserButtonStyle::ubsWin31: return qflWin31;
        case TQclUserButtonStyle::ubsWin40: return speed ? qflWin40Speed : qflWin40;
        case TQclUserButtonStyle::ubsClassic: return speed ? qflClassicSpeed : qflWin40;
        default: return qflFlat;
    }
}

TRect QclButtonFaceContentRect(const TRect& rect, TQclUserButtonStyle style, TQclButtonState state, uint16_t flags) {
    bool pressed = QclIsPressed(state);
    TRect s = rect;
    if (!pressed && (flags & (qclFaceDefault | qclFaceFocusedFrame))) s = InflateRect(s, -1, -1);
    if (QclButtonFaceLook(style, flags) == qflWin31) s = InflateRect(s, -1, -1);
    s = InflateRect(s, -3, -3);
    if (pressed) s = OffsetRect(s, 1, 1);
    return s;
}

uint16_t QclFocusStyleToFlags(TQclGlyphTextFocusStyle style) {
    switch (style) {
        case TQclGlyphTextFocusStyle::fcText: return qclGtFocusText;
        case TQclGlyphTextFocusStyle::fcGlyph: return qclGtFocusGlyph;
        case TQclGlyphTextFocusStyle::fcGlyphText: return qclGtFocusBoth;
        default: return 0;
    }
}

unsigned QclAlignmentToDrawText(TQclAlignment alignment) {
    static const unsigned table[] = {0, 1, 2, 4, 5, 6, 8, 9, 10};
    return table[static_cast<int>(alignment)];
}

std::vector<TQclArrowRow> QclArrowRows(int x, int y, int size, bool down) {
    std::vector<TQclArrowRow> rows;
    if (size < 2 || size > 15) return rows;
    if (down) {
        // 2 x Size - 1 wide at the top, narrowing by one pixel each side per row.
        for (int i = 0; i <= size - 2; ++i) rows.push_back({x + i, x + 2 * size - i - 2, y + i});
        rows.push_back({x + size - 1, x + size - 1, y + size - 1});
    } else {
        int c = x + size / 2;
        for (int i = 0; i <= size - 1; ++i) rows.push_back({c - i, c + i, y + i});
    }
    return rows;
}

TQclGlyphTextPlacement QclLayoutGlyphText(const TRect& rect, const TRect& measuredText, bool hasText, TSize glyphSize,
                                          bool hasGlyph, const TQclGlyphTextLayout& layout, bool multiLine,
                                          uint16_t flags) {
    TQclGlyphTextPlacement p;
    hasGlyph = hasGlyph && glyphSize.cx > 0 && glyphSize.cy > 0;
    p.hasGlyph = hasGlyph;
    if (flags & qclGtMeasureOnly) flags |= qclGtFocusBoth;
    int gap = hasGlyph == hasText ? layout.Spacing() : 0;
    TRect t = hasText ? Rect(0, 0, measuredText.Width(), measuredText.Height()) : TRect{};
    TRect g = hasGlyph ? Rect(0, 0, glyphSize.cx, glyphSize.cy) : TRect{};

    auto* button = dynamic_cast<const TQclButtonLayout*>(&layout);
    bool arrow = button != nullptr && button->Arrow();
    int aw = arrow ? 2 * button->ArrowSize() - 1 : 0;
    TQclArrowPosition ap = arrow ? button->ArrowPosition() : TQclArrowPosition::apRightText;
    int indent = arrow ? button->ArrowIndent() : 0;
    if (arrow) {
        if (ap == TQclArrowPosition::apRightText || ap == TQclArrowPosition::apLeftText) t.Right += aw + indent;
        else g.Right += aw + indent;
    }

    // Arrange the two inside a block at (0, 0).
    int tw = t.Width(), th = t.Height(), gw = g.Width(), gh = g.Height();
    TQclTextArrange arrange = layout.AlignText2Glyph();
    TRect block;
    auto place = [](TRect& r, int x, int y) { r = OffsetRect(r, x - r.Left, y - r.Top); };
    switch (arrange) {
        case TQclTextArrange::taLeft:
        case TQclTextArrange::taLeftTop:
        case TQclTextArrange::taRight:
        case TQclTextArrange::taRightTop: {
            int m = std::max(th, gh);
            int ty = th < m ? (m - th) / 2 : 0;
            int gy = gh < m ? (m - gh) / 2 : 0;
            if (arrange == TQclTextArrange::taLeftTop || arrange == TQclTextArrange::taRightTop) gy = 0;
            bool textFirst = arrange == TQclTextArrange::taLeft || arrange == TQclTextArrange::taLeftTop;
            place(t, textFirst ? 0 : gw + gap, ty);
            place(g, textFirst ? tw + gap : 0, gy);
            block = Rect(0, 0, tw + gap + gw, m);
            break;
        }
        case TQclTextArrange::taTop:
        case TQclTextArrange::taTopLeft:
        case TQclTextArrange::taBottom:
        case TQclTextArrange::taBottomLeft: {
            int m = std::max(tw, gw);
            int tx = tw < m ? (m - tw) / 2 : 0;
            int gx = gw < m ? (m - gw) / 2 : 0;
            if (arrange == TQclTextArrange::taTopLeft || arrange == TQclTextArrange::taBottomLeft) gx = 0;
            bool textFirst = arrange == TQclTextArrange::taTop || arrange == TQclTextArrange::taTopLeft;
            place(t, tx, textFirst ? 0 : gh + gap);
            place(g, gx, textFirst ? th + gap : 0);
            block = Rect(0, 0, m, th + gap + gh);
            break;
        }
    }

    if (!(flags & qclGtNoPlacement)) {
        TRect b = QclAlignRect(layout.Alignment(), block, rect);
        t = OffsetRect(t, b.Left + 1, b.Top + 1);
        g = OffsetRect(g, b.Left, b.Top);
    }
    if (arrow && ap == TQclArrowPosition::apLeftText) t = OffsetRect(t, indent + aw, 0);
    t = OffsetRect(t, layout.OffsetX(), layout.OffsetY());
    g = OffsetRect(g, layout.OffsetX(), layout.OffsetY());

    bool focusSet = false;
    TRect f = rect;
    if (flags & qclGtFocusText) {
        f = InflateRect(t, 1, 1);
        focusSet = true;
    }
    if (arrow) {
        int size = button->ArrowSize();
        int ty = t.Top + t.Height() / 2 - size / 2;
        if (ap == TQclArrowPosition::apRightText) {
            p.textArrow = true;
            p.textArrowPos = {multiLine ? t.Right - (size + 1) : t.Right - aw - 1, ty};
        } else if (ap == TQclArrowPosition::apLeftText) {
            p.textArrow = true;
            p.textArrowPos = {t.Left - (indent + aw), ty};
        } else if (ap == TQclArrowPosition::apLeftGlyph) {
            g = OffsetRect(g, indent + aw, 0);
        }
    }
    if ((flags & qclGtFocusGlyph) && hasGlyph) {
        f = g;
        focusSet = true;
    }
    if (flags & qclGtFocusBoth) {
        f = InflateRect(UnionRect(g, t), 1, 1);
        focusSet = true;
    }
    if (arrow && (ap == TQclArrowPosition::apRightGlyph || ap == TQclArrowPosition::apLeftGlyph)) {
        int size = button->ArrowSize();
        int gy = g.Top + g.Height() / 2 - size / 2;
        p.glyphArrow = true;
        p.glyphArrowPos = {ap == TQclArrowPosition::apRightGlyph ? g.Right - aw : g.Left - (indent + aw), gy};
    }
    if (!focusSet) f = InflateRect(rect, -1, -1);
    if (flags & qclGtMeasureOnly) f = InflateRect(f, 1, 1);
    p.textRect = t;
    p.glyphRect = g;
    p.focusRect = f;
    return p;
}

// ================================================================ TQclBevel

TQclBevel::TQclBevel() = default;

void TQclBevel::ComputeWidths() {
    using S = TQclBevelStyle;
    auto frameExtra = [](S s) { return s == S::bvFrameLowered || s == S::bvFrameRaised ? 1 : 0; };
    int total = 0;
    switch (mode_) {
        case TQclBevelMode::bmCustom:
            if (styleInner_ == S::bvShadow) {
                total = widthInner_ + borderInnerWidth_;
            } else {
                total = borderWidth_ + borderInnerWidth_;
                if (styleInner_ != S::bvNone || styleOuter_ != S::bvNone) {
                    if (styleOuter_ != S::bvNone) total += widthOuter_ + frameExtra(styleOuter_);
                    if (styleInner_ != S::bvNone) total += widthInner_ + frameExtra(styleInner_);
                }
            }
            break;
        case TQclBevelMode::bmStandard:
            total = QclGetFrameWidth(standardStyle_) + borderInnerWidth_;
            break;
        case TQclBevelMode::bmEdge:
            total = (borderSides_.Empty() ? 0 : 2) + borderInnerWidth_;
            break;
        case TQclBevelMode::bmWindows:
            total = windowedOwner_ ? 0 : borderInnerWidth_ + 2;
            break;
    }
    totalWidth_ = total;
    bottomRightWidth_ = mode_ == TQclBevelMode::bmCustom && styleOuter_ == S::bvShadow
                            ? widthInner_ + widthOuter_ + borderInnerWidth_
                            : total;
}

void TQclBevel::Change() {
    ComputeWidths();
    TQclObject::Change();
}

void TQclBevel::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* b = dynamic_cast<TQclBevel*>(source)) {
        styleInner_ = b->styleInner_;
        styleOuter_ = b->styleOuter_;
        widthInner_ = b->widthInner_;
        widthOuter_ = b->widthOuter_;
        borderColor_ = b->borderColor_;
        borderInnerWidth_ = b->borderInnerWidth_;
        borderWidth_ = b->borderWidth_;
        borderSides_ = b->borderSides_;
        edgeStyle_ = b->edgeStyle_;
        lightColor_ = b->lightColor_;
        shadowColor_ = b->shadowColor_;
        mode_ = b->mode_;
        standardStyle_ = b->standardStyle_;
        windowedOwner_ = b->windowedOwner_;
        recreatePending_ = b->recreatePending_;
        Change();
        return;
    }
    TQclObject::Assign(source);
}

void TQclBevel::SetStyleInner(TQclBevelStyle v) {
    if (v == styleInner_) return;
    if (styleInner_ == TQclBevelStyle::bvShadow) styleOuter_ = TQclBevelStyle::bvNone;
    styleInner_ = v;
    if (v == TQclBevelStyle::bvShadow) styleOuter_ = TQclBevelStyle::bvShadow;
    Change();
}

void TQclBevel::SetStyleOuter(TQclBevelStyle v) {
    if (v == styleOuter_) return;
    if (styleOuter_ == TQclBevelStyle::bvShadow) styleInner_ = TQclBevelStyle::bvNone;
    styleOuter_ = v;
    if (v == TQclBevelStyle::bvShadow) styleInner_ = TQclBevelStyle::bvShadow;
    Change();
}

void TQclBevel::SetWidthInner(int v) {
    v = Clamp(v, 0, 50);
    if (v == widthInner_) return;
    widthInner_ = static_cast<uint8_t>(v);
    Change();
}

void TQclBevel::SetWidthOuter(int v) {
    v = Clamp(v, 0, 50);
    if (v == widthOuter_) return;
    widthOuter_ = static_cast<uint8_t>(v);
    Change();
}

void TQclBevel::SetBorderInnerWidth(int v) {
    v = Clamp(v, 0, 255);
    if (v == borderInnerWidth_) return;
    borderInnerWidth_ = static_cast<uint8_t>(v);
    Change();
}

void TQclBevel::SetBorderWidth(int v) {
    v = Clamp(v, 0, 255);
    if (v == borderWidth_) return;
    borderWidth_ = static_cast<uint8_t>(v);
    Change();
}

void TQclBevel::SetBorderSides(TQclFrameSides v) {
    v = v * kQclAllFrameSides;
    if (v == borderSides_) return;
    borderSides_ = v;
    Change();
}

void TQclBevel::SetEdgeStyle(TQclEdgeStyle v) {
    if (v == edgeStyle_) return;
    edgeStyle_ = v;
    Change();
}

void TQclBevel::SetColor(int index, TColor v) {
    TColor* field = index == 0 ? &borderColor_ : index == 1 ? &lightColor_ : &shadowColor_;
    if (*field == v) return;
    *field = v;
    Change();
}

void TQclBevel::SetMode(TQclBevelMode v) {
    if (v == mode_) return;
    if (windowedOwner_ && (mode_ == TQclBevelMode::bmWindows || v == TQclBevelMode::bmWindows))
        recreatePending_ = true;
    mode_ = v;
    Change();
}

void TQclBevel::SetStandardStyle(TQclBorderStyle v) {
    if (v == standardStyle_) return;
    standardStyle_ = v;
    if (mode_ == TQclBevelMode::bmStandard) Change();
}

bool TQclBevel::NeedRecreate() {
    bool result = recreatePending_ || (mode_ == TQclBevelMode::bmWindows && windowedOwner_);
    recreatePending_ = false;
    return result;
}

TRect TQclBevel::GetClientRect(const TRect& r) const {
    if (mode_ == TQclBevelMode::bmCustom && styleOuter_ == TQclBevelStyle::bvShadow) {
        int lt = widthInner_ + borderInnerWidth_;
        int rb = widthInner_ + widthOuter_ + borderInnerWidth_;
        return Rect(r.Left + lt, r.Top + lt, r.Right - rb, r.Bottom - rb);
    }
    return InflateRect(r, -totalWidth_, -totalWidth_);
}

// ================================================================ layouts

void TQclGlyphTextLayout::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* l = dynamic_cast<TQclGlyphTextLayout*>(source)) {
        alignment_ = l->alignment_;
        alignText2Glyph_ = l->alignText2Glyph_;
        offsetX_ = l->offsetX_;
        offsetY_ = l->offsetY_;
        spacing_ = l->spacing_;
        Change();
        return;
    }
    TQclObject::Assign(source);
}

void TQclGlyphTextLayout::SetAlignment(TQclAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Change();
}

void TQclGlyphTextLayout::SetAlignText2Glyph(TQclTextArrange v) {
    if (v == alignText2Glyph_) return;
    alignText2Glyph_ = v;
    Change();
}

void TQclGlyphTextLayout::SetOffset(int index, int v) {
    int32_t& field = index == 0 ? offsetX_ : offsetY_;
    if (field == v) return;
    field = v;
    Change();
}

void TQclGlyphTextLayout::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Change();
}

TQclButtonLayout::TQclButtonLayout() { alignment_ = TQclAlignment::agCenter; }

void TQclButtonLayout::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* b = dynamic_cast<TQclButtonLayout*>(source)) {
        BeginUpdate();
        SetAlignment(b->alignment_);
        SetAlignText2Glyph(b->alignText2Glyph_);
        SetSpacing(b->spacing_);
        offsetX_ = b->offsetX_;
        offsetY_ = b->offsetY_;
        arrow_ = b->arrow_;
        arrowColor_ = b->arrowColor_;
        arrowIndent_ = b->arrowIndent_;
        arrowPosition_ = b->arrowPosition_;
        arrowSize_ = b->arrowSize_;
        EndUpdate(true);
        return;
    }
    TQclGlyphTextLayout::Assign(source);
}

void TQclButtonLayout::SetArrow(bool v) {
    if (v == arrow_) return;
    arrow_ = v;
    Change();
}

void TQclButtonLayout::SetArrowColor(TColor v) {
    if (v == arrowColor_) return;
    arrowColor_ = v;
    Change();
}

void TQclButtonLayout::SetArrowIndent(int v) {
    if (v == arrowIndent_) return;
    arrowIndent_ = v;
    Change();
}

void TQclButtonLayout::SetArrowPosition(TQclArrowPosition v) {
    if (v == arrowPosition_) return;
    arrowPosition_ = v;
    Change();
}

void TQclButtonLayout::SetArrowSize(int v) {
    v = Clamp(v, 2, 10);
    if (v == arrowSize_) return;
    arrowSize_ = static_cast<uint8_t>(v);
    Change();
}

// ================================================================ TQclTransparent

void TQclTransparent::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* t = dynamic_cast<TQclTransparent*>(source)) {
        color_ = t->color_;
        mode_ = t->mode_;
        Change();
        return;
    }
    TQclObject::Assign(source);
}

void TQclTransparent::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Change();
}

void TQclTransparent::SetMode(TQclTransparentMode v) {
    if (v == mode_) return;
    mode_ = v;
    Change();
}

// ================================================================ captions

void TQcl3DCaption::CopyCaptionFields(const TQcl3DCaption& s) {
    disabledStyle_ = s.disabledStyle_;
    lightDepth_ = s.lightDepth_;
    shadowDepth_ = s.shadowDepth_;
    lightColor_ = s.lightColor_;
    shadowColor_ = s.shadowColor_;
    style_ = s.style_;
    tracing_ = s.tracing_;
}

void TQcl3DCaption::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* c = dynamic_cast<TQcl3DCaption*>(source)) {
        CopyCaptionFields(*c);
        Change();
        return;
    }
    TQclObject::Assign(source);
}

void TQcl3DCaption::SetDisabledStyle(TQclDisabledStyle v) {
    if (v == disabledStyle_) return;
    disabledStyle_ = v;
    Change();
}

void TQcl3DCaption::SetDepth(int index, int v) {
    v = Clamp(v, 0, 255);
    uint8_t& field = index == 0 ? lightDepth_ : shadowDepth_;
    if (field == v) return;
    field = static_cast<uint8_t>(v);
    Change();
}

void TQcl3DCaption::SetCaptionColor(int index, TColor v) {
    TColor& field = index == 0 ? lightColor_ : shadowColor_;
    if (field == v) return;
    field = v;
    Change();
}

void TQcl3DCaption::SetStyle(TQclThreeDStyle v) {
    if (v == style_) return;
    style_ = v;
    Change();
}

void TQcl3DCaption::SetTracing(int v) {
    if (v == tracing_) return;
    tracing_ = v;
    Change();
}

void TQclFxCaption::Assign(TPersistent* source) {
    if (source == this) return;
    if (auto* f = dynamic_cast<TQclFxCaption*>(source)) {
        CopyCaptionFields(*f);
        angle_ = f->angle_;
        posX_ = f->posX_;
        posY_ = f->posY_;
        Change();
        return;
    }
    TQcl3DCaption::Assign(source);
}

void TQclFxCaption::SetAngle(int v) {
    v = Clamp(v, 0, 360);
    if (v == 360) v = 0;
    if (v == angle_) return;
    angle_ = static_cast<uint16_t>(v);
    Change();
}

void TQclFxCaption::SetPosX(int v) {
    v = Clamp(v, 0, 0xFFFF);
    if (v == posX_) return;
    posX_ = static_cast<uint16_t>(v);
    Change();
}

void TQclFxCaption::SetPosY(int v) {
    v = Clamp(v, 0, 0xFFFF);
    if (v == posY_) return;
    posY_ = static_cast<uint16_t>(v);
    Change();
}

void TQclFxCaption::SetPos(int x, int y) {
    BeginUpdate();
    SetPosX(x);
    SetPosY(y);
    EndUpdate(false);
}

}  // namespace treskel

// ================================================================ registration

namespace treskel {

namespace {

// Properties written even when they hold their default.
template <class C, class E>
void AlwaysStoredEnum(PublishClass<C, TQclObject>& pc, const char* name, E (C::*get)() const, void (C::*set)(E)) {
    pc.Custom(
        name,
        [set](C* c, const FormValue& v, LayoutReader& r) {
            (c->*set)(static_cast<E>(typinfo::AsEnum(v, GetEnumInfo(E{}), r)));
        },
        [get](C* c) -> std::optional<FormValue> {
            return FormValue::Ident(GetEnumInfo(E{}).names.at(static_cast<size_t>((c->*get)())));
        });
}

}  // namespace

void RegisterFoundationDrawingClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    PublishClass<TQclObject, TPersistent>();
    PublishClass<TQclBevel, TQclObject> bevel;
    bevel.Enum<TQclBevelStyle>("StyleInner", &TQclBevel::StyleInner, &TQclBevel::SetStyleInner, TQclBevelStyle::bvNone)
        .Enum<TQclBevelStyle>("StyleOuter", &TQclBevel::StyleOuter, &TQclBevel::SetStyleOuter, TQclBevelStyle::bvNone)
        .Int("WidthInner", &TQclBevel::WidthInner, &TQclBevel::SetWidthInner, 1)
        .Int("WidthOuter", &TQclBevel::WidthOuter, &TQclBevel::SetWidthOuter, 1)
        .Int("BorderColor", &TQclBevel::BorderColor, &TQclBevel::SetBorderColor, clBtnFace, &ColorIdents())
        .SetOf<TQclFrameSide>("BorderSides", &TQclBevel::BorderSides, &TQclBevel::SetBorderSides, kQclAllFrameSides)
        .Int("BorderWidth", &TQclBevel::BorderWidth, &TQclBevel::SetBorderWidth, 0)
        .Int("BorderInnerWidth", &TQclBevel::BorderInnerWidth, &TQclBevel::SetBorderInnerWidth, 0)
        .Enum<TQclEdgeStyle>("EdgeStyle", &TQclBevel::EdgeStyle, &TQclBevel::SetEdgeStyle, TQclEdgeStyle::etEtched)
        .Int("LightColor", &TQclBevel::LightColor, &TQclBevel::SetLightColor, clBtnHighlight, &ColorIdents());
    AlwaysStoredEnum<TQclBevel, TQclBevelMode>(bevel, "Mode", &TQclBevel::Mode, &TQclBevel::SetMode);
    bevel.Int("ShadowColor", &TQclBevel::ShadowColor, &TQclBevel::SetShadowColor, clBtnShadow, &ColorIdents());
    AlwaysStoredEnum<TQclBevel, TQclBorderStyle>(bevel, "StandardStyle", &TQclBevel::StandardStyle,
                                                 &TQclBevel::SetStandardStyle);

    PublishClass<TQclGlyphTextLayout, TQclObject>()
        .Enum<TQclAlignment>("Alignment", &TQclGlyphTextLayout::Alignment, &TQclGlyphTextLayout::SetAlignment,
                             TQclAlignment::agTopLeft)
        .Enum<TQclTextArrange>("AlignText2Glyph", &TQclGlyphTextLayout::AlignText2Glyph,
                               &TQclGlyphTextLayout::SetAlignText2Glyph, TQclTextArrange::taRight)
        .Int("OffsetX", &TQclGlyphTextLayout::OffsetX, &TQclGlyphTextLayout::SetOffsetX, 0)
        .Int("OffsetY", &TQclGlyphTextLayout::OffsetY, &TQclGlyphTextLayout::SetOffsetY, 0)
        .Int("Spacing", &TQclGlyphTextLayout::Spacing, &TQclGlyphTextLayout::SetSpacing, 2);
    // The button layout redeclares Alignment with its own default.
    PublishClass<TQclButtonLayout, TQclGlyphTextLayout>()
        .Enum<TQclAlignment>("Alignment", &TQclButtonLayout::Alignment, &TQclButtonLayout::SetAlignment,
                             TQclAlignment::agCenter)
        .Bool("Arrow", &TQclButtonLayout::Arrow, &TQclButtonLayout::SetArrow, false)
        .Int("ArrowColor", &TQclButtonLayout::ArrowColor, &TQclButtonLayout::SetArrowColor, clBlack, &ColorIdents())
        .Int("ArrowIndent", &TQclButtonLayout::ArrowIndent, &TQclButtonLayout::SetArrowIndent, 3)
        .Enum<TQclArrowPosition>("ArrowPosition", &TQclButtonLayout::ArrowPosition,
                                 &TQclButtonLayout::SetArrowPosition, TQclArrowPosition::apRightText)
        .Int("ArrowSize", &TQclButtonLayout::ArrowSize, &TQclButtonLayout::SetArrowSize, 3);

    PublishClass<TQclTransparent, TQclObject>()
        .Int("Color", &TQclTransparent::Color, &TQclTransparent::SetColor, clBtnFace, &ColorIdents())
        .Enum<TQclTransparentMode>("Mode", &TQclTransparent::Mode, &TQclTransparent::SetMode,
                                   TQclTransparentMode::tpNone);

    PublishClass<TQcl3DCaption, TQclObject>()
        .Enum<TQclDisabledStyle>("DisabledStyle", &TQcl3DCaption::DisabledStyle, &TQcl3DCaption::SetDisabledStyle,
                                 TQclDisabledStyle::dsAuto)
        .Int("LightDepth", &TQcl3DCaption::LightDepth, &TQcl3DCaption::SetLightDepth, 1)
        .Int("ShadowDepth", &TQcl3DCaption::ShadowDepth, &TQcl3DCaption::SetShadowDepth, 1)
        .Int("LightColor", &TQcl3DCaption::LightColor, &TQcl3DCaption::SetLightColor, clBtnHighlight, &ColorIdents())
        .Int("ShadowColor", &TQcl3DCaption::ShadowColor, &TQcl3DCaption::SetShadowColor, clBtnShadow, &ColorIdents())
        .Enum<TQclThreeDStyle>("Style", &TQcl3DCaption::Style, &TQcl3DCaption::SetStyle, TQclThreeDStyle::tdNone)
        .Int("Tracing", &TQcl3DCaption::Tracing, &TQcl3DCaption::SetTracing, 0);
    PublishClass<TQclFxCaption, TQcl3DCaption>()
        .Int("Angle", &TQclFxCaption::Angle, &TQclFxCaption::SetAngle, 0)
        .Int("PosX", &TQclFxCaption::PosX, &TQclFxCaption::SetPosX, 0)
        .Int("PosY", &TQclFxCaption::PosY, &TQclFxCaption::SetPosY, 0);
}

}  // namespace treskel

namespace treskel {

int QclMulDiv(int a, int b, int c) {
    const int64_t p = static_cast<int64_t>(a) * b;
    const int64_t q = (p < 0) != (c < 0) ? -((std::llabs(p) + std::llabs(c) / 2) / std::llabs(c))
                                         : (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(q);
}

std::vector<uint32_t> QclGradientColors(uint32_t startRgb, uint32_t endRgb, int count) {
    std::vector<uint32_t> colors;
    if (count <= 0) return colors;
    // One step has no end to go to: it is the start colour (a division by
    // zero gave a wrong colour).
    if (count == 1) return {startRgb & 0xFFFFFF};
    for (int i = 0; i < count; ++i) {
        uint32_t rgb = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const int from = static_cast<int>((startRgb >> shift) & 255), to = static_cast<int>((endRgb >> shift) & 255);
            rgb |= static_cast<uint32_t>(static_cast<uint8_t>(from + QclMulDiv(i, to - from, count - 1))) << shift;
        }
        colors.push_back(rgb);
    }
    return colors;
}

}  // namespace treskel

// Bevels, frames, the bevel object's painting, button faces, the
// glyph-and-text layout and the drop-down arrow.
#include "foundation/qclgraphDraw.h"

#include <algorithm>
#include <memory>

namespace treskel {

namespace {

void Edge(TCanvas* canvas, TRect& r, unsigned edge, unsigned flags) {
    RECT rc = ToRECT(r);
    DrawEdge(canvas->Handle(), &rc, edge, flags);
    r = FromRECT(rc);
}

void Corners(TCanvas* canvas, const TRect& r) {
    canvas->SetPixel(r.Left, r.Top, clBtnFace);
    canvas->SetPixel(r.Right - 1, r.Top, clBtnFace);
    canvas->SetPixel(r.Left, r.Bottom - 1, clBtnFace);
    canvas->SetPixel(r.Right - 1, r.Bottom - 1, clBtnFace);
}

// Pixels whose x and y differ in parity take the colour, the others stay
// white: the dither of a held-down button.
TBitmap* PatternBitmap(TColor color) {
    if (QclApplication != nullptr) return QclApplication->GetPatternBitmap(color);
    // Before the library starts (or after it ends) a pattern of our own.
    static std::unique_ptr<TBitmap> pattern;
    static TColor patternColor = clNone;
    if (!pattern) {
        pattern = std::make_unique<TBitmap>();
        pattern->SetSize(8, 8);
        pattern->Canvas()->Brush()->SetColor(clWhite);
        pattern->Canvas()->FillRect(Rect(0, 0, 8, 8));
    }
    if (color != patternColor) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if ((x & 1) != (y & 1)) pattern->Canvas()->SetPixel(x, y, color);
        patternColor = color;
    }
    return pattern.get();
}

// A border ring of width w, drawn inward in the border colour.
void BorderRing(TCanvas* canvas, TRect& r, int w, TColor color, bool transparent) {
    if (w <= 0) return;
    if (transparent) {
        r = InflateRect(r, -w, -w);
        return;
    }
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->Brush()->SetColor(color);
    for (int i = 0; i < w; ++i) {
        canvas->FrameRect(r);
        r = InflateRect(r, -1, -1);
    }
}

}  // namespace

bool QclNewStyleControls() { return LOBYTE(LOWORD(GetVersion())) >= 4; }

// ---------------------------------------------------------------- frames

bool QclDrawBevelStyle(TCanvas* canvas, TRect& rect, TQclBevelStyle style, TColor lightColor, TColor shadowColor,
                       int width) {
    using S = TQclBevelStyle;
    if (width <= 0 || style == S::bvNone || style == S::bvShadow) return false;
    TColor topLeft, bottomRight;
    switch (style) {
        case S::bvLowered:
        case S::bvFrameLowered:
            topLeft = shadowColor;
            bottomRight = lightColor;
            break;
        case S::bvRaised:
        case S::bvFrameRaised:
            topLeft = lightColor;
            bottomRight = shadowColor;
            break;
        default:
            topLeft = bottomRight = clBlack;
            break;
    }
    TRect entry = rect;
    int l = rect.Left, t = rect.Top, r = rect.Right, b = rect.Bottom;
    if (style == S::bvFrameLowered || style == S::bvFrameRaised) {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        for (int i = 0; i < width; ++i) {
            canvas->Brush()->SetColor(bottomRight);
            canvas->FrameRect(Rect(l + i + 1, t + i + 1, r, b));
            canvas->Brush()->SetColor(topLeft);
            canvas->FrameRect(Rect(l, t, r - i - 1, b - i - 1));
        }
    } else if (width == 1) {
        canvas->Pen()->SetWidth(1);
        canvas->Pen()->SetStyle(TPenStyle::psSolid);
        --b;
        --r;
        canvas->Pen()->SetColor(topLeft);
        canvas->Polyline({{l, b}, {l, t}, {r, t}});
        canvas->Pen()->SetColor(bottomRight);
        canvas->Polyline({{r, t}, {r, b}, {l, b}});
    } else {
        // Filled polygons without a pen leave out their right and bottom
        // edges, so the bands end exactly where the inner rectangle begins.
        // The two polygons share their corner lines: moved apart by a pixel
        // they would leave the background showing through the corners.
        int w = width;
        canvas->Pen()->SetStyle(TPenStyle::psClear);
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        TRect i = Rect(l + w, t + w, r - w, b - w);
        canvas->Brush()->SetColor(bottomRight);
        canvas->Polygon({{l, b}, {i.Left, i.Bottom}, {i.Right, i.Bottom}, {i.Right, i.Top}, {r, t}, {r, b}});
        canvas->Brush()->SetColor(topLeft);
        canvas->Polygon({{l, b}, {i.Left, i.Bottom}, {i.Left, i.Top}, {i.Right, i.Top}, {r, t}, {l, t}});
    }
    rect = QclBevelStyleInnerRect(entry, style, width);
    return true;
}

bool QclDrawShadowBevel(TCanvas* canvas, TRect& rect, TColor frameColor, TColor shadowColor, TColor cornerColor,
                        uint8_t shadowWidth, uint8_t frameWidth, bool transparent, int) {
    int s = shadowWidth;
    TRect& r = rect;
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->Pen()->SetStyle(TPenStyle::psClear);
    canvas->Brush()->SetColor(shadowColor);
    canvas->FillRect(Rect(r.Right - s, r.Top + s, r.Right, r.Bottom));
    canvas->FillRect(Rect(r.Left + s, r.Bottom - s, r.Right, r.Bottom));
    if (!transparent) {
        canvas->Brush()->SetColor(cornerColor);
        canvas->FillRect(Rect(r.Right - s, r.Top, r.Right, r.Top + s));
        canvas->FillRect(Rect(r.Left, r.Bottom - s, r.Left + s, r.Bottom));
    }
    r = Rect(r.Left, r.Top, r.Right - s, r.Bottom - s);
    canvas->Brush()->SetColor(frameColor);
    for (int i = 0; i < frameWidth; ++i) {
        canvas->FrameRect(r);
        r = InflateRect(r, -1, -1);
    }
    canvas->Pen()->SetWidth(1);
    return true;
}

bool QclDrawStdFrame(TCanvas* canvas, TRect& rect, TQclBorderStyle style, uint16_t flags) {
    for (const TQclEdgeStep& s : QclStdFrameSteps(style, flags)) {
        if (s.edge != 0) Edge(canvas, rect, s.edge, s.flags);
        rect = Rect(rect.Left + s.moveLeft, rect.Top + s.moveTop, rect.Right - s.moveRight, rect.Bottom - s.moveBottom);
    }
    return true;
}

// ---------------------------------------------------------------- the bevel object

void TQclBevel::PaintBevel(TCanvas* canvas, const TRect& rect, bool transparent, TRect& innerRect) {
    TRect r = rect;
    if (totalWidth_ == 0) {
        innerRect = r;
        return;
    }
    switch (mode_) {
        case TQclBevelMode::bmCustom:
            if (styleOuter_ == TQclBevelStyle::bvShadow) {
                QclDrawShadowBevel(canvas, r, lightColor_, shadowColor_, borderColor_, widthOuter_, widthInner_,
                                   transparent);
            } else {
                QclDrawBevelStyle(canvas, r, styleOuter_, lightColor_, shadowColor_, widthOuter_);
                BorderRing(canvas, r, borderWidth_, borderColor_, transparent);
                QclDrawBevelStyle(canvas, r, styleInner_, lightColor_, shadowColor_, widthInner_);
            }
            break;
        case TQclBevelMode::bmStandard:
            QclDrawStdFrame(canvas, r, standardStyle_, 0);
            break;
        case TQclBevelMode::bmEdge:
            if (!borderSides_.Empty()) {
                static const unsigned edges[] = {BDR_RAISEDINNER, BDR_RAISEDOUTER, BDR_SUNKENINNER, BDR_SUNKENOUTER,
                                                 EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};
                unsigned sides = 0;
                if (borderSides_.Contains(TQclFrameSide::fsBottom)) sides |= BF_BOTTOM;
                if (borderSides_.Contains(TQclFrameSide::fsTop)) sides |= BF_TOP;
                if (borderSides_.Contains(TQclFrameSide::fsRight)) sides |= BF_RIGHT;
                if (borderSides_.Contains(TQclFrameSide::fsLeft)) sides |= BF_LEFT;
                RECT rc = ToRECT(r);
                DrawEdge(canvas->Handle(), &rc, edges[static_cast<int>(edgeStyle_)], sides);
                r = InflateRect(r, -2, -2);
            }
            break;
        case TQclBevelMode::bmWindows:
            QclDrawStdFrame(canvas, r, TQclBorderStyle::lsLoweredExt, 0);
            break;
    }
    BorderRing(canvas, r, borderInnerWidth_, borderColor_, transparent);
    innerRect = r;
}

// ---------------------------------------------------------------- button faces

namespace {

// What every look's drawing function is given.
struct FaceParts {
    TCanvas* canvas;
    TQclUserButtonStyle style;
    TQclButtonState state;
    uint16_t flags;
    TColor color;
    bool pressed;
    bool explorer;
};

void DrawDefaultFrame(const FaceParts& f, TRect& rect, uint16_t& flags) {
    RECT rc = ToRECT(rect);
    DrawEdge(f.canvas->Handle(), &rc, BDR_SUNKENOUTER, BF_SOFT | BF_TOPLEFT | ((flags & qclFaceMiddle) ? BF_MIDDLE : 0));
    DrawEdge(f.canvas->Handle(), &rc, BDR_RAISEDOUTER, BF_BOTTOMRIGHT);
    if (f.style == TQclUserButtonStyle::ubsWin31 && (flags & qclFaceRoundCorners)) {
        Corners(f.canvas, rect);
        flags &= ~qclFaceRoundCorners;
    }
    rect = InflateRect(rect, -1, -1);
}

void DrawWin31Face(const FaceParts& f, TRect& rect, TRect& content) {
    RECT rc = ToRECT(rect);
    DrawEdge(f.canvas->Handle(), &rc, BDR_SUNKENOUTER, BF_SOFT | BF_TOPLEFT);
    DrawEdge(f.canvas->Handle(), &rc, BDR_RAISEDOUTER, BF_BOTTOMRIGHT);
    if (f.flags & qclFaceRoundCorners) Corners(f.canvas, rect);
    rect = InflateRect(rect, -1, -1);
    if (f.pressed) {
        RECT in = ToRECT(rect);
        DrawEdge(f.canvas->Handle(), &in, BDR_SUNKENINNER, BF_TOPLEFT);
    } else {
        Edge(f.canvas, rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        Edge(f.canvas, rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    }
    content = InflateRect(content, -1, -1);
}

void DrawWin40SpeedFace(const FaceParts& f, TRect& rect) {
    if (!f.pressed) QclDrawStdFrame(f.canvas, rect, TQclBorderStyle::lsRaisedspb, BF_RECT);
    else if (f.flags & qclFaceSunkenEdge) Edge(f.canvas, rect, EDGE_SUNKEN, BF_RECT);
    else QclDrawStdFrame(f.canvas, rect, TQclBorderStyle::lsLowered, BF_RECT);
}

void DrawWin40Face(const FaceParts& f, TRect& rect) {
    TCanvas* c = f.canvas;
    if (f.pressed) {
        c->Pen()->SetStyle(TPenStyle::psSolid);
        c->Pen()->SetColor(clBlack);
        c->Rectangle(rect);
        rect = InflateRect(rect, -1, -1);
        c->Pen()->SetColor(ColorRGB(128, 128, 128));
        c->Rectangle(rect);
        rect = InflateRect(rect, 1, 1);
        c->Pen()->SetColor(clBlack);
    } else if (f.flags & qclFaceDefault) {
        Edge(c, rect, BDR_RAISEDOUTER, BF_SOFT | BF_ADJUST | BF_RECT);
        Edge(c, rect, BDR_RAISEDINNER, BF_ADJUST | BF_BOTTOMRIGHT);
    } else {
        QclDrawStdFrame(c, rect, TQclBorderStyle::lsRaisedspb, BF_RECT);
    }
}

void DrawFlatFace(const FaceParts& f, TRect& rect) {
    bool over = f.state == TQclButtonState::bsMouseOver;
    if ((f.style == TQclUserButtonStyle::ubsClassicFlat || f.style == TQclUserButtonStyle::ubsNavigator) &&
        (f.pressed || over)) {
        f.canvas->Rectangle(rect);
        rect = InflateRect(rect, -1, -1);
    }
    if (f.pressed) {
        Edge(f.canvas, rect, BDR_SUNKENOUTER, BF_ADJUST | BF_RECT);
    } else if (over) {
        Edge(f.canvas, rect, BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
    } else if (!f.explorer) {
        f.canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        f.canvas->Brush()->SetColor(f.color);
        f.canvas->FillRect(rect);
    }
}

void DrawClassicSpeedFace(const FaceParts& f, TRect& rect) {
    TCanvas* c = f.canvas;
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetBitmap(nullptr);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    c->Rectangle(rect);
    if (f.pressed) {
        c->Pen()->SetColor(ColorRGB(128, 128, 128));
        c->MoveTo(rect.Left + 1, rect.Top + 1);
        c->LineTo(rect.Right - 1, rect.Top + 1);
        c->MoveTo(rect.Left + 1, rect.Top + 1);
        c->LineTo(rect.Left + 1, rect.Bottom - 1);
    } else {
        TRect in = InflateRect(rect, -1, -1);
        Edge(c, in, BDR_RAISEDINNER, BF_ADJUST | BF_RECT);
    }
}

// The brush stays as it filled: the held-down faces fill their frames'
// interiors with the same dither.
void FillFaceBackground(const FaceParts& f, const TRect& rect, bool patterned) {
    TCanvas* c = f.canvas;
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    if (patterned) c->Brush()->SetBitmap(PatternBitmap(f.color));
    else c->Brush()->SetColor(f.color);
    c->FillRect(rect);
}

}  // namespace

bool QclDrawButtonFace(TCanvas* canvas, bool mouseInside, TRect& rect, TQclUserButtonStyle style,
                       TQclButtonState state, uint16_t flags, TColor color) {
    style = QclResolveButtonStyle(style, QclNewStyleControls());
    TQclFaceLook look = QclButtonFaceLook(style, flags);
    bool pressed = QclIsPressed(state);
    bool explorer = style == TQclUserButtonStyle::ubsExplorer || style == TQclUserButtonStyle::ubsExplorerColored;
    FaceParts f{canvas, style, state, flags, color, pressed, explorer};
    if (!explorer) FillFaceBackground(f, rect, state == TQclButtonState::bsDown && !(look == qflFlat && mouseInside));
    if (!pressed && (flags & (qclFaceDefault | qclFaceFocusedFrame))) DrawDefaultFrame(f, rect, flags);
    f.flags = flags;
    TRect content = rect;
    switch (look) {
        case qflWin31: DrawWin31Face(f, rect, content); break;
        case qflWin40Speed: DrawWin40SpeedFace(f, rect); break;
        case qflWin40: DrawWin40Face(f, rect); break;
        case qflFlat: DrawFlatFace(f, rect); break;
        case qflClassicSpeed: DrawClassicSpeedFace(f, rect); break;
    }
    if (flags & qclFaceDefault) {
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        int in = pressed ? 4 : 3;
        canvas->DrawFocusRect(InflateRect(content, -in, -in));
    }
    // The dither belongs to this face alone: the caller's brush is plain.
    if (canvas->Brush()->Bitmap() != nullptr) {
        canvas->Brush()->SetBitmap(nullptr);
        canvas->Brush()->SetColor(color);
    }
    rect = InflateRect(content, -3, -3);
    if (pressed) rect = OffsetRect(rect, 1, 1);
    return true;
}

// ---------------------------------------------------------------- arrow

void QclDrawArrow(TCanvas* canvas, int x, int y, int size, TColor color, bool down, bool enabled) {
    if (size < 2 || size > 15) return;
    auto draw = [&](int dx, TColor c) {
        canvas->Pen()->SetWidth(1);
        canvas->Pen()->SetStyle(TPenStyle::psSolid);
        canvas->Pen()->SetColor(c);
        // Each row is drawn with both of its end points.
        for (const TQclArrowRow& row : QclArrowRows(x + dx, y + dx, size, down)) {
            canvas->MoveTo(row.x1, row.y);
            canvas->LineTo(row.x2 + 1, row.y);
        }
    };
    if (!enabled) {
        draw(1, clHighlightText);
        draw(0, clGrayText);
    } else {
        draw(0, color);
    }
}

// ---------------------------------------------------------------- glyph and text

void QclDrawGlyphText(TCanvas* canvas, const std::string& text, TQcl3DCaption* caption, const TRect& rect,
                      TCanvas* glyphCanvas, TRect& glyphRect, TCanvas* maskCanvas, TColor transparentColor,
                      TQclGlyphTextLayout* layout, bool multiLine, bool showAccelChar, bool transparent,
                      uint16_t flags, unsigned format) {
    TQclGlyphTextLayout defaults;
    const TQclGlyphTextLayout& l = layout != nullptr ? *layout : defaults;
    bool hasGlyph = glyphCanvas != nullptr && !IsRectEmpty(glyphRect);
    bool hasText = !text.empty();
    TRect measured;
    if (hasText) {
        measured = Rect(0, 0, std::abs(rect.Width()), 0);
        QclMeasureText(text, caption, measured, canvas->Font(), multiLine, showAccelChar, 0, format);
    }
    TQclGlyphTextPlacement p = QclLayoutGlyphText(rect, measured, hasText, {glyphRect.Width(), glyphRect.Height()},
                                                  hasGlyph, l, multiLine, flags);
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    format |= DT_WORDBREAK | DT_EXPANDTABS;
    if (multiLine) format |= QclAlignmentToDrawText(l.Alignment());
    if (!showAccelChar) format |= DT_NOPREFIX;
    if (!(flags & qclGtMeasureOnly)) QclDraw3DText(canvas, text, caption, p.textRect, format, flags, nullptr);

    auto* button = dynamic_cast<TQclButtonLayout*>(layout);
    bool enabled = (flags & qclGtEnabled) != 0;
    if (p.textArrow)
        QclDrawArrow(canvas, p.textArrowPos.x, p.textArrowPos.y, button->ArrowSize(), button->ArrowColor(), true,
                     enabled);
    if (hasGlyph && !(flags & qclGtMeasureOnly)) {
        TRect drawn;
        TRect target = Bounds(p.glyphRect.Left, p.glyphRect.Top, glyphRect.Width(), glyphRect.Height());
        if (!transparent) {
            QclDrawBitmapExt(canvas, target, glyphCanvas, glyphRect, 0, transparentColor, nullptr, nullptr, drawn);
        } else if (maskCanvas == nullptr) {
            QclDrawBitmapExt(canvas, target, glyphCanvas, glyphRect, qclBmpMaskFromColor, transparentColor, nullptr,
                             nullptr, drawn);
        } else {
            QclDrawBitmapExt(canvas, target, glyphCanvas, glyphRect, qclBmpMaskCanvas, transparentColor, nullptr,
                             maskCanvas, drawn);
        }
    }
    if (p.glyphArrow)
        QclDrawArrow(canvas, p.glyphArrowPos.x, p.glyphArrowPos.y, button->ArrowSize(), button->ArrowColor(), true,
                     enabled);
    glyphRect = p.focusRect;
}

}  // namespace treskel

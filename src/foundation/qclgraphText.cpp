// 3D, shadowed and turned captions: drawing and measuring.
#include <algorithm>
#include <memory>

#include "foundation/qclgraphDraw.h"

namespace treskel {

namespace {

enum class TextKind { Plain, Shifted, Turned };

const std::string kBlank = " ";

TextKind KindOf(TQcl3DCaption* caption) {
    auto* fx = dynamic_cast<TQclFxCaption*>(caption);
    if (fx == nullptr) return TextKind::Plain;
    return fx->Angle() == 0 ? TextKind::Shifted : TextKind::Turned;
}

int DrawTextOn(HDC dc, const std::string& text, TRect& r, unsigned format) {
    RECT rc = ToRECT(r);
    int h = DrawTextExA(dc, const_cast<char*>(text.c_str()), static_cast<int>(text.size()), &rc, format, nullptr);
    r = FromRECT(rc);
    return h;
}

// Keeps the clip region of a context and puts it back.
class ClipSaver {
public:
    explicit ClipSaver(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
        hadClip_ = GetClipRgn(dc, saved_.Get()) == 1;
    }
    ~ClipSaver() { SelectClipRgn(dc_, hadClip_ ? saved_.Get() : nullptr); }
    ClipSaver(const ClipSaver&) = delete;
    ClipSaver& operator=(const ClipSaver&) = delete;

private:
    HDC dc_;
    GdiHandle<HRGN> saved_;
    bool hadClip_ = false;
};

// A screen context with a font selected, for measuring.
class ScreenFontDC {
public:
    explicit ScreenFontDC(TFont* font) : screen_(nullptr), select_(screen_.Get(), font->Handle()) {}
    HDC Get() const { return screen_.Get(); }

private:
    WindowDC screen_;
    SelectGuard select_;
};

}  // namespace

void QclDraw3DText(TCanvas* canvas, const std::string& text, TQcl3DCaption* caption, TRect rect, unsigned format,
                   uint16_t flags, const TRect* clipRect) {
    if (text.empty() || IsRectEmpty(rect)) return;
    HDC dc = canvas->Handle();
    if (caption == nullptr) {
        DrawTextOn(dc, text, rect, format);
        return;
    }
    TextKind kind = KindOf(caption);
    auto* fx = dynamic_cast<TQclFxCaption*>(caption);

    std::unique_ptr<ClipSaver> clip;
    if (flags & qclTextClip) {
        clip = std::make_unique<ClipSaver>(dc);
        RECT c = ToRECT(clipRect != nullptr ? *clipRect : rect);
        GdiHandle<HRGN> rgn(CreateRectRgnIndirect(&c));
        ExtSelectClipRgn(dc, rgn.Get(), RGN_AND);
    }

    // Style and face colour; a disabled caption is grey and may be sunken.
    TQclThreeDStyle style = caption->Style();
    TQcl3DTextPlan plan;
    TColor face;
    bool enabled = (flags & qclTextEnabled) != 0 || caption->DisabledStyle() == TQclDisabledStyle::dsNone;
    if (enabled) {
        plan = QclPlan3DText(style, caption->LightDepth(), caption->ShadowDepth());
        face = plan.faceInBrushColour ? canvas->Brush()->Color() : canvas->Font()->Color();
    } else {
        switch (caption->DisabledStyle()) {
            case TQclDisabledStyle::dsAuto:
                if (flags & qclTextSunkenDisabled) style = TQclThreeDStyle::tdSunken;
                break;
            case TQclDisabledStyle::ds3d: style = TQclThreeDStyle::tdSunken; break;
            default: break;
        }
        plan = QclPlan3DText(style, caption->LightDepth(), caption->ShadowDepth());
        face = clGrayText;
    }

    TRect t = rect;
    if (kind != TextKind::Plain) t = Rect(rect.Left + fx->PosX(), rect.Top + fx->PosY(), rect.Right, rect.Bottom);

    // A turned caption draws with a turned copy of the canvas font; the
    // canvas gets its own font back afterwards.
    GdiHandle<HFONT> turned;
    std::unique_ptr<SelectGuard> selectTurned;
    if (kind == TextKind::Turned) {
        LOGFONTA lf{};
        GetObjectA(canvas->Font()->Handle(), sizeof lf, &lf);
        lf.lfEscapement = lf.lfOrientation = fx->Angle() * 10;
        turned.Reset(CreateFontIndirectA(&lf));
        selectTurned = std::make_unique<SelectGuard>(dc, turned.Get());
    }
    if (caption->Tracing() != 0) SetTextCharacterExtra(dc, caption->Tracing());

    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    COLORREF oldText = GetTextColor(dc);
    t.Right -= plan.rightReduce;
    int at = 0;
    for (const TQclTextPass& pass : plan.passes) {
        TColor c = pass.kind == TQclTextPass::Light  ? caption->LightColor()
                   : pass.kind == TQclTextPass::Shadow ? caption->ShadowColor()
                                                       : face;
        SetTextColor(dc, ColorToRGB(c));
        t = OffsetRect(t, pass.offset - at, pass.offset - at);
        at = pass.offset;
        if (kind == TextKind::Turned) {
            ExtTextOutA(dc, t.Left, t.Top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        } else {
            TRect r = t;
            DrawTextOn(dc, text, r, format);
        }
    }
    SetTextColor(dc, oldText);
    if (caption->Tracing() != 0) SetTextCharacterExtra(dc, 0);
}

void QclCalcTextRect(TCanvas*, const std::string& text, TQcl3DCaption* caption, TRect& rect, TFont* font,
                     bool multiLine, bool showAccelChar, int extra, unsigned format) {
    TextKind kind = caption != nullptr ? KindOf(caption) : TextKind::Plain;
    auto* fx = dynamic_cast<TQclFxCaption*>(caption);
    if (kind == TextKind::Shifted) fx->SetPos(0, 0);
    ScreenFontDC sdc(font);
    HDC dc = sdc.Get();
    int tracing = caption != nullptr ? caption->Tracing() : 0;
    if (tracing != 0) SetTextCharacterExtra(dc, tracing);
    TQcl3DTextPlan plan;
    if (caption != nullptr) plan = QclPlan3DText(caption->Style(), caption->LightDepth(), caption->ShadowDepth());
    if (kind != TextKind::Turned) {
        format |= DT_CALCRECT | DT_EXPANDTABS;
        if (multiLine) format |= DT_WORDBREAK;
        if (!showAccelChar) format |= DT_NOPREFIX;
        // An empty caption still has the height of one line.
        bool blank = text.empty() || (showAccelChar && text == "&");
        const std::string& measured = blank ? kBlank : text;
        DrawTextOn(dc, measured, rect, format);
        if (caption != nullptr) {
            rect.Right += plan.extra;
            rect.Bottom += plan.extra;
        }
    } else {
        SIZE s{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &s);
        TQclTurnedText tt =
            QclTurnText(s.cx, s.cy, fx->Angle(), caption->Style(), caption->LightDepth(), caption->ShadowDepth());
        rect = tt.bounds;
        fx->SetPosX(tt.posX);
        fx->SetPosY(tt.posY);
    }
    if (tracing != 0) SetTextCharacterExtra(dc, 0);
    rect.Right += 2 * (extra + 1);
    rect.Bottom += 2 * (extra + 1);
}

void QclMeasureText(const std::string& text, TQcl3DCaption* caption, TRect& rect, TFont* font, bool multiLine,
                    bool showAccelChar, int extra, unsigned format) {
    TCanvas canvas;
    QclCalcTextRect(&canvas, text, caption, rect, font, multiLine, showAccelChar, extra, format);
}

TRect QclCalcAlignedTextRect(TQclAlignment alignment, const std::string& text, TQcl3DCaption* caption,
                             const TRect& rect, TFont* font, bool multiLine, bool showAccelChar, unsigned format) {
    TRect m = rect;
    m.Right -= 1;
    QclMeasureText(text, caption, m, font, multiLine, showAccelChar, 0, format);
    return QclAlignRect(alignment, m, rect);
}

bool QclIsTrueTypeFont(TFont* font) {
    ScreenFontDC dc(font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.Get(), &tm);
    return (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

bool QclIsTrueTypeCanvas(TCanvas* canvas) {
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas->Handle(), &tm);
    return (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

int QclGetFontHeight(TFont* font) {
    ScreenFontDC dc(font);
    SIZE s{};
    if (!GetTextExtentPointA(dc.Get(), "W", 1, &s)) return 0;
    return s.cy;
}

int QclGet3DFontHeight(TQcl3DCaption* caption, TFont* font) {
    int h = QclGetFontHeight(font);
    if (caption != nullptr) h += QclPlan3DText(caption->Style(), caption->LightDepth(), caption->ShadowDepth()).extra;
    return h;
}

}  // namespace treskel

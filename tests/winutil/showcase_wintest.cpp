// A form holding each control of the drawing foundation, the combo boxes
// and the speed buttons, with bevels, frames, 3D text and button faces
// painted on it.  Set TRESKEL_SHOWCASE_SECONDS to keep it on screen.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/qclextcS.h"
#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/Menus.h"
#include "support/GuiTest.h"
#include "winutil/WuCtrls.h"

using namespace treskel;
using namespace treskel::test;

namespace {

std::unique_ptr<TBitmap> ArrowGlyph(bool up) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    QclDrawArrow(b->Canvas(), 3, up ? 5 : 6, 5, clNavy, !up, true);
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(6, up ? 10 : 2, 10, up ? 14 : 6));
    return b;
}

void PaintSamples(TCanvas* c) {
    c->Font()->SetName("Arial");
    c->Font()->SetSize(9);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 90, 640, 420));
    auto label = [&](int x, int y, const std::string& s) {
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->Font()->SetColor(clBlack);
        c->TextOut(x, y, s);
    };
    // Bevels.
    int x = 10;
    auto bevel = [&](const char* name, const std::function<void(TQclBevel&)>& setup) {
        TQclBevel b;
        b.SetBorderColor(clSilver);
        setup(b);
        TRect inner;
        b.PaintBevel(c, Rect(x, 100, x + 70, 150), false, inner);
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
        c->Brush()->SetColor(clWindow);
        c->FillRect(inner);
        label(x, 152, name);
        x += 80;
    };
    bevel("raised+lowered", [](TQclBevel& b) {
        b.SetStyleOuter(TQclBevelStyle::bvRaised);
        b.SetStyleInner(TQclBevelStyle::bvLowered);
        b.SetWidthOuter(2);
        b.SetBorderWidth(3);
    });
    bevel("shadow", [](TQclBevel& b) {
        b.SetStyleOuter(TQclBevelStyle::bvShadow);
        b.SetWidthOuter(4);
        b.SetWidthInner(1);
        b.SetLightColor(clNavy);
        b.SetShadowColor(clGray);
    });
    bevel("frame", [](TQclBevel& b) {
        b.SetStyleOuter(TQclBevelStyle::bvFrameLowered);
        b.SetWidthOuter(2);
    });
    bevel("edge bump", [](TQclBevel& b) {
        b.SetMode(TQclBevelMode::bmEdge);
        b.SetEdgeStyle(TQclEdgeStyle::etBump);
    });
    bevel("std lsWindowBorder", [](TQclBevel& b) {
        b.SetMode(TQclBevelMode::bmStandard);
        b.SetStandardStyle(TQclBorderStyle::lsWindowBorder);
    });
    bevel("windows", [](TQclBevel& b) { b.SetMode(TQclBevelMode::bmWindows); });
    // 3D text.
    c->Font()->SetSize(16);
    c->Font()->SetStyle({TFontStyle::fsBold});
    int ty = 175;
    auto text3d = [&](TQclThreeDStyle style, const char* s, int tx) {
        TQcl3DCaption cap;
        cap.SetStyle(style);
        cap.SetShadowDepth(2);
        c->Font()->SetColor(clNavy);
        QclDraw3DText(c, s, &cap, Rect(tx, ty, tx + 200, ty + 40), DT_LEFT | DT_SINGLELINE, qclTextEnabled);
    };
    text3d(TQclThreeDStyle::tdSunken, "Sunken", 10);
    text3d(TQclThreeDStyle::tdRaisedShadow, "Raised shadow", 120);
    text3d(TQclThreeDStyle::tdShadow, "Shadow", 290);
    {
        TQclFxCaption fx;
        fx.SetAngle(90);
        fx.SetStyle(TQclThreeDStyle::tdRaised);
        TRect r;
        QclCalcTextRect(c, "Turned", &fx, r, c->Font(), false, true, 0, 0);
        QclDraw3DText(c, "Turned", &fx, Bounds(590, 100, r.Width(), r.Height()), 0, qclTextEnabled);
    }
    c->Font()->SetStyle({});
    c->Font()->SetSize(9);
    // Button faces.
    int fx = 10;
    auto face = [&](TQclUserButtonStyle style, TQclButtonState state, uint16_t flags, const char* name) {
        TRect r = Rect(fx, 230, fx + 60, 255);
        QclDrawButtonFace(c, state == TQclButtonState::bsMouseOver, r, style, state, flags, clBtnFace);
        label(fx, 257, name);
        fx += 70;
    };
    face(TQclUserButtonStyle::ubsWin40, TQclButtonState::bsUp, 5, "Win40 up");
    face(TQclUserButtonStyle::ubsWin40, TQclButtonState::bsDown, 5, "Win40 down");
    face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, 3, "Win31 def");
    face(TQclUserButtonStyle::ubsClassic, TQclButtonState::bsUp, 5, "Classic");
    face(TQclUserButtonStyle::ubsFlat, TQclButtonState::bsMouseOver, 5, "Flat hot");
    face(TQclUserButtonStyle::ubsClassicFlat, TQclButtonState::bsPushed, 5, "ClassicFlat");
    // Glyph and caption with a drop-down arrow.
    auto glyph = ArrowGlyph(true);
    TQclButtonLayout layout;
    layout.SetArrow(true);
    TRect r = Rect(440, 230, 600, 260);
    TRect content = r;
    QclDrawButtonFace(c, false, content, TQclUserButtonStyle::ubsWin40, TQclButtonState::bsUp, 5, clBtnFace);
    TRect g = Rect(0, 0, 16, 16);
    c->Font()->SetColor(clBlack);
    QclDrawGlyphText(c, "Glyph text", nullptr, content, glyph->Canvas(), g, nullptr, clFuchsia, &layout, false, true,
                     true, qclGtEnabled, 0);
    // Standard frames in a row.
    int sx = 10;
    for (TQclBorderStyle s : {TQclBorderStyle::lsSingle, TQclBorderStyle::lsLowered, TQclBorderStyle::lsRaised,
                              TQclBorderStyle::lsRaisedspb, TQclBorderStyle::lsFrameInset,
                              TQclBorderStyle::lsFrameOffset, TQclBorderStyle::lsDoubleRaised,
                              TQclBorderStyle::lsDoubleLowered}) {
        TRect fr = Rect(sx, 280, sx + 60, 310);
        QclDrawStdFrame(c, fr, s, 0);
        sx += 70;
    }
}

}  // namespace

TEST(Showcase, FormWithEachControl) {
    auto form = MakeForm<TForm>();
    form->SetCaption("Drawing foundation, combo boxes and speed buttons");
    form->SetBounds(20, 20, 660, 460);
    form->SetColor(clBtnFace);
    form->OnPaint = [&](TObject*) { PaintSamples(form->Canvas()); };

    auto* colors = Create<TQclColorComboBox>(form.get());
    colors->SetParent(form.get());
    colors->SetBounds(10, 10, 150, 25);
    colors->Loaded();
    colors->SetItemIndex(9);
    auto* swatch = Create<TQclColorComboBox>(form.get());
    swatch->SetParent(form.get());
    swatch->SetBounds(170, 10, 60, 25);
    swatch->SetDisplayStyle(TQclColorCBStyle::csColor);
    swatch->SetFlat(true);
    swatch->Loaded();
    swatch->SetItemIndex(12);
    auto* fonts = Create<TQclFontComboBox>(form.get());
    fonts->SetParent(form.get());
    fonts->SetBounds(240, 10, 160, 25);
    fonts->Loaded();
    auto* sizes = Create<TQclFontSizeComboBox>(form.get());
    sizes->SetParent(form.get());
    sizes->SetBounds(410, 10, 50, 25);
    sizes->Loaded();
    sizes->SetFontCombo(fonts);
    fonts->SetFontName("Arial");
    if (fonts->ItemIndex() < 0 && fonts->Items()->Count() > 0) fonts->SetFontName(fonts->Items()->Get(0));
    sizes->SetFontSize(12);
    auto* list = Create<TListBox>(form.get());
    list->SetParent(form.get());
    list->SetBounds(470, 10, 170, 70);
    list->Items()->SetText("List box\r\nsecond line\r\nthird line\r\n");
    list->SetItemIndex(1);

    auto up = ArrowGlyph(true), down = ArrowGlyph(false);
    auto* menu = Create<TPopupMenu>(form.get());
    int bx = 10;
    auto button = [&](const std::function<void(TWuSpeedButton*)>& setup) {
        auto* b = Create<TWuSpeedButton>(form.get());
        b->SetParent(form.get());
        b->SetBounds(bx, 45, 25, 25);
        setup(b);
        bx += b->Width() + 6;
        return b;
    };
    button([&](TWuSpeedButton* b) { b->SetGlyph(up.get()); });
    button([&](TWuSpeedButton* b) {
        b->SetGlyph(down.get());
        b->SetFlat(true);  // SpeedUp/SpeedDown of the main window
    });
    button([&](TWuSpeedButton* b) {
        b->SetGlyph(up.get());
        b->SetGroupIndex(1);
        b->SetDown(true);
    });
    button([&](TWuSpeedButton* b) {
        b->SetGlyph(down.get());
        b->SetEnabled(false);
    });
    button([&](TWuSpeedButton* b) {
        b->SetWidth(80);
        b->SetCaption("Caption");
        b->SetGlyph(up.get());
        b->SetLayout(TButtonLayout::blGlyphLeft);
    });
    button([&](TWuSpeedButton* b) {
        b->SetWidth(90);
        b->SetCaption("Menu");
        b->SetDropDownMenu(menu);
        b->SetLayout(TButtonLayout::blGlyphLeft);
    });
    button([&](TWuSpeedButton* b) {
        b->SetWidth(60);
        b->SetCaption("A caption far too long");
    });

    form->Show();
    PumpMessages();
    form->Repaint();
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_EQ(colors->Text(), "clRed");
    EXPECT_EQ(sizes->Text(), "12");
    if (const char* s = std::getenv("TRESKEL_SHOWCASE_SECONDS")) HoldOnScreen(std::atoi(s) * 1000);
}

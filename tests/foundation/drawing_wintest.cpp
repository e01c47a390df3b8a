// The drawing procedures on memory bitmaps: the pixels they set and the
// rectangles they hand back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/qclgraphDraw.h"

using namespace treskel;

namespace {

std::unique_ptr<TBitmap> WhiteBitmap(int w, int h) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(TPixelFormat::pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

TColor At(TBitmap& b, int x, int y) { return b.Canvas()->Pixel(x, y) & 0xFFFFFF; }

TColor Sys(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

int Count(TBitmap& b, TColor c) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (At(b, x, y) == c) ++n;
    return n;
}

// The smallest rectangle holding every pixel of a colour.
TRect BoundsOf(TBitmap& b, TColor c) {
    TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (At(b, x, y) == c) {
                r.Left = std::min(r.Left, x);
                r.Top = std::min(r.Top, y);
                r.Right = std::max(r.Right, x + 1);
                r.Bottom = std::max(r.Bottom, y + 1);
            }
    return r;
}

// Every pixel of a rectangle has the colour.
bool Filled(TBitmap& b, const TRect& r, TColor c) {
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (At(b, x, y) != c) return false;
    return true;
}

}  // namespace

TEST(DrawFrames, LoweredBevelOfWidthOne) {
    auto b = WhiteBitmap(12, 12);
    TRect r = Rect(0, 0, 10, 10);
    EXPECT_TRUE(QclDrawBevelStyle(b->Canvas(), r, TQclBevelStyle::bvLowered, clRed, clBlue, 1));
    EXPECT_EQ(r, Rect(1, 1, 9, 9));
    EXPECT_TRUE(Filled(*b, Rect(0, 0, 1, 10), clBlue));   // column 0
    EXPECT_TRUE(Filled(*b, Rect(0, 0, 9, 1), clBlue));    // row 0
    EXPECT_TRUE(Filled(*b, Rect(9, 0, 10, 10), clRed));   // column 9
    EXPECT_TRUE(Filled(*b, Rect(1, 9, 10, 10), clRed));   // row 9 but its first pixel
    EXPECT_EQ(At(*b, 0, 9), clBlue);
    EXPECT_TRUE(Filled(*b, Rect(1, 1, 9, 9), clWhite));
    EXPECT_EQ(Count(*b, clWhite), 144 - 36);
}

TEST(DrawFrames, NothingForNoStyleOrNoWidth) {
    auto b = WhiteBitmap(10, 10);
    for (auto [style, width] : {std::pair{TQclBevelStyle::bvNone, 3}, std::pair{TQclBevelStyle::bvShadow, 3},
                                std::pair{TQclBevelStyle::bvRaised, 0}}) {
        TRect r = Rect(0, 0, 10, 10);
        EXPECT_FALSE(QclDrawBevelStyle(b->Canvas(), r, style, clRed, clBlue, width));
        EXPECT_EQ(r, Rect(0, 0, 10, 10));
    }
    EXPECT_EQ(Count(*b, clWhite), 100);
}

TEST(DrawFrames, WideRaisedBevelAndEtchedFrame) {
    auto b = WhiteBitmap(30, 20);
    TRect r = Rect(0, 0, 30, 20);
    QclDrawBevelStyle(b->Canvas(), r, TQclBevelStyle::bvRaised, clRed, clBlue, 3);
    EXPECT_EQ(r, Rect(3, 3, 27, 17));
    EXPECT_TRUE(Filled(*b, Rect(0, 0, 26, 3), clRed));     // light on top
    EXPECT_TRUE(Filled(*b, Rect(0, 0, 3, 16), clRed));     // and left
    EXPECT_TRUE(Filled(*b, Rect(27, 3, 30, 20), clBlue));  // shadow on the right
    EXPECT_TRUE(Filled(*b, Rect(3, 17, 30, 20), clBlue));  // and bottom, as wide as the light
    EXPECT_TRUE(Filled(*b, r, clWhite));
    // The corners where light meets shadow are painted through: nothing
    // but the rectangle left inside keeps the background.
    EXPECT_EQ(Count(*b, clWhite), r.Width() * r.Height());
    EXPECT_EQ(At(*b, 29, 0), clRed);
    EXPECT_EQ(At(*b, 0, 19), clRed);

    auto e = WhiteBitmap(20, 10);
    TRect er = Rect(0, 0, 20, 10);
    QclDrawBevelStyle(e->Canvas(), er, TQclBevelStyle::bvFrameRaised, clRed, clBlue, 1);
    EXPECT_EQ(er, Rect(2, 2, 18, 8));
    EXPECT_EQ(At(*e, 0, 0), clRed);
    EXPECT_EQ(At(*e, 1, 1), clBlue);
    EXPECT_EQ(At(*e, 19, 9), clBlue);
    EXPECT_TRUE(Filled(*e, er, clWhite));
}

TEST(DrawFrames, ShadowBevel) {
    auto b = WhiteBitmap(50, 30);
    TRect r = Rect(0, 0, 50, 30);
    QclDrawShadowBevel(b->Canvas(), r, clRed, clBlue, clLime, 3, 1, false);
    EXPECT_EQ(r, Rect(1, 1, 46, 26));
    EXPECT_TRUE(Filled(*b, Rect(47, 3, 50, 30), clBlue));
    EXPECT_TRUE(Filled(*b, Rect(3, 27, 50, 30), clBlue));
    EXPECT_TRUE(Filled(*b, Rect(47, 0, 50, 3), clLime));
    EXPECT_TRUE(Filled(*b, Rect(0, 27, 3, 30), clLime));
    EXPECT_TRUE(Filled(*b, Rect(0, 0, 47, 1), clRed));
    EXPECT_TRUE(Filled(*b, Rect(46, 0, 47, 27), clRed));
    EXPECT_TRUE(Filled(*b, Rect(1, 1, 46, 26), clWhite));

    // A transparent shadow leaves the corners beside it alone.
    auto t = WhiteBitmap(50, 30);
    TRect tr = Rect(0, 0, 50, 30);
    QclDrawShadowBevel(t->Canvas(), tr, clRed, clBlue, clLime, 3, 1, true);
    EXPECT_EQ(Count(*t, clLime), 0);
    EXPECT_TRUE(Filled(*t, Rect(47, 0, 50, 3), clWhite));
}

TEST(DrawFrames, StandardFramesLeaveWhatTheirGeometrySays) {
    for (int s = 0; s <= static_cast<int>(TQclBorderStyle::lsDoubleLowered); ++s) {
        auto style = static_cast<TQclBorderStyle>(s);
        auto b = WhiteBitmap(40, 30);
        TRect r = Rect(2, 3, 38, 27);
        EXPECT_TRUE(QclDrawStdFrame(b->Canvas(), r, style, 0));
        EXPECT_EQ(r, QclStdFrameInnerRect(Rect(2, 3, 38, 27), style)) << GetEnumInfo(style).names[s];
        // The frame stays outside the rectangle it leaves (the single
        // frame draws its bottom and right line inside, without adjusting).
        TRect inside = style == TQclBorderStyle::lsSingle ? Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1) : r;
        EXPECT_TRUE(Filled(*b, inside, clWhite)) << GetEnumInfo(style).names[s];
        if (style != TQclBorderStyle::lsNone) {
            EXPECT_LT(Count(*b, clWhite), 40 * 30);
        }
    }
}

TEST(DrawFrames, BevelPaintsIntoItsClientRectangle) {
    TQclBevel bevel;
    bevel.SetStyleOuter(TQclBevelStyle::bvRaised);
    bevel.SetStyleInner(TQclBevelStyle::bvLowered);
    bevel.SetWidthOuter(2);
    bevel.SetBorderWidth(3);
    bevel.SetBorderColor(clLime);
    bevel.SetLightColor(clRed);
    bevel.SetShadowColor(clBlue);
    auto b = WhiteBitmap(40, 40);
    TRect inner;
    bevel.PaintBevel(b->Canvas(), Rect(0, 0, 40, 40), false, inner);
    EXPECT_EQ(inner, bevel.GetClientRect(Rect(0, 0, 40, 40)));
    EXPECT_EQ(inner, Rect(6, 6, 34, 34));
    EXPECT_TRUE(Filled(*b, Rect(2, 2, 38, 5), clLime));   // the ring between the bevels
    EXPECT_EQ(At(*b, 5, 5), clBlue);                      // inner lowered bevel's top-left
    EXPECT_TRUE(Filled(*b, inner, clWhite));

    // A transparent bevel leaves its ring unpainted.
    auto t = WhiteBitmap(40, 40);
    bevel.PaintBevel(t->Canvas(), Rect(0, 0, 40, 40), true, inner);
    EXPECT_EQ(Count(*t, clLime), 0);

    // Nothing at all for a bevel without width.
    TQclBevel none;
    auto n = WhiteBitmap(10, 10);
    none.PaintBevel(n->Canvas(), Rect(1, 1, 9, 9), false, inner);
    EXPECT_EQ(inner, Rect(1, 1, 9, 9));
    EXPECT_EQ(Count(*n, clWhite), 100);
}

TEST(DrawFrames, EdgeModeMovesInByTwoWhateverTheSides) {
    TQclBevel bevel;
    bevel.SetMode(TQclBevelMode::bmEdge);
    bevel.SetBorderSides({TQclFrameSide::fsTop});
    auto b = WhiteBitmap(20, 20);
    TRect inner;
    bevel.PaintBevel(b->Canvas(), Rect(0, 0, 20, 20), false, inner);
    EXPECT_EQ(inner, Rect(2, 2, 18, 18));
    EXPECT_TRUE(Filled(*b, Rect(0, 2, 20, 20), clWhite));  // only the top edge was drawn
}

TEST(DrawArrow, PixelCountsAsStated) {
    auto b = WhiteBitmap(20, 20);
    QclDrawArrow(b->Canvas(), 5, 5, 3, clRed, true, true);
    EXPECT_EQ(Count(*b, clRed), 5 + 3 + 1);
    EXPECT_EQ(BoundsOf(*b, clRed), Rect(5, 5, 10, 8));

    auto u = WhiteBitmap(20, 20);
    QclDrawArrow(u->Canvas(), 5, 5, 3, clRed, false, true);
    EXPECT_EQ(Count(*u, clRed), 1 + 3 + 5);
    EXPECT_EQ(At(*u, 6, 5), clRed);  // the tip at (X + Size div 2, Y)

    auto n = WhiteBitmap(20, 20);
    QclDrawArrow(n->Canvas(), 5, 5, 16, clRed, true, true);
    QclDrawArrow(n->Canvas(), 5, 5, 1, clRed, true, true);
    EXPECT_EQ(Count(*n, clWhite), 400);
}

TEST(DrawBitmaps, CentredOpaqueAndTransparentCopies) {
    auto glyph = WhiteBitmap(16, 16);
    glyph->Canvas()->Brush()->SetColor(clFuchsia);
    glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(4, 4, 12, 12));

    auto opaque = WhiteBitmap(41, 30);
    TRect drawn;
    QclDrawBitmapExt(opaque->Canvas(), Rect(0, 0, 41, 30), glyph->Canvas(), Rect(0, 0, 16, 16), qclBmpCenter, clNone,
                     nullptr, nullptr, drawn);
    EXPECT_EQ(drawn, Rect(12, 7, 28, 23));
    EXPECT_EQ(BoundsOf(*opaque, clFuchsia), Rect(12, 7, 28, 23));

    auto masked = WhiteBitmap(41, 30);
    QclDrawBitmapExt(masked->Canvas(), Rect(0, 0, 41, 30), glyph->Canvas(), Rect(0, 0, 16, 16),
                     qclBmpCenter | qclBmpMaskFromColor, clFuchsia, nullptr, nullptr, drawn);
    EXPECT_EQ(Count(*masked, clFuchsia), 0);
    EXPECT_EQ(BoundsOf(*masked, clRed), Rect(16, 11, 24, 19));
    EXPECT_EQ(Count(*masked, clRed), 64);

    // The same through masks made beforehand and handed over as a canvas.
    TBitmap mask, image;
    QclMakeBitmapMasks(glyph.get(), &mask, &image, clFuchsia);
    auto viaCanvas = WhiteBitmap(41, 30);
    QclDrawBitmapExt(viaCanvas->Canvas(), Rect(0, 0, 41, 30), image.Canvas(), Rect(0, 0, 16, 16),
                     qclBmpCenter | qclBmpMaskCanvas, clNone, nullptr, mask.Canvas(), drawn);
    EXPECT_EQ(Count(*viaCanvas, clFuchsia), 0);
    EXPECT_EQ(Count(*viaCanvas, clRed), 64);

    // A mask flag without a mask canvas falls back to an opaque copy.
    auto fallback = WhiteBitmap(41, 30);
    QclDrawBitmapExt(fallback->Canvas(), Rect(0, 0, 41, 30), glyph->Canvas(), Rect(0, 0, 16, 16),
                     qclBmpCenter | qclBmpMaskCanvas, clNone, nullptr, nullptr, drawn);
    EXPECT_EQ(Count(*fallback, clFuchsia), 256 - 64);
}

TEST(DrawBitmaps, TilesAndEmptyPictures) {
    auto tile = WhiteBitmap(16, 16);
    tile->Canvas()->SetPixel(0, 0, clRed);
    auto b = WhiteBitmap(40, 20);
    TRect drawn;
    QclDrawBitmapExt(b->Canvas(), Rect(0, 0, 40, 20), tile->Canvas(), Rect(0, 0, 16, 16), qclBmpTile, clNone, nullptr,
                     nullptr, drawn);
    EXPECT_EQ(Count(*b, clRed), 6);  // the third column and second row reach past the rectangle
    EXPECT_EQ(At(*b, 32, 16), clRed);

    // A proportional stretch of an empty bitmap draws nothing and does not fail.
    TBitmap empty;
    auto target = WhiteBitmap(30, 30);
    QclDrawBitmapRect(target->Canvas(), Rect(0, 0, 30, 30), &empty, qclBmpStretch | qclBmpFitWidth | qclBmpFitHeight,
                      clNone, drawn);
    QclDrawBitmapExt(target->Canvas(), Rect(0, 0, 30, 30), tile->Canvas(), Rect(0, 0, 0, 0),
                     qclBmpStretch | qclBmpFitWidth, clNone, nullptr, nullptr, drawn);
    EXPECT_EQ(drawn, Rect(0, 0, 30, 30));
    EXPECT_EQ(Count(*target, clWhite), 900);

    // Clipped to the target: the tiles end at its edge.
    auto clipped = WhiteBitmap(40, 40);
    QclDrawBitmap(clipped->Canvas(), Rect(0, 0, 20, 20), tile.get(), qclBmpTile | qclBmpClip, 0, clNone);
    EXPECT_EQ(Count(*clipped, clRed), 4);
}

namespace {
// The palette and copy records of an enhanced metafile, in order.
int CALLBACK NoteRecord(HDC, HANDLETABLE*, const ENHMETARECORD* r, int, LPARAM data) {
    auto* out = reinterpret_cast<std::string*>(data);
    switch (r->iType) {
        case EMR_SELECTPALETTE: *out += "select "; break;
        case EMR_REALIZEPALETTE: *out += "realise "; break;
        case EMR_BITBLT:
        case EMR_STRETCHBLT: *out += "copy "; break;
        default: break;
    }
    return 1;
}

std::string PaletteRecords(TMetafile& mf) {
    std::string kinds;
    EnumEnhMetaFile(nullptr, mf.Handle(), NoteRecord, &kinds, nullptr);
    return kinds;
}
}  // namespace

TEST(DrawBitmaps, ThePaletteFlagPutsTheBitmapsPaletteInTheTargetWhileItIsDrawn) {
    TBitmap marks;  // 16 colours, with a colour table
    marks.LoadFromResourceID(GetModuleHandleA(nullptr), 16547);
    auto record = [&](const std::function<void(TCanvas*)>& draw) {
        TMetafile mf;
        {
            TMetafileCanvas canvas(&mf, nullptr);
            draw(&canvas);
        }
        return PaletteRecords(mf);
    };
    TRect drawn;
    // (Wine's recorder keeps the selections, not the realising.)
    EXPECT_EQ(record([&](TCanvas* c) { QclDrawBitmap(c, Rect(0, 0, 28, 10), &marks, qclBmpPalette, 0, clNone); }),
              "select copy select ");
    std::string brushCopy = record([&](TCanvas* c) {
        QclDrawBitmapRect(c, Rect(0, 0, 28, 10), &marks, qclBmpPalette | qclBmpBrushCopy, clWhite, drawn);
    });
    EXPECT_EQ(brushCopy.substr(0, 12), "select copy ");
    EXPECT_EQ(brushCopy.rfind("select "), brushCopy.size() - 7);
    EXPECT_EQ(record([&](TCanvas* c) { QclDrawBitmap(c, Rect(0, 0, 28, 10), &marks, 0, 0, clNone); }), "copy ");
    // A bitmap without a colour table has no palette to give.
    auto plain = WhiteBitmap(8, 8);
    EXPECT_EQ(record([&](TCanvas* c) { QclDrawBitmapRect(c, Rect(0, 0, 8, 8), plain.get(), qclBmpPalette, clNone, drawn); }),
              "copy ");
    // The target gets its own palette back.
    auto target = WhiteBitmap(28, 10);
    HDC dc = target->Canvas()->Handle();
    HGDIOBJ before = GetCurrentObject(dc, OBJ_PAL);
    QclDrawBitmapRect(target->Canvas(), Rect(0, 0, 28, 10), &marks, qclBmpPalette | qclBmpMaskFromColor,
                      marks.TransparentColor(), drawn);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), before);
    EXPECT_EQ(At(*target, 9, 9), clBlack);  // the foot of the black T
    EXPECT_EQ(At(*target, 0, 9), clWhite);  // transparent
}

TEST(DrawBitmaps, MasksFillsAndGlyphEffects) {
    TBitmap image;
    QclMakeMasks(nullptr, Rect(0, 0, 4, 4), nullptr, &image, clRed);  // nothing to do
    EXPECT_TRUE(image.Empty());

    TBitmap filled;
    QclFillBitmap(&filled, Rect(3, 3, 13, 8), clGreen);
    EXPECT_EQ(filled.Width(), 10);
    EXPECT_EQ(filled.Height(), 5);
    EXPECT_EQ(At(filled, 9, 4), clGreen);

    // A glyph all of its transparent colour comes out unchanged.
    auto plain = WhiteBitmap(8, 8);
    plain->Canvas()->Brush()->SetColor(clOlive);
    plain->Canvas()->FillRect(Rect(0, 0, 8, 8));
    TBitmap grey;
    QclMakeGrayedGlyph(&grey, plain.get());
    EXPECT_EQ(Count(grey, clOlive), 64);

    // Dark pixels of a glyph become black, light ones white, against the average.
    auto g = WhiteBitmap(4, 1);
    g->Canvas()->SetPixel(0, 0, clOlive);  // transparent (pixel 0, 0)
    g->Canvas()->SetPixel(1, 0, clBlack);
    g->Canvas()->SetPixel(2, 0, clWhite);
    g->Canvas()->SetPixel(3, 0, clWhite);
    QclMakeGrayedGlyph(&grey, g.get());
    EXPECT_EQ(At(grey, 0, 0), clOlive);
    EXPECT_EQ(At(grey, 1, 0), clBlack);
    EXPECT_EQ(At(grey, 2, 0), static_cast<TColor>(ColorToRGB(clBtnHighlight)));

    // The embossed glyph: the black pixels in highlight one pixel off, then in shadow.
    auto e = WhiteBitmap(6, 6);
    e->Canvas()->Brush()->SetColor(clFuchsia);
    e->Canvas()->FillRect(Rect(0, 0, 6, 6));
    e->Canvas()->SetPixel(2, 2, clBlack);
    auto dest = WhiteBitmap(6, 6);
    QclMakeEmbossedGlyph(dest.get(), e.get(), 0, 0);
    EXPECT_EQ(At(*dest, 2, 2), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(At(*dest, 3, 3), static_cast<TColor>(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(Count(*dest, clFuchsia), 34);
    // Dark grey outlines are embossed as black ones are; light pixels are not.
    e->Canvas()->SetPixel(2, 2, static_cast<TColor>(0x404040));
    e->Canvas()->SetPixel(4, 1, static_cast<TColor>(0xE0FFFF));
    QclMakeEmbossedGlyph(dest.get(), e.get(), 0, 0);
    EXPECT_EQ(At(*dest, 2, 2), static_cast<TColor>(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(At(*dest, 4, 1), clFuchsia);
    EXPECT_EQ(Count(*dest, clFuchsia), 34);
}

TEST(DrawText3D, PassesLandAtTheirOffsets) {
    auto reference = WhiteBitmap(120, 60);
    TCanvas* c = reference->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(20);
    c->Font()->SetColor(clBlack);
    TQcl3DCaption none;
    QclDraw3DText(c, "Hl", &none, Rect(10, 10, 110, 50), DT_LEFT | DT_SINGLELINE, qclTextEnabled);
    TRect face = BoundsOf(*reference, clBlack);
    ASSERT_LT(face.Left, face.Right);

    auto b = WhiteBitmap(120, 60);
    TCanvas* bc = b->Canvas();
    bc->Font()->Assign(c->Font());
    TQcl3DCaption caption;
    caption.SetStyle(TQclThreeDStyle::tdRaisedShadow);
    caption.SetLightDepth(1);
    caption.SetShadowDepth(2);
    caption.SetLightColor(clRed);
    caption.SetShadowColor(clBlue);
    QclDraw3DText(bc, "Hl", &caption, Rect(10, 10, 110, 50), DT_LEFT | DT_SINGLELINE, qclTextEnabled);
    EXPECT_EQ(BoundsOf(*b, clBlack), OffsetRect(face, 1, 1));
    TRect shadow = BoundsOf(*b, clBlue);
    EXPECT_EQ(shadow.Right, face.Right + 3);
    EXPECT_EQ(shadow.Bottom, face.Bottom + 3);
    TRect light = BoundsOf(*b, clRed);
    EXPECT_EQ(light.Left, face.Left);
    EXPECT_EQ(light.Top, face.Top);

    // Disabled with dsNone it looks exactly enabled.
    auto d = WhiteBitmap(120, 60);
    d->Canvas()->Font()->Assign(c->Font());
    caption.SetDisabledStyle(TQclDisabledStyle::dsNone);
    QclDraw3DText(d->Canvas(), "Hl", &caption, Rect(10, 10, 110, 50), DT_LEFT | DT_SINGLELINE, 0);
    EXPECT_EQ(BoundsOf(*d, clBlack), OffsetRect(face, 1, 1));
    EXPECT_EQ(BoundsOf(*d, clBlue), shadow);

    // Empty text or rectangle: nothing.
    auto n = WhiteBitmap(20, 20);
    QclDraw3DText(n->Canvas(), "", &caption, Rect(0, 0, 20, 20), 0, qclTextEnabled);
    QclDraw3DText(n->Canvas(), "x", &caption, Rect(5, 5, 5, 20), 0, qclTextEnabled);
    EXPECT_EQ(Count(*n, clWhite), 400);
}

// Drawing clipped to a rectangle leaves no ink outside it and no clip on
// the canvas; tracing spreads the letters and is taken off again; a
// disabled caption is sunken where it should be.
TEST(DrawText3D, ClipTracingAndTheSunkenDisabledLook) {
    auto draw = [](TQcl3DCaption& caption, uint16_t flags, const TRect* clip = nullptr) {
        auto b = WhiteBitmap(120, 60);
        b->Canvas()->Font()->SetName("Arial");
        b->Canvas()->Font()->SetSize(20);
        b->Canvas()->Font()->SetColor(clBlack);
        QclDraw3DText(b->Canvas(), "HH", &caption, Rect(10, 10, 110, 50), DT_LEFT | DT_SINGLELINE, flags, clip);
        return b;
    };
    TQcl3DCaption raised;
    raised.SetStyle(TQclThreeDStyle::tdRaisedShadow);
    raised.SetShadowColor(clBlue);
    auto whole = draw(raised, qclTextEnabled);
    const TRect face = BoundsOf(*whole, clBlack);
    ASSERT_LT(face.Left, face.Right);
    const TRect half = Rect(0, 0, (face.Left + face.Right) / 2, 60);
    auto clipped = draw(raised, qclTextEnabled | qclTextClip, &half);
    EXPECT_EQ(BoundsOf(*clipped, clBlack).Left, face.Left);
    EXPECT_LE(BoundsOf(*clipped, clBlack).Right, half.Right);
    EXPECT_GT(BoundsOf(*clipped, clBlack).Right, face.Left + 2);
    EXPECT_LE(BoundsOf(*clipped, clBlue).Right, half.Right);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(clipped->Canvas()->Handle(), probe), 0);  // no clip left
    DeleteObject(probe);
    // Without the flag the rectangle is not a clip.
    auto unclipped = draw(raised, qclTextEnabled, &half);
    EXPECT_EQ(BoundsOf(*unclipped, clBlack), face);

    TQcl3DCaption traced;
    traced.SetTracing(6);
    auto wide = draw(traced, qclTextEnabled);
    TQcl3DCaption flat;
    auto narrow = draw(flat, qclTextEnabled);
    EXPECT_EQ(BoundsOf(*wide, clBlack).Width(), BoundsOf(*narrow, clBlack).Width() + 6);
    EXPECT_EQ(GetTextCharacterExtra(wide->Canvas()->Handle()), 0);

    // Disabled: grey; sunken (a light copy below and right) with dsAuto
    // only when asked, with ds3d always, with dsStandard never.
    const TColor grey = Sys(clGrayText);
    flat.SetLightColor(clRed);
    flat.SetLightDepth(1);
    auto lightOf = [&](TQclDisabledStyle style, uint16_t flags) {
        flat.SetDisabledStyle(style);
        auto b = draw(flat, flags);
        EXPECT_EQ(BoundsOf(*b, grey), BoundsOf(*narrow, clBlack)) << static_cast<int>(style);
        return BoundsOf(*b, clRed);
    };
    // The light copy shows below and right of the face (the rest of it
    // lies under the face).
    const TRect sunken = OffsetRect(BoundsOf(*narrow, clBlack), 1, 1);
    auto isSunken = [&](const TRect& light) { return light.Right == sunken.Right && light.Bottom == sunken.Bottom; };
    EXPECT_TRUE(isSunken(lightOf(TQclDisabledStyle::dsAuto, qclTextSunkenDisabled)));
    EXPECT_TRUE(IsRectEmpty(lightOf(TQclDisabledStyle::dsAuto, 0)));
    EXPECT_TRUE(isSunken(lightOf(TQclDisabledStyle::ds3d, 0)));
    EXPECT_TRUE(IsRectEmpty(lightOf(TQclDisabledStyle::dsStandard, qclTextSunkenDisabled)));
}

TEST(DrawText3D, TurnedTextGivesTheCanvasItsFontBack) {
    auto b = WhiteBitmap(100, 100);
    TCanvas* c = b->Canvas();
    c->Font()->SetName("Arial");
    c->Font()->SetSize(14);
    HDC dc = c->Handle();
    HGDIOBJ before = GetCurrentObject(dc, OBJ_FONT);
    TQclFxCaption fx;
    fx.SetAngle(90);
    TRect r = Rect(0, 0, 0, 0);
    QclCalcTextRect(c, "Turn", &fx, r, c->Font(), false, true, 0, 0);
    EXPECT_GT(r.Height(), r.Width());  // a quarter turn stands the text up
    EXPECT_GT(fx.PosY(), 0);
    QclDraw3DText(c, "Turn", &fx, Rect(0, 0, 100, 100), 0, qclTextEnabled);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), before);
    LOGFONTA lf{};
    GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    EXPECT_EQ(lf.lfEscapement, 0);
    TRect ink = BoundsOf(*b, clBlack);
    EXPECT_GT(ink.Height(), ink.Width());
}

TEST(DrawText3D, MeasuringLeavesRoomForTheCopies) {
    TFont font;
    font.SetName("Arial");
    font.SetSize(10);
    TRect plain = Rect(0, 0, 200, 0);
    QclMeasureText("Measure", nullptr, plain, &font, false, true, 0, 0);
    TQcl3DCaption sunken;
    sunken.SetStyle(TQclThreeDStyle::tdSunken);
    TRect deep = Rect(0, 0, 200, 0);
    QclMeasureText("Measure", &sunken, deep, &font, false, true, 0, 0);
    EXPECT_EQ(deep.Width(), plain.Width() + 1);
    EXPECT_EQ(deep.Height(), plain.Height() + 1);
    // An empty caption has the height of a line; "&" with accelerators too.
    TRect empty = Rect(0, 0, 200, 0), amp = Rect(0, 0, 200, 0);
    QclMeasureText("", nullptr, empty, &font, false, true, 0, 0);
    QclMeasureText("&", nullptr, amp, &font, false, true, 0, 0);
    EXPECT_EQ(empty.Height(), plain.Height());
    EXPECT_EQ(amp, empty);
    EXPECT_EQ(QclGet3DFontHeight(&sunken, &font), QclGetFontHeight(&font) + 1);
    EXPECT_GT(QclGetFontHeight(&font), 8);
}

TEST(DrawButtons, Win40SpeedButtonFace) {
    auto b = WhiteBitmap(23, 22);
    TRect r = Rect(0, 0, 23, 22);
    EXPECT_TRUE(QclDrawButtonFace(b->Canvas(), false, r, TQclUserButtonStyle::ubsWin40, TQclButtonState::bsUp, 5,
                                  clLime));
    EXPECT_EQ(r, Rect(3, 3, 20, 19));
    EXPECT_TRUE(Filled(*b, Rect(3, 3, 20, 19), clLime));
    EXPECT_NE(At(*b, 22, 21), clLime);  // the frame

    auto p = WhiteBitmap(23, 22);
    TRect pr = Rect(0, 0, 23, 22);
    QclDrawButtonFace(p->Canvas(), false, pr, TQclUserButtonStyle::ubsWin40, TQclButtonState::bsDown, 5, clLime);
    EXPECT_EQ(pr, Rect(4, 4, 21, 20));
    // Held down: the dither of the colour and white.
    EXPECT_EQ(At(*p, 10, 11), clLime);
    EXPECT_EQ(At(*p, 10, 10), clWhite);

    // The explorer styles leave the background alone.
    auto x = WhiteBitmap(23, 22);
    TRect xr = Rect(0, 0, 23, 22);
    QclDrawButtonFace(x->Canvas(), false, xr, TQclUserButtonStyle::ubsExplorer, TQclButtonState::bsUp, 5, clLime);
    EXPECT_EQ(Count(*x, clLime), 0);
}

TEST(DrawButtons, GlyphAndCaptionLaidOutAndDrawn) {
    auto glyph = WhiteBitmap(16, 16);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
    auto b = WhiteBitmap(40, 30);
    TQclGlyphTextLayout layout;
    layout.SetAlignment(TQclAlignment::agCenter);
    TRect glyphRect = Rect(0, 0, 16, 16);
    QclDrawGlyphText(b->Canvas(), "", nullptr, Rect(0, 0, 40, 30), glyph->Canvas(), glyphRect, nullptr, clNone,
                     &layout, false, true, false, qclGtEnabled | qclGtFocusGlyph, 0);
    EXPECT_EQ(BoundsOf(*b, clRed), Rect(12, 7, 28, 23));
    EXPECT_EQ(glyphRect, Rect(12, 7, 28, 23));

    // Measuring only draws nothing.
    auto m = WhiteBitmap(40, 30);
    TRect mr = Rect(0, 0, 16, 16);
    QclDrawGlyphText(m->Canvas(), "Text", nullptr, Rect(0, 0, 40, 30), glyph->Canvas(), mr, nullptr, clNone, &layout,
                     false, true, false, qclGtMeasureOnly, 0);
    EXPECT_EQ(Count(*m, clWhite), 1200);
}

namespace {

// A face of 23 x 22 in lime on white; the content rectangle comes back.
std::unique_ptr<TBitmap> Face(TQclUserButtonStyle style, TQclButtonState state, uint16_t flags, TRect& content,
                              bool mouseInside = false) {
    auto b = WhiteBitmap(23, 22);
    content = Rect(0, 0, 23, 22);
    QclDrawButtonFace(b->Canvas(), mouseInside, content, style, state, flags, clLime);
    return b;
}

// The dither of the colour and white: both, half and half, and nothing else.
bool Dithered(TBitmap& b, const TRect& r) {
    int white = 0, lime = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            white += At(b, x, y) == clWhite;
            lime += At(b, x, y) == clLime;
        }
    return white + lime == r.Width() * r.Height() && std::abs(white - lime) <= 1;
}

}  // namespace

// The Windows 3.1 look: rounded corners once, the content two pixels in
// from the frame; held down, the dither.
TEST(DrawButtons, TheOldLookRoundsItsCornersAndSinksWhenHeld) {
    TRect c;
    auto up = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, qclFaceRoundCorners, c);
    EXPECT_EQ(c, Rect(4, 4, 19, 18));
    for (TPoint p : {Point(0, 0), Point(22, 0), Point(0, 21), Point(22, 21)}) EXPECT_EQ(At(*up, p.x, p.y), Sys(clBtnFace));
    EXPECT_TRUE(Filled(*up, c, clLime));
    auto down = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsDown, qclFaceRoundCorners, c);
    EXPECT_EQ(c, Rect(5, 5, 20, 19));
    EXPECT_TRUE(Dithered(*down, c));
    // Pushed (not held by the mouse) it sinks in the plain colour.
    auto pushed = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsPushed, 0, c);
    EXPECT_EQ(c, Rect(5, 5, 20, 19));
    EXPECT_TRUE(Filled(*pushed, c, clLime));
}

// The classic look held down: a black and a grey frame around the dither,
// which reaches the frames.
TEST(DrawButtons, TheClassicLookHeldDownFramesItsDither) {
    TRect c;
    auto down = Face(TQclUserButtonStyle::ubsClassic, TQclButtonState::bsDown, 0, c);
    EXPECT_EQ(c, Rect(4, 4, 21, 20));
    EXPECT_EQ(At(*down, 0, 0), clBlack);
    EXPECT_EQ(At(*down, 22, 21), clBlack);
    EXPECT_EQ(At(*down, 1, 1), static_cast<TColor>(0x808080));
    EXPECT_EQ(At(*down, 21, 20), static_cast<TColor>(0x808080));
    EXPECT_TRUE(Dithered(*down, Rect(2, 2, 21, 20)));
    // The Windows 4.0 look without the speed-button flag is the same.
    auto win40 = Face(TQclUserButtonStyle::ubsWin40, TQclButtonState::bsDown, 0, c);
    EXPECT_TRUE(Dithered(*win40, Rect(2, 2, 21, 20)));
    EXPECT_EQ(At(*win40, 1, 1), static_cast<TColor>(0x808080));
    // Up, it is raised: nothing black on the face, the colour inside.
    auto up = Face(TQclUserButtonStyle::ubsClassic, TQclButtonState::bsUp, 0, c);
    EXPECT_EQ(c, Rect(3, 3, 20, 19));
    EXPECT_TRUE(Filled(*up, c, clLime));
    // The speed-button variant: a black border, a grey corner when held,
    // the dither inside untouched.
    auto speed = Face(TQclUserButtonStyle::ubsClassic, TQclButtonState::bsDown, qclFaceSpeedButton, c);
    EXPECT_EQ(At(*speed, 0, 0), clBlack);
    EXPECT_EQ(At(*speed, 22, 21), clBlack);
    for (TPoint p : {Point(1, 1), Point(21, 1), Point(1, 20)}) EXPECT_EQ(At(*speed, p.x, p.y), static_cast<TColor>(0x808080));
    EXPECT_NE(At(*speed, 21, 20), static_cast<TColor>(0x808080));
    EXPECT_TRUE(Dithered(*speed, Rect(2, 2, 22, 21)));
    auto speedUp = Face(TQclUserButtonStyle::ubsClassic, TQclButtonState::bsUp, qclFaceSpeedButton, c);
    EXPECT_EQ(At(*speedUp, 0, 0), clBlack);
    EXPECT_TRUE(Filled(*speedUp, c, clLime));
    // The dither belongs to the face: the canvas's brush is plain after it.
    EXPECT_EQ(speed->Canvas()->Brush()->Bitmap(), nullptr);
}

// The flat looks: nothing but the colour at rest, a frame in the canvas's
// pen under the mouse, the dither only when held without the mouse in it.
TEST(DrawButtons, TheFlatLookShowsItsFrameOnlyWhenTouched) {
    TRect c;
    auto rest = Face(TQclUserButtonStyle::ubsClassicFlat, TQclButtonState::bsUp, 0, c);
    EXPECT_EQ(Count(*rest, clLime), 23 * 22);
    auto over = Face(TQclUserButtonStyle::ubsClassicFlat, TQclButtonState::bsMouseOver, 0, c);
    EXPECT_EQ(At(*over, 0, 0), clBlack);
    EXPECT_EQ(At(*over, 22, 21), clBlack);
    EXPECT_NE(At(*over, 1, 1), clLime);  // the raised edge
    EXPECT_TRUE(Filled(*over, c, clLime));
    auto held = Face(TQclUserButtonStyle::ubsClassicFlat, TQclButtonState::bsDown, 0, c);
    EXPECT_EQ(At(*held, 0, 0), clBlack);
    EXPECT_TRUE(Dithered(*held, Rect(3, 3, 20, 19)));
    auto heldInside = Face(TQclUserButtonStyle::ubsClassicFlat, TQclButtonState::bsDown, 0, c, true);
    EXPECT_TRUE(Filled(*heldInside, Rect(3, 3, 20, 19), clLime));
    // Other flat styles draw no frame of the pen.
    auto flat = Face(TQclUserButtonStyle::ubsFlat, TQclButtonState::bsMouseOver, 0, c);
    EXPECT_NE(At(*flat, 0, 0), clBlack);
}

// The default button: a frame outside the face and the focus rectangle in
// the content; focused without being the default, the frame alone.
TEST(DrawButtons, TheDefaultButtonsFrameAndFocusRectangle) {
    TRect c, plainContent;
    auto plain = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, 0, plainContent);
    auto framed = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, qclFaceFocusedFrame, c);
    EXPECT_EQ(c, InflateRect(plainContent, -1, -1));
    // The face's own dark edge lies a pixel further in, inside the frame.
    EXPECT_EQ(At(*framed, 21, 20), At(*plain, 22, 21));
    EXPECT_NE(At(*framed, 21, 20), At(*plain, 21, 20));
    auto focused = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsUp, qclFaceDefault, c);
    EXPECT_EQ(c, InflateRect(plainContent, -1, -1));
    // The two differ in the dotted focus rectangle only, around the content.
    TRect diff{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 23; ++x)
            if (At(*focused, x, y) != At(*framed, x, y)) diff = UnionRect(diff, Rect(x, y, x + 1, y + 1));
    EXPECT_EQ(diff, c);
    EXPECT_EQ(At(*focused, c.Left + c.Width() / 2, c.Top + c.Height() / 2), clLime);
    // Held down: no frame; the focus rectangle one pixel further in.
    auto held = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsPushed, qclFaceDefault, c);
    auto heldPlain = Face(TQclUserButtonStyle::ubsWin31, TQclButtonState::bsPushed, 0, plainContent);
    EXPECT_EQ(c, plainContent);
    diff = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 23; ++x)
            if (At(*held, x, y) != At(*heldPlain, x, y)) diff = UnionRect(diff, Rect(x, y, x + 1, y + 1));
    EXPECT_EQ(diff, Rect(5, 5, 18, 17));
}

#include <gtest/gtest.h>

#include <cctype>

#include "platform/ExtCtrls.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {
// The colour the window shows at a point of a control's client area.
TColor ScreenPixel(TWinControl* c, int x, int y) {
    WindowDC dc(c->Handle());
    return static_cast<TColor>(GetPixel(dc.Get(), x, y)) & 0xFFFFFF;
}

TColor Rgb(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

OwnedPtr<TForm> ShownForm(int w, int h) {
    auto form = MakeForm<TForm>();
    form->SetFormClientWidth(w);
    form->SetFormClientHeight(h);
    form->SetColor(clWhite);
    return form;
}

void Paint(TForm* form) {
    form->Show();
    PumpMessages();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages();
}
}  // namespace

TEST(Panel, DrawsOuterBevelBorderAndInnerBevel) {
    auto form = ShownForm(200, 120);
    auto* panel = Create<TPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(10, 10, 100, 60);
    panel->SetColor(clYellow);
    panel->SetBevelOuter(TPanelBevel::bvRaised);
    panel->SetBevelInner(TPanelBevel::bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(3);
    Paint(form.get());
    TColor light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow);
    // Raised outer ring: light top-left, dark bottom-right, two pixels.
    EXPECT_EQ(ScreenPixel(panel, 0, 0), light);
    EXPECT_EQ(ScreenPixel(panel, 1, 30), light);
    EXPECT_EQ(ScreenPixel(panel, 99, 59), dark);
    EXPECT_EQ(ScreenPixel(panel, 98, 30), dark);
    EXPECT_EQ(ScreenPixel(panel, 50, 58), dark);
    // Then three pixels of border in the panel's colour.
    EXPECT_EQ(ScreenPixel(panel, 2, 30), clYellow);
    EXPECT_EQ(ScreenPixel(panel, 4, 30), clYellow);
    // Then the lowered inner ring: dark top-left, light bottom-right.
    EXPECT_EQ(ScreenPixel(panel, 5, 30), dark);
    EXPECT_EQ(ScreenPixel(panel, 6, 30), dark);
    EXPECT_EQ(ScreenPixel(panel, 94, 30), light);
    EXPECT_EQ(ScreenPixel(panel, 50, 54), light);
    // And the face.
    EXPECT_EQ(ScreenPixel(panel, 20, 20), clYellow);
    // Aligned children fill what the frame leaves: 2 + 3 + 2 on each side.
    auto* inside = Create<TPanel>(form.get());
    inside->SetParent(panel);
    inside->SetAlign(TAlign::alClient);
    EXPECT_EQ(inside->BoundsRect(), Rect(7, 7, 93, 53));
}

TEST(Panel, SpaceBevelTakesRoomInThePanelColourAndCaptionIsCentred) {
    auto form = ShownForm(200, 120);
    auto* panel = Create<TPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(0, 0, 103, 93);
    panel->SetColor(clAqua);
    panel->SetBevelOuter(TPanelBevel::bvSpace);
    panel->SetBevelWidth(2);
    panel->SetCaption("WWW");
    panel->Font()->SetColor(clBlack);
    Paint(form.get());
    EXPECT_EQ(ScreenPixel(panel, 0, 0), clAqua);
    EXPECT_EQ(ScreenPixel(panel, 102, 92), clAqua);
    // Some of the caption is black around the middle, none at the edges.
    int black = 0;
    for (int x = 30; x < 73; ++x)
        for (int y = 36; y < 57; ++y) black += ScreenPixel(panel, x, y) == clBlack;
    EXPECT_GT(black, 10);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(ScreenPixel(panel, x, 46), clAqua);
    auto* child = Create<TPanel>(form.get());
    child->SetParent(panel);
    child->SetAlign(TAlign::alTop);
    child->SetHeight(10);
    EXPECT_EQ(child->BoundsRect(), Rect(2, 2, 101, 12));
}

TEST(Bevel, BoxAndLinesInTheThreeDimensionalColours) {
    auto form = ShownForm(200, 120);
    auto* box = Create<TBevel>(form.get());
    box->SetParent(form.get());
    box->SetBounds(10, 10, 40, 30);
    auto* line = Create<TBevel>(form.get());
    line->SetParent(form.get());
    line->SetBounds(60, 10, 100, 20);
    line->SetShape(TBevelShape::bsBottomLine);
    line->SetStyle(TBevelStyle::bsRaised);
    Paint(form.get());
    TColor light = Rgb(clBtnHighlight), dark = Rgb(clBtnShadow);
    // A lowered box: dark top and left, light bottom and right, white inside.
    EXPECT_EQ(ScreenPixel(form.get(), 10, 10), dark);
    EXPECT_EQ(ScreenPixel(form.get(), 30, 10), dark);
    EXPECT_EQ(ScreenPixel(form.get(), 10, 25), dark);
    EXPECT_EQ(ScreenPixel(form.get(), 49, 25), light);
    EXPECT_EQ(ScreenPixel(form.get(), 30, 39), light);
    EXPECT_EQ(ScreenPixel(form.get(), 30, 25), clWhite);
    // A raised bottom line: light then dark on the last two rows.
    EXPECT_EQ(ScreenPixel(form.get(), 100, 28), light);
    EXPECT_EQ(ScreenPixel(form.get(), 100, 29), dark);
    EXPECT_EQ(ScreenPixel(form.get(), 100, 15), clWhite);
}

TEST(Image, DrawsItsPictureStretchedOrCentredAndSizesItself) {
    auto form = ShownForm(200, 120);
    auto* image = Create<TImage>(form.get());
    image->SetParent(form.get());
    image->SetBounds(0, 0, 40, 40);
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(10, 10);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, 10, 10));
    image->Picture()->SetGraphic(&b);
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), Rect(15, 15, 25, 25));
    Paint(form.get());
    EXPECT_EQ(ScreenPixel(form.get(), 20, 20), clRed);
    EXPECT_EQ(ScreenPixel(form.get(), 5, 5), clWhite);
    image->SetStretch(true);
    Paint(form.get());
    EXPECT_EQ(ScreenPixel(form.get(), 1, 1), clRed);
    EXPECT_EQ(ScreenPixel(form.get(), 38, 38), clRed);
    EXPECT_EQ(ScreenPixel(form.get(), 45, 20), clWhite);
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 10);
    EXPECT_EQ(image->Height(), 10);
}

TEST(PaintBoxAndShape, PaintWhatTheyAreAsked) {
    auto form = ShownForm(200, 120);
    auto* box = Create<TPaintBox>(form.get());
    box->SetParent(form.get());
    box->SetBounds(100, 0, 50, 50);
    int painted = 0;
    box->OnPaint = [&](TObject* sender) {
        ++painted;
        TCanvas* c = static_cast<TPaintBox*>(sender)->Canvas();
        c->Brush()->SetColor(clNavy);
        c->FillRect(Rect(0, 0, 10, 10));
    };
    auto* shape = Create<TShape>(form.get());
    shape->SetParent(form.get());
    shape->SetBounds(0, 0, 56, 73);
    shape->Brush()->SetColor(clLime);
    shape->Pen()->SetColor(clBlack);
    Paint(form.get());
    EXPECT_GT(painted, 0);
    EXPECT_EQ(ScreenPixel(form.get(), 105, 5), clNavy);
    EXPECT_EQ(ScreenPixel(form.get(), 115, 15), clWhite);  // the paint box's parent colour
    EXPECT_EQ(ScreenPixel(form.get(), 0, 0), clBlack);
    EXPECT_EQ(ScreenPixel(form.get(), 55, 72), clBlack);
    EXPECT_EQ(ScreenPixel(form.get(), 28, 36), clLime);
    shape->SetShape(TShapeType::stCircle);
    Paint(form.get());
    // A circle of the smaller side, centred: the corners are empty.
    EXPECT_EQ(ScreenPixel(form.get(), 1, 1), clWhite);
    EXPECT_EQ(ScreenPixel(form.get(), 28, 36), clLime);
    EXPECT_EQ(ScreenPixel(form.get(), 28, 4), clWhite);
}

TEST(Timer, FiresWhileEnabledAndSurvivesAFailingHandler) {
    auto owner = MakeForm<TForm>();
    auto* timer = Create<TTimer>(owner.get());
    int ticks = 0;
    timer->OnTimer = [&](TObject*) {
        ++ticks;
        if (ticks == 2) throw EConvertError("tick failed");
    };
    timer->SetInterval(15);
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }, 3000));
    // The failure went to the error box; the timer went on.
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "tick failed.");
    timer->SetEnabled(false);
    int stopped = ticks;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stopped);
    timer->SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return ticks > stopped; }, 3000));
    // Interval 0 stops it as well.
    timer->SetInterval(0);
    stopped = ticks;
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(ticks, stopped);
}

TEST(Timer, AHandlerMayFreeItsTimer) {
    auto owner = MakeForm<TForm>();
    auto* timer = Create<TTimer>(owner.get());
    timer->SetInterval(10);
    bool freed = false;
    timer->OnTimer = [&](TObject* sender) {
        static_cast<TTimer*>(sender)->Free();
        freed = true;
    };
    EXPECT_TRUE(PumpUntil([&] { return freed; }, 3000));
    EXPECT_EQ(owner->ComponentCount(), 0);
    PumpUntil([] { return false; }, 50);
}

TEST(Image, PictureDataInALayoutIsTheClassNameThenTheFile) {
    auto form = MakeForm<TForm>();
    form->SetName("ImageForm");
    auto* image = Create<TImage>(form.get());
    image->SetName("Image1");
    image->SetParent(form.get());
    TBitmap b;
    b.SetPixelFormat(TPixelFormat::pf24bit);
    b.SetSize(1, 1);
    b.Canvas()->SetPixel(0, 0, ColorRGB(0x11, 0x22, 0x33));
    image->Picture()->SetGraphic(&b);
    std::string text = WriteLayout(form.get());
    // A length byte and "TBitmap", then a 1 x 1 24-bit BMP file: its
    // headers and one pixel (blue, green, red) padded to four bytes.
    std::string golden =
        "07544269746D6170"
        "424D3A000000000000003600000028000000"
        "0100000001000000010018000000000004000000"
        "00000000000000000000000000000000"
        "33221100";
    size_t open = text.find("Picture.Data = {");
    ASSERT_NE(open, std::string::npos) << text;
    std::string hex;
    for (size_t at = text.find('{', open) + 1; text[at] != '}'; ++at)
        if (std::isxdigit(static_cast<unsigned char>(text[at]))) hex += text[at];
    EXPECT_EQ(hex, golden);

    OwnedPtr<TForm> again(new TForm(nullptr));
    again->InitializeForm(text, "image.form");
    auto* back = dynamic_cast<TImage*>(again->FindComponent("Image1"));
    ASSERT_NE(back, nullptr);
    auto* bitmap = dynamic_cast<TBitmap*>(back->Picture()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Canvas()->Pixel(0, 0) & 0xFFFFFF, ColorRGB(0x11, 0x22, 0x33));
}

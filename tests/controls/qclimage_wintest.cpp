// The image control and the edge control, painted into real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/qclctrlAImage.h"
#include "controls/qclextcSEdge.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

namespace treskel {
namespace {

using test::PumpMessages;

struct ImageForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ImageForm() {
        form->SetBounds(50, 50, 300, 200);
        form->SetColor(clWhite);
    }
    TQclNImage* Add(int left, int top, int width, int height) {
        auto* image = Create<TQclNImage>(form.get());
        image->SetParent(form.get());
        image->SetBounds(left, top, width, height);
        return image;
    }
    test::Snapshot Painted() {
        form->Show();
        PumpMessages();
        return test::PaintedClient(form->Handle(), [this](HDC dc) {
            RECT r;
            GetClientRect(form->Handle(), &r);
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            form->PaintControls(dc, nullptr);
        });
    }
};

TEST(QclNImage, AutosizeFitsTheBitmapAndTheBevel) {
    ImageForm f;
    TQclNImage* image = f.Add(10, 10, 30, 30);
    image->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    image->Bevel()->SetWidthOuter(2);
    ASSERT_EQ(image->Bevel()->TotalWidth(), 2);
    image->SetStyle(TQclBitmapStyle::sbAutosize);
    EXPECT_EQ(image->Width(), 24);  // empty: 20 and the bevel
    image->SetBitmap(test::Filled(100, 50, clRed).get());
    EXPECT_EQ(image->Width(), 104);
    EXPECT_EQ(image->Height(), 54);
    EXPECT_EQ(image->Left(), 10);
}

TEST(QclNImage, AnImageShowsTheBitmapOfTheImageItIsLinkedTo) {
    ImageForm f;
    TQclNImage* source = f.Add(0, 0, 20, 20);
    TQclNImage* shower = f.Add(100, 40, 40, 40);
    shower->SetTransparent(false);
    shower->SetColor(clWhite);
    source->SetBitmap(test::Filled(40, 40, clBlue).get());
    shower->SetControl(source);
    EXPECT_EQ(shower->GetActiveBitmap(), source->Bitmap());
    EXPECT_TRUE(test::Bluish(f.Painted().At(120, 60)));
    // It follows the other image's changes.
    source->SetBitmap(test::Filled(40, 40, clRed).get());
    EXPECT_TRUE(test::Reddish(f.Painted().At(120, 60)));
    // Linking to itself changes nothing.
    shower->SetControl(shower);
    EXPECT_EQ(shower->Control(), source);
    // When the other image goes, this one is empty again.
    source->Free();
    EXPECT_EQ(shower->Control(), nullptr);
    EXPECT_TRUE(shower->GetEmpty());
}

TEST(QclNImage, AnImageLeftOfItsParentsEdgeStillDrawsWhereItIs) {
    ImageForm f;
    TQclNImage* image = f.Add(-10, 30, 60, 40);
    // A bevel makes the bitmap clipped to the control's inside.
    image->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    image->SetBitmap(test::Filled(60, 40, clRed).get());
    test::Snapshot shot = f.Painted();
    EXPECT_TRUE(test::Reddish(shot.At(20, 50)));
    EXPECT_TRUE(test::Reddish(shot.At(45, 65)));
    EXPECT_FALSE(test::Reddish(shot.At(20, 20)));
}

TEST(QclNImage, ACentredBitmapSitsInTheMiddleOfItsBevel) {
    ImageForm f;
    TQclNImage* image = f.Add(20, 20, 100, 60);
    image->SetStyle(TQclBitmapStyle::sbCenter);
    image->SetTransparent(false);
    image->SetColor(clBlack);
    image->SetBitmap(test::Filled(20, 10, clRed).get());
    test::Snapshot shot = f.Painted();
    EXPECT_TRUE(test::Reddish(shot.At(70, 50)));
    EXPECT_TRUE(test::Dark(shot.At(25, 25)));
    EXPECT_EQ(image->GetDrawFlags(), 0x08);  // centred, no clip without a bevel
}

TEST(QclNImage, ATransparentEmptyImageWithoutBevelPaintsNothing) {
    ImageForm f;
    f.Add(10, 10, 50, 50);
    test::Snapshot shot = f.Painted();
    EXPECT_EQ(shot.Count({10, 10, 60, 60}, [](COLORREF c) { return c != RGB(255, 255, 255); }), 0);
}

TEST(QclDrawEdge, EachStyleDrawsOverTheClientArea) {
    ImageForm f;
    auto* edge = Create<TQclDrawEdge>(f.form.get());
    edge->SetParent(f.form.get());
    edge->SetBounds(10, 10, 60, 60);
    EXPECT_EQ(edge->Width(), 60);
    edge->SetEdgeStyle(TQclEdgeStyle::etSunken);
    edge->SetFilled(true);
    test::Snapshot shot = f.Painted();
    // A sunken edge: dark on the top left, the middle filled with the face colour.
    EXPECT_TRUE(test::Dark(shot.At(10, 40)) || shot.At(10, 40) == GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(shot.At(40, 40), GetSysColor(COLOR_BTNFACE));
    // Only the bottom side.
    edge->SetFilled(false);
    edge->SetFrameSides({TQclFrameSide::fsBottom});
    shot = f.Painted();
    EXPECT_EQ(shot.At(10, 40), RGB(255, 255, 255));
    EXPECT_NE(shot.At(40, 68), RGB(255, 255, 255));
    // A diagonal from top left to bottom right crosses the middle.
    edge->SetStyle(TQclDrawEdgeStyle::esDiagonal);
    edge->SetDiagonalStyle(TQclDiagonalStyle::dsEndBottomRight);
    shot = f.Painted();
    EXPECT_GT(shot.Count({35, 35, 45, 45}, [](COLORREF c) { return c != RGB(255, 255, 255); }), 0);
    EXPECT_EQ(shot.Count({55, 12, 68, 25}, [](COLORREF c) { return c != RGB(255, 255, 255); }), 0);
}

}  // namespace
}  // namespace treskel

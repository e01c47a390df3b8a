// The speed button and its glyph painter on real windows and memory bitmaps.
#include <gtest/gtest.h>

#include "platform/ActnList.h"
#include "platform/ExtCtrls.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Register.h"
#include "support/Snapshot.h"
#include "support/GuiTest.h"
#include "winutil/WuCtrls.h"

using namespace treskel;
using namespace treskel::test;

namespace {

TColor Sys(TColor c) { return static_cast<TColor>(ColorToRGB(c)); }

struct ButtonForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ButtonForm() {
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        PumpMessages();
    }
    TWuSpeedButton* Add(int left, int top) {
        auto* b = Create<TWuSpeedButton>(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, top, 25, 25);
        return b;
    }
    // Mouse messages go to the form, which hands them to the button under them.
    void Down(TControl* c, int x = 5, int y = 5) {
        SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c->Left() + x, c->Top() + y));
    }
    void Move(TControl* c, int x, int y) {
        SendMessageA(form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c->Left() + x, c->Top() + y));
    }
    void Up(TControl* c, int x = 5, int y = 5) {
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c->Left() + x, c->Top() + y));
    }
    void Click(TControl* c) {
        Down(c);
        Up(c);
    }
};

// What a windowless control paints, on a bitmap of its size.
std::unique_ptr<TBitmap> Rendered(TControl* c) {
    auto b = Filled(c->Width(), c->Height(), clWhite);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(b->Canvas()->Handle()), 0);
    return b;
}

}  // namespace

TEST(WuGlyphCache, ButtonsOfOneSizeShareAList) {
    {
        TWuButtonGlyph a, b;
        auto ga = Filled(16, 16, clRed), gb = Filled(32, 16, clBlue);
        a.SetGlyph(ga.get());
        b.SetGlyph(gb.get());
        EXPECT_EQ(b.NumGlyphs(), 2);
        EXPECT_GE(a.CreateGlyphImage(TGlyphState::gsUp), 0);
        EXPECT_GE(b.CreateGlyphImage(TGlyphState::gsUp), 0);
        EXPECT_EQ(a.List(), b.List());
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
        EXPECT_EQ(a.List()->Count(), 2);
        // A new glyph gives the slots back; the next image reuses one.
        int capacity = a.List()->Capacity();
        TGlyphList* list = a.List();
        a.SetGlyph(ga.get());
        EXPECT_EQ(list->Count(), 1);
        EXPECT_GE(a.CreateGlyphImage(TGlyphState::gsDisabled), 0);
        EXPECT_EQ(list->Capacity(), capacity);
    }
    EXPECT_FALSE(GlyphCacheExists());
}

// An image with a mask of its own goes into the first free slot, as a
// masked one does, and shows where its mask is black.
TEST(WuGlyphCache, AnImageWithItsOwnMaskTakesTheFirstFreeSlot) {
    TGlyphList list(8, 8);
    auto red = Filled(8, 8, clRed), blue = Filled(8, 8, clBlue);
    EXPECT_EQ(list.AddMasked(red.get(), clFuchsia), 0);
    EXPECT_EQ(list.AddMasked(red.get(), clFuchsia), 1);
    list.Delete(0);
    // The right half of the mask is white: transparent.
    auto mask = Filled(8, 8, clBlack);
    mask->Canvas()->Brush()->SetColor(clWhite);
    mask->Canvas()->FillRect(Rect(4, 0, 8, 8));
    EXPECT_EQ(list.Add(blue.get(), mask.get()), 0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Capacity(), 2);
    EXPECT_EQ(list.Add(blue.get(), mask.get()), 2);
    auto drawn = Filled(8, 8, clLime);
    list.Draw(drawn->Canvas()->Handle(), 0, 0, 0);
    EXPECT_EQ(At(*drawn, 1, 1), clBlue);
    EXPECT_EQ(At(*drawn, 6, 6), clLime);
}

TEST(WuGlyphCache, NumberOfImagesFollowsTheGlyph) {
    TWuButtonGlyph g;
    auto four = Filled(64, 16, clRed);
    g.SetGlyph(four.get());
    EXPECT_EQ(g.NumGlyphs(), 4);
    auto odd = Filled(100, 16, clRed);
    g.SetGlyph(odd.get());
    EXPECT_EQ(g.NumGlyphs(), 4);
    auto eight = Filled(128, 16, clRed);
    g.SetGlyph(eight.get());
    EXPECT_EQ(g.NumGlyphs(), 1);
    g.SetNumGlyphs(0);
    EXPECT_EQ(g.NumGlyphs(), 1);
    TBitmap empty;
    g.SetGlyph(&empty);
    EXPECT_EQ(g.CreateGlyphImage(TGlyphState::gsUp), -1);
}

TEST(WuGlyphCache, InactiveAndDisabledImages) {
    // One image: fuchsia background (transparent), a red, a black and a button-face pixel.
    auto glyph = Filled(8, 8, clFuchsia);
    glyph->Canvas()->SetPixel(1, 1, clRed);
    glyph->Canvas()->SetPixel(2, 2, clBlack);
    glyph->Canvas()->SetPixel(3, 3, clBtnFace);
    TWuButtonGlyph g;
    g.SetGlyph(glyph.get());
    EXPECT_EQ(g.TransparentColor(), clFuchsia);

    auto inactive = Filled(8, 8, clWhite);
    g.DrawGlyph(inactive->Canvas(), {0, 0}, TGlyphState::gsInactive);
    EXPECT_EQ(At(*inactive, 1, 1), ColorRGB(76, 76, 76));
    EXPECT_EQ(At(*inactive, 3, 3), Sys(clBtnFace));
    EXPECT_EQ(At(*inactive, 0, 0), clWhite);  // transparent

    auto up = Filled(8, 8, clWhite);
    g.DrawGlyph(up->Canvas(), {0, 0}, TGlyphState::gsUp);
    EXPECT_EQ(At(*up, 1, 1), clRed);
    EXPECT_EQ(At(*up, 5, 5), clWhite);

    auto disabled = Filled(8, 8, clWhite);
    g.DrawGlyph(disabled->Canvas(), {0, 0}, TGlyphState::gsDisabled);
    EXPECT_EQ(At(*disabled, 2, 2), Sys(clBtnShadow));     // the black pixel, embossed
    EXPECT_EQ(At(*disabled, 3, 3), Sys(clBtnHighlight));  // and its highlight
    EXPECT_EQ(At(*disabled, 1, 1), clWhite);
}

TEST(WuSpeedButton, DefaultsAndRanges) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    EXPECT_EQ(b->InitPause(), 500);
    EXPECT_EQ(b->RepeatInterval(), 100);
    EXPECT_EQ(b->Layout(), TButtonLayout::blGlyphTop);
    EXPECT_TRUE(b->GrayedInactive());
    EXPECT_TRUE(b->MarkDropDown());
    b->SetMargin(-2);
    EXPECT_EQ(b->Margin(), -1);
    b->SetMargin(3);
    EXPECT_EQ(b->Margin(), 3);
    b->SetNumGlyphs(7);
    EXPECT_EQ(b->NumGlyphs(), 5);
    b->SetDown(true);  // no group: never down
    EXPECT_FALSE(b->Down());
}

TEST(WuSpeedButton, ClickInsideOnlyAndFacesWhileHeld) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    f.Click(b);
    EXPECT_EQ(clicks, 1);
    f.Down(b);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsDown);
    f.Move(b, 40, 40);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsUp);
    f.Move(b, 5, 5);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsDown);
    f.Move(b, 40, 40);
    f.Up(b, 40, 40);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsUp);
}

TEST(WuSpeedButton, GroupsLatchOneButton) {
    ButtonForm f;
    TWuSpeedButton* a = f.Add(10, 10);
    TWuSpeedButton* b = f.Add(40, 10);
    TWuSpeedButton* c = f.Add(70, 10);
    for (TWuSpeedButton* x : {a, b, c}) x->SetGroupIndex(1);
    f.Click(a);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->FaceState(), TGlyphState::gsExclusive);
    f.Click(b);
    EXPECT_TRUE(b->Down());
    EXPECT_FALSE(a->Down());
    EXPECT_FALSE(c->Down());
    f.Click(b);  // the latched one again: stays down
    EXPECT_TRUE(b->Down());
    b->SetAllowAllUp(true);  // handed to the group
    EXPECT_TRUE(a->AllowAllUp());
    f.Click(b);
    EXPECT_FALSE(b->Down());
    c->SetDown(true);
    EXPECT_TRUE(c->Down());
    EXPECT_FALSE(b->Down());
}

TEST(WuSpeedButton, RepeatsWhileHeld) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetAllowTimer(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    f.Down(b);
    EXPECT_EQ(b->RepeatTimerInterval(), 500);
    b->RepeatTimerTick();  // the first pause is over
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->RepeatTimerInterval(), 100);
    b->RepeatTimerTick();
    EXPECT_EQ(clicks, 2);
    f.Move(b, 40, 40);  // outside: the face is up, no repeats
    b->RepeatTimerTick();
    EXPECT_EQ(clicks, 2);
    f.Move(b, 5, 5);
    f.Up(b);
    EXPECT_EQ(clicks, 3);  // the release inside
    EXPECT_EQ(b->RepeatTimerInterval(), 0);
    b->SetAllowTimer(false);
}

TEST(WuSpeedButton, DropDownMenuOpensUnderTheButtonWithoutAClick) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    auto* menu = Create<TPopupMenu>(f.form.get());
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    EXPECT_EQ(b->GetDropDownPoint(), Point(0, 25));
    int clicks = 0, shown = 0, chosen = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    item->OnClick = [&](TObject*) { ++chosen; };
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        ++shown;
        EXPECT_EQ(m->PopupComponent(), b);
        return m->Items()->Items(0)->Command();
    };
    f.Down(b);
    f.Up(b);
    TPopupMenu::TestChooser = nullptr;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsUp);
    menu->Free();
    EXPECT_EQ(b->DropDownMenu(), nullptr);
}

TEST(WuSpeedButton, AMenuHandlerThatThrowsLeavesTheButtonWorking) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    auto* menu = Create<TPopupMenu>(f.form.get());
    b->SetDropDownMenu(menu);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    menu->OnPopup = [](TObject*) { throw Exception("Menu failed"); };
    f.Down(b);
    f.Up(b);
    EXPECT_EQ(MessageBoxes().size(), 1u);
    b->SetDropDownMenu(nullptr);
    f.Click(b);
    EXPECT_EQ(clicks, 1);
}

TEST(WuSpeedButton, FlatButtonShowsNoFrameUntilTheMouseIsOver) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    auto glyph = Filled(16, 16, clFuchsia);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(Rect(4, 4, 12, 12));
    b->SetGlyph(glyph.get());
    auto framed = Rendered(b);
    EXPECT_EQ(At(*framed, 0, 0), Sys(clBtnHighlight));
    EXPECT_EQ(At(*framed, 24, 24), Sys(clWindowFrame));
    EXPECT_EQ(At(*framed, 12, 12), clRed);  // the glyph, centred: 4 + 4 .. 4 + 12

    b->SetFlat(true);
    auto flat = Rendered(b);
    EXPECT_EQ(At(*flat, 0, 0), Sys(clBtnFace));
    EXPECT_EQ(At(*flat, 24, 24), Sys(clBtnFace));
    EXPECT_EQ(At(*flat, 12, 12), ColorRGB(76, 76, 76));  // grey until the mouse comes
    b->SetGrayedInactive(false);
    EXPECT_EQ(At(*Rendered(b), 12, 12), clRed);

    b->SetEnabled(false);
    auto disabled = Rendered(b);
    EXPECT_EQ(b->FaceState(), TGlyphState::gsDisabled);
    EXPECT_NE(At(*disabled, 12, 12), clRed);
}

TEST(WuSpeedButton, LatchedFaceAndAction) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetGroupIndex(3);
    auto* list = Create<TActionList>(f.form.get());
    auto* action = Create<TAction>(f.form.get());
    action->SetActionList(list);
    action->SetChecked(true);
    b->SetAction(action);
    EXPECT_TRUE(b->Down());
    auto latched = Rendered(b);
    EXPECT_EQ(At(*latched, 0, 0), Sys(clWindowFrame));  // pressed frame of the new style
    // The dither of face and highlight inside.
    TColor p1 = At(*latched, 3, 3), p2 = At(*latched, 4, 3);
    EXPECT_NE(p1, p2);
    EXPECT_TRUE((p1 == Sys(clBtnFace) && p2 == Sys(clBtnHighlight)) ||
                (p2 == Sys(clBtnFace) && p1 == Sys(clBtnHighlight)));
}

TEST(WuSpeedButton, ActionImageBecomesTheGlyph) {
    ButtonForm f;
    auto* images = Create<TImageList>(f.form.get());
    images->SetWidth(16);
    images->SetHeight(16);
    auto red = Filled(16, 16, clRed);
    images->Add(red.get(), nullptr);
    auto* list = Create<TActionList>(f.form.get());
    list->SetImages(images);
    auto* action = Create<TAction>(f.form.get());
    action->SetActionList(list);
    action->SetImageIndex(0);
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetAction(action);
    ASSERT_FALSE(b->Glyph()->Empty());
    EXPECT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(b->Painter().TransparentColor(), clFuchsia);
    EXPECT_EQ(At(*Rendered(b), 12, 12), clRed);
}

TEST(WuSpeedButton, AcceleratorClicks) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetCaption("&Up");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'u', 0), 1);
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'p', 0), 0);
    EXPECT_EQ(clicks, 1);
}

TEST(WuSpeedButton, ReadFromALayoutWithItsGlyph) {
    RegisterPlatformClasses();
    RegisterWinUtilControlClasses();
    auto glyph = Filled(32, 16, clFuchsia);
    TMemoryStream bmp;
    glyph->SaveToStream(bmp);
    std::string hex;
    uint32_t n = static_cast<uint32_t>(bmp.Size());
    for (int i = 0; i < 4; ++i) hex += IntToHex((n >> (8 * i)) & 0xFF, 2);
    for (int64_t i = 0; i < bmp.Size(); ++i) hex += IntToHex(bmp.Memory()[i], 2);
    auto form = MakeOwned<TForm>();
    form->InitializeForm("object Form1: TForm\n"
                         "  object SpeedUp: TWuSpeedButton\n"
                         "    Left = 4\n    Top = 4\n    Width = 25\n    Height = 25\n"
                         "    Flat = True\n    GroupIndex = 2\n    Down = True\n"
                         "    Glyph.Data = {" + hex + "}\n"
                         "    Layout = blGlyphLeft\n    Margin = 2\n"
                         "  end\nend\n",
                         "test");
    auto* b = dynamic_cast<TWuSpeedButton*>(form->FindComponent("SpeedUp"));
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->Flat());
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->Layout(), TButtonLayout::blGlyphLeft);
    EXPECT_EQ(b->Margin(), 2);
    EXPECT_EQ(b->Glyph()->Width(), 32);
    EXPECT_EQ(b->NumGlyphs(), 2);
}

TEST(WuCursors, HandAndDragAreScreenCursors) {
    RegisterWuCursors();
    HCURSOR hand = Screen->Cursors(crWuHand);
    HCURSOR drag = Screen->Cursors(crWuDrag);
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(drag, nullptr);
    EXPECT_NE(hand, drag);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hand, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 5u);
    EXPECT_EQ(info.yHotspot, 0u);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST(WuSpeedButton, TransparentButtonShowsItsParent) {
    ButtonForm f;
    f.form->OnPaint = [&](TObject*) {
        f.form->Canvas()->Brush()->SetColor(clLime);
        f.form->Canvas()->FillRect(Rect(0, 0, 300, 200));
    };
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetFlat(true);
    b->SetTransparent(true);
    auto shown = Rendered(b);
    EXPECT_EQ(At(*shown, 12, 12), clLime);
    EXPECT_EQ(At(*shown, 1, 1), clLime);
    b->SetTransparent(false);
    EXPECT_EQ(At(*Rendered(b), 12, 12), Sys(clBtnFace));
}

// A transparent button shows its form and the windowless controls beneath
// it (before it in the form's list), never those that lie on top of it.
TEST(WuSpeedButton, ATransparentButtonShowsWhatLiesBeneathOnly) {
    ButtonForm f;
    f.form->OnPaint = [&](TObject*) {
        f.form->Canvas()->Brush()->SetColor(clLime);
        f.form->Canvas()->FillRect(Rect(0, 0, 300, 200));
    };
    auto shape = [&](TColor color, int left) {
        auto* s = Create<TShape>(f.form.get());
        s->SetParent(f.form.get());
        s->SetBounds(left, 10, 10, 25);
        s->Brush()->SetColor(color);
        s->Pen()->SetColor(color);
        return s;
    };
    shape(clRed, 10);  // beneath the button's left part
    TWuSpeedButton* b = f.Add(10, 10);
    b->SetFlat(true);
    b->SetTransparent(true);
    shape(clBlue, 25);  // on top of its right part
    auto shown = Rendered(b);
    EXPECT_EQ(At(*shown, 5, 12), clRed);
    EXPECT_EQ(At(*shown, 12, 12), clLime);
    EXPECT_EQ(At(*shown, 20, 12), clLime);
    // On the form the shape on top still covers the button.
    UpdateWindow(f.form->Handle());
    Snapshot form = OnScreen(f.form->Handle());
    EXPECT_EQ(form.At(30, 22), static_cast<COLORREF>(RGB(0, 0, 255)));
}

// A press already waiting over the button when it is pressed (the click
// that closed a menu over it, or any other) is taken out of the queue: it
// does not press the button again.  One waiting elsewhere stays.
TEST(WuSpeedButton, APressWaitingOverTheButtonIsDroppedOnEveryPress) {
    ButtonForm f;
    TWuSpeedButton* b = f.Add(10, 10);
    int presses = 0;
    b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
    HWND wnd = f.form->Handle();
    auto post = [&](UINT msg, int x, int y) {
        PostMessageA(wnd, msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    };
    post(WM_LBUTTONDOWN, 15, 15);
    post(WM_LBUTTONDOWN, 16, 16);
    post(WM_LBUTTONUP, 16, 16);
    PumpMessages();
    EXPECT_EQ(presses, 1);
    post(WM_LBUTTONDOWN, 15, 15);
    post(WM_LBUTTONDBLCLK, 15, 15);
    post(WM_LBUTTONUP, 15, 15);
    PumpMessages();
    EXPECT_EQ(presses, 2);
    // Outside the button: kept (and, the mouse held by the button, its own).
    post(WM_LBUTTONDOWN, 15, 15);
    post(WM_LBUTTONDOWN, 200, 150);
    post(WM_LBUTTONUP, 200, 150);
    PumpMessages();
    EXPECT_EQ(presses, 4);
}

namespace {
// The pixels of two renderings are the same.
bool SamePicture(TBitmap& a, TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (At(a, x, y) != At(b, x, y)) return false;
    return true;
}
}  // namespace

// Read from the right to the left, the caption's alignment is mirrored:
// a left-aligned caption of two lines of different widths is drawn as a
// right-aligned one; the button follows its form's mode until it has one
// of its own.
TEST(WuSpeedButton, RightToLeftReadingMirrorsTheCaptionsAlignment) {
    ButtonForm f;
    auto render = [&](TAlignment a, TBiDiMode mode) {
        TWuSpeedButton* b = f.Add(10, 10);
        b->SetBounds(10, 10, 80, 50);
        b->SetCaption("i\nWWWWWW");
        b->SetAlignment(a);
        if (mode != TBiDiMode::bdLeftToRight) b->SetBiDiMode(mode);
        auto picture = Rendered(b);
        b->Free();
        return picture;
    };
    auto left = render(TAlignment::taLeftJustify, TBiDiMode::bdLeftToRight);
    auto right = render(TAlignment::taRightJustify, TBiDiMode::bdLeftToRight);
    ASSERT_FALSE(SamePicture(*left, *right));
    EXPECT_TRUE(SamePicture(*render(TAlignment::taLeftJustify, TBiDiMode::bdRightToLeft), *right));
    EXPECT_TRUE(SamePicture(*render(TAlignment::taRightJustify, TBiDiMode::bdRightToLeft), *left));
    // Reading order alone leaves the alignment as it is.
    EXPECT_TRUE(SamePicture(*render(TAlignment::taLeftJustify, TBiDiMode::bdRightToLeftNoAlign), *left));

    TWuSpeedButton* b = f.Add(10, 10);
    b->SetBounds(10, 10, 80, 50);
    b->SetCaption("i\nWWWWWW");
    b->SetAlignment(TAlignment::taLeftJustify);
    f.form->SetBiDiMode(TBiDiMode::bdRightToLeft);
    EXPECT_TRUE(b->ParentBiDiMode());
    EXPECT_TRUE(SamePicture(*Rendered(b), *right));
    b->SetBiDiMode(TBiDiMode::bdLeftToRight);
    EXPECT_FALSE(b->ParentBiDiMode());
    EXPECT_TRUE(SamePicture(*Rendered(b), *left));
}

// The mode, the size limits and the drag kind are read from a layout and
// written back; the limits hold the button's size.
TEST(WuSpeedButton, BiDiModeConstraintsAndDragKindFromALayout) {
    RegisterPlatformClasses();
    RegisterWinUtilControlClasses();
    const std::string layout = "object Form1: TForm\n"
                               "  object Mirrored: TWuSpeedButton\n"
                               "    BiDiMode = bdRightToLeft\n"
                               "    Constraints.MaxWidth = 20\n"
                               "    Constraints.MinHeight = 30\n"
                               "    DragKind = dkDock\n"
                               "  end\n"
                               "  object Plain: TWuSpeedButton\n"
                               "    Left = 40\n"
                               "  end\n"
                               "end\n";
    auto form = MakeOwned<TForm>();
    form->InitializeForm(layout, "test");
    auto* b = dynamic_cast<TWuSpeedButton*>(form->FindComponent("Mirrored"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->BiDiMode(), TBiDiMode::bdRightToLeft);
    EXPECT_FALSE(b->ParentBiDiMode());
    EXPECT_EQ(b->DragKind(), TDragKind::dkDock);
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->Height(), 30);
    b->SetBounds(0, 0, 50, 10);
    EXPECT_EQ(b->Width(), 20);
    EXPECT_EQ(b->Height(), 30);
    b->Constraints()->SetMaxWidth(0);
    b->SetWidth(50);
    EXPECT_EQ(b->Width(), 50);
    b->Constraints()->SetMaxWidth(40);
    EXPECT_EQ(b->Width(), 40);  // at once

    std::string text = WriteLayout(form.get());
    EXPECT_NE(text.find("BiDiMode = bdRightToLeft"), std::string::npos) << text;
    EXPECT_NE(text.find("ParentBiDiMode = False"), std::string::npos) << text;
    EXPECT_NE(text.find("Constraints.MaxWidth = 40"), std::string::npos) << text;
    EXPECT_NE(text.find("Constraints.MinHeight = 30"), std::string::npos) << text;
    EXPECT_NE(text.find("DragKind = dkDock"), std::string::npos) << text;
    // A button that follows its form writes none of them.
    const size_t plain = text.find("object Plain");
    ASSERT_NE(plain, std::string::npos);
    for (const char* name : {"BiDiMode", "Constraints", "DragKind"})
        EXPECT_EQ(text.find(name, plain), std::string::npos) << name << "\n" << text;
}

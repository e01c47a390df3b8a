// The library's windowless buttons on real forms, driven by mouse messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "controls/qclbtnMM.h"
#include "controls/qclbtnWin.h"
#include "controls/qclbtnWnd.h"
#include "foundation/qclcontWin.h"
#include "platform/ActnList.h"
#include "platform/FormLoader.h"
#include "platform/ImgList.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/StdCtrls.h"
#include "platform/Streams.h"
#include "support/DibBytes.h"
#include "support/Snapshot.h"
#include "support/GuiTest.h"
#include "winutil/WuCtrls.h"

using namespace treskel;
using namespace treskel::test;
using S = TQclButtonState;

namespace {

struct ButtonForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ButtonForm() {
        form->SetBounds(100, 100, 300, 200);
        form->Show();
        PumpMessages();
    }
    template <class B = TQclOfficeButton>
    B* Add(int left, int top) {
        auto* b = Create<B>(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, top, 23, 22);
        return b;
    }
    void Send(UINT msg, WPARAM keys, TControl* c, int x, int y) {
        SendMessageA(form->Handle(), msg, keys, MAKELPARAM(c->Left() + x, c->Top() + y));
    }
    void Hover(TControl* c, int x = 5, int y = 5) { Send(WM_MOUSEMOVE, 0, c, x, y); }
    void Down(TControl* c, int x = 5, int y = 5) { Send(WM_LBUTTONDOWN, MK_LBUTTON, c, x, y); }
    void Drag(TControl* c, int x, int y) { Send(WM_MOUSEMOVE, MK_LBUTTON, c, x, y); }
    void Up(TControl* c, int x = 5, int y = 5) { Send(WM_LBUTTONUP, 0, c, x, y); }
    void Click(TControl* c) {
        Down(c);
        Up(c);
    }
};

// An office button that counts its paints and notes the state of the last.
class PaintCountingButton : public TQclOfficeButton {
    TRESKEL_CLASS(PaintCountingButton)
public:
    using TQclOfficeButton::TQclOfficeButton;
    int paints = 0;
    S painted = S::bsUp;

protected:
    void Paint() override {
        ++paints;
        painted = State();
        TQclOfficeButton::Paint();
    }
};

// A bitmap of 8 bits a pixel with its colour table (greys).
std::unique_ptr<TBitmap> Indexed(int width, int height) {
    const std::vector<uint8_t> file = Bmp(width, height, 8);
    TReadOnlyMemoryStream in(file.data(), static_cast<int64_t>(file.size()));
    auto b = std::make_unique<TBitmap>();
    b->LoadFromStream(in);
    return b;
}

}  // namespace

TEST(QclOfficeButton, HoverPressAndReleaseOutsideClicksNothing) {
    ButtonForm f;
    auto* b = f.Add(10, 10);
    EXPECT_EQ(b->Style(), TQclUserButtonStyle::ubsFlat);
    int clicks = 0, enters = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnMouseEnter = [&](TObject*) { ++enters; };
    f.Hover(b);
    EXPECT_EQ(b->State(), S::bsMouseOver);
    EXPECT_EQ(enters, 1);
    f.Down(b);
    EXPECT_EQ(b->State(), S::bsPushed);
    f.Drag(b, 40, 5);  // outside, on the form
    EXPECT_EQ(b->State(), S::bsUp);
    f.Up(b, 40, 5);
    EXPECT_EQ(clicks, 0);
    // The right edge is outside: a release there does not click either.
    f.Down(b);
    f.Up(b, b->Width(), 5);
    EXPECT_EQ(clicks, 0);
    f.Hover(b);
    f.Click(b);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->State(), S::bsMouseOver);
    f.Hover(f.form.get(), 250, 150);  // leaves for the form
    EXPECT_EQ(b->State(), S::bsUp);
}

TEST(QclOfficeButton, DropDownMenuOpensBelowTheLeftEdgeOrAtTheTopRightWithoutAClick) {
    ButtonForm f;
    auto* b = f.Add(10, 10);
    auto* menu = Create<TPopupMenu>(f.form.get());
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption("Print...");
    menu->Items()->Add(item);
    b->SetDropDownMenu(menu);
    b->SetDropDownIndent(2);
    int clicks = 0, chosen = 0, dropped = 0;
    S during = S::bsUp;
    TPoint at{};
    b->OnClick = [&](TObject*) { ++clicks; };
    b->OnDropDown = [&](TObject*) { ++dropped; };
    item->OnClick = [&](TObject*) { ++chosen; };
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        during = b->State();
        at = m->PopupPoint();
        EXPECT_EQ(m->PopupComponent(), b);
        return m->Items()->Items(0)->Command();
    };
    f.Hover(b);
    f.Down(b);
    f.Up(b);
    EXPECT_EQ(during, S::bsDropDown);
    EXPECT_EQ(at, b->ClientToScreen({2, 22}));
    b->SetDropDownRight(true);
    f.Down(b);
    f.Up(b);
    TPopupMenu::TestChooser = nullptr;
    EXPECT_EQ(at, b->ClientToScreen({23, 2}));
    EXPECT_EQ(dropped, 2);
    EXPECT_EQ(chosen, 2);
    EXPECT_EQ(clicks, 0);
    EXPECT_NE(b->State(), S::bsDropDown);
    menu->Free();
    EXPECT_EQ(b->DropDownMenu(), nullptr);
    f.Click(b);
    EXPECT_EQ(clicks, 1);
}

TEST(QclOfficeButton, GroupedButtonsReleaseEachOther) {
    ButtonForm f;
    auto* a = f.Add(10, 10);
    auto* b = f.Add(40, 10);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    f.Click(a);
    EXPECT_TRUE(a->Pressed());
    f.Click(b);
    EXPECT_TRUE(b->Pressed());
    EXPECT_FALSE(a->Pressed());
    EXPECT_EQ(a->State(), S::bsUp);
    f.Click(b);  // without AllowAllUp it stays pressed
    EXPECT_TRUE(b->Pressed());
    b->SetEnabled(false);
    EXPECT_EQ(b->State(), S::bsDisabledDown);
    auto* single = f.Add(70, 10);
    single->SetPressed(true);
    EXPECT_FALSE(single->Pressed());
}

// The pointer coming and going repaints only a button whose look shows
// it; a pressed face is drawn again whichever state it comes from; and a
// button with a mouse-over cell of its own shows pushed while its click runs.
TEST(QclOfficeButton, AStateChangeRepaintsWhereTheLookChangesAndAThreeCellButtonClicksPushed) {
    ButtonForm f;
    auto* plain = f.Add<PaintCountingButton>(10, 10);
    plain->SetStyle(TQclUserButtonStyle::ubsWin40);
    plain->SetGlyph(Filled(16, 16, clRed).get());
    auto* flat = f.Add<PaintCountingButton>(40, 10);
    flat->SetGlyph(Filled(16, 16, clRed).get());
    auto* cells = f.Add<PaintCountingButton>(70, 10);
    cells->SetStyle(TQclUserButtonStyle::ubsWin40);
    cells->SetGlyph(Filled(48, 16, clRed).get());
    ASSERT_EQ(cells->NumGlyphs(), 3);
    f.form->Update();
    PumpMessages();
    auto hoverPaints = [&](PaintCountingButton* b) {
        const int before = b->paints;
        f.Hover(b);
        EXPECT_EQ(b->State(), S::bsMouseOver);
        f.Hover(f.form.get(), 250, 150);
        EXPECT_EQ(b->State(), S::bsUp);
        PumpMessages();
        return b->paints - before;
    };
    EXPECT_EQ(hoverPaints(plain), 0);
    EXPECT_GE(hoverPaints(flat), 2);
    EXPECT_GE(hoverPaints(cells), 2);

    S during = S::bsUp;
    plain->OnClick = [&](TObject*) { during = plain->State(); };
    cells->OnClick = [&](TObject*) { during = cells->State(); };
    f.Hover(plain);
    f.Click(plain);
    EXPECT_EQ(during, S::bsMouseOver);
    f.Hover(cells);
    f.Click(cells);
    EXPECT_EQ(during, S::bsPushed);
    EXPECT_EQ(cells->State(), S::bsMouseOver);

    // A pressed button drops its menu and comes back pressed by way of
    // mouse over: its face is the pressed one again.
    auto* menu = Create<TPopupMenu>(f.form.get());
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption("Print...");
    menu->Items()->Add(item);
    plain->SetGroupIndex(1);
    plain->SetPressed(true);
    plain->SetDropDownMenu(menu);
    TPopupMenu::TestChooser = [](TPopupMenu*) -> WORD { return 0; };
    f.Down(plain);
    f.Up(plain);
    TPopupMenu::TestChooser = nullptr;
    PumpMessages();
    EXPECT_EQ(plain->State(), S::bsDown);
    EXPECT_EQ(plain->painted, S::bsDown);
}

// Glyphs of few colours carry their palettes: the form has them realised
// when it is given the palette focus, and says whether any was.
TEST(QclOfficeButton, AGlyphsPaletteIsRealisedWhenTheFormAsks) {
    ButtonForm f;
    auto* office = f.Add(10, 10);
    auto* speed = Create<TWuSpeedButton>(f.form.get());
    speed->SetParent(f.form.get());
    speed->SetBounds(40, 10, 25, 25);
    auto ask = [&] { return SendMessageA(f.form->Handle(), WM_QUERYNEWPALETTE, 0, 0); };
    office->SetGlyph(Filled(16, 16, clRed).get());
    EXPECT_EQ(office->GetPalette(), nullptr);
    EXPECT_EQ(ask(), 0);
    auto indexed = Indexed(16, 16);
    office->SetGlyph(indexed.get());
    EXPECT_NE(office->GetPalette(), nullptr);
    EXPECT_EQ(ask(), 1);
    office->SetVisible(false);
    EXPECT_EQ(ask(), 0);
    speed->SetGlyph(indexed.get());
    EXPECT_NE(speed->GetPalette(), nullptr);
    EXPECT_EQ(ask(), 1);
    EXPECT_EQ(SendMessageA(f.form->Handle(), WM_PALETTECHANGED, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0), 1);
}

TEST(QclGlyph, ButtonsOfOneSizeShareOneListOfTheOneCache) {
    auto glyph = Filled(16, 16, clRed);
    {
        ButtonForm f;
        auto* a = f.Add(10, 10);
        auto* b = f.Add(40, 10);
        a->SetGlyph(glyph.get());
        b->SetGlyph(glyph.get());
        ASSERT_GE(a->GlyphObject().CreateImage(0), 0);
        ASSERT_GE(b->GlyphObject().CreateImage(1), 0);
        EXPECT_EQ(a->GlyphObject().List(), b->GlyphObject().List());
        EXPECT_EQ(GlyphCache()->ListCount(), 1);
        // Pushed and mouse-over use the up image with one cell.
        EXPECT_EQ(a->GlyphObject().CreateImage(4), a->GlyphObject().CreateImage(0));
        // A new glyph gives the slots back; the next of that size reuses one.
        TGlyphList* list = a->GlyphObject().List();
        int capacity = list->Capacity();
        a->SetGlyph(glyph.get());
        EXPECT_GE(a->GlyphObject().CreateImage(0), 0);
        EXPECT_EQ(list->Capacity(), capacity);
        auto wide = Filled(96, 16, clBlue);
        a->SetNumGlyphs(4);
        a->SetGlyph(wide.get());
        EXPECT_EQ(a->NumGlyphs(), 1);
        auto four = Filled(64, 16, clBlue);
        a->SetGlyph(four.get());
        EXPECT_EQ(a->NumGlyphs(), 4);
        auto odd = Filled(40, 16, clBlue);
        a->SetGlyph(odd.get());
        EXPECT_EQ(a->NumGlyphs(), 4);
    }
    EXPECT_FALSE(GlyphCacheExists());
}

TEST(QclOfficeButton, ReadFromALayoutWithItsMenu) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object PrintButton: TQclOfficeButton
    Left = 8
    Top = 8
    Width = 23
    Height = 22
    DropDownMenu = PrinterPopup
    Style = ubsFlat
    Enabled = False
  end
  object Explorer: TQclExplorerButton
    Left = 40
    Top = 8
    UnColorMain = False
  end
  object PrinterPopup: TPopupMenu
  end
end
)",
                         "test");
    auto* print = dynamic_cast<TQclOfficeButton*>(form->FindComponent("PrintButton"));
    auto* explorer = dynamic_cast<TQclExplorerButton*>(form->FindComponent("Explorer"));
    ASSERT_NE(print, nullptr);
    ASSERT_NE(explorer, nullptr);
    EXPECT_EQ(print->DropDownMenu(), form->FindComponent("PrinterPopup"));
    EXPECT_EQ(print->State(), S::bsDisabled);
    EXPECT_FALSE(explorer->UnColorMain());
    EXPECT_TRUE(explorer->Transparent());
    EXPECT_EQ(explorer->Width(), 54);
    std::string written = WriteLayout(form.get());
    EXPECT_NE(written.find("Style = ubsFlat"), std::string::npos);
}

TEST(QclDockButton, SitsRightOfItsEditFollowsItAndPullsItAlong) {
    ButtonForm f;
    auto* edit = Create<TEdit>(f.form.get());
    edit->SetParent(f.form.get());
    edit->SetBounds(10, 40, 120, 21);
    auto* b = Create<TQclDockButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetControl(edit);
    EXPECT_TRUE(b->Hooked());
    EXPECT_EQ(b->BoundsRect(), (TRect{131, 40, 153, 61}));
    edit->SetBounds(20, 80, 100, 25);
    PumpMessages();
    EXPECT_EQ(b->BoundsRect(), (TRect{121, 80, 143, 105}));
    edit->SetVisible(false);
    PumpMessages();
    EXPECT_FALSE(b->Visible());
    edit->SetVisible(true);
    PumpMessages();
    EXPECT_TRUE(b->Visible());
    b->SetBounds(200, 10, 22, 25);
    EXPECT_EQ(edit->BoundsRect(), (TRect{99, 10, 199, 35}));
    // A press draws the pushed face; the release clicks once.
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    UpdateWindow(b->Handle());
    EXPECT_EQ(b->DrawnState(), S::bsPushed);
    SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    UpdateWindow(b->Handle());
    PumpMessages();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(b->DrawnState(), S::bsUp);
    // A new window of the edit is followed as the old one was.
    edit->RecreateWnd();
    PumpMessages();
    EXPECT_TRUE(b->Hooked());
    edit->SetBounds(30, 60, 100, 25);
    PumpMessages();
    EXPECT_EQ(b->BoundsRect(), (TRect{131, 60, 153, 85}));
    edit->Free();
    EXPECT_EQ(b->Control(), nullptr);
    EXPECT_FALSE(b->Hooked());
}

// An edit without a parent has no window yet: the button takes it as its
// control without an error and docks to it once it has one.
TEST(QclDockButton, AnEditWithoutAWindowYetIsTakenWithoutAnError) {
    ButtonForm f;
    auto* edit = Create<TEdit>(f.form.get());
    edit->SetBounds(10, 40, 120, 21);
    auto* b = Create<TQclDockButton>(f.form.get());
    b->SetParent(f.form.get());
    EXPECT_NO_THROW(b->SetControl(edit));
    EXPECT_EQ(b->Control(), edit);
    EXPECT_FALSE(b->Hooked());
    edit->SetParent(f.form.get());
    b->SetDocked(true);
    EXPECT_TRUE(b->Hooked());
    EXPECT_EQ(b->BoundsRect(), (TRect{131, 40, 153, 61}));
    edit->SetBounds(20, 80, 100, 25);
    PumpMessages();
    EXPECT_EQ(b->BoundsRect(), (TRect{121, 80, 143, 105}));
}

TEST(QclCustomButton, MadeDefaultItStaysOwnerDrawnAndDrawsTheDefaultLook) {
    ButtonForm f;
    auto* edit = Create<TEdit>(f.form.get());
    edit->SetParent(f.form.get());
    edit->SetBounds(10, 10, 100, 21);
    auto* b = Create<TQclCustomButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetBounds(10, 40, 75, 25);
    b->SetCaption("OK");
    auto* other = Create<TQclCustomButton>(f.form.get());
    other->SetParent(f.form.get());
    other->SetBounds(100, 40, 75, 25);
    edit->SetFocus();
    PumpMessages();
    EXPECT_FALSE(b->Active());
    b->SetDefault(true);
    PumpMessages();
    EXPECT_EQ(GetWindowLongA(b->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
    EXPECT_TRUE(b->Active());
    // Another button with the focus is the one Enter presses; leaving it
    // gives the look back to the default button.
    other->SetFocus();
    PumpMessages();
    EXPECT_FALSE(b->Active());
    EXPECT_TRUE(other->Active());
    edit->SetFocus();
    PumpMessages();
    EXPECT_TRUE(b->Active());
    EXPECT_FALSE(other->Active());
    EXPECT_EQ(GetWindowLongA(other->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
}

TEST(QclCustomButton, GlyphComesFromItsImageListAndGoesBackToItWithCustomKind) {
    ButtonForm f;
    auto* list = Create<TQclBitmapList>(f.form.get());
    list->Items(list->Add())->Bitmap()->Assign(Filled(16, 16, clRed).get());
    list->Items(list->Add())->Bitmap()->Assign(Filled(12, 12, clBlue).get());
    auto* b = Create<TQclDockButton>(f.form.get());
    b->SetParent(f.form.get());
    ASSERT_EQ(b->Glyph()->Width(), 13);  // the ellipsis
    b->SetImageList(list);
    EXPECT_EQ(b->Glyph()->Width(), 13);  // a built-in kind keeps its glyph
    b->SetGlyphKind(TQclGlyphKind::gkCustom);
    ASSERT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(At(*b->Glyph(), 4, 4), clRed);
    b->SetListIndex(1);
    EXPECT_EQ(At(*b->Glyph(), 4, 4), clBlue);
    list->Free();
    EXPECT_EQ(b->ImageList(), nullptr);
    EXPECT_TRUE(b->Glyph()->Empty());
    // No list: custom is no glyph, not the last built-in one.
    b->SetGlyphKind(TQclGlyphKind::gkFolder);
    b->SetGlyphKind(TQclGlyphKind::gkCustom);
    EXPECT_TRUE(b->Glyph()->Empty());
}

TEST(QclCustomButton, HeldWithRepeatedClickItClicksPerIntervalAndOnceOnRelease) {
    ButtonForm f;
    auto* b = Create<TQclCustomButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetBounds(10, 10, 75, 25);
    b->SetRepeatedClick(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    f.form->Update();
    POINT p{20, 10};
    ClientToScreen(b->Handle(), &p);
    SetCursorPos(p.x, p.y);
    SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 10));
    EXPECT_TRUE(b->Repeating());
    EXPECT_TRUE(PumpUntil([&] { return clicks >= 3; }));
    SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 10));
    EXPECT_FALSE(b->Repeating());
    PumpMessages();
    int held = clicks;
    Sleep(250);
    PumpMessages();
    EXPECT_EQ(clicks, held);  // nothing after the release but its own click
}

TEST(QclDockButton, ReadsTheOldAdjustSizeName) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Edit1: TEdit
    Left = 8
    Top = 8
  end
  object Dock1: TQclDockButton
    Control = Edit1
    AdjustSize = False
    Position = dpBottom
  end
end
)",
                         "test");
    auto* d = dynamic_cast<TQclDockButton*>(form->FindComponent("Dock1"));
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->AdjustDockedSize());
    EXPECT_EQ(d->Control(), form->FindComponent("Edit1"));
}

namespace {
TColor GlyphPixel(TQclDockButton* b, int x, int y) { return static_cast<TColor>(GetPixel(b->Glyph()->Canvas()->Handle(), x, y)); }
}  // namespace

TEST(QclDockButton, ShowsItsBuiltInGlyphAndTakesAnotherKindFromALayout) {
    ButtonForm f;
    auto* b = Create<TQclDockButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetBounds(10, 10, 22, 22);
    EXPECT_EQ(b->Caption(), "");
    ASSERT_EQ(b->Glyph()->Width(), 13);
    EXPECT_EQ(b->Glyph()->Height(), 14);
    EXPECT_EQ(GlyphPixel(b, 2, 8), clBlack);  // the first dot of the ellipsis
    EXPECT_EQ(GlyphPixel(b, 3, 8), clSilver);
    // The dots are drawn on the face.
    RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpMessages();
    HDC dc = GetDC(b->Handle());
    int black = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 3; x < 19; ++x) black += GetPixel(dc, x, y) == 0;
    ReleaseDC(b->Handle(), dc);
    EXPECT_EQ(black, 6);
    b->SetGlyphKind(TQclGlyphKind::gkFont);
    EXPECT_EQ(GlyphPixel(b, 6, 2), clBlack);  // the tip of the letter
    EXPECT_EQ(GlyphPixel(b, 2, 8), clSilver);

    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Dock1: TQclDockButton
    GlyphKind = gkFolder
  end
end
)",
                         "test");
    auto* d = dynamic_cast<TQclDockButton*>(form->FindComponent("Dock1"));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->GlyphKind(), TQclGlyphKind::gkFolder);
    EXPECT_EQ(GlyphPixel(d, 1, 3), clYellow);
}

namespace {
// A face whose top-left quarter is `color`, the rest the transparent white.
void AddFace(TQclBitmapList* list, TColor color) {
    auto face = Filled(20, 20, clWhite);
    face->Canvas()->Brush()->SetColor(color);
    face->Canvas()->FillRect(Rect(0, 0, 10, 10));
    list->Items(list->Add())->Bitmap()->Assign(face.get());
}
TColor FormPixel(TForm* form, int x, int y) {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(form->Handle());
    auto c = static_cast<TColor>(GetPixel(dc, x, y));
    ReleaseDC(form->Handle(), dc);
    return c;
}
}  // namespace

TEST(QclMMButton, ShowsTheFaceOfItsStateAndIgnoresTheFacesTransparentPart) {
    ButtonForm f;
    auto* faces = Create<TQclBitmapList>(f.form.get());
    AddFace(faces, clRed);
    AddFace(faces, clBlue);
    auto* b = Create<TQclMMButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetBounds(10, 10, 20, 20);
    b->SetButtonFaceImageList(faces);
    b->SetFace(S::bsPushed, 0, 1);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(FormPixel(f.form.get(), 15, 15), clRed);
    // The white half is not the button.
    f.Down(b, 15, 5);
    f.Up(b, 15, 5);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(b->State(), S::bsUp);
    f.Down(b, 5, 5);
    EXPECT_EQ(b->State(), S::bsPushed);
    EXPECT_EQ(FormPixel(f.form.get(), 15, 15), clBlue);
    f.Up(b, 5, 5);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(FormPixel(f.form.get(), 15, 15), clRed);
    // The list going leaves a button with no face and nothing to hit.
    faces->Free();
    EXPECT_EQ(b->ButtonFaceImageList(), nullptr);
    EXPECT_FALSE(b->PointInButton(5, 5));
}

TEST(QclMMButton, EveryFaceSurvivesALayoutAndAWrongLengthBlockIsIgnored) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object B1: TQclMMButton
    ButtonFaceStyle = sbStretch
    ButtonFaceIndices = {0100000002000000}
  end
end
)",
                         "test");
    auto* b = dynamic_cast<TQclMMButton*>(form->FindComponent("B1"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ButtonFaceStyle(), TQclBitmapStyle::sbStretch);
    EXPECT_EQ(b->Faces()[0], (std::pair<int32_t, int32_t>{0, 0}));
    b->SetFace(S::bsDisabledDown, 7, 3);
    b->SetFaceTransparentColor(clFuchsia);
    std::string written = WriteLayout(form.get());
    auto copy = MakeOwned<TForm>();
    copy->InitializeForm(written, "copy");
    auto* c = dynamic_cast<TQclMMButton*>(copy->FindComponent("B1"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Faces(), b->Faces());
    EXPECT_EQ(c->FaceTransparentColor(), clFuchsia);
}

TEST(QclMMButton, WritesTheBlockOfSevenStatesUnlessTheSeventhHasAFace) {
    ButtonForm f;
    auto* b = Create<TQclMMButton>(f.form.get());
    b->SetName("B1");
    b->SetParent(f.form.get());
    b->SetFace(S::bsPushed, 2, 0);
    std::string written = WriteLayout(f.form.get());
    size_t at = written.find("ButtonFaceIndicesNew = {");
    ASSERT_NE(at, std::string::npos);
    std::string block = written.substr(at + 24, written.find('}', at) - at - 24);
    block.erase(std::remove_if(block.begin(), block.end(), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); }), block.end());
    EXPECT_EQ(block.size(), 112u);  // 56 bytes
    b->SetFace(S::bsDisabledDown, 1, 0);
    written = WriteLayout(f.form.get());
    at = written.find("ButtonFaceIndicesNew = {");
    block = written.substr(at + 24, written.find('}', at) - at - 24);
    block.erase(std::remove_if(block.begin(), block.end(), [](char ch) { return std::isspace(static_cast<unsigned char>(ch)); }), block.end());
    EXPECT_EQ(block.size(), 128u);  // 64 bytes
}

TEST(QclMMButton, TransparentWithoutAParentPictureItLeavesTheFacesTransparentPartToItsParent) {
    ButtonForm f;
    f.form->SetColor(clYellow);
    auto* faces = Create<TQclBitmapList>(f.form.get());
    AddFace(faces, clRed);
    auto* b = Create<TQclMMButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetBounds(10, 10, 20, 20);
    b->SetButtonFaceImageList(faces);
    b->SetTransparent(true);
    EXPECT_EQ(FormPixel(f.form.get(), 15, 15), clRed);
    EXPECT_EQ(FormPixel(f.form.get(), 25, 25), clYellow);
    b->SetTransparent(false);
    b->SetForceTransparent(false);
    b->SetColor(clBlue);
    EXPECT_EQ(FormPixel(f.form.get(), 25, 25), clBlue);  // opaque: its own colour, not the parent's
    EXPECT_EQ(b->GetPalette(), nullptr);  // a true-colour face has no palette
}

TEST(QclOfficeButton, ItsLetterClicksItOnceAndAGroupedOneToggles) {
    ButtonForm f;
    auto* b = f.Add(10, 10);
    b->SetBounds(10, 10, 60, 22);
    b->SetCaption("&Print");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'p'), 1);
    EXPECT_EQ(clicks, 1);
    // Shown under the pointer while it clicked; afterwards as the pointer is.
    POINT p;
    GetCursorPos(&p);
    TPoint local = b->ScreenToClient({p.x, p.y});
    EXPECT_EQ(b->MouseInside(), QclPointInSize(local.x, local.y, b->Width(), b->Height()));
    EXPECT_EQ(b->Perform(CM_DIALOGCHAR, 'x'), 0);
    auto* g = f.Add(80, 10);
    g->SetBounds(80, 10, 60, 22);
    g->SetCaption("&Bold");
    g->SetGroupIndex(4);
    g->SetAllowAllUp(true);
    int gclicks = 0;
    g->OnClick = [&](TObject*) { ++gclicks; };
    g->Perform(CM_DIALOGCHAR, 'b');
    EXPECT_TRUE(g->Pressed());
    EXPECT_EQ(g->State(), S::bsDown);
    EXPECT_EQ(gclicks, 1);
    g->Perform(CM_DIALOGCHAR, 'b');
    EXPECT_FALSE(g->Pressed());
    EXPECT_EQ(g->State(), S::bsUp);
    EXPECT_EQ(gclicks, 1);
}

TEST(QclOfficeButton, AllowAllUpReachesTheWholeGroupAndAHoveredPressedFaceIsPlain) {
    ButtonForm f;
    auto* a = f.Add(10, 10);
    auto* b = f.Add(40, 10);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    b->SetAllowAllUp(true);
    EXPECT_TRUE(a->AllowAllUp());
    b->SetAllowAllUp(false);
    EXPECT_FALSE(a->AllowAllUp());
    // A pressed flat button draws the checked pattern, and plain while hovered.
    a->SetColor(clSilver);
    f.Click(a);
    ASSERT_EQ(a->State(), S::bsDown);
    f.Hover(b);
    auto whites = [&] {
        RedrawWindow(f.form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessages();
        WindowDC dc(f.form->Handle());
        int n = 0;
        for (int y = 13; y < 29; ++y) n += GetPixel(dc.Get(), 12, y) == RGB(255, 255, 255);
        return n;
    };
    EXPECT_GT(whites(), 4);
    // The pointer itself goes there too: the button checks where it is.
    TPoint over = a->ClientToScreen({12, 12});
    SetCursorPos(over.x, over.y);
    f.Hover(a, 12, 12);
    EXPECT_TRUE(a->MouseInside());
    EXPECT_EQ(whites(), 0);
}

TEST(QclCustomButton, ALayoutLinksItsImageListAndSetsRepeatAndHint) {
    auto form = MakeOwned<TForm>();
    auto* list = Create<TQclBitmapList>(form.get());
    list->SetName("Pictures");
    list->Items(list->Add())->Bitmap()->Assign(Filled(16, 16, clRed).get());
    list->Items(list->Add())->Bitmap()->Assign(Filled(10, 10, clLime).get());
    form->InitializeForm(R"(object Form1: TForm
  object Button1: TQclCustomButton
    Caption = 'Go'
    ImageList = Pictures
    ListIndex = 1
    HideHint = False
    RepeatedClick = True
    RepeatingInterval = 200
  end
end
)",
                         "test");
    auto* b = dynamic_cast<TQclCustomButton*>(form->FindComponent("Button1"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->ImageList(), list);
    ASSERT_EQ(b->Glyph()->Width(), 10);
    EXPECT_EQ(At(*b->Glyph(), 3, 3), clLime);
    EXPECT_FALSE(b->HideHint());
    EXPECT_TRUE(b->RepeatedClick());
    EXPECT_EQ(b->RepeatingInterval(), 200);
    EXPECT_TRUE(b->ParentColor());
    std::string written = WriteLayout(form.get());
    EXPECT_NE(written.find("ImageList = Pictures"), std::string::npos);
    EXPECT_NE(written.find("RepeatingInterval = 200"), std::string::npos);
    // The pointer: enter fires while the button is up, leave always.
    std::string seen;
    b->OnMouseEnter = [&](TObject*) { seen += "enter "; };
    b->OnMouseExit = [&](TObject*) { seen += "exit"; };
    b->SetParent(form.get());
    form->Show();
    PumpMessages();
    b->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(b->MouseInside());
    b->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(b->MouseInside());
    EXPECT_EQ(seen, "enter exit");
    // A glyph set by hand unlinks the list.
    b->SetGlyph(Filled(8, 8, clBlue).get());
    EXPECT_EQ(b->ImageList(), nullptr);
}

TEST(QclCustomButton, TakesItsActionsImageAndKeepsAGlyphOfItsOwn) {
    ButtonForm f;
    auto* images = Create<TImageList>(f.form.get());
    images->SetSize(16, 16);
    images->Add(Filled(16, 16, clRed).get(), nullptr);
    auto* actions = Create<TActionList>(f.form.get());
    actions->SetImages(images);
    auto* action = Create<TAction>(f.form.get());
    action->SetActionList(actions);
    action->SetCaption("Run");
    action->SetImageIndex(0);
    auto* b = Create<TQclCustomButton>(f.form.get());
    b->SetParent(f.form.get());
    b->SetAction(action);
    ASSERT_EQ(b->Glyph()->Width(), 16);
    EXPECT_EQ(At(*b->Glyph(), 8, 8), clRed);
    EXPECT_EQ(b->Caption(), "Run");
    // Another change of the action keeps the glyph; a glyph of its own survives.
    action->SetEnabled(false);
    EXPECT_EQ(b->Glyph()->Width(), 16);
    b->SetGlyph(Filled(12, 12, clBlue).get());
    action->SetCaption("Run now");
    ASSERT_EQ(b->Glyph()->Width(), 12);
    EXPECT_EQ(At(*b->Glyph(), 5, 5), clBlue);
}

TEST(QclButtons, ALayoutHoldsAGlyphOnlyWhereNoImageListGivesIt) {
    auto form = MakeOwned<TForm>();
    auto* list = Create<TQclBitmapList>(form.get());
    list->SetName("Pictures");
    list->Items(list->Add())->Bitmap()->Assign(Filled(16, 16, clRed).get());
    auto add = [&](auto* b, const char* name) {
        b->SetName(name);
        b->SetParent(form.get());
        return b;
    };
    auto* own = add(Create<TQclOfficeButton>(form.get()), "Own");
    own->SetGlyph(Filled(8, 8, clBlue).get());
    auto* listed = add(Create<TQclOfficeButton>(form.get()), "Listed");
    listed->SetImageList(list);
    auto* windowed = add(Create<TQclCustomButton>(form.get()), "Windowed");
    windowed->SetImageList(list);
    auto* folder = add(Create<TQclDockButton>(form.get()), "Folder");
    folder->SetGlyphKind(TQclGlyphKind::gkFolder);
    folder->SetImageList(list);
    ASSERT_FALSE(listed->Glyph()->Empty());
    ASSERT_FALSE(windowed->Glyph()->Empty());
    // The glyph of each button, by its name, as the layout writes it.
    std::string written = WriteLayout(form.get());
    auto glyphOf = [&](const std::string& name) {
        size_t from = written.find("object " + name + ":");
        size_t to = written.find("\n  end", from);
        return written.substr(from, to - from).find("Glyph.Data") != std::string::npos;
    };
    EXPECT_TRUE(glyphOf("Own"));
    EXPECT_FALSE(glyphOf("Listed"));
    EXPECT_FALSE(glyphOf("Windowed"));
    EXPECT_TRUE(glyphOf("Folder"));  // a built-in glyph is the button's own
    // What is written reads back the same.
    auto again = MakeOwned<TForm>();
    again->InitializeForm(written, "written");
    EXPECT_EQ(At(*dynamic_cast<TQclOfficeButton*>(again->FindComponent("Own"))->Glyph(), 3, 3), clBlue);
    EXPECT_EQ(At(*dynamic_cast<TQclOfficeButton*>(again->FindComponent("Listed"))->Glyph(), 3, 3), clRed);
}

TEST(QclExplorerButton, HasNoDropDownMenuToGiveOrWrite) {
    auto form = MakeOwned<TForm>();
    EXPECT_THROW(form->InitializeForm(R"(object Form1: TForm
  object Explorer: TQclExplorerButton
    DropDownIndent = 4
  end
end
)",
                                      "test"),
                 EReadError);
    auto plain = MakeOwned<TForm>();
    auto* explorer = Create<TQclExplorerButton>(plain.get());
    explorer->SetName("Explorer");
    explorer->SetParent(plain.get());
    explorer->SetDropDownIndent(4);
    auto* office = Create<TQclOfficeButton>(plain.get());
    office->SetName("Office");
    office->SetParent(plain.get());
    office->SetDropDownIndent(4);
    std::string written = WriteLayout(plain.get());
    EXPECT_EQ(written.find("DropDownIndent"), written.rfind("DropDownIndent"));
    EXPECT_GT(written.find("DropDownIndent"), written.find("object Office"));
}

TEST(QclExplorerButton, ANewCaptionOrFontShowsOverTheParentAtOnce) {
    ButtonForm f;
    f.form->SetColor(clWhite);
    auto* b = f.Add<TQclExplorerButton>(10, 10);
    b->SetBounds(10, 10, 54, 40);
    b->Font()->SetColor(clBlack);
    PumpMessages();
    auto ink = [&](TColor colour = clBlack) {
        WindowDC dc(f.form->Handle());
        int n = 0;
        for (int y = 10; y < 50; ++y)
            for (int x = 10; x < 64; ++x) n += static_cast<TColor>(GetPixel(dc.Get(), x, y)) == colour;
        return n;
    };
    ASSERT_EQ(ink(), 0);
    b->SetCaption("Go");
    EXPECT_GT(ink(), 10);  // painted before any message is handled
    EXPECT_FALSE(GetUpdateRect(f.form->Handle(), nullptr, FALSE));
    b->Font()->SetColor(clRed);
    EXPECT_GT(ink(clRed), 10);
    EXPECT_EQ(ink(), 0);
    EXPECT_FALSE(GetUpdateRect(f.form->Handle(), nullptr, FALSE));
}

// A form holding each of the library's visual controls in each of its
// states.  Set TRESKEL_SHOWCASE_SHOT to a file name to save a picture of it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/qclbtnMM.h"
#include "controls/qclbtnWin.h"
#include "controls/qclbtnWnd.h"
#include "controls/qclctrlAWin.h"
#include "controls/qclgroupWin.h"
#include "controls/qclstdcS.h"
#include "foundation/qclgraphDraw.h"
#include "foundation/qclcontWin.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {

std::unique_ptr<TBitmap> Glyph() {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(16, 16);
    b->Canvas()->Brush()->SetColor(clFuchsia);
    b->Canvas()->FillRect(Rect(0, 0, 16, 16));
    b->Canvas()->Brush()->SetColor(clNavy);
    b->Canvas()->FillRect(Rect(2, 2, 14, 9));
    b->Canvas()->Brush()->SetColor(clRed);
    b->Canvas()->FillRect(Rect(5, 9, 11, 14));
    b->Canvas()->Brush()->SetColor(clBlack);  // the part a disabled glyph embosses
    b->Canvas()->FrameRect(Rect(1, 1, 15, 10));
    return b;
}

template <class T>
T* Put(TForm* form, TWinControl* parent, int x, int y, int w, int h) {
    auto* c = Create<T>(form);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    return c;
}

}  // namespace

TEST(QclShowcase, FormWithEveryControlInEachState) {
    auto form = MakeForm<TForm>();
    form->SetCaption("Library controls");
    form->SetBounds(10, 10, 780, 540);
    TForm* f = form.get();
    auto glyph = Glyph();

    // Row 1: office buttons up, hovered, pushed, pressed, disabled, disabled pressed, with caption and menu.
    const char* names[] = {"up", "over", "pushed", "pressed", "disabled", "dis.down", "caption", "menu"};
    std::vector<TQclOfficeButton*> office;
    for (int i = 0; i < 8; ++i) {
        auto* b = Put<TQclOfficeButton>(f, f, 10 + 60 * i, 10, i >= 6 ? 56 : 23, 22);
        b->SetGlyph(glyph.get());
        if (i >= 6) {
            b->SetCaption(i == 6 ? "Print" : "Scan");
            b->ButtonLayout()->SetAlignment(TQclAlignment::agCenter);
        }
        office.push_back(b);
        auto* l = Put<TQclSimpleLabel>(f, f, 10 + 60 * i, 34, 50, 13);
        l->SetCaption(names[i]);
    }
    auto* menu = Create<TPopupMenu>(f);
    office[7]->SetDropDownMenu(menu);
    office[7]->ButtonLayout()->SetArrow(true);
    office[3]->SetGroupIndex(1);
    office[3]->SetPressed(true);
    office[4]->SetEnabled(false);
    office[5]->SetGroupIndex(2);
    office[5]->SetPressed(true);
    office[5]->SetEnabled(false);

    // Row 2: a parent panel with a picture, explorer buttons and a transparent panel over it.
    auto* pictures = Create<TQclBitmapList>(f);
    TBitmap tile;
    tile.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) tile.Canvas()->SetPixel(x, y, ((x / 4 + y / 4) % 2) ? 0xE0C0A0 : 0xA0C0E0);
    pictures->Items(pictures->Add())->Bitmap()->Assign(&tile);
    auto* parent = Put<TQclParentPanel>(f, f, 10, 55, 300, 110);
    parent->Bevel()->SetStyleOuter(TQclBevelStyle::bvLowered);
    parent->SetImageList(pictures);
    auto* ex1 = Put<TQclExplorerButton>(f, parent, 10, 10, 54, 40);
    ex1->SetGlyph(glyph.get());
    ex1->SetCaption("Explore");
    ex1->ButtonLayout()->SetAlignment(TQclAlignment::agCenter);
    auto* ex2 = Put<TQclExplorerButton>(f, parent, 70, 10, 54, 40);
    ex2->SetGlyph(glyph.get());
    ex2->SetUnColorMain(false);
    auto* clear = Put<TQclSimplePanel>(f, parent, 140, 10, 140, 40);
    clear->SetTransparent(true);
    clear->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    auto* overLabel = Put<TQclSimpleLabel>(f, parent, 10, 60, 200, 20);
    overLabel->SetCaption("Transparent 3D label");
    overLabel->Font3D()->SetStyle(TQclThreeDStyle::tdRaised);

    // Labels: a link, a 3D caption, a disabled one, and a dock label beside an edit.
    auto* link = Put<TQclSimpleLabel>(f, f, 330, 60, 150, 13);
    link->SetCaption("www.example.org");
    link->SetJumpMode(TQclJumpModes::jmInternet);
    auto* shadow = Put<TQclSimpleLabel>(f, f, 330, 80, 150, 16);
    shadow->SetCaption("Shadowed caption");
    shadow->Font3D()->SetStyle(TQclThreeDStyle::tdShadow);
    auto* off = Put<TQclSimpleLabel>(f, f, 330, 100, 150, 13);
    off->SetCaption("Disabled label");
    off->SetEnabled(false);
    auto* edit = Put<TEdit>(f, f, 430, 125, 180, 21);
    edit->SetText("docked field");
    auto* dock = Put<TQclDockLabel>(f, f, 0, 0, 90, 13);
    dock->SetCaption("Item Name: ");
    dock->SetAlignment(TQclAlignment::agCenterRight);
    dock->SetAdjustDockedSize(true);

    // Row 3: group boxes, a bevelled panel, a radio group and radio buttons.
    auto* top = Put<TQclGroupBox>(f, f, 10, 175, 140, 70);
    top->SetCaption("Top caption");
    auto* bottom = Put<TQclGroupBox>(f, f, 160, 175, 140, 70);
    bottom->SetCaption("Bottom centre");
    bottom->SetAlignment(TQclGroupCaptionAlign::gcaBottomCenter);
    auto* left = Put<TQclGroupBox>(f, f, 420, 175, 110, 70);
    left->SetCaption("Left bottom");
    left->SetAlignment(TQclGroupCaptionAlign::gcaLeftBottom);
    auto* right = Put<TQclGroupBox>(f, f, 540, 175, 110, 70);
    right->SetCaption("Right top");
    right->SetAlignment(TQclGroupCaptionAlign::gcaRightTop);
    right->CaptionFont3D()->SetStyle(TQclThreeDStyle::tdRaised);
    auto* flat = Put<TQclSimplePanel>(f, f, 660, 175, 100, 30);  // flat: a frame only under the pointer
    flat->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    flat->SetFlat(true);
    auto* hot = Put<TQclSimplePanel>(f, f, 660, 215, 100, 30);
    hot->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    hot->SetFlat(true);
    auto* bevelled = Put<TQclSimplePanel>(f, f, 310, 175, 100, 70);
    bevelled->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    bevelled->Bevel()->SetStyleInner(TQclBevelStyle::bvLowered);
    bevelled->Bevel()->SetWidthOuter(2);
    auto* group = Put<TQclRadioGroup>(f, f, 10, 255, 450, 50);
    group->SetCaption("Compression");
    group->Font3D()->SetStyle(TQclThreeDStyle::tdNone);
    group->CaptionFont3D()->SetStyle(TQclThreeDStyle::tdShadow);
    group->SetColumns(3);
    for (const char* s : {"Fast (no compression)", "Slow (some compression)", "Slowest (high compression)"})
        group->Items()->Add(s);
    const char* radios[] = {"unchecked", "checked", "disabled", "disabled checked"};
    std::vector<TQclRadioButton*> r;
    for (int i = 0; i < 4; ++i) {
        auto* p = Put<TQclSimplePanel>(f, f, 10 + 150 * i, 315, 140, 24);  // one panel each: checks are per parent
        auto* b = Put<TQclRadioButton>(f, p, 2, 3, 130, 17);
        b->SetCaption(radios[i]);
        r.push_back(b);
    }

    auto* box = Put<TQclScrollBox>(f, f, 610, 255, 150, 84);
    box->SetColor(clWhite);
    auto* inBox = Put<TQclSimpleLabel>(f, box, 4, 4, 200, 13);
    inBox->SetCaption("A scroll box wider than itself");

    // Row 5: windowed buttons (the default one, a plain one, pushed, disabled
    // with a glyph), a dock button beside an edit, multimedia buttons.
    auto* ok = Put<TQclCustomButton>(f, f, 10, 355, 75, 25);
    ok->SetCaption("OK");
    auto* cancel = Put<TQclCustomButton>(f, f, 95, 355, 75, 25);
    cancel->SetCaption("Cancel");
    auto* pushed = Put<TQclCustomButton>(f, f, 180, 355, 75, 25);
    pushed->SetCaption("Held");
    auto* disabled = Put<TQclCustomButton>(f, f, 265, 355, 90, 25);
    disabled->SetCaption("Glyph");
    disabled->SetGlyph(glyph.get());
    disabled->ButtonLayout()->SetAlignment(TQclAlignment::agCenter);
    disabled->SetEnabled(false);
    auto* withGlyph = Put<TQclCustomButton>(f, f, 365, 355, 90, 25);
    withGlyph->SetCaption("Glyph");
    withGlyph->SetGlyph(glyph.get());
    auto* folderEdit = Put<TEdit>(f, f, 10, 395, 200, 21);
    folderEdit->SetText("C:\\Notes");
    auto* folder = Put<TQclDockButton>(f, f, 0, 0, 22, 22);
    folder->SetGlyphKind(TQclGlyphKind::gkFolder);
    auto* faces = Create<TQclBitmapList>(f);
    for (TColor c : {clGreen, clMaroon}) {
        TBitmap face;
        face.SetSize(40, 24);
        face.Canvas()->Brush()->SetColor(clWhite);
        face.Canvas()->FillRect(Rect(0, 0, 40, 24));
        face.Canvas()->Brush()->SetColor(c);
        face.Canvas()->Ellipse(0, 0, 40, 24);
        faces->Items(faces->Add())->Bitmap()->Assign(&face);
    }
    std::vector<TQclMMButton*> mm;
    for (int i = 0; i < 2; ++i) {
        auto* m = Put<TQclMMButton>(f, f, 470 + 50 * i, 355, 40, 24);
        m->SetButtonFaceImageList(faces);
        m->SetFace(TQclButtonState::bsPushed, 0, 1);
        m->SetCaption(i == 0 ? "up" : "down");
        m->Font()->SetColor(clWhite);
        mm.push_back(m);
    }

    form->Show();
    ok->SetDefault(true);
    folder->SetControl(folderEdit);
    dock->SetFocusControl(edit);
    group->SetItemIndex(1);
    r[1]->SetChecked(true);
    r[2]->SetEnabled(false);
    r[3]->SetChecked(true);
    r[3]->SetEnabled(false);
    PumpMessages();
    // Hover the second button and hold the third, as the mouse does.
    auto at = [&](TControl* c, int dx, int dy) { return MAKELPARAM(c->Left() + dx, c->Top() + dy); };
    SendMessageA(f->Handle(), WM_MOUSEMOVE, 0, at(office[1], 5, 5));
    EXPECT_EQ(office[1]->State(), TQclButtonState::bsMouseOver);
    SendMessageA(f->Handle(), WM_MOUSEMOVE, 0, at(office[2], 5, 5));
    SendMessageA(f->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at(office[2], 5, 5));
    EXPECT_EQ(office[2]->State(), TQclButtonState::bsPushed);
    office[1]->Perform(CM_MOUSEENTER);  // the hover of the first stays drawn
    office[1]->MouseEnter();
    hot->Perform(CM_MOUSEENTER);
    mm[1]->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));  // the office button holds the capture
    SendMessageA(pushed->Handle(), BM_SETSTATE, TRUE, 0);
    PumpMessages();
    EXPECT_EQ(mm[1]->State(), TQclButtonState::bsPushed);
    EXPECT_TRUE(ok->Active());
    EXPECT_EQ(folder->Left(), folderEdit->Left() + folderEdit->Width() + 1);
    EXPECT_EQ(office[3]->State(), TQclButtonState::bsDown);
    EXPECT_EQ(office[5]->State(), TQclButtonState::bsDisabledDown);
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(dock->Left() + dock->Width() + 1, edit->Left());

    if (const char* shot = std::getenv("TRESKEL_SHOWCASE_SHOT")) {
        RECT wr;
        GetWindowRect(f->Handle(), &wr);
        TBitmap picture;
        picture.SetPixelFormat(TPixelFormat::pf24bit);
        picture.SetSize(wr.right - wr.left, wr.bottom - wr.top);
        WindowDC screen(nullptr);
        BitBlt(picture.Canvas()->Handle(), 0, 0, picture.Width(), picture.Height(), screen.Get(), wr.left, wr.top,
               SRCCOPY);
        picture.SaveToFile(shot);
    }
    SendMessageA(f->Handle(), WM_LBUTTONUP, 0, at(office[2], 40, 40));
    mm[1]->Perform(WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
}

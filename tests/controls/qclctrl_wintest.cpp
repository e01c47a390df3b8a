// The library's panels and labels on real forms: docking, jumps and
// transparency over a patterned parent, checked by pixels.
#include <gtest/gtest.h>

#include "controls/qclbtnWin.h"
#include "controls/qclbtnWnd.h"
#include "controls/qclctrlAWin.h"
#include "controls/qclgroupWin.h"
#include "controls/qclstdcS.h"
#include "platform/FormLoader.h"
#include "foundation/qclcontWin.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/StdCtrls.h"
#include "platform/Subclass.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

using namespace treskel;
using namespace treskel::test;

namespace {

const TColor kQuadrant[4] = {clRed, clBlue, clLime, clYellow};
// 8 x 8 tiles of four 4 x 4 squares: the colour tells where a pixel came from.
TColor PatternAt(int x, int y) { return kQuadrant[((x % 8) / 4) + 2 * ((y % 8) / 4)]; }

struct PatternForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TQclBitmapList* pictures = Create<TQclBitmapList>(form.get());
    TQclParentPanel* parent = Create<TQclParentPanel>(form.get());
    PatternForm() {
        TBitmap tile;
        tile.SetPixelFormat(TPixelFormat::pf24bit);
        tile.SetSize(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) tile.Canvas()->SetPixel(x, y, PatternAt(x, y));
        pictures->Items(pictures->Add())->Bitmap()->Assign(&tile);
        form->SetBounds(100, 100, 320, 260);
        parent->SetParent(form.get());
        parent->SetBounds(4, 4, 300, 180);
        parent->SetImageList(pictures);
        form->Show();
        PumpMessages();
    }
    // A transparent scroll box on the pattern at (21, 13), 120 by 80.
    TQclScrollBox* TransparentScrollBox() {
        auto* box = Create<TQclScrollBox>(form.get());
        box->SetParent(parent);
        box->SetBounds(21, 13, 120, 80);
        box->SetTransparent(true);
        PumpMessages();
        return box;
    }
    // A group box on the form at (10, 10).
    TQclGroupBox* GroupBox(const char* caption, int width = 185, int height = 105) {
        auto* box = Create<TQclGroupBox>(form.get());
        box->SetParent(form.get());
        box->SetBounds(10, 10, width, height);
        box->SetCaption(caption);
        return box;
    }
    // The colour on screen at a point of a control's window.
    static TColor ScreenAt(TWinControl* c, int x, int y) {
        RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessages();
        HDC dc = GetDC(c->Handle());
        COLORREF p = GetPixel(dc, x, y);
        ReleaseDC(c->Handle(), dc);
        return static_cast<TColor>(p);
    }
};

}  // namespace

TEST(QclPanels, ATransparentChildShowsTheParentsPictureAtItsOwnPlace) {
    PatternForm f;
    EXPECT_TRUE(f.parent->BackgroundAvailable());
    EXPECT_EQ(f.ScreenAt(f.parent, 13, 10), PatternAt(13, 10));
    auto* child = Create<TQclSimplePanel>(f.form.get());
    child->SetParent(f.parent);
    child->SetBounds(13, 10, 60, 40);
    child->SetTransparent(true);
    PumpMessages();
    for (auto [x, y] : {std::pair{0, 0}, {4, 1}, {9, 6}, {30, 30}})
        EXPECT_EQ(f.ScreenAt(child, x, y), PatternAt(13 + x, 10 + y)) << x << "," << y;
    // An opaque child fills itself with its colour.
    child->SetTransparent(false);
    child->SetColor(clWhite);
    PumpMessages();
    EXPECT_EQ(f.ScreenAt(child, 4, 1), clWhite);
    // A transparent panel on an ordinary parent paints its own colour.
    auto* plain = Create<TQclSimplePanel>(f.form.get());
    plain->SetParent(f.form.get());
    plain->SetBounds(10, 190, 20, 10);
    plain->SetColor(clFuchsia);
    plain->SetTransparent(true);
    PumpMessages();
    EXPECT_EQ(f.ScreenAt(plain, 5, 5), clFuchsia);
    // The list going takes the back bitmap with it.
    f.pictures->Free();
    EXPECT_FALSE(f.parent->BackgroundAvailable());
    EXPECT_EQ(f.ScreenAt(f.parent, 5, 100), static_cast<TColor>(ColorToRGB(clBtnFace)));
}

TEST(QclPanels, AMovedTransparentPanelShowsThePictureOfItsNewPlace) {
    PatternForm f;
    auto* child = Create<TQclSimplePanel>(f.form.get());
    child->SetParent(f.parent);
    child->SetBounds(13, 10, 60, 40);
    child->SetTransparent(true);
    auto* label = Create<TQclSimpleLabel>(f.form.get());
    label->SetParent(child);
    label->SetBounds(2, 2, 20, 10);
    PumpMessages();
    child->SetBounds(18, 21, 60, 40);
    PumpMessages();
    // (The list draws the picture's bottom-left colour, lime, as transparent.)
    for (auto [x, y] : {std::pair{2, 0}, {0, 3}, {3, 3}, {9, 6}, {30, 30}, {58, 38}})
        EXPECT_EQ(f.ScreenAt(child, x, y), PatternAt(18 + x, 21 + y)) << x << "," << y;
    EXPECT_EQ(child->GetBackPalette(), nullptr);  // it offers the background itself
    EXPECT_EQ(f.parent->GetPalette(), nullptr);   // a true-colour picture
}

TEST(QclPanels, AFlatBevelPanelShowsItsFrameOnlyUnderThePointer) {
    PatternForm f;
    auto* panel = Create<TQclSimplePanel>(f.form.get());
    panel->SetParent(f.form.get());
    panel->SetBounds(10, 190, 60, 30);
    panel->SetColor(clBlue);
    panel->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    panel->Bevel()->SetWidthOuter(2);
    panel->Bevel()->SetLightColor(clWhite);
    panel->SetFlat(true);
    PumpMessages();
    EXPECT_EQ(f.ScreenAt(panel, 0, 0), clBlue);  // no frame while the pointer is away
    panel->Perform(CM_MOUSEENTER);
    {
        WindowDC dc(panel->Handle());
        EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 0, 0)), clWhite);
    }
    panel->Perform(CM_MOUSELEAVE);
    {
        WindowDC dc(panel->Handle());
        EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 0, 0)), clBlue);
    }
    // A system frame changes with the 3D look: the window is made anew.
    panel->SetFlat(false);
    panel->Bevel()->SetMode(TQclBevelMode::bmWindows);
    PumpMessages();
    EXPECT_TRUE(GetWindowLongA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    panel->SetCtl3D(false);
    EXPECT_FALSE(GetWindowLongA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLongA(panel->Handle(), GWL_STYLE) & WS_BORDER);
}

TEST(QclPanels, APanelGivenAWindowsBevelFromElsewhereShowsTheSystemFrame) {
    PatternForm f;
    auto* panel = Create<TQclSimplePanel>(f.form.get());
    panel->SetParent(f.form.get());
    panel->SetBounds(10, 190, 60, 30);
    PumpMessages();
    EXPECT_EQ(panel->ClientWidth(), 60);
    TQclBevel framed;
    framed.SetMode(TQclBevelMode::bmWindows);
    panel->SetBevel(&framed);
    PumpMessages();
    EXPECT_TRUE(panel->Bevel()->WindowedOwner());
    EXPECT_TRUE(GetWindowLongA(panel->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(panel->ClientWidth(), 56);
}

TEST(QclPanels, AParentPanelMadeTransparentAndOpaqueAgainShowsItsPictureOnceResized) {
    PatternForm f;
    EXPECT_EQ(f.ScreenAt(f.parent, 13, 10), PatternAt(13, 10));
    f.parent->SetTransparent(true);
    PumpMessages();
    f.parent->SetTransparent(false);
    f.parent->SetBounds(4, 4, 280, 170);
    PumpMessages();
    for (auto [x, y] : {std::pair{13, 10}, {1, 1}, {100, 60}})
        EXPECT_EQ(f.ScreenAt(f.parent, x, y), PatternAt(x, y)) << x << "," << y;
}

TEST(QclPanels, AnExplorerButtonOverThePictureLetsItShowThrough) {
    PatternForm f;
    auto* b = Create<TQclExplorerButton>(f.form.get());
    b->SetParent(f.parent);
    b->SetBounds(21, 13, 54, 40);
    PumpMessages();
    EXPECT_TRUE(b->IsTransparentActive());
    EXPECT_EQ(f.ScreenAt(f.parent, 21 + 10, 13 + 10), PatternAt(31, 23));
    EXPECT_EQ(f.ScreenAt(f.parent, 21 + 27, 13 + 5), PatternAt(48, 18));
}

TEST(QclGroupBox, BlankCaptionLeavesNoGapAndCaptionHeightShapesTheClientArea) {
    PatternForm f;
    auto* box = f.GroupBox("   ");
    box->SetColor(clWhite);
    PumpMessages();
    // Without a caption the frame runs round the whole box.
    EXPECT_NE(f.ScreenAt(box, 20, 0), clWhite);
    box->SetCaption("Group");
    PumpMessages();
    int line = box->CaptionHeight() / 2 - 1;
    EXPECT_NE(f.ScreenAt(box, 100, line), clWhite);
    EXPECT_EQ(f.ScreenAt(box, 9, line), clWhite);  // in the caption's gap
    EXPECT_GT(box->CaptionHeight(), 0);
}

namespace {
// How many dark caption pixels a group box shows in a rectangle of its window.
int DarkIn(TWinControl* c, const TRect& r) {
    RedrawWindow(c->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpMessages();
    WindowDC dc(c->Handle());
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) n += GetRValue(GetPixel(dc.Get(), x, y)) < 80;
    return n;
}
}  // namespace

TEST(QclGroupBox, ASideCaptionSitsAtTheEndItsAlignmentNamesAndTurnsInAnOutlineFont) {
    PatternForm f;
    auto* box = Create<TQclGroupBox>(f.form.get());
    box->SetParent(f.form.get());
    box->SetBounds(10, 10, 120, 160);
    box->SetColor(clWhite);
    box->CaptionFont()->SetColor(clBlack);
    box->SetCaption("Caption");
    box->SetAlignment(TQclGroupCaptionAlign::gcaLeftBottom);
    int h = box->CaptionHeight();
    TRect upper{0, 0, h, 80}, lower{0, 80, h, 160};
    EXPECT_GT(DarkIn(box, lower), 20);
    EXPECT_EQ(DarkIn(box, upper), 0);
    box->SetAlignment(TQclGroupCaptionAlign::gcaLeftTop);
    EXPECT_GT(DarkIn(box, upper), 20);
    EXPECT_EQ(DarkIn(box, lower), 0);
    // A font that cannot turn gives way to Arial for a side caption.
    box->CaptionFont()->SetName("System");
    box->SetAlignment(TQclGroupCaptionAlign::gcaRightCenter);
    EXPECT_EQ(box->CaptionFont()->Name(), "Arial");
    // The frame line runs one pixel above the caption's middle.
    box->SetAlignment(TQclGroupCaptionAlign::gcaTopLeft);
    h = box->CaptionHeight();
    EXPECT_NE(f.ScreenAt(box, 110, h / 2 - 1), clWhite);
    EXPECT_EQ(f.ScreenAt(box, 110, h / 2 - 2), clWhite);
}

TEST(QclGroupBox, ChildrenLieInsideTheFrameBelowTheCaptionWhoseFontFollowsTheOneItIsGiven) {
    PatternForm f;
    auto* box = f.GroupBox("Options");
    auto* child = Create<TQclSimplePanel>(f.form.get());
    child->SetParent(box);
    child->SetAlign(TAlign::alClient);
    PumpMessages();
    const int b = box->Bevel()->TotalWidth(), h = box->CaptionHeight();
    ASSERT_GT(b, 0);
    ASSERT_GT(h, b);
    EXPECT_EQ(child->BoundsRect(), (TRect{b, b + h, 185 - b, 105 - b}));
    box->SetAlignment(TQclGroupCaptionAlign::gcaBottomCenter);
    EXPECT_EQ(child->BoundsRect(), (TRect{b, b, 185 - b, 105 - b - h}));

    // The caption takes the font a parent hands over, or the box's own.
    ASSERT_TRUE(box->CaptionParentFont());
    TFont given;
    given.SetName("Courier New");
    given.SetSize(14);
    box->Perform(CM_PARENTFONTCHANGED, 1, reinterpret_cast<LPARAM>(&given));
    EXPECT_EQ(box->CaptionFont()->Name(), "Courier New");
    EXPECT_EQ(box->CaptionFont()->Size(), 14);
    EXPECT_TRUE(box->CaptionParentFont());
    EXPECT_GT(box->CaptionHeight(), h);
    box->Perform(CM_PARENTFONTCHANGED, 0, 0);
    EXPECT_EQ(box->CaptionFont()->Name(), box->Font()->Name());
    // A caption font of its own is kept.
    box->CaptionFont()->SetName("Arial");
    EXPECT_FALSE(box->CaptionParentFont());
    box->Perform(CM_PARENTFONTCHANGED, 1, reinterpret_cast<LPARAM>(&given));
    EXPECT_EQ(box->CaptionFont()->Name(), "Arial");
}

TEST(QclGroupBox, ItsAcceleratorSelectsTheFirstChild) {
    PatternForm f;
    auto* box = f.GroupBox("&Options");
    auto* edit = Create<TEdit>(f.form.get());
    edit->SetParent(box);
    edit->SetBounds(10, 30, 100, 21);
    PumpMessages();
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, 'x'), 0);
    EXPECT_EQ(box->Perform(CM_DIALOGCHAR, 'o'), 1);
    PumpMessages();
    EXPECT_EQ(GetFocus(), edit->Handle());
}

TEST(QclDockLabel, SitsBesideItsEditAndFollowsIt) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 400, 200);
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(104, 8, 245, 21);
    auto* label = Create<TQclDockLabel>(form.get());
    label->SetParent(form.get());
    label->SetCaption("Item Name: ");
    label->SetAlignment(TQclAlignment::agCenterRight);
    label->SetBounds(0, 0, 90, 13);
    label->SetAdjustDockedSize(true);
    form->Show();
    label->SetFocusControl(edit);
    EXPECT_TRUE(label->Hooked());
    EXPECT_EQ(label->BoundsRect(), (TRect{13, 8, 103, 29}));
    edit->SetBounds(120, 40, 200, 25);
    PumpMessages();
    EXPECT_EQ(label->BoundsRect(), (TRect{29, 40, 119, 65}));
    edit->SetVisible(false);
    PumpMessages();
    EXPECT_FALSE(label->Visible());
    edit->SetVisible(true);
    PumpMessages();
    EXPECT_TRUE(label->Visible());
    edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    // Moving the label with ReflectOwnChanges pulls the edit along.
    label->SetReflectOwnChanges(true);
    label->SetBounds(10, 100, 90, 25);
    EXPECT_EQ(edit->BoundsRect(), (TRect{101, 100, 301, 125}));
    // A control with Align set is not followed.
    edit->SetAlign(TAlign::alBottom);
    TRect before = label->BoundsRect();
    edit->SetHeight(30);
    PumpMessages();
    EXPECT_EQ(label->BoundsRect(), before);
    // A new window of the edit is followed as the old one was.
    edit->SetAlign(TAlign::alNone);
    edit->RecreateWnd();
    PumpMessages();
    EXPECT_TRUE(label->Hooked());
    edit->SetBounds(150, 10, 200, 25);
    PumpMessages();
    EXPECT_EQ(label->BoundsRect(), (TRect{59, 10, 149, 35}));
    // The edit going: the label forgets it and its hook.
    edit->Free();
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_FALSE(label->Hooked());
}

TEST(QclDockLabel, ControlWithItsWindowFreedFirstLeavesTheLabelSafe) {
    auto form = MakeForm<TForm>();
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    auto* a = Create<TQclDockLabel>(form.get());
    auto* b = Create<TQclDockLabel>(form.get());
    a->SetParent(form.get());
    b->SetParent(form.get());
    form->Show();
    a->SetFocusControl(edit);
    b->SetFocusControl(edit);
    ASSERT_TRUE(a->Hooked() && b->Hooked());
    // Hooks go in any order: the first hooked goes first, the other still works.
    a->Free();
    edit->SetBounds(150, 30, 100, 21);
    PumpMessages();
    EXPECT_EQ(b->Left() + b->Width() + 1, 150);
    edit->Free();
    EXPECT_EQ(b->FocusControl(), nullptr);
}

TEST(QclSimpleLabel, AFailedJumpLeavesAPlainDisabledLabelAndAnApplicationsAnswerIsItsOwn) {
    auto form = MakeForm<TForm>();
    auto* label = Create<TQclSimpleLabel>(form.get());
    label->SetParent(form.get());
    label->SetCaption("me@example.org");
    label->SetJumpMode(TQclJumpModes::jmInternet);
    EXPECT_EQ(label->Font()->Color(), 0xFF0000);
    EXPECT_TRUE(label->Font()->Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(label->Cursor(), -255);
    std::vector<std::string> opened;
    auto saved = TQclCustomSimpleLabel::Opener;
    TQclCustomSimpleLabel::Opener = [&](const std::string& t) -> intptr_t {
        opened.push_back(t);
        return 2;  // file not found
    };
    form->Show();
    size_t boxes = MessageBoxes().size();
    auto click = [&] {
        SendMessageA(form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label->Left() + 2, label->Top() + 2));
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(label->Left() + 2, label->Top() + 2));
    };
    // An application that cannot be started: the label stays as it was.
    label->SetJumpMode(TQclJumpModes::jmApplication);
    label->SetJump("notepad.exe");
    click();
    ASSERT_EQ(opened, (std::vector<std::string>{"notepad.exe"}));
    EXPECT_TRUE(label->Enabled());
    EXPECT_EQ(label->JumpMode(), TQclJumpModes::jmApplication);
    // An address that nothing opens: a plain, disabled label.
    label->SetJumpMode(TQclJumpModes::jmInternet);
    label->SetJump("");
    click();
    TQclCustomSimpleLabel::Opener = saved;
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], "mailto:me@example.org");
    EXPECT_EQ(MessageBoxes().size(), boxes);
    EXPECT_FALSE(label->Enabled());
    EXPECT_EQ(label->JumpMode(), TQclJumpModes::jmNone);
    EXPECT_EQ(label->Font()->Color(), clBlack);
    EXPECT_FALSE(label->Font()->Style().Contains(TFontStyle::fsUnderline));
    EXPECT_EQ(label->Cursor(), crDefault);
    EXPECT_EQ(label->ClickCount(), 1);  // counted again from the change of mode
    // Disabled, it opens nothing more.
    TQclCustomSimpleLabel::Opener = [&](const std::string& t) -> intptr_t {
        opened.push_back(t);
        return 42;
    };
    click();
    TQclCustomSimpleLabel::Opener = saved;
    EXPECT_EQ(opened.size(), 2u);
}

TEST(QclSimpleLabel, ReadFromRightToLeftAClosingStopStandsOnTheLeft) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 300, 100);
    form->SetColor(clWhite);
    auto* label = Create<TQclSimpleLabel>(form.get());
    label->SetParent(form.get());
    label->SetLeft(10);
    label->SetTop(10);
    label->SetCaption("Hi.");
    form->Show();
    PumpMessages();
    // The height of the ink in the label's first inked column.
    auto firstInk = [&] {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        Snapshot shot = OnScreen(form->Handle());
        for (int x = label->Left(); x < label->Left() + label->Width(); ++x) {
            int n = shot.Count(TRect{x, label->Top(), x + 1, label->Top() + label->Height()}, Dark);
            if (n > 0) return n;
        }
        return 0;
    };
    const int width = label->Width();
    EXPECT_GT(firstInk(), 4);  // the H
    // The label reads as its parent does.
    form->SetBiDiMode(TBiDiMode::bdRightToLeftReadingOnly);
    label->SetCaption("Hi..");
    label->SetCaption("Hi.");
    EXPECT_EQ(label->Width(), width);
    EXPECT_LE(firstInk(), 2);  // the stop
}

TEST(QclLabels, OldPropertyNamesAreReadFromALayout) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Edit1: TEdit
    Left = 104
    Top = 8
    Width = 245
    Height = 21
  end
  object Label1: TQclDockLabel
    Width = 90
    Height = 13
    Caption = 'Item Name: '
    Alignment = agCenterRight
    AdjustSize = True
    FocusControl = Edit1
  end
  object Link: TQclSimpleLabel
    Caption = 'www.example.org'
    UseAsJump = True
  end
end
)",
                         "test");
    auto* dock = dynamic_cast<TQclDockLabel*>(form->FindComponent("Label1"));
    auto* link = dynamic_cast<TQclSimpleLabel*>(form->FindComponent("Link"));
    ASSERT_NE(dock, nullptr);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(dock->AdjustDockedSize());
    EXPECT_EQ(link->JumpMode(), TQclJumpModes::jmInternet);
    // Labels take the form's colour unless a layout gives them their own.
    EXPECT_TRUE(link->ParentColor());
    form->SetColor(clTeal);
    EXPECT_EQ(link->Color(), clTeal);
    EXPECT_EQ(WriteLayout(form.get()).find("ParentColor"), std::string::npos);
    std::string written = WriteLayout(form.get());
    EXPECT_EQ(written.find("AdjustSize ="), std::string::npos);
    EXPECT_EQ(written.find("UseAsJump"), std::string::npos);
    EXPECT_NE(written.find("AdjustDockedSize = True"), std::string::npos);
}

TEST(QclScrollBox, ATransparentBoxShowsTheParentsPictureAndItsBevelNarrowsTheClientArea) {
    PatternForm f;
    auto* box = Create<TQclScrollBox>(f.form.get());
    box->SetParent(f.parent);
    box->SetBounds(21, 13, 120, 80);
    box->SetColor(clWhite);
    PumpMessages();
    EXPECT_EQ(f.ScreenAt(box, 5, 5), clWhite);
    box->SetTransparent(true);
    PumpMessages();
    ASSERT_TRUE(box->IsTransparentActive());
    // The client edge of the windowed bevel puts the client origin 2 pixels in.
    for (auto [x, y] : {std::pair{0, 0}, {5, 3}, {30, 21}})
        EXPECT_EQ(f.ScreenAt(box, x, y), PatternAt(21 + 2 + x, 13 + 2 + y)) << x << "," << y;
    box->Bevel()->SetMode(TQclBevelMode::bmCustom);
    box->Bevel()->SetStyleOuter(TQclBevelStyle::bvRaised);
    box->Bevel()->SetWidthOuter(3);
    PumpMessages();
    ASSERT_GT(box->Bevel()->TotalWidth(), 0);
    EXPECT_EQ(box->ClientWidth(), 120 - box->Bevel()->TotalWidth() - box->Bevel()->BottomRightWidth());
    EXPECT_EQ(box->ClientHeight(), 80 - box->Bevel()->TotalWidth() - box->Bevel()->BottomRightWidth());
}

TEST(QclScrollBox, ScrollingATransparentBoxPaintsThePictureAgainWithoutErasing) {
    PatternForm f;
    TQclScrollBox* box = f.TransparentScrollBox();
    ASSERT_TRUE(box->IsTransparentActive());
    int erased = 0;
    WindowSubclass spy;
    spy.Attach(box->Handle(), [&](UINT msg, WPARAM, LPARAM, LRESULT&) {
        erased += msg == WM_ERASEBKGND;
        return false;
    });
    // A mark on the box that only painting it again takes away.
    auto mark = [&] {
        WindowDC dc(box->Handle());
        GdiHandle<HBRUSH> black(CreateSolidBrush(0));
        RECT r{0, 0, 40, 30};
        FillRect(dc.Get(), &r, black.Get());
    };
    auto shown = [&](int x, int y) {
        WindowDC dc(box->Handle());
        return static_cast<TColor>(GetPixel(dc.Get(), x, y));
    };
    auto scroll = [&](WORD code) {
        SendMessageA(box->Handle(), WM_VSCROLL, code, 0);
        UpdateWindow(box->Handle());
    };
    mark();
    scroll(SB_LINEDOWN);
    EXPECT_EQ(shown(5, 3), PatternAt(21 + 2 + 5, 13 + 2 + 3));
    EXPECT_EQ(erased, 0);
    // Without instant update only the end of the scroll paints.
    box->SetInstantUpdate(false);
    mark();
    scroll(SB_LINEDOWN);
    EXPECT_EQ(shown(5, 3), clBlack);
    scroll(SB_ENDSCROLL);
    EXPECT_EQ(shown(5, 3), PatternAt(21 + 2 + 5, 13 + 2 + 3));
    EXPECT_EQ(erased, 0);
}

// Erasing a transparent box with one child or none puts the parent's picture
// in at once; with more it is left to painting.
TEST(QclScrollBox, ATransparentBoxWithFewChildrenIsPaintedWhenErased) {
    PatternForm f;
    TQclScrollBox* box = f.TransparentScrollBox();
    ASSERT_TRUE(box->IsTransparentActive());
    const auto erased = [&] {
        WindowDC screen(box->Handle());
        GdiHandle<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), 120, 80));
        MemoryDC dc(screen.Get());
        SelectObject(dc.Get(), bitmap.Get());
        RECT all{0, 0, 120, 80};
        FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        EXPECT_EQ(SendMessageA(box->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0), 1);
        return static_cast<TColor>(GetPixel(dc.Get(), 5, 3));
    };
    EXPECT_EQ(erased(), PatternAt(21 + 2 + 5, 13 + 2 + 3));
    for (int i = 0; i < 2; ++i) {
        auto* child = Create<TQclSimplePanel>(f.form.get());
        child->SetParent(box);
        child->SetBounds(60, 40 + 10 * i, 10, 10);
    }
    EXPECT_EQ(erased(), clBlack);
}

TEST(QclScrollBox, ANewColourIsPaintedAtOnce) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 300, 200);
    auto* box = Create<TQclScrollBox>(form.get());
    box->SetParent(form.get());
    box->SetBounds(10, 10, 150, 100);
    box->SetColor(clRed);
    form->Show();
    PumpMessages();
    EXPECT_EQ(PatternForm::ScreenAt(box, 50, 50), clRed);
    box->SetColor(clLime);
    PumpMessages();
    WindowDC dc(box->Handle());
    EXPECT_EQ(static_cast<TColor>(GetPixel(dc.Get(), 50, 50)), clLime);
}

TEST(QclScrollBox, LoadsFromALayout) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Box: TQclScrollBox
    Left = 8
    Top = 8
    InstantUpdate = False
    Transparent = True
    Bevel.Mode = bmStandard
  end
end
)",
                         "test");
    auto* box = dynamic_cast<TQclScrollBox*>(form->FindComponent("Box"));
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->InstantUpdate());
    EXPECT_TRUE(box->Transparent());
    EXPECT_EQ(box->Bevel()->Mode(), TQclBevelMode::bmStandard);
    EXPECT_EQ(box->BorderStyle(), TBorderStyle::bsNone);
    EXPECT_EQ(box->Width(), 185);
}

namespace {
struct CountingContainer : TQclContainerComponent {
    using TQclContainerComponent::TQclContainerComponent;
    int changes = 0;
    void LinkChanged(TObject*) override { ++changes; }
};
}  // namespace

TEST(QclContainerComponent, HearsItsListChangeAndForgetsItWhenFreed) {
    auto owner = MakeOwned<TForm>();
    auto* list = Create<TQclBitmapList>(owner.get());
    auto* c = Create<CountingContainer>(owner.get());
    c->SetImageList(list);
    EXPECT_EQ(c->changes, 1);
    list->Add();
    EXPECT_GT(c->changes, 1);
    list->Free();
    EXPECT_EQ(c->ImageList(), nullptr);
}

namespace {

// The dark pixels of a rectangle of the screen, cut to where they lie: the
// text drawn there, wherever the control aligns it.
std::vector<std::string> InkOf(const TRect& r) {
    Snapshot s = ScreenArea(r);
    std::vector<std::string> rows;
    int left = s.width, right = -1;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (Dark(s.At(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    for (int y = 0; y < s.height; ++y) {
        std::string row;
        for (int x = left; x <= right; ++x) row += Dark(s.At(x, y)) ? '#' : '.';
        if (row.find('#') != std::string::npos) rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(QclCaptions, EachControlReadsItsCaptionInItsOwnReadingOrder) {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    form->SetBounds(60, 60, 520, 300);
    form->SetColor(clWhite);
    // A caption that reads right to left shows its full stop first, as the
    // same letters written in that order read left to right.
    auto make = [&](auto* c, int column, int row, const char* caption, TBiDiMode mode) {
        c->SetParent(form.get());
        c->SetBounds(10 + column * 170, 10 + row * 45, 150, 35);
        c->SetCaption(caption);
        c->SetBiDiMode(mode);
        return c;
    };
    std::vector<std::array<TControl*, 3>> rows;
    auto three = [&](auto create) {
        int row = static_cast<int>(rows.size());
        rows.push_back({make(create(), 0, row, "AB.", TBiDiMode::bdRightToLeftReadingOnly),
                        make(create(), 1, row, ".AB", TBiDiMode::bdLeftToRight),
                        make(create(), 2, row, "AB.", TBiDiMode::bdLeftToRight)});
    };
    three([&] {
        auto* l = Create<TQclSimpleLabel>(form.get());
        l->SetAutoSize(false);
        return l;
    });
    three([&] { return Create<TQclGroupBox>(form.get()); });
    three([&] { return Create<TQclOfficeButton>(form.get()); });
    three([&] { return Create<TQclRadioButton>(form.get()); });
    three([&] {
        auto* b = Create<TQclCustomButton>(form.get());
        b->SetTabStop(false);  // no focus frame on the first
        return b;
    });
    form->Show();
    PumpMessages();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    SaveWindowShot(form->Handle(), "reading-order");
    for (auto& row : rows) {
        SCOPED_TRACE(row[0]->ClassName());
        auto ink = [&](TControl* c) {
            TPoint o = form->ClientToScreen({c->Left(), c->Top()});
            return InkOf(Bounds(o.x, o.y, c->Width(), c->Height()));
        };
        std::vector<std::string> rtl = ink(row[0]), reordered = ink(row[1]), ltr = ink(row[2]);
        ASSERT_FALSE(ltr.empty());
        EXPECT_EQ(rtl, reordered);
        EXPECT_NE(rtl, ltr);
    }
}

TEST(QclCaptions, AWindowedControlReadingRightToLeftHasItsWindowSaySoAndItsScrollBarOnTheLeft) {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    form->SetBounds(60, 60, 400, 300);
    ReadLayout(form.get(), R"(object Form: TForm
  object Box: TQclScrollBox
    Left = 10
    Top = 10
    Width = 150
    Height = 100
    BiDiMode = bdRightToLeft
    object Inside: TQclSimplePanel
      Left = 0
      Top = 0
      Width = 120
      Height = 300
    end
  end
end
)",
               "bidi");
    auto* box = static_cast<TQclScrollBox*>(form->FindComponent("Box"));
    form->Show();
    PumpMessages();
    auto exStyle = [](TWinControl* c) { return GetWindowLongA(c->Handle(), GWL_EXSTYLE); };
    EXPECT_TRUE(exStyle(box) & WS_EX_RTLREADING);
    ASSERT_TRUE(exStyle(box) & WS_EX_LEFTSCROLLBAR);
    // The children follow the box, their windows too.
    EXPECT_TRUE(exStyle(static_cast<TWinControl*>(form->FindComponent("Inside"))) & WS_EX_RTLREADING);
    // The vertical bar stands left of the client area.
    auto clientLeft = [](TWinControl* c) {
        POINT o{0, 0};
        ClientToScreen(c->Handle(), &o);
        RECT w;
        GetWindowRect(c->Handle(), &w);
        return static_cast<int>(o.x - w.left);
    };
    EXPECT_GE(clientLeft(box), GetSystemMetrics(SM_CXVSCROLL));
    // Set back, the window is made anew reading left to right.
    box->SetBiDiMode(TBiDiMode::bdLeftToRight);
    PumpMessages();
    EXPECT_FALSE(exStyle(box) & (WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR));
    EXPECT_LT(clientLeft(box), GetSystemMetrics(SM_CXVSCROLL));
}

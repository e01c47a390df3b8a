// The common controls beside the tree driven for real: the tab control,
// the tool bar, the status bar and image lists, with the layouts they
// load from, events, mouse input and painting.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/FormLoader.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

using namespace treskel;
using namespace treskel::test;

namespace {

OwnedPtr<TForm> FormFromLayout(const std::string& text) {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->InitializeForm(text, "test.form");
    return form;
}

}  // namespace

// ============================================================ tab control

TEST(TabControl, TabsMirrorAndTheUsersChoiceCanBeRefused) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 400, 300);
    auto* tabs = Create<TTabControl>(form.get());
    tabs->SetParent(form.get());
    tabs->SetBounds(0, 0, 380, 260);
    auto* inside = Create<TEdit>(form.get());
    inside->SetParent(tabs);
    inside->SetAlign(TAlign::alClient);
    form->Show();
    EXPECT_EQ(tabs->TabIndex(), -1);
    tabs->Tabs()->Add("one");
    EXPECT_EQ(tabs->TabIndex(), 0);  // the first tab becomes the current one
    tabs->Tabs()->Add("two");
    tabs->Tabs()->Add("three");
    tabs->Tabs()->Insert(0, "zero");
    EXPECT_EQ(tabs->TabIndex(), 1);  // still "one"
    HWND wnd = tabs->Handle();
    EXPECT_EQ(SendMessageA(wnd, TCM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(SendMessageA(wnd, TCM_GETCURSEL, 0, 0), 1);
    tabs->Tabs()->Put(3, "THREE");
    char text[32] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(wnd, TCM_GETITEMA, 3, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "THREE");
    PumpMessages();
    // What is placed on it fills the frame below the tabs.
    TRect display = tabs->DisplayRect();
    EXPECT_EQ(inside->BoundsRect(), display);
    EXPECT_GT(display.Top, 10);

    bool allow = false;
    std::vector<std::string> log;
    tabs->OnChanging = [&](TObject*, bool& a) {
        log.push_back("changing from " + std::to_string(tabs->TabIndex()));
        a = allow;
    };
    tabs->OnChange = [&](TObject*) { log.push_back("change to " + std::to_string(tabs->TabIndex())); };
    RECT r;
    SendMessageA(wnd, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    ClickAt(wnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(SendMessageA(wnd, TCM_GETCURSEL, 0, 0), 1);
    allow = true;
    ClickAt(wnd, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(tabs->TabIndex(), 2);
    EXPECT_EQ(log, (std::vector<std::string>{"changing from 1", "changing from 1", "change to 2"}));
    EXPECT_EQ(tabs->IndexOfTabAt((r.left + r.right) / 2, (r.top + r.bottom) / 2), 2);
    // Set by the program: no events.
    log.clear();
    tabs->SetTabIndex(0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(SendMessageA(wnd, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_THROW(tabs->SetTabIndex(4), EListError);
    // The current tab deleted: none is current.
    tabs->Tabs()->Delete(0);
    EXPECT_EQ(tabs->TabIndex(), -1);
    tabs->SetTabIndex(2);
    tabs->Tabs()->Delete(0);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_EQ(tabs->Tabs()->Strings(1), "THREE");
    tabs->SetHotTrack(true);  // the window is made again with its tabs
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0), 1);
    tabs->Tabs()->Clear();
    EXPECT_EQ(tabs->TabIndex(), -1);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETITEMCOUNT, 0, 0), 0);
}

// ============================================================ tool bar

TEST(ToolBar, ButtonClicksRunActionsAndCheckButtonsChangeFirst) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 400, 200);
    auto* list = Create<TActionList>(form.get());
    auto* bold = Create<TAction>(form.get());
    bold->SetActionList(list);
    bold->SetHint("Bold");
    auto* bar = Create<TToolBar>(form.get());
    bar->SetParent(form.get());
    std::vector<TToolButton*> b;
    for (int i = 0; i < 5; ++i) {
        auto* t = Create<TToolButton>(form.get());
        t->SetLeft(1000 + i);
        t->SetParent(bar);
        b.push_back(t);
    }
    b[0]->SetStyle(TToolButtonStyle::tbsCheck);
    b[0]->SetAction(bold);
    b[1]->SetStyle(TToolButtonStyle::tbsSeparator);
    for (int i = 2; i < 5; ++i) {
        b[static_cast<size_t>(i)]->SetStyle(TToolButtonStyle::tbsCheck);
        b[static_cast<size_t>(i)]->SetGrouped(true);
    }
    form->Show();
    PumpMessages();
    EXPECT_EQ(b[0]->Hint(), "Bold");
    EXPECT_EQ(b[0]->Left(), 0);
    EXPECT_EQ(b[1]->Left(), 23);
    EXPECT_EQ(b[1]->Width(), 8);
    EXPECT_EQ(b[2]->Left(), 31);
    std::vector<bool> seen;
    bold->OnExecute = [&](TObject*) { seen.push_back(b[0]->Down()); };
    HWND wnd = bar->Handle();
    auto click = [&](TToolButton* t) { ClickAt(wnd, t->Left() + t->Width() / 2, t->Top() + t->Height() / 2); };
    click(b[0]);
    click(b[0]);
    EXPECT_EQ(seen, (std::vector<bool>{true, false}));
    // One of a group down at a time; a down one stays down.
    click(b[2]);
    click(b[4]);
    EXPECT_FALSE(b[2]->Down());
    EXPECT_TRUE(b[4]->Down());
    click(b[4]);
    EXPECT_TRUE(b[4]->Down());
    b[4]->SetAllowAllUp(true);
    click(b[4]);
    EXPECT_FALSE(b[4]->Down());
    b[3]->SetDown(true);
    b[2]->SetDown(true);
    EXPECT_FALSE(b[3]->Down());
    // A disabled action disables its button, which takes no clicks.
    bold->SetEnabled(false);
    EXPECT_FALSE(b[0]->Enabled());
    click(b[0]);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(ToolBar, TheActionGivesItsImageOnlyWhenItChangesIt) {
    auto form = MakeForm<TForm>();
    auto* expand = Create<TAction>(form.get());
    expand->SetImageIndex(9);
    auto* bar = Create<TToolBar>(form.get());
    bar->SetParent(form.get());
    auto* button = Create<TToolButton>(form.get());
    button->SetParent(bar);
    button->SetAction(expand);
    EXPECT_EQ(button->ImageIndex(), 9);
    button->SetImageIndex(5);
    expand->SetEnabled(false);  // an unrelated change of the action
    expand->SetEnabled(true);
    EXPECT_EQ(button->ImageIndex(), 5);
    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->ImageIndex(), 5);
    expand->SetImageIndex(11);
    EXPECT_EQ(button->ImageIndex(), 11);
    expand->Free();
    EXPECT_EQ(button->Action(), nullptr);
}

TEST(ToolBar, ADropDownButtonShowsItsMenuFromTheArrowOnly) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 300, 100);
    auto* bar = Create<TToolBar>(form.get());
    bar->SetParent(form.get());
    auto* menu = Create<TPopupMenu>(form.get());
    auto* item = Create<TMenuItem>(form.get());
    item->SetCaption("Preview...");
    menu->Items()->Add(item);
    int itemClicks = 0, buttonClicks = 0;
    item->OnClick = [&](TObject*) { ++itemClicks; };
    auto* button = Create<TToolButton>(form.get());
    button->SetParent(bar);
    button->SetStyle(TToolButtonStyle::tbsDropDown);
    button->SetDropdownMenu(menu);
    button->OnClick = [&](TObject*) { ++buttonClicks; };
    form->Show();
    PumpMessages();
    EXPECT_EQ(button->Width(), 23 + 12);
    TPopupMenu* shown = nullptr;
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        shown = m;
        return m->Items()->Items(0)->Command();
    };
    HWND wnd = bar->Handle();
    ClickAt(wnd, button->Left() + button->Width() - 4, button->Height() / 2);
    PumpMessages();
    EXPECT_EQ(shown, menu);
    EXPECT_EQ(itemClicks, 1);
    EXPECT_EQ(buttonClicks, 0);
    ClickAt(wnd, button->Left() + 5, button->Height() / 2);
    EXPECT_EQ(buttonClicks, 1);
    EXPECT_EQ(itemClicks, 1);
    TPopupMenu::TestChooser = nullptr;
    menu->Free();
    EXPECT_EQ(button->DropdownMenu(), nullptr);
}

// A bar too narrow for its buttons goes on in another row; sizing itself,
// it grows by that row and the control below it moves down to make room.
TEST(ToolBar, ButtonsWrapIntoRowsAndABarThatSizesItselfMakesRoomBelow) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 500, 200);
    auto* side = Create<TPanel>(form.get());
    side->SetParent(form.get());
    side->SetBevelOuter(TPanelBevel::bvNone);
    side->SetAlign(TAlign::alLeft);
    side->SetWidth(400);
    auto* bar = Create<TToolBar>(form.get());
    bar->SetParent(side);
    bar->SetHeight(28);
    auto* below = Create<TPanel>(form.get());
    below->SetParent(side);
    below->SetAlign(TAlign::alClient);
    std::vector<TToolButton*> b;
    auto add = [&](TToolButtonStyle style) {
        auto* t = Create<TToolButton>(form.get());
        t->SetLeft(1000 + static_cast<int>(b.size()));
        t->SetParent(bar);
        t->SetStyle(style);
        b.push_back(t);
    };
    for (int i = 0; i < 3; ++i) add(TToolButtonStyle::tbsButton);
    add(TToolButtonStyle::tbsSeparator);
    auto* edit = Create<TEdit>(form.get());
    edit->SetLeft(2000);
    edit->SetParent(bar);
    edit->SetBounds(edit->Left(), 0, 80, 20);
    for (int i = 0; i < 2; ++i) add(TToolButtonStyle::tbsButton);
    form->Show();
    PumpMessages();
    // Wide enough: one row, centred in the bar's own height.
    EXPECT_TRUE(bar->Wrapable());
    EXPECT_FALSE(bar->AutoSize());
    EXPECT_EQ(bar->RowCount(), 1);
    EXPECT_EQ(b[4]->BoundsRect(), Bounds(3 * 23 + 8 + 80, 3, 23, 22));
    EXPECT_EQ(edit->BoundsRect(), Bounds(3 * 23 + 8, 4, 80, 20));

    // 100 pixels hold the three buttons and the separator: the edit goes
    // on in the second row, the last two buttons in the third.
    side->SetWidth(100);
    PumpMessages();
    EXPECT_EQ(bar->RowCount(), 3);
    EXPECT_EQ(b[3]->Left(), 69);  // the separator ends the first row
    EXPECT_EQ(edit->BoundsRect(), Bounds(0, 23, 80, 20));
    EXPECT_EQ(b[4]->BoundsRect(), Bounds(0, 44, 23, 22));
    EXPECT_EQ(b[5]->BoundsRect(), Bounds(23, 44, 23, 22));
    EXPECT_EQ(bar->Height(), 28);  // not sizing itself: the rows below are cut off
    EXPECT_EQ(below->Top(), 28);

    bar->SetAutoSize(true);
    PumpMessages();
    EXPECT_EQ(bar->Height(), 3 + 3 * 22 + 3);
    EXPECT_EQ(b[0]->Top(), 3);
    EXPECT_EQ(b[5]->BoundsRect(), Bounds(23, 47, 23, 22));
    EXPECT_EQ(below->Top(), bar->Height());
    EXPECT_EQ(below->Height(), side->ClientHeight() - bar->Height());
    // The mouse finds a button of the last row.
    int clicks = 0;
    b[5]->OnClick = [&](TObject*) { ++clicks; };
    ClickAt(bar->Handle(), b[5]->Left() + 10, b[5]->Top() + 10);
    EXPECT_EQ(clicks, 1);

    // Wider again: one row, and the bar gives the room back.
    side->SetWidth(400);
    PumpMessages();
    EXPECT_EQ(bar->RowCount(), 1);
    EXPECT_EQ(bar->Height(), 28);
    EXPECT_EQ(below->Top(), 28);
    // Not wrapping, a narrow bar keeps one row.
    bar->SetWrapable(false);
    side->SetWidth(100);
    PumpMessages();
    EXPECT_EQ(bar->RowCount(), 1);
    EXPECT_EQ(b[5]->Left(), 3 * 23 + 8 + 80 + 23);
    EXPECT_EQ(bar->Height(), 28);
}

// ============================================================ layouts

const char* const kLayout = R"(object Form1: TForm
  Left = 10
  Top = 10
  Width = 600
  Height = 400
  object ImageList1: TImageList
    Width = 16
    Height = 16
  end
  object ToolBar3: TToolBar
    Images = ImageList1
    Flat = True
    ButtonWidth = 24
    object ToolButton22: TToolButton
      Left = 90
      Hint = 'Item Strikeout'
      Style = tbsCheck
      Tag = 3
    end
    object ToolButton14: TToolButton
      Left = 10
      Hint = 'Item Bold'
      ImageIndex = 2
      Style = tbsCheck
    end
    object Sep1: TToolButton
      Left = 40
      Width = 8
      Style = tbsSeparator
    end
    object Combo: TEdit
      Left = 50
      Width = 60
      Visible = False
    end
  end
  object TabControl1: TTabControl
    Align = alClient
    HotTrack = True
    Tabs.Strings = (
      'First'
      'Second')
    TabIndex = 1
    object TreeView: TTreeView
      Align = alClient
      Images = ImageList1
      Indent = 19
      ShowRoot = False
      DragMode = dmAutomatic
      RightClickSelect = True
      HideSelection = False
    end
  end
  object StatusBar: TStatusBar
    Panels = <
      item
        Width = 255
      end
      item
        Width = 100
        Alignment = taCenter
      end
      item
        Width = 50
      end
      item
        Width = 50
      end>
  end
end
)";

TEST(Layouts, TheMainWindowsControlsLoadFromALayout) {
    auto form = FormFromLayout(kLayout);
    auto* tree = dynamic_cast<TTreeView*>(form->FindComponent("TreeView"));
    auto* tabs = dynamic_cast<TTabControl*>(form->FindComponent("TabControl1"));
    auto* bar = dynamic_cast<TToolBar*>(form->FindComponent("ToolBar3"));
    auto* status = dynamic_cast<TStatusBar*>(form->FindComponent("StatusBar"));
    auto* images = dynamic_cast<TImageList*>(form->FindComponent("ImageList1"));
    ASSERT_TRUE(tree && tabs && bar && status && images);
    EXPECT_EQ(tree->Parent(), tabs);
    EXPECT_EQ(tree->Images(), images);
    EXPECT_FALSE(tree->ShowRoot());
    EXPECT_EQ(tree->DragMode(), TDragMode::dmAutomatic);
    EXPECT_TRUE(tree->RightClickSelect());
    EXPECT_EQ(tabs->Tabs()->Count(), 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
    EXPECT_TRUE(tabs->HotTrack());
    // The bar orders by Left; what is hidden takes no room.
    ASSERT_EQ(bar->ButtonCount(), 3);
    EXPECT_EQ(bar->Buttons(0)->Name(), "ToolButton14");
    EXPECT_EQ(bar->Buttons(2)->Name(), "ToolButton22");
    EXPECT_EQ(bar->Buttons(0)->Left(), 0);
    EXPECT_EQ(bar->Buttons(1)->Left(), 24);
    EXPECT_EQ(bar->Buttons(2)->Left(), 32);
    EXPECT_EQ(bar->Buttons(2)->Tag(), 3);
    EXPECT_EQ(bar->Buttons(0)->ImageIndex(), 2);
    ASSERT_EQ(status->Panels()->Count(), 4);
    EXPECT_EQ(status->Panels()->Items(1)->Alignment(), TAlignment::taCenter);

    form->Show();
    PumpMessages();
    HWND sb = status->Handle();
    int edges[8] = {};
    ASSERT_EQ(SendMessageA(sb, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 4);
    EXPECT_EQ(edges[0], 255);
    EXPECT_EQ(edges[1], 355);
    EXPECT_EQ(edges[2], 405);
    EXPECT_EQ(SendMessageA(tabs->Handle(), TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageA(tree->Handle(), TVM_GETINDENT, 0, 0), 19);
    EXPECT_EQ(GetWindowLongA(tree->Handle(), GWL_STYLE) & TVS_LINESATROOT, 0);

    // Written back, the layout reads the same.
    std::string written = WriteLayout(form.get());
    EXPECT_NE(written.find("Tabs.Strings = ("), std::string::npos) << written;
    EXPECT_NE(written.find("Panels = <"), std::string::npos) << written;
    auto again = FormFromLayout(written);
    auto* status2 = dynamic_cast<TStatusBar*>(again->FindComponent("StatusBar"));
    ASSERT_NE(status2, nullptr);
    EXPECT_EQ(status2->Panels()->Count(), 4);
    EXPECT_EQ(status2->Panels()->Items(0)->Width(), 255);
    auto* bar2 = dynamic_cast<TToolBar*>(again->FindComponent("ToolBar3"));
    EXPECT_EQ(bar2->Buttons(0)->Name(), "ToolButton14");
}

TEST(Layouts, ABitmapResourceThatIsMissingFailsLoudly) {
    std::string text = "object Form1: TForm\n  object ImageList1: TImageList\n    Bitmap = 'NOSUCHBITMAP'\n  end\nend\n";
    try {
        FormFromLayout(text);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(std::string(e.what()).find("NOSUCHBITMAP"), std::string::npos) << e.what();
    }
}

// ============================================================ status bar

TEST(StatusBar, PanelsTextsAndTheSimplePanelReachTheWindow) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 600, 200);
    auto* status = Create<TStatusBar>(form.get());
    status->SetParent(form.get());
    for (int w : {255, 100, 50, 50}) status->Panels()->Add()->SetWidth(w);
    form->Show();
    PumpMessages();
    HWND wnd = status->Handle();
    EXPECT_EQ(status->Align(), TAlign::alBottom);
    status->Panels()->Items(0)->SetText("Item caption");
    status->Panels()->Items(1)->SetText("Line: 0 Col: 4");
    status->Panels()->Items(2)->SetAlignment(TAlignment::taRightJustify);
    status->Panels()->Items(2)->SetText("R");
    char text[64] = {};
    SendMessageA(wnd, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Item caption");
    SendMessageA(wnd, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Line: 0 Col: 4");
    SendMessageA(wnd, SB_GETTEXTA, 2, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "\t\tR");
    status->Panels()->Items(0)->SetWidth(200);
    int edges[8] = {};
    SendMessageA(wnd, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], 200);
    EXPECT_EQ(edges[1], 300);
    RECT r{};
    SendMessageA(wnd, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&r));
    EXPECT_GE(r.right - r.left, 50);  // the last panel reaches to the edge
    status->SetSimpleText("Saving...");
    status->SetSimplePanel(true);
    EXPECT_TRUE(SendMessageA(wnd, SB_ISSIMPLE, 0, 0));
    status->SetSimplePanel(false);
    EXPECT_FALSE(SendMessageA(wnd, SB_ISSIMPLE, 0, 0));
    // The panels are back after the window is made again.
    status->DestroyHandle();
    status->HandleNeeded();
    SendMessageA(status->Handle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Line: 0 Col: 4");
}

TEST(StatusBar, AnOwnerDrawnPanelIsPaintedByItsEvent) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 400, 120);
    auto* status = Create<TStatusBar>(form.get());
    status->SetParent(form.get());
    status->Panels()->Add()->SetWidth(100);
    TStatusPanel* drawn = status->Panels()->Add();
    drawn->SetWidth(100);
    drawn->SetStyle(TStatusPanelStyle::psOwnerDraw);
    std::vector<TStatusPanel*> painted;
    TRect where;
    status->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* panel, const TRect& r) {
        painted.push_back(panel);
        where = r;
        bar->Canvas()->Brush()->SetColor(clRed);
        bar->Canvas()->FillRect(r);
    };
    form->Show();
    PumpMessages();
    Snapshot shot = PrintClient(status->Handle());
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.back(), drawn);
    EXPECT_GE(where.Left, 100);
    EXPECT_GT(shot.Count(where, Reddish), where.Width() * where.Height() / 2);
    EXPECT_EQ(shot.Count(Rect(0, 0, 95, shot.height), Reddish), 0);
}

TEST(ToolBar, ButtonsPaintTheirImagesAndLookDisabledWhenDisabled) {
    auto form = MakeForm<TForm>();
    form->SetBounds(30, 30, 300, 100);
    auto* images = Create<TImageList>(form.get());
    TBitmap red;
    red.SetSize(16, 16);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 16, 16));
    images->AddMasked(&red, clFuchsia);
    auto* bar = Create<TToolBar>(form.get());
    bar->SetParent(form.get());
    bar->SetImages(images);
    bar->SetFlat(true);
    auto* on = Create<TToolButton>(form.get());
    on->SetParent(bar);
    on->SetImageIndex(0);
    auto* off = Create<TToolButton>(form.get());
    off->SetLeft(100);
    off->SetParent(bar);
    off->SetImageIndex(0);
    off->SetEnabled(false);
    form->Show();
    PumpMessages();
    Snapshot s = PaintedClient(bar->Handle(), [&](HDC dc) { bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0); });
    EXPECT_GT(s.Count(on->BoundsRect(), Reddish), 200);
    EXPECT_EQ(s.Count(off->BoundsRect(), Reddish), 0);
    TColor shadow = static_cast<TColor>(ColorToRGB(clBtnShadow));
    EXPECT_GT(s.Count(off->BoundsRect(), [&](COLORREF c) { return static_cast<TColor>(c) == shadow; }), 100);
}

// ============================================================ image lists

TEST(ImageList, ImagesDrawnByCodeAreAddedDrawnAndTakenBack) {
    auto form = MakeForm<TForm>();
    auto* images = Create<TImageList>(form.get());
    TChangeLink link;
    int changes = 0;
    link.OnChange = [&](TObject*) { ++changes; };
    link.SetSender(images);
    TBitmap strip;
    strip.SetSize(32, 16);
    TCanvas* c = strip.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 32, 16));
    c->Brush()->SetColor(clRed);
    c->FillRect(Rect(4, 4, 12, 12));   // image 0: a red square
    c->Brush()->SetColor(clBlue);
    c->FillRect(Rect(16, 0, 32, 16));  // image 1: all blue
    EXPECT_EQ(images->AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(images->Count(), 2);
    EXPECT_GT(changes, 0);
    TBitmap out;
    out.SetPixelFormat(TPixelFormat::pf24bit);
    images->GetBitmap(0, &out);
    EXPECT_EQ(out.Width(), 16);
    EXPECT_EQ(out.Canvas()->Pixel(8, 8), clRed);
    EXPECT_EQ(out.Canvas()->Pixel(1, 1), clWhite);  // transparent: the background shows
    // Drawn on a green canvas, the mask keeps the green.
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(20, 20);
    target.Canvas()->Brush()->SetColor(clLime);
    target.Canvas()->FillRect(Rect(0, 0, 20, 20));
    images->Draw(target.Canvas(), 2, 2, 0);
    EXPECT_EQ(target.Canvas()->Pixel(10, 10), clRed);
    EXPECT_EQ(target.Canvas()->Pixel(3, 3), clLime);
    images->Draw(target.Canvas(), 2, 2, 1, false);  // disabled: embossed greys only
    TColor px = target.Canvas()->Pixel(10, 10);
    EXPECT_TRUE(px == static_cast<TColor>(ColorToRGB(clBtnShadow)) || px == static_cast<TColor>(ColorToRGB(clBtnHighlight)))
        << std::hex << px;
    EXPECT_THROW(images->Add(&target, nullptr), EInvalidGraphicOperation);  // 20 high, not 16
    images->Delete(0);
    EXPECT_EQ(images->Count(), 1);
    EXPECT_THROW(images->Delete(5), EInvalidOperation);
    int before = changes;
    images->SetWidth(24);  // another size: the list starts empty
    EXPECT_EQ(images->Count(), 0);
    EXPECT_GT(changes, before);
    images->Free();
    EXPECT_EQ(link.Sender(), nullptr);
}

TEST(ImageList, ABitmapResourceIsSplitIntoImages) {
    auto form = MakeForm<TForm>();
    auto* images = Create<TImageList>(form.get());
    // The system's own strip of small standard tool bar images.
    HINSTANCE comctl = GetModuleHandleA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    HBITMAP probe = static_cast<HBITMAP>(LoadImageA(comctl, MAKEINTRESOURCEA(120), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(probe, nullptr);
    BITMAP bm{};
    GetObjectA(probe, sizeof bm, &bm);
    DeleteObject(probe);
    images->SetSize(bm.bmHeight, bm.bmHeight);
    images->LoadFromResourceName(comctl, "#120");
    EXPECT_EQ(images->Count(), bm.bmWidth / bm.bmHeight);
    images->SetSize(bm.bmHeight + 1, bm.bmHeight + 1);
    EXPECT_THROW(images->LoadFromResourceName(comctl, "#120"), EInvalidGraphicOperation);
}

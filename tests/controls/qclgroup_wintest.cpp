// The library's radio buttons and radio group on real forms.
#include <gtest/gtest.h>

#include "controls/qclbtnWin.h"
#include "controls/qclctrlAWin.h"
#include "controls/qclgroupWin.h"
#include "foundation/qclcontWin.h"
#include "platform/ActnList.h"
#include "platform/Handles.h"
#include "platform/StdCtrls.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

using namespace treskel;
using namespace treskel::test;

namespace {

struct GroupForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TQclRadioGroup* group = Create<TQclRadioGroup>(form.get());
    std::vector<int> changes;
    GroupForm() {
        form->SetBounds(100, 100, 400, 200);
        group->SetParent(form.get());
        group->SetBounds(8, 8, 310, 60);
        group->SetCaption("Compression");
        group->SetColumns(3);
        group->OnChange = [this](TObject*, int i) { changes.push_back(i); };
        for (const char* s : {"Fast (no compression)", "Slow (some compression)", "Slowest (high compression)"})
            group->Items()->Add(s);
        form->Show();
        PumpMessages();
    }
    void ClickButton(int i) {
        TQclRadioGroupButton* b = group->Buttons(i);
        SendMessageA(b->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(b->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        PumpMessages();
    }
};

}  // namespace

TEST(QclRadioGroup, WithoutACaptionItsButtonsKeepTheCaptionsRoom) {
    GroupForm f;
    auto* plain = Create<TQclRadioGroup>(f.form.get());
    plain->SetParent(f.form.get());
    plain->SetBounds(8, 80, 310, 60);
    plain->SetColumns(3);
    for (int i = 0; i < f.group->Items()->Count(); ++i) plain->Items()->Add(f.group->Items()->Get(i));
    PumpMessages();
    ASSERT_EQ(plain->ButtonCount(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(plain->Buttons(i)->BoundsRect(), f.group->Buttons(i)->BoundsRect()) << i;
    EXPECT_GT(plain->Buttons(0)->Top(), plain->CaptionHeight());
}

TEST(QclRadioGroup, ThreeColumnsSideBySideAndOneChangePerRealChange) {
    GroupForm f;
    ASSERT_EQ(f.group->ButtonCount(), 3);
    TQclRadioGroupButton *a = f.group->Buttons(0), *b = f.group->Buttons(1), *c = f.group->Buttons(2);
    EXPECT_EQ(a->Top(), b->Top());
    EXPECT_EQ(a->Width(), b->Width());
    EXPECT_EQ(b->Left() - a->Left(), a->Width());
    EXPECT_LT(c->Left() + c->Width(), f.group->Width());
    EXPECT_EQ(a->Caption(), "Fast (no compression)");
    f.group->SetItemIndex(2);
    f.group->SetItemIndex(2);
    EXPECT_EQ(f.changes, std::vector<int>{2});
    EXPECT_TRUE(c->Checked());
    f.ClickButton(0);
    EXPECT_EQ(f.group->ItemIndex(), 0);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(c->Checked());
    f.ClickButton(0);
    EXPECT_EQ(f.changes, (std::vector<int>{2, 0}));
    f.group->SetItemIndex(5);
    EXPECT_EQ(f.group->ItemIndex(), 2);
    f.group->SetItemIndex(-7);
    EXPECT_EQ(f.group->ItemIndex(), -1);
    EXPECT_FALSE(a->Checked() || b->Checked() || c->Checked());
    f.group->SetColumns(20);
    EXPECT_EQ(f.group->Columns(), 12);
}

TEST(QclRadioGroup, ReadOnlyIgnoresClicksSpaceAndTabbing) {
    GroupForm f;
    f.group->SetItemIndex(0);
    f.changes.clear();
    f.group->SetReadOnly(true);
    f.ClickButton(1);
    EXPECT_EQ(f.group->ItemIndex(), 0);
    f.group->Buttons(2)->SetFocus();
    PumpMessages();
    EXPECT_FALSE(f.group->Buttons(2)->Checked());
    PressKey(f.group->Buttons(2)->Handle(), VK_SPACE);
    PumpMessages();
    EXPECT_EQ(f.group->ItemIndex(), 0);
    EXPECT_TRUE(f.changes.empty());
    f.group->SetReadOnly(false);
    f.group->Buttons(1)->SetFocus();  // tabbing onto a button checks it
    PumpMessages();
    EXPECT_EQ(f.group->ItemIndex(), 1);
    f.group->Items()->Clear();
    EXPECT_EQ(f.group->ButtonCount(), 0);
    EXPECT_EQ(f.group->ItemIndex(), -1);
}

TEST(QclRadioGroup, AStreamedItemIndexBeyondTheItemsIsClamped) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object RadioGroup1: TQclRadioGroup
    Left = 8
    Top = 8
    Width = 300
    Height = 60
    Columns = 3
    ItemIndex = 7
    Items.Strings = (
      'Fast (no compression)'
      'Slow (some compression)'
      'Slowest (high compression)')
  end
end
)",
                         "test");
    auto* g = dynamic_cast<TQclRadioGroup*>(form->FindComponent("RadioGroup1"));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->ItemIndex(), 2);
    EXPECT_EQ(g->ButtonCount(), 3);
    EXPECT_TRUE(g->Buttons(2)->Checked());
}

TEST(QclRadioButton, CheckingOneOnAPanelUnchecksTheOthersAndClicksOnlyIt) {
    auto form = MakeForm<TForm>();
    std::vector<TQclRadioButton*> r;
    std::vector<int> clicks(3, 0);
    for (int i = 0; i < 3; ++i) {
        auto* b = Create<TQclRadioButton>(form.get());
        b->SetParent(form.get());
        b->SetBounds(8, 8 + 20 * i, 105, 17);
        b->OnClick = [&clicks, i](TObject*) { ++clicks[static_cast<size_t>(i)]; };
        r.push_back(b);
    }
    form->Show();
    r[0]->SetChecked(true);
    r[1]->SetChecked(true);
    EXPECT_FALSE(r[0]->Checked());
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 0}));
    r[1]->SetChecked(false);
    EXPECT_EQ(clicks, (std::vector<int>{1, 1, 0}));
    r[2]->SetGlyphSize(20);
    EXPECT_EQ(r[2]->GlyphStrip()->Width(), 80);
    EXPECT_EQ(r[2]->CellWidth(), 20);
}

TEST(QclRadioGroup, ALayoutsGroupSettingsReachEveryButtonAndCaptionEffectsStayOnTheCaption) {
    auto form = MakeForm<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object RadioGroup1: TQclRadioGroup
    Left = 8
    Top = 8
    Width = 300
    Height = 90
    Caption = 'Level'
    CaptionFont3D.Style = tdRaised
    Font3D.Style = tdSunken
    FocusColor = clRed
    FocusStyle = fcGlyphText
    UseFocusColor = True
    GlyphFlat = True
    GlyphSize = 16
    GlyphTransparentColor = clLime
    HelpContext = 40
    HelpContextBtn = ciAutoNumbered
    UseBitmap = True
    Items.Strings = (
      'One'
      'Two')
  end
end
)",
                         "test");
    auto* g = dynamic_cast<TQclRadioGroup*>(form->FindComponent("RadioGroup1"));
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->ButtonCount(), 2);
    for (int i = 0; i < 2; ++i) {
        TQclRadioGroupButton* b = g->Buttons(i);
        EXPECT_EQ(b->Font3D()->Style(), TQclThreeDStyle::tdSunken);  // the group's, not its caption's
        EXPECT_EQ(b->FocusColor(), clRed);
        EXPECT_EQ(b->FocusStyle(), TQclGlyphTextFocusStyle::fcGlyphText);
        EXPECT_TRUE(b->UseFocusColor());
        EXPECT_TRUE(b->GlyphFlat());
        EXPECT_EQ(b->GlyphStrip()->Width(), 64);  // four 16-pixel cells
        EXPECT_EQ(b->GlyphTransparentColor(), clLime);
        EXPECT_EQ(b->HelpContext(), 41 + i);
        EXPECT_TRUE(b->UseBitmap());
    }
    g->SetHelpContextBtn(TQclChildHelpContextID::ciSameAsParent);
    EXPECT_EQ(g->Buttons(1)->HelpContext(), 40);
    g->Font3D()->SetStyle(TQclThreeDStyle::tdShadow);
    EXPECT_EQ(g->Buttons(0)->Font3D()->Style(), TQclThreeDStyle::tdShadow);
    EXPECT_EQ(g->CaptionFont3D()->Style(), TQclThreeDStyle::tdRaised);
    std::string written = WriteLayout(form.get());
    EXPECT_NE(written.find("HelpContextBtn = ciSameAsParent"), std::string::npos);
    EXPECT_NE(written.find("GlyphSize = 16"), std::string::npos);
}

TEST(QclRadioGroup, ButtonsTakeTheirStripFromTheGlyphListAndPassKeysToTheGroup) {
    GroupForm f;
    auto* list = Create<TQclBitmapList>(f.form.get());
    list->SetName("Strips");
    auto strip = Filled(40, 10, clYellow);
    list->Items(list->Add())->Bitmap()->Assign(strip.get());
    f.group->SetGlyphImageList(list);
    EXPECT_EQ(f.group->Buttons(0)->GlyphStrip()->Width(), 40);
    EXPECT_EQ(f.group->Buttons(2)->CellWidth(), 10);
    std::string written = WriteLayout(f.form.get());
    EXPECT_NE(written.find("GlyphImageList = Strips"), std::string::npos);
    list->Free();
    EXPECT_EQ(f.group->GlyphImageList(), nullptr);
    EXPECT_EQ(f.group->Buttons(0)->CellWidth(), 13);  // drawn by the system again
    // The global list is stored by its signature.
    f.group->SetGlyphImageList(QclGlobalContainer()->Images());
    written = WriteLayout(f.form.get());
    EXPECT_NE(written.find("GlyphInternal = 'QCLIML30'"), std::string::npos);
    f.group->SetGlyphImageList(nullptr);
    // A key on a button reaches the group's own key events.
    std::string keys;
    f.group->OnKeyPress = [&](TObject*, char& k) { keys += k; };
    f.group->Buttons(1)->SetFocus();
    SendMessageA(f.group->Buttons(1)->Handle(), WM_CHAR, 'q', 0);
    EXPECT_EQ(keys, "q");
}

// The button group's own rules, through its base class: a copied item
// list arranges the buttons without reporting a change, the buttons follow
// the group's size, item height and offset and its enabled state, and a
// group that shows an image of its own keeps its glyph size to itself.
TEST(QclCustomButtonGroup, ArrangesLaysOutAndEnablesItsButtons) {
    GroupForm f;
    TQclCustomButtonGroup* g = f.group;
    g->SetItemIndex(1);
    f.changes.clear();
    TStringList five;
    for (const char* s : {"A", "B", "C", "D", "E"}) five.Add(s);
    g->SetItems(&five);
    five.Add("F");  // copied, not shared
    ASSERT_EQ(g->ButtonCount(), 5);
    EXPECT_EQ(g->GetItemIndex(), 1);
    EXPECT_TRUE(g->Buttons(1)->Checked());
    EXPECT_TRUE(f.changes.empty());

    // Two columns of three rows: 0-2 in the first, 3-4 in the second.
    g->SetColumns(2);
    EXPECT_EQ(g->Buttons(0)->Left(), g->Buttons(2)->Left());
    EXPECT_EQ(g->Buttons(3)->Top(), g->Buttons(0)->Top());
    EXPECT_GT(g->Buttons(3)->Left(), g->Buttons(0)->Left());
    const int column = g->Buttons(3)->Left() - g->Buttons(0)->Left();
    EXPECT_EQ(g->Buttons(0)->Width(), column);
    g->SetItemHeight(12);
    g->SetItemOffset(10);
    EXPECT_EQ(g->Buttons(1)->Top() - g->Buttons(0)->Top(), 12);
    EXPECT_EQ(g->Buttons(0)->Height(), 12);
    const int left = g->Buttons(0)->Left();
    g->SetItemOffset(20);
    EXPECT_EQ(g->Buttons(0)->Left(), left + 10);
    // Each column takes half of what a wider group gains.
    const int narrower = g->Buttons(3)->Left() - g->Buttons(0)->Left();
    EXPECT_LT(narrower, column);
    g->SetWidth(g->Width() + 40);
    PumpMessages();
    EXPECT_EQ(g->Buttons(3)->Left() - g->Buttons(0)->Left(), narrower + 20);

    g->SetEnabled(false);
    for (int i = 0; i < g->ButtonCount(); ++i) EXPECT_FALSE(g->Buttons(i)->Enabled()) << i;
    g->SetEnabled(true);
    EXPECT_TRUE(g->Buttons(4)->Enabled());
    g->SetReadOnly(true);
    EXPECT_FALSE(g->CanChange());
    EXPECT_FALSE(g->Buttons(0)->CanModify());
    g->SetReadOnly(false);

    // Negative glyph indexes are refused.
    g->SetGlyphImageIndex(-1);
    EXPECT_EQ(g->GlyphImageIndex(), 0);
    // With an image of the group's own the glyph size stays with the buttons.
    auto* images = Create<TQclBitmapList>(f.form.get());
    auto picture = Filled(16, 16, clRed);
    images->Items(images->Add())->Bitmap()->Assign(picture.get());
    g->SetImageList(images);
    g->SetGlyphSize(20);
    EXPECT_EQ(g->Buttons(0)->GlyphSize(), 13);
    g->SetImageList(nullptr);
    g->SetGlyphSize(18);
    EXPECT_EQ(g->Buttons(0)->GlyphSize(), 18);
}

namespace {
// A radio button whose checking fails.
class TFailingRadioButton : public TQclRadioButton {
public:
    using TQclRadioButton::TQclRadioButton;
    void SetChecked(bool) override { throw Exception("cannot check"); }
};
}  // namespace

// The action link checks its button for the action without a click of the
// button's own, and lets clicks through again whatever happens; read from
// a layout, a checked button keeps its state against its action's default.
TEST(QclButtonActionLink, ChecksWithoutAClickAndACheckedButtonKeepsItsLayoutState) {
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  object Actions: TActionList
    object Act: TAction
    end
  end
  object R1: TQclRadioButton
    Checked = True
    Action = Act
  end
end
)",
                         "test");
    auto* r1 = dynamic_cast<TQclRadioButton*>(form->FindComponent("R1"));
    auto* act = dynamic_cast<TAction*>(form->FindComponent("Act"));
    ASSERT_NE(r1, nullptr);
    ASSERT_NE(act, nullptr);
    EXPECT_TRUE(r1->Checked());
    EXPECT_FALSE(act->Checked());

    int clicks = 0, executed = 0;
    r1->OnClick = [&](TObject*) { ++clicks; };
    act->OnExecute = [&](TObject*) { ++executed; };
    TQclButtonActionLink link(r1);
    EXPECT_FALSE(link.IsCheckedLinked(act));
    act->SetChecked(false);  // unchanged: nothing happens
    act->SetChecked(true);
    EXPECT_TRUE(link.IsCheckedLinked(act));
    act->SetChecked(false);
    EXPECT_FALSE(r1->Checked());
    EXPECT_TRUE(link.IsCheckedLinked(act));
    act->SetChecked(true);
    EXPECT_TRUE(r1->Checked());
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(executed, 0);
    EXPECT_FALSE(r1->ClicksDisabled());

    // Set through the link itself, and when the checking fails.
    link.SetChecked(false);
    EXPECT_FALSE(r1->Checked());
    EXPECT_FALSE(r1->ClicksDisabled());
    TFailingRadioButton failing(nullptr);
    TQclButtonActionLink failingLink(&failing);
    EXPECT_THROW(failingLink.SetChecked(true), Exception);
    EXPECT_FALSE(failing.ClicksDisabled());
    EXPECT_EQ(clicks, 0);
}

TEST(QclRadioButton, AutoSizeUseBitmapFocusColourAndTheActionsCheckedState) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 300, 150);
    auto* b = Create<TQclRadioButton>(form.get());
    b->SetParent(form.get());
    b->SetBounds(8, 8, 105, 17);
    b->SetCaption("Hi");
    b->SetColor(clWhite);
    form->Show();
    PumpMessages();
    b->SetAutoSize(true);
    EXPECT_LT(b->Width(), 60);  // the glyph, the gap and "Hi"
    EXPECT_GE(b->Width(), 13 + 4 + 8);
    EXPECT_EQ(b->Left(), 8);
    // Focused, the frame round the caption is drawn dotted in the focus colour.
    b->SetAutoSize(false);
    b->SetBounds(8, 8, 105, 17);
    b->SetUseFocusColor(true);
    b->SetFocusColor(clRed);
    b->SetFocus();
    PumpMessages();
    auto reds = [&] {
        RedrawWindow(b->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        WindowDC dc(b->Handle());
        int n = 0;
        for (int y = 0; y < b->Height(); ++y)
            for (int x = 0; x < b->Width(); ++x) n += GetPixel(dc.Get(), x, y) == RGB(255, 0, 0);
        return n;
    };
    int direct = reds();
    EXPECT_GT(direct, 4);
    b->SetUseBitmap(true);
    EXPECT_EQ(reds(), direct);  // painted off the screen, the same picture
    // Linked to an action: it shows the action's state without clicking.
    auto* actions = Create<TActionList>(form.get());
    auto* action = Create<TAction>(form.get());
    action->SetActionList(actions);
    int executed = 0;
    action->OnExecute = [&](TObject*) { ++executed; };
    auto* other = Create<TQclRadioButton>(form.get());
    other->SetParent(form.get());
    other->SetBounds(8, 40, 105, 17);
    other->SetAction(action);
    action->SetChecked(true);
    EXPECT_TRUE(other->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(executed, 0);
}

TEST(QclDialogCharacters, AltAndALetterReachTheLibrarysControlsFromTheKeyboard) {
    auto form = MakeForm<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  Left = 100
  Top = 100
  Width = 420
  Height = 260
  object Options: TQclGroupBox
    Left = 8
    Top = 8
    Width = 200
    Height = 60
    Caption = '&Options'
    object Path: TEdit
      Left = 10
      Top = 24
      Width = 150
      Height = 21
    end
  end
  object Level: TQclRadioGroup
    Left = 8
    Top = 76
    Width = 300
    Height = 50
    Columns = 2
    Caption = '&Level'
    Items.Strings = (
      '&Fast'
      '&Slow')
  end
  object PathLabel: TQclSimpleLabel
    Left = 220
    Top = 8
    Caption = '&Name'
    FocusControl = NameEdit
  end
  object NameEdit: TEdit
    Left = 220
    Top = 30
    Width = 150
    Height = 21
  end
  object Print: TQclOfficeButton
    Left = 8
    Top = 140
    Width = 60
    Height = 22
    Caption = '&Print'
  end
end
)",
                         "accel");
    auto* path = dynamic_cast<TEdit*>(form->FindComponent("Path"));
    auto* level = dynamic_cast<TQclRadioGroup*>(form->FindComponent("Level"));
    auto* name = dynamic_cast<TEdit*>(form->FindComponent("NameEdit"));
    auto* print = dynamic_cast<TQclOfficeButton*>(form->FindComponent("Print"));
    ASSERT_TRUE(path && level && name && print);
    int prints = 0;
    print->OnClick = [&](TObject*) { ++prints; };
    form->Show();
    PumpMessages();
    name->SetFocus();
    PressAltKey('o');
    EXPECT_TRUE(path->Focused());  // the group box leads into itself
    PressAltKey('s');
    EXPECT_EQ(level->ItemIndex(), 1);  // the radio button's letter checks it
    EXPECT_TRUE(level->Buttons(1)->Focused());
    PressAltKey('n');
    EXPECT_TRUE(name->Focused());  // the label focuses its control
    PressAltKey('p');
    EXPECT_EQ(prints, 1);
}

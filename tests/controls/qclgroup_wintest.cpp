// The library's radio buttons and radio group on real forms.
#include <gtest/gtest.h>

#include "controls/qclgroupWin.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"

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

#include <gtest/gtest.h>

#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {

// A dialog laid out as the program's dialogs are: group boxes holding
// check boxes, radio buttons and a memo, with handlers bound by name.
class TStdTestForm : public TForm {
    TRESKEL_CLASS(TStdTestForm)
public:
    using TForm::TForm;
    TGroupBox* GroupBox1 = nullptr;
    TCheckBox* CheckBox1 = nullptr;
    TRadioButton* PortBut = nullptr;
    TRadioButton* LandBut = nullptr;
    TMemo* Memo1 = nullptr;
    std::vector<std::string> clicks;
    void OrientClick(TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
};

const char* kLayout = R"(object StdTestForm: TStdTestForm
  ClientWidth = 320
  ClientHeight = 240
  object GroupBox1: TGroupBox
    Left = 8
    Top = 8
    Width = 300
    Height = 100
    Caption = ' Speed && Compression '
    object CheckBox1: TCheckBox
      Left = 8
      Top = 20
      Width = 200
      Caption = 'Update records'
      Checked = True
    end
    object PortBut: TRadioButton
      Left = 8
      Top = 44
      Caption = '&Portrait'
      Checked = True
      OnClick = OrientClick
    end
    object LandBut: TRadioButton
      Left = 8
      Top = 64
      Caption = 'Land&scape'
      OnClick = OrientClick
    end
  end
  object Memo1: TMemo
    Left = 8
    Top = 116
    Width = 300
    Height = 100
    Lines.Strings = (
      'first'
      ''
      'third')
  end
end
)";

void RegisterTestForm() {
    static bool done = false;
    if (done) return;
    done = true;
    PublishClass<TStdTestForm, TForm>()
        .Handler("OrientClick", &TStdTestForm::OrientClick)
        .Field("GroupBox1", &TStdTestForm::GroupBox1)
        .Field("CheckBox1", &TStdTestForm::CheckBox1)
        .Field("PortBut", &TStdTestForm::PortBut)
        .Field("LandBut", &TStdTestForm::LandBut)
        .Field("Memo1", &TStdTestForm::Memo1);
}

OwnedPtr<TStdTestForm> LoadTestForm(const std::string& layout = kLayout) {
    RegisterTestForm();
    OwnedPtr<TStdTestForm> form(new TStdTestForm(nullptr));
    form->InitializeForm(layout, "stdtest.form");
    return form;
}

bool WindowChecked(TWinControl* c) { return SendMessageA(c->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }
}  // namespace

TEST(StdControls, LayoutSetsStateWithoutRunningHandlers) {
    auto form = LoadTestForm();
    EXPECT_TRUE(form->CheckBox1->Checked());
    EXPECT_TRUE(form->PortBut->Checked());
    EXPECT_FALSE(form->LandBut->Checked());
    EXPECT_TRUE(form->clicks.empty());
    EXPECT_EQ(form->GroupBox1->Caption(), " Speed && Compression ");
    EXPECT_EQ(form->Memo1->Lines()->ToVector(), (std::vector<std::string>{"first", "", "third"}));
    // Children take the group box's colour, which is the form's.
    EXPECT_EQ(form->CheckBox1->Color(), clBtnFace);
    form->Show();
    PumpMessages();
    EXPECT_TRUE(WindowChecked(form->CheckBox1));
    EXPECT_TRUE(WindowChecked(form->PortBut));
    EXPECT_FALSE(WindowChecked(form->LandBut));
}

TEST(StdControls, ALayoutThatLeavesAFieldUnboundIsRefusedNamingIt) {
    // The memo renamed in the layout: its field would stay null.
    std::string layout = kLayout;
    layout.replace(layout.find("object Memo1"), 12, "object Notes");
    try {
        LoadTestForm(layout);
        FAIL() << "the layout was accepted";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("Field Memo1"), std::string::npos) << e.Message();
    }
}

TEST(StdControls, LayoutWrittenBackReadsTheSame) {
    auto form = LoadTestForm();
    form->CheckBox1->SetChecked(false);
    form->LandBut->SetChecked(true);
    form->Memo1->Lines()->SetText("a\r\nb\r\n");
    std::string text = WriteLayout(form.get());
    auto again = LoadTestForm(text);
    EXPECT_FALSE(again->CheckBox1->Checked());
    EXPECT_TRUE(again->LandBut->Checked());
    EXPECT_FALSE(again->PortBut->Checked());
    EXPECT_EQ(again->Memo1->Lines()->ToVector(), (std::vector<std::string>{"a", "b"}));
    // Colours that follow the parent are not written.
    EXPECT_EQ(text.find("Color", text.find("object GroupBox1")), std::string::npos) << text;
}

TEST(CheckBox, AClickOnTheWindowTogglesAndFiresOnClick) {
    auto form = LoadTestForm();
    form->Show();
    PumpMessages();
    int clicks = 0;
    form->CheckBox1->OnClick = [&](TObject*) { ++clicks; };
    HWND box = form->CheckBox1->Handle();
    ClickAt(box, 5, 8);
    PumpMessages();
    EXPECT_FALSE(form->CheckBox1->Checked());
    EXPECT_FALSE(WindowChecked(form->CheckBox1));
    EXPECT_EQ(clicks, 1);
    SendMessageA(box, BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_TRUE(form->CheckBox1->Checked());
    EXPECT_EQ(clicks, 2);
    // A grayed state is reached only when allowed.
    form->CheckBox1->SetAllowGrayed(true);
    SendMessageA(box, BM_CLICK, 0, 0);
    EXPECT_EQ(form->CheckBox1->State(), TCheckBoxState::cbGrayed);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    // Setting the same state again is no click.
    form->CheckBox1->SetState(TCheckBoxState::cbGrayed);
    EXPECT_EQ(clicks, 3);
}

TEST(RadioButton, CheckingOneUnchecksItsSiblingsOnly) {
    auto form = LoadTestForm();
    auto* other = Create<TRadioButton>(form.get());
    other->SetParent(form.get());  // another parent: another group
    other->SetChecked(true);
    form->Show();
    PumpMessages();
    form->clicks.clear();
    ClickAt(form->LandBut->Handle(), 5, 8);
    PumpMessages();
    EXPECT_TRUE(form->LandBut->Checked());
    EXPECT_FALSE(form->PortBut->Checked());
    EXPECT_FALSE(WindowChecked(form->PortBut));
    EXPECT_TRUE(other->Checked());
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"LandBut"}));
    // Clicking the checked one again changes nothing.
    ClickAt(form->LandBut->Handle(), 5, 8);
    PumpMessages();
    EXPECT_EQ(form->clicks.size(), 1u);
    form->PortBut->SetChecked(true);
    EXPECT_EQ(form->clicks, (std::vector<std::string>{"LandBut", "PortBut"}));
    EXPECT_FALSE(form->LandBut->Checked());
}

TEST(GroupBox, AlignedChildrenStayBelowTheCaption) {
    auto form = LoadTestForm();
    auto* inner = Create<TMemo>(form.get());
    inner->SetParent(form->GroupBox1);
    inner->SetAlign(TAlign::alClient);
    TRect r = inner->BoundsRect();
    EXPECT_GT(r.Top, 8);
    EXPECT_LT(r.Top, 20);
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Right, 298);
    EXPECT_EQ(r.Bottom, 98);
}

TEST(Memo, LinesRoundTripWithAndWithoutAWindow) {
    auto form = MakeForm<TForm>();
    auto* memo = Create<TMemo>(form.get());
    memo->SetParent(form.get());
    TStrings* lines = memo->Lines();
    lines->Add("one");
    lines->Add("");
    lines->Add("three");
    EXPECT_EQ(memo->Text(), "one\r\n\r\nthree\r\n");
    form->Show();
    PumpMessages();
    ASSERT_TRUE(memo->HandleAllocated());
    char buf[64] = {};
    GetWindowTextA(memo->Handle(), buf, sizeof buf);
    EXPECT_STREQ(buf, "one\r\n\r\nthree\r\n");
    lines->Insert(1, "two");
    lines->Delete(2);
    lines->Put(0, "ONE");
    EXPECT_EQ(lines->ToVector(), (std::vector<std::string>{"ONE", "two", "three"}));
    // Text typed into the window is what the lines show.
    SetWindowTextA(memo->Handle(), "typed\r\nby hand");
    EXPECT_EQ(lines->Count(), 2);
    EXPECT_EQ(lines->Get(1), "by hand");
    // A line cannot carry a break of its own; bare LFs are lines too.
    lines->Add("x\r\ny");
    EXPECT_EQ(lines->Get(2), "x");
    lines->SetText("a\nb\n\nc");
    EXPECT_EQ(lines->ToVector(), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_THROW(lines->Get(4), EStringListError);
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
    EXPECT_EQ(memo->Text(), "");
    // The window may be made again (a style change) without losing text.
    lines->Add("kept");
    memo->SetWordWrap(false);
    EXPECT_EQ(lines->Get(0), "kept");
}

TEST(Memo, TabAndReturnGoInOnlyWhenWanted) {
    auto form = MakeForm<TForm>();
    auto* memo = Create<TMemo>(form.get());
    memo->SetParent(form.get());
    form->Show();
    PumpMessages();
    memo->SetFocus();
    TypeText(memo->Handle(), "a\tb\rc");
    EXPECT_EQ(memo->Text(), "ab\r\nc");
    memo->SetWantTabs(true);
    memo->SetWantReturns(false);
    memo->Clear();
    TypeText(memo->Handle(), "a\tb\rc");
    EXPECT_EQ(memo->Text(), "a\tbc");
}

TEST(Label, PaintsWithItsParentsColourUnlessGivenItsOwn) {
    auto form = MakeForm<TForm>();
    form->SetBounds(20, 20, 300, 120);
    form->SetColor(clBtnFace);
    auto* label = Create<TLabel>(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 200, 16);
    label->SetCaption("x");
    auto* own = Create<TLabel>(form.get());
    own->SetParent(form.get());
    own->SetAutoSize(false);
    own->SetBounds(10, 40, 200, 16);
    own->SetCaption("y");
    own->SetColor(clYellow);
    form->Show();
    UpdateWindow(form->Handle());
    PumpMessages();
    EXPECT_EQ(label->Color(), clBtnFace);
    EXPECT_TRUE(label->ParentColor());
    // Beside the text, where the label paints its background.
    HDC dc = GetDC(form->Handle());
    EXPECT_EQ(GetPixel(dc, 190, 18), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, 190, 48), static_cast<COLORREF>(ColorToRGB(clYellow)));
    ReleaseDC(form->Handle(), dc);
    // The parent's new colour reaches the label, not the one with its own.
    form->SetColor(clAqua);
    EXPECT_EQ(label->Color(), clAqua);
    EXPECT_EQ(own->Color(), clYellow);
}

// ---------------------------------------------------------------- dialog characters

namespace {
const char* kAccelLayout = R"(object F: TForm
  ClientWidth = 320
  ClientHeight = 240
  object NameLabel: TLabel
    Left = 8
    Top = 8
    Caption = '&Name'
    FocusControl = NameEdit
  end
  object NameEdit: TEdit
    Left = 60
    Top = 8
  end
  object Remember: TCheckBox
    Left = 8
    Top = 36
    Caption = '&Remember'
  end
  object Options: TGroupBox
    Left = 8
    Top = 60
    Width = 200
    Height = 80
    Caption = '&Options'
    object Fast: TRadioButton
      Left = 8
      Top = 20
      Caption = '&Fast'
      Checked = True
    end
    object Slow: TRadioButton
      Left = 8
      Top = 44
      Caption = 'S&low'
    end
  end
  object Go: TButton
    Left = 8
    Top = 150
    Caption = '&Go'
  end
  object Get: TButton
    Left = 100
    Top = 150
    Caption = '&Get'
  end
  object Hidden: TButton
    Left = 200
    Top = 150
    Caption = '&Hidden'
    Visible = False
  end
end
)";

template <class T>
T* Find(TForm* form, const char* name) {
    auto* c = dynamic_cast<T*>(form->FindComponent(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}
}  // namespace

// Alt and a letter reach the control whose caption holds it: buttons
// click, labels focus their control, check and radio buttons change, a
// group box leads into itself; where two captions share a letter each
// press goes on to the next.
TEST(DialogCharacters, AltAndALetterReachTheControlWhoseCaptionHoldsIt) {
    auto form = MakeForm<TForm>();
    ReadLayout(form.get(), kAccelLayout, "accel.form");
    auto* edit = Find<TEdit>(form.get(), "NameEdit");
    auto* remember = Find<TCheckBox>(form.get(), "Remember");
    auto* fast = Find<TRadioButton>(form.get(), "Fast");
    auto* slow = Find<TRadioButton>(form.get(), "Slow");
    auto* go = Find<TButton>(form.get(), "Go");
    auto* get = Find<TButton>(form.get(), "Get");
    auto* hidden = Find<TButton>(form.get(), "Hidden");
    std::vector<std::string> clicks;
    for (TButton* b : {go, get, hidden})
        b->OnClick = [&clicks](TObject* s) { clicks.push_back(static_cast<TComponent*>(s)->Name()); };
    form->Show();
    PumpMessages();
    remember->SetFocus();

    PressAltKey('r');
    EXPECT_TRUE(remember->Checked());
    PressAltKey('r');
    EXPECT_FALSE(remember->Checked());
    PressAltKey('l');
    EXPECT_TRUE(slow->Checked());
    EXPECT_FALSE(fast->Checked());
    EXPECT_TRUE(slow->Focused());
    PressAltKey('o');
    EXPECT_TRUE(fast->Focused() || slow->Focused());
    PressAltKey('n');
    EXPECT_TRUE(edit->Focused());
    PressAltKey('g');
    PressAltKey('g');
    PressAltKey('g');
    EXPECT_EQ(clicks, (std::vector<std::string>{"Go", "Get", "Go"}));
    // A hidden button and a letter no caption holds do nothing.
    PressAltKey('h');
    PressAltKey('x');
    EXPECT_EQ(clicks.size(), 3u);

    // Without Alt a letter is typed where text is wanted, and is a
    // dialog character elsewhere.
    edit->SetFocus();
    TypeIntoFocus('g');
    EXPECT_EQ(edit->Text(), "g");
    EXPECT_EQ(clicks.size(), 3u);
    remember->SetFocus();
    TypeIntoFocus('g');
    EXPECT_EQ(clicks.back(), "Go");
    EXPECT_EQ(clicks.size(), 4u);
}

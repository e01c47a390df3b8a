#include <gtest/gtest.h>

#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Spin.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {
const char* const kLayout = R"(object SpinHost: TForm
  object Steps: TSpinEdit
    Left = 8
    Top = 8
    MinValue = -5
    MaxValue = 5
    Increment = 2
    Value = 3
  end
  object Fixed: TSpinEdit
    Left = 8
    Top = 40
    EditorEnabled = False
    MinValue = 0
    MaxValue = 10
    Value = 4
  end
end
)";

struct SpinHost {
    SpinHost() : form(new TForm(nullptr)) {
        form->InitializeForm(kLayout, "spin.form");
        form->Show();
        steps = dynamic_cast<TSpinEdit*>(form->FindComponent("Steps"));
        fixed = dynamic_cast<TSpinEdit*>(form->FindComponent("Fixed"));
    }
    OwnedPtr<TForm> form;
    TSpinEdit* steps = nullptr;
    TSpinEdit* fixed = nullptr;
};
}  // namespace

TEST(SpinEdit, StepsByItsIncrementWithinItsBoundsAndTakesASignBelowZero) {
    SpinHost host;
    TSpinEdit* s = host.steps;
    EXPECT_EQ(s->Increment(), 2);
    EXPECT_EQ(s->Value(), 3);
    PressKey(s->Handle(), VK_UP);
    EXPECT_EQ(s->GetText(), "5");
    PressKey(s->Handle(), VK_UP);
    EXPECT_EQ(s->GetText(), "5");
    s->SetText("");
    TypeText(s->Handle(), "-x4");
    EXPECT_EQ(s->GetText(), "-4");
    PressKey(s->Handle(), VK_DOWN);
    EXPECT_EQ(s->Value(), -5);
    // A number past the bounds is held to them, and shown so on leaving.
    s->SetText("");
    TypeText(s->Handle(), "77");
    EXPECT_EQ(s->Value(), 5);
    host.fixed->SetFocus();
    PumpMessages();
    EXPECT_EQ(s->GetText(), "5");
}

TEST(SpinEdit, WithTheEditorOffOnlyTheArrowsChangeTheNumber) {
    SpinHost host;
    TSpinEdit* f = host.fixed;
    TypeText(f->Handle(), "9");
    EXPECT_EQ(f->GetText(), "4");
    // No minus sign where nothing is below zero, in any spin edit.
    host.steps->SetMinValue(0);
    host.steps->SetText("");
    TypeText(host.steps->Handle(), "-1");
    EXPECT_EQ(host.steps->GetText(), "1");
    HWND arrows = FindWindowExA(f->Handle(), nullptr, "msctls_updown32", nullptr);
    ASSERT_NE(arrows, nullptr);
    RECT r;
    GetClientRect(arrows, &r);
    ClickAt(arrows, r.right / 2, r.bottom / 4);
    EXPECT_EQ(f->GetText(), "5");
    // The arrows stand inside the edit, at its right end.
    RECT edit;
    GetClientRect(f->Handle(), &edit);
    POINT at{0, 0};
    MapWindowPoints(arrows, f->Handle(), &at, 1);
    EXPECT_EQ(at.x + r.right, edit.right);
}

#include <gtest/gtest.h>

#include "app/frmMain.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

TEST(MainWindow, OpensFromItsLayoutTitledAndCentred) {
    auto form = MakeForm<TfrmTreskel>();
    form->Show();
    PumpMessages();
    HWND h = form->Handle();
    char title[64];
    GetWindowTextA(h, title, sizeof title);
    EXPECT_STREQ(title, "Treskel!");
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.right - r.left, 952);
    EXPECT_EQ(r.bottom - r.top, 516);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(r.left, (sw - 952) / 2, 1);
    EXPECT_NEAR(r.top, std::max(0, (sh - 516) / 2), 1);
    EXPECT_TRUE(IsWindowVisible(h));
}

TEST(Application, HiddenWindowCarriesTheTitle) {
    Application->SetTitle("Treskel!");
    HWND h = FindWindowA("TApplication", "Treskel!");
    EXPECT_EQ(h, Application->Handle());
    EXPECT_FALSE(IsWindowVisible(h));
}

TEST(Application, ExceptionInAHandlerEndsInTheErrorBoxAndTheLoopGoesOn) {
    auto form = MakeForm<TForm>();
    auto* button = Create<TButton>(form.get());
    button->SetParent(form.get());
    button->SetCaption("Fail");
    int clicks = 0;
    button->OnClick = [&](TObject*) {
        ++clicks;
        throw EConvertError("'x' is not a valid integer value");
    };
    form->Show();
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].text, "'x' is not a valid integer value.");
    EXPECT_EQ(MessageBoxes()[0].caption, Application->Title());
    EXPECT_EQ(MessageBoxes()[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    // The window still answers.
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
}

TEST(Controls, FreedPopupMenuIsClearedFromTheControl) {
    auto form = MakeForm<TForm>();
    auto* menu = Create<TPopupMenu>(form.get());
    auto* edit = Create<TEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetPopupMenu(menu);
    EXPECT_EQ(edit->PopupMenu(), menu);
    menu->Free();
    EXPECT_EQ(edit->PopupMenu(), nullptr);
}

TEST(Controls, AlignmentFillsTheParentInOrder) {
    auto form = MakeForm<TForm>();
    form->SetFormClientWidth(400);
    form->SetFormClientHeight(300);
    auto* top = Create<TEdit>(form.get());
    top->SetParent(form.get());
    top->SetHeight(20);
    top->SetAlign(TAlign::alTop);
    auto* left = Create<TButton>(form.get());
    left->SetParent(form.get());
    left->SetWidth(50);
    left->SetAlign(TAlign::alLeft);
    auto* client = Create<TButton>(form.get());
    client->SetParent(form.get());
    client->SetAlign(TAlign::alClient);
    form->Show();
    PumpMessages();
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 400, 20));
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 50, 300));
    EXPECT_EQ(client->BoundsRect(), Rect(50, 20, 400, 300));
    form->SetFormClientWidth(500);
    PumpMessages();
    EXPECT_EQ(client->BoundsRect(), Rect(50, 20, 500, 300));
    RECT r;
    GetWindowRect(client->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 450);
}

TEST(Forms, ShowModalEndsWithTheButtonsModalResult) {
    auto form = MakeForm<TForm>();
    auto* ok = Create<TButton>(form.get());
    ok->SetParent(form.get());
    ok->SetModalResult(mrOk);
    // Press the button once the modal loop runs.
    PostMessageA(nullptr, WM_NULL, 0, 0);
    SetTimer(nullptr, 0, 10, nullptr);
    Application->OnIdle = [&](TObject*, bool&) {
        if (form->Modal() && ok->HandleAllocated()) SendMessageA(ok->Handle(), BM_CLICK, 0, 0);
    };
    int r = form->ShowModal();
    Application->OnIdle = nullptr;
    EXPECT_EQ(r, mrOk);
    EXPECT_FALSE(form->Visible());
}

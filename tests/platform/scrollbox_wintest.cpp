#include <gtest/gtest.h>

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/ScrollBox.h"
#include "support/GuiTest.h"

using namespace treskel;
using namespace treskel::test;

namespace {
struct ScrollBoxTest : testing::Test {
    void SetUp() override {
        form->SetFormClientWidth(300);
        form->SetFormClientHeight(200);
        box->SetParent(form.get());
        box->SetBorderStyle(TBorderStyle::bsNone);
        box->SetBounds(0, 0, 200, 150);
        page->SetParent(box);
        page->SetBounds(0, 0, 500, 400);
        form->Show();
        PumpMessages();
    }
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TScrollBox* box = Create<TScrollBox>(form.get());
    TPanel* page = Create<TPanel>(form.get());
};
}  // namespace

TEST_F(ScrollBoxTest, TheBarsFollowTheChildrenAndScrollingMovesThem) {
    TControlScrollBar *h = box->HorzScrollBar(), *v = box->VertScrollBar();
    EXPECT_EQ(h->Range(), 500);
    EXPECT_EQ(v->Range(), 400);
    LONG style = GetWindowLongA(box->Handle(), GWL_STYLE);
    EXPECT_TRUE((style & WS_HSCROLL) && (style & WS_VSCROLL));
    h->SetPosition(100);
    v->SetPosition(30);
    EXPECT_EQ(page->Left(), -100);
    EXPECT_EQ(page->Top(), -30);
    EXPECT_EQ(GetScrollPos(box->Handle(), SB_HORZ), 100);
    // Held to the part that can be shown.
    v->SetPosition(5000);
    EXPECT_EQ(v->Position(), 400 - box->ClientHeight());
    EXPECT_EQ(page->Top(), box->ClientHeight() - 400);
    // A child that shrinks into view takes the bars away and comes home.
    page->SetBounds(page->Left(), page->Top(), 100, 100);
    EXPECT_EQ(h->Position(), 0);
    EXPECT_EQ(v->Position(), 0);
    EXPECT_EQ(page->BoundsRect(), Bounds(0, 0, 100, 100));
    style = GetWindowLongA(box->Handle(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL));
    EXPECT_EQ(box->ClientWidth(), 200);
}

TEST_F(ScrollBoxTest, TheThumbScrollsWhileDraggedOnlyWhenTracking) {
    TControlScrollBar* v = box->VertScrollBar();
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40), 0);
    EXPECT_EQ(v->Position(), 0);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
    EXPECT_EQ(v->Position(), 40);
    v->SetTracking(true);
    SendMessageA(box->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 60), 0);
    EXPECT_EQ(v->Position(), 60);
    EXPECT_EQ(page->Top(), -60);
    SendMessageA(box->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(v->Position(), 52);
    SendMessageA(box->Handle(), WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(box->HorzScrollBar()->Position(), box->ClientWidth());
}

TEST_F(ScrollBoxTest, ResizingTheBoxTellsItsHandlerAndRefitsTheBars) {
    int resized = 0;
    box->OnResize = [&](TObject*) { ++resized; };
    box->VertScrollBar()->SetPosition(250);
    box->SetBounds(0, 0, 600, 450);
    EXPECT_GE(resized, 1);
    // Everything fits now: no bars, nothing scrolled.
    EXPECT_FALSE(box->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(page->Top(), 0);
}

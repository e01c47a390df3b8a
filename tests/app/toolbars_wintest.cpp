// The main window's three tool bars at the window's first size, seen and
// clicked from the screen.
#include "EditorWindowTest.h"

#include <vector>

namespace treskel::test {

namespace {

TRect ScreenRect(TControl* c) {
    TPoint at = c->ClientToScreen({0, 0});
    return Bounds(at.x, at.y, c->Width(), c->Height());
}

// What the screen can show of a control: its rectangle cut by the client
// area of every window it lies in.
TRect ShownOnScreen(TControl* c) {
    RECT shown = ToRECT(ScreenRect(c));
    for (TWinControl* p = c->Parent(); p != nullptr; p = p->Parent()) {
        TPoint at = p->ClientToScreen({0, 0});
        RECT client{at.x, at.y, at.x + p->ClientWidth(), at.y + p->ClientHeight()};
        IntersectRect(&shown, &shown, &client);
    }
    return Rect(shown.left, shown.top, shown.right, shown.bottom);
}

// The buttons and controls a bar holds for the mouse: a panel's own
// buttons one by one, no separators.
std::vector<TControl*> MouseTargets(TToolBar* bar) {
    std::vector<TControl*> targets;
    for (int i = 0; i < bar->ItemCount(); ++i) {
        TControl* c = bar->Items(i);
        if (!c->Visible()) continue;
        if (auto* b = dynamic_cast<TToolButton*>(c);
            b != nullptr && (b->Style() == TToolButtonStyle::tbsSeparator || b->Style() == TToolButtonStyle::tbsDivider))
            continue;
        auto* panel = dynamic_cast<TPanel*>(c);
        if (panel == nullptr) {
            targets.push_back(c);
            continue;
        }
        for (int k = 0; k < panel->ControlCount(); ++k) targets.push_back(panel->Controls(k));
    }
    return targets;
}

POINT Middle(TControl* c) {
    TRect r = ScreenRect(c);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
}

// Whether a press at the middle of the control reaches it: the window
// under that point is its own (or one of its windows), or, for a control
// without a window, its parent's, which hands the press to it.
bool MouseReaches(TControl* c) {
    POINT p = Middle(c);
    HWND under = WindowFromPoint(p);
    if (auto* w = dynamic_cast<TWinControl*>(c)) return under == w->Handle() || IsChild(w->Handle(), under);
    TWinControl* parent = c->Parent();
    if (under != parent->Handle()) return false;
    return parent->ControlAtPos(parent->ScreenToClient({p.x, p.y}), true) == c;
}

}  // namespace

using ToolBars = EditorTest;

TEST_F(ToolBars, AtTheFirstSizeEveryButtonIsShownAndTheMouseReachesIt) {
    StartWithItem();
    ASSERT_EQ(W->Width(), 952);
    ASSERT_EQ(W->Height(), 516);
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    // The editor's bar is too narrow beside the tree for one row: it goes
    // on in a second, and the editor starts below it.
    EXPECT_EQ(W->ToolBar2->RowCount(), 2);
    EXPECT_EQ(W->ToolBar2->Height(), 3 + 2 * 22 + 3);
    EXPECT_EQ(W->REdit->Top(), W->ToolBar2->Top() + W->ToolBar2->Height());
    EXPECT_EQ(W->ToolBar1->RowCount(), 1);
    EXPECT_EQ(W->ToolBar3->RowCount(), 1);
    SaveWindowShot(W->Handle(), "polish-first-size");

    int seen = 0;
    for (TToolBar* bar : {W->ToolBar1, W->ToolBar2, W->ToolBar3}) {
        for (TControl* c : MouseTargets(bar)) {
            ++seen;
            EXPECT_EQ(ShownOnScreen(c), ScreenRect(c)) << c->Name() << " is cut off";
            EXPECT_TRUE(MouseReaches(c)) << c->Name();
        }
    }
    // 12 on the main bar, 20 on the editor's with the four office
    // buttons, 5 on the item style bar.
    EXPECT_EQ(seen, 12 + 20 + 5);

    // The mouse itself, on the last button of each bar and on one of the
    // editor's first row.
    MouseClickOnScreen(Middle(W->BoldButton));
    EXPECT_TRUE(PumpUntil([&] { return W->BoldButton->Down(); }));
    std::vector<std::string> dropped;
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        for (int i = 0; i < m->Items()->Count(); ++i) dropped.push_back(m->Items()->Items(i)->Caption());
        return 0;
    };
    MouseClickOnScreen(Middle(W->PrintButton));
    EXPECT_TRUE(PumpUntil([&] { return !dropped.empty(); }));
    TPopupMenu::TestChooser = nullptr;
    EXPECT_EQ(dropped, (std::vector<std::string>{"Page Setup...", "Preview...", "Print..."}));
    MouseClickOnScreen(Middle(W->ToolButton22));
    EXPECT_TRUE(PumpUntil([&] { return W->ToolButton22->Down(); }));
    ModalDialogs dialogs;
    dialogs.Install();
    MouseClickOnScreen(Middle(dynamic_cast<TControl*>(W->FindComponent("OptionsButton"))));
    EXPECT_TRUE(PumpUntil([&] { return !dialogs.Shown().empty(); }));
    dialogs.Remove();
    EXPECT_EQ(dialogs.Shown(), std::vector<std::string>{"TfrmOptions"});
}

// The bar between tree and note moved by the mouse: the editor's bar
// takes one row when it has the room and two again when it has not.
TEST_F(ToolBars, TheEditorsBarFollowsTheSplitter) {
    StartWithItem();
    ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == W->Handle(); }));
    ASSERT_EQ(W->ToolBar2->RowCount(), 2);
    TRect bar;
    W->PaneSplitCtrl->GetBarRect(0, bar);
    TPoint centre = W->PaneSplitCtrl->ClientToScreen({(bar.Left + bar.Right) / 2, (bar.Top + bar.Bottom) / 2});
    MouseDragOnScreen({centre.x, centre.y}, {centre.x - 120, centre.y});
    EXPECT_TRUE(PumpUntil([&] { return W->ToolBar2->RowCount() == 1; }));
    EXPECT_EQ(W->ToolBar2->Height(), 28);
    EXPECT_EQ(W->REdit->Top(), W->ToolBar2->Top() + 28);
    EXPECT_TRUE(MouseReaches(W->PrintButton));
    EXPECT_EQ(ShownOnScreen(W->PrintButton), ScreenRect(W->PrintButton));
    MouseDragOnScreen({centre.x - 120, centre.y}, {centre.x, centre.y});
    EXPECT_TRUE(PumpUntil([&] { return W->ToolBar2->RowCount() == 2; }));
    EXPECT_EQ(W->REdit->Top(), W->ToolBar2->Top() + 3 + 2 * 22 + 3);
}

}  // namespace treskel::test

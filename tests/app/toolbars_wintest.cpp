// The main window's three tool bars at the window's first size, seen and
// clicked from the screen, and the look of their office buttons.
#include "EditorWindowTest.h"
#include "platform/Handles.h"

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

// ---------------------------------------------------------------- office buttons

using EditorOfficeButtons = EditorTest;

namespace {
// The pixels of a windowless control on screen darker than the shadow
// colour that an embossed glyph is drawn in: the pictures' outlines.
template <class Counted>
int PixelsWhere(TControl* c, Counted counted) {
    auto* parent = static_cast<TWinControl*>(c->Parent());
    RedrawWindow(parent->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages();
    WindowDC dc(parent->Handle());
    int n = 0;
    for (int y = c->Top(); y < c->Top() + c->Height(); ++y)
        for (int x = c->Left(); x < c->Left() + c->Width(); ++x) n += counted(GetPixel(dc.Get(), x, y));
    return n;
}
int DarkPixels(TControl* c) {
    return PixelsWhere(c, [](COLORREF p) { return GetRValue(p) < 0x70 && GetGValue(p) < 0x70 && GetBValue(p) < 0x70; });
}
// The pixels in the shadow colour of an embossed picture.
int ShadowPixels(TControl* c) {
    return PixelsWhere(c, [](COLORREF p) { return p == GetSysColor(COLOR_BTNSHADOW); });
}
}  // namespace

TEST_F(EditorOfficeButtons, FlatWithTheirPicturesAndEnabledOnlyWithAnItem) {
    StartWindow();
    // Wide enough for the whole editor tool bar beside the tree: the
    // pictures are read from the screen.
    SetWindowPos(W->Handle(), nullptr, 0, 0, 1200, 516, SWP_NOZORDER);
    PumpMessages();
    const char* names[] = {"QclOfficeButton1", "QclOfficeButton2", "QclOfficeButton3", "PrintButton"};
    const char* hints[] = {"Scan document", "Load Image", "Insert OLE Object", "Print"};
    std::vector<TQclOfficeButton*> buttons;
    for (int i = 0; i < 4; ++i) {
        auto* b = dynamic_cast<TQclOfficeButton*>(W->FindComponent(names[i]));
        ASSERT_NE(b, nullptr) << names[i];
        EXPECT_EQ(b->Style(), TQclUserButtonStyle::ubsFlat);
        EXPECT_EQ(b->Hint(), hints[i]);
        EXPECT_EQ(b->Glyph()->Width(), 16) << names[i];
        // Picture buttons: the action's caption is not drawn over the picture.
        EXPECT_EQ(b->Caption(), "") << names[i];
        // Greyed, embossed, while the tool bar waits for a treskel.
        EXPECT_EQ(b->DrawnState(), TQclButtonState::bsDisabled) << names[i];
        EXPECT_EQ(DarkPixels(b), 0) << names[i];
        // The pictures' outlines are dark grey, not black: embossed, they
        // still show.
        EXPECT_GT(ShadowPixels(b), 10) << names[i];
        EXPECT_EQ(b->Parent()->Name(), "Panel3");
        EXPECT_FALSE(b->Enabled()) << names[i];
        buttons.push_back(b);
    }
    EXPECT_EQ(buttons[0]->DropDownMenu(), W->FindComponent("ScanPopup"));
    NewTreskel("Notes");
    AddItem("First");
    for (auto* b : buttons) {
        EXPECT_TRUE(b->Enabled()) << b->Name();
        EXPECT_EQ(b->DrawnState(), TQclButtonState::bsUp) << b->Name();
        EXPECT_GT(DarkPixels(b), 10) << b->Name();
    }
    EXPECT_EQ(buttons[3], W->PrintButton);
    // The scan button drops its menu down instead of clicking.
    std::vector<std::string> shown;
    TPopupMenu::TestChooser = [&](TPopupMenu* m) -> WORD {
        for (int i = 0; i < m->Items()->Count(); ++i) shown.push_back(m->Items()->Items(i)->Caption());
        return 0;
    };
    TQclOfficeButton* scan = buttons[0];
    TPoint p = scan->Parent()->ClientToScreen({scan->Left() + 5, scan->Top() + 5});
    HWND panel = static_cast<TWinControl*>(scan->Parent())->Handle();
    POINT local{p.x, p.y};
    ScreenToClient(panel, &local);
    SendMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
    SendMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(local.x, local.y));
    TPopupMenu::TestChooser = nullptr;
    EXPECT_EQ(shown, (std::vector<std::string>{"Select Source...", "Acquire..."}));
}

}  // namespace treskel::test

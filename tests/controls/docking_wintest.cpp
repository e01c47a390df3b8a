// Docking, size limits and sizing to the content as the published
// properties drive them, with the mouse itself under Wine: a control
// dragged into a dock site docks there, floats in a window of its own over
// none, and comes back; a site with a dock manager lays its controls out
// under grabbers; a constrained control stays within its limits however it
// is resized; a panel with AutoSize wraps its children.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/qclctrlAWin.h"
#include "controls/qclgroupWin.h"
#include "controls/qclstdcS.h"
#include "platform/DockTree.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

using namespace treskel;
using namespace treskel::test;

namespace {

const char* kDockLayout = R"(object Form: TForm
  Left = 100
  Top = 100
  ClientWidth = 420
  ClientHeight = 330
  object Managed: TQclSimplePanel
    Left = 10
    Top = 10
    Width = 180
    Height = 200
    Color = clWhite
    DockSite = True
  end
  object Plain: TQclSimplePanel
    Left = 220
    Top = 10
    Width = 180
    Height = 200
    Color = clSilver
    DockSite = True
    UseDockManager = False
  end
  object Tool: TQclSimplePanel
    Left = 20
    Top = 240
    Width = 80
    Height = 40
    Color = clRed
    DragKind = dkDock
    DragMode = dmAutomatic
  end
  object Note: TQclSimpleLabel
    Left = 140
    Top = 250
    Caption = 'A note to dock'
    DragKind = dkDock
    DragMode = dmAutomatic
  end
end
)";

struct DockForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TQclSimplePanel* managed;
    TQclSimplePanel* plain;
    TQclSimplePanel* tool;
    TQclSimpleLabel* note;
    std::vector<std::string> heard;

    DockForm() {
        ReadLayout(form.get(), kDockLayout, "docking");
        managed = static_cast<TQclSimplePanel*>(form->FindComponent("Managed"));
        plain = static_cast<TQclSimplePanel*>(form->FindComponent("Plain"));
        tool = static_cast<TQclSimplePanel*>(form->FindComponent("Tool"));
        note = static_cast<TQclSimpleLabel*>(form->FindComponent("Note"));
        for (TQclSimplePanel* site : {managed, plain}) {
            site->OnDockDrop = [this](TObject* s, TDragDockObject* d, int, int) {
                heard.push_back(Name(s) + " takes " + Name(d->Control));
            };
            site->OnUnDock = [this](TObject* s, TControl* c, TWinControl* to, bool&) {
                heard.push_back(Name(s) + " lets " + Name(c) + " go to " + (to != nullptr ? Name(to) : "float"));
            };
        }
        for (TControl* c : std::initializer_list<TControl*>{tool, note}) {
            c->OnStartDock = [this](TObject* s, TDragDockObject*&) { heard.push_back(Name(s) + " starts"); };
            c->OnEndDock = [this](TObject* s, TObject* target, int, int) {
                heard.push_back(Name(s) + " ends in " + (target != nullptr ? Name(target) : "nothing"));
            };
        }
        form->Show();
        PumpUntil([&] { return IsWindowVisible(form->Handle()) != 0; });
        PumpMessages();
    }
    static std::string Name(TObject* o) {
        auto* c = dynamic_cast<TComponent*>(o);
        if (c == nullptr) return "?";
        return dynamic_cast<TCustomDockForm*>(c) != nullptr ? "a floating window" : c->Name();
    }
    // Drags with the mouse itself from a point of one control to a point of
    // another (screen points), the program following in its own loop.
    void Drag(TPoint from, TPoint to, const std::function<void()>& atTarget = nullptr) {
        heard.clear();
        MouseDragAside drag({from.x, from.y}, {to.x, to.y}, atTarget);
        ASSERT_TRUE(PumpUntil([&] { return drag.Done(); }, 20000));
        PumpMessages();
        Sleep(50);
        PumpMessages();
    }
    static TPoint At(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
    static TRect OnScreen(TControl* c) {
        TPoint o = c->ClientToScreen({0, 0});
        return Bounds(o.x, o.y, c->Width(), c->Height());
    }
};

}  // namespace

TEST(Docking, AControlDraggedByTheMouseDocksWhereItIsDroppedFloatsOverNoSiteAndComesBack) {
    DockForm f;
    // Into the plain site: where the pointer takes it, as it was held.
    f.Drag(DockForm::At(f.tool, 40, 20), DockForm::At(f.plain, 60, 50));
    EXPECT_EQ(f.tool->Parent(), f.plain);
    EXPECT_EQ(f.tool->HostDockSite(), f.plain);
    EXPECT_EQ(f.tool->BoundsRect(), Bounds(20, 30, 80, 40));
    EXPECT_EQ(f.heard, (std::vector<std::string>{"Tool starts", "Plain takes Tool", "Tool ends in Plain"}));
    ASSERT_EQ(f.plain->DockClientCount(), 1);

    // Over no site it floats in a window of its own, held where it was
    // taken, its height kept (a window with a caption is never narrower
    // than the system allows).
    TPoint empty = DockForm::At(f.form.get(), 300, 280);
    f.Drag(DockForm::At(f.tool, 10, 10), empty);
    ASSERT_TRUE(f.tool->Floating());
    auto* host = dynamic_cast<TCustomDockForm*>(f.tool->HostDockSite());
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(IsWindowVisible(host->Handle()));
    TRect floated = DockForm::OnScreen(f.tool);
    EXPECT_EQ(floated.TopLeft(), (TPoint{empty.x - 10, empty.y - 10}));
    EXPECT_EQ(floated.Height(), 40);
    EXPECT_GE(floated.Width(), 80);
    EXPECT_EQ(f.plain->DockClientCount(), 0);
    EXPECT_EQ(f.heard, (std::vector<std::string>{"Tool starts", "Plain lets Tool go to float",
                                                 "Tool ends in a floating window"}));

    // Its window's caption drags it back: into the site with the dock
    // manager, where it fills the room below its grabber; the floating
    // window goes.
    HWND floating = host->Handle();
    RECT frame;
    GetWindowRect(floating, &frame);
    TPoint caption{(frame.left + frame.right) / 2, frame.top + (DockForm::At(f.tool, 0, 0).y - frame.top) / 2};
    f.Drag(caption, DockForm::At(f.managed, 90, 100));
    EXPECT_EQ(f.tool->Parent(), f.managed);
    EXPECT_FALSE(f.tool->Floating());
    EXPECT_TRUE(PumpUntil([&] { return IsWindow(floating) == 0; }));
    const int g = TDockTree::kGrabberSize;
    TRect room = f.managed->ClientRect();
    EXPECT_EQ(f.tool->BoundsRect(), Rect(room.Left, room.Top + g, room.Right, room.Bottom));

    // A windowless label dropped near the tool's right edge goes beside it;
    // meanwhile a frame on the screen shows the half of the site it takes.
    const int half = room.Width() / 2;
    int framed = 0;
    f.Drag(DockForm::At(f.note, 5, 5), DockForm::At(f.tool, f.tool->Width() - 8, 60), [&] {
        Sleep(300);
        TPoint edge = DockForm::At(f.managed, half, 20);
        Snapshot column = ScreenArea(Bounds(edge.x, edge.y, 1, 160));
        framed = column.Count(Rect(0, 0, 1, 160), [](COLORREF c) { return !Reddish(c); });
        SaveWindowShot(f.form->Handle(), "docking-frame");
    });
    EXPECT_GT(framed, 40);
    EXPECT_EQ(f.note->Parent(), f.managed);
    EXPECT_EQ(f.heard, (std::vector<std::string>{"Note starts", "Managed takes Note", "Note ends in Managed"}));
    const int bar = TDockTree::kBarSize, first = (room.Width() - bar) / 2;
    EXPECT_EQ(f.tool->BoundsRect(), Rect(0, g, first, room.Bottom));
    EXPECT_EQ(f.note->BoundsRect(), Rect(first + bar, g, room.Right, room.Bottom));

    // The bar between them follows the mouse.
    MouseDragOnScreen({DockForm::At(f.managed, first + 2, 100).x, DockForm::At(f.managed, first + 2, 100).y},
                      {DockForm::At(f.managed, first + 32, 100).x, DockForm::At(f.managed, first + 32, 100).y});
    EXPECT_EQ(f.tool->BoundsRect(), Rect(0, g, first + 30, room.Bottom));
    EXPECT_EQ(f.note->BoundsRect(), Rect(first + 30 + bar, g, room.Right, room.Bottom));

    // The tool's grabber takes it out again, into the plain site; the note
    // takes the whole of the managed one.
    f.Drag(DockForm::At(f.managed, 20, g / 2), DockForm::At(f.plain, 100, 100));
    EXPECT_EQ(f.tool->Parent(), f.plain);
    EXPECT_EQ(f.tool->Width(), floated.Width());  // the size it had before the dock manager sized it
    EXPECT_EQ(f.tool->Height(), 40);
    EXPECT_EQ(f.note->BoundsRect(), Rect(0, g, room.Right, room.Bottom));
    EXPECT_EQ(f.heard, (std::vector<std::string>{"Tool starts", "Managed lets Tool go to Plain", "Plain takes Tool",
                                                 "Tool ends in Plain"}));

    // The grabber's button hides the note; its zone is gone.
    TPoint button = DockForm::At(f.managed, room.Right - g / 2, g / 2);
    MouseClickOnScreen({button.x, button.y});
    PumpMessages();
    EXPECT_FALSE(f.note->Visible());
    EXPECT_EQ(f.managed->DockManager()->ClientAt({room.Right / 2, room.Bottom / 2}), nullptr);
}

TEST(Docking, ASiteMayRefuseToTakeAControlOrToLetOneGo) {
    DockForm f;
    // Refused over the plain site, the control floats where it was dropped.
    f.plain->OnDockOver = [](TObject*, TDragDockObject*, int, int, TDragState, bool& accept) { accept = false; };
    f.Drag(DockForm::At(f.tool, 40, 20), DockForm::At(f.plain, 60, 50));
    EXPECT_TRUE(f.tool->Floating());
    // A site whose influence does not reach the pointer is passed by.
    f.plain->OnDockOver = nullptr;
    f.plain->OnGetSiteInfo = [](TObject*, TControl*, TRect&, TPoint, bool& canDock) { canDock = false; };
    f.tool->ManualDock(f.managed);
    f.Drag(DockForm::At(f.tool, 40, 60), DockForm::At(f.plain, 60, 50));
    EXPECT_TRUE(f.tool->Floating());
    // Docked into the plain site, which keeps it: it stays where it is,
    // and hears that it ended nowhere.
    f.plain->OnGetSiteInfo = nullptr;
    f.tool->ManualDock(f.plain);
    f.plain->OnUnDock = [](TObject*, TControl*, TWinControl*, bool& allow) { allow = false; };
    TRect before = f.tool->BoundsRect();
    f.Drag(DockForm::At(f.tool, 40, 20), DockForm::At(f.managed, 90, 100));
    EXPECT_EQ(f.tool->Parent(), f.plain);
    EXPECT_EQ(f.tool->BoundsRect(), before);
    EXPECT_EQ(f.heard.back(), "Tool ends in nothing");
    // Escape during the drag leaves everything where it was.
    f.plain->OnUnDock = nullptr;
    f.Drag(DockForm::At(f.tool, 40, 20), DockForm::At(f.managed, 90, 100), [] { TapKey(VK_ESCAPE); });
    EXPECT_EQ(f.tool->Parent(), f.plain);
    EXPECT_EQ(f.tool->BoundsRect(), before);
    EXPECT_EQ(f.heard, (std::vector<std::string>{"Tool starts", "Tool ends in nothing"}));
}

TEST(SizeLimits, AConstrainedControlStaysWithinItsLimitsHoweverItIsResized) {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ReadLayout(form.get(), R"(object Form: TForm
  Left = 120
  Top = 120
  ClientWidth = 300
  ClientHeight = 200
  object Panel: TQclSimplePanel
    Left = 10
    Top = 10
    Width = 150
    Height = 120
    Anchors = [akLeft, akTop, akRight, akBottom]
    Constraints.MaxWidth = 200
    Constraints.MinHeight = 100
  end
end
)",
               "limits");
    auto* panel = static_cast<TQclSimplePanel*>(form->FindComponent("Panel"));
    form->Show();
    PumpMessages();
    // The user widens the window by its corner: the panel follows to its
    // largest width only.
    RECT frame;
    GetWindowRect(form->Handle(), &frame);
    MouseDragAside drag({frame.right - 2, frame.bottom - 2}, {frame.right + 150, frame.bottom - 60}, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return drag.Done(); }, 20000));
    PumpMessages();
    EXPECT_GT(form->Width(), static_cast<int>(frame.right - frame.left) + 100);
    EXPECT_EQ(panel->Width(), 200);
    EXPECT_EQ(panel->Height(), 100);  // the window lost 60 in height
    // Sized from outside its code, the window is held too.
    SetWindowPos(panel->Handle(), nullptr, 0, 0, 500, 20, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    RECT r;
    GetWindowRect(panel->Handle(), &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
    // OnConstrainedResize narrows the limits; OnCanResize may refuse a size.
    panel->OnConstrainedResize = [](TObject*, int&, int&, int& maxWidth, int&) { maxWidth = 120; };
    panel->SetWidth(190);
    EXPECT_EQ(panel->Width(), 120);
    panel->OnCanResize = [](TObject*, int& w, int&, bool& resize) { resize = w != 90; };
    panel->SetBounds(panel->Left(), panel->Top(), 90, 100);
    EXPECT_EQ(panel->Width(), 120);
    panel->SetWidth(100);
    EXPECT_EQ(panel->Width(), 100);
}

TEST(AutoSize, APanelWrapsItsChildrenAndAGroupItsButtons) {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ReadLayout(form.get(), R"(object Form: TForm
  ClientWidth = 400
  ClientHeight = 300
  object Holder: TQclSimplePanel
    Left = 10
    Top = 10
    Width = 300
    Height = 200
    AutoSize = True
    object A: TQclSimplePanel
      Left = 20
      Top = 30
      Width = 50
      Height = 40
    end
    object B: TQclSimplePanel
      Left = 100
      Top = 60
      Width = 30
      Height = 30
    end
  end
  object Group: TQclRadioGroup
    Left = 10
    Top = 220
    Width = 300
    Height = 60
    AutoSize = True
    Columns = 2
    Items.Strings = ('First' 'Second' 'Third')
  end
end
)",
               "autosize");
    auto* holder = static_cast<TQclSimplePanel*>(form->FindComponent("Holder"));
    auto* a = static_cast<TControl*>(form->FindComponent("A"));
    auto* b = static_cast<TControl*>(form->FindComponent("B"));
    auto* group = static_cast<TQclRadioGroup*>(form->FindComponent("Group"));
    form->Show();
    PumpMessages();
    // The children move to the corner together and the panel takes their room.
    EXPECT_EQ(a->BoundsRect(), Bounds(0, 0, 50, 40));
    EXPECT_EQ(b->BoundsRect(), Bounds(80, 30, 30, 30));
    EXPECT_EQ(holder->ClientWidth(), 110);
    EXPECT_EQ(holder->ClientHeight(), 60);
    // A child that grows or goes takes the panel with it.
    b->SetHeight(70);
    EXPECT_EQ(holder->ClientHeight(), 100);
    b->SetVisible(false);
    EXPECT_EQ(holder->ClientWidth(), 50);
    EXPECT_EQ(holder->ClientHeight(), 40);
    // The group is as large as its buttons need: each button its caption
    // and glyph, in two columns of two rows.
    ASSERT_EQ(group->ButtonCount(), 3);
    TSize need{0, 0};
    for (int i = 0; i < 3; ++i) {
        TSize s = group->Buttons(i)->ContentSize();
        need = {std::max(need.cx, s.cx), std::max(need.cy, s.cy)};
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(group->Buttons(i)->Width(), need.cx) << i;
        EXPECT_EQ(group->Buttons(i)->Height(), need.cy) << i;
    }
    EXPECT_LT(group->Width(), 300);
    // A longer caption makes the group wider.
    int width = group->Width();
    group->Items()->Put(2, "A much longer third caption");
    EXPECT_GT(group->Width(), width);
}

// The splitter panel on a real window: its panes laid out around the bar,
// the bar dragged with the mouse within its limits, the split cursor, and
// its state kept in the registry and read back safely.
#include <gtest/gtest.h>
#include <windows.h>

#include "controls/qclsplt.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"

namespace treskel {
namespace {

using test::PumpMessages;

struct Splitter {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    TQclSplitterPanel* panel = nullptr;
    int changes = 0, changedBar = -1;

    Splitter() {
        form->SetBounds(100, 100, 500, 300);
        panel = Create<TQclSplitterPanel>(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 400, 200);
        panel->OnSplitChange = [this](TObject*, int bar) {
            ++changes;
            changedBar = bar;
        };
        form->Show();
        PumpMessages();
    }
    TQclSplitterPane* Pane(int i) { return panel->GetPane(i); }
    TQclSplitterBarItem* Bar() { return panel->Bar(0); }
    // A drag of the bar with the left button, as the mouse delivers it.
    void Drag(int fromX, int toX, int y = 100) {
        HWND h = panel->Handle();
        SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(fromX, y));
        for (int x = fromX; x != toX;) {
            x = toX > x ? std::min(x + 10, toX) : std::max(x - 10, toX);
            SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
        }
        SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(toX, y));
        PumpMessages();
    }
};

TEST(QclSplitterPanel, TwoPanesLieEitherSideOfTheBar) {
    Splitter s;
    ASSERT_EQ(s.panel->PaneCount(), 2);
    EXPECT_EQ(s.Pane(0)->Name(), "QclSplitterPane1");
    EXPECT_EQ(s.Pane(1)->Name(), "QclSplitterPane2");
    EXPECT_EQ(s.panel->Bars()->Count(), 1);
    EXPECT_EQ(s.Bar()->Extent(), 397);
    EXPECT_EQ(s.Bar()->Position(), 198);
    EXPECT_EQ(s.Pane(0)->BoundsRect(), Rect(0, 0, 198, 200));
    EXPECT_EQ(s.Pane(1)->BoundsRect(), Rect(201, 0, 400, 200));
    // The panes keep their share when the panel grows.
    s.panel->SetBounds(0, 0, 600, 200);
    PumpMessages();
    EXPECT_EQ(s.Bar()->Position(), 298);
    EXPECT_EQ(s.Pane(1)->BoundsRect(), Rect(301, 0, 600, 200));
}

TEST(QclSplitterPanel, TheMouseDragsTheBarAndTheReleaseReportsIt) {
    Splitter s;
    s.Drag(199, 259);
    EXPECT_EQ(s.Bar()->Position(), 258);
    EXPECT_EQ(s.Bar()->PosPercent(), 65);
    EXPECT_FALSE(s.Bar()->Dragging());
    EXPECT_FALSE(s.panel->IsDragging());
    EXPECT_EQ(s.Pane(0)->BoundsRect(), Rect(0, 0, 258, 200));
    EXPECT_EQ(s.Pane(1)->BoundsRect(), Rect(261, 0, 400, 200));
    EXPECT_EQ(s.changes, 1);
    EXPECT_EQ(s.changedBar, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST(QclSplitterPanel, WithInstantUpdateThePanesFollowTheMouse) {
    Splitter s;
    s.panel->SetInstantUpdate(true);
    HWND h = s.panel->Handle();
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(199, 50));
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(149, 50));
    EXPECT_EQ(s.Pane(0)->BoundsRect(), Rect(0, 0, 148, 200));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(149, 50));
    EXPECT_EQ(s.Bar()->Position(), 148);
    EXPECT_EQ(s.changes, 1);
}

TEST(QclSplitterPanel, ADraggedBarStopsAtItsLimits) {
    Splitter s;
    s.Bar()->SetMin(100);
    s.Bar()->SetMax(50);
    s.Drag(199, 20);
    EXPECT_EQ(s.Bar()->Position(), 100);
    s.Drag(101, 390);
    EXPECT_EQ(s.Bar()->Position(), 397 - 50);
}

TEST(QclSplitterPanel, TheBarShowsTheSplitCursorUnlessLocked) {
    Splitter s;
    HWND h = s.panel->Handle();
    POINT p{199, 80};
    ClientToScreen(h, &p);
    SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
    EXPECT_EQ(GetCursor(), EnsureScreen()->Cursors(crHSplit));
    s.Bar()->SetLocked(true);
    EXPECT_EQ(SendMessageA(h, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 0);
    // A locked bar is not dragged.
    s.Drag(199, 250);
    EXPECT_EQ(s.Bar()->Position(), 198);
    EXPECT_EQ(s.changes, 0);
}

TEST(QclSplitterPanel, AHiddenPaneLeavesTheOtherTheWholePanel) {
    Splitter s;
    s.Pane(1)->SetVisible(false);
    PumpMessages();
    EXPECT_EQ(s.panel->BarCount(), 0);
    EXPECT_EQ(s.Pane(0)->BoundsRect(), Rect(0, 0, 400, 200));
    s.Pane(1)->SetVisible(true);
    PumpMessages();
    EXPECT_EQ(s.Pane(0)->BoundsRect(), Rect(0, 0, 198, 200));
}

TEST(QclSplitterPanel, ATinyPanelLaysItsPanesOutWithoutNegativeSizes) {
    Splitter s;
    s.panel->SetBounds(0, 0, 2, 1);
    PumpMessages();
    EXPECT_GE(s.Bar()->Position(), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_GE(s.Pane(i)->Width(), 0);
        EXPECT_GE(s.Pane(i)->Left(), 0);
    }
}

// ------------------------------------------------------------ stored state

const char* const kKey = "SOFTWARE\\Qiv\\Treskel!\\Common";

const char* const kStoredLayout =
    "object SplitForm: TForm\n  Width = 500\n  Height = 300\n"
    "  object Store: TQclIniCtrl\n    RegPath = 'SOFTWARE\\Qiv\\Treskel!'\n    Target = itRegistry\n  end\n"
    "  object Split: TQclSplitterPanel\n    Align = alClient\n"
    "    Bars = <\n      item\n        PosPercent = 38\n        Position = 356\n      end>\n"
    "    IniLink = Store\n    IniUse = ioUseLink\n    IniKey = 'panel'\n"
    "    object First: TQclSplitterPane\n    end\n    object Second: TQclSplitterPane\n    end\n  end\nend\n";

OwnedPtr<TForm> StoredSplitForm() {
    OwnedPtr<TForm> form(new TForm(nullptr));
    form->InitializeForm(kStoredLayout, "SplitForm.form");
    form->Show();
    PumpMessages();
    return form;
}

TQclSplitterPanel* SplitOf(TForm* form) { return dynamic_cast<TQclSplitterPanel*>(form->FindComponent("Split")); }

TEST(QclSplitterPanel, ALayoutsPanesTakeThePlaceOfThePanelsOwn) {
    auto form = StoredSplitForm();
    TQclSplitterPanel* split = SplitOf(form.get());
    ASSERT_EQ(split->PaneCount(), 2);
    EXPECT_EQ(split->GetPane(0)->Name(), "First");
    EXPECT_EQ(split->GetPane(1)->Name(), "Second");
    EXPECT_EQ(form->FindComponent("QclSplitterPane1"), nullptr);
    EXPECT_EQ(split->Bars()->Count(), 1);
    // The streamed position gives way to the percentage.
    EXPECT_EQ(split->Bar(0)->PosPercent(), 38);
    EXPECT_EQ(split->Bar(0)->Position(), split->Bar(0)->Extent() * 38 / 100);
}

// A bar's position has no default: every layout written holds it as it is
// now, beside the percentage.
TEST(QclSplitterPanel, EachBarsPositionIsWrittenWithTheLayout) {
    auto form = StoredSplitForm();
    TQclSplitterBarItem* bar = SplitOf(form.get())->Bar(0);
    ASSERT_GT(bar->Position(), 0);
    const std::string written = WriteLayout(form.get());
    EXPECT_NE(written.find("Position = " + std::to_string(bar->Position()) + "\n"), std::string::npos) << written;
    EXPECT_NE(written.find("PosPercent = " + std::to_string(bar->PosPercent()) + "\n"), std::string::npos);
}

TEST(QclSplitterPanel, TheStateIsStoredWhenTheFormGoesAndReadBack) {
    {
        auto form = StoredSplitForm();
        TQclSplitterPanel* split = SplitOf(form.get());
        split->Bar(0)->SetPosPercent(61);
    }
    EXPECT_EQ(test::ReadRegistryString(kKey, "panelPaneO"), "0,1");
    EXPECT_EQ(test::ReadRegistryString(kKey, "panelPaneV"), "1,1");
    EXPECT_EQ(test::ReadRegistryString(kKey, "panelBars"), "61");
    EXPECT_FALSE(test::RegistryValueExists(kKey, "panelColors"));
    EXPECT_FALSE(test::RegistryValueExists(kKey, "panelFonts"));
    auto form = StoredSplitForm();
    EXPECT_EQ(SplitOf(form.get())->Bar(0)->PosPercent(), 61);
}

TEST(QclSplitterPanel, AStoredOrderAndAHiddenPaneComeBack) {
    test::WriteRegistryString(kKey, "panelPaneO", "1,0");
    // Any entry but "1" hides its pane.
    test::WriteRegistryString(kKey, "panelPaneV", "1,2");
    test::WriteRegistryString(kKey, "panelBars", "20");
    {
        auto form = StoredSplitForm();
        TQclSplitterPanel* split = SplitOf(form.get());
        EXPECT_EQ(split->GetPane(0)->Name(), "Second");
        EXPECT_FALSE(split->GetPane(1)->Visible());
        EXPECT_EQ(split->BarCount(), 0);
        EXPECT_EQ(split->Bar(0)->PosPercent(), 20);
    }
    // Every bar is written, in use or not, so the value always reads back.
    EXPECT_EQ(test::ReadRegistryString(kKey, "panelBars"), "20");
    EXPECT_EQ(test::ReadRegistryString(kKey, "panelPaneV"), "1,0");
}

TEST(QclSplitterPanel, DamagedStoredValuesAreIgnored) {
    for (auto [order, visible, bars] : {std::tuple{"0,0", "1,1", "x"}, std::tuple{"5,1", "1", "300"},
                                        std::tuple{"a,b", "1,1,", "-4"}, std::tuple{"1", "1,1,1", "38,40"},
                                        std::tuple{",", ",", ","}}) {
        SCOPED_TRACE(order);
        test::WriteRegistryString(kKey, "panelPaneO", order);
        test::WriteRegistryString(kKey, "panelPaneV", visible);
        test::WriteRegistryString(kKey, "panelBars", bars);
        auto form = StoredSplitForm();
        TQclSplitterPanel* split = SplitOf(form.get());
        EXPECT_EQ(split->GetPane(0)->Name(), "First");
        EXPECT_TRUE(split->GetPane(0)->Visible());
        EXPECT_TRUE(split->GetPane(1)->Visible());
        EXPECT_EQ(split->Bar(0)->PosPercent(), 38);
        EXPECT_GT(split->GetPane(1)->Width(), 0);
    }
}

TEST(QclSplitterPanel, WithoutAStoreTheEventsStillFire) {
    Splitter s;
    int reads = 0, writes = 0;
    TQclIniCtrl* seen = reinterpret_cast<TQclIniCtrl*>(1);
    s.panel->OnIniReadData = [&](TObject*, TQclIniCtrl* ini, const std::string&) {
        ++reads;
        seen = ini;
    };
    s.panel->OnIniWriteData = [&](TObject*, TQclIniCtrl*, const std::string&) { ++writes; };
    s.panel->LoadData();
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(seen, nullptr);
    s.form.reset();
    EXPECT_EQ(writes, 1);
}

}  // namespace
}  // namespace treskel

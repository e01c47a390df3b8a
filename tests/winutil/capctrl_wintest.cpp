// Caption-bar buttons on real windows: layout, painting, clicks.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/ExtCtrls.h"
#include "platform/FormLoader.h"
#include "support/Snapshot.h"
#include "winutil/CapCtrl.h"
#include "WinUtilForm.h"

using namespace treskel;
using namespace treskel::test;

TEST(CaptionControl, BandsAreTakenOnlyFrom8To255AndTheTablesRunFromStartToEnd) {
    auto form = ShownForm();
    auto* cap = Create<TCaptionControl>(form.get());
    for (int bad : {7, 256, 0}) {
        cap->SetColorBands(bad);
        EXPECT_EQ(cap->ColorBands(), 64);
    }
    cap->SetColorBands(8);
    EXPECT_EQ(cap->ColorBands(), 8);
    EXPECT_EQ(cap->GradientColor(1, 0), static_cast<TColor>(0));
    EXPECT_EQ(cap->GradientColor(1, 7), static_cast<TColor>(ColorToRGB(clActiveCaption)));
    EXPECT_EQ(cap->GradientColor(0, 7), static_cast<TColor>(ColorToRGB(clInactiveCaption)));
    try {
        Create<TCaptionControl>(form.get());
        FAIL() << "a second caption control was accepted";
    } catch (const ECaptionError& e) {
        EXPECT_STREQ(e.what(), "Only one TCustomCaptionControl per form is allowed.");
    }
}

namespace {
struct CaptionForm {
    OwnedPtr<TForm> form = ShownForm();
    TCaptionControl* cap = Create<TCaptionControl>(form.get());
    std::vector<int> clicks;
    CaptionForm() {
        cap->Buttons()->Add()->SetKind(TCaptionButtonKind::cbkInfo);
        cap->Buttons()->Add()->SetCaption("-");
        TCaptionButton* t = cap->Buttons()->Add();
        t->SetKind(TCaptionButtonKind::cbkDownArrow);
        t->SetCaption("T");
        cap->OnButtonClick = [this](TObject*, int i, bool&) { clicks.push_back(i); };
        SetWindowTextA(form->Handle(), "Caption buttons");
        PumpMessages();
    }
    // A press and release of the left button over button `i`, as the
    // system delivers them: the press on the frame, the release captured.
    void Click(int i) {
        TRect r = cap->ButtonRect(i);
        RECT w;
        GetWindowRect(form->Handle(), &w);
        POINT screen = {w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2};
        SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(screen.x, screen.y));
        POINT client = screen;
        ScreenToClient(form->Handle(), &client);
        SendMessageA(form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
    }
};
}  // namespace

TEST(CaptionControl, ClicksOnTheButtonsAreReportedByIndexAndSeparatorsAreNeverHit) {
    CaptionForm f;
    TRect info = f.cap->ButtonRect(0), tray = f.cap->ButtonRect(2);
    ASSERT_GT(info.Width(), 0) << "the caption was not painted";
    // Laid out from the right: a separator reserves 4 pixels, drawn it takes 2.
    EXPECT_LT(info.Right, tray.Left);
    EXPECT_EQ(f.cap->ButtonAtPoint({info.Right + 1, (info.Top + info.Bottom) / 2}), -1);
    f.Click(2);
    f.Click(0);
    EXPECT_EQ(f.clicks, (std::vector<int>{2, 0}));
    EXPECT_EQ(GetCapture(), nullptr);
}

// The press on a disabled button shows nothing pressed, but its release is
// still reported.
TEST(CaptionControl, ADisabledButtonsReleaseIsReported) {
    CaptionForm f;
    f.cap->Buttons()->Items(0)->SetEnabled(false);
    PumpMessages();
    f.Click(0);
    EXPECT_EQ(f.clicks, (std::vector<int>{0}));
}

// Changing the frame icons makes the form's window again; the buttons go
// on answering on the new one.
TEST(CaptionControl, ClicksAreReportedAfterTheFormMakesItsWindowAgain) {
    CaptionForm f;
    HWND before = f.form->Handle();
    f.form->SetBorderIcons({TBorderIcon::biSystemMenu, TBorderIcon::biMinimize});
    f.form->HandleNeeded();
    f.form->Show();
    PumpMessages();
    ASSERT_NE(f.form->Handle(), before);
    SetWindowPos(f.form->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    PumpMessages();
    f.Click(2);
    EXPECT_EQ(f.clicks, (std::vector<int>{2}));
}

// Without a menu of its own the right button on the frame is the system's.
TEST(CaptionControl, TheRightButtonOnTheFrameIsSwallowedOnlyForAMenu) {
    CaptionForm f;
    TMessage m{WM_NCRBUTTONDOWN, HTCAPTION, 0, 0};
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, static_cast<UINT>(WM_NCRBUTTONDOWN));
    auto* menu = Create<TPopupMenu>(f.form.get());
    f.cap->SetPopupMenu(menu);
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, 0u);
    ReleaseCapture();
}

namespace {
const char* kColorLayout = R"(  Caption = 'Colours'
  object Cap: TCaptionControl
    CaptionColors.ActiveStart = clRed
    CaptionColors.ActiveEnd = clBlue
    CaptionColors.CaptionText = clYellow
    CaptionGradient = cgAlways
    ColorBands = 8
  end
)";

OwnedPtr<TWinUtilTestForm> ShownLayout(const char* layout) {
    auto form = LoadWinUtilForm(layout);
    form->Show();
    PumpUntil([&] { return GetActiveWindow() == form->Handle(); });
    PumpMessages();
    return form;
}
}  // namespace

// Colours named in a layout run the bands from the start colour to the
// end colour; only the colours that differ from their defaults are written.
TEST(CaptionControl, NamedColoursFromALayoutRunTheBandsAndOnlyChangedOnesAreWritten) {
    auto form = ShownLayout(kColorLayout);
    auto* cap = Find<TCaptionControl>(form.get(), "Cap");
    EXPECT_EQ(cap->CaptionColors()->ActiveStart(), clRed);
    EXPECT_EQ(cap->CaptionColors()->CaptionText(), clYellow);
    TRect c = cap->GetCaptionRect();
    ASSERT_GT(c.Width(), 0);
    Snapshot shot = ShownWindow(form->Handle());
    // Band i of 8 is red + i/7 of the way to blue (the last one lies under
    // the system's buttons).
    auto band = [&](int i) { return shot.At(c.Left + 1 + (c.Width() - 1) * (2 * i + 1) / 16, c.Top + 2); };
    EXPECT_EQ(band(4), RGB(109, 0, 146));
    EXPECT_EQ(band(6), RGB(36, 0, 219));

    std::string text = WriteLayout(form.get());
    EXPECT_NE(text.find("CaptionColors.ActiveStart = clRed"), std::string::npos) << text;
    EXPECT_NE(text.find("CaptionColors.CaptionText = clYellow"), std::string::npos) << text;
    EXPECT_EQ(text.find("InactiveStart"), std::string::npos) << text;
}

namespace {
const char* kDrawLayout = R"(  Caption = 'Drawn'
  object Cap: TCaptionControl
    Buttons = <
      item
        Caption = 'A'
      end
      item
        Caption = 'B'
      end>
    OnDrawCaption = CapDrawCaption
    OnButtonDraw = CapButtonDraw
  end
)";
}  // namespace

// The handlers draw on the caption's canvas in place of the text and of
// the faces they take; the others are drawn as usual.
TEST(CaptionControl, TheDrawingEventsPaintTheTextAndTheButtonsTheyTake) {
    auto form = LoadWinUtilForm(kDrawLayout);
    form->captionFill = clLime;
    form->buttonFill = clRed;
    form->Show();
    PumpUntil([&] { return GetActiveWindow() == form->Handle(); });
    PumpMessages();
    auto* cap = Find<TCaptionControl>(form.get(), "Cap");
    ASSERT_FALSE(form->log.empty());
    EXPECT_EQ(form->log.back(), "caption Drawn");
    Snapshot shot = ShownWindow(form->Handle());
    auto is = [](COLORREF want) { return [want](COLORREF c) { return c == want; }; };
    TRect a = cap->ButtonRect(0), b = cap->ButtonRect(1);
    EXPECT_GT(shot.Count(a, is(RGB(255, 0, 0))), a.Width() * 4);
    EXPECT_EQ(shot.Count(b, is(RGB(255, 0, 0))), 0);
    TRect text = Rect(cap->GetCaptionRect().Left + 30, a.Top + 4, a.Left - 10, a.Bottom - 4);
    EXPECT_EQ(shot.Count(text, is(RGB(0, 255, 0))), text.Width() * text.Height());
}

// The caption is painted first; the form's own painting of its frame gets
// a region without it, so it never paints over the caption.
TEST(CaptionControl, TheFramesOwnPaintingLeavesTheCaptionOut) {
    auto form = MakeForm<TForm>();
    form->SetBounds(100, 100, 400, 300);
    GdiHandle<HRGN> seen(CreateRectRgn(0, 0, 0, 0));
    bool painted = false;
    form->WindowProc = [&, old = form->WindowProc](TMessage& m) {
        if (m.Msg == WM_NCPAINT && m.WParam > 1) {
            CombineRgn(seen.Get(), reinterpret_cast<HRGN>(m.WParam), nullptr, RGN_COPY);
            painted = true;
        }
        old(m);
    };
    auto* cap = Create<TCaptionControl>(form.get());
    form->Show();
    PumpMessages();
    painted = false;
    cap->UpdateCaption();
    PumpMessages();
    ASSERT_TRUE(painted) << "the frame was painted without a region";
    RECT w;
    GetWindowRect(form->Handle(), &w);
    TRect c = cap->GetCaptionRect();
    EXPECT_FALSE(PtInRegion(seen.Get(), w.left + (c.Left + c.Right) / 2, w.top + (c.Top + c.Bottom) / 2));
    EXPECT_TRUE(PtInRegion(seen.Get(), w.left + 1, (w.top + w.bottom) / 2));
}

// The mouse itself, through the system's input queue: a click on a button
// is reported, a click on the caption beside it is not.
TEST(CaptionControl, AMouseClickOnAButtonIsReported) {
    CaptionForm f;
    RECT w;
    GetWindowRect(f.form->Handle(), &w);
    TRect r = f.cap->ButtonRect(2);
    ASSERT_GT(r.Width(), 0);
    MouseClickOnScreen({w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return !f.clicks.empty(); })) << "the click was not reported";
    EXPECT_EQ(f.clicks, (std::vector<int>{2}));
    EXPECT_EQ(GetCapture(), nullptr);
    MouseClickOnScreen({w.left + r.Left - 60, w.top + (r.Top + r.Bottom) / 2});
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(f.clicks, (std::vector<int>{2}));
}

// A handler that keeps the button pushed leaves it drawn pushed; switched
// off, the control leaves the caption to the form and its buttons answer
// nothing.
TEST(CaptionControl, APushedButtonStaysPushedAndADisabledControlAnswersNothing) {
    CaptionForm f;
    f.cap->OnButtonClick = [&](TObject*, int i, bool& pushed) {
        f.clicks.push_back(i);
        pushed = true;
    };
    f.Click(0);
    EXPECT_TRUE(f.cap->Buttons()->Items(0)->Pushed());
    f.cap->SetEnabled(false);
    PumpMessages();
    // The press goes on to the form (which would start moving the window).
    TRect r = f.cap->ButtonRect(2);
    RECT w;
    GetWindowRect(f.form->Handle(), &w);
    TMessage m{WM_NCLBUTTONDOWN, HTCAPTION,
               MAKELPARAM(w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2), 0};
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(f.cap->HeldButton(), -1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(f.clicks, (std::vector<int>{0}));
}

// A tool window has only its close button; a dialog frame no minimise or
// maximise buttons, but the control's own.
TEST(CaptionControl, ToolWindowsShowNoButtonsOfTheControl) {
    CaptionForm f;
    f.form->SetBorderStyle(TFormBorderStyle::bsToolWindow);
    f.form->HandleNeeded();
    f.form->Show();
    f.cap->UpdateCaption();
    PumpMessages();
    EXPECT_EQ(f.cap->ButtonRect(0).Width(), 0);
    EXPECT_EQ(f.cap->ButtonAtPoint({f.cap->GetCaptionRect().Left + 5, f.cap->GetCaptionRect().Top + 5}), -1);
    f.form->SetBorderStyle(TFormBorderStyle::bsDialog);
    f.form->HandleNeeded();
    f.form->Show();
    f.cap->UpdateCaption();
    PumpMessages();
    EXPECT_GT(f.cap->ButtonRect(0).Width(), 0);
}

TEST(CaptionControl, OnlyAFormCanOwnIt) {
    auto form = ShownForm();
    auto* panel = Create<TPanel>(form.get());
    for (TComponent* owner : {static_cast<TComponent*>(panel), static_cast<TComponent*>(nullptr)}) {
        try {
            OwnedPtr<TCaptionControl> cap(new TCaptionControl(owner));
            FAIL() << "a caption control without a form was made";
        } catch (const ECaptionError& e) {
            EXPECT_STREQ(e.what(), "Owner must be a form.");
        }
    }
    EXPECT_EQ(panel->ComponentCount(), 0);
    // The form can still take one.
    EXPECT_NE(Create<TCaptionControl>(form.get()), nullptr);
}

namespace {
// The middle of where button `i` was drawn, in window coordinates.
POINT Middle(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

COLORREF Sys(int index) { return GetSysColor(index) & 0xFFFFFF; }
}  // namespace

// Laid out from the left the row starts after the icon and a separator
// takes 2 pixels; laid out from either side a hidden button keeps its
// slot: it is not drawn, not hit, and the buttons after it stay.
TEST(CaptionControl, FromTheLeftAfterTheIconAndAHiddenButtonKeepsItsSlot) {
    CaptionForm f;
    TCaptionButton* hidden = f.cap->Buttons()->Add();
    hidden->SetCaption("H");
    f.cap->Buttons()->Add()->SetCaption("Z");
    PumpMessages();
    for (TDirection direction : {TDirection::dirRight, TDirection::dirLeft}) {
        f.cap->SetButtonsDirection(direction);
        hidden->SetVisible(true);
        PumpMessages();
        const TRect slot = f.cap->ButtonRect(3), last = f.cap->ButtonRect(4);
        ASSERT_GT(slot.Width(), 0);
        const int w = slot.Width();
        hidden->SetVisible(false);
        PumpMessages();
        EXPECT_EQ(f.cap->ButtonRect(4), last);
        EXPECT_EQ(f.cap->ButtonRect(3).Width(), 0);
        EXPECT_EQ(f.cap->ButtonAtPoint({Middle(slot).x, Middle(slot).y}), -1);
        Snapshot shot = ShownWindow(f.form->Handle());
        const COLORREF face = Sys(COLOR_BTNFACE);
        auto faces = [&](const TRect& r) {
            return shot.Count(Rect(r.Left + 3, r.Top + 4, r.Right - 3, r.Bottom - 4),
                              [face](COLORREF c) { return c == face; });
        };
        EXPECT_EQ(faces(slot), 0) << static_cast<int>(direction);
        EXPECT_GT(faces(last), 0) << static_cast<int>(direction);
        // Button, separator, button: the separator takes 2 pixels.
        EXPECT_EQ(f.cap->ButtonRect(2).Left - f.cap->ButtonRect(0).Right, 2) << static_cast<int>(direction);
        EXPECT_EQ(f.cap->ButtonRect(4).Left - f.cap->ButtonRect(2).Right, w) << static_cast<int>(direction);
    }
    // From the left the row starts past the caption's edge and the icon.
    const TRect c = f.cap->GetCaptionRect();
    EXPECT_EQ(f.cap->ButtonRect(0).Left, c.Left + 1 + GetSystemMetrics(SM_CXSMICON) + 1 + 2);
    f.Click(4);
    f.Click(0);
    EXPECT_EQ(f.clicks, (std::vector<int>{4, 0}));
}

// A dialog frame has no minimise or maximise buttons: the row ends at the
// close button.  A form without a frame has no caption to paint: nothing
// is drawn or hit.
TEST(CaptionControl, ADialogFrameEndsTheRowAtCloseAndNoFrameHasNoCaption) {
    CaptionForm f;
    const TRect sizeable = f.cap->ButtonRect(2);
    const int w = sizeable.Width() - 2;  // the system's buttons are as wide
    const int right = f.cap->GetCaptionRect().Right;
    // Laid out from the right, the separator reserves 4 pixels and is drawn
    // in 2: the row ends 2 pixels short of the minimise button.
    EXPECT_EQ(sizeable.Right, right - 2 - (w + 2) - (w + 4) - (w + 2) - 2);
    f.form->SetBorderStyle(TFormBorderStyle::bsDialog);
    f.form->HandleNeeded();
    f.form->Show();
    f.cap->UpdateCaption();
    PumpMessages();
    const TRect dialog = f.cap->ButtonRect(2);
    EXPECT_EQ(dialog.Right, f.cap->GetCaptionRect().Right - 2 - (w + 2) - 2);
    // Where the minimise and maximise buttons stood: the row's buttons.
    Snapshot shot = ShownWindow(f.form->Handle());
    const COLORREF face = Sys(COLOR_BTNFACE);
    EXPECT_GT(shot.Count(dialog, [face](COLORREF c) { return c == face; }), w * 4);

    f.cap->SetCaptionGradient(TCaptionGradient::cgAlways);
    f.cap->CaptionColors()->SetActiveStart(clRed);
    f.cap->CaptionColors()->SetActiveEnd(clRed);
    f.form->SetBorderStyle(TFormBorderStyle::bsNone);
    f.form->HandleNeeded();
    f.form->Show();
    f.cap->UpdateCaption();
    PumpMessages();
    EXPECT_EQ(f.cap->GetCaptionRect(), TRect{});
    shot = ShownWindow(f.form->Handle());
    EXPECT_EQ(shot.Count(Rect(0, 0, 400, 40), [](COLORREF c) { return c == RGB(255, 0, 0); }), 0);
    // Where a button was drawn on the dialog frame nothing answers now.
    RECT wr;
    GetWindowRect(f.form->Handle(), &wr);
    const POINT at = Middle(dialog);
    EXPECT_EQ(f.cap->ButtonAtPoint({at.x, at.y}), -1);
    EXPECT_EQ(f.cap->ButtonRect(2), TRect{});
    TMessage m{WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(wr.left + at.x, wr.top + at.y), 0};
    f.cap->BeforeFormMessage(m);
    EXPECT_EQ(m.Msg, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(f.cap->HeldButton(), -1);
}

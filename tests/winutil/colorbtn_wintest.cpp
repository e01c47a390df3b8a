// The colour swatch button and the gradient panel on real windows: what
// they draw, and how the swatch follows the mouse and the keyboard.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"
#include "winutil/Colorbtn.h"
#include "winutil/Gradpanl.h"

namespace treskel::test {

namespace {

struct Shown {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    Shown() {
        form->SetBounds(60, 60, 300, 200);
        form->Show();
        PumpMessages();
    }
};

COLORREF Sys(int index) { return GetSysColor(index) & 0xFFFFFF; }

}  // namespace

class Swatch : public testing::Test {
protected:
    void SetUp() override {
        button = Create<TColorButton>(shown.form.get());
        button->SetParent(shown.form.get());
        button->SetBounds(10, 10, 19, 19);
        button->SetColor(clRed);
        button->SetMargin(4);
        button->OnClick = [this](TObject*) { ++clicks; };
        PumpMessages();
    }
    Snapshot Face() { return OnScreen(button->Handle()); }
    void Mouse(UINT msg, int x, int y) {
        SendMessageA(button->Handle(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
        PumpMessages();
    }
    Shown shown;
    TColorButton* button = nullptr;
    int clicks = 0;
};

TEST_F(Swatch, StartsWhiteAtItsOwnSize) {
    auto* fresh = Create<TColorButton>(shown.form.get());
    EXPECT_EQ(fresh->Color(), clWhite);
    EXPECT_EQ(fresh->Width(), 45);
    EXPECT_EQ(fresh->Height(), 25);
    EXPECT_EQ(fresh->Margin(), 1);
    EXPECT_TRUE(fresh->ParentFont());
    EXPECT_FALSE(fresh->FlatButtonStyle());
    EXPECT_FALSE(fresh->StickyButton());
    EXPECT_FALSE(fresh->ShowColorDlg());
}

// The face covers (0, 0) to (18, 18) exclusive: the last column and row
// show the form behind; the swatch lies a margin inside the face's frame.
TEST_F(Swatch, ShowsItsColourInABlackFrameAndBtnFaceWhenDisabled) {
    shown.form->SetColor(clLime);
    PumpMessages();
    Snapshot s = Face();
    const COLORREF lime = RGB(0, 255, 0);
    EXPECT_EQ(s.At(18, 9), lime);
    EXPECT_EQ(s.At(9, 18), lime);
    EXPECT_EQ(s.At(17, 9), Sys(COLOR_BTNFACE));
    // Raised: highlight and frame colour from (1, 1) to (16, 16), shadow inside.
    EXPECT_EQ(s.At(1, 9), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(s.At(16, 9), Sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(s.At(15, 9), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(s.At(9, 15), Sys(COLOR_BTNSHADOW));
    // The swatch: (5, 5) to (13, 13) exclusive, framed in black.
    EXPECT_EQ(s.At(9, 9), static_cast<COLORREF>(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(11, 11), static_cast<COLORREF>(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(5, 5), 0u);
    EXPECT_EQ(s.At(12, 12), 0u);
    EXPECT_EQ(s.At(13, 13), Sys(COLOR_BTNFACE));
    button->SetColor(clBlue);
    EXPECT_EQ(Face().At(9, 9), static_cast<COLORREF>(RGB(0, 0, 255)));
    button->SetEnabled(false);
    PumpMessages();
    s = Face();
    EXPECT_EQ(s.At(9, 9), Sys(COLOR_BTNFACE));
    EXPECT_EQ(s.At(5, 5), 0u);
}

TEST_F(Swatch, AMarginMustLeaveRoomForTheSwatch) {
    button->SetMargin(9);
    EXPECT_EQ(button->Margin(), 9);
    button->SetMargin(10);
    EXPECT_EQ(button->Margin(), 9);
    button->SetMargin(0);
    EXPECT_EQ(button->Margin(), 0);
    button->SetMargin(-1);
    EXPECT_EQ(button->Margin(), 0);
}

TEST_F(Swatch, AFlatButtonShowsItsFrameOnlyWhileTheMouseIsOver) {
    button->SetFlatButtonStyle(true);
    PumpMessages();
    EXPECT_EQ(Face().At(0, 0), Sys(COLOR_BTNFACE));
    Mouse(WM_MOUSEMOVE, 9, 9);
    EXPECT_TRUE(button->Hot());
    Snapshot hot = Face();
    EXPECT_EQ(hot.At(0, 0), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(hot.At(17, 17), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(hot.At(17, 9), Sys(COLOR_BTNSHADOW));
    EXPECT_NE(hot.At(18, 9), Sys(COLOR_BTNSHADOW));
    // Flat: the swatch sits a margin from the edge, not one more.
    EXPECT_EQ(hot.At(4, 4), 0u);
    EXPECT_EQ(hot.At(13, 13), 0u);
    // The frame drawn on entering is the one a paint draws.
    button->Invalidate();
    PumpMessages();
    Snapshot painted = Face();
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(painted.At(i, 17), hot.At(i, 17)) << i;
        EXPECT_EQ(painted.At(17, i), hot.At(17, i)) << i;
        EXPECT_EQ(painted.At(18, i), hot.At(18, i)) << i;
    }
    button->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(button->Hot());
    EXPECT_EQ(Face().At(0, 0), Sys(COLOR_BTNFACE));
}

TEST_F(Swatch, PressingFollowsTheMouseAndAReleaseOutsideClicksNothing) {
    Mouse(WM_LBUTTONDOWN, 9, 9);
    EXPECT_TRUE(button->Pressed());
    EXPECT_EQ(GetFocus(), button->Handle());
    // Pressed in normal style: sunken in frame colour, highlight at the
    // face's last column; the swatch moves one right and two down.
    Snapshot pressed = Face();
    EXPECT_EQ(pressed.At(0, 9), Sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(pressed.At(17, 9), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(pressed.At(1, 9), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(pressed.At(6, 7), 0u);
    EXPECT_EQ(pressed.At(13, 14), 0u);
    EXPECT_EQ(pressed.At(12, 13), static_cast<COLORREF>(RGB(255, 0, 0)));
    Mouse(WM_MOUSEMOVE, 40, 40);
    EXPECT_FALSE(button->Pressed());
    Mouse(WM_MOUSEMOVE, 10, 10);
    EXPECT_TRUE(button->Pressed());
    Mouse(WM_MOUSEMOVE, -3, 5);
    Mouse(WM_LBUTTONUP, -3, 5);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 0);
    Mouse(WM_LBUTTONDOWN, 9, 9);
    Mouse(WM_LBUTTONUP, 9, 9);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 1);
}

TEST_F(Swatch, AStickyButtonStaysPressedUntilPressedAgain) {
    button->SetStickyButton(true);
    Mouse(WM_LBUTTONDOWN, 9, 9);
    Mouse(WM_LBUTTONUP, 9, 9);
    EXPECT_TRUE(button->Pressed());
    Mouse(WM_LBUTTONDOWN, 9, 9);
    Mouse(WM_LBUTTONUP, 9, 9);
    EXPECT_FALSE(button->Pressed());
    EXPECT_EQ(clicks, 2);
}

TEST_F(Swatch, WithTheFocusSpaceOrEnterClicksAndAFocusRectShows) {
    button->SetFlatButtonStyle(true);
    // The focus rectangle: the swatch grown by three, on the face.
    auto marks = [this] {
        const COLORREF face = Sys(COLOR_BTNFACE);
        return Face().Count(TRect(1, 1, 2, 18), [face](COLORREF c) { return c != face; });
    };
    EXPECT_EQ(marks(), 0);
    button->SetFocus();
    PumpMessages();
    EXPECT_GT(marks(), 0);
    PressKey(button->Handle(), VK_SPACE);
    PumpMessages();
    EXPECT_EQ(clicks, 1);
    PressKey(button->Handle(), VK_RETURN);
    PumpMessages();
    EXPECT_EQ(clicks, 2);
    button->SetEnabled(false);
    PressKey(button->Handle(), VK_SPACE);
    PumpMessages();
    EXPECT_EQ(clicks, 2);
}

// ---------------------------------------------------------------- gradient panel

class Gradient : public testing::Test {
protected:
    void SetUp() override {
        panel = Create<TgradientPanel>(shown.form.get());
        panel->SetParent(shown.form.get());
        panel->SetBounds(5, 5, 94, 9);
        panel->SetCaption("");
        PumpMessages();
    }
    Shown shown;
    TgradientPanel* panel = nullptr;
};

TEST_F(Gradient, StartsAtItsOwnSizeAndColours) {
    auto* fresh = Create<TgradientPanel>(shown.form.get());
    EXPECT_EQ(fresh->Width(), 377);
    EXPECT_EQ(fresh->Height(), 121);
    EXPECT_EQ(fresh->BeginColor(), clBtnShadow);
    EXPECT_EQ(fresh->EndColor(), static_cast<TColor>(0xC0C0C0));
}

TEST_F(Gradient, TheTableRunsFromBeginToExactlyEndThenWraps) {
    panel->SetBeginColor(static_cast<TColor>(RGB(0, 0, 0)));
    panel->SetEndColor(static_cast<TColor>(RGB(255, 128, 10)));
    const auto table = panel->BuildColorTable();
    EXPECT_EQ(table[0], RGB(0, 0, 0));
    EXPECT_EQ(table[127], RGB(128, 64, 5));
    EXPECT_EQ(table[254], RGB(255, 128, 10));
    // One step past the end, taken modulo 256 (never painted).
    EXPECT_EQ(table[255], RGB(0, 129, 10));
}

TEST_F(Gradient, PaintsFromBeginAtTheLeftToEndAtTheRight) {
    panel->SetBeginColor(static_cast<TColor>(RGB(0, 0, 128)));
    panel->SetEndColor(static_cast<TColor>(RGB(192, 192, 192)));
    Snapshot s = OnScreen(panel->Handle());
    auto close = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 1 && std::abs(GetGValue(a) - GetGValue(b)) <= 1 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 1;
    };
    EXPECT_TRUE(close(s.At(0, 4), RGB(0, 0, 128)));
    EXPECT_TRUE(close(s.At(93, 4), RGB(192, 192, 192)));
    EXPECT_LT(GetRValue(s.At(20, 4)), GetRValue(s.At(70, 4)));
    // The same colour at both ends paints one flat colour.
    panel->SetEndColor(static_cast<TColor>(RGB(0, 0, 128)));
    s = OnScreen(panel->Handle());
    EXPECT_EQ(s.Count(TRect(0, 0, 94, 9), [](COLORREF c) { return c == RGB(0, 0, 128); }), 94 * 9);
}

TEST_F(Gradient, AnUnchangedColourCausesNoRepaint) {
    panel->SetBeginColor(clNavy);
    UpdateWindow(panel->Handle());
    panel->SetBeginColor(clNavy);
    EXPECT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
    panel->SetEndColor(clNavy);
    EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
}

TEST_F(Gradient, TheCaptionIsDrawnAtTheLeftOverTheBands) {
    panel->SetBounds(5, 5, 94, 30);
    panel->SetBeginColor(clWhite);
    panel->SetEndColor(clWhite);
    panel->Font()->SetColor(clBlack);
    panel->SetCaption("WWW");
    Snapshot s = OnScreen(panel->Handle());
    EXPECT_GT(s.Count(TRect(4, 0, 40, 30), [](COLORREF c) { return c == 0; }), 10);
    EXPECT_EQ(s.Count(TRect(0, 0, 4, 30), [](COLORREF c) { return c == 0; }), 0);
    EXPECT_EQ(s.Count(TRect(60, 0, 94, 30), [](COLORREF c) { return c == 0; }), 0);
}

}  // namespace treskel::test

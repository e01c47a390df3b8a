// The colour, font and font-size combo boxes and the class library's
// combo and list boxes on real windows.
#include <gtest/gtest.h>

#include <set>

#include "controls/qclextcS.h"
#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Register.h"
#include "platform/StdCtrls.h"
#include "support/GuiTest.h"
#include "support/Snapshot.h"

using namespace treskel;
using namespace treskel::test;

namespace {

// The item colours of the main window, by colour number.
const TColor kColorTable[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                                0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

struct ComboForm {
    OwnedPtr<TForm> form = MakeForm<TForm>();
    ComboForm() {
        form->SetBounds(100, 100, 420, 300);
        form->Show();
        PumpMessages();
    }
    template <class T>
    T* Add(int left, int top) {
        T* c = Create<T>(form.get());
        c->SetParent(form.get());
        c->SetLeft(left);
        c->SetTop(top);
        return c;
    }
};

std::vector<std::string> ItemsOf(TStrings* s) { return s->ToVector(); }

// A screen font name that is TrueType, and a raster one, as this system has them.
std::string FindFont(bool trueType) {
    EnsureScreen();
    TStrings* fonts = Screen->Fonts();
    for (int i = 0; i < fonts->Count(); ++i) {
        TFont f;
        f.SetName(fonts->Get(i));
        if (fonts->Get(i).empty() || fonts->Get(i)[0] == '@') continue;
        if (QclIsTrueTypeFont(&f) == trueType) return fonts->Get(i);
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------- platform boxes

TEST(ComboBox, ItemsSurviveTheWindowAndItsRecreation) {
    ComboForm f;
    auto* box = Create<TComboBox>(f.form.get());
    box->Items()->Add("one");
    box->Items()->AddObject("two", reinterpret_cast<void*>(2));
    box->SetItemIndex(1);
    EXPECT_EQ(box->Text(), "two");
    box->SetParent(f.form.get());
    ASSERT_TRUE(box->HandleAllocated());
    EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_EQ(box->Items()->Objects(1), reinterpret_cast<void*>(2));
    box->Items()->Add("three");
    box->SetSorted(true);  // recreates the window
    EXPECT_EQ(ItemsOf(box->Items()), (std::vector<std::string>{"one", "three", "two"}));
    EXPECT_EQ(box->Text(), "two");
    EXPECT_EQ(box->Items()->Objects(box->Items()->IndexOf("two")), reinterpret_cast<void*>(2));
    EXPECT_THROW(box->Items()->Get(7), EStringListError);
}

TEST(ComboBox, SelectionFromTheListClicksAndChanges) {
    ComboForm f;
    auto* box = f.Add<TComboBox>(10, 10);
    box->SetStyle(TComboBoxStyle::csDropDownList);
    box->Items()->SetText("red\r\ngreen\r\nblue\r\n");
    std::vector<std::string> events;
    box->OnClick = [&](TObject*) { events.push_back("click " + box->Text()); };
    box->OnChange = [&](TObject*) { events.push_back("change " + box->Text()); };
    box->SetFocus();
    PressKey(box->Handle(), VK_DOWN);
    PumpMessages();
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"click red", "change red"}));
    box->SetItemIndex(2);  // by the program: no events
    EXPECT_EQ(events.size(), 2u);
    box->SetText("green");
    EXPECT_EQ(box->ItemIndex(), 1);
}

TEST(ComboBox, OwnerDrawnItemsAreMeasuredAndDrawnByTheControl) {
    ComboForm f;
    auto* box = f.Add<TComboBox>(10, 10);
    box->SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    box->Items()->SetText("a\r\nb\r\n");
    std::set<int> measured, drawn;
    box->OnMeasureItem = [&](TWinControl*, int index, int& height) {
        measured.insert(index);
        height = 20 + index;
    };
    box->OnDrawItem = [&](TWinControl*, int index, TRect, TOwnerDrawState) { drawn.insert(index); };
    box->SetItemHeight(18);  // recreates the window: the items are measured again
    box->SetItemIndex(1);
    box->Repaint();
    box->SetDroppedDown(true);
    PumpMessages();
    box->SetDroppedDown(false);
    PumpMessages();
    EXPECT_EQ(measured, (std::set<int>{0, 1}));
    EXPECT_EQ(SendMessageA(box->Handle(), CB_GETITEMHEIGHT, 1, 0), 21);
    EXPECT_TRUE(drawn.count(1) == 1);
}

TEST(ListBox, ItemsIndexAndClicks) {
    ComboForm f;
    auto* list = f.Add<TListBox>(10, 10);
    list->Items()->SetText("x\r\ny\r\nz\r\n");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    ClickAt(list->Handle(), 5, 5);
    PumpMessages();
    EXPECT_EQ(list->ItemIndex(), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(list->ItemAtPos({5, list->ItemRect(2).Top + 1}, true), 2);
    list->SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    EXPECT_EQ(ItemsOf(list->Items()), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(list->ItemIndex(), 0);
}

// ---------------------------------------------------------------- colour box

TEST(QclColorCombo, ListsTheSixteenColoursOfTheMainWindowInItsOrder) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    box->SetDisplayStyle(TQclColorCBStyle::csColor);
    box->Loaded();
    ASSERT_EQ(box->Items()->Count(), 16);
    for (int i = 0; i < 16; ++i) {
        box->SetItemIndex(i);
        EXPECT_EQ(box->GetColorValue(), kColorTable[i]) << i;
    }
    EXPECT_EQ(box->Height(), 25);
    EXPECT_EQ(SendMessageA(box->Handle(), CB_GETITEMHEIGHT, 0, 0), 15);
}

TEST(QclColorCombo, UnlistedColoursAreAppendedAsHexadecimal) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    box->Loaded();
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    box->SetColorValue(clRed);
    EXPECT_EQ(box->ItemIndex(), 9);
    box->SetColorValue(0x00FF8000);
    EXPECT_EQ(box->Items()->Count(), 17);
    EXPECT_EQ(box->Text(), "$00FF8000");
    EXPECT_EQ(box->GetColorValue(), 0x00FF8000);
    box->SetColorValue(clNone);
    EXPECT_EQ(box->Items()->Count(), 17);
    EXPECT_EQ(box->GetColorValue(), -1);
    EXPECT_EQ(changes, 3);
    // Without coAllowAnyColor nothing is added.
    box->SetOptions({TQclColorCBOption::coDefaultColors});
    box->SetColorValue(0x00123456);
    EXPECT_EQ(box->Items()->Count(), 16);
}

TEST(QclColorCombo, SystemAndCustomColours) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    box->Loaded();
    box->SetItemIndex(3);
    box->SetOptions({TQclColorCBOption::coDefaultColors, TQclColorCBOption::coSystemColors,
                     TQclColorCBOption::coCustomColors});
    EXPECT_EQ(box->Items()->Count(), 41);
    EXPECT_EQ(box->GetColorValue(), clOlive);  // the selection is kept
    TStringList custom;
    custom.Add("ColorA=FF8000");
    custom.Add("ColorB=C0FFEE");
    box->SetCustomColors(&custom);
    EXPECT_EQ(box->Items()->Count(), 43);
    EXPECT_EQ(box->Items()->Get(41), "$00FF8000");
    EXPECT_EQ(box->Items()->Get(42), "$00C0FFEE");
}

TEST(QclColorCombo, ColourDialogOnTheRightButton) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    box->Loaded();
    box->SetOptions({TQclColorCBOption::coDefaultColors, TQclColorCBOption::coAllowAnyColor,
                     TQclColorCBOption::coAllowDialog, TQclColorCBOption::coCustomColors});
    std::vector<std::string> seen;
    box->OnBeforeDialogShow = [&](TObject*, TColorDialog*) { seen.push_back("before"); };
    box->OnAfterDialogShow = [&](TObject*, TColorDialog*) { seen.push_back("after"); };
    AnswerNextDialog([](TCommonDialog& d) {
        auto& cd = dynamic_cast<TColorDialog&>(d);
        cd.SetColor(0x00336699);
        cd.CustomColors()->SetValue("ColorA", "ABCDEF");
        return true;
    });
    SendMessageA(box->Handle(), WM_RBUTTONDOWN, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(CommonDialogs(), (std::vector<std::string>{"TColorDialog"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"before", "after"}));
    EXPECT_EQ(box->GetColorValue(), 0x00336699);
    EXPECT_EQ(box->CustomColors()->Values("ColorA"), "ABCDEF");
    EXPECT_NE(box->Items()->IndexOf("$00ABCDEF"), -1);
}

TEST(QclColorCombo, ChoiceHandsTheFocusOn) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    auto* edit = f.Add<TEdit>(10, 60);
    box->Loaded();
    box->SetFocusControl(edit);
    int selects = 0;
    box->OnSelect = [&](TObject*) { ++selects; };
    box->SetFocus();
    // Arrow keys move through the list without leaving it.
    PressKey(box->Handle(), VK_DOWN);
    PumpMessages();
    EXPECT_EQ(selects, 1);
    EXPECT_EQ(GetFocus(), box->Handle());
    // Home is no navigation key: the choice moves on.
    PressKey(box->Handle(), VK_HOME);
    PumpMessages();
    EXPECT_EQ(selects, 2);
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(GetFocus(), edit->Handle());
    // So does Enter.
    box->SetFocus();
    PressKey(box->Handle(), VK_RETURN);
    PumpMessages();
    EXPECT_EQ(GetFocus(), edit->Handle());
    edit->Free();
    EXPECT_EQ(box->FocusControl(), nullptr);
}

TEST(QclColorCombo, FocusHandedToAnotherWindowActivatesItFirst) {
    ComboForm f;
    auto other = MakeForm<TForm>();
    other->SetBounds(560, 100, 200, 120);
    auto* edit = Create<TEdit>(other.get());
    edit->SetParent(other.get());
    other->Show();
    PumpMessages();
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    box->Loaded();
    box->SetFocusControl(edit);
    f.form->SetFocus();
    box->SetFocus();
    PumpMessages();
    ASSERT_EQ(GetActiveWindow(), f.form->Handle());
    // A choice with the mouse: the press clears any navigation key.
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    box->SetDroppedDown(false);
    box->SetItemIndex(2);
    SendMessageA(f.form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box->Handle()));
    PumpMessages();
    EXPECT_EQ(GetActiveWindow(), other->Handle());
    EXPECT_EQ(GetFocus(), edit->Handle());
}

// ---------------------------------------------------------------- font and size boxes

TEST(QclFontCombo, ListsTheScreenFontsAndSelectsByName) {
    ComboForm f;
    auto* box = f.Add<TQclFontComboBox>(10, 10);
    box->Loaded();
    ASSERT_GT(box->Items()->Count(), 0);
    std::vector<std::string> items = ItemsOf(box->Items());
    EXPECT_TRUE(std::is_sorted(items.begin(), items.end(),
                               [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; }));
    std::string name = items[items.size() / 2];
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    box->SetFontName(AnsiUpperCase(name));
    EXPECT_EQ(box->GetFontName(), name);
    EXPECT_EQ(changes, 1);
    box->SetFontName("No Such Font Anywhere");
    EXPECT_EQ(box->ItemIndex(), -1);
    EXPECT_EQ(box->GetFontName(), "");
    // Each item carries its font type.
    std::string tt = FindFont(true);
    if (!tt.empty()) {
        int i = box->Items()->IndexOf(tt);
        ASSERT_GE(i, 0);
        EXPECT_TRUE(reinterpret_cast<intptr_t>(box->Items()->Objects(i)) & TRUETYPE_FONTTYPE);
    }
}

TEST(QclFontCombo, ATrueTypeFontShowsTheMarkOfTheProgramsPicture) {
    ComboForm f;
    auto* box = f.Add<TQclFontComboBox>(10, 10);
    box->SetWidth(220);
    box->Loaded();
    std::string tt = FindFont(true);
    ASSERT_FALSE(tt.empty());
    box->SetFontName(tt);
    PumpMessages();
    TBitmap marks;
    marks.LoadFromResourceID(GetModuleHandleA(nullptr), 16547);
    ASSERT_EQ(marks.Width(), 28);
    const TColor transparent = marks.TransparentColor();
    Snapshot shown = OnScreen(box->Handle());
    // Somewhere near the item's left end every pixel of the mark is shown.
    auto markAt = [&](int dx, int dy) {
        for (int y = 0; y < marks.Height(); ++y)
            for (int x = 0; x < marks.Width() / 2; ++x) {
                TColor c = marks.Canvas()->Pixel(x, y) & 0xFFFFFF;
                if (c != transparent && static_cast<TColor>(shown.At(dx + x, dy + y)) != c) return false;
            }
        return true;
    };
    bool found = false;
    for (int dy = 0; dy + marks.Height() <= shown.height && !found; ++dy)
        for (int dx = 0; dx < 16 && !found; ++dx) found = markAt(dx, dy);
    EXPECT_TRUE(found);
}

TEST(QclFontCombo, TrueTypeOnly) {
    ComboForm f;
    auto* box = f.Add<TQclFontComboBox>(10, 10);
    box->Loaded();
    int all = box->Items()->Count();
    box->SetOptions({TQclFontCBOption::foScreenFonts, TQclFontCBOption::foTrueTypeOnly});
    for (int i = 0; i < box->Items()->Count(); ++i)
        EXPECT_TRUE(reinterpret_cast<intptr_t>(box->Items()->Objects(i)) & TRUETYPE_FONTTYPE) << box->Items()->Get(i);
    EXPECT_LE(box->Items()->Count(), all);
}

TEST(QclFontSizeCombo, FollowsTheFontCombo) {
    ComboForm f;
    auto* fonts = f.Add<TQclFontComboBox>(10, 10);
    auto* sizes = f.Add<TQclFontSizeComboBox>(200, 10);
    fonts->Loaded();
    sizes->Loaded();
    sizes->SetFontCombo(fonts);
    EXPECT_EQ(sizes->Text(), "");  // no font yet
    std::string tt = FindFont(true);
    ASSERT_FALSE(tt.empty());
    fonts->SetFontName(tt);
    EXPECT_EQ(sizes->FontName(), tt);
    EXPECT_EQ(ItemsOf(sizes->Items()), (std::vector<std::string>{"8", "9", "10", "11", "12", "14", "16", "18", "20",
                                                                  "22", "24", "26", "28", "36", "48", "72"}));
    EXPECT_EQ(sizes->GetFontSize(), 10);  // the default size for a box without a size
    sizes->SetFontSize(14);
    EXPECT_EQ(sizes->ItemIndex(), 5);
    sizes->SetFontSize(13);  // not listed: still shown
    EXPECT_EQ(sizes->Text(), "13");
    EXPECT_EQ(sizes->ItemIndex(), -1);
    sizes->SetFontSize(0);
    EXPECT_EQ(sizes->GetFontSize(), 10);
    sizes->SetFontSize(1000);
    EXPECT_EQ(sizes->GetFontSize(), 10);

    // A raster font lists only its own sizes, ascending, and keeps the size.
    std::string raster = FindFont(false);
    if (!raster.empty()) {
        sizes->SetFontSize(12);
        fonts->SetFontName(raster);
        EXPECT_EQ(sizes->FontName(), raster);
        std::vector<std::string> list = ItemsOf(sizes->Items());
        ASSERT_FALSE(list.empty()) << raster;
        for (size_t i = 1; i < list.size(); ++i) EXPECT_LT(StrToInt(list[i - 1]), StrToInt(list[i])) << raster;
        EXPECT_EQ(sizes->Text(), "12");
    }

    // The font box going away leaves the size box alone.
    fonts->Free();
    EXPECT_EQ(sizes->FontCombo(), nullptr);
}

// A font box follows one size box, the last linked: a size box that goes
// leaves another's link alone, whichever of them goes.
TEST(QclFontSizeCombo, AFreedSizeBoxUnlinksOnlyItsOwnLink) {
    ComboForm f;
    auto* fonts = f.Add<TQclFontComboBox>(10, 10);
    auto* first = f.Add<TQclFontSizeComboBox>(200, 10);
    auto* second = f.Add<TQclFontSizeComboBox>(260, 10);
    fonts->Loaded();
    first->SetFontCombo(fonts);
    second->SetFontCombo(fonts);
    first->Free();
    const std::string tt = FindFont(true);
    ASSERT_FALSE(tt.empty());
    fonts->SetFontName(tt);
    EXPECT_EQ(second->FontName(), tt);
    // Linked to another font box, it lets go of its own link only.
    auto* other = f.Add<TQclFontComboBox>(10, 40);
    auto* third = f.Add<TQclFontSizeComboBox>(320, 10);
    third->SetFontCombo(fonts);
    second->SetFontCombo(other);
    fonts->SetFontName("");
    fonts->SetFontName(tt);
    EXPECT_EQ(third->FontName(), tt);
}

TEST(QclFontSizeCombo, TypingAndLeaving) {
    ComboForm f;
    auto* sizes = f.Add<TQclFontSizeComboBox>(10, 10);
    auto* edit = f.Add<TEdit>(10, 60);
    sizes->Loaded();
    std::string tt = FindFont(true);
    ASSERT_FALSE(tt.empty());
    sizes->SetFontName(tt);
    HWND field = sizes->EditHandle();
    ASSERT_NE(field, nullptr);
    sizes->SetText("");
    sizes->SetFocus();
    TypeText(field, "a1+2");
    PumpMessages();
    EXPECT_EQ(sizes->Text(), "1+2");  // the letter was refused
    int clicks = 0;
    sizes->OnEditClick = [&](TObject*) { ++clicks; };
    ClickAt(field, 3, 3);
    EXPECT_EQ(clicks, 1);
    sizes->SetText("+");
    edit->SetFocus();  // leaving: a lone sign counts as no size
    PumpMessages();
    EXPECT_EQ(sizes->Text(), "10");
    sizes->SetFocus();
    sizes->SetText("16");
    edit->SetFocus();
    PumpMessages();
    EXPECT_EQ(sizes->ItemIndex(), 6);

    // Without a font name nothing can be typed.
    sizes->SetFontName("");
    EXPECT_EQ(sizes->Text(), "");
    sizes->SetFocus();
    TypeText(sizes->EditHandle(), "12");
    PumpMessages();
    EXPECT_EQ(sizes->Text(), "");
}

TEST(QclCombos, ReadFromALayout) {
    RegisterPlatformClasses();
    RegisterExtComboClasses();
    auto form = MakeOwned<TForm>();
    form->InitializeForm(R"(object Form1: TForm
  Caption = 'Combos'
  object ColorCombo: TQclColorComboBox
    Left = 8
    Top = 8
    Width = 60
    DisplayStyle = csColor
    Flat = True
    FocusControl = Edit1
  end
  object QclFontComboBox1: TQclFontComboBox
    Left = 80
    Top = 8
    Flat = True
  end
  object QclFontSizeComboBox1: TQclFontSizeComboBox
    Left = 240
    Top = 8
    Width = 50
    FontCombo = QclFontComboBox1
  end
  object Edit1: TEdit
    Left = 8
    Top = 40
  end
end
)",
                         "test");
    auto* color = dynamic_cast<TQclColorComboBox*>(form->FindComponent("ColorCombo"));
    auto* fonts = dynamic_cast<TQclFontComboBox*>(form->FindComponent("QclFontComboBox1"));
    auto* sizes = dynamic_cast<TQclFontSizeComboBox*>(form->FindComponent("QclFontSizeComboBox1"));
    ASSERT_NE(color, nullptr);
    ASSERT_NE(fonts, nullptr);
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(color->Items()->Count(), 16);
    EXPECT_TRUE(color->Flat());
    EXPECT_EQ(color->FocusControl(), form->FindComponent("Edit1"));
    EXPECT_GT(fonts->Items()->Count(), 0);
    EXPECT_EQ(sizes->FontCombo(), fonts);
    fonts->SetItemIndex(0);
    fonts->SetFontName(fonts->Items()->Get(1));
    EXPECT_EQ(sizes->FontName(), fonts->Items()->Get(1));
}

TEST(QclColorCombo, FlatBorderUntilFocused) {
    ComboForm f;
    auto* box = f.Add<TQclColorComboBox>(10, 10);
    auto* edit = f.Add<TEdit>(10, 60);
    box->Loaded();
    box->SetFlat(true);
    edit->SetFocus();
    box->Repaint();
    PumpMessages();
    auto pixel = [&](int x, int y) {
        HDC dc = GetWindowDC(box->Handle());
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(box->Handle(), dc);
        return c;
    };
    EXPECT_EQ(pixel(1, 1), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(pixel(2, 2), GetSysColor(COLOR_WINDOW));
    box->SetFocus();
    PumpMessages();
    EXPECT_EQ(pixel(1, 1), GetSysColor(COLOR_WINDOWFRAME));
    edit->SetFocus();
    PumpMessages();
    EXPECT_EQ(pixel(1, 1), GetSysColor(COLOR_BTNFACE));
    // Without Flat the border is always the hot one.
    box->SetFlat(false);
    box->Repaint();
    PumpMessages();
    EXPECT_EQ(pixel(1, 1), GetSysColor(COLOR_WINDOWFRAME));
}

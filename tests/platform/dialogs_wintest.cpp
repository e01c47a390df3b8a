#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <algorithm>

#include "support/DialogDriver.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

TEST(CommonDialogs, TestsAnswerThemWithoutAWindow) {
    std::vector<std::string> asked;
    ScopedDialogResponder r([&](TCommonDialog& d) {
        asked.push_back(d.ClassName());
        if (auto* open = dynamic_cast<TOpenDialog*>(&d)) {
            EXPECT_EQ(open->Title(), "Browser Path");
            open->SetFileName("C:\\Programs\\browser.exe");
            return true;
        }
        if (auto* font = dynamic_cast<TFontDialog*>(&d)) {
            font->Font()->SetName("Arial");
            font->Font()->SetSize(14);
            return true;
        }
        if (auto* color = dynamic_cast<TColorDialog*>(&d)) {
            color->SetColor(clTeal);
            return false;  // cancelled: the answer must not be taken
        }
        return false;
    });
    auto owner = MakeForm<TForm>();
    auto* open = Create<TOpenDialog>(owner.get());
    open->SetFilter("Executable Files (*.exe)|*.exe");
    open->SetTitle("Browser Path");
    ASSERT_TRUE(open->Execute());
    EXPECT_EQ(open->FileName(), "C:\\Programs\\browser.exe");
    EXPECT_EQ(open->Files()->ToVector(), (std::vector<std::string>{"C:\\Programs\\browser.exe"}));
    auto* font = Create<TFontDialog>(owner.get());
    ASSERT_TRUE(font->Execute());
    EXPECT_EQ(font->Font()->Name(), "Arial");
    EXPECT_EQ(font->Font()->Size(), 14);
    auto* color = Create<TColorDialog>(owner.get());
    EXPECT_FALSE(color->Execute());
    EXPECT_EQ(asked, (std::vector<std::string>{"TOpenDialog", "TFontDialog", "TColorDialog"}));
}

TEST(OpenDialog, TheRealDialogReturnsTheChosenFileAndFilter) {
    TempDir dir;
    WriteAll(dir.File("notes.txt"), std::string("x"));
    WriteAll(dir.File("prog.exe"), std::string("x"));
    auto owner = MakeForm<TForm>();
    auto* open = Create<TOpenDialog>(owner.get());
    open->SetFilter("Text (*.txt)|*.txt|Executable Files (*.exe)|*.exe");
    open->SetFilterIndex(2);
    open->SetInitialDir(dir.Path());
    open->SetOptions(open->Options() + TOpenOption::ofFileMustExist);
    std::string title;
    DialogDriver driver([&](HWND d) {
        char t[64] = {};
        GetWindowTextA(d, t, sizeof t);
        title = t;
        HWND name = GetDlgItem(d, cmb13);
        if (name == nullptr) name = GetDlgItem(d, edt1);
        SetWindowTextA(name, "prog.exe");
        DialogDriver::Press(d, IDOK);
    });
    open->SetTitle("Pick one");
    ASSERT_TRUE(open->Execute());
    EXPECT_EQ(title, "Pick one");
    EXPECT_TRUE(SameText(open->FileName(), dir.File("prog.exe"))) << open->FileName();
    EXPECT_EQ(open->FilterIndex(), 2);
}

TEST(OpenDialog, CancellingTheRealDialogChangesNothing) {
    auto owner = MakeForm<TForm>();
    auto* open = Create<TOpenDialog>(owner.get());
    open->SetFileName("C:\\keep.txt");
    DialogDriver driver([](HWND d) { DialogDriver::Press(d, IDCANCEL); });
    EXPECT_FALSE(open->Execute());
    EXPECT_EQ(open->FileName(), "C:\\keep.txt");
}

TEST(FontDialog, TheRealDialogStartsAtTheFontAndReturnsTheChoice) {
    auto owner = MakeForm<TForm>();
    auto* dialog = Create<TFontDialog>(owner.get());
    // Any installed face but the first, so that showing it proves the start.
    TStrings* faces = Screen->Fonts();
    if (faces->Count() < 2) GTEST_SKIP() << "too few fonts";
    std::string face = faces->Get(faces->Count() - 1);
    dialog->Font()->SetName(face);
    dialog->Font()->SetSize(12);
    dialog->Font()->SetStyle({TFontStyle::fsBold});
    std::string shownName;
    DialogDriver driver([&](HWND d) {
        char t[64] = {};
        GetDlgItemTextA(d, cmb1, t, sizeof t);
        shownName = t;
        // Choose another size from the size list, as a click would.
        HWND sizes = GetDlgItem(d, cmb3);
        LRESULT i = SendMessageA(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("20"));
        SendMessageA(sizes, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        DialogDriver::Press(d, IDOK);
    });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(shownName, face);
    EXPECT_EQ(dialog->Font()->Name(), face);
    EXPECT_EQ(dialog->Font()->Size(), 20);
    EXPECT_TRUE(dialog->Font()->Style().Contains(TFontStyle::fsBold));
}

TEST(ColorDialog, TheRealDialogReturnsItsColourAndCustomColours) {
    auto owner = MakeForm<TForm>();
    auto* dialog = Create<TColorDialog>(owner.get());
    dialog->SetColor(ColorRGB(0x10, 0x20, 0x30));
    dialog->CustomColors()->Add("ColorB=C08040");
    DialogDriver driver([](HWND d) { DialogDriver::Press(d, IDOK); });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(dialog->Color(), ColorRGB(0x10, 0x20, 0x30));
    EXPECT_EQ(dialog->CustomColors()->Values("ColorB"), "C08040");
    EXPECT_EQ(dialog->CustomColors()->Values("ColorA"), "FFFFFF");
    EXPECT_EQ(dialog->CustomColors()->Count(), 16);
}

TEST(FindDialog, FindNextInTheRealWindowReportsTextAndOptions) {
    auto owner = MakeForm<TForm>();
    owner->Show();
    PumpMessages();
    auto* find = Create<TFindDialog>(owner.get());
    find->SetFindText("start");
    find->SetPosition({40, 50});
    std::vector<std::pair<std::string, TFindOptions>> found;
    find->OnFind = [&](TObject* s) {
        auto* f = static_cast<TFindDialog*>(s);
        found.emplace_back(f->FindText(), f->Options());
    };
    int closed = 0;
    find->OnClose = [&](TObject*) { ++closed; };
    ASSERT_TRUE(find->Execute());
    HWND d = find->Handle();
    ASSERT_NE(d, nullptr);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(find->Position(), (TPoint{40, 50}));
    char shown[32] = {};
    GetDlgItemTextA(d, edt1, shown, sizeof shown);
    EXPECT_STREQ(shown, "start");
    // The dialog stays in front of the window it was opened from.
    EXPECT_EQ(GetWindow(GetWindow(d, GW_OWNER), GW_OWNER), owner->Handle());

    SetDlgItemTextA(d, edt1, "Needle");
    SendMessageA(GetDlgItem(d, chx2), BM_CLICK, 0, 0);  // Match case
    SendMessageA(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);  // Find Next
    PumpMessages();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, "Needle");
    EXPECT_TRUE(found[0].second.Contains(TFindOption::frMatchCase));
    EXPECT_TRUE(found[0].second.Contains(TFindOption::frDown));
    EXPECT_TRUE(found[0].second.Contains(TFindOption::frFindNext));
    EXPECT_FALSE(found[0].second.Contains(TFindOption::frWholeWord));

    // Upwards, whole word, and Enter in the text box instead of the button.
    SendMessageA(GetDlgItem(d, chx1), BM_CLICK, 0, 0);  // Whole word
    SendMessageA(GetDlgItem(d, rad1), BM_CLICK, 0, 0);  // Up
    HWND edit = GetDlgItem(d, edt1);
    SetFocus(edit);
    PressKey(edit, VK_RETURN);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(found[1].second.Contains(TFindOption::frWholeWord));
    EXPECT_FALSE(found[1].second.Contains(TFindOption::frDown));

    // Showing it again brings the same window; closing tells the owner.
    ASSERT_TRUE(find->Execute());
    EXPECT_EQ(find->Handle(), d);
    find->CloseDialog();
    PumpMessages();
    EXPECT_EQ(find->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(closed, 1);
}

TEST(FindDialog, EscapeClosesItAndFreeingTheOwnerFormTakesItAlong) {
    auto owner = MakeForm<TForm>();
    owner->Show();
    PumpMessages();
    auto* find = Create<TFindDialog>(owner.get());
    ASSERT_TRUE(find->Execute());
    HWND d = find->Handle();
    PressKey(GetDlgItem(d, edt1), VK_ESCAPE);
    EXPECT_EQ(find->Handle(), nullptr);
    EXPECT_FALSE(IsWindow(d));

    ASSERT_TRUE(find->Execute());
    d = find->Handle();
    owner.reset();
    PumpMessages();
    EXPECT_FALSE(IsWindow(d));
}

TEST(ReplaceDialog, ReplaceAndReplaceAllFireOnReplace) {
    auto owner = MakeForm<TForm>();
    owner->Show();
    PumpMessages();
    auto* dialog = Create<TReplaceDialog>(owner.get());
    std::vector<TFindOptions> replaced;
    dialog->OnReplace = [&](TObject* s) { replaced.push_back(static_cast<TReplaceDialog*>(s)->Options()); };
    ASSERT_TRUE(dialog->Execute());
    HWND d = dialog->Handle();
    SetDlgItemTextA(d, edt1, "old");
    SetDlgItemTextA(d, edt2, "new");
    SendMessageA(GetDlgItem(d, psh1), BM_CLICK, 0, 0);  // Replace
    SendMessageA(GetDlgItem(d, psh2), BM_CLICK, 0, 0);  // Replace All
    ASSERT_EQ(replaced.size(), 2u);
    EXPECT_TRUE(replaced[0].Contains(TFindOption::frReplace));
    EXPECT_TRUE(replaced[1].Contains(TFindOption::frReplaceAll));
    EXPECT_EQ(dialog->FindText(), "old");
    EXPECT_EQ(dialog->ReplaceText(), "new");
    dialog->CloseDialog();
}

namespace treskel::test {

TEST(MessageBoxes, AreNeverWiderThanTheScreen) {
    // One unbroken run of 300 characters, as a long name makes.
    std::string text = "'" + std::string(300, 'W') + "' cannot be used.";
    RECT measured{};
    MessageBoxResponder tests = SetMessageBoxResponder(nullptr);
    int answer;
    {
        // In the real box's own loop: measured, then closed.
        DialogDriver measure([&](HWND box) {
            GetWindowRect(box, &measured);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        answer = ShowMessageBox(nullptr, text, "Long", MB_OK);
    }
    SetMessageBoxResponder(std::move(tests));
    EXPECT_EQ(answer, IDOK);
    EXPECT_GT(measured.right - measured.left, 100);
    EXPECT_LE(measured.right - measured.left, GetSystemMetrics(SM_CXSCREEN));
    // The text keeps every character; only line breaks are added.
    ShowMessageBox(nullptr, text, "Long", MB_OK);
    std::string shown = MessageBoxes().back().text;
    shown.erase(std::remove(shown.begin(), shown.end(), '\n'), shown.end());
    EXPECT_EQ(shown, text);
}

TEST(MessageBoxes, NameTheLettersTheCodePageLacksOnceEachWithTheirNumbers) {
    // Ž is in the code page; ř is not, nor α, nor a letter beyond the first
    // plane (two wide characters).
    const std::wstring text = L"a\u017D\u0159x\u0159\u03B1\U0001F600";
    EXPECT_EQ(LettersOutsideCodePage(text), L"\u0159\u03B1\U0001F600");
    EXPECT_EQ(FirstLetterOutsideCodePage(text), 2u);
    EXPECT_EQ(FirstLetterOutsideCodePage(L"plain \u017D"), std::wstring::npos);

    MessageBoxes().clear();
    EXPECT_FALSE(RefuseLettersOutsideCodePage(L"plain \u017D"));
    EXPECT_TRUE(MessageBoxes().empty());
    EXPECT_TRUE(RefuseLettersOutsideCodePage(text));
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].caption, "Letters");
    EXPECT_NE(MessageBoxes()[0].text.find(": ? (U+0159), ? (U+03B1), ?? (U+1F600)\n"), std::string::npos)
        << MessageBoxes()[0].text;
    // A password's letters are not shown.
    EXPECT_TRUE(RefuseLettersOutsideCodePage(text, false));
    ASSERT_EQ(MessageBoxes().size(), 2u);
    EXPECT_EQ(MessageBoxes()[1].text.find("U+"), std::string::npos) << MessageBoxes()[1].text;
}

}  // namespace treskel::test

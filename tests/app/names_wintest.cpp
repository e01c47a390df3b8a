// Captions and names are stored single-byte, in the system's code page:
// letters it lacks, typed on the keyboard, are refused with a message that
// names them, and the caption or name stays as typed for the user to
// change.  Nothing is turned into a look-alike or a '?' without a word.
#include "MainWindowTest.h"

#include "app/TreskelOptions.h"
#include "platform/FileSys.h"
#include "support/DialogDriver.h"

namespace treskel::test {

namespace {
// For the failure messages: UTF-8.
std::string Narrow(const std::wstring& w) {
    std::string s(w.size() * 4 + 1, '\0');
    s.resize(static_cast<size_t>(std::max(0, WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()),
                                                                  s.data(), static_cast<int>(s.size()), nullptr,
                                                                  nullptr))));
    return s;
}
}  // namespace

class Names : public MainWindowDialogsTest {
protected:
    // While it lives the program's message boxes are the real ones: each
    // is read as the screen shows it and closed with its OK.
    class RealBoxes {
    public:
        explicit RealBoxes(std::vector<std::wstring>& read)
            : previous_(SetMessageBoxResponder(nullptr)),
              driver_([&read](HWND box) {
                  wchar_t text[1024] = {};
                  GetDlgItemTextW(box, 0xFFFF, text, 1024);
                  read.emplace_back(text);
                  PostMessageA(box, WM_COMMAND, IDOK, 0);
              }) {}
        ~RealBoxes() { SetMessageBoxResponder(std::move(previous_)); }

    private:
        MessageBoxResponder previous_;
        DialogDriver driver_;
    };

    HWND CaptionBox() { return reinterpret_cast<HWND>(SendMessageA(Tree(), TVM_GETEDITCONTROL, 0, 0)); }
    static std::wstring TextOf(HWND wnd) {
        wchar_t text[512] = {};
        GetWindowTextW(wnd, text, 512);
        return text;
    }
    static DWORD SelectionStart(HWND edit) {
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return start;
    }
    // Presses Enter where the focus is and waits for the refusal, read
    // from the screen.
    std::wstring EnterRefused() {
        std::vector<std::wstring> told;
        {
            RealBoxes real(told);
            TapKey(VK_RETURN);
            PumpUntil([&] { return !told.empty(); });
            PumpMessages();
        }
        EXPECT_EQ(told.size(), 1u);
        return told.empty() ? std::wstring() : told[0];
    }
    // Replaces the whole text of the edit with the focus, from the keyboard.
    static void RetypeAll(const std::wstring& text) {
        TapKey(VK_HOME);
        TapKeyWith(VK_SHIFT, VK_END);
        TypeUnicode(text);
    }
    // Answers the next input query from the keyboard: `typed` replaces what
    // it holds and Enter is refused (in the dialog's own loop, after the
    // answer); then the box's text and selection are kept, `fixed`
    // replaces the text and Enter closes the box.
    void AnswerRefusedThenFixed(const std::wstring& typed, const std::wstring& fixed) {
        dialogs_.Queue([typed](TCustomForm& f) {
            TEdit* edit = EditOf(f);
            ASSERT_NE(edit, nullptr);
            ASSERT_EQ(GetFocus(), edit->Handle());
            RetypeAll(typed);
            TapKey(VK_RETURN);
        });
        dialogs_.Queue([this, fixed](TCustomForm& f) {
            // Still open, the name as typed, the first letter to change selected.
            TEdit* edit = EditOf(f);
            ASSERT_NE(edit, nullptr);
            keptInBox_.push_back(TextOf(edit->Handle()));
            firstSelected_.push_back(static_cast<int>(SelectionStart(edit->Handle())));
            EXPECT_EQ(GetFocus(), edit->Handle());
            RetypeAll(fixed);
            TapKey(VK_RETURN);
        });
    }
    static TEdit* EditOf(TCustomForm& f) {
        for (int i = 0; i < f.ComponentCount(); ++i)
            if (auto* e = dynamic_cast<TEdit*>(f.Components(i))) return e;
        return nullptr;
    }
    // Does what the user does, with refusals shown in real boxes, read
    // into told_.
    void RunWithRealBoxes(const std::function<void()>& act) {
        RealBoxes real(told_);
        act();
    }
    // A command of the tabs' menu, as a right click on the tab shows it.
    void ChooseFromTabMenu(TAction* action) {
        WORD command = 0;
        TMenuItem* items = W->PopupMenu2->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Items(i)->Action() == action) command = items->Items(i)->Command();
        ASSERT_NE(command, 0);
        TPopupMenu::TestChooser = [command](TPopupMenu*) -> WORD { return command; };
        const HWND tabs = W->TabControl1->Handle();
        POINT at{20, 10};
        ClientToScreen(tabs, &at);
        SendMessageA(tabs, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(tabs), MAKELPARAM(at.x, at.y));
        TPopupMenu::TestChooser = nullptr;
        PumpMessages();
    }
    void TearDown() override {
        if (queries_) SetInputQueryResponder(std::move(*queries_));
        MainWindowDialogsTest::TearDown();
    }
    // The real input query, typed into, in place of the tests' answers.
    void RealQueries() { queries_ = SetInputQueryResponder(nullptr); }

    std::vector<std::wstring> told_, keptInBox_;
    std::vector<int> firstSelected_;
    std::optional<InputQueryResponder> queries_;
};

TEST_F(Names, ACaptionWithLettersTheCodePageLacksIsRefusedAndStaysToBeChanged) {
    StartWindow();
    NewTreskel("Notes");
    MouseClickTool("NewButton");
    TTreeNode* item = W->TreeView->Selected();
    ASSERT_NE(item, nullptr);
    ASSERT_NE(CaptionBox(), nullptr);
    ASSERT_EQ(GetFocus(), CaptionBox());

    const std::wstring typed = L"K\u0159e\u010Dek \u017E \u0416\u03B1";  // Křeček ž Жα
    TypeUnicode(typed);
    const std::wstring told = EnterRefused();
    EXPECT_NE(told.find(L": \u0159 (U+0159), \u010D (U+010D), \u0416 (U+0416), \u03B1 (U+03B1)\n"),
              std::wstring::npos)
        << Narrow(told);
    EXPECT_EQ(told.find(L"\u017E"), std::wstring::npos) << "ž is in the code page";
    // The caption is as it was; the box is open again with what was typed,
    // its first letter to change selected.
    EXPECT_EQ(item->Text(), "New Item");
    ASSERT_NE(CaptionBox(), nullptr);
    EXPECT_EQ(TextOf(CaptionBox()), typed);
    EXPECT_EQ(SelectionStart(CaptionBox()), 1u);
    EXPECT_EQ(GetFocus(), CaptionBox());

    RetypeAll(L"Krecek \u017E Zh a");
    TapKey(VK_RETURN);
    EXPECT_EQ(CaptionBox(), nullptr);
    EXPECT_EQ(item->Text(), "Krecek \x9E Zh a");
    EXPECT_TRUE(MessageBoxes().empty());
    Restart();
    EXPECT_EQ(TopCaptions(), (std::vector<std::string>{"Krecek \x9E Zh a"}));
}

TEST_F(Names, ATreskelNameWithLettersTheCodePageLacksIsRefusedAndStaysToBeChanged) {
    StartWindow();
    NewTreskel("Notes");
    RealQueries();

    AnswerRefusedThenFixed(L"Notes \u011B\u0159", L"Notes er");  // ěř
    RunWithRealBoxes([this] { ChooseFromTabMenu(W->RenameTreskel); });
    AnswerRefusedThenFixed(L"Pr\u00E1ce \u0161 \u010D", L"Pr\u00E1ce \u0161 c");  // Práce š č: only č
    RunWithRealBoxes([this] { MouseClickTool("NewTreskelButton"); });

    ASSERT_EQ(told_.size(), 2u);
    EXPECT_NE(told_[0].find(L": \u011B (U+011B), \u0159 (U+0159)\n"), std::wstring::npos) << Narrow(told_[0]);
    EXPECT_NE(told_[1].find(L": \u010D (U+010D)\n"), std::wstring::npos) << Narrow(told_[1]);
    EXPECT_EQ(told_[1].find(L"\u0161"), std::wstring::npos);
    EXPECT_EQ(keptInBox_, (std::vector<std::wstring>{L"Notes \u011B\u0159", L"Pr\u00E1ce \u0161 \u010D"}));
    EXPECT_EQ(firstSelected_, (std::vector<int>{6, 8}));
    TStrings* tabs = W->TabControl1->Tabs();
    ASSERT_EQ(tabs->Count(), 2);
    EXPECT_EQ(tabs->Get(0), "Notes er");
    EXPECT_EQ(tabs->Get(1), "Pr\xE1" "ce \x9A c");
    EXPECT_TRUE(FileExists(DataFile("Notes er.tsx")));
    EXPECT_TRUE(FileExists(DataFile("Pr\xE1" "ce \x9A c.tsx")));
    EXPECT_EQ(DataFiles(), (std::vector<std::string>{"Notes er.tsx", "Pr\xE1" "ce \x9A c.tsx"}));
}

TEST_F(Names, ADataDirectoryWithLettersTheCodePageLacksIsRefusedAndStaysToBeChanged) {
    StartWindow();
    const std::string before = ReadRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path");
    const std::wstring typed = L"C:\\Pozn\u00E1mky \u0159";  // Poznámky ř
    dialogs_.Queue([&](TCustomForm& f) {
        auto& options = dynamic_cast<TfrmOptions&>(f);
        options.Edit1->SetFocus();
        RetypeAll(typed);
        options.BitBtn1->SetFocus();
        told_.push_back(EnterRefused());
        EXPECT_EQ(f.ModalResult(), mrNone);
        EXPECT_EQ(TextOf(options.Edit1->Handle()), typed);
        EXPECT_EQ(GetFocus(), options.Edit1->Handle());
        EXPECT_EQ(SelectionStart(options.Edit1->Handle()), 12u);
        options.Close();
    });
    MouseClickTool("OptionsButton");
    ASSERT_EQ(told_.size(), 1u);
    EXPECT_NE(told_[0].find(L": \u0159 (U+0159)\n"), std::wstring::npos) << Narrow(told_[0]);
    EXPECT_EQ(ReadRegistryString("SOFTWARE\\Qiv\\Treskel!\\common", "path"), before);
}

}  // namespace treskel::test

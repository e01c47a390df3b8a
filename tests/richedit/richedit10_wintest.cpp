// The note editor when RICHED20.DLL cannot be loaded: the rich edit 1.0
// window.  A program of its own, since the first failure switches wide
// windows off for the rest of the run.
#include <algorithm>

#include "richedit/EditorFixture.h"

namespace treskel::test {
namespace {

class FallbackTest : public EditorTest {
protected:
    void SetUp() override {
        SetRichEditLibraryLoader([](const char* name) -> HMODULE {
            loads.push_back(name);
            return nullptr;
        });
        EditorTest::SetUp();
    }
    void TearDown() override { SetRichEditLibraryLoader(nullptr); }
    static std::vector<std::string> loads;
};

std::vector<std::string> FallbackTest::loads;

const char kNote[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0\\fs20 plain \\b bold\\b0  \\i italic\\i0  \\cf1 red\\cf0  \\f1 mono\\f0\\par"
    "\\qc centred\\par}";

TEST_F(FallbackTest, LoadsAndSavesRtfOnTheOneZeroWindow) {
    EXPECT_NE(std::find(loads.begin(), loads.end(), "RICHED20.DLL"), loads.end());
    EXPECT_TRUE(editor->RichEdit10());
    EXPECT_FALSE(IsWindowUnicode(editor->Handle()));
    EXPECT_FALSE(RichEditWideWindows());

    Load(editor, kNote);
    std::string saved = Save(editor);
    EXPECT_EQ(saved.rfind("{\\rtf", 0), 0u);

    TRichEditEx* copy = NewEditor();
    EXPECT_TRUE(copy->RichEdit10());
    Load(copy, saved);
    EXPECT_EQ(copy->Lines()->Get(0), "plain bold italic red mono");
    EXPECT_EQ(copy->Lines()->Get(1), "centred");
    auto at = [&](int start, int length) {
        Select(copy, start, start + length);
        return copy->SelAttributes();
    };
    EXPECT_TRUE(at(6, 4)->Bold());
    EXPECT_EQ(at(6, 4)->Weight(), 700);
    EXPECT_FALSE(at(0, 5)->Bold());
    EXPECT_EQ(at(0, 5)->Weight(), 400);
    EXPECT_TRUE(at(11, 6)->Italic());
    EXPECT_EQ(at(18, 3)->Color(), clRed);
    EXPECT_EQ(at(22, 4)->Name(), "Courier New");
    EXPECT_EQ(at(0, 5)->Size(), 10);
    Select(copy, 28, 30);
    EXPECT_EQ(copy->Paragraph()->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(Save(copy), saved);
}

TEST_F(FallbackTest, WhatOneZeroLacksReadsNeutralAndIgnoresWrites) {
    Load(editor, kNote);
    Select(editor, 0, 5);
    TTextAttributesEx* a = editor->SelAttributes();
    EXPECT_EQ(a->BackColor(), clNone);
    a->SetBackColor(clYellow);
    EXPECT_EQ(a->BackColor(), clNone);
    EXPECT_EQ(a->Language(), 0x0800);
    EXPECT_EQ(a->SubscriptStyle(), 0);
    EXPECT_FALSE(a->Link());
    a->SetLink(true);
    EXPECT_FALSE(a->Link());

    // What 1.0 has goes to its own format: underline as a style, bullets.
    a->SetUnderline(3);
    EXPECT_EQ(a->Underline(), 1);
    a->SetUnderline(0);
    EXPECT_EQ(a->Underline(), 0);
    a->SetBold(true);
    EXPECT_TRUE(a->Bold());
    editor->Paragraph()->SetNumbering(1);
    EXPECT_EQ(editor->Paragraph()->Numbering(), 1);
    editor->Paragraph()->SetLeftIndent(12.4);
    EXPECT_DOUBLE_EQ(editor->Paragraph()->LeftIndent(), 12);
}

TEST_F(FallbackTest, PlainTextAndSearchWork) {
    editor->SetInputFormat(TInputFormat::ifText);
    Load(editor, "one\rtwo\nthree\r\nfour");
    EXPECT_EQ(editor->Lines()->ToVector(), (std::vector<std::string>{"one", "two", "three", "four"}));
    // Line breaks of the 1.0 window are CR LF, two characters.
    EXPECT_EQ(editor->FindText("three", 0, 0, TSearchTypesEx{}), 10);
    EXPECT_EQ(editor->FindText("THREE", 0, 0, TSearchTypesEx{TSearchTypeEx::stMatchCase}), -1);
    EXPECT_NO_THROW(Load(editor, ""));
    EXPECT_EQ(editor->Lines()->Count(), 0);
}

TEST_F(FallbackTest, OnceAFailureHappenedLaterWindowsAreNotWide) {
    SetRichEditLibraryLoader(nullptr);
    TRichEditEx* later = NewEditor();
    EXPECT_FALSE(later->RichEdit10());
    EXPECT_FALSE(IsWindowUnicode(later->Handle()));
    Load(later, kNote);
    Select(later, 6, 10);
    EXPECT_TRUE(later->SelAttributes()->Bold());
    EXPECT_EQ(later->Lines()->Get(0), "plain bold italic red mono");
    TRichEditEx* copy = NewEditor();
    Load(copy, Save(later));
    EXPECT_EQ(copy->Lines()->Get(1), "centred");
}

}  // namespace
}  // namespace treskel::test

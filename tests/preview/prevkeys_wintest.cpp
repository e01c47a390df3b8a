// The letters underlined in the page setup and preview windows, pressed
// with Alt.
#include <gtest/gtest.h>

#include <map>

#include "../richedit/EditorFixture.h"
#include "platform/Registry.h"
#include "preview/PageSetupDlg.h"
#include "preview/PrevForm.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

namespace {
bool FocusIn(TForm* form) {
    HWND focus = GetFocus();
    return focus != nullptr && (focus == form->Handle() || IsChild(form->Handle(), focus));
}

// The page setup window shown for a printer component, with nothing stored.
class PageSetupKeys : public testing::Test {
protected:
    void SetUp() override {
        EnsureApplication()->SetTitle("Treskel!");
        TRegistry().DeleteKey("\\Software\\Treskel!");
        printer = MakeOwned<TPreviewPrinter>();
        form = MakeForm<TPageSetupForm>();  // reads what is stored as it is made
        form->SetOptions(printer->TextOptions(), printer.get());
        form->Show();
        PumpMessages();
        ASSERT_TRUE(FocusIn(form.get()));
    }
    void TearDown() override { TRegistry().DeleteKey("\\Software\\Treskel!"); }

    OwnedPtr<TPreviewPrinter> printer;
    OwnedPtr<TPageSetupForm> form;
};
}  // namespace

TEST_F(PageSetupKeys, AltCSAndPChooseUnitOrientationAndPrinterSetup) {
    ASSERT_TRUE(form->InchBut->Checked());
    ASSERT_TRUE(form->PortBut->Checked());

    PressAltKey('s');
    EXPECT_TRUE(form->LandBut->Checked());
    EXPECT_FALSE(form->PortBut->Checked());
    EXPECT_TRUE(form->LandShape->Visible());
    PressAltKey('p');
    EXPECT_TRUE(form->PortBut->Checked());
    EXPECT_FALSE(form->LandShape->Visible());
    PressAltKey('c');
    EXPECT_TRUE(form->CentBut->Checked());
    EXPECT_FALSE(form->InchBut->Checked());
    // Two captions hold an S: the next press goes on to the other one.
    PressAltKey('s');
    EXPECT_TRUE(form->LandBut->Checked());
    MessageBoxes().clear();
    PressAltKey('s');
    ASSERT_EQ(MessageBoxes().size(), 1u);  // no printer to set up here
    EXPECT_EQ(MessageBoxes()[0].text, "No printer is installed.");
    EXPECT_TRUE(form->PrinterSetupBut->Focused());
}

// Each label's letter takes the focus to its edit; a letter two labels
// share (the two margins' M) goes on from one to the other.  No other
// letter is shared but the S of "Landscape" and "Printer Setup...".
TEST_F(PageSetupKeys, EachLabelsLetterTakesTheFocusToItsEdit) {
    const std::pair<char, TEdit*> steps[] = {
        {'l', form->LeftEdit},   {'r', form->RightEdit},     {'t', form->TopEdit},
        {'b', form->BotEdit},    {'h', form->HeaderEdit},    {'m', form->HdrMarginEdit},
        {'m', form->FtrMarginEdit}, {'f', form->FooterEdit}, {'m', form->FtrMarginEdit},
        {'m', form->HdrMarginEdit}};
    for (auto [letter, edit] : steps) {
        PressAltKey(letter);
        EXPECT_EQ(GetFocus(), edit->Handle()) << "Alt+" << letter << " should reach " << edit->Name();
    }
    EXPECT_TRUE(CommonDialogs().empty());

    std::map<char, std::vector<std::string>> letters;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        auto* c = dynamic_cast<TControl*>(form->Components(i));
        if (c == nullptr || dynamic_cast<TCustomEdit*>(c) != nullptr) continue;
        const std::string caption = c->Caption();
        for (size_t at = caption.find('&'); at != std::string::npos && at + 1 < caption.size();
             at = caption.find('&', at + 2))
            if (caption[at + 1] != '&') letters[static_cast<char>(std::tolower(caption[at + 1]))].push_back(c->Name());
    }
    for (const auto& [letter, names] : letters) {
        if (letter == 's') EXPECT_EQ(names, (std::vector<std::string>{"LandBut", "PrinterSetupBut"}));
        else if (letter == 'm') EXPECT_EQ(names, (std::vector<std::string>{"LHdrMarginEdit", "LFtrMarginEdit"}));
        else EXPECT_EQ(names.size(), 1u) << letter << ": " << names[0] << ", " << names[1];
    }
}

namespace {
class PreviewKeys : public EditorTest {};
}  // namespace

TEST_F(PreviewKeys, AltNTurnsThePageAlt2ShowsTwoAndAltCCloses) {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int i = 1; i <= 150; ++i) rtf += "Paragraph " + std::to_string(i) + " of a note to preview.\\par ";
    Load(editor, rtf + "}");
    auto printer = MakeOwned<TPreviewPrinter>();
    printer->RenderRichEdit(editor);
    ASSERT_GE(printer->GetPageCount(), 3);
    OwnedPtr<TPreviewForm> preview = CreatePreviewForm(printer.get());
    preview->Show();
    PumpMessages();
    ASSERT_TRUE(FocusIn(preview.get()));

    PressAltKey('n');
    EXPECT_EQ(preview->CurrentPage(), 1);
    PressAltKey('n');
    EXPECT_EQ(preview->CurrentPage(), 2);
    PressAltKey('2');
    EXPECT_TRUE(preview->TwoPageBut->Down());
    EXPECT_TRUE(preview->PagePanel2->Visible());
    PressAltKey('1');
    EXPECT_TRUE(preview->OnePageBut->Down());
    EXPECT_FALSE(preview->PagePanel2->Visible());
    PressAltKey('c');
    EXPECT_FALSE(preview->Visible());
}

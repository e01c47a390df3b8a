// The letters underlined in the page setup and preview windows, pressed
// with Alt.
#include <gtest/gtest.h>

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
}  // namespace

TEST(PageSetupKeys, AltCSAndPChooseUnitOrientationAndPrinterSetup) {
    EnsureApplication()->SetTitle("Treskel!");
    TRegistry().DeleteKey("\\Software\\Treskel!");
    auto printer = MakeOwned<TPreviewPrinter>();
    auto form = MakeForm<TPageSetupForm>();
    form->SetOptions(printer->TextOptions(), printer.get());
    form->Show();
    PumpMessages();
    ASSERT_TRUE(FocusIn(form.get()));
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
    TRegistry().DeleteKey("\\Software\\Treskel!");
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

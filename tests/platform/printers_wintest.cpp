#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include "support/DialogDriver.h"
#include "TestPrinter.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Printers.h"
#include "support/GuiTest.h"
#include "support/TestEnv.h"

using namespace treskel;
using namespace treskel::test;

namespace {
std::string ReadText(const std::string& file) {
    auto bytes = ReadAll(file);
    return std::string(bytes.begin(), bytes.end());
}

int CountOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

void ChooseTestPrinter() {
    int index = Printer()->Printers()->IndexOf(TestPrinter::kName);
    ASSERT_GE(index, 0);
    Printer()->SetPrinterIndex(index);
}
}  // namespace

TEST(Printer, APrintJobBecomesAPostScriptFileWithItsPages) {
    TempDir dir;
    std::string out = dir.File("job.ps");
    TestPrinter installed(out);
    ChooseTestPrinter();
    TPrinter* p = Printer();
    EXPECT_EQ(p->PrinterName(), TestPrinter::kName);
    EXPECT_EQ(p->DriverName(), "Wine PostScript Driver");
    EXPECT_EQ(p->Orientation(), TPrinterOrientation::poPortrait);
    // Letter at 300 dpi less the PPD's quarter-inch margins.
    EXPECT_EQ(GetDeviceCaps(p->Handle(), LOGPIXELSY), 300);
    EXPECT_EQ(p->PageWidth(), 2400);
    EXPECT_EQ(p->PageHeight(), 3150);
    p->SetTitle("Treskel! test job");
    // A size in points set before the job is a size on paper.
    p->Canvas()->Font()->SetSize(12);
    p->BeginDoc();
    EXPECT_EQ(p->Canvas()->Font()->Height(), -50);
    EXPECT_TRUE(p->Printing());
    EXPECT_EQ(p->PageNumber(), 1);
    for (int page = 1; page <= 3; ++page) {
        if (page > 1) p->NewPage();
        EXPECT_EQ(p->PageNumber(), page);
        p->Canvas()->TextOut(100, 100, Format("Page %d", page));
    }
    EXPECT_THROW(p->BeginDoc(), EPrinter);
    EXPECT_THROW(p->SetOrientation(TPrinterOrientation::poLandscape), EPrinter);
    p->EndDoc();
    EXPECT_FALSE(p->Printing());
    EXPECT_THROW(p->NewPage(), EPrinter);

    std::string ps = ReadText(out);
    EXPECT_EQ(ps.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(ps.find("%%Title: Treskel! test job"), std::string::npos);
    EXPECT_NE(ps.find("%%Pages: 3"), std::string::npos);
    EXPECT_EQ(CountOf(ps, "%%Page: "), 3);
    // Each page carries its text ("Page 1" ...): one capital P each.
    EXPECT_EQ(CountOf(ps, "/P glyphshow"), 3);
}

TEST(Printer, OrientationAndAnAbortedJob) {
    TempDir dir;
    std::string out = dir.File("landscape.ps");
    TestPrinter installed(out);
    ChooseTestPrinter();
    TPrinter* p = Printer();
    p->SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(p->Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(p->PageWidth(), 3150);
    EXPECT_EQ(p->PageHeight(), 2400);
    p->SetTitle("landscape");
    p->BeginDoc();
    p->Canvas()->TextOut(10, 10, "wide");
    p->EndDoc();
    EXPECT_NE(ReadText(out).find("%%Orientation: Landscape"), std::string::npos);

    p->SetOrientation(TPrinterOrientation::poPortrait);
    EXPECT_EQ(p->PageWidth(), 2400);
    p->BeginDoc();
    p->Abort();
    EXPECT_FALSE(p->Printing());
    EXPECT_TRUE(p->Aborted());
    // The next job starts afresh.
    p->BeginDoc();
    EXPECT_FALSE(p->Aborted());
    p->EndDoc();
}

TEST(Printer, WithoutAPrinterEverythingThatNeedsOneSaysSo) {
    ASSERT_EQ(Printer()->Printers()->IndexOf(TestPrinter::kName), -1);
    if (Printer()->Printers()->Count() > 0) GTEST_SKIP() << "this prefix has a printer";
    EXPECT_EQ(Printer()->PrinterName(), "");
    EXPECT_THROW(Printer()->Handle(), EPrinter);
    EXPECT_THROW(Printer()->BeginDoc(), EPrinter);
    EXPECT_FALSE(Printer()->Printing());
    auto owner = MakeForm<TForm>();
    auto* dialog = Create<TPrintDialog>(owner.get());
    ScopedDialogResponder real(nullptr);
    try {
        dialog->Execute();
        FAIL() << "the print dialog opened without a printer";
    } catch (const EPrinter& e) {
        EXPECT_EQ(e.Message(), "There is no default printer currently selected");
    }
}

TEST(PrintDialog, TheRealDialogSetsCopiesAndPagesAndTheChosenPrinter) {
    TempDir dir;
    TestPrinter installed(dir.File("dialog.ps"));
    auto owner = MakeForm<TForm>();
    auto* dialog = Create<TPrintDialog>(owner.get());
    dialog->SetMinPage(1);
    dialog->SetMaxPage(5);
    dialog->SetFromPage(1);
    dialog->SetToPage(5);
    dialog->SetOptions({TPrintDialogOption::poPageNums});
    std::string shownPrinter;
    DialogDriver driver([&](HWND d) {
        char name[128] = {};
        GetDlgItemTextA(d, cmb4, name, sizeof name);
        shownPrinter = name;
        SendMessageA(GetDlgItem(d, rad3), BM_CLICK, 0, 0);  // pages
        SetDlgItemTextA(d, edt1, "2");
        SetDlgItemTextA(d, edt2, "3");
        SetDlgItemTextA(d, edt3, "2");  // copies
        DialogDriver::Press(d, IDOK);
    });
    ASSERT_TRUE(dialog->Execute());
    EXPECT_EQ(shownPrinter, TestPrinter::kName);
    EXPECT_EQ(dialog->PrintRange(), TPrintRange::prPageNums);
    EXPECT_EQ(dialog->FromPage(), 2);
    EXPECT_EQ(dialog->ToPage(), 3);
    EXPECT_EQ(dialog->Copies(), 2);
    // The copies are the program's to print: the printer makes one each.
    EXPECT_EQ(Printer()->Copies(), 1);
    EXPECT_EQ(Printer()->PrinterName(), TestPrinter::kName);
}

TEST(PrintDialog, TestsAnswerItAndPrinterSetupToo) {
    std::vector<std::string> asked;
    ScopedDialogResponder r([&](TCommonDialog& d) {
        asked.push_back(d.ClassName());
        if (auto* p = dynamic_cast<TPrintDialog*>(&d)) {
            p->SetCopies(3);
            return true;
        }
        return false;
    });
    auto owner = MakeForm<TForm>();
    auto* print = Create<TPrintDialog>(owner.get());
    auto* setup = Create<TPrinterSetupDialog>(owner.get());
    bool printed = print->Execute();
    bool setUp = setup->Execute();
    EXPECT_TRUE(printed);
    EXPECT_EQ(print->Copies(), 3);
    EXPECT_FALSE(setUp);
    EXPECT_EQ(asked, (std::vector<std::string>{"TPrintDialog", "TPrinterSetupDialog"}));
}

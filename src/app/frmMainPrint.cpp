// The main window's print commands: page setup, preview and print of the
// note in the editor.
#include "app/frmMain.h"

namespace treskel {

namespace {
std::string LongDateToday() {
    char buf[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, buf, sizeof buf);
    return buf;
}
}  // namespace

void TfrmTreskel::PrinterPopupPopup(TObject*) {
    bool selected = TreeView->Selected() != nullptr;
    if (selected) {
        Preview->SetTitle("Treskel!");
        Preview->TextOptions()->Header = TreeView->Selected()->Text();
        Preview->TextOptions()->Footer = LongDateToday();
    }
    PageSetup1->SetEnabled(selected);
    Preview1->SetEnabled(selected);
    PrintItem->SetEnabled(selected);
}

// A hidden editor still holds the note shown before a locked item; that
// note is not printed under the locked item's caption.  What was typed is
// saved first: nothing is lost whatever the printer driver does.
void TfrmTreskel::PrintItemClick(TObject*) {
    if (TreeView->Selected() == nullptr || !REdit->Visible() || !SaveLeavingNote()) return;
    Preview->RenderRichEdit(REdit);
    Preview->PrintWithDialog();
}

void TfrmTreskel::Preview1Click(TObject*) {
    if (TreeView->Selected() == nullptr || !REdit->Visible() || !SaveLeavingNote()) return;
    Preview->RenderRichEdit(REdit);
    Preview->Preview();
}

void TfrmTreskel::PageSetup1Click(TObject*) {
    Preview->PageSetup();
}

}  // namespace treskel

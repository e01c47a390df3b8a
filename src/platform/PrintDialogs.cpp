// The print and printer setup dialogs over the program's printer.
#include <algorithm>

#include "platform/Clipbrd.h"
#include "platform/Dialogs.h"
#include "platform/Printers.h"

#include <cderr.h>

namespace treskel {

namespace {
// Shows PrintDlg on the printer's current choice; when accepted, the
// choice becomes the printer's.  `pd` carries the caller's fields.
bool RunPrintDlg(PRINTDLGA& pd) {
    // Without a printer the system dialog has nothing to offer.
    if (Printer()->Printers()->Count() == 0) throw EPrinter("There is no default printer currently selected");
    GlobalMemory devMode(Printer()->DevModeCopy());
    GlobalMemory devNames(Printer()->DevNamesCopy());
    pd.lStructSize = sizeof pd;
    pd.hDevMode = devMode.Release();
    pd.hDevNames = devNames.Release();
    BOOL ok = PrintDlgA(&pd);
    // The dialog may have replaced both blocks: free what it left.
    devMode = GlobalMemory(pd.hDevMode);
    devNames = GlobalMemory(pd.hDevNames);
    if (!ok) {
        DWORD err = CommDlgExtendedError();
        if (err == 0) return false;
        if (err == PDERR_NODEFAULTPRN || err == PDERR_NODEVICES)
            throw EPrinter("There is no default printer currently selected");
        throw EPrinter(Format("The print dialog could not be shown (error 0x%lX)", static_cast<unsigned long>(err)));
    }
    Printer()->SetDevice(devNames.Get(), devMode.Get());
    return true;
}
}  // namespace

bool TPrintDialog::Execute() {
    return RunModal([this](HWND owner) {
        PRINTDLGA pd{};
        pd.hwndOwner = owner;
        switch (printRange_) {
            case TPrintRange::prAllPages: pd.Flags = PD_ALLPAGES; break;
            case TPrintRange::prSelection: pd.Flags = PD_SELECTION; break;
            case TPrintRange::prPageNums: pd.Flags = PD_PAGENUMS; break;
        }
        if (collate_) pd.Flags |= PD_COLLATE;
        if (printToFile_) pd.Flags |= PD_PRINTTOFILE;
        if (!options_.Contains(TPrintDialogOption::poPrintToFile)) pd.Flags |= PD_HIDEPRINTTOFILE;
        if (options_.Contains(TPrintDialogOption::poDisablePrintToFile)) pd.Flags |= PD_DISABLEPRINTTOFILE;
        if (!options_.Contains(TPrintDialogOption::poPageNums)) pd.Flags |= PD_NOPAGENUMS;
        if (!options_.Contains(TPrintDialogOption::poSelection)) pd.Flags |= PD_NOSELECTION;
        if (!options_.Contains(TPrintDialogOption::poWarning)) pd.Flags |= PD_NOWARNING;
        if (options_.Contains(TPrintDialogOption::poHelp)) pd.Flags |= PD_SHOWHELP;
        pd.nCopies = static_cast<WORD>(std::max(copies_, 1));
        pd.nFromPage = static_cast<WORD>(fromPage_);
        pd.nToPage = static_cast<WORD>(toPage_);
        pd.nMinPage = static_cast<WORD>(minPage_);
        pd.nMaxPage = static_cast<WORD>(maxPage_);
        if (!RunPrintDlg(pd)) return false;
        // Copies come back here, never also in the printer's settings:
        // the program prints them itself, and the driver must not repeat
        // each one again.
        copies_ = std::max<int>(pd.nCopies, Printer()->Copies());
        Printer()->SetCopies(1);
        collate_ = (pd.Flags & PD_COLLATE) != 0;
        printToFile_ = (pd.Flags & PD_PRINTTOFILE) != 0;
        printRange_ = pd.Flags & PD_SELECTION  ? TPrintRange::prSelection
                      : pd.Flags & PD_PAGENUMS ? TPrintRange::prPageNums
                                               : TPrintRange::prAllPages;
        fromPage_ = pd.nFromPage;
        toPage_ = pd.nToPage;
        return true;
    });
}

bool TPrinterSetupDialog::Execute() {
    return RunModal([](HWND owner) {
        PRINTDLGA pd{};
        pd.hwndOwner = owner;
        pd.Flags = PD_PRINTSETUP;
        return RunPrintDlg(pd);
    });
}

}  // namespace treskel

#include "preview/PgSetup.h"

#include <windows.h>

#include <commdlg.h>
#include <winspool.h>

#include <cmath>

#include "platform/Handles.h"

namespace treskel {

namespace {
TPageMetrics metrics;

int MM(int thousandths) {
    return static_cast<int>(std::lround(thousandths * 2.54));
}
TPSRect MM(const TPSRect& r) {
    return {MM(r.Left), MM(r.Top), MM(r.Right), MM(r.Bottom)};
}
TPSRect FromRECT(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

bool HaveDefaultPrinter() {
    char name[256];
    DWORD size = sizeof name;
    return GetDefaultPrinterA(name, &size) != FALSE;
}
}  // namespace

void InitPageSetup() {
    RegisterWindowMessageA("commdlg_help");
    metrics = TPageMetrics{};
    if (HaveDefaultPrinter()) {
        PAGESETUPDLGA psd{};
        psd.lStructSize = sizeof psd;
        psd.Flags = PSD_RETURNDEFAULT | PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
        if (PageSetupDlgA(&psd)) {
            metrics.PaperSize = {psd.ptPaperSize.x, psd.ptPaperSize.y};
            metrics.MinMargins = FromRECT(psd.rtMinMargin);
            metrics.Margins = FromRECT(psd.rtMargin);
        }
        UniqueHandle<GlobalMemoryTraits> devMode(psd.hDevMode), devNames(psd.hDevNames);
    }
    metrics.PaperSizeMM = {MM(metrics.PaperSize.X), MM(metrics.PaperSize.Y)};
    metrics.MinMarginsMM = MM(metrics.MinMargins);
    metrics.MarginsMM = MM(metrics.Margins);
}

const TPageMetrics& PageMetrics() {
    return metrics;
}

}  // namespace treskel

// The default printer's page metrics, recorded once at start-up.
#pragma once

namespace treskel {

struct TPSPoint {
    int X = 0, Y = 0;
};
struct TPSRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};
// In thousandths of an inch, and the same in hundredths of a millimetre.
struct TPageMetrics {
    TPSPoint PaperSize{8500, 11000};
    TPSRect MinMargins{250, 250, 250, 250}, Margins{250, 250, 250, 250};
    TPSPoint PaperSizeMM;
    TPSRect MinMarginsMM, MarginsMM;
};

// Asks the page-setup dialog for the default printer's values without
// showing anything; without a default printer keeps letter paper with
// quarter-inch margins (the dialog would pop a box then).
void InitPageSetup();
const TPageMetrics& PageMetrics();

}  // namespace treskel

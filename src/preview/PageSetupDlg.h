// The "Page Setup" window: margins and their unit, orientation, header,
// footer and page-number texts, alignments and fonts of a preview printer.
#pragma once

#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "preview/FormSettings.h"
#include "preview/PrevPrinter.h"

namespace treskel {

// What a push button keeps free beside its caption: frame and focus
// rectangle on both sides.
inline constexpr int kFontButtonPadding = 12;

class TPageSetupForm : public TForm {
    TRESKEL_CLASS(TPageSetupForm)
public:
    explicit TPageSetupForm(TComponent* owner) : TForm(owner) {}

    TGroupBox *PageMarginGroup = nullptr, *PageOrientGroup = nullptr, *HeaderGroup = nullptr, *FooterGroup = nullptr,
              *PageNumGroup = nullptr;
    TEdit *LeftEdit = nullptr, *RightEdit = nullptr, *TopEdit = nullptr, *BotEdit = nullptr;
    TRadioButton *InchBut = nullptr, *CentBut = nullptr, *PortBut = nullptr, *LandBut = nullptr;
    TShape *PortShape = nullptr, *LandShape = nullptr;
    TEdit *HeaderEdit = nullptr, *HdrMarginEdit = nullptr, *FooterEdit = nullptr, *FtrMarginEdit = nullptr,
          *PageNumEdit = nullptr;
    TRadioButton *HdrLeftBut = nullptr, *HdrCenterBut = nullptr, *HdrRightBut = nullptr;
    TRadioButton *FtrLeftBut = nullptr, *FtrCenterBut = nullptr, *FtrRightBut = nullptr;
    TPanel *Panel1 = nullptr, *Panel2 = nullptr;
    TRadioButton *PageBotBut = nullptr, *PageTopBut = nullptr, *PageNoneBut = nullptr;
    TRadioButton *PageLeftBut = nullptr, *PageCenterBut = nullptr, *PageRightBut = nullptr;
    TButton *HdrFontBut = nullptr, *FtrFontBut = nullptr, *PageNumFontBut = nullptr;
    TButton *OKBut = nullptr, *CancelBut = nullptr, *PrinterSetupBut = nullptr, *SetDefaultBut = nullptr;
    TFontDialog *HeaderFontDialog = nullptr, *FooterFontDialog = nullptr, *PageNumFontDialog = nullptr;
    TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
    TFormSettings* FormSettings1 = nullptr;

    // The options and printer to edit, given before showing.
    void SetOptions(TTextOptions* options, TPreviewPrinter* printer) {
        options_ = options;
        printer_ = printer;
    }
    void LoadFromOptions();
    // Reads the window back into the options; false (and nothing changed)
    // when a margin is not a number.  `say` tells the user which.
    bool SaveToOptions(bool say);
    // The stored defaults applied to the options; a bad stored value is
    // left out, and nothing here stops the program from starting.
    void LoadStoredOptions();

    void FormShow(TObject* Sender);
    void OKButClick(TObject* Sender);
    void FontButClick(TObject* Sender);
    void PrinterSetupButClick(TObject* Sender);
    void SetDefaultButClick(TObject* Sender);
    void OrientationClick(TObject* Sender);

private:
    void ShowFont(TFontDialog* dialog, TButton* button);
    void UpdateShapes();
    TTextOptions* options_ = nullptr;
    TPreviewPrinter* printer_ = nullptr;
};

void RegisterPageSetupClasses();

}  // namespace treskel

// The font and colour dialogs.
#include <utility>

#include "platform/Dialogs.h"
#include "platform/Printers.h"

namespace treskel {

namespace {
const std::pair<TFontDialogOption, DWORD> kFontFlags[] = {
    {TFontDialogOption::fdAnsiOnly, CF_ANSIONLY},
    {TFontDialogOption::fdTrueTypeOnly, CF_TTONLY},
    {TFontDialogOption::fdEffects, CF_EFFECTS},
    {TFontDialogOption::fdFixedPitchOnly, CF_FIXEDPITCHONLY},
    {TFontDialogOption::fdForceFontExist, CF_FORCEFONTEXIST},
    {TFontDialogOption::fdNoFaceSel, CF_NOFACESEL},
    {TFontDialogOption::fdNoOEMFonts, CF_NOOEMFONTS},
    {TFontDialogOption::fdNoSimulations, CF_NOSIMULATIONS},
    {TFontDialogOption::fdNoSizeSel, CF_NOSIZESEL},
    {TFontDialogOption::fdNoStyleSel, CF_NOSTYLESEL},
    {TFontDialogOption::fdNoVectorFonts, CF_NOVECTORFONTS},
    {TFontDialogOption::fdShowHelp, CF_SHOWHELP},
    {TFontDialogOption::fdWysiwyg, CF_WYSIWYG},
    {TFontDialogOption::fdLimitSize, CF_LIMITSIZE},
    {TFontDialogOption::fdScalableOnly, CF_SCALABLEONLY},
    {TFontDialogOption::fdApplyButton, CF_APPLY},
};

const std::pair<TColorDialogOption, DWORD> kColorFlags[] = {
    {TColorDialogOption::cdFullOpen, CC_FULLOPEN},
    {TColorDialogOption::cdPreventFullOpen, CC_PREVENTFULLOPEN},
    {TColorDialogOption::cdShowHelp, CC_SHOWHELP},
    {TColorDialogOption::cdSolidColor, CC_SOLIDCOLOR},
    {TColorDialogOption::cdAnyColor, CC_ANYCOLOR},
};

[[noreturn]] void DialogFailed(DWORD err) {
    throw EInvalidOperation(Format("The dialog could not be shown (error 0x%lX)", static_cast<unsigned long>(err)));
}
}  // namespace

// ------------------------------------------------------------ font dialog

bool TFontDialog::Execute() {
    return RunModal([this](HWND owner) {
        LOGFONTA lf = font_.ToLogFont();
        CHOOSEFONTA cf{};
        cf.lStructSize = sizeof cf;
        cf.hwndOwner = owner;
        cf.lpLogFont = &lf;
        cf.Flags = CF_INITTOLOGFONTSTRUCT;
        switch (device_) {
            case TFontDialogDevice::fdScreen: cf.Flags |= CF_SCREENFONTS; break;
            case TFontDialogDevice::fdPrinter: cf.Flags |= CF_PRINTERFONTS; break;
            case TFontDialogDevice::fdBoth: cf.Flags |= CF_BOTH; break;
        }
        if (device_ != TFontDialogDevice::fdScreen) cf.hDC = Printer()->Handle();
        for (auto [option, flag] : kFontFlags)
            if (options_.Contains(option)) cf.Flags |= flag;
        cf.rgbColors = ColorToRGB(font_.Color());
        if (options_.Contains(TFontDialogOption::fdLimitSize)) {
            cf.nSizeMin = minFontSize_;
            cf.nSizeMax = maxFontSize_;
        }
        if (!ChooseFontA(&cf)) {
            DWORD err = CommDlgExtendedError();
            if (err == 0) return false;
            DialogFailed(err);
        }
        // Build the answer aside so that the font changes once.
        TFont chosen;
        chosen.Assign(&font_);
        chosen.SetName(lf.lfFaceName);
        chosen.SetHeight(lf.lfHeight);
        TFontStyles style;
        if (lf.lfWeight >= FW_BOLD) style += TFontStyle::fsBold;
        if (lf.lfItalic) style += TFontStyle::fsItalic;
        if (lf.lfUnderline) style += TFontStyle::fsUnderline;
        if (lf.lfStrikeOut) style += TFontStyle::fsStrikeOut;
        chosen.SetStyle(style);
        chosen.SetCharset(lf.lfCharSet);
        switch (lf.lfPitchAndFamily & 3) {
            case FIXED_PITCH: chosen.SetPitch(TFontPitch::fpFixed); break;
            case VARIABLE_PITCH: chosen.SetPitch(TFontPitch::fpVariable); break;
            default: chosen.SetPitch(TFontPitch::fpDefault); break;
        }
        if (options_.Contains(TFontDialogOption::fdEffects)) chosen.SetColor(static_cast<TColor>(cf.rgbColors));
        font_.Assign(&chosen);
        return true;
    });
}

// ------------------------------------------------------------ colour dialog

TColorDialog::TColorDialog(TComponent* owner)
    : TCommonDialog(owner), customColors_(std::make_unique<TStringList>()) {}

TColorDialog::~TColorDialog() = default;

bool TColorDialog::Execute() {
    return RunModal([this](HWND owner) {
        COLORREF custom[16];
        for (int i = 0; i < 16; ++i) {
            std::string name = Format("Color%c", 'A' + i);
            std::string v = customColors_->Values(name);
            int value = 0;
            custom[i] = !v.empty() && TryStrToInt("$" + v, value) ? static_cast<COLORREF>(value & 0xFFFFFF)
                                                                  : RGB(255, 255, 255);
        }
        CHOOSECOLORA cc{};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = owner;
        cc.rgbResult = ColorToRGB(color_);
        cc.lpCustColors = custom;
        cc.Flags = CC_RGBINIT;
        for (auto [option, flag] : kColorFlags)
            if (options_.Contains(option)) cc.Flags |= flag;
        if (!ChooseColorA(&cc)) {
            DWORD err = CommDlgExtendedError();
            if (err == 0) return false;
            DialogFailed(err);
        }
        color_ = static_cast<TColor>(cc.rgbResult);
        for (int i = 0; i < 16; ++i)
            customColors_->SetValue(Format("Color%c", 'A' + i), IntToHex(custom[i] & 0xFFFFFF, 6));
        return true;
    });
}

}  // namespace treskel

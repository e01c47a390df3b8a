// Keeps a form's position and its controls' values in the registry under
// the current user's key "Software\<application title>\<form name>".
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Sets.h"

namespace treskel {

class TCustomIniFile;
class TFontDialog;

enum class TSaveValOption { svEdit, svMemo, svCheckBox, svRadioButton, svListBox, svComboBox, svFontDialog };
using TSaveValSet = Set<TSaveValOption>;

class TFormSettings : public TComponent {
    TRESKEL_CLASS(TFormSettings)
public:
    explicit TFormSettings(TComponent* owner) : TComponent(owner) {}

    bool SavePosition = true;
    bool SaveValues = false;
    bool LoadValues = false;
    TSaveValSet SaveValueOptions{TSaveValOption::svEdit,     TSaveValOption::svMemo,     TSaveValOption::svCheckBox,
                                 TSaveValOption::svRadioButton, TSaveValOption::svListBox, TSaveValOption::svComboBox,
                                 TSaveValOption::svFontDialog};
    std::string KeyName;
    TWinControl* RootControl = nullptr;

    // The key used: KeyName, or the one made from the title and owner.
    std::string EffectiveKey() const;
    void LoadSettings();
    void SaveSettings();
    void Loaded() override;

private:
    void ReadControlValues(TCustomIniFile& ini);
    void WriteControlValues(TCustomIniFile& ini);
    static void ReadFontValues(TCustomIniFile& ini, TFontDialog* dialog);
    static void WriteFontValues(TCustomIniFile& ini, TFontDialog* dialog);
};

void RegisterFormSettingsClasses();

}  // namespace treskel

// Keeps a form's position and its controls' values in the registry under
// the current user's key "Software\<application title>\<form name>".
#pragma once

#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Sets.h"

#include <vector>

namespace treskel {

class TCustomIniFile;
class TFontDialog;
class TForm;

enum class TSaveValOption { svEdit, svMemo, svCheckBox, svRadioButton, svListBox, svComboBox, svFontDialog };
TRESKEL_ENUM_INFO(TSaveValOption, "svEdit", "svMemo", "svCheckBox", "svRadioButton", "svListBox", "svComboBox",
                  "svFontDialog")
using TSaveValSet = Set<TSaveValOption>;

class TFormSettings : public TComponent {
    TRESKEL_CLASS(TFormSettings)
public:
    explicit TFormSettings(TComponent* owner) : TComponent(owner) {}

    bool SavePosition = true;
    bool SaveValues = false;
    bool LoadValues = false;
    // The kinds of control whose values are read and written.
    TSaveValSet SaveValueOptions = AllValueKinds();
    std::string KeyName;
    // Whose controls' values are kept: the controls placed in it (and the
    // components it owns); the owner form's while it is nil.
    TWinControl* RootControl() const { return rootControl_; }
    void SetRootControl(TWinControl* c);
    static TSaveValSet AllValueKinds() {
        return {TSaveValOption::svEdit,        TSaveValOption::svMemo,    TSaveValOption::svCheckBox,
                TSaveValOption::svRadioButton, TSaveValOption::svListBox, TSaveValOption::svComboBox,
                TSaveValOption::svFontDialog};
    }

    // The key used: KeyName, or the one made from the title and owner.
    std::string EffectiveKey() const;
    void LoadSettings();
    void SaveSettings();
    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    // A stored position is taken only when the window would show on a
    // monitor; otherwise the form places itself as its layout says.
    void ReadPosition(TCustomIniFile& ini, TForm* form);
    std::vector<TComponent*> ValueComponents() const;
    bool Kept(TComponent* c) const;
    void ReadControlValues(TCustomIniFile& ini);
    void WriteControlValues(TCustomIniFile& ini);
    static void ReadFontValues(TCustomIniFile& ini, TFontDialog* dialog);
    static void WriteFontValues(TCustomIniFile& ini, TFontDialog* dialog);
    TWinControl* rootControl_ = nullptr;
};

void RegisterFormSettingsClasses();

}  // namespace treskel

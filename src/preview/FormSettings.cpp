#include "preview/FormSettings.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <functional>

#include "platform/Dialogs.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/ListCtrls.h"
#include "platform/Registry.h"
#include "platform/StdCtrls.h"

namespace treskel {

namespace {
const char* const kValues = "Values";
const char* const kPosition = "Position";

TForm* OwnerForm(const TComponent* c) {
    return dynamic_cast<TForm*>(c->Owner());
}

// A stored integer; anything else leaves the current value.
int ReadInt(TCustomIniFile& ini, const std::string& section, const std::string& name, int current) {
    std::string s = ini.ReadString(section, name, "");
    if (s.empty() || s.size() > 11) return current;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    return *end == '\0' ? static_cast<int>(v) : current;
}
bool ReadBoolValue(TCustomIniFile& ini, const std::string& section, const std::string& name, bool current) {
    std::string s = ini.ReadString(section, name, "");
    if (s == "1") return true;
    if (s == "0") return false;
    return current;
}
}  // namespace

std::string TFormSettings::EffectiveKey() const {
    if (!KeyName.empty()) return KeyName;
    if (Owner() == nullptr) return "";
    return "Software\\" + EnsureApplication()->Title() + "\\" + Owner()->Name();
}

void TFormSettings::Loaded() {
    TComponent::Loaded();
    LoadSettings();
}

void TFormSettings::SetRootControl(TWinControl* c) {
    if (rootControl_ == c) return;
    if (rootControl_ != nullptr) rootControl_->RemoveFreeNotification(this);
    rootControl_ = c;
    if (c != nullptr) c->FreeNotification(this);
}

void TFormSettings::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == rootControl_) rootControl_ = nullptr;
}

void TFormSettings::ReadPosition(TCustomIniFile& ini, TForm* form) {
    const int none = INT_MIN;
    int left = ReadInt(ini, kPosition, "Left", none), top = ReadInt(ini, kPosition, "Top", none);
    int width = ReadInt(ini, kPosition, "Width", form->Width()), height = ReadInt(ini, kPosition, "Height", form->Height());
    if (width <= 0) width = form->Width();
    if (height <= 0) height = form->Height();
    if (left != none && top != none && EnsureScreen()->ShowsOnMonitor(Bounds(left, top, width, height))) {
        form->SetPosition(TPosition::poDesigned);
        form->SetBounds(left, top, width, height);
    }
    std::string state = ini.ReadString(kPosition, "WindowState", "Normal");
    for (char& c : state) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    form->SetWindowState(state == "MAXIMIZED"   ? TWindowState::wsMaximized
                         : state == "MINIMIZED" ? TWindowState::wsMinimized
                                                : TWindowState::wsNormal);
}

void TFormSettings::LoadSettings() {
    TForm* form = OwnerForm(this);
    if (form == nullptr || EffectiveKey().empty()) return;
    TRegIniFile ini(EffectiveKey());
    if (SavePosition) ReadPosition(ini, form);
    if (LoadValues) ReadControlValues(ini);
}

void TFormSettings::SaveSettings() {
    TForm* form = OwnerForm(this);
    if (form == nullptr || EffectiveKey().empty()) return;
    form->SetPosition(TPosition::poDesigned);
    TRegIniFile ini(EffectiveKey());
    if (SavePosition) {
        if (form->WindowState() == TWindowState::wsNormal) {
            ini.WriteString(kPosition, "Left", std::to_string(form->Left()));
            ini.WriteString(kPosition, "Top", std::to_string(form->Top()));
            ini.WriteString(kPosition, "Width", std::to_string(form->Width()));
            ini.WriteString(kPosition, "Height", std::to_string(form->Height()));
        }
        TWindowState s = form->WindowState();
        ini.WriteString(kPosition, "WindowState",
                        s == TWindowState::wsMaximized   ? "MAXIMIZED"
                        : s == TWindowState::wsMinimized ? "MINIMIZED"
                                                         : "NORMAL");
    }
    if (SaveValues) WriteControlValues(ini);
}

std::vector<TComponent*> TFormSettings::ValueComponents() const {
    TComponent* root = rootControl_ ? static_cast<TComponent*>(rootControl_) : Owner();
    std::vector<TComponent*> found;
    if (root == nullptr) return found;
    for (int i = 0; i < root->ComponentCount(); ++i) found.push_back(root->Components(i));
    // Controls in a panel or group box belong to the form: a root control
    // keeps those placed in it, at any depth.
    std::function<void(TWinControl*)> placed = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            if (std::find(found.begin(), found.end(), c) == found.end()) found.push_back(c);
            if (auto* w = dynamic_cast<TWinControl*>(c)) placed(w);
        }
    };
    if (rootControl_ != nullptr) placed(rootControl_);
    return found;
}

bool TFormSettings::Kept(TComponent* c) const {
    auto has = [this](TSaveValOption o) { return SaveValueOptions.Contains(o); };
    if (dynamic_cast<TCustomMemo*>(c)) return has(TSaveValOption::svMemo);
    if (dynamic_cast<TCustomEdit*>(c)) return has(TSaveValOption::svEdit);
    if (dynamic_cast<TCustomCheckBox*>(c)) return has(TSaveValOption::svCheckBox);
    if (dynamic_cast<TRadioButton*>(c)) return has(TSaveValOption::svRadioButton);
    if (dynamic_cast<TCustomListBox*>(c)) return has(TSaveValOption::svListBox);
    if (dynamic_cast<TCustomComboBox*>(c)) return has(TSaveValOption::svComboBox);
    if (dynamic_cast<TFontDialog*>(c)) return has(TSaveValOption::svFontDialog);
    return false;
}

void TFormSettings::ReadControlValues(TCustomIniFile& ini) {
    std::vector<TComponent*> all = ValueComponents();
    for (TComponent* c : all) {
        if (!Kept(c)) continue;
        const std::string& n = c->Name();
        if (auto* e = dynamic_cast<TCustomEdit*>(c)) e->SetText(ini.ReadString(kValues, n, e->GetText()));
        else if (auto* cb = dynamic_cast<TCustomCheckBox*>(c)) cb->SetChecked(ReadBoolValue(ini, kValues, n, cb->Checked()));
        else if (auto* r = dynamic_cast<TRadioButton*>(c)) r->SetChecked(ReadBoolValue(ini, kValues, n, r->Checked()));
        else if (auto* l = dynamic_cast<TCustomListControl*>(c)) l->SetItemIndex(ReadInt(ini, kValues, n, l->ItemIndex()));
    }
    for (TComponent* c : all)
        if (auto* f = dynamic_cast<TFontDialog*>(c); f != nullptr && Kept(f)) ReadFontValues(ini, f);
}

void TFormSettings::WriteControlValues(TCustomIniFile& ini) {
    std::vector<TComponent*> all = ValueComponents();
    for (TComponent* c : all) {
        if (!Kept(c)) continue;
        const std::string& n = c->Name();
        if (auto* e = dynamic_cast<TCustomEdit*>(c)) ini.WriteString(kValues, n, e->GetText());
        else if (auto* cb = dynamic_cast<TCustomCheckBox*>(c)) ini.WriteString(kValues, n, cb->Checked() ? "1" : "0");
        else if (auto* r = dynamic_cast<TRadioButton*>(c)) ini.WriteString(kValues, n, r->Checked() ? "1" : "0");
        else if (auto* l = dynamic_cast<TCustomListControl*>(c)) ini.WriteString(kValues, n, std::to_string(l->ItemIndex()));
    }
    for (TComponent* c : all)
        if (auto* f = dynamic_cast<TFontDialog*>(c); f != nullptr && Kept(f)) WriteFontValues(ini, f);
}

void TFormSettings::ReadFontValues(TCustomIniFile& ini, TFontDialog* dialog) {
    TFont* f = dialog->Font();
    const std::string n = dialog->Name();
    std::string name = ini.ReadString(kValues, n + "_Name", f->Name());
    if (!name.empty() && name.size() < LF_FACESIZE) f->SetName(name);
    int size = ReadInt(ini, kValues, n + "_Size", f->Size());
    if (size >= 1 && size <= 1638) f->SetSize(size);
    f->SetColor(static_cast<TColor>(ReadInt(ini, kValues, n + "_Color", static_cast<int>(f->Color()))));
    TFontStyles style = f->Style();
    auto bit = [&](const char* suffix, TFontStyle s) {
        bool on = ReadBoolValue(ini, kValues, n + suffix, style.Contains(s));
        if (on) style.Include(s);
        else style.Exclude(s);
    };
    bit("_Bold", TFontStyle::fsBold);
    bit("_Italic", TFontStyle::fsItalic);
    bit("_Underline", TFontStyle::fsUnderline);
    bit("_StrikeOut", TFontStyle::fsStrikeOut);
    f->SetStyle(style);
}

void TFormSettings::WriteFontValues(TCustomIniFile& ini, TFontDialog* dialog) {
    TFont* f = dialog->Font();
    const std::string n = dialog->Name();
    ini.WriteString(kValues, n + "_Name", f->Name());
    ini.WriteString(kValues, n + "_Size", std::to_string(f->Size()));
    ini.WriteString(kValues, n + "_Color", std::to_string(static_cast<int>(f->Color())));
    ini.WriteString(kValues, n + "_Bold", f->Style().Contains(TFontStyle::fsBold) ? "1" : "0");
    ini.WriteString(kValues, n + "_Italic", f->Style().Contains(TFontStyle::fsItalic) ? "1" : "0");
    ini.WriteString(kValues, n + "_Underline", f->Style().Contains(TFontStyle::fsUnderline) ? "1" : "0");
    ini.WriteString(kValues, n + "_StrikeOut", f->Style().Contains(TFontStyle::fsStrikeOut) ? "1" : "0");
}

void RegisterFormSettingsClasses() {
    PublishClass<TFormSettings, TComponent>()
        .Bool("SavePosition", &TFormSettings::SavePosition, [](TFormSettings* s, bool v) { s->SavePosition = v; }, true)
        .Bool("SaveValues", &TFormSettings::SaveValues, [](TFormSettings* s, bool v) { s->SaveValues = v; })
        .Bool("LoadValues", &TFormSettings::LoadValues, [](TFormSettings* s, bool v) { s->LoadValues = v; })
        .SetOf<TSaveValOption>("SaveValueOptions", &TFormSettings::SaveValueOptions,
                               [](TFormSettings* s, TSaveValSet v) { s->SaveValueOptions = v; },
                               TFormSettings::AllValueKinds())
        .String("KeyName", &TFormSettings::KeyName,
                [](TFormSettings* s, const std::string& v) { s->KeyName = v; })
        .Ref<TWinControl>("RootControl", &TFormSettings::RootControl, &TFormSettings::SetRootControl);
}

}  // namespace treskel

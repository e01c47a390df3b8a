#include "winutil/Placemnt.h"

#include "platform/ControlsHooks.h"
#include "platform/Register.h"
#include "platform/Registry.h"
#include "winutil/AppUtils.h"

namespace treskel {

TFormPlacement::TFormPlacement(TComponent* owner) : TComponent(owner) {
    if (dynamic_cast<TForm*>(owner) == nullptr) options_ = {};
}

TFormPlacement::~TFormPlacement() {
    CloseStore();
    RestoreFormEvents();
}

std::string TFormPlacement::IniFileName() const {
    if (!iniFileName_.empty()) return iniFileName_;
    return useRegistry_ ? DefaultRegistryKey() : DefaultIniFileName();
}

std::string TFormPlacement::IniSection() const {
    return iniSection_.empty() ? DefaultPlacementSection(Owner()) : iniSection_;
}

void TFormPlacement::Loaded() {
    TComponent::Loaded();
    ChainFormEvents();
}

void TFormPlacement::ChainFormEvents() {
    TCustomForm* form = Form();
    if (form == nullptr || chained_) return;
    chained_ = true;
    saveShow_ = form->OnShow;
    saveCloseQuery_ = form->OnCloseQuery;
    saveDestroy_ = form->OnDestroy;
    form->OnShow = [this](TObject* sender) {
        // Only the first showing: a window coming back from hiding keeps
        // where the user left it.
        if (active_ && !restored_) RestoreFromStore();
        if (saveShow_) saveShow_(sender);
    };
    form->OnCloseQuery = [this](TObject* sender, bool& canClose) {
        if (saveCloseQuery_) saveCloseQuery_(sender, canClose);
        if (!canClose || !active_ || Form() == nullptr || !Form()->HandleAllocated()) return;
        try {
            SaveToStore();
        } catch (...) {
            HandleCallbackException();
        }
    };
    form->OnDestroy = [this](TObject* sender) {
        if (active_ && !saved_) {
            destroying_ = true;
            try {
                SaveToStore();
            } catch (...) {
                HandleCallbackException();
            }
            destroying_ = false;
        }
        if (saveDestroy_) saveDestroy_(sender);
    };
}

void TFormPlacement::RestoreFormEvents() {
    TCustomForm* form = Form();
    if (form == nullptr || !chained_) return;
    chained_ = false;
    form->OnShow = saveShow_;
    form->OnCloseQuery = saveCloseQuery_;
    form->OnDestroy = saveDestroy_;
}

void TFormPlacement::OpenStore() {
    if (store_) return;
    if (useRegistry_)
        store_ = std::make_unique<TRegIniFile>(IniFileName());
    else
        store_ = std::make_unique<TIniFile>(IniFileName());
}

std::string TFormPlacement::DoReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) {
    bool opened = !store_;
    OpenStore();
    std::string s = StoreReadString(store_.get(), section, ident, def);
    if (opened) CloseStore();
    return s;
}

void TFormPlacement::DoWriteString(const std::string& section, const std::string& ident, const std::string& value) {
    bool opened = !store_;
    OpenStore();
    StoreWriteString(store_.get(), section, ident, value);
    if (opened) CloseStore();
}

void TFormPlacement::DoSave() {
    if (OnSavePlacement) OnSavePlacement(this);
}

void TFormPlacement::DoRestore() {
    if (OnRestorePlacement) OnRestorePlacement(this);
}

void TFormPlacement::SaveToStore() {
    // A placement that was never put back is not written over.
    if (active_ && !restored_) return;
    OpenStore();
    SavePlacement();
    DoSave();
    saved_ = true;
    CloseStore();
}

void TFormPlacement::RestoreFromStore() {
    saved_ = false;
    OpenStore();
    RestorePlacement();
    restored_ = true;
    DoRestore();
    TCustomForm* form = Form();
    if (options_.Contains(TPlacementOption::fpActiveControl) && form != nullptr) {
        std::string name = StoreReadString(store_.get(), IniSection(), "ActiveControl", "");
        auto* control = dynamic_cast<TWinControl*>(form->FindComponent(name));
        if (!name.empty() && control != nullptr && control->CanFocus()) form->SetActiveControl(control);
    }
    CloseStore();
}

void TFormPlacement::SavePlacement() {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    SaveWindowPlacement(form, store_.get(), IniSection());
    if (options_.Contains(TPlacementOption::fpActiveControl) && form->ActiveControl() != nullptr)
        StoreWriteString(store_.get(), IniSection(), "ActiveControl", form->ActiveControl()->Name());
    StoreWriteString(store_.get(), IniSection(), "Visible", destroying_ ? "1" : "0");
}

void TFormPlacement::RestorePlacement() {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    LoadWindowPlacement(form, store_.get(), IniSection(), options_.Contains(TPlacementOption::fpState),
                        options_.Contains(TPlacementOption::fpPosition));
}

void RegisterPlacementClasses() {
    PublishClass<TFormPlacement, TComponent>()
        .Bool("Active", &TFormPlacement::Active, &TFormPlacement::SetActive, true)
        .String("IniFileName", &TFormPlacement::IniFileName, &TFormPlacement::SetIniFileName)
        .String("IniSection", &TFormPlacement::IniSection, &TFormPlacement::SetIniSection)
        .Bool("UseRegistry", &TFormPlacement::UseRegistry, &TFormPlacement::SetUseRegistry);
}

}  // namespace treskel

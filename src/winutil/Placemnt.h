// Keeps a form's position, size and state in an INI file or the registry:
// put back when the form is shown, saved when it closes or goes.
#pragma once

#include <memory>
#include <string>

#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "platform/Sets.h"

namespace treskel {

enum class TPlacementOption { fpState, fpPosition, fpActiveControl };
using TPlacementOptions = Set<TPlacementOption>;

class TFormPlacement : public TComponent {
    TRESKEL_CLASS(TFormPlacement)
public:
    explicit TFormPlacement(TComponent* owner);
    ~TFormPlacement() override;

    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    std::string IniFileName() const;
    void SetIniFileName(const std::string& v) { iniFileName_ = v; }
    std::string IniSection() const;
    void SetIniSection(const std::string& v) { iniSection_ = v; }
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions v) { options_ = v; }
    bool UseRegistry() const { return useRegistry_; }
    void SetUseRegistry(bool v) { useRegistry_ = v; }
    TNotifyEvent OnSavePlacement;
    TNotifyEvent OnRestorePlacement;

    void SaveToStore();
    void RestoreFromStore();
    virtual void SavePlacement();
    virtual void RestorePlacement();
    virtual std::string DoReadString(const std::string& section, const std::string& ident, const std::string& def);
    virtual void DoWriteString(const std::string& section, const std::string& ident, const std::string& value);
    bool Restored() const { return restored_; }
    // Chains the form's events once the layout is read.
    void Loaded() override;

protected:
    virtual void DoSave();
    virtual void DoRestore();

private:
    void OpenStore();
    void CloseStore() { store_.reset(); }
    void ChainFormEvents();
    void RestoreFormEvents();
    TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Owner()); }

    bool active_ = true;
    std::string iniFileName_, iniSection_;
    TPlacementOptions options_{TPlacementOption::fpState, TPlacementOption::fpPosition};
    bool useRegistry_ = false;
    std::unique_ptr<TCustomIniFile> store_;
    bool saved_ = false, restored_ = false, destroying_ = false, chained_ = false;
    TNotifyEvent saveShow_;
    TCloseQueryEvent saveCloseQuery_;
    TNotifyEvent saveDestroy_;
};

void RegisterPlacementClasses();

}  // namespace treskel

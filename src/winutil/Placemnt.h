// Keeps a form's position, size and state in an INI file or the registry:
// put back when the form is shown, saved when it closes or goes.  It can
// also hold the form between sizes and forbid resizing, watching the
// form's messages through a window hook.
#pragma once

#include <memory>
#include <string>

#include "platform/Forms.h"
#include "platform/IniFiles.h"
#include "platform/Sets.h"
#include "winutil/WuHook.h"

namespace treskel {

enum class TPlacementOption { fpState, fpPosition, fpActiveControl };
TRESKEL_ENUM_INFO(TPlacementOption, "fpState", "fpPosition", "fpActiveControl")
using TPlacementOptions = Set<TPlacementOption>;

class TFormPlacement;

// The sizes a form keeps to; a value of 0 leaves the system's own.
class TWinMinMaxInfo : public TPersistent {
    TRESKEL_CLASS(TWinMinMaxInfo)
public:
    explicit TWinMinMaxInfo(TFormPlacement* placement) : placement_(placement) {}
    const MINMAXINFO& Info() const { return info_; }
    int MaxPosLeft() const { return info_.ptMaxPosition.x; }
    void SetMaxPosLeft(int v) { Set(info_.ptMaxPosition.x, v); }
    int MaxPosTop() const { return info_.ptMaxPosition.y; }
    void SetMaxPosTop(int v) { Set(info_.ptMaxPosition.y, v); }
    int MaxSizeHeight() const { return info_.ptMaxSize.y; }
    void SetMaxSizeHeight(int v) { Set(info_.ptMaxSize.y, v); }
    int MaxSizeWidth() const { return info_.ptMaxSize.x; }
    void SetMaxSizeWidth(int v) { Set(info_.ptMaxSize.x, v); }
    int MaxTrackHeight() const { return info_.ptMaxTrackSize.y; }
    void SetMaxTrackHeight(int v) { Set(info_.ptMaxTrackSize.y, v); }
    int MaxTrackWidth() const { return info_.ptMaxTrackSize.x; }
    void SetMaxTrackWidth(int v) { Set(info_.ptMaxTrackSize.x, v); }
    int MinTrackHeight() const { return info_.ptMinTrackSize.y; }
    void SetMinTrackHeight(int v) { Set(info_.ptMinTrackSize.y, v); }
    int MinTrackWidth() const { return info_.ptMinTrackSize.x; }
    void SetMinTrackWidth(int v) { Set(info_.ptMinTrackSize.x, v); }
    bool DefaultMinMaxInfo() const;
    void Assign(TPersistent* source) override;

private:
    void Set(LONG& field, int v);
    TFormPlacement* placement_;
    MINMAXINFO info_{};
};

class TFormPlacement : public TComponent {
    TRESKEL_CLASS(TFormPlacement)
public:
    explicit TFormPlacement(TComponent* owner);
    ~TFormPlacement() override;

    bool Active() const { return active_; }
    void SetActive(bool v) { active_ = v; }
    // The name and section given; the getters supply defaults for empty ones.
    std::string IniFileName() const;
    const std::string& GivenIniFileName() const { return iniFileName_; }
    void SetIniFileName(const std::string& v) { iniFileName_ = v; }
    std::string IniSection() const;
    const std::string& GivenIniSection() const { return iniSection_; }
    void SetIniSection(const std::string& v) { iniSection_ = v; }
    TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_.get(); }
    void SetMinMaxInfo(TWinMinMaxInfo* v) { minMaxInfo_->Assign(v); }
    TPlacementOptions Options() const { return options_; }
    void SetOptions(TPlacementOptions v) { options_ = v; }
    bool PreventResize() const { return preventResize_; }
    void SetPreventResize(bool v);
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
    // Puts the maximised position where the frame lies just off the screen.
    void UpdateMaxPosition();
    // Watches the form only while sizes are held or resizing is forbidden.
    void CheckToggleHook();
    void MinMaxInfoChanged();
    // The hook that watches the form (its control is null while unused).
    TWuWindowHook* WindowHook() const { return hook_; }
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
    // `switched`: the option was just turned on or off (not re-applied).
    void UpdatePreventResize(bool switched);
    void WndMessage(TObject* sender, TMessage& m, bool& handled);
    void PreventedResizeMessage(TMessage& m);
    void MinMaxMessage(TMessage& m);
    TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Owner()); }
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }

    bool active_ = true;
    std::string iniFileName_, iniSection_;
    TPlacementOptions options_{TPlacementOption::fpState, TPlacementOption::fpPosition};
    bool useRegistry_ = false;
    bool preventResize_ = false;
    std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
    TWuWindowHook* hook_;  // owned by this component
    std::unique_ptr<TCustomIniFile> store_;
    bool saved_ = false, restored_ = false, destroying_ = false, chained_ = false;
    bool defMaximize_ = false;  // the form had a maximise button
    TNotifyEvent saveShow_;
    TCloseQueryEvent saveCloseQuery_;
    TNotifyEvent saveDestroy_;
};

void RegisterPlacementClasses();

}  // namespace treskel

#include "winutil/SubCls.h"

#include <algorithm>

namespace treskel {

namespace {
std::vector<std::unique_ptr<TControlSubclassInfo>>& SubclassList() {
    static std::vector<std::unique_ptr<TControlSubclassInfo>> list;
    return list;
}

void RemoveInfo(TControlSubclassInfo* info) {
    auto& list = SubclassList();
    auto it = std::find_if(list.begin(), list.end(), [&](auto& p) { return p.get() == info; });
    if (it == list.end()) return;
    // Out of the list before it goes: its end must not find itself there.
    std::unique_ptr<TControlSubclassInfo> gone = std::move(*it);
    list.erase(it);
}
}  // namespace

TControlSubclassInfo::TControlSubclassInfo(TControl* control)
    : TComponent(nullptr), control_(control), saved_(control->WindowProc) {
    control->FreeNotification(this);
    control->WindowProc = [this, alive = alive_](TMessage& m) {
        if (*alive) WndProc(m);
    };
}

TControlSubclassInfo::~TControlSubclassInfo() { *alive_ = false; }

void TControlSubclassInfo::Restore() {
    if (control_ == nullptr) return;
    control_->WindowProc = saved_;
    control_->RemoveFreeNotification(this);
    control_ = nullptr;
}

void TControlSubclassInfo::WndProc(TMessage& message) {
    // Copies: a hook may detach itself or another while it runs, and the
    // control may go (and this record with it) inside its own procedure.
    std::vector<TControlSubclass*> hooks = hooks_;
    std::function<void(TMessage&)> saved = saved_;
    std::shared_ptr<bool> alive = alive_;
    for (TControlSubclass* h : hooks) h->BeforeWndProc(message);
    // A swallowed message keeps the result its hook gave: the control
    // has nothing to do with a null message.
    const bool swallowed = message.Msg == 0 && message.Result != 0;
    if (saved && !swallowed) saved(message);
    if (message.Msg == CM_RELEASE || !*alive) return;
    for (TControlSubclass* h : hooks)
        if (std::find(hooks_.begin(), hooks_.end(), h) != hooks_.end()) h->AfterWndProc(message);
}

void TControlSubclassInfo::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove || component != control_) return;
    // The control is ending: nothing to give back to it.
    control_ = nullptr;
    hooks_.clear();
    RemoveInfo(this);
}

TControlSubclassInfo* FindSubclassInfo(TControl* control) {
    for (auto& info : SubclassList())
        if (info->Control() == control) return info.get();
    return nullptr;
}

void AttachSubclass(TControl* control, TControlSubclass* hook) {
    if (control == nullptr || hook == nullptr) return;
    TControlSubclassInfo* info = FindSubclassInfo(control);
    if (info == nullptr) {
        SubclassList().push_back(std::make_unique<TControlSubclassInfo>(control));
        info = SubclassList().back().get();
    }
    info->Hooks().push_back(hook);
}

void DetachSubclass(TControl* control, TControlSubclass* hook) {
    TControlSubclassInfo* info = control != nullptr ? FindSubclassInfo(control) : nullptr;
    if (info == nullptr) return;
    auto& hooks = info->Hooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), hook), hooks.end());
    if (!hooks.empty()) return;
    info->Restore();
    RemoveInfo(info);
}

}  // namespace treskel

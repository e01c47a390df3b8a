#include "platform/ActnList.h"

#include <algorithm>

namespace treskel {

// ------------------------------------------------------------ links

TActionLink::~TActionLink() { SetAction(nullptr); }

void TActionLink::SetAction(TBasicAction* action) {
    if (action == action_) return;
    if (action_ != nullptr) action_->UnRegisterChanges(this);
    action_ = action;
    if (action_ != nullptr) action_->RegisterChanges(this);
}

bool TActionLink::Execute() { return action_ != nullptr && action_->Execute(); }

// ------------------------------------------------------------ actions

TBasicAction::~TBasicAction() {
    // Clients forget the action before it goes.
    for (TActionLink* l : std::vector<TActionLink*>(clients_)) l->SetAction(nullptr);
}

void TBasicAction::RegisterChanges(TActionLink* link) {
    if (std::find(clients_.begin(), clients_.end(), link) == clients_.end()) clients_.push_back(link);
}

void TBasicAction::UnRegisterChanges(TActionLink* link) {
    clients_.erase(std::remove(clients_.begin(), clients_.end(), link), clients_.end());
}

void TBasicAction::Change() {
    for (TActionLink* l : std::vector<TActionLink*>(clients_))
        if (l->OnChange) l->OnChange(this);
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

TContainedAction::~TContainedAction() {
    if (actionList_ != nullptr) actionList_->RemoveAction(this);
}

void TContainedAction::SetActionList(TCustomActionList* list) {
    if (list == actionList_) return;
    if (actionList_ != nullptr) actionList_->RemoveAction(this);
    if (list != nullptr) list->AddAction(this);
}

int TContainedAction::Index() const { return actionList_ != nullptr ? actionList_->IndexOf(this) : -1; }

TComponent* TContainedAction::GetParentComponent() const { return actionList_; }

void TContainedAction::SetParentComponent(TComponent* parent) {
    if (auto* list = dynamic_cast<TCustomActionList*>(parent)) SetActionList(list);
}

bool TContainedAction::Execute() {
    // The list may take the action over first.
    if (actionList_ != nullptr && actionList_->OnExecute) {
        bool handled = false;
        actionList_->OnExecute(this, handled);
        if (handled) return true;
    }
    return TBasicAction::Execute();
}

bool TContainedAction::Update() {
    if (actionList_ != nullptr && actionList_->OnUpdate) {
        bool handled = false;
        actionList_->OnUpdate(this, handled);
        if (handled) return true;
    }
    return TBasicAction::Update();
}

void TCustomAction::SetCaption(const std::string& v) {
    if (v == caption_) return;
    caption_ = v;
    Change();
}

void TCustomAction::SetHint(const std::string& v) {
    if (v == hint_) return;
    hint_ = v;
    Change();
}

void TCustomAction::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Change();
}

void TCustomAction::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Change();
}

void TCustomAction::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Change();
}

void TCustomAction::SetShortCut(TShortCut v) {
    if (v == shortCut_) return;
    shortCut_ = v;
    Change();
}

void TCustomAction::SetImageIndex(int v) {
    if (v == imageIndex_) return;
    imageIndex_ = v;
    Change();
}

// ------------------------------------------------------------ lists

TCustomActionList::~TCustomActionList() {
    for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) RemoveAction(a);
}

void TCustomActionList::AddAction(TContainedAction* action) {
    if (std::find(actions_.begin(), actions_.end(), action) != actions_.end()) return;
    actions_.push_back(action);
    action->SetActionListField(this);
    action->FreeNotification(this);
    if (OnChange) OnChange(this);
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
    auto it = std::find(actions_.begin(), actions_.end(), action);
    if (it == actions_.end()) return;
    actions_.erase(it);
    action->SetActionListField(nullptr);
    if (OnChange) OnChange(this);
}

int TCustomActionList::IndexOf(const TContainedAction* action) const {
    auto it = std::find(actions_.begin(), actions_.end(), action);
    return it == actions_.end() ? -1 : static_cast<int>(it - actions_.begin());
}

bool TCustomActionList::IsShortCut(TShortCut shortCut) {
    for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) {
        auto* ca = dynamic_cast<TCustomAction*>(a);
        if (ca == nullptr || ca->ShortCut() != shortCut) continue;
        ca->Update();
        if (!ca->Enabled()) return false;
        return ca->Execute();
    }
    return false;
}

void TCustomActionList::UpdateActions() {
    for (TContainedAction* a : std::vector<TContainedAction*>(actions_)) a->Update();
}

void TCustomActionList::SetImages(TCustomImageList* images) { images_ = images; }

void TCustomActionList::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TContainedAction* a : actions_)
        if (a->Owner() == root) proc(a);
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove) {
        if (auto* a = dynamic_cast<TContainedAction*>(component)) RemoveAction(a);
        if (static_cast<void*>(component) == static_cast<void*>(images_)) images_ = nullptr;
    }
}

}  // namespace treskel

// Actions and action lists: commands with caption, hint, shortcut, image
// and enabled state, shared by the buttons and menu items bound to them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/Types.h"

namespace treskel {

class TBasicAction;
class TCustomActionList;
class TCustomImageList;
class TControl;

// Connects a client (control, menu item) to an action.
class TActionLink : public TObject {
    TRESKEL_CLASS(TActionLink)
public:
    explicit TActionLink(TObject* client) : client_(client) {}
    ~TActionLink() override;
    TBasicAction* Action() const { return action_; }
    void SetAction(TBasicAction* action);
    bool Execute();
    // The action changed: the client takes over what it shows.
    std::function<void(TBasicAction*)> OnChange;
    TObject* Client() const { return client_; }

private:
    TObject* client_;
    TBasicAction* action_ = nullptr;
};

class TControlActionLink : public TActionLink {
    TRESKEL_CLASS(TControlActionLink)
public:
    using TActionLink::TActionLink;
};

class TBasicAction : public TComponent {
    TRESKEL_CLASS(TBasicAction)
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    ~TBasicAction() override;
    // Runs OnExecute (after the list's OnExecute had its say); false when
    // nothing handled it.
    virtual bool Execute();
    virtual bool Update();
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
    void RegisterChanges(TActionLink* link);
    void UnRegisterChanges(TActionLink* link);

protected:
    void Change();

private:
    std::vector<TActionLink*> clients_;
};

class TContainedAction : public TBasicAction {
    TRESKEL_CLASS(TContainedAction)
public:
    explicit TContainedAction(TComponent* owner) : TBasicAction(owner) {}
    ~TContainedAction() override;
    TCustomActionList* ActionList() const { return actionList_; }
    void SetActionList(TCustomActionList* list);
    std::string Category() const { return category_; }
    void SetCategory(const std::string& c) { category_ = c; }
    int Index() const;
    bool Execute() override;
    bool Update() override;

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;

private:
    friend class TCustomActionList;
    void SetActionListField(TCustomActionList* list) { actionList_ = list; }
    TCustomActionList* actionList_ = nullptr;
    std::string category_;
};

class TCustomAction : public TContainedAction {
    TRESKEL_CLASS(TCustomAction)
public:
    explicit TCustomAction(TComponent* owner) : TContainedAction(owner) {}

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int v) { helpContext_ = v; }
    bool DisableIfNoHandler() const { return disableIfNoHandler_; }
    void SetDisableIfNoHandler(bool v) { disableIfNoHandler_ = v; }

private:
    std::string caption_, hint_;
    bool enabled_ = true, checked_ = false, visible_ = true;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    int helpContext_ = 0;
    bool disableIfNoHandler_ = true;
};

class TAction : public TCustomAction {
    TRESKEL_CLASS(TAction)
public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

using TActionEvent = std::function<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public TComponent {
    TRESKEL_CLASS(TCustomActionList)
public:
    explicit TCustomActionList(TComponent* owner) : TComponent(owner) {}
    ~TCustomActionList() override;

    int ActionCount() const { return static_cast<int>(actions_.size()); }
    TContainedAction* Actions(int index) const { return actions_.at(static_cast<size_t>(index)); }
    void AddAction(TContainedAction* action);
    void RemoveAction(TContainedAction* action);
    int IndexOf(const TContainedAction* action) const;
    // Executes the action whose shortcut this is; true when one ran.
    bool IsShortCut(TShortCut shortCut);
    // Runs the list's OnUpdate and every action's update.
    void UpdateActions();

    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);

    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    TNotifyEvent OnChange;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::vector<TContainedAction*> actions_;
    TCustomImageList* images_ = nullptr;
};

class TActionList : public TCustomActionList {
    TRESKEL_CLASS(TActionList)
public:
    explicit TActionList(TComponent* owner) : TCustomActionList(owner) {}
};


}  // namespace treskel

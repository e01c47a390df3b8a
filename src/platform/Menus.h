// Menus: items with caption, shortcut, check mark, image and action; the
// main menu of a form and pop-up menus.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ActnList.h"
#include "platform/Classes.h"
#include "platform/Handles.h"
#include "platform/Types.h"

namespace treskel {

class TMenu;
class TControl;
class TCustomImageList;

class TMenuItem : public TComponent {
    TRESKEL_CLASS(TMenuItem)
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c);
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut s);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    std::string Hint() const { return hint_; }
    void SetHint(const std::string& h) { hint_ = h; }
    TBasicAction* Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }
    void SetAction(TBasicAction* action);

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    TMenuItem* Parent() const { return parent_; }
    int MenuIndex() const;
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void Delete(int index);
    void Clear();
    TMenuItem* Find(const std::string& caption) const;
    TMenu* GetParentMenu() const;

    WORD Command() const { return command_; }
    HMENU Handle();  // the pop-up of this item's sub-items
    virtual void Click();

    bool HasParent() const override { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* parent) override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

    TNotifyEvent OnClick;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TMenu;
    friend class TMainMenu;
    void ActionChange(TBasicAction* action);
    void MenuChanged();
    void RebuildHandle();
    void AppendTo(HMENU menu);
    TMenuItem* FindCommand(WORD command);
    bool IsShortCut(TShortCut sc);

    std::string caption_, hint_;
    bool checked_ = false, enabled_ = true, visible_ = true, radioItem_ = false, default_ = false;
    int groupIndex_ = 0;
    TShortCut shortCut_ = 0;
    int imageIndex_ = -1;
    WORD command_;
    MenuHandle handle_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // the menu whose root this is
    std::unique_ptr<TActionLink> actionLink_;
};

class TMenu : public TComponent {
    TRESKEL_CLASS(TMenu)
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    TMenuItem* Items() const { return items_.get(); }
    virtual HMENU Handle();
    TCustomImageList* Images() const { return images_; }
    void SetImages(TCustomImageList* images);
    // Runs the item whose shortcut this is; true when one ran.
    bool IsShortCut(TShortCut sc);
    // Runs the item of a menu command; true when it was one of ours.
    bool DispatchCommand(WORD command);
    TMenuItem* FindItem(WORD command);
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    virtual void MenuChanged();

protected:
    void Notification(TComponent* component, TOperation operation) override;
    std::unique_ptr<TMenuItem> items_;  // the root; the items themselves belong to the form

private:
    TCustomImageList* images_ = nullptr;
};

class TMainMenu : public TMenu {
    TRESKEL_CLASS(TMainMenu)
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    HMENU Handle() override;
    void MenuChanged() override;

private:
    HMENU bar_ = nullptr;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
TRESKEL_ENUM_INFO(TPopupAlignment, "paLeft", "paRight", "paCenter")

class TPopupMenu : public TMenu {
    TRESKEL_CLASS(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    // Shows the menu at a point of the screen and runs the chosen item.
    virtual void Popup(int x, int y);
    // The control or component the menu last popped up for.
    TComponent* PopupComponent() const { return popupComponent_; }
    // Where the menu last popped up, in screen coordinates.
    TPoint PopupPoint() const { return popupPoint_; }
    void SetPopupComponent(TComponent* c) { popupComponent_ = c; }
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment a) { alignment_ = a; }
    TNotifyEvent OnPopup;

    // Tests answer the next pop-up with this instead of the real menu:
    // it gets the menu and returns the command chosen (0: none).
    static std::function<WORD(TPopupMenu*)> TestChooser;

private:
    TComponent* popupComponent_ = nullptr;
    TPoint popupPoint_{0, 0};
    bool autoPopup_ = true;
    TPopupAlignment alignment_ = TPopupAlignment::paLeft;
};

// Lets controls show their pop-up menus and forms run menu commands.
void InstallMenuHooks();

// Removes '&' markers: "&Open" -> "Open".
std::string StripHotkey(const std::string& caption);


}  // namespace treskel

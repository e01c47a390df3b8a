#include "platform/Menus.h"

#include <algorithm>
#include <map>

#include "platform/Controls.h"
#include "platform/ControlsHooks.h"
#include "platform/Forms.h"

namespace treskel {

std::function<WORD(TPopupMenu*)> TPopupMenu::TestChooser;

namespace {
std::map<WORD, TMenuItem*>& Commands() {
    static std::map<WORD, TMenuItem*> commands;
    return commands;
}

WORD NewCommand(TMenuItem* item) {
    static WORD next = 0x1000;
    for (int tries = 0; tries < 0xE000; ++tries) {
        WORD c = next++;
        if (next >= 0xF000) next = 0x1000;
        if (Commands().find(c) == Commands().end()) {
            Commands()[c] = item;
            return c;
        }
    }
    throw EMenuError("Too many menu items");
}

std::vector<TMenu*>& AllMenus() {
    static std::vector<TMenu*> menus;
    return menus;
}

}  // namespace

// Installed at start-up (not during static initialisation, where the
// hooks themselves may not exist yet).
void InstallMenuHooks() {
    hooks::DispatchMenuCommand = [](WORD id) {
        auto it = Commands().find(id);
        if (it == Commands().end()) return false;
        it->second->Click();
        return true;
    };
    hooks::PopupControlMenu = [](TControl* control, TPoint pos) {
        TPopupMenu* menu = control->PopupMenu();
        if (menu == nullptr || !menu->AutoPopup()) return;
        menu->SetPopupComponent(control);
        menu->Popup(pos.x, pos.y);
    };
}

std::string StripHotkey(const std::string& caption) {
    std::string r;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&') {
            if (i + 1 < caption.size() && caption[i + 1] == '&') {
                r += '&';
                ++i;
            }
            continue;
        }
        r += caption[i];
    }
    return r;
}

// ------------------------------------------------------------ TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NewCommand(this)) {}

TMenuItem::~TMenuItem() {
    actionLink_.reset();
    for (TMenuItem* i : items_) i->parent_ = nullptr;
    items_.clear();
    if (parent_ != nullptr) parent_->Remove(this);
    Commands().erase(command_);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && actionLink_ && component == actionLink_->Action()) SetAction(nullptr);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (parent_ != nullptr && parent_->menu_ != nullptr) return parent_->menu_;
    return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* m = dynamic_cast<TMenu*>(parent)) m->Items()->Add(this);
    else if (auto* i = dynamic_cast<TMenuItem*>(parent)) i->Add(this);
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TMenuItem* i : items_)
        if (i->Owner() == root) proc(i);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->parent_ != nullptr) i = i->parent_;
    return i->menu_;
}

void TMenuItem::MenuChanged() {
    if (TMenu* m = GetParentMenu()) m->MenuChanged();
}

void TMenuItem::SetCaption(const std::string& c) {
    if (c == caption_) return;
    caption_ = c;
    MenuChanged();
}

void TMenuItem::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    // A checked radio item unchecks the others of its group.
    if (v && radioItem_ && parent_ != nullptr)
        for (TMenuItem* s : parent_->items_)
            if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_) s->checked_ = false;
    MenuChanged();
}

void TMenuItem::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    MenuChanged();
}

void TMenuItem::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    MenuChanged();
}

void TMenuItem::SetRadioItem(bool v) {
    radioItem_ = v;
    MenuChanged();
}

void TMenuItem::SetDefault(bool v) {
    default_ = v;
    MenuChanged();
}

void TMenuItem::SetShortCut(TShortCut s) {
    if (s == shortCut_) return;
    shortCut_ = s;
    MenuChanged();
}

void TMenuItem::SetImageIndex(int v) { imageIndex_ = v; }

void TMenuItem::SetAction(TBasicAction* action) {
    if (action == nullptr) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) {
        actionLink_ = std::make_unique<TActionLink>(this);
        actionLink_->OnChange = [this](TBasicAction* a) { ActionChange(a); };
    }
    actionLink_->SetAction(action);
    action->FreeNotification(this);
    ActionChange(action);
}

void TMenuItem::ActionChange(TBasicAction* sender) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (a == nullptr) return;
    caption_ = a->Caption();
    enabled_ = a->Enabled();
    checked_ = a->Checked();
    visible_ = a->Visible();
    shortCut_ = a->ShortCut();
    imageIndex_ = a->ImageIndex();
    hint_ = a->Hint();
    MenuChanged();
}

int TMenuItem::MenuIndex() const {
    if (parent_ == nullptr) return -1;
    auto& v = parent_->items_;
    return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->parent_ != nullptr) throw EMenuError("Menu inserted twice");
    if (index < 0 || index > Count()) throw EMenuError("Menu index out of range");
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    MenuChanged();
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) throw EMenuError("Menu index out of range");
    Remove(items_[static_cast<size_t>(index)]);
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* i = items_.back();
        Remove(i);
        i->Free();
    }
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    for (TMenuItem* i : items_)
        if (AnsiCompareText(StripHotkey(i->caption_), StripHotkey(caption)) == 0) return i;
    return nullptr;
}

TMenuItem* TMenuItem::FindCommand(WORD command) {
    if (command_ == command) return this;
    for (TMenuItem* i : items_)
        if (TMenuItem* f = i->FindCommand(command)) return f;
    return nullptr;
}

bool TMenuItem::IsShortCut(TShortCut sc) {
    for (TMenuItem* i : std::vector<TMenuItem*>(items_)) {
        if (!i->visible_) continue;
        if (i->shortCut_ == sc && i->enabled_ && i->items_.empty()) {
            i->Click();
            return true;
        }
        if (i->enabled_ && i->IsShortCut(sc)) return true;
    }
    return false;
}

void TMenuItem::Click() {
    if (!enabled_) return;
    if (OnClick) {
        OnClick(this);
    } else if (actionLink_) {
        actionLink_->Execute();
    }
}

void TMenuItem::AppendTo(HMENU menu) {
    if (!visible_) return;
    if (IsLine()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    std::string text = caption_;
    if (shortCut_ != 0) text += "\t" + ShortCutToText(shortCut_);
    UINT flags = MF_STRING;
    if (!enabled_) flags |= MF_GRAYED;
    if (checked_) flags |= MF_CHECKED;
    if (!items_.empty()) {
        AppendMenuA(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Handle()), text.c_str());
    } else {
        AppendMenuA(menu, flags, command_, text.c_str());
    }
    if (radioItem_ && checked_) {
        int pos = GetMenuItemCount(menu) - 1;
        CheckMenuRadioItem(menu, pos, pos, pos, MF_BYPOSITION);
    }
    if (default_) SetMenuDefaultItem(menu, GetMenuItemCount(menu) - 1, TRUE);
}

void TMenuItem::RebuildHandle() {
    if (handle_) {
        // Sub-menus belong to their items: detach them before destroying.
        while (GetMenuItemCount(handle_.Get()) > 0) RemoveMenu(handle_.Get(), 0, MF_BYPOSITION);
        handle_.Reset();
    }
}

HMENU TMenuItem::Handle() {
    RebuildHandle();
    handle_.Reset(CreatePopupMenu());
    for (TMenuItem* i : items_) i->AppendTo(handle_.Get());
    return handle_.Get();
}

// ------------------------------------------------------------ TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(std::make_unique<TMenuItem>(nullptr)) {
    items_->menu_ = this;
    AllMenus().push_back(this);
}

TMenu::~TMenu() {
    auto& v = AllMenus();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    items_->menu_ = nullptr;
    // The items are owned by the form; only the root is ours.
    for (TMenuItem* i : std::vector<TMenuItem*>(items_->items_)) items_->Remove(i);
    items_.reset();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && static_cast<void*>(component) == static_cast<void*>(images_))
        images_ = nullptr;
}

void TMenu::SetImages(TCustomImageList* images) { images_ = images; }

HMENU TMenu::Handle() { return items_->Handle(); }

void TMenu::MenuChanged() {}

bool TMenu::IsShortCut(TShortCut sc) { return items_->IsShortCut(sc); }

TMenuItem* TMenu::FindItem(WORD command) { return items_->FindCommand(command); }

bool TMenu::DispatchCommand(WORD command) {
    TMenuItem* item = FindItem(command);
    if (item == nullptr) return false;
    item->Click();
    return true;
}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
    for (TMenuItem* i : items_->items_)
        if (i->Owner() == root) proc(i);
}

HMENU TMainMenu::Handle() {
    if (bar_ == nullptr) {
        bar_ = CreateMenu();
        for (TMenuItem* i : items_->items_) i->AppendTo(bar_);
    }
    return bar_;
}

void TMainMenu::MenuChanged() {
    if (bar_ == nullptr || IsLoading()) return;
    while (GetMenuItemCount(bar_) > 0) RemoveMenu(bar_, 0, MF_BYPOSITION);
    for (TMenuItem* i : items_->items_) i->AppendTo(bar_);
    if (auto* form = dynamic_cast<TWinControl*>(Owner()); form != nullptr && form->HandleAllocated())
        DrawMenuBar(form->Handle());
}

void TPopupMenu::Popup(int x, int y) {
    popupPoint_ = {x, y};
    if (OnPopup) OnPopup(this);
    WORD command = 0;
    if (TestChooser) {
        command = TestChooser(this);
    } else {
        HMENU menu = Handle();
        HWND owner = nullptr;
        if (popupComponent_ != nullptr) {
            if (auto* w = dynamic_cast<TWinControl*>(popupComponent_)) owner = w->Handle();
            else if (auto* c = dynamic_cast<TControl*>(popupComponent_); c != nullptr && c->Parent() != nullptr)
                owner = c->Parent()->Handle();
        }
        if (owner == nullptr && Application != nullptr && Application->MainForm() != nullptr)
            owner = Application->MainForm()->Handle();
        UINT align = alignment_ == TPopupAlignment::paRight    ? TPM_RIGHTALIGN
                     : alignment_ == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                               : TPM_LEFTALIGN;
        command = static_cast<WORD>(
            TrackPopupMenu(menu, align | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    }
    if (command != 0) DispatchCommand(command);
}

}  // namespace treskel

namespace treskel {

void TControl::SetPopupMenu(TPopupMenu* menu) {
    popupMenu_ = menu;
    popupMenuComponent_ = menu;
    if (menu != nullptr) menu->FreeNotification(this);
}

}  // namespace treskel

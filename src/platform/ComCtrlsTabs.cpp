// The tab control: tab captions as a string list, mirrored into
// SysTabControl32; the controls placed on it are aligned inside its frame.
#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"

namespace treskel {

// ------------------------------------------------------------ TTabStrings

void TTabStrings::CheckIndex(int index) const {
    if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
}

std::string TTabStrings::Get(int index) const {
    CheckIndex(index);
    return tabs_[static_cast<size_t>(index)];
}

void TTabStrings::Put(int index, const std::string& s) {
    CheckIndex(index);
    tabs_[static_cast<size_t>(index)] = s;
    control_->TabTextChanged(index);
}

void TTabStrings::Insert(int index, const std::string& s) {
    if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
    tabs_.insert(tabs_.begin() + index, s);
    control_->TabInserted(index);
}

void TTabStrings::Delete(int index) {
    CheckIndex(index);
    tabs_.erase(tabs_.begin() + index);
    control_->TabDeleted(index);
}

void TTabStrings::Clear() {
    if (tabs_.empty()) return;
    tabs_.clear();
    control_->TabsCleared();
}

void TTabStrings::SetUpdateState(bool updating) {
    control_->updatingTabs_ = updating;
    if (!control_->HandleAllocated()) return;
    control_->Perform(WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) {
        control_->Invalidate();
        control_->Realign();
    }
}

// ------------------------------------------------------------ TTabControl

TTabControl::TTabControl(TComponent* owner) : TWinControl(owner), tabs_(std::make_unique<TTabStrings>(this)) {
    SetControlStyle({TControlStyleItem::csAcceptsControls, TControlStyleItem::csDoubleClicks,
                     TControlStyleItem::csClickEvents, TControlStyleItem::csCaptureMouse});
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

TTabControl::~TTabControl() = default;

void TTabControl::CreateParams(TCreateParams& p) {
    comctl::InitClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, WC_TABCONTROLA);
    p.Style |= WS_CLIPCHILDREN | TCS_TABS | TCS_SINGLELINE;
    if (hotTrack_) p.Style |= TCS_HOTTRACK;
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabControl::CreateWnd() {
    TWinControl::CreateWnd();
    for (int i = 0; i < tabs_->Count(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(tabs_->tabs_[static_cast<size_t>(i)].c_str());
        Perform(TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    SyncCurSel();
    Realign();
}

void TTabControl::Loaded() {
    TWinControl::Loaded();
    if (tabIndex_ < -1 || tabIndex_ >= tabs_->Count()) tabIndex_ = tabs_->Count() > 0 ? 0 : -1;
    SyncCurSel();
}

void TTabControl::SyncCurSel() {
    if (!HandleAllocated()) return;
    if (static_cast<int>(Perform(TCM_GETCURSEL, 0, 0)) != tabIndex_)
        Perform(TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
}

void TTabControl::TabInserted(int index) {
    // The first tab becomes the current one; later ones keep the current
    // tab where it is.
    if (tabIndex_ < 0 && tabs_->Count() == 1) tabIndex_ = 0;
    else if (tabIndex_ >= index && tabs_->Count() > 1) ++tabIndex_;
    if (HandleAllocated()) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(tabs_->tabs_[static_cast<size_t>(index)].c_str());
        Perform(TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        SyncCurSel();
        if (!updatingTabs_) Realign();
    }
}

void TTabControl::TabDeleted(int index) {
    // The current tab gone, there is none; one before it moves it down.
    if (index == tabIndex_) tabIndex_ = -1;
    else if (index < tabIndex_) --tabIndex_;
    if (HandleAllocated()) {
        Perform(TCM_DELETEITEM, static_cast<WPARAM>(index), 0);
        SyncCurSel();
        if (!updatingTabs_) Realign();
    }
}

void TTabControl::TabsCleared() {
    tabIndex_ = -1;
    if (HandleAllocated()) {
        Perform(TCM_DELETEALLITEMS, 0, 0);
        SyncCurSel();
        if (!updatingTabs_) Realign();
    }
}

void TTabControl::TabTextChanged(int index) {
    if (!HandleAllocated()) return;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(tabs_->tabs_[static_cast<size_t>(index)].c_str());
    Perform(TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    if (!updatingTabs_) Realign();
}

void TTabControl::SetTabIndex(int index) {
    if (IsLoading()) {
        tabIndex_ = index;
        return;
    }
    if (index < -1 || index >= tabs_->Count()) throw EListError(Format("List index out of bounds (%d)", index));
    tabIndex_ = index;
    SyncCurSel();
}

void TTabControl::SetHotTrack(bool v) {
    if (v == hotTrack_) return;
    hotTrack_ = v;
    RecreateWnd();
}

TRect TTabControl::DisplayRect() {
    TRect r = ClientRect();
    if (!HandleAllocated()) return r;
    RECT rc = ToRECT(r);
    Perform(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    return FromRECT(rc);
}

int TTabControl::IndexOfTabAt(int x, int y) {
    if (!HandleAllocated()) return -1;
    TCHITTESTINFO ht{};
    ht.pt = {x, y};
    return static_cast<int>(Perform(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
}

void TTabControl::AdjustClientRect(TRect& rect) {
    if (HandleAllocated()) rect = DisplayRect();
}

bool TTabControl::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

void TTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TTabControl::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        auto* nm = reinterpret_cast<NMHDR*>(m.LParam);
        switch (nm->code) {
            case TCN_SELCHANGING:
                m.Result = CanChange() ? FALSE : TRUE;
                return;
            case TCN_SELCHANGE:
                tabIndex_ = static_cast<int>(Perform(TCM_GETCURSEL, 0, 0));
                Change();
                m.Result = 0;
                return;
            default:
                break;
        }
    }
    if (m.Msg == CM_FONTCHANGED) {
        TWinControl::WndProc(m);
        Realign();
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace treskel

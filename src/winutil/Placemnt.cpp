#include "winutil/Placemnt.h"

#include "platform/ControlsHooks.h"
#include "platform/Register.h"
#include "platform/Registry.h"
#include "winutil/AppUtils.h"
#include "winutil/PlacemntRules.h"

namespace treskel {

// ------------------------------------------------------------ sizes held

bool TWinMinMaxInfo::DefaultMinMaxInfo() const {
    const MINMAXINFO& i = info_;
    return i.ptMaxPosition.x == 0 && i.ptMaxPosition.y == 0 && i.ptMaxSize.x == 0 && i.ptMaxSize.y == 0 &&
           i.ptMaxTrackSize.x == 0 && i.ptMaxTrackSize.y == 0 && i.ptMinTrackSize.x == 0 && i.ptMinTrackSize.y == 0;
}

void TWinMinMaxInfo::Set(LONG& field, int v) {
    if (field == v) return;
    field = v;
    placement_->MinMaxInfoChanged();
}

void TWinMinMaxInfo::Assign(TPersistent* source) {
    auto* other = dynamic_cast<TWinMinMaxInfo*>(source);
    if (other == nullptr) return TPersistent::Assign(source);
    info_ = other->info_;
    placement_->MinMaxInfoChanged();
}

// ------------------------------------------------------------ the component

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner), minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this)), hook_(new TWuWindowHook(this)) {
    if (dynamic_cast<TForm*>(owner) == nullptr) options_ = {};
    hook_->AfterMessage = [this](TObject* sender, TMessage& m, bool& handled) { WndMessage(sender, m, handled); };
}

TFormPlacement::~TFormPlacement() {
    CloseStore();
    hook_->SetWinControl(nullptr);
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
    if (Designing()) return;
    ChainFormEvents();
    CheckToggleHook();
}

void TFormPlacement::ChainFormEvents() {
    TCustomForm* form = Form();
    if (form == nullptr || chained_) return;
    chained_ = true;
    // With resizing forbidden by the layout the button is gone already;
    // the setter remembered whether the form had it.
    if (!preventResize_) defMaximize_ = form->BorderIcons().Contains(TBorderIcon::biMaximize);
    else UpdatePreventResize(false);
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
    UpdateMaxPosition();
}

void TFormPlacement::MinMaxInfoChanged() {
    UpdateMaxPosition();
    if (!IsLoading()) CheckToggleHook();
}

void TFormPlacement::CheckToggleHook() {
    const bool watch = !minMaxInfo_->DefaultMinMaxInfo() || preventResize_;
    hook_->SetWinControl(watch && !Designing() ? Form() : nullptr);
}

void TFormPlacement::UpdateMaxPosition() {
    TCustomForm* form = Form();
    if (form == nullptr || !form->HandleAllocated() || form->IsLoading()) return;
    auto metric = [](int x, int y) { return TSize{GetSystemMetrics(x), GetSystemMetrics(y)}; };
    const TFrameMetrics metrics{metric(SM_CXBORDER, SM_CYBORDER), metric(SM_CXFRAME, SM_CYFRAME),
                                metric(SM_CXDLGFRAME, SM_CYDLGFRAME)};
    std::optional<TPoint> at =
        PlacementMaxPosition(form->BorderStyle(), preventResize_, !minMaxInfo_->DefaultMinMaxInfo(), metrics);
    if (!at) return;
    HWND wnd = form->Handle();
    // A window maximised already lies where the system maximised it; a
    // placement applied now would move it from there (to the work area's
    // corner, its frame on the screen), and the position asked for is the
    // one the system gives a maximised window of its border anyway.
    if (IsZoomed(wnd) && IsWindowVisible(wnd)) return;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(wnd, &wp);
    // Only the maximised position changes: the window is neither shown
    // nor brought forward by it.
    if (!IsWindowVisible(wnd)) wp.showCmd = SW_HIDE;
    else if (wp.showCmd == SW_SHOWNORMAL) wp.showCmd = SW_SHOWNOACTIVATE;
    wp.ptMaxPosition = {at->x, at->y};
    SetWindowPlacement(wnd, &wp);
}

void TFormPlacement::SetPreventResize(bool v) {
    if (Form() == nullptr || v == preventResize_) return;
    preventResize_ = v;
    UpdateMaxPosition();
    UpdatePreventResize(true);
}

void TFormPlacement::UpdatePreventResize(bool switched) {
    TCustomForm* form = Form();
    if (!Designing() && form != nullptr) {
        if (preventResize_ && switched) defMaximize_ = form->BorderIcons().Contains(TBorderIcon::biMaximize);
        TBorderIcons icons = form->BorderIcons();
        if (!preventResize_ && defMaximize_ && form->BorderStyle() != TFormBorderStyle::bsDialog)
            icons.Include(TBorderIcon::biMaximize);
        else
            icons.Exclude(TBorderIcon::biMaximize);
        // The form makes its window again for the new icons: nothing is
        // saved or put back meanwhile.
        struct Pause {
            bool& flag;
            bool was;
            explicit Pause(bool& f) : flag(f), was(f) { flag = false; }
            ~Pause() { flag = was; }
        } pause(active_);
        form->SetBorderIcons(icons);
    }
    if (!IsLoading()) CheckToggleHook();
}

// After the form's own procedure.
void TFormPlacement::WndMessage(TObject*, TMessage& m, bool&) {
    if (preventResize_ && Form() != nullptr)
        PreventedResizeMessage(m);
    else if (m.Msg == WM_GETMINMAXINFO)
        MinMaxMessage(m);
}

void TFormPlacement::PreventedResizeMessage(TMessage& m) {
    TCustomForm* form = Form();
    switch (m.Msg) {
        case WM_GETMINMAXINFO:
            if (form->HandleAllocated() && IsWindowVisible(form->Handle())) {
                auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
                info->ptMinTrackSize = {form->Width(), form->Height()};
                info->ptMaxTrackSize = {form->Width(), form->Height()};
                m.Result = 1;
            }
            break;
        case WM_NCHITTEST:
            // The borders do not size the form.
            if (m.Result >= HTLEFT && m.Result <= HTBOTTOMRIGHT) m.Result = HTNOWHERE;
            break;
        case WM_INITMENUPOPUP:
            // The form's own procedure has run the menu's pop-up handlers.
            if (HIWORD(m.LParam) != 0) {
                auto menu = reinterpret_cast<HMENU>(m.WParam);
                EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | MF_GRAYED);
                EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | MF_GRAYED);
                m.Result = 1;
            }
            break;
        default:
            break;
    }
}

void TFormPlacement::MinMaxMessage(TMessage& m) {
    auto* info = reinterpret_cast<MINMAXINFO*>(m.LParam);
    const MINMAXINFO& held = minMaxInfo_->Info();
    auto take = [](LONG& to, LONG from) {
        if (from != 0) to = from;
    };
    take(info->ptMaxPosition.x, held.ptMaxPosition.x);
    take(info->ptMaxPosition.y, held.ptMaxPosition.y);
    take(info->ptMaxSize.x, held.ptMaxSize.x);
    take(info->ptMaxSize.y, held.ptMaxSize.y);
    take(info->ptMaxTrackSize.x, held.ptMaxTrackSize.x);
    take(info->ptMaxTrackSize.y, held.ptMaxTrackSize.y);
    take(info->ptMinTrackSize.x, held.ptMinTrackSize.x);
    take(info->ptMinTrackSize.y, held.ptMinTrackSize.y);
    m.Result = 1;
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
    using M = TWinMinMaxInfo;
    PublishClass<M, TPersistent>()
        .Int("MaxPosLeft", &M::MaxPosLeft, &M::SetMaxPosLeft)
        .Int("MaxPosTop", &M::MaxPosTop, &M::SetMaxPosTop)
        .Int("MaxSizeHeight", &M::MaxSizeHeight, &M::SetMaxSizeHeight)
        .Int("MaxSizeWidth", &M::MaxSizeWidth, &M::SetMaxSizeWidth)
        .Int("MaxTrackHeight", &M::MaxTrackHeight, &M::SetMaxTrackHeight)
        .Int("MaxTrackWidth", &M::MaxTrackWidth, &M::SetMaxTrackWidth)
        .Int("MinTrackHeight", &M::MinTrackHeight, &M::SetMinTrackHeight)
        .Int("MinTrackWidth", &M::MinTrackWidth, &M::SetMinTrackWidth);
    using P = TFormPlacement;
    PublishClass<P, TComponent>()
        .Bool("Active", &P::Active, &P::SetActive, true)
        // What was given is written, never the defaults the getters supply.
        .String("IniFileName", &P::GivenIniFileName, &P::SetIniFileName)
        .String("IniSection", &P::GivenIniSection, &P::SetIniSection)
        .Object("MinMaxInfo", &P::MinMaxInfo)
        .SetOf<TPlacementOption>("Options", &P::Options, &P::SetOptions,
                                 {TPlacementOption::fpState, TPlacementOption::fpPosition})
        .Bool("PreventResize", &P::PreventResize, &P::SetPreventResize)
        .Bool("UseRegistry", &P::UseRegistry, &P::SetUseRegistry)
        .Event("OnSavePlacement", &P::OnSavePlacement)
        .Event("OnRestorePlacement", &P::OnRestorePlacement);
}

}  // namespace treskel

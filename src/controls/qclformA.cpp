// The form component: placement kept in a settings store, size limits,
// dropped files and form messages as events.
#include "controls/qclformA.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "foundation/qclnonvSFont.h"
#include "foundation/qclutilsWnd.h"
#include "platform/FormLoader.h"

namespace treskel {

namespace {

bool Has(TQclFormIniSaveOptions o, TQclFormIniSaveOption v) { return o.Contains(v); }

TQclPlacement FromSystem(const WINDOWPLACEMENT& wp) {
    const RECT& r = wp.rcNormalPosition;
    return {static_cast<int>(wp.flags), static_cast<int>(wp.showCmd), {r.left, r.top, r.right, r.bottom}};
}

// The screen in the coordinates of normal positions, which count from the
// primary work area's top-left corner.
TQclScreenArea ScreenArea() {
    TScreen* screen = EnsureScreen();
    const TRect work = screen->WorkAreaRect();
    const int dx = work.Left, dy = work.Top;
    TQclScreenArea s;
    s.width = screen->Width() - dx;
    s.height = screen->Height() - dy;
    for (const TRect& m : screen->MonitorRects()) s.monitors.push_back(OffsetRect(m, -dx, -dy));
    s.workArea = OffsetRect(work, -dx, -dy);
    return s;
}

void ScaleControls(TWinControl* parent, int designPPI, int screenPPI) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* c = parent->Controls(i);
        c->SetBounds(QclScaleToScreen(c->Left(), designPPI, screenPPI),
                     QclScaleToScreen(c->Top(), designPPI, screenPPI),
                     QclScaleToScreen(c->Width(), designPPI, screenPPI),
                     QclScaleToScreen(c->Height(), designPPI, screenPPI));
        if (auto* w = dynamic_cast<TWinControl*>(c)) ScaleControls(w, designPPI, screenPPI);
    }
}

std::string TextOf(LPARAM lParam) { return lParam != 0 ? std::string(reinterpret_cast<const char*>(lParam)) : ""; }

}  // namespace

TQclForm::TQclForm(TComponent* owner) : TQclWndProcComponent(owner) {
    // One per form, on a form: the designer is told at once.
    if (Designing() && QclCheckOneInstance<TQclForm>(owner, false)) throw QclEOneInstError(ClassName(), 0);
    if (auto* form = dynamic_cast<TCustomForm*>(owner)) {
        std::string name = form->ClassName();
        iniKey_ = name.size() > 1 ? name.substr(1) : name;
        // The one settings store of the form, if it holds exactly one.
        TQclIniCtrl* only = nullptr;
        int stores = 0;
        for (int i = 0; i < form->ComponentCount(); ++i)
            if (auto* ini = dynamic_cast<TQclIniCtrl*>(form->Components(i))) {
                only = ini;
                ++stores;
            }
        if (stores == 1) SetIniLink(only);
    } else {
        iniKey_ = "Form";
    }
}

TQclForm::~TQclForm() {
    // The form's own handlers come back when the component goes first.
    TCustomForm* form = Form();
    if (chained_ && form != nullptr && !form->IsDestroying()) {
        form->OnShow = formShow_;
        form->OnDestroy = formDestroy_;
    }
    if (form != nullptr && form->HandleAllocated() && Hooked()) DragAcceptFiles(form->Handle(), FALSE);
}

void TQclForm::SetAcceptFiles(bool v) {
    if (v == acceptFiles_) return;
    acceptFiles_ = v;
    if (!Designing() && Enabled() && Hooked()) DragAcceptFiles(GetHookHandle(), v ? TRUE : FALSE);
}

void TQclForm::SetIniLink(TQclIniCtrl* v) {
    if (v == iniLink_) return;
    if (iniLink_ != nullptr) iniLink_->RemoveFreeNotification(this);
    iniLink_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TQclForm::Notification(TComponent* component, TOperation operation) {
    TQclWndProcComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == iniLink_) iniLink_ = nullptr;
    if (operation == TOperation::opInsert && iniUse_ == TQclIniUse::ioUseLink && iniLink_ == nullptr)
        if (auto* ini = dynamic_cast<TQclIniCtrl*>(component)) SetIniLink(ini);
}

void TQclForm::SetLimit(TQclFormLimit which, int value) {
    limits_.Set(which, value, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

void TQclForm::UpdateLimits() { limits_.Update(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)); }

// ------------------------------------------------------------ hooking and events

void TQclForm::ChainFormEvents() {
    TCustomForm* form = Form();
    if (chained_ || form == nullptr || !Enabled() || Designing()) return;
    chained_ = true;
    restored_ = false;
    formShow_ = form->OnShow;
    formDestroy_ = form->OnDestroy;
    form->OnShow = [this](TObject* sender) { FormShow(sender); };
    form->OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
}

void TQclForm::Loaded() {
    ChainFormEvents();
    TQclWndProcComponent::Loaded();
}

void TQclForm::HookOwner() {
    TQclWndProcComponent::HookOwner();
    if (!Enabled() || Designing() || !Hooked()) return;
    DragAcceptFiles(GetHookHandle(), acceptFiles_ ? TRUE : FALSE);
    UpdateLimits();
}

void TQclForm::RestoreOwner() {
    if (!Designing() && Hooked()) DragAcceptFiles(GetHookHandle(), FALSE);
    Unhook();
}

void TQclForm::FormShow(TObject* Sender) {
    if (!Designing() && Enabled() && !(options_.Contains(TQclFormOption::foRestoreOnce) && restored_)) {
        LoadData();
        restored_ = true;
        ApplyLimitsToSize();
        if (options_.Contains(TQclFormOption::foTryAdaptRes)) AdaptResolution();
    }
    if (formShow_) formShow_(Sender);
}

void TQclForm::FormDestroy(TObject* Sender) {
    if (Enabled() && !Designing()) SaveData();
    if (formDestroy_) formDestroy_(Sender);
}

void TQclForm::ApplyLimitsToSize() {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    using L = TQclFormLimit;
    auto positive = [this](L which) { return LimitPixels(which) > 0 ? LimitPixels(which) : 0; };
    switch (form->WindowState()) {
        case TWindowState::wsNormal: {
            int w = form->Width(), h = form->Height();
            if (positive(L::TrackMaxWidth) && w > positive(L::TrackMaxWidth)) w = positive(L::TrackMaxWidth);
            if (positive(L::TrackMaxHeight) && h > positive(L::TrackMaxHeight)) h = positive(L::TrackMaxHeight);
            if (positive(L::TrackMinWidth) && w < positive(L::TrackMinWidth)) w = positive(L::TrackMinWidth);
            if (positive(L::TrackMinHeight) && h < positive(L::TrackMinHeight)) h = positive(L::TrackMinHeight);
            if (w != form->Width() || h != form->Height()) form->SetBounds(form->Left(), form->Top(), w, h);
            break;
        }
        case TWindowState::wsMaximized:
            if (positive(L::MaximizedPosX)) form->SetLeft(positive(L::MaximizedPosX));
            if (positive(L::MaximizedPosY)) form->SetTop(positive(L::MaximizedPosY));
            if (positive(L::MaximizedWidth)) form->SetWidth(positive(L::MaximizedWidth));
            if (positive(L::MaximizedHeight)) form->SetHeight(positive(L::MaximizedHeight));
            break;
        case TWindowState::wsMinimized: break;
    }
}

void TQclForm::AdaptResolution() {
    TCustomForm* form = Form();
    if (adapted_ || form == nullptr || !form->Scaled()) return;
    adapted_ = true;
    const int screenPPI = EnsureScreen()->PixelsPerInch();
    form->SetPixelsPerInch(screenPPI);
    if (screenPPI != designPPI_) ScaleControls(form, designPPI_, screenPPI);
}

void TQclForm::WndProc(TMessage& m) {
    if (!HandleFormMessage(m)) TQclWndProcComponent::WndProc(m);
}

// The messages the component turns into events; false passes the message
// on unhandled (after the events that fire before the form sees it).
bool TQclForm::HandleFormMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_GETMINMAXINFO:
            MinMaxInfo(m);
            return false;
        case WM_DROPFILES:
            if (!OnFMDragDrop) return false;
            DropFiles(m);
            return true;
        case WM_SHOWWINDOW:
            if (m.WParam != 0) shown_ = true;
            if (m.WParam != 0 && m.LParam == 0) {
                if (effect_ == TQclDlgEffect::deExplode) QclExplodeWindow(Form());
                if (effect_ == TQclDlgEffect::deExplodeExt) QclExplodeWindowExt(Form());
            }
            return false;
        case WM_POWER:
            if (m.WParam == PWR_SUSPENDREQUEST && OnAPMSuspendRequest) {
                bool cancel = false;
                OnAPMSuspendRequest(this, cancel);
                if (cancel) {
                    m.Result = PWR_FAIL;
                    return true;
                }
            }
            if (m.WParam == PWR_SUSPENDRESUME && OnAPMResume) OnAPMResume(this);
            if (m.WParam == PWR_CRITICALRESUME && OnAPMCriticalResume) OnAPMCriticalResume(this);
            return false;
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
            if (OnMoving && pos != nullptr && (pos->flags & SWP_NOMOVE) == 0) {
                bool cancel = false;
                OnMoving(this, pos->x, pos->y, cancel);
                if (cancel) pos->flags |= SWP_NOMOVE;
            }
            return false;
        }
        default: break;
    }
    // Notices: the form handles them first, then the events fire.
    static constexpr UINT kNotices[] = {WM_COMPACTING, WM_DEVMODECHANGE, WM_DISPLAYCHANGE, WM_WININICHANGE,
                                        WM_FONTCHANGE, WM_MOVE,          WM_PAINTICON,     WM_SIZE,
                                        WM_SPOOLERSTATUS, WM_SYSCOLORCHANGE, WM_TIMECHANGE};
    if (std::find(std::begin(kNotices), std::end(kNotices), m.Msg) == std::end(kNotices)) return false;
    CallOldWndProc(m);
    FireNotice(m);
    return true;
}

void TQclForm::FireNotice(const TMessage& m) {
    switch (m.Msg) {
        case WM_COMPACTING:
            if (OnCompacting) OnCompacting(this, static_cast<int>(m.WParam));
            break;
        case WM_DEVMODECHANGE:
            if (OnDevModeChange) OnDevModeChange(this, TextOf(m.LParam));
            break;
        case WM_DISPLAYCHANGE:
            UpdateLimits();
            if (OnDisplayChange) OnDisplayChange(this, LOWORD(m.LParam), HIWORD(m.LParam), LOWORD(m.WParam));
            break;
        case WM_WININICHANGE:
            if (OnIniChange) OnIniChange(this, TextOf(m.LParam));
            break;
        case WM_FONTCHANGE:
            if (OnFontChange) OnFontChange(this);
            break;
        case WM_MOVE:
            if (OnMove) OnMove(this);
            break;
        case WM_PAINTICON:
            if (OnPaintIcon) OnPaintIcon(this);
            break;
        case WM_SIZE:
            if (OnSize) OnSize(this, LOWORD(m.LParam), HIWORD(m.LParam), LOWORD(m.WParam));
            break;
        case WM_SPOOLERSTATUS:
            if (OnSpoolerStatus) OnSpoolerStatus(this, LOWORD(m.LParam));
            break;
        case WM_SYSCOLORCHANGE:
            if (OnSysColorChange) OnSysColorChange(this);
            break;
        case WM_TIMECHANGE:
            if (OnTimeChange) OnTimeChange(this);
            break;
        default: break;
    }
}

void TQclForm::MinMaxInfo(TMessage& m) {
    auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
    if (mmi == nullptr) return;
    using L = TQclFormLimit;
    auto take = [this](L which, LONG& field) {
        if (LimitPixels(which) > 0) field = LimitPixels(which);
    };
    if (OnTrackInfo) {
        int minW = mmi->ptMinTrackSize.x, minH = mmi->ptMinTrackSize.y;
        int maxW = mmi->ptMaxTrackSize.x, maxH = mmi->ptMaxTrackSize.y;
        OnTrackInfo(this, minW, minH, maxW, maxH);
        mmi->ptMinTrackSize = {minW, minH};
        mmi->ptMaxTrackSize = {maxW, maxH};
    } else {
        take(L::TrackMinWidth, mmi->ptMinTrackSize.x);
        take(L::TrackMinHeight, mmi->ptMinTrackSize.y);
        take(L::TrackMaxWidth, mmi->ptMaxTrackSize.x);
        take(L::TrackMaxHeight, mmi->ptMaxTrackSize.y);
    }
    if (OnMaximizeInfo) {
        int x = mmi->ptMaxPosition.x, y = mmi->ptMaxPosition.y, w = mmi->ptMaxSize.x, h = mmi->ptMaxSize.y;
        OnMaximizeInfo(this, x, y, w, h);
        mmi->ptMaxPosition = {x, y};
        mmi->ptMaxSize = {w, h};
    } else {
        take(L::MaximizedPosX, mmi->ptMaxPosition.x);
        take(L::MaximizedPosY, mmi->ptMaxPosition.y);
        take(L::MaximizedWidth, mmi->ptMaxSize.x);
        take(L::MaximizedHeight, mmi->ptMaxSize.y);
    }
    m.Result = 0;
}

void TQclForm::DropFiles(TMessage& m) {
    auto drop = reinterpret_cast<HDROP>(m.WParam);
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 0) {
        POINT p{};
        DragQueryPoint(drop, &p);
        TStringList files;
        for (UINT i = 0; i < count; ++i) {
            UINT len = DragQueryFileA(drop, i, nullptr, 0);
            if (len >= 255) continue;
            std::string name(len + 1, '\0');
            DragQueryFileA(drop, i, name.data(), len + 1);
            name.resize(len);
            if (charCase_ == TQclCharCase::ccLowerCase) name = LowerCase(name);
            if (charCase_ == TQclCharCase::ccUpperCase) name = UpperCase(name);
            files.Add(name);
        }
        OnFMDragDrop(this, static_cast<int>(count), p.x, p.y, &files);
    }
    DragFinish(drop);
    m.Result = 0;
}

// ------------------------------------------------------------ stored placement

void TQclForm::LoadData() {
    if (TQclIniCtrl* ini = Store()) LoadFromIni(ini);
}

void TQclForm::SaveData() {
    if (TQclIniCtrl* ini = Store()) SaveToIni(ini);
}

std::string TQclForm::GetPlacementString() {
    TCustomForm* form = Form();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (form == nullptr || !form->HandleAllocated() || !GetWindowPlacement(form->Handle(), &wp)) return {};
    return QclPlacementToString(FromSystem(wp), QclValueSeparator);
}

void TQclForm::ApplyPlacementString(const std::string& s) {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    const TQclRestoreParts parts{Has(iniSaveOptions_, TQclFormIniSaveOption::soPos),
                                 Has(iniSaveOptions_, TQclFormIniSaveOption::soSize),
                                 Has(iniSaveOptions_, TQclFormIniSaveOption::soState),
                                 options_.Contains(TQclFormOption::foAutoShow)};
    if (!parts.pos && !parts.size && !parts.state && form->Position() != TPosition::poScreenCenter) return;
    HWND wnd = form->Handle();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(wnd, &wp);
    TQclPlacement stored;
    if (!QclStringToPlacement(s, QclValueSeparator, stored)) {
        if (options_.Contains(TQclFormOption::foAutoCenter)) QclCenterOnScreen(form);
        if (OnNoRestoreData) OnNoRestoreData(this);
        return;
    }
    TQclPlacement p = QclRestoredPlacement(FromSystem(wp), stored, parts, form->BoundsRect(), ScreenArea());
    wp.flags = static_cast<UINT>(p.flags);
    wp.showCmd = static_cast<UINT>(p.showCmd);
    wp.rcNormalPosition = {p.normal.Left, p.normal.Top, p.normal.Right, p.normal.Bottom};
    if (!IsWindowVisible(wnd)) {
        // Shown by the form once its OnShow is done, in the state asked for.
        if (parts.state && p.showCmd == SW_SHOWMAXIMIZED) form->SetWindowState(TWindowState::wsMaximized);
        if (parts.state && (p.showCmd == SW_SHOWMINIMIZED || p.showCmd == SW_MINIMIZE))
            form->SetWindowState(TWindowState::wsMinimized);
        wp.showCmd = SW_HIDE;
    }
    SetWindowPlacement(wnd, &wp);
}

void TQclForm::LoadFromIni(TQclIniCtrl* ini) {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    ApplyPlacementString(ini->ReadString(section_, iniKey_, ""));
    if (Has(iniSaveOptions_, TQclFormIniSaveOption::soColor)) {
        TColor color;
        std::string s = ini->ReadString(section_, iniKey_ + "Color", "");
        if (!s.empty() && TryStringToColor(s, color)) form->SetColor(color);
    }
    if (Has(iniSaveOptions_, TQclFormIniSaveOption::soFont)) ini->ReadFont(section_, iniKey_ + "Font", form->Font());
}

void TQclForm::SaveToIni(TQclIniCtrl* ini) {
    TCustomForm* form = Form();
    if (form == nullptr) return;
    // A form whose window never showed has no placement to keep: its window
    // (made when the form was hooked) waits where it was made, in the
    // screen's corner, and would open there next time.
    if (form->HandleAllocated() && shown_) ini->WriteString(section_, iniKey_, GetPlacementString());
    if (Has(iniSaveOptions_, TQclFormIniSaveOption::soColor))
        ini->WriteString(section_, iniKey_ + "Color", ColorToString(form->Color()));
    else
        ini->DeleteKey(section_, iniKey_ + "Color");
    if (Has(iniSaveOptions_, TQclFormIniSaveOption::soFont))
        ini->WriteFont(section_, iniKey_ + "Font", form->Font());
    else
        ini->DeleteKey(section_, iniKey_ + "Font");
}

}  // namespace treskel

// ------------------------------------------------------------ registration

namespace treskel {

namespace {
template <class C>
void PublishLimit(PublishClass<C, TQclWndProcComponent>& p, const char* name, TQclFormLimit which) {
    p.Int(name, [which](C* c) { return c->Limit(which); }, [which](C* c, int v) { c->SetLimit(which, v); });
}
}  // namespace

void RegisterFormComponentClasses() {
    using F = TQclForm;
    PublishClass<F, TQclWndProcComponent> form;
    form.Custom("About", QclIgnoreAbout)
        .Bool("AcceptFiles", &F::AcceptFiles, &F::SetAcceptFiles)
        .Enum<TQclCharCase>("CharCase", &F::CharCase, &F::SetCharCase, TQclCharCase::ccNormal)
        .Enum<TQclDlgEffect>("Effect", &F::Effect, &F::SetEffect, TQclDlgEffect::deNone)
        .Ref<TQclIniCtrl>("IniLink", &F::IniLink, &F::SetIniLink)
        .Enum<TQclIniUse>("IniUse", &F::IniUse, &F::SetIniUse, TQclIniUse::ioNone)
        .SetOf<TQclFormIniSaveOption>("IniSaveOptions", &F::IniSaveOptions, &F::SetIniSaveOptions,
                                      {TQclFormIniSaveOption::soPos, TQclFormIniSaveOption::soSize,
                                       TQclFormIniSaveOption::soState})
        .Custom("Section", [](F* c, const FormValue& v, LayoutReader& r) { c->SetSection(typinfo::AsString(v, r)); },
                QclStoredUnless<F>(&F::Section, "Common"))
        .Custom("IniKey", [](F* c, const FormValue& v, LayoutReader& r) { c->SetIniKey(typinfo::AsString(v, r)); },
                QclStoredUnless<F>(&F::IniKey, "Form"))
        .Int("DesignPPI", &F::DesignPPI, &F::SetDesignPPI, 96)
        .SetOf<TQclFormOption>("Options", &F::Options, &F::SetOptions, {TQclFormOption::foAutoShow})
        .Bool("Enabled", &F::Enabled, &F::SetEnabled, true);
    PublishLimit(form, "MaximizedHeight", TQclFormLimit::MaximizedHeight);
    PublishLimit(form, "MaximizedWidth", TQclFormLimit::MaximizedWidth);
    PublishLimit(form, "MaximizedPosX", TQclFormLimit::MaximizedPosX);
    PublishLimit(form, "MaximizedPosY", TQclFormLimit::MaximizedPosY);
    PublishLimit(form, "TrackMaxHeight", TQclFormLimit::TrackMaxHeight);
    PublishLimit(form, "TrackMaxWidth", TQclFormLimit::TrackMaxWidth);
    PublishLimit(form, "TrackMinHeight", TQclFormLimit::TrackMinHeight);
    PublishLimit(form, "TrackMinWidth", TQclFormLimit::TrackMinWidth);
    form.Event("OnAPMCriticalResume", &F::OnAPMCriticalResume)
        .Event("OnAPMResume", &F::OnAPMResume)
        .Event("OnAPMSuspendRequest", &F::OnAPMSuspendRequest)
        .Event("OnCompacting", &F::OnCompacting)
        .Event("OnNoRestoreData", &F::OnNoRestoreData)
        .Event("OnDevModeChange", &F::OnDevModeChange)
        .Event("OnDisplayChange", &F::OnDisplayChange)
        .Event("OnIniChange", &F::OnIniChange)
        .Event("OnFMDragDrop", &F::OnFMDragDrop)
        .Event("OnFontChange", &F::OnFontChange)
        .Event("OnMaximizeInfo", &F::OnMaximizeInfo)
        .Event("OnMove", &F::OnMove)
        .Event("OnMoving", &F::OnMoving)
        .Event("OnPaintIcon", &F::OnPaintIcon)
        .Event("OnSize", &F::OnSize)
        .Event("OnSpoolerStatus", &F::OnSpoolerStatus)
        .Event("OnSysColorChange", &F::OnSysColorChange)
        .Event("OnTrackInfo", &F::OnTrackInfo)
        .Event("OnTimeChange", &F::OnTimeChange);

    using S = TQclFormStyler;
    PublishClass<S, TQclWndProcComponent>()
        .Custom("About", QclIgnoreAbout)
        .Enum<TAlignment>("Alignment", &S::Alignment, &S::SetAlignment, TAlignment::taLeftJustify)
        .Int("Colors", &S::Colors, [](S* s, int v) { s->SetColors(static_cast<TQclColorCount>(v)); }, 32)
        .Bool("Enabled", &S::Enabled, &S::SetEnabled, true)
        .Object("Font", &S::Font)
        .Object("Font3D", &S::Font3D)
        .Enum<TQclPaintMode>("PaintMode", &S::PaintMode, &S::SetPaintMode, TQclPaintMode::pcControl)
        .SetOf<TQclFormStyleOption>("Options", &S::Options, &S::SetOptions,
                                    {TQclFormStyleOption::fsAdjustRect, TQclFormStyleOption::fsUseDefaultFont,
                                     TQclFormStyleOption::fsUseFormCaption,
                                     TQclFormStyleOption::fsCheckSystemGradient})
        .Event("OnPaint", &S::OnPaint)
        .Event("OnCaptionPaint", &S::OnCaptionPaint);

    using B = TQclCustomFormFill;
    PublishClass<B, TQclWndProcComponent>()
        .NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .Bool("DefaultFill", &B::DefaultFill, &B::SetDefaultFill, true)
        .Bool("Enabled", &B::Enabled, &B::SetEnabled, true)
        .Ref<TQclCustomImageList>("ImageList", &B::ImageList, &B::SetImageList)
        .Custom("Internal",
                [](B* b, const FormValue& v, LayoutReader& r) {
                    b->SetImageList(QclReadGlobalListRef(typinfo::AsString(v, r)));
                },
                [](B* b) -> std::optional<FormValue> {
                    if (!QclIsGlobalList(b->ImageList())) return std::nullopt;
                    return FormValue::Str(QclWriteGlobalListRef(b->ImageList()));
                })
        .Int("ImageIndex", &B::ImageIndex, &B::SetImageIndex)
        .Int("ListIndex", &B::ListIndex, &B::SetListIndex)
        .Enum<TQclPaintMode>("PaintMode", &B::PaintMode, &B::SetPaintMode, TQclPaintMode::pcControl)
        .Event("OnPaint", &B::OnPaint);
    PublishClass<TQclBack, B>();
}

}  // namespace treskel

#include "winutil/CapCtrl.h"

#include <commctrl.h>

#include <cmath>

#include "platform/Register.h"

namespace treskel {

namespace {
constexpr UINT kFrameChanged = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;

NONCLIENTMETRICSA NonClientMetrics() {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    return m;
}
}  // namespace

// ------------------------------------------------------------ buttons

void TCaptionButton::SetCaption(const std::string& v) { Set(caption_, v); }
void TCaptionButton::SetEnabled(bool v) { Set(enabled_, v); }
void TCaptionButton::SetVisible(bool v) { Set(visible_, v); }
void TCaptionButton::SetPushed(bool v) { Set(pushed_, v); }
void TCaptionButton::SetKind(TCaptionButtonKind v) { Set(kind_, v); }

void TCaptionButton::Assign(TPersistent* source) {
    auto* b = dynamic_cast<TCaptionButton*>(source);
    if (b == nullptr) return TCollectionItem::Assign(source);
    caption_ = b->caption_;
    enabled_ = b->enabled_;
    visible_ = b->visible_;
    pushed_ = b->pushed_;
    kind_ = b->kind_;
    Changed(false);
}

void TCaptionButton::Draw(const TRect& rect) {
    auto* owner = static_cast<TCaptionButtons*>(Collection())->Owner();
    HDC dc = owner->Canvas()->Handle();
    if (kind_ != TCaptionButtonKind::cbkCustom) {
        owner->DrawGlyph(dc, static_cast<int>(kind_) - 1, enabled_, rect.TopLeft());
        return;
    }
    NONCLIENTMETRICSA m = NonClientMetrics();
    GdiHandle<HFONT> font(CreateFontIndirectA(&m.lfSmCaptionFont));
    SelectGuard sel(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    constexpr UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    RECT r = ToRECT(rect);
    if (enabled_) {
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    } else {
        // Embossed: highlight below right, shadow on top.
        RECT lower = {r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawTextA(dc, caption_.c_str(), -1, &lower, flags);
        SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    }
    DrawTextA(dc, caption_.c_str(), -1, &r, flags);
}

TCaptionButtons::TCaptionButtons(TCustomCaptionControl* control)
    : TCollection([](TCollection* c) { return new TCaptionButton(c); }), control_(control) {}

void TCaptionButtons::Update(TCollectionItem* item) {
    TCollection::Update(item);
    control_->UpdateCaption();
}

TCaptionColors::TCaptionColors(TCustomCaptionControl* control) : control_(control) {}

void TCaptionColors::SetColor(int index, TColor c) {
    if (colors_[index] == c) return;
    colors_[index] = c;
    control_->ColorsChanged();
}

void TCaptionColors::Assign(TPersistent* source) {
    auto* c = dynamic_cast<TCaptionColors*>(source);
    if (c == nullptr) return TPersistent::Assign(source);
    colors_ = c->colors_;
    control_->ColorsChanged();
}

// ------------------------------------------------------------ the control

TCustomCaptionControl::TCustomCaptionControl(TComponent* owner)
    : TComponent(owner), form_(dynamic_cast<TCustomForm*>(owner)) {
    buttons_ = std::make_unique<TCaptionButtons>(this);
    colors_ = std::make_unique<TCaptionColors>(this);
    if (form_ == nullptr) throw ECaptionError("Owner must be a form.");
    for (int i = 0; i < form_->ComponentCount(); ++i) {
        TComponent* c = form_->Components(i);
        if (c != this && dynamic_cast<TCustomCaptionControl*>(c) != nullptr)
            throw ECaptionError("Only one TCustomCaptionControl per form is allowed.");
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    if (version.dwMajorVersion < 4 || version.dwPlatformId == VER_PLATFORM_WIN32s)
        throw ECaptionError("Operating system must be Windows 95/NT 4.0 or greater.");
    HINSTANCE module = GetModuleHandleA(nullptr);
    images_.Reset(ImageList_LoadImageA(module, "CAP_IMAGES", 9, 0, RGB(192, 192, 192), IMAGE_BITMAP, 0));
    disabled_.Reset(ImageList_LoadImageA(module, "CAP_DISABLED", 9, 0, RGB(192, 192, 192), IMAGE_BITMAP, 0));
    canvas_ = std::make_unique<TCanvas>();
    BuildColorTables();
    UpdateCaptionFont();
    // The hook stands in the form's message procedure, not its window: it
    // needs no window now and sees every window the form makes.
    hook_.control = this;
    AttachSubclass(form_, &hook_);
    if (form_->HandleAllocated()) {
        HWND wnd = form_->Handle();
        active_ = GetActiveWindow() == wnd;
        maximized_ = IsZoomed(wnd) != FALSE;
        UpdateCaption();
    }
}

TCustomCaptionControl::~TCustomCaptionControl() {
    hook_.control = nullptr;
    DetachSubclass(form_, &hook_);
    if (captured_) ReleaseCapture();
}

void TCustomCaptionControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TCustomCaptionControl::SetCaptionGradient(TCaptionGradient v) {
    if (v == gradient_) return;
    gradient_ = v;
    UpdateCaption();
}

void TCustomCaptionControl::SetShowButtons(bool v) {
    if (v == showButtons_) return;
    showButtons_ = v;
    UpdateCaption();
}

void TCustomCaptionControl::SetButtonsDirection(TDirection v) {
    if (v == direction_) return;
    direction_ = v;
    UpdateCaption();
}

void TCustomCaptionControl::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    UpdateCaption();
}

void TCustomCaptionControl::SetPopupMenu(TPopupMenu* v) {
    popupMenu_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TCustomCaptionControl::SetColorBands(int v) {
    if (v < 8 || v > 255 || v == colorBands_) return;
    colorBands_ = v;
    BuildColorTables();
    UpdateCaption();
}

void TCustomCaptionControl::ColorsChanged() {
    BuildColorTables();
    UpdateCaption();
}

void TCustomCaptionControl::DoDrawCaption(std::string& text, TCanvas* canvas, TRect rect, bool& drawn) {
    if (OnDrawCaption) OnDrawCaption(this, text, canvas, rect, drawn);
}

void TCustomCaptionControl::DoButtonDraw(int index, TCanvas* canvas, TRect rect, bool& drawn) {
    if (OnButtonDraw) OnButtonDraw(this, index, canvas, rect, drawn);
}

void TCustomCaptionControl::DoButtonClick(int index, bool& pushed) {
    if (OnButtonClick) OnButtonClick(this, index, pushed);
}

void TCustomCaptionControl::UpdateCaption() {
    if (form_ != nullptr && form_->HandleAllocated())
        SetWindowPos(form_->Handle(), nullptr, 0, 0, 0, 0, kFrameChanged);
}

void TCustomCaptionControl::DrawGlyph(HDC dc, int glyph, bool enabled, TPoint at) const {
    HIMAGELIST list = enabled ? images_.Get() : disabled_.Get();
    if (list != nullptr) ImageList_Draw(list, glyph, dc, at.x, at.y, ILD_TRANSPARENT);
}

void TCustomCaptionControl::BuildColorTables() {
    for (int t = 0; t < 2; ++t) {
        COLORREF start = ColorToRGB(colors_->Color(t == 1 ? 0 : 2));
        COLORREF end = ColorToRGB(colors_->Color(t == 1 ? 1 : 3));
        auto channel = [&](int shift, int i) {
            double s = (start >> shift) & 0xFF, e = (end >> shift) & 0xFF;
            return static_cast<int>(std::lround(s + i * (e - s) / (colorBands_ - 1)));
        };
        for (int i = 0; i < colorBands_; ++i)
            tables_[t][i] = static_cast<TColor>(RGB(channel(0, i), channel(8, i), channel(16, i)));
    }
}

void TCustomCaptionControl::UpdateCaptionFont() {
    NONCLIENTMETRICSA m = NonClientMetrics();
    font_.Reset(CreateFontIndirectA(IsTool() ? &m.lfSmCaptionFont : &m.lfCaptionFont));
}

bool TCustomCaptionControl::IsTool() const {
    auto s = form_->BorderStyle();
    return s == TFormBorderStyle::bsToolWindow || s == TFormBorderStyle::bsSizeToolWin;
}

TRect TCustomCaptionControl::GetCaptionRect() const {
    auto style = form_->BorderStyle();
    if (style == TFormBorderStyle::bsNone || !form_->HandleAllocated()) return {};
    RECT w;
    GetWindowRect(form_->Handle(), &w);
    TRect r = Rect(0, 0, w.right - w.left, w.bottom - w.top);
    bool sizing = style == TFormBorderStyle::bsSizeable || style == TFormBorderStyle::bsSizeToolWin;
    int fx = GetSystemMetrics(sizing ? SM_CXFRAME : SM_CXFIXEDFRAME);
    int fy = GetSystemMetrics(sizing ? SM_CYFRAME : SM_CYFIXEDFRAME);
    r = Rect(r.Left + fx, r.Top + fy, r.Right - fx, r.Bottom - fy);
    r.Bottom = r.Top + GetSystemMetrics(IsTool() ? SM_CYSMCAPTION : SM_CYCAPTION) - 1;
    return r;
}

TRect TCustomCaptionControl::ButtonRect(int index) const {
    if (index < 0 || index >= static_cast<int>(buttonRects_.size())) return {};
    // A form that lost its caption (no frame now) shows no button.
    if (GetCaptionRect().Width() <= 0) return {};
    TRect b = buttonRects_[index];
    return Rect(b.Left + captionRect_.Left, captionRect_.Top, b.Right + captionRect_.Left, captionRect_.Bottom);
}

int TCustomCaptionControl::ButtonAtPoint(TPoint p) const {
    if (buttons_->Count() == 0) return -1;
    for (int i = 0; i < buttons_->Count() && i < static_cast<int>(buttonRects_.size()); ++i) {
        TCaptionButton* b = buttons_->Items(i);
        if (b->IsSeparator() || !b->Visible()) continue;
        if (PtInRect(ButtonRect(i), p)) return i;
    }
    return -1;
}

void RegisterCaptionControlClasses() {
    PublishClass<TCaptionButton, TCollectionItem>()
        .String("Caption", &TCaptionButton::Caption, &TCaptionButton::SetCaption)
        .Bool("Enabled", &TCaptionButton::Enabled, &TCaptionButton::SetEnabled, true)
        .Bool("Visible", &TCaptionButton::Visible, &TCaptionButton::SetVisible, true)
        .Bool("Pushed", &TCaptionButton::Pushed, &TCaptionButton::SetPushed)
        .Enum<TCaptionButtonKind>("Kind", &TCaptionButton::Kind, &TCaptionButton::SetKind,
                                  TCaptionButtonKind::cbkCustom);
    PublishClass<TCaptionButtons, TCollection>();
    using K = TCaptionColors;
    const auto& d = K::Defaults;
    PublishClass<K, TPersistent>()
        .Int("ActiveStart", &K::ActiveStart, &K::SetActiveStart, d[0], &ColorIdents())
        .Int("ActiveEnd", &K::ActiveEnd, &K::SetActiveEnd, d[1], &ColorIdents())
        .Int("InactiveStart", &K::InactiveStart, &K::SetInactiveStart, d[2], &ColorIdents())
        .Int("InactiveEnd", &K::InactiveEnd, &K::SetInactiveEnd, d[3], &ColorIdents())
        .Int("CaptionText", &K::CaptionText, &K::SetCaptionText, d[4], &ColorIdents())
        .Int("InactiveCaptionText", &K::InactiveCaptionText, &K::SetInactiveCaptionText, d[5], &ColorIdents());
    using C = TCustomCaptionControl;
    PublishClass<C, TComponent>()
        .Object("CaptionColors", &C::CaptionColors)
        .Enum<TCaptionGradient>("CaptionGradient", &C::CaptionGradient,
                                &C::SetCaptionGradient, TCaptionGradient::cgNone)
        .Bool("ShowButtons", &C::ShowButtons, &C::SetShowButtons, true)
        .Enum<TDirection>("ButtonsDirection", &C::ButtonsDirection, &C::SetButtonsDirection,
                          TDirection::dirRight)
        .Bool("Enabled", &C::Enabled, &C::SetEnabled, true)
        .Object("Buttons", &C::Buttons)
        .Ref<TPopupMenu>("PopupMenu", &C::PopupMenu, &C::SetPopupMenu)
        .Int("ColorBands", &C::ColorBands, &C::SetColorBands, 64)
        .Event("OnDrawCaption", &C::OnDrawCaption)
        .Event("OnButtonDraw", &C::OnButtonDraw)
        .Event("OnButtonClick", &C::OnButtonClick);
    PublishClass<TCaptionControl, C>();
}

}  // namespace treskel

#include "controls/qclbtnWnd.h"

#include "foundation/qclgraphDraw.h"

namespace treskel {

// ---------------------------------------------------------------- owner-drawn button

TQclCustomButton::TQclCustomButton(TComponent* owner)
    : TButton(owner), layout_(std::make_unique<TQclButtonLayout>()), fontFx_(std::make_unique<TQclFxCaption>()) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 75, 25);
    layout_->SetAlignment(TQclAlignment::agCenter);
    layout_->OnChange = [this](TObject*) { Invalidate(); };
    fontFx_->OnChange = [this](TObject*) { Invalidate(); };
    glyph_.OnChange = [this](TObject*) { Invalidate(); };
}

TQclCustomButton::~TQclCustomButton() {
    layout_->OnChange = nullptr;
    fontFx_->OnChange = nullptr;
    glyph_.OnChange = nullptr;
}

void TQclCustomButton::SetGlyph(TBitmap* v) {
    glyph_.SetGlyph(v);
    Invalidate();
}

void TQclCustomButton::SetGlyphKind(TQclGlyphKind v) {
    if (v == glyphKind_) return;
    glyphKind_ = v;
    if (v == TQclGlyphKind::gkCustom) return;
    // Resource 16546: the built-in glyphs, 13 x 14 each, side by side in kind order.
    constexpr int kCellWidth = 13, kCellHeight = 14;
    TBitmap strip;
    strip.LoadFromResourceID(GetModuleHandleA(nullptr), 16546);
    int left = (static_cast<int>(v) - 1) * kCellWidth;
    TBitmap cell;
    cell.SetPixelFormat(TPixelFormat::pf24bit);
    cell.SetSize(kCellWidth, kCellHeight);
    cell.Canvas()->CopyRect(Rect(0, 0, kCellWidth, kCellHeight), strip.Canvas(),
                            Rect(left, 0, left + kCellWidth, kCellHeight));
    glyph_.SetNumGlyphs(1);
    SetGlyph(&cell);
}

void TQclCustomButton::SetNumGlyphs(int v) {
    glyph_.SetNumGlyphs(v);
    Invalidate();
}

void TQclCustomButton::SetMultiLine(bool v) {
    multiLine_ = v;
    Invalidate();
}

void TQclCustomButton::SetStyle(TQclNormalButtonStyle v) {
    style_ = v;
    Invalidate();
}

void TQclCustomButton::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(0xF)) | BS_OWNERDRAW;
}

void TQclCustomButton::SetBounds(int left, int top, int width, int height) {
    TRect before = BoundsRect();
    TButton::SetBounds(left, top, width, height);
    uint8_t changes = QclBoundsChanges(before, BoundsRect());
    if (changes != 0 && !ComponentState().Contains(TComponentStateItem::csLoading)) BoundsChanged(changes);
}

void TQclCustomButton::DrawItem(const DRAWITEMSTRUCT& item) {
    TCanvas canvas;
    canvas.SetHandle(item.hDC);
    TRect r = ClientRect();
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    TQclButtonState state = !Enabled() ? TQclButtonState::bsDisabled
                            : (item.itemState & ODS_SELECTED) ? TQclButtonState::bsPushed
                                                               : TQclButtonState::bsUp;
    uint16_t flags = Default() && focused ? 3 : focused ? 33 : 1;
    QclDrawButtonFace(&canvas, false, r, static_cast<TQclUserButtonStyle>(style_), state, flags, Color());
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    glyph_.Draw(&canvas, Caption(), 0, multiLine_, Enabled() ? qclGtEnabled : 0, layout_.get(),
                static_cast<int>(state), r, fontFx_.get());
    drawn_ = state;
    canvas.SetHandle(nullptr);
}

void TQclCustomButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
            m.Result = 1;
            return;
        case CN_MEASUREITEM: {
            auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
            mi->itemWidth = static_cast<UINT>(Width());
            mi->itemHeight = static_cast<UINT>(Height());
            m.Result = 1;
            return;
        }
        case WM_LBUTTONDBLCLK:
            m.Msg = WM_LBUTTONDOWN;  // a quick second press is a press
            break;
        case CM_ENABLEDCHANGED:
            TButton::WndProc(m);
            Invalidate();
            return;
        default:
            break;
    }
    TButton::WndProc(m);
}

// ---------------------------------------------------------------- dock button

TQclDockButton::TQclDockButton(TComponent* owner) : TQclCustomButton(owner) {
    TControlStyle s = ControlStyle();
    s.Exclude(TControlStyleItem::csSetCaption);
    SetControlStyle(s);
    SetGlyphKind(TQclGlyphKind::gkEllipsis);
    SetBounds(Left(), Top(), 22, 22);
}

TQclDockButton::~TQclDockButton() {
    dock_.Unhook();
    control_ = nullptr;
}

void TQclDockButton::SetControl(TWinControl* v) {
    if (v == control_ || v == this) return;
    dock_.SetControl(v);
}

void TQclDockButton::SetReflectOwnChanges(bool v) {
    dock_.SetReflectOwnChanges(v);
    if (v) BoundsChanged(bcPosition);
}

void TQclDockButton::BoundsChanged(uint8_t) { dock_.Follow(); }

void TQclDockButton::Loaded() {
    TQclCustomButton::Loaded();
    Dock();
}

void TQclDockButton::Notification(TComponent* component, TOperation operation) {
    TQclCustomButton::Notification(component, operation);
    if (operation == TOperation::opRemove && component == control_) {
        dock_.Unhook();
        control_ = nullptr;
    }
}

}  // namespace treskel

#include "controls/qclbtnWnd.h"

#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/Forms.h"

namespace treskel {

// ---------------------------------------------------------------- owner-drawn button

TQclCustomButton::TQclCustomButton(TComponent* owner)
    : TButton(owner),
      layout_(std::make_unique<TQclButtonLayout>()),
      fontFx_(std::make_unique<TQclFxCaption>()),
      link_(this, [this] { RefreshGlyphFromList(); }) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 75, 25);
    SetParentColor(true);
    layout_->SetAlignment(TQclAlignment::agCenter);
    layout_->OnChange = [this](TObject* o) { FontChanged(o); };
    fontFx_->OnChange = [this](TObject* o) { FontChanged(o); };
    glyph_.OnChange = [this](TObject* o) { FontChanged(o); };
}

TQclCustomButton::~TQclCustomButton() {
    repeatTimer_.Stop();
    layout_->OnChange = nullptr;
    fontFx_->OnChange = nullptr;
    glyph_.OnChange = nullptr;
}

void TQclCustomButton::SetGlyph(TBitmap* v) {
    if (!Loading()) SetImageList(nullptr);
    glyph_.SetGlyph(v);
    glyphFromAction_ = false;
    Invalidate();
}

// The image-list image is the glyph of a gkCustom button.
void TQclCustomButton::RefreshGlyphFromList() {
    if (glyphKind_ != TQclGlyphKind::gkCustom) return;
    TBitmap image;
    if (link_.HasImage()) ImageList()->CopyImage(ListIndex(), ImageIndex(), &image);
    glyph_.SetGlyph(&image);
    glyphFromAction_ = false;
    Invalidate();
}

void TQclCustomButton::SetGlyphKind(TQclGlyphKind v) {
    if (v == glyphKind_) return;
    glyphKind_ = v;
    if (v == TQclGlyphKind::gkCustom) {
        RefreshGlyphFromList();
        return;
    }
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
    glyph_.SetGlyph(&cell);
    glyphFromAction_ = false;
    Invalidate();
}

void TQclCustomButton::SetNumGlyphs(int v) {
    if (v == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(v);
    Invalidate();
}

void TQclCustomButton::SetMultiLine(bool v) {
    multiLine_ = v;
    FontChanged(nullptr);
}

void TQclCustomButton::SetStyle(TQclNormalButtonStyle v) {
    style_ = v;
    Invalidate();
}

// A turned caption needs an outline font: a font that cannot turn stops
// the turning, and turning asks for Arial (whose change comes back here).
void TQclCustomButton::FontChanged(TObject* sender) {
    if (Loading()) return;
    if (sender == Font() || sender == fontFx_.get()) {
        SetParentFont(false);
        if (fontFx_->Angle() != 0 && !QclIsTrueTypeFont(Font())) {
            if (sender == Font()) fontFx_->SetAngle(0);
            else Font()->SetName("Arial");
        }
    }
    Invalidate();
}

void TQclCustomButton::CreateParams(TCreateParams& params) {
    TButton::CreateParams(params);
    params.Style = (params.Style & ~static_cast<DWORD>(0xF)) | BS_OWNERDRAW;
}

// The button draws its own face: being the button Enter presses is a look,
// never a button style that would replace the owner drawing.
void TQclCustomButton::SetButtonStyle(bool active) {
    if (active == active_) return;
    active_ = active;
    Invalidate();
}

void TQclCustomButton::SetBounds(int left, int top, int width, int height) {
    TRect before = BoundsRect();
    TButton::SetBounds(left, top, width, height);
    uint8_t changes = QclBoundsChanges(before, BoundsRect());
    if (changes != 0 && !Loading()) BoundsChanged(changes);
}

void TQclCustomButton::Notification(TComponent* component, TOperation operation) {
    TButton::Notification(component, operation);
    if (operation == TOperation::opRemove) link_.Removed(component);
}

void TQclCustomButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TButton::ActionChange(sender, checkDefaults);
    if (glyphKind_ == TQclGlyphKind::gkCustom && QclTakeActionGlyph(sender, glyph_, glyphFromAction_)) Invalidate();
}

void TQclCustomButton::DrawItem(const DRAWITEMSTRUCT& item) {
    TCanvas canvas;
    CanvasDCScope lent(&canvas, item.hDC);
    TRect r = ClientRect();
    bool focused = (item.itemState & ODS_FOCUS) != 0;
    TQclButtonState state = !Enabled() ? TQclButtonState::bsDisabled
                            : (item.itemState & ODS_SELECTED) ? TQclButtonState::bsPushed
                                                               : TQclButtonState::bsUp;
    uint16_t flags = active_ ? 3 : focused ? 33 : 1;
    QclDrawButtonFace(&canvas, false, r, static_cast<TQclUserButtonStyle>(style_), state, flags, Color());
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    glyph_.Draw(&canvas, Caption(), QclBiDiFlags(this), multiLine_, Enabled() ? qclGtEnabled : 0, layout_.get(),
                static_cast<int>(state), r, fontFx_.get());
    drawn_ = state;
}

bool TQclCustomButton::CursorInside() {
    if (!HandleAllocated()) return false;
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(Handle(), &p);
    return QclPointInSize(p.x, p.y, Width(), Height());
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
        case WM_LBUTTONDOWN:
            m.Msg = WM_LBUTTONDOWN;  // a quick second press is a press
            TButton::WndProc(m);
            if (repeatedClick_) repeatTimer_.Start(repeatingInterval_, [this] {
                if (CursorInside()) RepeatClick();
            });
            return;
        case WM_LBUTTONUP:
            TButton::WndProc(m);
            repeatTimer_.Stop();
            return;
        case CM_MOUSEENTER:
            TButton::WndProc(m);
            if (OnMouseEnter && drawn_ == TQclButtonState::bsUp) OnMouseEnter(this);
            mouseInside_ = true;
            return;
        case CM_MOUSELEAVE:
            TButton::WndProc(m);
            if (OnMouseExit) OnMouseExit(this);
            mouseInside_ = false;
            if (hideHint_ && Application != nullptr) Application->CancelHint();
            return;
        case CM_ENABLEDCHANGED:
            TButton::WndProc(m);
            Invalidate();
            return;
        case CM_FONTCHANGED:
            TButton::WndProc(m);
            FontChanged(Font());
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

void TQclDockButton::CreateWnd() {
    TQclCustomButton::CreateWnd();
    Dock();
}

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

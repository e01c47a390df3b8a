#include "winutil/WuCtrls.h"

#include <algorithm>
#include <cctype>

#include "foundation/qclgraphDraw.h"
#include "platform/ControlsHooks.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"
#include "platform/Register.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/UtilityWindow.h"
#include "winutil/UiUtils.h"

namespace treskel {

// ---------------------------------------------------------------- repeat timer

// A timer that calls its button; it stops when it goes.
class TWuRepeatTimer {
public:
    explicit TWuRepeatTimer(TWuSpeedButton* button)
        : timer_([this, button, alive = std::weak_ptr<int>(alive_)] {
              try {
                  button->RepeatTimerTick();
              } catch (...) {
                  // A failing click ends the repeating before it is reported
                  // (unless it freed the button and this timer with it).
                  if (!alive.expired()) Stop();
                  HandleCallbackException();
              }
          }) {}

    void Start(int interval) {
        interval_ = interval;
        if (!timer_.Start(static_cast<unsigned>(std::max(interval, 1)))) interval_ = 0;
    }
    void SetInterval(int interval) {
        if (timer_.Running() && interval != interval_) Start(interval);
    }
    void Stop() {
        timer_.Stop();
        interval_ = 0;
    }
    int Interval() const { return timer_.Running() ? interval_ : 0; }

private:
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    int interval_ = 0;
    UtilityTimer timer_;
};

namespace {

// The dither of a latched button: face and highlight in a checkerboard.
TBitmap* LatchedPattern() {
    static std::unique_ptr<TBitmap> pattern;
    if (!pattern) {
        pattern = std::make_unique<TBitmap>();
        pattern->SetSize(8, 8);
    }
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) pattern->Canvas()->SetPixel(x, y, (x + y) % 2 == 0 ? clBtnFace : clBtnHighlight);
    return pattern.get();
}


}  // namespace

// ---------------------------------------------------------------- TWuSpeedButton

TWuSpeedButton::TWuSpeedButton(TComponent* owner) : TGraphicControl(owner), buffer_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 25, 25);
    SetControlStyle({TControlStyleItem::csCaptureMouse, TControlStyleItem::csOpaque,
                     TControlStyleItem::csDoubleClicks, TControlStyleItem::csReplicatable});
    SetParentShowHint(false);
    SetShowHint(true);
    painter_.OnChange = [this](TObject*) { Invalidate(); };
}

TWuSpeedButton::~TWuSpeedButton() {
    painter_.OnChange = nullptr;
    timer_.reset();
}

bool TWuSpeedButton::NewStyle() const {
    return style_ == TButtonStyle::bsNew || (style_ == TButtonStyle::bsAutoDetect && QclNewStyleControls());
}

void TWuSpeedButton::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void TWuSpeedButton::SetAllowAllUp(bool v) {
    if (v == allowAllUp_) return;
    allowAllUp_ = v;
    UpdateExclusive();
}

void TWuSpeedButton::SetAllowTimer(bool v) {
    allowTimer_ = v;
    if (!v) timer_.reset();
}

void TWuSpeedButton::SetGroupIndex(int v) {
    if (v == groupIndex_) return;
    groupIndex_ = v;
    UpdateExclusive();
}

void TWuSpeedButton::SetDown(bool v) {
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = v;
    if (v) {
        if (face_ == TGlyphState::gsUp) Invalidate();
        face_ = TGlyphState::gsExclusive;
    } else {
        face_ = TGlyphState::gsUp;
    }
    Repaint();
    if (v) UpdateExclusive();
    Invalidate();
}

void TWuSpeedButton::SetDropDownMenu(TPopupMenu* menu) {
    if (menu == dropDownMenu_) return;
    dropDownMenu_ = menu;
    if (menu != nullptr) menu->FreeNotification(this);
    if (markDropDown_) Invalidate();
}

void TWuSpeedButton::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

void TWuSpeedButton::SetGlyph(TBitmap* glyph) {
    painter_.SetGlyph(glyph);
    Invalidate();
}

void TWuSpeedButton::SetGrayedInactive(bool v) {
    if (v == grayedInactive_) return;
    grayedInactive_ = v;
    Invalidate();
}

void TWuSpeedButton::SetLayout(TButtonLayout l) {
    if (l == layout_) return;
    layout_ = l;
    Invalidate();
}

void TWuSpeedButton::SetMargin(int v) {
    if (v == margin_ || v < -1) return;
    margin_ = v;
    Invalidate();
}

void TWuSpeedButton::SetMarkDropDown(bool v) {
    if (v == markDropDown_) return;
    markDropDown_ = v;
    Invalidate();
}

void TWuSpeedButton::SetNumGlyphs(int n) {
    painter_.SetNumGlyphs(std::min(n, 5));
    Invalidate();
}

void TWuSpeedButton::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Invalidate();
}

void TWuSpeedButton::SetStyle(TButtonStyle s) {
    if (s == style_) return;
    style_ = s;
    Invalidate();
}

void TWuSpeedButton::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TWuSpeedButton::SetWordWrap(bool v) {
    if (v == painter_.WordWrap()) return;
    painter_.SetWordWrap(v);
    Invalidate();
}

int TWuSpeedButton::RepeatTimerInterval() const { return timer_ ? timer_->Interval() : 0; }

void TWuSpeedButton::UpdateExclusive() {
    if (groupIndex_ == 0 || Parent() == nullptr) return;
    TMessage m{wu::CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
    Parent()->Broadcast(m);
}

void TWuSpeedButton::PrepareGlyph() {
    TGlyphState s = !Enabled() ? TGlyphState::gsDisabled : flat_ ? TGlyphState::gsInactive : TGlyphState::gsUp;
    painter_.CreateGlyphImage(s);
}

void TWuSpeedButton::Loaded() {
    TGraphicControl::Loaded();
    PrepareGlyph();
}

HPALETTE TWuSpeedButton::GetPalette() { return QclBitmapPalette(painter_.Glyph(), palette_); }

void TWuSpeedButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dropDownMenu_) {
        dropDownMenu_ = nullptr;
        if (markDropDown_) Invalidate();
    }
}

void TWuSpeedButton::Click() {
    if (TCustomForm* form = treskel::GetParentForm(this)) form->SetModalResult(modalResult_);
    TGraphicControl::Click();
}

void TWuSpeedButton::DblClick() {
    if (down_) TGraphicControl::DblClick();
}

void TWuSpeedButton::MouseEnter() {
    if (OnMouseEnter) OnMouseEnter(this);
}

void TWuSpeedButton::MouseLeave() {
    if (OnMouseLeave) OnMouseLeave(this);
}

void TWuSpeedButton::CheckMouseInside() {
    bool inside = false;
    if (Enabled() && Parent() != nullptr && Parent()->HandleAllocated()) {
        POINT p;
        GetCursorPos(&p);
        inside = FindDragTarget({p.x, p.y}, false) == this && IsActiveThreadWindow();
    }
    if (inside == mouseInside_) return;
    mouseInside_ = inside;
    if (inside) {
        if (flat_) Repaint();
        MouseEnter();
    } else {
        if (flat_) Invalidate();
        MouseLeave();
    }
}

TPoint TWuSpeedButton::GetDropDownPoint() {
    if (dropDownMenu_ == nullptr) return {0, 0};
    return WuDropDownPoint(menuPosition_, static_cast<int>(dropDownMenu_->Alignment()), Width(), Height());
}

bool TWuSpeedButton::DropDownPopup(TPoint at, bool forced) {
    if (ComponentState().Contains(TComponentStateItem::csDesigning) || dropDownMenu_ == nullptr) return false;
    if (!forced && !dropDownMenu_->AutoPopup()) return false;
    if (TCustomForm* form = treskel::GetParentForm(this)) form->Perform(CM_CANCELMODE);
    dropDownMenu_->SetPopupComponent(this);
    TPoint screen = ClientToScreen(at);
    dropDownMenu_->Popup(screen.x, screen.y);
    return true;
}

void TWuSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (menuTracking_) return;
    TGraphicControl::MouseDown(button, shift, x, y);
    if (!mouseInside_ && Enabled()) {
        mouseInside_ = true;
        Repaint();
    }
    if (button != TMouseButton::mbLeft || !Enabled()) return;
    if (!down_) {
        face_ = TGlyphState::gsDown;
        Repaint();
    }
    dragging_ = true;
    menuTracking_ = true;
    bool popped = false;
    try {
        popped = DropDownPopup(GetDropDownPoint(), false);
    } catch (...) {
        // A throwing menu handler ends the press as a closed menu does, and
        // the button takes presses again.
        FinishPress(button, x, y);
        menuTracking_ = false;
        throw;
    }
    // The menu has closed: this press ends here.
    if (popped) FinishPress(button, x, y);
    // A press over the button waiting already (the click that closed a
    // menu over it) must not press it again.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) &&
        (msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONDBLCLK)) {
        POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
        ::ClientToScreen(msg.hwnd, &p);
        TPoint local = ScreenToClient({p.x, p.y});
        if (Inside(local.x, local.y)) KillMessage(msg.hwnd, msg.message);
    }
    menuTracking_ = false;
    if (allowTimer_ && dragging_) {
        if (!timer_) timer_ = std::make_unique<TWuRepeatTimer>(this);
        timer_->Start(initPause_);
    }
}

void TWuSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!dragging_) return;
    TGlyphState face = down_ ? TGlyphState::gsExclusive : Inside(x, y) ? TGlyphState::gsDown : TGlyphState::gsUp;
    if (face != face_) {
        face_ = face;
        Repaint();
    }
}

void TWuSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    FinishPress(button, x, y);
    StopTimer();
}

void TWuSpeedButton::StopTimer() {
    if (timer_) timer_->Stop();
}

void TWuSpeedButton::FinishPress(TMouseButton button, int x, int y) {
    if (!dragging_ || button != TMouseButton::mbLeft) return;
    dragging_ = false;
    bool inside = Inside(x, y);
    if (groupIndex_ == 0) {
        face_ = TGlyphState::gsUp;
        mouseInside_ = false;
        if (inside) Repaint();
        else Invalidate();
    } else if (inside) {
        SetDown(!down_);
        if (down_) Repaint();
    } else if (down_) {
        face_ = TGlyphState::gsExclusive;
        Repaint();
    }
    if (inside && !menuTracking_) Click();
    CheckMouseInside();
}

void TWuSpeedButton::RepeatTimerTick() {
    if (!timer_) return;
    timer_->SetInterval(repeatInterval_);
    bool captured = Parent() != nullptr && Parent()->HandleAllocated() && GetCapture() == Parent()->Handle();
    if (face_ == TGlyphState::gsDown && captured && dragging_) Click();
}

TRect TWuSpeedButton::PaintFrame(TCanvas* canvas, TRect r, bool pressed) {
    TWuFramePlan plan = WuFramePlan(pressed, NewStyle(), flat_);
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(TPenStyle::psSolid);
    for (const TWuFrame& f : plan.frames) {
        canvas->Pen()->SetColor(f.topLeft);
        canvas->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right - 1, r.Top}});
        canvas->Pen()->SetColor(f.bottomRight);
        canvas->Polyline({{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left - 1, r.Bottom - 1}});
        r = InflateRect(r, -1, -1);
    }
    if (plan.shadowLine) {
        canvas->Pen()->SetColor(clBtnShadow);
        canvas->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
    }
    return InflateRect(r, -1, -1);
}

void TWuSpeedButton::PaintGlyph(TCanvas* canvas, const TRect& rect, bool drawMark, TGlyphState state) {
    UINT align = alignment_ == TAlignment::taLeftJustify    ? DT_LEFT
                 : alignment_ == TAlignment::taRightJustify ? DT_RIGHT
                                                            : DT_CENTER;
    painter_.SetAlignment(BiDiTextFlags(align));
    painter_.DrawButton(canvas, rect, Caption(), layout_, margin_, spacing_, state, drawMark);
}

void TWuSpeedButton::Paint() {
    bool designing = ComponentState().Contains(TComponentStateItem::csDesigning);
    if (!Enabled()) {
        face_ = TGlyphState::gsDisabled;
        dragging_ = false;
    } else if (face_ == TGlyphState::gsDisabled) {
        face_ = down_ && groupIndex_ != 0 ? TGlyphState::gsExclusive : TGlyphState::gsUp;
    }
    TGlyphState look = face_;
    if (flat_ && !mouseInside_ && !designing) look = TGlyphState::gsInactive;

    buffer_->SetSize(std::max(Width(), 1), std::max(Height(), 1));
    TCanvas* c = buffer_->Canvas();
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(clBtnFace);
    TRect r = Rect(0, 0, Width(), Height());
    c->FillRect(r);
    if (transparent_) CopyParentImage(this, c);
    bool pressed = face_ == TGlyphState::gsDown || face_ == TGlyphState::gsExclusive;
    if (look != TGlyphState::gsInactive || face_ == TGlyphState::gsExclusive) r = PaintFrame(c, r, pressed);
    else r = InflateRect(r, -2, -2);
    if (face_ == TGlyphState::gsExclusive && !transparent_ && (!flat_ || look == TGlyphState::gsInactive)) {
        c->Brush()->SetBitmap(LatchedPattern());
        c->FillRect(InflateRect(r, 1, 1));
        c->Brush()->SetBitmap(nullptr);
    }
    if (pressed) r = OffsetRect(r, 1, 1);
    TGlyphState glyphState = face_ == TGlyphState::gsDisabled || !grayedInactive_ ? face_ : look;
    PaintGlyph(c, r, markDropDown_ && dropDownMenu_ != nullptr, glyphState);
    Canvas()->Draw(0, 0, buffer_.get());
}

void TWuSpeedButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TGraphicControl::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr) return;
    if (groupIndex_ != 0 && (!checkDefaults || !down_)) SetDown(action->Checked());
    // A button without a glyph shows the action's image.
    TCustomImageList* images = action->ActionList() != nullptr ? action->ActionList()->Images() : nullptr;
    if (Glyph()->Empty() && images != nullptr && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count()) {
        TBitmap image;
        image.SetSize(images->Width(), images->Height());
        image.Canvas()->Brush()->SetColor(clFuchsia);
        image.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
        images->Draw(image.Canvas(), 0, 0, action->ImageIndex(), true);
        image.SetTransparentColor(clFuchsia);
        SetGlyph(&image);
    }
}

void TWuSpeedButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case wu::CM_BUTTONPRESSED: {
            auto* sender = reinterpret_cast<TControl*>(m.LParam);
            auto* other = dynamic_cast<TWuSpeedButton*>(sender);
            if (static_cast<int>(m.WParam) == groupIndex_ && other != nullptr && other != this &&
                Parent() != nullptr && Parent()->HandleAllocated()) {
                if (down_ && other->down_) {
                    down_ = false;
                    face_ = TGlyphState::gsUp;
                    Invalidate();
                }
                allowAllUp_ = other->allowAllUp_;
            }
            return;
        }
        case CM_DIALOGCHAR:
            if (Enabled() && Visible() && IsAccel(static_cast<char>(m.WParam), Caption())) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        case WM_LBUTTONDBLCLK:
            if (menuTracking_) return;
            break;
        case CM_ENABLEDCHANGED:
            TGraphicControl::WndProc(m);
            PrepareGlyph();
            CheckMouseInside();
            Repaint();
            return;
        case CM_SYSCOLORCHANGE:
            painter_.InvalidateGlyphs();
            Invalidate();
            break;
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
            Invalidate();
            break;
        case CM_VISIBLECHANGED:
            TGraphicControl::WndProc(m);
            if (Visible()) CheckMouseInside();
            return;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            TGraphicControl::WndProc(m);
            CheckMouseInside();
            return;
        case CM_MOUSEENTER:
            TGraphicControl::WndProc(m);
            if (!mouseInside_ && Enabled() && IsActiveThreadWindow()) {
                mouseInside_ = true;
                if (flat_) Repaint();
                MouseEnter();
            }
            return;
        case CM_MOUSELEAVE:
            TGraphicControl::WndProc(m);
            if (mouseInside_ && Enabled() && !dragging_) {
                mouseInside_ = false;
                if (flat_) Invalidate();
                MouseLeave();
            }
            return;
        default:
            break;
    }
    TGraphicControl::WndProc(m);
}

// ---------------------------------------------------------------- registration

namespace {

// A bitmap in a layout: its size in four bytes, then the bitmap file.
void ReadBitmapData(TBitmap* bitmap, const FormValue& v, LayoutReader& r) {
    const std::vector<uint8_t>& bytes = typinfo::AsBinary(v, r);
    if (bytes.size() < 4) r.Error("Invalid bitmap data");
    uint32_t size = GetU32(bytes.data());
    if (size > bytes.size() - 4) r.Error("Invalid bitmap data");
    std::vector<uint8_t> data(bytes.begin() + 4, bytes.begin() + 4 + size);
    TMemoryStream stream(std::move(data));
    bitmap->LoadFromStream(stream);
}

std::optional<FormValue> WriteBitmapData(TBitmap* bitmap) {
    if (bitmap->Empty()) return std::nullopt;
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    std::vector<uint8_t> bytes(4);
    PutU32(bytes.data(), static_cast<uint32_t>(stream.Size()));
    bytes.insert(bytes.end(), stream.Memory(), stream.Memory() + stream.Size());
    return typinfo::BinaryValue(std::move(bytes));
}

}  // namespace

void RegisterWuCursors() {
    TScreen* screen = EnsureScreen();
    HINSTANCE module = GetModuleHandleA(nullptr);
    if (HCURSOR hand = LoadCursorA(module, "WU_HANDCUR")) screen->SetCursors(crWuHand, hand);
    if (HCURSOR drag = LoadCursorA(module, "WU_DRAGCUR")) screen->SetCursors(crWuDrag, drag);
}

void RegisterWinUtilControlClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterWuCursors();
    // Glyphs are stored as bitmap data unless the class library already reads it.
    const ClassInfo* bitmapInfo = ClassRegistry::Instance().Find("TBitmap");
    if (bitmapInfo == nullptr || bitmapInfo->FindProp("Data") == nullptr)
        PublishClass<TBitmap, TGraphic>().Custom("Data", ReadBitmapData, WriteBitmapData);
    PublishClass<TWuSpeedButton, TGraphicControl> button;
    PublishBiDi(button);
    PublishConstraints(button);
    PublishDockClient(button);
    button.String("Caption", &TWuSpeedButton::Caption, &TWuSpeedButton::SetCaption)
        .Enum<TAlignment>("Alignment", &TWuSpeedButton::Alignment, &TWuSpeedButton::SetAlignment, TAlignment::taCenter)
        .Bool("AllowAllUp", &TWuSpeedButton::AllowAllUp, &TWuSpeedButton::SetAllowAllUp)
        .Bool("AllowTimer", &TWuSpeedButton::AllowTimer, &TWuSpeedButton::SetAllowTimer)
        .Int("GroupIndex", &TWuSpeedButton::GroupIndex, &TWuSpeedButton::SetGroupIndex)
        .Bool("Down", &TWuSpeedButton::Down, &TWuSpeedButton::SetDown)
        .Ref<TPopupMenu>("DropDownMenu", &TWuSpeedButton::DropDownMenu, &TWuSpeedButton::SetDropDownMenu)
        .Enum<TWuDropDownMenuPos>("MenuPosition", &TWuSpeedButton::MenuPosition, &TWuSpeedButton::SetMenuPosition,
                                  TWuDropDownMenuPos::dmpBottom)
        .Bool("Flat", &TWuSpeedButton::Flat, &TWuSpeedButton::SetFlat)
        .Object("Glyph", &TWuSpeedButton::Glyph)
        .Bool("GrayedInactive", &TWuSpeedButton::GrayedInactive, &TWuSpeedButton::SetGrayedInactive, true)
        .Int("InitPause", &TWuSpeedButton::InitPause, &TWuSpeedButton::SetInitPause, 500)
        .Enum<TButtonLayout>("Layout", &TWuSpeedButton::Layout, &TWuSpeedButton::SetLayout, TButtonLayout::blGlyphTop)
        .Int("Margin", &TWuSpeedButton::Margin, &TWuSpeedButton::SetMargin, -1)
        .Bool("MarkDropDown", &TWuSpeedButton::MarkDropDown, &TWuSpeedButton::SetMarkDropDown, true)
        .Int("ModalResult", &TWuSpeedButton::ModalResult, &TWuSpeedButton::SetModalResult, 0, &ModalResultIdents())
        .Int("NumGlyphs", &TWuSpeedButton::NumGlyphs, &TWuSpeedButton::SetNumGlyphs, 1)
        .Int("RepeatInterval", &TWuSpeedButton::RepeatInterval, &TWuSpeedButton::SetRepeatInterval, 100)
        .Int("Spacing", &TWuSpeedButton::Spacing, &TWuSpeedButton::SetSpacing, 1)
        .Enum<TButtonStyle>("Style", &TWuSpeedButton::Style, &TWuSpeedButton::SetStyle, TButtonStyle::bsAutoDetect)
        .Bool("Transparent", &TWuSpeedButton::Transparent, &TWuSpeedButton::SetTransparent)
        .Bool("WordWrap", &TWuSpeedButton::WordWrap, &TWuSpeedButton::SetWordWrap)
        .Bool("ParentShowHint", &TWuSpeedButton::ParentShowHint, &TWuSpeedButton::SetParentShowHint, false)
        .Bool("ShowHint", &TWuSpeedButton::ShowHint, &TWuSpeedButton::SetShowHint, true)
        .Event("OnMouseEnter", &TWuSpeedButton::OnMouseEnter)
        .Event("OnMouseLeave", &TWuSpeedButton::OnMouseLeave);
}

}  // namespace treskel

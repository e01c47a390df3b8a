#include "controls/qclbtnWin.h"

#include <algorithm>

#include "foundation/qclclass.h"
#include "foundation/qclgraphDraw.h"
#include "platform/ActnList.h"
#include "platform/Forms.h"
#include "platform/ImgList.h"

namespace treskel {

using S = TQclButtonState;

// ---------------------------------------------------------------- glyph

TQclGlyph::TQclGlyph() : source_(std::make_unique<TBitmap>()) {
    GlyphCache();
    source_->OnChange = [this](TObject*) { SourceChanged(); };
}

TQclGlyph::~TQclGlyph() {
    source_->OnChange = nullptr;
    Invalidate();
    FreeGlyphCacheIfEmpty();
}

void TQclGlyph::SetGlyph(TBitmap* bitmap) {
    Invalidate();
    source_->OnChange = nullptr;
    if (bitmap != nullptr) source_->Assign(bitmap);
    else source_->SetHandle(nullptr);
    source_->OnChange = [this](TObject*) { SourceChanged(); };
    if (bitmap == nullptr || source_->Height() < 1) return;
    transparentColor_ = source_->TransparentColor() & ~0x02000000;
    if (source_->Width() % source_->Height() == 0) numGlyphs_ = WuNumGlyphsFor(source_->Width(), source_->Height(), numGlyphs_);
}

void TQclGlyph::SourceChanged() {
    if (source_->Height() > 0) transparentColor_ = source_->TransparentColor() & ~0x02000000;
    Invalidate();
    if (OnChange) OnChange(nullptr);
}

void TQclGlyph::SetNumGlyphs(int value) {
    if (value == 0 || value == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = std::clamp(value, 1, 5);
}

void TQclGlyph::SetUncoloured(bool value) {
    if (value == uncoloured_) return;
    Invalidate();
    uncoloured_ = value;
}

void TQclGlyph::Invalidate() {
    for (int& i : indexes_) {
        if (i != -1 && list_ != nullptr) list_->Delete(i);
        i = -1;
    }
    if (list_ != nullptr) GlyphCache()->ReturnList(list_);
    list_ = nullptr;
}

int TQclGlyph::CreateImage(int state) {
    int s = QclGlyphImageState(state, numGlyphs_, uncoloured_);
    if (indexes_[s] != -1) return indexes_[s];
    if (source_->Empty() || source_->Height() == 0) return -1;
    int w = source_->Width() / numGlyphs_, h = source_->Height();
    if (w <= 0) return -1;
    TQclGlyphSource how = QclGlyphSourceFor(s, numGlyphs_, uncoloured_);
    if (how == TQclGlyphSource::gsNone) return -1;
    if (list_ == nullptr) list_ = GlyphCache()->GetList(w, h);
    TBitmap cell;
    cell.SetSize(w, h);
    int from = how == TQclGlyphSource::gsCell ? s : 0;
    cell.Canvas()->CopyRect(Rect(0, 0, w, h), source_->Canvas(), Rect(from * w, 0, (from + 1) * w, h));
    TBitmap derived;
    TBitmap* image = &cell;
    if (how == TQclGlyphSource::gsGrayed) {
        QclMakeGrayedGlyph(&derived, &cell);
        image = &derived;
    } else if (how == TQclGlyphSource::gsEmbossed) {
        derived.SetSize(w, h);
        QclMakeEmbossedGlyph(&derived, &cell, 0, 0);
        image = &derived;
    }
    indexes_[s] = list_->AddMasked(image, transparentColor_);
    return indexes_[s];
}

void TQclGlyph::Draw(TCanvas* canvas, const std::string& caption, unsigned bidiFlags, bool multiLine,
                     uint16_t flags, TQclButtonLayout* layout, int state, const TRect& rect, TQclFxCaption* fx) {
    int index = CreateImage(state);
    TBitmap image;
    TRect glyphRect{};
    if (index >= 0 && list_ != nullptr) {
        image.SetSize(list_->Width(), list_->Height());
        image.Canvas()->Brush()->SetColor(transparentColor_);
        image.Canvas()->FillRect(Rect(0, 0, list_->Width(), list_->Height()));
        list_->Draw(image.Canvas()->Handle(), index, 0, 0);
        glyphRect = Rect(0, 0, list_->Width(), list_->Height());
    }
    QclDrawGlyphText(canvas, caption, fx, rect, index >= 0 ? image.Canvas() : nullptr, glyphRect, nullptr,
                     transparentColor_, layout, multiLine, true, true, flags, bidiFlags);
}

void TQclPoolTimer::Start(int interval, std::function<void()> tick) {
    if (id_ != 0) return;
    if (QclApplication != nullptr)
        id_ = QclApplication->AddTimer(static_cast<uint16_t>(std::max(interval, 1)), [tick](TObject*) { tick(); });
    if (id_ == 0) throw EOutOfResources("Not enough timers available");
}

void TQclPoolTimer::Stop() {
    if (id_ == 0) return;
    if (QclApplication != nullptr && QclApplication->GetTimer(id_) != nullptr) QclApplication->RemoveTimer(id_);
    id_ = 0;
}

bool QclTakeActionGlyph(TBasicAction* sender, TQclGlyph& glyph, bool& fromAction) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr) return false;
    TCustomImageList* images = action->ActionList() != nullptr ? action->ActionList()->Images() : nullptr;
    bool valid = images != nullptr && action->ImageIndex() >= 0 && action->ImageIndex() < images->Count();
    if (!valid || (!glyph.Source()->Empty() && !fromAction)) return false;
    TBitmap image;
    image.SetPixelFormat(TPixelFormat::pf24bit);
    image.SetSize(images->Width(), images->Height());
    image.Canvas()->Brush()->SetColor(clFuchsia);
    image.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
    images->Draw(image.Canvas(), 0, 0, action->ImageIndex(), true);
    image.SetTransparentColor(clFuchsia);
    glyph.SetGlyph(&image);
    fromAction = true;
    return true;
}

// ---------------------------------------------------------------- windowless button base

TQclBaseGraphicButton::TQclBaseGraphicButton(TComponent* owner)
    : TQclBaseControl(owner),
      layout_(std::make_unique<TQclButtonLayout>()),
      fontFx_(std::make_unique<TQclFxCaption>()) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csCaptureMouse);
    s.Include(TControlStyleItem::csOpaque);
    s.Include(TControlStyleItem::csDoubleClicks);
    s.Exclude(TControlStyleItem::csSetCaption);
    // Clicks come from the state machine alone, once per release inside.
    s.Exclude(TControlStyleItem::csClickEvents);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 25, 25);
    SetParentColor(true);
    layout_->SetAlignment(TQclAlignment::agCenter);
    layout_->OnChange = [this](TObject* o) { ObjectChanged(o); };
    fontFx_->OnChange = [this](TObject* o) { FontChanged(o); };
    glyph_.OnChange = [this](TObject*) { Invalidate(); };
    machine_.onRepaint = [this] { Repainted(); };
    machine_.lookChanges = [this](S from, S to) {
        TQclLookTraits look;
        look.numGlyphs = glyph_.NumGlyphs();
        look.hoverShows = AlwaysRepaintOnHover() || glyph_.Uncoloured() || (AllowMouseOver() && enterColorChange_);
        look.pressShows = AlwaysRepaintOnPress();
        return QclStateChangeRepaints(from, to, look);
    };
    machine_.stateBeforeClick = [this] { return glyph_.NumGlyphs() < 3 && !glyph_.Uncoloured(); };
    machine_.onClick = [this] { Click(); };
    machine_.onRepeatClick = [this] { RepeatClick(); };
    machine_.onRepeatTimer = [this](bool run) {
        if (run) {
            repeatTimer_.Start(repeatingInterval_, [this] { machine_.RepeatTick(CursorInside()); });
        } else {
            repeatTimer_.Stop();
        }
    };
    machine_.onLeaveCheck = [this](bool run) {
        if (run) leaveTimer_.Start(100, [this] { CheckMouseLeave(); });
        else leaveTimer_.Stop();
    };
    machine_.onShowMenu = [this] { ShowMenu(); };
    machine_.onDropDown = [this] {
        if (OnDropDown) OnDropDown(this);
    };
    machine_.onAnnounce = [this] {
        if (Parent() != nullptr && GroupIndex() != 0) {
            TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(GroupIndex()), reinterpret_cast<LPARAM>(this), 0};
            Parent()->Broadcast(m);
        }
    };
    machine_.onMouseEnter = [this] { TQclBaseControl::MouseEnter(); };
    machine_.onMouseExit = [this] {
        TQclBaseControl::MouseExit();
        if (hideHint_ && Application != nullptr) Application->CancelHint();
    };
    machine_.cursorInside = [this] { return CursorInside(); };
    machine_.onMouseInsideChanged = [this] { MouseInsideChanged(); };
    machine_.frozen = [this] { return StateFrozen(); };
}

// A button of a multiple-document form keeps its look while another
// program is active.
bool TQclBaseGraphicButton::StateFrozen() {
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (form == nullptr || (form->FormStyle() != TFormStyle::fsMDIChild && form->FormStyle() != TFormStyle::fsMDIForm))
        return false;
    DWORD process = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &process);
    return process != GetCurrentProcessId();
}

TQclBaseGraphicButton::~TQclBaseGraphicButton() {
    leaveTimer_.Stop();
    repeatTimer_.Stop();
    machine_ = TQclButtonMachine();
    layout_->OnChange = nullptr;
    fontFx_->OnChange = nullptr;
    glyph_.OnChange = nullptr;
}

bool TQclBaseGraphicButton::CursorInside() {
    if (Parent() == nullptr || !Parent()->HandleAllocated()) return false;
    POINT p;
    GetCursorPos(&p);
    TPoint c = ScreenToClient({p.x, p.y});
    return allowTransparency_ ? PointInButton(c.x, c.y) : QclPointInSize(c.x, c.y, ClientWidth(), ClientHeight());
}

void TQclBaseGraphicButton::CheckMouseLeave() { machine_.CheckMouseLeave(CursorInside()); }

void TQclBaseGraphicButton::Repainted() {
    if (!Visible()) return;
    if (transparent_ && !IsTransparentActive()) Invalidate();
    else Repaint();
}

bool TQclBaseGraphicButton::IsTransparentActive() { return transparent_ && QclParentOffersBackground(this); }

void TQclBaseGraphicButton::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    QclSetOpaque(this, !v);
    Invalidate();
}

void TQclBaseGraphicButton::SetAllowAllUp(bool v) {
    machine_.settings.allowAllUp = v;
    machine_.onAnnounce();
}

void TQclBaseGraphicButton::SetGroupIndex(int v) {
    machine_.SetGroupIndex(v);
    machine_.onAnnounce();
}

void TQclBaseGraphicButton::SetDropDownMenu(TPopupMenu* menu) {
    dropDownMenu_ = menu;
    machine_.settings.hasMenu = menu != nullptr;
    if (menu != nullptr) menu->FreeNotification(this);
}

void TQclBaseGraphicButton::SetDropDownIndent(int v) {
    dropDownIndent_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseGraphicButton::SetDropDownRight(bool v) {
    dropDownRight_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseGraphicButton::SetEnterColor(TColor v) {
    enterColor_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseGraphicButton::SetEnterColorChange(bool v) {
    enterColorChange_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseGraphicButton::SetMultiLine(bool v) {
    multiLine_ = v;
    ObjectChanged(nullptr);
}

void TQclBaseGraphicButton::SetGlyph(TBitmap* v) {
    if (!Loading()) SetImageList(nullptr);
    glyph_.SetGlyph(v);
    glyphFromAction_ = false;
    Invalidate();
}

void TQclBaseGraphicButton::SetNumGlyphs(int v) {
    if (v == glyph_.NumGlyphs()) return;
    glyph_.SetNumGlyphs(v);
    Invalidate();
}

void TQclBaseGraphicButton::LinkChanged(TObject*) {
    TQclCustomImageList* list = ImageList();
    if (list == nullptr) {
        Invalidate();
        return;
    }
    TBitmap image;
    if (list->IsValid(ListIndex(), ImageIndex())) list->CopyImage(ListIndex(), ImageIndex(), &image);
    glyph_.SetGlyph(&image);
    Invalidate();
}

void TQclBaseGraphicButton::FontChanged(TObject* sender) {
    if (Loading()) return;
    Canvas()->Font()->Assign(Font());
    if (fontFx_->Angle() != 0 && !QclIsTrueTypeFont(Font())) {
        if (sender == fontFx_.get()) Font()->SetName("Arial");
        else fontFx_->SetAngle(0);
    }
    ObjectChanged(sender);
}

// A button that shows its action's image is a picture button, as a tool
// button is: the action's caption is not drawn over the picture.
void TQclBaseGraphicButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TQclBaseControl::ActionChange(sender, checkDefaults);
    if (CanTakeActionImage() && QclTakeActionGlyph(sender, glyph_, glyphFromAction_)) Invalidate();
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (glyphFromAction_ && action != nullptr && Caption() == action->Caption()) SetCaption("");
}

void TQclBaseGraphicButton::Loaded() {
    TQclBaseControl::Loaded();
    Canvas()->Font()->Assign(Font());
    if (Pressed()) machine_.onAnnounce();
}

void TQclBaseGraphicButton::Notification(TComponent* component, TOperation operation) {
    TQclBaseControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == dropDownMenu_) SetDropDownMenu(nullptr);
}

void TQclBaseGraphicButton::MouseEnter() {
    if (!allowTransparency_) machine_.MouseEnter();
}

void TQclBaseGraphicButton::MouseExit() { machine_.MouseExit(); }

void TQclBaseGraphicButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TQclBaseControl::MouseDown(button, shift, x, y);
    if (allowTransparency_ && !PointInButton(x, y)) return;
    if (button == TMouseButton::mbLeft && Enabled()) machine_.Press();
}

void TQclBaseGraphicButton::MouseMove(TShiftState shift, int x, int y) {
    TQclBaseControl::MouseMove(shift, x, y);
    bool inside = allowTransparency_ ? PointInButton(x, y) : QclPointInSize(x, y, ClientWidth(), ClientHeight());
    machine_.Move(inside);
}

void TQclBaseGraphicButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TQclBaseControl::MouseUp(button, shift, x, y);
    if (button == TMouseButton::mbLeft) machine_.Release(QclPointInSize(x, y, ClientWidth(), ClientHeight()));
}

void TQclBaseGraphicButton::DropDown() { machine_.DropDown(); }

void TQclBaseGraphicButton::ShowMenu() {
    if (dropDownMenu_ == nullptr) return;
    TPoint at = QclDropDownPoint(Width(), Height(), dropDownRight_, dropDownIndent_);
    TPoint screen = ClientToScreen(at);
    dropDownMenu_->SetPopupComponent(this);
    dropDownMenu_->Popup(screen.x, screen.y);
    // Mouse moves queued while the menu was open would flicker the button
    // into another state afterwards.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_MOUSEMOVE, 0x20A, PM_REMOVE)) {
    }
    if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
}

TQclButtonState TQclBaseGraphicButton::DrawnState() {
    S s = machine_.State();
    for (TWinControl* p = Parent(); p != nullptr; p = p->Parent())
        if (!p->Enabled()) return Pressed() ? S::bsDisabledDown : S::bsDisabled;
    return s;
}

void TQclBaseGraphicButton::DrawGlyphAndCaption(const TRect& rect, TCanvas* target) {
    TCanvas* c = target != nullptr ? target : Canvas();
    c->Font()->Assign(Font());
    S s = DrawnState();
    if (AllowMouseOver() && enterColorChange_ && s >= S::bsMouseOver && s <= S::bsDropDown)
        c->Font()->SetColor(enterColor_);
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    uint16_t flags = s == S::bsDisabled || s == S::bsDisabledDown ? 0 : qclGtEnabled;
    glyph_.Draw(c, Caption(), QclBiDiFlags(this), multiLine_, flags, layout_.get(), static_cast<int>(s), rect,
                fontFx_.get());
}

// The caption's letter works the button as a click would.
void TQclBaseGraphicButton::AcceleratorPressed() {
    if (dropDownMenu_ != nullptr) {
        if (State() == S::bsDropDown) machine_.SetState(S::bsMouseOver);
        else machine_.DropDown();
    } else if (GroupIndex() != 0) {
        if (!AllowAllUp() && State() == S::bsDown) return;
        SetPressed(!Pressed());
        if (!AllowMouseOver()) return;
        machine_.SetState(Pressed() ? S::bsDown : S::bsUp);
        if (Pressed()) Click();
    } else {
        // Shown pressed under a pointer that may be elsewhere, then as it is.
        machine_.SetMouseInside(true);
        Repaint();
        Click();
        Repaint();
        if (!CursorInside()) machine_.SetMouseInside(false);
    }
}

void TQclBaseGraphicButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_BUTTONPRESSED: {
            auto* other = dynamic_cast<TQclBaseGraphicButton*>(reinterpret_cast<TControl*>(m.LParam));
            if (other != nullptr && other != this)
                machine_.OtherPressed(static_cast<int>(m.WParam), other->AllowAllUp(), other->Pressed());
            return;
        }
        case CM_ENABLEDCHANGED:
            TQclBaseControl::WndProc(m);
            machine_.SetEnabled(Enabled());
            Invalidate();
            return;
        case CM_FONTCHANGED:
            FontChanged(Font());
            // A transparent button shows its new font over the parent at once.
            if (transparent_) {
                Repaint();
                return;
            }
            break;
        case CM_TEXTCHANGED:
            // A transparent button shows its new caption over the parent at once.
            if (transparent_) Repaint();
            else Invalidate();
            return;
        case CM_DIALOGCHAR:
            if (Enabled() && Visible() && Parent() != nullptr && Parent()->Enabled() &&
                IsAccel(static_cast<char>(m.WParam), Caption())) {
                AcceleratorPressed();
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TQclBaseControl::WndProc(m);
}

// ---------------------------------------------------------------- speed, office, explorer

TQclCustomSpeedButton::TQclCustomSpeedButton(TComponent* owner) : TQclBaseGraphicButton(owner) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
    SetAllowMouseOver(true);
    allowTransparency_ = false;
    SetBounds(Left(), Top(), 23, 22);
}

void TQclCustomSpeedButton::SetStyle(TQclUserButtonStyle v) {
    if (v == style_) return;
    style_ = v;
    using U = TQclUserButtonStyle;
    GlyphObject().SetUncoloured(v == U::ubsFlatUnColored || v == U::ubsNavigator || v == U::ubsExplorer);
    SetTransparent(v == U::ubsExplorer || v == U::ubsExplorerColored);
    ObjectChanged(nullptr);
}

namespace {
int FrameInset(TQclUserButtonStyle style) {
    using U = TQclUserButtonStyle;
    switch (QclResolveButtonStyle(style, QclNewStyleControls())) {
        case U::ubsWin31: return 3;
        case U::ubsFlat: case U::ubsFlatUnColored: case U::ubsExplorer: case U::ubsExplorerColored: return 1;
        default: return 2;
    }
}
}  // namespace

void TQclCustomSpeedButton::Paint() {
    if (Loading()) return;
    TRect r = ClientRect();
    if (Transparent() && IsTransparentActive()) {
        auto* parent = static_cast<TQclCustomControl*>(Parent());
        parent->DrawParentBackground(Canvas(), r, 0, Point(parent->Left() + Left(), parent->Top() + Top()));
    }
    S s = Designing() ? S::bsMouseOver : DrawnState();
    TRect face = r;
    QclDrawButtonFace(Canvas(), machine_.MouseInside(), face, style_, s, 5, Color());
    int inset = FrameInset(style_);
    r = {r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset};
    if (s == S::bsDown || s == S::bsPushed || s == S::bsDropDown) r = OffsetRect(r, 1, 1);
    DrawGlyphAndCaption(r);
}

namespace {
bool FlatLook(TQclUserButtonStyle s) {
    using U = TQclUserButtonStyle;
    return s == U::ubsClassicFlat || s == U::ubsFlat || s == U::ubsFlatUnColored || s == U::ubsNavigator;
}
}  // namespace

// The flat looks draw the pointer's presence.
void TQclCustomSpeedButton::MouseInsideChanged() {
    if (FlatLook(style_)) Repaint();
}

// An office button draws it only on a pressed face.
void TQclOfficeButton::MouseInsideChanged() {
    if (FlatLook(Style()) && AllowMouseOver() && State() == S::bsDown) Repaint();
}

TQclOfficeButton::TQclOfficeButton(TComponent* owner) : TQclCustomSpeedButton(owner) {
    QclSetOpaque(this, false);
    SetStyle(TQclUserButtonStyle::ubsFlat);
}

TQclExplorerButton::TQclExplorerButton(TComponent* owner) : TQclOfficeButton(owner) {
    SetStyle(TQclUserButtonStyle::ubsExplorer);
    SetBounds(Left(), Top(), 54, 40);
}

void TQclExplorerButton::SetUnColorMain(bool v) {
    GlyphObject().SetUncoloured(v);
    Invalidate();
}

}  // namespace treskel

#include "controls/qclgroupWin.h"

#include <algorithm>

#include "foundation/qclgraphDraw.h"

namespace treskel {

// ---------------------------------------------------------------- button control

TQclButtonControl::TQclButtonControl(TComponent* owner)
    : TQclCustomPanel(owner),
      strip_(std::make_unique<TBitmap>()),
      layout_(std::make_unique<TQclGlyphTextLayout>()),
      font3D_(std::make_unique<TQcl3DCaption>()) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csSetCaption);
    s.Include(TControlStyleItem::csOpaque);
    s.Exclude(TControlStyleItem::csAcceptsControls);
    s.Exclude(TControlStyleItem::csDoubleClicks);
    // Its click is the checking itself, never a bare mouse release.
    s.Exclude(TControlStyleItem::csClickEvents);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 105, 17);
    layout_->SetSpacing(4);
    layout_->OnChange = [this](TObject* o) { ObjectChanged(o); };
    font3D_->OnChange = [this](TObject* o) { ObjectChanged(o); };
}

TQclButtonControl::~TQclButtonControl() {
    layout_->OnChange = nullptr;
    font3D_->OnChange = nullptr;
}

void TQclButtonControl::SetGlyphTransparent(bool v) {
    if (v == glyphTransparent_) return;
    glyphTransparent_ = v;
    Invalidate();
}

void TQclButtonControl::SetGlyphTransparentColor(TColor v) {
    if (v == glyphTransparentColor_) return;
    glyphTransparentColor_ = v;
    ObjectChanged(nullptr);
}

void TQclButtonControl::SetUseBitmap(bool v) {
    if (v == useBitmap_) return;
    useBitmap_ = v;
    Invalidate();
}

void TQclButtonControl::SetGlyphSize(int v) {
    if (v == glyphSize_) return;
    glyphSize_ = v;
    if (ImageList() == nullptr) CreateGlyph();
    ObjectChanged(nullptr);
}

void TQclButtonControl::SetGlyphFlat(bool v) {
    if (v == glyphFlat_) return;
    glyphFlat_ = v;
    if (ImageList() == nullptr) CreateGlyph();
    ObjectChanged(nullptr);
}

void TQclButtonControl::SetFocusStyle(TQclGlyphTextFocusStyle v) {
    if (v == focusStyle_) return;
    focusStyle_ = v;
    if (Focused()) Repaint();
}

void TQclButtonControl::SetFocusColor(TColor v) {
    if (v == focusColor_) return;
    focusColor_ = v;
    if (Focused()) Repaint();
}

void TQclButtonControl::SetUseFocusColor(bool v) {
    if (v == useFocusColor_) return;
    useFocusColor_ = v;
    if (Focused()) Repaint();
}

// The strip comes from the linked image list while it has the picture,
// else the control draws its own.
void TQclButtonControl::LinkChanged(TObject* sender) {
    if (ImageList() != nullptr && ImageList()->IsValid(ListIndex(), ImageIndex())) {
        strip_ = std::make_unique<TBitmap>();
        ImageList()->CopyImage(ListIndex(), ImageIndex(), strip_.get());
        cellWidth_ = strip_->Width() / 4;
    } else {
        CreateGlyph();
    }
    ObjectChanged(sender);
}

HPALETTE TQclButtonControl::GetPalette() {
    TQclCustomImageList* list = ImageList();
    if (list == nullptr || ListIndex() >= list->Count()) return nullptr;
    return QclBitmapPalette(list->ItemBitmap(ListIndex()), palette_);
}

// Measured with the content at the top left: the control keeps its place
// and takes the size the glyph and the caption need.
TSize TQclButtonControl::ContentSize() {
    TQclAlignment keep = layout_->Alignment();
    auto changed = std::move(layout_->OnChange);
    layout_->OnChange = nullptr;
    layout_->SetAlignment(TQclAlignment::agTopLeft);
    TBitmap scratch;
    scratch.SetSize(1, 1);
    TRect r = DrawContent(scratch.Canvas(), false);
    layout_->SetAlignment(keep);
    layout_->OnChange = std::move(changed);
    return {r.Right, r.Bottom};
}

void TQclButtonControl::AdjustSize() {
    if (!autoSize_ || Loading() || sizing_) return;
    sizing_ = true;
    TSize s = ContentSize();
    SetBounds(Left(), Top(), s.cx, s.cy);
    sizing_ = false;
}

void TQclButtonControl::ObjectChanged(TObject*) {
    if (Loading()) return;
    AdjustSize();
    if (!noRepaint_) Invalidate();
}

void TQclButtonControl::Loaded() {
    TQclCustomPanel::Loaded();
    Canvas()->Font()->Assign(Font());
    AdjustSize();
}

void TQclButtonControl::Paint() {
    if (Loading() || !HandleAllocated()) return;
    if (!useBitmap_) {
        DrawBackground();
        DrawContent(Canvas(), true);
        return;
    }
    // Drawn off the screen first, so that the face never flickers.
    TBitmap buffer;
    buffer.SetSize(Width(), Height());
    TCanvas* b = buffer.Canvas();
    if (!(IsTransparentActive() && DrawParentBackground(b, ClientRect(), 0, Point(Left(), Top())))) {
        b->Brush()->SetColor(Color());
        b->FillRect(ClientRect());
    }
    DrawContent(b, true);
    Canvas()->Draw(0, 0, &buffer);
}

void TQclButtonControl::DrawFocusFrame(TCanvas* canvas, const TRect& f) {
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    if (useFocusColor_) {
        canvas->Pen()->SetColor(focusColor_);
        canvas->Pen()->SetWidth(1);
        canvas->Pen()->SetStyle(TPenStyle::psDot);
        canvas->Brush()->SetStyle(TBrushStyle::bsClear);
        canvas->Rectangle(f.Left, f.Top, f.Right, f.Bottom);
        canvas->Pen()->SetStyle(TPenStyle::psSolid);
        return;
    }
    RECT r{f.Left, f.Top, f.Right, f.Bottom};
    DrawFocusRect(canvas->Handle(), &r);
}

// Tabbing onto a button checks it (when it may change).
void TQclButtonControl::DoEnter() {
    TQclCustomPanel::DoEnter();
    if (!GetChecked() && CanModify()) SetChecked(true);
    else Repaint();
}

void TQclButtonControl::DoExit() {
    TQclCustomPanel::DoExit();
    Repaint();
}

// A press on a control without the focus first takes it; a control that
// cannot take it ignores the press.
void TQclButtonControl::PressedWithMouse(TMessage& m) {
    if (!Designing() && !Focused()) {
        if (CanFocus()) SetFocus();
        if (!Focused()) return;
    }
    TQclCustomPanel::WndProc(m);
}

void TQclButtonControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            PressedWithMouse(m);
            return;
        case CN_COMMAND:
            if (clicksDisabled_) return;
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SetFocus();
                m.Result = 1;
                return;
            }
            break;
        case CM_ENABLEDCHANGED:
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
            TQclCustomPanel::WndProc(m);
            ObjectChanged(nullptr);
            return;
        case WM_SIZE:
            TQclCustomPanel::WndProc(m);
            Repaint();
            return;
        default:
            break;
    }
    TQclCustomPanel::WndProc(m);
}

// The checked state follows the action's, except that loading keeps a
// control already checked.
void TQclButtonControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TQclCustomPanel::ActionChange(sender, checkDefaults);
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (action == nullptr || (checkDefaults && GetChecked())) return;
    TQclButtonActionLink link(this);
    if (!link.IsCheckedLinked(action)) link.SetChecked(action->Checked());
}

void TQclButtonActionLink::SetChecked(bool v) {
    client_->SetClicksDisabled(true);
    struct Enable {
        TQclButtonControl* c;
        ~Enable() { c->SetClicksDisabled(false); }
    } enable{client_};
    client_->SetChecked(v);
}

// ---------------------------------------------------------------- radio button

TQclRadioButton::TQclRadioButton(TComponent* owner) : TQclButtonControl(owner) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csDoubleClicks);
    SetControlStyle(s);
    CreateGlyph();
    SetGlyphTransparent(true);
}

// Four cells drawn by the system: unchecked, unchecked disabled, checked,
// checked disabled.
void TQclRadioButton::CreateGlyph() {
    int s = GlyphSize();
    strip_ = std::make_unique<TBitmap>();
    strip_->SetSize(4 * s, s);
    TCanvas* c = strip_->Canvas();
    c->Brush()->SetColor(static_cast<TColor>(0x008080));
    c->FillRect(Rect(0, 0, 4 * s, s));
    const UINT states[4] = {0, DFCS_INACTIVE, DFCS_CHECKED, DFCS_CHECKED | DFCS_INACTIVE};
    for (int i = 0; i < 4; ++i) {
        RECT r{i * s, 0, (i + 1) * s, s};
        DrawFrameControl(c->Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | states[i] | (GlyphFlat() ? DFCS_FLAT : 0));
    }
    cellWidth_ = strip_->Width() / 4;
}

void TQclRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    SetTabStop(v);
    if (v) {
        if (Parent() != nullptr)
            for (int i = 0; i < Parent()->ControlCount(); ++i)
                if (auto* other = dynamic_cast<TQclRadioButton*>(Parent()->Controls(i)); other != nullptr && other != this)
                    other->SetChecked(false);
        if (!ClicksDisabled()) Click();
    }
    Invalidate();
}

TRect TQclRadioButton::DrawContent(TCanvas* canvas, bool draw) {
    canvas->Brush()->SetColor(Color());
    canvas->Font()->Assign(Font());
    int cell = (checked_ ? 2 : 0) + (Enabled() ? 0 : 1);
    TRect g{cell * cellWidth_, 0, (cell + 1) * cellWidth_, strip_->Height()};
    TRect text = ClientRect();
    text.Left += 1;
    text.Right -= 1;
    uint16_t flags = (Enabled() ? 2 : 1) | 4;
    flags |= draw ? QclFocusStyleToFlags(FocusStyle()) : qclGtMeasureOnly;
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    QclDrawGlyphText(canvas, Caption(), Font3D(), text, strip_->Canvas(), g, nullptr, GlyphTransparentColor(),
                     Alignment(), true, true, GlyphTransparent(), flags, QclBiDiFlags(this));
    if (draw && Focused() && FocusStyle() != TQclGlyphTextFocusStyle::fcNone)
        DrawFocusFrame(canvas, FocusStyle() == TQclGlyphTextFocusStyle::fcControl ? ClientRect() : g);
    return g;
}

void TQclRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TQclButtonControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || Designing()) return;
    if (!checked_ && CanModify()) SetChecked(true);
}

bool TQclRadioButton::KeyPress(char& key) {
    if ((key == ' ' || key == '\b') && !CanModify()) {
        key = 0;
        return false;
    }
    if (key == ' ' && !checked_) SetChecked(true);
    return TQclButtonControl::KeyPress(key);
}

// ---------------------------------------------------------------- group button

TQclRadioGroupButton::TQclRadioGroupButton(TQclCustomButtonGroup* group) : TQclRadioButton(group), group_(group) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csReplicatable);
    SetControlStyle(s);
    SetVisible(false);
    SetParentShowHint(false);
    SetTransparent(true);
    group->buttons_.push_back(this);
    SetEnabled(group->Enabled());
    OnClick = [group](TObject* sender) { group->ButtonClick(sender); };
    SetParent(group);
}

TQclRadioGroupButton::~TQclRadioGroupButton() {
    auto& list = group_->buttons_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool TQclRadioGroupButton::CanModify() { return TQclRadioButton::CanModify() && group_->CanChange(); }

bool TQclRadioGroupButton::KeyDown(WORD& key, TShiftState shift) {
    if (!TQclRadioButton::KeyDown(key, shift)) return false;
    return group_->KeyDown(key, shift);
}

bool TQclRadioGroupButton::KeyPress(char& key) {
    if (!TQclRadioButton::KeyPress(key)) return false;
    return group_->KeyPress(key);
}

// ---------------------------------------------------------------- button group

TQclCustomButtonGroup::TQclCustomButtonGroup(TComponent* owner)
    : TQclCustomGroupBox(owner),
      items_(std::make_unique<TStringList>()),
      font3D_(std::make_unique<TQcl3DCaption>()),
      glyphLink_(this, [this] { ButtonsChanged(); }) {
    using I = TControlStyleItem;
    SetControlStyle({I::csSetCaption, I::csOpaque, I::csDoubleClicks, I::csAcceptsControls});
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    font3D_->OnChange = [this](TObject*) { ButtonsChanged(); };
}

TQclCustomButtonGroup::~TQclCustomButtonGroup() {
    while (!buttons_.empty()) buttons_.back()->Free();
    font3D_->OnChange = nullptr;
    items_->OnChange = nullptr;
}

bool TQclCustomButtonGroup::Reading() const {
    return ComponentState().Contains(TComponentStateItem::csReading) || Loading();
}

bool TQclCustomButtonGroup::ShowsImage() { return ImageList() != nullptr && ImageList()->IsValid(ListIndex(), ImageIndex()); }

void TQclCustomButtonGroup::SetColumns(int v) {
    v = QclClampColumns(v);
    if (v == columns_) return;
    columns_ = v;
    LayoutButtons();
}

void TQclCustomButtonGroup::SetItemHeight(int v) {
    if (v == itemHeight_) return;
    itemHeight_ = v;
    LayoutButtons();
}

void TQclCustomButtonGroup::SetItemOffset(int v) {
    if (v == itemOffset_) return;
    itemOffset_ = v;
    LayoutButtons();
}

void TQclCustomButtonGroup::SetItemIndex(int v) { itemIndex_ = v; }

void TQclCustomButtonGroup::SetGlyphSize(int v) {
    if (v == glyphSize_) return;
    glyphSize_ = v;
    if (Loading() || ShowsImage()) return;
    for (TQclRadioGroupButton* b : buttons_) b->SetGlyphSize(v);
    LayoutButtons();
}

void TQclCustomButtonGroup::SetGlyphFlat(bool v) {
    if (v == glyphFlat_) return;
    glyphFlat_ = v;
    if (Loading() || ShowsImage()) return;
    for (TQclRadioGroupButton* b : buttons_) b->SetGlyphFlat(v);
}

void TQclCustomButtonGroup::SetGlyphTransparent(bool v) {
    if (v == glyphTransparent_) return;
    glyphTransparent_ = v;
    ButtonsChanged();
}

void TQclCustomButtonGroup::SetGlyphTransparentColor(TColor v) {
    if (v == glyphTransparentColor_) return;
    glyphTransparentColor_ = v;
    ButtonsChanged();
}

void TQclCustomButtonGroup::SetUseBitmap(bool v) {
    if (v == useBitmap_) return;
    useBitmap_ = v;
    ButtonsChanged();
}

void TQclCustomButtonGroup::SetFocusStyle(TQclGlyphTextFocusStyle v) {
    if (v == focusStyle_) return;
    focusStyle_ = v;
    if (!Designing()) ButtonsChanged();
}

void TQclCustomButtonGroup::SetFocusColor(TColor v) {
    if (v == focusColor_) return;
    focusColor_ = v;
    if (!Designing()) ButtonsChanged();
}

void TQclCustomButtonGroup::SetUseFocusColor(bool v) {
    if (v == useFocusColor_) return;
    useFocusColor_ = v;
    if (!Designing()) ButtonsChanged();
}

void TQclCustomButtonGroup::SetHelpContextBtn(TQclChildHelpContextID v) {
    if (v == helpContextBtn_) return;
    helpContextBtn_ = v;
    for (int i = 0; i < ButtonCount(); ++i) CopySettingsTo(Buttons(i), i);
}

void TQclCustomButtonGroup::CopySettingsTo(TQclRadioGroupButton* b, int index) {
    b->SetNoRepaint(true);
    b->SetCaption(items_->Get(index));
    b->Alignment()->SetAlignment(TQclAlignment::agCenterLeft);
    b->SetImageIndex(GlyphImageIndex());
    b->SetListIndex(GlyphListIndex());
    b->SetParentColor(true);
    b->SetImageList(GlyphImageList());
    b->SetGlyphTransparent(glyphTransparent_);
    b->SetGlyphTransparentColor(glyphTransparentColor_);
    b->SetGlyphSize(glyphSize_);
    b->SetGlyphFlat(glyphFlat_);
    b->SetFocusStyle(focusStyle_);
    b->SetFocusColor(focusColor_);
    b->SetUseFocusColor(useFocusColor_);
    b->Font3D()->Assign(font3D_.get());
    b->SetUseBitmap(useBitmap_);
    switch (helpContextBtn_) {
        case TQclChildHelpContextID::ciDefault: b->SetHelpContext(0); break;
        case TQclChildHelpContextID::ciSameAsParent: b->SetHelpContext(HelpContext()); break;
        case TQclChildHelpContextID::ciAutoNumbered: b->SetHelpContext(HelpContext() + index + 1); break;
    }
    b->SetNoRepaint(false);
}

void TQclCustomButtonGroup::ButtonsChanged() {
    ArrangeButtons();
    if (Reading()) return;
    ObjectChanged(nullptr);
    for (TQclRadioGroupButton* b : buttons_) b->Invalidate();
}

void TQclCustomButtonGroup::ButtonClick(TObject* sender) {
    if (updating_) return;
    auto it = std::find(buttons_.begin(), buttons_.end(), sender);
    if (it == buttons_.end()) return;
    int index = static_cast<int>(it - buttons_.begin());
    bool changed = index != itemIndex_;
    itemIndex_ = index;
    Click();
    if (changed && OnChange) OnChange(this, index);
}

TQclRadioLayoutInput TQclCustomButtonGroup::LayoutInput() {
    TQclRadioLayoutInput in;
    in.width = Width();
    in.height = Height();
    in.bevelWidth = Bevel()->TotalWidth();
    // The caption's room is kept with no caption, so the buttons stay put.
    in.captionHeight = CaptionHeight();
    in.side = QclCaptionSideOf(Alignment());
    in.count = ButtonCount();
    in.columns = columns_;
    in.itemHeight = itemHeight_;
    in.itemOffset = itemOffset_;
    return in;
}

void TQclCustomButtonGroup::LayoutButtons() {
    if (Reading() || buttons_.empty()) return;
    std::vector<TRect> r = QclRadioLayout(LayoutInput());
    for (int i = 0; i < ButtonCount(); ++i) {
        const TRect& b = r[static_cast<size_t>(i)];
        Buttons(i)->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        Buttons(i)->SetVisible(true);
    }
    AdjustSize();
}

void TQclCustomButtonGroup::Loaded() {
    TQclCustomGroupBox::Loaded();
    ArrangeButtons();
    AdjustSize();
}

void TQclCustomButtonGroup::AdjustSize() {
    if (!AutoSize() || Loading() || Reading() || sizing_ || buttons_.empty()) return;
    TSize button{0, 0};
    for (TQclRadioGroupButton* b : buttons_) {
        TSize s = b->ContentSize();
        button = {std::max(button.cx, s.cx), std::max(button.cy, s.cy)};
    }
    TSize size = QclRadioGroupSize(LayoutInput(), button);
    sizing_ = true;
    SetBounds(Left(), Top(), size.cx, size.cy);
    sizing_ = false;
}

void TQclCustomButtonGroup::Notification(TComponent* component, TOperation operation) {
    TQclCustomGroupBox::Notification(component, operation);
    if (operation == TOperation::opRemove) glyphLink_.Removed(component);
}

void TQclCustomButtonGroup::ObjectChanged(TObject* sender) {
    TQclCustomGroupBox::ObjectChanged(sender);
    LayoutButtons();
}

void TQclCustomButtonGroup::WndProc(TMessage& m) {
    TQclCustomGroupBox::WndProc(m);
    switch (m.Msg) {
        case WM_SIZE:
        case CM_FONTCHANGED:
        case CM_TEXTCHANGED:
            LayoutButtons();
            break;
        case CM_ENABLEDCHANGED:
            for (TQclRadioGroupButton* b : buttons_) b->SetEnabled(Enabled());
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------- radio group

TQclCustomRadioGroup::TQclCustomRadioGroup(TComponent* owner) : TQclCustomButtonGroup(owner) {
    SetGlyphTransparent(true);
    SetGlyphSize(13);
}

// Clamped to the items; checking the new button fires its click, and so
// OnChange, once.
void TQclCustomRadioGroup::SetItemIndex(int v) {
    if (Reading()) {
        itemIndex_ = v;
        return;
    }
    v = QclClampItemIndex(v, ButtonCount());
    if (v == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) Buttons(itemIndex_)->SetChecked(false);
    if (v >= 0) Buttons(v)->SetChecked(true);  // its click stores the index
    else itemIndex_ = -1;
}

void TQclCustomRadioGroup::SetButtonCount(int count) {
    while (ButtonCount() < count) new TQclRadioGroupButton(this);
    while (ButtonCount() > count) buttons_.back()->Free();
}

void TQclCustomRadioGroup::ItemsChanged() {
    if (Reading()) return;
    if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
    ArrangeButtons();
}

void TQclCustomRadioGroup::ArrangeButtons() {
    int n = items_->Count();
    SetButtonCount(n);
    updating_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{updating_};
    itemIndex_ = QclClampItemIndex(itemIndex_, n);
    for (int i = 0; i < n; ++i) {
        CopySettingsTo(Buttons(i), i);
        Buttons(i)->SetChecked(i == itemIndex_);
    }
    LayoutButtons();
}

}  // namespace treskel

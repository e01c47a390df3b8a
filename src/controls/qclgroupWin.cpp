#include "controls/qclgroupWin.h"

#include <algorithm>

#include "foundation/qclgraphDraw.h"

namespace treskel {

// ---------------------------------------------------------------- radio button

TQclRadioButton::TQclRadioButton(TComponent* owner)
    : TQclCustomPanel(owner),
      layout_(std::make_unique<TQclGlyphTextLayout>()),
      font3D_(std::make_unique<TQcl3DCaption>()),
      strip_(std::make_unique<TBitmap>()) {
    TControlStyle s = ControlStyle();
    s.Include(TControlStyleItem::csSetCaption);
    s.Include(TControlStyleItem::csOpaque);
    s.Exclude(TControlStyleItem::csAcceptsControls);
    // Its click is the checking itself, never a bare mouse release.
    s.Exclude(TControlStyleItem::csClickEvents);
    SetControlStyle(s);
    SetBounds(Left(), Top(), 105, 17);
    layout_->SetSpacing(4);
    layout_->OnChange = [this](TObject* o) { ObjectChanged(o); };
    font3D_->OnChange = [this](TObject* o) { ObjectChanged(o); };
    CreateGlyph();
}

TQclRadioButton::~TQclRadioButton() {
    layout_->OnChange = nullptr;
    font3D_->OnChange = nullptr;
}

void TQclRadioButton::CreateGlyph() {
    int s = glyphSize_;
    strip_ = std::make_unique<TBitmap>();
    strip_->SetSize(4 * s, s);
    TCanvas* c = strip_->Canvas();
    c->Brush()->SetColor(static_cast<TColor>(0x008080));
    c->FillRect(Rect(0, 0, 4 * s, s));
    const UINT states[4] = {0, DFCS_INACTIVE, DFCS_CHECKED, DFCS_CHECKED | DFCS_INACTIVE};
    for (int i = 0; i < 4; ++i) {
        RECT r{i * s, 0, (i + 1) * s, s};
        DrawFrameControl(c->Handle(), &r, DFC_BUTTON, DFCS_BUTTONRADIO | states[i] | (glyphFlat_ ? DFCS_FLAT : 0));
    }
    cellWidth_ = strip_->Width() / 4;
}

void TQclRadioButton::LinkChanged(TObject* sender) {
    if (ImageList() != nullptr && ImageList()->IsValid(ListIndex(), ImageIndex())) {
        strip_ = std::make_unique<TBitmap>();
        ImageList()->CopyImage(ListIndex(), ImageIndex(), strip_.get());
        cellWidth_ = strip_->Width() / 4;
    } else {
        CreateGlyph();
    }
    ObjectChanged(sender);
}

void TQclRadioButton::SetGlyphSize(int v) {
    if (v == glyphSize_) return;
    glyphSize_ = v;
    if (ImageList() == nullptr) CreateGlyph();
    ObjectChanged(nullptr);
}

void TQclRadioButton::SetGlyphFlat(bool v) {
    if (v == glyphFlat_) return;
    glyphFlat_ = v;
    if (ImageList() == nullptr) CreateGlyph();
    ObjectChanged(nullptr);
}

void TQclRadioButton::SetGlyphTransparent(bool v) {
    if (v == glyphTransparent_) return;
    glyphTransparent_ = v;
    Invalidate();
}

void TQclRadioButton::SetGlyphTransparentColor(TColor v) {
    if (v == glyphTransparentColor_) return;
    glyphTransparentColor_ = v;
    ObjectChanged(nullptr);
}

void TQclRadioButton::SetFocusStyle(TQclGlyphTextFocusStyle v) {
    if (v == focusStyle_) return;
    focusStyle_ = v;
    if (Focused()) Repaint();
}

void TQclRadioButton::ObjectChanged(TObject*) {
    if (Loading()) return;
    if (!noRepaint_) Invalidate();
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
        Click();
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
    flags |= draw ? QclFocusStyleToFlags(focusStyle_) : qclGtMeasureOnly;
    canvas->Brush()->SetStyle(TBrushStyle::bsClear);
    QclDrawGlyphText(canvas, Caption(), font3D_.get(), text, strip_->Canvas(), g, nullptr, glyphTransparentColor_,
                     layout_.get(), true, true, glyphTransparent_, flags, 0);
    if (draw && Focused() && focusStyle_ != TQclGlyphTextFocusStyle::fcNone) {
        TRect f = focusStyle_ == TQclGlyphTextFocusStyle::fcControl ? ClientRect() : g;
        canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
        RECT r{f.Left, f.Top, f.Right, f.Bottom};
        DrawFocusRect(canvas->Handle(), &r);
    }
    return g;
}

void TQclRadioButton::Paint() {
    if (Loading()) return;
    DrawBackground();
    DrawContent(Canvas(), true);
}

// Tabbing onto a button checks it (when it may change).
void TQclRadioButton::DoEnter() {
    TQclCustomPanel::DoEnter();
    if (!checked_ && CanModify()) SetChecked(true);
    else Repaint();
}

void TQclRadioButton::DoExit() {
    TQclCustomPanel::DoExit();
    Repaint();
}

void TQclRadioButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TQclCustomPanel::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || Designing()) return;
    if (!Focused() && CanFocus()) SetFocus();
    if (!checked_ && CanModify()) SetChecked(true);
}

bool TQclRadioButton::KeyPress(char& key) {
    if ((key == ' ' || key == '\b') && !CanModify()) {
        key = 0;
        return false;
    }
    if (key == ' ' && !checked_) SetChecked(true);
    return TQclCustomPanel::KeyPress(key);
}

void TQclRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            if (QclIsAccelerator(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SetFocus();
                m.Result = 1;
                return;
            }
            break;
        case CM_ENABLEDCHANGED:
        case CM_FONTCHANGED:
            TQclCustomPanel::WndProc(m);
            ObjectChanged(nullptr);
            return;
        case CM_TEXTCHANGED:
            TQclCustomPanel::WndProc(m);
            Invalidate();
            return;
        default:
            break;
    }
    TQclCustomPanel::WndProc(m);
}

// ---------------------------------------------------------------- group button

TQclRadioGroupButton::TQclRadioGroupButton(TQclCustomRadioGroup* group) : TQclRadioButton(group), group_(group) {
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

// ---------------------------------------------------------------- radio group

TQclCustomRadioGroup::TQclCustomRadioGroup(TComponent* owner)
    : TQclCustomGroupBox(owner), items_(std::make_unique<TStringList>()) {
    using I = TControlStyleItem;
    SetControlStyle({I::csSetCaption, I::csOpaque, I::csDoubleClicks, I::csAcceptsControls});
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TQclCustomRadioGroup::~TQclCustomRadioGroup() {
    items_->OnChange = nullptr;
    while (!buttons_.empty()) buttons_.back()->Free();
}

void TQclCustomRadioGroup::SetColumns(int v) {
    v = QclClampColumns(v);
    if (v == columns_) return;
    columns_ = v;
    LayoutButtons();
}

void TQclCustomRadioGroup::SetItemHeight(int v) {
    if (v == itemHeight_) return;
    itemHeight_ = v;
    LayoutButtons();
}

void TQclCustomRadioGroup::SetItemOffset(int v) {
    if (v == itemOffset_) return;
    itemOffset_ = v;
    LayoutButtons();
}

// Clamped to the items; checking the new button fires its click, and so
// OnChange, once.
void TQclCustomRadioGroup::SetItemIndex(int v) {
    if (ComponentState().Contains(TComponentStateItem::csReading) || Loading()) {
        itemIndex_ = v;
        return;
    }
    v = QclClampItemIndex(v, ButtonCount());
    if (v == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) Buttons(itemIndex_)->SetChecked(false);
    if (v >= 0) Buttons(v)->SetChecked(true);  // its click stores the index
    else itemIndex_ = -1;
}

void TQclCustomRadioGroup::ButtonClick(TObject* sender) {
    if (updating_) return;
    auto it = std::find(buttons_.begin(), buttons_.end(), sender);
    if (it == buttons_.end()) return;
    int index = static_cast<int>(it - buttons_.begin());
    bool changed = index != itemIndex_;
    itemIndex_ = index;
    Click();
    if (changed && OnChange) OnChange(this, index);
}

void TQclCustomRadioGroup::ItemsChanged() {
    if (ComponentState().Contains(TComponentStateItem::csReading)) return;
    if (itemIndex_ >= items_->Count()) itemIndex_ = items_->Count() - 1;
    ArrangeButtons();
}

void TQclCustomRadioGroup::ArrangeButtons() {
    int n = items_->Count();
    while (ButtonCount() < n) new TQclRadioGroupButton(this);
    while (ButtonCount() > n) buttons_.back()->Free();
    updating_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{updating_};
    itemIndex_ = QclClampItemIndex(itemIndex_, n);
    for (int i = 0; i < n; ++i) {
        TQclRadioGroupButton* b = Buttons(i);
        b->SetNoRepaint(true);
        b->SetCaption(items_->Get(i));
        b->Alignment()->SetAlignment(TQclAlignment::agCenterLeft);
        b->SetParentColor(true);
        b->Font3D()->Assign(CaptionFont3D());
        b->SetReadOnly(false);
        b->SetNoRepaint(false);
        b->SetChecked(i == itemIndex_);
    }
    LayoutButtons();
}

void TQclCustomRadioGroup::LayoutButtons() {
    if (ComponentState().Contains(TComponentStateItem::csReading) || buttons_.empty()) return;
    TQclRadioLayoutInput in;
    in.width = Width();
    in.height = Height();
    in.bevelWidth = Bevel()->TotalWidth();
    in.captionHeight = Caption().empty() ? 0 : CaptionHeight();
    in.side = QclCaptionSideOf(Alignment());
    in.count = ButtonCount();
    in.columns = columns_;
    in.itemHeight = itemHeight_;
    in.itemOffset = itemOffset_;
    std::vector<TRect> r = QclRadioLayout(in);
    for (int i = 0; i < ButtonCount(); ++i) {
        const TRect& b = r[static_cast<size_t>(i)];
        Buttons(i)->SetBounds(b.Left, b.Top, b.Width(), b.Height());
        Buttons(i)->SetVisible(true);
    }
}

void TQclCustomRadioGroup::Loaded() {
    TQclCustomGroupBox::Loaded();
    ArrangeButtons();
}

void TQclCustomRadioGroup::ObjectChanged(TObject* sender) {
    TQclCustomGroupBox::ObjectChanged(sender);
    LayoutButtons();
}

void TQclCustomRadioGroup::WndProc(TMessage& m) {
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

}  // namespace treskel

// The tool bar and its buttons, drawn by our own code: the bar lays out its
// buttons, separators and controls from left to right; each button paints
// itself and answers the mouse.
#include <algorithm>

#include "platform/ActnList.h"
#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"
#include "platform/Menus.h"

namespace treskel {

namespace {

constexpr int kArrowWidth = 12;
constexpr int kSeparatorWidth = 8;
// Above the first row and below the last of a bar that sizes itself.
constexpr int kAutoSizeMargin = 3;

}  // namespace

// ============================================================ TToolButton

TToolButton::TToolButton(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle({TControlStyleItem::csCaptureMouse, TControlStyleItem::csClickEvents,
                     TControlStyleItem::csSetCaption});
    SetBounds(0, 0, 23, 22);
}

TToolButton::~TToolButton() = default;

TToolBar* TToolButton::ToolBar() const { return dynamic_cast<TToolBar*>(Parent()); }

int TToolButton::Index() const {
    TToolBar* bar = ToolBar();
    if (bar == nullptr) return -1;
    auto it = std::find(bar->order_.begin(), bar->order_.end(), static_cast<const TControl*>(this));
    return it == bar->order_.end() ? -1 : static_cast<int>(it - bar->order_.begin());
}

void TToolButton::SetStyle(TToolButtonStyle style) {
    if (style == style_) return;
    bool wasSeparator = IsSeparator();
    style_ = style;
    // A button turned separator at run time gets a separator's width.
    if (!IsLoading() && IsSeparator() && !wasSeparator) SetWidth(kSeparatorWidth);
    if (TToolBar* bar = ToolBar()) bar->Arrange();
    Invalidate();
}

void TToolButton::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    Invalidate();
}

void TToolButton::SetDown(bool down) {
    if (down == down_) return;
    down_ = down;
    if (down && grouped_ && style_ == TToolButtonStyle::tbsCheck) UpdateGroup();
    Invalidate();
}

void TToolButton::SetGrouped(bool v) {
    if (v == grouped_) return;
    grouped_ = v;
    if (v && down_ && style_ == TToolButtonStyle::tbsCheck) UpdateGroup();
}

void TToolButton::SetAllowAllUp(bool v) { allowAllUp_ = v; }

void TToolButton::SetDropdownMenu(TPopupMenu* menu) {
    dropdownMenu_ = menu;
    if (menu != nullptr) menu->FreeNotification(this);
    Invalidate();
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && static_cast<TComponent*>(dropdownMenu_) == component)
        dropdownMenu_ = nullptr;
}

std::vector<TToolButton*> TToolButton::GroupMembers() {
    std::vector<TToolButton*> group;
    TToolBar* bar = ToolBar();
    int at = Index();
    if (bar == nullptr || at < 0) return group;
    auto member = [](TControl* c) {
        auto* b = dynamic_cast<TToolButton*>(c);
        return b != nullptr && b->grouped_ && b->style_ == TToolButtonStyle::tbsCheck ? b : nullptr;
    };
    int first = at, last = at;
    while (first > 0 && member(bar->order_[static_cast<size_t>(first) - 1])) --first;
    while (last + 1 < static_cast<int>(bar->order_.size()) && member(bar->order_[static_cast<size_t>(last) + 1])) ++last;
    for (int i = first; i <= last; ++i) group.push_back(member(bar->order_[static_cast<size_t>(i)]));
    return group;
}

void TToolButton::UpdateGroup() {
    for (TToolButton* b : GroupMembers()) {
        if (b == this || !b->down_) continue;
        b->down_ = false;
        b->Invalidate();
    }
}

bool TToolButton::InArrow(int x) const {
    return style_ == TToolButtonStyle::tbsDropDown && x >= Width() - kArrowWidth;
}

bool TToolButton::CheckMenuDropdown() {
    if (dropdownMenu_ == nullptr) return false;
    TPoint p = const_cast<TToolButton*>(this)->ClientToScreen({0, Height()});
    dropdownMenu_->SetPopupComponent(this);
    dropdownMenu_->Popup(p.x, p.y);
    return true;
}

void TToolButton::Click() {
    if (IsSeparator()) return;
    if (suppressClick_) {
        suppressClick_ = false;
        return;
    }
    TGraphicControl::Click();
}

void TToolButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    suppressClick_ = false;
    if (button == TMouseButton::mbLeft && !IsSeparator()) {
        if (InArrow(x) && dropdownMenu_ != nullptr) {
            // The arrow drops the menu down; the press is no click.
            suppressClick_ = true;
            dropping_ = true;
            Repaint();
            TGraphicControl::MouseDown(button, shift, x, y);
            CheckMenuDropdown();
            dropping_ = false;
            Invalidate();
            return;
        }
        pressed_ = inside_ = true;
        Invalidate();
    }
    TGraphicControl::MouseDown(button, shift, x, y);
}

void TToolButton::MouseMove(TShiftState shift, int x, int y) {
    if (pressed_) {
        bool in = PtInRect(ClientRect(), {x, y});
        if (in != inside_) {
            inside_ = in;
            Invalidate();
        }
    }
    TGraphicControl::MouseMove(shift, x, y);
}

void TToolButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft && pressed_) {
        pressed_ = false;
        // A check button changes before its action runs, so the action
        // sees the new state.
        if (PtInRect(ClientRect(), {x, y}) && style_ == TToolButtonStyle::tbsCheck) {
            if (!down_) SetDown(true);
            else if (!grouped_ || allowAllUp_) SetDown(false);
        }
        inside_ = false;
        Invalidate();
    }
    TGraphicControl::MouseUp(button, shift, x, y);
}

void TToolButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
    TGraphicControl::ActionChange(sender, checkDefaults);
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (a == nullptr) return;
    // Only what the action changed reaches the button: a button whose
    // image or state the program set keeps it until the action's own
    // image or check mark changes.
    if (a->ImageIndex() != actionImageIndex_) {
        actionImageIndex_ = a->ImageIndex();
        if (!checkDefaults || imageIndex_ == -1) SetImageIndex(actionImageIndex_);
    }
    if (a->Checked() != actionChecked_) {
        actionChecked_ = a->Checked();
        if (!checkDefaults || !down_) SetDown(actionChecked_);
    }
}

void TToolButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            if (!hot_) {
                hot_ = true;
                Invalidate();
            }
            break;
        case CM_MOUSELEAVE:
            if (hot_) {
                hot_ = false;
                Invalidate();
            }
            break;
        case CM_TEXTCHANGED:
            if (TToolBar* bar = ToolBar(); bar != nullptr && bar->ShowCaptions()) bar->Arrange();
            Invalidate();
            break;
        case CM_ENABLEDCHANGED:
            Invalidate();
            break;
        default:
            break;
    }
    TGraphicControl::WndProc(m);
}

void TToolButton::Paint() {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    TRect r = ClientRect();
    TToolBar* bar = ToolBar();
    if (style_ == TToolButtonStyle::tbsSeparator) return;
    if (style_ == TToolButtonStyle::tbsDivider) {
        RECT line{r.Width() / 2 - 1, r.Top + 1, r.Width() / 2 + 1, r.Bottom - 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
        return;
    }
    bool enabled = Enabled() && (bar == nullptr || bar->Enabled());
    bool flat = bar != nullptr && bar->Flat();
    bool sunken = down_ || (pressed_ && inside_);
    TRect face = r;
    if (style_ == TToolButtonStyle::tbsDropDown) face.Right -= kArrowWidth;
    RECT rf = ToRECT(face);
    if (down_ && !(pressed_ && inside_)) {
        // The checked look of a button that is down: a light dither.
        GdiHandle<HBRUSH> dither = HalftoneBrush();
        DCColours colours(dc, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnFace));
        RECT inner = rf;
        InflateRect(&inner, -1, -1);
        ::FillRect(dc, &inner, dither.Get());
    }
    if (sunken) DrawEdge(dc, &rf, BDR_SUNKENOUTER, BF_RECT);
    else if (enabled && (!flat || hot_)) DrawEdge(dc, &rf, BDR_RAISEDINNER, BF_RECT);
    if (style_ == TToolButtonStyle::tbsDropDown) {
        RECT ra{face.Right, r.Top, r.Right, r.Bottom};
        if (dropping_) DrawEdge(dc, &ra, BDR_SUNKENOUTER, BF_RECT);
        else if (enabled && (!flat || hot_)) DrawEdge(dc, &ra, BDR_RAISEDINNER, BF_RECT);
        int ax = ra.left + (kArrowWidth - 5) / 2, ay = (r.Height() - 3) / 2;
        GdiHandle<HBRUSH> arrow(CreateSolidBrush(ColorToRGB(enabled ? clBtnText : clGrayText)));
        for (int i = 0; i < 3; ++i) {
            RECT row{ax + i, ay + i, ax + 5 - i, ay + i + 1};
            ::FillRect(dc, &row, arrow.Get());
        }
    }
    int shift = sunken ? 1 : 0;
    bool captions = bar != nullptr && bar->ShowCaptions();
    TCustomImageList* list = bar != nullptr ? bar->Images() : nullptr;
    if (!enabled && bar != nullptr && bar->DisabledImages() != nullptr) list = bar->DisabledImages();
    else if (enabled && hot_ && bar != nullptr && bar->HotImages() != nullptr) list = bar->HotImages();
    int imageBottom = face.Top + 3;
    if (list != nullptr && imageIndex_ >= 0) {
        int ix = face.Left + (face.Width() - list->Width()) / 2 + shift;
        int iy = (captions ? face.Top + 3 : face.Top + (face.Height() - list->Height()) / 2) + shift;
        list->Draw(c, ix, iy, imageIndex_, enabled || list == (bar != nullptr ? bar->DisabledImages() : nullptr));
        imageBottom = iy + list->Height();
    }
    if (captions) {
        std::string text = Caption();
        RECT rt{face.Left + 1 + shift, imageBottom + 1 + shift, face.Right - 1 + shift, face.Bottom - 2 + shift};
        SetBkMode(dc, TRANSPARENT);
        UINT flags = DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        if (!enabled) {
            RECT shade = rt;
            OffsetRect(&shade, 1, 1);
            SetTextColor(dc, ColorToRGB(clBtnHighlight));
            DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shade, flags);
            SetTextColor(dc, ColorToRGB(clBtnShadow));
        } else {
            SetTextColor(dc, ColorToRGB(Font()->Color()));
        }
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rt, flags);
    }
}

// ============================================================ TToolBar

TToolBar::TToolBar(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle({TControlStyleItem::csAcceptsControls, TControlStyleItem::csClickEvents,
                     TControlStyleItem::csDoubleClicks, TControlStyleItem::csOpaque});
    SetBounds(0, 0, 150, 29);
    SetColor(clBtnFace);
    SetAlign(TAlign::alTop);
    imagesLink_.OnChange = [this](TObject* s) { ImagesChanged(s); };
    disabledLink_.OnChange = [this](TObject* s) { ImagesChanged(s); };
    hotLink_.OnChange = [this](TObject* s) { ImagesChanged(s); };
}

TToolBar::~TToolBar() { arranging_ = true; }

int TToolBar::ButtonCount() const {
    int n = 0;
    for (TControl* c : order_)
        if (dynamic_cast<TToolButton*>(c) != nullptr) ++n;
    return n;
}

TToolButton* TToolBar::Buttons(int index) const {
    int n = 0;
    for (TControl* c : order_)
        if (auto* b = dynamic_cast<TToolButton*>(c))
            if (n++ == index) return b;
    throw EListError(Format("List index out of bounds (%d)", index));
}

void TToolBar::SetButtonWidth(int v) {
    if (v == buttonWidth_) return;
    buttonWidth_ = v;
    Arrange();
}

void TToolBar::SetButtonHeight(int v) {
    if (v == buttonHeight_) return;
    buttonHeight_ = v;
    Arrange();
}

void TToolBar::SetIndent(int v) {
    if (v == indent_) return;
    indent_ = v;
    Arrange();
}

void TToolBar::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}

void TToolBar::SetShowCaptions(bool v) {
    if (v == showCaptions_) return;
    showCaptions_ = v;
    Arrange();
    Invalidate();
}

void TToolBar::SetList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* list) {
    if (list == field) return;
    field = list;
    link.SetSender(list);
    if (list != nullptr) list->FreeNotification(this);
    Arrange();
    Invalidate();
}

void TToolBar::SetImages(TCustomImageList* list) { SetList(images_, imagesLink_, list); }
void TToolBar::SetDisabledImages(TCustomImageList* list) { SetList(disabledImages_, disabledLink_, list); }
void TToolBar::SetHotImages(TCustomImageList* list) { SetList(hotImages_, hotLink_, list); }

void TToolBar::ImagesChanged(TObject*) {
    Arrange();
    Invalidate();
}

void TToolBar::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == images_) SetImages(nullptr);
    if (component == disabledImages_) SetDisabledImages(nullptr);
    if (component == hotImages_) SetHotImages(nullptr);
}

TSize TToolBar::ButtonSize() {
    TSize s{buttonWidth_, buttonHeight_};
    if (!showCaptions_) return s;
    WindowDC screen(nullptr);
    SelectGuard g(screen.Get(), Font()->Handle());
    int textW = 0, textH = 0;
    for (TControl* c : order_) {
        auto* b = dynamic_cast<TToolButton*>(c);
        if (b == nullptr || b->IsSeparator()) continue;
        std::string t = b->Caption();
        SIZE e{};
        GetTextExtentPoint32A(screen.Get(), t.empty() ? " " : t.c_str(), t.empty() ? 1 : static_cast<int>(t.size()), &e);
        textW = std::max(textW, static_cast<int>(e.cx));
        textH = std::max(textH, static_cast<int>(e.cy));
    }
    int imageH = images_ != nullptr ? images_->Height() : 0;
    s.cx = std::max(s.cx, textW + 8);
    s.cy = std::max(s.cy, imageH + textH + 8);
    return s;
}

void TToolBar::SetWrapable(bool v) {
    if (v == wrapable_) return;
    wrapable_ = v;
    Arrange();
}

int TToolBar::ItemWidth(TControl* c, const TSize& buttonSize) {
    auto* b = dynamic_cast<TToolButton*>(c);
    if (b == nullptr || b->IsSeparator()) return c->Width();
    return buttonSize.cx + (b->style_ == TToolButtonStyle::tbsDropDown ? kArrowWidth : 0);
}

std::vector<TToolBar::RowItem> TToolBar::PlanRows(int clientWidth, const TSize& buttonSize) const {
    // A button or control that would pass the right edge begins a new
    // row, unless it is the first of its row; a separator never does (it
    // ends the row it stands in, unseen).
    std::vector<RowItem> items;
    int row = 0, x = indent_;
    bool rowHasItem = false;
    for (TControl* c : order_) {
        if (!c->Visible()) continue;  // hidden items take no room
        int w = ItemWidth(c, buttonSize);
        auto* b = dynamic_cast<TToolButton*>(c);
        bool separator = b != nullptr && b->IsSeparator();
        if (wrapable_ && !separator && rowHasItem && clientWidth > 0 && x + w > clientWidth) {
            ++row;
            x = indent_;
            rowHasItem = false;
        }
        items.push_back({c, x, row, w});
        x += w;
        rowHasItem = rowHasItem || !separator;
    }
    return items;
}

int TToolBar::RowsHeight(const std::vector<RowItem>& plan, const TSize& buttonSize) {
    return (plan.empty() ? 1 : plan.back().row + 1) * buttonSize.cy + 2 * kAutoSizeMargin;
}

void TToolBar::SetBounds(int left, int top, int width, int height) {
    // Sizing itself, the bar takes the height of the rows that the new
    // width gives, at once: the controls aligned after it are placed
    // around that height.
    if (autoSize_ && !IsLoading()) {
        int frameWidth = Width() - ClientWidth(), frameHeight = Height() - ClientHeight();
        TSize bs = ButtonSize();
        height = frameHeight + RowsHeight(PlanRows(width - frameWidth, bs), bs);
    }
    TCustomControl::SetBounds(left, top, width, height);
}

void TToolBar::Arrange() {
    if (arranging_ || IsLoading()) return;
    arranging_ = true;
    try {
        TSize bs = ButtonSize();
        std::vector<RowItem> plan = PlanRows(ClientWidth(), bs);
        rowCount_ = plan.empty() ? 1 : plan.back().row + 1;
        int top = autoSize_ ? kAutoSizeMargin : std::max(0, (ClientHeight() - rowCount_ * bs.cy) / 2);
        for (const RowItem& item : plan) {
            int y = top + item.row * bs.cy;
            if (dynamic_cast<TToolButton*>(item.control) != nullptr) {
                item.control->SetBounds(item.x, y, item.width, bs.cy);
            } else {
                int h = item.control->Height();
                item.control->SetBounds(item.x, y + std::max(0, (bs.cy - h) / 2), item.width, h);
            }
        }
        // As high as the rows: the controls below move to make room.
        if (autoSize_) SetHeight(Height() - ClientHeight() + RowsHeight(plan, bs));
    } catch (...) {
        arranging_ = false;
        throw;
    }
    arranging_ = false;
}

void TToolBar::AlignControls(TControl* control, TRect& rect) {
    if (arranging_) return;
    TCustomControl::AlignControls(control, rect);
    Arrange();
}

void TToolBar::Loaded() {
    // The layout's Left values give the order on the bar; take it before
    // the first arrangement overwrites them.
    std::stable_sort(order_.begin(), order_.end(), [](TControl* a, TControl* b) { return a->Left() < b->Left(); });
    TCustomControl::Loaded();
    Arrange();
}

void TToolBar::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
}

void TToolBar::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_CONTROLLISTCHANGE: {
            auto* c = reinterpret_cast<TControl*>(m.WParam);
            if (m.LParam != 0) {
                if (IsLoading() || c->IsLoading()) {
                    order_.push_back(c);
                } else {
                    // A control joining the bar goes where its Left puts it.
                    auto at = std::find_if(order_.begin(), order_.end(),
                                           [c](TControl* o) { return o->Left() >= c->Left(); });
                    order_.insert(at, c);
                }
            } else {
                order_.erase(std::remove(order_.begin(), order_.end(), c), order_.end());
            }
            TCustomControl::WndProc(m);
            if (m.LParam != 0 || !IsDestroying()) Arrange();
            return;
        }
        case CM_ENABLEDCHANGED:
        case CM_FONTCHANGED:
            TCustomControl::WndProc(m);
            Arrange();
            Invalidate();
            return;
        default:
            break;
    }
    TCustomControl::WndProc(m);
}

void TToolBar::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.Style |= WS_CLIPCHILDREN;
}

}  // namespace treskel

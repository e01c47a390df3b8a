#include "controls/qclsplt.h"

#include <windowsx.h>

#include <algorithm>

#include "controls/qclctrl.h"
#include "foundation/qclgraphDraw.h"
#include "foundation/qclnonvSFont.h"
#include "platform/Forms.h"
#include "platform/Handles.h"
#include "platform/Register.h"

namespace treskel {

// ------------------------------------------------------------ bars

TQclSplitterBarItem::TQclSplitterBarItem(TCollection* collection) : TCollectionItem(collection) {}

void TQclSplitterBarItem::Assign(TPersistent* source) {
    auto* src = dynamic_cast<TQclSplitterBarItem*>(source);
    if (src == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    n_ = src->n_;
    n_.dragging = false;
    color_ = src->color_;
    width_ = src->width_;
    locked_ = src->locked_;
    horizontal_ = src->horizontal_;
    panel_ = src->panel_;
}

void TQclSplitterBarItem::UpdatePosition(bool fromPercent) { QclUpdateBarPosition(n_, fromPercent); }

void TQclSplitterBarItem::Recompute() {
    UpdatePosition(false);
    Changed(true);
}

void TQclSplitterBarItem::SetBorderStyle(TQclBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    Changed(true);
}

void TQclSplitterBarItem::SetPosition(int v) {
    if (v == n_.position) return;
    n_.position = v;
    UpdatePosition(false);
    if (OnChange) OnChange(this);
    Changed(true);
}

void TQclSplitterBarItem::SetPosPercent(int v) {
    auto p = static_cast<TQclPercent>(std::clamp(v, 0, 100));
    if (p == n_.percent) return;
    n_.percent = p;
    UpdatePosition(true);
    if (OnChange) OnChange(this);
    Changed(true);
}

void TQclSplitterBarItem::SetMin(int v) {
    if (v == n_.min) return;
    n_.min = v;
    Recompute();
}

void TQclSplitterBarItem::SetMax(int v) {
    if (v == n_.max) return;
    n_.max = v;
    Recompute();
}

void TQclSplitterBarItem::SetLocked(bool v) {
    if (v == locked_) return;
    locked_ = v;
    Changed(false);
}

void TQclSplitterBarItem::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed(false);
}

void TQclSplitterBarItem::SetWidth(int v) {
    v = std::max(v, 0);
    if (v == width_) return;
    width_ = v;
    Recompute();
}

TQclSplitterBarItems::TQclSplitterBarItems(TQclSplitterPanel* panel)
    : TCollection([panel](TCollection*) {
          // Made whole before it joins the collection, which tells the panel.
          auto* bar = new TQclSplitterBarItem(nullptr);
          bar->SetPanel(panel);
          return bar;
      }),
      panel_(panel) {}

void TQclSplitterBarItems::Update(TCollectionItem* item) {
    TCollection::Update(item);
    if (item == nullptr)
        panel_->UpdateAll();
    else
        panel_->PaintBar(item->Index());
}

// ------------------------------------------------------------ panes

TQclSplitterPane::TQclSplitterPane(TComponent* owner) : TQclScrollBox(owner) {
    SetParentColor(true);
    SetTabStop(false);
}

TQclSplitterPane::~TQclSplitterPane() {
    if (TQclSplitterPanel* panel = Panel()) panel->RemovePane(this);
}

TQclSplitterPanel* TQclSplitterPane::Panel() const { return dynamic_cast<TQclSplitterPanel*>(Parent()); }

void TQclSplitterPane::SetParentComponent(TComponent* parent) {
    if (auto* panel = dynamic_cast<TQclSplitterPanel*>(parent)) {
        paneIndex_ = panel->AddPane(this);
        return;
    }
    TQclScrollBox::SetParentComponent(parent);
}

void TQclSplitterPane::WndProc(TMessage& m) {
    TQclScrollBox::WndProc(m);
    if (m.Msg == CM_VISIBLECHANGED && !IsLoading()) {
        if (TQclSplitterPanel* panel = Panel()) {
            if (panel->Orientation() == TQclSplitterOrientation::spCross)
                panel->SetOrientation(TQclSplitterOrientation::spVertRight);
            panel->UpdateAll();
        }
    }
}

// ------------------------------------------------------------ the panel

TQclSplitterPanel::TQclSplitterPanel(TComponent* owner)
    : TQclCustomBevelPanel(owner), bars_(std::make_unique<TQclSplitterBarItems>(this)) {
    updating_ = true;
    TComponent* paneOwner = owner != nullptr ? owner : this;
    for (int i = 0; i < 2; ++i) {
        auto* pane = Create<TQclSplitterPane>(paneOwner);
        pane->SetName(QclUniqueName(TQclSplitterPane::StaticClassName, paneOwner));
        AddPane(pane);
    }
    SetBounds(Left(), Top(), 200, 100);
    SetTabStop(false);
    updating_ = false;
}

TQclSplitterPanel::~TQclSplitterPanel() {
    updating_ = true;
    SaveOnce();
    for (TQclSplitterPane* p : panes_) p->SetPaneIndex(-1);
    panes_.clear();
    bars_.reset();
}

void TQclSplitterPanel::SaveOnce() {
    if (saved_) return;
    saved_ = true;
    if (!ComponentState().Contains(TComponentStateItem::csDesigning)) SaveData();
}

int TQclSplitterPanel::AddPane(TQclSplitterPane* pane) {
    if (PaneCount() >= kQclMaxPanes) return -1;
    panes_.push_back(pane);
    pane->SetParent(this);
    int index = PaneCount() - 1;
    pane->SetPaneIndex(index);
    if (bars_->Count() < PaneCount() - 1) bars_->Add();
    if (!updating_) {
        UpdateBarExtents();
        Realign();
    }
    return index;
}

void TQclSplitterPanel::RemovePane(TQclSplitterPane* pane) {
    auto it = std::find(panes_.begin(), panes_.end(), pane);
    if (it == panes_.end()) return;
    // The form takes its panes apart before the panel: the state is kept first.
    if (IsDestroying()) SaveOnce();
    panes_.erase(it);
    pane->SetParent(nullptr);
    for (size_t i = 0; i < panes_.size(); ++i) panes_[i]->SetPaneIndex(static_cast<int>(i));
    if (orientation_ == TQclSplitterOrientation::spCross) orientation_ = TQclSplitterOrientation::spVertRight;
    if (updating_ || !bars_) return;
    if (bars_->Count() > PaneCount() - 1 && bars_->Count() > 0)
        bars_->Delete(bars_->Count() - 1);
    else
        UpdateAll();
}

TQclSplitterPane* TQclSplitterPanel::GetPane(int index) const {
    return index >= 0 && index < PaneCount() ? panes_[static_cast<size_t>(index)] : nullptr;
}

int TQclSplitterPanel::VisiblePaneCount() const {
    bool designing = ComponentState().Contains(TComponentStateItem::csDesigning);
    return static_cast<int>(
        std::count_if(panes_.begin(), panes_.end(), [designing](TQclSplitterPane* p) { return designing || p->Visible(); }));
}

TQclSplitterPane* TQclSplitterPanel::GetVisiblePane(int index) const {
    bool designing = ComponentState().Contains(TComponentStateItem::csDesigning);
    for (TQclSplitterPane* p : panes_)
        if ((designing || p->Visible()) && index-- == 0) return p;
    return nullptr;
}

void TQclSplitterPanel::SetOrientation(TQclSplitterOrientation v) {
    if (v == TQclSplitterOrientation::spCross && PaneCount() < 4 && !IsLoading()) return;
    orientation_ = v;
    UpdateBarDirections();
    UpdateBarExtents();
    Realign();
}

void TQclSplitterPanel::SetIniLink(TQclIniCtrl* v) {
    if (v == iniLink_) return;
    if (iniLink_ != nullptr) iniLink_->RemoveFreeNotification(this);
    iniLink_ = v;
    if (v != nullptr) v->FreeNotification(this);
}

void TQclSplitterPanel::Notification(TComponent* component, TOperation operation) {
    TQclCustomBevelPanel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == iniLink_) {
        // A form taking itself apart may free the store before the panel.
        if (IsDestroying()) SaveOnce();
        iniLink_ = nullptr;
    }
    if (operation == TOperation::opInsert && iniUse_ == TQclIniUse::ioUseLink && iniLink_ == nullptr)
        if (auto* ini = dynamic_cast<TQclIniCtrl*>(component)) SetIniLink(ini);
}

TQclSplitterGeometry TQclSplitterPanel::Geometry() {
    TQclSplitterGeometry g;
    g.orientation = orientation_;
    g.visiblePanes = VisiblePaneCount();
    g.bevel = bevelExt_;
    TRect client = ClientRect();
    g.width = std::max(client.Width() - 2 * bevelExt_, 0);
    g.height = std::max(client.Height() - 2 * bevelExt_, 0);
    for (int i = 0; i < std::min(bars_->Count(), kQclMaxBars); ++i) {
        g.positions[static_cast<size_t>(i)] = std::max(Bar(i)->Position(), 0);
        g.widths[static_cast<size_t>(i)] = Bar(i)->Width();
    }
    return g;
}

void TQclSplitterPanel::GetBarRect(int index, TRect& rect) { rect = QclBarRect(Geometry(), index); }

void TQclSplitterPanel::UpdateBarDirections() {
    if (IsLoading() || IsDestroying() || !bars_) return;
    std::array<bool, kQclMaxBars> horizontal{};
    for (int i = 0; i < std::min(bars_->Count(), kQclMaxBars); ++i)
        horizontal[static_cast<size_t>(i)] = Bar(i)->Horizontal();
    QclBarDirections(orientation_, VisiblePaneCount(), horizontal);
    for (int i = 0; i < std::min(bars_->Count(), kQclMaxBars); ++i)
        Bar(i)->SetHorizontal(horizontal[static_cast<size_t>(i)]);
}

void TQclSplitterPanel::UpdateBarExtents() {
    if (updating_ || IsLoading() || !bars_) return;
    TQclSplitterGeometry g = Geometry();
    std::array<int, kQclMaxBars> extents{};
    const int bars = std::min(bars_->Count(), kQclMaxBars);
    for (int i = 0; i < bars; ++i) extents[static_cast<size_t>(i)] = Bar(i)->Extent();
    QclBarExtents(orientation_, g.visiblePanes, g.width, g.height, g.widths, extents);
    for (int i = 0; i < bars; ++i) Bar(i)->SetExtent(extents[static_cast<size_t>(i)]);
    for (int i = 0; i < std::min(BarCount(), bars); ++i) Bar(i)->UpdatePosition(true);
}

void TQclSplitterPanel::UpdateAll() {
    if (updating_ || IsLoading() || IsDestroying() || !bars_) return;
    UpdateBarDirections();
    UpdateBarExtents();
    Realign();
    if (HandleAllocated()) {
        Invalidate();
        UpdateWindow(Handle());
    }
}

void TQclSplitterPanel::PaintBar(int index) {
    if (updating_ || IsLoading() || index < 0 || index >= BarCount()) return;
    TRect r;
    GetBarRect(index, r);
    if (!painting_) {
        // Outside painting the bar is painted by the next paint.
        if (HandleAllocated()) {
            RECT rc{r.Left, r.Top, r.Right, r.Bottom};
            InvalidateRect(Handle(), &rc, TRUE);
        }
        return;
    }
    TCanvas* canvas = Canvas();
    QclDrawStdFrame(canvas, r, Bar(index)->BorderStyle(), 0);
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas->Brush()->SetColor(Bar(index)->Color());
    canvas->FillRect(r);
}

void TQclSplitterPanel::Paint() {
    if (VisiblePaneCount() == 0) {
        TQclCustomBevelPanel::Paint();
        return;
    }
    // The background and the bevel, then the bars over them.
    TQclCustomBevelPanel::Paint();
    painting_ = true;
    struct Done {
        bool& b;
        ~Done() { b = false; }
    } done{painting_};
    for (int i = 0; i < BarCount(); ++i) PaintBar(i);
}

void TQclSplitterPanel::AlignControls(TControl* control, TRect& rect) {
    if (aligning_) return;
    TQclCustomBevelPanel::AlignControls(control, rect);
    if (IsLoading() || !bars_) return;
    TRect inner = ClientRect();
    AdjustClientRect(inner);
    std::vector<TRect> rects = QclPaneRects(Geometry(), inner);
    if (rects.empty()) return;
    // The panes' moves ask for alignment again: they are this alignment.
    aligning_ = true;
    struct Done {
        bool& b;
        ~Done() { b = false; }
    } done{aligning_};
    for (size_t i = 0; i < rects.size(); ++i)
        if (TQclSplitterPane* pane = GetVisiblePane(static_cast<int>(i))) pane->SetBoundsRect(rects[i]);
}

void TQclSplitterPanel::Resize() {
    TQclCustomBevelPanel::Resize();
    if (IsLoading() || updating_) return;
    UpdateBarExtents();
    Realign();
}

void TQclSplitterPanel::ObjectChanged(TObject* sender) {
    bevelExt_ = Bevel()->TotalWidth();
    TQclCustomBevelPanel::ObjectChanged(sender);
}

void TQclSplitterPanel::ReadState() {
    // The panes of the layout take the place of the panel's own.
    updating_ = true;
    while (!panes_.empty()) panes_.back()->Free();
    updating_ = false;
}

void TQclSplitterPanel::Loaded() {
    TQclCustomBevelPanel::Loaded();
    bevelExt_ = Bevel()->TotalWidth();
    if (!ComponentState().Contains(TComponentStateItem::csDesigning)) {
        updating_ = true;
        LoadData();
        updating_ = false;
    }
    UpdateBarDirections();
    UpdateBarExtents();
    Realign();
}

void TQclSplitterPanel::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) {
    for (TQclSplitterPane* p : panes_) proc(p);
}

// ------------------------------------------------------------ mouse

void TQclSplitterPanel::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_NCHITTEST: {
            TQclCustomBevelPanel::WndProc(m);
            // Signed: a screen left of the primary one has negative x.
            lastHit_ = ScreenToClient({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
            return;
        }
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && SetSplitCursor()) {
                m.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TQclCustomBevelPanel::WndProc(m);
}

bool TQclSplitterPanel::SetSplitCursor() {
    int hits = 0;
    TCursor cursor = crDefault;
    for (int i = 0; i < BarCount(); ++i) {
        TRect r;
        GetBarRect(i, r);
        if (Bar(i)->Locked() || !PtInRect(r, lastHit_)) continue;
        ++hits;
        cursor = Bar(i)->Horizontal() ? crVSplit : crHSplit;
    }
    if (hits == 0) return false;
    if (hits == 2) cursor = crCross;
    ::SetCursor(EnsureScreen()->Cursors(cursor));
    return true;
}

void TQclSplitterPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == TMouseButton::mbLeft) {
        SetCapture(Handle());
        dragStart_ = dragCurrent_ = {x, y};
        bool any = false;
        for (int i = 0; i < BarCount(); ++i) {
            TRect r;
            GetBarRect(i, r);
            if (Bar(i)->Locked() || !PtInRect(r, {x, y})) continue;
            Bar(i)->SetDragging(true);
            if (!instantUpdate_) Bar(i)->SetDragPos(Bar(i)->Position());
            any = true;
        }
        dragging_ = any;
        if (any) DrawDragFeedback();
        else ReleaseCapture();
    }
    TQclCustomBevelPanel::MouseDown(button, shift, x, y);
}

TPoint TQclSplitterPanel::ClampDragPoint(TPoint p) {
    int dx = p.x - dragCurrent_.x, dy = p.y - dragCurrent_.y;
    for (int i = 0; i < BarCount(); ++i) {
        TQclSplitterBarItem* bar = Bar(i);
        if (!bar->Dragging()) continue;
        const int current = instantUpdate_ ? bar->Position() : bar->DragPos();
        if (bar->Horizontal())
            dy = QclClampDragStep(dy, current, bar->Numbers());
        else
            dx = QclClampDragStep(dx, current, bar->Numbers());
    }
    return {dragCurrent_.x + dx, dragCurrent_.y + dy};
}

void TQclSplitterPanel::MouseMove(TShiftState shift, int x, int y) {
    if (dragging_ && shift.Contains(TShiftStateItem::ssLeft)) {
        TPoint next = ClampDragPoint({x, y});
        const int dx = next.x - dragCurrent_.x, dy = next.y - dragCurrent_.y;
        dragCurrent_ = next;
        if (dx != 0 || dy != 0) {
            if (!instantUpdate_) DrawDragFeedback();
            for (int i = 0; i < BarCount(); ++i) {
                TQclSplitterBarItem* bar = Bar(i);
                if (!bar->Dragging()) continue;
                const int step = bar->Horizontal() ? dy : dx;
                if (instantUpdate_)
                    bar->SetPosition(bar->Position() + step);
                else
                    bar->SetDragPos(bar->DragPos() + step);
            }
            if (!instantUpdate_) DrawDragFeedback();
        }
    }
    TQclCustomBevelPanel::MouseMove(shift, x, y);
}

void TQclSplitterPanel::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (dragging_ && button == TMouseButton::mbLeft) {
        dragging_ = false;
        if (!instantUpdate_) DrawDragFeedback();
        for (int i = 0; i < BarCount(); ++i) {
            TQclSplitterBarItem* bar = Bar(i);
            if (!bar->Dragging()) continue;
            if (!instantUpdate_) bar->SetPosition(bar->DragPos());
            bar->SetDragging(false);
            if (OnSplitChange) OnSplitChange(this, i);
        }
        Realign();
        ReleaseCapture();
    }
    TQclCustomBevelPanel::MouseUp(button, shift, x, y);
}

void TQclSplitterPanel::DrawDragFeedback() {
    if (!HandleAllocated()) return;
    WindowDC dc(nullptr);
    for (int i = 0; i < BarCount(); ++i) {
        TQclSplitterBarItem* bar = Bar(i);
        if (!bar->Dragging()) continue;
        TRect r;
        GetBarRect(i, r);
        const int B = bevelExt_, p = bar->DragPos(), w = bar->Width();
        TRect f = bar->Horizontal() ? TRect{r.Left, B + p, r.Right, B + p + w} : TRect{B + p, r.Top, B + p + w, r.Bottom};
        TPoint tl = ClientToScreen(f.TopLeft()), br = ClientToScreen(f.BottomRight());
        BitBlt(dc.Get(), tl.x, tl.y, br.x - tl.x, br.y - tl.y, nullptr, 0, 0, DSTINVERT);
    }
}

// ------------------------------------------------------------ stored state

void TQclSplitterPanel::LoadData() {
    TQclIniCtrl* ini = QclChooseIniCtrl(iniUse_, iniLink_);
    if (ini != nullptr)
        LoadFromIni(ini);
    else if (OnIniReadData)
        OnIniReadData(this, nullptr, section_);
}

void TQclSplitterPanel::SaveData() {
    TQclIniCtrl* ini = QclChooseIniCtrl(iniUse_, iniLink_);
    if (ini != nullptr)
        SaveToIni(ini);
    else if (OnIniWriteData)
        OnIniWriteData(this, nullptr, section_);
}

void TQclSplitterPanel::SaveToIni(TQclIniCtrl* ini) {
    WriteStore(ini);
    if (OnIniWriteData) OnIniWriteData(this, ini, section_);
}

void TQclSplitterPanel::WriteStore(TQclIniCtrl* ini) {
    using O = TQclSplitterIniSaveOption;
    const char sep = QclValueSeparator;
    if (iniSaveOptions_.Contains(O::ssOrderVisible)) {
        std::vector<int> order;
        std::vector<std::string> visible;
        for (TQclSplitterPane* p : panes_) {
            order.push_back(p->PaneIndex());
            visible.push_back(p->Visible() ? "1" : "0");
        }
        ini->WriteString(section_, iniKey_ + "PaneO", QclJoinIntegers(order, sep));
        ini->WriteString(section_, iniKey_ + "PaneV", QclJoinStrings(visible, sep));
    } else {
        ini->DeleteKey(section_, iniKey_ + "PaneO");
        ini->DeleteKey(section_, iniKey_ + "PaneV");
    }
    if (iniSaveOptions_.Contains(O::ssPosition)) {
        // Every bar, in use or not, so that the value always reads back.
        std::vector<int> percents;
        for (int i = 0; i < (bars_ ? bars_->Count() : 0); ++i) percents.push_back(Bar(i)->PosPercent());
        ini->WriteString(section_, iniKey_ + "Bars", QclJoinIntegers(percents, sep));
    } else {
        ini->DeleteKey(section_, iniKey_ + "Bars");
    }
    if (iniSaveOptions_.Contains(O::soColor)) {
        std::vector<std::string> colors;
        for (TQclSplitterPane* p : panes_) colors.push_back(ColorToString(p->Color()));
        ini->WriteString(section_, iniKey_ + "Colors", QclJoinStrings(colors, sep));
    } else {
        ini->DeleteKey(section_, iniKey_ + "Colors");
    }
    if (iniSaveOptions_.Contains(O::soFont)) {
        std::vector<std::string> fonts;
        for (TQclSplitterPane* p : panes_) fonts.push_back(QclFontToString(p->Font()));
        ini->WriteString(section_, iniKey_ + "Fonts", QclJoinStrings(fonts, '|'));
    } else {
        ini->DeleteKey(section_, iniKey_ + "Fonts");
    }
}

void TQclSplitterPanel::LoadFromIni(TQclIniCtrl* ini) {
    using O = TQclSplitterIniSaveOption;
    const char sep = QclValueSeparator;
    const int panes = PaneCount();
    auto read = [&](const char* suffix) { return ini->ReadString(section_, iniKey_ + suffix, ""); };
    if (iniSaveOptions_.Contains(O::ssOrderVisible)) {
        std::vector<int> order;
        if (QclParsePaneOrder(read("PaneO"), sep, panes, order)) {
            std::vector<TQclSplitterPane*> reordered;
            for (int index : order) reordered.push_back(panes_[static_cast<size_t>(index)]);
            panes_ = reordered;
        }
        std::vector<bool> visible;
        if (QclParsePaneVisible(read("PaneV"), sep, panes, visible))
            for (int i = 0; i < panes; ++i) panes_[static_cast<size_t>(i)]->SetVisible(visible[static_cast<size_t>(i)]);
    }
    if (iniSaveOptions_.Contains(O::ssPosition)) {
        std::vector<uint8_t> percents;
        if (QclParseBarPercents(read("Bars"), sep, bars_->Count(), percents))
            for (int i = 0; i < bars_->Count(); ++i) Bar(i)->SetPosPercent(percents[static_cast<size_t>(i)]);
    }
    if (iniSaveOptions_.Contains(O::soColor)) {
        std::vector<std::string> colors = QclSplitToVector(read("Colors"), sep);
        TColor c;
        if (static_cast<int>(colors.size()) == panes)
            for (int i = 0; i < panes; ++i)
                if (TryStringToColor(colors[static_cast<size_t>(i)], c)) panes_[static_cast<size_t>(i)]->SetColor(c);
    }
    if (iniSaveOptions_.Contains(O::soFont)) {
        std::vector<std::string> fonts = QclSplitToVector(read("Fonts"), '|');
        if (static_cast<int>(fonts.size()) == panes)
            for (int i = 0; i < panes; ++i)
                QclStringToFont(fonts[static_cast<size_t>(i)], panes_[static_cast<size_t>(i)]->Font());
    }
    if (OnIniReadData) OnIniReadData(this, ini, section_);
}

// ------------------------------------------------------------ registration

void RegisterSplitterClasses() {
    using B = TQclSplitterBarItem;
    PublishClass<B, TCollectionItem>()
        .Enum<TQclBorderStyle>("BorderStyle", &B::BorderStyle, &B::SetBorderStyle, TQclBorderStyle::lsNone)
        // Always written: it has no default (-1 until the panel lays it out).
        .Custom("Position",
                [](B* b, const FormValue& v, LayoutReader& r) {
                    b->SetPosition(static_cast<int>(typinfo::AsInt(v, r, nullptr)));
                },
                [](B* b) -> std::optional<FormValue> { return FormValue::Int(b->Position()); })
        .Int("PosPercent", &B::PosPercent, &B::SetPosPercent, 50)
        .Int("Min", &B::Min, &B::SetMin)
        .Int("Max", &B::Max, &B::SetMax)
        .Bool("Locked", &B::Locked, &B::SetLocked)
        .Int("Color", &B::Color, &B::SetColor, clBtnFace, &ColorIdents())
        .Int("Width", &B::Width, &B::SetWidth, 3)
        .Event("OnChange", &B::OnChange);
    PublishClass<TQclSplitterBarItems, TCollection>().NotCreatable();

    using P = TQclSplitterPane;
    // The panel places its panes: what a layout says of that is dropped.
    PublishClass<P, TQclScrollBox>()
        .ReadOnly("Align")
        .ReadOnly("Left")
        .ReadOnly("Top")
        .ReadOnly("Width")
        .ReadOnly("Height")
        .Bool("ParentColor", &P::ParentColor, &P::SetParentColor, true);

    using S = TQclSplitterPanel;
    PublishClass<S, TQclCustomBevelPanel> panel;
    PublishBiDi(panel);
    PublishConstraints(panel);
    PublishDockClient(panel);
    PublishDockSite(panel);
    panel.Bool("AutoSize", &S::AutoSize, &S::SetAutoSize)
        .Bool("InstantUpdate", &S::InstantUpdate, &S::SetInstantUpdate)
        .Object("Bars", &S::Bars)
        .Enum<TQclSplitterOrientation>("Orientation", &S::Orientation, &S::SetOrientation,
                                       TQclSplitterOrientation::spVertRight)
        .Ref<TQclIniCtrl>("IniLink", &S::IniLink, &S::SetIniLink)
        .Enum<TQclIniUse>("IniUse", &S::IniUse, &S::SetIniUse, TQclIniUse::ioNone)
        .SetOf<TQclSplitterIniSaveOption>("IniSaveOptions", &S::IniSaveOptions, &S::SetIniSaveOptions,
                                          {TQclSplitterIniSaveOption::ssOrderVisible,
                                           TQclSplitterIniSaveOption::ssPosition})
        .Custom("Section", [](S* s, const FormValue& v, LayoutReader& r) { s->SetSection(typinfo::AsString(v, r)); },
                QclStoredUnless<S>(&S::Section, "Common"))
        .Custom("IniKey", [](S* s, const FormValue& v, LayoutReader& r) { s->SetIniKey(typinfo::AsString(v, r)); },
                QclStoredUnless<S>(&S::IniKey, "SplitPanel"))
        .Event("OnSplitChange", &S::OnSplitChange)
        .Event("OnIniReadData", &S::OnIniReadData)
        .Event("OnIniWriteData", &S::OnIniWriteData);
}

}  // namespace treskel

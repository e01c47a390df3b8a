// The status bar: panels as a collection, mirrored into msctls_statusbar32.
#include "platform/ComCtrls.h"
#include "platform/ComCtrlsPriv.h"

namespace treskel {

// ------------------------------------------------------------ TStatusPanel

void TStatusPanel::SetWidth(int v) {
    if (v == width_) return;
    width_ = v;
    Changed(true);  // every panel after it moves
}

void TStatusPanel::SetText(const std::string& v) {
    if (v == text_) return;
    text_ = v;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v) {
    if (v == style_) return;
    style_ = v;
    Changed(false);
}

void TStatusPanel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v) {
    if (v == bevel_) return;
    bevel_ = v;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
    auto* src = dynamic_cast<TStatusPanel*>(source);
    if (src == nullptr) {
        TCollectionItem::Assign(source);
        return;
    }
    width_ = src->width_;
    text_ = src->text_;
    style_ = src->style_;
    alignment_ = src->alignment_;
    bevel_ = src->bevel_;
    Changed(true);
}

// ------------------------------------------------------------ TStatusPanels

TStatusPanels::TStatusPanels(TStatusBar* bar)
    // The panel joins the collection once it is whole (TCollection::Add).
    : TCollection([](TCollection*) -> TCollectionItem* { return new TStatusPanel(nullptr); }), bar_(bar) {}

void TStatusPanels::Update(TCollectionItem* item) {
    TCollection::Update(item);
    if (item != nullptr) bar_->UpdatePanel(item->Index());
    else bar_->UpdatePanels();
}

// ------------------------------------------------------------ TStatusBar

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), panels_(std::make_unique<TStatusPanels>(this)), canvas_(std::make_unique<TControlCanvas>(this)) {
    SetControlStyle({TControlStyleItem::csCaptureMouse, TControlStyleItem::csClickEvents,
                     TControlStyleItem::csDoubleClicks, TControlStyleItem::csOpaque});
    SetColor(clBtnFace);
    SetBounds(0, 0, 200, 19);
    SetAlign(TAlign::alBottom);
}

TStatusBar::~TStatusBar() {
    DestroyHandle();
    canvas_.reset();
}

void TStatusBar::CreateParams(TCreateParams& p) {
    comctl::InitClasses();
    TWinControl::CreateParams(p);
    CreateSubClass(p, STATUSCLASSNAMEA);
    // Our alignment places the bar, not the control itself.
    p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreateWnd() {
    TWinControl::CreateWnd();
    UpdatePanels();
}

void TStatusBar::UpdatePanels() {
    if (!HandleAllocated()) return;
    int n = panels_->Count();
    std::vector<int> edges;
    int x = 0;
    for (int i = 0; i < n; ++i) {
        x += panels_->Items(i)->Width();
        edges.push_back(i == n - 1 ? -1 : x);
    }
    if (n == 0) edges.push_back(-1);
    Perform(SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    if (n == 0) Perform(SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    for (int i = 0; i < n; ++i) UpdatePanel(i);
    Perform(SB_SIMPLE, simplePanel_ ? TRUE : FALSE, 0);
    if (simplePanel_) Perform(SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::UpdatePanel(int index) {
    if (!HandleAllocated() || index < 0 || index >= panels_->Count()) return;
    TStatusPanel* p = panels_->Items(index);
    WPARAM flags = static_cast<WPARAM>(index);
    if (p->Bevel() == TStatusPanelBevel::pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == TStatusPanelBevel::pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == TStatusPanelStyle::psOwnerDraw) {
        Perform(SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(p));
        return;
    }
    // The control centres text after one tab and right-aligns it after two.
    std::string text = p->Text();
    if (p->Alignment() == TAlignment::taCenter) text = "\t" + text;
    if (p->Alignment() == TAlignment::taRightJustify) text = "\t\t" + text;
    Perform(SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
}

void TStatusBar::SetSimplePanel(bool v) {
    if (v == simplePanel_) return;
    simplePanel_ = v;
    if (!HandleAllocated()) return;
    Perform(SB_SIMPLE, v ? TRUE : FALSE, 0);
    if (v) Perform(SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(simpleText_.c_str()));
}

void TStatusBar::SetSimpleText(const std::string& s) {
    if (s == simpleText_) return;
    simpleText_ = s;
    if (HandleAllocated() && simplePanel_) Perform(SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(s.c_str()));
}

void TStatusBar::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        int index = static_cast<int>(dis->itemID);
        if (OnDrawPanel && index >= 0 && index < panels_->Count()) {
            TCanvas* c = canvas_.get();
            static_cast<TControlCanvas*>(c)->FreeHandle();
            c->Font()->Assign(Font());
            c->Brush()->SetColor(Color());
            CanvasDCScope lent(c, dis->hDC);
            OnDrawPanel(this, panels_->Items(index), FromRECT(dis->rcItem));
        }
        m.Result = TRUE;
        return;
    }
    TWinControl::WndProc(m);
}

}  // namespace treskel

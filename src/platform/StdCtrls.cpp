#include "platform/StdCtrls.h"

#include "platform/Forms.h"

namespace treskel {

// ------------------------------------------------------------ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetControlStyle(ControlStyle() + TControlStyleItem::csOpaque + TControlStyleItem::csReplicatable);
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
    TGraphicControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::SetAlignment(TAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout l) {
    if (l == layout_) return;
    layout_ = l;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
    if (v == Transparent()) return;
    SetControlStyle(v ? ControlStyle() - TControlStyleItem::csOpaque : ControlStyle() + TControlStyleItem::csOpaque);
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (v == showAccelChar_) return;
    showAccelChar_ = v;
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* c) {
    focusControl_ = c;
    if (c != nullptr) c->FreeNotification(this);
}

void TCustomLabel::DoDrawText(TRect& r, UINT flags) {
    std::string text = Caption();
    if ((flags & DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    TCanvas* c = Canvas();
    c->Font()->Assign(Font());
    RECT rc = ToRECT(r);
    if (!Enabled()) {
        // Disabled text: embossed in the system's grey.
        OffsetRect(&rc, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &rc, flags);
        OffsetRect(&rc, -1, -1);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawTextA(c->Handle(), text.c_str(), static_cast<int>(text.size()), &rc, flags);
    r = FromRECT(rc);
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        c->Brush()->SetColor(Color());
        c->Brush()->SetStyle(TBrushStyle::bsSolid);
        c->FillRect(r);
    }
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    static const UINT aligns[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0) | aligns[static_cast<int>(alignment_)];
    if (layout_ != TTextLayout::tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.Height();
        int off = layout_ == TTextLayout::tlBottom ? r.Height() - h : (r.Height() - h) / 2;
        r.Top += off;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (IsLoading() || !autoSize_ || Parent() == nullptr || !Parent()->HandleAllocated()) return;
    TRect r = ClientRect();
    HDC dc = GetDC(nullptr);
    TCanvas* c = Canvas();
    c->SetHandle(dc);
    DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    c->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    int x = Left();
    if (alignment_ == TAlignment::taRightJustify) x += Width() - r.Right;
    SetBounds(x, Top(), r.Right, r.Bottom);
}

void TCustomLabel::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
            Invalidate();
            AdjustBounds();
            break;
        case CM_DIALOGCHAR:
            if (focusControl_ != nullptr && Enabled() && showAccelChar_ && focusControl_->CanFocus()) {
                focusControl_->SetFocus();
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TGraphicControl::WndProc(m);
}

// ------------------------------------------------------------ TCustomEdit

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetControlStyle({TControlStyleItem::csClickEvents, TControlStyleItem::csSetCaption,
                     TControlStyleItem::csDoubleClicks, TControlStyleItem::csFixedHeight});
    SetBounds(0, 0, 121, 21);
    SetTabStop(true);
    SetParentColor(false);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    p.Unicode = false;
    TWinControl::CreateParams(p);
    CreateSubClass(p, "EDIT");
    p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_) p.Style |= ES_READONLY;
    if (passwordChar_ != 0) p.Style |= ES_PASSWORD;
    if (charCase_ == TEditCharCase::ecUpperCase) p.Style |= ES_UPPERCASE;
    if (charCase_ == TEditCharCase::ecLowerCase) p.Style |= ES_LOWERCASE;
}

void TCustomEdit::CreateWnd() {
    creating_ = true;
    TWinControl::CreateWnd();
    creating_ = false;
    SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (passwordChar_ != 0) SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(passwordChar_), 0);
    SendMessageA(Handle(), EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::SetMaxLength(int v) {
    maxLength_ = v;
    if (HandleAllocated()) SendMessageA(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(v), 0);
}

void TCustomEdit::SetReadOnly(bool v) {
    readOnly_ = v;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETREADONLY, v, 0);
}

void TCustomEdit::SetPasswordChar(char c) {
    if (c == passwordChar_) return;
    passwordChar_ = c;
    RecreateWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle s) {
    if (s == borderStyle_) return;
    borderStyle_ = s;
    RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase c) {
    if (c == charCase_) return;
    charCase_ = c;
    RecreateWnd();
}

bool TCustomEdit::Modified() {
    if (HandleAllocated()) modified_ = SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0;
    return modified_;
}

void TCustomEdit::SetModified(bool v) {
    modified_ = v;
    if (HandleAllocated()) SendMessageA(Handle(), EM_SETMODIFY, v, 0);
}

int TCustomEdit::SelStart() {
    DWORD s = 0, e = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(s);
}

void TCustomEdit::SetSelStart(int v) { SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(v), v); }

int TCustomEdit::SelLength() {
    DWORD s = 0, e = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    return static_cast<int>(e - s);
}

void TCustomEdit::SetSelLength(int v) {
    int s = SelStart();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(s), s + v);
}

std::string TCustomEdit::SelText() {
    std::string t = Text();
    int s = SelStart(), l = SelLength();
    if (s < 0 || s > static_cast<int>(t.size())) return std::string();
    return t.substr(static_cast<size_t>(s), static_cast<size_t>(l));
}

void TCustomEdit::SetSelText(const std::string& s) {
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
}

void TCustomEdit::SelectAll() { SendMessageA(Handle(), EM_SETSEL, 0, -1); }
void TCustomEdit::ClearSelection() { SendMessageA(Handle(), WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { SendMessageA(Handle(), WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { SendMessageA(Handle(), WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { SendMessageA(Handle(), EM_UNDO, 0, 0); }
bool TCustomEdit::CanUndo() { return SendMessageA(Handle(), EM_CANUNDO, 0, 0) != 0; }

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (HIWORD(m.WParam) == EN_CHANGE && !creating_) Change();
            return;
        case CM_TEXTCHANGED:
            if (!HandleAllocated()) Change();
            break;
        case WM_SETFOCUS:
            TWinControl::WndProc(m);
            if (autoSelect_ && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

// ------------------------------------------------------------ buttons

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    SetControlStyle({TControlStyleItem::csSetCaption, TControlStyleItem::csDoubleClicks});
    SetBounds(0, 0, 75, 25);
    SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefault(bool v) {
    if (v == default_) return;
    default_ = v;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
    if (modalResult_ != 0)
        if (TCustomForm* f = GetParentForm()) f->SetModalResult(modalResult_);
    TButtonControl::Click();
}

void TButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND:
            if (HIWORD(m.WParam) == BN_CLICKED) Click();
            return;
        case CM_DIALOGKEY:
            if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        default:
            break;
    }
    TButtonControl::WndProc(m);
}

}  // namespace treskel

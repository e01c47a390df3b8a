#include "platform/StdCtrls.h"

#include "platform/Forms.h"

namespace treskel {

// ------------------------------------------------------------ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    autoSize_ = true;
    SetControlStyle(ControlStyle() + TControlStyleItem::csOpaque + TControlStyleItem::csReplicatable);
    SetBounds(0, 0, 65, 17);
    // A label lies on its parent's face unless it is given a colour.
    SetParentColor(true);
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
    // Measured on the screen: the label's size does not wait for a window.
    if (IsLoading() || !autoSize_) return;
    TRect r = ClientRect();
    {
        WindowDC screen(nullptr);
        CanvasDCScope lent(Canvas(), screen.Get());
        DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : 0));
    }
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
            if (focusControl_ != nullptr && Enabled() && showAccelChar_ &&
                IsAccel(static_cast<char>(m.WParam), Caption()) && focusControl_->CanFocus()) {
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
    p.Unicode = wideWindow_;
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

void TCustomEdit::SetWideWindow(bool v) {
    if (v == wideWindow_) return;
    wideWindow_ = v;
    RecreateWnd();
}

std::wstring TCustomEdit::WideText() { return WindowTextW(Handle()); }

void TCustomEdit::SelectWide(int start, int length) {
    SendMessageW(Handle(), EM_SETSEL, static_cast<WPARAM>(start), start + length);
    SendMessageW(Handle(), EM_SCROLLCARET, 0, 0);
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
    if (!HandleAllocated()) return;
    // Every button of the form works out again which one Enter presses.
    if (TCustomForm* f = GetParentForm()) FormAsControl(f)->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(f->ActiveControl()));
    else SetButtonStyle(v);
}

void TButton::SetButtonStyle(bool active) {
    if (!HandleAllocated()) return;
    DWORD style = active ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & 0xF) != style) SendMessageA(Handle(), BM_SETSTYLE, style, TRUE);
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
        case CM_FOCUSCHANGED: {
            auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
            SetButtonStyle(dynamic_cast<TButton*>(focused) != nullptr ? focused == this : default_);
            return;
        }
        case CM_DIALOGKEY:
            if (((m.WParam == VK_RETURN && default_) || (m.WParam == VK_ESCAPE && cancel_)) && CanFocus()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            // Focused first, as a click leaves it: the next press of a
            // letter two captions share goes on to the other.
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SetFocus();
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

namespace treskel {

// ------------------------------------------------------------ memo lines

std::vector<std::string> TMemoStrings::Read() const {
    // Lines end at CR LF; text after the last CR LF is one more line.
    std::string text = memo_->Text();
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

void TMemoStrings::Write(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) {
        text += l;
        text += "\r\n";
    }
    memo_->SetText(text);
}

void TMemoStrings::Check(int index, int count) const {
    if (index < 0 || index >= count) Error("List index out of bounds (%d)", index);
}

int TMemoStrings::Count() const { return static_cast<int>(Read().size()); }

std::string TMemoStrings::Get(int index) const {
    std::vector<std::string> lines = Read();
    Check(index, static_cast<int>(lines.size()));
    return lines[static_cast<size_t>(index)];
}

void TMemoStrings::Put(int index, const std::string& s) {
    std::vector<std::string> lines = Read();
    Check(index, static_cast<int>(lines.size()));
    lines[static_cast<size_t>(index)] = s;
    Write(lines);
}

void TMemoStrings::Insert(int index, const std::string& s) {
    std::vector<std::string> lines = Read();
    if (index < 0 || index > static_cast<int>(lines.size())) Error("List index out of bounds (%d)", index);
    // A line may not smuggle in a line break of its own.
    std::string line = s.substr(0, s.find_first_of("\r\n"));
    lines.insert(lines.begin() + index, line);
    Write(lines);
}

void TMemoStrings::Delete(int index) {
    std::vector<std::string> lines = Read();
    Check(index, static_cast<int>(lines.size()));
    lines.erase(lines.begin() + index);
    Write(lines);
}

void TMemoStrings::Clear() { memo_->SetText(""); }

std::string TMemoStrings::Text() const {
    std::string text;
    for (const std::string& l : Read()) {
        text += l;
        text += "\r\n";
    }
    return text;
}

void TMemoStrings::SetText(std::string_view text) {
    TStringList parsed;
    parsed.SetText(text);
    Write(parsed.ToVector());
}

// ------------------------------------------------------------ memo

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), lines_(std::make_unique<TMemoStrings>(this)) {
    SetControlStyle(ControlStyle() - TControlStyleItem::csFixedHeight);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style |= ES_MULTILINE | ES_WANTRETURN;
    if (wordWrap_) p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    bool horz = scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth;
    bool vert = scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth;
    // Wrapped text never needs a horizontal bar.
    if (horz && !wordWrap_) p.Style |= WS_HSCROLL;
    if (vert) p.Style |= WS_VSCROLL;
}

void TCustomMemo::SetScrollBars(TScrollStyle s) {
    if (s == scrollBars_) return;
    scrollBars_ = s;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    RecreateWnd();
}

void TCustomMemo::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_GETDLGCODE:
            // Tab and Return go to the memo only when it wants them.
            TCustomEdit::WndProc(m);
            m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
            if (wantTabs_) m.Result |= DLGC_WANTTAB;
            return;
        case CM_WANTSPECIALKEY:
            if (m.WParam == VK_RETURN && wantReturns_) {
                m.Result = 1;
                return;
            }
            break;
        case WM_CHAR:
            // A Tab or Return the memo does not want is not typed into it.
            if ((m.WParam == '\t' && !wantTabs_) || (m.WParam == '\r' && !wantReturns_)) return;
            break;
        default:
            break;
    }
    TCustomEdit::WndProc(m);
}

// ------------------------------------------------------------ check box

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    SetControlStyle({TControlStyleItem::csSetCaption, TControlStyleItem::csDoubleClicks});
    SetBounds(0, 0, 97, 17);
    SetTabStop(true);
    SetParentColor(true);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    // Not an automatic box: the state is ours and the window follows it.
    p.Style |= BS_3STATE;
    if (alignment_ == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetAlignment(TAlignment a) {
    if (a == TAlignment::taCenter) a = TAlignment::taRightJustify;
    if (a == alignment_) return;
    alignment_ = a;
    RecreateWnd();
}

void TCustomCheckBox::SetState(TCheckBoxState s) {
    if (s == state_) return;
    state_ = s;
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, static_cast<WPARAM>(s), 0);
    // A layout being read sets the state without running handlers.
    if (!IsLoading()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked:
            SetState(TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbChecked:
            SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbUnchecked);
            break;
        case TCheckBoxState::cbGrayed:
            SetState(TCheckBoxState::cbUnchecked);
            break;
    }
}

void TCustomCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) Toggle();
        return;
    }
    if (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        m.Result = 1;
        return;
    }
    TButtonControl::WndProc(m);
}

// ------------------------------------------------------------ radio button

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    SetControlStyle({TControlStyleItem::csSetCaption, TControlStyleItem::csDoubleClicks});
    SetBounds(0, 0, 113, 17);
    SetParentColor(true);
}

void TRadioButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    CreateSubClass(p, "BUTTON");
    p.Style |= BS_RADIOBUTTON;
    if (alignment_ == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetAlignment(TAlignment a) {
    if (a == TAlignment::taCenter) a = TAlignment::taRightJustify;
    if (a == alignment_) return;
    alignment_ = a;
    RecreateWnd();
}

void TRadioButton::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    // The checked button of a group is the one Tab stops at.
    SetTabStop(v);
    if (HandleAllocated()) SendMessageA(Handle(), BM_SETCHECK, v ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!v) return;
    if (TWinControl* p = Parent()) {
        for (int i = 0; i < p->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(p->Controls(i));
            if (other != nullptr && other != this) other->SetChecked(false);
        }
    }
    if (!IsLoading()) Click();
}

void TRadioButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
        return;
    }
    if (m.Msg == CM_DIALOGCHAR && IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        m.Result = 1;
        return;
    }
    TButtonControl::WndProc(m);
}

// ------------------------------------------------------------ group box

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle({TControlStyleItem::csAcceptsControls, TControlStyleItem::csCaptureMouse,
                     TControlStyleItem::csClickEvents, TControlStyleItem::csSetCaption,
                     TControlStyleItem::csDoubleClicks, TControlStyleItem::csOpaque,
                     TControlStyleItem::csReplicatable});
    SetBounds(0, 0, 185, 105);
    SetParentColor(true);
}

int TCustomGroupBox::CaptionHeight() {
    WindowDC screen(nullptr);
    SelectGuard sel(screen.Get(), Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(screen.Get(), &tm);
    return tm.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
    TCustomControl::AdjustClientRect(rect);
    rect = InflateRect(rect, -2, -2);
    rect.Top += CaptionHeight() - 2;
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    TRect all = ClientRect();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->FillRect(all);
    c->Font()->Assign(Font());
    int h = c->TextHeight("0");
    RECT frame{0, h / 2, all.Right, all.Bottom};
    HDC dc = c->Handle();
    if (Ctl3D()) {
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    } else {
        c->Brush()->SetColor(clWindowFrame);
        c->FrameRect(FromRECT(frame));
    }
    std::string text = Caption();
    if (text.empty()) return;
    // The caption interrupts the top edge; "&&" shows one ampersand.
    RECT tr{8, 0, all.Right - 8, h};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE | DT_CALCRECT);
    c->Brush()->SetColor(Color());
    c->FillRect(FromRECT(tr));
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (!Enabled()) {
        RECT shifted = tr;
        OffsetRect(&shifted, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, DT_SINGLELINE);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &tr, DT_SINGLELINE);
}

void TCustomGroupBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            // The box's own letter leads into it.
            if (IsAccel(static_cast<char>(m.WParam), Caption()) && CanFocus()) {
                SelectFirst();
                m.Result = 1;
                return;
            }
            break;
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
        case CM_FONTCHANGED:
            Invalidate();
            Realign();
            break;
        default:
            break;
    }
    TCustomControl::WndProc(m);
}

}  // namespace treskel

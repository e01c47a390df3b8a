#include "platform/ListCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/ControlsHooks.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"

namespace treskel {

// ---------------------------------------------------------------- items

// The items of a list control: in the window while it exists, kept here
// while it does not.
class TListControlStrings : public TStrings {
    TRESKEL_CLASS(TListControlStrings)
public:
    explicit TListControlStrings(TCustomListControl* control) : control_(control) {}

    TStringList& Stored() { return stored_; }

    int Count() const override {
        if (!Live()) return stored_.Count();
        return static_cast<int>(Send(M().getCount, 0, 0));
    }
    std::string Get(int index) const override {
        if (!Live()) return stored_.Get(index);
        Check(index);
        LRESULT n = Send(M().getTextLen, static_cast<WPARAM>(index), 0);
        if (n == static_cast<LRESULT>(M().err) || n < 0) return {};
        std::string s(static_cast<size_t>(n) + 1, '\0');
        n = Send(M().getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<size_t>(std::max<LRESULT>(n, 0)));
        return s;
    }
    void* GetObject(int index) const override {
        if (!Live()) return stored_.GetObject(index);
        Check(index);
        return reinterpret_cast<void*>(Send(M().getItemData, static_cast<WPARAM>(index), 0));
    }
    void PutObject(int index, void* object) override {
        if (!Live()) {
            stored_.PutObject(index, object);
            return;
        }
        Check(index);
        Send(M().setItemData, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(object));
    }
    void Put(int index, const std::string& s) override {
        void* object = GetObject(index);
        int selected = control_->ItemIndex();
        Delete(index);
        InsertObject(index, s, object);
        if (selected == index) control_->SetItemIndex(index);
    }
    int Add(const std::string& s) override {
        if (!Live()) return stored_.Add(s);
        LRESULT i = Send(M().addString, 0, reinterpret_cast<LPARAM>(s.c_str()));
        if (i < 0) throw EOutOfResources("Unable to insert a line");
        return static_cast<int>(i);
    }
    void Insert(int index, const std::string& s) override {
        if (!Live()) {
            if (stored_.Sorted()) {
                stored_.Add(s);
            } else {
                stored_.Insert(index, s);
            }
            return;
        }
        if (index < 0 || index > Count()) Error("List index out of bounds (%d)", index);
        LRESULT i = Send(M().insertString, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str()));
        if (i < 0) throw EOutOfResources("Unable to insert a line");
    }
    void Delete(int index) override {
        if (!Live()) {
            stored_.Delete(index);
            return;
        }
        Check(index);
        Send(M().deleteString, static_cast<WPARAM>(index), 0);
    }
    void Clear() override {
        if (!Live()) {
            stored_.Clear();
            return;
        }
        Send(M().resetContent, 0, 0);
    }

protected:
    void SetUpdateState(bool updating) override {
        if (!Live()) return;
        SendMessageA(control_->Handle(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
        if (!updating) control_->Invalidate();
    }

private:
    bool Live() const { return control_->HandleAllocated(); }
    const TCustomListControl::Messages& M() const { return control_->Msgs(); }
    LRESULT Send(UINT msg, WPARAM w, LPARAM l) const { return SendMessageA(control_->Handle(), msg, w, l); }
    void Check(int index) const {
        if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
    }

    TCustomListControl* control_;
    TStringList stored_;
};

// ---------------------------------------------------------------- TCustomListControl

TCustomListControl::TCustomListControl(TComponent* owner)
    : TWinControl(owner),
      itemHeight_(16),
      items_(std::make_unique<TListControlStrings>(this)),
      canvas_(std::make_unique<TCanvas>()) {
    // Clicks come from the control's notifications, not from the mouse.
    SetControlStyle({TControlStyleItem::csSetCaption, TControlStyleItem::csDoubleClicks});
}

TCustomListControl::~TCustomListControl() = default;

TStrings* TCustomListControl::Items() { return items_.get(); }

void TCustomListControl::SetItems(TStrings* items) { items_->Assign(items); }

int TCustomListControl::ItemIndex() {
    if (!HandleAllocated()) return storedIndex_;
    LRESULT i = SendMessageA(Handle(), Msgs().getCurSel, 0, 0);
    return i == static_cast<LRESULT>(Msgs().err) ? -1 : static_cast<int>(i);
}

void TCustomListControl::SetItemIndex(int index) {
    if (!HandleAllocated()) {
        storedIndex_ = index;
        return;
    }
    if (ItemIndex() == index) return;
    SendMessageA(Handle(), Msgs().setCurSel, static_cast<WPARAM>(index), 0);
}

void TCustomListControl::SetItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    if (HandleAllocated() && OwnerDraw()) RecreateWnd();
}

void TCustomListControl::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    items_->Stored().SetSorted(sorted);
    RecreateWnd();
}

void TCustomListControl::Clear() { items_->Clear(); }

void TCustomListControl::CreateWnd() {
    TWinControl::CreateWnd();
    // The kept items go into the new window, in their order.
    TStringList& stored = items_->Stored();
    HWND h = Handle();
    for (int i = 0; i < stored.Count(); ++i) {
        std::string s = stored.Get(i);
        LRESULT at = SendMessageA(h, Msgs().addString, 0, reinterpret_cast<LPARAM>(s.c_str()));
        if (at >= 0) SendMessageA(h, Msgs().setItemData, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(stored.GetObject(i)));
    }
    stored.Clear();
    if (storedIndex_ >= 0) SendMessageA(h, Msgs().setCurSel, static_cast<WPARAM>(storedIndex_), 0);
}

void TCustomListControl::DestroyWnd() {
    if (HandleAllocated()) {
        TStringList& stored = items_->Stored();
        stored.Clear();
        HWND h = Handle();
        int n = static_cast<int>(SendMessageA(h, Msgs().getCount, 0, 0));
        // Kept in the window's order, which is already sorted when it sorts.
        bool sorted = stored.Sorted();
        stored.SetSorted(false);
        for (int i = 0; i < n; ++i) {
            LRESULT len = SendMessageA(h, Msgs().getTextLen, static_cast<WPARAM>(i), 0);
            std::string s(static_cast<size_t>(std::max<LRESULT>(len, 0)) + 1, '\0');
            len = SendMessageA(h, Msgs().getText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
            s.resize(static_cast<size_t>(std::max<LRESULT>(len, 0)));
            stored.AddObject(s, reinterpret_cast<void*>(SendMessageA(h, Msgs().getItemData, static_cast<WPARAM>(i), 0)));
        }
        stored.SetSorted(sorted);
        storedIndex_ = ItemIndex();
    }
    TWinControl::DestroyWnd();
}

void TCustomListControl::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
    } else {
        canvas_->FillRect(rect);
        if (index >= 0 && index < items_->Count()) canvas_->TextOut(rect.Left + 2, rect.Top, items_->Get(index));
    }
    if (state.Contains(TOwnerDrawStateItem::odFocused)) canvas_->DrawFocusRect(rect);
}

void TCustomListControl::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListControl::HandleDrawItem(TMessage& m) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    TOwnerDrawState state;
    if (dis->itemState & ODS_SELECTED) state += TOwnerDrawStateItem::odSelected;
    if (dis->itemState & ODS_GRAYED) state += TOwnerDrawStateItem::odGrayed;
    if (dis->itemState & ODS_DISABLED) state += TOwnerDrawStateItem::odDisabled;
    if (dis->itemState & ODS_CHECKED) state += TOwnerDrawStateItem::odChecked;
    if (dis->itemState & ODS_FOCUS) state += TOwnerDrawStateItem::odFocused;
    if (dis->itemState & ODS_DEFAULT) state += TOwnerDrawStateItem::odDefault;
    if (dis->itemState & ODS_COMBOBOXEDIT) state += TOwnerDrawStateItem::odComboBoxEdit;
    canvas_->Font()->Assign(Font());
    canvas_->Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas_->Brush()->SetColor(Color());
    if (state.Contains(TOwnerDrawStateItem::odSelected)) {
        canvas_->Brush()->SetColor(clHighlight);
        canvas_->Font()->SetColor(clHighlightText);
    }
    TRect r = FromRECT(dis->rcItem);
    {
        CanvasDCScope lent(canvas_.get(), dis->hDC);
        if (static_cast<int>(dis->itemID) >= 0) {
            DrawItem(static_cast<int>(dis->itemID), r, state);
        } else {
            canvas_->FillRect(r);
            if (state.Contains(TOwnerDrawStateItem::odFocused)) canvas_->DrawFocusRect(r);
        }
    }
    m.Result = 1;
}

void TCustomListControl::HandleMeasureItem(TMessage& m) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    int h = itemHeight_;
    if (VariableHeight() && static_cast<int>(mis->itemID) >= 0) MeasureItem(static_cast<int>(mis->itemID), h);
    mis->itemHeight = static_cast<UINT>(std::max(h, 1));
    m.Result = 1;
}

void TCustomListControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_DRAWITEM:
            HandleDrawItem(m);
            return;
        case CN_MEASUREITEM:
            HandleMeasureItem(m);
            return;
        default:
            break;
    }
    TWinControl::WndProc(m);
}

// ---------------------------------------------------------------- TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomListControl(owner) {
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() = default;

const TCustomListControl::Messages& TCustomComboBox::Msgs() const {
    static const Messages m{CB_ADDSTRING,  CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCOUNT,
                            CB_GETLBTEXT,  CB_GETLBTEXTLEN, CB_GETITEMDATA,  CB_SETITEMDATA,  CB_GETCURSEL,
                            CB_SETCURSEL,  CB_SETITEMHEIGHT, static_cast<UINT>(CB_ERR)};
    return m;
}

bool TCustomComboBox::OwnerDraw() const {
    return style_ == TComboBoxStyle::csOwnerDrawFixed || style_ == TComboBoxStyle::csOwnerDrawVariable;
}

bool TCustomComboBox::VariableHeight() const { return style_ == TComboBoxStyle::csOwnerDrawVariable; }

bool TCustomComboBox::ListOnly() const { return style_ == TComboBoxStyle::csDropDownList || OwnerDraw(); }

void TCustomComboBox::SetStyle(TComboBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomComboBox::SetMaxLength(int length) {
    maxLength_ = std::max(length, 0);
    if (HandleAllocated()) SendMessageA(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomComboBox::SetItemHeight(int height) { TCustomListControl::SetItemHeight(height); }

bool TCustomComboBox::DroppedDown() {
    return HandleAllocated() && SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool down) {
    if (HandleAllocated()) SendMessageA(Handle(), CB_SHOWDROPDOWN, down ? TRUE : FALSE, 0);
}

HWND TCustomComboBox::EditHandle() { return HandleAllocated() ? editHook_.Window() : nullptr; }

int TCustomComboBox::SelStart() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomComboBox::SetSelStart(int start) {
    if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start));
}

int TCustomComboBox::SelLength() {
    if (!HandleAllocated()) return 0;
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomComboBox::SetSelLength(int length) {
    if (!HandleAllocated()) return;
    int start = SelStart();
    SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + length));
}

void TCustomComboBox::SelectAll() {
    if (HandleAllocated()) SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

std::string TCustomComboBox::GetText() {
    if (!HandleAllocated() && ListOnly()) {
        int i = storedIndex_;
        return i >= 0 && i < Items()->Count() ? Items()->Get(i) : std::string();
    }
    return TWinControl::GetText();
}

void TCustomComboBox::SetText(const std::string& s) {
    if (ListOnly()) {
        // A list without an edit field shows only its items.
        SetItemIndex(Items()->IndexOf(s));
        return;
    }
    TWinControl::SetText(s);
}

void TCustomComboBox::SetItemIndex(int index) {
    TCustomListControl::SetItemIndex(index);
    if (!HandleAllocated() && !ListOnly()) {
        text_ = index >= 0 && index < Items()->Count() ? Items()->Get(index) : std::string();
        isControlTextSet_ = true;
    }
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
    TCustomListControl::CreateParams(p);
    CreateSubClass(p, "COMBOBOX");
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    p.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    switch (style_) {
        case TComboBoxStyle::csDropDown: p.Style |= CBS_DROPDOWN; break;
        case TComboBoxStyle::csSimple: p.Style |= CBS_SIMPLE; break;
        case TComboBoxStyle::csDropDownList: p.Style |= CBS_DROPDOWNLIST; break;
        case TComboBoxStyle::csOwnerDrawFixed: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
        case TComboBoxStyle::csOwnerDrawVariable: p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
    }
    if (sorted_) p.Style |= CBS_SORT;
    // The window's height includes its drop-down list.
    if (style_ != TComboBoxStyle::csSimple) p.Height = Height() + std::max(itemHeight_, 1) * dropDownCount_ + 2;
}

void TCustomComboBox::CreateWnd() {
    int wanted = Height();
    TCustomListControl::CreateWnd();
    HWND h = Handle();
    if (OwnerDraw()) {
        SendMessageA(h, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight_);
        if (style_ == TComboBoxStyle::csOwnerDrawFixed) SendMessageA(h, CB_SETITEMHEIGHT, 0, itemHeight_);
        FitFieldToHeight(wanted);
    }
    if (maxLength_ > 0) SendMessageA(h, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    HookEdit();
    if (!ListOnly() && !text_.empty()) SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
}

void TCustomComboBox::FitFieldToHeight(int height) {
    // An owner-drawn box is as high as its selection field makes it: the
    // field takes what the height leaves after the borders.  What the
    // system reports as the field's height need not be what it was given,
    // so the borders are measured against the value sent.
    if (!HandleAllocated() || height <= 0) return;
    auto closedHeight = [this] {
        RECT r;
        GetWindowRect(Handle(), &r);
        return static_cast<int>(r.bottom - r.top);
    };
    int sent = std::max(itemHeight_, 1);
    SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), sent);
    for (int attempt = 0; attempt < 3; ++attempt) {
        int closed = closedHeight();
        if (closed == height) break;
        int next = sent + height - closed;
        if (next <= 0 || next == sent) break;
        sent = next;
        SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), sent);
    }
    UpdateBoundsRect(Bounds(Left(), Top(), Width(), closedHeight()));
}

void TCustomComboBox::SetBounds(int left, int top, int width, int height) {
    TCustomListControl::SetBounds(left, top, width, height);
    if (OwnerDraw() && HandleAllocated()) FitFieldToHeight(height);
}

void TCustomComboBox::DestroyWnd() {
    editHook_.Detach();
    TCustomListControl::DestroyWnd();
}

void TCustomComboBox::HookEdit() {
    editHook_.Detach();
    if (ListOnly()) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    HWND edit = GetComboBoxInfo(Handle(), &info) ? info.hwndItem : FindWindowExA(Handle(), nullptr, "Edit", nullptr);
    if (edit == nullptr || edit == Handle()) return;
    editHook_.Attach(edit, [this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        TMessage m{msg, wParam, lParam, 0};
        EditWndProc(m);
        result = m.Result;
        return true;
    });
}

void TCustomComboBox::DefaultEditHandler(TMessage& m) { m.Result = editHook_.CallNext(m.Msg, m.WParam, m.LParam); }

void TCustomComboBox::EditWndProc(TMessage& m) {
    // Keys typed into the edit field are the combo box's keys.
    if (HandleKeyMessage(m)) return;
    DefaultEditHandler(m);
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    // The edit field shows the chosen item before anyone hears of the change.
    int i = ItemIndex();
    if (!ListOnly() && i >= 0) {
        std::string s = Items()->Get(i);
        SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    Click();
    Change();
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::AdjustDropDown() {
    int count = std::clamp(Items()->Count(), 1, std::max(dropDownCount_, 1));
    LRESULT ih = SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0);
    int itemH = ih > 0 ? static_cast<int>(ih) : itemHeight_;
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), Height() + itemH * count + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        switch (HIWORD(m.WParam)) {
            case CBN_SELCHANGE:
                Select();
                return;
            case CBN_EDITCHANGE:
                Change();
                return;
            case CBN_DROPDOWN:
                DropDown();
                AdjustDropDown();
                return;
            case CBN_SETFOCUS:
                // The edit field's focus is the combo box's.
                if (TCustomForm* form = treskel::GetParentForm(this))
                    form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
                return;
            default:
                return;
        }
    }
    TCustomListControl::WndProc(m);
}

// ---------------------------------------------------------------- TCustomListBox

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomListControl(owner) {
    SetBounds(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

const TCustomListControl::Messages& TCustomListBox::Msgs() const {
    static const Messages m{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCOUNT,
                            LB_GETTEXT,   LB_GETTEXTLEN,   LB_GETITEMDATA,  LB_SETITEMDATA,  LB_GETCURSEL,
                            LB_SETCURSEL, LB_SETITEMHEIGHT, static_cast<UINT>(LB_ERR)};
    return m;
}

bool TCustomListBox::OwnerDraw() const { return style_ != TListBoxStyle::lbStandard; }

bool TCustomListBox::VariableHeight() const { return style_ == TListBoxStyle::lbOwnerDrawVariable; }

void TCustomListBox::SetStyle(TListBoxStyle style) {
    if (style == style_) return;
    style_ = style;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

int TCustomListBox::TopIndex() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)) : 0;
}

void TCustomListBox::SetTopIndex(int index) {
    if (HandleAllocated()) SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
    LRESULT r = SendMessageA(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.x, pos.y));
    int index = LOWORD(r);
    bool outside = HIWORD(r) != 0;
    if (outside && existing) return -1;
    if (outside) return Items()->Count();
    return index;
}

TRect TCustomListBox::ItemRect(int index) {
    RECT r{};
    SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    return FromRECT(r);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
    TCustomListControl::CreateParams(p);
    CreateSubClass(p, "LISTBOX");
    p.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
    p.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) p.Style |= LBS_OWNERDRAWFIXED;
    if (style_ == TListBoxStyle::lbOwnerDrawVariable) p.Style |= LBS_OWNERDRAWVARIABLE;
    if (sorted_) p.Style |= LBS_SORT;
    if (borderStyle_ == TBorderStyle::bsSingle) {
        if (Ctl3D()) p.ExStyle |= WS_EX_CLIENTEDGE;
        else p.Style |= WS_BORDER;
    }
}

void TCustomListBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
        return;
    }
    TCustomListControl::WndProc(m);
}

// ---------------------------------------------------------------- registration

void RegisterListControlClasses() {
    // A layout fills a list's items with "Items.Strings = (...)".
    PublishClass<TListControlStrings, TStrings>();
    PublishClass<TCustomListControl, TWinControl>()
        .NotCreatable()
        .Object("Items", &TCustomListControl::Items)
        .Int("ItemHeight", &TCustomListControl::ItemHeight, &TCustomListControl::SetItemHeight, 16)
        .Bool("Sorted", &TCustomListControl::Sorted, &TCustomListControl::SetSorted)
        .Event("OnDrawItem", &TCustomListControl::OnDrawItem)
        .Event("OnMeasureItem", &TCustomListControl::OnMeasureItem);
    PublishClass<TCustomComboBox, TCustomListControl>()
        .NotCreatable()
        .Enum<TComboBoxStyle>("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle,
                              TComboBoxStyle::csDropDown)
        .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount, 8)
        .Int("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength, 0)
        .String("Text", &TCustomComboBox::Text, &TCustomComboBox::SetText)
        .Event("OnChange", &TCustomComboBox::OnChange)
        .Event("OnDropDown", &TCustomComboBox::OnDropDown);
    PublishClass<TComboBox, TCustomComboBox>();
    PublishClass<TCustomListBox, TCustomListControl>()
        .NotCreatable()
        .Enum<TListBoxStyle>("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, TListBoxStyle::lbStandard)
        .Enum<TBorderStyle>("BorderStyle", &TCustomListBox::BorderStyle, &TCustomListBox::SetBorderStyle,
                            TBorderStyle::bsSingle);
    PublishClass<TListBox, TCustomListBox>();
}

}  // namespace treskel

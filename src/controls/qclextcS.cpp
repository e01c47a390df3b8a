#include "controls/qclextcS.h"

#include <winspool.h>

#include <algorithm>
#include <cctype>

#include "controls/qclctrl.h"
#include "foundation/qclgraphDraw.h"
#include "platform/FormLoader.h"
#include "platform/Forms.h"
#include "platform/Register.h"

namespace treskel {

namespace {

bool IsNavigationKey(WORD key) {
    return key == VK_PRIOR || key == VK_NEXT || key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

void FrameSys(HDC dc, const RECT& r, int sysColor) {
    ::FrameRect(dc, &r, GetSysColorBrush(sysColor));
}

// One font of a family as the enumeration reports it.
struct FontFace {
    DWORD type;
    int height;
    int internalLeading;
};

int CALLBACK CollectFamily(const LOGFONTA*, const TEXTMETRICA* tm, DWORD type, LPARAM data) {
    auto* faces = reinterpret_cast<std::vector<FontFace>*>(data);
    faces->push_back({type, static_cast<int>(tm->tmHeight), static_cast<int>(tm->tmInternalLeading)});
    // A scalable face has every size: nothing more to learn.
    bool scalable = (type & TRUETYPE_FONTTYPE) != 0 || type == 0 || type == DEVICE_FONTTYPE;
    return scalable ? 0 : 1;
}

int CALLBACK CollectFace(const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM data) {
    reinterpret_cast<std::vector<std::pair<std::string, int>>*>(data)->emplace_back(lf->lfFaceName,
                                                                                     static_cast<int>(type));
    return 1;
}

bool Scalable(DWORD type) { return (type & TRUETYPE_FONTTYPE) != 0 || type == 0 || type == DEVICE_FONTTYPE; }

// The default printer's device context, or none.
OwnedDC DefaultPrinterDC() {
    char name[512];
    DWORD n = sizeof name;
    return OwnedDC(GetDefaultPrinterA(name, &n) ? CreateDCA("WINSPOOL", name, nullptr, nullptr) : nullptr);
}

// The faces of a family on the screen, or on the printer when the screen has none.
std::vector<FontFace> FamilyFaces(const std::string& name, int& pixelsPerInch) {
    std::vector<FontFace> faces;
    {
        WindowDC screen(nullptr);
        pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
        EnumFontFamiliesA(screen.Get(), name.c_str(), reinterpret_cast<FONTENUMPROCA>(CollectFamily),
                          reinterpret_cast<LPARAM>(&faces));
    }
    if (faces.empty()) {
        OwnedDC printer = DefaultPrinterDC();
        if (printer.Get() != nullptr) {
            pixelsPerInch = GetDeviceCaps(printer.Get(), LOGPIXELSY);
            EnumFontFamiliesA(printer.Get(), name.c_str(), reinterpret_cast<FONTENUMPROCA>(CollectFamily),
                              reinterpret_cast<LPARAM>(&faces));
        }
    }
    return faces;
}

}  // namespace

// ================================================================ TQclCustomComboBox

TQclCustomComboBox::TQclCustomComboBox(TComponent* owner) : TCustomComboBox(owner) {
    // The library's timer for this box, kept disabled.
    if (QclApplication != nullptr) {
        timerId_ = QclApplication->AddTimer(1500, nullptr);
        if (TQclTimerItem* t = QclApplication->GetTimer(timerId_)) t->SetEnabled(false);
    }
}

TQclCustomComboBox::~TQclCustomComboBox() {
    if (timerId_ != 0 && QclApplication != nullptr) QclApplication->RemoveTimer(timerId_);
}

void TQclCustomComboBox::SetFlat(bool flat) {
    if (flat == flat_) return;
    flat_ = flat;
    if (HandleAllocated()) {
        Invalidate();
        PaintFlat();
    }
}

void TQclCustomComboBox::SetFocusControl(TWinControl* control) {
    if (control == focusControl_) return;
    focusControl_ = control;
    if (control != nullptr) control->FreeNotification(this);
}

void TQclCustomComboBox::Notification(TComponent* component, TOperation operation) {
    TCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TQclCustomComboBox::PaintFlat(bool forceFlat) {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    RECT wr;
    GetWindowRect(h, &wr);
    int w = wr.right - wr.left, ht = wr.bottom - wr.top;
    WindowDC owned = WindowDC::WholeWindow(h);
    HDC dc = owned.Get();
    if (dc == nullptr) return;
    bool designing = ComponentState().Contains(TComponentStateItem::csDesigning);
    bool hot = (designing || !flat_ || mouseInside_ || Focused() || editFocused_) && !forceFlat;
    if (hot) {
        FrameSys(dc, RECT{1, 1, w, ht}, COLOR_WINDOWFRAME);
        FrameSys(dc, RECT{0, 0, w - 1, ht - 1}, COLOR_BTNFACE);
        RECT all{0, 0, w, ht};
        DrawEdge(dc, &all, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    } else {
        FrameSys(dc, RECT{0, 0, w, ht}, COLOR_BTNFACE);
        FrameSys(dc, RECT{1, 1, w - 1, ht - 1}, COLOR_BTNFACE);
        FrameSys(dc, RECT{2, 2, w - 2, ht - 2}, COLOR_WINDOW);
    }
}

void TQclCustomComboBox::UpdateMouseInside() {
    bool inside = false;
    if (HandleAllocated()) {
        POINT p;
        RECT r;
        GetCursorPos(&p);
        GetWindowRect(Handle(), &r);
        inside = PtInRect(&r, p) != 0;
    }
    if (inside == mouseInside_) return;
    mouseInside_ = inside;
    PaintFlat();
}

void TQclCustomComboBox::JumpFocus() {
    TWinControl* target = focusControl_;
    if (target == nullptr || !target->CanFocus()) return;
    HWND mine = HandleAllocated() ? GetAncestor(Handle(), GA_ROOT) : nullptr;
    HWND theirs = GetAncestor(target->Handle(), GA_ROOT);
    if (mine != theirs && theirs != nullptr) {
        // A control in another window gets the focus only once its window is active.
        SetForegroundWindow(theirs);
        SetActiveWindow(theirs);
    }
    target->SetFocus();
}

void TQclCustomComboBox::Select() {
    TCustomComboBox::Select();
    if (OnSelect) OnSelect(this);
    if (!DroppedDown() && !navigationKey_ && focusControl_ != nullptr) JumpFocus();
}

bool TQclCustomComboBox::KeyDown(WORD& key, TShiftState shift) {
    navigationKey_ = IsNavigationKey(key);
    if (!TCustomComboBox::KeyDown(key, shift)) return false;
    if (key == VK_RETURN && focusControl_ != nullptr) JumpFocus();
    return key != 0;
}

void TQclCustomComboBox::DoEnter() {
    TCustomComboBox::DoEnter();
    PaintFlat();
}

void TQclCustomComboBox::DoExit() {
    PaintFlat(true);
    TCustomComboBox::DoExit();
}

void TQclCustomComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            TCustomComboBox::WndProc(m);
            PaintFlat();
            return;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            TCustomComboBox::WndProc(m);
            UpdateMouseInside();
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            navigationKey_ = false;
            break;
        case WM_CHAR:
            // Letters typed while the list is down look through it, and the
            // list stays down as it does for the arrow keys (some systems
            // close it first, and the focus would jump away with the next
            // key).
            if (ListOnly() && DroppedDown() && m.WParam >= ' ') {
                SelectTyped(static_cast<char>(m.WParam));
                m.Result = 0;
                return;
            }
            break;
        default:
            break;
    }
    TCustomComboBox::WndProc(m);
}

void TQclCustomComboBox::SelectTyped(char letter) {
    const int found = typeAhead_.Type(letter, static_cast<uint32_t>(GetMessageTime()), *Items(), ItemIndex());
    if (found < 0 || found == ItemIndex()) return;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    Select();
}

void TQclCustomComboBox::EditWndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS:
            editFocused_ = true;
            TCustomComboBox::EditWndProc(m);
            PaintFlat();
            return;
        case WM_KILLFOCUS:
            editFocused_ = false;
            TCustomComboBox::EditWndProc(m);
            return;
        case WM_MOUSEMOVE: {
            TCustomComboBox::EditWndProc(m);
            TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, EditHandle(), 0};
            TrackMouseEvent(&tme);
            UpdateMouseInside();
            return;
        }
        case WM_MOUSELEAVE:
            TCustomComboBox::EditWndProc(m);
            UpdateMouseInside();
            return;
        case WM_LBUTTONDOWN:
            navigationKey_ = false;
            break;
        default:
            break;
    }
    TCustomComboBox::EditWndProc(m);
}

// ================================================================ colour box

TQclCustomColorComboBox::TQclCustomColorComboBox(TComponent* owner)
    : TQclCustomComboBox(owner), customColors_(std::make_unique<TStringList>()) {
    SetStyle(TComboBoxStyle::csOwnerDrawVariable);
    ApplyItemHeight();
}

TQclCustomColorComboBox::~TQclCustomColorComboBox() = default;

int TQclCustomColorComboBox::ComputeItemHeight() {
    return displayStyle_ == TQclColorCBStyle::csColor ? 15 : QclGetFontHeight(Font()) + 2;
}

void TQclCustomColorComboBox::ApplyItemHeight() {
    TColor keep = ItemIndex() >= 0 ? GetColorValue() : -1;
    itemHeight_ = ComputeItemHeight();
    SetHeight(displayStyle_ == TQclColorCBStyle::csColor ? 25 : itemHeight_ + 9);
    RecreateWnd();
    if (keep != -1 && HandleAllocated()) {
        int i = Items()->IndexOf(ColorToString(keep));
        if (i >= 0) SetItemIndex(i);
    }
}

void TQclCustomColorComboBox::SetDisplayStyle(TQclColorCBStyle style) {
    if (style == displayStyle_) return;
    displayStyle_ = style;
    ApplyItemHeight();
}

void TQclCustomColorComboBox::SetOptions(TQclColorCBOptions options) {
    if (options == options_) return;
    options_ = options;
    FillColors();
}

void TQclCustomColorComboBox::SetCustomColors(TStrings* colors) {
    if (colors == nullptr) {
        customColors_->Clear();
    } else {
        QclCopyCustomColors(*colors, *customColors_);
    }
    FillColors();
}

TColor TQclCustomColorComboBox::GetColorValue() {
    std::string t = Text();
    if (t.empty()) return -1;
    TColor c = -1;
    if (!QclColorFromText(t, c)) return -1;
    return c;
}

void TQclCustomColorComboBox::SetColorValue(TColor color) {
    std::string text = ColorToString(color);
    if (text != Text()) {
        int i = Items()->IndexOf(text);
        if (i < 0 && options_.Contains(TQclColorCBOption::coAllowAnyColor) && color != clNone)
            i = Items()->Add(text);
        SetItemIndex(i);
    }
    Change();
}

void TQclCustomColorComboBox::FillColors() {
    bool had = ItemIndex() >= 0;
    TColor keep = had ? GetColorValue() : -1;
    Items()->BeginUpdate();
    Items()->Clear();
    const auto& names = QclColorNames();
    for (size_t i = 0; i < names.size(); ++i) {
        bool basic = static_cast<int>(i) < QclBasicColorCount;
        if ((basic && options_.Contains(TQclColorCBOption::coDefaultColors)) ||
            (!basic && options_.Contains(TQclColorCBOption::coSystemColors)))
            Items()->Add(names[i]);
    }
    if (options_.Contains(TQclColorCBOption::coCustomColors) && customColors_->Count() > 0)
        for (const std::string& item : QclCustomColorItems(*customColors_)) Items()->Add(item);
    Items()->EndUpdate();
    if (had) SetColorValue(keep);
}

void TQclCustomColorComboBox::Loaded() {
    TQclCustomComboBox::Loaded();
    FillColors();
}

TCanvas* TQclCustomComboBox::PaintItemBackground(const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (state.Contains(TOwnerDrawStateItem::odSelected)) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else {
        c->Brush()->SetColor(Color());
        c->Font()->SetColor(Enabled() ? Font()->Color() : clInactiveCaption);
    }
    c->FillRect(rect);
    if (state.Contains(TOwnerDrawStateItem::odFocused)) c->DrawFocusRect(rect);
    return c;
}

void TQclCustomColorComboBox::MeasureItem(int, int& height) { height = itemHeight_; }

void TQclCustomColorComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = PaintItemBackground(rect, state);

    std::string item = index >= 0 && index < Items()->Count() ? Items()->Get(index) : std::string();
    TColor color = clNone;
    if (!ControlState().Contains(TControlStateItem::csPaintCopy) && !QclColorFromText(item, color)) color = clNone;
    if (color == clNone) return;
    std::string shown = QclColorDisplayText(item);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(color);
    c->Pen()->SetStyle(TPenStyle::psSolid);
    c->Pen()->SetColor(clBlack);
    auto text = [&](int x, int y) {
        c->Brush()->SetStyle(TBrushStyle::bsClear);
        c->TextOut(x, y, shown);
    };
    switch (displayStyle_) {
        case TQclColorCBStyle::csColor:
            c->Rectangle(rect.Left + 3, rect.Top + 3, rect.Right - 3, rect.Bottom - 3);
            break;
        case TQclColorCBStyle::csText:
            text(rect.Left + 2, rect.Top + 2);
            break;
        case TQclColorCBStyle::csColorText: {
            TRect swatch = Rect(rect.Left + 4, rect.Top + 2, rect.Left + 8 + rect.Height(), rect.Bottom - 2);
            c->Rectangle(swatch);
            text(swatch.Right + 6, rect.Top + 2);
            break;
        }
        case TQclColorCBStyle::csColor3DText: {
            TRect swatch = Rect(rect.Left + 4, rect.Top + 2, rect.Left + 8 + rect.Height(), rect.Bottom - 2);
            c->FillRect(swatch);
            TRect frame = swatch;
            QclDrawStdFrame(c, frame, TQclBorderStyle::lsSingleRaised, 0);
            text(swatch.Right + 6, rect.Top + 2);
            break;
        }
    }
}

void TQclCustomColorComboBox::ShowColorDialog() {
    auto dialog = MakeOwned<TColorDialog>();
    dialog->SetCustomColors(customColors_.get());
    dialog->SetOptions(dlgOptions_);
    TColor current = GetColorValue();
    dialog->SetColor(current == -1 ? clBlack : current);
    dialog->SetHelpContext(dlgHelpContext_);
    if (OnBeforeDialogShow) OnBeforeDialogShow(this, dialog.get());
    bool ok = false;
    try {
        ok = dialog->Execute();
        if (ok) {
            SetCustomColors(dialog->CustomColors());
            SetColorValue(dialog->Color());
        }
    } catch (...) {
        if (OnAfterDialogShow) OnAfterDialogShow(this, dialog.get());
        throw;
    }
    if (OnAfterDialogShow) OnAfterDialogShow(this, dialog.get());
}

void TQclCustomColorComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_RBUTTONDOWN:
            if (options_.Contains(TQclColorCBOption::coAllowDialog) &&
                !ComponentState().Contains(TComponentStateItem::csDesigning)) {
                ShowColorDialog();
                return;
            }
            break;
        case CM_FONTCHANGED:
            TQclCustomComboBox::WndProc(m);
            ApplyItemHeight();
            return;
        default:
            break;
    }
    TQclCustomComboBox::WndProc(m);
}

// ================================================================ font box

TQclFontComboBox::TQclFontComboBox(TComponent* owner) : TQclCustomComboBox(owner) {
    SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    SetSorted(true);
    itemHeight_ = 15;
    // Resource 16547: the two marks side by side, TrueType on the left and
    // printer font on the right.
    symbols_ = std::make_unique<TBitmap>();
    symbols_->LoadFromResourceID(GetModuleHandleA(nullptr), 16547);
}

TQclFontComboBox::~TQclFontComboBox() = default;

void TQclFontComboBox::SetOptions(TQclFontCBOptions options) {
    if (options == options_) return;
    options_ = options;
    if (fastMode_) {
        Invalidate();
        return;
    }
    if (ComponentState().Contains(TComponentStateItem::csDesigning) || IsLoading()) return;
    std::string keep = Text();
    RebuildList();
    SetFontName(keep);
}

void TQclFontComboBox::AddFace(const std::string& name, int fontType) {
    if (Items()->IndexOf(name) >= 0) return;
    if (options_.Contains(TQclFontCBOption::foTrueTypeOnly) && !(fontType & TRUETYPE_FONTTYPE)) return;
    Items()->AddObject(name, reinterpret_cast<void*>(static_cast<intptr_t>(fontType)));
}

void TQclFontComboBox::RebuildList() {
    if (ComponentState().Contains(TComponentStateItem::csDesigning)) return;
    Items()->BeginUpdate();
    Items()->Clear();
    if (fastMode_) {
        if (Screen != nullptr || EnsureScreen() != nullptr) {
            TStrings* fonts = Screen->Fonts();
            for (int i = 0; i < fonts->Count(); ++i) Items()->Add(fonts->Get(i));
        }
        Items()->EndUpdate();
        return;
    }
    std::vector<std::pair<std::string, int>> faces;
    auto proc = reinterpret_cast<FONTENUMPROCA>(CollectFace);
    if (options_.Contains(TQclFontCBOption::foScreenFonts)) {
        WindowDC screen(nullptr);
        EnumFontsA(screen.Get(), nullptr, proc, reinterpret_cast<LPARAM>(&faces));
    }
    if (options_.Contains(TQclFontCBOption::foPrinterFonts)) {
        // A printer that cannot be asked adds nothing.
        OwnedDC printer = DefaultPrinterDC();
        if (printer.Get() != nullptr)
            EnumFontsA(printer.Get(), nullptr, proc, reinterpret_cast<LPARAM>(&faces));
    }
    for (auto& [name, type] : faces) AddFace(name, type);
    Items()->EndUpdate();
}

void TQclFontComboBox::Loaded() {
    TQclCustomComboBox::Loaded();
    RebuildList();
}

void TQclFontComboBox::CreateWnd() {
    std::string keep = storedIndex_ >= 0 && storedIndex_ < Items()->Count() ? Items()->Get(storedIndex_) : "";
    TQclCustomComboBox::CreateWnd();
    if (!keep.empty()) SetItemIndex(Items()->IndexOf(keep));
}

void TQclFontComboBox::SetFontName(const std::string& name) {
    if (Text() == name) return;
    SetItemIndex(Items()->IndexOf(name));
    Change();
}

void TQclFontComboBox::Change() {
    if (FontChangeLink) FontChangeLink();
    TQclCustomComboBox::Change();
}

void TQclFontComboBox::UpdateItemHeight() {
    int h = QclGetFontHeight(Font());
    int itemHeight = h < 10 ? 10 : h + 1;
    if (itemHeight == itemHeight_) return;
    itemHeight_ = itemHeight;
    RecreateWnd();
}

void TQclFontComboBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_FONTCHANGE: {
            std::string keep = Text();
            RebuildList();
            SetFontName(keep);
            break;
        }
        case CM_FONTCHANGED:
            TQclCustomComboBox::WndProc(m);
            UpdateItemHeight();
            return;
        default:
            break;
    }
    TQclCustomComboBox::WndProc(m);
}

void TQclFontComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = PaintItemBackground(rect, state);
    if (index < 0 || index >= Items()->Count()) return;
    std::string name = Items()->Get(index);
    int type = static_cast<int>(reinterpret_cast<intptr_t>(Items()->GetObject(index)));
    if (fastMode_ && type == 0) {
        TColor keepColor = c->Font()->Color();
        std::string keepName = c->Font()->Name();
        c->Font()->SetName(name);
        if (QclIsTrueTypeCanvas(c)) {
            type = TRUETYPE_FONTTYPE;
            Items()->PutObject(index, reinterpret_cast<void*>(static_cast<intptr_t>(type)));
        }
        c->Font()->SetName(keepName);
        c->Font()->SetColor(keepColor);
    }
    int x = rect.Left + 3;
    if (options_.Contains(TQclFontCBOption::foDisplaySymbol)) {
        int w = symbols_->Width() / 2;
        TRect source;
        if (type & TRUETYPE_FONTTYPE) source = Rect(0, 0, w, symbols_->Height());
        else if (type & DEVICE_FONTTYPE) source = Rect(w + 1, 0, 2 * w, symbols_->Height());
        if (!IsRectEmpty(source)) {
            TRect drawn;
            QclDrawBitmapExt(c, Rect(rect.Left + 2, rect.Top, rect.Left + 2 + w + 4, rect.Bottom), symbols_->Canvas(),
                             source, qclBmpCenter | qclBmpMaskFromColor, symbols_->TransparentColor(), nullptr,
                             nullptr, drawn);
        }
        x = rect.Left + w + 10;
    }
    c->Brush()->SetStyle(TBrushStyle::bsClear);
    if (options_.Contains(TQclFontCBOption::foDisplayFont)) {
        std::string keepName = c->Font()->Name();
        c->Font()->SetName(name);
        c->TextOut(x, rect.Top + 1, name);
        c->Font()->SetName(keepName);
    } else {
        c->TextOut(x, rect.Top + 1, name);
    }
}

// ================================================================ font-size box

TQclFontSizeComboBox::TQclFontSizeComboBox(TComponent* owner) : TQclCustomComboBox(owner) {
    itemHeight_ = 16;
}

TQclFontSizeComboBox::~TQclFontSizeComboBox() {
    if (fontCombo_ != nullptr) fontCombo_->FontChangeLink.Clear(this);
}

void TQclFontSizeComboBox::SetEditorEnabled(bool v) {
    if (v == editorEnabled_) return;
    editorEnabled_ = v;
    SetStyle(v ? TComboBoxStyle::csDropDown : TComboBoxStyle::csDropDownList);
}

void TQclFontSizeComboBox::SetFontCombo(TQclFontComboBox* combo) {
    if (combo == fontCombo_) return;
    if (fontCombo_ != nullptr) fontCombo_->FontChangeLink.Clear(this);
    fontCombo_ = combo;
    if (combo != nullptr) {
        combo->FontChangeLink.Set(this, [this] { SetFontName(fontCombo_->Text()); });
        combo->FreeNotification(this);
    }
}

void TQclFontSizeComboBox::Notification(TComponent* component, TOperation operation) {
    TQclCustomComboBox::Notification(component, operation);
    if (operation == TOperation::opRemove && component == fontCombo_) fontCombo_ = nullptr;
}

void TQclFontSizeComboBox::SetFontName(const std::string& name) {
    if (name == fontName_) return;
    int size = GetFontSize();
    fontName_ = name;
    RebuildSizes();
    SetFontSize(size);
}

int TQclFontSizeComboBox::GetFontSize() { return QclFontSizeFromText(Text()); }

int TQclFontSizeComboBox::ValidSize(int size) {
    int s = QclValidFontSize(size, !fontName_.empty(), defaultSize_);
    if (useNearestSize_) s = AdjustToNearest(s);
    return s;
}

int TQclFontSizeComboBox::AdjustToNearest(int size) {
    if (fontName_.empty() || ComponentState().Contains(TComponentStateItem::csDesigning)) return size;
    int ppi = 96;
    std::vector<FontFace> faces = FamilyFaces(fontName_, ppi);
    std::vector<int> candidates;
    for (const FontFace& f : faces) {
        if (Scalable(f.type)) return size;
        candidates.push_back(QclRasterPointSize(f.height, f.internalLeading, ppi));
    }
    return QclNearestSize(candidates, size);
}

void TQclFontSizeComboBox::SetFontSize(int size) {
    if (fontName_.empty()) {
        SetText("");
        return;
    }
    int s = ValidSize(size);
    std::string t = IntToStr(s);
    SetItemIndex(Items()->IndexOf(t));
    // A size the font does not list still shows.
    if (editorEnabled_) SetText(t);
    Change();
}

void TQclFontSizeComboBox::RebuildSizes() {
    if (ComponentState().Contains(TComponentStateItem::csDesigning)) return;
    Items()->BeginUpdate();
    Items()->Clear();
    if (!fontName_.empty()) {
        int ppi = 96;
        std::vector<FontFace> faces = FamilyFaces(fontName_, ppi);
        std::vector<int> sizes;
        for (const FontFace& f : faces) {
            if (Scalable(f.type)) {
                const auto& all = QclScalableFontSizes();
                sizes.insert(sizes.end(), all.begin(), all.end());
                break;
            }
            QclAddRasterSize(sizes, QclRasterPointSize(f.height, f.internalLeading, ppi));
        }
        for (int s : sizes) Items()->Add(IntToStr(s));
    }
    Items()->EndUpdate();
}

void TQclFontSizeComboBox::Loaded() {
    TQclCustomComboBox::Loaded();
    RebuildSizes();
}

void TQclFontSizeComboBox::DoExit() {
    if (editorEnabled_) {
        if (fontName_.empty()) {
            SetText("");
        } else {
            // A lone sign is no number: it counts as an empty text.
            SetFontSize(QclFontSizeFromText(Text()));
        }
    }
    TQclCustomComboBox::DoExit();
}

bool TQclFontSizeComboBox::KeyPress(char& key) {
    bool hasFont = !fontName_.empty();
    bool printable = static_cast<unsigned char>(key) >= 32;
    if (!hasFont || (!editorEnabled_ && (printable || key == '\b'))) {
        key = 0;
        return false;
    }
    if (!QclSizeBoxAccepts(key, editorEnabled_, hasFont)) {
        MessageBeep(0);
        key = 0;
        return false;
    }
    return TQclCustomComboBox::KeyPress(key);
}

bool TQclFontSizeComboBox::KeyDown(WORD& key, TShiftState shift) {
    bool keep = TQclCustomComboBox::KeyDown(key, shift);
    if (key == VK_RETURN || key == VK_ESCAPE) {
        WORD k = key;
        if (TCustomForm* form = treskel::GetParentForm(this)) form->Perform(CM_DIALOGKEY, k, 0);
        if (k == VK_RETURN) {
            key = 0;
            return false;
        }
    }
    return keep;
}

void TQclFontSizeComboBox::EditWndProc(TMessage& m) {
    if (m.Msg == WM_LBUTTONDOWN && OnEditClick) OnEditClick(this);
    TQclCustomComboBox::EditWndProc(m);
}

// ================================================================ registration

void RegisterExtComboClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    PublishClass<TQclCustomComboBox, TCustomComboBox> base;
    base.NotCreatable()
        .Bool("Flat", &TQclCustomComboBox::Flat, &TQclCustomComboBox::SetFlat)
        .Ref<TWinControl>("FocusControl", &TQclCustomComboBox::FocusControl, &TQclCustomComboBox::SetFocusControl)
        .Event("OnSelect", &TQclCustomComboBox::OnSelect)
        .Bool("TabStop", &TQclCustomComboBox::TabStop, &TQclCustomComboBox::SetTabStop, true);
    PublishBiDi(base);
    PublishConstraints(base);
    PublishDockClient(base);
    PublishClass<TQclCustomColorComboBox, TQclCustomComboBox>()
        .NotCreatable()
        .Custom("About", QclIgnoreAbout)
        .Object("CustomColors", &TQclCustomColorComboBox::CustomColors)
        .SetOf<TColorDialogOption>("DlgOptions", &TQclCustomColorComboBox::DlgOptions,
                                   &TQclCustomColorComboBox::SetDlgOptions, {})
        .Int("DlgHelpContext", &TQclCustomColorComboBox::DlgHelpContext, &TQclCustomColorComboBox::SetDlgHelpContext)
        .Enum<TQclColorCBStyle>("DisplayStyle", &TQclCustomColorComboBox::DisplayStyle,
                                &TQclCustomColorComboBox::SetDisplayStyle, TQclColorCBStyle::csColorText)
        .SetOf<TQclColorCBOption>("Options", &TQclCustomColorComboBox::Options, &TQclCustomColorComboBox::SetOptions,
                                  {TQclColorCBOption::coDefaultColors, TQclColorCBOption::coAllowAnyColor})
        .Event("OnBeforeDialogShow", &TQclCustomColorComboBox::OnBeforeDialogShow)
        .Event("OnAfterDialogShow", &TQclCustomColorComboBox::OnAfterDialogShow);
    PublishClass<TQclColorComboBox, TQclCustomColorComboBox>();
    PublishClass<TQclFontComboBox, TQclCustomComboBox>()
        .Custom("About", QclIgnoreAbout)
        .Bool("FastMode", &TQclFontComboBox::FastMode, &TQclFontComboBox::SetFastMode)
        .SetOf<TQclFontCBOption>("Options", &TQclFontComboBox::Options, &TQclFontComboBox::SetOptions,
                                 {TQclFontCBOption::foScreenFonts, TQclFontCBOption::foDisplaySymbol});
    PublishClass<TQclFontSizeComboBox, TQclCustomComboBox>()
        .Int("DefaultSize", &TQclFontSizeComboBox::DefaultSize, &TQclFontSizeComboBox::SetDefaultSize, 10)
        .Bool("EditorEnabled", &TQclFontSizeComboBox::EditorEnabled, &TQclFontSizeComboBox::SetEditorEnabled, true)
        .Ref<TQclFontComboBox>("FontCombo", &TQclFontSizeComboBox::FontCombo, &TQclFontSizeComboBox::SetFontCombo)
        .String("FontName", &TQclFontSizeComboBox::FontName, &TQclFontSizeComboBox::SetFontName)
        .Bool("UseNearestSize", &TQclFontSizeComboBox::UseNearestSize, &TQclFontSizeComboBox::SetUseNearestSize)
        .Event<TNotifyEvent>("OnEditClick", &TQclFontSizeComboBox::OnEditClick);
}

}  // namespace treskel

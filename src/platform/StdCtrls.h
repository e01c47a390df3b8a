// Standard controls: label, edit, memo, button, check box, radio button
// and group box.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"

namespace treskel {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
TRESKEL_ENUM_INFO(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
enum class TTextLayout { tlTop, tlCenter, tlBottom };
TRESKEL_ENUM_INFO(TTextLayout, "tlTop", "tlCenter", "tlBottom")

class TCustomLabel : public TGraphicControl {
    TRESKEL_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool Transparent() const { return !ControlStyle().Contains(TControlStyleItem::csOpaque); }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* c);
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Loaded() override;
    // Draws the caption with DrawText flags; DT_CALCRECT measures.
    virtual void DoDrawText(TRect& r, UINT flags);
    void AdjustBounds();
    void AdjustSize() override { AdjustBounds(); }

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
    TRESKEL_CLASS(TLabel)
public:
    using TCustomLabel::TCustomLabel;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
TRESKEL_ENUM_INFO(TEditCharCase, "ecNormal", "ecUpperCase", "ecLowerCase")

class TCustomEdit : public TWinControl {
    TRESKEL_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    char PasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char c);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    // A wide window holds every letter typed, those the system's code page
    // lacks too, where Text gives the text narrowed: WideText is what was
    // typed, to be checked before the text is taken.  Set it before the
    // user types.
    bool WideWindow() const { return wideWindow_; }
    void SetWideWindow(bool v);
    std::wstring WideText();
    // Selects `length` wide characters from `start`, scrolled into view.
    void SelectWide(int start, int length);
    bool Modified();
    void SetModified(bool v);
    int SelStart();
    void SetSelStart(int v);
    int SelLength();
    void SetSelLength(int v);
    std::string SelText();
    void SetSelText(const std::string& s);
    void SelectAll();
    void Clear() { SetText(""); }
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void Undo();
    bool CanUndo();
    TNotifyEvent OnChange;
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    virtual void Change();

private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    char passwordChar_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    bool autoSelect_ = true;
    bool modified_ = false;
    bool creating_ = false;
    bool wideWindow_ = false;
};

class TEdit : public TCustomEdit {
    TRESKEL_CLASS(TEdit)
public:
    using TCustomEdit::TCustomEdit;
};

class TButtonControl : public TWinControl {
    TRESKEL_CLASS(TButtonControl)
public:
    explicit TButtonControl(TComponent* owner);
};

class TButton : public TButtonControl {
    TRESKEL_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    void Click() override;
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    // Shows the button as the one Enter presses (the focused button, or
    // the default button while no other button has the focus).
    virtual void SetButtonStyle(bool active);

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
TRESKEL_ENUM_INFO(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

class TCustomMemo;

// The lines of a memo.  The window's text is the one copy: a line is what
// lies between CR LF pairs, and writing a line rewrites the text with a
// CR LF after every line, so that empty lines survive a round trip.
class TMemoStrings : public TStrings {
    TRESKEL_CLASS(TMemoStrings)
public:
    explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
    int Count() const override;
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    std::string Text() const override;
    void SetText(std::string_view text) override;

private:
    std::vector<std::string> Read() const;
    void Write(const std::vector<std::string>& lines);
    void Check(int index, int count) const;
    TCustomMemo* memo_;
};

class TCustomMemo : public TCustomEdit {
    TRESKEL_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* owner);
    ~TCustomMemo() override;
    TStrings* Lines() { return lines_.get(); }
    void SetLines(TStrings* lines) { lines_->Assign(lines); }
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle s);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;

private:
    std::unique_ptr<TStrings> lines_;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wordWrap_ = true;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
};

class TMemo : public TCustomMemo {
    TRESKEL_CLASS(TMemo)
public:
    using TCustomMemo::TCustomMemo;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
TRESKEL_ENUM_INFO(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")

// A check box over the system's button.  The state lives here and is
// mirrored into the window; a change of state (by the user or by the
// program, once loaded) fires OnClick.
class TCustomCheckBox : public TButtonControl {
    TRESKEL_CLASS(TCustomCheckBox)
public:
    explicit TCustomCheckBox(TComponent* owner);
    // taRightJustify puts the text right of the box, taLeftJustify left.
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState s);
    bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    // The user's click: unchecked, checked, then grayed when allowed.
    virtual void Toggle();

private:
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool allowGrayed_ = false;
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
};

class TCheckBox : public TCustomCheckBox {
    TRESKEL_CLASS(TCheckBox)
public:
    using TCustomCheckBox::TCustomCheckBox;
};

// A radio button: checking one unchecks the other radio buttons of its
// parent.  Becoming checked fires OnClick.
class TRadioButton : public TButtonControl {
    TRESKEL_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;

private:
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool checked_ = false;
};

// A frame with a caption in its top edge that holds other controls.
class TCustomGroupBox : public TCustomControl {
    TRESKEL_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* owner);
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
    TRESKEL_CLASS(TGroupBox)
public:
    using TCustomGroupBox::TCustomGroupBox;
};

}  // namespace treskel

// Standard controls: label, edit, button.
#pragma once

#include <windows.h>

#include <string>

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
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
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

private:
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    bool autoSize_ = true;
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

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};


}  // namespace treskel

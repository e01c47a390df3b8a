// The combo box and the list box over the system's controls: items kept
// while no window exists and mirrored into it when it does, the selected
// index, owner drawing through the reflected WM_DRAWITEM and
// WM_MEASUREITEM, and the change, select and drop-down events.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Controls.h"

namespace treskel {

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
TRESKEL_ENUM_INFO(TComboBoxStyle, "csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed",
                  "csOwnerDrawVariable")

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
TRESKEL_ENUM_INFO(TListBoxStyle, "lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable")

enum class TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = Set<TOwnerDrawStateItem>;

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;

class TListControlStrings;

// What the combo box and the list box share: items, owner drawing.
class TCustomListControl : public TWinControl {
    TRESKEL_CLASS(TCustomListControl)
public:
    explicit TCustomListControl(TComponent* owner);
    ~TCustomListControl() override;

    TStrings* Items();
    void SetItems(TStrings* items);
    int ItemIndex();
    virtual void SetItemIndex(int index);
    int ItemHeight() const { return itemHeight_; }
    virtual void SetItemHeight(int height);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TCanvas* Canvas() { return canvas_.get(); }
    void Clear();

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

    void WndProc(TMessage& m) override;

protected:
    friend class TListControlStrings;
    // The messages of the system control.
    struct Messages {
        UINT addString, insertString, deleteString, resetContent, getCount, getText, getTextLen, getItemData,
            setItemData, getCurSel, setCurSel, setItemHeight, err;
    };
    virtual const Messages& Msgs() const = 0;
    virtual bool OwnerDraw() const = 0;
    virtual bool VariableHeight() const = 0;

    void CreateWnd() override;
    void DestroyWnd() override;
    // Paints one item; the default fills it and writes its text.  The
    // canvas is ready (font, selection colours) when it is called.
    virtual void DrawItem(int index, const TRect& rect, TOwnerDrawState state);
    virtual void MeasureItem(int index, int& height);

    int itemHeight_;
    bool sorted_ = false;
    int storedIndex_ = -1;

private:
    void HandleDrawItem(TMessage& m);
    void HandleMeasureItem(TMessage& m);

    std::unique_ptr<TListControlStrings> items_;
    std::unique_ptr<TCanvas> canvas_;
};

class TCustomComboBox : public TCustomListControl {
    TRESKEL_CLASS(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count) { dropDownCount_ = count; }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length);
    bool DroppedDown();
    void SetDroppedDown(bool down);
    void SetItemHeight(int height) override;
    // The edit field of a combo box that has one (0 otherwise).
    HWND EditHandle();
    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    void SelectAll();

    std::string GetText() override;
    void SetText(const std::string& s) override;
    void SetItemIndex(int index) override;
    void SetBounds(int left, int top, int width, int height) override;

    // Text typed or a selection made (after OnClick for a selection).
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

    void WndProc(TMessage& m) override;
    // Messages of the edit field pass through here first.
    virtual void EditWndProc(TMessage& m);

protected:
    const Messages& Msgs() const override;
    bool OwnerDraw() const override;
    bool VariableHeight() const override;
    bool ListOnly() const;

    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Change();
    virtual void Select();
    virtual void DropDown();
    // Hands an edit field message to the field's own procedure.
    void DefaultEditHandler(TMessage& m);

private:
    void HookEdit();
    void AdjustDropDown();
    void FitFieldToHeight(int height);

    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
    int maxLength_ = 0;
    WindowSubclass editHook_;  // the edit field of an editable style
    std::string storedText_;
};

class TComboBox : public TCustomComboBox {
    TRESKEL_CLASS(TComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};

class TCustomListBox : public TCustomListControl {
    TRESKEL_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    int TopIndex();
    void SetTopIndex(int index);
    int ItemAtPos(TPoint pos, bool existing);
    TRect ItemRect(int index);

    void WndProc(TMessage& m) override;

protected:
    const Messages& Msgs() const override;
    bool OwnerDraw() const override;
    bool VariableHeight() const override;
    void CreateParams(TCreateParams& params) override;

private:
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
};

class TListBox : public TCustomListBox {
    TRESKEL_CLASS(TListBox)
public:
    using TCustomListBox::TCustomListBox;
};

void RegisterListControlClasses();

}  // namespace treskel

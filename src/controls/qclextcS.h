// Combo boxes of the component library: a base with a flat look and a
// jump of the focus after a choice, and owner-drawn boxes for colours,
// font names and font sizes (the size box can follow a font box).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/qclextcSLists.h"
#include "foundation/qclclass.h"
#include "platform/Dialogs.h"
#include "platform/ListCtrls.h"

namespace treskel {

class TQclCustomComboBox : public TCustomComboBox {
    TRESKEL_CLASS(TQclCustomComboBox)
public:
    explicit TQclCustomComboBox(TComponent* owner);
    ~TQclCustomComboBox() override;

    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    TWinControl* FocusControl() const { return focusControl_; }
    void SetFocusControl(TWinControl* control);

    // Every selection change from the list.
    TNotifyEvent OnSelect;
    // The left button pressed in the edit field (published by the size box).
    TNotifyEvent OnEditClick;

    void WndProc(TMessage& m) override;
    void EditWndProc(TMessage& m) override;
    void DoEnter() override;
    void DoExit() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void Select() override;
    bool KeyDown(WORD& key, TShiftState shift) override;
    // Draws the flat or hot border over the window's own.
    void PaintFlat(bool forceFlat = false);
    // Hands the focus to FocusControl.
    void JumpFocus();
    // Fills an owner-drawn item's background in the colours of its state
    // and sets the canvas font's colour; returns the canvas.
    TCanvas* PaintItemBackground(const TRect& rect, TOwnerDrawState state);

private:
    void UpdateMouseInside();
    // Selects the item that the letters typed so far start.
    void SelectTyped(char letter);

    bool flat_ = false;
    TWinControl* focusControl_ = nullptr;
    bool mouseInside_ = false;
    bool editFocused_ = false;
    bool navigationKey_ = false;
    uint16_t timerId_ = 0;
    TQclTypeAhead typeAhead_;
};

enum class TQclColorCBStyle { csColor, csText, csColorText, csColor3DText };
TRESKEL_ENUM_INFO(TQclColorCBStyle, "csColor", "csText", "csColorText", "csColor3DText")
enum class TQclColorCBOption { coDefaultColors, coSystemColors, coCustomColors, coAllowAnyColor, coAllowDialog };
TRESKEL_ENUM_INFO(TQclColorCBOption, "coDefaultColors", "coSystemColors", "coCustomColors", "coAllowAnyColor",
                  "coAllowDialog")
using TQclColorCBOptions = Set<TQclColorCBOption>;

using TQclOnColorDialogEvent = std::function<void(TObject* Sender, TColorDialog* ColorDialog)>;

class TQclCustomColorComboBox : public TQclCustomComboBox {
    TRESKEL_CLASS(TQclCustomColorComboBox)
public:
    explicit TQclCustomColorComboBox(TComponent* owner);
    ~TQclCustomColorComboBox() override;

    TStrings* CustomColors() { return customColors_.get(); }
    // Keeps the hexadecimal values of "ColorA" .. "ColorP" and refills the list.
    void SetCustomColors(TStrings* colors);
    TColorDialogOptions DlgOptions() const { return dlgOptions_; }
    void SetDlgOptions(TColorDialogOptions o) { dlgOptions_ = o; }
    int DlgHelpContext() const { return dlgHelpContext_; }
    void SetDlgHelpContext(int c) { dlgHelpContext_ = c; }
    TQclColorCBStyle DisplayStyle() const { return displayStyle_; }
    void SetDisplayStyle(TQclColorCBStyle style);
    TQclColorCBOptions Options() const { return options_; }
    void SetOptions(TQclColorCBOptions options);

    // The colour of the text; -1 for an empty text.
    TColor GetColorValue();
    void SetColorValue(TColor color);

    void FillColors();
    void Loaded() override;
    void WndProc(TMessage& m) override;

    TQclOnColorDialogEvent OnBeforeDialogShow;
    TQclOnColorDialogEvent OnAfterDialogShow;

protected:
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;
    void MeasureItem(int index, int& height) override;

private:
    int ComputeItemHeight();
    void ApplyItemHeight();
    void ShowColorDialog();

    std::unique_ptr<TStringList> customColors_;
    TColorDialogOptions dlgOptions_;
    int dlgHelpContext_ = 0;
    TQclColorCBStyle displayStyle_ = TQclColorCBStyle::csColorText;
    TQclColorCBOptions options_{TQclColorCBOption::coDefaultColors, TQclColorCBOption::coAllowAnyColor};
};

class TQclColorComboBox : public TQclCustomColorComboBox {
    TRESKEL_CLASS(TQclColorComboBox)
public:
    using TQclCustomColorComboBox::TQclCustomColorComboBox;
};

enum class TQclFontCBOption { foPrinterFonts, foScreenFonts, foTrueTypeOnly, foDisplayFont, foDisplaySymbol };
TRESKEL_ENUM_INFO(TQclFontCBOption, "foPrinterFonts", "foScreenFonts", "foTrueTypeOnly", "foDisplayFont",
                  "foDisplaySymbol")
using TQclFontCBOptions = Set<TQclFontCBOption>;

// The follower a font box calls on every change: set by a size box and
// cleared only by the size box that set it, so that one size box going
// leaves another's link alone.
class TQclFontChangeLink {
public:
    void Set(const void* owner, std::function<void()> call) {
        owner_ = owner;
        call_ = std::move(call);
    }
    void Clear(const void* owner) {
        if (owner != owner_) return;
        owner_ = nullptr;
        call_ = nullptr;
    }
    explicit operator bool() const { return static_cast<bool>(call_); }
    void operator()() const { call_(); }

private:
    const void* owner_ = nullptr;
    std::function<void()> call_;
};

class TQclFontComboBox : public TQclCustomComboBox {
    TRESKEL_CLASS(TQclFontComboBox)
public:
    explicit TQclFontComboBox(TComponent* owner);
    ~TQclFontComboBox() override;

    bool FastMode() const { return fastMode_; }
    void SetFastMode(bool v) { fastMode_ = v; }
    TQclFontCBOptions Options() const { return options_; }
    void SetOptions(TQclFontCBOptions options);

    // Selects the item of that name (letter case ignored), or none.
    void SetFontName(const std::string& name);
    std::string GetFontName() { return Text(); }

    void RebuildList();
    void Loaded() override;
    void WndProc(TMessage& m) override;

    // Called on every change before OnChange (the size box that follows).
    TQclFontChangeLink FontChangeLink;

protected:
    void Change() override;
    void CreateWnd() override;
    void DrawItem(int index, const TRect& rect, TOwnerDrawState state) override;

private:
    void AddFace(const std::string& name, int fontType);
    void UpdateItemHeight();

    bool fastMode_ = false;
    TQclFontCBOptions options_{TQclFontCBOption::foScreenFonts, TQclFontCBOption::foDisplaySymbol};
    std::unique_ptr<TBitmap> symbols_;
};

class TQclFontSizeComboBox : public TQclCustomComboBox {
    TRESKEL_CLASS(TQclFontSizeComboBox)
public:
    explicit TQclFontSizeComboBox(TComponent* owner);
    ~TQclFontSizeComboBox() override;

    int DefaultSize() const { return defaultSize_; }
    void SetDefaultSize(int size) { defaultSize_ = size; }
    bool EditorEnabled() const { return editorEnabled_; }
    void SetEditorEnabled(bool v);
    TQclFontComboBox* FontCombo() const { return fontCombo_; }
    void SetFontCombo(TQclFontComboBox* combo);
    const std::string& FontName() const { return fontName_; }
    void SetFontName(const std::string& name);
    bool UseNearestSize() const { return useNearestSize_; }
    void SetUseNearestSize(bool v) { useNearestSize_ = v; }

    // The text as a number; -1 for an empty or non-numeric text.
    int GetFontSize();
    void SetFontSize(int size);
    int ValidSize(int size);
    void RebuildSizes();
    void Loaded() override;
    void DoExit() override;
    void EditWndProc(TMessage& m) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    bool KeyDown(WORD& key, TShiftState shift) override;
    bool KeyPress(char& key) override;

private:
    int AdjustToNearest(int size);

    int defaultSize_ = 10;
    bool editorEnabled_ = true;
    TQclFontComboBox* fontCombo_ = nullptr;
    std::string fontName_;
    bool useNearestSize_ = false;
};

void RegisterExtComboClasses();

}  // namespace treskel

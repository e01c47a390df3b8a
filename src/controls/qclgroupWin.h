// The library's check-style buttons: the button-control base that keeps a
// glyph strip, a glyph-and-text layout, a 3D caption and focus settings and
// can be checked through an action; the radio button drawn from a four-cell
// strip; the button group that copies its settings to one button per line
// of its items, and the radio group built on it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/qclgroup.h"
#include "controls/qclstdcS.h"
#include "platform/ActnList.h"

namespace treskel {

class TQclButtonControl : public TQclCustomPanel {
    TRESKEL_CLASS(TQclButtonControl)
public:
    explicit TQclButtonControl(TComponent* owner);
    ~TQclButtonControl() override;

    TQclGlyphTextLayout* Alignment() { return layout_.get(); }
    bool GlyphTransparent() const { return glyphTransparent_; }
    void SetGlyphTransparent(bool v);
    TColor GlyphTransparentColor() const { return glyphTransparentColor_; }
    void SetGlyphTransparentColor(TColor v);
    bool UseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool v);
    int GlyphSize() const { return glyphSize_; }
    void SetGlyphSize(int v);
    bool GlyphFlat() const { return glyphFlat_; }
    void SetGlyphFlat(bool v);
    TQcl3DCaption* Font3D() { return font3D_.get(); }
    TQclGlyphTextFocusStyle FocusStyle() const { return focusStyle_; }
    void SetFocusStyle(TQclGlyphTextFocusStyle v);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor v);
    bool UseFocusColor() const { return useFocusColor_; }
    void SetUseFocusColor(bool v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    // Set while the control is checked on someone else's behalf (an
    // action, a group): no click follows, and a click message is dropped.
    bool ClicksDisabled() const { return clicksDisabled_; }
    void SetClicksDisabled(bool v) { clicksDisabled_ = v; }
    // Set while a group copies its settings: changes do not repaint.
    bool NoRepaint() const { return noRepaint_; }
    void SetNoRepaint(bool v) { noRepaint_ = v; }
    TBitmap* GlyphStrip() { return strip_.get(); }
    int CellWidth() const { return cellWidth_; }
    // The size the glyph and the caption need.
    TSize ContentSize();
    // The palette of the linked image list's picture (0 without one).
    HPALETTE GetPalette() override;

    virtual void CreateGlyph() {}
    virtual bool GetChecked() { return false; }
    virtual void SetChecked(bool) {}
    virtual bool CanModify() { return !readOnly_; }
    // With AutoSize: the control takes the size its glyph and caption need.
    void AdjustSize() override;
    // Draws (`draw`) or measures glyph and caption; returns the focus or,
    // measuring, the content rectangle.
    virtual TRect DrawContent(TCanvas* canvas, bool draw) = 0;

    void ObjectChanged(TObject* sender) override;
    void LinkChanged(TObject* sender) override;
    void WndProc(TMessage& m) override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;

protected:
    void Paint() override;
    void Loaded() override;
    void DoEnter() override;
    void DoExit() override;
    // Draws the focus frame in the focus colour or as the system's dotted frame.
    void DrawFocusFrame(TCanvas* canvas, const TRect& r);
    std::unique_ptr<TBitmap> strip_;
    int cellWidth_ = 13;

private:
    void PressedWithMouse(TMessage& m);
    std::unique_ptr<TQclGlyphTextLayout> layout_;
    std::unique_ptr<TQcl3DCaption> font3D_;
    GdiHandle<HPALETTE> palette_;
    int glyphSize_ = 13;
    bool glyphTransparent_ = false, useBitmap_ = false, glyphFlat_ = false;
    bool useFocusColor_ = false, readOnly_ = false, noRepaint_ = false, clicksDisabled_ = false, sizing_ = false;
    TColor glyphTransparentColor_ = static_cast<TColor>(0x008080), focusColor_ = static_cast<TColor>(0x808080);
    TQclGlyphTextFocusStyle focusStyle_ = TQclGlyphTextFocusStyle::fcText;
};

// Ties a button control's checked state to an action: setting the state
// from the action checks the control without a click of its own.
class TQclButtonActionLink {
public:
    explicit TQclButtonActionLink(TQclButtonControl* client) : client_(client) {}
    // Linked: the control shows the action's state.
    bool IsCheckedLinked(TCustomAction* action) const { return client_->GetChecked() == action->Checked(); }
    void SetChecked(bool v);

private:
    TQclButtonControl* client_;
};

class TQclRadioButton : public TQclButtonControl {
    TRESKEL_CLASS(TQclRadioButton)
public:
    explicit TQclRadioButton(TComponent* owner);

    bool Checked() const { return checked_; }
    bool GetChecked() override { return checked_; }
    void SetChecked(bool v) override;
    void CreateGlyph() override;
    TRect DrawContent(TCanvas* canvas, bool draw) override;

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool KeyPress(char& key) override;

private:
    bool checked_ = false;
};

enum class TQclChildHelpContextID { ciDefault, ciSameAsParent, ciAutoNumbered };
TRESKEL_ENUM_INFO(TQclChildHelpContextID, "ciDefault", "ciSameAsParent", "ciAutoNumbered")

class TQclCustomButtonGroup;

// A button of a radio group: it asks the group whether it may change and
// hands the keys it had on to the group.
class TQclRadioGroupButton : public TQclRadioButton {
    TRESKEL_CLASS(TQclRadioGroupButton)
public:
    explicit TQclRadioGroupButton(TQclCustomButtonGroup* group);
    ~TQclRadioGroupButton() override;
    bool CanModify() override;

protected:
    bool KeyDown(WORD& key, TShiftState shift) override;
    bool KeyPress(char& key) override;

private:
    TQclCustomButtonGroup* group_;
};

using TQclChildBtnClick = std::function<void(TObject* sender, int buttonIndex)>;

// A group box with one button per line of its items, which copies its
// glyph, caption and focus settings to every button.
class TQclCustomButtonGroup : public TQclCustomGroupBox {
    TRESKEL_CLASS(TQclCustomButtonGroup)
public:
    explicit TQclCustomButtonGroup(TComponent* owner);
    ~TQclCustomButtonGroup() override;

    TStringList* Items() { return items_.get(); }
    void SetItems(TStrings* v) { items_->Assign(v); }
    int Columns() const { return columns_; }
    void SetColumns(int v);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);
    int ItemOffset() const { return itemOffset_; }
    void SetItemOffset(int v);
    int ItemIndex() const { return itemIndex_; }
    virtual void SetItemIndex(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    int GlyphSize() const { return glyphSize_; }
    void SetGlyphSize(int v);
    bool GlyphFlat() const { return glyphFlat_; }
    void SetGlyphFlat(bool v);
    bool GlyphTransparent() const { return glyphTransparent_; }
    void SetGlyphTransparent(bool v);
    TColor GlyphTransparentColor() const { return glyphTransparentColor_; }
    void SetGlyphTransparentColor(TColor v);
    bool UseBitmap() const { return useBitmap_; }
    void SetUseBitmap(bool v);
    TQcl3DCaption* Font3D() { return font3D_.get(); }
    TQclGlyphTextFocusStyle FocusStyle() const { return focusStyle_; }
    void SetFocusStyle(TQclGlyphTextFocusStyle v);
    TColor FocusColor() const { return focusColor_; }
    void SetFocusColor(TColor v);
    bool UseFocusColor() const { return useFocusColor_; }
    void SetUseFocusColor(bool v);
    TQclChildHelpContextID HelpContextBtn() const { return helpContextBtn_; }
    void SetHelpContextBtn(TQclChildHelpContextID v);
    TQclCustomImageList* GlyphImageList() const { return glyphLink_.List(); }
    void SetGlyphImageList(TQclCustomImageList* list) { glyphLink_.SetList(list); }
    int GlyphImageIndex() const { return glyphLink_.ImageIndex(); }
    void SetGlyphImageIndex(int v) { glyphLink_.SetIndex(0, v); }
    int GlyphListIndex() const { return glyphLink_.ListIndex(); }
    void SetGlyphListIndex(int v) { glyphLink_.SetIndex(1, v); }
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TQclRadioGroupButton* Buttons(int i) const { return buttons_.at(static_cast<size_t>(i)); }

    TQclChildBtnClick OnChange;

    virtual bool CanChange() { return !readOnly_; }
    virtual void SetButtonCount(int count) = 0;
    virtual void ArrangeButtons() = 0;
    virtual int GetItemIndex() { return itemIndex_; }
    void WndProc(TMessage& m) override;
    void ObjectChanged(TObject* sender) override;

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // With AutoSize: as large as its buttons need, each as large as the
    // largest glyph and caption.
    void AdjustSize() override;
    bool Reading() const;
    // The settings of the group on one button (the layout aside).
    void CopySettingsTo(TQclRadioGroupButton* b, int index);
    void LayoutButtons();
    // What the layout of the buttons goes by, at the group's present size.
    TQclRadioLayoutInput LayoutInput();
    void ButtonsChanged();
    // Whether the group box shows an image of its own (then glyph size and
    // flatness stay with the buttons).
    bool ShowsImage();

    std::unique_ptr<TStringList> items_;
    std::vector<TQclRadioGroupButton*> buttons_;
    int itemIndex_ = -1;
    bool updating_ = false;

private:
    friend class TQclRadioGroupButton;
    virtual void ItemsChanged() = 0;
    void ButtonClick(TObject* sender);
    int columns_ = 1, itemHeight_ = -1, itemOffset_ = 4, glyphSize_ = 13;
    bool sizing_ = false;
    bool readOnly_ = false, glyphFlat_ = false, glyphTransparent_ = true, useBitmap_ = false, useFocusColor_ = false;
    TColor glyphTransparentColor_ = static_cast<TColor>(0x008080), focusColor_ = static_cast<TColor>(0x808080);
    TQclGlyphTextFocusStyle focusStyle_ = TQclGlyphTextFocusStyle::fcText;
    TQclChildHelpContextID helpContextBtn_ = TQclChildHelpContextID::ciDefault;
    std::unique_ptr<TQcl3DCaption> font3D_;
    TQclImageLink glyphLink_;
};

class TQclCustomRadioGroup : public TQclCustomButtonGroup {
    TRESKEL_CLASS(TQclCustomRadioGroup)
public:
    explicit TQclCustomRadioGroup(TComponent* owner);
    void SetItemIndex(int v) override;
    void SetButtonCount(int count) override;
    void ArrangeButtons() override;

private:
    void ItemsChanged() override;
};

class TQclRadioGroup : public TQclCustomRadioGroup {
    TRESKEL_CLASS(TQclRadioGroup)
public:
    explicit TQclRadioGroup(TComponent* owner) : TQclCustomRadioGroup(owner) {}
};

}  // namespace treskel

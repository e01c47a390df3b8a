// The library's radio button, drawn from a four-cell glyph strip, and the
// radio group that lays out one button per line of its items.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "controls/qclgroup.h"
#include "controls/qclstdcS.h"

namespace treskel {

class TQclRadioButton : public TQclCustomPanel {
    TRESKEL_CLASS(TQclRadioButton)
public:
    explicit TQclRadioButton(TComponent* owner);
    ~TQclRadioButton() override;

    bool Checked() const { return checked_; }
    virtual void SetChecked(bool v);
    TQclGlyphTextLayout* Alignment() { return layout_.get(); }
    TQcl3DCaption* Font3D() { return font3D_.get(); }
    int GlyphSize() const { return glyphSize_; }
    void SetGlyphSize(int v);
    bool GlyphFlat() const { return glyphFlat_; }
    void SetGlyphFlat(bool v);
    bool GlyphTransparent() const { return glyphTransparent_; }
    void SetGlyphTransparent(bool v);
    TColor GlyphTransparentColor() const { return glyphTransparentColor_; }
    void SetGlyphTransparentColor(TColor v);
    TQclGlyphTextFocusStyle FocusStyle() const { return focusStyle_; }
    void SetFocusStyle(TQclGlyphTextFocusStyle v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool NoRepaint() const { return noRepaint_; }
    void SetNoRepaint(bool v) { noRepaint_ = v; }
    TBitmap* GlyphStrip() { return strip_.get(); }
    int CellWidth() const { return cellWidth_; }

    virtual bool CanModify() { return !readOnly_; }
    void ObjectChanged(TObject* sender) override;
    void LinkChanged(TObject* sender) override;
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    bool KeyPress(char& key) override;
    // Draws (or, `draw` clear, measures) glyph and caption; the glyph's or focus rectangle.
    TRect DrawContent(TCanvas* canvas, bool draw);

private:
    void CreateGlyph();
    std::unique_ptr<TQclGlyphTextLayout> layout_;
    std::unique_ptr<TQcl3DCaption> font3D_;
    std::unique_ptr<TBitmap> strip_;
    int cellWidth_ = 13, glyphSize_ = 13;
    bool checked_ = false, glyphFlat_ = false, glyphTransparent_ = true, readOnly_ = false, noRepaint_ = false;
    TColor glyphTransparentColor_ = static_cast<TColor>(0x008080);
    TQclGlyphTextFocusStyle focusStyle_ = TQclGlyphTextFocusStyle::fcText;
};

class TQclCustomRadioGroup;

// A button of a radio group: it asks the group whether it may change.
class TQclRadioGroupButton : public TQclRadioButton {
    TRESKEL_CLASS(TQclRadioGroupButton)
public:
    explicit TQclRadioGroupButton(TQclCustomRadioGroup* group);
    ~TQclRadioGroupButton() override;
    bool CanModify() override;

private:
    TQclCustomRadioGroup* group_;
};

using TQclChildBtnClick = std::function<void(TObject* sender, int buttonIndex)>;

class TQclCustomRadioGroup : public TQclCustomGroupBox {
    TRESKEL_CLASS(TQclCustomRadioGroup)
public:
    explicit TQclCustomRadioGroup(TComponent* owner);
    ~TQclCustomRadioGroup() override;

    TStringList* Items() { return items_.get(); }
    int Columns() const { return columns_; }
    void SetColumns(int v);
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int v);
    int ItemOffset() const { return itemOffset_; }
    void SetItemOffset(int v);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TQclRadioGroupButton* Buttons(int i) const { return buttons_.at(static_cast<size_t>(i)); }

    TQclChildBtnClick OnChange;

    virtual bool CanChange() { return !readOnly_; }
    void WndProc(TMessage& m) override;
    void ObjectChanged(TObject* sender) override;

protected:
    void Loaded() override;

private:
    friend class TQclRadioGroupButton;
    void ItemsChanged();
    void ArrangeButtons();
    void LayoutButtons();
    void ButtonClick(TObject* sender);

    std::unique_ptr<TStringList> items_;
    std::vector<TQclRadioGroupButton*> buttons_;
    int columns_ = 1, itemHeight_ = -1, itemOffset_ = 4, itemIndex_ = -1;
    bool readOnly_ = false, updating_ = false;
};

class TQclRadioGroup : public TQclCustomRadioGroup {
    TRESKEL_CLASS(TQclRadioGroup)
public:
    explicit TQclRadioGroup(TComponent* owner) : TQclCustomRadioGroup(owner) {}
};

}  // namespace treskel

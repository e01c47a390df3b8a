// The library's button glyph (its per-state images live in the one shared
// glyph cache of the window utilities) and its windowless buttons: the
// base with glyph, 3D caption, drop-down menu, repeated clicks and groups;
// the speed button that paints one of ten face styles; the office and
// explorer buttons.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "controls/qclbtn.h"
#include "controls/qclctrlWin.h"
#include "platform/Menus.h"
#include "winutil/WuCtrls.h"

namespace treskel {

// A button's glyph bitmap of up to five cells and the images made from it
// for each state, kept in the shared list of their size.
class TQclGlyph {
public:
    TQclGlyph();
    ~TQclGlyph();
    TQclGlyph(const TQclGlyph&) = delete;
    TQclGlyph& operator=(const TQclGlyph&) = delete;

    TBitmap* Source() { return source_.get(); }
    void SetGlyph(TBitmap* bitmap);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int value);
    bool Uncoloured() const { return uncoloured_; }
    void SetUncoloured(bool value);
    TColor TransparentColor() const { return transparentColor_; }
    // Gives every image made back to the list and the list back to the cache.
    void Invalidate();
    // The list slot of the state's image, made on first use; -1 without one.
    int CreateImage(int state);
    TGlyphList* List() const { return list_; }
    void Draw(TCanvas* canvas, const std::string& caption, unsigned bidiFlags, bool multiLine, uint16_t flags,
              TQclButtonLayout* layout, int state, const TRect& rect, TQclFxCaption* fx);

    TNotifyEvent OnChange;

private:
    void SourceChanged();
    std::unique_ptr<TBitmap> source_;
    TGlyphList* list_ = nullptr;
    int indexes_[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int numGlyphs_ = 1;
    bool uncoloured_ = false;
    TColor transparentColor_ = clFuchsia;
};

// A timer of the library application object's pool, held while it runs
// and given back when stopped or gone.
class TQclPoolTimer {
public:
    TQclPoolTimer() = default;
    ~TQclPoolTimer() { Stop(); }
    TQclPoolTimer(const TQclPoolTimer&) = delete;
    TQclPoolTimer& operator=(const TQclPoolTimer&) = delete;
    // Nothing when it runs already; EOutOfResources when the pool has no timer left.
    void Start(int interval, std::function<void()> tick);
    void Stop();
    bool Running() const { return id_ != 0; }

private:
    uint16_t id_ = 0;
};

// Takes the image of a linked action as the glyph while the glyph is empty
// or came from the action before (`fromAction`): a glyph of the button's
// own survives every action change.  True when the glyph was replaced.
bool QclTakeActionGlyph(TBasicAction* action, TQclGlyph& glyph, bool& fromAction);

class TQclBaseGraphicButton : public TQclBaseControl {
    TRESKEL_CLASS(TQclBaseGraphicButton)
public:
    explicit TQclBaseGraphicButton(TComponent* owner);
    ~TQclBaseGraphicButton() override;

    bool AllowAllUp() const { return machine_.settings.allowAllUp; }
    void SetAllowAllUp(bool v);
    bool AllowMouseOver() const { return machine_.settings.allowMouseOver; }
    void SetAllowMouseOver(bool v) { machine_.settings.allowMouseOver = v; }
    TQclButtonLayout* ButtonLayout() { return layout_.get(); }
    void SetButtonLayout(TQclButtonLayout* v) { layout_->Assign(v); }
    TQclFxCaption* FontFx() { return fontFx_.get(); }
    void SetFontFx(TQclFxCaption* v) { fontFx_->Assign(v); }
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* menu);
    int DropDownIndent() const { return dropDownIndent_; }
    void SetDropDownIndent(int v);
    bool DropDownRight() const { return dropDownRight_; }
    void SetDropDownRight(bool v);
    TColor EnterColor() const { return enterColor_; }
    void SetEnterColor(TColor v);
    bool EnterColorChange() const { return enterColorChange_; }
    void SetEnterColorChange(bool v);
    TBitmap* Glyph() { return glyph_.Source(); }
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int v);
    int GroupIndex() const { return machine_.settings.groupIndex; }
    void SetGroupIndex(int v);
    bool HideHint() const { return hideHint_; }
    void SetHideHint(bool v) { hideHint_ = v; }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    bool Pressed() const { return machine_.Pressed(); }
    void SetPressed(bool v) { machine_.SetPressed(v); }
    bool RepeatedClick() const { return machine_.settings.repeatedClick; }
    void SetRepeatedClick(bool v) { machine_.settings.repeatedClick = v; }
    int RepeatingInterval() const { return repeatingInterval_; }
    void SetRepeatingInterval(int v) { repeatingInterval_ = v & 0xFFFF; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);

    TQclButtonState State() const { return machine_.State(); }
    bool MouseInside() const { return machine_.MouseInside(); }
    // The state drawn: a button inside a disabled container looks disabled.
    TQclButtonState DrawnState();
    TQclGlyph& GlyphObject() { return glyph_; }
    // The glyph's palette (0 without one).
    HPALETTE GetPalette() override { return QclBitmapPalette(glyph_.Source(), glyphPalette_); }
    // Pops the drop-down menu up (when set and not open).
    void DropDown();

    TNotifyEvent OnDropDown;

    void WndProc(TMessage& m) override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    bool IsTransparentActive() override;
    void LinkChanged(TObject* sender) override;
    void MouseEnter() override;
    void MouseExit() override;
    // Whether a layout holds the glyph: not when the image list supplies it.
    virtual bool GlyphStored() { return ImageList() == nullptr; }
    // Whether a linked action's image may become the glyph.
    virtual bool CanTakeActionImage() { return true; }
    virtual void RepeatClick() { Click(); }
    virtual bool PointInButton(int x, int y) { return QclPointInSize(x, y, Width(), Height()); }
    virtual void CheckMouseLeave();
    // The pointer came over the button or left it.
    virtual void MouseInsideChanged() {}

protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // Whether the look changes between up and mouse over, and between
    // mouse over and down, whatever the glyph shows: a face that draws
    // the hover or the press does.
    virtual bool AlwaysRepaintOnHover() { return false; }
    virtual bool AlwaysRepaintOnPress() { return false; }
    // On the button's canvas, or on `target` (an off-screen picture of it).
    void DrawGlyphAndCaption(const TRect& rect, TCanvas* target = nullptr);
    void Repainted();
    void FontChanged(TObject* sender);
    bool CursorInside();
    bool StateFrozen();
    void AcceleratorPressed();

    TQclButtonMachine machine_;
    bool allowTransparency_ = true;

private:
    void ShowMenu();

    TQclGlyph glyph_;
    std::unique_ptr<TQclButtonLayout> layout_;
    std::unique_ptr<TQclFxCaption> fontFx_;
    TPopupMenu* dropDownMenu_ = nullptr;
    int dropDownIndent_ = 0;
    bool dropDownRight_ = false;
    TColor enterColor_ = clCaptionText;
    bool enterColorChange_ = false;
    bool hideHint_ = true;
    bool multiLine_ = false;
    int repeatingInterval_ = 100;
    bool transparent_ = false;
    bool glyphFromAction_ = false;
    TQclPoolTimer leaveTimer_, repeatTimer_;
    GdiHandle<HPALETTE> glyphPalette_;
};

class TQclCustomSpeedButton : public TQclBaseGraphicButton {
    TRESKEL_CLASS(TQclCustomSpeedButton)
public:
    explicit TQclCustomSpeedButton(TComponent* owner);
    TQclUserButtonStyle Style() const { return style_; }
    void SetStyle(TQclUserButtonStyle v);

    void MouseInsideChanged() override;

protected:
    void Paint() override;
    // The flat looks and the explorer looks draw the pointer over the face.
    bool AlwaysRepaintOnHover() override { return style_ >= TQclUserButtonStyle::ubsClassicFlat; }
    bool AlwaysRepaintOnPress() override { return true; }

private:
    TQclUserButtonStyle style_ = TQclUserButtonStyle::ubsAutoDetect;
};

class TQclOfficeButton : public TQclCustomSpeedButton {
    TRESKEL_CLASS(TQclOfficeButton)
public:
    explicit TQclOfficeButton(TComponent* owner);
    void MouseInsideChanged() override;
};

class TQclExplorerButton : public TQclOfficeButton {
    TRESKEL_CLASS(TQclExplorerButton)
public:
    explicit TQclExplorerButton(TComponent* owner);
    bool UnColorMain() { return GlyphObject().Uncoloured(); }
    void SetUnColorMain(bool v);
};

// Registers the library's visual controls for layouts.
void RegisterQclControlClasses();

}  // namespace treskel

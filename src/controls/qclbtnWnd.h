// The library's owner-drawn windowed push button and the dock button that
// keeps itself beside another windowed control.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/qclbtnWin.h"
#include "controls/qclctrlWin.h"
#include "platform/StdCtrls.h"
#include "platform/UtilityWindow.h"

namespace treskel {

// The built-in small glyphs (cells of one bitmap resource), or the button's own.
enum class TQclGlyphKind { gkCustom, gkEllipsis, gkFile, gkFolder, gkCalculator, gkCalender, gkSearch, gkColor, gkFont };
TRESKEL_ENUM_INFO(TQclGlyphKind, "gkCustom", "gkEllipsis", "gkFile", "gkFolder", "gkCalculator", "gkCalender", "gkSearch",
                  "gkColor", "gkFont")

class TQclCustomButton : public TButton {
    TRESKEL_CLASS(TQclCustomButton)
public:
    explicit TQclCustomButton(TComponent* owner);
    ~TQclCustomButton() override;
    TBitmap* Glyph() { return glyph_.Source(); }
    // A glyph set by hand unlinks the image list.
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int v);
    TQclGlyphKind GlyphKind() const { return glyphKind_; }
    // A built-in kind replaces the glyph by its cell; gkCustom takes the
    // image-list image again (none: no glyph).
    void SetGlyphKind(TQclGlyphKind v);
    TQclButtonLayout* ButtonLayout() { return layout_.get(); }
    TQclFxCaption* FontFx() { return fontFx_.get(); }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    TQclNormalButtonStyle Style() const { return style_; }
    void SetStyle(TQclNormalButtonStyle v);
    TQclCustomImageList* ImageList() const { return link_.List(); }
    void SetImageList(TQclCustomImageList* list) { link_.SetList(list); }
    int ImageIndex() const { return link_.ImageIndex(); }
    void SetImageIndex(int v) { link_.SetIndex(0, v); }
    int ListIndex() const { return link_.ListIndex(); }
    void SetListIndex(int v) { link_.SetIndex(1, v); }
    bool RepeatedClick() const { return repeatedClick_; }
    void SetRepeatedClick(bool v) { repeatedClick_ = v; }
    int RepeatingInterval() const { return repeatingInterval_; }
    void SetRepeatingInterval(int v) { repeatingInterval_ = v & 0xFFFF; }
    bool HideHint() const { return hideHint_; }
    void SetHideHint(bool v) { hideHint_ = v; }
    // The state the button was last drawn in, and whether it was drawn as
    // the button Enter presses.
    TQclButtonState DrawnState() const { return drawn_; }
    bool Active() const { return active_; }
    bool MouseInside() const { return mouseInside_; }
    bool Repeating() const { return repeatTimer_.Running(); }
    // The glyph's palette (0 without one).
    HPALETTE GetPalette() override { return QclBitmapPalette(glyph_.Source(), palette_); }
    // Whether a layout holds the glyph: not when the image list supplies it,
    // unless it is a built-in kind's.
    bool GlyphStored() const { return ImageList() == nullptr || glyphKind_ != TQclGlyphKind::gkCustom; }

    TNotifyEvent OnMouseEnter, OnMouseExit;

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& m) override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    virtual void BoundsChanged(uint8_t changes) {}
    virtual void RepeatClick() { Click(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void SetButtonStyle(bool active) override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Loading() const { return ComponentState().Contains(TComponentStateItem::csLoading); }

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    void FontChanged(TObject* sender);
    void RefreshGlyphFromList();
    bool CursorInside();
    TQclGlyph glyph_;
    std::unique_ptr<TQclButtonLayout> layout_;
    std::unique_ptr<TQclFxCaption> fontFx_;
    TQclImageLink link_;
    bool multiLine_ = false, repeatedClick_ = false, hideHint_ = true, active_ = false, mouseInside_ = false;
    bool glyphFromAction_ = false;
    int repeatingInterval_ = 100;
    TQclPoolTimer repeatTimer_;
    TQclGlyphKind glyphKind_ = TQclGlyphKind::gkCustom;
    TQclNormalButtonStyle style_ = TQclNormalButtonStyle::nbsAutoDetect;
    TQclButtonState drawn_ = TQclButtonState::bsUp;
    GdiHandle<HPALETTE> palette_;
};

class TQclDockButton : public TQclCustomButton {
    TRESKEL_CLASS(TQclDockButton)
public:
    explicit TQclDockButton(TComponent* owner);
    ~TQclDockButton() override;
    TWinControl* Control() const { return control_; }
    void SetControl(TWinControl* v);
    bool AdjustDockedSize() const { return dock_.AdjustDockedSize(); }
    void SetAdjustDockedSize(bool v) { dock_.SetAdjustDockedSize(v); }
    bool Docked() const { return dock_.Docked(); }
    void SetDocked(bool v) { dock_.SetDocked(v); }
    bool ReflectOwnChanges() const { return dock_.ReflectOwnChanges(); }
    void SetReflectOwnChanges(bool v);
    TQclDockPosition Position() const { return dock_.Position(); }
    void SetPosition(TQclDockPosition v) { dock_.SetPosition(v); }
    int Margin() const { return dock_.Margin(); }
    void SetMargin(int v) { dock_.SetMargin(v); }
    bool Hooked() const { return dock_.Hooked(); }
    void Dock() { dock_.Dock(); }
    void BoundsChanged(uint8_t changes) override;

protected:
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TWinControl* control_ = nullptr;
    TQclDocker dock_{this, control_, TQclDockPosition::dpRight, true, true};
};

}  // namespace treskel

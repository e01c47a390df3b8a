// The library's owner-drawn windowed push button and the dock button that
// keeps itself beside another windowed control.
#pragma once

#include <windows.h>

#include <memory>

#include "controls/qclbtnWin.h"
#include "controls/qclctrlWin.h"
#include "platform/StdCtrls.h"

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
    void SetGlyph(TBitmap* v);
    int NumGlyphs() const { return glyph_.NumGlyphs(); }
    void SetNumGlyphs(int v);
    TQclGlyphKind GlyphKind() const { return glyphKind_; }
    // A built-in kind replaces the glyph by its cell; gkCustom keeps the glyph.
    void SetGlyphKind(TQclGlyphKind v);
    TQclButtonLayout* ButtonLayout() { return layout_.get(); }
    TQclFxCaption* FontFx() { return fontFx_.get(); }
    bool MultiLine() const { return multiLine_; }
    void SetMultiLine(bool v);
    TQclNormalButtonStyle Style() const { return style_; }
    void SetStyle(TQclNormalButtonStyle v);
    // The state the button was last drawn in.
    TQclButtonState DrawnState() const { return drawn_; }

    void SetBounds(int left, int top, int width, int height) override;
    void WndProc(TMessage& m) override;
    virtual void BoundsChanged(uint8_t changes) {}

protected:
    void CreateParams(TCreateParams& params) override;

private:
    void DrawItem(const DRAWITEMSTRUCT& item);
    TQclGlyph glyph_;
    std::unique_ptr<TQclButtonLayout> layout_;
    std::unique_ptr<TQclFxCaption> fontFx_;
    bool multiLine_ = false;
    TQclGlyphKind glyphKind_ = TQclGlyphKind::gkCustom;
    TQclNormalButtonStyle style_ = TQclNormalButtonStyle::nbsAutoDetect;
    TQclButtonState drawn_ = TQclButtonState::bsUp;
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
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TWinControl* control_ = nullptr;
    TQclDocker dock_{this, control_, TQclDockPosition::dpRight, true, true};
};

}  // namespace treskel

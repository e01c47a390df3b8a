// The colour swatch button: a small focusable button whose face shows one
// colour inside a black frame.  Pressing follows the mouse while the left
// button is held; the click is the ordinary one, on release over the
// button (or Space or Enter while it has the focus).  A flat button shows
// its frame only while the mouse is over it or it is pressed; a sticky one
// stays pressed until it is pressed again.
#pragma once

#include "platform/Controls.h"
#include "platform/Dialogs.h"

namespace treskel {

class TColorButton : public TCustomControl {
    TRESKEL_CLASS(TColorButton)
public:
    explicit TColorButton(TComponent* owner);

    // The swatch's colour (the control's own colour is not used).
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // Kept for the layout; the button opens no dialog itself.
    TColorDialogOptions Options() const { return options_; }
    void SetOptions(TColorDialogOptions options) { options_ = options; }
    // The gap between the frame and the swatch: 0 .. Width div 2, else
    // the old margin stays.
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    bool ShowColorDlg() const { return showColorDlg_; }
    void SetShowColorDlg(bool v) { showColorDlg_ = v; }
    bool FlatButtonStyle() const { return flat_; }
    void SetFlatButtonStyle(bool v);
    bool StickyButton() const { return sticky_; }
    void SetStickyButton(bool v) { sticky_ = v; }
    // Kept for the layout; never raised.
    TNotifyEvent OnColorChange;

    // The face as drawn now.
    bool Pressed() const { return pressed_; }
    bool Hot() const { return hot_; }
    void WndProc(TMessage& m) override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool KeyDown(WORD& key, TShiftState shift) override;

private:
    TRect FaceRect();
    // The face and frame; returns the rectangle inside them.
    TRect DrawFace();
    void MouseEnter();
    TColor color_ = clWhite;
    TColorDialogOptions options_;
    int margin_ = 1;
    bool showColorDlg_ = false;
    bool flat_ = false;
    bool sticky_ = false;
    bool pressed_ = false;
    bool tracking_ = false;
    bool hot_ = false;
};

void RegisterColorButtonClasses();

}  // namespace treskel

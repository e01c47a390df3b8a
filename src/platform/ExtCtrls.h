// Further controls: panel, bevel, image, paint box, shape and timer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/StdCtrls.h"
#include "platform/UtilityWindow.h"

namespace treskel {

// How a bevel of a panel is cut: bvSpace takes the room of a bevel in the
// panel's own colour.
enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
TRESKEL_ENUM_INFO(TPanelBevel, "bvNone", "bvLowered", "bvRaised", "bvSpace")

// Draws `width` rings of a three-dimensional frame just inside `r` and
// moves `r` inside them: top and left in `topColor`, bottom and right in
// `bottomColor`.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// A container that draws its own frame (outer bevel, a border in its
// colour, inner bevel) and a caption in the middle.
class TCustomPanel : public TCustomControl {
    TRESKEL_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel b);
    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel b);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int w);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int w);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void Paint() override;
    void AdjustClientRect(TRect& rect) override;
    // Width of the whole frame inside the window's client area.
    int FrameWidth() const;

private:
    void FrameChanged();
    TAlignment alignment_ = TAlignment::taCenter;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::bsNone;
};

class TPanel : public TCustomPanel {
    TRESKEL_CLASS(TPanel)
public:
    using TCustomPanel::TCustomPanel;
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
TRESKEL_ENUM_INFO(TBevelShape, "bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine",
                  "bsSpacer")
enum class TBevelStyle { bsLowered, bsRaised };
TRESKEL_ENUM_INFO(TBevelStyle, "bsLowered", "bsRaised")

// A windowless box, frame or line in the 3-D colours.
class TBevel : public TGraphicControl {
    TRESKEL_CLASS(TBevel)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

// Shows a picture: at its own size in the corner or the middle, or
// stretched over the control.
class TImage : public TGraphicControl {
    TRESKEL_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    TPicture* Picture() { return picture_.get(); }
    void SetPicture(TPicture* p) { picture_->Assign(p); }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Where the picture is drawn, in client coordinates.
    TRect DestRect();

protected:
    void Paint() override;
    void Loaded() override;
    void AdjustSize() override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
};

// A windowless area its owner paints in OnPaint.
class TPaintBox : public TGraphicControl {
    TRESKEL_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* owner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
TRESKEL_ENUM_INFO(TShapeType, "stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle")

// A windowless geometric shape outlined with its pen and filled with its brush.
class TShape : public TGraphicControl {
    TRESKEL_CLASS(TShape)
public:
    explicit TShape(TComponent* owner);
    TPen* Pen() { return &pen_; }
    void SetPen(TPen* p) { pen_.Assign(p); }
    TBrush* Brush() { return &brush_; }
    void SetBrush(TBrush* b) { brush_.Assign(b); }
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType s);

protected:
    void Paint() override;

private:
    TPen pen_;
    TBrush brush_;
    TShapeType shape_ = TShapeType::stRectangle;
};

// Fires OnTimer every Interval milliseconds while enabled, from the
// message loop (WM_TIMER of a hidden window).
class TTimer : public TComponent {
    TRESKEL_CLASS(TTimer)
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    int Interval() const { return interval_; }
    void SetInterval(int ms);
    TNotifyEvent OnTimer;

private:
    void UpdateTimer();
    bool enabled_ = true;
    int interval_ = 1000;
    UtilityTimer timer_;
};

}  // namespace treskel

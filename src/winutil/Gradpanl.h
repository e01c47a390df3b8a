// A panel that paints a horizontal colour gradient, from BeginColor at its
// left edge to EndColor at its right edge, in 256 bands, with its caption
// on top at the left; its bevels and background are never drawn.
#pragma once

#include <array>

#include "platform/ExtCtrls.h"

namespace treskel {

class TgradientPanel : public TCustomPanel {
    TRESKEL_CLASS(TgradientPanel)
public:
    explicit TgradientPanel(TComponent* owner);

    TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(TColor c);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor c);

    // The number of colour steps.
    static constexpr int kSteps = 255;
    // Entry i: each channel of BeginColor moved by MulDiv(i, difference,
    // kSteps - 1), taken modulo 256; system colours resolved.
    std::array<COLORREF, 256> BuildColorTable() const;

protected:
    void Paint() override;

private:
    TColor beginColor_ = clBtnShadow;
    TColor endColor_ = static_cast<TColor>(0xC0C0C0);
};

void RegisterGradientPanelClasses();

}  // namespace treskel

// A windowed container whose scroll bars follow the extent of its
// children; scrolling moves the children.
#pragma once

#include "platform/Controls.h"

namespace treskel {

class TScrollBox;

// One scroll bar of a scroll box: how far the contents are scrolled along
// it and how far they reach.
class TControlScrollBar : public TPersistent {
    TRESKEL_CLASS(TControlScrollBar)
public:
    TControlScrollBar(TScrollBox* box, int bar) : box_(box), bar_(bar) {}
    int Position() const { return position_; }
    // Scrolls to `p`, held between 0 and Range less the visible part.
    void SetPosition(int p);
    // How far the children reach along this bar, unscrolled.
    int Range() const { return range_; }
    // Whether dragging the thumb scrolls at once, not only on release.
    bool Tracking() const { return tracking_; }
    void SetTracking(bool t) { tracking_ = t; }
    // Whether the bar is shown (the children reach past the client area).
    bool IsScrollBarVisible() const { return shown_; }

private:
    friend class TScrollBox;
    int MaxPosition() const { return range_ > page_ ? range_ - page_ : 0; }
    void Update(int range, int page, bool shown);
    void ScrollMessage(WPARAM wParam);
    TScrollBox* box_;
    int bar_;
    int position_ = 0, range_ = 0, page_ = 0;
    bool tracking_ = false, shown_ = false;
};

class TScrollBox : public TWinControl {
    TRESKEL_CLASS(TScrollBox)
public:
    explicit TScrollBox(TComponent* owner);
    TControlScrollBar* HorzScrollBar() { return &horz_; }
    TControlScrollBar* VertScrollBar() { return &vert_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle s);
    // Moves every child by (-dx, -dy).
    void ScrollBy(int dx, int dy);
    void WndProc(TMessage& m) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void AlignControls(TControl* control, TRect& rect) override;

private:
    friend class TControlScrollBar;
    void UpdateScrollBars();
    TControlScrollBar horz_{this, SB_HORZ}, vert_{this, SB_VERT};
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool updating_ = false;
};

void RegisterScrollBoxClasses();

}  // namespace treskel

// Caption-bar buttons: a component on a form that paints the form's caption
// (solid or as gradient bands), its icon, the system buttons and a row of
// small push buttons of its own, and reports clicks on those buttons.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Handles.h"
#include "platform/Menus.h"
#include "platform/SysUtils.h"
#include "winutil/SubCls.h"

namespace treskel {

class ECaptionError : public Exception {
public:
    using Exception::Exception;
};

enum class TCaptionButtonKind {
    cbkCustom, cbkOk, cbkRollUp, cbkRollDown, cbkDocument, cbkFolder, cbkWindow, cbkMail,
    cbkDownArrow, cbkUpArrow, cbkLeftArrow, cbkRightArrow, cbkMore, cbkFlag, cbkCool, cbkInfo
};
TRESKEL_ENUM_INFO(TCaptionButtonKind, "cbkCustom", "cbkOk", "cbkRollUp", "cbkRollDown", "cbkDocument", "cbkFolder",
                  "cbkWindow", "cbkMail", "cbkDownArrow", "cbkUpArrow", "cbkLeftArrow", "cbkRightArrow", "cbkMore",
                  "cbkFlag", "cbkCool", "cbkInfo")
enum class TCaptionGradient { cgNone, cgActive, cgAlways };
TRESKEL_ENUM_INFO(TCaptionGradient, "cgNone", "cgActive", "cgAlways")
enum class TDirection { dirLeft, dirRight };
TRESKEL_ENUM_INFO(TDirection, "dirLeft", "dirRight")

class TCustomCaptionControl;

class TCaptionButton : public TCollectionItem {
    TRESKEL_CLASS(TCaptionButton)
public:
    explicit TCaptionButton(TCollection* collection) : TCollectionItem(collection) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Pushed() const { return pushed_; }
    void SetPushed(bool v);
    TCaptionButtonKind Kind() const { return kind_; }
    void SetKind(TCaptionButtonKind v);
    void Assign(TPersistent* source) override;
    bool IsSeparator() const { return caption_ == "-"; }
    // Draws the face on the caption control's canvas.
    virtual void Draw(const TRect& rect);

private:
    template <class T>
    void Set(T& field, const T& v) {
        if (field == v) return;
        field = v;
        Changed(false);
    }
    std::string caption_;
    bool enabled_ = true, visible_ = true, pushed_ = false;
    TCaptionButtonKind kind_ = TCaptionButtonKind::cbkCustom;
};

class TCaptionButtons : public TCollection {
    TRESKEL_CLASS(TCaptionButtons)
public:
    explicit TCaptionButtons(TCustomCaptionControl* control);
    TCaptionButton* Items(int i) const { return static_cast<TCaptionButton*>(TCollection::Items(i)); }
    TCaptionButton* Add() { return static_cast<TCaptionButton*>(TCollection::Add()); }
    TCustomCaptionControl* Owner() const { return control_; }

protected:
    void Update(TCollectionItem* item) override;

private:
    TCustomCaptionControl* control_;
};

class TCaptionColors : public TPersistent {
    TRESKEL_CLASS(TCaptionColors)
public:
    explicit TCaptionColors(TCustomCaptionControl* control);
    TColor Color(int index) const { return colors_[index]; }
    void SetColor(int index, TColor c);
    void Assign(TPersistent* source) override;
    TColor ActiveStart() const { return colors_[0]; }
    void SetActiveStart(TColor c) { SetColor(0, c); }
    TColor ActiveEnd() const { return colors_[1]; }
    void SetActiveEnd(TColor c) { SetColor(1, c); }
    TColor InactiveStart() const { return colors_[2]; }
    void SetInactiveStart(TColor c) { SetColor(2, c); }
    TColor InactiveEnd() const { return colors_[3]; }
    void SetInactiveEnd(TColor c) { SetColor(3, c); }
    TColor CaptionText() const { return colors_[4]; }
    void SetCaptionText(TColor c) { SetColor(4, c); }
    TColor InactiveCaptionText() const { return colors_[5]; }
    void SetInactiveCaptionText(TColor c) { SetColor(5, c); }
    static constexpr std::array<TColor, 6> Defaults = {clBlack, clActiveCaption, clBlack, clInactiveCaption,
                                                       clCaptionText, clInactiveCaptionText};

private:
    TCustomCaptionControl* control_;
    std::array<TColor, 6> colors_ = Defaults;
};

using TDrawCaptionEvent =
    std::function<void(TObject* Sender, std::string& CaptionText, TCanvas* Canvas, const TRect& Rect, bool& Drawn)>;
using TCaptionButtonDrawEvent =
    std::function<void(TObject* Sender, int ButtonIndex, TCanvas* Canvas, const TRect& Rect, bool& Drawn)>;
using TCaptionButtonClickEvent = std::function<void(TObject* Sender, int ButtonIndex, bool& Pushed)>;

class TCustomCaptionControl : public TComponent {
    TRESKEL_CLASS(TCustomCaptionControl)
public:
    explicit TCustomCaptionControl(TComponent* owner);
    ~TCustomCaptionControl() override;

    TCaptionColors* CaptionColors() const { return colors_.get(); }
    void SetCaptionColors(TCaptionColors* v) { colors_->Assign(v); }
    TCaptionGradient CaptionGradient() const { return gradient_; }
    void SetCaptionGradient(TCaptionGradient v);
    bool ShowButtons() const { return showButtons_; }
    void SetShowButtons(bool v);
    TDirection ButtonsDirection() const { return direction_; }
    void SetButtonsDirection(TDirection v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    TCaptionButtons* Buttons() const { return buttons_.get(); }
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* v);
    int ColorBands() const { return colorBands_; }
    void SetColorBands(int v);
    TDrawCaptionEvent OnDrawCaption;
    TCaptionButtonDrawEvent OnButtonDraw;
    TCaptionButtonClickEvent OnButtonClick;

    virtual void DoDrawCaption(std::string& text, TCanvas* canvas, TRect rect, bool& drawn);
    virtual void DoButtonDraw(int index, TCanvas* canvas, TRect rect, bool& drawn);
    virtual void DoButtonClick(int index, bool& pushed);
    void UpdateCaption();
    // The gradient tables are rebuilt and the caption repainted.
    void ColorsChanged();
    void DrawGlyph(HDC dc, int glyph, bool enabled, TPoint at) const;
    // What the caption is drawn on while it is painted.
    TCanvas* Canvas() const { return canvas_.get(); }

    // Window coordinates of the caption bar; empty without one.
    TRect GetCaptionRect() const;
    // The button at a point in window coordinates, or -1.
    int ButtonAtPoint(TPoint p) const;
    // Where button `index` was last drawn, in window coordinates.
    TRect ButtonRect(int index) const;
    // Entry `i` of the gradient table of the active (1) or inactive (0) state.
    TColor GradientColor(int table, int i) const { return tables_[table][i]; }
    int HeldButton() const { return held_; }
    // Whether the caption shows the form active.
    bool FormActive() const { return active_; }

    void BeforeFormMessage(TMessage& m);
    void AfterFormMessage(TMessage& m);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void BuildColorTables();
    void UpdateCaptionFont();
    void PaintCaption(HDC windowDC);
    void PaintButtons(HDC dc, TRect& caption);
    void PaintCaptionText(HDC dc, TRect rect);
    TPoint WindowPoint(LPARAM screenPos) const;
    TPoint ClientToWindowPoint(LPARAM clientPos) const;
    bool IsTool() const;
    bool Designing() const { return ComponentState().Contains(TComponentStateItem::csDesigning); }
    void OnMouseDown(TMessage& m);
    void OnMouseUp(TMessage& m);
    void BeginNcPaint(TMessage& m);
    void EndNcPaint();

    TCustomForm* form_;
    std::unique_ptr<TCaptionButtons> buttons_;
    std::unique_ptr<TCaptionColors> colors_;
    TCaptionGradient gradient_ = TCaptionGradient::cgNone;
    bool showButtons_ = true, enabled_ = true;
    TDirection direction_ = TDirection::dirRight;
    TPopupMenu* popupMenu_ = nullptr;
    int colorBands_ = 64;
    std::array<std::array<TColor, 256>, 2> tables_{};
    GdiHandle<HFONT> font_;
    int buttonWidth_ = 0;
    int held_ = -1;
    bool pressedLook_ = false, active_ = false, maximized_ = false, rightDown_ = false, captured_ = false;
    int buttonsStart_ = 0;
    TRect captionRect_{};  // where the caption bitmap went, window coordinates
    std::vector<TRect> buttonRects_;  // caption-bitmap coordinates
    ImageListHandle images_, disabled_;
    std::unique_ptr<TCanvas> canvas_;
    // The non-client paint in progress: the form's window DC and the clip
    // region handed on to the form, when this control made it.
    WindowDC ncDC_;
    GdiHandle<HRGN> ncRegion_;
    struct Hook : TControlSubclass {
        TCustomCaptionControl* control = nullptr;
        void BeforeWndProc(TMessage& m) override {
            if (control != nullptr) control->BeforeFormMessage(m);
        }
        void AfterWndProc(TMessage& m) override {
            if (control != nullptr) control->AfterFormMessage(m);
        }
    };
    Hook hook_;
};

class TCaptionControl : public TCustomCaptionControl {
    TRESKEL_CLASS(TCaptionControl)
public:
    using TCustomCaptionControl::TCustomCaptionControl;
};

// DrawFrameControl as the caption bar wants it: glyphs in solid colours.
void DrawCaptionFrameControl(HDC dc, const RECT& r, UINT type, UINT state);

void RegisterCaptionControlClasses();

}  // namespace treskel

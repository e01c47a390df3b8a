// The speed button of the window utilities and its glyph painter: a
// windowless push button with a glyph and a caption, flat or framed, that
// repeats its clicks while held, drops down a menu and latches in a group.
// The per-state images of its glyph live in image lists shared by every
// button whose images have the same size.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "winutil/WuCtrlsLayout.h"

namespace treskel {

// Sent to the buttons of a parent when one of a group is pressed:
// wParam the group, lParam the button.
namespace wu {
inline constexpr UINT CM_BUTTONPRESSED = 0xB051;
}

// Masked images of one size; a freed slot is reused by the next addition.
class TGlyphList {
public:
    TGlyphList(int width, int height);
    ~TGlyphList();
    TGlyphList(const TGlyphList&) = delete;
    TGlyphList& operator=(const TGlyphList&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    HIMAGELIST Handle() const { return handle_.Get(); }
    // Stores the bitmap with the pixels of `maskColor` transparent; the slot used.
    int AddMasked(TBitmap* image, TColor maskColor);
    // Stores the bitmap transparent where `mask` is white; the slot used.
    int Add(TBitmap* image, TBitmap* mask);
    void Delete(int index);
    int Count() const { return count_; }      // used slots
    int Capacity() const { return static_cast<int>(used_.size()); }
    void Draw(HDC dc, int index, int x, int y) const;

private:
    // The first free slot; the list grows by one when none is.
    int TakeSlot();
    int Store(TBitmap* black, TBitmap* mask);
    int width_, height_;
    ImageListHandle handle_;
    std::vector<bool> used_;
    int count_ = 0;
};

// The image lists of all painters, one per image size.
class TGlyphCache {
public:
    TGlyphList* GetList(int width, int height);
    // Frees the list when it has no used slot.
    void ReturnList(TGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return static_cast<int>(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};

// The process's cache (created on demand), and whether one exists now.
TGlyphCache* GlyphCache();
bool GlyphCacheExists();
// Frees the cache when it holds no list (the last glyph going does this).
void FreeGlyphCacheIfEmpty();

// Turns one glyph bitmap of up to five images into per-state images and
// draws the button's glyph, caption and drop-down mark.
class TWuButtonGlyph {
public:
    TWuButtonGlyph();
    ~TWuButtonGlyph();
    TWuButtonGlyph(const TWuButtonGlyph&) = delete;
    TWuButtonGlyph& operator=(const TWuButtonGlyph&) = delete;

    TBitmap* Glyph() { return glyph_.get(); }
    void SetGlyph(TBitmap* glyph);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    UINT Alignment() const { return alignment_; }  // DT_LEFT, DT_CENTER or DT_RIGHT
    void SetAlignment(UINT a) { alignment_ = a; }
    TColor TransparentColor() const { return transparentColor_; }

    // Drops the images made so far (their slots go back to the list).
    void InvalidateGlyphs();
    // The list slot of a state's image, made when first asked; -1 without a glyph.
    int CreateGlyphImage(TGlyphState state);
    TGlyphList* List() const { return list_; }
    // Draws the glyph of a state at a point; the size drawn.
    TSize DrawGlyph(TCanvas* canvas, TPoint at, TGlyphState state);
    // Lays out and draws glyph, caption and mark; the caption's rectangle.
    TRect DrawButton(TCanvas* canvas, const TRect& rect, const std::string& caption, TButtonLayout layout, int margin,
                     int spacing, TGlyphState state, bool drawMark);

    TNotifyEvent OnChange;

private:
    void GlyphChanged();
    void DrawButtonText(TCanvas* canvas, const std::string& caption, const TRect& bounds, TGlyphState state);
    void DrawDropDownMark(TCanvas* canvas, int x, int y, TGlyphState state);
    TSize GlyphSize() const;

    std::unique_ptr<TBitmap> glyph_;
    TGlyphList* list_ = nullptr;
    int indexes_[5] = {-1, -1, -1, -1, -1};
    TColor transparentColor_ = clFuchsia;
    int numGlyphs_ = 1;
    bool wordWrap_ = false;
    UINT alignment_ = DT_CENTER;
};

class TWuRepeatTimer;

class TWuSpeedButton : public TGraphicControl {
    TRESKEL_CLASS(TWuSpeedButton)
public:
    explicit TWuSpeedButton(TComponent* owner);
    ~TWuSpeedButton() override;

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment a);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    bool AllowTimer() const { return allowTimer_; }
    void SetAllowTimer(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
    void SetDropDownMenu(TPopupMenu* menu);
    TWuDropDownMenuPos MenuPosition() const { return menuPosition_; }
    void SetMenuPosition(TWuDropDownMenuPos p) { menuPosition_ = p; }
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    TBitmap* Glyph() { return painter_.Glyph(); }
    void SetGlyph(TBitmap* glyph);
    bool GrayedInactive() const { return grayedInactive_; }
    void SetGrayedInactive(bool v);
    int InitPause() const { return initPause_; }
    void SetInitPause(int ms) { initPause_ = ms & 0xFFFF; }
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l);
    int Margin() const { return margin_; }
    void SetMargin(int v);
    bool MarkDropDown() const { return markDropDown_; }
    void SetMarkDropDown(bool v);
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int r) { modalResult_ = r; }
    int NumGlyphs() const { return painter_.NumGlyphs(); }
    void SetNumGlyphs(int n);
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms) { repeatInterval_ = ms & 0xFFFF; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TButtonStyle Style() const { return style_; }
    void SetStyle(TButtonStyle s);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    bool WordWrap() const { return painter_.WordWrap(); }
    void SetWordWrap(bool v);

    TGlyphState FaceState() const { return face_; }
    bool MouseInside() const { return mouseInside_; }
    TWuButtonGlyph& Painter() { return painter_; }
    // The repeat timer's interval while it runs, 0 while it does not.
    int RepeatTimerInterval() const;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    void Click() override;
    void DblClick() override;
    void Loaded() override;
    // The glyph's palette (0 without one).
    HPALETTE GetPalette() override;
    void WndProc(TMessage& m) override;
    void ActionChange(TBasicAction* sender, bool checkDefaults) override;
    // A tick of the repeat timer: clicks while the button is held down.
    void RepeatTimerTick();
    // Pops the drop-down menu up at a point of the button; true when it showed.
    bool DropDownPopup(TPoint at, bool forced);
    TPoint GetDropDownPoint();
    void CheckMouseInside();

protected:
    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void PaintGlyph(TCanvas* canvas, const TRect& rect, bool drawMark, TGlyphState state);
    TRect PaintFrame(TCanvas* canvas, TRect rect, bool pressed);

private:
    bool Inside(int x, int y) { return x >= 0 && x < ClientWidth() && y >= 0 && y < ClientHeight(); }
    void FinishPress(TMouseButton button, int x, int y);
    void UpdateExclusive();
    void StopTimer();
    void PrepareGlyph();
    bool NewStyle() const;

    TWuButtonGlyph painter_;
    std::unique_ptr<TBitmap> buffer_;
    std::unique_ptr<TWuRepeatTimer> timer_;
    GdiHandle<HPALETTE> palette_;
    TGlyphState face_ = TGlyphState::gsUp;
    TAlignment alignment_ = TAlignment::taCenter;
    bool allowAllUp_ = false;
    bool allowTimer_ = false;
    int groupIndex_ = 0;
    bool down_ = false;
    TPopupMenu* dropDownMenu_ = nullptr;
    TWuDropDownMenuPos menuPosition_ = TWuDropDownMenuPos::dmpBottom;
    bool flat_ = false;
    bool grayedInactive_ = true;
    int initPause_ = 500;
    TButtonLayout layout_ = TButtonLayout::blGlyphTop;
    int margin_ = -1;
    bool markDropDown_ = true;
    int modalResult_ = 0;
    int repeatInterval_ = 100;
    int spacing_ = 1;
    TButtonStyle style_ = TButtonStyle::bsAutoDetect;
    bool transparent_ = false;
    bool dragging_ = false;
    bool mouseInside_ = false;
    bool menuTracking_ = false;
};

// The screen cursors of the window utilities: a pointing hand and a dragged item.
inline constexpr TCursor crWuHand = 14000, crWuDrag = 14001;
void RegisterWuCursors();

// Registers the speed button (and the bitmap data its glyph is stored as)
// and the cursors.
void RegisterWinUtilControlClasses();

}  // namespace treskel

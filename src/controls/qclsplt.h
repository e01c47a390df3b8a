// The splitter panel: a bevelled panel holding up to four panes laid out
// around bars that the user drags.  Each bar keeps its place as a
// percentage of the room it moves in; pane order, visibility and the bars
// are kept in a settings store.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/qclspltRules.h"
#include "controls/qclstdcS.h"
#include "foundation/qclnonvS.h"

namespace treskel {

class TQclSplitterPanel;

using TQclSplitterPanelEvent = std::function<void(TObject* Sender, int BarIndex)>;
using TQclIniCtrlEvent = std::function<void(TObject* Sender, TQclIniCtrl* aIniCtrl, const std::string& Section)>;

// One bar between panes.
class TQclSplitterBarItem : public TCollectionItem {
    TRESKEL_CLASS(TQclSplitterBarItem)
public:
    explicit TQclSplitterBarItem(TCollection* collection);
    void Assign(TPersistent* source) override;

    TQclBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TQclBorderStyle v);
    // Pixels from the inner edge; -1 until the panel places the bar.
    int Position() const { return n_.position; }
    void SetPosition(int v);
    TQclPercent PosPercent() const { return n_.percent; }
    void SetPosPercent(int v);
    int Min() const { return n_.min; }
    void SetMin(int v);
    int Max() const { return n_.max; }
    void SetMax(int v);
    bool Locked() const { return locked_; }
    void SetLocked(bool v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);

    int Extent() const { return n_.extent; }
    void SetExtent(int v) { n_.extent = v; }
    bool Horizontal() const { return horizontal_; }
    void SetHorizontal(bool v) { horizontal_ = v; }
    bool Dragging() const { return n_.dragging; }
    void SetDragging(bool v) { n_.dragging = v; }
    int DragPos() const { return dragPos_; }
    void SetDragPos(int v) { dragPos_ = v; }
    TQclSplitterPanel* Panel() const { return panel_; }
    void SetPanel(TQclSplitterPanel* p) { panel_ = p; }
    const TQclBarNumbers& Numbers() const { return n_; }

    // Brings position and percentage into step (see QclUpdateBarPosition).
    void UpdatePosition(bool fromPercent);

    TNotifyEvent OnChange;

private:
    void Recompute();
    TQclBorderStyle borderStyle_ = TQclBorderStyle::lsNone;
    TQclBarNumbers n_;
    bool locked_ = false;
    TColor color_ = clBtnFace;
    int width_ = 3;
    bool horizontal_ = false;
    int dragPos_ = 0;
    TQclSplitterPanel* panel_ = nullptr;
};

class TQclSplitterBarItems : public TCollection {
    TRESKEL_CLASS(TQclSplitterBarItems)
public:
    explicit TQclSplitterBarItems(TQclSplitterPanel* panel);
    TQclSplitterPanel* GetOwner() const { return panel_; }
    TQclSplitterBarItem* Bar(int index) const { return static_cast<TQclSplitterBarItem*>(Items(index)); }

protected:
    void Update(TCollectionItem* item) override;

private:
    TQclSplitterPanel* panel_;
};

// A pane: a scroll box whose bounds the panel sets.
class TQclSplitterPane : public TQclScrollBox {
    TRESKEL_CLASS(TQclSplitterPane)
public:
    explicit TQclSplitterPane(TComponent* owner);
    ~TQclSplitterPane() override;
    int PaneIndex() const { return paneIndex_; }
    void SetPaneIndex(int v) { paneIndex_ = v; }
    TQclSplitterPanel* Panel() const;
    // A pane read from a layout inside a splitter panel joins it.
    void SetParentComponent(TComponent* parent) override;
    void WndProc(TMessage& m) override;

private:
    int paneIndex_ = -1;
};

class TQclSplitterPanel : public TQclCustomBevelPanel {
    TRESKEL_CLASS(TQclSplitterPanel)
public:
    explicit TQclSplitterPanel(TComponent* owner);
    ~TQclSplitterPanel() override;

    bool InstantUpdate() const { return instantUpdate_; }
    void SetInstantUpdate(bool v) { instantUpdate_ = v; }
    TQclSplitterBarItems* Bars() { return bars_.get(); }
    void SetBars(TQclSplitterBarItems* v) { bars_->Assign(v); }
    TQclSplitterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TQclSplitterOrientation v);
    TQclIniCtrl* IniLink() const { return iniLink_; }
    void SetIniLink(TQclIniCtrl* v);
    TQclIniUse IniUse() const { return iniUse_; }
    void SetIniUse(TQclIniUse v) { iniUse_ = v; }
    TQclSplitterIniSaveOptions IniSaveOptions() const { return iniSaveOptions_; }
    void SetIniSaveOptions(TQclSplitterIniSaveOptions v) { iniSaveOptions_ = v; }
    const std::string& Section() const { return section_; }
    void SetSection(const std::string& v) { section_ = v; }
    const std::string& IniKey() const { return iniKey_; }
    void SetIniKey(const std::string& v) { iniKey_ = v; }

    // The panes in layout order; -1 from AddPane when four are there.
    int AddPane(TQclSplitterPane* pane);
    void RemovePane(TQclSplitterPane* pane);
    int PaneCount() const { return static_cast<int>(panes_.size()); }
    TQclSplitterPane* GetPane(int index) const;
    int VisiblePaneCount() const;
    TQclSplitterPane* GetVisiblePane(int index) const;
    // Bars in use: one fewer than the visible panes.
    int BarCount() const { return std::max(VisiblePaneCount() - 1, 0); }
    TQclSplitterBarItem* Bar(int index) const { return bars_->Bar(index); }
    int BevelExt() const { return bevelExt_; }

    void GetBarRect(int index, TRect& rect);
    void UpdateAll();
    void UpdateBarDirections();
    void UpdateBarExtents();
    void PaintBar(int index);
    bool IsUpdating() const { return updating_; }
    bool IsDragging() const { return dragging_; }

    virtual void LoadData();
    virtual void SaveData();
    void LoadFromIni(TQclIniCtrl* ini);
    void SaveToIni(TQclIniCtrl* ini);

    void ReadState() override;
    void Loaded() override;
    void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
    void ObjectChanged(TObject* sender) override;
    void WndProc(TMessage& m) override;

    TQclSplitterPanelEvent OnSplitChange;
    TQclIniCtrlEvent OnIniReadData;
    TQclIniCtrlEvent OnIniWriteData;

protected:
    void AlignControls(TControl* control, TRect& rect) override;
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TQclSplitterGeometry Geometry();
    bool SetSplitCursor();
    TPoint ClampDragPoint(TPoint p);
    void DrawDragFeedback();
    // Saves once, however the panel's teardown begins.
    void SaveOnce();
    void WriteStore(TQclIniCtrl* ini);

    std::vector<TQclSplitterPane*> panes_;
    std::unique_ptr<TQclSplitterBarItems> bars_;
    bool instantUpdate_ = false;
    TQclSplitterOrientation orientation_ = TQclSplitterOrientation::spVertRight;
    TQclIniCtrl* iniLink_ = nullptr;
    TQclIniUse iniUse_ = TQclIniUse::ioNone;
    TQclSplitterIniSaveOptions iniSaveOptions_{TQclSplitterIniSaveOption::ssOrderVisible,
                                               TQclSplitterIniSaveOption::ssPosition};
    std::string section_ = "Common";
    std::string iniKey_ = "SplitPanel";
    int bevelExt_ = 0;
    TPoint lastHit_, dragStart_, dragCurrent_;
    bool dragging_ = false;
    bool updating_ = false;
    bool saved_ = false;
    bool painting_ = false;
    bool aligning_ = false;
};

void RegisterSplitterClasses();

}  // namespace treskel

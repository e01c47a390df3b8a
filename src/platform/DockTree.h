// The dock manager of a dock site with UseDockManager: the controls docked
// there share its client area in zones, split side by side or one above
// the other where each was dropped, with a bar between two zones that the
// mouse moves; every zone has a grabber on top, by which its control is
// dragged out again, with a button that hides it.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/Controls.h"

namespace treskel {

class TDockTree {
public:
    explicit TDockTree(TWinControl* site);
    ~TDockTree();
    TDockTree(const TDockTree&) = delete;
    TDockTree& operator=(const TDockTree&) = delete;

    // Gives `control` a zone: beside `dropOn`'s on its `align` side, or
    // (without one) the whole site when it is empty, else a zone to the
    // right of all the others.
    void InsertControl(TControl* control, TAlign align, TControl* dropOn);
    void RemoveControl(TControl* control);
    // Where `control` would go (screen coordinates) if dropped so.
    TRect PositionDockRect(TControl* control, TControl* dropOn, TAlign align);
    // The docked control whose zone holds a point of the site's client area.
    TControl* ClientAt(TPoint pos);
    // Lays the zones out in the site's client area and gives each control
    // the room below its grabber; hidden controls take none.
    void ResetBounds();
    void PaintSite(HDC dc);
    // A press on a grabber drags its control out; a click on its button
    // hides it; a bar between zones follows the mouse.  True when the
    // message was the manager's.
    bool HandleMessage(TMessage& m);

    static constexpr int kGrabberSize = 12, kBarSize = 4;

private:
    struct Zone;
    // The bar between two neighbouring zones of one row.
    struct Bar {
        Zone* before;
        Zone* after;
        bool sideBySide;
        TRect rect;
    };
    const Bar* BarAt(TPoint pos) const;
    void MoveBar(TPoint pos);
    Zone* FindZone(Zone* zone, TControl* control);
    void Layout(Zone* zone, const TRect& rect);
    bool ZoneVisible(const Zone* zone) const;
    void PaintZone(HDC dc, const Zone* zone);
    // The leaf whose grabber holds a point, and whether it is on its button.
    Zone* GrabberAt(Zone* zone, TPoint pos, bool& onButton);
    TRect ButtonRect(const TRect& zoneRect) const;

    TWinControl* site_;
    std::unique_ptr<Zone> root_;
    Zone* pressed_ = nullptr;  // a zone whose button is held down
    std::vector<Bar> bars_;
    std::unique_ptr<Bar> moving_;  // the bar the mouse holds
    int grab_ = 0;                 // where in it
};

}  // namespace treskel

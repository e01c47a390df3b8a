// What the control files (windowless, windowed, drag and drop, alignment)
// share and nobody else needs: the mouse, capture and drag state of the
// program, and the ids that bind child windows to their objects.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "platform/Controls.h"

namespace treskel::ctl {

// The control whose window is being created (bound by its creation notice).
extern thread_local TWinControl* creatingControl;
extern TControl* captureControl;  // a windowless control holding the mouse
extern TControl* mouseControl;    // the control under the mouse
extern TDragObject* dragObject;   // the drag in progress, if any
extern TControl* dragControl;     // the control being dragged, if any
extern std::map<WORD, TWinControl*> controlIds;
extern WORD nextControlId;

// Every control whose DockSite is set.
extern std::vector<TWinControl*> dockSites;
// The dock site a control dragged to a point of the screen docks into.
TWinControl* FindDockSite(TControl* client, TPoint pos);
// Moves and sizes a top-level window so that its client area lies at
// `screenRect`.
void PlaceClientArea(TWinControl* window, const TRect& screenRect);

// The key of the attachment that binds a control object to its window.
constexpr UINT_PTR kControlKey = 1;

HINSTANCE Instance();
TShiftState MouseShift(WPARAM keys);
// The control under the mouse changed: tell the old one, the new one and
// the application (hints).
void SetMouseControl(TControl* control);

}  // namespace treskel::ctl

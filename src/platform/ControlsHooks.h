// What the controls need from the layers beside them (application, screen,
// menus), reached through hooks those layers install, so that the control
// unit depends on none of them.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>

#include "platform/Types.h"

namespace treskel {

class TControl;
class TWinControl;

namespace hooks {
// Shows an exception that reached a window procedure (the application's
// error box).
extern std::function<void(std::exception_ptr)> HandleException;
// The handle of a cursor of the screen's table.
extern std::function<HCURSOR(TCursor)> CursorHandle;
// The screen's cursor (crDefault: each control's own).
extern std::function<TCursor()> ScreenCursor;
// A menu command (WM_COMMAND from a menu); true when a menu item took it.
extern std::function<bool(WORD id)> DispatchMenuCommand;
// A pop-up menu is about to open.
extern std::function<void(HMENU menu)> MenuPopupInit;
// The control under the mouse changed (hints).
extern std::function<void(TControl* control)> MouseControlChanged;
// Shows a control's pop-up menu at a point of the screen.
extern std::function<void(TControl* control, TPoint screenPos)> PopupControlMenu;
// Makes the window a control floats in (a tool window the forms make),
// shown with the given client area on the screen.
extern std::function<TWinControl*(TControl* client, const TRect& screenRect)> MakeFloatingHost;
}  // namespace hooks

// Converts an exception on its way out of a callback into a call of the
// application's error handler.
void HandleCallbackException();

}  // namespace treskel

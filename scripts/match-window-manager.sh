#!/usr/bin/env bash
# Tells the Wine prefix (WINEPREFIX) whether a window manager runs on the
# display: Wine's X11 driver, in its managed mode, waits up to two seconds
# for a manager each time a window is hidden, and closing the program hides
# its windows; with no manager running (Xvfb alone, or a display without
# one) the prefix must not be managed.  Changes the registry only when the
# answer differs from the last start's.
set -u
prefix="${WINEPREFIX:?}"
managed=N
if [ -n "${DISPLAY:-}" ] && xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  managed=Y
fi
marker="$prefix/.treskel-managed"
[ "$(cat "$marker" 2>/dev/null)" = "$managed" ] && exit 0
WINEDEBUG=-all wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1 </dev/null &&
  echo "$managed" > "$marker"

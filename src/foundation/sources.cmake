treskel_sources(
  PORTABLE qclclass.cpp qclutils.cpp qclutilsPlace.cpp qclnonvSFont.cpp
  WIN32_BASE qclclassTimerWin.cpp
  POSIX_BASE qclclassPosix.cpp
  WIN32 qclclassWin.cpp qclclassHook.cpp qclutilsWin.cpp qclutilsWnd.cpp qclnonvS.cpp qclsysin.cpp
)
treskel_sources(
  PORTABLE qclgraph.cpp
  WIN32 qclgraphDraw.cpp qclgraphText.cpp qclgraphBitmap.cpp
)
treskel_sources(
  PORTABLE qclprocs.cpp qclwave.cpp qclcont.cpp
  WIN32_BASE qclwaveWin.cpp
  POSIX_BASE qclwavePosix.cpp
)
treskel_sources(
  WIN32 qclprocsWin.cpp qclcontWin.cpp qclcontImage.cpp qclgraphDib.cpp
)

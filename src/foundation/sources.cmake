treskel_sources(
  PORTABLE qclclass.cpp qclutils.cpp qclnonvSFont.cpp
  WIN32_BASE qclclassTimerWin.cpp
  POSIX_BASE qclclassPosix.cpp
  WIN32 qclclassWin.cpp qclutilsWin.cpp qclnonvS.cpp qclsysin.cpp
)

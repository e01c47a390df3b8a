treskel_sources(
  PORTABLE WStrList.cpp RichEdit2Rules.cpp
  WIN32_BASE WStrListWin.cpp
  POSIX_BASE WStrListPosix.cpp
)

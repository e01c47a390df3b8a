treskel_sources(
  PORTABLE SysUtils.cpp Classes.cpp Streams.cpp FileSysCommon.cpp FormLoader.cpp
  WIN32_BASE FileSysWin.cpp
  POSIX_BASE FileSysPosix.cpp
)

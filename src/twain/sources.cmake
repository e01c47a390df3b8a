treskel_sources(
  PORTABLE TwainDib.cpp
  WIN32 TwainLib.cpp TwainLibCaps.cpp TwainLibDib.cpp
)

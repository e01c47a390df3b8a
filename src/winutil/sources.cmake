treskel_sources(
  PORTABLE WuCtrlsLayout.cpp
  WIN32 UiUtils.cpp WuCtrls.cpp WuCtrlsGlyph.cpp
)

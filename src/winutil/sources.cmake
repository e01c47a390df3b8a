treskel_sources(
  PORTABLE WuCtrlsLayout.cpp AppUtilsRules.cpp PlacemntRules.cpp
  WIN32 UiUtils.cpp WuCtrls.cpp WuCtrlsGlyph.cpp Colorbtn.cpp Gradpanl.cpp
  SubCls.cpp WuHook.cpp CapCtrl.cpp CapCtrlMsg.cpp AppUtils.cpp Placemnt.cpp IcoList.cpp WuShell.cpp
)

treskel_sources(
  PORTABLE qclctrl.cpp qclextcSLists.cpp
  WIN32 qclextcS.cpp
)

treskel_sources(
  WIN32 frmMain.cpp RegisterAll.cpp
)

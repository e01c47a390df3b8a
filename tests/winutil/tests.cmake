treskel_test(speedbuttons
  PORTABLE wuctrls_test.cpp
  WIN32 wuctrls_wintest.cpp
  GUI
)
treskel_test(showcase
  WIN32 showcase_wintest.cpp
  GUI
)
treskel_test(winutil
  PORTABLE apputils_test.cpp
  WIN32 winutil_wintest.cpp capctrl_wintest.cpp placemnt_wintest.cpp wushell_wintest.cpp
  GUI
)
treskel_test(colourbuttons
  WIN32 colorbtn_wintest.cpp
  GUI
)

treskel_test(combos
  PORTABLE qclextcs_test.cpp
  WIN32 qclextcs_wintest.cpp
  GUI
)
treskel_test(qclbuttons
  PORTABLE qclbtn_test.cpp
  WIN32 qclbtn_wintest.cpp
  GUI
)
treskel_test(qclpanels
  WIN32 qclctrl_wintest.cpp qclgroup_wintest.cpp qclshowcase_wintest.cpp
  GUI
)
treskel_test(qclforms
  PORTABLE qclforma_test.cpp qclsplt_test.cpp qcldlgs_test.cpp
  WIN32 qclforma_wintest.cpp qclsplt_wintest.cpp qclimage_wintest.cpp qcldlgs_wintest.cpp
  GUI
)
treskel_test(published
  WIN32 published_wintest.cpp docking_wintest.cpp
  GUI
)

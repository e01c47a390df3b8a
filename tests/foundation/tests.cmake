treskel_test(drawing
  PORTABLE drawing_test.cpp
  WIN32 drawing_wintest.cpp
  GUI
)
treskel_test(foundation
  PORTABLE qclutils_test.cpp qclplace_test.cpp qclfontstr_test.cpp qcltimer_test.cpp qclprocs_test.cpp qclcont_test.cpp
  WIN32 qclcont_wintest.cpp qclnonvs_wintest.cpp qclapp_wintest.cpp qclsysin_wintest.cpp oneinstance_wintest.cpp
  GUI
)

treskel_test(richedit
  PORTABLE wstrlist_test.cpp richrules_test.cpp
  WIN32 richedit_wintest.cpp
  GUI
)

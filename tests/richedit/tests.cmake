treskel_test(richedit
  PORTABLE wstrlist_test.cpp richrules_test.cpp pararules_test.cpp
  WIN32 richedit_wintest.cpp richole_wintest.cpp paragraphs_wintest.cpp streaming_wintest.cpp
  GUI
)
# The 1.0 fall-back in a program of its own: it switches wide windows off.
treskel_test(richedit10
  WIN32 richedit10_wintest.cpp
  GUI
)

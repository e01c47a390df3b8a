treskel_test(drawing
  PORTABLE drawing_test.cpp
)
treskel_test(foundation
  PORTABLE qclutils_test.cpp qclfontstr_test.cpp qcltimer_test.cpp
)

treskel_test(richedit
  PORTABLE wstrlist_test.cpp richrules_test.cpp
)

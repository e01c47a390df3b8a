treskel_test(compress
  PORTABLE lh5_test.cpp lh5_lhasa_test.cpp lh5_golden_test.cpp
)

treskel_test(drawing
  PORTABLE drawing_test.cpp
)

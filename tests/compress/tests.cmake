treskel_test(compress
  PORTABLE lh5_test.cpp lh5_lhasa_test.cpp lh5_golden_test.cpp
)
# The compressor and the progress bar of a layout, under Wine.
treskel_test(compressbar
  WIN32 lh5_progress_wintest.cpp
  GUI
)

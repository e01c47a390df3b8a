treskel_test(preview
  PORTABLE preview_geometry_test.cpp rtf_parts_test.cpp
  WIN32 prevprinter_wintest.cpp prevform_wintest.cpp prevkeys_wintest.cpp ../platform/TestPrinter.cpp
  GUI
)

treskel_test(appformats
  PORTABLE crc32_test.cpp rtfpack_test.cpp itemdata_test.cpp treefile_test.cpp archive_test.cpp notefile_test.cpp
           treskelnames_test.cpp
)
treskel_test(mainwindow
  WIN32 MainWindowTest.cpp mainwindow_wintest.cpp
  GUI
)
treskel_test(appitems
  WIN32 MainWindowTest.cpp items_wintest.cpp
  GUI
)

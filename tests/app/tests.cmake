treskel_test(appformats
  PORTABLE crc32_test.cpp rtfpack_test.cpp itemdata_test.cpp treefile_test.cpp archive_test.cpp notefile_test.cpp
           treskelnames_test.cpp
)
treskel_test(mainwindow
  WIN32 MainWindowTest.cpp mainwindow_wintest.cpp
  GUI
)
treskel_test(appeditor
  WIN32 MainWindowTest.cpp editor_wintest.cpp
  GUI
)
# A stand-in browser for the address clicks of the editor tests.
if(TRESKEL_WIN32)
  add_executable(browserstub WIN32 ${CMAKE_CURRENT_LIST_DIR}/browserstub.cpp)
  treskel_warnings(browserstub)
  add_dependencies(appeditor_wintests browserstub)
endif()
treskel_test(appitems
  WIN32 MainWindowTest.cpp items_wintest.cpp
  GUI
)
treskel_test(apptree
  WIN32 MainWindowTest.cpp tree_wintest.cpp
  GUI
)

# The main-window fixture, compiled once for the programs below.
if(TRESKEL_WIN32)
  add_library(mainwindow_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/MainWindowTest.cpp)
  treskel_test_flags(mainwindow_fixture)
  target_precompile_headers(mainwindow_fixture REUSE_FROM treskel_testpch)
endif()
treskel_test(mainwindow
  WIN32 mainwindow_wintest.cpp session_wintest.cpp datafolder_wintest.cpp
  GUI
)
treskel_test(appeditor
  WIN32 editor_wintest.cpp letters_wintest.cpp toolbars_wintest.cpp findcaret_wintest.cpp printing_wintest.cpp
        ../platform/TestPrinter.cpp
  GUI
)
# A stand-in browser for the address clicks of the editor tests.
if(TRESKEL_WIN32)
  add_executable(browserstub WIN32 ${CMAKE_CURRENT_LIST_DIR}/browserstub.cpp)
  treskel_warnings(browserstub)
  add_dependencies(appeditor_wintests browserstub)
endif()
treskel_test(appitems
  WIN32 items_wintest.cpp itemsearch_wintest.cpp itemsaving_wintest.cpp names_wintest.cpp
  GUI
)
treskel_test(apptree
  WIN32 tree_wintest.cpp stylebar_wintest.cpp
  GUI
)
treskel_test(apptray
  WIN32 tray_wintest.cpp
  GUI
)
treskel_test(appdialogs
  PORTABLE options_test.cpp
  WIN32 dialogs_wintest.cpp
  GUI
)
treskel_test(appcrash
  WIN32 crash_wintest.cpp
  GUI
  COST 30
)
treskel_test(applarge
  WIN32 large_wintest.cpp
  GUI
  COST 30
)
treskel_test(apprichtext
  WIN32 richtext_wintest.cpp
  GUI
)
treskel_test(apppictures
  PORTABLE picturerules_test.cpp
  WIN32 pictures_wintest.cpp paste_wintest.cpp ../platform/TestPrinter.cpp
  GUI
)
if(TRESKEL_WIN32)
  add_dependencies(apppictures_wintests PictLib testsource)
endif()
if(TRESKEL_WIN32)
  foreach(_t mainwindow appeditor appitems apptree apptray appdialogs appcrash applarge apppictures apprichtext)
    target_link_libraries(${_t}_wintests PRIVATE mainwindow_fixture)
  endforeach()
endif()
# scripts/start.sh started again while the program runs, the program
# driven from outside (startdriver) in a Wine prefix of the test's own.
if(TRESKEL_WIN32)
  add_executable(startdriver ${CMAKE_CURRENT_LIST_DIR}/startdriver.cpp)
  treskel_test_flags(startdriver)
  add_test(NAME StartScript.ASecondStartLeavesTheRunningProgramAndItsNoteWhole
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/desk.sh bash ${CMAKE_CURRENT_LIST_DIR}/../scripts/second_start_test.sh
                   ${PROJECT_SOURCE_DIR} $<TARGET_FILE_DIR:treskel> $<TARGET_FILE:startdriver>)
  set_tests_properties(StartScript.ASecondStartLeavesTheRunningProgramAndItsNoteWhole PROPERTIES
                       LABELS startscript RESOURCE_GROUPS desk:1 COST 30 TIMEOUT 300)
endif()

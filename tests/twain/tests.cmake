treskel_test(twain
  PORTABLE twaindib_test.cpp
  WIN32 twainlib_wintest.cpp
  GUI
)
# The test data source, installed into the test prefix by the tests.
if(TRESKEL_WIN32)
  add_library(testsource SHARED ${CMAKE_CURRENT_LIST_DIR}/testsource.cpp)
  treskel_warnings(testsource)
  target_include_directories(testsource PRIVATE ${PROJECT_SOURCE_DIR}/src)
  # The manager asks for "DS_Entry", undecorated.
  target_link_options(testsource PRIVATE -Wl,--kill-at)
  set_target_properties(testsource PROPERTIES PREFIX "" SUFFIX ".ds")
  add_dependencies(twain_wintests testsource)
endif()

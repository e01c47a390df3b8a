treskel_test(pictlib
  PORTABLE pictdecode_test.cpp
  WIN32 pictlib_wintest.cpp
)
if(TRESKEL_WIN32)
  # The class library again after the decoders, for the system libraries.
  target_link_libraries(pictlib_wintests PRIVATE pictlib_core treskel_win)
  add_dependencies(pictlib_wintests PictLib)
else()
  target_link_libraries(pictlib_tests PRIVATE pictlib_core)
endif()
# Writes the picture fuzzers' seeds (by hand; they are kept in fuzz/corpus).
if(NOT TRESKEL_WIN32)
  add_executable(make_picture_seeds ${CMAKE_CURRENT_LIST_DIR}/make_seeds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../support/PictureFiles.cpp ${CMAKE_CURRENT_LIST_DIR}/../support/TempDir.cpp)
  treskel_warnings(make_picture_seeds)
  target_include_directories(make_picture_seeds PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(make_picture_seeds PRIVATE treskel_portable)
endif()

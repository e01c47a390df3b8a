treskel_test(store
  PORTABLE crc32_test.cpp rtfpack_test.cpp itemdata_test.cpp treefile_test.cpp archive_test.cpp notefile_test.cpp
           treskelnames_test.cpp notestore_test.cpp loosenotes_test.cpp treskelfiles_test.cpp
)
# Kills a saving child process: native only.
if(NOT TRESKEL_WIN32)
  treskel_test(storecrash PORTABLE crash_test.cpp)
endif()

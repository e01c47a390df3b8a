treskel_test(store
  PORTABLE crc32_test.cpp rtfpack_test.cpp itemdata_test.cpp treefile_test.cpp archive_test.cpp notefile_test.cpp
           treskelnames_test.cpp notestore_test.cpp
)

# JPEG decoding: natively the system's libjpeg; for Win32 libjpeg-turbo,
# built from Debian's source package (third_party/libjpeg-turbo, fetched by
# scripts/setup.sh) with our toolchain once per build tree, at configure
# time, and linked statically.  Gives the target treskel_jpeg.
if(TARGET treskel_jpeg)
  return()
endif()
if(TRESKEL_WIN32)
  set(_jpeg_src ${PROJECT_SOURCE_DIR}/third_party/libjpeg-turbo)
  set(_jpeg_build ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo-build)
  set(_jpeg_root ${CMAKE_BINARY_DIR}/third_party/libjpeg-turbo)
  if(NOT EXISTS ${_jpeg_root}/lib/libjpeg.a)
    if(NOT EXISTS ${_jpeg_src}/CMakeLists.txt)
      message(FATAL_ERROR "The libjpeg-turbo sources are missing in ${_jpeg_src}: run scripts/setup.sh")
    endif()
    message(STATUS "Building libjpeg-turbo for Win32")
    execute_process(
      COMMAND ${CMAKE_COMMAND} -S ${_jpeg_src} -B ${_jpeg_build} -G Ninja
              -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake
              -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=${_jpeg_root}
              -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF -DWITH_SIMD=ON
      OUTPUT_QUIET RESULT_VARIABLE _jpeg_result)
    if(_jpeg_result EQUAL 0)
      execute_process(COMMAND ${CMAKE_COMMAND} --build ${_jpeg_build} --target install
                      OUTPUT_QUIET RESULT_VARIABLE _jpeg_result)
    endif()
    if(NOT _jpeg_result EQUAL 0 OR NOT EXISTS ${_jpeg_root}/lib/libjpeg.a)
      message(FATAL_ERROR "Building libjpeg-turbo for Win32 failed")
    endif()
  endif()
  add_library(treskel_jpeg STATIC IMPORTED GLOBAL)
  set_target_properties(treskel_jpeg PROPERTIES
    IMPORTED_LOCATION ${_jpeg_root}/lib/libjpeg.a
    INTERFACE_INCLUDE_DIRECTORIES ${_jpeg_root}/include)
else()
  find_package(JPEG REQUIRED)
  add_library(treskel_jpeg INTERFACE IMPORTED GLOBAL)
  target_link_libraries(treskel_jpeg INTERFACE JPEG::JPEG)
endif()

# The picture decoders (portable: tested and fuzzed natively) and, for
# Win32, PictLib.dll around them, built beside the program and copied beside
# the test programs.
add_library(pictlib_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/PictDecode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PcxDecode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StbImage.cpp)
treskel_warnings(pictlib_core)
target_link_libraries(pictlib_core PUBLIC treskel_portable)
if(NOT EXISTS /usr/include/stb/stb_image.h)
  message(FATAL_ERROR "stb_image.h is missing: run scripts/setup.sh (Debian's libstb-dev)")
endif()
# Only the decoder's header, from its Debian package, for both targets: a
# directory of its own, so that no other header of the build machine is seen.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/include-stb)
file(CREATE_LINK /usr/include/stb ${CMAKE_BINARY_DIR}/include-stb/stb SYMBOLIC)
target_include_directories(pictlib_core PRIVATE ${CMAKE_BINARY_DIR}/include-stb)
if(TRESKEL_WIN32)
  # The decoders, and the bitmaps made of their pictures; nothing of the
  # class library's windows.
  add_library(PictLib SHARED ${CMAKE_CURRENT_LIST_DIR}/PictLib.cpp ${CMAKE_CURRENT_SOURCE_DIR}/platform/DibBitmap.cpp)
  treskel_warnings(PictLib)
  target_compile_definitions(PictLib PRIVATE NOMINMAX STRICT WIN32_LEAN_AND_MEAN)
  target_link_libraries(PictLib PRIVATE pictlib_core gdi32)
  # Exported without the stdcall decoration, as the program asks for them.
  target_link_options(PictLib PRIVATE -Wl,--kill-at)
  set_target_properties(PictLib PROPERTIES PREFIX "" OUTPUT_NAME PictLib)
  add_custom_command(TARGET PictLib POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tests
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:PictLib> ${CMAKE_BINARY_DIR}/tests/)
  add_dependencies(treskel PictLib)
endif()

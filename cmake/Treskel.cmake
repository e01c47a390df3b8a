# Helpers that keep the per-folder lists short.

# Our own code builds with warnings as errors.
function(treskel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter
    $<$<COMPILE_LANGUAGE:CXX>:-Wno-missing-field-initializers>)
  # GCC 12 warns falsely about overlapping copies inside std::string at -O3.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()

# Each source folder lists its files in sources.cmake:
#   treskel_sources(PORTABLE a.cpp WIN32_BASE b.cpp POSIX_BASE c.cpp WIN32 d.cpp)
# PORTABLE files have no <windows.h> and build for both targets; WIN32_BASE
# and POSIX_BASE are the two halves of a system service below them (files,
# clock), built into the same library for their target; WIN32 files are the
# Windows program's own.
macro(treskel_sources)
  cmake_parse_arguments(_ts "" "" "PORTABLE;WIN32_BASE;POSIX_BASE;WIN32" ${ARGN})
  set(_base ${_ts_POSIX_BASE})
  if(TRESKEL_WIN32)
    set(_base ${_ts_WIN32_BASE})
  endif()
  foreach(_f IN LISTS _ts_PORTABLE _base)
    list(APPEND TRESKEL_PORTABLE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${_f})
  endforeach()
  foreach(_f IN LISTS _ts_WIN32)
    list(APPEND TRESKEL_WIN32_SOURCES ${CMAKE_CURRENT_LIST_DIR}/${_f})
  endforeach()
endmacro()

# The flags every test program compiles with.  Test code gains nothing from
# the optimiser and compiles twice as fast without it; the code under test
# keeps its own flags.
function(treskel_test_flags target)
  treskel_warnings(${target})
  target_compile_options(${target} PRIVATE -O0)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${target} PRIVATE TRESKEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TRESKEL_BINARY_DIR="${PROJECT_BINARY_DIR}")
  if(TRESKEL_WIN32)
    target_link_libraries(${target} PRIVATE treskel_win treskel_testing gtest)
  else()
    target_link_libraries(${target} PRIVATE treskel_portable treskel_testing gtest)
  endif()
endfunction()

# Tests of a folder: tests/<dir>/tests.cmake calls
#   treskel_test(<name> PORTABLE a_test.cpp WIN32 b_wintest.cpp [GUI] [COST n])
# Natively the PORTABLE files form <name>_tests; for Win32 both lists form
# <name>_wintests, run under Wine.  GUI tests run one at a time on each
# desk (a display, a Wine prefix and its wineserver of their own: see
# scripts/run-tests.sh), side by side on several desks.  They start before
# the others, the ones of a larger COST (a program with tests of tens of
# seconds) first, so that no desk waits idle at the end of a run; CTest
# learns the real costs from the runs after the first.
function(treskel_test name)
  cmake_parse_arguments(_tt "GUI" "COST" "PORTABLE;WIN32" ${ARGN})
  set(_files)
  foreach(_f IN LISTS _tt_PORTABLE)
    list(APPEND _files ${CMAKE_CURRENT_LIST_DIR}/${_f})
  endforeach()
  if(TRESKEL_WIN32)
    foreach(_f IN LISTS _tt_WIN32)
      list(APPEND _files ${CMAKE_CURRENT_LIST_DIR}/${_f})
    endforeach()
    set(_exe ${name}_wintests)
  else()
    set(_exe ${name}_tests)
  endif()
  if(NOT _files)
    return()
  endif()
  add_executable(${_exe} ${_files})
  treskel_test_flags(${_exe})
  if(TRESKEL_WIN32)
    target_precompile_headers(${_exe} REUSE_FROM treskel_testpch)
    target_sources(${_exe} PRIVATE $<TARGET_OBJECTS:treskel_res>)
    set_target_properties(${_exe} PROPERTIES WIN32_EXECUTABLE OFF)
    # As the program: the tests run with the same 4 GB of address space.
    target_link_options(${_exe} PRIVATE -Wl,--large-address-aware)
  endif()
  set(_props LABELS ${name})
  if(_tt_GUI AND TRESKEL_WIN32)
    if(NOT _tt_COST)
      set(_tt_COST 1)
    endif()
    list(APPEND _props RESOURCE_GROUPS desk:1 COST ${_tt_COST})
  elseif(TRESKEL_WIN32)
    # Runs beside the other tests of its kind in the run's own prefix: the
    # program's registry key is left to the GUI tests.
    list(APPEND _props ENVIRONMENT "TRESKEL_SHARED_REGISTRY=1")
  endif()
  gtest_discover_tests(${_exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR} PROPERTIES ${_props} TIMEOUT 120)
endfunction()

# Third-party libraries, all from Debian packages (or, for Windows, built from
# Debian's sources by tools/setup.sh into build/deps/mingw).

find_package(Threads REQUIRED)

# zlib + libpng as imported targets vellox::png
if(WIN32)
  find_library(VELLOX_PNG_LIB NAMES png libpng16 png16 PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
  find_path(VELLOX_PNG_INC png.h PATHS "${VELLOX_DEPS_DIR}/include" NO_DEFAULT_PATH REQUIRED)
  find_library(VELLOX_Z_LIB NAMES libz.a z REQUIRED)
  add_library(vellox_png INTERFACE)
  target_include_directories(vellox_png INTERFACE "${VELLOX_PNG_INC}")
  target_link_libraries(vellox_png INTERFACE "${VELLOX_PNG_LIB}" "${VELLOX_Z_LIB}")
else()
  find_package(PNG REQUIRED)
  add_library(vellox_png INTERFACE)
  target_link_libraries(vellox_png INTERFACE PNG::PNG)
endif()
add_library(vellox::png ALIAS vellox_png)

# GoogleTest
if(WIN32)
  find_library(VELLOX_GTEST_LIB gtest PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
  find_library(VELLOX_GTEST_MAIN_LIB gtest_main PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
  add_library(vellox_gtest INTERFACE)
  target_include_directories(vellox_gtest INTERFACE "${VELLOX_DEPS_DIR}/include")
  target_link_libraries(vellox_gtest INTERFACE "${VELLOX_GTEST_MAIN_LIB}" "${VELLOX_GTEST_LIB}" Threads::Threads)
else()
  find_package(GTest REQUIRED)
  add_library(vellox_gtest INTERFACE)
  target_link_libraries(vellox_gtest INTERFACE GTest::gtest_main GTest::gtest Threads::Threads)
endif()
add_library(vellox::gtest ALIAS vellox_gtest)

# Google Benchmark (native only)
if(VELLOX_BENCH AND NOT WIN32)
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    set(VELLOX_BENCH OFF)
  endif()
endif()
if(WIN32)
  set(VELLOX_BENCH OFF)
endif()

# VST 3 SDK copy shipped by Debian's juce-modules-source-data.
set(VELLOX_VST3_SDK "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK" CACHE PATH "VST 3 SDK root")

# vellox_add_test(name SOURCES ... LIBS ...): a GoogleTest program run by CTest,
# natively or under Wine for the Windows build.
include(GoogleTest)
function(vellox_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vellox::gtest)
  add_test(NAME ${name} COMMAND ${name})
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels windows)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600)
endfunction()

# Adds every subdirectory of the current source directory that has a
# CMakeLists.txt, in name order (the test suites and benchmark programs).
function(vellox_add_suite_directories)
  file(GLOB entries LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}/*")
  list(SORT entries)
  foreach(entry ${entries})
    if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${entry}" AND EXISTS "${CMAKE_CURRENT_SOURCE_DIR}/${entry}/CMakeLists.txt")
      add_subdirectory(${entry})
    endif()
  endforeach()
endfunction()

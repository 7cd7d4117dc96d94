# Third-party libraries, all from Debian packages (or, for Windows, built from
# Debian's sources by tools/setup.sh into build/deps/mingw).

find_package(Threads REQUIRED)

# zlib + libpng as imported targets vellox::png
if(WIN32)
  find_library(VELLOX_PNG_LIB NAMES png libpng16 png16 PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
  find_path(VELLOX_PNG_INC png.h PATHS "${VELLOX_DEPS_DIR}/include" NO_DEFAULT_PATH REQUIRED)
  find_library(VELLOX_Z_LIB NAMES libz.a z REQUIRED)
  add_library(vellox_png INTERFACE)
  target_include_directories(vellox_png SYSTEM INTERFACE "${VELLOX_PNG_INC}")
  target_link_libraries(vellox_png INTERFACE "${VELLOX_PNG_LIB}" "${VELLOX_Z_LIB}")
else()
  find_package(PNG REQUIRED)
  add_library(vellox_png INTERFACE)
  target_link_libraries(vellox_png INTERFACE PNG::PNG)
endif()
add_library(vellox::png ALIAS vellox_png)

# GoogleTest (not needed for a build without tests)
if(VELLOX_TESTS)
  if(WIN32)
    find_library(VELLOX_GTEST_LIB gtest PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
    find_library(VELLOX_GTEST_MAIN_LIB gtest_main PATHS "${VELLOX_DEPS_DIR}/lib" NO_DEFAULT_PATH REQUIRED)
    add_library(vellox_gtest INTERFACE)
    target_include_directories(vellox_gtest SYSTEM INTERFACE "${VELLOX_DEPS_DIR}/include")
    target_link_libraries(vellox_gtest INTERFACE "${VELLOX_GTEST_MAIN_LIB}" "${VELLOX_GTEST_LIB}" Threads::Threads)
  else()
    find_package(GTest REQUIRED)
    add_library(vellox_gtest INTERFACE)
    target_link_libraries(vellox_gtest INTERFACE GTest::gtest_main GTest::gtest Threads::Threads)
  endif()
  add_library(vellox::gtest ALIAS vellox_gtest)
endif()

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

# XCB for the Linux editor's window (gui/x11) and for the host tool's window
# around it (tools/host): the Linux module always has its X11 editor.
if(NOT WIN32 AND NOT APPLE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb xcb-shm)
endif()

# VST 3 SDK copy shipped by Debian's juce-modules-source-data.
set(VELLOX_VST3_SDK "/usr/share/juce/modules/juce_audio_processors/format_types/VST3_SDK" CACHE PATH "VST 3 SDK root")

# Every test command starts with this launcher: a private temporary directory.
set(VELLOX_PRIVATE_TMP bash "${CMAKE_CURRENT_LIST_DIR}/PrivateTmp.sh")

# vellox_add_test(name SOURCES ... LIBS ...): a GoogleTest program run by CTest,
# natively or under Wine for the Windows build.
include(GoogleTest)
function(vellox_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vellox::gtest)
  if(TARGET vellox_test_pch)
    target_precompile_headers(${name} REUSE_FROM vellox_test_pch)
    target_compile_options(${name} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-error=invalid-pch>)
  endif()
  if(CMAKE_CROSSCOMPILING_EMULATOR)
    add_test(NAME ${name} COMMAND ${VELLOX_PRIVATE_TMP} --wine ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${VELLOX_PRIVATE_TMP} $<TARGET_FILE:${name}>)
  endif()
  set(labels ${T_LABELS})
  if(WIN32)
    list(APPEND labels windows)
  else()
    list(APPEND labels native)
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT 600)
endfunction()

# vellox_optimize_test_sources(target sources...): test sources whose own code
# computes much (reference models, loops over every input) build at -O1, not
# at the -O0 of the test programs, and so without their shared header.
function(vellox_optimize_test_sources target)
  set_source_files_properties(${ARGN} TARGET_DIRECTORY ${target}
    PROPERTIES COMPILE_OPTIONS $<$<COMPILE_LANGUAGE:C,CXX>:-O1> SKIP_PRECOMPILE_HEADERS ON)
endfunction()

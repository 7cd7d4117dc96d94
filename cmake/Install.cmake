# `cmake --install` after each format's conventions:
#   default prefix            -> ~/.vst3/Vellox.vst3, ~/.clap/Vellox.clap and
#                                ~/.lv2/vellox.lv2 (the user's plug-in folders)
#   --prefix /usr, /usr/local -> <prefix>/lib/vst3/Vellox.vst3, <prefix>/lib/clap/Vellox.clap,
#                                <prefix>/lib/lv2/vellox.lv2, <prefix>/bin/vellox
#                                and the notices in <prefix>/share/doc/vellox
#   Windows trees             -> <prefix>/Vellox.vst3, <prefix>/Vellox.clap and
#                                <prefix>/vellox.exe, the staging layout the
#                                installer and the zip are made from
# The destination depends on the prefix given at install time, so the rules
# run as a script (InstallLayout.cmake) rather than as fixed install() paths.

# The default prefix becomes a marker that the install script turns into the
# installing user's ~/.vst3. A prefix given on the command line (even
# /usr/local, CMake's own default) is used as given.
set(VELLOX_USER_VST3_DIR "~/.vst3")
if(NOT WIN32 AND CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "${VELLOX_USER_VST3_DIR}" CACHE PATH "Install prefix" FORCE)
  # CMake expands the ~ when it stores the prefix; remember what it became.
  set(VELLOX_DEFAULT_PREFIX "${CMAKE_INSTALL_PREFIX}" CACHE INTERNAL "")
endif()

# What ships is hardened as Debian builds it: fortified C library calls in
# every library linked into the module and the tool (immediate binding is set
# where those two are linked). Optimised native trees only: fortification
# needs the optimiser, and the sanitizers bring checks of their own.
function(vellox_fortify target)
  get_target_property(_type ${target} TYPE)
  get_target_property(_imported ${target} IMPORTED)
  get_property(_done GLOBAL PROPERTY VELLOX_FORTIFIED_${target})
  if(_imported OR _done OR _type STREQUAL "INTERFACE_LIBRARY")
    return()
  endif()
  set_property(GLOBAL PROPERTY VELLOX_FORTIFIED_${target} ON)
  set_property(TARGET ${target} APPEND PROPERTY COMPILE_DEFINITIONS _FORTIFY_SOURCE=2)
  get_target_property(_links ${target} LINK_LIBRARIES)
  foreach(_link ${_links})
    if(TARGET ${_link})
      vellox_fortify(${_link})
    endif()
  endforeach()
endfunction()
if(NOT WIN32 AND CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT (VELLOX_SANITIZE OR VELLOX_TSAN OR VELLOX_FUZZ))
  vellox_fortify(vellox_module)
  vellox_fortify(vellox_clap_module)
  if(TARGET vellox_lv2_module)
    vellox_fortify(vellox_lv2_module)
  endif()
  vellox_fortify(vellox)
endif()

# The Debian changelog, compressed reproducibly as Debian policy asks.
set(VELLOX_CHANGELOG_GZ "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
configure_file("${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in" "${CMAKE_BINARY_DIR}/packaging/changelog" @ONLY)
# The machine-readable format line is named as this machine's own Debian tools
# name it (dpkg's copyright file states it first); where that file cannot be
# read, the copyright file goes without the line rather than failing.
set(_format_line "")
if(EXISTS /usr/share/doc/dpkg/copyright)
  file(STRINGS /usr/share/doc/dpkg/copyright _format_line LIMIT_COUNT 1 REGEX "^Format: ")
endif()
file(READ "${CMAKE_SOURCE_DIR}/packaging/debian/copyright.in" _copyright)
string(CONFIGURE "${_copyright}" _copyright @ONLY)
if(_format_line)
  set(_copyright "${_format_line}\n${_copyright}")
endif()
file(WRITE "${CMAKE_BINARY_DIR}/packaging/copyright" "${_copyright}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/packaging/debian/copyright.in")
add_custom_command(OUTPUT "${VELLOX_CHANGELOG_GZ}"
  COMMAND gzip -9nc "${CMAKE_BINARY_DIR}/packaging/changelog" > "${VELLOX_CHANGELOG_GZ}"
  DEPENDS "${CMAKE_BINARY_DIR}/packaging/changelog" VERBATIM)

# The manual page, made from the help text the tool prints (so the two agree),
# compressed as Debian policy asks.
set(VELLOX_MAN_PAGE_GZ "${CMAKE_BINARY_DIR}/packaging/vellox.1.gz")
if(NOT WIN32)
  add_custom_command(OUTPUT "${VELLOX_MAN_PAGE_GZ}"
    COMMAND vellox_man_page "${CMAKE_BINARY_DIR}/packaging/vellox.1"
    COMMAND gzip -9nf "${CMAKE_BINARY_DIR}/packaging/vellox.1"
    DEPENDS vellox_man_page VERBATIM)
  set(_man_page "${VELLOX_MAN_PAGE_GZ}")
endif()
# The user manual, which the manual page names, compressed likewise.
set(VELLOX_MANUAL_GZ "${CMAKE_BINARY_DIR}/packaging/manual.md.gz")
add_custom_command(OUTPUT "${VELLOX_MANUAL_GZ}"
  COMMAND gzip -9nc "${CMAKE_SOURCE_DIR}/docs/manual.md" > "${VELLOX_MANUAL_GZ}"
  DEPENDS "${CMAKE_SOURCE_DIR}/docs/manual.md" VERBATIM)
add_custom_target(vellox_package_notes ALL DEPENDS "${VELLOX_CHANGELOG_GZ}" "${VELLOX_MANUAL_GZ}" ${_man_page})
# Whoever builds the tool (tools/run.sh does) can install at once.
add_dependencies(vellox vellox_package_notes)

# The licence texts of what the Windows module and vellox.exe link statically
# (libpng, zlib, the MinGW-w64 runtime and winpthreads, the GCC runtime
# libraries) and of the VST 3 SDK, as the build machine's packages carry
# them; the Windows packages ship them in licenses/.
set(VELLOX_WINDOWS_LICENSES)
if(WIN32)
  get_filename_component(_png_prefix "${VELLOX_PNG_LIB}" DIRECTORY)
  file(GLOB _png_license "${_png_prefix}/../../libpng-src/libpng-*/LICENSE")
  foreach(_entry
      "libpng.txt|${_png_license};/usr/share/doc/libpng16-16/copyright"
      "zlib.txt|/usr/share/doc/libz-mingw-w64/copyright"
      "mingw-w64-runtime.txt|/usr/share/doc/mingw-w64-x86-64-dev/copyright"
      "gcc-runtime.txt|/usr/share/doc/gcc-mingw-w64-base/copyright"
      "vst3-sdk.txt|${VELLOX_VST3_SDK}/LICENSE.txt"
      "clap.txt|${CMAKE_SOURCE_DIR}/third_party/clap/LICENSE")
    string(REPLACE "|" ";" _entry "${_entry}")
    list(POP_FRONT _entry _name)
    set(_found)
    foreach(_candidate ${_entry})
      if(NOT _found AND EXISTS "${_candidate}")
        set(_found "${_candidate}")
      endif()
    endforeach()
    if(_found)
      list(APPEND VELLOX_WINDOWS_LICENSES "${_name}=${_found}")
    else()
      message(WARNING "no licence text for ${_name} on this machine (looked at ${_entry}); the Windows packages will lack it")
    endif()
  endforeach()
endif()

install(CODE "
  set(VELLOX_BUNDLE \"${VELLOX_BUNDLE_DIR}\")
  set(VELLOX_CLAP \"${VELLOX_CLAP_FILE}\")
  set(VELLOX_LV2_BUNDLE \"${VELLOX_LV2_BUNDLE_DIR}\")
  set(VELLOX_TOOL \"$<TARGET_FILE:vellox>\")
  set(VELLOX_USER_VST3_DIR \"${VELLOX_DEFAULT_PREFIX}\")
  set(VELLOX_WINDOWS_LAYOUT \"${WIN32}\")
  set(VELLOX_NOTES \"${CMAKE_SOURCE_DIR}/LICENSE;${CMAKE_SOURCE_DIR}/packaging/windows/THIRD-PARTY.txt\")
  set(VELLOX_WINDOWS_LICENSES \"${VELLOX_WINDOWS_LICENSES}\")
  set(VELLOX_DEBIAN_NOTES \"${CMAKE_BINARY_DIR}/packaging/copyright;${VELLOX_CHANGELOG_GZ};${VELLOX_MANUAL_GZ}\")
  set(VELLOX_MAN_PAGE \"${VELLOX_MAN_PAGE_GZ}\")
  set(VELLOX_STRIP \"${CMAKE_STRIP}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/InstallLayout.cmake\")
")

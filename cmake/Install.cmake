# `cmake --install` after the VST 3 conventions:
#   default prefix            -> ~/.vst3/Vellox.vst3 (the user's VST 3 folder)
#   --prefix /usr, /usr/local -> <prefix>/lib/vst3/Vellox.vst3, <prefix>/bin/vellox
#                                and the notices in <prefix>/share/doc/vellox
#   Windows trees             -> <prefix>/Vellox.vst3 and <prefix>/vellox.exe, the
#                                staging layout the installer and the zip are made from
# The destination depends on the prefix given at install time, so the rules
# run as a script (InstallLayout.cmake) rather than as fixed install() paths.

# The default prefix becomes a marker that the install script turns into the
# installing user's ~/.vst3. Trees configured before these rules existed still
# hold CMake's own default, /usr/local, which is taken over once as well.
set(VELLOX_USER_VST3_DIR "~/.vst3")
if(NOT WIN32 AND NOT VELLOX_INSTALL_PREFIX_CHECKED)
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
    set(CMAKE_INSTALL_PREFIX "${VELLOX_USER_VST3_DIR}" CACHE PATH "Install prefix" FORCE)
  endif()
  set(VELLOX_INSTALL_PREFIX_CHECKED ON CACHE INTERNAL "")
  # CMake expands the ~ when it stores the prefix; remember what it became.
  set(VELLOX_DEFAULT_PREFIX "${CMAKE_INSTALL_PREFIX}" CACHE INTERNAL "")
endif()

# The Debian changelog, compressed reproducibly as Debian policy asks.
set(VELLOX_CHANGELOG_GZ "${CMAKE_BINARY_DIR}/packaging/changelog.gz")
configure_file("${CMAKE_SOURCE_DIR}/packaging/debian/changelog.in" "${CMAKE_BINARY_DIR}/packaging/changelog" @ONLY)
# The machine-readable copyright format is named as this machine's Debian
# tools name it: dpkg's own copyright file states it on its first line.
file(STRINGS /usr/share/doc/dpkg/copyright _format_line LIMIT_COUNT 1 REGEX "^Format: ")
string(REGEX REPLACE "^Format: *" "" VELLOX_COPYRIGHT_FORMAT "${_format_line}")
configure_file("${CMAKE_SOURCE_DIR}/packaging/debian/copyright.in" "${CMAKE_BINARY_DIR}/packaging/copyright" @ONLY)
add_custom_command(OUTPUT "${VELLOX_CHANGELOG_GZ}"
  COMMAND gzip -9nc "${CMAKE_BINARY_DIR}/packaging/changelog" > "${VELLOX_CHANGELOG_GZ}"
  DEPENDS "${CMAKE_BINARY_DIR}/packaging/changelog" VERBATIM)
add_custom_target(vellox_package_notes ALL DEPENDS "${VELLOX_CHANGELOG_GZ}")

install(CODE "
  set(VELLOX_BUNDLE \"${VELLOX_BUNDLE_DIR}\")
  set(VELLOX_TOOL \"$<TARGET_FILE:vellox>\")
  set(VELLOX_USER_VST3_DIR \"${VELLOX_DEFAULT_PREFIX}\")
  set(VELLOX_WINDOWS_LAYOUT \"${WIN32}\")
  set(VELLOX_NOTES \"${CMAKE_SOURCE_DIR}/LICENSE;${CMAKE_SOURCE_DIR}/docs/THIRD-PARTY.md\")
  set(VELLOX_DEBIAN_NOTES \"${CMAKE_BINARY_DIR}/packaging/copyright;${VELLOX_CHANGELOG_GZ}\")
  set(VELLOX_STRIP \"${CMAKE_STRIP}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/InstallLayout.cmake\")
")

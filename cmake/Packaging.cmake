# Packages made by CPack from the install rules (Install.cmake).
# Linux: `cpack -G DEB` -> vellox_<version>_amd64.deb with /usr/lib/vst3/Vellox.vst3,
# /usr/lib/clap/Vellox.clap, /usr/lib/lv2/vellox.lv2 and /usr/bin/vellox. The Windows installer and zip are made by
# tools/package.sh from a staged Windows install (packaging/windows/).

if(WIN32)
  return()
endif()

set(CPACK_PACKAGE_NAME "vellox")
set(CPACK_PACKAGE_VENDOR "${VELLOX_VENDOR}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${VELLOX_VENDOR} <${VELLOX_EMAIL}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "chopper audio effect (VST 3, CLAP and LV2 plug-in)")
set(CPACK_PACKAGE_DESCRIPTION
"Vellox keeps the signal at full level for part of a repeating cycle, then
pulls it down to an adjustable residual level for 0.1 s, with a smoother
between the two levels and an output gain. Mono and stereo, 32- and 64-bit.
.
This package installs the plug-in where hosts find it, in three formats that
sound and save the same: the VST 3 bundle in /usr/lib/vst3, the CLAP module
in /usr/lib/clap and the LV2 bundle in /usr/lib/lv2; and the vellox
command-line tool, which renders audio files through any of them and shows
their parameters.")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # vellox_<version>_amd64.deb
# The artwork is already compressed; xz still finds what gzip cannot.
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELLOX_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
# CPack puts the summary above this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")

include(CPack)

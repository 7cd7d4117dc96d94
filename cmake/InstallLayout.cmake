# Runs at install time (see Install.cmake), when CMAKE_INSTALL_PREFIX holds the
# prefix actually chosen. file(INSTALL) honours DESTDIR, which CPack uses.

if(VELLOX_WINDOWS_LAYOUT)
  set(_vst3_dir "${CMAKE_INSTALL_PREFIX}")
  set(_clap_dir "${CMAKE_INSTALL_PREFIX}")
  set(_lv2_dir "")
  set(_bin_dir "${CMAKE_INSTALL_PREFIX}")
  set(_doc_dir "${CMAKE_INSTALL_PREFIX}")
elseif(CMAKE_INSTALL_PREFIX STREQUAL VELLOX_USER_VST3_DIR)
  # The default prefix: the plug-in folders of whoever installs, at install time.
  set(_vst3_dir "$ENV{HOME}/.vst3")
  set(_clap_dir "$ENV{HOME}/.clap")
  set(_lv2_dir "$ENV{HOME}/.lv2")
  set(_bin_dir "")
  set(_doc_dir "")
else()
  set(_vst3_dir "${CMAKE_INSTALL_PREFIX}/lib/vst3")
  set(_clap_dir "${CMAKE_INSTALL_PREFIX}/lib/clap")
  set(_lv2_dir "${CMAKE_INSTALL_PREFIX}/lib/lv2")
  set(_bin_dir "${CMAKE_INSTALL_PREFIX}/bin")
  set(_doc_dir "${CMAKE_INSTALL_PREFIX}/share/doc/vellox")
endif()

# Everything to be copied must be there before anything is: an install never
# stops half-way.
if(VELLOX_WINDOWS_LAYOUT)
  set(_inputs "${VELLOX_BUNDLE}/Contents/x86_64-win/Vellox.vst3" "${VELLOX_CLAP}")
else()
  set(_inputs "${VELLOX_BUNDLE}/Contents/x86_64-linux/Vellox.so" "${VELLOX_CLAP}"
    "${VELLOX_LV2_BUNDLE}/vellox.so" "${VELLOX_LV2_BUNDLE}/manifest.ttl" "${VELLOX_LV2_BUNDLE}/vellox.ttl")
endif()
if(_bin_dir)
  list(APPEND _inputs "${VELLOX_TOOL}")
endif()
if(VELLOX_WINDOWS_LAYOUT)
  list(APPEND _inputs ${VELLOX_NOTES})
  foreach(_license ${VELLOX_WINDOWS_LICENSES})
    string(REGEX REPLACE "^[^=]*=" "" _text "${_license}")
    list(APPEND _inputs "${_text}")
  endforeach()
elseif(_doc_dir)
  list(APPEND _inputs ${VELLOX_DEBIAN_NOTES} ${VELLOX_MAN_PAGE})
endif()
set(_missing)
foreach(_input ${_inputs})
  if(NOT EXISTS "${_input}")
    list(APPEND _missing "${_input}")
  endif()
endforeach()
if(_missing)
  list(JOIN _missing "\n  " _missing)
  message(FATAL_ERROR "Nothing was installed: these files are not built yet:\n  ${_missing}\n"
                      "Build them first: cmake --build <build tree> (or its targets vellox, vellox_module, "
                      "vellox_clap_module and vellox_lv2_module).")
endif()

# A fresh copy: files left from an older version must not linger in the bundle.
if(EXISTS "$ENV{DESTDIR}${_vst3_dir}/Vellox.vst3")
  file(REMOVE_RECURSE "$ENV{DESTDIR}${_vst3_dir}/Vellox.vst3")
endif()
file(INSTALL "${VELLOX_BUNDLE}" DESTINATION "${_vst3_dir}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(INSTALL "${VELLOX_CLAP}" DESTINATION "${_clap_dir}"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
if(_lv2_dir)
  if(EXISTS "$ENV{DESTDIR}${_lv2_dir}/vellox.lv2")
    file(REMOVE_RECURSE "$ENV{DESTDIR}${_lv2_dir}/vellox.lv2")
  endif()
  file(INSTALL "${VELLOX_LV2_BUNDLE}/vellox.so" "${VELLOX_LV2_BUNDLE}/manifest.ttl" "${VELLOX_LV2_BUNDLE}/vellox.ttl"
    DESTINATION "${_lv2_dir}/vellox.lv2"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
if(_bin_dir)
  file(INSTALL "${VELLOX_TOOL}" DESTINATION "${_bin_dir}"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

# What ships on Windows is always stripped: the staging layout is only for the packages.
if(VELLOX_WINDOWS_LAYOUT AND VELLOX_STRIP)
  file(GLOB _modules "$ENV{DESTDIR}${_vst3_dir}/Vellox.vst3/Contents/x86_64-win/*.vst3")
  foreach(_binary ${_modules} "$ENV{DESTDIR}${_clap_dir}/Vellox.clap" "$ENV{DESTDIR}${_bin_dir}/vellox.exe")
    execute_process(COMMAND "${VELLOX_STRIP}" --strip-unneeded "${_binary}" RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR "could not strip ${_binary}")
    endif()
  endforeach()
endif()
if(CMAKE_INSTALL_DO_STRIP AND VELLOX_STRIP AND NOT VELLOX_WINDOWS_LAYOUT)
  file(GLOB _modules "$ENV{DESTDIR}${_vst3_dir}/Vellox.vst3/Contents/x86_64-linux/*.so")
  set(_binaries ${_modules} "$ENV{DESTDIR}${_clap_dir}/Vellox.clap" "$ENV{DESTDIR}${_lv2_dir}/vellox.lv2/vellox.so")
  if(_bin_dir)
    list(APPEND _binaries "$ENV{DESTDIR}${_bin_dir}/vellox")
  endif()
  foreach(_binary ${_binaries})
    execute_process(COMMAND "${VELLOX_STRIP}" --strip-unneeded --remove-section=.comment --remove-section=.note "${_binary}")
  endforeach()
endif()

if(VELLOX_WINDOWS_LAYOUT)
  # Windows readers expect .txt files.
  list(GET VELLOX_NOTES 0 _license)
  list(GET VELLOX_NOTES 1 _third_party)
  file(INSTALL "${_license}" DESTINATION "${_doc_dir}" RENAME LICENSE.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  file(INSTALL "${_third_party}" DESTINATION "${_doc_dir}" RENAME THIRD-PARTY.txt PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  foreach(_license ${VELLOX_WINDOWS_LICENSES})
    string(REGEX REPLACE "=.*" "" _name "${_license}")
    string(REGEX REPLACE "^[^=]*=" "" _text "${_license}")
    file(INSTALL "${_text}" DESTINATION "${_doc_dir}/licenses" RENAME "${_name}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endforeach()
elseif(_doc_dir)
  # Debian keeps the notices in one machine-readable copyright file.
  file(INSTALL ${VELLOX_DEBIAN_NOTES} DESTINATION "${_doc_dir}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  if(VELLOX_MAN_PAGE)
    file(INSTALL "${VELLOX_MAN_PAGE}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/man/man1" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()
endif()

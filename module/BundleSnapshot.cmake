# Contents/Resources/Snapshots/<CID>_snapshot.png: the editor at its defaults
# as `vellox snapshot` paints it off-screen, and <CID>_snapshot_2.0x.png the
# same at content scale 2 (--scale 2), repainted whenever the module is
# relinked. The Windows editor shows the very same picture, so both bundles
# take it from one painter: the native host tool. A native tree paints with
# its own tool; a Windows tree with VELLOX_NATIVE_HOST_TOOL when that is
# given (built beforehand by the script that names it), otherwise with the
# tool of the native tree beside it (<build>/linux), which it configures if
# need be and keeps built.
#
# Run as a script (cmake -DTREE=... -DSOURCE=... -P BundleSnapshot.cmake) it
# configures the native tree when it has never been configured and builds its
# tool.
if(CMAKE_SCRIPT_MODE_FILE)
  if(NOT EXISTS "${TREE}/build.ninja")
    execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${TREE}" -G Ninja -DCMAKE_BUILD_TYPE=Release
      OUTPUT_QUIET RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR "configuring the native tree ${TREE} for the snapshot painter failed")
    endif()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" --build "${TREE}" --target vellox RESULT_VARIABLE _failed)
  if(_failed)
    message(FATAL_ERROR "building the snapshot painter in ${TREE} failed")
  endif()
  return()
endif()

set(_snapshot "${VELLOX_BUNDLE_DIR}/${VELLOX_CLASS_SNAPSHOT}")
set(_snapshot_2x "${VELLOX_BUNDLE_DIR}/${VELLOX_CLASS_SNAPSHOT_2X}")
if(WIN32)
  set(VELLOX_NATIVE_HOST_TOOL "" CACHE FILEPATH
    "The native vellox that paints the bundle's snapshot; empty: <build>/linux/vellox")
  if(VELLOX_NATIVE_HOST_TOOL)
    # Built by whoever names it (the scripts build it before this tree), so
    # that this tree never runs a build in the native tree while another
    # build may be running there.
    set(_snapshot_tool "${VELLOX_NATIVE_HOST_TOOL}")
    set(_snapshot_tool_depends "${_snapshot_tool}")
  else()
    get_filename_component(_native_tree "${CMAKE_BINARY_DIR}/../linux" ABSOLUTE)
    set(_snapshot_tool "${_native_tree}/vellox")
    add_custom_target(vellox_native_host_tool
      COMMAND "${CMAKE_COMMAND}" -DTREE=${_native_tree} -DSOURCE=${CMAKE_SOURCE_DIR} -P "${CMAKE_CURRENT_LIST_FILE}"
      BYPRODUCTS "${_snapshot_tool}"
      COMMENT "Building the native snapshot painter in ${_native_tree}"
      USES_TERMINAL VERBATIM)
    set(_snapshot_tool_depends vellox_native_host_tool "${_snapshot_tool}")
  endif()
  set(_snapshot_plugin)
else()
  set(_snapshot_tool "$<TARGET_FILE:vellox>")
  set(_snapshot_tool_depends vellox)
  set(_snapshot_plugin --plugin "${VELLOX_BUNDLE_DIR}")
endif()

# Painting is a build step: in a sanitizer tree, leak reports belong to the
# tests, not to the build. The picture never depends on a display.
set(_snapshot_env "${CMAKE_COMMAND}" -E env --unset=DISPLAY)
if(VELLOX_SANITIZE)
  list(APPEND _snapshot_env ASAN_OPTIONS=detect_leaks=0)
endif()

get_filename_component(_snapshot_dir "${_snapshot}" DIRECTORY)
add_custom_command(
  OUTPUT "${_snapshot}" "${_snapshot_2x}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${_snapshot_dir}"
  COMMAND ${_snapshot_env} "${_snapshot_tool}" snapshot --out "${_snapshot}" ${_snapshot_plugin}
  COMMAND ${_snapshot_env} "${_snapshot_tool}" snapshot --scale 2 --out "${_snapshot_2x}" ${_snapshot_plugin}
  DEPENDS vellox_module ${_snapshot_tool_depends}
  COMMENT "Painting the bundle's editor snapshots"
  VERBATIM)
add_custom_target(vellox_module_snapshot ALL DEPENDS "${_snapshot}" "${_snapshot_2x}")

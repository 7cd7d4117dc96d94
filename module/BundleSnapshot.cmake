# Contents/Resources/Snapshots/<CID>_snapshot.png: the editor at its defaults
# as `vellox snapshot` paints it off-screen, repainted whenever the module is
# relinked. The Windows editor shows the very same picture, so a Windows build
# takes it from a native host tool: VELLOX_NATIVE_HOST_TOOL when given (e.g.
# the tool of a native tree built beforehand), otherwise one built here.
set(_snapshot "${VELLOX_BUNDLE_DIR}/${VELLOX_CLASS_SNAPSHOT}")
if(WIN32)
  set(VELLOX_NATIVE_HOST_TOOL "" CACHE FILEPATH
    "A native vellox host tool that paints the bundle's snapshot; built in this tree when empty")
  if(VELLOX_NATIVE_HOST_TOOL)
    set(_snapshot_tool "${VELLOX_NATIVE_HOST_TOOL}")
    set(_snapshot_tool_depends "${VELLOX_NATIVE_HOST_TOOL}")
  else()
    include(ExternalProject)
    set(_native_dir "${CMAKE_BINARY_DIR}/native-host")
    ExternalProject_Add(vellox_native_host
      SOURCE_DIR "${CMAKE_SOURCE_DIR}"
      BINARY_DIR "${_native_dir}"
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DVELLOX_BENCH=OFF
                 -DCMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER}
                 -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
      BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target vellox
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS "${_native_dir}/vellox"
      INSTALL_COMMAND "")
    set(_snapshot_tool "${_native_dir}/vellox")
    set(_snapshot_tool_depends vellox_native_host "${_native_dir}/vellox")
  endif()
  set(_snapshot_plugin)
else()
  set(_snapshot_tool "$<TARGET_FILE:vellox>")
  set(_snapshot_tool_depends vellox)
  set(_snapshot_plugin --plugin "${VELLOX_BUNDLE_DIR}")
endif()

# Painting is a build step: in a sanitizer tree, leak reports belong to the
# tests, not to the build.
set(_snapshot_env)
if(VELLOX_SANITIZE)
  set(_snapshot_env "${CMAKE_COMMAND}" -E env ASAN_OPTIONS=detect_leaks=0)
endif()

get_filename_component(_snapshot_dir "${_snapshot}" DIRECTORY)
add_custom_command(
  OUTPUT "${_snapshot}"
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${_snapshot_dir}"
  COMMAND ${_snapshot_env} "${_snapshot_tool}" snapshot --out "${_snapshot}" ${_snapshot_plugin}
  DEPENDS vellox_module ${_snapshot_tool_depends}
  COMMENT "Painting the bundle's editor snapshot"
  VERBATIM)
add_custom_target(vellox_module_snapshot ALL DEPENDS "${_snapshot}")

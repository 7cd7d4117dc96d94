# The VST 3 SDK classes the adapter builds on, compiled from the SDK copy that
# Debian ships (never copied into the repository).
set(_sdk "${VELLOX_VST3_SDK}")
add_library(vellox_vst3sdk STATIC
  ${_sdk}/base/source/baseiids.cpp
  ${_sdk}/base/source/fbuffer.cpp
  ${_sdk}/base/source/fdebug.cpp
  ${_sdk}/base/source/fobject.cpp
  ${_sdk}/base/source/fstreamer.cpp
  ${_sdk}/base/source/fstring.cpp
  ${_sdk}/base/source/updatehandler.cpp
  ${_sdk}/base/thread/source/flock.cpp
  ${_sdk}/pluginterfaces/base/conststringtable.cpp
  ${_sdk}/pluginterfaces/base/coreiids.cpp
  ${_sdk}/pluginterfaces/base/funknown.cpp
  ${_sdk}/pluginterfaces/base/ustring.cpp
  ${_sdk}/public.sdk/source/common/memorystream.cpp
  ${_sdk}/public.sdk/source/common/pluginview.cpp
  ${_sdk}/public.sdk/source/vst/vstbus.cpp
  ${_sdk}/public.sdk/source/vst/vstcomponentbase.cpp
  ${_sdk}/public.sdk/source/vst/vsteditcontroller.cpp
  ${_sdk}/public.sdk/source/vst/vstinitiids.cpp
  ${_sdk}/public.sdk/source/vst/vstparameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlugViewIids.cpp
)
target_include_directories(vellox_vst3sdk SYSTEM PUBLIC "${_sdk}")
target_compile_definitions(vellox_vst3sdk PUBLIC RELEASE=1)
# Third-party code: its warnings are not ours to fix.
target_compile_options(vellox_vst3sdk PRIVATE -w)
target_link_libraries(vellox_vst3sdk PUBLIC Threads::Threads)
if(WIN32)
  target_link_libraries(vellox_vst3sdk PUBLIC ole32)
endif()

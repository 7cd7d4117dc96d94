# Contents/Resources/moduleinfo.json: the module description a host reads
# before it loads the module, laid out as the SDK's module-info tool writes it
# (JSON5: two-space indents, a comma after every member and element). Its
# values are those the factory answers, in the form that tool takes them:
# the CID as the FUID string, the class vendor falling back to the factory's,
# the sub-categories split at '|' and the snapshot path relative to the bundle.
set(VELLOX_CLASS_SNAPSHOT "Contents/Resources/Snapshots/${VELLOX_CLASS_CID}_snapshot.png")
# The editor at content scale 2, named with the scale the bundle way.
set(VELLOX_CLASS_SNAPSHOT_2X "Contents/Resources/Snapshots/${VELLOX_CLASS_CID}_snapshot_2.0x.png")

set(VELLOX_MODULE_INFO_CLASS_VENDOR "${VELLOX_CLASS_VENDOR}")
if(VELLOX_MODULE_INFO_CLASS_VENDOR STREQUAL "")
  set(VELLOX_MODULE_INFO_CLASS_VENDOR "${VELLOX_VENDOR}")
endif()

# PFactoryInfo flags: kClassesDiscardable 1, kComponentNonDiscardable 8, kUnicode 16.
function(_vellox_flag_text var bit)
  math(EXPR set "${VELLOX_FACTORY_FLAGS} & ${bit}")
  if(set)
    set(${var} true PARENT_SCOPE)
  else()
    set(${var} false PARENT_SCOPE)
  endif()
endfunction()
_vellox_flag_text(VELLOX_FACTORY_CLASSES_DISCARDABLE 1)
_vellox_flag_text(VELLOX_FACTORY_COMPONENT_NON_DISCARDABLE 8)
_vellox_flag_text(VELLOX_FACTORY_UNICODE 16)

set(VELLOX_MODULE_INFO_SUBCATEGORIES "")
string(REPLACE "|" ";" _subcategories "${VELLOX_CLASS_SUBCATEGORIES}")
foreach(_subcategory IN LISTS _subcategories)
  string(APPEND VELLOX_MODULE_INFO_SUBCATEGORIES "\n        \"${_subcategory}\",")
endforeach()

# file(CONFIGURE) keeps the text as it is; configure_file would end it with a
# newline the tool does not write.
set(_template "${CMAKE_CURRENT_SOURCE_DIR}/moduleinfo.json.in")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${_template}")
file(READ "${_template}" _module_info)
file(CONFIGURE OUTPUT "${VELLOX_BUNDLE_DIR}/Contents/Resources/moduleinfo.json" CONTENT "${_module_info}" @ONLY)

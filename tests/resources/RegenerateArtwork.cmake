# Redraws the artwork into a scratch directory and compares it byte for byte
# with the committed images, so that a changed generator cannot go unnoticed
# with stale images in resources/img (or its 2x/ set).
# Run with: cmake -DPYTHON=<python3> -DGENERATOR=<make_artwork.py> -DIMAGES=<resources/img> -DSCRATCH=<dir> -P RegenerateArtwork.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${PYTHON}" "${GENERATOR}" --out "${SCRATCH}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the artwork generator failed: ${result}")
endif()
# Both sets: the images and their twins at twice the resolution in 2x/.
file(GLOB_RECURSE drawn RELATIVE "${SCRATCH}" "${SCRATCH}/*.png")
file(GLOB_RECURSE committed RELATIVE "${IMAGES}" "${IMAGES}/*.png")
list(LENGTH drawn drawn_count)
if(drawn_count LESS 12)
  message(FATAL_ERROR "the generator drew only ${drawn_count} images: ${drawn}")
endif()
set(stale)
foreach(image IN LISTS drawn committed)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                  "${SCRATCH}/${image}" "${IMAGES}/${image}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale ${image})
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "regenerated artwork differs from the committed images: ${stale}")
endif()

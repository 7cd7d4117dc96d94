# Redraws the artwork into a scratch directory and compares it byte for byte
# with the committed images, so that a changed generator cannot go unnoticed
# with stale images in resources/img.
# Run with: cmake -DPYTHON=<python3> -DGENERATOR=<make_artwork.py> -DIMAGES=<resources/img> -DSCRATCH=<dir> -P RegenerateArtwork.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${PYTHON}" "${GENERATOR}" --out "${SCRATCH}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the artwork generator failed: ${result}")
endif()
# Every image the generator draws, and every committed one, takes part.
file(GLOB drawn RELATIVE "${SCRATCH}" "${SCRATCH}/*.png")
file(GLOB committed RELATIVE "${IMAGES}" "${IMAGES}/*.png")
list(APPEND drawn ${committed})
list(REMOVE_DUPLICATES drawn)
list(LENGTH committed count)
if(count EQUAL 0)
  message(FATAL_ERROR "no committed images in ${IMAGES}")
endif()
set(stale)
foreach(image ${drawn})
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                  "${SCRATCH}/${image}" "${IMAGES}/${image}" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale ${image})
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "regenerated artwork differs from the committed images: ${stale}")
endif()

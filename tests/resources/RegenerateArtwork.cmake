# Redraws the artwork into a scratch directory and compares it byte for byte
# with the committed images, so that a changed generator cannot go unnoticed
# with stale images in resources/img.
# Run with: cmake -DPYTHON=<python3> -DGENERATOR=<make_artwork.py> -DIMAGES=<resources/img> -DSCRATCH=<dir> -P RegenerateArtwork.cmake
file(REMOVE_RECURSE "${SCRATCH}")
execute_process(COMMAND "${PYTHON}" "${GENERATOR}" --out "${SCRATCH}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the artwork generator failed: ${result}")
endif()
set(stale)
foreach(image DRY CHOP FADE BY BG OUT)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files
                  "${SCRATCH}/${image}.png" "${IMAGES}/${image}.png" RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale ${image}.png)
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "regenerated artwork differs from the committed images: ${stale}")
endif()

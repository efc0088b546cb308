# cmake -DTOOL=<morvex-artwork> -DFONTS_CONFIG=<FONTCONFIG_FILE> -DOUT=<folder> -P ...
# The editor previews, whose lettering is drawn as the program runs, come out
# byte for byte the same on a machine whose own fonts resolve every face
# elsewhere.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
foreach(kind preview preview-info)
  foreach(scale 1 2)
    execute_process(COMMAND ${TOOL} --${kind} ${OUT}/here.png --scale ${scale}
                    RESULT_VARIABLE here)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env FONTCONFIG_FILE=${FONTS_CONFIG}
                            ${TOOL} --${kind} ${OUT}/other.png --scale ${scale}
                    RESULT_VARIABLE other)
    if(NOT here EQUAL 0 OR NOT other EQUAL 0)
      message(FATAL_ERROR "--${kind} --scale ${scale} failed: ${here}, ${other}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/here.png ${OUT}/other.png
                    RESULT_VARIABLE differ)
    if(NOT differ EQUAL 0)
      message(FATAL_ERROR "--${kind} --scale ${scale} differs on the other machine's fonts")
    endif()
  endforeach()
endforeach()

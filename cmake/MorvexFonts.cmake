# The fonts the editor draws with, carried by every bundle so that its text
# measures and looks the same whatever fonts a machine has: DejaVu Sans and
# DejaVu Sans Mono from Debian's fonts-dejavu-core, with their licence.
set(MORVEX_FONT_SOURCE_DIR /usr/share/fonts/truetype/dejavu)
set(MORVEX_FONT_NAMES DejaVuSans.ttf DejaVuSans-Bold.ttf DejaVuSansMono.ttf DejaVuSansMono-Bold.ttf)
set(MORVEX_FONT_LICENSE /usr/share/doc/fonts-dejavu-core/copyright)
foreach(f ${MORVEX_FONT_NAMES})
  if(NOT EXISTS ${MORVEX_FONT_SOURCE_DIR}/${f})
    message(FATAL_ERROR "${MORVEX_FONT_SOURCE_DIR}/${f} is missing: run scripts/install-deps (fonts-dejavu-core)")
  endif()
endforeach()

# morvex_copy_fonts(<target> <folder>): <target> builds <folder> holding the
# fonts and LICENSE-DejaVu.txt.
function(morvex_copy_fonts target folder)
  set(sources ${MORVEX_FONT_NAMES})
  list(TRANSFORM sources PREPEND ${MORVEX_FONT_SOURCE_DIR}/)
  set(outputs ${MORVEX_FONT_NAMES})
  list(TRANSFORM outputs PREPEND ${folder}/)
  add_custom_command(
    OUTPUT ${outputs} ${folder}/LICENSE-DejaVu.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${sources} ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${MORVEX_FONT_LICENSE} ${folder}/LICENSE-DejaVu.txt
    DEPENDS ${sources} ${MORVEX_FONT_LICENSE}
    VERBATIM)
  add_custom_target(${target} DEPENDS ${outputs} ${folder}/LICENSE-DejaVu.txt)
endfunction()

# What a short render loads starts as quickly as it can: a render of a few
# milliseconds of audio is mostly the dynamic loader mapping and relocating
# the program, the platform library and the component. Unused code goes
# (-ffunction-sections, set for every object, with --gc-sections), only
# libraries that are used are named (--as-needed), relative relocations are
# packed (DT_RELR: a table of a few words to read rather than one entry per
# pointer) and the symbol hash tables are optimised (-O1).
#
# The C++ run-time library is linked in, the part each uses: loading and
# relocating libstdc++.so and libgcc_s.so (whose constructor probes the
# processor) costs a short render more than all it does itself. The
# libraries it goes into speak C to each other (the platform's API, the
# component's entries) and let no exception out. Sanitizer and fuzz builds
# keep the shared ones, whose allocation functions the sanitizers replace.
function(morvex_quick_start target)
  target_link_options(${target} PRIVATE -Wl,-O1 -Wl,--as-needed -Wl,--gc-sections
    -Wl,-z,pack-relative-relocs)
  if(MORVEX_SANITIZE STREQUAL "" AND NOT MORVEX_FUZZ)
    target_link_options(${target} PRIVATE -static-libstdc++ -static-libgcc)
  endif()
endfunction()

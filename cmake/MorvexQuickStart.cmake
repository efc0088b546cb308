# What a short render loads starts as quickly as it can: a render of a few
# milliseconds of audio is mostly the dynamic loader mapping and relocating
# the program, the platform library and the component. Unused code goes
# (-ffunction-sections, set for every object, with --gc-sections), only
# libraries that are used are named (--as-needed), relative relocations are
# packed (DT_RELR: a table to read of a few words rather than one entry per
# pointer) and the symbol hash tables are optimised (-O1).
function(morvex_quick_start target)
  target_link_options(${target} PRIVATE -Wl,-O1 -Wl,--as-needed -Wl,--gc-sections
    -Wl,-z,pack-relative-relocs)
endfunction()

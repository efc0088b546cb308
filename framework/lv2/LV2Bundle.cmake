# morvex_add_lv2_bundle(<target> UI <ui target> IDENTITY <identity target>
#     PLUGIN <library> UI_PLUGIN <library> [FOLDER <folder>])
# The LV2 bundle <NAME>.lv2 in FOLDER (by default the top of the build
# tree), from the identity morvex_plugin_identity declared: <NAME>.so (the
# library <target>, made of PLUGIN, the effect built without its editor),
# <NAME>UI.so (<ui target>, made of UI_PLUGIN, the effect with its editor
# and the window layers), manifest.ttl, plugins.ttl and presets.ttl, and the
# editor's fonts. Each
# library defines MakePlug. Building <target> builds the whole bundle, whose
# folder its MORVEX_BUNDLE_DIR property tells.
#
# Each library needs nothing of ours outside the bundle: ours is linked in
# (with a copy of the platform library of its own), hidden behind the one
# exported descriptor, and only the system libraries it calls are needed.
# The Turtle is written at build time from the plug-in itself by
# <name>-lv2-ttl.
function(morvex_add_lv2_bundle target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "UI;IDENTITY;PLUGIN;UI_PLUGIN;FOLDER" "")
  morvex_read_identity(${arg_IDENTITY})
  if(NOT arg_FOLDER)
    set(arg_FOLDER ${CMAKE_BINARY_DIR})
  endif()
  set(bundle ${arg_FOLDER}/${ID_NAME}.lv2)
  set(here ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/bundle)
  set(LV2_BINARY ${ID_NAME}.so)
  set(LV2_UI_BINARY ${ID_NAME}UI.so)
  set(identity ${CMAKE_CURRENT_BINARY_DIR}/${target}/Identity.cpp)
  configure_file(${here}/Identity.cpp.in ${identity} @ONLY)

  add_library(${target} MODULE ${here}/Entry.cpp ${identity})
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${arg_PLUGIN}>")
  morvex_lv2_library(${target} ${ID_NAME} ${bundle} ${here}/exports.map)
  set_target_properties(${target} PROPERTIES MORVEX_BUNDLE_DIR ${bundle})

  add_library(${arg_UI} MODULE ${here}/UIEntry.cpp ${identity})
  target_link_libraries(${arg_UI} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${arg_UI_PLUGIN}>")
  morvex_lv2_library(${arg_UI} ${ID_NAME}UI ${bundle} ${here}/ui-exports.map)
  # Never unloaded once loaded: the user interface leaves handlers with Xlib
  # and fonts with its fontconfig configuration for the life of the process,
  # which must not point into unmapped code after a host closes the library.
  target_link_options(${arg_UI} PRIVATE -Wl,-z,nodelete)
  add_dependencies(${target} ${arg_UI})

  string(TOLOWER ${ID_NAME}-lv2-ttl writer)
  add_executable(${writer} ${here}/WriteTurtle.cpp ${identity})
  target_link_libraries(${writer} PRIVATE ${arg_PLUGIN})
  set(turtle ${bundle}/manifest.ttl ${bundle}/plugins.ttl ${bundle}/presets.ttl)
  add_custom_command(
    OUTPUT ${turtle}
    COMMAND ${writer} ${bundle}
    DEPENDS ${writer}
    COMMENT "Writing the Turtle of ${ID_NAME}.lv2"
    VERBATIM)
  add_custom_target(${target}_turtle DEPENDS ${turtle})
  add_dependencies(${target} ${target}_turtle)
  morvex_copy_fonts(${target}_fonts ${bundle}/fonts)
  add_dependencies(${target} ${target}_fonts)
endfunction()

# One library of the bundle, exporting only what <map> names.
function(morvex_lv2_library target output bundle map)
  set_target_properties(${target} PROPERTIES
    PREFIX "" OUTPUT_NAME ${output} MORVEX_OWN_PLATFORM ON SKIP_BUILD_RPATH ON
    LIBRARY_OUTPUT_DIRECTORY ${bundle}
    LINK_DEPENDS ${map})
  target_link_options(${target} PRIVATE -Wl,--as-needed -Wl,--no-undefined
    -Wl,--version-script=${map})
endfunction()

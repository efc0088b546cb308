# morvex_add_au_bundle(<target> IDENTITY <identity target> EFFECT <library>
#     [FOLDER <folder>])
# The Audio Unit bundle <NAME>.component in FOLDER (by default the top of the
# build tree), from the identity morvex_plugin_identity declared:
# Contents/Info.plist, Contents/MacOS/<NAME> (the library <target>) and
# Contents/Resources with the editor's fonts.
# The library's only exported symbols are the entry points the Info.plist
# names; the whole of <library> goes in, since the entry reaches the effect
# only through the MakePlug it defines. The platform library is the host's:
# the host has loaded it before the component, so the component names it by
# soname and carries no run path. <target>'s MORVEX_BUNDLE_DIR property tells
# where the bundle is, for the effect's own resources.
function(morvex_add_au_bundle target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "IDENTITY;EFFECT;FOLDER" "")
  morvex_read_identity(${arg_IDENTITY})
  if(NOT arg_FOLDER)
    set(arg_FOLDER ${CMAKE_BINARY_DIR})
  endif()
  set(bundle ${arg_FOLDER}/${ID_NAME}.component)
  set(templates ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/bundle)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target})
  configure_file(${templates}/Entry.cpp.in ${generated}/Entry.cpp @ONLY)
  configure_file(${templates}/exports.map.in ${generated}/exports.map @ONLY)
  configure_file(${templates}/Info.plist.in ${bundle}/Contents/Info.plist @ONLY)

  add_library(${target} MODULE ${generated}/Entry.cpp)
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${arg_EFFECT}>")
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME ${ID_NAME} SKIP_BUILD_RPATH ON
    LIBRARY_OUTPUT_DIRECTORY ${bundle}/Contents/MacOS
    LINK_DEPENDS ${generated}/exports.map
    MORVEX_BUNDLE_DIR ${bundle})
  target_link_options(${target} PRIVATE -Wl,--version-script=${generated}/exports.map)
  file(MAKE_DIRECTORY ${bundle}/Contents/Resources)
  morvex_copy_fonts(${target}_fonts ${bundle}/Contents/Resources/fonts)
  add_dependencies(${target} ${target}_fonts)
endfunction()

# morvex_add_au_bundle(<target> IDENTITY <identity target> EFFECT <library>
#     [EDITOR <library>] [FOLDER <folder>])
# The Audio Unit bundle <NAME>.component in FOLDER (by default the top of the
# build tree), from the identity morvex_plugin_identity declared:
# Contents/Info.plist, Contents/MacOS/<NAME> (the library <target>) and
# Contents/Resources with the editor's fonts.
# The library's only exported symbols are the entry points the Info.plist
# names; the whole of EFFECT goes in, since the entry reaches the effect
# only through the MakePlug it defines. With EDITOR, the editor is a second
# library, Contents/MacOS/<NAME>UI (the target <target>UI), holding the whole
# of EDITOR and exporting only the entry EditorLibrary.h describes, which
# calls the MakeEditorOf EDITOR defines; EFFECT loads it on a host's first
# request for a view, so that a host that only renders maps nothing of the
# editor's. It is never unloaded: it leaves handlers with the window system
# and fonts with their configuration. The platform library is the host's:
# the host has loaded it before the component, so the component names it by
# soname and carries no run path. <target>'s MORVEX_BUNDLE_DIR property tells
# where the bundle is, for the effect's own resources.
function(morvex_add_au_bundle target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "IDENTITY;EFFECT;EDITOR;FOLDER" "")
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

  morvex_component_library(${target} ${ID_NAME} ${generated}/Entry.cpp ${arg_EFFECT}
    ${generated}/exports.map ${bundle})
  set_target_properties(${target} PROPERTIES MORVEX_BUNDLE_DIR ${bundle})
  if(arg_EDITOR)
    configure_file(${templates}/EditorEntry.cpp.in ${generated}/EditorEntry.cpp @ONLY)
    configure_file(${templates}/editor-exports.map.in ${generated}/editor-exports.map @ONLY)
    morvex_component_library(${target}UI ${ID_EDITOR_LIBRARY} ${generated}/EditorEntry.cpp
      ${arg_EDITOR} ${generated}/editor-exports.map ${bundle})
    target_link_options(${target}UI PRIVATE -Wl,-z,nodelete)
    add_dependencies(${target} ${target}UI)
  endif()
  file(MAKE_DIRECTORY ${bundle}/Contents/Resources)
  morvex_copy_fonts(${target}_fonts ${bundle}/Contents/Resources/fonts)
  add_dependencies(${target} ${target}_fonts)
endfunction()

# One library of an Audio Unit bundle: <entry> and the whole of <library>,
# exporting only what <map> names, starting quickly (MorvexQuickStart.cmake).
function(morvex_component_library target output entry library map bundle)
  add_library(${target} MODULE ${entry})
  target_link_libraries(${target} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
  set_target_properties(${target} PROPERTIES
    PREFIX "" SUFFIX "" OUTPUT_NAME ${output} SKIP_BUILD_RPATH ON
    LIBRARY_OUTPUT_DIRECTORY ${bundle}/Contents/MacOS
    LINK_DEPENDS ${map})
  target_link_options(${target} PRIVATE -Wl,--no-undefined -Wl,--version-script=${map})
  morvex_quick_start(${target})
endfunction()

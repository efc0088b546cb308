# An effect's identity, declared once, and read back by the bundle recipes.

# The keys an effect declares, then what follows from them, worked out here
# alone so that the header, the Info.plist and the entry points cannot
# disagree. A macro, since functions run in their callers' folders.
macro(morvex_identity_keys)
  set(declared_keys NAME MANUFACTURER VERSION TYPE SUBTYPE MANUFACTURER_CODE BUNDLE_ID LV2_URI
      LICENSE)
  set(derived_keys PACKED_VERSION COMPONENT_NAME ENTRY VIEW_ENTRY VIEW_CLASS VIEW_DESCRIPTION
      USER_DATA_FOLDER EDITOR_LIBRARY EDITOR_ENTRY)
endmacro()

# morvex_plugin_identity(<target> NAME <name> MANUFACTURER <maker>
#     VERSION <major.minor.patch> TYPE <code> SUBTYPE <code> MANUFACTURER_CODE <code>
#     BUNDLE_ID <id> LV2_URI <uri> LICENSE <uri>)
# <target> becomes an interface library whose users include
# "<folder>/<NAME>Identity.h", <folder> being the calling folder's place in
# the source tree: k<NAME>Name, k<NAME>Type and the rest, as constants. NAME
# names C++ constants and the Audio Unit's entry points, so it is an
# identifier; the codes are four characters.
function(morvex_plugin_identity target)
  morvex_identity_keys()
  cmake_parse_arguments(PARSE_ARGV 1 ID "" "${declared_keys}" "")
  foreach(key ${declared_keys})
    if(NOT DEFINED ID_${key})
      message(FATAL_ERROR "morvex_plugin_identity(${target}): ${key} is missing")
    endif()
  endforeach()
  if(NOT ID_NAME MATCHES "^[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "morvex_plugin_identity(${target}): NAME ${ID_NAME} is no identifier")
  endif()
  foreach(code TYPE SUBTYPE MANUFACTURER_CODE)
    string(LENGTH "${ID_${code}}" length)
    if(NOT length EQUAL 4)
      message(FATAL_ERROR "morvex_plugin_identity(${target}): ${code} ${ID_${code}} is not four characters")
    endif()
  endforeach()
  if(NOT ID_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "morvex_plugin_identity(${target}): VERSION ${ID_VERSION} is not major.minor.patch")
  endif()
  math(EXPR ID_PACKED_VERSION
       "${CMAKE_MATCH_1} * 65536 + ${CMAKE_MATCH_2} * 256 + ${CMAKE_MATCH_3}")
  set(ID_COMPONENT_NAME "${ID_MANUFACTURER}: ${ID_NAME}")
  set(ID_ENTRY ${ID_NAME}_Entry)
  set(ID_VIEW_ENTRY ${ID_NAME}_ViewEntry)
  set(ID_VIEW_CLASS ${ID_NAME}_View)
  set(ID_VIEW_DESCRIPTION "${ID_NAME} View")
  string(TOLOWER ${ID_NAME} ID_USER_DATA_FOLDER)
  set(ID_EDITOR_LIBRARY ${ID_NAME}UI)
  set(ID_EDITOR_ENTRY ${ID_NAME}_MakeEditor)

  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/PluginIdentity.h.in
                 ${CMAKE_BINARY_DIR}/generated/${folder}/${ID_NAME}Identity.h @ONLY)
  add_library(${target} INTERFACE)
  target_include_directories(${target} INTERFACE ${CMAKE_BINARY_DIR}/generated)
  foreach(key ${declared_keys} ${derived_keys})
    set_property(TARGET ${target} PROPERTY MORVEX_ID_${key} "${ID_${key}}")
  endforeach()
endfunction()

# morvex_read_identity(<identity target>): ID_NAME, ID_ENTRY and every other
# value of the identity as variables of the caller, for configuring a
# template.
function(morvex_read_identity target)
  morvex_identity_keys()
  foreach(key ${declared_keys} ${derived_keys})
    get_target_property(value ${target} MORVEX_ID_${key})
    set(ID_${key} "${value}" PARENT_SCOPE)
  endforeach()
endfunction()

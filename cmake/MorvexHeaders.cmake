# Every public header must compile on its own: for each header of a library,
# a one-line translation unit that includes only it is compiled as part of
# the library's header check target.
function(morvex_check_headers target)
  get_target_property(source_dir ${target} SOURCE_DIR)
  file(GLOB_RECURSE headers RELATIVE ${source_dir} CONFIGURE_DEPENDS ${source_dir}/*.h)
  if(NOT headers)
    return()
  endif()
  set(units "")
  foreach(header IN LISTS headers)
    string(MAKE_C_IDENTIFIER ${header} stem)
    set(unit ${CMAKE_CURRENT_BINARY_DIR}/header_check/${stem}.cpp)
    file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${source_dir}/${header}\"\n")
    list(APPEND units ${unit})
  endforeach()
  add_library(${target}_header_check OBJECT ${units})
  target_link_libraries(${target}_header_check PRIVATE ${target})
endfunction()

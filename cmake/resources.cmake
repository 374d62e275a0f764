# tv_resources(TARGET ICON id file ... DIALOG id file ...): compiles the
# files into TARGET as its resources (RT_GROUP_ICON for icons, RT_DIALOG for
# dialog templates), found by LoadImageA, LoadIconA and the dialog calls with
# the module's handle.
function(tv_resources target)
  set(entries "")
  set(files "")
  set(kind "")
  set(id "")
  foreach(arg ${ARGN})
    if(arg STREQUAL "ICON")
      set(kind 14)
    elseif(arg STREQUAL "DIALOG")
      set(kind 5)
    elseif(id STREQUAL "")
      set(id ${arg})
    else()
      get_filename_component(path ${arg} ABSOLUTE)
      list(APPEND entries "${kind}:${id}:${path}")
      list(APPEND files ${path})
      set(id "")
    endif()
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources.cpp)
  string(REPLACE ";" "|" joined "${entries}")
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DOUT=${out} "-DENTRIES=${joined}" -P ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
    DEPENDS ${files} ${CMAKE_SOURCE_DIR}/cmake/embed_resources.cmake
    COMMENT "Resources of ${target}" VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()

# tv_export_list(TARGET FILE): the shared library TARGET exports exactly the
# names listed in FILE (one a line), through a generated version script, and
# a test checks its dynamic symbol table against the list.
function(tv_export_list target file)
  file(STRINGS ${file} names)
  set(script "{\n  global:\n")
  foreach(n IN LISTS names)
    string(APPEND script "    ${n};\n")
  endforeach()
  string(APPEND script "  local: *;\n};\n")
  set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${map} "${script}")
  target_link_options(${target} PRIVATE "-Wl,--version-script=${map}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map} ${file})
  add_test(NAME ${target}_exports
    COMMAND ${CMAKE_COMMAND} -DLIB=$<TARGET_FILE:${target}> -DLIST=${file}
            -P ${CMAKE_SOURCE_DIR}/cmake/check_exports.cmake)
  set_tests_properties(${target}_exports PROPERTIES LABELS unit)
endfunction()

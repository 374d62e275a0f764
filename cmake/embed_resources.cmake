# Writes OUT: the bytes of every "type:id:file" of ENTRIES ("|"-separated) and
# a registration with the platform when the module loads.
string(REPLACE "|" ";" entries "${ENTRIES}")
set(arrays "")
set(rows "")
set(n 0)
foreach(entry ${entries})
  string(REGEX MATCH "^([0-9]+):([0-9]+):(.*)$" _ "${entry}")
  set(type ${CMAKE_MATCH_1})
  set(id ${CMAKE_MATCH_2})
  set(file ${CMAKE_MATCH_3})
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" len)
  math(EXPR size "${len} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "static const BYTE res_${n}[] = {${bytes}};\n")
  string(APPEND rows "    {${type}, ${id}, res_${n}, ${size}},\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE ${OUT}.tmp "/* Generated from the module's resource files; do not edit. */
#include \"win32.h\"

namespace {
${arrays}
const PLATFORM_RESOURCE table[] = {
${rows}};
struct Registration {
    Registration() { PlatformRegisterResources(table, table, ${n}); }
    ~Registration() { PlatformUnregisterResources(table); }
} registration;
} // namespace
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)

# Turns the resource script into a C++ table of byte arrays.
# Called at build time: cmake -DLIST=<script> -DSOURCE_DIR=<dir> -DOUTPUT=<file> -P embed.cmake
include(${CMAKE_CURRENT_LIST_DIR}/resource_script.cmake)
read_resource_script("${LIST}" script)
set(arrays "")
set(entries "")
set(n 0)
foreach(type id language path IN ZIP_LISTS script_TYPES script_IDS script_LANGUAGES script_FILES)
  file(READ "${SOURCE_DIR}/${path}" hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  if(size EQUAL 0)
    set(body "0")
  else()
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," body "${hex}")
    # Keep lines of a readable length.
    string(REGEX REPLACE "((0x..,){24})" "\\1\n" body "${body}")
  endif()
  string(APPEND arrays "// ${type} ${id}: ${path}\nconst unsigned char r${n}[] = {\n${body}\n};\n")
  string(APPEND entries "    {\"${type}\", ${id}, ${language}, r${n}, ${size}},\n")
  math(EXPR n "${n} + 1")
endforeach()
if(n EQUAL 0)
  set(entries "    {\"\", 0, 0, nullptr, 0},\n")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from the resource script by embed.cmake; do not edit.
#include \"platform/resources.h\"

namespace {
${arrays}}

namespace platform {
extern const ResourceEntry kShippedResources[] = {
${entries}};
extern const std::size_t kShippedResourceCount = ${n};
}
")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different "${OUTPUT}.tmp" "${OUTPUT}")

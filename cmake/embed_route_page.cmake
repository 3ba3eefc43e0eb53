# Embeds the route page's files into the tool as C++ constants:
#   cmake -DPAGE_DIR=tools/scenario-tool/view/page -DOUTPUT=route_page_files.cpp -P embed_route_page.cmake
# The template, the style and the scripts listed in scripts.txt (joined in that order, each
# ending with a line end) become raw string literals. The file is rewritten only when it
# changes, so that an unchanged page compiles nothing again.
cmake_minimum_required(VERSION 3.25)

if(NOT PAGE_DIR OR NOT OUTPUT)
  message(FATAL_ERROR "embed_route_page.cmake needs -DPAGE_DIR=... and -DOUTPUT=...")
endif()

set(delimiter "page")

function(read_part file variable)
  if(NOT EXISTS "${PAGE_DIR}/${file}")
    message(FATAL_ERROR "the route page has no ${file} in ${PAGE_DIR}")
  endif()
  file(READ "${PAGE_DIR}/${file}" text)
  string(FIND "${text}" ")${delimiter}\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds )${delimiter}\", which would end its raw string")
  endif()
  set(${variable} "${text}" PARENT_SCOPE)
endfunction()

# A closing tag inside the inlined style or script would end its element early.
function(refuse_closing text closer what)
  string(TOLOWER "${text}" lower)
  string(FIND "${lower}" "${closer}" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "the route page's ${what} holds ${closer}")
  endif()
endfunction()

read_part(route.html page_template)
read_part(route.css style)
refuse_closing("${style}" "</style" "style")

file(STRINGS "${PAGE_DIR}/scripts.txt" script_names)
set(script "")
foreach(name IN LISTS script_names)
  string(STRIP "${name}" name)
  if(name STREQUAL "" OR name MATCHES "^#")
    continue()
  endif()
  read_part("${name}" part)
  string(APPEND script "${part}\n")
endforeach()
refuse_closing("${script}" "</script" "script")

set(cpp "// Made by the build from tools/scenario-tool/view/page (cmake/embed_route_page.cmake):\n")
string(APPEND cpp "// edit the page's own files, not this one.\n")
string(APPEND cpp "#include \"view/route_page_files.h\"\n\n")
string(APPEND cpp "namespace scenario::tool::route_page_files {\n\n")
foreach(part IN ITEMS page_template style script)
  string(APPEND cpp "const std::string_view ${part} = R\"${delimiter}(${${part}})${delimiter}\";\n\n")
endforeach()
string(APPEND cpp "}  // namespace scenario::tool::route_page_files\n")

file(WRITE "${OUTPUT}.new" "${cpp}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")

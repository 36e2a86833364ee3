# Writes OUT, a C++ file that holds the web page's files (FILES, a
# semicolon-separated list) as byte arrays, each with its address, its
# content type and an entity tag made from its SHA-256, for
# src/serve/service_page.h. Run at build time as
#   cmake -DOUT=page_files.cc -DFILES="a;b" -P EmbedPage.cmake
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  get_filename_component(ext "${file}" LAST_EXT)
  if(ext STREQUAL ".html")
    set(type "text/html; charset=utf-8")
  elseif(ext STREQUAL ".js")
    set(type "text/javascript; charset=utf-8")
  elseif(ext STREQUAL ".css")
    set(type "text/css; charset=utf-8")
  elseif(ext STREQUAL ".svg")
    set(type "image/svg+xml")
  else()
    message(FATAL_ERROR "EmbedPage: no content type for ${file}")
  endif()
  if(name STREQUAL "index.html")
    set(address "/")
  else()
    set(address "/${name}")
  endif()
  file(READ "${file}" hex HEX)
  file(SHA256 "${file}" sum)
  string(SUBSTRING "${sum}" 0 20 tag)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX REPLACE "((('\\\\x[0-9a-f][0-9a-f]',){16}))" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "constexpr char kFile${index}[] = {\n    ${bytes}};\n")
  string(APPEND entries
    "    {\"${address}\", \"${type}\", {kFile${index}, ${size}}, \"\\\"${tag}\\\"\"},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUT}.tmp"
  "// Written by cmake/EmbedPage.cmake from src/serve/page; do not edit.\n"
  "#include \"serve/service_page.h\"\n\n"
  "namespace lintaro {\nnamespace {\n\n"
  "${arrays}\n"
  "constexpr PageFile kPageFiles[] = {\n${entries}};\n\n"
  "}  // namespace\n\n"
  "std::span<const PageFile> PageFiles() { return kPageFiles; }\n\n"
  "}  // namespace lintaro\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")

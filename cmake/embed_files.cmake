# Writes a C++ source holding files as byte arrays.
#   cmake -DOUTPUT=out.cpp -DFILES="path=symbol;path=symbol" -P embed_files.cmake
# Each symbol becomes `extern const std::uint8_t symbol[]` with
# `extern const std::size_t symbol_size`.
set(text "// Generated from the files named below; do not edit.\n#include <cstddef>\n#include <cstdint>\n\n")
foreach(entry ${FILES})
  string(REPLACE "=" ";" parts "${entry}")
  list(GET parts 0 path)
  list(GET parts 1 symbol)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n  " bytes "${bytes}")
  get_filename_component(name "${path}" NAME)
  string(APPEND text "// ${name}\nextern const std::uint8_t ${symbol}[] = {\n  ${bytes}\n};\n"
         "extern const std::size_t ${symbol}_size = ${size};\n\n")
endforeach()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

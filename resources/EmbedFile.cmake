# Writes a C++ source that holds the bytes of a file as a constant array.
# Run with: cmake -DINPUT=<file> -DOUTPUT=<source> -DSYMBOL=<array name> -P EmbedFile.cmake
# The array gets the name SYMBOL and its length the name SYMBOL followed by "Size".
foreach(arg INPUT OUTPUT SYMBOL)
  if(NOT DEFINED ${arg})
    message(FATAL_ERROR "EmbedFile.cmake: ${arg} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "EmbedFile.cmake: ${INPUT} is empty")
endif()
math(EXPR size "${digits} / 2")

# 32 bytes per line, each as 0xNN.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 32 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")

get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated at build time from ${name}; do not edit.\n"
  "extern const unsigned char ${SYMBOL}[${size}] = {\n${bytes}\n};\n"
  "extern const int ${SYMBOL}Size = ${size};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")

# cmake -DINPUT=file.res -DOUTPUT=file.c -P embed_bytes.cmake
# Writes the bytes of INPUT as the C array win32layer_resource_data.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT}
  "/* Generated from ${INPUT}; do not edit. */\n"
  "#include <stddef.h>\n"
  "const unsigned char win32layer_resource_data[] = {\n${bytes}\n};\n"
  "const size_t win32layer_resource_size = sizeof win32layer_resource_data;\n")

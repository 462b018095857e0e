# Writes INPUT's bytes into OUTPUT as a C++ array lumora::detail::SYMBOL
# (and SYMBOL's size as <SYMBOL without "Bytes">Size), so a page ships inside the program.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REPEAT "[0-9a-f]" 32 line)
string(REGEX REPLACE "(${line})" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "Bytes$" "Size" sizeSymbol "${SYMBOL}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\nnamespace lumora::detail {\nextern const unsigned char ${SYMBOL}[] = {\n${bytes}};\nextern const std::size_t ${sizeSymbol} = ${size};\n}  // namespace lumora::detail\n")

# Writes the text of the file IN (FROM, as the tree names it) into the
# header OUT as the C++ raw string literal NAME (a constexpr std::string_view
# in namespace zor), so that a program carries the file as it stands in the
# tree. Run by cmake -P at build time.
file(READ "${IN}" text)
string(FIND "${text}" ")embedded\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${IN} holds the end of the raw string that embeds it")
endif()
file(WRITE "${OUT}.tmp" "#pragma once\n// Made at build time from ${FROM}; edit that file, not this one.\n\n#include <string_view>\n\nnamespace zor {\n\ninline constexpr std::string_view ${NAME} = R\"embedded(${text})embedded\";\n\n} // namespace zor\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")

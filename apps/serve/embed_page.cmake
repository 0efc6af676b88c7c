# Turns page.html into a C++ source holding it as a raw string literal:
# cmake -DINPUT=page.html -DOUTPUT=page.cpp -P embed_page.cmake
file(READ "${INPUT}" page)
set(delimiter "brenk_page")
string(FIND "${page}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string delimiter )${delimiter}\"")
endif()
file(WRITE "${OUTPUT}.tmp"
  "// Generated from apps/serve/page.html by embed_page.cmake; edit the page, not this file.\n"
  "#include \"apps/serve/page.h\"\n\n"
  "namespace brenk::serve {\n\n"
  "std::string_view pageHtml() {\n"
  "  static constexpr char kPage[] = R\"${delimiter}(${page})${delimiter}\";\n"
  "  return std::string_view(kPage, sizeof kPage - 1);\n"
  "}\n\n"
  "}  // namespace brenk::serve\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")

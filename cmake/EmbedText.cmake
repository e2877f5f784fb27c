# Writes a C++ source that defines `const char* <FUNCTION>()` returning the
# contents of INPUT, so a text ships inside the program and cannot go missing.
# Usage: cmake -DINPUT=... -DOUTPUT=... -DFUNCTION=... -P EmbedText.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "namespace tenfold {\n"
  "namespace {\nconst unsigned char kText[] = {\n${bytes}0};\n}  // namespace\n"
  "const char* ${FUNCTION}() { return reinterpret_cast<const char*>(kText); }\n"
  "}  // namespace tenfold\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")

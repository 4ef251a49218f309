# Writes a C++ source that holds a file's bytes unchanged, as the function instructionsText().
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${content}")
file(WRITE "${OUTPUT}" "#include <string_view>\nnamespace { constexpr char kText[] = {${bytes} 0}; }\n"
  "std::string_view instructionsText() { return {kText, sizeof kText - 1}; }\n")

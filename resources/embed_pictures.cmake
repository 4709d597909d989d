# Writes the pictures given in FILES as byte arrays into OUT, with EmbeddedPicture() to find
# them by file name. Run as cmake -DOUT=... -DFILES=a;b -P embed_pictures.cmake.
set(text "// Made from the files in resources/ by embed_pictures.cmake.\n")
string(APPEND text "#include \"resources/embedded_pictures.h\"\n\n#include <cstring>\n\nnamespace {\n")
set(table "")
set(index 0)
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND text "const unsigned char kBytes${index}[] = {${bytes}};\n")
  string(APPEND table "    {\"${name}\", kBytes${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND text "struct Entry {\n    const char* name;\n    const unsigned char* bytes;\n"
       "    std::size_t size;\n};\nconst Entry kEntries[] = {\n${table}};\n}  // namespace\n\n"
       "EmbeddedBytes EmbeddedPicture(const char* fileName) {\n"
       "    for (const Entry& entry : kEntries) {\n"
       "        if (std::strcmp(entry.name, fileName) == 0) return {entry.bytes, entry.size};\n"
       "    }\n    return {nullptr, 0};\n}\n")
file(WRITE ${OUT} "${text}")

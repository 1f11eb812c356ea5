# cmake -DMEDIA_DIR=<folder> -DMEDIA_FILES=<name,name,...> -DOUTPUT=<file.cpp> -P embed_media.cmake
# Writes the named files of MEDIA_DIR into a C++ source as byte arrays, with a
# table by file name that SampleMedia() looks them up in.
string(REPLACE "," ";" names "${MEDIA_FILES}")
string(REPEAT "0x..," 16 sixteen)
set(arrays "")
set(table "")
set(index 0)
foreach(name IN LISTS names)
  file(READ ${MEDIA_DIR}/${name} hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(${sixteen})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "constexpr unsigned char kFile${index}[] = {\n${bytes}\n};\n")
  string(APPEND table "    {\"${name}\", kFile${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.new "// Made by embed_media.cmake from standins/sample_suite/media/; do not edit.
#include \"sample_suite/sample_media.h\"

namespace velmora::standins {
namespace {
${arrays}}  // namespace

extern const SampleMediaFile kSampleMediaFiles[] = {
${table}};
extern const int kSampleMediaCount = ${index};

}  // namespace velmora::standins
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)

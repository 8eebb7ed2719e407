# Writes OUTPUT, a C++ source that holds the bytes of FILES for BundledExamples()
# (src/report/bundled_examples.h), each under its file name.
#
#   cmake -DOUTPUT=<file.cpp> "-DFILES=<path>|<path>..." -P embed_files.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(arrays "")
set(entries "")
set(index 0)
foreach(path IN LISTS FILES)
    get_filename_component(name "${path}" NAME)
    file(READ "${path}" hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # Lines of 16 bytes, so that the source stays readable for a compiler's diagnostics.
    string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "constexpr unsigned char kFile${index}[] = {\n    ${bytes}0};\n")
    string(APPEND entries "        {\"${name}\", std::string_view(reinterpret_cast<const char*>(kFile${index}), ${size})},\n")
    math(EXPR index "${index} + 1")
endforeach()
set(text "// Made by cmake/embed_files.cmake at build time.
#include \"report/bundled_examples.h\"

namespace norvane {

namespace {

${arrays}
}  // namespace

std::span<const BundledFile> BundledExamples() {
    static const BundledFile files[] = {
${entries}    };
    return files;
}

}  // namespace norvane
")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
    if(old STREQUAL text)
        return()
    endif()
endif()
file(WRITE "${OUTPUT}" "${text}")

# Writes OUTPUT, a C++ source that names the source revision the program is built from: the
# commit, with "-dirty" when the tree holds changes not committed, or "unknown" outside a git
# checkout. Run at every build; the file is rewritten only when the revision changed, so that
# nothing is compiled again for nothing.
#
#   cmake -DSOURCE_DIR=<repository> -DOUTPUT=<file.cpp> -P source_revision.cmake
set(revision "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" describe --always --dirty
                            --abbrev=40 --match=NoTagEverMatchesThis
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(status EQUAL 0 AND NOT out STREQUAL "")
        set(revision "${out}")
    endif()
endif()
set(text "// Made by cmake/source_revision.cmake at build time.
#include \"base/source_revision.h\"

namespace norvane {

std::string_view SourceRevision() {
    return \"${revision}\";
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

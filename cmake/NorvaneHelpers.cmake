# Warnings are ours alone: they are private to the project's targets, one list for every target
# of ours (core folders, window, safetycrc, tests, fuzz targets, benchmarks and tools). Qt's and
# GoogleTest's headers come from imported targets and system folders, so the compiler reads them
# as system headers and their warnings do not count; the code Qt's tools generate into a target
# (moc's and rcc's output) is not ours either and compiles without warnings. Conversions are
# warned about because a value that silently changes on its way into the parameter image would
# give a CRC of values other than those shown.
set(NORVANE_WARNING_FLAGS
    -Wall -Wextra -Wpedantic
    -Wconversion -Wsign-conversion
    -Wshadow
    -Wold-style-cast
    -Wnon-virtual-dtor -Woverloaded-virtual)
function(norvane_warnings target)
    target_compile_options(${target} PRIVATE ${NORVANE_WARNING_FLAGS})
    if(NORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    # A source file's options come after the target's on the command line, so -w here silences
    # the list above for generated files alone: rcc's output is among the target's sources,
    # moc's is added when the build is generated, in one file of the target's autogen folder.
    get_target_property(sources ${target} SOURCES)
    foreach(source IN LISTS sources)
        get_source_file_property(generated ${source} GENERATED)
        if(generated)
            set_property(SOURCE ${source} APPEND PROPERTY COMPILE_OPTIONS -w)
        endif()
    endforeach()
    get_target_property(automoc ${target} AUTOMOC)
    if(automoc)
        set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
                     APPEND PROPERTY COMPILE_OPTIONS -w)
    endif()
endfunction()

# norvane_add_test(NAME source...) builds one GoogleTest program and registers its tests.
function(norvane_add_test name)
    add_executable(${name} ${ARGN})
    target_link_libraries(${name} PRIVATE norvane::core GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    norvane_warnings(${name})
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "NORVANE_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/Layers.cmake)

# norvane_core_folder(NAME SOURCES file...) makes one core folder's library, norvane_NAME with
# the alias norvane::NAME, linked to exactly the folders that cmake/Layers.cmake lets it use. A
# table edge that points up or sideways stops the configuration. An include of a folder the
# table does not allow would compile (all folders share one include root), so the build checks
# every include against the same table and stops on such a line (norvane_layers).
function(norvane_core_folder name)
    cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES")
    list(FIND NORVANE_CORE_FOLDERS ${name} level)
    if(level LESS 0)
        message(FATAL_ERROR "${name} is no core folder (NORVANE_CORE_FOLDERS)")
    endif()
    add_library(norvane_${name} STATIC ${arg_SOURCES})
    add_library(norvane::${name} ALIAS norvane_${name})
    target_include_directories(norvane_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    foreach(use IN LISTS NORVANE_LAYER_${name})
        list(FIND NORVANE_CORE_FOLDERS ${use} used)
        if(used LESS 0 OR NOT used LESS level)
            message(FATAL_ERROR "core folder ${name} may not use ${use}: only folders below it")
        endif()
        target_link_libraries(norvane_${name} PUBLIC norvane::${use})
    endforeach()
    norvane_warnings(norvane_${name})
endfunction()

# Warnings are ours alone: they are private to the project's targets.
function(norvane_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
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

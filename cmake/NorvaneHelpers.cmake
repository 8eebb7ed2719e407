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

# Configures the project without the window in a scratch folder and reads the install script it
# writes: safetycrc and its manual page install, nothing of the window does, and no Qt is looked
# for. Configuring alone takes seconds; the full install is tried by scripts/test's package step.
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P check_install_without_window.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(
    COMMAND ${CMAKE_COMMAND} -S "${SOURCE_DIR}" -B "${WORK_DIR}" -G Ninja
            -DNORVANE_GUI=OFF -DNORVANE_TESTS=OFF -DNORVANE_BENCH=OFF
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring without the window failed:\n${output}")
endif()
file(READ "${WORK_DIR}/cmake_install.cmake" rules)
file(GLOB_RECURSE more "${WORK_DIR}/*/cmake_install.cmake")
foreach(file IN LISTS more)
    file(READ "${file}" text)
    string(APPEND rules "${text}")
endforeach()
foreach(expected IN ITEMS "/bin\" TYPE EXECUTABLE FILES \"${WORK_DIR}/safetycrc\""
                          "/share/man/man1\" TYPE FILE FILES \"${WORK_DIR}/package/safetycrc.1.gz\"")
    string(FIND "${rules}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "the install without the window lacks: ${expected}")
    endif()
endforeach()
foreach(unexpected IN ITEMS NorvaneSafetyCRCTool norvane-safety-crc-tool.1 applications)
    string(FIND "${rules}" "${unexpected}" at)
    if(NOT at LESS 0)
        message(FATAL_ERROR "the install without the window holds ${unexpected}")
    endif()
endforeach()
file(STRINGS "${WORK_DIR}/CMakeCache.txt" qt REGEX "^Qt6_DIR:PATH=/")
if(qt)
    message(FATAL_ERROR "configuring without the window looked for Qt: ${qt}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
message(STATUS "without the window: safetycrc and safetycrc(1) install, nothing of the window")

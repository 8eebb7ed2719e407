# Checks the demo settings that the build made: every key the program needs is there, the
# digests are those of the language packs and catalogs in the program folder (so the file was
# made again after each of them changed), and the files it names exist.
#
#   cmake -DSETTINGS=<NorvaneSafetyCRCTool.ini> -DPROGRAM_DIR=<program folder> -P check_demo_settings.cmake
cmake_minimum_required(VERSION 3.25)

include("${CMAKE_CURRENT_LIST_DIR}/check_support.cmake")

if(NOT EXISTS "${SETTINGS}")
    message(FATAL_ERROR "demo settings: ${SETTINGS} is missing (build the project first)")
endif()

# Sections and keys as the program reads them: names ignore case, the first key wins.
file(STRINGS "${SETTINGS}" lines)
set(section "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[([^]]*)\\]")
        string(TOUPPER "${CMAKE_MATCH_1}" section)
    elseif(line MATCHES "^([^=]+)=(.*)$" AND NOT section STREQUAL "")
        string(STRIP "${CMAKE_MATCH_1}" key)
        string(STRIP "${CMAKE_MATCH_2}" value)
        string(TOUPPER "${key}" key)
        if(NOT DEFINED "ini_${section}_${key}")
            set("ini_${section}_${key}" "${value}")
        endif()
    endif()
endforeach()

foreach(key SELECTEDLANGUAGE EDITMODEENABLED CRCDISPLAYFORMAT CLOSECOMMITDIALOG
            PROJECTFOLDERPATH DEBUGTPF)
    if(NOT DEFINED "ini_COMMON_${key}" OR "${ini_COMMON_${key}}" STREQUAL "")
        fail("[COMMON] lacks ${key}")
    endif()
endforeach()
if(DEFINED ini_COMMON_PROJECTFOLDERPATH AND NOT IS_DIRECTORY "${ini_COMMON_PROJECTFOLDERPATH}")
    fail("ProjectFolderPath ${ini_COMMON_PROJECTFOLDERPATH} is no folder")
endif()

foreach(section LANGUAGE01 LANGUAGE02)
    if(NOT "${ini_${section}_ENABLELANGUAGE}" STREQUAL "1")
        fail("[${section}] is not enabled")
    endif()
    foreach(pair "RESOURCEDLL;MD5CHECKSUMDLL" "CONFIGURATIONFILE;MD5CHECKSUMCONF")
        list(GET pair 0 name_key)
        list(GET pair 1 digest_key)
        set(name "${ini_${section}_${name_key}}")
        set(file "${PROGRAM_DIR}/${name}")
        if(name STREQUAL "" OR NOT EXISTS "${file}")
            fail("[${section}] ${name_key} names '${name}', which is not in the program folder")
            continue()
        endif()
        file(MD5 "${file}" digest)
        if(NOT "${ini_${section}_${digest_key}}" STREQUAL "${digest}")
            fail("[${section}] ${digest_key} is '${ini_${section}_${digest_key}}', but ${name} has ${digest}")
        endif()
    endforeach()
    # The help file goes with the catalog: the last two letters of its base name.
    get_filename_component(stem "${ini_${section}_CONFIGURATIONFILE}" NAME_WE)
    string(LENGTH "${stem}" length)
    if(length GREATER_EQUAL 2)
        math(EXPR from "${length} - 2")
        string(SUBSTRING "${stem}" ${from} 2 suffix)
        if(NOT EXISTS "${PROGRAM_DIR}/NorvaneSafetyCRCToolHelp${suffix}.html")
            fail("[${section}] has no help file NorvaneSafetyCRCToolHelp${suffix}.html")
        endif()
    endif()
endforeach()

norvane_report_failures("demo settings")
message(STATUS "demo settings: digests and files match")

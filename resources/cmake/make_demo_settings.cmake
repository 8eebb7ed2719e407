# Writes the demo settings file from its template, with the digests of the files it names.
# Run at build time:
#
#   cmake -DTEMPLATE=... -DOUTPUT=... -DLAST_TEXT=... -DPROGRAM_DIR=... -DPROJECT_FOLDER=...
#         -P make_demo_settings.cmake
#
# TEMPLATE        examples/NorvaneSafetyCRCTool.ini.in
# OUTPUT          the settings file to write (its folders are created)
# LAST_TEXT       where the text made last time is kept (not in the settings folder)
# PROGRAM_DIR     the program folder holding the language packs and the device catalogs
# PROJECT_FOLDER  the folder for project files; created when missing
cmake_minimum_required(VERSION 3.25)

foreach(variable IN ITEMS TEMPLATE OUTPUT LAST_TEXT PROGRAM_DIR PROJECT_FOLDER)
    if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
        message(FATAL_ERROR "make_demo_settings.cmake: ${variable} is not set")
    endif()
endforeach()

# The program compares these digests with the files in its own folder, so they are taken from
# exactly those files.
set(files
    NORVANE_MD5_PACK_EN NorvaneSafetyCRCToolEN.rcc
    NORVANE_MD5_PACK_DE NorvaneSafetyCRCToolDE.rcc
    NORVANE_MD5_CATALOG_EN SafetyConfiguratorEN.xml
    NORVANE_MD5_CATALOG_DE SafetyConfiguratorDE.xml)
while(files)
    list(POP_FRONT files variable file)
    if(NOT EXISTS "${PROGRAM_DIR}/${file}")
        message(FATAL_ERROR "make_demo_settings.cmake: ${PROGRAM_DIR}/${file} is missing")
    endif()
    file(MD5 "${PROGRAM_DIR}/${file}" ${variable})
endwhile()

file(MAKE_DIRECTORY "${PROJECT_FOLDER}")
set(NORVANE_PROJECT_FOLDER "${PROJECT_FOLDER}")

# The text made last time is kept in LAST_TEXT. When the new text is the same, the settings
# file is left as it is, with whatever the program wrote into it since (CrcDisplayFormat,
# SelectedLanguage, ProjectFolderPath); it only gets a new time stamp, so that the build sees
# it as up to date. Otherwise it is written aside and renamed over the old one.
configure_file("${TEMPLATE}" "${LAST_TEXT}.new" @ONLY NEWLINE_STYLE UNIX)
set(unchanged FALSE)
if(EXISTS "${OUTPUT}" AND EXISTS "${LAST_TEXT}")
    file(READ "${LAST_TEXT}" last)
    file(READ "${LAST_TEXT}.new" new)
    if(last STREQUAL new)
        set(unchanged TRUE)
    endif()
endif()
if(NOT unchanged)
    get_filename_component(folder "${OUTPUT}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${LAST_TEXT}.new" "${OUTPUT}.new")
    file(RENAME "${OUTPUT}.new" "${OUTPUT}")
endif()
file(RENAME "${LAST_TEXT}.new" "${LAST_TEXT}")
file(TOUCH "${OUTPUT}")

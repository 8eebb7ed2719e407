# Install rules. safetycrc and its manual page install in every build, the window's files only
# where the window is built (-DNORVANE_GUI=OFF gives a command-line install for audit machines
# and scripts). cmake/Packaging.cmake turns the same rules into the Debian package.
#
# Installed layout (prefix /usr, as the package has it):
#   bin/safetycrc
#   share/man/man1                           safetycrc(1), norvane-safety-crc-tool(1)
#   share/doc/norvane-safety-crc-tool        copyright, changelog.gz
# and with the window:
#   lib/norvane-safety-crc-tool/             the program with its catalogs, language packs and
#                                            help files, which it finds next to itself
#   bin/norvane-safety-crc-tool              link to the program
#   /etc/xdg/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini
#                                            machine-wide settings with the digests of the
#                                            installed catalogs and packs (a conffile)
#   share/applications, metainfo, icons/hicolor, mime/packages
#                                            desktop entry, AppStream data, icons and the
#                                            project-file type, all named com.norvane.SafetyCRCTool
include(GNUInstallDirs)

set(NORVANE_PACKAGE_NAME norvane-safety-crc-tool)
set(NORVANE_APP_ID com.norvane.SafetyCRCTool)
set(NORVANE_RELEASE_DATE 2026-12-08)
# The program's private folder. Not CMAKE_INSTALL_LIBDIR: that is the multiarch folder for
# shared libraries, and the link in bin/ and the installed settings name this folder.
set(NORVANE_INSTALL_PROGRAM_DIR lib/${NORVANE_PACKAGE_NAME})
# The program looks for its machine-wide settings in the XDG system folder, whatever the prefix.
set(NORVANE_INSTALL_SETTINGS_DIR "/etc/xdg/Norvane/Safety Configurator")
set(norvane_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
set(norvane_package_build_dir "${CMAKE_BINARY_DIR}/package")
file(MAKE_DIRECTORY "${norvane_package_build_dir}")

# Manual pages and the changelog, compressed as Debian wants them (best compression, no name
# or time stamp in the gzip header, so the same text gives the same bytes).
set(norvane_man_pages safetycrc.1)
if(TARGET NorvaneSafetyCRCTool)
    list(APPEND norvane_man_pages norvane-safety-crc-tool.1)
endif()
set(norvane_compressed)
foreach(source IN LISTS norvane_man_pages ITEMS changelog)
    configure_file("${norvane_packaging_dir}/${source}" "${norvane_package_build_dir}/${source}"
                   @ONLY)
    add_custom_command(
        OUTPUT "${norvane_package_build_dir}/${source}.gz"
        COMMAND gzip -9nkf "${norvane_package_build_dir}/${source}"
        DEPENDS "${norvane_package_build_dir}/${source}"
        VERBATIM)
    list(APPEND norvane_compressed "${norvane_package_build_dir}/${source}.gz")
endforeach()
list(TRANSFORM norvane_man_pages PREPEND "${norvane_package_build_dir}/")
list(TRANSFORM norvane_man_pages APPEND ".gz")

install(TARGETS safetycrc RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${norvane_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES "${norvane_packaging_dir}/copyright" "${norvane_package_build_dir}/changelog.gz"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${NORVANE_PACKAGE_NAME})
add_custom_target(norvane_install_files ALL DEPENDS ${norvane_compressed})

if(NOT TARGET NorvaneSafetyCRCTool)
    return()
endif()

if(NOT NORVANE_PROGRAM_DIR)
    set(NORVANE_PROGRAM_DIR "${CMAKE_BINARY_DIR}/program")  # as resources/ makes it
endif()

# The program folder.
install(TARGETS NorvaneSafetyCRCTool RUNTIME DESTINATION ${NORVANE_INSTALL_PROGRAM_DIR})
install(FILES
        "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolEN.rcc"
        "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolDE.rcc"
        "${NORVANE_PROGRAM_DIR}/SafetyConfiguratorEN.xml"
        "${NORVANE_PROGRAM_DIR}/SafetyConfiguratorDE.xml"
        "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolHelpEN.html"
        "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolHelpDE.html"
        DESTINATION ${NORVANE_INSTALL_PROGRAM_DIR})

# The command in bin/ is a relative link, so that the program, following /proc/self/exe,
# still finds its files when the package is unpacked somewhere else.
file(CREATE_LINK "../${NORVANE_INSTALL_PROGRAM_DIR}/NorvaneSafetyCRCTool"
     "${norvane_package_build_dir}/${NORVANE_PACKAGE_NAME}" SYMBOLIC)
install(FILES "${norvane_package_build_dir}/${NORVANE_PACKAGE_NAME}"
        DESTINATION ${CMAKE_INSTALL_BINDIR})

# Machine-wide settings, with the digests of exactly the files installed beside the program.
set(norvane_installed_settings "${norvane_package_build_dir}/NorvaneSafetyCRCTool.ini")
add_custom_command(
    OUTPUT "${norvane_installed_settings}"
    COMMAND "${CMAKE_COMMAND}"
            "-DTEMPLATE=${norvane_packaging_dir}/NorvaneSafetyCRCTool.ini.in"
            "-DOUTPUT=${norvane_installed_settings}"
            "-DLAST_TEXT=${norvane_package_build_dir}/settings.last.ini"
            "-DPROGRAM_DIR=${NORVANE_PROGRAM_DIR}"
            # Each user's own choice replaces it after the first save.
            "-DPROJECT_FOLDER=/home"
            -P "${PROJECT_SOURCE_DIR}/resources/cmake/make_demo_settings.cmake"
    DEPENDS "${norvane_packaging_dir}/NorvaneSafetyCRCTool.ini.in"
            "${PROJECT_SOURCE_DIR}/resources/cmake/make_demo_settings.cmake"
            "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolEN.rcc"
            "${NORVANE_PROGRAM_DIR}/NorvaneSafetyCRCToolDE.rcc"
            "${NORVANE_PROGRAM_DIR}/SafetyConfiguratorEN.xml"
            "${NORVANE_PROGRAM_DIR}/SafetyConfiguratorDE.xml"
    COMMENT "Writing the installed settings with the digests of the packs and catalogs"
    VERBATIM)
install(FILES "${norvane_installed_settings}" DESTINATION "${NORVANE_INSTALL_SETTINGS_DIR}")
file(WRITE "${norvane_package_build_dir}/conffiles"
     "${NORVANE_INSTALL_SETTINGS_DIR}/NorvaneSafetyCRCTool.ini\n")

# Desktop integration.
configure_file("${norvane_packaging_dir}/${NORVANE_APP_ID}.metainfo.xml"
               "${norvane_package_build_dir}/${NORVANE_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${norvane_packaging_dir}/${NORVANE_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${norvane_package_build_dir}/${NORVANE_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${norvane_packaging_dir}/${NORVANE_APP_ID}.mime.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME ${NORVANE_APP_ID}.xml)
install(FILES "${norvane_packaging_dir}/icons/${NORVANE_APP_ID}.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    install(FILES "${norvane_packaging_dir}/icons/${NORVANE_APP_ID}-${size}.png"
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${NORVANE_APP_ID}.png)
endforeach()

install(FILES "${norvane_packaging_dir}/lintian-overrides"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${NORVANE_PACKAGE_NAME})

add_custom_target(norvane_package_files ALL DEPENDS "${norvane_installed_settings}")
add_dependencies(norvane_package_files norvane_language_packs norvane_program_files)


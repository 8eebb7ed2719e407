# The Debian package norvane-safety-crc-tool: install rules for every file the package holds,
# the files made for it at build time, and CPack's DEB generator. scripts/package builds it.
#
# Installed layout (prefix /usr):
#   /usr/lib/norvane-safety-crc-tool/        the program with its catalogs, language packs and
#                                            help files, which it finds next to itself
#   /usr/bin/norvane-safety-crc-tool         link to the program
#   /usr/bin/safetycrc
#   /etc/xdg/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini
#                                            machine-wide settings with the digests of the
#                                            installed catalogs and packs (a conffile)
#   /usr/share/applications, metainfo, icons/hicolor, mime/packages
#                                            desktop entry, AppStream data, icons and the
#                                            project-file type, all named com.norvane.SafetyCRCTool
#   /usr/share/man/man1                      safetycrc(1), norvane-safety-crc-tool(1)
#   /usr/share/doc/norvane-safety-crc-tool   copyright, changelog.gz
#
# Included from the top-level CMakeLists.txt after the program, safetycrc and the resources.

set(NORVANE_PACKAGE_NAME norvane-safety-crc-tool)
set(NORVANE_APP_ID com.norvane.SafetyCRCTool)
set(NORVANE_RELEASE_DATE 2026-12-08)
set(NORVANE_INSTALL_PROGRAM_DIR lib/${NORVANE_PACKAGE_NAME})
set(NORVANE_INSTALL_SETTINGS_DIR "/etc/xdg/Norvane/Safety Configurator")
if(NOT NORVANE_PROGRAM_DIR)
    set(NORVANE_PROGRAM_DIR "${CMAKE_BINARY_DIR}/program")  # as resources/ makes it
endif()
set(norvane_packaging_dir "${PROJECT_SOURCE_DIR}/packaging")
set(norvane_package_build_dir "${CMAKE_BINARY_DIR}/package")
file(MAKE_DIRECTORY "${norvane_package_build_dir}")

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

# The command in /usr/bin is a relative link, so that the program, following /proc/self/exe,
# still finds its files when the package is unpacked somewhere else.
file(CREATE_LINK "../${NORVANE_INSTALL_PROGRAM_DIR}/NorvaneSafetyCRCTool"
     "${norvane_package_build_dir}/${NORVANE_PACKAGE_NAME}" SYMBOLIC)
install(FILES "${norvane_package_build_dir}/${NORVANE_PACKAGE_NAME}" DESTINATION bin)
install(TARGETS safetycrc RUNTIME DESTINATION bin)

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
        DESTINATION share/applications)
install(FILES "${norvane_package_build_dir}/${NORVANE_APP_ID}.metainfo.xml"
        DESTINATION share/metainfo)
install(FILES "${norvane_packaging_dir}/${NORVANE_APP_ID}.mime.xml"
        DESTINATION share/mime/packages RENAME ${NORVANE_APP_ID}.xml)
install(FILES "${norvane_packaging_dir}/icons/${NORVANE_APP_ID}.svg"
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256)
    install(FILES "${norvane_packaging_dir}/icons/${NORVANE_APP_ID}-${size}.png"
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${NORVANE_APP_ID}.png)
endforeach()

# Manual pages and the changelog, compressed as Debian wants them (best compression, no name
# or time stamp in the gzip header, so the same text gives the same bytes).
set(norvane_compressed)
foreach(source IN ITEMS safetycrc.1 norvane-safety-crc-tool.1 changelog)
    configure_file("${norvane_packaging_dir}/${source}" "${norvane_package_build_dir}/${source}"
                   @ONLY)
    add_custom_command(
        OUTPUT "${norvane_package_build_dir}/${source}.gz"
        COMMAND gzip -9nkf "${norvane_package_build_dir}/${source}"
        DEPENDS "${norvane_package_build_dir}/${source}"
        VERBATIM)
    list(APPEND norvane_compressed "${norvane_package_build_dir}/${source}.gz")
endforeach()
install(FILES "${norvane_package_build_dir}/safetycrc.1.gz"
              "${norvane_package_build_dir}/norvane-safety-crc-tool.1.gz"
        DESTINATION share/man/man1)
install(FILES "${norvane_packaging_dir}/copyright" "${norvane_package_build_dir}/changelog.gz"
        DESTINATION share/doc/${NORVANE_PACKAGE_NAME})
install(FILES "${norvane_packaging_dir}/lintian-overrides"
        DESTINATION share/lintian/overrides RENAME ${NORVANE_PACKAGE_NAME})

add_custom_target(norvane_package_files ALL
                  DEPENDS "${norvane_installed_settings}" ${norvane_compressed})
add_dependencies(norvane_package_files norvane_language_packs norvane_program_files)

# The DEB generator.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${NORVANE_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane Tools <tools@norvane.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "verify safety parameters of remote I/O modules and compute their safety CRC")
set(CPACK_PACKAGE_DESCRIPTION
    "The Norvane Safety CRC Tool is a desktop program for the commissioning
of safety-related remote I/O modules. For one module at a time it shows
the safety parameters that a device catalog defines, makes the user
confirm vendor, device, bus address, module and every parameter value,
and computes the module's safety CRC (CRC-32 with the PROFIsafe
polynomial) for the controller's project.
.
The package holds the program with English and German catalogs,
language packs and help, the command-line companion safetycrc, a menu
entry and the project file type (.kfx).")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.norvane.example/safety-crc-tool")
# Shared libraries are found by dpkg-shlibdeps. Qt loads its platform plugins (the X11 one
# among them) at run time, which no library scan can see, so that package is named here.
# Recommended: the record's fonts, Qt's own translations (German dialogs and buttons) and
# Qt's Wayland plugin (a window of its own in a Wayland session instead of one through
# XWayland).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${norvane_package_build_dir}/conffiles")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}")
include(CPack)

# The Debian package norvane-safety-crc-tool: CPack's DEB generator over the install rules of
# cmake/Install.cmake. scripts/package builds it. Included from the top-level CMakeLists.txt
# when the window is built, after cmake/Install.cmake.

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

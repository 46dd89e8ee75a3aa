# A Debian package of the installed layout: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zotmaker)
set(CPACK_PACKAGE_VENDOR "The Zotmaker authors")
set(CPACK_PACKAGE_CONTACT "Zotmaker developers <dev@zotmaker.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "logo builder that draws the logo as you type")
set(CPACK_PACKAGE_DESCRIPTION
    "Zotmaker builds logos from ready-made designs. Pick a design, type one text
for each line of the logo and watch it being drawn anew with every key.
Designs use picture letters or TrueType fonts over backgrounds that grow
with the text. Logos can be saved as BMP files, copied to the clipboard,
made the desktop wallpaper, or made by the hundred from a text file.

The package also holds zotmaker-cli, which checks designs and renders
logos without a display.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zotmaker.example/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from the executables themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Gold design links to its font (see DebStage.cmake); the other designs
# name DejaVu faces too.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra")
# Wayland sessions; the desktop's wallpaper settings; Qt's own dialogs and
# buttons in the user's language; a font for the Japanese and Chinese window.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-wayland, gsettings-desktop-schemas, qt6-translations-l10n, fonts-noto-cjk")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Debian's own ways on the staged tree.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebStage.cmake)
include(CPack)

# `cpack -G DEB` in the build folder: a Debian package of the install above,
# its dependencies worked out from the linked libraries.
set(CPACK_PACKAGE_NAME tinta-dn-quor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch image filter with plug-in filter modules")
set(CPACK_PACKAGE_DESCRIPTION
    "tinta_dn_quor applies one filter module to every image file of a folder and writes the results in another format. It comes as a dialog (tinta_dn_quor) and as a command-line runner (tinta_batch).")
set(CPACK_PACKAGE_CONTACT "tinta_dn_quor developers <tinta-dn-quor@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Qt reads most image formats and the SVG icon through these plug-ins.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, libqt6svg6")
include(CPack)

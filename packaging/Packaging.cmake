# The Debian package: the application folder under /opt/kestrin (Node.js and Qt come from Debian, so
# the folder's node is a link to the system's), /usr/bin/kestrin, the desktop entry, the icon in the
# hicolor theme and the AppStream metainfo. A packaged copy has no update feed in its Info.json: the
# package manager updates it.
set(app_root opt/kestrin)
set(identifier com.mossgate.corvane.mac)

install(TARGETS kestrin RUNTIME DESTINATION ${app_root}/Contents/bin)
install(FILES ${PROJECT_BINARY_DIR}/desktop/app/Info-packaged.json DESTINATION ${app_root}/Contents RENAME Info.json)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/apps/server/dist DESTINATION ${app_root}/Contents/Resources/server)
install(FILES ${PROJECT_SOURCE_DIR}/apps/server/package.json DESTINATION ${app_root}/Contents/Resources/server)
install(DIRECTORY ${KESTRIN_FONTS_DIR}/ DESTINATION ${app_root}/Contents/Resources/Fonts FILES_MATCHING PATTERN "*.ttf")
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrin.desktop ${PROJECT_SOURCE_DIR}/packaging/icons/kestrin.svg
        DESTINATION ${app_root}/Contents/Resources)
if(KESTRIN_GLASSES_APK)
    install(FILES ${PROJECT_BINARY_DIR}/desktop/app/corvane-glasses.apk DESTINATION ${app_root}/Contents/Resources)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrin.desktop DESTINATION usr/share/applications
        RENAME ${identifier}.desktop)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icons/kestrin.svg DESTINATION usr/share/icons/hicolor/scalable/apps)
configure_file(${PROJECT_SOURCE_DIR}/packaging/${identifier}.metainfo.xml ${PROJECT_BINARY_DIR}/${identifier}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${identifier}.metainfo.xml DESTINATION usr/share/metainfo)
# Links, relative where they stay inside the package, so that an unpacked tree works wherever it is.
install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
    file(MAKE_DIRECTORY "${root}/opt/kestrin/Contents/Helpers" "${root}/usr/bin")
    file(CREATE_LINK /usr/bin/node "${root}/opt/kestrin/Contents/Helpers/node" SYMBOLIC)
    file(CREATE_LINK ../../opt/kestrin/Contents/bin/kestrin "${root}/usr/bin/kestrin" SYMBOLIC)
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrin)
set(CPACK_PACKAGE_VENDOR Mossgate)
set(CPACK_PACKAGE_CONTACT "Kestrin <kestrin@mossgate.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Drive AI coding agents from your phone or AR glasses")
set(CPACK_PACKAGE_DESCRIPTION "Keeps the local server that your phone and AR glasses use to drive coding
agents on this computer, and is its settings panel in the system tray.")
set(CPACK_PACKAGING_INSTALL_PREFIX /)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the libraries do not say: the server's runtime, the icon's SVG plugins, adb's unpacker.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "nodejs (>= 18), libqt6svg6, unzip")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adb")
include(CPack)

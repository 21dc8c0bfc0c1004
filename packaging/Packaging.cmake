# The Debian package: the application folder in /usr/lib/kestrin, where Debian keeps a program's private
# tree (Node.js and Qt come from Debian, so the folder's node is a link to the system's), /usr/bin/kestrin,
# the manual page, the desktop entry, the icon in the hicolor theme, the AppStream metainfo, a systemd
# user service for machines without a desktop, and the copyright file and changelog. A packaged copy has no update feed in its Info.json: the package manager
# updates it.
set(app_root usr/lib/kestrin)
set(identifier com.mossgate.corvane.mac)
set(docs usr/share/doc/kestrin)

install(TARGETS kestrin kestrin-tray RUNTIME DESTINATION ${app_root}/Contents/bin)
install(TARGETS kestrin-network LIBRARY DESTINATION ${app_root}/Contents/lib)
# A stripped binary also loses the compilers' notes, as Debian's own stripping does.
foreach(program bin/kestrin bin/kestrin-tray lib/kestrin-network.so)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                                    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${app_root}/Contents/${program}\"
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()
    ")
endforeach()
install(FILES ${PROJECT_BINARY_DIR}/desktop/app/Info-packaged.json DESTINATION ${app_root}/Contents RENAME Info.json)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/apps/server/dist DESTINATION ${app_root}/Contents/Resources/server)
install(FILES ${PROJECT_SOURCE_DIR}/apps/server/package.json DESTINATION ${app_root}/Contents/Resources/server)
install(DIRECTORY ${KESTRIN_FONTS_DIR}/ DESTINATION ${app_root}/Contents/Resources/Fonts
        FILES_MATCHING PATTERN "*.ttf" PATTERN "OFL.txt")
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
install(FILES ${KESTRIN_MANUAL} DESTINATION usr/share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kestrin.service DESTINATION usr/lib/systemd/user)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides DESTINATION usr/share/lintian/overrides RENAME kestrin)
# Links within /usr are relative (Debian's rule), so that an unpacked tree also works wherever it is.
install(CODE "
    set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    file(MAKE_DIRECTORY \"\${root}/${app_root}/Contents/Helpers\" \"\${root}/usr/bin\")
    file(CREATE_LINK ../../../../bin/node \"\${root}/${app_root}/Contents/Helpers/node\" SYMBOLIC)
    file(CREATE_LINK ../lib/kestrin/Contents/bin/kestrin \"\${root}/usr/bin/kestrin\" SYMBOLIC)
")

# The changelog, whose newest entry must be this version's.
set(changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${changelog} changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^kestrin \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog must begin with an entry for kestrin ${PROJECT_VERSION}.")
endif()
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -E copy ${changelog} ${PROJECT_BINARY_DIR}/changelog
                   COMMAND gzip -9 --no-name --force ${PROJECT_BINARY_DIR}/changelog
                   DEPENDS ${changelog})
add_custom_target(kestrin_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${docs})

# The copyright file, machine-readable, with the display faces' licence in full as the OFL asks.
set(font_licence ${PROJECT_SOURCE_DIR}/node_modules/@expo-google-fonts/doto/LICENSE_FONT)
file(STRINGS ${font_licence} font_licence_lines)
list(POP_FRONT font_licence_lines font_copyright_line)
string(REGEX REPLACE "^Copyright +" "" KESTRIN_FONT_COPYRIGHT "${font_copyright_line}")
set(KESTRIN_FONT_LICENSE "")
set(started FALSE)
foreach(line IN LISTS font_licence_lines)
    string(STRIP "${line}" stripped)
    if(NOT started AND stripped STREQUAL "")
        continue() # the blank lines between the copyright and the licence
    endif()
    set(started TRUE)
    if(stripped STREQUAL "")
        string(APPEND KESTRIN_FONT_LICENSE " .\n")
    else()
        string(APPEND KESTRIN_FONT_LICENSE " ${line}\n")
    endif()
endforeach()
string(REGEX REPLACE "\n$" "" KESTRIN_FONT_LICENSE "${KESTRIN_FONT_LICENSE}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${docs})

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
# The binary is stripped as it is packaged; its debug symbols are left out.
set(CPACK_STRIP_FILES ON)
# What the libraries do not say: the server's runtime, the icon's SVG plugins, adb's unpacker, and
# Qt's Wayland platform, so that Kestrin's windows are native Wayland windows with their app id.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "nodejs (>= 18), unzip, qt6-wayland")
# The glasses' USB bridge, which Kestrin can also fetch itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adb")
include(CPack)

# Installing the game the way a Linux desktop expects it, and the Debian package made from that:
# the program in bin/, its desktop entry, its icon in the hicolor theme, its AppStream metainfo
# and its man page. Icons are drawn at build time by tarvel-icon from the icon resource.
include(GNUInstallDirs)

set(TARVEL_APP_ID "io.github.tarvel.Tarvel")
set(TARVEL_ICON_SIZES 48 64 128 256)

install(TARGETS tarvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/${TARVEL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/${TARVEL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(tarvel_icon_files)
foreach(size IN LISTS TARVEL_ICON_SIZES)
  set(icon ${PROJECT_BINARY_DIR}/icons/${size}x${size}/${TARVEL_APP_ID}.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}
    COMMAND tarvel-icon ${size} ${icon}
    DEPENDS tarvel-icon
    COMMENT "Drawing the ${size} px icon")
  list(APPEND tarvel_icon_files ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian ships man pages compressed, without a time stamp in the gzip header.
set(tarvel_man_page ${PROJECT_BINARY_DIR}/man/tarvel.6.gz)
add_custom_command(
  OUTPUT ${tarvel_man_page}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/data/tarvel.6 > ${tarvel_man_page}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/tarvel.6
  COMMENT "Compressing the man page")
install(FILES ${tarvel_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

add_custom_target(tarvel_desktop_files ALL DEPENDS ${tarvel_icon_files} ${tarvel_man_page})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "The Tarvel developers <tarvel@example.org>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarvel)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; the text needs a sans-serif face, and the
# score digits look as drawn with DejaVu's light weights.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-extra")
# CPack puts the summary on the first line and indents these lines itself; an empty line becomes
# the paragraph break.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Seen from above, the pitch fills the screen: the computer steers the upper
disc, you steer the lower one with the pointer or a finger, and one ball
slides between them, rebounding from the discs and the side lines. A ball
over the top edge is your goal; over the bottom edge, the computer's.

The game began life on a pocket computer with a stylus and keeps that
device's screen, soft keys and Spanish menus.")
include(CPack)

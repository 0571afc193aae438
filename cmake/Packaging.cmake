# Installing the game the way a Linux desktop expects it, and the Debian package made from that:
# the program, its desktop entry, its icon in the hicolor theme, its AppStream metainfo and its man
# page. Icons are drawn at build time by tarvel-icon from the icon resource.
#
# Three install components:
#   local   the program in bin/ and a desktop entry that finds it on the PATH: what
#           `cmake --install` puts under a prefix such as ~/.local;
#   shared  icons, metainfo, man page: the same files in both;
#   debian  only in the package (CPack installs shared and debian): the program in games/, where
#           Debian keeps games, a desktop entry naming /usr/games/tarvel, the copyright file, the
#           changelog.
include(GNUInstallDirs)

set(TARVEL_APP_ID "io.github.tarvel.Tarvel")
set(TARVEL_ICON_SIZES 48 64 128 256)
set(TARVEL_DEBIAN_PREFIX /usr)
set(TARVEL_DEBIAN_GAMESDIR games)
set(TARVEL_DEBIAN_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/tarvel)
# The directories install creates get these modes whatever the umask, so the package's do too.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The changelog's newest entry and the metainfo's newest release are this version; a release that
# forgets one of them stops here rather than shipping a package that contradicts itself.
set(tarvel_changelog ${PROJECT_SOURCE_DIR}/data/debian/changelog)
set(tarvel_metainfo ${PROJECT_SOURCE_DIR}/data/${TARVEL_APP_ID}.metainfo.xml)
set(tarvel_desktop_entry ${PROJECT_SOURCE_DIR}/data/${TARVEL_APP_ID}.desktop)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${tarvel_changelog} ${tarvel_metainfo} ${tarvel_desktop_entry})
file(STRINGS ${tarvel_changelog} tarvel_changelog_top LIMIT_COUNT 1)
if(NOT tarvel_changelog_top MATCHES "^tarvel \\(([^)]+)\\) ")
  message(FATAL_ERROR "${tarvel_changelog}: the first line is not 'tarvel (VERSION) ...': "
                      "'${tarvel_changelog_top}'")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${tarvel_changelog}: the newest entry is ${CMAKE_MATCH_1}, "
                      "but the project is version ${PROJECT_VERSION}")
endif()
file(READ ${tarvel_metainfo} tarvel_metainfo_text)
if(NOT tarvel_metainfo_text MATCHES "<release version=\"([^\"]+)\"")
  message(FATAL_ERROR "${tarvel_metainfo}: no <release version=...>")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "${tarvel_metainfo}: the newest release is ${CMAKE_MATCH_1}, "
                      "but the project is version ${PROJECT_VERSION}")
endif()

# The package's desktop entry: the same, with the program's full path in /usr/games (which is not
# on root's PATH, nor on every session's).
file(READ ${tarvel_desktop_entry} tarvel_desktop_text)
string(REPLACE "\nExec=tarvel\n" "\nExec=${TARVEL_DEBIAN_PREFIX}/${TARVEL_DEBIAN_GAMESDIR}/tarvel\n"
               tarvel_debian_desktop_text "${tarvel_desktop_text}")
if(tarvel_debian_desktop_text STREQUAL tarvel_desktop_text)
  message(FATAL_ERROR "${tarvel_desktop_entry}: no line 'Exec=tarvel' to point at /usr/games")
endif()
set(tarvel_debian_desktop_entry ${PROJECT_BINARY_DIR}/debian/${TARVEL_APP_ID}.desktop)
file(CONFIGURE OUTPUT ${tarvel_debian_desktop_entry} CONTENT "${tarvel_debian_desktop_text}"
     @ONLY)

# The program's symbols are bound at start-up, so its relocations can be read-only while it runs.
target_link_options(tarvel PRIVATE LINKER:-z,relro,-z,now)

install(TARGETS tarvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT local)
install(FILES ${tarvel_desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT local)
install(TARGETS tarvel RUNTIME DESTINATION ${TARVEL_DEBIAN_GAMESDIR} COMPONENT debian
        EXCLUDE_FROM_ALL)
# CPack strips the program; the compiler's version notes in .comment go too, as dh_strip does.
install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TARVEL_DEBIAN_GAMESDIR}/tarvel\"
                COMMAND_ERROR_IS_FATAL ANY)"
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${tarvel_debian_desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${tarvel_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT shared)

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
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          COMPONENT shared)
endforeach()

# Debian ships man pages and changelogs compressed, without a time stamp in the gzip header.
function(tarvel_gzip source output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND gzip -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${source}")
endfunction()
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man ${PROJECT_BINARY_DIR}/debian)
set(tarvel_man_page ${PROJECT_BINARY_DIR}/man/tarvel.6.gz)
tarvel_gzip(${PROJECT_SOURCE_DIR}/data/tarvel.6 ${tarvel_man_page})
install(FILES ${tarvel_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT shared)

set(tarvel_changelog_gz ${PROJECT_BINARY_DIR}/debian/changelog.gz)
tarvel_gzip(${tarvel_changelog} ${tarvel_changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright ${tarvel_changelog_gz}
        DESTINATION ${TARVEL_DEBIAN_DOCDIR} COMPONENT debian EXCLUDE_FROM_ALL)

add_custom_target(tarvel_desktop_files ALL
                  DEPENDS ${tarvel_icon_files} ${tarvel_man_page} ${tarvel_changelog_gz})

set(CPACK_GENERATOR DEB)
# One package holding the shared and debian components; the local one stays out. (Without
# component installation CPack would install everything but the debian component.)
set(CPACK_COMPONENTS_ALL shared debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${TARVEL_DEBIAN_PREFIX})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_NAME tarvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "The Tarvel developers <tarvel@example.org>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarvel)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
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

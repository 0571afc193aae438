# The Windows downloads, in the build folder:
#   tarvel-VERSION-windows-x64.zip  the program and its command-prompt launcher, its licence and
#                                   a README for Windows users;
#   tarvel-VERSION-windows-x64.msi  the same files installed for the current user, with a
#                                   Start-menu entry and an uninstall entry (data/windows/tarvel.wxs).
# They need zip and msitools' wixl, which building and testing the program do not, so they are
# not part of the default build: scripts/windows builds the windows_packages target.
set(TARVEL_WINDOWS_PACKAGE tarvel-${PROJECT_VERSION}-windows-x64)
set(tarvel_windows_zip ${PROJECT_BINARY_DIR}/${TARVEL_WINDOWS_PACKAGE}.zip)
set(tarvel_windows_msi ${PROJECT_BINARY_DIR}/${TARVEL_WINDOWS_PACKAGE}.msi)
set(tarvel_windows_wxs ${PROJECT_SOURCE_DIR}/data/windows/tarvel.wxs)
set(tarvel_windows_icon ${PROJECT_SOURCE_DIR}/platform/win32/resources/tarvel.ico)
set(tarvel_windows_script ${PROJECT_SOURCE_DIR}/cmake/MakeWindowsPackages.cmake)

# Notepad opens text files by their extension and shows them best with CRLF line ends.
set(tarvel_windows_text ${PROJECT_BINARY_DIR}/windows-text)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/README.txt.in ${tarvel_windows_text}/README.txt
               @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${tarvel_windows_text}/LICENSE.txt @ONLY
               NEWLINE_STYLE CRLF)

find_program(TARVEL_ZIP zip)
find_program(TARVEL_WIXL wixl)
add_custom_command(
  OUTPUT ${tarvel_windows_zip} ${tarvel_windows_msi}
  COMMAND
    ${CMAKE_COMMAND} -D SOURCE_DIR=${PROJECT_SOURCE_DIR} -D VERSION=${PROJECT_VERSION}
    -D STAGE=${PROJECT_BINARY_DIR}/${TARVEL_WINDOWS_PACKAGE} -D ZIP=${tarvel_windows_zip}
    -D MSI=${tarvel_windows_msi} -D WXS=${tarvel_windows_wxs} -D ICON=${tarvel_windows_icon}
    "-D FILES=$<TARGET_FILE:tarvel>;$<TARGET_FILE:tarvel_console>;${tarvel_windows_text}/LICENSE.txt;${tarvel_windows_text}/README.txt"
    -D ZIP_PROGRAM=${TARVEL_ZIP} -D WIXL=${TARVEL_WIXL} -P ${tarvel_windows_script}
  DEPENDS tarvel tarvel_console ${tarvel_windows_text}/LICENSE.txt ${tarvel_windows_text}/README.txt
          ${tarvel_windows_wxs} ${tarvel_windows_icon} ${tarvel_windows_script}
  COMMENT "Packing ${TARVEL_WINDOWS_PACKAGE}.zip and ${TARVEL_WINDOWS_PACKAGE}.msi"
  VERBATIM)
add_custom_target(windows_packages DEPENDS ${tarvel_windows_zip} ${tarvel_windows_msi})

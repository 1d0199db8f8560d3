# What `cmake --install` puts where (Debian's layout through GNUInstallDirs),
# and the .deb that CPack builds from it.
include(GNUInstallDirs)

set(TAVO_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/desktop)

install(TARGETS tavo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TAVO_BUILD_APP)
  # Draws for tavo-cli render and report; tavo-cli finds it from its own
  # folder (cli/CMakeLists.txt), so the two move together.
  install(TARGETS tavo-draw RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tavo)
endif()

# Manual pages, with the project's version in their footer, compressed as
# Debian's policy asks when gzip is at hand.
set(TAVO_MAN_PAGES tavo-cli.1)
if(TAVO_BUILD_APP)
  list(APPEND TAVO_MAN_PAGES tavo.1)
endif()
find_program(TAVO_GZIP gzip)
set(TAVO_MAN_FILES)
foreach(page ${TAVO_MAN_PAGES})
  set(src ${CMAKE_BINARY_DIR}/man/${page})
  configure_file(${TAVO_DESKTOP_DIR}/${page} ${src} @ONLY)
  if(TAVO_GZIP)
    add_custom_command(OUTPUT ${src}.gz
      COMMAND ${TAVO_GZIP} -9 -n -c ${src} > ${src}.gz
      DEPENDS ${src}
      COMMENT "Compressing the manual page ${page}")
    list(APPEND TAVO_MAN_FILES ${src}.gz)
  else()
    list(APPEND TAVO_MAN_FILES ${src})
  endif()
endforeach()
add_custom_target(tavo_man ALL DEPENDS ${TAVO_MAN_FILES})
install(FILES ${TAVO_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(TAVO_BUILD_APP)
  install(TARGETS tavo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The desktop entry opens a double-clicked tester file in the window; the
  # MIME type tells the file manager which files those are.
  install(FILES ${TAVO_DESKTOP_DIR}/tavo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TAVO_DESKTOP_DIR}/tavo-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME tavo.xml)
  install(FILES ${TAVO_DESKTOP_DIR}/tavo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 64 128 256)
    if(EXISTS ${TAVO_DESKTOP_DIR}/icons/tavo-${size}.png)
      install(FILES ${TAVO_DESKTOP_DIR}/icons/tavo-${size}.png
              DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tavo.png)
    endif()
  endforeach()
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The offline page, when it has been built (scripts/build-web.sh BUILD_DIR):
# -DTAVO_WEB_PAGE=BUILD_DIR puts it into share/tavo/web.
set(TAVO_WEB_PAGE "" CACHE PATH "Folder of the built web page (build-web) to install into share/tavo/web")
if(TAVO_WEB_PAGE)
  foreach(file tavo.html tavo-page.js tavo-app.js)
    if(NOT EXISTS ${TAVO_WEB_PAGE}/${file})
      message(FATAL_ERROR "TAVO_WEB_PAGE: ${TAVO_WEB_PAGE}/${file} is missing; run scripts/build-web.sh first")
    endif()
  endforeach()
  install(FILES ${TAVO_WEB_PAGE}/tavo.html ${TAVO_WEB_PAGE}/tavo-page.js ${TAVO_WEB_PAGE}/tavo-app.js
          DESTINATION ${CMAKE_INSTALL_DATADIR}/tavo/web)
endif()

# ---- the Debian package ----------------------------------------------------
# Library dependencies come from dpkg-shlibdeps (package dpkg-dev); the font
# and the Qt plugins are loaded at run time, so they are listed by hand.
# The MIME, desktop and icon caches are refreshed by the triggers of
# shared-mime-info, desktop-file-utils and the icon theme: no maintainer
# scripts are needed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TAVO")
set(CPACK_PACKAGE_CONTACT "TAVO maintainers <tavo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and converter for tester files of beam-pumped oil wells")
set(CPACK_PACKAGE_DESCRIPTION
    "Opens the files of a portable well tester, finds the pumping stroke, computes the well's
electrical and dynamometer-card parameters, shows a curve chart, a parameter table and the card,
writes tests back and converts them to and from the Quenta exchange text. The window is tavo
(Chinese interface); tavo-cli does the same for batches and scripts.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TAVO_BUILD_APP)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-arphic-uming, fonts-wqy-microhei, qt6-translations-l10n, qt6-qpa-plugins")
endif()
set(CPACK_PACKAGE_INSTALL_DIRECTORY tavo)
include(CPack)

# install() rules and the DEB package: the programs in bin, and in share the
# desktop entry, icons and MIME package (written at build time by the same
# code the per-user installer runs), the AppStream metainfo, the mark that
# tells the program a package manager installed it, and the help pages.

set(desktop_files ${CMAKE_BINARY_DIR}/desktop-files)
add_executable(tunevale-desktop-files ${PROJECT_SOURCE_DIR}/src/ui/desktop_files_tool.cpp)
target_link_libraries(tunevale-desktop-files PRIVATE tunevale_ui tunevale_platform_qt)
add_custom_command(OUTPUT ${desktop_files}/applications/tunevale.desktop
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${desktop_files}
  COMMAND tunevale-desktop-files ${desktop_files} ${CMAKE_INSTALL_FULL_BINDIR}/tunevale
  DEPENDS tunevale-desktop-files
  COMMENT "Writing the desktop entry, icons and MIME package")
add_custom_target(tunevale_desktop_files ALL DEPENDS ${desktop_files}/applications/tunevale.desktop)

string(TIMESTAMP TUNEVALE_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${PROJECT_SOURCE_DIR}/data/tunevale.metainfo.xml ${CMAKE_BINARY_DIR}/tunevale.metainfo.xml @ONLY)

install(TARGETS tunevale tunevalectl RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${desktop_files}/ DESTINATION ${CMAKE_INSTALL_DATADIR})
install(FILES ${CMAKE_BINARY_DIR}/tunevale.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/data/packaged DESTINATION ${CMAKE_INSTALL_DATADIR}/tunevale)
if(EXISTS ${PROJECT_SOURCE_DIR}/help)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/tunevale/help)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tunevale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velkorn's Software")
set(CPACK_PACKAGE_CONTACT "Tunevale developers <tunevale@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lightweight media player for music and videos")
set(CPACK_PACKAGE_DESCRIPTION
  "Tunevale plays music, videos, pictures, DVDs, internet streams and capture devices, keeps one playlist that survives restarts and a media library of the folders you choose.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opened at run time, so dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libcurl4, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-bad, gstreamer1.0-libav, gstreamer1.0-pulseaudio")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)

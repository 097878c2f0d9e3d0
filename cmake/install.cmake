# The player installed the way desktop programs are: the executable, its
# desktop entry, themed icons, the MIME package of its playlist type and
# its help page; `cpack -G DEB` wraps the same files into a Debian package.
include(GNUInstallDirs)

# The icons are painted at build time by our generator.
add_executable(kelvara_icongen ${CMAKE_SOURCE_DIR}/scripts/icongen.cpp)
target_link_libraries(kelvara_icongen PRIVATE Qt6::Gui)
set(_icons ${CMAKE_BINARY_DIR}/icons)
add_custom_command(OUTPUT ${_icons}/hicolor/256x256/apps/kelvara.png
  COMMAND kelvara_icongen ${_icons}
  DEPENDS kelvara_icongen
  COMMENT "Painting the themed icons")
add_custom_target(kelvara_icons ALL DEPENDS ${_icons}/hicolor/256x256/apps/kelvara.png)

install(TARGETS kelvara RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelvara.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/kelvara-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kelvara.xml)
install(DIRECTORY ${_icons}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
# Where a Debian system looks for a package's licence.
install(FILES ${CMAKE_SOURCE_DIR}/COPYING DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvara RENAME copyright)
# The help page lives beside the program's other data, where the player
# looks for it; it is installed wherever it is kept in the sources.
file(GLOB _help ${CMAKE_SOURCE_DIR}/resources/kelvar.html ${CMAKE_SOURCE_DIR}/docs/kelvar.html
     ${CMAKE_SOURCE_DIR}/help/kelvar.html)
if(_help)
  list(GET _help 0 _help)
  install(FILES ${_help} DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvara)
endif()
# The Help command finds the page from the program's own folder, so the
# program carries the way from where the executable is installed to where the
# page is (../share/kelvara for the usual layout) rather than a fixed prefix.
file(RELATIVE_PATH _data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/kelvara)
target_compile_definitions(kelvara_core PRIVATE KELVARA_DATA_FROM_BIN="${_data_from_bin}")

set(CPACK_PACKAGE_NAME kelvara)
set(CPACK_PACKAGE_VENDOR "Kelvara")
set(CPACK_PACKAGE_CONTACT "Kelvara developers <kelvara@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Video and audio player")
set(CPACK_PACKAGE_DESCRIPTION "Kelvara plays video and audio files and playlists, with bookmarks, subtitles, skins, key maps and an infrared remote control.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The media plugins and the desktop's tools are loaded or run, not linked,
# so dpkg-shlibdeps cannot see them. Depends holds what the player cannot
# play without: the source and renderer chains (base, good's audiopanorama and
# videocrop), the decoders of the common films (libav: MPEG-4, H.264, WMV,
# WMA), the video sinks it picks (ximagesink and xvimagesink; glimagesink is
# taken whenever the machine has hardware GL, with no fallback), and the
# always-available sound output (alsasink; pulsesink is tried first where a
# sound server runs). Recommends adds the demuxers and decoders of the rarer
# listed types (MPEG program streams, AIFF and MIDI in bad, ASF in ugly), the
# sound server's sink, the tools that open the help page, and the one that
# indexes the menu entry's MIME types for them (without its mimeinfo.cache
# xdg-open warns on every page it opens).
# No `locales`: the player asks only the language variables for Russian, and
# Qt takes the Russian formats from them and keeps texts and file names in
# UTF-8 whether or not ru_RU.UTF-8 was generated (only the libraries' own
# translated messages, GStreamer's errors among them, stay English). A
# Russian desktop has the locale generated; a package would have to edit the
# administrator's /etc/locale.gen to make it, which is not ours to do.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-libav, gstreamer1.0-x, gstreamer1.0-gl, gstreamer1.0-alsa, shared-mime-info")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-pulseaudio, xdg-utils, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "lirc")
include(CPack)

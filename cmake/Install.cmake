# Install rules and the Debian package.
#
# The player finds everything it needs beside its program file, so the program folder is installed
# as one piece under lib/tovra3: the program, the WMA metadata module, the "Tombol" glyphs and
# "Readme.Korvi". bin/tovra3 is a launcher that runs it from a folder the user can write to, since
# the player also keeps its state there (see packaging/tovra3-launcher.sh). The desktop entry, the
# icons and the AppStream metadata go where the desktop looks for them.
#
#   cmake --install <build> --prefix <prefix>
#   cpack --config <build>/CPackConfig.cmake     (a .deb in the build folder)

if(NOT TARGET tovra3)
    return()
endif()

set(TOVRA_APP_ID id.korvi.Tovra3)
set(TOVRA_INSTALL_DIR lib/tovra3)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS tovra3 RUNTIME DESTINATION ${TOVRA_INSTALL_DIR})
install(TARGETS wmvcore LIBRARY DESTINATION ${TOVRA_INSTALL_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/assets/Tombol DESTINATION ${TOVRA_INSTALL_DIR}
        FILES_MATCHING PATTERN "*.bmp")
install(FILES ${PROJECT_SOURCE_DIR}/assets/Readme.Korvi DESTINATION ${TOVRA_INSTALL_DIR})

install(PROGRAMS ${packaging}/tovra3-launcher.sh DESTINATION bin RENAME tovra3)
install(FILES ${packaging}/${TOVRA_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${packaging}/${TOVRA_APP_ID}.metainfo.xml DESTINATION share/metainfo)
# The sizes are drawn from packaging/icons/tovra3.svg: rsvg-convert -w N -h N tovra3.svg -o ...
install(DIRECTORY ${packaging}/icons/hicolor DESTINATION share/icons)
install(FILES ${packaging}/icons/tovra3.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/tovra3)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovra3)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Korvi")
set(CPACK_PACKAGE_CONTACT "Korvi <korvi@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "media player with stream inspection and tag editing")
set(CPACK_PACKAGE_DESCRIPTION
    "Tovra III plays audio and video files from a playlist that survives restarts, shows the\n"
    "stream figures of MP3, WMA and WAV files and edits their ID3 and WMA tags.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries come from dpkg-shlibdeps; the plug-ins are loaded at run time, so they are
# named here: GStreamer's decoders and sinks, the PCI names, the sound font for MIDI and faces of
# the widths the dialogs were laid out for.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, gstreamer1.0-x, pci.ids")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-bad, gstreamer1.0-plugins-ugly, gstreamer1.0-libav, gstreamer1.0-gl, timgm6mb-soundfont, gstreamer1.0-alsa, fonts-urw-base35")
include(CPack)

# The Debian package, made by CPack from the install rules (cmake/Install.cmake
# and cmake/DesktopInstall.cmake), so it holds exactly the files `cmake
# --install` installs. scripts/package.sh configures the build for the prefix
# /usr and runs cpack in it: build/<dir>/package/tonemill_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tonemill)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# The package installs where the program was built to look for itself.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
# CPack installs without building everything first (the tests are no part
# of the package); scripts/package.sh builds what the install rules need.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(TONEMILL_PACKAGE_MAINTAINER "Korvane <tonemill@korvane.invalid>" CACHE STRING
  "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${TONEMILL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TONEMILL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio converter with a window and a command line")
set(CPACK_PACKAGE_DESCRIPTION
"Tonemill converts audio files, the sound track of video files, audio CD
tracks and the tracks of CUE sheets to WAV, WMA, MP3, Ogg Vorbis, FLAC, Opus
or AAC. It carries tags and covers over, measures loudness, writes
ReplayGain tags and can normalise loudness. Its commands probe and convert
do the same work in scripts.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The libraries come from dpkg-shlibdeps; the encoders it runs are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "lame, vorbis-tools")
# What only some features need: FFmpeg's WMA encoder, the package installer
# that offers it, the sound font MIDI files are played with.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libavcodec-extra, packagekit, timgm6mb-soundfont")
# Qt's own texts in the chosen language; many machines converting one library.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-translations-l10n, parallel")

# The maintainer scripts make (and on purge remove) the shared state folder.
foreach(script postinst postrm)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${script}.in ${TONEMILL_STAGE}/debian/${script} @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${TONEMILL_STAGE}/debian/postinst ${TONEMILL_STAGE}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

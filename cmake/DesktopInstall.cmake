# The desktop's side of an installed Tonemill: the menu entry (with the file
# types "Open with" offers Tonemill for), the AppStream metainfo software
# centres list it by, and the program icon in each size the icon theme
# looks for. All are made at build time into ${TONEMILL_STAGE} (see
# cmake/Install.cmake) and installed as files.
set(TONEMILL_APPSTREAM_ID "org.korvane.Tonemill")
# Where a release publishes data/screenshots/ on the web (AppStream takes
# screenshots by web address only); empty: the metainfo lists none.
set(TONEMILL_SCREENSHOT_URL "" CACHE STRING
  "Web folder holding the PNGs of data/screenshots/, for the AppStream metainfo; empty: no screenshots listed")

# The manual and the README sit beside the executable in the build tree too,
# so both work from a build.
add_custom_target(tonemill_help_file ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/Help.html
          ${CMAKE_BINARY_DIR}/bin/Help.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/README.md
          ${CMAKE_BINARY_DIR}/bin/README.md
  DEPENDS ${PROJECT_SOURCE_DIR}/data/Help.html ${PROJECT_SOURCE_DIR}/README.md
  COMMENT "Copying Help.html and README.md beside the executable")

# The entry starts the command on PATH by its full path.
set(TONEMILL_EXEC ${CMAKE_INSTALL_FULL_BINDIR}/tonemill)
configure_file(${PROJECT_SOURCE_DIR}/data/tonemill.desktop.in ${TONEMILL_STAGE}/tonemill.desktop @ONLY)
install(FILES ${TONEMILL_STAGE}/tonemill.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

set(TONEMILL_SCREENSHOTS "")
if(TONEMILL_SCREENSHOT_URL)
  string(REGEX REPLACE "/+$" "" shots "${TONEMILL_SCREENSHOT_URL}")
  string(CONCAT TONEMILL_SCREENSHOTS
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The list of files, each with its progress, status and the output format</caption>\n"
    "      <image type=\"source\">${shots}/main.png</image>\n"
    "    </screenshot>\n"
    "    <screenshot>\n"
    "      <caption>The options of the MP3 output</caption>\n"
    "      <image type=\"source\">${shots}/options.png</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/metainfo.xml.in
  ${TONEMILL_STAGE}/${TONEMILL_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${TONEMILL_STAGE}/${TONEMILL_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# PNG icons rendered from the SVG (the simpler drawing at 24 pixels and
# below, as the window's own icon does), and the SVG itself.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(tonemill_icons)
foreach(size 16 24 32 48 64 128 256)
  set(picture ${PROJECT_SOURCE_DIR}/data/tonemill.svg)
  if(size LESS_EQUAL 24)
    set(picture ${PROJECT_SOURCE_DIR}/data/tonemill-small.svg)
  endif()
  set(icon ${TONEMILL_STAGE}/icons/${size}x${size}/tonemill.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TONEMILL_STAGE}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${icon} ${picture}
    DEPENDS ${picture}
    VERBATIM)
  list(APPEND tonemill_icons ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(tonemill_icons ALL DEPENDS ${tonemill_icons})
install(FILES ${PROJECT_SOURCE_DIR}/data/tonemill.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

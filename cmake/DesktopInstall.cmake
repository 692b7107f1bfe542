# The desktop's side of an installed Tonemill: the user manual beside the
# program, the menu entry with the file types "Open with" offers Tonemill for,
# and the program icon. The program folder is <prefix>/lib/tonemill (the
# binary and Lang/ are installed there by Install.cmake).
set(TONEMILL_PROGRAM_DIR "lib/tonemill" CACHE STRING
  "Program folder of an installed Tonemill, relative to the install prefix")

# The manual and the README (what the about panel's link opens) sit beside
# the executable in the build tree too, so both work from a build.
add_custom_target(tonemill_help_file ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/Help.html
          ${CMAKE_BINARY_DIR}/bin/Help.html
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/README.md
          ${CMAKE_BINARY_DIR}/bin/README.md
  DEPENDS ${PROJECT_SOURCE_DIR}/data/Help.html ${PROJECT_SOURCE_DIR}/README.md
  COMMENT "Copying Help.html and README.md beside the executable")

install(FILES ${PROJECT_SOURCE_DIR}/data/Help.html ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${TONEMILL_PROGRAM_DIR})
# The entry names the installed program by its full path, made when the
# install runs so that a prefix given to `cmake --install --prefix` counts.
install(CODE "
  set(exec \"\${CMAKE_INSTALL_PREFIX}/${TONEMILL_PROGRAM_DIR}/tonemill\")
  file(READ \"${PROJECT_SOURCE_DIR}/data/tonemill.desktop.in\" entry)
  string(REPLACE \"@TONEMILL_EXEC@\" \"\${exec}\" entry \"\${entry}\")
  set(target \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/applications/tonemill.desktop\")
  message(STATUS \"Installing: \${target}\")
  file(WRITE \"\${target}\" \"\${entry}\")
")
install(FILES ${PROJECT_SOURCE_DIR}/data/tonemill.svg DESTINATION share/icons/hicolor/scalable/apps)

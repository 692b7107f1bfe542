# The installed layout. The program looks for Lang/, the settings store
# (settings/), the encoders and its other files in its own folder, the folder
# of the executable once links are resolved. So the executable and Lang/ go
# together into one program folder,
#     <prefix>/lib/tonemill/tonemill
#     <prefix>/lib/tonemill/Lang/
# and <prefix>/bin/tonemill is a relative symbolic link to the executable, so
# the program is found on PATH and the installed tree can be moved as a whole.
# The program folder may belong to root: nothing a user needs to write lives
# there (see README.md, "An installed copy").
include(GNUInstallDirs)

set(TONEMILL_INSTALL_PROGRAM_DIR "lib/tonemill"
  CACHE STRING "Program folder below the install prefix: the executable and Lang/")

install(TARGETS tonemill RUNTIME DESTINATION ${TONEMILL_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Lang/ DESTINATION ${TONEMILL_INSTALL_PROGRAM_DIR}/Lang)

# The link's target, relative to the folder the link lies in.
file(RELATIVE_PATH tonemill_link_target /prefix/${CMAKE_INSTALL_BINDIR}
  /prefix/${TONEMILL_INSTALL_PROGRAM_DIR}/tonemill)
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  message(STATUS \"Installing: \${bin}/tonemill -> ${tonemill_link_target}\")
  file(CREATE_LINK \"${tonemill_link_target}\" \"\${bin}/tonemill\" SYMBOLIC)
")

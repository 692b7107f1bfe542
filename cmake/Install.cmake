# The installed files (cmake/InstallPlaces.cmake says where they go). Every
# one is installed by install(TARGETS|FILES|DIRECTORY), so install_manifest.txt
# lists each file and the Debian package (cmake/Package.cmake, made by CPack
# from these same rules) holds the same ones. Files that are made, not copied,
# are made at build time into ${TONEMILL_STAGE}: the link on PATH, the manual
# page, the shell completions, the change log, the desktop entry, the
# AppStream metainfo and the icons (cmake/DesktopInstall.cmake).
set(TONEMILL_STAGE ${CMAKE_BINARY_DIR}/install-files)
# The system's Python (HINTS come before PATH): the build's scripts use its
# standard library only.
find_program(TONEMILL_PYTHON3 python3 HINTS /usr/bin REQUIRED)

# The program folder: the program, its language files, the user manual and
# the README (what the about panel's link opens).
install(TARGETS tonemill RUNTIME DESTINATION ${TONEMILL_INSTALL_PROGRAM_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/Lang/ DESTINATION ${TONEMILL_INSTALL_PROGRAM_DIR}/Lang)
install(FILES ${PROJECT_SOURCE_DIR}/data/Help.html ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${TONEMILL_INSTALL_PROGRAM_DIR})

# <bindir>/tonemill: a relative link to the program, so the installed tree
# can be moved as a whole; Tonemill follows it to find its program folder.
file(RELATIVE_PATH tonemill_link_target ${CMAKE_INSTALL_FULL_BINDIR}
  ${TONEMILL_INSTALL_FULL_PROGRAM_DIR}/tonemill)
file(MAKE_DIRECTORY ${TONEMILL_STAGE}/bin)
file(CREATE_LINK ${tonemill_link_target} ${TONEMILL_STAGE}/bin/tonemill SYMBOLIC)
install(FILES ${TONEMILL_STAGE}/bin/tonemill DESTINATION ${CMAKE_INSTALL_BINDIR})

# The release this tree is: the newest entry of the change log, which must
# name the project's version; its date goes into the manual page and the
# AppStream releases.
execute_process(
  COMMAND ${TONEMILL_PYTHON3} -c [[
import email.utils, re, sys
text = open(sys.argv[1]).read()
version = re.match(r"tonemill \(([^)]+)\)", text).group(1)
when = re.search(r"^ -- .*?>  (.*)$", text, re.M).group(1)
print(version + ";" + email.utils.parsedate_to_datetime(when).date().isoformat())
]] ${PROJECT_SOURCE_DIR}/packaging/changelog
  OUTPUT_VARIABLE tonemill_release OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
list(GET tonemill_release 0 tonemill_release_version)
list(GET tonemill_release 1 TONEMILL_RELEASE_DATE)
if(NOT tonemill_release_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/changelog's newest entry is ${tonemill_release_version}, the project ${PROJECT_VERSION}: "
    "add an entry for the new version")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)

# The manual page and the completions are made from the program's own --help
# texts, so an option --help lists reaches all of them.
configure_file(${PROJECT_SOURCE_DIR}/packaging/tonemill.1.in ${TONEMILL_STAGE}/tonemill.1.in @ONLY)
set(tonemill_docs ${TONEMILL_STAGE}/docs)
add_custom_command(
  OUTPUT ${tonemill_docs}/tonemill.1.gz ${tonemill_docs}/tonemill.bash ${tonemill_docs}/_tonemill
         ${tonemill_docs}/tonemill.fish
  # A sanitizer build's program reports no leaks into the build's output.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          ${TONEMILL_PYTHON3} ${PROJECT_SOURCE_DIR}/packaging/commandline-docs.py $<TARGET_FILE:tonemill>
          ${TONEMILL_STAGE}/tonemill.1.in ${tonemill_docs}
  DEPENDS tonemill ${PROJECT_SOURCE_DIR}/packaging/commandline-docs.py ${TONEMILL_STAGE}/tonemill.1.in
  COMMENT "Making the manual page and the shell completions from tonemill --help"
  VERBATIM)
# The change log, compressed as Debian keeps it (gzip -9n: the same bytes
# from the same text).
add_custom_command(
  OUTPUT ${TONEMILL_STAGE}/changelog.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${TONEMILL_STAGE}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  COMMENT "Compressing the change log")
add_custom_target(tonemill_commandline_docs ALL
  DEPENDS ${tonemill_docs}/tonemill.1.gz ${TONEMILL_STAGE}/changelog.gz)

install(FILES ${tonemill_docs}/tonemill.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${tonemill_docs}/tonemill.bash RENAME tonemill
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${tonemill_docs}/_tonemill DESTINATION ${CMAKE_INSTALL_DATADIR}/zsh/vendor-completions)
install(FILES ${tonemill_docs}/tonemill.fish DESTINATION ${CMAKE_INSTALL_DATADIR}/fish/vendor_completions.d)

# The licence (DEP-5: the GPL's text is the system's, in common-licenses) and
# the change log.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${TONEMILL_STAGE}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tonemill)

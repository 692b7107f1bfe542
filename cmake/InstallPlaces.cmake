# Where an installed Tonemill lives. Included before the sources, because the
# program is built knowing its install's program and state folders (full
# paths): the copy found in that program folder is the installed one, and
# keeps its settings store in the state folder (src/platform/ProgramFolder).
#
#     <prefix>/bin/tonemill               a link to the program
#     <prefix>/lib/tonemill/              the program, Lang/, Help.html, README.md
#     <state folder>/HKEY_LOCAL_MACHINE.db   the store every user shares
#
# The state folder is <localstatedir>/lib/tonemill: /var/lib/tonemill for the
# prefix /usr, /var/opt/tonemill/lib/tonemill for /opt/tonemill (as
# GNUInstallDirs places /opt's state), /var/local/lib/tonemill for
# /usr/local; TONEMILL_STATE_DIR names another.
include(GNUInstallDirs)

# <prefix>/lib, not the multiarch library folder: this is a program's
# private folder, as /usr/lib/<package> is on Debian.
set(TONEMILL_INSTALL_PROGRAM_DIR "lib/tonemill" CACHE STRING
  "Program folder below the install prefix: the executable, Lang/ and the user manual")
set(TONEMILL_STATE_DIR "" CACHE PATH
  "Folder of the settings store every user of the installed copy shares; empty: <localstatedir>/lib/tonemill")

if(IS_ABSOLUTE "${TONEMILL_INSTALL_PROGRAM_DIR}")
  set(TONEMILL_INSTALL_FULL_PROGRAM_DIR "${TONEMILL_INSTALL_PROGRAM_DIR}")
else()
  set(TONEMILL_INSTALL_FULL_PROGRAM_DIR "${CMAKE_INSTALL_PREFIX}/${TONEMILL_INSTALL_PROGRAM_DIR}")
endif()
if(TONEMILL_STATE_DIR)
  set(TONEMILL_INSTALL_FULL_STATE_DIR "${TONEMILL_STATE_DIR}")
elseif(CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(TONEMILL_INSTALL_FULL_STATE_DIR "/var/local/lib/tonemill")
else()
  set(TONEMILL_INSTALL_FULL_STATE_DIR "${CMAKE_INSTALL_FULL_LOCALSTATEDIR}/lib/tonemill")
endif()

# Build flags shared by every target of our own.
# -Werror is an option (scripts/test.sh and CI turn it on) so that a newer
# compiler's new warnings never break a user's build.
add_library(tonemill_build_flags INTERFACE)
target_compile_features(tonemill_build_flags INTERFACE cxx_std_20)
# -Wmissing-declarations: a function of one file lives in an anonymous
# namespace, a shared one is declared in its header. -Wformat=2: a format
# string is a literal the compiler can check. -Wundef: an #if never tests a
# name nobody defined.
target_compile_options(tonemill_build_flags INTERFACE
  -Wall -Wextra -Wshadow -Wmissing-declarations -Wformat=2 -Wundef)
if(TONEMILL_WERROR)
  target_compile_options(tonemill_build_flags INTERFACE -Werror)
endif()
# Qt's strictness: no text converted to or from 8 bits behind the reader's back
# (QString to const char *, QByteArray to const char *), no QUrl guessed from a
# QString, no narrowing between a signal's and a slot's arguments, and nothing
# Qt deprecated by 6.4 (the oldest Qt we build with).
target_compile_definitions(tonemill_build_flags INTERFACE
  QT_NO_FOREACH
  QT_NO_KEYWORDS
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400
  TONEMILL_VERSION="${PROJECT_VERSION}")
if(TONEMILL_SANITIZE)
  target_compile_options(tonemill_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(tonemill_build_flags INTERFACE -fsanitize=address,undefined)
endif()
if(TONEMILL_TSAN)
  target_compile_options(tonemill_build_flags INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(tonemill_build_flags INTERFACE -fsanitize=thread)
endif()

# The stricter warnings, turned on library by library (tonemill_subsystem's
# STRICT) until every library is clean under them. Linked privately, so they
# apply to the library's own sources only, never to the code that uses it.
# QT_NO_CAST_FROM_ASCII makes every text say its encoding (u"", QStringLiteral,
# QLatin1String), so no text is converted from 8 bits by accident.
add_library(tonemill_strict_flags INTERFACE)
target_compile_options(tonemill_strict_flags INTERFACE
  -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wconversion)
target_compile_definitions(tonemill_strict_flags INTERFACE QT_NO_CAST_FROM_ASCII)

# tonemill_subsystem(NAME [STRICT] DEPS ... UI_DEPS ...)
# Builds the folder's sources into two libraries: tonemill_NAME holds the
# headless logic and links Qt Core only (plus DEPS); tonemill_NAME_ui holds the
# files named as views (…Widget, …View, …Panel, …Dialog, …Window, …Delegate)
# or as Qt implementations of a seam (Qt…), and is the only one that sees Qt
# Widgets. A headless file that includes a
# widget header therefore fails to compile. STRICT builds both libraries with
# tonemill_strict_flags.
function(tonemill_subsystem name)
  cmake_parse_arguments(ARG "STRICT" "" "DEPS;UI_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(core_sources)
  set(ui_sources)
  foreach(src IN LISTS sources)
    get_filename_component(base ${src} NAME)
    if(base MATCHES "(Widget|View|Panel|Dialog|Window|Delegate)\\.(cpp|h)$" OR base MATCHES "^Qt")
      list(APPEND ui_sources ${src})
    else()
      list(APPEND core_sources ${src})
    endif()
  endforeach()

  set(core_cpp ${core_sources})
  list(FILTER core_cpp INCLUDE REGEX "\\.cpp$")
  if(core_cpp)
    add_library(tonemill_${name} STATIC ${core_sources})
    target_link_libraries(tonemill_${name} PUBLIC tonemill_build_flags Qt6::Core ${ARG_DEPS})
    target_include_directories(tonemill_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    if(ARG_STRICT)
      target_link_libraries(tonemill_${name} PRIVATE tonemill_strict_flags)
    endif()
  else()
    add_library(tonemill_${name} INTERFACE ${core_sources})
    target_link_libraries(tonemill_${name} INTERFACE tonemill_build_flags Qt6::Core ${ARG_DEPS})
    target_include_directories(tonemill_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
  endif()

  if(ui_sources)
    add_library(tonemill_${name}_ui STATIC ${ui_sources})
    target_link_libraries(tonemill_${name}_ui PUBLIC tonemill_${name} Qt6::Widgets ${ARG_UI_DEPS})
    if(ARG_STRICT)
      target_link_libraries(tonemill_${name}_ui PRIVATE tonemill_strict_flags)
    endif()
  endif()
endfunction()

# tonemill_tests(DEPS ... [END_TO_END unit ...] [TIMING unit ...]
#                [STANDALONE unit ...]): the folder's *_test.cpp files as one
# test executable, <folder>_tests, each test registered with CTest on its own
# (every test still runs in a process of its own). One executable per folder
# rather than per file: each links Qt, FFmpeg and the libraries under test, and
# those links were most of the suite's build time.
# A unit gets an executable of its own, <folder>_<unit>, when it is named
# STANDALONE (it installs a global test environment that would set up every
# other test of the folder too) or TIMING (its checks depend on how soon a
# thread gets the processor: they carry the label "timing" and run one at a
# time, after the others), and in the ThreadSanitizer build, which builds
# only the few units it runs. The units named END_TO_END run the built
# program, so their executable waits for it to be linked.
function(tonemill_tests)
  cmake_parse_arguments(ARG "" "" "DEPS;END_TO_END;TIMING;STANDALONE" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(grouped)
  set(grouped_end_to_end FALSE)
  foreach(test_src IN LISTS tests)
    get_filename_component(unit ${test_src} NAME_WE)
    if(TONEMILL_TSAN OR unit IN_LIST ARG_TIMING OR unit IN_LIST ARG_STANDALONE)
      set(end_to_end FALSE)
      if(unit IN_LIST ARG_END_TO_END)
        set(end_to_end TRUE)
      endif()
      set(timing FALSE)
      if(unit IN_LIST ARG_TIMING)
        set(timing TRUE)
      endif()
      tonemill_test_executable(${folder}_${unit} "${test_src}" "${ARG_DEPS}" ${end_to_end} ${timing})
    else()
      list(APPEND grouped ${test_src})
      if(unit IN_LIST ARG_END_TO_END)
        set(grouped_end_to_end TRUE)
      endif()
    endif()
  endforeach()
  if(grouped)
    tonemill_test_executable(${folder}_tests "${grouped}" "${ARG_DEPS}" ${grouped_end_to_end} FALSE)
  endif()
endfunction()

# Test code is built without optimisation and with line tables only: it
# compiles in less than half the time, and what it tests (the libraries) keeps
# the build's own flags. Options given after the build type's win.
add_library(tonemill_test_flags INTERFACE)
target_compile_options(tonemill_test_flags INTERFACE -O0 -g1)
# A failed check prints Qt's texts as text.
target_compile_options(tonemill_test_flags INTERFACE -include ${PROJECT_SOURCE_DIR}/tests/support/QtPrinters.h)

function(tonemill_test_executable target sources deps end_to_end timing)
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE tonemill_test_support ${deps} tonemill_test_flags)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests-bin)
  set(labels)
  if(timing)
    set(labels LABELS timing RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TONEMILL_BUILD_BIN=${CMAKE_BINARY_DIR}/bin"
               ENVIRONMENT_MODIFICATION "TONEMILL_SOURCE_DIR=set:${PROJECT_SOURCE_DIR}"
               ${labels})
  # Tests read the built Lang/; the end-to-end ones run the program beside
  # it. The thread checker's build runs only units that never start it.
  add_dependencies(${target} tonemill_lang_files)
  if(end_to_end AND NOT TONEMILL_TSAN)
    add_dependencies(${target} tonemill)
  endif()
endfunction()

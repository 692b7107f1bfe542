#!/usr/bin/env bash
# Installs what is missing, builds Tonemill twice (optimised, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test in both,
# offscreen and against the suite's own private sound server (a null sink,
# whatever else answers on the machine); runs clang-tidy over every library
# and the program (scripts/tidy.sh), makes and checks the Debian package, fuzzes
# the parsers (scripts/fuzz.sh), and runs the tests where threads meet (the
# engine's streams and encoders, the batch, the text lookup) under
# ThreadSanitizer. Each step prints its time; a summary of them ends the run.
# A failed build ends the run at once; any other failure is reported at the end.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
source "$top/scripts/steps.sh"
source "$top/scripts/sound-server.sh"
trap "stop_sound_server; step_summary" EXIT
step "install what is missing" "$top/scripts/setup.sh"

jobs=$(nproc)
status=0
start_sound_server
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# beside NAME COMMAND...: starts a processor-bound check in the background
# while the tests, which mostly wait on encoders and timers, run; `finish
# NAME` waits for it and shows what it printed.
declare -A beside_pid beside_log
beside() {
  local name=$1
  shift
  beside_log[$name]=$(mktemp)
  "$@" >"${beside_log[$name]}" 2>&1 &
  beside_pid[$name]=$!
}
finish() {
  local result=0
  wait "${beside_pid[$1]}" || result=$?
  cat "${beside_log[$1]}"
  rm -f "${beside_log[$1]}"
  return $result
}

# The prefix /usr is the Debian package's, which is made from this build.
# Line tables are debug information enough for a failing test's trace, and
# build in far less time than full debug information.
step "optimised build" "$top/scripts/build.sh" "$top/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DTONEMILL_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr

# clang-tidy reads the optimised build's compile commands (moc's headers too).
beside tidy "$top/scripts/tidy.sh" "$top/build/release"
# The units labelled "timing" need the processor soon when they ask: they run
# after the others, one at a time, with nothing beside them.
step "tests (optimised build)" ctest --test-dir "$top/build/release" --output-on-failure -j "$jobs" --timeout 300 \
  -LE timing || status=1
step "clang-tidy (beside the tests)" finish tidy || status=1
step "timing tests (optimised build)" ctest --test-dir "$top/build/release" --output-on-failure --timeout 300 \
  -L timing || status=1
package() {
  local deb
  deb=$("$top/scripts/package.sh" "$top/build/release" | tail -1) &&
    "$top/scripts/check-package.sh" "$deb" "$top/build/release"
}
step "Debian package (from the optimised build)" package || status=1

step "sanitizer build" "$top/scripts/build.sh" "$top/build/asan" -DCMAKE_BUILD_TYPE=Debug -DTONEMILL_SANITIZE=ON \
  -DTONEMILL_BUILD_BENCH=OFF -DTONEMILL_WERROR=ON
# The parsers' fuzz targets, a minute each, under AddressSanitizer.
beside fuzz "$top/scripts/fuzz.sh" 60
step "tests (sanitizer build)" ctest --test-dir "$top/build/asan" --output-on-failure -j "$jobs" --timeout 600 \
  -LE timing || status=1
step "fuzz the parsers (beside the tests)" finish fuzz || status=1
step "timing tests (sanitizer build)" ctest --test-dir "$top/build/asan" --output-on-failure --timeout 600 \
  -L timing || status=1

# The thread checker's build makes each unit an executable of its own and
# builds only these.
tsan_units="engine_StreamDecode_test engine_EncoderHook_test engine_WmaEncoder_test convert_ConversionBatch_test lang_StringLookup_test"
tsan_build() {
  # shellcheck disable=SC2086 # one target per word
  "$top/scripts/build.sh" "$top/build/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DTONEMILL_TSAN=ON -DTONEMILL_BUILD_BENCH=OFF \
    -DTONEMILL_WERROR=ON --target $tsan_units
}
step "thread sanitizer build" tsan_build
tsan_tests() {
  local unit result=0
  for unit in $tsan_units; do
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$top/scripts/tsan.supp" \
      TONEMILL_BUILD_BIN="$top/build/tsan/bin" TONEMILL_SOURCE_DIR="$top" \
      "$top/build/tsan/tests-bin/$unit" --gtest_brief=1 || { echo "$unit failed under ThreadSanitizer"; result=1; }
  done
  return $result
}
step "tests (thread sanitizer: engine and batch)" tsan_tests || status=1
exit $status

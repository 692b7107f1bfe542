#!/usr/bin/env bash
# tidy.sh [BUILD_DIR]: runs clang-tidy (the checks of .clang-tidy) over the
# sources of the headless libraries, with the compile commands of a configured
# build (build/release by default), one file per processor at a time. Prints
# every finding and fails when there is any.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build/release}" && pwd)
tidy=${CLANG_TIDY:-clang-tidy-14}
commands=$build/compile_commands.json
[ -f "$commands" ] || {
  echo "tidy.sh: $commands is missing: configure and build first" >&2
  exit 2
}

# The headless libraries are the tonemill_<folder> ones, never the _ui ones
# (their split is CMake's: cmake/TonemillTargets.cmake). A source of theirs is
# compiled into src/<folder>/CMakeFiles/tonemill_<folder>.dir; moc's output,
# in a folder below that, is not ours to tidy.
mapfile -t files < <(sed -nE \
  's#.* -o src/([a-z]+)/CMakeFiles/tonemill_\1\.dir/([A-Za-z0-9_]+\.cpp)\.o .*#'"$top"'/src/\1/\2#p' \
  "$commands" | sort -u)
[ ${#files[@]} -gt 0 ] || {
  echo "tidy.sh: no headless sources in $commands" >&2
  exit 2
}

# One file's findings are printed together, so that parallel runs never
# interleave them. The compiler's own warnings are the build's business (it is
# GCC's -Werror set, which clang reads differently): -w leaves the checks alone.
tidy_one() {
  local out
  if ! out=$("$tidy" -p "$build" --quiet --extra-arg=-w "$1" 2>&1); then
    printf '%s\n' "$out"
    return 1
  fi
}
export -f tidy_one
export tidy build

echo "clang-tidy over ${#files[@]} sources of the headless libraries"
if ! printf '%s\n' "${files[@]}" | xargs -d '\n' -P "$(nproc)" -n 1 bash -c 'tidy_one "$1"' _; then
  echo "tidy.sh: clang-tidy found faults (above)" >&2
  exit 1
fi

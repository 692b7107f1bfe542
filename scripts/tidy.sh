#!/usr/bin/env bash
# tidy.sh [BUILD_DIR]: runs clang-tidy (the checks of .clang-tidy) over the
# sources of every library and of the program, with the compile commands of a configured
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

# Every source of ours a library or the program compiles: src/<folder>/CMakeFiles/<target>.dir
# (moc's output, in a folder below that, is not ours to tidy). The headless
# libraries are tonemill_<folder>; the widget code is in tonemill_<folder>_ui and src/app.
mapfile -t files < <(sed -nE \
  's#.* -o src/([a-z]+)/CMakeFiles/[a-z_]+\.dir/([A-Za-z0-9_]+\.cpp)\.o .*#'"$top"'/src/\1/\2#p' \
  "$commands" | sort -u)
[ ${#files[@]} -gt 0 ] || {
  echo "tidy.sh: no sources in $commands" >&2
  exit 2
}
mapfile -t widget_files < <(sed -nE \
  's#.* -o src/([a-z]+)/CMakeFiles/(tonemill_[a-z]+_ui|tonemill_app[a-z_]*|tonemill)\.dir/([A-Za-z0-9_]+\.cpp)\.o .*#'"$top"'/src/\1/\3#p' \
  "$commands" | sort -u)

# One file's findings are printed together, so that parallel runs never
# interleave them. The compiler's own warnings are the build's business (it is
# GCC's -Werror set, which clang reads differently): -w leaves the checks alone.
# A widget's members are its child widgets: a method that changes what they
# show is not const in meaning, though the compiler would take it, so the
# widget code is spared readability-make-member-function-const.
tidy_one() {
  local out checks=()
  case " $widget_list " in
    *" $1 "*) checks=(--checks=-readability-make-member-function-const) ;;
  esac
  if ! out=$("$tidy" -p "$build" --quiet --extra-arg=-w "${checks[@]}" "$1" 2>&1); then
    printf '%s\n' "$out"
    return 1
  fi
}
export -f tidy_one
widget_list=" ${widget_files[*]} "
export tidy build widget_list

echo "clang-tidy over ${#files[@]} sources (${#widget_files[@]} of them widget code)"
if ! printf '%s\n' "${files[@]}" | xargs -d '\n' -P "$(nproc)" -n 1 bash -c 'tidy_one "$1"' _; then
  echo "tidy.sh: clang-tidy found faults (above)" >&2
  exit 1
fi

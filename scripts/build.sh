#!/usr/bin/env bash
# build.sh DIR [cmake options...] [--target TARGET...]: configures (once) and
# builds into DIR, everything or only the targets named after --target.
# Compiles through ccache when it is installed, so a rebuild of what did not
# change costs a lookup.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = --target ]; then
    shift
    targets=(--target "$@")
    break
  fi
  options+=("$1")
  shift
done
if command -v ccache >/dev/null; then
  options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$dir" -G Ninja "${options[@]}" >/dev/null
cmake --build "$dir" "${targets[@]}"

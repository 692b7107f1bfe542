#!/usr/bin/env bash
# fuzz.sh [SECONDS]: builds the fuzz targets (fuzz/) with clang, libFuzzer and
# AddressSanitizer + UndefinedBehaviorSanitizer in build/fuzz, and runs each
# for SECONDS (60 by default), two at a time. Each starts from its seeds
# (fuzz/seeds/NAME: the inputs the tests use) and the inputs that once made
# it fail (fuzz/regressions/NAME, each also run on its own first). An input
# that makes a target fail is written to build/fuzz/failures/NAME/: copy it
# into fuzz/regressions/NAME and mend the fault.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build=$top/build/fuzz
targets=(CueSheet ProfileReader NamePattern PathList JsonLine)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CXX=clang++-14 cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONEMILL_FUZZ=ON \
  "${launcher[@]}" >/dev/null
cmake --build "$build" --target "${targets[@]/%/_fuzz}"

fuzz_one() {
  local name=$1 seconds=$2 build=$3 top=$4
  local corpus=$build/corpus/$name failures=$build/failures/$name regressions=$top/fuzz/regressions/$name
  mkdir -p "$corpus" "$failures"
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    "$build/fuzz-bin/${name}_fuzz" "$regressions"/* >"$build/$name.log" 2>&1 || {
      cat "$build/$name.log"; echo "fuzz: $name fails on a kept regression"; return 1; }
  fi
  if "$build/fuzz-bin/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$failures/" "$corpus" "$top/fuzz/seeds/$name" >"$build/$name.log" 2>&1; then
    echo "fuzz: $name: $(awk '/DONE/ {print $1, "runs,", $3, $4}' "$build/$name.log" | tail -1) in ${seconds} s"
  else
    tail -n 40 "$build/$name.log"
    echo "fuzz: $name failed; the input is in $failures"
    return 1
  fi
}
export -f fuzz_one
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'fuzz_one "$@"' _ {} "$seconds" "$build" "$top"

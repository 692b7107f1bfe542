#!/usr/bin/env bash
# package.sh [BUILD_DIR]: makes the Debian package tonemill_<version>_<arch>.deb
# from the optimised build (default build/release, made when missing) and
# prints its path. The build is configured for the prefix /usr, the package's;
# CPack installs the build's install rules into the package (cmake/Package.cmake).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build/release}
"$top/scripts/setup.sh"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  "${launcher[@]}" >/dev/null
# What the install rules install, and nothing more (not the tests).
# The build's lines go to standard error: standard output is the path alone.
cmake --build "$dir" --target tonemill tonemill_lang_files tonemill_commandline_docs tonemill_icons >&2
rm -f "$dir"/package/tonemill_*.deb
(cd "$dir" && cpack -G DEB >&2)
ls "$dir"/package/tonemill_*.deb

#!/usr/bin/env bash
# Installs what is missing, builds Tonemill and starts it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" "$top/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONEMILL_BUILD_TESTS=OFF
exec "$top/build/release/bin/tonemill" "$@"

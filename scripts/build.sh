#!/usr/bin/env bash
# Installs what is missing, configures and builds into ./build (or $WRENLOG_BUILD_DIR).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/bootstrap.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
# Extra configure options (scripts/test.sh --sanitize passes its own).
read -r -a extra <<<"${WRENLOG_CMAKE_ARGS:-}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}"
fi
cmake --build "$build" --parallel "$(nproc)"

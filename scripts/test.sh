#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest on a
# private session bus (tests that need a display start their own).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
cd "$build"
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"

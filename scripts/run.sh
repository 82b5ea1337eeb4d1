#!/usr/bin/env bash
# Installs what is missing, builds, registers the bus service, starts the debug
# window and prints a short demo into it. Without a display it uses Xvfb and
# saves a screenshot.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
app="$build/app"

if [ ! -x "$app/wrenlog" ]; then
  echo "The debug window is not built yet; the application folder holds:"
  ls -1 "$app"
  exit 0
fi
exec "$here/scripts/demo.sh" "$app"

#!/usr/bin/env bash
# Builds the Debian package build/wrenlog_<version>_<arch>.deb (prefix /usr,
# dependencies from the libraries it links); install it with
#   apt install ./build/wrenlog_*.deb
# --no-build packages the build as it stands (the packaging test uses it).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${WRENLOG_BUILD_DIR:-$here/build}
if [ "${1:-}" != "--no-build" ]; then
  "$here/scripts/build.sh"
fi
rm -rf "$build/package"
(cd "$build" && cpack --config CPackConfig.cmake -G DEB >"$build/package.log" 2>&1) || {
  cat "$build/package.log" >&2
  exit 1
}
shopt -s nullglob
made=("$build"/package/wrenlog_*.deb)
[ ${#made[@]} -eq 1 ] || { echo "package.sh: expected one package, found ${#made[@]}" >&2; exit 1; }
rm -f "$build"/wrenlog_*.deb
mv "${made[0]}" "$build/"
echo "$build/$(basename "${made[0]}")"

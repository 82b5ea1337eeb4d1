#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest on a
# private session bus (tests that need a display start their own).
#
#   scripts/test.sh [ctest arguments]
#   scripts/test.sh --sanitize [ctest arguments]
#
# --sanitize builds with AddressSanitizer and UndefinedBehaviorSanitizer into
# a folder of its own (build-sanitize, or $WRENLOG_BUILD_DIR-sanitize) and runs
# the same suite there; leak detection is off, since Qt keeps some of its
# allocations until the process ends by design. strict_string_checks stays
# off: libxkbcommon-x11 hands strndup names that are not NUL-terminated, which
# strndup allows, and the check would take down every test with a display.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--sanitize" ]; then
  shift
  export WRENLOG_BUILD_DIR=${WRENLOG_BUILD_DIR:-$here/build}-sanitize
  export WRENLOG_CMAKE_ARGS="-DWRENLOG_SANITIZE=ON -DWRENLOG_BENCH=OFF"
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
"$here/scripts/build.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
cd "$build"
exec dbus-run-session -- ctest --output-on-failure --parallel "$(nproc)" --timeout 600 "$@"

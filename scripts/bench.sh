#!/usr/bin/env bash
# Builds and runs the benchmarks (all, or those whose name contains $1).
# Benchmarks that need a display or a bus start their own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
shopt -s nullglob
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  case "$(basename "$bench")" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$bench")"
  "$bench"
done

#!/usr/bin/env bash
# Builds and runs the benchmarks (all, or those whose name contains $1).
# Benchmarks that need a display or a bus start their own. Each figure that
# has a goal is printed again at the end in one table, beside the baseline
# measured in the same run, with the machine's load when the run began.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/build.sh"
build=${WRENLOG_BUILD_DIR:-$here/build}
table=$(mktemp)
log=$(mktemp)
trap 'rm -f "$table" "$log"' EXIT
shopt -s nullglob
for bench in "$build"/bench/bench_*; do
  [ -x "$bench" ] || continue
  case "$(basename "$bench")" in *"${1:-}"*) ;; *) continue ;; esac
  echo "== $(basename "$bench")   (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
  "$bench" | tee "$log"
  grep '^| ' "$log" | grep -v '^| figure |' >>"$table" || true
done
if [ -s "$table" ]; then
  echo
  echo "| figure | measured | baseline (same run) | ratio | goal |"
  echo "|---|---|---|---|---|"
  cat "$table"
fi

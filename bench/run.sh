#!/usr/bin/env bash
# Runs the table-engine benchmark in one go: installs what is missing, builds tvxgen and
# tvxbench in Release, generates the data directory of the chosen scale once (kept for
# later runs), and times every workload on the engine and on SQLite (without and with
# indexes), each variant in a fresh process. The results table goes to standard output
# and to results.md in the work folder.
#
#   bench/run.sh [--scale F] [--reps N] [--workloads W1,W2,W3,W4,W5] [--work DIR]
#
# Defaults: scale 1, 5 repetitions, all workloads, work folder $TMPDIR/tvxbench-scale-F.
# TVX_BENCH_BUILD (build folder, default build-bench) and TVX_BENCH_JOBS (default 2).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
SCALE=1
REPS=5
WORKLOADS=W1,W2,W3,W4,W5
WORK=""
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) SCALE="$2"; shift 2 ;;
    --reps) REPS="$2"; shift 2 ;;
    --workloads) WORKLOADS="$2"; shift 2 ;;
    --work) WORK="$2"; shift 2 ;;
    *) echo "usage: $0 [--scale F] [--reps N] [--workloads LIST] [--work DIR]" >&2; exit 2 ;;
  esac
done
WORK="${WORK:-${TMPDIR:-/tmp}/tvxbench-scale-$SCALE}"
BUILD="${TVX_BENCH_BUILD:-$ROOT/build-bench}"
JOBS="${TVX_BENCH_JOBS:-2}"

"$ROOT/scripts/deps.sh"
mkdir -p "$WORK"
echo "building tvxgen and tvxbench (Release) in $BUILD..." >&2
if ! { cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVIX_TESTS=OFF &&
       cmake --build "$BUILD" --parallel "$JOBS" --target tvxgen tvxbench; } >"$WORK/build.log" 2>&1; then
  cat "$WORK/build.log" >&2
  exit 1
fi

if [ ! -f "$WORK/data.complete" ]; then
  rm -rf "$WORK/data" "$WORK/bench"
  echo "generating the data directory (scale $SCALE)..." >&2
  "$BUILD/bin/tvxgen" "$WORK/data" --scale "$SCALE" >&2
  touch "$WORK/data.complete"
fi
"$BUILD/bin/tvxbench" all --data "$WORK/data" --work "$WORK/bench" --reps "$REPS" \
  --workloads "$WORKLOADS" --label "scale $SCALE" | tee "$WORK/results.md"
